#include "SourceHL/Editors/HLColorWell.h"

#include <QColorDialog>
#include <QPainter>

HLColorWell::HLColorWell(QWidget *parent) : QToolButton(parent)
{
    setFixedSize(44, 22);
    connect(this, &QToolButton::clicked, this, [this] {
        const QColor chosen = QColorDialog::getColor(m_color, this, QString(), QColorDialog::ShowAlphaChannel);
        if (chosen.isValid())
            chooseColor(chosen);
    });
}

void HLColorWell::setColor(const QColor &color)
{
    if (color == m_color)
        return;
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

void HLColorWell::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.fillRect(frame, QColor::fromRgbF(0.1f, 0.1f, 0.1f));
    painter.fillRect(frame.adjusted(3, 3, -3, -3), m_color);
    painter.setPen(isEnabled() ? QColor::fromRgbF(0.55f, 0.55f, 0.55f) : QColor::fromRgbF(0.3f, 0.3f, 0.3f));
    painter.drawRect(frame);
}
