#include "widgets/HLGradientView.h"

#include "widgets/HLYUpPainter.h"

void HLGradientView::paintEvent(QPaintEvent *)
{
    HLYUpPainter painter(this, width(), height());
    if (m_enType == 0)
        painter.fillRightwardGradient(m_clColorLB, m_clColorRU);
    else
        painter.fillUpwardGradient(m_clColorLB, m_clColorRU);
}
