// The template chooser and the slideshow and transition editors of the main window: the
// chooser in the right-hand area (the browsing pane while the media browser is not shown),
// applying its choice to the chosen item; the editors installed with the window's edit hook,
// their tiles borrowing the chooser's, their apply-to-all questions asked here.
#include "SourceHL/Control/HLMainWndCtrl.h"

#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Editors/HLSlideshowEditVCtrl.h"
#include "SourceHL/Editors/HLTransitionEditVCtrl.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"
#include "SourceHL/View/HLQuartzPreviewView.h"
#include "SourceHL/Windows/HLQuartzsPreviewVCtrl.h"

#include <QLayout>
#include <QPointer>

void HLMainWndCtrl::p_setupTemplateWindows()
{
    QPointer<HLMainWndCtrl> self(this);
    m_vCtrlQuartzs = std::make_unique<HLQuartzsPreviewVCtrl>();
    m_window->vEditPaneArea->layout()->addWidget(m_vCtrlQuartzs->view());
    m_vCtrlQuartzs->setupApply([self](std::int64_t type, const QString &name) {
        if (self)
            self->p_applyTemplate(type, name);
    });
    connect(this, &HLMainWndCtrl::projectReplaced, this, &HLMainWndCtrl::p_updateChooser);

    const HLEditWrite write = [self](HLChange::Kinds kinds, const std::function<void()> &edit) {
        if (self)
            self->gate().perform(kinds, edit);
    };
    const auto itemOf = [self](const QString &ssid) {
        return self ? self->oTimeline()->slideshowItemOf(ssid) : nullptr;
    };
    // The editor's tile shows, and plays on hover, the chooser's tile of its template.
    const HLTemplatePopUp::SyncBlock sync = [self](HLQuartzPreviewView *tile, qint64 type, const QString &name) {
        HLQuartzPreviewView *chooser = self ? self->m_vCtrlQuartzs->previewViewOf(type, name) : nullptr;
        if (chooser) {
            tile->syncContentWith(*chooser);
            return;
        }
        tile->setStrTitle(QString());
        tile->setImgStatic(QImage());
        tile->setUpMouseEnter({}, {}, {});
        tile->QWidget::update();
    };
    const auto end = [self] {
        if (self)
            self->p_stopEditing();
    };

    m_vCtrlSlideshowEdit = std::make_unique<HLSlideshowEditVCtrl>();
    m_vCtrlSlideshowEdit->setUp(write, itemOf);
    m_vCtrlSlideshowEdit->setUpSync(sync, end);
    m_vCtrlSlideshowEdit->setUpApplyToAllDis(
        [self](float seconds) {
            if (self)
                self->p_applyToAll(tr("Do you want to apply photo show duration to all slideshow items?"),
                                   HLChange::Timing, seconds > 0,
                                   [self, seconds] { self->oTimeline()->applySlideshowDisplayToAll(seconds); });
        },
        [self](float seconds) {
            if (self)
                self->p_applyToAll(tr("Do you want to apply photo transition duration to all slideshow items?"),
                                   HLChange::Timing, seconds > 0,
                                   [self, seconds] { self->oTimeline()->applySlideshowAnimateToAll(seconds); });
        });
    installEditor(HLEditorPane::Slideshow, m_vCtrlSlideshowEdit.get());

    m_vCtrlTransitionEdit = std::make_unique<HLTransitionEditVCtrl>();
    m_vCtrlTransitionEdit->setUp(write, itemOf);
    m_vCtrlTransitionEdit->setUpSync(sync, end);
    m_vCtrlTransitionEdit->setUpApplyToAllDura(
        [self](float seconds) {
            if (self)
                self->p_applyToAll(tr("Do you want to apply transition duration to all transition items?"),
                                   HLChange::Timing, seconds > 0,
                                   [self, seconds] { self->oTimeline()->applyTransitionDurationToAll(seconds); });
        },
        [self](const QVariantMap &info) {
            if (self)
                self->p_applyToAll(tr("Do you want to apply transition template to all transition items?"),
                                   HLChange::Style, !info.isEmpty(),
                                   [self, info] { self->oTimeline()->applyTransitionInfoToAll(info); });
        });
    installEditor(HLEditorPane::Transition, m_vCtrlTransitionEdit.get());
}

void HLMainWndCtrl::p_applyToAll(const QString &information, HLChange::Kinds kinds, bool valid,
                                 const std::function<void()> &apply)
{
    // A length of 0 or less or an empty template is never offered to every item.
    if (!valid)
        return;
    const int answer = HLMediaImport::p_alertStyle(0, tr("Choose"), information, {tr("OK"), tr("Cancel")});
    if (answer == 1000)
        gate().perform(kinds, apply);
}

HLQuartzsPreviewVCtrl *HLMainWndCtrl::vCtrlQuartzs() const
{
    return m_vCtrlQuartzs.get();
}

HLSlideshowEditVCtrl *HLMainWndCtrl::vCtrlSlideshowEdit() const
{
    return m_vCtrlSlideshowEdit.get();
}

HLTransitionEditVCtrl *HLMainWndCtrl::vCtrlTransitionEdit() const
{
    return m_vCtrlTransitionEdit.get();
}

std::pair<std::int64_t, QString> HLMainWndCtrl::p_chosenTemplate() const
{
    if (!m_choice.strTSSID.isEmpty()) {
        const auto item = oTimeline()->slideshowItemOf(m_choice.strTSSID);
        if (item && item->oTransitionInfo())
            return {HLRenderTypeTransition, item->oTransitionInfo()->strName()};
        return {HLRenderTypeTransition, QString()};
    }
    if (!m_choice.strSSSID.isEmpty()) {
        const auto item = oTimeline()->slideshowItemOf(m_choice.strSSSID);
        if (item && item->oSlideshowInfo())
            return {HLRenderTypeSlideshow, item->oSlideshowInfo()->strName()};
        return {HLRenderTypeSlideshow, QString()};
    }
    if (!m_choice.strTTID.isEmpty()) {
        const auto item = oTextline()->textItemOf(m_choice.strTTID);
        // a static title has no template
        return {HLRenderTypeText, item && item->oTextInfo() ? item->oTextInfo()->strName() : QString()};
    }
    return {HLRenderTypeSlideshow, QString()};
}

void HLMainWndCtrl::p_updateChooser()
{
    if (!m_vCtrlQuartzs)
        return;
    const auto [type, name] = p_chosenTemplate();
    m_vCtrlQuartzs->setBEnable(hl_interfaceStateOf(interfaceInputs()).chooserEnabled);
    m_vCtrlQuartzs->updateNow(type, name);
    if (!name.isEmpty())
        m_vCtrlQuartzs->switchTo(type, name);
    else
        m_vCtrlQuartzs->switchToTheSame();
}

void HLMainWndCtrl::p_applyTemplate(std::int64_t type, const QString &name)
{
    p_stopPlaying();
    const auto pool = HLQuartzPool::quartzPoolOf(type);
    const auto info = pool ? pool->infoDicOf(name) : std::nullopt;
    if (!info)
        return;
    const HLContentChoice choice = m_choice;
    gate().perform(HLChange::Timing | HLChange::Style, [&] {
        if (type == HLRenderTypeSlideshow) {
            if (const auto item = oTimeline()->slideshowItemOf(choice.strSSSID)) {
                item->updateSlideshow(*info);
                item->oRenderEdit()->makeDirty();
            }
        } else if (type == HLRenderTypeTransition) {
            if (const auto item = oTimeline()->slideshowItemOf(choice.strTSSID))
                item->updateTransition(*info);
        } else if (const auto item = oTextline()->textItemOf(choice.strTTID)) {
            item->updateText(*info);
            item->oTextEdit()->makeDirty();
        }
    });
    p_updateChooser();
}
