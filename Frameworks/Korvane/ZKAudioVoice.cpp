#include "Frameworks/Korvane/ZKAudioVoice.h"

#include "Frameworks/Korvane/ZKSoundFeed.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <algorithm>
#include <cmath>

namespace {

double sanitisedGain(double gain)
{
    return std::isfinite(gain) && gain > 0 ? gain : 0.0;
}

} // namespace

ZKAudioVoice::ZKAudioVoice(std::shared_ptr<ZKSoundFeed> feed, qint64 start, double gain)
    : m_feed(std::move(feed)), m_ring(size_t(kCapacity) * 2), m_base(std::max<qint64>(start, 0)),
      m_targetGain(sanitisedGain(gain))
{
    m_feeder = std::thread([this] { feedLoop(); });
}

ZKAudioVoice::~ZKAudioVoice()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_feeder.joinable())
        m_feeder.join();
}

void ZKAudioVoice::fadeOut()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_feeder.joinable())
        m_feeder.join();
    m_targetGain = 0.0;
    m_fading = true;
}

bool ZKAudioVoice::faded() const
{
    if (m_ended)
        return true;
    if (!m_fading)
        return false;
    std::lock_guard lock(m_mutex);
    return m_gain == 0.0f || m_count == 0;
}

void ZKAudioVoice::seek(qint64 time)
{
    {
        std::lock_guard lock(m_mutex);
        m_base = std::max<qint64>(time, 0);
        m_taken = 0;
        m_count = 0;
        m_readIndex = 0;
        ++m_generation;
        m_seekPending = true;
    }
    m_wake.notify_all();
}

qint64 ZKAudioVoice::position() const
{
    std::lock_guard lock(m_mutex);
    return m_base + m_taken * zk_default_time_base() / kSampleRate;
}

int ZKAudioVoice::bufferedFrames() const
{
    std::lock_guard lock(m_mutex);
    return m_count;
}

void ZKAudioVoice::setStartFrame(qint64 frame)
{
    m_startFrame = std::max<qint64>(frame, 0);
}

void ZKAudioVoice::setStopFrame(qint64 frame)
{
    m_stopFrame = std::max<qint64>(frame, 0);
}

void ZKAudioVoice::setGain(double gain)
{
    m_targetGain = sanitisedGain(gain);
}

void ZKAudioVoice::feedLoop()
{
    std::vector<float> chunk(size_t(kChunk) * 2);
    std::unique_lock lock(m_mutex);
    while (!m_stop) {
        if (m_seekPending) {
            m_seekPending = false;
            const qint64 time = m_base;
            lock.unlock();
            m_feed->seek(time);
            lock.lock();
            continue;
        }
        if (m_count + kChunk > kCapacity) {
            m_wake.wait(lock, [this] { return m_stop || m_seekPending || m_count + kChunk <= kCapacity; });
            continue;
        }
        const quint64 generation = m_generation;
        lock.unlock();
        m_feed->read(chunk.data(), kChunk);
        lock.lock();
        if (generation != m_generation)
            continue; // a seek came in while reading: this sound belongs to the old position
        for (int i = 0; i < kChunk; ++i) {
            const int slot = (m_readIndex + m_count + i) % kCapacity;
            m_ring[size_t(slot) * 2] = chunk[size_t(i) * 2];
            m_ring[size_t(slot) * 2 + 1] = chunk[size_t(i) * 2 + 1];
        }
        m_count += kChunk;
    }
}

void ZKAudioVoice::mixInto(float *out, int frames, qint64 firstFrame)
{
    // The part of this block the voice sounds in: from its start frame, before its stop frame.
    const qint64 start = m_startFrame.load();
    const qint64 stop = m_stopFrame.load();
    const int from = start > firstFrame ? int(std::min<qint64>(start - firstFrame, frames)) : 0;
    const int to = stop >= 0 ? int(std::clamp<qint64>(stop - firstFrame, 0, frames)) : frames;
    if (stop >= 0 && stop <= firstFrame + frames)
        m_ended = true;
    if (to <= from)
        return;
    if (start >= firstFrame && start < firstFrame + frames) {
        // A join: the sound comes in at its gain, as the sound before it went out.
        m_gain = m_rampTarget = float(m_targetGain.load());
        m_rampStep = 0;
    }
    out += size_t(from) * 2;
    frames = to - from;

    if (int(m_mixScratch.size()) < frames * 2)
        m_mixScratch.resize(size_t(frames) * 2);
    int taken = 0;
    {
        std::lock_guard lock(m_mutex);
        taken = std::min(frames, m_count);
        for (int i = 0; i < taken; ++i) {
            const int slot = (m_readIndex + i) % kCapacity;
            m_mixScratch[size_t(i) * 2] = m_ring[size_t(slot) * 2];
            m_mixScratch[size_t(i) * 2 + 1] = m_ring[size_t(slot) * 2 + 1];
        }
        m_readIndex = (m_readIndex + taken) % kCapacity;
        m_count -= taken;
        m_taken += taken;
    }
    m_wake.notify_all();

    const float target = float(m_targetGain.load());
    if (target != m_rampTarget) {
        // A new ramp of fixed length, however the output cuts its blocks.
        m_rampTarget = target;
        m_rampStep = (target - m_gain) / kRampFrames;
    }
    for (int i = 0; i < taken; ++i) {
        if (m_gain != target)
            m_gain = std::abs(target - m_gain) <= std::abs(m_rampStep) ? target : m_gain + m_rampStep;
        out[i * 2] += m_mixScratch[size_t(i) * 2] * m_gain;
        out[i * 2 + 1] += m_mixScratch[size_t(i) * 2 + 1] * m_gain;
    }
}
