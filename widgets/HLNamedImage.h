#pragma once

#include <QIcon>
#include <QPixmap>
#include <QSize>
#include <QString>

// The interface's named pictures from the resource folder's "Images", each with its
// double-resolution twin ("Play.png" and "Play@2x.png"), so they stay crisp on any screen.
// Loaded once per name; main thread only.
class HLNamedImage
{
public:
    // Null icon when the picture is missing.
    static QIcon icon(const QString &name);
    // The picture's size in points; empty when it is missing.
    static QSize size(const QString &name);
    // The picture for a screen of that pixel ratio, at its own size in points.
    static QPixmap pixmap(const QString &name, qreal devicePixelRatio);
};
