#include "SourceHL/Windows/HLUIQuartzBottomView.h"

#include "widgets/HLYUpPainter.h"

void HLUIQuartzBottomView::paintEvent(QPaintEvent *)
{
    HLYUpPainter p(this, width(), height());
    p.fillUpwardGradient(HLYUpPainter::grey(0.14), HLYUpPainter::grey(0.16));
    p.horizontalLine(int(height()) - 0.5, HLYUpPainter::grey(0.03));
}
