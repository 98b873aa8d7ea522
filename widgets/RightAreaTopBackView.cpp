#include "widgets/RightAreaTopBackView.h"

#include "widgets/HLYUpPainter.h"

void RightAreaTopBackView::paintEvent(QPaintEvent *)
{
    HLYUpPainter p(this, width(), height());
    p.fillUpwardGradient(HLYUpPainter::grey(0.12), HLYUpPainter::grey(0.11));
    p.horizontalLine(0.5, HLYUpPainter::grey(0.03));
}
