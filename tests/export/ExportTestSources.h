#pragma once

#include "Frameworks/Korvane/MovieSource.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <cmath>
#include <functional>
#include <mutex>
#include <vector>

// A sound source for the mixer tests: sample n (from the last setCurrentTime) is wave(n),
// on both channels. Counts how often it was repositioned.
class WaveSource : public MovieSource
{
public:
    using Wave = std::function<float(qint64 frame)>;

    WaveSource(double seconds, Wave wave) : m_duration(qint64(seconds * zk_default_time_base())), m_wave(std::move(wave)) {}

    static Wave constant(float level)
    {
        return [level](qint64) { return level; };
    }
    // The source's own time in seconds, as a sample value: tells where it plays from.
    static Wave clock()
    {
        return [](qint64 n) { return float(n / 44100.0); };
    }
    static Wave sine(float amplitude, double hz = 441)
    {
        return [amplitude, hz](qint64 n) { return float(amplitude * std::sin(2 * M_PI * hz * n / 44100.0)); };
    }

    bool hasVideo() const override { return false; }
    bool hasAudio() const override { return true; }
    qint64 duration() const override { return m_duration; }
    void setCurrentTime(qint64 time) override
    {
        std::lock_guard lock(m_mutex);
        m_position = qint64(zk_ff_time_to_double(time) * 44100);
        ++m_restarts;
    }
    void decodeImageAtTime(qint64, const FrameAction &, bool) override {}
    bool readSample(float *buffer, int, int frames) override
    {
        std::lock_guard lock(m_mutex);
        for (int i = 0; i < frames; ++i, ++m_position)
            buffer[2 * i] = buffer[2 * i + 1] = m_wave(m_position);
        return true;
    }
    int restarts() const
    {
        std::lock_guard lock(m_mutex);
        return m_restarts;
    }

private:
    qint64 m_duration;
    Wave m_wave;
    mutable std::mutex m_mutex;
    qint64 m_position = 0;
    int m_restarts = 0;
};

// The left channel of a file's sound from its start, read in one go (no seeking).
inline std::vector<float> soundOf(const QString &path, double seconds)
{
    const auto file = ZKFFMovie::open(path);
    if (!file)
        return {};
    const int frames = int(seconds * 44100);
    std::vector<float> buffer(2 * size_t(frames));
    file->setCurrentTime(0);
    file->readSample(buffer.data(), 0, frames);
    std::vector<float> left(static_cast<size_t>(frames));
    for (int i = 0; i < frames; ++i)
        left[size_t(i)] = buffer[2 * size_t(i)];
    return left;
}

// The largest magnitude within 10 ms after seconds.
inline float peakAt(const std::vector<float> &left, double seconds)
{
    float peak = 0;
    const size_t first = size_t(seconds * 44100);
    for (size_t i = first; i < first + 441 && i < left.size(); ++i)
        peak = std::max(peak, std::abs(left[i]));
    return peak;
}
