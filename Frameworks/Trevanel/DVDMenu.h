#pragma once

#include <QSizeF>
#include <QtGlobal>

// Menu canvases: square pixels of the disc's shape, scaled to the video frame when the menu
// is made.
class DVDMenu
{
public:
    // 720 × 540 for 4:3 (aspect type 0), 960 × 540 for 16:9 (1).
    static QSizeF menuSizeForAspectType(qint64 aspectType);
};
