#include "SourceHL/Editors/HLTrimUnitView.h"

#include "widgets/HLNamedImage.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace G = HLTrimlineGeometry;

HLTrimUnitView::HLTrimUnitView(TrimUnitType type, QWidget *strip)
    : m_enumType(type)
    , m_vTrimline(strip)
{
    resize(int(G::handleWidth(type)), int(G::handleHeight(type)));
}

HLTrimUnitView *HLTrimUnitView::trimUnitViewOf(TrimUnitType type, QWidget *strip)
{
    return new HLTrimUnitView(type, strip);
}

void HLTrimUnitView::setupClick(Callback click, Callback change, Callback cancel)
{
    m_blkClick = std::move(click);
    m_blkChange = std::move(change);
    m_blkCancel = std::move(cancel);
}

double HLTrimUnitView::dNow() const
{
    if (!parentWidget() || !m_vTrimline || m_vTrimline->width() <= 0)
        return 0.0;
    const QPointF anchor(G::handleAnchor(m_enumType, m_left), 0);
    const QPointF inStrip = m_vTrimline->mapFromGlobal(parentWidget()->mapToGlobal(anchor));
    return float(inStrip.x() / m_vTrimline->width());
}

void HLTrimUnitView::setDNow(double ratio)
{
    double x = 0;
    if (parentWidget() && m_vTrimline && m_vTrimline->width() > 0) {
        const QPointF inParent = parentWidget()->mapFromGlobal(m_vTrimline->mapToGlobal(QPointF(m_vTrimline->width() * ratio, 0)));
        x = G::handleLeft(m_enumType, inParent.x());
    }
    m_left = x;
    // y-up origin 0: the handle stands on its parent's bottom edge.
    move(int(std::lround(x)), parentWidget() ? parentWidget()->height() - height() : 0);
}

QString HLTrimUnitView::imageName() const
{
    static const char *kinds[3] = {"Min", "Mid", "Max"};
    return QStringLiteral("Trim%1%2").arg(QLatin1String(kinds[m_enumType]), m_bIsChoosen ? "Ch" : "Un");
}

void HLTrimUnitView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawPixmap(QRectF(rect()), HLNamedImage::pixmap(imageName(), devicePixelRatioF()), QRectF());
}

void HLTrimUnitView::mousePressEvent(QMouseEvent *event)
{
    if (!p_canTrack())
        return;
    m_dTmpNow = dNow();
    m_pntMark = mapTo(window(), event->position()); // a synthetic event's scene position may be its local one
    const QPointF local = event->position();
    m_bIsValid = G::handleContains(m_enumType, local.x(), height() - local.y());
    if (m_bIsValid) {
        if (m_enumType == G::TrimUnitMid)
            m_bIsChoosen = true;
        if (m_blkClick)
            m_blkClick(this);
    }
    update();
}

void HLTrimUnitView::mouseMoveEvent(QMouseEvent *event)
{
    if (!p_canTrack() || !m_bIsValid || !(event->buttons() & Qt::LeftButton))
        return;
    float r = float(m_dTmpNow + (mapTo(window(), event->position()).x() - m_pntMark.x()) / m_vTrimline->width());
    r = std::min(std::max(r, float(m_dMin)), float(m_dMax));
    if (r != float(dNow())) {
        setDNow(r);
        if (m_blkChange)
            m_blkChange(this);
    }
    update();
}

void HLTrimUnitView::mouseReleaseEvent(QMouseEvent *)
{
    if (!p_canTrack() || !m_bIsValid)
        return;
    if (m_enumType == G::TrimUnitMid)
        m_bIsChoosen = false;
    if (m_blkCancel)
        m_blkCancel(this);
    update();
}
