#include "widgets/HLUITimeView.h"

#include "widgets/HLNamedImage.h"
#include "widgets/HLTimeDigits.h"

#include <QPainter>

#include <cmath>

HLUITimeView::HLUITimeView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void HLUITimeView::setDTime(float time)
{
    // NaN never equals itself; it reads as 0 anyway.
    if (time == m_dTime || (std::isnan(time) && std::isnan(m_dTime)))
        return;
    m_dTime = time;
    update();
}

void HLUITimeView::setEnType(qint64 type)
{
    if (type == m_enType)
        return;
    m_enType = type;
    updateGeometry();
    update();
}

QStringList HLUITimeView::glyphNames() const
{
    QStringList names;
    for (char glyph : hl_timeDigits(m_dTime, m_enType)) {
        if (glyph == ':')
            names << QStringLiteral("TimeSep");
        else if (glyph == '.')
            names << QStringLiteral("TimeDot");
        else
            names << QStringLiteral("TimeNum%1").arg(glyph - '0');
    }
    return names;
}

QSize HLUITimeView::sizeHint() const
{
    // Wide enough for the longest reading of the format (a third minute digit).
    const int digit = HLNamedImage::size(QStringLiteral("TimeNum0")).width();
    int width = 0;
    for (const QString &name : glyphNames())
        width += name.startsWith(QLatin1String("TimeNum")) ? digit : HLNamedImage::size(name).width();
    return {width + digit, HLNamedImage::size(QStringLiteral("TimeNum0")).height()};
}

void HLUITimeView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    int x = 0;
    for (const QString &name : glyphNames()) {
        const QPixmap glyph = HLNamedImage::pixmap(name, devicePixelRatioF());
        const QSize size = HLNamedImage::size(name);
        // Bottom-aligned: the read-out sits on the view's bottom edge.
        painter.drawPixmap(QRect(QPoint(x, height() - size.height()), size), glyph);
        x += size.width();
    }
}
