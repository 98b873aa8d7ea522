// The photo and video editor's arithmetic and the editors' preview times, against the
// numbers a user sees.
#include "SourceHL/Editors/HLImageEditGeometry.h"
#include "SourceHL/Editors/HLPreviewTimes.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>

namespace {

using namespace HLImageEditGeometry;
using HLCropGeometry::Rect;

TEST(HLImageEditGeometryTest, CropSideIsTruncatedToWholePixels)
{
    const struct
    {
        double side;
        float ratio;
        int pixels;
    } cases[] = {{1920, 0.3333f, 639}, {1920, 1.0f, 1920}, {1920, 0.5f, 960}, {1080, 0.0f, 0}, {0, 0.5f, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(cropPixels(c.side, c.ratio), c.pixels) << c.side << " × " << c.ratio;
}

TEST(HLImageEditGeometryTest, PictureIsTheLargestFrameOfItsRatioInsideTheGap)
{
    // A 2:1 picture in a 400 × 300 area: 388 wide after the 6-point gap, centred upright.
    EXPECT_EQ(pictureFrameIn({0, 0, 400, 300}, 2.0f), (Rect{6, 53, 388, 194}));
    // A 1:2 picture in the same area fills the height.
    EXPECT_EQ(pictureFrameIn({0, 0, 400, 300}, 0.5f), (Rect{128, 6, 144, 288}));
    EXPECT_EQ(insideFrameIn({0, 0, 0, 300}, 1.0f), Rect{});
    EXPECT_EQ(insideFrameIn({0, 0, 300, 100}, 0.0f), Rect{});
    // The reference of a photo is 650 × 400, of a clip 650 × 350, gap included.
    EXPECT_EQ(referenceFrame(false, 1.0f), (Rect{131, 6, 388, 388}));
    EXPECT_EQ(referenceFrame(true, 1.0f), (Rect{156, 6, 338, 338}));
}

TEST(HLImageEditGeometryTest, CropFractionsGoToTheDisplayAndBack)
{
    const Rect d{6, 53, 388, 194};
    const CropRatios ratios{0.25f, 0.5f, 0.5f, 0.25f};
    const Rect c = ratioFrameIn(d, ratios);
    EXPECT_EQ(c, (Rect{6 + 97, 53 + 97, 194, 48.5}));
    const auto back = cropRatiosOf(d, c);
    ASSERT_TRUE(back);
    EXPECT_FLOAT_EQ(back->x, 0.25f);
    EXPECT_FLOAT_EQ(back->y, 0.5f); // the bottom edge, y-up
    EXPECT_FLOAT_EQ(back->w, 0.5f);
    EXPECT_FLOAT_EQ(back->h, 0.25f);
    EXPECT_EQ(ratioFrameIn(d, CropRatios{}), d) << "the default crop is the whole picture";
}

TEST(HLImageEditGeometryTest, AnEmptyDisplayGivesNoFractions)
{
    for (const Rect &d : {Rect{}, Rect{6, 6, 0, 100}, Rect{6, 6, 100, -2}})
        EXPECT_FALSE(cropRatiosOf(d, {10, 10, 20, 20}));
}

TEST(HLPreviewTimesTest, PreviewLoopsInsideTheKeptRange)
{
    // Kept 2 s to 5 s at a microsecond base (the clip editor), 10 s to 20 s at a millisecond
    // base (the music editor): on until a tenth before the end, back to the start after it
    // and before the start.
    const std::int64_t us = 1000000;
    const auto at = [&](double seconds) { return std::int64_t(seconds * double(us)); };
    const struct
    {
        std::int64_t now;
        float trimMin, trimMax;
        std::int64_t timeBase;
        std::optional<std::int64_t> next;
    } cases[] = {
        {at(2.0), 2.0f, 5.0f, us, {}},
        {at(4.85), 2.0f, 5.0f, us, {}},
        {at(4.9), 2.0f, 5.0f, us, {}},
        {at(4.91), 2.0f, 5.0f, us, at(2.0)},
        {at(5.5), 2.0f, 5.0f, us, at(2.0)},
        {at(1.0), 2.0f, 5.0f, us, at(2.0)},
        {at(0.0), 2.0f, 5.0f, us, at(2.0)},
        {0, 10.0f, 20.0f, 1000, 10000},     // before the start: to the start at the first tick
        {10000, 10.0f, 20.0f, 1000, {}},    // at the start
        {19899, 10.0f, 20.0f, 1000, {}},    // more than a tenth before the end
        {19901, 10.0f, 20.0f, 1000, 10000}, // within a tenth of the end: back to the start
        {25000, 10.0f, 20.0f, 1000, 10000},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HLPreviewTimes::loopedTime(c.now, c.trimMin, c.trimMax, c.timeBase), c.next)
            << c.now << " of " << c.timeBase;
}

TEST(HLPreviewTimesTest, TypedTimesAreFiniteNotNegativeAndCapped)
{
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(HLPreviewTimes::typedTime(65.5f), 65.5f);
    EXPECT_EQ(HLPreviewTimes::typedTime(-5.0f), 0.0f);
    EXPECT_EQ(HLPreviewTimes::typedTime(1e30f), HLPreviewTimes::kLongestTime);
    EXPECT_FALSE(HLPreviewTimes::typedTime(std::nanf("")));
    EXPECT_FALSE(HLPreviewTimes::typedTime(inf));
    EXPECT_FALSE(HLPreviewTimes::typedTime(-inf));
}

TEST(HLPreviewTimesTest, RepeatedEndIsStartPlusKeptTimesRepeatAndStaysFinite)
{
    EXPECT_EQ(HLPreviewTimes::repeatedEnd(4.0f, 6.0f, 2.5f), 19.0f);
    EXPECT_EQ(HLPreviewTimes::repeatedEnd(4.0f, 6.0f, 0.0f), 4.0f);
    EXPECT_EQ(HLPreviewTimes::repeatedEnd(4.0f, 6.0f, FLT_MAX), HLPreviewTimes::kLongestTime);
    EXPECT_EQ(HLPreviewTimes::repeatedEnd(4.0f, 6.0f, -3.0f), 4.0f);
    EXPECT_EQ(HLPreviewTimes::repeatedEnd(4.0f, 6.0f, std::nanf("")), 4.0f);
    EXPECT_FALSE(HLPreviewTimes::repeatedEnd(4.0f, 0.0f, 2.0f)) << "no kept length, no end";
    EXPECT_FALSE(HLPreviewTimes::repeatedEnd(4.0f, -1.0f, 2.0f));
}

} // namespace
