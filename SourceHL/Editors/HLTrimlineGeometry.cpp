#include "SourceHL/Editors/HLTrimlineGeometry.h"

#include <algorithm>
#include <cmath>

namespace HLTrimlineGeometry {

Rect selectionRect(double width, double height, Range range)
{
    return {width * range.min, kStripInset, width * (range.max - range.min), height - 2 * kStripInset};
}

float ratioOfX(double x, double width)
{
    if (width <= 0)
        return 0;
    const float clamped = std::clamp(float(x), 0.0f, float(width));
    return float(clamped / width);
}

double anchorFactor(TrimUnitType type)
{
    switch (type) {
    case TrimUnitMin: return -1.0;
    case TrimUnitMid: return -0.5;
    default: return 0.0;
    }
}

double handleWidth(TrimUnitType)
{
    return 16;
}

double handleHeight(TrimUnitType type)
{
    return type == TrimUnitMid ? 12 : 16;
}

double handleLeft(TrimUnitType type, double anchorX)
{
    return anchorX + handleWidth(type) * anchorFactor(type);
}

double handleAnchor(TrimUnitType type, double left)
{
    return left - handleWidth(type) * anchorFactor(type);
}

namespace {

// Even-odd test of a closed polygon.
bool inside(const std::vector<std::pair<double, double>> &poly, double x, double y)
{
    bool in = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const auto [xi, yi] = poly[i];
        const auto [xj, yj] = poly[j];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi)
            in = !in;
    }
    return in;
}

} // namespace

bool handleContains(TrimUnitType type, double x, double y)
{
    const double w = handleWidth(type);
    const double h = handleHeight(type);
    switch (type) {
    case TrimUnitMin: return inside({{w, 0}, {0, 0}, {w, h}}, x, y);
    case TrimUnitMid: return inside({{w / 2, 0}, {0, h / 2}, {0, h}, {w, h}, {w, h / 2}}, x, y);
    default: return inside({{0, 0}, {w, 0}, {0, h}}, x, y);
    }
}

float fold(float r, bool playingInLoop, const std::vector<Range> &selections)
{
    if (!playingInLoop || selections.empty())
        return r;
    for (const Range &s : selections)
        if (s.min <= r && r < s.max)
            return r;
    const float first = selections.front().min;
    if (r < first || r >= selections.back().max)
        return first;
    float next = first;
    for (auto s = selections.rbegin(); s != selections.rend() && s->min > r; ++s)
        next = s->min;
    return next;
}

std::pair<float, float> handleLimits(TrimUnitType type, std::size_t index, const std::vector<Range> &selections)
{
    if (type == TrimUnitMid || index >= selections.size())
        return {0.0f, 1.0f};
    if (type == TrimUnitMin)
        return {index == 0 ? 0.0f : selections[index - 1].max, selections[index].max};
    return {selections[index].min, index + 1 == selections.size() ? 1.0f : selections[index + 1].min};
}

float playRatio(double currentSeconds, double durationSeconds)
{
    if (!(durationSeconds > 0))
        return 0;
    const float ratio = float(currentSeconds) / float(durationSeconds);
    return std::isnan(ratio) ? 0.0f : std::clamp(ratio, 0.0f, 1.0f);
}

std::int64_t ticksOfRatio(float ratio, std::int64_t durationTicks)
{
    const float r = std::isnan(ratio) ? 0.0f : std::clamp(ratio, 0.0f, 1.0f);
    return std::int64_t(std::trunc(float(durationTicks) * r));
}

} // namespace HLTrimlineGeometry
