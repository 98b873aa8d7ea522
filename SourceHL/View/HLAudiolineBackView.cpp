#include "SourceHL/View/HLAudiolineBackView.h"

#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLLineGeometry.h"
#include "widgets/HLViewHelper.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

HLAudiolineBackView::HLAudiolineBackView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("HLAudiolineBackView"));
    setAcceptDrops(true);
}

void HLAudiolineBackView::setIDropIndex(qint64 index)
{
    if (index == m_iDropIndex)
        return;
    m_iDropIndex = index;
    update();
}

HLAudiolineBackView::Carried HLAudiolineBackView::p_track(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    Carried carried = Carried::Nothing;
    if (hlCanDrop(this) && data) {
        const auto kind = HLInsideDrag::kindOf(data, HLInsideDrag::kAudiolineInsidePboardType);
        carried = kind == HLInsideDrag::Kind::Files    ? Carried::Files
                  : kind == HLInsideDrag::Kind::Inside ? Carried::Clip
                                                       : Carried::Nothing;
    }
    if (carried == Carried::Nothing) {
        event->ignore();
        return carried;
    }
    qint64 cells = 0;
    for (QObject *child : children())
        cells += qobject_cast<HLAudioItemView *>(child) && !static_cast<QWidget *>(child)->isHidden();
    setIDropIndex(hl_audioDropIndex(event->position().x(), cells));
    event->setDropAction(carried == Carried::Files ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    return carried;
}

void HLAudiolineBackView::dragEnterEvent(QDragEnterEvent *event)
{
    p_track(event);
}

void HLAudiolineBackView::dragMoveEvent(QDragMoveEvent *event)
{
    p_track(event);
}

void HLAudiolineBackView::dragLeaveEvent(QDragLeaveEvent *)
{
    setIDropIndex(-1);
}

void HLAudiolineBackView::dropEvent(QDropEvent *event)
{
    const Carried carried = m_blkDrop ? p_track(event) : Carried::Nothing;
    const qint64 index = m_iDropIndex;
    setIDropIndex(-1);
    if (carried == Carried::Nothing) {
        event->ignore();
        return;
    }
    if (carried == Carried::Files)
        m_blkDrop(this, index, HLInsideDrag::localFilesOf(event->mimeData()));
    else
        m_blkDrop(this, index, std::nullopt);
}

void HLAudiolineBackView::paintEvent(QPaintEvent *)
{
    if (m_iDropIndex < 0)
        return;
    QPainter painter(this);
    const float center = hl_audioMarkerCenter(m_iDropIndex, float(width()));
    painter.fillRect(QRectF(center - 1, 0, 2, height()), Qt::green);
}
