#include "SourceHL/Windows/HLUISortBottomView.h"

#include "widgets/HLYUpPainter.h"

void HLUISortBottomView::paintEvent(QPaintEvent *)
{
    HLYUpPainter painter(this, width(), height());
    painter.fillUpwardGradient(HLYUpPainter::grey(0.14), HLYUpPainter::grey(0.15));
    painter.horizontalLine(height() - 0.5, HLYUpPainter::grey(0.03));
    painter.horizontalLine(height() - 1.5, HLYUpPainter::grey(0.17));
}
