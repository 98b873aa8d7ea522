#pragma once

#include <cstdint>
#include <vector>

// The limited view's and the crop view's arithmetic, y-up and free of Qt. Frames are in the
// superview's coordinates; the crop view's frame is its display frame grown by a 6-point
// margin, and the 12-point band along its bounds is where a press resizes.
namespace HLCropGeometry {

constexpr double kMargin = 6;
constexpr double kGrabBand = 12;
constexpr double kMinimumSide = 24; // × the display scale

struct Point
{
    double x = 0;
    double y = 0;
    bool operator==(const Point &) const = default;
};

struct Rect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    Rect inset(double d) const { return {x + d, y + d, width - 2 * d, height - 2 * d}; }
    bool contains(Point p) const { return p.x >= x && p.x < x + width && p.y >= y && p.y < y + height; }
    bool operator==(const Rect &) const = default;
};

// The frame's origin moved so that it lies inside limit; a frame larger than the limit ends
// with its right (top) edge on the limit's.
Point clampedOrigin(const Rect &frame, const Rect &limit);
// The arrow-key step: left/right and down/up, one point whatever the modifiers.
enum class Arrow { None, Left, Right, Down, Up };
Point nudge(Arrow arrow);

enum DragType : std::int64_t { DragMove = 0, DragResize = 1 };
enum ResizeType : std::int64_t { ResizeCorner = 0, ResizeLeftRight = 1, ResizeBottomTop = 2 };
// The corner that stays put: 0 lower left, 1 upper left, 2 upper right, 3 lower right.
enum StationaryType : std::int64_t { StationaryLL = 0, StationaryUL = 1, StationaryUR = 2, StationaryLR = 3 };

// What a press at p of the view's own bounds (width × height) grabs.
struct Grab
{
    bool inside = false;
    std::int64_t dragType = DragMove;
    std::int64_t resizeType = ResizeCorner;
    std::int64_t stationary = StationaryUL;
    Point offsetToBoundary; // press point to the grabbed edge
};
// Decided afresh on every press: a press on the band's inner edge still counts as an edge grab.
Grab grabAt(Point p, double width, double height);

// The crop view's frame for a display frame r: at least minimum × minimum, growing right and
// up; the ratio it leaves is width / height.
Rect frameForDisplay(const Rect &r, double resizeRatio, double *cropRatio);
double minimumSide(double resizeRatio, bool withMargin);

struct ResizeInput
{
    Rect startFrame;     // the frame at the press
    Rect limit;          // the limited rectangle
    std::int64_t stationary = StationaryUL;
    bool fixedRatio = false;
    double cropRatio = 1;
    double resizeRatio = 1;
};
// The frame after a resize by (ox, oy) of width and height, kept above the minimum and inside
// the limit with the stationary corner in place.
Rect resized(const ResizeInput &in, double ox, double oy);
// The signed change of width and height for a pointer at travel (dx, dy) since the press, e
// the grabbed edge now and origin the view's origin at the press (window coordinates).
Point resizeOffset(std::int64_t stationary, std::int64_t resizeType, double dx, double dy, Point e, Point origin,
                   const Rect &startFrame);

// The guide lines over the display frame d: two horizontal and two vertical, each at 0.333
// and 0.667 of its size (not exact thirds), as (x1, y1, x2, y2).
struct Line
{
    double x1, y1, x2, y2;
    bool operator==(const Line &) const = default;
};
std::vector<Line> trisectionLines(const Rect &d);

// The display frame of `frame` refitted to ratio (width / height) around its centre, as large
// as the longer side allows inside the image (limit inset by the margin); a view frame.
Rect refitted(const Rect &frame, const Rect &limit, double ratio);

} // namespace HLCropGeometry
