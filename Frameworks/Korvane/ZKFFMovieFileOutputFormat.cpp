#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"

#include <utility>

extern "C" {
#include <libavcodec/codec_id.h>
#include <libavutil/channel_layout.h>
}

qint32 zk_get_codec_id_by_name(const QString &name)
{
    static const std::pair<const char *, AVCodecID> codecs[] = {
        {"h264", AV_CODEC_ID_H264},
        {"mpeg4", AV_CODEC_ID_MPEG4},
        {"mp4", AV_CODEC_ID_MPEG4},
        {"mpeg2", AV_CODEC_ID_MPEG2VIDEO},
        {"mpeg1", AV_CODEC_ID_MPEG1VIDEO},
        {"mpeg audio", AV_CODEC_ID_MP2},
        {"mpegaudio", AV_CODEC_ID_MP2},
        {"aac", AV_CODEC_ID_AAC},
        {"ac3", AV_CODEC_ID_AC3},
        {"mp3", AV_CODEC_ID_MP3},
        {"wmv2", AV_CODEC_ID_WMV2},
        {"wma1", AV_CODEC_ID_WMAV1},
        {"wma2", AV_CODEC_ID_WMAV2},
        {"msmpegv3", AV_CODEC_ID_MSMPEG4V3},
        {"flv", AV_CODEC_ID_FLV1},
        {"dv", AV_CODEC_ID_DVVIDEO},
        {"pcm audio", AV_CODEC_ID_PCM_S16LE},
        {"alac", AV_CODEC_ID_ALAC},
    };
    for (const auto &[codecName, id] : codecs) {
        if (name == QLatin1String(codecName))
            return id;
    }
    return AV_CODEC_ID_NONE;
}

qint64 zk_get_default_channel_layout(int channels)
{
    if (channels < 1)
        return 0;
    AVChannelLayout layout;
    av_channel_layout_default(&layout, channels);
    const qint64 mask = layout.order == AV_CHANNEL_ORDER_NATIVE ? qint64(layout.u.mask) : 0;
    av_channel_layout_uninit(&layout);
    return mask;
}

ZKFFMovieFileOutputFormat zk_get_default_movie_file_ouput_format()
{
    ZKFFMovieFileOutputFormat format{};
    format.width = 1280;
    format.height = 960;
    format.video_codec = AV_CODEC_ID_H264;
    format.video_bitrate = 10000000;
    format.framerate = 30;
    format.frameTime = 1;
    format.aspect = 0.0f;
    format.channel_layout = zk_get_default_channel_layout(2);
    format.sample_rate = 44100;
    format.audio_codec = AV_CODEC_ID_AAC;
    format.audio_bitrate = 128000;
    return format;
}
