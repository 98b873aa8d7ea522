#pragma once

#include <QImage>
#include <QSize>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct AVFrame;
struct SwsContext;

// Turns pictures into encoder frames of one size and pixel format: stretched to the frame,
// or letterboxed on black to keep their shape on a frame of fixed size and display aspect.
// One scaler per thread; it keeps its conversion context for the last picture size.
class ZKFrameScaler
{
public:
    ZKFrameScaler(QSize frameSize, AVPixelFormat format, bool letterbox, double displayAspect);
    ~ZKFrameScaler();
    ZKFrameScaler(const ZKFrameScaler &) = delete;
    ZKFrameScaler &operator=(const ZKFrameScaler &) = delete;

    // A new frame of the output size and format, to be filled by scale; nullptr when out
    // of memory.
    AVFrame *newFrame() const;
    // Fills frame (from newFrame) with image; a null image gives black.
    void scale(const QImage &image, AVFrame *frame);
    // The part of the frame a picture of pictureSize covers.
    QRect targetRect(QSize pictureSize) const;

    static void paintBlack(AVFrame *frame);

private:
    // swscale's name of the colour matrix the writer tags frames of this size with.
    int colourMatrix() const;

    QSize m_size;
    AVPixelFormat m_format;
    bool m_letterbox;
    double m_displayAspect;
    SwsContext *m_context = nullptr;
    QSize m_contextSource;
    QSize m_contextTarget;
    AVPixelFormat m_contextSourceFormat = AV_PIX_FMT_NONE;
};
