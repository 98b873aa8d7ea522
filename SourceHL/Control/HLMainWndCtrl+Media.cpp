// The media browser of the main window: placed in the right-hand area, switched by the tool
// bar's Media button, its picks handed to the import of photos and videos.
#include "SourceHL/Control/HLMainWndCtrl.h"

#include "Frameworks/Ambrelle/Ambrelle.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMediaImport.h"

#include <QLayout>
#include <QPointer>
#include <QToolButton>

void HLMainWndCtrl::p_setupMedia()
{
    m_vCtrlMedia = std::make_unique<Ambrelle>();
    m_window->vEditPaneArea->layout()->addWidget(m_vCtrlMedia->view());
    m_vCtrlMedia->view()->hide();
    QPointer<HLMainWndCtrl> self(this);
    m_vCtrlMedia->setupFeedback([self](const QStringList &paths) {
        if (!self)
            return;
        self->p_stopEditing();
        self->m_mediaImport->p_addVideosAndImages(paths); // asks where to add them
    });
    connect(m_window->btnMedia, &QToolButton::clicked, this, &HLMainWndCtrl::media);
}

void HLMainWndCtrl::media()
{
    p_stopEditing();
    m_bIsOnMedia = !m_bIsOnMedia;
    p_updateInterfaceBase();
}
