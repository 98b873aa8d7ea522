#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QPainter;
class QWidget;

// What rows and transition tiles of the strip draw alike: a rounded panel with a caption
// band at the top whose title stays in view while the panel is scrolled partly out, and the
// chosen look (a light yellow wash and a red frame).
namespace HLStripPainting {

void drawPanel(QPainter &painter, const QWidget &view, const QColor &fill, const QString &title, bool chosen);
// The same font for every caption of the strip.
const QFont &captionFont();

} // namespace HLStripPainting
