#pragma once

#include "Frameworks/Trevanel/DVDMenuImageGenerator.h"

#include <QColor>

// The program's look of a menu's button layers: a highlighted button is covered in
// translucent red, a selected one darkened; text buttons keep their background's rounding.
// Edges are hard, so each layer has one colour.
class DVDMenuLayerImageGenerator : public DVDMenuImageGenerator
{
public:
    using DVDMenuImageGenerator::DVDMenuImageGenerator;

    // No border colour of its own (invalid).
    static QColor dvdMenuPlayBorderColor() { return QColor(); }
    static QColor dvdMenuPlayBorderFillColor() { return QColor::fromRgbF(1.0f, 0.0f, 0.0f, 0.4f); }
    static int dvdMenuPlayBorderWidth() { return 0; }
    static bool useDvdMenuPlayBorderFillColor() { return true; }

    void drawDVDMenuImageSize(QPainter &painter, QSizeF size, const QString &name) override;
};
