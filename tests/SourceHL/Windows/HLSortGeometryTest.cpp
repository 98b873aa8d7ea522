#include "SourceHL/Windows/HLSortGeometry.h"

#include <gtest/gtest.h>

namespace {

using namespace HLSortGeometry;

TEST(HLSortGeometryTest, ATileOfTwelveOnABackViewFiveHundredWide)
{
    const Storyboard board = storyboardOf(500, 100, {12}, 1.0f);
    EXPECT_EQ(board.columns, 5);
    ASSERT_EQ(board.tiles.size(), 1u);
    EXPECT_EQ(board.tiles[0].width, 480);
    EXPECT_EQ(board.tiles[0].height, 290);
    EXPECT_EQ(gridSquare(7, 5, 290, 1.0f), (Rect{175, 90, 80, 80}));
    EXPECT_EQ(cellFrame(7, 5, 290, 1.0f), (Rect{177.5, 92.5, 75, 75}));
}

TEST(HLSortGeometryTest, AFullRowAndOneMore)
{
    EXPECT_EQ(rowsOf(5, 5), 1);
    EXPECT_EQ(rowsOf(6, 5), 2);
    const double height = tileHeight(6, 5, 1.0f);
    const Rect lastOfFirstRow = gridSquare(4, 5, height, 1.0f);
    const Rect second = gridSquare(5, 5, height, 1.0f);
    EXPECT_EQ(second.x, 5);
    EXPECT_EQ(second.y, lastOfFirstRow.y - 85);
    EXPECT_EQ(second.y, 5); // the last row rests 5 above the tile's bottom
}

TEST(HLSortGeometryTest, TilesHangFromTheTopFifteenApart)
{
    // Shorter than the scroll view: the back view fills it.
    const Storyboard low = storyboardOf(500, 600, {3, 6}, 1.0f);
    EXPECT_EQ(low.backHeight, 600);
    ASSERT_EQ(low.tiles.size(), 2u);
    EXPECT_EQ(low.tiles[0].maxY(), 600 - 15);
    EXPECT_EQ(low.tiles[0].x, 10);
    EXPECT_EQ(low.tiles[1].maxY(), low.tiles[0].y - 15);
    // Taller: 15 plus every tile and 15.
    const Storyboard tall = storyboardOf(500, 100, {3, 6, 12}, 1.0f);
    EXPECT_EQ(tall.backHeight, 15 + (120 + 15) + (205 + 15) + (290 + 15));
    EXPECT_EQ(tall.tiles.back().y, 15);
    // No items: exactly the scroll view.
    EXPECT_EQ(storyboardOf(500, 333, {}, 1.0f).backHeight, 333);
}

TEST(HLSortGeometryTest, ZoomChangesTheCellAndTheColumns)
{
    EXPECT_EQ(cellSide(0.5f), 40);
    EXPECT_EQ(columnsOf(480, 0.5f), 10); // (480 − 5) / 45
    EXPECT_EQ(columnsOf(480, 2.0f), 2);  // (480 − 5) / 165
    // Narrower than one cell: still one column.
    EXPECT_EQ(columnsOf(60, 1.0f), 1);
}

// A tile three columns wide (260 at zoom 1).
TEST(HLSortGeometryTest, DropCellBelowTheLastRow)
{
    struct Case
    {
        std::int64_t count;
        std::int64_t index;
        bool marked;
    };
    for (const Case c : {Case{7, 7, false}, Case{6, 6, true}}) {
        const double height = tileHeight(c.count, 3, 1.0f);
        const DropCell cell = dropCellOf(10, 2, 260, height, c.count, 1.0f);
        EXPECT_EQ(cell.mode, 3);
        EXPECT_EQ(cell.index(), c.index) << c.count;
        EXPECT_EQ(cell.marked(), c.marked) << c.count;
    }
    const DropCell seven = dropCellOf(10, 2, 260, tileHeight(7, 3, 1.0f), 7, 1.0f);
    EXPECT_EQ(seven.y, 3);
    EXPECT_EQ(seven.x, -2);
}

TEST(HLSortGeometryTest, DropCellOverTheHeaderAndBetweenCells)
{
    const double height = tileHeight(7, 3, 1.0f); // 290
    const DropCell header = dropCellOf(100, height - 10, 260, height, 7, 1.0f);
    EXPECT_EQ(header.y, -1);
    EXPECT_LT(header.index(), 0);
    EXPECT_FALSE(header.marked());
    // First row (y-up 200), just right of the first cell's middle: the gap after it.
    const DropCell gap = dropCellOf(50, 200, 260, height, 7, 1.0f);
    EXPECT_EQ(gap.y, 0);
    EXPECT_EQ(gap.x, 1);
    EXPECT_EQ(markerOf(gap, 260, height, 1.0f), (Rect{87.5, 290 - 117.5, 2, 85}));
    // The right margin of a full row: column c, the start of the next row.
    const DropCell right = dropCellOf(258, 200, 260, height, 7, 1.0f);
    EXPECT_EQ(right.x, 3);
    EXPECT_EQ(right.index(), 3);
}

TEST(HLSortGeometryTest, DropLinesLieInTheGaps)
{
    // Tiles of heights 100 and 50 on a back view 300 high: tops at 285 and 170.
    const std::vector<Rect> tiles{{10, 185, 480, 100}, {10, 120, 480, 50}};
    EXPECT_EQ(dropLineOf(295, tiles, 300), 292.5);
    EXPECT_EQ(dropLineOf(240, tiles, 300), 292.5); // nearer the top line
    EXPECT_EQ(dropLineOf(230, tiles, 300), 177.5);
    EXPECT_EQ(dropLineOf(235, tiles, 300), 177.5); // a tie goes to the lower line
    EXPECT_EQ(dropLineOf(10, tiles, 300), 112.5);  // below the last tile
    EXPECT_EQ(dropLineOf(10, {}, 300), 292.5);
    EXPECT_EQ(insertionTileOf(292.5, tiles), 0u);
    EXPECT_EQ(insertionTileOf(177.5, tiles), 1u);
    EXPECT_EQ(insertionTileOf(112.5, tiles), 2u);
    EXPECT_EQ(drawnLineY(0, 300), 1);
    EXPECT_EQ(drawnLineY(400, 300), 299);
}

} // namespace
