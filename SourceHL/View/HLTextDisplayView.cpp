#include "SourceHL/View/HLTextDisplayView.h"

#include "SourceHL/Common/HLFontHelper.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

HLTextDisplayView::HLTextDisplayView(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_TranslucentBackground);
}

void HLTextDisplayView::setOItem(const std::shared_ptr<HLTextItem> &item)
{
    if (item == m_oItem.lock())
        return;
    m_oItem = item;
    m_strText.clear();
    m_szText = QSizeF(0, 0);
    m_imgText = QImage();
}

void HLTextDisplayView::updateDisplay()
{
    const auto item = m_oItem.lock();
    if (!item || !item->oTextEdit())
        return;
    const HLTextEdit &edit = *item->oTextEdit();
    m_strText = edit.strText();
    m_font = hl_fontWithName(edit.strFont(), edit.dFontSize());
    const QFontMetricsF metrics(m_font);
    m_szText = m_strText.isEmpty() ? QSizeF(0, 0) : metrics.size(0, m_strText);
    m_imgText = QImage();
    if (!m_szText.isEmpty()) {
        m_imgText = QImage(m_szText.toSize().expandedTo(QSize(1, 1)), QImage::Format_ARGB32_Premultiplied);
        m_imgText.fill(Qt::transparent);
        QPainter painter(&m_imgText);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(m_font);
        painter.setPen(edit.clFont());
        painter.drawText(QRectF(QPointF(0, 0), m_szText), Qt::AlignLeft | Qt::AlignTop, m_strText);
    }
    update();
}

float HLTextDisplayView::shownWidth() const
{
    return float(m_szText.width()) * m_dResize;
}

float HLTextDisplayView::shownHeight() const
{
    return float(m_szText.height()) * m_dResize;
}

HLViewRect HLTextDisplayView::limitedFrame() const
{
    return hl_overlayLimitedFrame(width(), height(), shownWidth(), shownHeight());
}

HLViewPoint HLTextDisplayView::currentCenter() const
{
    const auto item = m_oItem.lock();
    if (!item || !item->oTextEdit())
        return {};
    return hl_overlayCenter(limitedFrame(), item->oTextEdit()->dCenterX(), item->oTextEdit()->dCenterY());
}

HLViewRect HLTextDisplayView::displayFrame() const
{
    return hl_overlayDisplayFrame(currentCenter(), shownWidth(), shownHeight());
}

HLViewPoint HLTextDisplayView::yUp(QPointF point) const
{
    return {float(point.x()), float(height() - point.y())};
}

QRectF HLTextDisplayView::flipped(const HLViewRect &rect) const
{
    return {rect.x, height() - rect.maxY(), rect.width, rect.height};
}

void HLTextDisplayView::p_updateCenterRatio(HLViewPoint center)
{
    const auto item = m_oItem.lock();
    if (!item || !item->oTextEdit())
        return;
    const HLViewRect limited = limitedFrame();
    // A limited frame of no width or height has no ratio: that one stays as it was. The
    // preview worker reads the title, so only the owner, through the gate, writes it.
    if (m_blkFeedback)
        m_blkFeedback(hl_overlayRatio(center.x, limited.x, limited.width),
                      hl_overlayRatio(center.y, limited.y, limited.height));
    update();
}

void HLTextDisplayView::mousePressEvent(QMouseEvent *event)
{
    const HLViewPoint point = yUp(event->position());
    m_pntDragPoint = point;
    m_pntDragCenter = currentCenter();
    const HLViewRect frame = displayFrame();
    m_bIsEnable = point.x >= frame.x && point.x <= frame.maxX() && point.y >= frame.y && point.y <= frame.maxY();
}

void HLTextDisplayView::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_bIsEnable)
        return;
    // Always from the drag's start, so rounding does not build up over a drag.
    const HLViewPoint point = yUp(event->position());
    const HLViewPoint moved{m_pntDragCenter.x + (point.x - m_pntDragPoint.x),
                            m_pntDragCenter.y + (point.y - m_pntDragPoint.y)};
    p_updateCenterRatio(hl_overlayValidCenter(moved, limitedFrame()));
}

void HLTextDisplayView::keyPressEvent(QKeyEvent *event)
{
    HLViewPoint center = currentCenter();
    if (event->key() == Qt::Key_Left)
        center.x -= 1;
    else if (event->key() == Qt::Key_Right)
        center.x += 1;
    if (event->key() == Qt::Key_Down)
        center.y -= 1;
    else if (event->key() == Qt::Key_Up)
        center.y += 1;
    // Any key re-clamps the centre and reports, and no key goes further.
    p_updateCenterRatio(hl_overlayValidCenter(center, limitedFrame()));
    event->accept();
}

void HLTextDisplayView::paintEvent(QPaintEvent *)
{
    const auto item = m_oItem.lock();
    if (!item || !item->oTextEdit())
        return;
    const HLTextEdit &edit = *item->oTextEdit();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = flipped(displayFrame());
    painter.setPen(QPen(QColor(255, 204, 0), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(-2, -2, 2, 2));
    if (m_imgText.isNull())
        return;
    if (edit.enType() != HLTextEdit::HLTextEditTypeStatic) {
        painter.drawImage(frame, m_imgText);
        return;
    }
    const QPointF shadowOffset(edit.dStaticShadowOffsetX() * m_dResize, -edit.dStaticShadowOffsetY() * m_dResize);
    if (edit.bStaticBack()) {
        const float radius = std::min(float(frame.width()), float(frame.height())) * edit.dStaticBackRadius() * 0.5f;
        QPainterPath shape;
        shape.addRoundedRect(frame, radius, radius);
        if (edit.bStaticShadow())
            painter.fillPath(shape.translated(shadowOffset), edit.clStaticShadow());
        QColor back = edit.clStaticBack();
        back.setAlphaF(edit.dStaticBackAlpha());
        painter.fillPath(shape, back);
        painter.setClipPath(shape);
        painter.drawImage(frame, m_imgText);
        return;
    }
    if (edit.bStaticShadow()) {
        // The shadow is the text's own shape in the shadow colour, offset.
        QImage shadow = m_imgText;
        QPainter tint(&shadow);
        tint.setCompositionMode(QPainter::CompositionMode_SourceIn);
        tint.fillRect(shadow.rect(), edit.clStaticShadow());
        tint.end();
        painter.drawImage(frame.translated(shadowOffset), shadow);
    }
    painter.drawImage(frame, m_imgText);
}
