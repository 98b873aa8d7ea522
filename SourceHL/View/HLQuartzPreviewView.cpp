#include "SourceHL/View/HLQuartzPreviewView.h"

#include "SourceHL/Common/HLFontHelper.h"
#include "SourceHL/Common/HLImageHelper.h"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

HLQuartzPreviewView::HLQuartzPreviewView(const QRectF &frame, QWidget *parent)
    : QWidget(parent)
{
    setGeometry(frame.toRect());
    setAttribute(Qt::WA_Hover);
}

HLQuartzPreviewView *HLQuartzPreviewView::quartzPreviewViewOf(const QRectF &frame, const QString &title,
                                                              const QImage &preview, QWidget *parent)
{
    auto *tile = new HLQuartzPreviewView(frame, parent);
    const double w = frame.width(), h = frame.height();
    tile->m_strTitle = title;
    tile->m_imgStatic = preview;
    tile->m_rctImage = QRectF(5, h - 0.75 * w + 5, w - 10, 0.75 * w - 10);
    tile->m_rctTitle = QRectF(0, 0, w, h - 0.75 * w + 5);
    return tile;
}

HLQuartzPreviewView *HLQuartzPreviewView::simpleQuartzPreviewViewOf(const QRectF &frame, QWidget *parent)
{
    auto *tile = new HLQuartzPreviewView(frame, parent);
    tile->m_rctImage = QRectF(0, 0, frame.width(), frame.height());
    return tile;
}

void HLQuartzPreviewView::setUpMouseEnter(Callback enter, Callback down, Callback exit)
{
    m_blkEnter = std::move(enter);
    m_blkDown = std::move(down);
    m_blkExit = std::move(exit);
}

void HLQuartzPreviewView::syncContentWith(const HLQuartzPreviewView &other)
{
    m_strTitle = other.m_strTitle;
    m_imgStatic = other.m_imgStatic;
    m_blkEnter = other.m_blkEnter;
    m_blkDown = other.m_blkDown;
    m_blkExit = other.m_blkExit;
    QWidget::update();
}

void HLQuartzPreviewView::update(const QImage &frame)
{
    if (frame.isNull()) {
        setImgDynamic(QImage());
        return;
    }
    setImgDynamic(HLImageHelper::hlImageOf(frame.deviceIndependentSize(), [&frame](QPainter &p, const QRectF &rect) {
        p.fillRect(rect, Qt::black);
        p.drawImage(rect, frame);
    }));
}

void HLQuartzPreviewView::setBIsChosen(bool chosen)
{
    if (chosen == m_bIsChosen)
        return;
    m_bIsChosen = chosen;
    QWidget::update();
}

void HLQuartzPreviewView::setImgDynamic(const QImage &image)
{
    if (image.cacheKey() == m_imgDynamic.cacheKey() && image.isNull() == m_imgDynamic.isNull())
        return;
    m_imgDynamic = image;
    QWidget::update();
}

QRectF HLQuartzPreviewView::p_flipped(const QRectF &r) const
{
    return QRectF(r.x(), height() - r.y() - r.height(), r.width(), r.height());
}

// Long names ("KenBurnsPanRight") are set smaller so the whole name fits under the picture; only a
// name too long even at the smallest size is cut short.
QString HLQuartzPreviewView::p_fitTitleFont(QPainter &p, double room) const
{
    constexpr double kSize = 14, kSmallest = 10;
    QFont font = hl_fontWithName(QStringLiteral("Times New Roman"), kSize);
    // Glyph widths do not scale exactly with the size, so step down half a point at a time.
    for (double size = kSize; size > kSmallest && QFontMetricsF(font).horizontalAdvance(m_strTitle) > room;) {
        size -= 0.5;
        font.setPointSizeF(size);
    }
    p.setFont(font);
    return QFontMetricsF(font).elidedText(m_strTitle, Qt::ElideRight, room);
}

void HLQuartzPreviewView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QImage &picture = m_imgDynamic.isNull() ? m_imgStatic : m_imgDynamic;
    const QRectF image = p_flipped(m_rctImage);
    if (!picture.isNull()) {
        // A soft black shadow of 3 points round the picture only.
        p.setPen(Qt::NoPen);
        for (int ring = 3; ring >= 1; --ring) {
            p.setBrush(QColor(0, 0, 0, 40));
            p.drawRoundedRect(image.adjusted(-ring, -ring, ring, ring), ring, ring);
        }
        p.drawImage(image, picture);
    }
    if (!m_rctTitle.isNull()) {
        const QRectF band = p_flipped(m_rctTitle);
        const QString title = p_fitTitleFont(p, image.width());
        p.setPen(QColor(0, 0, 0, 200));
        p.drawText(band.translated(1, 1), Qt::AlignCenter, title);
        p.setPen(Qt::white);
        p.drawText(band, Qt::AlignCenter, title);
    }
    if (m_bIsChosen) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromRgbF(1, 1, 0, 0.1));
        p.drawRoundedRect(QRectF(rect()), 3, 3);
        p.setPen(QPen(QColor::fromRgbF(1, 1, 0, 1), 2));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 3, 3);
    }
}

void HLQuartzPreviewView::enterEvent(QEnterEvent *event)
{
    if (!m_bCanPreview)
        return;
    QWidget::enterEvent(event);
    if (m_blkEnter)
        m_blkEnter(this);
}

void HLQuartzPreviewView::leaveEvent(QEvent *event)
{
    if (!m_bCanPreview)
        return;
    QWidget::leaveEvent(event);
    if (m_blkExit)
        m_blkExit(this);
}

void HLQuartzPreviewView::mousePressEvent(QMouseEvent *event)
{
    if (!m_bCanChoose)
        return;
    QWidget::mousePressEvent(event);
    event->accept();
    if (m_blkDown)
        m_blkDown(this);
}
