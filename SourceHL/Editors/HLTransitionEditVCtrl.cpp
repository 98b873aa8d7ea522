#include "SourceHL/Editors/HLTransitionEditVCtrl.h"

#include "SourceHL/Editors/HLDurationControl.h"
#include "SourceHL/Editors/HLUIEditBackView.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"
#include "SourceHL/View/HLQuartzPreviewView.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

HLTransitionEditVCtrl::HLTransitionEditVCtrl() : HLSlideshowItemPane(new HLUIEditBackView)
{
    m_view->setObjectName(QStringLiteral("HLTransitionEditVCtrl"));
    auto *column = new QVBoxLayout(m_view);
    column->setContentsMargins(2, 10, 0, 0);
    auto *title = new QLabel(tr("Transition"));
    QFont font = title->font();
    font.setBold(true);
    title->setFont(font);
    column->addWidget(title);

    auto *grid = new QGridLayout;
    m_duration = new HLDurationControl(0.1f, 10.0f, m_view);
    m_btnApplyToAllDuration = new QPushButton(tr("Apply to All"));
    grid->addWidget(new QLabel(tr("Duration")), 0, 0);
    grid->addWidget(m_duration->slider(), 0, 1);
    grid->addWidget(m_duration->field(), 0, 2);
    grid->addWidget(m_btnApplyToAllDuration, 0, 3);
    m_quartz = new HLTemplatePopUp(2, m_view);
    m_btnApplyToAllInformation = new QPushButton(tr("Apply to All"));
    grid->addWidget(new QLabel(tr("Template")), 1, 0);
    grid->addWidget(m_quartz->ppBtnQuartzNames(), 1, 1, 1, 2);
    grid->addWidget(m_btnApplyToAllInformation, 1, 3);
    grid->addWidget(m_quartz->vQuartzPreview(), 2, 1, 1, 2);
    grid->setColumnStretch(1, 1);
    column->addLayout(grid);
    column->addStretch(1);

    auto *bottom = new HLUIEditBottomView;
    bottom->setFixedHeight(36);
    auto *bar = new QHBoxLayout(bottom);
    bar->setContentsMargins(10, 5, 10, 5);
    bar->addStretch(1);
    m_btnDone = new QPushButton(tr("Done"));
    bar->addWidget(m_btnDone);
    column->addWidget(bottom);
    grid->setContentsMargins(12, 0, 12, 0);
    title->setContentsMargins(12, 0, 0, 0);

    m_duration->setupValue([this](float seconds) {
        if (!m_oItem)
            return;
        const auto item = m_oItem;
        const auto write = [&] { item->setDTransition(seconds); };
        if (m_write)
            m_write(HLChange::Timing, write);
        else
            write();
        p_refreshDuration();
    });
    m_quartz->setupChoose([this](const QString &name) { changeQuartzName(name); });
    connect(m_btnApplyToAllDuration, &QPushButton::clicked, this, &HLTransitionEditVCtrl::applyToAllDuration);
    connect(m_btnApplyToAllInformation, &QPushButton::clicked, this, &HLTransitionEditVCtrl::applyToAllInformation);
    connect(m_btnDone, &QPushButton::clicked, this, [this] {
        if (m_blkEnd)
            m_blkEnd();
    });
    p_refreshAll();
}

void HLTransitionEditVCtrl::setUpApplyToAllDura(std::function<void(float)> dura,
                                                std::function<void(const QVariantMap &)> info)
{
    m_blkDura = std::move(dura);
    m_blkInfo = std::move(info);
}

void HLTransitionEditVCtrl::p_itemChanged(bool)
{
    p_refreshAll();
}

void HLTransitionEditVCtrl::applyToAllDuration()
{
    // Every transition gets a positive length or nothing.
    if (m_oItem && m_blkDura && m_oItem->dTransition() > 0)
        m_blkDura(m_oItem->dTransition());
}

void HLTransitionEditVCtrl::changeQuartzName(const QString &name)
{
    if (!m_oItem)
        return;
    const auto info = HLQuartzPool::quartzPoolOf(2)->infoDicOf(name);
    if (info) {
        const auto item = m_oItem;
        const auto write = [&] { item->updateTransition(*info); };
        if (m_write)
            m_write(HLChange::Style, write);
        else
            write();
    }
    p_refreshTemplate();
}

void HLTransitionEditVCtrl::applyToAllInformation()
{
    if (!m_oItem || !m_blkInfo)
        return;
    // No template is chosen while the item's is one the catalogue doesn't list.
    const auto info = HLQuartzPool::quartzPoolOf(2)->infoDicOf(m_quartz->selectedName());
    if (info && !info->isEmpty())
        m_blkInfo(*info);
}

void HLTransitionEditVCtrl::p_refreshAll()
{
    p_refreshDuration();
    p_refreshTemplate();
}

void HLTransitionEditVCtrl::p_refreshDuration()
{
    const bool editing = bool(m_oItem);
    m_duration->setEnabled(editing);
    m_btnApplyToAllDuration->setEnabled(editing);
    m_btnApplyToAllInformation->setEnabled(editing);
    m_duration->setValue(editing ? m_oItem->dTransition() : 0.0f);
}

void HLTransitionEditVCtrl::p_refreshTemplate()
{
    const bool known = m_oItem && m_oItem->oTransitionInfo();
    m_quartz->refresh(bool(m_oItem), known ? m_oItem->oTransitionInfo()->strName() : QString());
}
