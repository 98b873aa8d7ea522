#include "dvd/DVDMenuItemEditObject.h"

#include "dvd/EffectTextImage.h"

#include "Frameworks/Korvane/ZKBitmapImage.h"
#include "Frameworks/Trevanel/TrevanelFrameResource.h"
#include "Frameworks/Trevanel/TrevanelResource.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double maxBitmapSide = 4096;

// The shape of picture filled with colour and softened by radius pixels.
QImage shadowOf(const QImage &picture, const QColor &color, double radius)
{
    QImage shadow(picture.size(), QImage::Format_ARGB32_Premultiplied);
    shadow.fill(Qt::transparent);
    QPainter p(&shadow);
    p.drawImage(0, 0, picture);
    p.setCompositionMode(QPainter::CompositionMode_SourceIn);
    p.fillRect(shadow.rect(), color);
    p.end();
    if (radius < 1)
        return shadow;
    // Down and up again with smoothing: a cheap blur of about the radius.
    const double factor = std::max(1.0, radius / 2);
    const QSize small(std::max(1, int(picture.width() / factor)), std::max(1, int(picture.height() / factor)));
    return shadow.scaled(small, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .scaled(picture.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

} // namespace

DVDMenuItemEditObject::DVDMenuItemEditObject()
    : text(std::make_shared<EffectTextImage>())
{
    text->textString = QStringLiteral("My DVD");
    text->outlineWidth = 20.0f;
    const auto &frames = TrevanelResource::share().frames();
    if (!frames.empty())
        frameResource = frames.front();
}

QImage DVDMenuItemEditObject::p_picture() const
{
    if (useLocalImage && !localImage.isNull())
        return localImage;
    return videoImage();
}

QRectF DVDMenuItemEditObject::getRealDisplayRect() const
{
    const QPointF centre = frame.center();
    if (useText) {
        const QSizeF size = text ? text->size() : QSizeF(1, 1);
        return QRectF(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(), size.height());
    }
    if (hasBorder)
        return frame;
    const QImage picture = p_picture();
    if (picture.height() > 1 && picture.width() > 1) {
        const double width = double(picture.width()) / picture.height() * frame.height();
        return QRectF(centre.x() - width / 2, frame.y(), width, frame.height());
    }
    return frame;
}

QImage DVDMenuItemEditObject::getNewDisplayImage() const
{
    if (useText)
        return text ? text->textSourceImage() : QImage();
    const QRectF display = getRealDisplayRect();
    if (!std::isfinite(display.width()) || !std::isfinite(display.height()) || display.width() < 1 || display.height() < 1)
        return QImage();
    const double scale = std::min(1.0, maxBitmapSide / std::max(display.width(), display.height()));
    const auto bitmap = ZKBitmapImage::imageWithSize(QSizeF(std::max(1.0, std::round(display.width() * scale)),
                                                            std::max(1.0, std::round(display.height() * scale))));
    if (!bitmap)
        return QImage();
    bitmap->setHasAlpha(true);
    const QImage picture = p_picture();
    bitmap->drawInImage([&](QPainter &painter) {
        const QRectF d = bitmap->drawRect();
        if (!picture.isNull())
            painter.drawImage(d, picture, ZKBitmapImage::scaleRect(d, QRectF(picture.rect())));
        if (hasBorder && frameResource) {
            painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
            painter.drawImage(d, frameResource->maskImage());
            painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
            painter.drawImage(d, frameResource->frameImage());
        }
    });
    return bitmap->getNSImage();
}

void DVDMenuItemEditObject::drawInMenu(QPainter &painter, double menuHeight) const
{
    const QImage picture = getNewDisplayImage();
    drawInMenu(painter, menuHeight, picture, getShadowImage(picture), getRealDisplayRect());
}

QImage DVDMenuItemEditObject::getShadowImage(const QImage &picture) const
{
    if (!hasShadow || picture.isNull())
        return QImage();
    return shadowOf(picture, shadowColor, shadowWidth);
}

void DVDMenuItemEditObject::drawInMenu(QPainter &painter, double menuHeight, const QImage &picture,
                                       const QImage &shadow, const QRectF &r) const
{
    if (picture.isNull())
        return;
    // The one flip from the menu's y up to the picture's rows.
    const QRectF target(r.x(), menuHeight - r.y() - r.height(), r.width(), r.height());
    if (!shadow.isNull()) {
        const QPointF offset(shadowOffset.width(), -shadowOffset.height());
        painter.drawImage(target.translated(offset), shadow);
    }
    painter.drawImage(target, picture);
}
