#include "widgets/HLUIAULineBackView.h"

#include "widgets/HLYUpPainter.h"

void HLUIAULineBackView::paintEvent(QPaintEvent *)
{
    const int h = height();
    HLYUpPainter p(this, width(), height());
    p.fillUpwardGradient(HLYUpPainter::grey(0.17), HLYUpPainter::grey(0.2));
    p.horizontalLine(h - 0.5, HLYUpPainter::grey(0.03));
}
