#include "widgets/HLYUpPainter.h"

#include <QLinearGradient>

HLYUpPainter::HLYUpPainter(QPaintDevice *device, int width, int height)
    : m_painter(device), m_width(width), m_height(height)
{
    m_painter.setRenderHint(QPainter::Antialiasing);
}

void HLYUpPainter::fill(const QColor &color)
{
    m_painter.fillRect(QRect(0, 0, m_width, m_height), color);
}

void HLYUpPainter::fillUpwardGradient(const QColor &bottom, const QColor &top)
{
    QLinearGradient gradient(0, m_height, 0, 0);
    gradient.setColorAt(0, bottom);
    gradient.setColorAt(1, top);
    m_painter.fillRect(QRect(0, 0, m_width, m_height), gradient);
}

void HLYUpPainter::fillRightwardGradient(const QColor &left, const QColor &right)
{
    QLinearGradient gradient(0, 0, m_width, 0);
    gradient.setColorAt(0, left);
    gradient.setColorAt(1, right);
    m_painter.fillRect(QRect(0, 0, m_width, m_height), gradient);
}

void HLYUpPainter::horizontalLine(double y, const QColor &color)
{
    m_painter.setPen(QPen(color, 1));
    const double flipped = m_height - y;
    m_painter.drawLine(QPointF(0, flipped), QPointF(m_width, flipped));
}

void HLYUpPainter::verticalLine(double x, const QColor &color)
{
    m_painter.setPen(QPen(color, 1));
    m_painter.drawLine(QPointF(x, 0), QPointF(x, m_height));
}
