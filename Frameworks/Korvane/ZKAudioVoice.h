#pragma once

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class ZKSoundFeed;

// One playing sound in the mix. A feeder thread decodes ahead into a ring; the mixer takes
// from the ring. The position counts what the mixer has taken, so it follows the output's
// clock; while the ring is empty (just after a seek) the position waits for the sound.
// Gain changes ramp over a few milliseconds so that frequent updates do not click.
class ZKAudioVoice
{
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kRampFrames = 220; // 5 ms

    ZKAudioVoice(std::shared_ptr<ZKSoundFeed> feed, qint64 start, double gain);
    ~ZKAudioVoice();
    ZKAudioVoice(const ZKAudioVoice &) = delete;
    ZKAudioVoice &operator=(const ZKAudioVoice &) = delete;

    void seek(qint64 time);
    qint64 position() const;
    // Frames of sound decoded ahead and waiting for the mix.
    int bufferedFrames() const;

    // Joins on the mix's own frame clock (ZKAudioEngine::renderedFrames): a voice given a start
    // frame is silent, its sound kept, until that frame of the mix and then starts at its full
    // gain; one given a stop frame ends just before that frame, at once. A clip that ends where
    // the next begins so hands over on one frame, with no gap and no overlap.
    void setStartFrame(qint64 frame);
    void setStopFrame(qint64 frame);
    void setGain(double gain);
    double gain() const { return m_targetGain.load(); }

    // Leaving the mix: stops reading the feed (so another voice may take it over at once) and
    // ramps to silence instead of cutting the sound off, which would click.
    void fadeOut();
    // Mixer side: the fade out is over (or the sound ran out first); the voice may be dropped.
    bool faded() const;

    // Mixer side: adds up to frames frames of this voice to out, scaled by the ramped gain;
    // firstFrame is the mix's frame number of out[0].
    void mixInto(float *out, int frames, qint64 firstFrame);

private:
    void feedLoop();

    static constexpr int kCapacity = 8192; // frames in the ring, about 190 ms
    static constexpr int kChunk = 1024;

    std::shared_ptr<ZKSoundFeed> m_feed;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<float> m_ring;
    int m_readIndex = 0; // frames
    int m_count = 0;     // frames held
    qint64 m_base = 0;   // ticks at the last seek
    qint64 m_taken = 0;  // frames taken by the mixer since
    quint64 m_generation = 0;
    bool m_seekPending = true;
    bool m_stop = false;
    std::atomic<bool> m_fading{false};
    std::atomic<qint64> m_startFrame{-1};
    std::atomic<qint64> m_stopFrame{-1};
    std::atomic<bool> m_ended{false}; // past its stop frame

    std::atomic<double> m_targetGain;
    // Mixer thread only: the gain applied now and the straight ramp towards rampTarget.
    float m_gain = 0;
    float m_rampTarget = 0;
    float m_rampStep = 0;
    std::vector<float> m_mixScratch;
    std::thread m_feeder;
};
