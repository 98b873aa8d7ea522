#pragma once

#include <cstdint>
#include <vector>

// The arithmetic of the slide sorter, y-up and free of Qt: the storyboard's tiles stacked
// from the top of the back view with 15-point gaps, each tile a 30-point header over a grid
// of cells of side 80 × zoom; the insertion cell under a drag over a tile; the drop line
// between tiles. The views flip the results once when they place widgets.
namespace HLSortGeometry {

constexpr double kTileUnit = 80;
constexpr double kSideMargin = 10;
constexpr double kInnerMargin = 5;
constexpr double kHeader = 30;
constexpr double kCellInset = 2.5;
constexpr double kGap = 15;
constexpr double kCornerRadius = 6;

struct Rect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double maxY() const { return y + height; }
    bool operator==(const Rect &) const = default;
};

// Cell side s = 80 × ratio, multiplied in single precision.
double cellSide(float ratio);
double pitch(float ratio);
// Columns of cells in a tile of width tileWidth; never fewer than one, so a window narrower
// than one cell still shows every cell, one a row.
std::int64_t columnsOf(double tileWidth, float ratio);
std::int64_t rowsOf(std::int64_t count, std::int64_t columns);
// Header, bottom margin and the rows.
double tileHeight(std::int64_t count, std::int64_t columns, float ratio);
// The grid square of cell index in a tile of height tileHeight, in the tile's coordinates.
Rect gridSquare(std::int64_t index, std::int64_t columns, double tileHeight, float ratio);
// The picture frame of that cell: the grid square inset by 2.5.
Rect cellFrame(std::int64_t index, std::int64_t columns, double tileHeight, float ratio);

struct Storyboard
{
    double backWidth = 0;
    double backHeight = 0;
    std::int64_t columns = 1;
    std::vector<Rect> tiles; // in the back view's coordinates, in timeline order
};
// Tiles for slideshow items of the given cell counts on a back view as wide as the scroll
// view and at least as high as it; the first tile hangs 15 below the top.
Storyboard storyboardOf(double scrollWidth, double scrollHeight, const std::vector<std::int64_t> &counts, float ratio);

// The insertion cell under a drag over a tile: column x, row y (counted from the top, -1 over
// the header) and the row stride. index() is at most count; a marker shows only for a cell
// with both coordinates at least 0.
struct DropCell
{
    std::int64_t x = -1;
    std::int64_t y = -1;
    std::int64_t mode = 0;
    std::int64_t index() const { return mode * y + x; }
    bool marked() const { return x >= 0 && y >= 0; }
};
// px, py: the pointer in the tile's y-up coordinates.
DropCell dropCellOf(double px, double py, double tileWidth, double tileHeight, std::int64_t count, float ratio);
// The 2-point green marker of that cell, held inside the tile.
Rect markerOf(const DropCell &cell, double tileWidth, double tileHeight, float ratio);

// The drop line nearest to the pointer's y among the gap lines around the tiles (the lower
// one on a tie); 7.5 below the top when there are no tiles.
double dropLineOf(double y, const std::vector<Rect> &tiles, double backHeight);
// The tile before which a drop at the line goes: the first whose top edge lies below it;
// tiles.size() for the end.
std::size_t insertionTileOf(double lineY, const std::vector<Rect> &tiles);
// The drop line's y held within 1 … height − 1.
double drawnLineY(double lineY, double backHeight);

} // namespace HLSortGeometry
