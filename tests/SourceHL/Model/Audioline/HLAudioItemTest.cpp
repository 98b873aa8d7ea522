#include "SourceHL/Model/Audioline/HLAudioItem.h"

#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<HLResourceItem> music(const QString &hash, float duration)
{
    return std::make_shared<HLResourceItem>(
        HLResourceTypeAudio, "TA" + hash, hash,
        QVariantMap{{"Name", "song"}, {"Format", "wav"}, {"Duration", duration}});
}

// A clip whose kept part is trimmed seconds long, played from start to stop.
std::shared_ptr<HLAudioItem> clip(float trimmed, float fadeIn, float fadeOut, float start = 0, float stop = 100)
{
    auto item = HLAudioItem::audioItemOf("1", music("7", trimmed));
    item->oEdit()->setDFadeIn(fadeIn);
    item->oEdit()->setDFadeOut(fadeOut);
    item->updatePlayMin(start, stop);
    return item;
}

TEST(HLAudioItem, MadeOnlyFromMusic)
{
    EXPECT_EQ(HLAudioItem::audioItemOf("", music("1", 10)), nullptr);
    EXPECT_EQ(HLAudioItem::audioItemOf("5", nullptr), nullptr);
    const auto photo = std::make_shared<HLResourceItem>(HLResourceTypeImage, "TI2", "2", QVariantMap{{"Name", "p"}});
    EXPECT_EQ(HLAudioItem::audioItemOf("5", photo), nullptr);
    const auto silent = music("3", 0); // no length: nothing to trim
    EXPECT_EQ(HLAudioItem::audioItemOf("5", silent), nullptr);

    const auto item = HLAudioItem::audioItemOf("5", music("4", 12));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->strAUID(), "5");
    EXPECT_EQ(item->strName(), "song");
    EXPECT_EQ(item->dTrimDuration(), 12);
    EXPECT_EQ(item->dPlayMin(), 0);
    EXPECT_EQ(item->dPlayMax(), 0);
    EXPECT_FALSE(item->didLoad());
    EXPECT_EQ(item->debugDescription(), "Start:0.00  --  Stop:0.00");
}

TEST(HLAudioItem, PlayRangeSettersKeepItOrdered)
{
    const auto item = clip(10, 3, 3, 5, 15);
    item->setDPlayMin(20);
    EXPECT_EQ(item->dPlayMin(), 15);
    item->setDPlayMin(-2);
    EXPECT_EQ(item->dPlayMin(), 0);
    item->setDPlayMax(-1);
    EXPECT_EQ(item->dPlayMax(), 0);
    item->updatePlayMin(4, 9);
    item->updatePlayMin(-1, 9); // refused
    item->updatePlayMin(5, 4);  // refused
    EXPECT_EQ(item->dPlayMin(), 4);
    EXPECT_EQ(item->dPlayMax(), 9);
    EXPECT_FALSE(item->contains(4));
    EXPECT_TRUE(item->contains(4.01f));
    EXPECT_FALSE(item->contains(9));
}

struct VolumeCase
{
    float trimmed, fadeIn, fadeOut, local, factor;
};

class HLAudioItemVolume : public ::testing::TestWithParam<VolumeCase>
{
};

TEST_P(HLAudioItemVolume, FadesEveryRepetition)
{
    const VolumeCase c = GetParam();
    const auto item = clip(c.trimmed, c.fadeIn, c.fadeOut);
    item->oEdit()->setDVolume(0.8f);
    EXPECT_NEAR(item->localVolume(c.local), 0.8f * c.factor, 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HLAudioItemVolume,
    ::testing::Values(VolumeCase{10, 3, 3, 1.5f, 0.5f}, VolumeCase{10, 3, 3, 5, 1}, VolumeCase{10, 3, 3, 8.5f, 0.5f},
                      VolumeCase{10, 3, 3, 11.5f, 0.5f}, // second repetition
                      VolumeCase{10, 3, 3, 10, 0}, VolumeCase{10, 3, 3, 20, 0},
                      VolumeCase{10, 6, 6, 3, 0.5f},
                      // Overlapping fades: the fade-out still ends at 0, so loops never click.
                      VolumeCase{10, 6, 6, 8, 2.0f / 6}, VolumeCase{10, 6, 6, 10, 0}, VolumeCase{10, 6, 6, 5, 5.0f / 6},
                      VolumeCase{10, 4, 6, 9.99f, 0.01f / 6},
                      // No fade-in: full gain from the start (no 0/0).
                      VolumeCase{10, 0, 3, 0, 1}, VolumeCase{10, 0, 0, 10, 1}, VolumeCase{10, 0, 3, 8.5f, 0.5f}));

TEST(HLAudioItem, GlobalVolumeOnlyInsideTheRange)
{
    const auto item = clip(10, 3, 3, 20, 40);
    EXPECT_EQ(item->globalVolume(20), 0);
    EXPECT_EQ(item->globalVolume(40), 0);
    EXPECT_FLOAT_EQ(item->globalVolume(21.5f), 0.5f);
    EXPECT_FLOAT_EQ(item->globalVolume(35), 1);
}

struct FadeOutCase
{
    float start, stop, time, volume;
};

class HLAudioItemFadeOut : public ::testing::TestWithParam<FadeOutCase>
{
};

TEST_P(HLAudioItemFadeOut, ClosesTheRange)
{
    const FadeOutCase c = GetParam();
    const auto item = clip(10, 3, 3, c.start, c.stop);
    EXPECT_NEAR(item->fadeOutVolume(c.time), c.volume, 1e-5f);
}

INSTANTIATE_TEST_SUITE_P(Cases, HLAudioItemFadeOut,
                         ::testing::Values(FadeOutCase{0, 2, 1, 0.5f},     // short range: its whole length
                                           FadeOutCase{0, 10, 5, 1},       // before the last 3 s
                                           FadeOutCase{0, 10, 8.5f, 0.5f}, //
                                           FadeOutCase{0, 10, 10, 1},      // outside
                                           FadeOutCase{0, 10, 11, 1}));

} // namespace
