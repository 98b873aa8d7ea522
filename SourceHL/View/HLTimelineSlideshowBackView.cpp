#include "SourceHL/View/HLTimelineSlideshowBackView.h"

#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/View/HLStripGeometry.h"
#include "SourceHL/View/HLStripPainting.h"
#include "SourceHL/View/HLTimelineCaption.h"
#include "widgets/HLViewHelper.h"

#include <QDropEvent>
#include <QMimeData>
#include <QPainter>

HLTimelineSlideshowBackView *HLTimelineSlideshowBackView::backViewOf(const QString &ssid)
{
    if (ssid.isEmpty())
        return nullptr;
    return new HLTimelineSlideshowBackView(ssid);
}

HLTimelineSlideshowBackView::HLTimelineSlideshowBackView(const QString &ssid) : m_strID(ssid)
{
    setAcceptDrops(true);
}

void HLTimelineSlideshowBackView::setUpMouseDown(DownBlock down, DropBlock drop)
{
    m_blkDown = std::move(down);
    m_blkDrop = std::move(drop);
}

void HLTimelineSlideshowBackView::updateName(const QString &name, float duration, qint64 count)
{
    m_strName = name;
    m_strTitle = HLTimelineCaption::slideshowTitleOf(name, duration, count);
    update();
}

void HLTimelineSlideshowBackView::setBIsChosen(bool chosen)
{
    if (chosen == m_bIsChosen)
        return;
    m_bIsChosen = chosen;
    update();
}

void HLTimelineSlideshowBackView::setIDropIndex(qint64 index)
{
    if (index == m_iDropIndex)
        return;
    m_iDropIndex = index;
    update();
}

QList<QWidget *> HLTimelineSlideshowBackView::cellViews() const
{
    QList<QWidget *> cells;
    for (QObject *child : children())
        if (auto *cell = qobject_cast<HLRenderItemView *>(child))
            cells.append(cell);
    std::sort(cells.begin(), cells.end(), [](QWidget *a, QWidget *b) { return a->x() < b->x(); });
    return cells;
}

void HLTimelineSlideshowBackView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    HLStripPainting::drawPanel(painter, *this, QColor::fromRgbF(0.114683, 0.243511, 0.423555), m_strTitle,
                               m_bIsChosen);
    if (m_iDropIndex >= 0) {
        const double band = height() - HLStripGeometry::kCaptionHeight;
        const double x = HLStripGeometry::rowMarkerX(m_iDropIndex, width() - 1);
        painter.fillRect(QRectF(x, height() - band, 2, band), Qt::green);
    }
}

void HLTimelineSlideshowBackView::mousePressEvent(QMouseEvent *event)
{
    if (m_blkDown)
        m_blkDown(this, event);
}

bool HLTimelineSlideshowBackView::p_dragUpdated(QDropEvent *event)
{
    if (!hlCanDrop(this))
        return false;
    const auto kind = HLInsideDrag::kindOf(event->mimeData(), HLInsideDrag::kSlideshowInsidePboardType);
    if (kind == HLInsideDrag::Kind::None)
        return false;
    event->setDropAction(kind == HLInsideDrag::Kind::Files ? Qt::CopyAction : Qt::MoveAction);
    setIDropIndex(HLStripGeometry::rowDropIndex(event->position().x(), cellViews().size()));
    return true;
}

void HLTimelineSlideshowBackView::dragEnterEvent(QDragEnterEvent *event)
{
    if (p_dragUpdated(event))
        event->accept();
    else
        event->ignore();
}

void HLTimelineSlideshowBackView::dragMoveEvent(QDragMoveEvent *event)
{
    if (p_dragUpdated(event))
        event->accept();
    else
        event->ignore();
}

void HLTimelineSlideshowBackView::dragLeaveEvent(QDragLeaveEvent *)
{
    setIDropIndex(-1);
}

void HLTimelineSlideshowBackView::dropEvent(QDropEvent *event)
{
    const qint64 index = m_iDropIndex;
    setIDropIndex(-1);
    const auto kind = HLInsideDrag::kindOf(event->mimeData(), HLInsideDrag::kSlideshowInsidePboardType);
    if (!m_blkDrop || kind == HLInsideDrag::Kind::None || index < 0 || !hlCanDrop(this)) {
        event->ignore();
        return;
    }
    event->setDropAction(kind == HLInsideDrag::Kind::Files ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    m_blkDrop(this, index, kind == HLInsideDrag::Kind::Files ? HLInsideDrag::localFilesOf(event->mimeData())
                                                              : QStringList());
}
