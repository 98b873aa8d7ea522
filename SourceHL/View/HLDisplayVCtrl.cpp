#include "SourceHL/View/HLDisplayVCtrl.h"

#include "SourceHL/View/HLDisplayView.h"

HLDisplayVCtrl::HLDisplayVCtrl(QWidget *parent)
    : QWidget(parent), m_vDisplayImage(new HLDisplayView(this)), m_vDisplayText(new HLDisplayView(this))
{
    m_vDisplayImage->setObjectName(QStringLiteral("vDisplayImage"));
    m_vDisplayText->setObjectName(QStringLiteral("vDisplayText"));
    m_vDisplayImage->setClBack(QColor::fromRgbF(0.12, 0.12, 0.12, 1.0));
    m_vDisplayText->raise();
}

void HLDisplayVCtrl::updateImage(const QImage &frame)
{
    m_vDisplayImage->update(frame);
}

void HLDisplayVCtrl::updateText(const QImage &titles)
{
    m_vDisplayText->update(titles);
}

void HLDisplayVCtrl::hiddenImage(bool hidden)
{
    m_vDisplayImage->setHidden(hidden);
}

void HLDisplayVCtrl::hiddenText(bool hidden)
{
    m_vDisplayText->setHidden(hidden);
}

void HLDisplayVCtrl::resizeEvent(QResizeEvent *)
{
    m_vDisplayImage->setGeometry(rect());
    m_vDisplayText->setGeometry(rect());
}
