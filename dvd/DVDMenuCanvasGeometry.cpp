#include "dvd/DVDMenuCanvasGeometry.h"

#include "Frameworks/Korvane/ZKBitmapImage.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kSmallestMenuHeight = 10;
constexpr double kCellMargin = 5;

// x limited so that a span of width w centred there stays inside [0, total].
double keepInside(double centre, double w, double total)
{
    if (w >= total)
        return total / 2;
    return std::clamp(centre, w / 2, total - w / 2);
}

} // namespace

QRectF DVDMenuCanvasGeometry::canvasFrame(QSizeF menuSize, QSizeF container)
{
    return ZKBitmapImage::scaleRect(QRectF(QPointF(0, 0), menuSize), QRectF(QPointF(0, 0), container));
}

QPointF DVDMenuCanvasGeometry::menuPoint(QPointF widgetPoint, QSizeF canvasSize, QSizeF menuSize)
{
    const double sx = menuSize.width() / std::max(canvasSize.width(), 1.0);
    const double sy = menuSize.height() / std::max(canvasSize.height(), 1.0);
    return {widgetPoint.x() * sx, menuSize.height() - widgetPoint.y() * sy};
}

QRectF DVDMenuCanvasGeometry::widgetRect(const QRectF &menuRect, QSizeF canvasSize, QSizeF menuSize)
{
    const double sx = canvasSize.width() / std::max(menuSize.width(), 1.0);
    const double sy = canvasSize.height() / std::max(menuSize.height(), 1.0);
    return {menuRect.x() * sx, (menuSize.height() - menuRect.y() - menuRect.height()) * sy, menuRect.width() * sx,
            menuRect.height() * sy};
}

DVDMenuCanvasGeometry::Pick DVDMenuCanvasGeometry::hitTest(QPointF point, const QRectF &textRect,
                                                           const QRectF &itemRect)
{
    if (textRect.contains(point))
        return Pick::Text;
    if (itemRect.contains(point))
        return Pick::Item;
    return Pick::None;
}

QRectF DVDMenuCanvasGeometry::dragFrame(const QRectF &frame, QSizeF display, QPointF grab, QPointF pointer,
                                        QSizeF menuSize)
{
    const QPointF wanted = pointer + grab;
    const QPointF centre(keepInside(wanted.x(), display.width(), menuSize.width()),
                         keepInside(wanted.y(), display.height(), menuSize.height()));
    QRectF moved = frame;
    moved.moveCenter(centre);
    return moved;
}

double DVDMenuCanvasGeometry::zoomValue(double frameWidth, double menuHeight, double minimum)
{
    const double value = frameWidth / std::max(menuHeight, kSmallestMenuHeight);
    return std::max(std::min(value, 1.0), minimum);
}

QRectF DVDMenuCanvasGeometry::zoomFrame(const QRectF &frame, double value, double menuHeight)
{
    const double side = value * std::max(menuHeight, kSmallestMenuHeight);
    QRectF zoomed(0, 0, side, side);
    zoomed.moveCenter(frame.center());
    return zoomed;
}

DVDMenuCanvasGeometry::FrameCells DVDMenuCanvasGeometry::frameCells(int count, double width, double contentHeight)
{
    FrameCells layout;
    const double side = std::trunc((width - 3 * kCellMargin) / 2);
    const int rows = (std::max(count, 0) + 1) / 2;
    layout.documentSize = QSizeF(width, std::max(rows * (side + kCellMargin) + kCellMargin, contentHeight));
    for (int i = 0; i < count; ++i) {
        const double y = (i / 2) * (side + kCellMargin) + kCellMargin;
        const double x = i % 2 == 0 ? kCellMargin : kCellMargin + side;
        layout.cells.emplace_back(x, y, side, side);
    }
    return layout;
}
