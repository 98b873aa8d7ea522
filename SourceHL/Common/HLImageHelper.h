#pragma once

#include "Platform/Foundation/HLAssert.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>

class QPainter;

// Argument checks of the picture helpers; each fails the assertion with its description.
void static_validate_object(const QString &object); // "bad obj" for a null string
template <class T>
void static_validate_object(const T &object) // blocks and pointers: "bad obj" when empty
{
    HL_ASSERT(static_cast<bool>(object), "bad obj");
}
void static_validate_min_max(float value, float minimum, float maximum); // "bad value"
void static_validate_size(QSizeF size);                                 // "bad size"
void static_validate_crop_ratio_rect(QRectF rect);                      // "bad rect"

// Still pictures: off-screen drawing, the two files an imported photo is kept as, gradients,
// and scaling or cutting a picture to a box. Pictures are drawn at one pixel per point, in
// premultiplied ARGB32. Sizes and rectangles are y-up (origin at the lower left) like the
// rest of the model; the painter handed to a drawing block is Qt's, y-down, and flipped()
// places a y-up rectangle in it. Keeps no state; safe on any thread.
class HLImageHelper
{
public:
    // Draws into the painter; rect is the new picture's whole rectangle (0, 0, w, h).
    using DrawBlock = std::function<void(QPainter &painter, const QRectF &rect)>;
    // The path to write a picture to, given the imported file's name.
    using PathBlock = std::function<QString(const QString &fileName)>;

    // Quality the kept copy of a photo is written with at the least (0.9 of JPEG's 100).
    static constexpr float kSourceQuality = 0.9f;

    // A new picture of size truncated to whole pixels (at least 1 × 1), transparent, drawn by
    // drawBy. A null image when the memory for it cannot be had.
    static QImage hlImageOf(QSizeF size, const DrawBlock &drawBy);

    // Reads the photo at path upright and writes it whole to source(name) and, when it is
    // larger than limit in both directions, reduced inside limit to preview(name); name is
    // path's file name. Opaque photos are written as JPEG (the source at quality kSourceQuality
    // or compress, whichever is higher; the preview at compress), photos with transparency as
    // PNG. Answers the pixel size, or the zero size, nothing left written and the reason in
    // error, when the file is no usable picture or a file cannot be written. A photo taken in
    // spite of a fault (a JPEG cut short keeps the part that decoded) says so in warning.
    static QSizeF hlValidate(const QString &path, const PathBlock &source, const PathBlock &preview,
                             float compress, QSizeF limit, QString *error = nullptr, QString *warning = nullptr);

    // A picture of size filled by a gradient from start to end; angle in degrees, 0 runs left
    // to right, 90 bottom to top.
    static QImage hlGradientImageOf(QSizeF size, const QColor &start, const QColor &end, float angle);

    // The part of image inside ratio (fractions of its size, y from the bottom), or image
    // itself for (0, 0, 1, 1).
    static QImage hlCroppedImageOf(const QImage &image, const QRectF &ratio);
    // image scaled, aspect kept, to the largest size inside box / smallest size covering it;
    // image itself when its size is the box's.
    static QImage hlMaxInsideImageOf(const QImage &image, QSizeF box);
    static QImage hlMinOutsideImageOf(const QImage &image, QSizeF box);
    // Reduced inside / to cover box only when image is larger than box in both directions.
    static QImage hlLimitInsideImageOf(const QImage &image, QSizeF box);
    static QImage hlLimitOutsideImageOf(const QImage &image, QSizeF box);
    // The centre of image cut to box's aspect, then reduced to cover box.
    static QImage hlLimitCroppedImageOf(const QImage &image, QSizeF box);
    // A thumbnail: limited to cover box, and bounded along its length too: a picture longer
    // than kThumbnailStretch boxes for each box across keeps only its centre of that shape.
    static constexpr int kThumbnailStretch = 4;
    static QImage hlThumbnailOf(const QImage &image, QSizeF box);
    // image with a round badge showing count near its lower right corner; image itself for a
    // count of 1 or less.
    static QImage hlDragImageOf(const QImage &image, qint64 count, const QFont &font, const QColor &textColor,
                                const QColor &background);

    // The geometry of the operations above, y-up, in single precision as they compute it.
    static QSizeF maxInsideSize(QSizeF size, QSizeF box);
    static QSizeF minOutsideSize(QSizeF size, QSizeF box);
    static QRectF limitCroppedRatioRect(QSizeF size, QSizeF box); // the centre cut, as ratios
    static QRectF croppedDrawRect(QSizeF size, const QRectF &ratio); // where the whole picture goes
    // The whole pixels (y down, as QImage counts them) that ratio (y up) covers in a picture of size.
    static QRect pixelRectOf(QSizeF size, const QRectF &ratio);
    static QRectF dragBadgeRect(QSizeF size);
    // A y-up rectangle inside a picture of the given height, in the painter's y-down terms.
    static QRectF flipped(const QRectF &yUp, double height);
};
