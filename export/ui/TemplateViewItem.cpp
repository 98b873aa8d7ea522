#include "export/ui/TemplateViewItem.h"

#include "SourceHL/Common/HLFontHelper.h"
#include "widgets/HLYUpPainter.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

TemplateViewItem::TemplateViewItem(QWidget *parent) : QWidget(parent)
{
    setCursor(Qt::PointingHandCursor);
}

void TemplateViewItem::setIsSelect(bool select)
{
    m_isSelect = select;
    update();
}

void TemplateViewItem::setStrTitle(const QString &title)
{
    m_strTitle = title;
    update();
}

void TemplateViewItem::setTestColor(const QColor &color)
{
    m_testColor = color;
    update();
}

QSize TemplateViewItem::sizeHint() const
{
    return {160, 32};
}

void TemplateViewItem::paintEvent(QPaintEvent *)
{
    if (m_isSelect) {
        HLYUpPainter back(this, width(), height());
        back.fill(HLYUpPainter::grey(0.15));
        back.verticalLine(0.5, HLYUpPainter::grey(0.03));
        back.verticalLine(width() - 0.5, HLYUpPainter::grey(0.03));
    }
    const QString title = m_strTitle.isEmpty() ? QStringLiteral("Template") : m_strTitle;
    QPainter painter(this);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QFont font = hl_fontWithName(QStringLiteral("Times New Roman"), 16);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const QSizeF text(metrics.horizontalAdvance(title), metrics.height());
    const QPointF origin((width() - text.width()) / 2, (height() - text.height()) / 2 + metrics.ascent());
    // The text's shadow lies half a point right and down.
    painter.setPen(QColor(0, 0, 0, 200));
    painter.drawText(origin + QPointF(0.5, 0.5), title);
    QColor color = QColor::fromRgbF(0.9, 0.9, 0.9, 1.0);
    if (m_isSelect)
        color = QColor::fromRgbF(1, 1, 0, 1);
    else if (m_testColor.isValid())
        color = m_testColor;
    painter.setPen(color);
    painter.drawText(origin, title);
}

void TemplateViewItem::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && !m_isSelect)
        typeClickAction(m_strTitle);
}

void TemplateViewItem::typeClickAction(const QString &title)
{
    if (m_delegate)
        m_delegate(title);
}
