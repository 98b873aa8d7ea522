// The limited and crop views' arithmetic against the numbers of their design.
#include "SourceHL/Editors/HLCropGeometry.h"

#include "Platform/Foundation/HLAssert.h"

#include <gtest/gtest.h>

namespace C = HLCropGeometry;

namespace {

TEST(HLCropGeometryTest, ClampKeepsTheFrameInsideTheLimit)
{
    const C::Rect limit{10, 20, 80, 60};
    struct Case
    {
        C::Rect frame;
        C::Point origin;
    };
    for (const Case c : {Case{{0, 30, 20, 20}, {10, 30}},    // past the left edge
                         {{80, 30, 20, 20}, {70, 30}},       // past the right edge
                         {{30, 0, 20, 20}, {30, 20}},        // below
                         {{30, 75, 20, 20}, {30, 60}},       // above
                         {{30, 30, 20, 20}, {30, 30}},       // inside
                         {{0, 0, 100, 20}, {-10, 20}}})      // wider than the limit: right edges meet
        EXPECT_EQ(C::clampedOrigin(c.frame, limit), c.origin);
    // The zero limit puts the right and top edges on the origin.
    EXPECT_EQ(C::clampedOrigin({5, 5, 20, 30}, {}), (C::Point{-20, -30}));
}

TEST(HLCropGeometryTest, ArrowsStepOnePoint)
{
    EXPECT_EQ(C::nudge(C::Arrow::Left), (C::Point{-1, 0}));
    EXPECT_EQ(C::nudge(C::Arrow::Right), (C::Point{1, 0}));
    EXPECT_EQ(C::nudge(C::Arrow::Down), (C::Point{0, -1}));
    EXPECT_EQ(C::nudge(C::Arrow::Up), (C::Point{0, 1}));
    EXPECT_EQ(C::nudge(C::Arrow::None), (C::Point{0, 0}));
}

TEST(HLCropGeometryTest, ASmallDisplayFrameGrowsToTheMinimumRightAndUp)
{
    double ratio = 0;
    EXPECT_EQ(C::frameForDisplay({40, 50, 10, 10}, 1, &ratio), (C::Rect{34, 44, 36, 36}));
    EXPECT_EQ(ratio, 1);
    EXPECT_EQ(C::frameForDisplay({40, 50, 100, 50}, 2, &ratio), (C::Rect{34, 44, 112, 62}));
    EXPECT_EQ(ratio, 2);
}

TEST(HLCropGeometryTest, APressGrabsByWhereItLies)
{
    const double w = 112, h = 72;
    struct Case
    {
        C::Point p;
        std::int64_t drag, resize, stationary;
        C::Point offset;
    };
    const Case cases[] = {
        {{3, 3}, C::DragResize, C::ResizeCorner, C::StationaryUR, {-3, -3}},
        {{5, h / 2 + 1}, C::DragResize, C::ResizeLeftRight, C::StationaryLR, {-5, 0}},
        {{w - 4, h - 2}, C::DragResize, C::ResizeCorner, C::StationaryLL, {4, 2}},
        {{w / 2 + 3, 4}, C::DragResize, C::ResizeBottomTop, C::StationaryUL, {0, -4}},
        {{w / 2, h / 2}, C::DragMove, C::ResizeCorner, C::StationaryUL, {0, 0}},
        // The band's inner edge is still the band, and says which edge.
        {{w - 12, h / 2 - 5}, C::DragResize, C::ResizeLeftRight, C::StationaryUL, {12, 0}},
        {{w / 2 - 5, h - 12}, C::DragResize, C::ResizeBottomTop, C::StationaryLR, {0, 12}},
    };
    for (const Case &c : cases) {
        const C::Grab g = C::grabAt(c.p, w, h);
        EXPECT_TRUE(g.inside);
        EXPECT_EQ(g.dragType, c.drag) << c.p.x << "," << c.p.y;
        if (c.drag == C::DragResize) {
            EXPECT_EQ(g.resizeType, c.resize) << c.p.x << "," << c.p.y;
            EXPECT_EQ(g.stationary, c.stationary) << c.p.x << "," << c.p.y;
            EXPECT_EQ(g.offsetToBoundary, c.offset) << c.p.x << "," << c.p.y;
        }
    }
    EXPECT_FALSE(C::grabAt({w, 10}, w, h).inside);
    EXPECT_FALSE(C::grabAt({-1, 10}, w, h).inside);
}

TEST(HLCropGeometryTest, ResizingGrowsFromTheFreeCornerUntilTheLimitAndStopsAtTheMinimum)
{
    C::ResizeInput in;
    in.startFrame = {50, 50, 100, 80};
    in.limit = {0, 0, 300, 200};
    in.stationary = C::StationaryUR;
    // Ten points left and down: grows, the upper right corner stays.
    EXPECT_EQ(C::resized(in, 10, 10), (C::Rect{40, 40, 110, 90}));
    // Far past the limit: the free edges stop on it.
    EXPECT_EQ(C::resized(in, 500, 500), (C::Rect{0, 0, 150, 130}));
    // Far inwards: the minimum of 24 (36 with the margin), the corner still in place.
    EXPECT_EQ(C::resized(in, -500, -500), (C::Rect{114, 94, 36, 36}));
    in.resizeRatio = 2;
    EXPECT_EQ(C::resized(in, -500, -500), (C::Rect{90, 70, 60, 60}));

    in.resizeRatio = 1;
    in.stationary = C::StationaryLL;
    EXPECT_EQ(C::resized(in, 500, 0), (C::Rect{50, 50, 250, 80}));
    in.stationary = C::StationaryUL;
    EXPECT_EQ(C::resized(in, 0, 500), (C::Rect{50, 0, 100, 130}));
    in.stationary = C::StationaryLR;
    EXPECT_EQ(C::resized(in, 20, 500), (C::Rect{30, 50, 120, 150}));
    in.stationary = 7;
    EXPECT_THROW(C::resized(in, 1, 1), std::logic_error);
}

TEST(HLCropGeometryTest, AFixedRatioDrivesTheHeightFromTheWidth)
{
    C::ResizeInput in;
    in.startFrame = {50, 50, 100, 50};
    in.limit = {0, 0, 300, 200};
    in.stationary = C::StationaryLL;
    in.fixedRatio = true;
    in.cropRatio = 2;
    EXPECT_EQ(C::resized(in, 20, 0), (C::Rect{50, 50, 120, 60}));
    EXPECT_EQ(C::resized(in, 0, 30), (C::Rect{50, 50, 100, 50})); // a top edge grab changes nothing
}

TEST(HLCropGeometryTest, PullingAwayFromTheAnchorGrowsAndPushingTowardsItShrinks)
{
    const C::Rect f{50, 50, 100, 80};
    const C::Point origin{50, 50};
    // Anchor upper right, the lower left corner pulled 10 left and 10 down.
    EXPECT_EQ(C::resizeOffset(C::StationaryUR, C::ResizeCorner, -10, -10, {37, 37}, origin, f), (C::Point{10, 10}));
    // The same corner pushed 10 right and up.
    EXPECT_EQ(C::resizeOffset(C::StationaryUR, C::ResizeCorner, 10, 10, {57, 57}, origin, f), (C::Point{-10, -10}));
    // A left edge grab ignores the vertical travel.
    EXPECT_EQ(C::resizeOffset(C::StationaryLR, C::ResizeLeftRight, -10, 25, {35, 90}, origin, f), (C::Point{10, 0}));
    // Anchor lower left, the upper right corner pulled out.
    EXPECT_EQ(C::resizeOffset(C::StationaryLL, C::ResizeCorner, 8, 6, {158, 136}, origin, f), (C::Point{8, 6}));
}

TEST(HLCropGeometryTest, TrisectionLinesLieAtPoint333AndPoint667)
{
    const std::vector<C::Line> lines = C::trisectionLines({6, 6, 300, 150});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], (C::Line{6, 6 + 0.333 * 150, 306, 6 + 0.333 * 150}));
    EXPECT_EQ(lines[1], (C::Line{6 + 0.333 * 300, 6, 6 + 0.333 * 300, 156}));
    EXPECT_EQ(lines[2], (C::Line{6, 6 + 0.667 * 150, 306, 6 + 0.667 * 150}));
    EXPECT_EQ(lines[3], (C::Line{6 + 0.667 * 300, 6, 6 + 0.667 * 300, 156}));
}

TEST(HLCropGeometryTest, RefitToARatioKeepsTheCentreAndFitsThePicture)
{
    // Picture 0..200 × 0..100 (limit grown by 6), crop 40 × 20 at its centre: ratio 1 keeps
    // the longer side, 40 × 40; ratio 0.1 would be 400 high and is capped by the picture.
    const C::Rect limit{-6, -6, 212, 112};
    const C::Rect frame{74, 34, 52, 32}; // display (80, 40, 40, 20), centre (100, 50)
    EXPECT_EQ(C::refitted(frame, limit, 1), (C::Rect{74, 24, 52, 52}));
    EXPECT_EQ(C::refitted(frame, limit, 0.1), (C::Rect{89, -6, 22, 112}));
}

} // namespace
