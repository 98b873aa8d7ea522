#include "SourceHL/Model/Render/HLAudiolinePlayer.h"

#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"

#include <cmath>

std::shared_ptr<HLAudiolinePlayer> HLAudiolinePlayer::audiolinePlayerOf(const std::shared_ptr<HLAudiolineItem> &audioline)
{
    if (!audioline)
        return nullptr;
    std::shared_ptr<HLAudiolinePlayer> player(new HLAudiolinePlayer());
    player->m_oAudioline = audioline;
    return player;
}

void HLAudiolinePlayer::play()
{
    m_bIsPlaying = true;
}

void HLAudiolinePlayer::update(float time)
{
    p_update(time, false);
}

void HLAudiolinePlayer::seek(float time)
{
    p_update(time, true);
}

void HLAudiolinePlayer::pause()
{
    if (!m_bIsPlaying)
        return;
    m_bIsPlaying = false;
    for (const auto &item : m_oAudioline->loadedAudioItems()) {
        item->pause();
        item->unloadAudio();
    }
}

void HLAudiolinePlayer::p_update(float time, bool seek)
{
    if (!m_bIsPlaying)
        return;
    const float cycle = m_oAudioline->repeatPlayingMode();
    if (cycle > 0 && time > cycle) {
        time -= cycle * std::max(0.0f, std::ceil(time / cycle) - 1.0f);
        while (time > cycle)
            time -= cycle;
        while (time <= 0)
            time += cycle;
    }
    const bool fadeOut = m_oAudioline->enType() == 1;
    const float ratio = m_dVolumeRatio;
    // The range test of a clip leaves out both ends; a clip that plays there keeps playing, with
    // the gain its edit gives that end, so a boundary never cuts the sound for a tick.
    const auto volumeOf = [&](const HLAudioItem &item) {
        const float fade = fadeOut ? item.fadeOutVolume(time) : 1.0f;
        const float gain = time >= item.dPlayMin() && time <= item.dPlayMax() ? item.localVolume(time - item.dPlayMin())
                                                                               : 0.0f;
        return gain * fade * ratio;
    };
    m_oAudioline->update(
        time,
        [&](const std::shared_ptr<HLAudioItem> &item) {
            if (seek || item->playBeyond())
                item->globalSeek(time);
            item->setVolume(volumeOf(*item));
        },
        [&](const std::shared_ptr<HLAudioItem> &item) {
            item->loadAudio();
            item->play();
            item->globalSeek(time);
            item->setVolume(volumeOf(*item));
        },
        [&](const std::shared_ptr<HLAudioItem> &item) {
            if (time >= item->dPlayMin() && time <= item->dPlayMax()) {
                item->setVolume(volumeOf(*item));
                return;
            }
            item->pause();
            item->unloadAudio();
        });
}
