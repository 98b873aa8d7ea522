#include "SourceHL/Model/Resource/HLVideoDecoder.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

namespace {

class HLVideoDecoderTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_folder = new TestFolder;
        MediaFixtures::ClipRecipe recipe;
        recipe.seconds = 2.0;
        ASSERT_TRUE(MediaFixtures::makeIndexedClip(s_folder->file("clip.mp4"), recipe));
        recipe.seconds = 0.04; // one frame
        ASSERT_TRUE(MediaFixtures::makeIndexedClip(s_folder->file("blink.mp4"), recipe));
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }
    static TestFolder *s_folder;
};

TestFolder *HLVideoDecoderTest::s_folder = nullptr;

int indexAt(HLVideoDecoder &decoder, float time)
{
    return MediaFixtures::frameIndexOf(decoder.videoFrameAt(zk_ff_time_from_double(time)));
}

TEST_F(HLVideoDecoderTest, RepositionsOnlyForBackwardOrLongForwardJumps)
{
    const auto decoder = HLVideoDecoder::videoDecoderOf(s_folder->file("clip.mp4"));
    ASSERT_TRUE(decoder);
    EXPECT_NEAR(decoder->dDuration(), 2.0f, 0.05f);
    EXPECT_EQ(decoder->dLastTime(), 0.0f);
    const auto seeks = [&] { return decoder->oMovie()->frameSeekCount(); };

    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(indexAt(*decoder, i * 0.04f + 0.02f), i);
    EXPECT_EQ(seeks(), 0);
    EXPECT_EQ(indexAt(*decoder, 0.4f), 10);
    EXPECT_EQ(indexAt(*decoder, 1.5f), 37); // 1.1 s ahead
    EXPECT_EQ(seeks(), 1);
    EXPECT_EQ(indexAt(*decoder, 1.0f), 25); // back
    EXPECT_EQ(seeks(), 2);
    EXPECT_EQ(indexAt(*decoder, 1.9f), 47); // 0.9 s ahead: decodes on
    EXPECT_EQ(seeks(), 2);
    EXPECT_EQ(indexAt(*decoder, 1.0f), 25);
    EXPECT_EQ(seeks(), 3);
    decoder->videoSeek();
    EXPECT_EQ(decoder->dLastTime(), -1.0f);
    EXPECT_EQ(indexAt(*decoder, 1.0f), 25); // the same time, after a seek by the user
    EXPECT_EQ(seeks(), 4);
    EXPECT_EQ(indexAt(*decoder, 0.5f), 12);
    EXPECT_EQ(seeks(), 5);
    EXPECT_EQ(indexAt(*decoder, 1.5f), 37); // exactly 1.0 ahead
    EXPECT_EQ(seeks(), 6);
}

TEST_F(HLVideoDecoderTest, TimesAreClampedIntoTheClip)
{
    const auto decoder = HLVideoDecoder::videoDecoderOf(s_folder->file("clip.mp4"));
    ASSERT_TRUE(decoder);
    EXPECT_EQ(indexAt(*decoder, 7.0f), 47); // served at duration − 0.1
    EXPECT_FLOAT_EQ(decoder->dLastTime(), decoder->dDuration() - 0.1f);
    EXPECT_EQ(indexAt(*decoder, -3.0f), 0);
    EXPECT_EQ(indexAt(*decoder, std::nanf("")), 0);
    EXPECT_EQ(decoder->dLastTime(), 0.0f);

    // A clip shorter than 0.1 s is served at 0, not before it.
    const auto blink = HLVideoDecoder::videoDecoderOf(s_folder->file("blink.mp4"));
    ASSERT_TRUE(blink);
    EXPECT_EQ(indexAt(*blink, 0.5f), 0);
    EXPECT_EQ(blink->dLastTime(), 0.0f);
}

TEST_F(HLVideoDecoderTest, FramesComeAtTheSizeAskedAndKeepOneFrameObject)
{
    const auto decoder = HLVideoDecoder::videoDecoderOf(s_folder->file("clip.mp4"));
    ASSERT_TRUE(decoder);
    decoder->setFrameSize(QSize(32, 24));
    EXPECT_EQ(decoder->videoFrameAt(zk_ff_time_from_double(0.1)).size(), QSize(32, 24));
    const auto kept = decoder->movie_image();
    decoder->videoFrameAt(zk_ff_time_from_double(0.3));
    EXPECT_EQ(decoder->movie_image(), kept);
    EXPECT_FALSE(HLVideoDecoder::videoDecoderOf(s_folder->file("missing.mp4")));
}

TEST_F(HLVideoDecoderTest, SeeksFromAnotherThreadDoNotDisturbFrames)
{
    const auto decoder = HLVideoDecoder::videoDecoderOf(s_folder->file("clip.mp4"));
    ASSERT_TRUE(decoder);
    std::atomic<bool> done{false};
    std::thread seeker([&] {
        while (!done)
            decoder->videoSeek();
    });
    for (int i = 0; i < 40; ++i)
        ASSERT_EQ(indexAt(*decoder, i * 0.04f + 0.02f), i);
    done = true;
    seeker.join();
}

} // namespace
