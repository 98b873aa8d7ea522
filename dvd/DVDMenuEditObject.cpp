#include "dvd/DVDMenuEditObject.h"

#include "dvd/DVDMenuItemEditObject.h"
#include "dvd/EffectTextImage.h"

#include "Frameworks/Korvane/ZKBitmapImage.h"

#include <QPainter>

DVDMenuEditObject::DVDMenuEditObject()
    : dvdText(std::make_shared<DVDMenuItemEditObject>()), dvdItem(std::make_shared<DVDMenuItemEditObject>())
{
    dvdText->text->textString = QStringLiteral("My DVD");
    dvdText->useText = true;
    dvdItem->text->textString = QStringLiteral("DVD Video");
    dvdItem->text->textFontSize = 85.0;
    dvdItem->text->backgroundType = EffectTextImage::BackgroundColor;
    dvdItem->text->backgroundColor = QColor::fromRgbF(0.5f, 0.0f, 0.5f, 1.0f);
    dvdItem->useText = false;
}

void DVDMenuEditObject::adjustItemsPosition()
{
    const double w = menuSize.width();
    const double h = menuSize.height();
    const QSizeF text = dvdText->text->size();
    dvdText->frame = QRectF(20, h - text.height() - 20, text.width(), text.height());
    dvdItem->frame = QRectF((w - 200) / 2, (h - 200) / 2, 200, 200);
}

void DVDMenuEditObject::setTitleText(const QString &name)
{
    const QRectF before = dvdText->getRealDisplayRect();
    dvdText->text->textString = name;
    const QSizeF size = dvdText->text->size();
    // y up: the top is y + height.
    dvdText->frame = QRectF(before.x(), before.y() + before.height() - size.height(), size.width(), size.height());
}

QRectF DVDMenuEditObject::getBgImageSourceRect() const
{
    return ZKBitmapImage::scaleRect(QRectF(QPointF(0, 0), menuSize), QRectF(QPointF(0, 0), QSizeF(bgImage.size())));
}

QImage DVDMenuEditObject::getMenuEditDisplayImage() const
{
    const auto bitmap = ZKBitmapImage::imageWithSize(menuSize);
    if (!bitmap)
        return QImage();
    bitmap->drawInImage([&](QPainter &painter) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.fillRect(bitmap->drawRect(), Qt::black);
        if (!bgImage.isNull()) {
            // Source rectangles of pictures are y down too; the fitted part is centred.
            painter.drawImage(bitmap->drawRect(), bgImage, getBgImageSourceRect());
        }
        if (addText)
            dvdText->drawInMenu(painter, menuSize.height());
        dvdItem->drawInMenu(painter, menuSize.height());
    });
    return bitmap->getNSImage();
}
