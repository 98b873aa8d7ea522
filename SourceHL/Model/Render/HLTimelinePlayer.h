#pragma once

#include <memory>

class HLTimelineItem;
class ZKFFMovie;

// Plays the sound of the video slide on screen, in step with the preview clock. Driven from the
// main thread: update (or seek after a jump) on every tick, then setVolumeRatio.
class HLTimelinePlayer
{
public:
    // The sound is moved back in step when it has drifted this far from the picture.
    static constexpr double kDriftLimit = 0.08;

    static std::shared_ptr<HLTimelinePlayer> timelinePlayerOf(const std::shared_ptr<HLTimelineItem> &timeline);

    void play();
    void update(float time);
    void seek(float time);
    void setVolumeRatio(float ratio) { m_dVolumeRatio = ratio; }
    void pause();

    std::shared_ptr<HLTimelineItem> oTimeline() const { return m_oTimeline; }
    std::shared_ptr<ZKFFMovie> oPlayer() const { return m_oPlayer; }
    bool bIsPlaying() const { return m_bIsPlaying; }
    float dVolumeRatio() const { return m_dVolumeRatio; }

private:
    HLTimelinePlayer() = default;
    // The movie follows the timeline's own current time, not the argument.
    void p_update(float time);

    std::shared_ptr<HLTimelineItem> m_oTimeline;
    std::shared_ptr<ZKFFMovie> m_oPlayer;
    bool m_bIsPlaying = false;
    float m_dVolumeRatio = 1.0f;
};
