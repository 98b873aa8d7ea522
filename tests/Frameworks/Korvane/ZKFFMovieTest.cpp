#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "tests/Frameworks/Korvane/MovieFrames.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QThread>

#include <atomic>
#include <cmath>

#include <limits>
#include <random>

using MediaFixtures::ClipRecipe;

namespace {

qint64 ticks(double seconds)
{
    return qint64(seconds * double(zk_default_time_base()));
}

struct Format
{
    const char *name;
    const char *file;
    ClipRecipe recipe;
    bool audioOnly;      // made with makeTone instead
    QStringList toneCodec;
    int toneRate;
    int toneChannels;
    bool video;
    bool audio;
    QSize size;
    int rotation = 0;
};

void PrintTo(const Format &format, std::ostream *out)
{
    *out << format.name;
}

ClipRecipe clip(QStringList video, QStringList audio = {}, QStringList extra = {})
{
    ClipRecipe recipe;
    recipe.videoCodec = std::move(video);
    recipe.audioCodec = std::move(audio);
    recipe.extra = std::move(extra);
    return recipe;
}

std::vector<Format> formats()
{
    const QStringList h264{"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"};
    return {
        {"H264AacMp4", "a.mp4", clip(h264, {"-c:a", "aac"}), false, {}, 0, 0, true, true, {64, 48}},
        {"Mpeg4Avi", "b.avi", clip({"-c:v", "mpeg4", "-q:v", "2"}), false, {}, 0, 0, true, false, {64, 48}},
        {"Vp9OpusWebm", "c.webm",
         clip({"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8"}, {"-c:a", "libopus"}), false, {},
         0, 0, true, true, {64, 48}},
        {"MjpegPcmMov", "d.mov", clip({"-c:v", "mjpeg"}, {"-c:a", "pcm_s16le"}), false, {}, 0, 0, true, true,
         {64, 48}},
        {"RotatedMp4", "e.mp4", clip(h264), false, {}, 0, 0, true, false, {48, 64}, 90},
        {"WideSampleAspectMp4", "f.mp4", clip(h264 + QStringList{"-vf", "setsar=2"}), false, {}, 0, 0, true,
         false, {128, 48}},
        {"Mp3", "g.mp3", {}, true, {"-c:a", "libmp3lame"}, 44100, 2, false, true, {}},
        {"Wav", "h.wav", {}, true, {"-c:a", "pcm_s16le"}, 44100, 2, false, true, {}},
        {"Flac", "i.flac", {}, true, {"-c:a", "flac"}, 44100, 2, false, true, {}},
        {"Mono22050Wav", "j.wav", {}, true, {"-c:a", "pcm_s16le"}, 22050, 1, false, true, {}},
        {"Surround51Flac", "k.flac", {}, true, {"-c:a", "flac"}, 48000, 6, false, true, {}},
    };
}

class FormatTest : public ::testing::TestWithParam<Format>
{
};

TEST_P(FormatTest, OpensWithItsLengthSizeAndStreams)
{
    const Format &format = GetParam();
    TestFolder folder;
    const QString path = folder.file(format.file);
    ASSERT_TRUE(format.audioOnly
                    ? MediaFixtures::makeTone(path, 1.0, format.toneRate, format.toneChannels, format.toneCodec)
                    : MediaFixtures::makeIndexedClip(path, format.recipe));
    if (format.rotation) {
        ASSERT_TRUE(MediaFixtures::setMp4Rotation(path, format.rotation));
    }
    const auto movie = ZKFFMovie::open(path);
    ASSERT_TRUE(movie);
    EXPECT_NEAR(zk_ff_time_to_double(movie->duration()), 1.0, 0.08);
    EXPECT_EQ(movie->hasVideo(), format.video);
    EXPECT_EQ(movie->hasAudio(), format.audio);
    EXPECT_EQ(movie->videoSize(), format.size);
    EXPECT_EQ(movie->medias().value(0).source.path, path);

    if (format.video) {
        const QImage first = frameAt(*movie, 0.0);
        EXPECT_EQ(first.size(), format.size);
        EXPECT_EQ(MediaFixtures::frameIndexOf(first), 0);
        EXPECT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, 13.5 / 25)), 13);
    }
    if (format.audio) {
        // Sound comes out on both sides, at about the tone's level.
        std::vector<float> samples(2 * 4410);
        ASSERT_TRUE(movie->readSample(samples.data(), 0, 4410));
        float left = 0, right = 0;
        for (size_t i = 0; i < samples.size(); i += 2) {
            left = std::max(left, std::abs(samples[i]));
            right = std::max(right, std::abs(samples[i + 1]));
        }
        EXPECT_GT(left, 0.2f);
        EXPECT_GT(right, 0.2f);
    }
}

INSTANTIATE_TEST_SUITE_P(Korvane, FormatTest, ::testing::ValuesIn(formats()),
                         [](const auto &info) { return std::string(info.param.name); });

class FrameTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_folder = new TestFolder;
        ClipRecipe recipe;
        recipe.seconds = 2.0;
        recipe.size = QSize(96, 64);
        ASSERT_TRUE(MediaFixtures::makeIndexedClip(s_folder->file("clip.mp4"), recipe));
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }
    static QString clipPath() { return s_folder->file("clip.mp4"); }
    static TestFolder *s_folder;
};

TestFolder *FrameTest::s_folder = nullptr;

TEST_F(FrameTest, ForwardFramesDecodeInOrderWithoutRepositioning)
{
    const auto movie = ZKFFMovie::open(clipPath());
    ASSERT_TRUE(movie);
    for (int i = 0; i < 50; ++i)
        ASSERT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, (i + 0.5) / 25)), i) << "frame " << i;
    EXPECT_EQ(movie->frameSeekCount(), 0);
    // The frame at or before a time: exactly on a frame's start, and just before the next.
    EXPECT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, 1.6)), 40);
    EXPECT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, 1.639)), 40);
}

// Frames asked a little later each time decode forward; only a jump back or far ahead (past
// a later keyframe, here every 12 frames) moves the demuxer.
TEST_F(FrameTest, RepositionsOnlyForBackwardOrLongForwardJumps)
{
    struct Case
    {
        double from, to;
        bool repositions;
    };
    const Case cases[] = {
        {0.10, 0.50, false}, // the next keyframe (0.48) is close
        {0.50, 0.52, false},
        {0.10, 1.30, true},  // keyframe 0.96 is far ahead: skip the decoding in between
        {1.30, 1.90, false},
        {1.00, 0.50, true},  // backwards
        {1.90, 1.85, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " then " << c.to);
        const auto movie = ZKFFMovie::open(clipPath());
        ASSERT_TRUE(movie);
        ASSERT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, c.from)), int(c.from * 25 + 1e-6));
        const int before = movie->frameSeekCount();
        EXPECT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, c.to)), int(c.to * 25 + 1e-6));
        EXPECT_EQ(movie->frameSeekCount() - before, c.repositions ? 1 : 0);
    }
}

TEST_F(FrameTest, BackwardAndRandomFramesShowTheirTime)
{
    const auto movie = ZKFFMovie::open(clipPath());
    ASSERT_TRUE(movie);
    for (int i = 49; i >= 0; i -= 7)
        EXPECT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, (i + 0.5) / 25)), i) << "frame " << i;
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, 49);
    for (int n = 0; n < 30; ++n) {
        const int i = pick(random);
        EXPECT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, (i + 0.5) / 25)), i) << "frame " << i;
    }
}

TEST_F(FrameTest, OutOfRangeTimesGiveTheFirstOrLastFrame)
{
    const auto movie = ZKFFMovie::open(clipPath());
    ASSERT_TRUE(movie);
    EXPECT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, 5.0)), 49);
    EXPECT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, 0.0)), 0);
    EXPECT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, 9.0)), 49);
}

TEST_F(FrameTest, FramesAreScaledToTheSizeAsked)
{
    const auto movie = ZKFFMovie::open(clipPath());
    ASSERT_TRUE(movie);
    movie->setFrameSize(QSize(48, 32));
    const QImage image = frameAt(*movie, 0.5);
    EXPECT_EQ(image.size(), QSize(48, 32));
    EXPECT_EQ(MediaFixtures::frameIndexOf(image), 12);
}

TEST_F(FrameTest, DecodingLaterOnAWorkerThreadStillDelivers)
{
    const auto movie = ZKFFMovie::open(clipPath());
    ASSERT_TRUE(movie);
    std::atomic<int> index{-2};
    movie->decodeImageAtTime(
        ticks(0.3), [&](const std::shared_ptr<ZKMovieImage> &frame) {
            index = MediaFixtures::frameIndexOf(frame->currentImage());
        },
        false);
    for (int wait = 0; wait < 500 && index == -2; ++wait)
        QThread::msleep(10);
    EXPECT_EQ(index, 7);
}

TEST(ZKFFMovieBroken, UnreadableFilesGiveNoMovie)
{
    TestFolder folder;
    ClipRecipe recipe;
    ASSERT_TRUE(MediaFixtures::makeIndexedClip(folder.file("whole.mp4"), recipe));
    QFile whole(folder.file("whole.mp4"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();

    const auto write = [&](const QString &name, const QByteArray &content) {
        QFile file(folder.file(name));
        file.open(QIODevice::WriteOnly);
        file.write(content);
        return folder.file(name);
    };
    // The index of this file sits at its end: half of it is no movie.
    EXPECT_FALSE(ZKFFMovie::open(write("half.mp4", bytes.left(bytes.size() / 2))));
    EXPECT_FALSE(ZKFFMovie::open(write("empty.mp4", {})));
    EXPECT_FALSE(ZKFFMovie::open(write("notes.txt", "Just some words, not a movie.\n")));
    EXPECT_FALSE(ZKFFMovie::open(write("noise.mov", QByteArray(4096, '\x5a'))));
    EXPECT_FALSE(ZKFFMovie::open(folder.file("missing.mp4")));
    EXPECT_FALSE(ZKFFMovie::open(folder.path()));
    EXPECT_FALSE(ZKSegmentMovie::movieWithPath(folder.file("empty.mp4")));
}

TEST(ZKFFMovieBroken, ATruncatedStreamDecodesWhatItHoldsWithoutHanging)
{
    TestFolder folder;
    ClipRecipe recipe;
    recipe.seconds = 2.0;
    recipe.audioCodec = {"-c:a", "aac"};
    recipe.extra = {"-movflags", "+faststart"};
    ASSERT_TRUE(MediaFixtures::makeIndexedClip(folder.file("whole.mp4"), recipe));
    QFile whole(folder.file("whole.mp4"));
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    QFile cut(folder.file("cut.mp4"));
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(bytes.left(bytes.size() * 6 / 10));
    cut.close();

    const auto movie = ZKFFMovie::open(folder.file("cut.mp4"));
    ASSERT_TRUE(movie); // the index is whole, the data is not
    EXPECT_EQ(MediaFixtures::frameIndexOf(frameAt(*movie, 0.1)), 2);
    frameAt(*movie, 1.9); // whatever is left, but an answer
    std::vector<float> samples(2 * 44100 * 3);
    movie->setCurrentTime(ticks(0.5));
    EXPECT_TRUE(movie->readSample(samples.data(), 0, 44100 * 3));
    EXPECT_EQ(samples.back(), 0.0f);
}

// A movie whose second half is missing is as long as what it holds, not what its header
// promises: its last moments show moving pictures and sound, not a frozen frame in silence.
TEST(ZKFFMovieBroken, ACutShortMovieIsAsLongAsWhatItHolds)
{
    TestFolder folder;
    ClipRecipe recipe;
    recipe.size = QSize(160, 64);
    recipe.seconds = 4.0;
    recipe.audioCodec = {"-c:a", "aac"};
    recipe.extra = {"-movflags", "+faststart"};
    ASSERT_TRUE(MediaFixtures::makeNumberedClip(folder.file("whole.mp4"), recipe));
    const QByteArray bytes = MediaFixtures::readBytes(folder.file("whole.mp4"));
    ASSERT_TRUE(MediaFixtures::writeBytes(folder.file("cut.mp4"), bytes.left(bytes.size() / 2)));

    const auto movie = ZKFFMovie::open(folder.file("cut.mp4"));
    ASSERT_TRUE(movie);
    const double length = zk_ff_time_to_double(movie->duration());
    EXPECT_GT(length, 1.0);
    EXPECT_LT(length, 3.0);
    // What the header promised stays known, so the cut can be told.
    EXPECT_NEAR(zk_ff_time_to_double(movie->declaredDuration()), 4.0, 0.1);
    const auto whole = ZKFFMovie::open(folder.file("whole.mp4"));
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->declaredDuration(), whole->duration());
    const double last = length - 0.1;
    EXPECT_NEAR(MediaFixtures::frameNumberOf(frameAt(*movie, last)), last * 25, 3);
    std::vector<float> samples(2 * 2205);
    movie->setCurrentTime(ticks(length - 0.1));
    ASSERT_TRUE(movie->readSample(samples.data(), 0, 2205));
    float loudest = 0;
    for (float sample : samples)
        loudest = std::max(loudest, std::abs(sample));
    EXPECT_GT(loudest, 0.2f);
}

TEST(ZKFFMovieEmpty, AnEmptyMovieHasNothingToGive)
{
    ZKFFMovie movie;
    EXPECT_FALSE(movie.hasVideo());
    EXPECT_FALSE(movie.hasAudio());
    EXPECT_EQ(movie.duration(), 0);
    EXPECT_TRUE(movie.medias().isEmpty());
    bool called = false;
    movie.decodeImageAtTime(0, [&](const auto &) { called = true; }, true);
    EXPECT_FALSE(called);
    float buffer[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(movie.readSample(buffer, 0, 4));
}

} // namespace

TEST(ZKTime, secondsAndTicksConvertThroughOnePair)
{
    const struct {
        double seconds;
        qint64 ticks;
    } cases[] = {{0.0, 0}, {1.5, 1500000}, {-2.25, -2250000}, {1.0 / 3.0, 333333}, {0.0000005, 1},
                 {std::nan(""), 0}, {1e300, std::numeric_limits<qint64>::max()},
                 {-1e300, std::numeric_limits<qint64>::min()}};
    for (const auto &c : cases)
        EXPECT_EQ(zk_ff_time_from_double(c.seconds), c.ticks) << c.seconds;
    for (qint64 ticks : {qint64(0), qint64(1), qint64(-7), qint64(123456789012)})
        EXPECT_EQ(zk_ff_time_from_double(zk_ff_time_to_double(ticks)), ticks);
}
