// The chooser's tab rules and the grid's arithmetic against the layout's own numbers.
#include "SourceHL/Windows/HLQuartzGridGeometry.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(HLQuartzRulesTest, TemplatesGoToTheirTabs)
{
    const struct
    {
        std::int64_t type;
        const char *name;
        QuartzUIType tab;
    } cases[] = {
        {0, "KenBurns", QuartzUITypeSlideshow}, {0, "Normal", QuartzUITypeGeneral},
        {0, "NormalZoom", QuartzUITypeGeneral}, {0, "DissolveWhite", QuartzUITypeGeneral},
        {0, "normal", QuartzUITypeSlideshow},   {0, "", QuartzUITypeSlideshow},
        {2, "Dissolve", QuartzUITypeTransition}, {3, "Fade", QuartzUITypeText},
        {1, "Normal", QuartzUITypeText},        {7, "", QuartzUITypeText},
    };
    for (const auto &c : cases)
        EXPECT_EQ(HLQuartzRules::UITypeOf(c.type, c.name), c.tab) << c.type << " " << c.name;
}

TEST(HLQuartzRulesTest, TabsDrawOnTheirPoolsAndGroup)
{
    const std::int64_t pools[] = {0, 0, 2, 3};
    for (QuartzUIType tab = 0; tab < 4; ++tab)
        EXPECT_EQ(HLQuartzRules::typeOf(tab), pools[tab]) << tab;
    EXPECT_EQ(HLQuartzRules::typeOf(9), 0);
    // Slideshow and General are one group; the others stand alone; unknown tabs none.
    const bool same[5][5] = {{1, 1, 0, 0, 0}, {1, 1, 0, 0, 0}, {0, 0, 1, 0, 0}, {0, 0, 0, 1, 0}, {0, 0, 0, 0, 0}};
    for (QuartzUIType a = 0; a < 5; ++a)
        for (QuartzUIType b = 0; b < 5; ++b)
            EXPECT_EQ(HLQuartzRules::isSameTypeOf(a, b), same[a][b]) << a << "," << b;
}

TEST(HLQuartzGridLayoutTest, ColumnsSpreadTheWidthLeftOver)
{
    const auto layout = HLQuartzGridLayout::layoutOf(420, 300, 7);
    EXPECT_EQ(layout.columns, 3u);
    EXPECT_EQ(layout.rows, 3u);
    EXPECT_DOUBLE_EQ(layout.spacing, 5);
    EXPECT_DOUBLE_EQ(layout.contentHeight, 3 * 120 + 5);
    const double xs[] = {10, 145, 280, 10, 145, 280, 10};
    const double ys[] = {245, 245, 245, 125, 125, 125, 5};
    for (std::size_t i = 0; i < 7; ++i) {
        EXPECT_DOUBLE_EQ(layout.xOf(i), xs[i]) << i;
        EXPECT_DOUBLE_EQ(layout.yOf(i), ys[i]) << i;
    }
}

TEST(HLQuartzGridLayoutTest, NarrowAndEmptyGrids)
{
    const struct
    {
        double width, height;
        std::size_t count;
        std::size_t columns;
        double spacing, contentHeight, firstX, firstY;
    } cases[] = {
        {140, 500, 2, 1, 0, 500, 5, 380},  // exactly one column: no spacing, the visible height
        {100, 50, 2, 1, 0, 245, 5, 125},   // narrower than a tile: still one column, clipped
        {0, 80, 1, 1, 0, 125, 5, 5},       // no width at all
        {420, 300, 0, 3, 5, 300, 10, 180}, // no tiles: the content takes the visible height
    };
    for (const auto &c : cases) {
        const auto layout = HLQuartzGridLayout::layoutOf(c.width, c.height, c.count);
        EXPECT_EQ(layout.columns, c.columns) << c.width;
        EXPECT_DOUBLE_EQ(layout.spacing, c.spacing) << c.width;
        EXPECT_DOUBLE_EQ(layout.contentHeight, c.contentHeight) << c.width;
        EXPECT_DOUBLE_EQ(layout.xOf(0), c.firstX) << c.width;
        EXPECT_DOUBLE_EQ(layout.yOf(0), c.firstY) << c.width;
    }
}

TEST(HLQuartzPreviewClockTest, SpeedsLoopsAndWrapping)
{
    EXPECT_FLOAT_EQ(HLQuartzPreviewClock::speedOf(0), 2.0f);
    EXPECT_FLOAT_EQ(HLQuartzPreviewClock::speedOf(2), 1.0f);
    EXPECT_FLOAT_EQ(HLQuartzPreviewClock::speedOf(3), 0.4f);
    EXPECT_FLOAT_EQ(HLQuartzPreviewClock::loopOf(0, 12.5), 12.5f);
    EXPECT_FLOAT_EQ(HLQuartzPreviewClock::loopOf(3, 12.5), 1.0f);
    const struct
    {
        float now, elapsed, loop, wrapped;
    } cases[] = {
        {0, 1, 4, 1}, {3.5f, 1, 4, 0.5f}, {0, 9, 4, 1}, {2, 2, 4, 0},
        {1, 1, 0, 0},  // a loop of 0 stays at the start
        {1, 1, -3, 0}, // so does a broken one
        {1, 1, NAN, 0},
    };
    for (const auto &c : cases)
        EXPECT_FLOAT_EQ(HLQuartzPreviewClock::wrapped(c.now, c.elapsed, c.loop), c.wrapped)
            << c.now << "+" << c.elapsed << " in " << c.loop;
}

TEST(HLQuartzPreviewClockTest, TransitionsRunOverTheirLoopAsZeroToOne)
{
    EXPECT_FLOAT_EQ(HLQuartzPreviewClock::renderTimeOf(2, 0.5f, 2.0f), 0.25f);
    EXPECT_FLOAT_EQ(HLQuartzPreviewClock::renderTimeOf(2, 0.5f, 0.0f), 0.0f);
    EXPECT_FLOAT_EQ(HLQuartzPreviewClock::renderTimeOf(0, 3.0f, 12.0f), 3.0f);
    EXPECT_FLOAT_EQ(HLQuartzPreviewClock::renderTimeOf(3, 0.7f, 1.0f), 0.7f);
}
