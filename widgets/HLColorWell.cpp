#include "widgets/HLColorWell.h"

#include <QColorDialog>
#include <QPainter>

HLColorWell::HLColorWell(QWidget *parent) : QPushButton(parent)
{
    setFixedSize(44, 22);
    connect(this, &QPushButton::clicked, this, [this] {
        const QColor picked = QColorDialog::getColor(m_color, window(), QString(), QColorDialog::ShowAlphaChannel);
        if (picked.isValid())
            chooseColor(picked);
    });
}

void HLColorWell::setColor(const QColor &color)
{
    m_color = color;
    update();
}

void HLColorWell::chooseColor(const QColor &color)
{
    if (!color.isValid() || color == m_color)
        return;
    setColor(color);
    emit colorChosen(color);
}

void HLColorWell::paintEvent(QPaintEvent *event)
{
    QPushButton::paintEvent(event);
    QPainter painter(this);
    const QRect inner = rect().adjusted(5, 5, -5, -5);
    painter.fillRect(inner, Qt::white);
    painter.fillRect(inner, m_color);
    painter.setPen(isEnabled() ? QColor(20, 20, 20) : QColor(70, 70, 70));
    painter.drawRect(inner.adjusted(0, 0, -1, -1));
}
