#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <vector>

// The arithmetic of the menu editor: the canvas in menu coordinates (y up), picking and
// dragging the title and the button, the button's zoom, and the cells of the frame chooser.
class DVDMenuCanvasGeometry
{
public:
    DVDMenuCanvasGeometry() = delete;

    enum class Pick { None, Text, Item };

    // The menu fitted into the canvas's container, centred, its shape kept (y down, as the
    // container lays it out).
    static QRectF canvasFrame(QSizeF menuSize, QSizeF container);
    // A point of the canvas widget (y down, canvasSize) in menu coordinates, and back for a
    // rectangle.
    static QPointF menuPoint(QPointF widgetPoint, QSizeF canvasSize, QSizeF menuSize);
    static QRectF widgetRect(const QRectF &menuRect, QSizeF canvasSize, QSizeF menuSize);

    // The title text wins where the two overlap.
    static Pick hitTest(QPointF point, const QRectF &textRect, const QRectF &itemRect);
    // The frame moved so that its centre lies at pointer + grab, with the shown picture
    // (display, centred on the frame) kept inside the menu; one larger than the menu is
    // centred on it.
    static QRectF dragFrame(const QRectF &frame, QSizeF display, QPointF grab, QPointF pointer, QSizeF menuSize);

    // The zoom slider's value for a button frame: its width as a share of the menu height
    // (taken as at least 10), between minimum and 1.
    static double zoomValue(double frameWidth, double menuHeight, double minimum);
    // The square of that share of the menu height, on the old frame's centre.
    static QRectF zoomFrame(const QRectF &frame, double value, double menuHeight);

    struct FrameCells
    {
        QSizeF documentSize;
        std::vector<QRectF> cells; // y down from the top
    };
    // Two columns of square cells, 5 apart and from the edges, over the scroll view's width.
    static FrameCells frameCells(int count, double width, double contentHeight);
};
