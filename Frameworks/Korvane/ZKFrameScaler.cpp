#include "Frameworks/Korvane/ZKFrameScaler.h"

#include "Frameworks/Korvane/ZKFrameBuffer.h"
#include "Frameworks/Korvane/ZKYuv420.h"

#include <QRect>

#include <cmath>
#include <cstring>

extern "C" {
#include <libavutil/frame.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

ZKFrameScaler::ZKFrameScaler(QSize frameSize, AVPixelFormat format, bool letterbox, double displayAspect)
    : m_size(frameSize), m_format(format), m_letterbox(letterbox), m_displayAspect(displayAspect)
{
}

ZKFrameScaler::~ZKFrameScaler()
{
    sws_freeContext(m_context);
}

AVFrame *ZKFrameScaler::newFrame() const
{
    return zk_padded_frame(m_size, m_format);
}

void ZKFrameScaler::paintBlack(AVFrame *frame)
{
    const AVPixFmtDescriptor *desc = av_pix_fmt_desc_get(AVPixelFormat(frame->format));
    for (int plane = 0; plane < 3 && frame->data[plane]; ++plane) {
        const int rows = plane == 0 ? frame->height : AV_CEIL_RSHIFT(frame->height, desc->log2_chroma_h);
        // Limited-range black: luma 16, chroma at its middle.
        const int value = plane == 0 ? 16 : 128;
        for (int y = 0; y < rows; ++y)
            std::memset(frame->data[plane] + qint64(y) * frame->linesize[plane], value, frame->linesize[plane]);
    }
}

// HD pictures are tagged BT.709 by the writer, smaller ones BT.601.
int ZKFrameScaler::colourMatrix() const
{
    return m_size.height() >= 720 ? SWS_CS_ITU709 : SWS_CS_ITU601;
}

QRect ZKFrameScaler::targetRect(QSize pictureSize) const
{
    const QRect whole(QPoint(0, 0), m_size);
    if (!m_letterbox || pictureSize.isEmpty())
        return whole;
    const double pictureAspect = double(pictureSize.width()) / pictureSize.height();
    // Chroma of 4:1:1 frames spans four columns, of 4:2:0 frames two columns and rows.
    const int xStep = m_format == AV_PIX_FMT_YUV411P ? 4 : 2;
    if (pictureAspect > m_displayAspect) {
        int height = int(std::lround(m_size.height() * m_displayAspect / pictureAspect)) & ~1;
        height = std::max(height, 2);
        const int y = ((m_size.height() - height) / 2) & ~1;
        return QRect(0, y, m_size.width(), height);
    }
    int width = int(std::lround(m_size.width() * pictureAspect / m_displayAspect));
    width = std::max(width - width % xStep, xStep);
    int x = (m_size.width() - width) / 2;
    x -= x % xStep;
    return QRect(x, 0, width, m_size.height());
}

void ZKFrameScaler::scale(const QImage &image, AVFrame *frame)
{
    if (image.isNull() || image.width() < 1 || image.height() < 1) {
        paintBlack(frame);
        return;
    }
    const QRect target = targetRect(image.size());
    if (target != QRect(QPoint(0, 0), m_size))
        paintBlack(frame);
    const bool bgrx = image.format() == QImage::Format_ARGB32_Premultiplied || image.format() == QImage::Format_ARGB32
                      || image.format() == QImage::Format_RGB32;
    if (bgrx && m_format == AV_PIX_FMT_YUV420P && image.size() == m_size
        && target.size() == m_size && m_size.width() % 2 == 0 && m_size.height() % 2 == 0) {
        zk_bgrx_to_yuv420p(image.constBits(), int(image.bytesPerLine()), m_size.width(), m_size.height(), frame->data,
                           frame->linesize, colourMatrix() == SWS_CS_ITU709 ? ZKYuvMatrix::BT709 : ZKYuvMatrix::BT601);
        return;
    }

    AVPixelFormat sourceFormat = AV_PIX_FMT_NONE;
    AVFrame *source = zk_padded_copy(image, &sourceFormat);
    if (!source) {
        paintBlack(frame);
        return;
    }
    if (!m_context || m_contextSource != image.size() || m_contextTarget != target.size()
        || m_contextSourceFormat != sourceFormat) {
        sws_freeContext(m_context);
        // Same size: only the chroma is averaged down.
        const int flags = image.size() == target.size() ? SWS_BILINEAR : SWS_BICUBIC;
        m_context = sws_getContext(image.width(), image.height(), sourceFormat, target.width(),
                                   target.height(), m_format, flags, nullptr, nullptr, nullptr);
        m_contextSource = image.size();
        m_contextTarget = target.size();
        m_contextSourceFormat = sourceFormat;
        if (!m_context) {
            av_frame_free(&source);
            paintBlack(frame);
            return;
        }
        sws_setColorspaceDetails(m_context, sws_getCoefficients(SWS_CS_DEFAULT), 1,
                                 sws_getCoefficients(colourMatrix()), 0, 0, 1 << 16, 1 << 16);
    }

    if (target.size() == m_size) {
        sws_scale(m_context, source->data, source->linesize, 0, image.height(), frame->data, frame->linesize);
        av_frame_free(&source);
        return;
    }
    // A letterboxed picture is scaled on its own, since swscale may write past the end of its
    // rows, and then copied into its place between the bars.
    AVFrame *scaled = zk_padded_frame(target.size(), m_format);
    if (!scaled) {
        av_frame_free(&source);
        return;
    }
    sws_scale(m_context, source->data, source->linesize, 0, image.height(), scaled->data, scaled->linesize);
    av_frame_free(&source);
    const AVPixFmtDescriptor *desc = av_pix_fmt_desc_get(m_format);
    uint8_t *planes[4] = {};
    int strides[4] = {};
    for (int plane = 0; plane < 3; ++plane) {
        const int x = plane == 0 ? target.x() : target.x() >> desc->log2_chroma_w;
        const int y = plane == 0 ? target.y() : target.y() >> desc->log2_chroma_h;
        planes[plane] = frame->data[plane] + qint64(y) * frame->linesize[plane] + x;
        strides[plane] = frame->linesize[plane];
    }
    av_image_copy(planes, strides, const_cast<const uint8_t **>(scaled->data), scaled->linesize, m_format,
                  target.width(), target.height());
    av_frame_free(&scaled);
}
