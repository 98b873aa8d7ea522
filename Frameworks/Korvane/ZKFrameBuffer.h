#pragma once

#include <QImage>
#include <QSize>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct AVFrame;

// Every picture buffer of ours that FFmpeg reads or writes comes from here, with the alignment
// and padding FFmpeg asks for: rows start on 64-byte boundaries and run on past the last pixel,
// and spare rows follow the last. swscale's vector code writes up to 32 bytes past a row of
// exact length for some widths (712, 1080, 1096 …), which on the last row is past the buffer.

// A frame of size and format with such buffers; nullptr when out of memory.
AVFrame *zk_padded_frame(QSize size, AVPixelFormat format);

// An image over the first plane of frame (a packed 32-bit format); the image owns frame and
// frees it when its last copy goes. A null image (frame freed) when format does not fit.
QImage zk_image_over_frame(AVFrame *frame, QImage::Format format);

// image copied into a padded frame of the matching packed format, for FFmpeg to read;
// nullptr when image is null or out of memory. *format is the frame's pixel format.
AVFrame *zk_padded_copy(const QImage &image, AVPixelFormat *format);
