// The main window's secondary windows: the slide sorter, the settings and the output size.
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
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

namespace {

// What the sorter can change: the slideshow items and the pictures in each, in order.
QList<QStringList> arrangementOf(const HLTimelineItem &timeline)
{
    QList<QStringList> arrangement;
    for (const auto &item : timeline.aryItems())
        arrangement.append(QStringList{item->strSSID()} + item->resourceHashIDs());
    return arrangement;
}

} // namespace

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
        if (!self || (mode == self->m_oTimeline->iMode() && type == self->m_oAudioline->enType()))
            return;
        self->m_gate->perform([&] {
            self->m_oTimeline->setIMode(mode);
            self->m_oAudioline->setEnType(type);
            self->m_oAudioline->arrange();
        });
        self->m_vCtrlContentline->updateAudiolineUI();
        self->m_vCtrlContentline->updateAudiolineWidth();
        self->p_updateInterfaceBase();
        self->p_documentEdited();
        self->p_seekAt(self->m_dNowTime);
    });
    m_sizeWndCtrl->setup([self](QSizeF size) {
        if (!self || size == self->m_oSizer->szRender())
            return;
        self->m_gate->perform([&] {
            self->m_oSizer->setSzRender(size);
            HLRenderContextPool::sharedRenderContextPool().updateLimitContextsBy(self->m_oSizer->typedRenderSize());
        });
        self->p_seekAt(self->m_dNowTime);
        self->p_updateInterfaceSize();
        self->p_documentEdited();
    });
    connect(m_window->btnSort, &QToolButton::clicked, this, &HLMainWndCtrl::sort);
    connect(m_window->btnSetting, &QToolButton::clicked, this, &HLMainWndCtrl::setting);
    connect(m_window->btnSize, &QToolButton::clicked, this, &HLMainWndCtrl::size);
}

QWidget *HLMainWndCtrl::p_sheetHost() const
{
    if (m_bIsSorting && m_sortWndCtrl)
        return m_sortWndCtrl->window();
    return m_window.get();
}

void HLMainWndCtrl::sort()
{
    p_stopPlaying();
    p_stopEditing();
    // Nothing renders while the sorter is open: the edits it makes wait for no job.
    m_gate->stopPreview();
    const auto timeline = m_oTimeline;
    const QList<QStringList> before = arrangementOf(*timeline);
    m_bIsSorting = true;
    m_sortWndCtrl->sortModel(timeline, *m_gate);
    m_bIsSorting = false;
    if (timeline != m_oTimeline || arrangementOf(*timeline) == before)
        return;
    m_gate->perform([&] { m_oTextline->syncPlayTime(); });
    m_vCtrlContentline->updateTimelineUI();
    m_vCtrlContentline->updateContentlineWidth();
    p_updateInterfaceBase();
    p_documentEdited();
    m_vCtrlContentline->seekNow();
}

void HLMainWndCtrl::setting()
{
    p_stopPlaying();
    p_stopEditing();
    m_settingWndCtrl->editMode(m_oTimeline->iMode(), m_oAudioline->enType());
}

void HLMainWndCtrl::size()
{
    p_stopPlaying();
    m_sizeWndCtrl->editSize(m_oSizer->szRender());
}
