#include "widgets/HLUIWindowTitleView.h"

#include "SourceHL/Common/HLFontHelper.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

HLUIWindowTitleView::HLUIWindowTitleView(QWidget *parent)
    : QWidget(parent), m_font(hl_fontWithName(QStringLiteral("Lucida Grande"), 13.0))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void HLUIWindowTitleView::setStrTitle(const QString &title)
{
    if (title == m_strTitle)
        return;
    m_strTitle = title;
    update();
}

void HLUIWindowTitleView::paintEvent(QPaintEvent *)
{
    const qreal w = width(), h = height();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path;
    path.moveTo(0, h);
    path.lineTo(0, 4);
    path.cubicTo(0, 4, 0, 0, 4, 0);
    path.lineTo(w - 4, 0);
    path.cubicTo(w - 4, 0, w, 0, w, 4);
    path.lineTo(w, h);
    path.closeSubpath();
    QLinearGradient gradient(0, 0, 0, h);
    gradient.setColorAt(0, QColor::fromRgbF(0.2, 0.2, 0.2));
    gradient.setColorAt(1, QColor::fromRgbF(0.23, 0.23, 0.23));
    painter.fillPath(path, gradient);
    if (m_strTitle.isEmpty())
        return;
    painter.setFont(m_font);
    const QRectF text = rect();
    painter.setPen(QColor(0, 0, 0, 200)); // shadow, one point right and down
    painter.drawText(text.translated(1, 1), Qt::AlignCenter, m_strTitle);
    painter.setPen(Qt::white);
    painter.drawText(text, Qt::AlignCenter, m_strTitle);
}
