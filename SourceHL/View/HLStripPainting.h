#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QPainter;
class QRectF;
class QWidget;

// What rows and transition tiles of the strip draw alike: a rounded panel with a caption
// band at the top whose title stays in view while the panel is scrolled partly out, and the
// chosen look (a light yellow wash and a red frame).
namespace HLStripPainting {

void drawPanel(QPainter &painter, const QWidget &view, const QColor &fill, const QString &title, bool chosen);
// The chosen look over a rounded shape: the panels and the cells of the text and audio lines.
void drawChosen(QPainter &painter, const QRectF &shape, double radius);
// The same font for every caption of the strip.
const QFont &captionFont();

} // namespace HLStripPainting
