#include "Frameworks/Korvane/ZKFrameBuffer.h"

#include <cstring>

extern "C" {
#include <libavutil/frame.h>
}

namespace {

constexpr int kRowAlign = 64;

void freeFrame(void *frame)
{
    auto *owned = static_cast<AVFrame *>(frame);
    av_frame_free(&owned);
}

} // namespace

AVFrame *zk_padded_frame(QSize size, AVPixelFormat format)
{
    if (size.isEmpty())
        return nullptr;
    AVFrame *frame = av_frame_alloc();
    if (!frame)
        return nullptr;
    frame->format = format;
    frame->width = size.width();
    frame->height = size.height();
    // av_frame_get_buffer rounds each row up to the alignment, the height up to 32 rows, and
    // pads the end of every plane.
    if (av_frame_get_buffer(frame, kRowAlign) < 0)
        av_frame_free(&frame);
    return frame;
}

QImage zk_image_over_frame(AVFrame *frame, QImage::Format format)
{
    if (!frame)
        return QImage();
    if (frame->linesize[0] < frame->width * 4) {
        av_frame_free(&frame);
        return QImage();
    }
    return QImage(frame->data[0], frame->width, frame->height, frame->linesize[0], format, &freeFrame, frame);
}

AVFrame *zk_padded_copy(const QImage &picture, AVPixelFormat *format)
{
    if (picture.isNull())
        return nullptr;
    QImage image = picture;
    switch (image.format()) {
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_ARGB32:
        // Premultiplied transparency is already dark; straight alpha is simply dropped.
        *format = AV_PIX_FMT_BGRA;
        break;
    case QImage::Format_RGB32:
        *format = AV_PIX_FMT_BGR0;
        break;
    case QImage::Format_RGB888:
        *format = AV_PIX_FMT_RGB24;
        break;
    default:
        image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        *format = AV_PIX_FMT_BGRA;
        break;
    }
    AVFrame *frame = zk_padded_frame(image.size(), *format);
    if (!frame)
        return nullptr;
    const size_t rowBytes = size_t(image.width()) * size_t(image.depth() / 8);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(frame->data[0] + qint64(y) * frame->linesize[0], image.constScanLine(y), rowBytes);
    return frame;
}
