#include "SourceHL/Windows/HLTemplateInfoView.h"

#include "widgets/HLYUpPainter.h"

#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>

HLTemplateInfoView *HLTemplateInfoView::templateInfoViewOf(const QString &title, const QPixmap &image, QWidget *parent)
{
    if (title.isEmpty() || image.isNull())
        return nullptr;
    return new HLTemplateInfoView(title, image, parent);
}

HLTemplateInfoView::HLTemplateInfoView(const QString &title, const QPixmap &image, QWidget *parent)
    : QWidget(parent)
    , m_strTitle(title)
    , m_imgThumb(image)
{
    setObjectName(QStringLiteral("vTemplate") + title);
}

void HLTemplateInfoView::setBIsChosen(bool chosen)
{
    if (chosen == m_bIsChosen)
        return;
    m_bIsChosen = chosen;
    update();
}

void HLTemplateInfoView::paintEvent(QPaintEvent *)
{
    if (m_bIsChosen) {
        HLYUpPainter p(this, width(), height());
        // from the top down: the lighter blue above
        p.fillUpwardGradient(QColor::fromRgbF(0, 0.25, 0.5), QColor::fromRgbF(0, 0.4, 0.8));
        p.horizontalLine(0.5, HLYUpPainter::grey(0.03));
        p.horizontalLine(int(height()) - 0.5, HLYUpPainter::grey(0.03));
    }
    QPainter painter(this);
    const QSizeF image = m_imgThumb.deviceIndependentSize();
    painter.drawPixmap(QPointF(12, (height() - image.height()) * 0.5), m_imgThumb);
    QFont font = painter.font();
    font.setPointSizeF(12);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const QPointF origin(12 + image.width() + 3, (height() - metrics.height()) * 0.5 + metrics.ascent());
    painter.setPen(Qt::black);
    painter.drawText(origin + QPointF(1, 1), m_strTitle);
    painter.setPen(Qt::white);
    painter.drawText(origin, m_strTitle);
}

void HLTemplateInfoView::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    if (m_blkDown)
        m_blkDown(this);
}
