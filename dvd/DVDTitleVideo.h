#pragma once

#include "Frameworks/Trevanel/DVDTitleVideoProtocol.h"
#include "Platform/Foundation/HLAtomicProperty.h"

#include <atomic>
#include <memory>
#include <vector>

class DVDChapterVideo;
class ZKSegmentMovie;

// One disc title: its chapters in play order, and the flat list of segments the title video
// is converted from, where a segment that seamlessly continues the one before is joined
// into it.
class DVDTitleVideo : public DVDTitleVideoProtocol
{
public:
    using Movies = std::vector<std::shared_ptr<ZKSegmentMovie>>;

    bool isWarningVideo() const override { return m_isWarningVideo; }
    std::vector<std::shared_ptr<DVDChapterVideoProtocol>> chapters() const override;
    std::vector<std::shared_ptr<DVDChapterVideo>> chapterVideos() const { return m_chapters.get(); }
    void setChapters(std::vector<std::shared_ptr<DVDChapterVideo>> chapters) { m_chapters.set(std::move(chapters)); }
    // The sum of the chapters' durations, in seconds.
    double duration() const override;
    // New segments on every call.
    Movies vcmovies() const;

    // Whether segment movie continues old (the last joined segment) seamlessly: both play the
    // same file with the same picture settings and volume, neither fades or ramps where they
    // meet, and movie starts within 10 ms of old's stop.
    static bool canJoinVideo(const ZKSegmentMovie &movie, const ZKSegmentMovie *old);
    static Movies vcmoviesForChapters(const std::vector<std::shared_ptr<DVDChapterVideo>> &chapters);

private:
    std::atomic<bool> m_isWarningVideo{false};
    HLAtomicProperty<std::vector<std::shared_ptr<DVDChapterVideo>>> m_chapters;
};
