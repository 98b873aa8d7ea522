#include "SourceHL/View/HLTimelineTransitionBackView.h"

#include "SourceHL/View/HLStripGeometry.h"
#include "SourceHL/View/HLStripPainting.h"
#include "SourceHL/View/HLTimelineCaption.h"

#include <QMouseEvent>
#include <QPainter>

HLTimelineTransitionBackView *HLTimelineTransitionBackView::backViewOf(const QString &ssid)
{
    if (ssid.isEmpty())
        return nullptr;
    return new HLTimelineTransitionBackView(ssid);
}

HLTimelineTransitionBackView::HLTimelineTransitionBackView(const QString &ssid) : m_strID(ssid)
{
    setFixedSize(int(HLStripGeometry::kCellWidth), int(HLStripGeometry::kRowHeight));
}

void HLTimelineTransitionBackView::updateName(const QString &name, float duration)
{
    m_strName = name;
    m_strTitle = HLTimelineCaption::transitionTitleOf(name, duration);
    update();
}

void HLTimelineTransitionBackView::setBIsChosen(bool chosen)
{
    if (chosen == m_bIsChosen)
        return;
    m_bIsChosen = chosen;
    update();
}

void HLTimelineTransitionBackView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    HLStripPainting::drawPanel(painter, *this, QColor::fromRgbF(1, 0.5, 0), m_strTitle, m_bIsChosen);
}

void HLTimelineTransitionBackView::mousePressEvent(QMouseEvent *event)
{
    if (m_blkDown)
        m_blkDown(this, event);
}
