#include "export/VETimelineExportFrameImage.h"

#include <QPainter>

VETimelineExportFrameImage::VETimelineExportFrameImage(QSize imageSize, QImage content, qint64 time)
    : ZKMovieImage(QImage(), time), m_imageSize(imageSize), m_content(std::move(content))
{
}

VETimelineExportFrameImage::VETimelineExportFrameImage(QSize imageSize, Producer producer, qint64 time)
    : ZKMovieImage(QImage(), time), m_imageSize(imageSize), m_producer(std::move(producer))
{
}

QImage VETimelineExportFrameImage::currentImage() const
{
    std::call_once(m_drawn, [this] {
        if (m_producer) {
            m_content = m_producer();
            m_producer = nullptr;
        }
        const QSize size = m_imageSize.isEmpty() ? m_content.size() : m_imageSize;
        if (size.isEmpty())
            return;
        // A picture that already fits is taken as it is: premultiplied transparency is black
        // to the encoder, as it is drawn over black here.
        if (m_content.size() == size
            && (m_content.format() == QImage::Format_ARGB32_Premultiplied
                || m_content.format() == QImage::Format_RGB32)) {
            m_bitmap = m_content;
            m_content = QImage();
            return;
        }
        QImage bitmap(size, QImage::Format_ARGB32_Premultiplied);
        if (bitmap.isNull())
            return;
        bitmap.fill(Qt::black);
        if (!m_content.isNull()) {
            QPainter painter(&bitmap);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRect(QPoint(0, 0), size), m_content);
        }
        m_bitmap = bitmap;
        m_content = QImage();
    });
    return m_bitmap;
}
