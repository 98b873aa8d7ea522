#include "SourceHL/Editors/HLLimitedView.h"

#include "SourceHL/Common/HLEventHelper.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QtDebug>

#include <cmath>

namespace C = HLCropGeometry;

HLLimitedView::HLLimitedView(QWidget *parent)
    : QWidget(parent)
{
    if (parent)
        parent->installEventFilter(this);
}

void HLLimitedView::setLimitedRect(const Rect &rect)
{
    m_rctLimitedRect = rect;
    if (m_frame.width > rect.width || m_frame.height > rect.height)
        qWarning("LimitedRect Is Too Small");
}

void HLLimitedView::setFrameRect(const Rect &frame)
{
    m_frame = frame;
    p_place();
}

void HLLimitedView::setFrameOrigin(Point origin)
{
    m_frame.x = origin.x;
    m_frame.y = origin.y;
    p_place();
}

// The widget's y-down geometry for the y-up frame.
void HLLimitedView::p_place()
{
    const int parentHeight = parentWidget() ? parentWidget()->height() : 0;
    const int left = int(std::lround(m_frame.x));
    const int top = int(std::lround(parentHeight - m_frame.y - m_frame.height));
    setGeometry(left, top, int(std::lround(m_frame.x + m_frame.width)) - left,
                int(std::lround(parentHeight - m_frame.y)) - top);
}

bool HLLimitedView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize)
        p_place(); // the parent's bottom edge moved: the y-up frame stays
    return QWidget::eventFilter(watched, event);
}

void HLLimitedView::inspectNewFrame(const Rect &frame)
{
    setFrameOrigin(C::clampedOrigin(frame, m_rctLimitedRect));
}

HLLimitedView::Point HLLimitedView::windowPoint(const QMouseEvent *event) const
{
    // Mapped from the local position: a synthetic event's scene position may be its local one.
    const QPointF inWindow = mapTo(window(), event->position());
    return {inWindow.x(), window()->height() - inWindow.y()};
}

void HLLimitedView::p_dragStart(Point location)
{
    if (!m_bCanDragNow)
        return;
    m_pntDragStartPoint = location;
    m_rctDragStartRect = m_frame;
}

void HLLimitedView::p_dragTo(Point location)
{
    if (!m_bCanDragNow)
        return;
    Rect proposed = m_rctDragStartRect;
    proposed.x += location.x - m_pntDragStartPoint.x;
    proposed.y += location.y - m_pntDragStartPoint.y;
    inspectNewFrame(proposed);
}

void HLLimitedView::p_dragEnd()
{
    if (!m_bCanDragNow)
        return;
    m_pntDragStartPoint = {};
    m_rctDragStartRect = {};
}

void HLLimitedView::mousePressEvent(QMouseEvent *event)
{
    p_dragStart(windowPoint(event));
}

void HLLimitedView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        p_dragTo(windowPoint(event));
}

void HLLimitedView::mouseReleaseEvent(QMouseEvent *)
{
    p_dragEnd();
}

C::Arrow HLLimitedView::arrowOf(const QKeyEvent &event)
{
    if (hlIsKeyLeft(event))
        return C::Arrow::Left;
    if (hlIsKeyRight(event))
        return C::Arrow::Right;
    if (hlIsKeyDown(event))
        return C::Arrow::Down;
    if (hlIsKeyUp(event))
        return C::Arrow::Up;
    return C::Arrow::None;
}

void HLLimitedView::keyPressEvent(QKeyEvent *event)
{
    const Point step = C::nudge(arrowOf(*event));
    Rect moved = m_frame;
    moved.x += step.x;
    moved.y += step.y;
    inspectNewFrame(moved);
    event->accept(); // consumed, never handed up
}

void HLLimitedView::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), Qt::blue);
}
