#include "SourceHL/View/HLContentlineBackView.h"

#include <QMouseEvent>

HLContentlineBackView::HLContentlineBackView(QWidget *parent) : QWidget(parent) {}

void HLContentlineBackView::mousePressEvent(QMouseEvent *event)
{
    p_report(event);
    m_bDidDown = true;
}

void HLContentlineBackView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bDidDown)
        p_report(event);
}

void HLContentlineBackView::mouseReleaseEvent(QMouseEvent *)
{
    m_bDidDown = false;
}

void HLContentlineBackView::p_report(QMouseEvent *event)
{
    event->accept();
    if (m_blkFeedback)
        m_blkFeedback(event->position().x());
}
