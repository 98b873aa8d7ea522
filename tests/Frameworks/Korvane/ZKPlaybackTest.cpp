#include "Frameworks/Korvane/ZKAudioEngine.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKMoviePlayer.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <cmath>
#include <thread>

namespace {

double seconds(qint64 ticks)
{
    return zk_ff_time_to_double(ticks);
}

class PlaybackTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ZKAudioEngine::setSilentOutput(true);
        s_folder = new TestFolder;
        ASSERT_TRUE(MediaFixtures::makeTone(s_folder->file("tone.wav"), 2.0, 44100, 2, {"-c:a", "pcm_s16le"}));
        MediaFixtures::ClipRecipe recipe;
        ASSERT_TRUE(MediaFixtures::makeIndexedClip(s_folder->file("picture.mp4"), recipe));
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }
    static TestFolder *s_folder;
};

TestFolder *PlaybackTest::s_folder = nullptr;

QElapsedTimer startedClock()
{
    QElapsedTimer clock;
    clock.start();
    return clock;
}

// Samples the position while it plays from `from`, started no earlier than clock: it never
// goes back, it moves on by at least `distance` seconds, and never runs ahead of the time that
// has passed. How far it gets in a given time depends on how busy the machine is, so that is
// not asked.
void expectAdvancing(const std::function<qint64()> &position, double from, const QElapsedTimer &clock,
                     double distance = 0.15)
{
    qint64 last = position();
    while (seconds(last) < from + distance && clock.elapsed() < 30000) {
        QThread::msleep(7);
        const qint64 now = position();
        ASSERT_GE(now, last);
        ASSERT_LE(seconds(now), from + clock.elapsed() / 1000.0 + 0.06);
        last = now;
    }
    EXPECT_GE(seconds(last), from + distance);
}

TEST_F(PlaybackTest, PlayPauseAndSeekKeepThePositionRight)
{
    ASSERT_TRUE(ZKAudioEngine::instance().isSilentOutput());
    const auto movie = ZKFFMovie::open(s_folder->file("tone.wav"));
    ASSERT_TRUE(movie);
    EXPECT_FALSE(movie->isPlay());
    QElapsedTimer clock = startedClock();
    movie->play();
    EXPECT_TRUE(movie->isPlay());
    expectAdvancing([&] { return movie->currentTime(); }, 0.0, clock);

    movie->pause();
    EXPECT_FALSE(movie->isPlay());
    const qint64 paused = movie->currentTime();
    QThread::msleep(100);
    EXPECT_EQ(movie->currentTime(), paused);

    movie->setCurrentTime(zk_default_time_base()); // a jump while paused
    EXPECT_EQ(movie->currentTime(), zk_default_time_base());
    clock.start();
    movie->play();
    expectAdvancing([&] { return movie->currentTime(); }, 1.0, clock);

    clock.start();
    movie->setCurrentTime(zk_default_time_base() / 2); // a jump while playing
    expectAdvancing([&] { return movie->currentTime(); }, 0.5, clock);
    movie->pause();
}

TEST_F(PlaybackTest, APictureOnlyMovieAndLoudGainsStillPlay)
{
    const auto movie = ZKFFMovie::open(s_folder->file("picture.mp4"));
    ASSERT_TRUE(movie);
    ASSERT_FALSE(movie->hasAudio());
    movie->setPlayVolume(3.0);
    movie->setVolume(1.5);
    EXPECT_DOUBLE_EQ(movie->playVolume() * movie->volume(), 4.5);
    const QElapsedTimer clock = startedClock();
    movie->play();
    expectAdvancing([&] { return movie->currentTime(); }, 0.0, clock);
    movie->pause();
}

// One movie used three ways at once: its sound playing, its frames decoded on another
// thread and its samples read on a third. None of them disturbs the others.
TEST_F(PlaybackTest, OneMoviePlaysGivesFramesAndSamplesAtOnce)
{
    MediaFixtures::ClipRecipe recipe;
    recipe.seconds = 2.0;
    recipe.audioCodec = {"-c:a", "pcm_s16le"};
    const QString path = s_folder->file("three.mov");
    ASSERT_TRUE(MediaFixtures::makeIndexedClip(path, recipe));
    const auto movie = ZKFFMovie::open(path);
    ASSERT_TRUE(movie);
    std::vector<float> first(2 * 441);
    ASSERT_TRUE(movie->readSample(first.data(), 0, 441)); // samples from 0 …
    const QElapsedTimer clock = startedClock();
    movie->play();                                       // … and the sound from 0.01 s

    std::atomic<int> wrongFrames{0};
    std::thread frames([&] {
        for (int i = 0; i < 50; ++i) {
            const qint64 time = qint64((i + 0.5) / 25 * double(zk_default_time_base()));
            int index = -1;
            movie->decodeImageAtTime(
                time, [&](const std::shared_ptr<ZKMovieImage> &frame) { index = MediaFixtures::frameIndexOf(frame->currentImage()); },
                true);
            if (index != i)
                ++wrongFrames;
        }
    });
    std::atomic<int> wrongSamples{0};
    std::thread samples([&] {
        std::vector<float> block(2 * 1000);
        for (qint64 n = 441; n < 441 + 30 * 1000;) {
            movie->readSample(block.data(), 0, 1000);
            for (int i = 0; i < 1000; ++i, ++n) {
                const double tone = 0.5 * std::sin(2 * M_PI * 441.0 * double(n) / 44100.0);
                if (std::abs(block[size_t(i) * 2] - tone) > 2.0 / 32768)
                    ++wrongSamples;
            }
        }
    });
    expectAdvancing([&] { return movie->currentTime(); }, 0.01, clock);
    frames.join();
    samples.join();
    movie->pause();
    EXPECT_EQ(wrongFrames, 0);
    EXPECT_EQ(wrongSamples, 0);
}

class CountingDelegate : public ZKMoviePlayerDelegate
{
public:
    void imageDidFlushInPlayer(ZKMoviePlayer *) override { ++calls; }
    int calls = 0;
};

TEST_F(PlaybackTest, ThePlayerPlaysItsSegmentAndStopsAtItsEnd)
{
    const auto segment = ZKSegmentMovie::movieWithPath(s_folder->file("tone.wav"));
    ASSERT_TRUE(segment);
    segment->setStop(zk_default_time_base() * 6 / 10);
    segment->setStart(zk_default_time_base() * 3 / 10);
    ZKMoviePlayer player;
    CountingDelegate delegate;
    player.setDelegate(&delegate);
    player.setIsApplyEffect(true);
    player.setSegmentMovie(segment);
    EXPECT_EQ(player.duration(), segment->ffmovie()->duration());
    EXPECT_EQ(player.currentTime(), segment->start());

    player.play();
    EXPECT_TRUE(player.isPlay());
    // It stops by itself exactly at the segment's end, however long that takes on a busy
    // machine.
    const QElapsedTimer clock = startedClock();
    while (player.isPlay() && clock.elapsed() < 30000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_FALSE(player.isPlay());
    EXPECT_GE(clock.elapsed() / 1000.0, 0.3 - 0.06); // 0.3 s of sound never ends sooner
    EXPECT_EQ(player.currentTime(), segment->stop());
    EXPECT_GE(delegate.calls, 5);

    player.setSegmentMovie(nullptr);
    EXPECT_EQ(player.duration(), 0);
}

} // namespace
