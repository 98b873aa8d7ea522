#include "dvd/ui/DVDMenuEditViewHighlightView.h"

#include <QPainter>

DVDMenuEditViewHighlightView::DVDMenuEditViewHighlightView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void DVDMenuEditViewHighlightView::updateHighlightRect(const QRectF &rect)
{
    m_highlightRect = rect;
    update();
}

void DVDMenuEditViewHighlightView::paintEvent(QPaintEvent *)
{
    if (m_highlightRect.width() <= 1.0)
        return;
    QPainter painter(this);
    painter.setPen(QPen(Qt::yellow, 4));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(m_highlightRect.adjusted(-2, -2, 2, 2));
}
