#pragma once

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QTransform>

// A picture placed in a y-up plane: pixels (premultiplied ARGB32) plus the extent they cover,
// origin at the lower left, one unit per pixel. A colour picture has no bounds (infinite
// extent) until it is cropped. Pictures are values: every operation answers a new picture and
// leaves its receiver alone; pixel data is shared until written.
class Picture
{
public:
    Picture() = default; // the null picture

    // The image placed with its lower-left corner at origin (y-up). Converted to
    // premultiplied ARGB32 when it is in another format.
    static Picture fromImage(const QImage &image, QPointF origin = {0, 0});
    // A plain colour without bounds.
    static Picture colored(const QColor &color);

    bool isNull() const;
    bool isInfinite() const;
    QRectF extent() const;

    // An infinite picture may carry pixels of its own over part of the plane (what a
    // composite or a filter leaves there); elsewhere it is its colour. A finite picture's
    // pixels cover its extent and its colour is transparent.
    static Picture infinite(const QColor &color, const QImage &pixels, QPointF origin);
    QColor color() const;
    QRectF pixelExtent() const;

    // Affine moves in the y-up plane about the origin (0, 0). Quarter turns and flips remap
    // pixels exactly; other angles and scales resample smoothly.
    Picture translated(double dx, double dy) const;
    Picture scaled(double sx, double sy) const;
    Picture rotated(double radians) const; // counter-clockwise for a positive angle
    Picture transformed(const QTransform &yUpTransform) const;

    // The part inside rect (y-up); an infinite picture becomes a finite one.
    Picture cropped(const QRectF &rect) const;

    // Porter-Duff composites with a background: the extent is the union (over) or the
    // background's extent (in).
    Picture sourceOver(const Picture &background) const;
    Picture sourceIn(const Picture &background) const;

    // The pixels of the extent, top row first (as QImage counts rows). A null or infinite
    // picture gives a null image.
    QImage image() const;
    // The pixels of any y-up rectangle, transparent where the picture has none.
    QImage render(const QRectF &rect) const;

private:
    Picture exactlyTransformed(const QTransform &yUpTransform) const;
    Picture resampled(const QTransform &yUpTransform) const;

    QImage m_image;       // pixels (of a finite picture, or over an infinite one's colour)
    QRectF m_extent;      // y-up extent of those pixels
    QColor m_color;       // colour of an infinite picture
    bool m_infinite = false;
};
