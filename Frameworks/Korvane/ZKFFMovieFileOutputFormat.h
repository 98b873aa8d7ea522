#pragma once

#include <QString>
#include <QtGlobal>

// Output settings of a movie or sound file, filled by the export windows and read by the
// converter. Frames per second are framerate / frameTime. The converter snaps values an
// encoder or container refuses to the nearest accepted one; what it used can be read back
// from the converter.
struct ZKFFMovieFileOutputFormat
{
    qint32 width;
    qint32 height;
    qint32 video_codec;   // an AVCodecID, see zk_get_codec_id_by_name
    qint32 video_bitrate; // bit/s
    qint32 framerate;
    qint32 frameTime;
    float aspect;         // display aspect ratio; 0 means square pixels
    qint64 channel_layout; // channel mask, see zk_get_default_channel_layout
    qint32 sample_rate;   // Hz
    qint32 audio_codec;   // an AVCodecID
    qint32 audio_bitrate; // bit/s

    bool operator==(const ZKFFMovieFileOutputFormat &) const = default;
};

// The codec id of one of the codec names of the export choices ("h264", "mpeg2", "ac3", …),
// or 0 (AV_CODEC_ID_NONE) for a name the framework does not know; a converter given 0
// where it needs a codec fails with an error text.
qint32 zk_get_codec_id_by_name(const QString &name);

// The usual channel mask for a channel count (1 mono, 2 stereo, 6 for 5.1 …); 0 for a
// count below 1.
qint64 zk_get_default_channel_layout(int channels);

// 1280 × 960 H.264 at 10 Mbit/s and 30 fps with square pixels; stereo AAC at 44100 Hz and
// 128 kbit/s.
ZKFFMovieFileOutputFormat zk_get_default_movie_file_ouput_format();
