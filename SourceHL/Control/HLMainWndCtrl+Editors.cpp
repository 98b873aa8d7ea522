#include "SourceHL/Control/HLMainWndCtrl.h"

#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Editors/HLAudioEditVCtrl.h"
#include "SourceHL/Editors/HLImageEditVCtrl.h"
#include "SourceHL/Editors/HLTextEditVCtrl.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLQuartzItem.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/View/HLQuartzPreviewView.h"

#include <QPointer>

void HLMainWndCtrl::p_setupEditors()
{
    m_vCtrlImageEdit = std::make_unique<HLImageEditVCtrl>();
    installEditor(HLEditorPane::Image, m_vCtrlImageEdit.get());

    // Every pane writes the model through the gate; the announcement refreshes and marks.
    const HLEditWrite write = p_editorContext().write;
    m_vCtrlTextEdit = std::make_unique<HLTextEditVCtrl>(write);
    m_vCtrlTextEdit->setUpLookup([this](const QString &identifier) {
        return HLTextEditVCtrl::Target{oTextline()->textItemOf(identifier), m_window->vDisplayBackView,
                                       oSizer()->renderRatio()};
    });
    // The editor's tile shows the chosen template's name and picture; static text empties it.
    m_vCtrlTextEdit->setUpSync(
        [](HLQuartzPreviewView *tile, int kind, const std::optional<QString> &name) {
            const auto pool = HLQuartzPool::quartzPoolOf(kind);
            const auto item = pool && name ? pool->quartzOf(*name) : nullptr;
            tile->setStrTitle(item ? item->strName() : QString());
            tile->setImgStatic(item ? item->imgThumb() : QImage());
            tile->update(QImage());
        },
        [this] { p_stopEditing(); });

    m_vCtrlAudioEdit = std::make_unique<HLAudioEditVCtrl>(write);
    m_vCtrlAudioEdit->setUpLookup([this](const QString &identifier) {
        return HLAudioEditVCtrl::Target{oAudioline()->audioItemOf(identifier), oAudioline()->enType()};
    });
    m_vCtrlAudioEdit->setUp([this] { p_stopEditing(); });

    installEditor(HLEditorPane::Text, m_vCtrlTextEdit.get());
    installEditor(HLEditorPane::Audio, m_vCtrlAudioEdit.get());
}

HLEditorContext HLMainWndCtrl::p_editorContext()
{
    HLEditorContext context;
    QPointer<HLMainWndCtrl> self(this);
    context.write = [self](HLChange::Kinds kinds, const std::function<void()> &write) {
        if (self)
            self->gate().perform(kinds, write);
    };
    context.contents = [self] { return self ? self->contents() : HLProjectContents(); };
    context.previewHost = m_window->vDisplayBackView;
    context.end = [self] {
        if (self)
            self->p_stopEditing();
    };
    return context;
}

void HLMainWndCtrl::p_arrangeAfterAudioEditing()
{
    // Only a line whose clips no longer lie end to end is an edit; one left as it was is not.
    const HLAudiolineItem &line = *oAudioline();
    if (line.enType() != 0)
        return;
    float end = 0;
    bool arranged = true;
    for (const auto &item : line.aryItems()) {
        arranged = arranged && item->dPlayMin() == end && item->dPlayMax() == end + item->dTrimDuration();
        end += item->dTrimDuration();
    }
    if (!arranged)
        gate().perform(HLChange::Timing, [&] { oAudioline()->arrange(); });
}
