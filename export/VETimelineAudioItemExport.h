#pragma once

#include "Frameworks/Korvane/MovieSource.h"

#include <QList>

#include <memory>
#include <mutex>
#include <vector>

class VETimelineAudioItem;
class ZKSegmentMovieFade;

// The project's sound as a movie without pictures: mixes its clips into one stereo float
// track at 44100 frames per second. Each clip has its own volume (the segment's fades and
// gain, its end fade) and clips marked for it follow the project-wide ducking envelope.
// Clips start, stop, repeat and loop on their exact frames, whatever the requests' lengths,
// and never read past their segment's end. Loud sums go through the soft limiter instead of
// being clipped flat. Driven by one conversion at a time.
class VETimelineAudioItemExport : public MovieSource
{
public:
    using Audios = std::vector<std::shared_ptr<VETimelineAudioItem>>;
    using Fades = QList<std::shared_ptr<ZKSegmentMovieFade>>;

    static constexpr int default_sample_rate = 44100;

    Audios audios() const;
    void setAudios(const Audios &audios);
    // Ramps in time order; outside all of them the envelope is 1.
    Fades audioFades() const;
    void setAudioFades(const Fades &fades);
    qint64 max_duration() const;
    void setMax_duration(qint64 duration);

    bool hasVideo() const override { return false; }
    bool hasAudio() const override { return true; }
    qint64 duration() const override { return max_duration(); }
    qint64 currentVideoMediaMaxTime() const override;
    void setCurrentTime(qint64 time) override;
    void decodeImageAtTime(qint64 time, const FrameAction &action, bool waitUntilDone) override;
    bool readSample(float *buffer, int nbStream, int frames) override;

    // Chooses the envelope ramp in force at the mixer's clock; a step of readSample.
    void updateNextAudioEffect();

private:
    qint64 p_mixerTime() const;
    static bool p_playOf(VETimelineAudioItem &item, qint64 frame, qint64 *first, qint64 *end);
    void p_mixItem(VETimelineAudioItem &item, qint64 firstFrame, int frames, double envelope, float *buffer);
    void p_mixSpan(const VETimelineAudioItem &item, int frames, double envelope, float *buffer);

    mutable std::mutex m_mutex;
    Audios m_audios;
    Fades m_audioFades;
    qint64 m_audioSamplesReaded = 0;
    std::shared_ptr<ZKSegmentMovieFade> m_currentAudioFade;
    qint64 m_maxDuration = 0;
    std::vector<float> m_scratch;
};
