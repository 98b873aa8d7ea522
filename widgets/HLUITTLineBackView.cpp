#include "widgets/HLUITTLineBackView.h"

#include "widgets/HLYUpPainter.h"

#include <cmath>

void HLUITTLineBackView::paintEvent(QPaintEvent *)
{
    HLYUpPainter p(this, width(), height());
    p.fill(HLYUpPainter::grey(0.15));
    p.horizontalLine(std::trunc(height() - 15.0) - 0.5, HLYUpPainter::grey(0.08));
    p.horizontalLine(59.5, HLYUpPainter::grey(0.05));
    p.horizontalLine(60.5, HLYUpPainter::grey(0.17));
}
