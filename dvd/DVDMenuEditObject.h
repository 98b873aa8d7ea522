#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QtGlobal>

#include <memory>

class DVDMenuItemEditObject;

// The disc's one menu as the user edits it: its size and shape, background picture, the
// title text (shown when addText is on) and the play button. Menu pixels, y up.
class DVDMenuEditObject
{
public:
    DVDMenuEditObject();

    qint64 aspectType = 0; // 0 4:3, 1 16:9
    QSizeF menuSize;
    QImage bgImage;
    bool addText = false;
    std::shared_ptr<DVDMenuItemEditObject> dvdText;
    std::shared_ptr<DVDMenuItemEditObject> dvdItem;

    // The title text 20 pixels in from the top left corner; the button a 200 × 200 square in
    // the middle.
    // The title text shows name; its top left corner stays where it is.
    void setTitleText(const QString &name);
    void adjustItemsPosition();
    // The part of bgImage with the menu's shape, centred: drawn into the whole menu it fills
    // it without distortion.
    QRectF getBgImageSourceRect() const;
    // The finished menu picture: black, the background, the title text when shown, the
    // button, each with its shadow.
    QImage getMenuEditDisplayImage() const;
};
