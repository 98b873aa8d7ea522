#include "SourceHL/Control/HLMainWndCtrl.h"

#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Editors/HLImageEditVCtrl.h"

#include <QPointer>

void HLMainWndCtrl::p_setupEditors()
{
    m_vCtrlImageEdit = std::make_unique<HLImageEditVCtrl>();
    installEditor(HLEditorPane::Image, m_vCtrlImageEdit.get());
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
