#include "Frameworks/Korvane/ZKSegmentMovie.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovieFade.h"

#include <algorithm>

ZKSegmentMovie::ZKSegmentMovie(std::shared_ptr<MovieSource> source)
    : m_source(std::move(source)), m_stop(std::max<qint64>(m_source->duration(), 0))
{
}

std::shared_ptr<ZKSegmentMovie> ZKSegmentMovie::movieWithPath(const QString &path)
{
    std::shared_ptr<ZKFFMovie> movie = ZKFFMovie::open(path);
    if (!movie)
        return nullptr;
    return movieWithFFmovie(std::move(movie));
}

std::shared_ptr<ZKSegmentMovie> ZKSegmentMovie::movieWithFFmovie(std::shared_ptr<MovieSource> source)
{
    if (!source)
        return nullptr;
    return std::shared_ptr<ZKSegmentMovie>(new ZKSegmentMovie(std::move(source)));
}

std::shared_ptr<ZKSegmentMovie> ZKSegmentMovie::movieWithEmptyFFMovie()
{
    return movieWithFFmovie(std::make_shared<ZKFFMovie>());
}

qint64 ZKSegmentMovie::duration() const
{
    std::lock_guard lock(m_mutex);
    return m_stop - m_start;
}

void ZKSegmentMovie::setDuration(qint64 duration)
{
    std::lock_guard lock(m_mutex);
    m_stop = m_start + std::max<qint64>(duration, 0);
}

qint64 ZKSegmentMovie::start() const
{
    std::lock_guard lock(m_mutex);
    return m_start;
}

void ZKSegmentMovie::setStart(qint64 start)
{
    std::lock_guard lock(m_mutex);
    m_start = std::clamp<qint64>(start, 0, m_stop);
}

qint64 ZKSegmentMovie::stop() const
{
    std::lock_guard lock(m_mutex);
    return m_stop;
}

void ZKSegmentMovie::setStop(qint64 stop)
{
    std::lock_guard lock(m_mutex);
    m_stop = std::max(stop, m_start);
}

qint64 ZKSegmentMovie::fadeIn() const
{
    std::lock_guard lock(m_mutex);
    return m_fadeIn;
}

void ZKSegmentMovie::setFadeIn(qint64 length)
{
    std::lock_guard lock(m_mutex);
    m_fadeIn = std::max<qint64>(length, 0);
}

qint64 ZKSegmentMovie::fadeOut() const
{
    std::lock_guard lock(m_mutex);
    return m_fadeOut;
}

void ZKSegmentMovie::setFadeOut(qint64 length)
{
    std::lock_guard lock(m_mutex);
    m_fadeOut = std::max<qint64>(length, 0);
}

QList<std::shared_ptr<ZKSegmentMovieFade>> ZKSegmentMovie::audioFades() const
{
    std::lock_guard lock(m_mutex);
    return m_audioFades;
}

void ZKSegmentMovie::setAudioFades(const QList<std::shared_ptr<ZKSegmentMovieFade>> &fades)
{
    std::lock_guard lock(m_mutex);
    m_audioFades = fades;
}

float ZKSegmentMovie::audioVolumeAtTime(qint64 time) const
{
    double volume = 1.0;
    {
        std::lock_guard lock(m_mutex);
        if (time < m_start || time > m_stop)
            return 0.0f;
        if (m_fadeIn > 0 && time - m_start < m_fadeIn)
            volume = std::min(volume, double(time - m_start) / double(m_fadeIn));
        if (m_fadeOut > 0 && m_stop - time < m_fadeOut)
            volume = std::min(volume, double(m_stop - time) / double(m_fadeOut));
        for (const auto &fade : m_audioFades) {
            if (fade && fade->fadeStart() <= time && time <= fade->fadeStop()) {
                volume *= fade->audioVolumeAtTime(time);
                break;
            }
        }
    }
    if (m_source)
        volume *= m_source->volume();
    return float(volume);
}
