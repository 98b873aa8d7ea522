#pragma once

#include <QtGlobal>

#include <memory>
#include <vector>

class DVDChapterVideoProtocol;

// Where the chapters of a title start on the disc, in pictures: a chapter's first picture is
// the first one shown at or after its start (as the converter places what it joins), and the
// converter begins a closed group of pictures there, because a player can only start playing
// at such a group. A chapter that begins less than half a second after the last mark plays as
// part of it.
struct DVDChapterStarts
{
    // The chapters of a title at frameRate / frameTime pictures per second (25 / 1, 30000 / 1001).
    static DVDChapterStarts of(const std::vector<std::shared_ptr<DVDChapterVideoProtocol>> &chapters,
                               qint64 frameTime, qint64 frameRate);

    // The first picture of each mark, the first mark at 0.
    std::vector<qint64> frames;
    // The mark (1, 2, …) each chapter of the title plays as.
    std::vector<int> numberOf;
    // The time that names mark i to the authoring tool: the middle of its first picture, so
    // that the group found holding it is the one that starts there.
    double markSeconds(size_t i) const;

private:
    qint64 m_frameTime = 1;
    qint64 m_frameRate = 25;
};
