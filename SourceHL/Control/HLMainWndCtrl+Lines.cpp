// The commands of the text line and the audio line: add a title, add music, delete the chosen,
// and the music import's report.
#include "SourceHL/Control/HLMainWndCtrl.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLMachTime.h"
#include "SourceHL/Control/HLAudioImport.h"
#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLTimelineItemUI.h"
#include "widgets/HLViewHelper.h"

#include <QAction>
#include <QPointer>
#include <QToolButton>

namespace {

constexpr double kNewTitleLength = 115;

} // namespace

void HLMainWndCtrl::p_setupLineCommands()
{
    m_audioImport = std::make_unique<HLAudioImport>(*this);
    m_actAddText = new QAction(tr("Add Text"), this);
    connect(m_actAddText, &QAction::triggered, this, &HLMainWndCtrl::addText);
    m_actAddAudio = new QAction(tr("Add Audio…"), this);
    connect(m_actAddAudio, &QAction::triggered, this, &HLMainWndCtrl::addAudios);
    m_actDelete = new QAction(tr("Delete"), this);
    m_actDelete->setShortcuts({QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)});
    m_actDelete->setShortcutContext(Qt::WindowShortcut);
    connect(m_actDelete, &QAction::triggered, this, &HLMainWndCtrl::deleteChosen);
    m_window->addAction(m_actDelete); // the keys work with the menus closed
    connect(m_window->btnAddText, &QToolButton::clicked, this, &HLMainWndCtrl::addText);
    connect(m_window->btnAddAudio, &QToolButton::clicked, this, &HLMainWndCtrl::addAudios);
}

void HLMainWndCtrl::p_setupLineScale()
{
    // Titles keep their place on the shared axis; their times follow the strip's cells.
    QPointer<HLMainWndCtrl> self(this);
    gate().perform(HLChange::None, [&] {
        oTextline()->setupTimeMap([self](float position) {
            return self ? HLTimelineItemUI::timeAtUI(*self->oTimeline(), position) : 0.0f;
        });
        oTextline()->syncPlayTime();
    });
}

QList<QAction *> HLMainWndCtrl::lineActions() const
{
    return {m_actAddText, m_actAddAudio, m_actDelete};
}

void HLMainWndCtrl::p_updateLineActions()
{
    if (!m_actDelete)
        return;
    // Delete needs a choice on one of the three lines. While a sheet is up the window takes no
    // input, and each command checks again when it runs.
    m_actDelete->setEnabled(m_vCtrlContentline->isThereChosen());
}

void HLMainWndCtrl::addText()
{
    if (!hlCanDrop(m_window.get()))
        return;
    p_stopPlaying(); // like every edit of the lines
    p_stopEditing();
    auto title = HLTextItem::textItemOf(HLMachTime::machTimeID());
    const float x = float(HLTimelineItemUI::UIOffsetAt(*oTimeline(), oTimeline()->dNowTime()));
    gate().perform(HLChange::Structure, [&] {
        title->updateLineMin(x, float(x + kNewTitleLength));
        oTextline()->add(title);
    });
}

void HLMainWndCtrl::addAudios()
{
    if (!hlCanDrop(m_window.get()) || m_audioImport->isImporting())
        return;
    m_audioImport->addAudios();
}

void HLMainWndCtrl::deleteChosen()
{
    if (!hlCanDrop(m_window.get()))
        return;
    m_vCtrlContentline->deleteTheChosen();
}
