#pragma once

#include "SourceHL/Editors/HLCropGeometry.h"

#include <QWidget>

// A view the user moves inside its parent by dragging or with the arrow keys (1 point a
// step), never leaving rctLimitedRect; it keeps its size. Frames and the limit are y-up in
// the parent (origin at its bottom left); the pointer is taken y-up in the window.
class HLLimitedView : public QWidget
{
    Q_OBJECT
public:
    using Rect = HLCropGeometry::Rect;
    using Point = HLCropGeometry::Point;

    // Follows the parent's height, which its y-up frame is measured from.
    explicit HLLimitedView(QWidget *parent);

    bool bCanDragNow() const { return m_bCanDragNow; }
    void setBCanDragNow(bool can) { m_bCanDragNow = can; }
    Rect rctLimitedRect() const { return m_rctLimitedRect; }
    // Stored as it is; a limit smaller than the view is logged ("LimitedRect Is Too Small").
    virtual void setLimitedRect(const Rect &rect);
    Point pntDragStartPoint() const { return m_pntDragStartPoint; }
    Rect rctDragStartRect() const { return m_rctDragStartRect; }

    // The frame in the parent, y-up, with the fractions the widget's geometry rounds.
    Rect frameRect() const { return m_frame; }
    void setFrameRect(const Rect &frame);
    void setFrameOrigin(Point origin);
    // Moves to frame's origin clamped into the limit (frame's size is used for the clamp only).
    void inspectNewFrame(const Rect &frame);

    // The pointer of a mouse event in window coordinates, y-up.
    Point windowPoint(const QMouseEvent *event) const;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

    void p_dragStart(Point location);
    void p_dragTo(Point location);
    void p_dragEnd();
    static HLCropGeometry::Arrow arrowOf(const QKeyEvent &event);

private:
    void p_place();

    bool m_bCanDragNow = true;
    Point m_pntDragStartPoint;
    Rect m_rctLimitedRect;
    Rect m_rctDragStartRect;
    Rect m_frame;
};
