#pragma once

#include <memory>
#include <set>

class HLAudioItem;
class HLAudiolineItem;

// Plays the music of the audio line around the preview clock: loads, positions, starts, adjusts
// and unloads the clips as the time moves. Where one clip ends and the next begins (or the line
// starts over) before the next tick, the join is handed to the mix ahead, so the sound changes
// on one exact frame instead of on a tick. Driven from the main thread.
class HLAudiolinePlayer
{
public:
    static std::shared_ptr<HLAudiolinePlayer> audiolinePlayerOf(const std::shared_ptr<HLAudiolineItem> &audioline);

    void play();
    void update(float time);
    // Like update, and every playing clip is positioned anew.
    void seek(float time);
    void setVolumeRatio(float ratio) { m_dVolumeRatio = ratio; }
    void pause();

    std::shared_ptr<HLAudiolineItem> oAudioline() const { return m_oAudioline; }
    bool bIsPlaying() const { return m_bIsPlaying; }
    float dVolumeRatio() const { return m_dVolumeRatio; }

private:
    HLAudiolinePlayer() = default;
    void p_update(float time, bool seek);
    // The gain of item at time: its edit's envelope, the line's fade out, the preview's ratio.
    float p_volumeOf(const HLAudioItem &item, float time) const;
    // Hands the mix the joins that fall before the next ticks, on its own frame clock.
    void p_scheduleJoins(float time, float cycle);
    // Forgets scheduled joins (a seek or a pause); their clips stop.
    void p_dropJoins();

    std::shared_ptr<HLAudiolineItem> m_oAudioline;
    // Clips loaded ahead to come in on a frame of the mix (held: that frame not yet given),
    // and clips told where to end.
    std::set<std::shared_ptr<HLAudioItem>> m_pendingStarts;
    std::set<std::shared_ptr<HLAudioItem>> m_heldStarts;
    std::set<std::shared_ptr<HLAudioItem>> m_scheduledStops;
    bool m_bIsPlaying = false;
    float m_dVolumeRatio = 1.0f;
};
