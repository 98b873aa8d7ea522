#include "SourceHL/Editors/HLCropGeometry.h"

#include "Platform/Foundation/HLAssert.h"

#include <algorithm>
#include <cmath>

namespace HLCropGeometry {

Point clampedOrigin(const Rect &f, const Rect &l)
{
    double x = std::max(f.x, l.x);
    double y = std::max(f.y, l.y);
    if (x + f.width > l.x + l.width)
        x = l.x + l.width - f.width;
    if (y + f.height > l.y + l.height)
        y = l.y + l.height - f.height;
    return {x, y};
}

Point nudge(Arrow arrow)
{
    switch (arrow) {
    case Arrow::Left: return {-1, 0};
    case Arrow::Right: return {1, 0};
    case Arrow::Down: return {0, -1};
    case Arrow::Up: return {0, 1};
    default: return {0, 0};
    }
}

Grab grabAt(Point p, double w, double h)
{
    Grab g;
    g.inside = Rect{0, 0, w, h}.contains(p);
    if (!g.inside)
        return g;
    g.dragType = Rect{0, 0, w, h}.inset(kGrabBand).contains(p) ? DragMove : DragResize;
    if (g.dragType == DragMove)
        return g;
    const bool left = p.x < kGrabBand, right = p.x >= w - kGrabBand;
    const bool bottom = p.y < kGrabBand, top = p.y >= h - kGrabBand;
    const double offX = left ? -p.x : w - p.x;
    const double offY = bottom ? -p.y : h - p.y;
    if ((left || right) && (bottom || top)) {
        g.resizeType = ResizeCorner;
        g.offsetToBoundary = {offX, offY};
    } else if (left || right) {
        g.resizeType = ResizeLeftRight;
        g.offsetToBoundary = {offX, 0};
    } else {
        g.resizeType = ResizeBottomTop;
        g.offsetToBoundary = {0, offY};
    }
    const double hw = w / 2, hh = h / 2;
    if (p.x <= hw && p.y <= hh)
        g.stationary = StationaryUR;
    else if (p.x <= hw && p.y >= hh)
        g.stationary = StationaryLR;
    else if (p.x >= hw && p.y >= hh)
        g.stationary = StationaryLL;
    else
        g.stationary = StationaryUL;
    return g;
}

double minimumSide(double resizeRatio, bool withMargin)
{
    return kMinimumSide * resizeRatio + (withMargin ? 2 * kMargin : 0);
}

Rect frameForDisplay(const Rect &r, double resizeRatio, double *cropRatio)
{
    const double m = minimumSide(resizeRatio, false);
    const double w = float(r.width) < float(m) ? m : r.width;
    const double h = float(r.height) < float(m) ? m : r.height;
    if (cropRatio)
        *cropRatio = w / h;
    return {r.x - kMargin, r.y - kMargin, w + 2 * kMargin, h + 2 * kMargin};
}

Point resizeOffset(std::int64_t stationary, std::int64_t resizeType, double dx, double dy, Point e, Point o,
                   const Rect &f)
{
    if (resizeType == ResizeBottomTop)
        dx = 0;
    if (resizeType == ResizeLeftRight)
        dy = 0;
    double ox = std::abs(dx), oy = std::abs(dy);
    const bool anchorLeft = stationary == StationaryLL || stationary == StationaryUL;
    const bool anchorBottom = stationary == StationaryLL || stationary == StationaryLR;
    HL_ASSERT(stationary >= StationaryLL && stationary <= StationaryLR, "Wrong Case");
    if (anchorLeft ? e.x < o.x + f.width : e.x > o.x)
        ox = -ox;
    if (anchorBottom ? e.y < o.y + f.height : e.y > o.y)
        oy = -oy;
    return {ox, oy};
}

namespace {

// Fixed mode: the other side follows the ratio.
struct Ratio
{
    bool fixed;
    double ratio;
    void xRight(double &ox, double &oy) const
    {
        if (fixed)
            oy = ox * oy > 0 ? ox / ratio : -ox / ratio;
    }
    void yRight(double &ox, double &oy) const
    {
        if (fixed)
            ox = ox * oy > 0 ? oy * ratio : -oy * ratio;
    }
};

} // namespace

Rect resized(const ResizeInput &in, double ox, double oy)
{
    const Rect &F = in.startFrame;
    const Rect &L = in.limit;
    const Ratio ratio{in.fixedRatio, in.cropRatio};
    if (in.fixedRatio)
        oy = ox / in.cropRatio;
    double W = F.width + ox, H = F.height + oy;
    const double m = minimumSide(in.resizeRatio, true);
    if (W < m) {
        ox += m - W;
        W = m;
        if (in.fixedRatio) {
            ratio.xRight(ox, oy);
            H = F.height + oy;
        }
    }
    if (H < m) {
        oy += m - H;
        H = m;
        if (in.fixedRatio) {
            ratio.yRight(ox, oy);
            W = F.width + ox;
        }
    }
    double X = 0, Y = 0;
    switch (in.stationary) {
    case StationaryLL:
        X = F.x, Y = F.y;
        if (X + W > L.x + L.width) {
            W = L.x + L.width - X, ox = W - F.width;
            ratio.xRight(ox, oy);
            H = F.height + oy;
        }
        if (Y + H > L.y + L.height) {
            H = L.y + L.height - Y, oy = H - F.height;
            ratio.yRight(ox, oy);
            W = F.width + ox;
        }
        break;
    case StationaryUL:
        X = F.x, Y = F.y - oy;
        if (X + W > L.x + L.width) {
            W = L.x + L.width - X, ox = W - F.width;
            ratio.xRight(ox, oy);
            H = F.height + oy, Y = F.y - oy;
        }
        if (Y < L.y) {
            H -= L.y - Y, oy = H - F.height;
            ratio.yRight(ox, oy);
            W = F.width + ox, Y = L.y;
        }
        break;
    case StationaryUR:
        X = F.x - ox, Y = F.y - oy;
        if (X < L.x) {
            W -= L.x - X, ox = W - F.width;
            ratio.xRight(ox, oy);
            H = F.height + oy, Y = F.y - oy, X = L.x;
        }
        if (Y < L.y) {
            H -= L.y - Y, oy = H - F.height;
            ratio.yRight(ox, oy);
            W = F.width + ox, X = F.x - ox, Y = L.y;
        }
        break;
    case StationaryLR:
        X = F.x - ox, Y = F.y;
        if (X < L.x) {
            W -= L.x - X, ox = W - F.width;
            ratio.xRight(ox, oy);
            H = F.height + oy, X = L.x;
        }
        if (Y + H > L.y + L.height) {
            H = L.y + L.height - Y, oy = H - F.height;
            ratio.yRight(ox, oy);
            W = F.width + ox, X = F.x - ox;
        }
        break;
    default: HL_ASSERT(false, "Wrong Case");
    }
    return {X, Y, W, H};
}

std::vector<Line> trisectionLines(const Rect &d)
{
    std::vector<Line> lines;
    for (double f : {0.333, 0.667}) {
        lines.push_back({d.x, d.y + f * d.height, d.x + d.width, d.y + f * d.height});
        lines.push_back({d.x + f * d.width, d.y, d.x + f * d.width, d.y + d.height});
    }
    return lines;
}

Rect refitted(const Rect &frame, const Rect &limit, double ratio)
{
    const Rect A = limit.inset(kMargin);
    const Rect d = frame.inset(kMargin);
    const Point a{A.x + A.width / 2, A.y + A.height / 2};
    const Point K{d.x + d.width / 2, d.y + d.height / 2};
    const double maxW = a.x <= K.x ? 2 * (A.x + A.width - K.x) : 2 * (K.x - A.x);
    const double maxH = a.y <= K.y ? 2 * (A.y + A.height - K.y) : 2 * (K.y - A.y);
    double w = d.width, h = d.height;
    if (w <= h)
        w = h * ratio;
    else
        h = w / ratio;
    if (w > maxW)
        w = maxW, h = maxW / ratio;
    if (h > maxH)
        h = maxH, w = maxH * ratio;
    return {K.x - (w + 2 * kMargin) / 2, K.y - (h + 2 * kMargin) / 2, w + 2 * kMargin, h + 2 * kMargin};
}

} // namespace HLCropGeometry
