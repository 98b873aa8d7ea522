// The main window's secondary windows: the slide sorter, the settings and the output size.
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLProjectSession.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/Windows/HLSettingWndCtrl.h"
#include "SourceHL/Windows/HLSizeWndCtrl.h"
#include "SourceHL/Windows/HLSortWndCtrl.h"

#include <QDialog>
#include <QPointer>
#include <QToolButton>

#include <utility>

void HLMainWndCtrl::p_setupWindows()
{
    m_sortWndCtrl = new HLSortWndCtrl(this);
    m_settingWndCtrl = new HLSettingWndCtrl(this);
    m_sizeWndCtrl = new HLSizeWndCtrl(this);
    QPointer<HLMainWndCtrl> self(this);
    m_sortWndCtrl->setUpAdd(
        [self](const QStringList &paths, HLSortWndCtrl::AddCompletion completion) {
            if (self)
                self->m_mediaImport->p_addVideosAndImages(paths, std::move(completion));
        },
        nullptr); // sort() refreshes once the sorter has closed
    m_settingWndCtrl->setup([self](quint64 mode, qint64 type) {
        if (!self)
            return;
        const HLProjectSession &session = *self->session();
        if (mode == session.oTimeline()->iMode() && type == session.oAudioline()->enType())
            return;
        session.gate().perform(HLChange::Structure, [&] {
            session.oTimeline()->setIMode(mode);
            session.oAudioline()->setEnType(type);
            session.oAudioline()->arrange();
        });
    });
    m_sizeWndCtrl->setup([self](QSizeF size) {
        if (!self)
            return;
        const HLProjectSession &session = *self->session();
        if (size == session.oSizer()->szRender())
            return;
        session.gate().perform(HLChange::Style, [&] {
            session.oSizer()->setSzRender(size);
            HLRenderContextPool::sharedRenderContextPool().updateLimitContextsBy(session.oSizer()->typedRenderSize());
        });
        self->p_updateInterfaceSize();
    });
    connect(m_window->btnSort, &QToolButton::clicked, this, &HLMainWndCtrl::sort);
    connect(m_window->btnSetting, &QToolButton::clicked, this, &HLMainWndCtrl::setting);
    connect(m_window->btnSize, &QToolButton::clicked, this, &HLMainWndCtrl::size);
}

void HLMainWndCtrl::sort()
{
    p_stopPlaying();
    p_stopEditing();
    // Nothing renders while the sorter is open: the edits it makes wait for no job.
    gate().stopPreview();
    m_iSortedKinds = HLChange::None;
    m_bIsSorting = true;
    m_sortWndCtrl->sortModel(oTimeline(), gate());
    m_bIsSorting = false;
    if (m_iSortedKinds != HLChange::None)
        p_projectDidChange(std::exchange(m_iSortedKinds, HLChange::None));
}

void HLMainWndCtrl::setting()
{
    p_stopPlaying();
    p_stopEditing();
    m_settingWndCtrl->editMode(oTimeline()->iMode(), oAudioline()->enType());
}

void HLMainWndCtrl::size()
{
    p_stopPlaying();
    m_sizeWndCtrl->editSize(oSizer()->szRender());
}
