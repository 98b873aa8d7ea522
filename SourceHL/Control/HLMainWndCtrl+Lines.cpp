// The text line and the audio line of the main window: placing their rows, their choices and
// content reports, and the commands that act on them.
#include "SourceHL/Control/HLMainWndCtrl.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLMachTime.h"
#include "SourceHL/Control/HLAudioImport.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLTextlineVCtrl.h"
#include "SourceHL/Control/HLTimelineVCtrl.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include "SourceHL/View/HLLineGeometry.h"
#include "SourceHL/View/HLTextItemView.h"
#include "SourceHL/View/HLTextlineBackView.h"
#include "SourceHL/View/HLStripGeometry.h"
#include "SourceHL/View/HLTimelineItemUI.h"
#include "widgets/HLViewHelper.h"

#include <QAction>
#include <QPointer>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>


namespace {

constexpr double kNewTitleLength = 115;
constexpr double kAudiolineTail = 50;

} // namespace

void HLMainWndCtrl::p_setupLines()
{
    m_vCtrlTextline = std::make_unique<HLTextlineVCtrl>();
    m_vCtrlAudioline = std::make_unique<HLAudiolineVCtrl>();
    m_audioImport = std::make_unique<HLAudioImport>(*this);
    HLContentlineVCtrl &contentline = *m_vCtrlContentline;

    // The text line shares the strip's scrolled area and time axis: its row goes under the
    // strip, the line centred in it.
    QWidget *textRow = m_window->vTextlineBackView;
    auto *textLayout = new QVBoxLayout(textRow);
    textLayout->setContentsMargins(0, 0, 0, 0);
    m_vCtrlTextline->view()->setFixedHeight(int(kTextlineRowHeight));
    textLayout->addWidget(m_vCtrlTextline->view(), 0, Qt::AlignVCenter);
    QPointer<HLMainWndCtrl> self(this);
    HLContentlineVCtrl::LineHooks textHooks;
    textHooks.clear = [self] {
        if (self)
            self->m_vCtrlTextline->clear();
    };
    textHooks.deleteTheChosen = [self] {
        if (self)
            self->m_vCtrlTextline->deleteTheChosen();
    };
    contentline.addTextline(textRow, textRow->height(), std::move(textHooks));
    m_window->vSlideshowStripHost->setFixedHeight(contentline.view()->minimumSizeHint().height());
    // The audio line scrolls on its own: its cells follow the order of the music, not time.
    auto *audioScroll = new QScrollArea;
    audioScroll->setObjectName(QStringLiteral("slvAudioline"));
    audioScroll->setFrameShape(QFrame::NoFrame);
    audioScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    audioScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    audioScroll->setWidgetResizable(true); // never narrower than what is visible
    audioScroll->setWidget(m_vCtrlAudioline->view());
    // The row's painted background shows through: the line has none of its own.
    audioScroll->viewport()->setAutoFillBackground(false);
    m_vCtrlAudioline->view()->setAutoFillBackground(false);
    auto *audioRow = m_window->findChild<QWidget *>(QStringLiteral("vAudiolineBackView"));
    auto *audioLayout = new QVBoxLayout(audioRow);
    audioLayout->setContentsMargins(int(HLStripGeometry::kLineMargin), 3, 0, 0);
    audioLayout->addWidget(audioScroll);
    m_vCtrlAudioline->view()->setFixedHeight(int(kAudioCellHeight));
    HLContentlineVCtrl::LineHooks audioHooks;
    audioHooks.clear = [self] {
        if (self)
            self->m_vCtrlAudioline->clear();
    };
    audioHooks.deleteTheChosen = [self] {
        if (self)
            self->m_vCtrlAudioline->deleteTheChosen();
    };
    contentline.addAudioline(std::move(audioHooks));

    // Like the strip, the lines stop playing before they change the model, through the gate.
    m_vCtrlTextline->setupWarning([self] {
        if (self)
            self->p_stopPlaying();
    });
    m_vCtrlAudioline->setupWarning([self] {
        if (self)
            self->p_stopPlaying();
    });
    m_vCtrlTextline->setupGate(m_gate.get());
    m_vCtrlAudioline->setupGate(m_gate.get());

    // Choices merge in the content line: choosing on one line clears the others.
    m_vCtrlTextline->setupStatus(
        [self](const QString &ttid) {
            if (self)
                self->m_vCtrlContentline->p_textlineStatus(ttid);
        },
        [self](HLTextItemView *view) {
            if (self)
                self->m_vCtrlContentline->p_seekToItem(view);
        },
        [self] {
            if (self)
                self->m_vCtrlContentline->p_edit();
        },
        [self] {
            if (self)
                self->m_vCtrlContentline->p_contentDidChange(false);
        });
    m_vCtrlAudioline->setupStatus(
        [self](const QString &auid) {
            if (self)
                self->m_vCtrlContentline->p_audiolineStatus(auid);
        },
        [self] {
            if (self)
                self->m_vCtrlContentline->p_edit();
        },
        [self] {
            if (self)
                self->p_audiolineContent();
        });
    p_updateLines();
    // After the content line has dropped the choices of the project that went.
    connect(this, &HLMainWndCtrl::projectReplaced, this, &HLMainWndCtrl::p_updateLines);

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

void HLMainWndCtrl::p_updateLines()
{
    p_setupLineScale();
    m_vCtrlTextline->updateModel(m_oTextline);
    m_vCtrlAudioline->updateModel(m_oAudioline);
    m_vCtrlTextline->updateUI();
    m_vCtrlAudioline->updateUI();
    p_updateAudiolineWidth();
}

void HLMainWndCtrl::p_setupLineScale()
{
    // Titles keep their place on the shared axis; their times follow the strip's cells.
    QPointer<HLMainWndCtrl> self(this);
    m_gate->perform([&] {
        m_oTextline->setupTimeMap([self](float position) {
            return self ? HLTimelineItemUI::timeAtUI(*self->m_oTimeline, position) : 0.0f;
        });
        m_oTextline->syncPlayTime();
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
    m_actDelete->setEnabled(m_vCtrlContentline->vCtrlTimeline().isThereChosen() ||
                            m_vCtrlTextline->isThereChosen() || m_vCtrlAudioline->isThereChosen());
}

void HLMainWndCtrl::addText()
{
    if (!hlCanDrop(m_window.get()))
        return;
    p_stopPlaying(); // like every edit of the lines
    p_stopEditing();
    auto title = HLTextItem::textItemOf(HLMachTime::machTimeID());
    const float x = float(HLTimelineItemUI::UIOffsetAt(*m_oTimeline, m_oTimeline->dNowTime()));
    m_gate->perform([&] {
        title->updateLineMin(x, float(x + kNewTitleLength));
        m_oTextline->add(title);
        m_oTextline->syncPlayTime();
    });
    m_vCtrlTextline->updateUI();
    m_vCtrlContentline->updateContentlineWidth(); // a title past the strip's end widens the line
    // A new title is a change like any other: closing now must not lose it silently.
    p_documentEdited();
    p_seekAt(m_dNowTime);
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

void HLMainWndCtrl::p_audiolineContent()
{
    m_gate->perform([&] { m_oAudioline->arrange(); });
    m_vCtrlAudioline->updateUI();
    p_updateAudiolineWidth();
    m_vCtrlContentline->p_contentDidChange(false);
}

void HLMainWndCtrl::p_audiolineDidImport()
{
    m_vCtrlAudioline->updateUI();
    p_updateAudiolineWidth();
    p_documentEdited();
    p_seekAt(m_dNowTime);
}

void HLMainWndCtrl::p_updateAudiolineWidth()
{
    // The scroll area widens the row to what is visible; past that it scrolls.
    const double content = HLAudiolineItemUI::maxUIOffset(*m_oAudioline) + kAudiolineTail;
    m_vCtrlAudioline->view()->setMinimumWidth(int(content));
}
