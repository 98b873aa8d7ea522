#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// The trim line's arithmetic, y-up and free of Qt. Positions are ratios of the clip's (or the
// project's) length: 0 at the strip's left end, 1 at its right end. The views flip once.
namespace HLTrimlineGeometry {

// TrimUnitType: which handle.
enum TrimUnitType : std::int64_t { TrimUnitMin = 0, TrimUnitMid = 1, TrimUnitMax = 2 };

constexpr double kStripInset = 7.0; // the strip's images leave 7 points above and below

struct Range
{
    float min = 0;
    float max = 1;
};

struct Rect
{
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    bool operator==(const Rect &) const = default;
};

// Where a selection shows on a strip of width × height.
Rect selectionRect(double width, double height, Range range);
// The ratio of x along a strip of width (x clamped into it).
float ratioOfX(double x, double width);

// A handle's kind: the factor placing its left edge (x = anchor + factor × width) and its size.
double anchorFactor(TrimUnitType type);
double handleWidth(TrimUnitType type);
double handleHeight(TrimUnitType type);
// The handle's left edge for an anchor at x, and back.
double handleLeft(TrimUnitType type, double anchorX);
double handleAnchor(TrimUnitType type, double left);
// Whether (x, y) of the handle's own y-up bounds lies in its hit polygon.
bool handleContains(TrimUnitType type, double x, double y);

// A position chosen while the player plays in loop mode stays inside the selections (in strip
// order, not overlapping); otherwise it passes unchanged.
float fold(float ratio, bool playingInLoop, const std::vector<Range> &selections);
// How far the handle of a selection may be dragged: never across its neighbours.
std::pair<float, float> handleLimits(TrimUnitType type, std::size_t index, const std::vector<Range> &selections);

// A movie's play position as a ratio in [0, 1]; 0 for a movie without length.
float playRatio(double currentSeconds, double durationSeconds);
// The tick a ratio of the duration stands for, the ratio clamped into [0, 1].
std::int64_t ticksOfRatio(float ratio, std::int64_t durationTicks);

} // namespace HLTrimlineGeometry
