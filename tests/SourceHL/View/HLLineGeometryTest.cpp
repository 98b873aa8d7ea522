#include "SourceHL/View/HLLineGeometry.h"

#include <gtest/gtest.h>

namespace {

constexpr float kNoNext = 3.4028235e38f;

struct PressCase
{
    double x, minX, maxX;
    float last, next;
    TextlineDragMode mode;
    double min, max, del;
};

TEST(HLLineGeometryTest, PressPreparesTheDragOfItsZone)
{
    const PressCase cases[] = {
        // A title 100 … 215 between one ending at 40 and one starting at 300.
        {100, 100, 215, 40, 300, TextlineDragLeft, 40, 195, 0},
        {110, 100, 215, 40, 300, TextlineDragLeft, 40, 195, 10},
        {111, 100, 215, 40, 300, TextlineDragMove, 40, 185, 11},
        {204, 100, 215, 40, 300, TextlineDragMove, 40, 185, 104},
        {205, 100, 215, 40, 300, TextlineDragRight, 120, 300, 10},
        {215, 100, 215, 40, 300, TextlineDragRight, 120, 300, 0},
        // The first title's left edge stops at 0; the last one's right edge is unbounded.
        {5, 0, 115, 0, kNoNext, TextlineDragLeft, 0, 95, 5},
        {112, 0, 115, 0, kNoNext, TextlineDragRight, 20, kNoNext, 3},
        // A title 20 wide: a press at minX + 10 is in both zones and resizes the right edge.
        {60, 50, 70, 0, 300, TextlineDragRight, 70, 300, 10},
        {59, 50, 70, 0, 300, TextlineDragLeft, 0, 50, 9},
    };
    for (const PressCase &c : cases) {
        const HLTextlineDrag drag = hl_textlineDragOf(c.x, c.minX, c.maxX, c.last, c.next);
        EXPECT_EQ(drag.enDrag, c.mode) << c.x;
        EXPECT_FLOAT_EQ(float(drag.dDragMin), float(c.min)) << c.x;
        EXPECT_FLOAT_EQ(float(drag.dDragMax), float(c.max)) << c.x;
        EXPECT_DOUBLE_EQ(drag.dDragDel, c.del) << c.x;
    }
}

struct DragCase
{
    double pressX, dragX;
    bool startsDrop;
    float min, max;
};

TEST(HLLineGeometryTest, DraggedEdgesStopAtTheirBoundsAndMovesLeaveTheBandAsADrop)
{
    // The title 100 … 215 between 40 and 300, as above.
    const DragCase cases[] = {
        {100, 60, false, 60, 215},   // left edge follows
        {100, 10, false, 40, 215},   // … stops at the previous title's end
        {105, 300, false, 195, 215}, // … and 20 before the right edge
        {215, 250, false, 100, 250}, // right edge follows
        {215, 400, false, 100, 300}, // … stops at the next title
        {210, 0, false, 100, 120},   // … and 20 after the left edge
        {150, 170, false, 120, 235}, // a move keeps the width
        {150, 235, false, 185, 300}, // up to the band's end
        {150, 236, true, 100, 215},  // one point more starts a drag and drop, span untouched
        {150, 89, true, 100, 215},   // also to the left
    };
    for (const DragCase &c : cases) {
        const HLTextlineDrag drag = hl_textlineDragOf(c.pressX, 100, 215, 40, 300);
        const HLTextlineDragStep step = hl_textlineDragged(drag, c.dragX, 100, 215);
        EXPECT_EQ(step.startsDrop, c.startsDrop) << c.pressX << " -> " << c.dragX;
        EXPECT_FLOAT_EQ(step.lineMin, c.min) << c.pressX << " -> " << c.dragX;
        EXPECT_FLOAT_EQ(step.lineMax, c.max) << c.pressX << " -> " << c.dragX;
    }
    // The last title's right edge has no bound.
    const HLTextlineDrag last = hl_textlineDragOf(112, 0, 115, 0, kNoNext);
    EXPECT_FLOAT_EQ(hl_textlineDragged(last, 5000, 0, 115).lineMax, 5003);
}

TEST(HLLineGeometryTest, TextDropLandsWhereItsMarkerIs)
{
    EXPECT_FLOAT_EQ(hl_textlineDropX(-30), 0);
    EXPECT_FLOAT_EQ(hl_textlineDropX(0), 0);
    EXPECT_FLOAT_EQ(hl_textlineDropX(123.5), 123.5f);
    // The bar's left edge stays between 1 and W - 1.
    EXPECT_FLOAT_EQ(hl_textlineMarkerLeft(0, 500), 1);
    EXPECT_FLOAT_EQ(hl_textlineMarkerLeft(250, 500), 250);
    EXPECT_FLOAT_EQ(hl_textlineMarkerLeft(800, 500), 499);
}

TEST(HLLineGeometryTest, AudioCellsAndDropBoundaries)
{
    const double xs[] = {0, 200, 400, 600, 800};
    for (int k = 0; k < 5; ++k)
        EXPECT_DOUBLE_EQ(hl_audioCellX(k), xs[k]);
    const struct
    {
        double x;
        std::int64_t count, index;
    } drops[] = {
        {0, 1, 0}, {99, 1, 0}, {100, 1, 1}, {299, 5, 1}, {300, 5, 2},
        {5000, 3, 3}, // far right of the last cell: the boundary after it
        {-150, 3, 0}, {50, 0, 0},
    };
    for (const auto &d : drops)
        EXPECT_EQ(hl_audioDropIndex(d.x, d.count), d.index) << d.x;
    // The marker of boundary 0 is centred on 1, so its bar covers 0 … 2; at the far right it
    // stops one point inside.
    EXPECT_FLOAT_EQ(hl_audioMarkerCenter(0, 800), 1);
    EXPECT_FLOAT_EQ(hl_audioMarkerCenter(2, 800), 400);
    EXPECT_FLOAT_EQ(hl_audioMarkerCenter(4, 800), 799);
}

} // namespace
