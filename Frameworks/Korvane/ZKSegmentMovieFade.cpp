#include "Frameworks/Korvane/ZKSegmentMovieFade.h"

float ZKSegmentMovieFade::audioVolumeAtTime(qint64 time) const
{
    if (time <= m_fadeStart)
        return float(time == m_fadeStop ? m_volumeStop : m_volumeStart);
    if (time >= m_fadeStop)
        return float(m_volumeStop);
    const double ratio = double(time - m_fadeStart) / double(m_fadeStop - m_fadeStart);
    return float(m_volumeStart + (m_volumeStop - m_volumeStart) * ratio);
}
