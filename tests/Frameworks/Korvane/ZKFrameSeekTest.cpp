#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "tests/Frameworks/Korvane/MovieFrames.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using MediaFixtures::ClipRecipe;

namespace {

constexpr int kFps = 25;
constexpr double kSeconds = 8.0;
constexpr int kFrames = int(kFps * kSeconds);

struct Container
{
    const char *name;
    const char *file;
    QStringList codec;
};

void PrintTo(const Container &container, std::ostream *out)
{
    *out << container.name;
}

// Camcorder and DVD streams: a keyframe every 12 frames, B-frames between.
const QStringList h264{"-c:v", "libx264", "-preset", "fast", "-g", "12", "-bf", "2", "-pix_fmt", "yuv420p"};
const QStringList mpeg2{"-c:v", "mpeg2video", "-g", "12", "-bf", "2", "-q:v", "3"};
const QStringList m2ts{"-f", "mpegts", "-mpegts_m2ts_mode", "1"};

class FrameSeekTest : public ::testing::TestWithParam<Container>
{
};

// Frames asked in any order, far apart or close, show the frame at or before the time
// asked, up to the very end.
TEST_P(FrameSeekTest, EveryTimeShowsItsOwnFrame)
{
    const Container &container = GetParam();
    TestFolder folder;
    const QString path = folder.file(container.file);
    ClipRecipe recipe;
    recipe.size = QSize(160, 64);
    recipe.fps = kFps;
    recipe.seconds = kSeconds;
    recipe.videoCodec = container.codec;
    ASSERT_TRUE(MediaFixtures::makeNumberedClip(path, recipe));
    const auto movie = ZKFFMovie::open(path);
    ASSERT_TRUE(movie);

    std::vector<int> frames;
    std::mt19937 random(11);
    std::uniform_int_distribution<int> pick(0, kFrames - 1);
    for (int n = 0; n < 40; ++n)
        frames.push_back(pick(random));
    for (int i = kFrames - 8; i < kFrames; ++i)
        frames.push_back(i); // the last keyframe may lie before these
    frames.push_back(kFrames - 1);
    frames.push_back(3);
    for (int frame : frames) {
        const double seconds = (frame + 0.5) / kFps;
        EXPECT_EQ(MediaFixtures::frameNumberOf(frameAt(*movie, seconds)), frame) << "at " << seconds << " s";
    }
}

INSTANTIATE_TEST_SUITE_P(Korvane, FrameSeekTest,
                         ::testing::Values(Container{"Mpeg2Mpg", "a.mpg", mpeg2},
                                           Container{"H264Mpg", "b.mpg", h264},
                                           Container{"Mpeg2Ts", "c.ts", mpeg2},
                                           Container{"H264Ts", "d.ts", h264},
                                           Container{"H264M2ts", "e.m2ts", h264 + m2ts},
                                           Container{"Mpeg2M2ts", "f.m2ts", mpeg2 + m2ts},
                                           Container{"H264Mp4", "g.mp4", h264},
                                           Container{"Mpeg2Mkv", "h.mkv", mpeg2}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
