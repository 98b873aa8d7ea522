#include "SourceHL/View/HLPlaylineTailView.h"

#include <QPainter>

#include <cmath>

HLPlaylineTailView::HLPlaylineTailView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFixedWidth(4);
}

void HLPlaylineTailView::update(double x)
{
    move(int(std::floor(x - width() * 0.5)), y());
}

void HLPlaylineTailView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const double c = std::floor(width() * 0.5f);
    QPen pen(Qt::green, 1, Qt::CustomDashLine);
    pen.setDashPattern({7, 4});
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    painter.drawLine(QPointF(c + 0.5, height()), QPointF(c + 0.5, 0));
    pen.setColor(QColor::fromRgbF(0.02, 0.02, 0.02));
    painter.setPen(pen);
    painter.drawLine(QPointF(c - 0.5, height()), QPointF(c - 0.5, 0));
}
