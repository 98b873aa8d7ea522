#include "widgets/PlayModeBgView.h"

#include "widgets/HLYUpPainter.h"

#include <QMouseEvent>

PlayModeBgView::PlayModeBgView(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
}

void PlayModeBgView::paintEvent(QPaintEvent *)
{
    HLYUpPainter(this, width(), height()).fill(QColor(50, 50, 50));
}

void PlayModeBgView::mousePressEvent(QMouseEvent *event)
{
    setFocus(Qt::MouseFocusReason);
    event->accept();
}
