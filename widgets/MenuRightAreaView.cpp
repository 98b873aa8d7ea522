#include "widgets/MenuRightAreaView.h"

#include "widgets/HLYUpPainter.h"

#include <QMouseEvent>

MenuRightAreaView::MenuRightAreaView(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

void MenuRightAreaView::paintEvent(QPaintEvent *)
{
    HLYUpPainter p(this, width(), height());
    p.fill(HLYUpPainter::grey(0.15));
    p.verticalLine(0.5, HLYUpPainter::grey(0.03));
    p.verticalLine(1.5, HLYUpPainter::grey(0.17));
    p.horizontalLine(height() - 0.5, HLYUpPainter::grey(0.03));
}

void MenuRightAreaView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    event->accept();
}
