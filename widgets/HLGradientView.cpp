#include "widgets/HLGradientView.h"

#include <QLinearGradient>
#include <QPainter>

void HLGradientView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF bounds = rect();
    // y-up: "bottom to top" starts at the widget's bottom edge.
    QLinearGradient gradient = angleOf(m_enType) == 0
                                   ? QLinearGradient(bounds.topLeft(), bounds.topRight())
                                   : QLinearGradient(bounds.bottomLeft(), bounds.topLeft());
    gradient.setColorAt(0, m_clColorLB);
    gradient.setColorAt(1, m_clColorRU);
    painter.fillRect(bounds, gradient);
}
