#include "widgets/HLUIAULineTitleView.h"

#include "widgets/HLYUpPainter.h"

void HLUIAULineTitleView::paintEvent(QPaintEvent *)
{
    const int h = height();
    const int w = width();
    HLYUpPainter p(this, width(), height());
    p.fillUpwardGradient(HLYUpPainter::grey(0.17), HLYUpPainter::grey(0.2));
    p.horizontalLine(h - 0.5, HLYUpPainter::grey(0.03));
    p.verticalLine(w - 0.5, HLYUpPainter::grey(0.03));
}
