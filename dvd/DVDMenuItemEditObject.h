#pragma once

#include "Platform/Foundation/HLAtomicProperty.h"

#include <QColor>
#include <QImage>
#include <QRectF>
#include <QSizeF>

#include <memory>

class EffectTextImage;
class TrevanelFrameResource;

// One object of the DVD menu, the title text or the play button: where it lies on the menu
// (menu pixels, y up) and the picture it shows there: its text, or a movie frame or a chosen
// picture, optionally under a button frame. Edited on the main thread; videoImage is also
// set from a background thread.
class DVDMenuItemEditObject
{
public:
    DVDMenuItemEditObject();

    QRectF frame;
    bool useText = false;
    std::shared_ptr<EffectTextImage> text;
    bool useLocalImage = false;
    QImage localImage;
    double videoImageTime = 0;    // seconds
    double videoImageMaxTime = 0; // seconds
    bool hasBorder = false;
    bool hasShadow = true;
    QColor shadowColor = Qt::black;
    double shadowWidth = 6.0; // blur radius
    QSizeF shadowOffset{0, 0}; // y up
    std::shared_ptr<TrevanelFrameResource> frameResource;

    QImage videoImage() const { return m_videoImage.get(); }
    void setVideoImage(const QImage &image) { m_videoImage.set(image); }

    // Where the display picture lies: a text's size centred on the frame's centre; the frame
    // under a border; else the picture's shape at the frame's height, centred on it.
    QRectF getRealDisplayRect() const;
    // The display picture, made anew; null for an empty display rectangle. Very large ones
    // are made at a bounded size and drawn scaled.
    QImage getNewDisplayImage() const;
    // The display picture with its drop shadow, as it is laid on the menu: into a y-down
    // picture of menuHeight rows. Nothing for an empty display rectangle.
    void drawInMenu(QPainter &painter, double menuHeight) const;
    // The drop shadow of a display picture; null when the item has none.
    QImage getShadowImage(const QImage &picture) const;
    // The same with a display picture, its shadow and rectangle made before (the editor's
    // caches, so a repaint while dragging blurs nothing).
    void drawInMenu(QPainter &painter, double menuHeight, const QImage &picture, const QImage &shadow,
                    const QRectF &displayRect) const;

private:
    QImage p_picture() const;

    HLAtomicProperty<QImage> m_videoImage;
};
