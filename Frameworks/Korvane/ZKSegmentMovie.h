#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <memory>
#include <mutex>

class MovieSource;
class ZKSegmentMovieFade;

// A stretch [start, stop] of a movie source (ticks of the source), with a fade-in after its
// start, a fade-out before its stop, and optional volume ramps in source time.
class ZKSegmentMovie
{
public:
    // nullptr when the file cannot be opened. The segment covers the whole file.
    static std::shared_ptr<ZKSegmentMovie> movieWithPath(const QString &path);
    // A segment over any source, covering its whole duration; nullptr without a source.
    static std::shared_ptr<ZKSegmentMovie> movieWithFFmovie(std::shared_ptr<MovieSource> source);
    // A segment over an empty movie: no picture, silence, no length.
    static std::shared_ptr<ZKSegmentMovie> movieWithEmptyFFMovie();

    std::shared_ptr<MovieSource> ffmovie() const { return m_source; }

    qint64 duration() const; // stop − start
    void setDuration(qint64 duration); // moves stop
    qint64 start() const;
    void setStart(qint64 start); // kept within [0, stop]
    qint64 stop() const;
    void setStop(qint64 stop);   // kept at or after start
    qint64 fadeIn() const;
    void setFadeIn(qint64 length);
    qint64 fadeOut() const;
    void setFadeOut(qint64 length);
    QList<std::shared_ptr<ZKSegmentMovieFade>> audioFades() const;
    void setAudioFades(const QList<std::shared_ptr<ZKSegmentMovieFade>> &fades);

    // The gain at a time of the source: 0 outside [start, stop], the fade-in and fade-out
    // ramps, the first volume ramp that holds the time, and the movie's own volume.
    float audioVolumeAtTime(qint64 time) const;

private:
    explicit ZKSegmentMovie(std::shared_ptr<MovieSource> source);

    std::shared_ptr<MovieSource> m_source;
    mutable std::mutex m_mutex;
    qint64 m_start = 0;
    qint64 m_stop = 0;
    qint64 m_fadeIn = 0;
    qint64 m_fadeOut = 0;
    QList<std::shared_ptr<ZKSegmentMovieFade>> m_audioFades;
};
