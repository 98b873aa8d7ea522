#include "Frameworks/Trevanel/DVDChapterStarts.h"

#include "Frameworks/Trevanel/DVDChapterVideoProtocol.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr qint64 ticksPerSecond = 1000000;

// The first picture k whose time floor(k × frameTime / frameRate) in ticks is at or after
// ticks: the converter's own rule.
qint64 firstFrameAt(qint64 ticks, qint64 frameTime, qint64 frameRate)
{
    const qint64 perFrame = frameTime * ticksPerSecond;
    return (ticks * frameRate + perFrame - 1) / perFrame;
}

} // namespace

DVDChapterStarts DVDChapterStarts::of(const std::vector<std::shared_ptr<DVDChapterVideoProtocol>> &chapters,
                                      qint64 frameTime, qint64 frameRate)
{
    DVDChapterStarts result;
    result.m_frameTime = std::max<qint64>(frameTime, 1);
    result.m_frameRate = std::max<qint64>(frameRate, 1);
    double start = 0;
    double lastMark = -1;
    for (const auto &chapter : chapters) {
        if (result.frames.empty() || start - lastMark >= 0.5) {
            result.frames.push_back(firstFrameAt(std::llround(start * ticksPerSecond), result.m_frameTime,
                                                 result.m_frameRate));
            lastMark = start;
        }
        result.numberOf.push_back(int(result.frames.size()));
        start += chapter ? std::max(0.0, chapter->duration()) : 0.0;
    }
    if (result.frames.empty())
        result.frames.push_back(0);
    return result;
}

double DVDChapterStarts::markSeconds(size_t i) const
{
    return (double(frames[i]) + 0.5) * double(m_frameTime) / double(m_frameRate);
}
