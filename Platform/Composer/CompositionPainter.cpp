#include "Platform/Composer/CompositionPainter.h"

#include "Platform/Composer/CompositionMask.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

using CompositionMask::outlineOf;

namespace {

// Closer than this to whole pixels, resampling changes a pixel by well under a level.
constexpr double kWhole = 1e-3;

bool isWhole(double v)
{
    return std::abs(v - std::round(v)) < kWhole;
}

bool isWhole(const QRectF &r)
{
    return isWhole(r.x()) && isWhole(r.y()) && isWhole(r.width()) && isWhole(r.height());
}

// A clear premultiplied picture to draw a cache entry into.
QImage clearImage(QSize size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// The picture kept under key, made when missing; a cache past its limit starts over.
template <class Cache, class Key, class Make>
const QImage &kept(Cache &cache, const Key &key, std::size_t limit, Make make)
{
    auto found = cache.find(key);
    if (found == cache.end()) {
        if (cache.size() > limit)
            cache.clear();
        found = cache.emplace(key, make()).first;
    }
    return found->second;
}

} // namespace

void CompositionPainter::items(QPainter &p, const std::vector<Item> &list, const QTransform &base)
{
    for (const Item &it : list)
        item(p, it, base);
}

void CompositionPainter::item(QPainter &p, const Item &it, const QTransform &base)
{
    const CompositionLayer &l = *it.layer;
    p.save();
    p.setTransform(it.xf * base);
    p.setOpacity(it.opacity * m_fade);
    if (l.type != CompositionLayer::Type::Group && l.type != CompositionLayer::Type::Repeat)
        p.setCompositionMode(l.blend);
    switch (l.type) {
    case CompositionLayer::Type::Fill:
        p.fillRect(it.rect, it.colour);
        break;
    case CompositionLayer::Type::Gradient:
        gradient(p, it);
        break;
    case CompositionLayer::Type::Picture:
    case CompositionLayer::Type::Shape:
        framed(p, it);
        break;
    case CompositionLayer::Type::Text:
        textItem(p, it);
        break;
    case CompositionLayer::Type::Group:
    case CompositionLayer::Type::Repeat:
        group(p, it, base);
        break;
    }
    p.restore();
}

void CompositionPainter::gradient(QPainter &p, const Item &it)
{
    const CompositionLayer &l = *it.layer;
    auto fill = [&](QPainter &into) {
        QGradientStops stops;
        for (const auto &s : l.stops)
            stops.append({s.at, s.colour.constant});
        if (l.radial) {
            QRadialGradient r(it.from, std::max(it.gradientRadius, 1e-3));
            r.setStops(stops);
            into.fillRect(it.rect, r);
        } else {
            QLinearGradient lg(it.from, it.to);
            lg.setStops(stops);
            into.fillRect(it.rect, lg);
        }
    };
    // Only where the copy is exact: the same pixel coordinates as the fill (a moved or partly
    // transparent gradient is sampled and rounded a little differently).
    const QRectF &r = it.rect;
    if (!p.transform().isIdentity() || p.opacity() < 1 || r.topLeft() != QPointF(0, 0) || !isWhole(r)
        || r.width() < 1 || r.height() < 1) {
        fill(p);
        return;
    }
    const QSize pixels = r.size().toSize();
    const auto key = std::make_tuple(static_cast<const void *>(&l), pixels.width(), pixels.height(), it.from.x(),
                                     it.from.y(), it.to.x(), it.to.y(), it.gradientRadius);
    p.drawImage(QPoint(0, 0), kept(m_caches.gradients, key, 8, [&] {
                    QImage image = clearImage(pixels);
                    QPainter into(&image);
                    into.setRenderHints(p.renderHints());
                    fill(into);
                    into.end();
                    return image;
                }));
}

void CompositionPainter::framed(QPainter &p, const Item &it)
{
    const CompositionLayer &l = *it.layer;
    const bool backdrop = !it.backdropSource.isEmpty();
    // a picture on its backdrop is framed, shadowed and rounded as the whole rect
    const QRectF r = backdrop ? it.rect : it.target;
    if (it.shadowColour.isValid())
        shadowOf(p, r, it);
    if (l.type == CompositionLayer::Type::Picture) {
        if (it.radius > 0) {
            p.save();
            p.setClipPath(outlineOf(r, it.radius, false), Qt::IntersectClip);
        }
        if (backdrop)
            p.drawImage(r, softened(it));
        drawPicture(p, it.target, *it.image, it.source);
        if (it.radius > 0)
            p.restore();
    } else if (it.colour.alpha() > 0) {
        p.fillPath(outlineOf(r, it.radius, l.ellipse), it.colour);
    }
    if (it.border > 0) {
        const double h = it.border / 2;
        QPen pen(it.borderColour, it.border);
        pen.setJoinStyle(Qt::MiterJoin);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(outlineOf(r.adjusted(h, h, -h, -h), std::max(0.0, it.radius - h), l.ellipse));
    }
}

void CompositionPainter::drawPicture(QPainter &p, const QRectF &target, const QImage &image, const QRectF &source)
{
    const QTransform &t = p.transform();
    if (t.type() <= QTransform::TxTranslate) {
        const QRectF d = target.translated(t.dx(), t.dy());
        if (isWhole(d) && isWhole(source) && std::abs(d.width() - source.width()) < kWhole
            && std::abs(d.height() - source.height()) < kWhole) {
            p.save();
            p.resetTransform();
            p.setRenderHint(QPainter::SmoothPixmapTransform, false);
            p.drawImage(QPoint(int(std::lround(d.x())), int(std::lround(d.y()))), image,
                        QRect(int(std::lround(source.x())), int(std::lround(source.y())),
                              int(std::lround(source.width())), int(std::lround(source.height()))));
            p.restore();
            return;
        }
    }
    p.drawImage(target, image, source);
}

void CompositionPainter::shadowOf(QPainter &p, const QRectF &r, const Item &it)
{
    const int w = int(std::lround(r.width())), h = int(std::lround(r.height()));
    if (w <= 0 || h <= 0)
        return;
    const int blur = int(std::lround(it.shadowBlur));
    const auto key = std::make_tuple(w, h, int(std::lround(it.radius)) + (it.layer->ellipse ? 100000 : 0),
                                     blur, it.shadowColour.rgba());
    // drawn at a reduced scale: a blurred edge needs no fine pixels
    const double down = std::max(1.0, blur / 3.0);
    const int pad = int(std::ceil(blur * 2 / down)) + 1;
    const QImage &sprite = kept(m_caches.shadows, key, 32, [&] {
        QImage drawn = clearImage(QSize(int(std::ceil(w / down)) + 2 * pad, int(std::ceil(h / down)) + 2 * pad));
        {
            QPainter sp(&drawn);
            sp.setRenderHint(QPainter::Antialiasing);
            sp.fillPath(outlineOf(QRectF(pad, pad, w / down, h / down), it.radius / down, it.layer->ellipse),
                        it.shadowColour);
        }
        return blurred(drawn, blur / down);
    });
    const QRectF target(r.x() + it.shadowDx - pad * down, r.y() + it.shadowDy - pad * down,
                        sprite.width() * down, sprite.height() * down);
    p.drawImage(target, sprite);
}

QImage CompositionPainter::softened(const Item &it)
{
    // Drawn small and enlarged: the blur is a few pixels of the reduced copy, and the smooth
    // enlargement softens it further, so a whole-frame backdrop costs one scaled draw.
    constexpr double kSmallBlur = 2.5;
    const double down = std::max(1.0, it.backdropBlur / kSmallBlur);
    const QSize small(std::max(4, int(std::ceil(it.rect.width() / down))),
                      std::max(4, int(std::ceil(it.rect.height() / down))));
    // whole source pixels, so that every frame that shares this cache entry gets the same pixels
    const QRect part = it.backdropSource.toAlignedRect().intersected(it.image->rect());
    const auto key = std::make_tuple(it.image->cacheKey(), part.x(), part.y(), part.width(), part.height(),
                                     small.width(), small.height(), it.backdropColour.rgba());
    return kept(m_caches.backdrops, key, 16, [&] {
        QImage reduced = clearImage(small);
        {
            QPainter sp(&reduced);
            sp.setRenderHint(QPainter::SmoothPixmapTransform);
            sp.drawImage(QRectF(reduced.rect()), *it.image, QRectF(part));
        }
        reduced = blurred(reduced, down > 1 ? kSmallBlur : 0, true);
        QPainter(&reduced).fillRect(reduced.rect(), it.backdropColour);
        return reduced;
    });
}

QImage CompositionPainter::blurred(const QImage &alpha, double radius, bool clampEdges)
{
    if (radius < 0.5)
        return alpha;
    QImage img = alpha.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = img.width(), h = img.height();
    const int r = std::max(1, int(std::lround(radius / 1.7)));
    std::vector<quint32> line(size_t(std::max(w, h)));
    for (int pass = 0; pass < 3; ++pass) {
        for (int dir = 0; dir < 2; ++dir) {
            const int n = dir == 0 ? w : h, lines = dir == 0 ? h : w;
            for (int l = 0; l < lines; ++l) {
                auto px = [&](int k) -> quint32 & {
                    return dir == 0 ? reinterpret_cast<quint32 *>(img.scanLine(l))[k]
                                    : reinterpret_cast<quint32 *>(img.scanLine(k))[l];
                };
                for (int k = 0; k < n; ++k)
                    line[size_t(k)] = px(k);
                int sum[4] = {0, 0, 0, 0};
                auto add = [&](int k, int sign) {
                    if (k < 0 || k >= n) {
                        if (!clampEdges)
                            return;
                        k = std::clamp(k, 0, n - 1);
                    }
                    const quint32 c = line[size_t(k)];
                    sum[0] += sign * int(c >> 24);
                    sum[1] += sign * int((c >> 16) & 0xff);
                    sum[2] += sign * int((c >> 8) & 0xff);
                    sum[3] += sign * int(c & 0xff);
                };
                for (int k = -r; k <= r; ++k)
                    add(k, 1);
                const int div = 2 * r + 1;
                for (int k = 0; k < n; ++k) {
                    px(k) = (quint32(sum[0] / div) << 24) | (quint32(sum[1] / div) << 16)
                            | (quint32(sum[2] / div) << 8) | quint32(sum[3] / div);
                    add(k + r + 1, 1);
                    add(k - r, -1);
                }
            }
        }
    }
    return img;
}
