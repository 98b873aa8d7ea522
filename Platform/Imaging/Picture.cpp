#include "Platform/Imaging/Picture.h"

#include "Platform/Imaging/ParallelRows.h"

#include <QPainter>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

constexpr QImage::Format kFormat = QImage::Format_ARGB32_Premultiplied;

// The extent of a picture without bounds, as Core Image reports it.
const QRectF kInfiniteExtent(-DBL_MAX / 2, -DBL_MAX / 2, DBL_MAX, DBL_MAX);

QImage premultiplied(const QImage &image)
{
    if (image.isNull() || image.format() == kFormat)
        return image;
    return image.convertToFormat(kFormat);
}

bool isWhole(double value)
{
    return std::abs(value - std::round(value)) < 1e-6;
}

double snapped(double value)
{
    for (double target : {-1.0, 0.0, 1.0})
        if (std::abs(value - target) < 1e-9)
            return target;
    return value;
}

struct Rgba
{
    float r = 0, g = 0, b = 0, a = 0;
};

Rgba premultipliedOf(const QColor &color)
{
    if (!color.isValid())
        return {};
    const QColor c = color.toRgb();
    const float a = c.alphaF();
    return {c.redF() * a, c.greenF() * a, c.blueF() * a, a};
}

QColor colorOf(const Rgba &p)
{
    if (p.a <= 0)
        return QColor(0, 0, 0, 0);
    auto unit = [&](float v) { return std::clamp(v / p.a, 0.0f, 1.0f); };
    return QColor::fromRgbF(unit(p.r), unit(p.g), unit(p.b), std::min(p.a, 1.0f));
}

QRgb pixelOf(const QColor &color)
{
    return color.isValid() ? qPremultiply(color.rgba()) : 0;
}

// The union of two rectangles of which either may be empty.
QRectF joined(const QRectF &a, const QRectF &b)
{
    if (a.isEmpty())
        return b;
    if (b.isEmpty())
        return a;
    return a.united(b);
}

// Copies src into dst with its top-left pixel at (x, y); pixels outside dst are dropped.
void copyPixels(const QImage &src, QImage &dst, int x, int y)
{
    const QRect target = QRect(x, y, src.width(), src.height()).intersected(dst.rect());
    if (target.isEmpty())
        return;
    const size_t bytes = size_t(target.width()) * 4;
    for (int row = target.top(); row <= target.bottom(); ++row)
        std::memcpy(dst.scanLine(row) + size_t(target.left()) * 4,
                    src.constScanLine(row - y) + size_t(target.left() - x) * 4, bytes);
}

} // namespace

Picture Picture::fromImage(const QImage &image, QPointF origin)
{
    Picture picture;
    if (image.isNull())
        return picture;
    picture.m_image = premultiplied(image);
    picture.m_extent = QRectF(origin, QSizeF(image.size()));
    return picture;
}

Picture Picture::colored(const QColor &color)
{
    Picture picture;
    picture.m_infinite = true;
    picture.m_color = color.isValid() ? color : QColor(0, 0, 0, 0);
    return picture;
}

Picture Picture::infinite(const QColor &color, const QImage &pixels, QPointF origin)
{
    Picture picture = colored(color);
    if (!pixels.isNull()) {
        picture.m_image = premultiplied(pixels);
        picture.m_extent = QRectF(origin, QSizeF(pixels.size()));
    }
    return picture;
}

bool Picture::isNull() const
{
    return !m_infinite && m_image.isNull();
}

bool Picture::isInfinite() const
{
    return m_infinite;
}

QRectF Picture::extent() const
{
    return m_infinite ? kInfiniteExtent : m_extent;
}

QColor Picture::color() const
{
    return m_infinite ? m_color : QColor(0, 0, 0, 0);
}

QRectF Picture::pixelExtent() const
{
    return m_image.isNull() ? QRectF() : m_extent;
}

Picture Picture::translated(double dx, double dy) const
{
    Picture moved = *this;
    if (!moved.m_image.isNull())
        moved.m_extent.translate(dx, dy);
    return moved;
}

Picture Picture::scaled(double sx, double sy) const
{
    return transformed(QTransform::fromScale(sx, sy));
}

Picture Picture::rotated(double radians) const
{
    const double quarters = radians / (M_PI / 2);
    if (std::abs(quarters - std::round(quarters)) > 1e-9)
        return transformed(QTransform().rotateRadians(radians));
    // Quarter turns get an exact matrix, so their pixels are remapped and not resampled.
    switch (((static_cast<long long>(std::round(quarters)) % 4) + 4) % 4) {
    case 1:
        return transformed(QTransform(0, 1, -1, 0, 0, 0));
    case 2:
        return transformed(QTransform(-1, 0, 0, -1, 0, 0));
    case 3:
        return transformed(QTransform(0, -1, 1, 0, 0, 0));
    default:
        return *this;
    }
}

Picture Picture::transformed(const QTransform &yUpTransform) const
{
    if (m_image.isNull())
        return *this; // null, or a plain colour, which no move changes
    const QTransform t(snapped(yUpTransform.m11()), snapped(yUpTransform.m12()),
                       snapped(yUpTransform.m21()), snapped(yUpTransform.m22()), yUpTransform.dx(),
                       yUpTransform.dy());
    if (t.m11() == 1 && t.m22() == 1 && t.m12() == 0 && t.m21() == 0)
        return translated(t.dx(), t.dy());
    const bool flips = t.m12() == 0 && t.m21() == 0 && std::abs(t.m11()) == 1 && std::abs(t.m22()) == 1;
    const bool turns = t.m11() == 0 && t.m22() == 0 && std::abs(t.m12()) == 1 && std::abs(t.m21()) == 1;
    if (flips || turns)
        return exactlyTransformed(t);
    return resampled(yUpTransform);
}

// Flips and quarter turns: every destination pixel is one source pixel.
Picture Picture::exactlyTransformed(const QTransform &t) const
{
    const QRectF from = m_extent;
    const bool swaps = t.m11() == 0;
    const int width = swaps ? m_image.height() : m_image.width();
    const int height = swaps ? m_image.width() : m_image.height();
    const QRectF mapped = t.mapRect(from);
    const QRectF to(mapped.x(), mapped.y(), width, height);
    QImage dst(width, height, kFormat);
    if (dst.isNull())
        return {};

    // The source pixel under a destination pixel's centre, in QImage rows (top first).
    const QTransform back = t.inverted();
    auto sourcePixel = [&](int u, int v) {
        const QPointF p = back.map(QPointF(to.x() + u + 0.5, to.y() + to.height() - v - 0.5));
        return QPoint(int(std::floor(p.x() - from.x())), int(std::floor(from.y() + from.height() - p.y())));
    };
    const QPoint origin = sourcePixel(0, 0);
    const QPoint alongRow = sourcePixel(1, 0) - origin;
    const QPoint alongColumn = sourcePixel(0, 1) - origin;
    const qsizetype srcLine = m_image.bytesPerLine();
    const ptrdiff_t stepU = alongRow.x() * 4 + alongRow.y() * srcLine;
    const ptrdiff_t stepV = alongColumn.x() * 4 + alongColumn.y() * srcLine;
    const uchar *start = m_image.constBits() + origin.y() * srcLine + origin.x() * 4;
    uchar *dstBits = dst.bits();
    const qsizetype dstLine = dst.bytesPerLine();
    ImagingThreads::forEachBand(height, width, [&](int begin, int end) {
        for (int v = begin; v < end; ++v) {
            const uchar *s = start + v * stepV;
            auto *d = reinterpret_cast<quint32 *>(dstBits + v * dstLine);
            for (int u = 0; u < width; ++u, s += stepU)
                d[u] = *reinterpret_cast<const quint32 *>(s);
        }
    });
    Picture out = *this;
    out.m_image = dst;
    out.m_extent = to;
    return out;
}

// Any other affine move: resampled smoothly onto the whole-unit grid that covers the result.
Picture Picture::resampled(const QTransform &t) const
{
    const QRect box = t.mapRect(m_extent).toAlignedRect();
    if (box.isEmpty())
        return m_infinite ? colored(m_color) : Picture();
    QImage dst(box.size(), kFormat);
    if (dst.isNull())
        return {};
    dst.fill(m_infinite ? pixelOf(m_color) : 0u);
    {
        QPainter painter(&dst);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        if (m_infinite)
            painter.setCompositionMode(QPainter::CompositionMode_Source);
        const QTransform toPlane(1, 0, 0, -1, m_extent.x(), m_extent.y() + m_extent.height());
        const QTransform toBox(1, 0, 0, -1, -box.x(), box.y() + box.height());
        painter.setTransform(toPlane * t * toBox);
        painter.drawImage(QPointF(0, 0), m_image);
    }
    Picture out = *this;
    out.m_image = dst;
    out.m_extent = QRectF(box);
    return out;
}

Picture Picture::cropped(const QRectF &rect) const
{
    if (isNull())
        return {};
    const QRectF r = rect.normalized();
    // Edges snap to the pixel grid, so a crop copies pixels and never resamples them.
    const QPointF grid = m_image.isNull() ? QPointF(0, 0) : m_extent.topLeft();
    auto snap = [](double v, double g) { return g + std::round(v - g); };
    const double left = snap(r.left(), grid.x());
    const double right = snap(r.right(), grid.x());
    const double bottom = snap(r.top(), grid.y());
    const double top = snap(r.bottom(), grid.y());
    QRectF cut(left, bottom, right - left, top - bottom);
    if (!m_infinite)
        cut = cut.intersected(m_extent);
    if (cut.width() < 0.5 || cut.height() < 0.5)
        return {};
    return fromImage(render(cut), cut.topLeft());
}

Picture Picture::sourceOver(const Picture &background) const
{
    if (isNull())
        return background;
    if (background.isNull())
        return *this;
    const bool infinite = m_infinite || background.m_infinite;
    const Rgba a = premultipliedOf(color()), b = premultipliedOf(background.color());
    const QColor outside = colorOf({a.r + b.r * (1 - a.a), a.g + b.g * (1 - a.a), a.b + b.b * (1 - a.a),
                                    a.a + b.a * (1 - a.a)});
    const QRectF region = joined(pixelExtent(), background.pixelExtent());
    if (region.isEmpty())
        return colored(outside);
    QImage out = background.render(region);
    if (out.isNull())
        return {};
    {
        QPainter painter(&out);
        if (m_infinite)
            painter.drawImage(QPointF(0, 0), render(region));
        else if (!m_image.isNull())
            painter.drawImage(QPointF(m_extent.x() - region.x(),
                                      region.y() + region.height() - m_extent.y() - m_extent.height()),
                              m_image);
    }
    return infinite ? Picture::infinite(outside, out, region.topLeft()) : fromImage(out, region.topLeft());
}

Picture Picture::sourceIn(const Picture &background) const
{
    if (isNull() || background.isNull())
        return {};
    const Rgba a = premultipliedOf(color());
    const float coverage = premultipliedOf(background.color()).a;
    const QColor outside = colorOf({a.r * coverage, a.g * coverage, a.b * coverage, a.a * coverage});
    const QRectF region = background.m_infinite ? joined(pixelExtent(), background.pixelExtent())
                                                : background.m_extent;
    if (region.isEmpty())
        return background.m_infinite ? colored(outside) : Picture();
    QImage out = render(region);
    if (out.isNull())
        return {};
    {
        QPainter painter(&out);
        painter.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        painter.drawImage(QPointF(0, 0), background.render(region));
    }
    return background.m_infinite ? Picture::infinite(outside, out, region.topLeft())
                                 : fromImage(out, region.topLeft());
}

QImage Picture::image() const
{
    if (m_infinite)
        return {};
    return m_image;
}

QImage Picture::render(const QRectF &rect) const
{
    const int width = qRound(rect.width());
    const int height = qRound(rect.height());
    if (isNull() || width <= 0 || height <= 0)
        return {};
    QImage out(width, height, kFormat);
    if (out.isNull())
        return {};
    out.fill(m_infinite ? pixelOf(m_color) : 0u);
    if (m_image.isNull())
        return out;
    const double dx = m_extent.x() - rect.x();
    const double dy = rect.y() + rect.height() - (m_extent.y() + m_extent.height());
    if (isWhole(dx) && isWhole(dy)) {
        copyPixels(m_image, out, int(std::round(dx)), int(std::round(dy)));
    } else {
        QPainter painter(&out);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.drawImage(QPointF(dx, dy), m_image);
    }
    return out;
}
