#include "export/ui/MenuBottomAreaView.h"

#include "widgets/HLYUpPainter.h"

void MenuBottomAreaView::paintEvent(QPaintEvent *)
{
    HLYUpPainter painter(this, width(), height());
    painter.fill(HLYUpPainter::grey(0.15));
    painter.horizontalLine(height() - 0.5, HLYUpPainter::grey(0.03));
    painter.horizontalLine(height() - 1.5, HLYUpPainter::grey(0.17));
}
