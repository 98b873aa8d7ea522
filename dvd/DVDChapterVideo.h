#pragma once

#include "Frameworks/Trevanel/DVDChapterVideoProtocol.h"
#include "Platform/Foundation/HLAtomicProperty.h"

#include <QtGlobal>

#include <memory>
#include <vector>

class DVDMenuElement;
class ZKSegmentMovie;

// One chapter of a disc title: the segments it plays and the menu buttons that jump to it.
class DVDChapterVideo : public DVDChapterVideoProtocol
{
public:
    using Movies = std::vector<std::shared_ptr<ZKSegmentMovie>>;

    // The sum of the segments' durations, in ticks.
    static qint64 durationForVcMovies(const Movies &movies);

    Movies movies() const { return m_movies.get(); }
    void setMovies(Movies movies) { m_movies.set(std::move(movies)); }
    std::vector<std::shared_ptr<DVDMenuElement>> titles() const override { return m_titles.get(); }
    void setTitles(std::vector<std::shared_ptr<DVDMenuElement>> titles) { m_titles.set(std::move(titles)); }
    double duration() const override;

private:
    HLAtomicProperty<Movies> m_movies;
    HLAtomicProperty<std::vector<std::shared_ptr<DVDMenuElement>>> m_titles;
};
