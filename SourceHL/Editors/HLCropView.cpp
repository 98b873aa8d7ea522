#include "SourceHL/Editors/HLCropView.h"

#include "widgets/HLNamedImage.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace C = HLCropGeometry;

HLCropView::HLCropView(QWidget *parent)
    : HLLimitedView(parent)
{
    setFocusPolicy(Qt::ClickFocus); // takes the arrow keys once clicked
    setMouseTracking(true);
}

void HLCropView::setLimitedRect(const Rect &imageRect)
{
    HLLimitedView::setLimitedRect(imageRect.inset(-C::kMargin));
}

void HLCropView::setRctDisplayFrame(const Rect &r)
{
    setFrameRect(C::frameForDisplay(r, m_dResizeRatio, &m_dCropRatio));
}

void HLCropView::updateDisplayByRatio(double ratio)
{
    m_bIsCustomed = false;
    m_dCropRatio = ratio;
    const Rect refit = C::refitted(frameRect(), rctLimitedRect(), ratio);
    setFrameRect(refit);
    inspectNewFrame(refit);
    p_cropFrameDidChange();
}

void HLCropView::clear()
{
    m_enumDragType = 0;
    m_enumResizeType = 0;
    m_enumStationaryType = 0;
    m_dCropRatio = 1;
    m_bIsCustomed = true;
    m_bIsDragging = false;
    m_pntLastPoint = m_pntLastViewOrigin = m_pntOffsetToBoundary = {};
    m_rctLastSelfFrame = {};
}

void HLCropView::setEnumDrawType(quint64 mask)
{
    m_enumDrawType = mask;
    update();
}

void HLCropView::p_cropFrameDidChange()
{
    if (m_blkFeedback)
        m_blkFeedback();
}

void HLCropView::mousePressEvent(QMouseEvent *event)
{
    m_bIsDragging = true;
    m_pntLastPoint = windowPoint(event);
    m_rctLastSelfFrame = frameRect();
    m_pntOffsetToBoundary = {};
    const QPointF bottomLeft = mapTo(window(), QPointF(0, height()));
    m_pntLastViewOrigin = {bottomLeft.x(), window()->height() - bottomLeft.y()};
    const Point p{m_pntLastPoint.x - m_pntLastViewOrigin.x, m_pntLastPoint.y - m_pntLastViewOrigin.y};
    const C::Grab grab = C::grabAt(p, width(), height());
    if (!grab.inside) {
        m_bIsDragging = false;
        return;
    }
    m_enumDragType = grab.dragType;
    if (grab.dragType == C::DragMove) {
        p_dragStart(m_pntLastPoint);
    } else {
        m_enumResizeType = grab.resizeType;
        m_pntOffsetToBoundary = grab.offsetToBoundary;
        m_enumStationaryType = grab.stationary;
    }
    p_updateCursor(event->position());
    update();
}

void HLCropView::mouseMoveEvent(QMouseEvent *event)
{
    if (!(event->buttons() & Qt::LeftButton) || !m_bIsDragging) {
        p_updateCursor(event->position());
        return;
    }
    const Point location = windowPoint(event);
    if (m_enumDragType == C::DragMove) {
        p_dragTo(location);
    } else {
        const Point e{location.x + m_pntOffsetToBoundary.x, location.y + m_pntOffsetToBoundary.y};
        const Point change = C::resizeOffset(m_enumStationaryType, m_enumResizeType, location.x - m_pntLastPoint.x,
                                             location.y - m_pntLastPoint.y, e, m_pntLastViewOrigin, m_rctLastSelfFrame);
        C::ResizeInput in;
        in.startFrame = m_rctLastSelfFrame;
        in.limit = rctLimitedRect();
        in.stationary = m_enumStationaryType;
        in.fixedRatio = !m_bIsCustomed;
        in.cropRatio = m_dCropRatio;
        in.resizeRatio = m_dResizeRatio;
        setFrameRect(C::resized(in, change.x, change.y));
        if (m_bIsCustomed)
            m_dCropRatio = (frameRect().width - 2 * C::kMargin) / (frameRect().height - 2 * C::kMargin);
    }
    p_cropFrameDidChange();
    update();
}

void HLCropView::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_bIsDragging)
        return;
    m_bIsDragging = false;
    const Point location = windowPoint(event);
    m_pntLastPoint = m_pntLastViewOrigin = {};
    if (m_enumDragType == C::DragMove)
        p_dragTo(location);
    m_rctLastSelfFrame = frameRect();
    p_updateCursor(event->position());
    update();
}

void HLCropView::keyPressEvent(QKeyEvent *event)
{
    const C::Arrow arrow = arrowOf(*event);
    if (arrow == C::Arrow::None) {
        HLLimitedView::keyPressEvent(event);
        return;
    }
    const Point step = C::nudge(arrow);
    Rect moved = frameRect();
    moved.x += step.x;
    moved.y += step.y;
    inspectNewFrame(moved);
    p_cropFrameDidChange();
    event->accept();
}

// The cursor of the area under the pointer (local is y-down in the view).
void HLCropView::p_updateCursor(QPointF local)
{
    if (m_bIsDragging && m_enumDragType == C::DragMove) {
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    const double w = width(), h = height(), b = C::kGrabBand;
    const double x = local.x(), y = h - local.y();
    const bool left = x < b, right = x >= w - b, bottom = y < b, top = y >= h - b;
    if ((left && bottom) || (right && top) || (left && top) || (right && bottom)) {
        const QString name = (left && bottom) || (right && top) ? QStringLiteral("CropCursorL") : QStringLiteral("CropCursorR");
        const QPixmap picture = HLNamedImage::pixmap(name, devicePixelRatioF());
        setCursor(QCursor(picture, -1, -1)); // hot spot at the centre
    } else if (left || right) {
        setCursor(Qt::SizeHorCursor);
    } else if (bottom || top) {
        setCursor(Qt::SizeVerCursor);
    } else {
        setCursor(Qt::ArrowCursor);
    }
}

void HLCropView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = width(), h = height(), m = C::kMargin;
    p.translate(0, h);
    p.scale(1, -1); // y-up from here
    QPen dashed(Qt::white, 1);
    dashed.setDashPattern({5, 3});
    p.setPen(dashed);

    // Centre lines: by the mask, or by themselves while centred on the picture within 1 point.
    const Rect limit = rctLimitedRect();
    const Rect frame = frameRect();
    const Point g{limit.x + limit.width / 2 - frame.x, limit.y + limit.height / 2 - frame.y};
    const Point mid{w / 2, h / 2};
    QPainterPath centre;
    if ((m_enumDrawType & GuideCenter) || (mid.x - 1 < g.x && g.x < mid.x + 1)) {
        centre.moveTo(mid.x, m);
        centre.lineTo(mid.x, h - m);
    }
    if ((m_enumDrawType & GuideCenter) || (mid.y - 1 < g.y && g.y < mid.y + 1)) {
        centre.moveTo(m, mid.y);
        centre.lineTo(w - m, mid.y);
    }
    p.drawPath(centre);
    if (m_enumDrawType & GuideDiagonals) {
        QPainterPath diagonals;
        diagonals.moveTo(m, m);
        diagonals.lineTo(w - m, h - m);
        diagonals.moveTo(m, h - m);
        diagonals.lineTo(w - m, m);
        p.drawPath(diagonals);
    }
    if (m_enumDrawType & GuideTrisection) {
        QPainterPath thirds;
        for (const C::Line &line : C::trisectionLines(Rect{0, 0, w, h}.inset(m))) {
            thirds.moveTo(line.x1, line.y1);
            thirds.lineTo(line.x2, line.y2);
        }
        p.drawPath(thirds);
    }

    p.setPen(QPen(Qt::white, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(m, m, w - 2 * m, h - 2 * m));
    p.setPen(Qt::NoPen);
    auto circle = [&p](QPointF c, double r, const QColor &color) {
        p.setBrush(color);
        p.drawEllipse(c, r, r);
    };
    circle(QPointF(w / 2, h / 2), 6, Qt::red);
    const QPointF handles[4] = {{m, m}, {m, h - m}, {w - m, h - m}, {w - m, m}};
    for (int i = 0; i < 4; ++i) {
        circle(handles[i], 6, QColor::fromRgbF(1, 1, 1, 0.6));
        const bool anchored = m_bIsDragging && m_enumDragType == C::DragResize && i == m_enumStationaryType;
        circle(handles[i], 4, anchored ? QColor::fromRgbF(1, 1, 0, 1) : QColor::fromRgbF(0, 1, 0, 0.6));
    }
}
