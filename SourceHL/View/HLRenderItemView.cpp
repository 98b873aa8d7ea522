#include "SourceHL/View/HLRenderItemView.h"

#include "SourceHL/Common/HLImageHelper.h"
#include "SourceHL/View/HLStripGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

HLRenderItemView *HLRenderItemView::renderItemViewOf(const QString &identifier)
{
    if (identifier.isEmpty())
        return nullptr;
    return new HLRenderItemView(identifier);
}

HLRenderItemView::HLRenderItemView(const QString &identifier) : m_strID(identifier)
{
    setFixedSize(int(HLStripGeometry::kCellWidth), int(HLStripGeometry::kCellWidth));
}

void HLRenderItemView::updateThumb(const QImage &thumb, const QImage &mask)
{
    const QSizeF side(kThumbSide, kThumbSide);
    const QImage cropped = thumb.isNull() ? QImage() : HLImageHelper::hlLimitCroppedImageOf(thumb, side);
    if (mask.isNull() || cropped.isNull()) {
        m_imgThumb = cropped;
        return;
    }
    const double maskHeight = mask.height() / mask.devicePixelRatio();
    m_imgThumb = HLImageHelper::hlImageOf(side, [&](QPainter &painter, const QRectF &rect) {
        painter.drawImage(rect, cropped);
        if (maskHeight * mask.devicePixelRatio() >= mask.width() * 0.5) {
            // A mask drawn as a whole frame (both film edges in one picture) goes on once.
            painter.drawImage(rect, mask);
            return;
        }
        painter.drawImage(QRectF(0, 0, kThumbSide, maskHeight), mask);
        painter.drawImage(QRectF(0, kThumbSide - maskHeight, kThumbSide, maskHeight), mask);
    });
}

void HLRenderItemView::setUpMouseDown(MouseBlock down, MouseBlock drag, MouseBlock up)
{
    m_blkDown = std::move(down);
    m_blkDrag = std::move(drag);
    m_blkUp = std::move(up);
}

void HLRenderItemView::setBIsChosen(bool chosen)
{
    if (chosen == m_bIsChosen)
        return;
    m_bIsChosen = chosen;
    update();
}

void HLRenderItemView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The slot is the cell's 80 points; its frame is inset 2.5, the picture 2.5 more.
    const QRectF frame = QRectF(rect()).adjusted(HLStripGeometry::kCellInset, HLStripGeometry::kCellInset,
                                                 -HLStripGeometry::kCellInset, -HLStripGeometry::kCellInset);
    const QRectF r1 = frame.adjusted(2.5, 2.5, -2.5, -2.5);
    const QRectF r2 = r1.adjusted(-1, -1, 1, 1);
    // A soft black shadow around the picture.
    for (int ring = 3; ring >= 1; --ring) {
        QPainterPath shadow;
        shadow.addRoundedRect(r1.adjusted(-ring, -ring, ring, ring), 4 + ring, 4 + ring);
        painter.fillPath(shadow, QColor(0, 0, 0, 40));
    }
    QPainterPath picture;
    picture.addRoundedRect(r1, 4, 4);
    painter.fillPath(picture, Qt::black);
    painter.save();
    painter.setClipPath(picture);
    if (!m_imgThumb.isNull())
        painter.drawImage(r1, m_imgThumb);
    painter.restore();
    if (m_bIsChosen) {
        QPainterPath wash;
        wash.addRoundedRect(r1, 3, 3);
        painter.fillPath(wash, QColor::fromRgbF(1, 1, 0, 0.1));
        QPainterPath edge;
        edge.addRoundedRect(r2, 3, 3);
        painter.strokePath(edge, QPen(Qt::red, 3));
    }
}

void HLRenderItemView::mousePressEvent(QMouseEvent *event)
{
    if (m_blkDown)
        m_blkDown(this, event);
    else
        QWidget::mousePressEvent(event);
}

void HLRenderItemView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_blkDrag)
        m_blkDrag(this, event);
    else
        QWidget::mouseMoveEvent(event);
}

void HLRenderItemView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_blkUp)
        m_blkUp(this, event);
    else
        QWidget::mouseReleaseEvent(event);
}
