#pragma once

#include <QtGlobal>

// One straight volume ramp between two times (ticks). Before the start the volume is the
// start volume, after the stop the stop volume.
class ZKSegmentMovieFade
{
public:
    qint64 fadeStart() const { return m_fadeStart; }
    void setFadeStart(qint64 time) { m_fadeStart = time; }
    qint64 fadeStop() const { return m_fadeStop; }
    void setFadeStop(qint64 time) { m_fadeStop = time; }
    void setVolumeStart(double volume) { m_volumeStart = volume; }
    void setVolumeStop(double volume) { m_volumeStop = volume; }

    float audioVolumeAtTime(qint64 time) const;

private:
    qint64 m_fadeStart = 0;
    qint64 m_fadeStop = 0;
    double m_volumeStart = 1.0;
    double m_volumeStop = 1.0;
};
