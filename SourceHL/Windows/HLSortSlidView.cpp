#include "SourceHL/Windows/HLSortSlidView.h"

#include "SourceHL/Common/HLFontHelper.h"
#include "SourceHL/Common/HLInformationTitle.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/Windows/HLSortInside.h"
#include "widgets/HLViewHelper.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace {
constexpr int kAddWidth = 145;
constexpr int kAddHeight = 32;
}

HLSortSlidView *HLSortSlidView::sortSlidViewOf(const QString &identifier, const QString &name)
{
    if (identifier.isEmpty())
        return nullptr;
    return new HLSortSlidView(identifier, name);
}

HLSortSlidView::HLSortSlidView(const QString &identifier, const QString &name)
    : m_strID(identifier), m_strName(name), m_font(hl_fontWithName(QStringLiteral("Times New Roman"), 15))
{
    setAcceptDrops(true);
}

void HLSortSlidView::setup(const QPushButton *pattern)
{
    delete m_btnAdd;
    m_btnAdd = new QPushButton(this);
    if (pattern) {
        m_btnAdd->setText(pattern->text());
        m_btnAdd->setIcon(pattern->icon());
    }
    m_btnAdd->setFixedSize(kAddWidth, kAddHeight);
    connect(m_btnAdd, &QPushButton::clicked, this, [this] {
        if (m_blkAdd)
            m_blkAdd(this);
    });
}

void HLSortSlidView::setUpAdd(Block add, MouseBlock down, MouseBlock drag, MouseBlock up, DropBlock drop)
{
    m_blkAdd = std::move(add);
    m_blkDown = std::move(down);
    m_blkDrag = std::move(drag);
    m_blkUp = std::move(up);
    m_blkDrop = std::move(drop);
}

void HLSortSlidView::updateDuration(float seconds, qint64 count)
{
    const QString duration = HLInformationTitle::itMakeDigitalTitleTime(4, seconds);
    const QString items = QStringLiteral("%1 %2").arg(count).arg(count > 1 ? QStringLiteral("Items") : QStringLiteral("Item"));
    m_strTitle = QStringLiteral("%1    %2    %3").arg(m_strName, items, duration);
    m_iCount = count;
    update();
}

void HLSortSlidView::updateAddUI()
{
    if (m_btnAdd) // y-down: the top edge is the header's top
        m_btnAdd->move(width() - m_btnAdd->width() - 10, 0);
}

void HLSortSlidView::setBIsChosen(bool chosen)
{
    if (chosen == m_bIsChosen)
        return;
    m_bIsChosen = chosen;
    update();
}

void HLSortSlidView::p_setDropCell(const HLSortGeometry::DropCell &cell)
{
    if (cell.x == m_dropCell.x && cell.y == m_dropCell.y && cell.mode == m_dropCell.mode)
        return;
    m_dropCell = cell;
    update();
}

void HLSortSlidView::paintEvent(QPaintEvent *)
{
    const double w = width(), h = height();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double radius = HLSortGeometry::kCornerRadius;
    QPainterPath panel;
    panel.addRoundedRect(QRectF(0, 0, w, h), radius, radius);
    painter.fillPath(panel, QColor::fromRgbF(0.114683, 0.243511, 0.423555, 1));
    if (m_bIsChosen) {
        painter.fillPath(panel, QColor::fromRgbF(1, 1, 0, 0.1));
        QPainterPath edge;
        edge.addRoundedRect(QRectF(1, 1, w - 2, h - 2), radius, radius);
        painter.strokePath(edge, QPen(Qt::red, 3));
    } else {
        QPainterPath edge;
        edge.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), radius, radius);
        painter.strokePath(edge, QPen(QColor::fromRgbF(0.02, 0.02, 0.02, 1), 1));
    }
    // The header line, y-up at (H − 30 whole) − 0.5.
    const double lineUp = double(qint64(h - HLSortGeometry::kHeader)) - 0.5;
    const double line = h - lineUp;
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor::fromRgbF(0.1, 0.1, 0.1, 1));
    painter.drawLine(QPointF(0, line), QPointF(w, line));
    painter.setRenderHint(QPainter::Antialiasing);
    // The caption stays in view when the tile is scrolled sideways.
    const double left = visibleRegion().boundingRect().left() + 6;
    const QRectF caption(left, 0, std::max(0.0, w - left - (m_btnAdd ? m_btnAdd->width() + 16 : 6)), line);
    painter.setFont(m_font);
    painter.setPen(QColor(0, 0, 0, 160));
    painter.drawText(caption.translated(0.5, 0.5), Qt::AlignLeft | Qt::AlignVCenter, m_strTitle);
    painter.setPen(Qt::white);
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignVCenter, m_strTitle);
    if (m_dropCell.marked()) {
        const auto marker = HLSortGeometry::markerOf(m_dropCell, w, h, m_dRatio);
        painter.fillRect(QRectF(marker.x, h - marker.maxY(), marker.width, marker.height), Qt::green);
    }
}

void HLSortSlidView::mousePressEvent(QMouseEvent *event)
{
    if (m_blkDown)
        m_blkDown(this, event);
}

void HLSortSlidView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_blkDrag)
        m_blkDrag(this, event);
}

void HLSortSlidView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_blkUp)
        m_blkUp(this, event);
}

void HLSortSlidView::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void HLSortSlidView::dragMoveEvent(QDragMoveEvent *event)
{
    // Refused without touching the marker while a sheet or another window is modal.
    if (!hlCanDrop(this)) {
        event->ignore();
        return;
    }
    const auto kind = HLInsideDrag::kindOf(event->mimeData(), kSortSlidInsidePboardType);
    if (kind == HLInsideDrag::Kind::None) {
        event->ignore();
        return;
    }
    event->setDropAction(kind == HLInsideDrag::Kind::Files ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    const QPointF at = event->position();
    p_setDropCell(HLSortGeometry::dropCellOf(at.x(), height() - at.y(), width(), height(), m_iCount, m_dRatio));
}

void HLSortSlidView::dragLeaveEvent(QDragLeaveEvent *)
{
    p_setDropCell({});
}

void HLSortSlidView::dropEvent(QDropEvent *event)
{
    const auto kind = HLInsideDrag::kindOf(event->mimeData(), kSortSlidInsidePboardType);
    const qint64 index = m_dropCell.index();
    p_setDropCell({});
    if (!m_blkDrop || kind == HLInsideDrag::Kind::None || !hlCanDrop(this)) {
        event->ignore();
        return;
    }
    event->setDropAction(kind == HLInsideDrag::Kind::Files ? Qt::CopyAction : Qt::MoveAction);
    event->accept();
    // One action a drop: files when it carries any, else the sorter's own choice.
    if (kind == HLInsideDrag::Kind::Files)
        m_blkDrop(this, index, HLInsideDrag::localFilesOf(event->mimeData()));
    else
        m_blkDrop(this, index, {});
}
