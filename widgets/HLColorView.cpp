#include "widgets/HLColorView.h"

#include "widgets/HLYUpPainter.h"

void HLColorView::paintEvent(QPaintEvent *)
{
    if (!m_clColor.isValid())
        return;
    HLYUpPainter(this, width(), height()).fill(m_clColor);
}
