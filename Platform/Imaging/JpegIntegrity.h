#pragma once

#include <QImage>
#include <QRect>
#include <QString>

// JPEG files cut short, as a failed copy or download leaves them: their data ends before
// the end-of-image marker, and the decoder fills the part it never got with flat grey.
class JpegIntegrity
{
public:
    // True when the JPEG file at path ends before its end-of-image marker.
    static bool isCutShort(const QString &path);
    // The part of a decoded picture left when the grey fill along one of its sides (the
    // bottom as stored, wherever turning the picture upright put it) is cut away; the whole
    // picture when there is none.
    static QRect intactRect(const QImage &picture);
};
