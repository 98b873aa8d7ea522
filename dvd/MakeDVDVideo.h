#pragma once

#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"

#include <QString>

#include <memory>
#include <vector>

class DVDConversion;
class HLJobStages;
class HLJobState;
class Trevanel;
class ZKSegmentMovie;

// Makes a disc's elementary files in a work folder: "title%d.dvd" per title (MPEG-2 and
// AC-3 at the disc's size and rate) and, alongside, per menu its music repeated to the menu's
// length, its motion video over that music, and "menu%d.dvd" from the menu maker. The menus
// are made while the titles convert, each conversion a part of the progress weighted by
// content length (menus count double); the first failure or a cancel stops it.
class MakeDVDVideo
{
public:
    using Movies = std::vector<std::shared_ptr<ZKSegmentMovie>>;

    // Blocks until every file is made, reporting into state (a state of its own: a failure
    // on one side cancels it to stop the other); false with the reason in state otherwise
    // (the files of a menu being made are removed).
    static bool makeDVDVideo(const std::shared_ptr<Trevanel> &dvd, const QString &folder, HLJobState &state);

    static ZKFFMovieFileOutputFormat movieOutputFormat(const Trevanel &dvd);
    // The segments of a title (or a menu video); one second of nothing for an empty title.
    static Movies getMoviesFromTitle(const Movies &vcmovies);
    static double lengthFromMovies(const Movies &movies);

private:
    static bool p_waitForConverter(HLJobStages &stages, HLJobState &state,
                                   const std::shared_ptr<DVDConversion> &conversion, double weight);
    static bool p_makeMenu(HLJobStages &stages, HLJobState &state, const std::shared_ptr<Trevanel> &dvd,
                           size_t index, const QString &folder, const ZKFFMovieFileOutputFormat &format,
                           double weight);
};
