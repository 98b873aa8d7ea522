#include "SourceHL/Windows/HLUIWndSzBackView.h"

#include "widgets/HLYUpPainter.h"

void HLUIWndSzBackView::paintEvent(QPaintEvent *)
{
    HLYUpPainter painter(this, width(), height());
    painter.fill(HLYUpPainter::grey(0.15));
    painter.horizontalLine(height() - 0.5, HLYUpPainter::grey(0.03));
}
