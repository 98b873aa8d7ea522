#pragma once

#include "dvd/DVDTaskProgress.h"

#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"
#include "Frameworks/Trevanel/DVDTask.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class DVDConversion;
class Trevanel;
class ZKSegmentMovie;

// Makes a disc's elementary files in a work folder: "title%d.dvd" per title (MPEG-2 and
// AC-3 at the disc's size and rate) and, alongside, per menu its music repeated to the menu's
// length, its motion video over that music, and "menu%d.dvd" from the menu maker. Progress is
// weighted by content length (menus count double); the first failure or a cancel stops it.
class MakeDVDVideo : public DVDTask
{
public:
    using Movies = std::vector<std::shared_ptr<ZKSegmentMovie>>;

    // Blocks until every file is made; false with errorString set otherwise (the files of a
    // menu being made are removed).
    bool makeDVDVideo(const std::shared_ptr<Trevanel> &dvd, const QString &folder);
    double progress() const override;
    void cancel() override { m_steps.cancel(); }
    bool isCancelled() const { return m_steps.isCancelled(); }
    QString errorString() const { return m_steps.errorString(); }

    static ZKFFMovieFileOutputFormat movieOutputFormat(const Trevanel &dvd);
    // The segments of a title (or a menu video); one second of nothing for an empty title.
    static Movies getMoviesFromTitle(const Movies &vcmovies);
    static double lengthFromMovies(const Movies &movies);

private:
    bool p_waitForConverter(const std::shared_ptr<DVDConversion> &conversion, double weight);
    bool p_makeMenu(const std::shared_ptr<Trevanel> &dvd, size_t index, const QString &folder,
                    const ZKFFMovieFileOutputFormat &format);

    DVDTaskProgress m_steps;
    std::atomic<double> m_totalLength{0.0};
};
