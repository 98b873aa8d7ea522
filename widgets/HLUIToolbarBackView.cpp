#include "widgets/HLUIToolbarBackView.h"

#include "widgets/HLYUpPainter.h"

void HLUIToolbarBackView::paintEvent(QPaintEvent *)
{
    const int h = height();
    HLYUpPainter p(this, width(), height());
    p.fillUpwardGradient(HLYUpPainter::grey(0.14), HLYUpPainter::grey(0.17));
    p.horizontalLine(h - 0.5, HLYUpPainter::grey(0.03));
    p.horizontalLine(h - 1.5, HLYUpPainter::grey(0.19));
    p.horizontalLine(0.5, HLYUpPainter::grey(0.03));
    p.horizontalLine(1.5, HLYUpPainter::grey(0.16));
}
