#pragma once

#include "Platform/Imaging/Picture.h"

#include <QImage>
#include <QPainter>
#include <QRectF>

#include <functional>
#include <memory>

// A bitmap to draw into with QPainter (top-left origin, one unit per pixel). It starts fully
// transparent; without alpha its picture is given opaque, over black.
class ZKBitmapImage
{
public:
    // nullptr for an empty size or one too large to allocate.
    static std::shared_ptr<ZKBitmapImage> imageWithSize(QSizeF size);
    // rect scaled with its aspect ratio kept to fit inside container, centred in it.
    static QRectF scaleRect(const QRectF &rect, const QRectF &container);
    static void drawImage(QPainter &painter, const QImage &image, const QRectF &rect);

    void setHasAlpha(bool hasAlpha) { m_hasAlpha = hasAlpha; }
    bool hasAlpha() const { return m_hasAlpha; }
    QRectF drawRect() const { return QRectF(QPointF(0, 0), m_image.size()); }
    void drawInImage(const std::function<void(QPainter &painter)> &draw);

    QImage getNSImage() const;
    Picture getCIImage() const;

private:
    explicit ZKBitmapImage(QImage image) : m_image(std::move(image)) {}

    QImage m_image;
    bool m_hasAlpha = false;
};
