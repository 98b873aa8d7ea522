#include "Frameworks/Korvane/ZKBitmapImage.h"

#include <cmath>

std::shared_ptr<ZKBitmapImage> ZKBitmapImage::imageWithSize(QSizeF size)
{
    if (!(size.width() >= 1 && size.height() >= 1) || size.width() > 32768 || size.height() > 32768)
        return nullptr;
    QImage image(QSize(int(std::ceil(size.width())), int(std::ceil(size.height()))),
                 QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return nullptr;
    image.fill(Qt::transparent);
    return std::shared_ptr<ZKBitmapImage>(new ZKBitmapImage(std::move(image)));
}

QRectF ZKBitmapImage::scaleRect(const QRectF &rect, const QRectF &container)
{
    if (rect.width() <= 0 || rect.height() <= 0)
        return QRectF(container.center(), QSizeF(0, 0));
    const double scale = std::min(container.width() / rect.width(), container.height() / rect.height());
    const QSizeF fitted(rect.width() * scale, rect.height() * scale);
    return QRectF(container.center() - QPointF(fitted.width() / 2, fitted.height() / 2), fitted);
}

void ZKBitmapImage::drawImage(QPainter &painter, const QImage &image, const QRectF &rect)
{
    if (!image.isNull())
        painter.drawImage(rect, image);
}

void ZKBitmapImage::drawInImage(const std::function<void(QPainter &painter)> &draw)
{
    if (!draw)
        return;
    QPainter painter(&m_image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    draw(painter);
}

QImage ZKBitmapImage::getNSImage() const
{
    if (m_hasAlpha)
        return m_image;
    QImage opaque(m_image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::black);
    QPainter painter(&opaque);
    painter.drawImage(0, 0, m_image);
    return opaque;
}

Picture ZKBitmapImage::getCIImage() const
{
    return Picture::fromImage(getNSImage());
}
