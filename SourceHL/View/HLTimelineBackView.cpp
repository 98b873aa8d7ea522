#include "SourceHL/View/HLTimelineBackView.h"

#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLStripGeometry.h"
#include "widgets/HLViewHelper.h"

#include <QDropEvent>
#include <QMimeData>
#include <QPainter>

HLTimelineBackView::HLTimelineBackView(QWidget *parent) : QWidget(parent)
{
    setAcceptDrops(true);
}

void HLTimelineBackView::setUpMap(MapBlock map, DropBlock drop)
{
    m_blkMap = std::move(map);
    m_blkDrop = std::move(drop);
}

void HLTimelineBackView::setDDropX(double x)
{
    if (x == m_dDropX)
        return;
    m_dDropX = x;
    update();
}

void HLTimelineBackView::paintEvent(QPaintEvent *)
{
    if (m_dDropX < 0)
        return;
    QPainter painter(this);
    painter.fillRect(QRectF(HLStripGeometry::backMarkerX(m_dDropX, width()), 0, 2, height()), Qt::green);
}

bool HLTimelineBackView::p_dragUpdated(QDropEvent *event)
{
    if (!hlCanDrop(this))
        return false;
    const auto kind = HLInsideDrag::kindOf(event->mimeData(), HLInsideDrag::kTimelineInsidePboardType);
    if (kind == HLInsideDrag::Kind::None)
        return false;
    event->setDropAction(kind == HLInsideDrag::Kind::Files ? Qt::CopyAction : Qt::MoveAction);
    setDDropX(p_mapX(event->position().x()));
    return true;
}

void HLTimelineBackView::dragEnterEvent(QDragEnterEvent *event)
{
    if (p_dragUpdated(event))
        event->accept();
    else
        event->ignore();
}

void HLTimelineBackView::dragMoveEvent(QDragMoveEvent *event)
{
    if (p_dragUpdated(event))
        event->accept();
    else
        event->ignore();
}

void HLTimelineBackView::dragLeaveEvent(QDragLeaveEvent *)
{
    setDDropX(-1);
}

void HLTimelineBackView::dropEvent(QDropEvent *event)
{
    const double x = m_dDropX;
    setDDropX(-1);
    const auto kind = HLInsideDrag::kindOf(event->mimeData(), HLInsideDrag::kTimelineInsidePboardType);
    if (!m_blkDrop || kind == HLInsideDrag::Kind::None || x < 0 || !hlCanDrop(this)) {
        event->ignore();
        return;
    }
    event->setDropAction(kind == HLInsideDrag::Kind::Files ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    m_blkDrop(this, x, kind == HLInsideDrag::Kind::Files ? HLInsideDrag::localFilesOf(event->mimeData())
                                                          : QStringList());
}
