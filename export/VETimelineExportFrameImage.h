#pragma once

#include "Frameworks/Korvane/ZKMovieImage.h"

#include <QImage>
#include <QSize>

#include <functional>
#include <mutex>

// One exported frame: a picture drawn scaled into a bitmap of the frame size. The bitmap is
// made once, when the converter first asks for it (on its worker threads); the picture is
// given, or rendered by a producer only then.
class VETimelineExportFrameImage : public ZKMovieImage
{
public:
    using Producer = std::function<QImage()>;

    VETimelineExportFrameImage(QSize imageSize, QImage content, qint64 time);
    VETimelineExportFrameImage(QSize imageSize, Producer producer, qint64 time);

    // The content scaled into the frame size over black; black without content.
    QImage currentImage() const override;

private:
    QSize m_imageSize;
    mutable QImage m_content;
    mutable Producer m_producer;
    mutable std::once_flag m_drawn;
    mutable QImage m_bitmap;
};
