#include "SourceHL/View/HLTextlineBackView.h"

#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLLineGeometry.h"
#include "widgets/HLViewHelper.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>


HLTextlineBackView::HLTextlineBackView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("HLTextlineBackView"));
    setAcceptDrops(true);
}

void HLTextlineBackView::setDDropX(double x)
{
    if (x == m_dDropX)
        return;
    m_dDropX = x;
    update();
}

bool HLTextlineBackView::p_track(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (!hlCanDrop(this) || HLInsideDrag::kindOf(data, HLInsideDrag::kTextlineInsidePboardType) != HLInsideDrag::Kind::Inside) {
        event->ignore();
        return false;
    }
    // The carried cell's left edge: the pointer less the point of the cell it holds.
    const double x = event->position().x() - HLInsideDrag::hotSpotOf(data).x();
    setDDropX(hl_textlineDropX(x));
    event->setDropAction(Qt::MoveAction);
    event->accept();
    return true;
}

void HLTextlineBackView::dragEnterEvent(QDragEnterEvent *event)
{
    p_track(event);
}

void HLTextlineBackView::dragMoveEvent(QDragMoveEvent *event)
{
    p_track(event);
}

void HLTextlineBackView::dragLeaveEvent(QDragLeaveEvent *)
{
    setDDropX(-1);
}

void HLTextlineBackView::dropEvent(QDropEvent *event)
{
    if (!m_blkDrop || !p_track(event)) {
        event->ignore();
        setDDropX(-1);
        return;
    }
    const double x = m_dDropX;
    setDDropX(-1);
    m_blkDrop(this, x);
}

void HLTextlineBackView::paintEvent(QPaintEvent *)
{
    if (m_dDropX < 0)
        return;
    QPainter painter(this);
    const float left = hl_textlineMarkerLeft(float(m_dDropX), float(width()));
    painter.fillRect(QRectF(left, 0, 2, height()), Qt::green);
}
