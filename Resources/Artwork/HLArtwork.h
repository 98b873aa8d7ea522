#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// Every picture the interface names, drawn with QPainter at a given scale. The size of
// a picture is given in points; scale 2 draws the same picture with twice the pixels.
class HLArtwork
{
public:
    // The names of all pictures, without extension ("Play", "TimeNum0", …).
    static QStringList names();
    // The picture's size in points; empty for an unknown name.
    static QSize sizeOf(const QString &name);
    // The picture drawn at scale (1 or 2), with its device pixel ratio set; null for an
    // unknown name.
    static QImage draw(const QString &name, int scale);
};
