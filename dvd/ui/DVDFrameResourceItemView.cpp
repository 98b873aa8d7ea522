#include "dvd/ui/DVDFrameResourceItemView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

DVDFrameResourceItemView::DVDFrameResourceItemView(QWidget *parent) : QWidget(parent) {}

void DVDFrameResourceItemView::setImage(const QImage &image)
{
    m_image = image;
    update();
}

void DVDFrameResourceItemView::setIsSelected(bool selected)
{
    if (m_isSelected == selected)
        return;
    m_isSelected = selected;
    update();
}

void DVDFrameResourceItemView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (!m_image.isNull())
        painter.drawImage(QRectF(rect()).adjusted(8, 8, -8, -8), m_image);
    if (m_isSelected) {
        QPainterPath fill;
        fill.addRoundedRect(QRectF(rect()), 3, 3);
        painter.fillPath(fill, QColor::fromRgbF(1, 1, 0, 0.1f));
        painter.setPen(QPen(QColor::fromRgbF(1, 1, 0, 1), 2));
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
    }
}

void DVDFrameResourceItemView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_delegate)
        m_delegate(this);
}
