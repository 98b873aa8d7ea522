#pragma once

#include <QImage>
#include <QPainter>
#include <QSizeF>
#include <QString>

#include <memory>

class DVDMenuPage;

// Draws the layers of a menu's button overlay at the video frame size: "menu_image" (shown
// always), "menu_highlight" (a button under the cursor) and "menu_select" (a button being
// pressed). The program's look comes from drawDVDMenuImageSize, which draws with y upwards
// like the menu model.
class DVDMenuImageGenerator
{
public:
    DVDMenuImageGenerator(std::shared_ptr<DVDMenuPage> menu, QSizeF videoFormatSize);
    virtual ~DVDMenuImageGenerator() = default;

    std::shared_ptr<DVDMenuPage> menu() const { return m_menu; }
    QSizeF getDVDVideoFormatSize() const { return m_videoFormatSize; }

    // Draws the named layer; painter's origin is the frame's bottom left, y upwards.
    virtual void drawDVDMenuImageSize(QPainter &painter, QSizeF size, const QString &name);

    // The named layer as a transparent picture of the video frame size.
    QImage layerImage(const QString &name);

private:
    std::shared_ptr<DVDMenuPage> m_menu;
    QSizeF m_videoFormatSize;
};
