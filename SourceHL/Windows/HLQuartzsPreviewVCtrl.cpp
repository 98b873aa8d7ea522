#include "SourceHL/Windows/HLQuartzsPreviewVCtrl.h"

#include "SourceHL/View/HLQuartzPreviewView.h"
#include "SourceHL/Windows/HLQuartzPreviewVCtrl.h"
#include "SourceHL/Windows/HLTemplateInfoView.h"
#include "SourceHL/Windows/HLUIQuartzBottomView.h"
#include "SourceHL/Windows/HLUIQuartzListView.h"
#include "widgets/HLNamedImage.h"

#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace {

constexpr int kTabHeight = 26;
constexpr int kBottomHeight = 36;

struct Tab
{
    const char *title;
    const char *image;
};
constexpr Tab kTabs[4] = {{"Slideshow", "TemplateSlid"},
                          {"General", "TemplateGene"},
                          {"Transition", "TemplateTran"},
                          {"Text", "TemplateText"}};

bool isTab(QuartzUIType uiType)
{
    return uiType >= 0 && uiType < 4;
}

} // namespace

HLQuartzsPreviewVCtrl::HLQuartzsPreviewVCtrl()
    : m_view(new QWidget)
    , m_vPreview(new QWidget)
    , m_btnApply(new QPushButton(tr("Apply")))
{
    m_view->setObjectName(QStringLiteral("HLQuartzsPreviewVCtrl"));
    QPointer<HLQuartzsPreviewVCtrl> self(this);
    for (QuartzUIType type = 0; type < 4; ++type) {
        m_vCtrls[type] = HLQuartzPreviewVCtrl::quartzPreviewVCtrlOf(type);
        m_vCtrls[type]->setupFeedback([self] {
            if (self)
                self->p_updateInterfaceAll();
        });
    }

    auto *column = new QVBoxLayout(m_view);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The tab places, one row each.
    auto *list = new HLUIQuartzListView;
    list->setObjectName(QStringLiteral("vQuartzList"));
    auto *places = new QVBoxLayout(list);
    places->setContentsMargins(0, 0, 0, 0);
    places->setSpacing(0);
    const auto down = [self](HLTemplateInfoView *tab) {
        if (!self)
            return;
        QuartzUIType type = QuartzUITypeSlideshow;
        for (QuartzUIType each = 1; each < 4; ++each)
            if (tab == self->m_vTemplates[each])
                type = each;
        self->p_switchTo(type);
    };
    for (QuartzUIType type = 0; type < 4; ++type) {
        const QString name = QString::fromLatin1(kTabs[type].image);
        const QPixmap image = HLNamedImage::pixmap(name, m_view->devicePixelRatioF());
        HLTemplateInfoView *tab = HLTemplateInfoView::templateInfoViewOf(tr(kTabs[type].title), image, list);
        if (!tab) { // the picture is one of ours; without it the tab still shows its title
            QPixmap blank(16, 16);
            blank.fill(Qt::transparent);
            tab = HLTemplateInfoView::templateInfoViewOf(tr(kTabs[type].title), blank, list);
        }
        tab->setFixedHeight(kTabHeight);
        tab->setupMouseDown(down);
        places->addWidget(tab);
        m_vTemplates[type] = tab;
    }
    column->addWidget(list);

    // The grids lie on top of each other; only the shown one is visible.
    m_vPreview->setObjectName(QStringLiteral("vPreview"));
    auto *stack = new QStackedLayout(m_vPreview);
    stack->setStackingMode(QStackedLayout::StackAll);
    for (const auto &grid : m_vCtrls)
        stack->addWidget(grid->view());
    column->addWidget(m_vPreview, 1);

    auto *bottom = new HLUIQuartzBottomView;
    bottom->setFixedHeight(kBottomHeight);
    auto *bar = new QHBoxLayout(bottom);
    bar->setContentsMargins(8, 5, 8, 5);
    bar->addStretch(1);
    m_btnApply->setObjectName(QStringLiteral("btnApply"));
    connect(m_btnApply, &QPushButton::clicked, this, &HLQuartzsPreviewVCtrl::apply);
    bar->addWidget(m_btnApply);
    column->addWidget(bottom);

    updateNow(0, QString());
    p_switchTo(QuartzUITypeSlideshow);
}

HLQuartzsPreviewVCtrl::~HLQuartzsPreviewVCtrl()
{
    // The grids go first: their timers stop before their views do.
    for (auto &grid : m_vCtrls)
        grid.reset();
    delete m_view.data();
}

QuartzUIType HLQuartzsPreviewVCtrl::enNowUIType() const
{
    return HLQuartzRules::UITypeOf(m_enNowType, m_strNowName.toStdString());
}

HLQuartzPreviewVCtrl *HLQuartzsPreviewVCtrl::p_previewVCtrlOf(QuartzUIType uiType) const
{
    return isTab(uiType) ? m_vCtrls[uiType].get() : nullptr;
}

HLTemplateInfoView *HLQuartzsPreviewVCtrl::p_templateViewOf(QuartzUIType uiType) const
{
    return isTab(uiType) ? m_vTemplates[uiType] : nullptr;
}

void HLQuartzsPreviewVCtrl::setBEnable(bool enable)
{
    m_bEnable = enable;
    p_updateInterfaceAll();
}

void HLQuartzsPreviewVCtrl::updateNow(std::int64_t type, const QString &name)
{
    m_enNowType = type;
    m_strNowName = name;
    const QuartzUIType now = enNowUIType();
    for (const auto &grid : m_vCtrls)
        grid->clear();
    for (QuartzUIType tab = 0; tab < 4; ++tab) {
        m_vCtrls[tab]->setBCanChoose(m_bEnable && HLQuartzRules::isSameTypeOf(tab, now));
        m_vCtrls[tab]->setStrChosenName(tab == now ? name : QString());
    }
    if (isTab(now))
        m_vCtrls[now]->scrollToVisible();
}

void HLQuartzsPreviewVCtrl::switchTo(std::int64_t type, const QString &name)
{
    p_switchTo(HLQuartzRules::UITypeOf(type, name.toStdString()));
}

void HLQuartzsPreviewVCtrl::switchToTheSame()
{
    p_switchTo(m_enTmpUIType);
}

HLQuartzPreviewView *HLQuartzsPreviewVCtrl::previewViewOf(std::int64_t type, const QString &name) const
{
    HLQuartzPreviewVCtrl *grid = p_previewVCtrlOf(HLQuartzRules::UITypeOf(type, name.toStdString()));
    return grid ? grid->quartzPreviewOf(name) : nullptr;
}

void HLQuartzsPreviewVCtrl::apply()
{
    const QString name = p_typedShowName();
    // Apply is offered only with a template chosen for an item of the shown tab's kind.
    if (m_blkApply && m_btnApply->isEnabled() && !name.isEmpty())
        m_blkApply(m_enNowType, name);
}

QString HLQuartzsPreviewVCtrl::p_typedShowName() const
{
    HLQuartzPreviewVCtrl *grid = p_previewVCtrlOf(m_enTmpUIType);
    return grid ? grid->strChosenName() : QString();
}

void HLQuartzsPreviewVCtrl::p_switchTo(QuartzUIType uiType)
{
    m_enTmpUIType = uiType;
    for (QuartzUIType tab = 0; tab < 4; ++tab) {
        m_vTemplates[tab]->setBIsChosen(tab == uiType);
        QWidget *grid = m_vCtrls[tab]->view();
        if (grid->isHidden() != (tab != uiType))
            grid->setHidden(tab != uiType);
    }
    p_updateInterfaceAll();
}

void HLQuartzsPreviewVCtrl::p_updateInterfaceAll()
{
    m_btnApply->setEnabled(m_bEnable && HLQuartzRules::isSameTypeOf(enNowUIType(), m_enTmpUIType) &&
                           !p_typedShowName().isEmpty());
}
