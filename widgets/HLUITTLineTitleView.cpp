#include "widgets/HLUITTLineTitleView.h"

#include "widgets/HLYUpPainter.h"

void HLUITTLineTitleView::paintEvent(QPaintEvent *)
{
    const int w = width();
    HLYUpPainter p(this, width(), height());
    p.fill(HLYUpPainter::grey(0.14));
    p.horizontalLine(59.5, HLYUpPainter::grey(0.05));
    p.horizontalLine(60.5, HLYUpPainter::grey(0.17));
    p.verticalLine(w - 0.5, HLYUpPainter::grey(0.03));
}
