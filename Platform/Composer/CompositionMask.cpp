#include "Platform/Composer/CompositionMask.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace CompositionMask {

namespace {

// A polygon Qt's raster engine takes for a rectangle when it clips: exactly upright, from its
// top-left corner clockwise. Such a clip is cut along whole pixels, not antialiased.
bool isQtRect(const QPolygonF &q)
{
    return q.size() == 4 && q[0].x() == q[3].x() && q[1].x() == q[2].x() && q[0].y() == q[1].y()
           && q[2].y() == q[3].y() && q[0].x() < q[2].x() && q[0].y() < q[2].y();
}

// A quadrilateral whose sides run along the pixel axes.
bool isUpright(const QPolygonF &q)
{
    if (q.size() != 4)
        return false;
    for (int k = 0; k < 4; ++k) {
        const QPointF a = q[k], b = q[(k + 1) % 4];
        if (std::abs(a.x() - b.x()) > 1e-6 && std::abs(a.y() - b.y()) > 1e-6)
            return false;
    }
    return true;
}

} // namespace

QPolygonF cutPolygon(const QPolygonF &polygon, QPointF d, double limit)
{
    QPolygonF kept;
    for (int k = 0; k < polygon.size(); ++k) {
        const QPointF a = polygon[k], b = polygon[(k + 1) % polygon.size()];
        const double sa = a.x() * d.x() + a.y() * d.y() - limit;
        const double sb = b.x() * d.x() + b.y() * d.y() - limit;
        if (sa <= 0)
            kept << a;
        if ((sa < 0) != (sb < 0) && sa != sb)
            kept << a + (b - a) * (sa / (sa - sb));
    }
    return kept;
}

QPolygonF polygonOf(const QRectF &rect)
{
    return QPolygonF({rect.topLeft(), rect.topRight(), rect.bottomRight(), rect.bottomLeft()});
}

QPainterPath outlineOf(const QRectF &r, double radius, bool ellipse)
{
    QPainterPath path;
    if (ellipse)
        path.addEllipse(r);
    else if (radius > 0)
        path.addRoundedRect(r, std::min(radius, r.width() / 2), std::min(radius, r.height() / 2));
    else
        path.addRect(r);
    return path;
}

bool maskPolygons(const Item &it, QSize size, std::vector<QPolygonF> &polygons)
{
    const CompositionLayer::Mask &m = it.layer->mask;
    const QRectF canvas(QPointF(0, 0), QSizeF(size));
    const double a = it.angle * M_PI / 180;
    const QPointF d(std::cos(a), std::sin(a)), n(-d.y(), d.x());
    double smin = 1e300, smax = -1e300, umin = 1e300, umax = -1e300;
    for (const QPointF c : {canvas.topLeft(), canvas.topRight(), canvas.bottomLeft(), canvas.bottomRight()}) {
        const double s = c.x() * d.x() + c.y() * d.y(), u = c.x() * n.x() + c.y() * n.y();
        smin = std::min(smin, s), smax = std::max(smax, s), umin = std::min(umin, u), umax = std::max(umax, u);
    }
    auto quad = [&](double s0, double s1) {
        QPolygonF poly;
        for (const auto &[s, u] : {std::pair{s0, umin}, std::pair{s1, umin}, std::pair{s1, umax}, std::pair{s0, umax}})
            poly << d * s + n * u;
        return poly;
    };
    const double progress = std::clamp(it.progress, 0.0, 1.0);
    switch (m.type) {
    case CompositionLayer::MaskType::Wipe:
        if (progress > 0)
            polygons.push_back(quad(smin - 1, smin + progress * (smax - smin) + (progress >= 1 ? 1 : 0)));
        return true;
    case CompositionLayer::MaskType::Stripes: {
        const double w = (smax - smin) / it.count;
        for (int k = 0; k < int(it.count); ++k)
            if (progress > 0)
                polygons.push_back(quad(smin + k * w, smin + k * w + progress * w + (progress >= 1 ? 0.5 : 0)));
        return true;
    }
    case CompositionLayer::MaskType::Checker: {
        // Cells grow in whole pixels: a cell a fraction of a pixel wide, or a gap that thin, would
        // show as a faint line along every cell edge.
        const double cw = canvas.width() / it.count, ch = canvas.height() / it.rows;
        for (int row = 0; row < int(it.rows); ++row)
            for (int col = 0; col < int(it.count); ++col) {
                const double q = std::clamp(progress * 2 - ((row + col) % 2), 0.0, 1.0);
                const double left = std::round(col * cw), right = std::round(col * cw + q * cw);
                if (right > left)
                    polygons.push_back(polygonOf(QRectF(QPointF(left, std::round(row * ch)),
                                                        QPointF(right, std::round((row + 1) * ch)))));
            }
        return true;
    }
    case CompositionLayer::MaskType::Rect:
        if (it.maskRadius > 0)
            return false;
        polygons.push_back(polygonOf(it.maskRect));
        return true;
    case CompositionLayer::MaskType::Iris:
    case CompositionLayer::MaskType::Ellipse:
    case CompositionLayer::MaskType::None:
        break;
    }
    return false;
}

QPainterPath maskPath(const Item &it, QSize size)
{
    const CompositionLayer::Mask &m = it.layer->mask;
    const QRectF canvas(QPointF(0, 0), QSizeF(size));
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    std::vector<QPolygonF> polygons;
    if (maskPolygons(it, size, polygons)) {
        for (const QPolygonF &polygon : polygons)
            path.addPolygon(polygon);
    } else if (m.type == CompositionLayer::MaskType::Iris) {
        double reach = 0;
        for (const QPointF c : {canvas.topLeft(), canvas.topRight(), canvas.bottomLeft(), canvas.bottomRight()})
            reach = std::max(reach, std::hypot(c.x() - it.center.x(), c.y() - it.center.y()));
        const double r = std::clamp(it.progress, 0.0, 1.0) * (reach + 1);
        if (r > 0)
            path.addEllipse(it.center, r, r);
    } else if (m.type == CompositionLayer::MaskType::Rect) {
        path.addPath(outlineOf(it.maskRect, it.maskRadius, false));
    } else if (m.type == CompositionLayer::MaskType::Ellipse) {
        path.addEllipse(it.maskRect);
    }
    if (m.invert) {
        QPainterPath all;
        all.addRect(canvas.adjusted(-1, -1, 1, 1));
        return all.subtracted(path);
    }
    return path;
}

bool rectPieces(const QPainter &p, const Item &it, bool pathClip, QSize size, std::vector<Piece> &pieces)
{
    std::vector<QPolygonF> polygons;
    if (!maskPolygons(it, size, polygons))
        return false;
    const QTransform &t = p.transform();
    const QRectF device(0, 0, p.device()->width(), p.device()->height());
    const bool invert = it.layer->mask.invert;
    // Qt clips with one rectangle along whole pixels, and a polygon cut to the clip it already
    // has (below) comes out as such a rectangle when it is upright.
    if (polygons.size() == 1 && !invert && !pathClip && t.type() <= QTransform::TxScale
        && (isQtRect(polygons[0]) || (p.hasClipping() && isUpright(polygons[0])))) {
        const QRect r = t.mapRect(polygons[0].boundingRect()).toRect() & device.toRect();
        if (!r.isEmpty())
            pieces.push_back({r, 1.0});
        return true;
    }
    std::vector<QRectF> rects;
    for (const QPolygonF &polygon : polygons) {
        const QPolygonF onDevice = t.map(polygon);
        if (!isUpright(onDevice))
            return false;
        // Qt rasterizes on a 1/64 pixel grid
        const QRectF b = onDevice.boundingRect();
        auto grid = [](double v) { return std::round(v * 64) / 64; };
        const QRectF r = QRectF(QPointF(grid(b.left()), grid(b.top())), QPointF(grid(b.right()), grid(b.bottom())))
                             .intersected(device);
        if (!r.isEmpty())
            rects.push_back(r);
    }
    QRectF all;
    if (invert) {
        // the outline cuts out the union of overlapping parts; the sum below would differ
        for (size_t i = 0; i < rects.size(); ++i)
            for (size_t j = i + 1; j < rects.size(); ++j)
                if (rects[i].intersects(rects[j]))
                    return false;
        const QPolygonF onDevice = t.map(polygonOf(QRectF(QPointF(0, 0), QSizeF(size)).adjusted(-1, -1, 1, 1)));
        if (!isUpright(onDevice))
            return false;
        all = onDevice.boundingRect().intersected(device);
        if (all.isEmpty())
            return true;
    }
    // Between these lines no part has an edge, so each cell of the grid has one coverage.
    std::vector<int> xs, ys;
    auto lines = [&](const QRectF &r) {
        for (const double x : {r.left(), r.right()})
            xs.insert(xs.end(), {int(std::floor(x)), int(std::ceil(x))});
        for (const double y : {r.top(), r.bottom()})
            ys.insert(ys.end(), {int(std::floor(y)), int(std::ceil(y))});
    };
    for (const QRectF &r : rects)
        lines(r);
    if (invert)
        lines(all);
    for (auto *v : {&xs, &ys}) {
        std::sort(v->begin(), v->end());
        v->erase(std::unique(v->begin(), v->end()), v->end());
    }
    // how much of the pixel starting at px the span a0 … a1 covers
    auto cover = [](double a0, double a1, int px) {
        return std::clamp(std::min(a1, px + 1.0) - std::max(a0, double(px)), 0.0, 1.0);
    };
    size_t widest = 0; // most pieces side by side on one row
    for (size_t j = 0; j + 1 < ys.size(); ++j) {
        const int y = ys[j];
        const size_t first = pieces.size();
        int runStart = 0, runLevel = 0;
        for (size_t i = 0; i < xs.size(); ++i) {
            int level = 0;
            if (i + 1 < xs.size()) {
                const int x = xs[i];
                // overlapping parts add up, as the winding rasterizer sums their areas
                double sum = 0;
                for (const QRectF &r : rects)
                    sum += cover(r.left(), r.right(), x) * cover(r.top(), r.bottom(), y);
                double c = std::min(sum, 1.0);
                if (invert)
                    c = std::max(0.0, cover(all.left(), all.right(), x) * cover(all.top(), all.bottom(), y) - c);
                level = std::min(255, int(c * 256)); // as Qt's rasterizer rounds coverage
            }
            if (i > 0 && level == runLevel)
                continue;
            if (i > 0 && runLevel > 0)
                pieces.push_back({QRect(runStart, y, xs[i] - runStart, ys[j + 1] - y), runLevel / 255.0});
            runStart = xs[i];
            runLevel = level;
        }
        widest = std::max(widest, pieces.size() - first);
    }
    // Parts one above the other (horizontal blinds) leave one span per row to the clip path,
    // which then costs no more than drawing the pieces one by one.
    if (pieces.size() > 9 && widest <= 2) {
        pieces.clear();
        return false;
    }
    return true;
}

QBrush softMask(const Item &it, QSize size, QRectF *support)
{
    const CompositionLayer::Mask &m = it.layer->mask;
    const QRectF canvas(QPointF(0, 0), QSizeF(size));
    const QColor in(0, 0, 0, 255), out(0, 0, 0, 0);
    const double progress = std::clamp(it.progress, 0.0, 1.0);
    if (m.type == CompositionLayer::MaskType::Wipe) {
        const double a = it.angle * M_PI / 180;
        const QPointF d(std::cos(a), std::sin(a));
        double smin = 1e300, smax = -1e300;
        for (const QPointF c : {canvas.topLeft(), canvas.topRight(), canvas.bottomLeft(), canvas.bottomRight()}) {
            const double s = c.x() * d.x() + c.y() * d.y();
            smin = std::min(smin, s), smax = std::max(smax, s);
        }
        const double f = it.feather * (smax - smin);
        const double edge = smin + progress * (smax - smin + f);
        QLinearGradient g(d * (edge - f), d * edge);
        g.setColorAt(0, m.invert ? out : in);
        g.setColorAt(1, m.invert ? in : out);
        *support = (m.invert ? cutPolygon(polygonOf(canvas), -d, -(edge - f)) : cutPolygon(polygonOf(canvas), d, edge))
                       .boundingRect();
        return g;
    }
    double reach = 0;
    for (const QPointF c : {canvas.topLeft(), canvas.topRight(), canvas.bottomLeft(), canvas.bottomRight()})
        reach = std::max(reach, std::hypot(c.x() - it.center.x(), c.y() - it.center.y()));
    const double f = it.feather * reach;
    const double r = std::max(progress * (reach + f), 1e-3);
    QRadialGradient g(it.center, r);
    g.setColorAt(0, m.invert ? out : in);
    g.setColorAt(std::clamp((r - f) / r, 0.0, 1.0), m.invert ? out : in);
    g.setColorAt(1, m.invert ? in : out);
    *support = m.invert ? canvas : QRectF(it.center - QPointF(r, r), QSizeF(2 * r, 2 * r)).intersected(canvas);
    return g;
}

} // namespace CompositionMask
