#include "Platform/Composer/CompositionPainter.h"

#include "Platform/Composer/CompositionMask.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

using CompositionMask::cutPolygon;
using CompositionMask::maskPath;
using CompositionMask::Piece;
using CompositionMask::polygonOf;
using CompositionMask::rectPieces;
using CompositionMask::softMask;

namespace {

// An offscreen layer is drawn at full strength; the coverage of the mask piece it belongs to
// applies when it is laid down.
struct Unfaded
{
    explicit Unfaded(double &fade) : fade(fade), saved(fade) { fade = 1; }
    ~Unfaded() { fade = saved; }
    double &fade;
    const double saved;
};

struct ClipGuard
{
    explicit ClipGuard(bool &flag) : flag(flag), saved(flag) {}
    ~ClipGuard() { flag = saved; }
    bool &flag;
    const bool saved;
};

} // namespace

QImage CompositionPainter::flattened(const QPainter &p, const Item &it, const QTransform &base, const QRect &area)
{
    QImage layer(area.size(), QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter lp(&layer);
        lp.setRenderHints(p.renderHints());
        const Unfaded whole(m_fade);
        items(lp, it.children, base * QTransform::fromTranslate(-area.x(), -area.y()));
    }
    return layer;
}

void CompositionPainter::softWipe(QPainter &p, const Item &it, const QTransform &base)
{
    const CompositionLayer::Mask &m = it.layer->mask;
    const QRectF canvas(QPointF(0, 0), QSizeF(m_size));
    const double a = it.angle * M_PI / 180;
    QPointF d(std::cos(a), std::sin(a));
    double smin = 1e300, smax = -1e300;
    for (const QPointF c : polygonOf(canvas)) {
        smin = std::min(smin, c.x() * d.x() + c.y() * d.y());
        smax = std::max(smax, c.x() * d.x() + c.y() * d.y());
    }
    const double f = it.feather * (smax - smin);
    const double edge = smin + std::clamp(it.progress, 0.0, 1.0) * (smax - smin + f);
    // shown where dot(p, d) <= solidLimit, faded over the band up to fadeLimit
    double solidLimit = edge - f, fadeLimit = edge;
    if (m.invert) { // shown beyond the edge: flip the direction
        d = -d;
        solidLimit = -edge;
        fadeLimit = -(edge - f);
    }
    const QTransform toDevice = it.xf * base;
    const QPolygonF solid = cutPolygon(polygonOf(canvas.adjusted(-1, -1, 1, 1)), d, solidLimit);
    if (!solid.isEmpty()) {
        p.save();
        const bool pathClip = m_pathClip;
        const QPolygonF onDevice = toDevice.map(solid);
        const QRectF box = onDevice.boundingRect();
        double area = 0;
        for (int k = 0; k < onDevice.size(); ++k) {
            const QPointF u = onDevice[k], v = onDevice[(k + 1) % onDevice.size()];
            area += u.x() * v.y() - v.x() * u.y();
        }
        if (std::abs(std::abs(area) / 2 - box.width() * box.height()) < 1) {
            // an upright edge: a rectangle clip keeps the pictures on the fast path
            p.setTransform(QTransform());
            p.setClipRect(box, Qt::IntersectClip);
        } else {
            QPainterPath clip;
            clip.addPolygon(solid);
            p.setClipPath(clip, Qt::IntersectClip);
            m_pathClip = true;
        }
        items(p, it.children, base);
        m_pathClip = pathClip;
        p.restore();
    }
    const QPolygonF band = cutPolygon(cutPolygon(polygonOf(canvas), d, fadeLimit), -d, -solidLimit);
    const QRect device(0, 0, p.device()->width(), p.device()->height());
    const QRect area = toDevice.map(band).boundingRect().toAlignedRect().intersected(device);
    if (band.isEmpty() || area.isEmpty() || f <= 0)
        return;
    QImage layer = flattened(p, it, base, area);
    {
        QPainter lp(&layer);
        lp.setRenderHints(p.renderHints());
        lp.setTransform(it.xf * (base * QTransform::fromTranslate(-area.x(), -area.y())));
        lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient g(d * solidLimit, d * fadeLimit);
        g.setColorAt(0, QColor(0, 0, 0, 255));
        g.setColorAt(1, QColor(0, 0, 0, 0));
        lp.fillRect(canvas.adjusted(-1, -1, 1, 1), g);
        // what the straight part drew already must not be drawn twice
        lp.setCompositionMode(QPainter::CompositionMode_Clear);
        lp.setRenderHint(QPainter::Antialiasing, false);
        QPainterPath drawn;
        drawn.addPolygon(solid);
        lp.fillPath(drawn, Qt::black);
    }
    p.save();
    p.setTransform(QTransform());
    p.setOpacity(m_fade);
    drawPicture(p, QRectF(area), layer, QRectF(layer.rect()));
    p.restore();
}

void CompositionPainter::group(QPainter &p, const Item &it, const QTransform &base)
{
    const CompositionLayer::Mask &m = it.layer->mask;
    const bool soft = it.feather > 0
                      && (m.type == CompositionLayer::MaskType::Wipe || m.type == CompositionLayer::MaskType::Iris);
    const bool hard = m.type != CompositionLayer::MaskType::None && !soft;
    std::vector<Piece> pieces;
    const bool inPieces = hard && rectPieces(p, it, m_pathClip, m_size, pieces);
    const ClipGuard guard(m_pathClip);
    if (hard && !inPieces) {
        m_pathClip = true;
        QPainterPath path = maskPath(it, m_size);
        // Only what is already let through counts: a smaller path is cheaper to clip with.
        if (p.hasClipping()) {
            QPainterPath bounds;
            bounds.addRect(p.clipBoundingRect().adjusted(-1, -1, 1, 1));
            path = path.intersected(bounds);
        }
        p.setClipPath(path, Qt::IntersectClip);
    }
    if (soft && !it.offscreen) {
        softWipe(p, it, base);
        return;
    }
    // The group's pixels are drawn apart, cut by the mask, then laid on the canvas. Only the
    // part the mask can show is drawn.
    QImage layer;
    QRect area;
    if (it.offscreen) {
        QRectF support(QPointF(0, 0), QSizeF(m_size));
        QBrush brush;
        if (soft)
            brush = softMask(it, m_size, &support);
        area = (it.xf * base).mapRect(support).toAlignedRect().intersected(QRect(0, 0, p.device()->width(), p.device()->height()));
        if (inPieces) {
            QRect shown;
            for (const Piece &piece : pieces)
                shown |= piece.rect;
            area &= shown;
        }
        if (area.isEmpty())
            return;
        layer = flattened(p, it, base, area);
        if (soft) {
            QPainter lp(&layer);
            lp.setRenderHints(p.renderHints());
            lp.setTransform(it.xf * (base * QTransform::fromTranslate(-area.x(), -area.y())));
            lp.setCompositionMode(QPainter::CompositionMode_DestinationIn);
            lp.fillRect(support.adjusted(-1, -1, 1, 1), brush);
        }
    }
    // the group once, where the painter's clip lets it through
    auto draw = [&] {
        if (!it.offscreen) {
            items(p, it.children, base);
            return;
        }
        p.setTransform(QTransform());
        p.setOpacity(it.opacity * m_fade);
        p.setCompositionMode(it.layer->blend);
        drawPicture(p, QRectF(area), layer, QRectF(layer.rect()));
    };
    if (!inPieces) {
        draw();
        return;
    }
    const double fade = m_fade;
    const QTransform toDevice = p.transform();
    for (const Piece &piece : pieces) {
        p.save();
        p.resetTransform();
        p.setClipRect(piece.rect, Qt::IntersectClip);
        p.setTransform(toDevice);
        m_fade = fade * piece.coverage;
        draw();
        p.restore();
    }
    m_fade = fade;
}
