#include "SourceHL/View/HLDisplayView.h"

#include "SourceHL/View/HLViewGeometry.h"

#include <QPainter>

HLDisplayView::HLDisplayView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void HLDisplayView::update(const QImage &picture)
{
    setImgDisplay(picture);
}

void HLDisplayView::setImgDisplay(const QImage &picture)
{
    if (picture.cacheKey() == m_imgDisplay.cacheKey())
        return;
    m_imgDisplay = picture;
    QWidget::update();
}

void HLDisplayView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_clBack)
        painter.fillRect(rect(), *m_clBack);
    if (m_imgDisplay.isNull())
        return;
    const QSizeF picture = m_imgDisplay.deviceIndependentSize();
    const HLViewRect fit = hl_fitPicture(width(), height(), picture.width(), picture.height());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // Centred, so the y-up rectangle is the same in the widget's y-down space.
    painter.drawImage(QRectF(fit.x, fit.y, fit.width, fit.height), m_imgDisplay);
}
