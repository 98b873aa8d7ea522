#include "SourceHL/Windows/HLSortBackView.h"

#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/Windows/HLSortGeometry.h"
#include "SourceHL/Windows/HLSortInside.h"
#include "widgets/HLViewHelper.h"

#include <QDragEnterEvent>
#include <QPainter>

HLSortBackView::HLSortBackView(QWidget *parent) : QWidget(parent)
{
    setAcceptDrops(true);
}

void HLSortBackView::setupMap(MapBlock map, DropBlock drop)
{
    m_blkMap = std::move(map);
    m_blkDrop = std::move(drop);
}

void HLSortBackView::setDDropY(double y)
{
    if (y == m_dDropY)
        return;
    m_dDropY = y;
    update();
}

void HLSortBackView::paintEvent(QPaintEvent *)
{
    if (m_dDropY < 0)
        return;
    QPainter painter(this);
    const double y = HLSortGeometry::drawnLineY(m_dDropY, height());
    // y-up: the 2-point line stands on y.
    painter.fillRect(QRectF(0, height() - y - 2, width(), 2), Qt::green);
}

void HLSortBackView::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void HLSortBackView::dragMoveEvent(QDragMoveEvent *event)
{
    if (!hlCanDrop(this)) {
        event->ignore();
        return;
    }
    const auto kind = HLInsideDrag::kindOf(event->mimeData(), kSortBackInsidePboardType);
    if (kind == HLInsideDrag::Kind::None) {
        event->ignore();
        return;
    }
    event->setDropAction(kind == HLInsideDrag::Kind::Files ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    setDDropY(p_mapY(height() - event->position().y()));
}

void HLSortBackView::dragLeaveEvent(QDragLeaveEvent *)
{
    setDDropY(-1);
}

void HLSortBackView::dropEvent(QDropEvent *event)
{
    const auto kind = HLInsideDrag::kindOf(event->mimeData(), kSortBackInsidePboardType);
    const double line = m_dDropY;
    setDDropY(-1);
    if (!m_blkDrop || kind == HLInsideDrag::Kind::None || line < 0 || !hlCanDrop(this)) {
        event->ignore();
        return;
    }
    event->setDropAction(kind == HLInsideDrag::Kind::Files ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    // One action a drop: files when it carries any, else the sorter's own choice.
    if (kind == HLInsideDrag::Kind::Files)
        m_blkDrop(this, line, HLInsideDrag::localFilesOf(event->mimeData()));
    else
        m_blkDrop(this, line, {});
}
