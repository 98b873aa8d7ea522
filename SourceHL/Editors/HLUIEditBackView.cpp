#include "SourceHL/Editors/HLUIEditBackView.h"

#include "widgets/HLYUpPainter.h"

#include <cmath>

double hlEditTopLineY(double height)
{
    return std::trunc(height) - 0.5;
}

namespace {

// The lines both backgrounds share, over the whole bounds whatever part is repainted.
void drawSeparators(HLYUpPainter &p, double height)
{
    p.horizontalLine(hlEditTopLineY(height), HLYUpPainter::grey(0.03));
    p.verticalLine(0.5, HLYUpPainter::grey(0.03));
    p.verticalLine(1.5, HLYUpPainter::grey(0.18));
}

} // namespace

void HLUIEditBackView::paintEvent(QPaintEvent *)
{
    HLYUpPainter p(this, width(), height());
    p.fill(HLYUpPainter::grey(0.16));
    drawSeparators(p, height());
}

void HLUIEditBottomView::paintEvent(QPaintEvent *)
{
    HLYUpPainter p(this, width(), height());
    p.fillUpwardGradient(HLYUpPainter::grey(0.14), HLYUpPainter::grey(0.16));
    drawSeparators(p, height());
}
