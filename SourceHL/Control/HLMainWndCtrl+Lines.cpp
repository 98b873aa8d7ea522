// The text line and the audio line of the main window: placing their rows, their choices and
// content reports, and the commands that act on them.
#include "SourceHL/Control/HLMainWndCtrl.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLMachTime.h"
#include "SourceHL/Control/HLAudioImport.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLTextlineVCtrl.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include "SourceHL/View/HLLineGeometry.h"
#include "SourceHL/View/HLTextItemView.h"
#include "SourceHL/View/HLTextlineBackView.h"
#include "widgets/HLViewHelper.h"

#include <QAction>
#include <QScrollArea>
#include <QToolButton>
#include <QVBoxLayout>


namespace {

constexpr double kNewTitleLength = 115;
constexpr int kLineInset = 10; // x 0 of a line is 10 points into its row
constexpr double kAudiolineTail = 50;
constexpr double kEmptyAxisPointsPerSecond = 16;

// The line's view 10 points in from the row's left edge, centred in its height.
void placeLine(QWidget *row, QWidget *line, int height)
{
    auto *layout = new QVBoxLayout(row);
    layout->setContentsMargins(kLineInset, 0, 0, 0);
    line->setFixedHeight(height);
    layout->addWidget(line, 0, Qt::AlignVCenter);
}

} // namespace

void HLMainWndCtrl::p_setupLines()
{
    m_vCtrlTextline = std::make_unique<HLTextlineVCtrl>();
    m_vCtrlAudioline = std::make_unique<HLAudiolineVCtrl>();
    m_audioImport = std::make_unique<HLAudioImport>(*this);
    setupLineScale({}, {});

    placeLine(m_window->findChild<QWidget *>(QStringLiteral("vTextlineBackView")), m_vCtrlTextline->view(),
              int(kTextlineRowHeight));
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
    audioLayout->setContentsMargins(kLineInset, 3, 0, 0);
    audioLayout->addWidget(audioScroll);
    m_vCtrlAudioline->view()->setFixedHeight(int(kAudioCellHeight));

    m_vCtrlTextline->setupGate(m_gate.get());
    m_vCtrlAudioline->setupGate(m_gate.get());
    m_vCtrlTextline->updateModel(m_oTextline);
    m_vCtrlAudioline->updateModel(m_oAudioline);

    QPointer<HLMainWndCtrl> self(this);
    m_vCtrlTextline->setupStatus(
        [self](const QString &ttid) {
            if (!self)
                return;
            self->m_vCtrlAudioline->clear();
            HLContentChoice choice;
            choice.strTTID = ttid;
            choice.bCanEdit = !ttid.isEmpty();
            self->updateChoice(choice);
        },
        [self](HLTextItemView *view) {
            if (!self)
                return;
            // A title under the play line keeps it; any other moves it to the title's start.
            const auto item = self->m_oTextline->textItemOf(view->strID());
            const float now = self->m_dNowTime;
            if (item && (now < item->dPlayMin() || now > item->dPlayMax()))
                self->p_seekAt(item->dPlayMin());
        },
        [self] {
            if (self && !self->m_bIsEditing)
                self->p_startEditing();
        },
        [self] {
            if (self)
                self->p_textlineContent();
        });
    m_vCtrlAudioline->setupStatus(
        [self](const QString &auid) {
            if (!self)
                return;
            self->m_vCtrlTextline->clear();
            HLContentChoice choice;
            choice.strAUID = auid;
            choice.bCanEdit = !auid.isEmpty();
            self->updateChoice(choice);
        },
        [self] {
            if (self && !self->m_bIsEditing)
                self->p_startEditing();
        },
        [self] {
            if (self)
                self->p_audiolineContent();
        });
    m_vCtrlTextline->updateUI();
    m_vCtrlAudioline->updateUI();
    p_updateAudiolineWidth();

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

void HLMainWndCtrl::setupLineScale(std::function<double(float)> uiOffsetAt, std::function<float(double)> timeAtUI)
{
    m_blkUIOffsetAt = uiOffsetAt ? std::move(uiOffsetAt)
                                 : [](float time) { return double(time) * kEmptyAxisPointsPerSecond; };
    m_blkTimeAtUI = timeAtUI ? std::move(timeAtUI)
                             : [](double offset) { return float(offset / kEmptyAxisPointsPerSecond); };
    const auto map = m_blkTimeAtUI;
    m_gate->perform([&] {
        m_oTextline->setupTimeMap([map](float position) { return map(position); });
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
    // Delete needs a choice on one of the lines. While a sheet is up the window takes no
    // input, and each command checks again when it runs.
    m_actDelete->setEnabled(m_vCtrlTextline->isThereChosen() || m_vCtrlAudioline->isThereChosen());
}

void HLMainWndCtrl::addText()
{
    if (!hlCanDrop(m_window.get()))
        return;
    p_stopEditing();
    auto title = HLTextItem::textItemOf(HLMachTime::machTimeID());
    const float x = float(m_blkUIOffsetAt(m_oTimeline->dNowTime()));
    m_gate->perform([&] {
        title->updateLineMin(x, float(x + kNewTitleLength));
        m_oTextline->add(title);
        m_oTextline->syncPlayTime();
    });
    m_vCtrlTextline->updateUI();
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
    m_vCtrlTextline->deleteTheChosen();
    m_vCtrlAudioline->deleteTheChosen();
}

void HLMainWndCtrl::p_textlineContent()
{
    m_gate->perform([&] { m_oTextline->syncPlayTime(); });
    p_documentEdited();
    p_seekAt(m_dNowTime);
}

void HLMainWndCtrl::p_audiolineContent()
{
    m_gate->perform([&] { m_oAudioline->arrange(); });
    m_vCtrlAudioline->updateUI();
    p_updateAudiolineWidth();
    p_documentEdited();
    p_seekAt(m_dNowTime);
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
    const double content = double(m_oAudioline->aryItems().size()) * kAudioCellWidth + kAudiolineTail;
    m_vCtrlAudioline->view()->setMinimumWidth(int(content));
}
