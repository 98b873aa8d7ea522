#include "SourceHL/Editors/HLCropBackView.h"

#include "SourceHL/Editors/HLCropView.h"

#include <QPainter>
#include <QPainterPath>

void HLCropBackView::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    if (!m_vCrop)
        return;
    // The crop's display frame is y-up in this view.
    const HLCropGeometry::Rect r = m_vCrop->rctDisplayFrame();
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addRect(rect());
    path.addRect(QRectF(r.x, height() - r.y - r.height, r.width, r.height));
    QPainter painter(this);
    painter.fillPath(path, QColor(0, 0, 0, 128));
}
