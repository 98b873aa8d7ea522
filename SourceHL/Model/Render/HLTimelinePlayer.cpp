#include "SourceHL/Model/Render/HLTimelinePlayer.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Model/Render/HLTimelineItemRendering.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <cmath>

std::shared_ptr<HLTimelinePlayer> HLTimelinePlayer::timelinePlayerOf(const std::shared_ptr<HLTimelineItem> &timeline)
{
    if (!timeline)
        return nullptr;
    std::shared_ptr<HLTimelinePlayer> player(new HLTimelinePlayer());
    player->m_oTimeline = timeline;
    return player;
}

void HLTimelinePlayer::play()
{
    m_bIsPlaying = true;
}

void HLTimelinePlayer::update(float time)
{
    p_update(time);
}

void HLTimelinePlayer::seek(float time)
{
    p_update(time);
    HLTimelineItemRendering::renderingRenderVideoSeek(*m_oTimeline);
}

void HLTimelinePlayer::pause()
{
    if (!m_bIsPlaying)
        return;
    m_bIsPlaying = false;
    if (m_oPlayer)
        m_oPlayer->pause();
    m_oPlayer.reset();
}

void HLTimelinePlayer::p_update(float)
{
    if (!m_bIsPlaying)
        return;
    float played = 0;
    const auto renderItem = HLTimelineItemRendering::p_renderingRenderVideo(*m_oTimeline, &played);
    const auto movie = HLTimelineItemRendering::renderingRenderVideo(*m_oTimeline);
    // Frames are decoded apart from the sound, so the sound is placed at the clip time itself.
    const double clipTime = renderItem ? double(renderItem->oTrim()->mappedTime(played)) : 0.0;
    if (movie != m_oPlayer) {
        if (m_oPlayer)
            m_oPlayer->pause();
        m_oPlayer = movie;
        if (m_oPlayer) {
            m_oPlayer->setCurrentTime(zk_ff_time_from_double(clipTime));
            m_oPlayer->play();
        }
    } else if (m_oPlayer
               && std::abs(zk_ff_time_to_double(m_oPlayer->currentTime()) - clipTime) > kDriftLimit) {
        m_oPlayer->setCurrentTime(zk_ff_time_from_double(clipTime));
    }
    if (m_oPlayer)
        m_oPlayer->setVolume(double(m_dVolumeRatio));
}
