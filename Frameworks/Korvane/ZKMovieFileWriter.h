#pragma once

#include "Frameworks/Korvane/ZKMovieFileProfile.h"

#include <QString>

struct AVAudioFifo;
struct AVCodecContext;
struct AVFormatContext;
struct AVFrame;
struct AVStream;
struct SwrContext;

// Encodes and muxes one movie file: pictures come as frames of the profile's size and pixel
// format, sound as interleaved stereo float at 44100 Hz, resampled here to the output rate,
// layout and sample format (integer formats saturate). Used from one thread.
class ZKMovieFileWriter
{
public:
    static constexpr int sourceSampleRate = 44100;

    ZKMovieFileWriter() = default;
    ~ZKMovieFileWriter();
    ZKMovieFileWriter(const ZKMovieFileWriter &) = delete;
    ZKMovieFileWriter &operator=(const ZKMovieFileWriter &) = delete;

    // Creates path (replacing what is there) with a video and/or a sound stream.
    bool open(const QString &path, const ZKMovieFileProfile &profile, bool withVideo, bool withAudio);
    // The profile's settings as the encoders took them (bit rates they adjusted).
    ZKFFMovieFileOutputFormat usedFormat() const { return m_used; }

    // Encodes frame as picture number index (0, 1, …), in order; takes the frame over.
    // startsGroup: the picture is coded as a key picture that begins a new group (a closed
    // one in a DVD file), where playing can start.
    bool writeVideo(AVFrame *frame, qint64 index, bool startsGroup = false);
    // Encodes frames stereo float frames.
    bool writeAudio(const float *samples, int frames);
    // Drains the encoders and closes the file.
    bool finish();

    QString error() const { return m_error; }

private:
    bool fail(const QString &what, int code = 0);
    bool openVideo(const ZKMovieFileProfile &profile);
    bool openAudio(const ZKMovieFileProfile &profile);
    bool encodeAudioFifo(bool drain);
    bool send(AVCodecContext *codec, AVStream *stream, AVFrame *frame);
    void close();

    AVFormatContext *m_format = nullptr;
    AVCodecContext *m_video = nullptr;
    AVCodecContext *m_audio = nullptr;
    AVStream *m_videoStream = nullptr;
    AVStream *m_audioStream = nullptr;
    SwrContext *m_resampler = nullptr;
    AVAudioFifo *m_fifo = nullptr;
    AVFrame *m_audioFrame = nullptr;
    qint64 m_audioPts = 0;
    bool m_headerWritten = false;
    ZKFFMovieFileOutputFormat m_used{};
    QString m_error;
};
