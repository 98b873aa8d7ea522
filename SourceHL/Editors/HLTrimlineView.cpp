#include "SourceHL/Editors/HLTrimlineView.h"

#include "SourceHL/Editors/HLTrimlineGeometry.h"
#include "widgets/HLNamedImage.h"

#include <QMouseEvent>
#include <QPainter>

namespace G = HLTrimlineGeometry;

const QString HLTrimlineView::kImageBack = QStringLiteral("TrimlineBack");
const QString HLTrimlineView::kImageBackUn = QStringLiteral("TrimlineBackUn");
const QString HLTrimlineView::kImageBackCh = QStringLiteral("TrimlineBackCh");

HLTrimlineView::HLTrimlineView(QWidget *parent)
    : QWidget(parent)
{
}

void HLTrimlineView::setupClick(Click click, Cancel cancel, Count selectionsCount, SelectionAt selectionAt)
{
    m_blkClick = std::move(click);
    m_blkCancel = std::move(cancel);
    m_blkSelectionsCount = std::move(selectionsCount);
    m_blkSelectionAt = std::move(selectionAt);
}

void HLTrimlineView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const double w = width(), h = height();
    const QRectF inner(0, G::kStripInset, w, h - 2 * G::kStripInset); // symmetric: same when flipped
    const qreal dpr = devicePixelRatioF();
    p.drawPixmap(inner, HLNamedImage::pixmap(kImageBack, dpr), QRectF());
    const int count = m_blkSelectionsCount ? m_blkSelectionsCount() : 0;
    for (int i = 0; i < count; ++i) {
        bool chosen = false;
        float ratioMin = 0, ratioMax = 1;
        if (m_blkSelectionAt)
            m_blkSelectionAt(i, chosen, ratioMin, ratioMax);
        const G::Rect r = G::selectionRect(w, h, {ratioMin, ratioMax});
        p.save();
        p.setClipRect(QRectF(r.x, h - r.y - r.height, r.width, r.height));
        p.drawPixmap(inner, HLNamedImage::pixmap(chosen ? kImageBackCh : kImageBackUn, dpr), QRectF());
        p.restore();
    }
}

void HLTrimlineView::p_click(double x)
{
    if (!m_bIsEnable)
        return;
    const float ratio = G::ratioOfX(x, width());
    if (m_blkClick)
        m_blkClick(ratio);
    update();
}

void HLTrimlineView::mousePressEvent(QMouseEvent *event)
{
    p_click(event->position().x());
}

void HLTrimlineView::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        p_click(event->position().x());
}

void HLTrimlineView::mouseReleaseEvent(QMouseEvent *)
{
    if (m_bIsEnable && m_blkCancel)
        m_blkCancel();
}
