#pragma once

#include "Frameworks/Korvane/ZKMediaFile.h"

#include <memory>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwrContext;

// Decodes the sound track of one file for one user, as interleaved stereo float at 44100 Hz.
// Positions are exact to the frame: after a seek the first frame read is the one at the time
// asked for. Past the end it reads silence. Not thread-safe: its owner serialises calls.
class ZKAudioReader
{
public:
    static constexpr int kSampleRate = 44100;

    static std::unique_ptr<ZKAudioReader> open(const QString &path);
    ~ZKAudioReader();

    const ZKMediaFile &file() const { return *m_file; }

    void seek(qint64 time);
    // Fills frames stereo frames; answers how many of them came from the file (the rest,
    // past its end, are zeros).
    int read(float *out, int frames);
    qint64 position() const; // ticks of the next frame read

private:
    ZKAudioReader() = default;
    bool decodeMore();
    bool rewind();
    bool skipped(const AVPacket *packet);
    bool setUpResampler(const AVFrame *frame);
    void append(const float *samples, int frames, qint64 startFrame);
    void finish();

    std::unique_ptr<ZKMediaFile> m_file;
    AVCodecContext *m_codec = nullptr;
    AVPacket *m_packet = nullptr;
    AVFrame *m_frame = nullptr;
    SwrContext *m_swr = nullptr;
    int m_swrKey[3] = {-1, -1, -1}; // format, rate, channels the resampler was made for
    std::vector<float> m_buffer;    // converted frames not yet read
    size_t m_readOffset = 0;        // in floats
    std::vector<float> m_scratch;
    qint64 m_positionFrames = 0; // frame index of the next frame read
    qint64 m_alignFrame = -1;    // after a seek: the frame index the next decoded sound must start at
    qint64 m_skipUntil;          // stream time: packets ending before it are not decoded (AV_NOPTS_VALUE: none)
    bool m_ended = false;
};
