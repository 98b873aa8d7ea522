// The trim line's arithmetic against the numbers of its design.
#include "SourceHL/Editors/HLTrimlineGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace G = HLTrimlineGeometry;

namespace {

struct FoldCase
{
    float in;
    float out;
};

TEST(HLTrimlineGeometryTest, FoldKeepsAPositionChosenWhilePlayingInsideTheSelections)
{
    const std::vector<G::Range> one{{0.2f, 0.6f}};
    for (const FoldCase c : {FoldCase{0.1f, 0.2f}, {0.7f, 0.2f}, {0.6f, 0.2f}, {0.2f, 0.2f}, {0.4f, 0.4f}})
        EXPECT_FLOAT_EQ(G::fold(c.in, true, one), c.out) << c.in;
    const std::vector<G::Range> two{{0.1f, 0.3f}, {0.5f, 0.8f}};
    for (const FoldCase c : {FoldCase{0.4f, 0.5f}, {0.85f, 0.1f}, {0.05f, 0.1f}, {0.3f, 0.5f}, {0.6f, 0.6f}})
        EXPECT_FLOAT_EQ(G::fold(c.in, true, two), c.out) << c.in;
}

TEST(HLTrimlineGeometryTest, FoldPassesEveryPositionWhenPausedOrWithoutSelections)
{
    const std::vector<G::Range> two{{0.1f, 0.3f}, {0.5f, 0.8f}};
    for (float r : {0.05f, 0.3f, 0.4f, 0.85f}) {
        EXPECT_EQ(G::fold(r, false, two), r);
        EXPECT_EQ(G::fold(r, true, {}), r);
    }
}

TEST(HLTrimlineGeometryTest, SelectionIsDrawnInItsRangeOfTheInnerStrip)
{
    EXPECT_EQ(G::selectionRect(200, 30, {0.25f, 0.75f}), (G::Rect{50, 7, 100, 16}));
}

TEST(HLTrimlineGeometryTest, ARatioIsTheClampedXOverTheWidth)
{
    EXPECT_EQ(G::ratioOfX(-20, 200), 0.0f);
    EXPECT_EQ(G::ratioOfX(100, 200), 0.5f);
    EXPECT_EQ(G::ratioOfX(260, 200), 1.0f);
    EXPECT_EQ(G::ratioOfX(10, 0), 0.0f);
}

TEST(HLTrimlineGeometryTest, EachHandleStandsOnItsRatioByItsAnchor)
{
    struct Case
    {
        G::TrimUnitType type;
        double left;
        double height;
    };
    // At x = 100: the min handle's right edge, the play handle's centre, the max handle's left edge.
    for (const Case c : {Case{G::TrimUnitMin, 84, 16}, {G::TrimUnitMid, 92, 12}, {G::TrimUnitMax, 100, 16}}) {
        EXPECT_EQ(G::handleLeft(c.type, 100), c.left);
        EXPECT_EQ(G::handleAnchor(c.type, c.left), 100);
        EXPECT_EQ(G::handleHeight(c.type), c.height);
        EXPECT_EQ(G::handleWidth(c.type), 16);
    }
}

TEST(HLTrimlineGeometryTest, HandlesAreHitByTheirPolygonsNotTheirRectangles)
{
    // y-up in the handle: the min triangle leaves its top-left corner, the max its top-right.
    EXPECT_TRUE(G::handleContains(G::TrimUnitMin, 14, 2));
    EXPECT_FALSE(G::handleContains(G::TrimUnitMin, 2, 14));
    EXPECT_TRUE(G::handleContains(G::TrimUnitMax, 2, 2));
    EXPECT_FALSE(G::handleContains(G::TrimUnitMax, 14, 14));
    EXPECT_TRUE(G::handleContains(G::TrimUnitMid, 8, 2));  // near the tip
    EXPECT_FALSE(G::handleContains(G::TrimUnitMid, 1, 1)); // beside the tip
    EXPECT_TRUE(G::handleContains(G::TrimUnitMid, 1, 11));
}

TEST(HLTrimlineGeometryTest, LimitsKeepSelectionsFromCrossing)
{
    const std::vector<G::Range> two{{0.1f, 0.3f}, {0.5f, 0.8f}};
    using P = std::pair<float, float>;
    EXPECT_EQ(G::handleLimits(G::TrimUnitMin, 1, two), P(0.3f, 0.8f));
    EXPECT_EQ(G::handleLimits(G::TrimUnitMax, 0, two), P(0.1f, 0.5f));
    EXPECT_EQ(G::handleLimits(G::TrimUnitMin, 0, two), P(0.0f, 0.3f));
    EXPECT_EQ(G::handleLimits(G::TrimUnitMax, 1, two), P(0.5f, 1.0f));
    EXPECT_EQ(G::handleLimits(G::TrimUnitMid, 0, two), P(0.0f, 1.0f));
}

TEST(HLTrimlineGeometryTest, ARatioSeeksAClampedTick)
{
    const std::int64_t duration = 3'000'001;
    EXPECT_EQ(G::ticksOfRatio(1.5f, duration), std::int64_t(float(duration)));
    EXPECT_EQ(G::ticksOfRatio(-0.2f, duration), 0);
    EXPECT_EQ(G::ticksOfRatio(0.5f, 1000), 500);
    EXPECT_EQ(G::ticksOfRatio(std::numeric_limits<float>::quiet_NaN(), 1000), 0);
}

TEST(HLTrimlineGeometryTest, APlayRatioIsClampedAndZeroWithoutLength)
{
    EXPECT_FLOAT_EQ(G::playRatio(1, 4), 0.25f);
    EXPECT_EQ(G::playRatio(5, 4), 1.0f);  // a position past the end
    EXPECT_EQ(G::playRatio(-1, 4), 0.0f); // before the start
    EXPECT_EQ(G::playRatio(1, 0), 0.0f);
    EXPECT_EQ(G::playRatio(1, -2), 0.0f);
}

} // namespace
