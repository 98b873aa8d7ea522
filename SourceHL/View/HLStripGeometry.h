#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The arithmetic of the slideshow strip and the content line, y-up like the rest of the
// model and free of Qt: every photo, clip and transition takes one 80-point cell, rows are
// 100 points high with a 20-point caption band at the top, and the content line places the
// lines 10 points in from its left edge. The views flip the results once when they place
// widgets.
namespace HLStripGeometry {

constexpr double kCellWidth = 80;
constexpr double kRowHeight = 100;
constexpr double kCaptionHeight = 20;
constexpr double kCellInset = 2.5;
constexpr double kLineMargin = 10; // content line x of UI offset 0
constexpr double kWidthTail = 50;  // room past the last cell

struct Frame
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double maxX() const { return x + width; }
    bool operator==(const Frame &) const = default;
};

// Cell i of a row: (80 i, 0, 80, 80) inset by 2.5, in the row's own coordinates.
Frame cellFrame(std::int64_t index);
// A row of count cells starting at x; a transition tile is one cell wide.
Frame rowFrame(double x, std::int64_t count);

// The gap between cells a drag at x over a row of count cells points at: the nearest one,
// at most the place after the last cell.
std::int64_t rowDropIndex(double x, std::int64_t count);
// Left edge of the 2-point drop marker of a row, kept inside the row's rounded frame.
double rowMarkerX(std::int64_t index, double rowMaxX);
// Left edge of the back view's marker centred on the boundary x, kept inside width.
double backMarkerX(double dropX, double width);

// The boundary a drag at x over the strip's back view stands for: the left end, the right
// edge of a transition tile, or the end of the strip (taken only at or past it). Ties go
// left.
double backMapX(double x, double stripEnd, const std::vector<double> &tileRightEdges);
// The row (by its mid x, in row order) before which a drop at the marker x goes; nothing at
// the end.
std::optional<std::size_t> backDropRow(double markerX, const std::vector<double> &rowMidXs);

// UI offset of a press at content-line x: left of the margin is the start; not a number too.
float seekOffsetOf(double contentX);
// Content-line x of the play line for a UI offset, in whole points.
double playlineXOf(double uiOffset);
// Clicking an item that the play line stands on (edges included) keeps the play time.
bool seeksToItem(double playlineX, double itemMinX, double itemMaxX);
// Width of the scrolled content: never less than the visible width.
double contentWidthOf(double visibleWidth, double timelineMax, double textlineMax);
double audioWidthOf(double visibleWidth, double audiolineMax);

} // namespace HLStripGeometry
