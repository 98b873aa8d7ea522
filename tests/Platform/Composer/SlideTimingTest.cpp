#include "Platform/Composer/SlideTiming.h"

#include <gtest/gtest.h>

namespace {

SlideTiming example()
{
    SlideTiming t;
    t.durationTS = 1;
    t.durationTA = 2;
    t.durationT = 3;
    t.durationTB = 4;
    t.durationTB2 = 6;
    t.durationS = 5;
    return t;
}

TEST(SlideTimingTest, PhasesFollowTheEntryLengthsOfEachPosition)
{
    const SlideTiming t = example();
    // four pictures: T = 1, 2, 3, 4, each followed by S = 5
    const auto p = t.phases(4);
    ASSERT_EQ(p.size(), 4u);
    const double expected[4][4] = {{0, 1, 6, 8}, {6, 8, 13, 16}, {13, 16, 21, 25}, {21, 25, 30, 30}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(p[i].entry, expected[i][0]) << i;
        EXPECT_DOUBLE_EQ(p[i].hold, expected[i][1]) << i;
        EXPECT_DOUBLE_EQ(p[i].exit, expected[i][2]) << i;
        EXPECT_DOUBLE_EQ(p[i].end, expected[i][3]) << i;
    }
    EXPECT_DOUBLE_EQ(t.total(4), 30);
    // two pictures: the second takes Duration_T_B_2; three: the middle Duration_T_A, the last Duration_T_B
    EXPECT_DOUBLE_EQ(t.entryLength(1, 2), 6);
    EXPECT_DOUBLE_EQ(t.entryLength(1, 3), 2);
    EXPECT_DOUBLE_EQ(t.entryLength(2, 3), 4);
    EXPECT_DOUBLE_EQ(t.total(1), 6);
    EXPECT_TRUE(t.phases(0).empty());
}

// Renderers clamp a slideshow's time to total(); the last picture is shown up to its end, so the two
// must be the very same number, not equal up to rounding.
TEST(SlideTimingTest, TheTotalIsExactlyTheLastPicturesEnd)
{
    SlideTiming t;
    t.durationTS = t.durationT = t.durationTA = t.durationTB = t.durationTB2 = 1.2;
    t.durationS = 3;
    for (int count = 1; count <= 12; ++count)
        EXPECT_EQ(t.total(count), t.phases(count).back().end) << count;
}

TEST(SlideTimingTest, ReadsTheDurationKeysLeniently)
{
    const QVariantMap info{{"Duration_T_S", 1.5}, {"Duration_S", "2.5"}, {"Duration_T", 3},
                           {"Duration_T_B_2", QVariant()}, {"Duration_T_A", "x"}};
    const SlideTiming t = SlideTiming::fromInfo(info);
    EXPECT_DOUBLE_EQ(t.durationTS, 1.5);
    EXPECT_DOUBLE_EQ(t.durationS, 2.5);
    EXPECT_DOUBLE_EQ(t.durationT, 3);
    EXPECT_DOUBLE_EQ(t.durationTA, 0);
    EXPECT_DOUBLE_EQ(t.durationTB, 0);
    EXPECT_DOUBLE_EQ(t.durationTB2, 0);
}

} // namespace
