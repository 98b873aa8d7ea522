#pragma once

#include <QColor>
#include <QPainter>

// Paints the flat backgrounds in y-up coordinates (origin at the bottom left, as the dark
// look is measured) on a y-down widget: greys, vertical gradients and 1-pixel hairlines
// on half-pixel positions, so each line covers exactly one row or column.
class HLYUpPainter
{
public:
    HLYUpPainter(QPaintDevice *device, int width, int height);

    static QColor grey(double level) { return QColor::fromRgbF(level, level, level, 1.0); }

    void fill(const QColor &color);
    // From bottom to top over the whole area.
    void fillUpwardGradient(const QColor &bottom, const QColor &top);
    // From left to right over the whole area.
    void fillRightwardGradient(const QColor &left, const QColor &right);
    // A line across the whole width at height y (y-up).
    void horizontalLine(double y, const QColor &color);
    // A line over the whole height at x.
    void verticalLine(double x, const QColor &color);

private:
    QPainter m_painter;
    int m_width;
    int m_height;
};
