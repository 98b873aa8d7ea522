#pragma once

#include <memory>

class HLAudiolineItem;

// Plays the music of the audio line around the preview clock: loads, positions, starts, adjusts
// and unloads the clips as the time moves. Driven from the main thread.
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

    std::shared_ptr<HLAudiolineItem> m_oAudioline;
    bool m_bIsPlaying = false;
    float m_dVolumeRatio = 1.0f;
};
