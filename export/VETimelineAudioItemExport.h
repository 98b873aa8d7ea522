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
// Sums beyond full scale are passed on as they are. Driven by one conversion at a time.
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
    qint64 audio_samples_readed() const;

    bool hasVideo() const override { return false; }
    bool hasAudio() const override { return true; }
    qint64 duration() const override { return max_duration(); }
    qint64 currentVideoMediaMaxTime() const override;
    void setCurrentTime(qint64 time) override;
    void decodeImageAtTime(qint64 time, const FrameAction &action, bool waitUntilDone) override;
    bool readSample(float *buffer, int nbStream, int frames) override;

    // Steps of readSample, at the mixer's clock.
    void updateNextAudioEffect();
    void updateSyncAudioItemsWithTime(qint64 time);

private:
    qint64 p_mixerTime() const;

    mutable std::mutex m_mutex;
    Audios m_audios;
    Fades m_audioFades;
    qint64 m_audioSamplesReaded = 0;
    std::shared_ptr<ZKSegmentMovieFade> m_currentAudioFade;
    qint64 m_maxDuration = 0;
    std::vector<float> m_scratch;
};
