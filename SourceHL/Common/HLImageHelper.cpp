#include "SourceHL/Common/HLImageHelper.h"

#include "Platform/Imaging/JpegIntegrity.h"
#include "Platform/Imaging/PhotoReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImageReader>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>

#include <algorithm>
#include <climits>
#include <cmath>

void static_validate_object(const QString &object)
{
    HL_ASSERT(!object.isNull(), "bad obj");
}

void static_validate_min_max(float value, float minimum, float maximum)
{
    HL_ASSERT(minimum <= value && value <= maximum, "bad value");
}

void static_validate_size(QSizeF size)
{
    HL_ASSERT(size.width() > 0 && size.height() > 0, "bad size");
}

void static_validate_crop_ratio_rect(QRectF rect)
{
    const float x = float(rect.x()), y = float(rect.y()), w = float(rect.width()), h = float(rect.height());
    HL_ASSERT(x >= 0 && y >= 0 && w > 0 && h > 0 && x + w <= 1 && y + h <= 1, "bad rect");
}

namespace {

// Draws the whole of image into target; reductions are averaged first, which the painter's
// bilinear sampling alone would alias.
void drawWhole(QPainter &painter, const QImage &image, const QRectF &target)
{
    const QSize reduced(std::max(1, qRound(target.width())), std::max(1, qRound(target.height())));
    if (reduced.width() < image.width() || reduced.height() < image.height())
        painter.drawImage(target, image.scaled(reduced, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    else
        painter.drawImage(target, image);
}

QImage redrawn(const QImage &image, QSizeF size)
{
    // A reduction lands on whole pixels: the averaged image is the picture itself, without
    // a painter pass to copy it.
    const QSize whole(std::max(1, int(std::min(size.width(), double(INT_MAX)))),
                      std::max(1, int(std::min(size.height(), double(INT_MAX)))));
    if (whole.width() < image.width() || whole.height() < image.height())
        return image.scaled(whole, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
            .convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return HLImageHelper::hlImageOf(size, [&](QPainter &painter, const QRectF &rect) {
        drawWhole(painter, image, rect);
    });
}

// Whether pixels of this stored format can be anything but opaque (palettes may hold
// transparent entries).
bool mayBeTransparent(QImage::Format stored)
{
    const QPixelFormat pixel = QImage::toPixelFormat(stored);
    return stored == QImage::Format_Invalid || pixel.colorModel() == QPixelFormat::Indexed
           || pixel.alphaUsage() == QPixelFormat::UsesAlpha;
}

bool hasTransparency(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return false;
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < argb.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return true;
    }
    return false;
}

// Writes atomically: the file is either complete or untouched.
bool writeBytes(const QByteArray &bytes, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool writePicture(const QImage &image, const QString &path, bool png, float quality, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    QImageWriter writer(&file, png ? "png" : "jpeg");
    if (!png)
        writer.setQuality(qRound(quality * 100));
    if (!writer.write(image)) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, writer.errorString());
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

// An upright JPEG is kept byte for byte: re-encoding it would cost time and lose detail. It
// is still decoded once, which proves it whole; straight at the preview's size when one is
// needed, as JPEG reduces while decoding.
QSizeF keptJpeg(const QString &path, QSize stored, const QString &sourcePath,
                const std::function<QString()> &previewPath, float compress, QSizeF limit, QString *error)
{
    QString reason;
    auto failed = [&] {
        if (error)
            *error = reason;
        return QSizeF(0, 0);
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        reason = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
        return failed();
    }
    QByteArray bytes = file.readAll();
    const bool reduce = stored.width() > limit.width() && stored.height() > limit.height();
    QImage picture;
    if (reduce) {
        // The size hlLimitInsideImageOf gives: the box fitted, cut to whole pixels.
        const QSizeF inside = HLImageHelper::maxInsideSize(QSizeF(stored), limit);
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer, "jpeg");
        reader.setScaledSize(QSize(std::max(1, int(inside.width())), std::max(1, int(inside.height()))));
        picture = reader.read();
        if (picture.isNull())
            reason = QStringLiteral("Cannot read %1: %2").arg(path, reader.errorString());
    } else {
        picture = PhotoReader::load(path, {}, &reason);
    }
    if (picture.isNull() || !writeBytes(bytes, sourcePath, &reason))
        return failed();
    if (reduce && !writePicture(picture, previewPath(), false, compress, &reason)) {
        QFile::remove(sourcePath);
        return failed();
    }
    if (error)
        error->clear();
    return QSizeF(stored);
}

} // namespace

QImage HLImageHelper::hlImageOf(QSizeF size, const DrawBlock &drawBy)
{
    static_validate_size(size);
    static_validate_object(drawBy);
    // At least one pixel: a size below one point still makes a picture.
    const int width = std::max(1, int(std::min(size.width(), double(INT_MAX))));
    const int height = std::max(1, int(std::min(size.height(), double(INT_MAX))));
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform | QPainter::TextAntialiasing);
    drawBy(painter, QRectF(0, 0, width, height));
    return image;
}

QSizeF HLImageHelper::hlValidate(const QString &path, const PathBlock &source, const PathBlock &preview,
                                 float compress, QSizeF limit, QString *error, QString *warning)
{
    static_validate_object(path);
    static_validate_object(source);
    static_validate_object(preview);
    static_validate_min_max(compress, 0, 1);
    QString reason;
    auto failed = [&] {
        if (error)
            *error = reason;
        return QSizeF(0, 0);
    };
    const QString name = QFileInfo(path).fileName();
    QImageReader probe(path);
    probe.setDecideFormatFromContent(true);
    const QSize stored = probe.size();
    if (warning)
        warning->clear();
    if (probe.format() == "jpeg" && stored.isValid()
        && probe.transformation() == QImageIOHandler::TransformationNone && !JpegIntegrity::isCutShort(path))
        return keptJpeg(path, stored, source(name), [&] { return preview(name); }, compress, limit, error);
    const QImage picture = PhotoReader::load(path, {}, &reason, {}, warning);
    if (picture.isNull())
        return failed();
    // Transparency would turn black in a JPEG; such photos are kept as PNG.
    const bool png = mayBeTransparent(probe.imageFormat()) && hasTransparency(picture);
    const QString sourcePath = source(name);
    if (!writePicture(picture, sourcePath, png, std::max(compress, kSourceQuality), &reason))
        return failed();
    const QImage reduced = hlLimitInsideImageOf(picture, limit);
    if (reduced.cacheKey() != picture.cacheKey() && !writePicture(reduced, preview(name), png, compress, &reason)) {
        QFile::remove(sourcePath);
        return failed();
    }
    if (error)
        error->clear();
    return QSizeF(picture.size());
}

QImage HLImageHelper::hlGradientImageOf(QSizeF size, const QColor &start, const QColor &end, float angle)
{
    static_validate_size(size);
    return hlImageOf(size, [&](QPainter &painter, const QRectF &rect) {
        // The gradient line runs through the centre at the angle (y-up, so flipped here) and
        // reaches the corners.
        const double radians = angle * M_PI / 180.0;
        const QPointF along(std::cos(radians), -std::sin(radians));
        const double half = (std::abs(rect.width() * along.x()) + std::abs(rect.height() * along.y())) * 0.5;
        QLinearGradient gradient(rect.center() - along * half, rect.center() + along * half);
        gradient.setColorAt(0, start);
        gradient.setColorAt(1, end);
        painter.fillRect(rect, gradient);
    });
}

QImage HLImageHelper::hlCroppedImageOf(const QImage &image, const QRectF &ratio)
{
    static_validate_crop_ratio_rect(ratio);
    if (ratio == QRectF(0, 0, 1, 1))
        return image;
    const QSizeF size(float(image.width()) * float(ratio.width()), float(image.height()) * float(ratio.height()));
    const QRectF whole = croppedDrawRect(QSizeF(image.size()), ratio);
    return hlImageOf(size, [&](QPainter &painter, const QRectF &rect) {
        painter.drawImage(flipped(whole, rect.height()), image);
    });
}

QImage HLImageHelper::hlMaxInsideImageOf(const QImage &image, QSizeF box)
{
    static_validate_size(box);
    if (QSizeF(image.size()) == box)
        return image;
    return redrawn(image, maxInsideSize(QSizeF(image.size()), box));
}

QImage HLImageHelper::hlMinOutsideImageOf(const QImage &image, QSizeF box)
{
    static_validate_size(box);
    if (QSizeF(image.size()) == box)
        return image;
    return redrawn(image, minOutsideSize(QSizeF(image.size()), box));
}

QImage HLImageHelper::hlLimitInsideImageOf(const QImage &image, QSizeF box)
{
    static_validate_size(box);
    if (image.width() > box.width() && image.height() > box.height())
        return hlMaxInsideImageOf(image, box);
    return image;
}

QImage HLImageHelper::hlLimitOutsideImageOf(const QImage &image, QSizeF box)
{
    static_validate_size(box);
    if (image.width() > box.width() && image.height() > box.height())
        return hlMinOutsideImageOf(image, box);
    return image;
}

QImage HLImageHelper::hlLimitCroppedImageOf(const QImage &image, QSizeF box)
{
    static_validate_size(box);
    const QImage cut = hlCroppedImageOf(image, limitCroppedRatioRect(QSizeF(image.size()), box));
    return hlLimitOutsideImageOf(cut, box);
}

QImage HLImageHelper::hlThumbnailOf(const QImage &image, QSizeF box)
{
    static_validate_size(box);
    const double across = double(image.width()) * box.height();
    const double down = double(image.height()) * box.width();
    if (across > kThumbnailStretch * down)
        return hlLimitCroppedImageOf(image, QSizeF(box.width() * kThumbnailStretch, box.height()));
    if (down > kThumbnailStretch * across)
        return hlLimitCroppedImageOf(image, QSizeF(box.width(), box.height() * kThumbnailStretch));
    return hlLimitOutsideImageOf(image, box);
}

QImage HLImageHelper::hlDragImageOf(const QImage &image, qint64 count, const QFont &font, const QColor &textColor,
                                    const QColor &background)
{
    if (count <= 1)
        return image;
    const QString text = QString::number(count);
    const QFontMetricsF metrics(font);
    const QSizeF textSize(metrics.horizontalAdvance(text), metrics.height());
    const double side = std::max(textSize.width(), textSize.height());
    const QImage badge = hlImageOf(QSizeF(side, side), [&](QPainter &painter, const QRectF &rect) {
        QPainterPath oval;
        oval.addEllipse(rect);
        painter.fillPath(oval, background);
        painter.setClipPath(oval);
        painter.setFont(font);
        painter.setPen(textColor);
        const QRectF place((rect.width() - textSize.width()) * 0.5, (rect.height() - textSize.height()) * 0.5,
                           textSize.width(), textSize.height());
        painter.drawText(place, Qt::AlignCenter, text);
    });
    const QRectF badgeRect = dragBadgeRect(QSizeF(image.size()));
    return hlImageOf(QSizeF(image.size()), [&](QPainter &painter, const QRectF &rect) {
        painter.drawImage(rect, image);
        drawWhole(painter, badge, flipped(badgeRect, rect.height()));
    });
}

QSizeF HLImageHelper::maxInsideSize(QSizeF size, QSizeF box)
{
    const float r = float(size.width()) / float(size.height());
    const float t = float(box.width()) / float(box.height());
    if (r > t)
        return QSizeF(float(box.width()), float(box.width()) / r);
    return QSizeF(float(box.height()) * r, float(box.height()));
}

QSizeF HLImageHelper::minOutsideSize(QSizeF size, QSizeF box)
{
    const float r = float(size.width()) / float(size.height());
    const float t = float(box.width()) / float(box.height());
    if (r > t)
        return QSizeF(float(box.height()) * r, float(box.height()));
    return QSizeF(float(box.width()), float(box.width()) / r);
}

QRectF HLImageHelper::limitCroppedRatioRect(QSizeF size, QSizeF box)
{
    const float w = float(size.width()), h = float(size.height());
    const float r = w / h;
    const float t = float(box.width() / box.height());
    // Rounding may push the cut a hair past the picture; it never leaves it.
    const float cutWidth = t <= r ? std::min(w, h * t) : w;
    const float cutHeight = t <= r ? h : std::min(h, w / t);
    return QRectF((w - cutWidth) * 0.5f / w, (h - cutHeight) * 0.5f / h, cutWidth / w, cutHeight / h);
}

QRect HLImageHelper::pixelRectOf(QSizeF size, const QRectF &ratio)
{
    const int left = qRound(ratio.left() * size.width());
    const int right = qRound(ratio.right() * size.width());
    const int top = qRound((1.0 - ratio.bottom()) * size.height());
    const int bottom = qRound((1.0 - ratio.top()) * size.height());
    return QRect(left, top, right - left, bottom - top);
}

QRectF HLImageHelper::croppedDrawRect(QSizeF size, const QRectF &ratio)
{
    const float w = float(size.width()), h = float(size.height());
    return QRectF(-w * float(ratio.x()), -h * float(ratio.y()), w, h);
}

QRectF HLImageHelper::dragBadgeRect(QSizeF size)
{
    const double d = std::min(size.width(), size.height()) / 3.0;
    return QRectF(size.width() - 1.05 * d, 0.05 * d, d, d);
}

QRectF HLImageHelper::flipped(const QRectF &yUp, double height)
{
    return QRectF(yUp.x(), height - yUp.y() - yUp.height(), yUp.width(), yUp.height());
}
