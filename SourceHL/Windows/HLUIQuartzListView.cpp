#include "SourceHL/Windows/HLUIQuartzListView.h"

#include "widgets/HLYUpPainter.h"

#include <QPainter>

void HLUIQuartzListView::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(QRectF(2, 0, width(), height()), HLYUpPainter::grey(0.14));
    HLYUpPainter p(this, width(), height());
    p.verticalLine(int(width()) - 0.5, HLYUpPainter::grey(0.03));
    p.verticalLine(int(width()) - 1.5, HLYUpPainter::grey(0.16));
}
