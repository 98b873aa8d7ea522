#include "export/AudioEditProgressGeometry.h"

#include <gtest/gtest.h>

namespace {

TEST(AudioEditProgressGeometry, TimesMapOntoTheBarAndBack)
{
    // W = 330: the bar runs from 15 to 315 (300 points).
    const AudioEditProgressGeometry g{330, 1000};
    const std::tuple<double, double> toX[] = {{0, 15}, {500, 165}, {1000, 315}, {-50, 15}, {5000, 315}};
    for (const auto &[time, x] : toX)
        EXPECT_DOUBLE_EQ(g.pointXFromTime(time), x) << time;
    const std::tuple<double, double> toTime[] = {{15, 0}, {315, 1000}, {165, 500}, {0, 0}, {400, 1000}};
    for (const auto &[x, time] : toTime)
        EXPECT_DOUBLE_EQ(g.pointXToTime(x), time) << x;
    EXPECT_EQ(g.progressRect(), QRectF(15, 15, 300, 6));
    EXPECT_EQ(g.rectForProgressBtn(500), QRectF(157.5, 21, 15, 12));
    EXPECT_EQ(g.rectForTrimLeftBtn(200), QRectF(60, 0, 15, 15));
    EXPECT_EQ(g.rectForTrimRightBtn(800), QRectF(255, 0, 15, 15));
    EXPECT_EQ(g.rectForTrimTimeBack(200, 800), QRectF(75, 15, 180, 6));
}

TEST(AudioEditProgressGeometry, ClipWithoutLengthHasNoPositions)
{
    const AudioEditProgressGeometry g{330, 0};
    EXPECT_FALSE(g.hasLength());
    EXPECT_DOUBLE_EQ(g.pointXToTime(300), 0);
    // A bar narrower than 0.1 point divides by 0.1.
    const AudioEditProgressGeometry narrow{30.05, 1000};
    EXPECT_NEAR(narrow.pointXToTime(15.05), 500, 1e-6);
}

TEST(AudioEditProgressGeometry, HandlesKeepTheShortestSpan)
{
    const std::tuple<double, qint64> starts[] = {{300, 300}, {900, 700}, {-40, 0}};
    for (const auto &[t, start] : starts)
        EXPECT_EQ(AudioEditProgressGeometry::dragTrimStart(t, 800, 100), start) << t;
    const std::tuple<double, qint64> stops[] = {{600, 600}, {1500, 1000}, {150, 300}};
    for (const auto &[t, stop] : stops)
        EXPECT_EQ(AudioEditProgressGeometry::dragTrimStop(t, 200, 100, 1000), stop) << t;
}

} // namespace
