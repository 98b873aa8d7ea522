#include "widgets/HLUIDisplayBackView.h"

#include "widgets/HLYUpPainter.h"

void HLUIDisplayBackView::paintEvent(QPaintEvent *)
{
    const int h = height();
    HLYUpPainter p(this, width(), height());
    p.fill(HLYUpPainter::grey(0.14));
    p.horizontalLine(h - 0.5, HLYUpPainter::grey(0.03));
}
