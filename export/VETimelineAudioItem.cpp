#include "export/VETimelineAudioItem.h"

std::shared_ptr<ZKSegmentMovie> VETimelineAudioItem::audioMovie() const
{
    std::lock_guard lock(m_mutex);
    return m_audioMovie;
}

void VETimelineAudioItem::setAudioMovie(const std::shared_ptr<ZKSegmentMovie> &movie)
{
    std::lock_guard lock(m_mutex);
    m_audioMovie = movie;
}

VETimelineAudioItem::LoadAudio VETimelineAudioItem::loadAudio() const
{
    std::lock_guard lock(m_mutex);
    return m_loadAudio;
}

void VETimelineAudioItem::setLoadAudio(const LoadAudio &load)
{
    std::lock_guard lock(m_mutex);
    m_loadAudio = load;
}
