#include "dvd/ui/MenuEditAreaView.h"

#include "widgets/HLYUpPainter.h"

void MenuEditAreaView::paintEvent(QPaintEvent *)
{
    HLYUpPainter p(this, width(), height());
    p.fill(HLYUpPainter::grey(0.13));
    p.horizontalLine(height() - 0.5, HLYUpPainter::grey(0.03));
}
