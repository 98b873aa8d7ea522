#include "SourceHL/Windows/HLSortGeometry.h"

#include <algorithm>
#include <cmath>

namespace HLSortGeometry {

double cellSide(float ratio)
{
    return double(float(kTileUnit) * ratio);
}

double pitch(float ratio)
{
    return cellSide(ratio) + kInnerMargin;
}

std::int64_t columnsOf(double tileWidth, float ratio)
{
    const auto columns = std::int64_t(std::floor(float((tileWidth - kInnerMargin) / pitch(ratio))));
    return std::max<std::int64_t>(columns, 1);
}

std::int64_t rowsOf(std::int64_t count, std::int64_t columns)
{
    columns = std::max<std::int64_t>(columns, 1);
    return count / columns + (count % columns ? 1 : 0);
}

double tileHeight(std::int64_t count, std::int64_t columns, float ratio)
{
    return kHeader + kInnerMargin + pitch(ratio) * double(rowsOf(count, columns));
}

Rect gridSquare(std::int64_t index, std::int64_t columns, double height, float ratio)
{
    columns = std::max<std::int64_t>(columns, 1);
    const double s = cellSide(ratio), p = pitch(ratio);
    const auto column = index % columns, row = index / columns;
    return {kInnerMargin + p * double(column), (height - kHeader) - p * double(row + 1), s, s};
}

Rect cellFrame(std::int64_t index, std::int64_t columns, double height, float ratio)
{
    const Rect square = gridSquare(index, columns, height, ratio);
    return {square.x + kCellInset, square.y + kCellInset, square.width - 2 * kCellInset,
            square.height - 2 * kCellInset};
}

Storyboard storyboardOf(double scrollWidth, double scrollHeight, const std::vector<std::int64_t> &counts, float ratio)
{
    Storyboard board;
    board.backWidth = scrollWidth;
    const double tileWidth = scrollWidth - 2 * kSideMargin;
    board.columns = columnsOf(tileWidth, ratio);
    std::vector<double> heights;
    double y = kGap;
    for (const std::int64_t count : counts) {
        heights.push_back(tileHeight(count, board.columns, ratio));
        y += heights.back() + kGap;
    }
    board.backHeight = double(std::max(float(scrollHeight), float(y)));
    y = board.backHeight;
    for (const double height : heights) {
        y -= kGap + height;
        board.tiles.push_back({kSideMargin, y, tileWidth, height});
    }
    return board;
}

DropCell dropCellOf(double px, double py, double tileWidth, double height, std::int64_t count, float ratio)
{
    const double p = pitch(ratio);
    DropCell cell;
    cell.mode = columnsOf(tileWidth, ratio);
    const auto rows = std::int64_t(std::ceil(float(double(count) / double(cell.mode))));
    const double fx = px + p / 2 - kInnerMargin;
    const double fy = height - py - kHeader - kCellInset;
    cell.y = std::min(std::int64_t(std::floor(float(fy / p))), rows);
    cell.x = std::min(std::int64_t(std::floor(float(fx / p))), count - cell.mode * cell.y);
    return cell;
}

Rect markerOf(const DropCell &cell, double tileWidth, double height, float ratio)
{
    const double p = pitch(ratio);
    const float x = std::clamp(float(kCellInset + p * double(cell.x)), 1.0f, float(tileWidth - 1));
    const float y = std::clamp(float(height - (kHeader + kCellInset + p * double(cell.y + 1))), 1.0f, float(height - 1));
    return {double(x), double(y), 2, p};
}

double dropLineOf(double y, const std::vector<Rect> &tiles, double backHeight)
{
    const double half = kGap / 2;
    if (tiles.empty())
        return backHeight - half;
    const double top = tiles.front().maxY() + half;
    if (y >= top)
        return top;
    double upper = top, lower = top;
    for (const Rect &tile : tiles) {
        lower = tile.y - half;
        if (lower <= y && y < upper)
            break;
        upper = lower;
    }
    return (lower + upper) / 2 >= y ? lower : upper;
}

std::size_t insertionTileOf(double lineY, const std::vector<Rect> &tiles)
{
    for (std::size_t i = 0; i < tiles.size(); ++i)
        if (tiles[i].maxY() < lineY)
            return i;
    return tiles.size();
}

double drawnLineY(double lineY, double backHeight)
{
    return double(std::clamp(float(lineY), 1.0f, float(backHeight - 1)));
}

} // namespace HLSortGeometry
