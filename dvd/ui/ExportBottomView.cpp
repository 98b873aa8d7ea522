#include "dvd/ui/ExportBottomView.h"

#include "widgets/HLYUpPainter.h"

#include <QMouseEvent>

ExportBottomView::ExportBottomView(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

void ExportBottomView::paintEvent(QPaintEvent *)
{
    HLYUpPainter p(this, width(), height());
    p.fill(HLYUpPainter::grey(0.15));
    p.horizontalLine(height() - 0.5, HLYUpPainter::grey(0.03));
}

void ExportBottomView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    event->accept();
}
