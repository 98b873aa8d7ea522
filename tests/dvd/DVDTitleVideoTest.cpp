#include "dvd/DVDChapterVideo.h"
#include "dvd/DVDTitleVideo.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovieFade.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

constexpr qint64 ms = 1000; // ticks

class DVDTitleVideoTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_folder = new TestFolder;
        for (const char *name : {"a.mp4", "b.mp4"})
            MediaFixtures::writeClip(s_folder->file(QString::fromLatin1(name)), true, 2.0);
    }
    static void TearDownTestSuite() { delete s_folder; }

    static std::shared_ptr<ZKSegmentMovie> segment(const char *file, qint64 start, qint64 stop)
    {
        auto movie = ZKSegmentMovie::movieWithPath(s_folder->file(QString::fromLatin1(file)));
        movie->setStop(stop);
        movie->setStart(start);
        return movie;
    }
    static std::shared_ptr<DVDChapterVideo> chapter(std::vector<std::shared_ptr<ZKSegmentMovie>> movies)
    {
        auto c = std::make_shared<DVDChapterVideo>();
        c->setMovies(std::move(movies));
        return c;
    }

    static TestFolder *s_folder;
};

TestFolder *DVDTitleVideoTest::s_folder = nullptr;

} // namespace

TEST_F(DVDTitleVideoTest, JoinsOnlySeamlessContinuations)
{
    struct Case
    {
        const char *name;
        std::function<std::shared_ptr<ZKSegmentMovie>()> second;
        std::function<void(ZKSegmentMovie &first)> editFirst;
        size_t segments;
        qint64 joinedStop; // of the first result
    };
    const Case cases[] = {
        {"5 ms later", [] { return segment("a.mp4", 1005 * ms, 1800 * ms); }, {}, 1, 1800 * ms},
        {"20 ms later", [] { return segment("a.mp4", 1020 * ms, 1800 * ms); }, {}, 2, 1000 * ms},
        {"fades in", [] { auto s = segment("a.mp4", 1000 * ms, 1800 * ms); s->setFadeIn(200 * ms); return s; }, {}, 2, 1000 * ms},
        {"fades out", [] { auto s = segment("a.mp4", 1000 * ms, 1800 * ms); s->setFadeOut(200 * ms); return s; }, {}, 2, 1000 * ms},
        {"after a fade-out", [] { return segment("a.mp4", 1000 * ms, 1800 * ms); },
         [](ZKSegmentMovie &first) { first.setFadeOut(300 * ms); }, 2, 1000 * ms},
        {"another file", [] { return segment("b.mp4", 1000 * ms, 1800 * ms); }, {}, 2, 1000 * ms},
        {"another volume", [] {
             auto s = segment("a.mp4", 1000 * ms, 1800 * ms);
             std::dynamic_pointer_cast<ZKFFMovie>(s->ffmovie())->setVolume(0.5);
             return s;
         }, {}, 2, 1000 * ms},
        {"a volume ramp", [] {
             auto s = segment("a.mp4", 1000 * ms, 1800 * ms);
             s->setAudioFades({std::make_shared<ZKSegmentMovieFade>()});
             return s;
         }, {}, 2, 1000 * ms},
        // Starts where the first stops (within 10 ms) but ends inside it: never backwards.
        {"ends earlier", [] { auto s = segment("a.mp4", 0, 1800 * ms); s->setStart(995 * ms); s->setStop(995 * ms); return s; },
         [](ZKSegmentMovie &first) { first.setStop(1000 * ms); }, 1, 1000 * ms},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto first = segment("a.mp4", 0, 1000 * ms);
        first->setFadeIn(100 * ms);
        if (c.editFirst)
            c.editFirst(*first);
        const auto second = c.second();
        const auto firstStop = first->stop();
        const auto result = DVDTitleVideo::vcmoviesForChapters({chapter({first}), chapter({second})});
        ASSERT_EQ(result.size(), c.segments);
        EXPECT_EQ(result[0]->start(), 0);
        EXPECT_EQ(result[0]->stop(), c.joinedStop);
        EXPECT_EQ(result[0]->fadeIn(), 100 * ms);
        EXPECT_EQ(result[0]->ffmovie(), first->ffmovie());
        // The chapters' own segments are never changed.
        EXPECT_EQ(first->stop(), firstStop);
    }
}

TEST_F(DVDTitleVideoTest, NonFileSourcesAndEmptyTitles)
{
    DVDTitleVideo empty;
    EXPECT_TRUE(empty.vcmovies().empty());
    EXPECT_DOUBLE_EQ(empty.duration(), 0.0);
    empty.setChapters({chapter({}), chapter({})});
    EXPECT_TRUE(empty.vcmovies().empty());
    EXPECT_DOUBLE_EQ(empty.duration(), 0.0);

    // An empty movie is no file: never joined, even to a copy of itself.
    const auto source = ZKSegmentMovie::movieWithEmptyFFMovie();
    source->setStop(500 * ms);
    auto again = ZKSegmentMovie::movieWithFFmovie(source->ffmovie());
    again->setStop(500 * ms);
    DVDTitleVideo title;
    title.setChapters({chapter({source, again}), chapter({segment("a.mp4", 0, 1000 * ms), segment("a.mp4", 1003 * ms, 1500 * ms)})});
    const auto movies = title.vcmovies();
    EXPECT_EQ(movies.size(), 3u);
    // New segments on every call.
    EXPECT_NE(title.vcmovies()[0], movies[0]);
    // The title lasts as long as its chapters' segments, not the joined list (which spans the gap).
    EXPECT_DOUBLE_EQ(title.duration(), 0.5 + 0.5 + 1.0 + 0.497);
}
