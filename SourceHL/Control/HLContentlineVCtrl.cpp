#include "SourceHL/Control/HLContentlineVCtrl.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLTextlineVCtrl.h"
#include "SourceHL/Control/HLTimelineVCtrl.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include "SourceHL/View/HLContentlineBackView.h"
#include "SourceHL/View/HLLineGeometry.h"
#include "SourceHL/View/HLPlaylineHeadView.h"
#include "SourceHL/View/HLPlaylineTailView.h"
#include "SourceHL/View/HLStripGeometry.h"
#include "SourceHL/View/HLTimelineBackView.h"
#include "SourceHL/View/HLTextItemView.h"
#include "SourceHL/View/HLTextlineBackView.h"
#include "SourceHL/View/HLTimelineItemUI.h"
#include "widgets/HLUITTLineBackView.h"
#include "widgets/HLViewHelper.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

HLContentlineVCtrl::HLContentlineVCtrl(HLEditGate &gate)
    : m_gate(gate), m_vCtrlTimeline(std::make_unique<HLTimelineVCtrl>(gate)),
      m_vCtrlTextline(std::make_unique<HLTextlineVCtrl>(gate)),
      m_vCtrlAudioline(std::make_unique<HLAudiolineVCtrl>(gate))
{
    m_view = new QWidget;
    m_view->setObjectName(QStringLiteral("HLContentlineVCtrl"));
    auto *layout = new QVBoxLayout(m_view);
    layout->setContentsMargins(0, 0, 0, 0);
    m_slvContentline = new QScrollArea(m_view);
    m_slvContentline->setObjectName(QStringLiteral("slvContentline"));
    m_slvContentline->setFrameShape(QFrame::NoFrame);
    m_slvContentline->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_slvContentline->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_slvContentline->setWidgetResizable(false);
    layout->addWidget(m_slvContentline);

    m_vContentlineBack = new HLContentlineBackView;
    m_vContentlineBack->setObjectName(QStringLiteral("vContentlineBack"));
    for (QWidget *area : {static_cast<QWidget *>(m_vContentlineBack), m_slvContentline->viewport()}) {
        area->setAutoFillBackground(true);
        QPalette palette = area->palette();
        palette.setColor(QPalette::Window, QColor::fromRgbF(0.12, 0.12, 0.12));
        area->setPalette(palette);
    }
    m_vPlaylineHead = new HLPlaylineHeadView(m_vContentlineBack);
    m_vPlaylineTail = new HLPlaylineTailView(m_vContentlineBack);
    m_slvContentline->setWidget(m_vContentlineBack);
    m_slvContentline->viewport()->installEventFilter(this);
    p_placeLines();

    QPointer<HLContentlineVCtrl> self(this);
    m_vContentlineBack->setUpFeedback([self](double x) {
        if (self)
            self->p_seekAt(x);
    });
    p_setupLineCallbacks();
    p_layoutLines();
    updatePlaylineX(0);
}

namespace {

constexpr double kAudiolineTail = 50; // room after the last clip

} // namespace

HLContentlineVCtrl::~HLContentlineVCtrl()
{
    // Unless the window that holds them went first.
    delete m_view;
    delete m_vAudiolineArea;
}

void HLContentlineVCtrl::p_placeLines()
{
    m_vCtrlTimeline->view()->setParent(m_vContentlineBack);
    // The text line's row goes under the strip, the line centred in it.
    m_vTextlineBack = new HLUITTLineBackView(m_vContentlineBack);
    m_vTextlineBack->setObjectName(QStringLiteral("vTextlineBack"));
    auto *textLayout = new QVBoxLayout(m_vTextlineBack);
    textLayout->setContentsMargins(0, 0, 0, 0);
    m_vCtrlTextline->view()->setFixedHeight(int(kTextlineRowHeight));
    textLayout->addWidget(m_vCtrlTextline->view(), 0, Qt::AlignVCenter);
    m_vPlaylineTail->raise(); // the play line stands over the lines
    m_vPlaylineHead->raise();

    // The audio line scrolls on its own: its cells follow the order of the music, not time.
    m_slvAudioline = new QScrollArea;
    m_slvAudioline->setObjectName(QStringLiteral("slvAudioline"));
    m_slvAudioline->setFrameShape(QFrame::NoFrame);
    m_slvAudioline->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_slvAudioline->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_slvAudioline->setWidgetResizable(true); // never narrower than what is visible
    m_slvAudioline->setWidget(m_vCtrlAudioline->view());
    // The row's painted background shows through: the line has none of its own.
    m_slvAudioline->viewport()->setAutoFillBackground(false);
    m_vCtrlAudioline->view()->setAutoFillBackground(false);
    m_vCtrlAudioline->view()->setFixedHeight(int(kAudioCellHeight));
    m_vAudiolineArea = new QWidget;
    m_vAudiolineArea->setObjectName(QStringLiteral("vAudiolineArea"));
    auto *audioLayout = new QVBoxLayout(m_vAudiolineArea);
    audioLayout->setContentsMargins(int(HLStripGeometry::kLineMargin), 3, 0, 0);
    audioLayout->addWidget(m_slvAudioline);
}

void HLContentlineVCtrl::p_setupLineCallbacks()
{
    // The lines are ours and go with us, so their callbacks may hold this.
    m_vCtrlTimeline->setupStatus(
        [this](const QString &sssid, const QString &tssid, const QString &rdid) { p_timelineStatus(sssid, tssid, rdid); },
        [this](QWidget *view) { p_seekToItem(view); }, [this] { p_edit(); },
        [this] { p_lineContentDidChange(true); });
    m_vCtrlTextline->setupStatus([this](const QString &ttid) { p_textlineStatus(ttid); },
                                 [this](HLTextItemView *view) { p_seekToItem(view); }, [this] { p_edit(); },
                                 [this] { p_lineContentDidChange(false); });
    m_vCtrlAudioline->setupStatus([this](const QString &auid) { p_audiolineStatus(auid); }, [this] { p_edit(); },
                                  [this] { p_audiolineContentDidChange(); });
}

void HLContentlineVCtrl::setupWarning(const Block &warning)
{
    m_vCtrlTimeline->setupWarning(warning);
    m_vCtrlTextline->setupWarning(warning);
    m_vCtrlAudioline->setupWarning(warning);
}

void HLContentlineVCtrl::setupChoose(ChooseBlock choose, SeekBlock seek, Block edit, ContentBlock content)
{
    m_blkChoose = std::move(choose);
    m_blkSeek = std::move(seek);
    m_blkEdit = std::move(edit);
    m_blkContent = std::move(content);
}

void HLContentlineVCtrl::p_layoutLines()
{
    const int width = m_vContentlineBack->width();
    const int margin = int(HLStripGeometry::kLineMargin);
    int y = m_vPlaylineHead->height();
    QWidget *strip = m_vCtrlTimeline->view();
    strip->setGeometry(margin, y, std::max(0, width - margin), int(HLStripGeometry::kRowHeight));
    y += int(HLStripGeometry::kRowHeight);
    m_vTextlineBack->setGeometry(margin, y, std::max(0, width - margin), int(kTextlineBackHeight));
    y += int(kTextlineBackHeight);
    m_vContentlineBack->setFixedHeight(y);
    m_vPlaylineHead->move(m_vPlaylineHead->x(), 0);
    m_vPlaylineTail->setGeometry(m_vPlaylineTail->x(), m_vPlaylineHead->height(), m_vPlaylineTail->width(),
                                 y - m_vPlaylineHead->height());
    m_slvContentline->setFixedHeight(y + m_slvContentline->horizontalScrollBar()->sizeHint().height());
}

bool HLContentlineVCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (hlIsViewportResize(m_slvContentline, watched, event))
        updateContentlineWidth();
    return QObject::eventFilter(watched, event);
}

void HLContentlineVCtrl::updateTimeline(const std::shared_ptr<HLTimelineItem> &timeline)
{
    m_vCtrlTimeline->updateModel(timeline);
}

void HLContentlineVCtrl::updateTextline(const std::shared_ptr<HLTextlineItem> &textline)
{
    m_vCtrlTextline->updateModel(textline);
}

void HLContentlineVCtrl::updateAudioline(const std::shared_ptr<HLAudiolineItem> &audioline)
{
    m_vCtrlAudioline->updateModel(audioline);
}

void HLContentlineVCtrl::updateTimelineUI()
{
    m_vCtrlTimeline->updateUI();
}

void HLContentlineVCtrl::updateTextlineUI()
{
    m_vCtrlTextline->updateUI();
}

void HLContentlineVCtrl::updateAudiolineUI()
{
    m_vCtrlAudioline->updateUI();
}

const std::shared_ptr<HLTimelineItem> &HLContentlineVCtrl::oTimeline() const
{
    return m_vCtrlTimeline->oTimeline();
}

const std::shared_ptr<HLTextlineItem> &HLContentlineVCtrl::oTextline() const
{
    return m_vCtrlTextline->oTextline();
}

const std::shared_ptr<HLAudiolineItem> &HLContentlineVCtrl::oAudioline() const
{
    return m_vCtrlAudioline->oAudioline();
}

QString HLContentlineVCtrl::strAddSSID() const
{
    return m_vCtrlTimeline->strAddSSID();
}

void HLContentlineVCtrl::updateContentlineWidth()
{
    const double visible = m_slvContentline->viewport()->width();
    const double timelineMax = oTimeline() ? HLTimelineItemUI::maxUIOffset(*oTimeline()) : -HLStripGeometry::kCellWidth;
    const double textlineMax = oTextline() ? HLTextlineItemUI::maxUIOffset(*oTextline()) : 0;
    const double center = m_vPlaylineHead->center();
    m_vContentlineBack->resize(int(std::ceil(HLStripGeometry::contentWidthOf(visible, timelineMax, textlineMax))),
                               m_vContentlineBack->height());
    p_layoutLines();
    m_vPlaylineHead->update(center);
    m_vPlaylineTail->update(center);
}

void HLContentlineVCtrl::updateAudiolineWidth()
{
    // The scroll area widens the line to what is visible; past that it scrolls.
    const double content = oAudioline() ? HLAudiolineItemUI::maxUIOffset(*oAudioline()) : 0;
    m_vCtrlAudioline->view()->setMinimumWidth(int(std::ceil(content + kAudiolineTail)));
}

void HLContentlineVCtrl::updatePlaylineX(double offset)
{
    const double x = HLStripGeometry::playlineXOf(offset);
    m_vPlaylineHead->update(x);
    m_vPlaylineTail->update(x);
}

void HLContentlineVCtrl::p_seekAt(double x)
{
    if (!m_blkSeek)
        return;
    const float offset = HLStripGeometry::seekOffsetOf(x);
    const float time = oTimeline() ? HLTimelineItemUI::timeAtUI(*oTimeline(), offset) : offset / 16.0f;
    m_blkSeek(time);
}

void HLContentlineVCtrl::seekNow()
{
    p_seekAt(m_vPlaylineHead->center());
}

void HLContentlineVCtrl::p_seekToItem(QWidget *view)
{
    const QRect r(view->mapTo(m_vContentlineBack, QPoint(0, 0)), view->size());
    const double left = r.x();
    if (HLStripGeometry::seeksToItem(m_vPlaylineHead->center(), left, left + r.width()))
        p_seekAt(left);
}

void HLContentlineVCtrl::p_timelineStatus(const QString &sssid, const QString &tssid, const QString &rdid)
{
    m_vCtrlTextline->clear();
    m_vCtrlAudioline->clear();
    HLContentChoice choice;
    choice.strSSSID = sssid;
    choice.strTSSID = tssid;
    choice.strRDID = rdid;
    choice.bCanEdit = !sssid.isEmpty() || !tssid.isEmpty() || !rdid.isEmpty();
    p_choiceChanged(choice);
    p_choose(tssid.isEmpty() ? 0 : 2, !sssid.isEmpty() ? sssid : tssid);
}

void HLContentlineVCtrl::p_textlineStatus(const QString &ttid)
{
    m_vCtrlTimeline->clear();
    m_vCtrlAudioline->clear();
    HLContentChoice choice;
    choice.strTTID = ttid;
    choice.bCanEdit = !ttid.isEmpty();
    p_choiceChanged(choice);
    p_choose(ttid.isEmpty() ? 0 : 3, ttid);
}

void HLContentlineVCtrl::p_audiolineStatus(const QString &auid)
{
    m_vCtrlTimeline->clear();
    m_vCtrlTextline->clear();
    HLContentChoice choice;
    choice.strAUID = auid;
    choice.bCanEdit = !auid.isEmpty();
    p_choiceChanged(choice);
    p_choose(0, QString());
}

void HLContentlineVCtrl::p_choiceChanged(const HLContentChoice &choice)
{
    m_choice = choice;
    if (m_blkChoice)
        m_blkChoice(m_choice);
}

void HLContentlineVCtrl::p_choose(qint64 kind, const QString &identifier)
{
    if (m_blkChoose)
        m_blkChoose(kind, p_nameOf(kind, identifier));
}

QString HLContentlineVCtrl::p_nameOf(qint64 kind, const QString &identifier) const
{
    if (identifier.isEmpty())
        return {};
    if (kind == 0 || kind == 2) {
        const auto item = oTimeline() ? oTimeline()->slideshowItemOf(identifier) : nullptr;
        if (!item)
            return {};
        if (kind == 0)
            return item->oSlideshowInfo() ? item->oSlideshowInfo()->strName() : QString();
        return item->oTransitionInfo() ? item->oTransitionInfo()->strName() : QString();
    }
    if (kind == 3 && oTextline()) {
        const auto item = oTextline()->textItemOf(identifier);
        return item && item->oTextInfo() ? item->oTextInfo()->strName() : QString();
    }
    return {};
}

void HLContentlineVCtrl::quaryEditingInfo(const ChooseBlock &block) const
{
    if (!block || !m_choice.bCanEdit)
        return;
    const qint64 kind = !m_choice.strSSSID.isEmpty() ? 0 : (!m_choice.strTSSID.isEmpty() ? 2 : 3);
    const QString identifier = !m_choice.strSSSID.isEmpty()   ? m_choice.strSSSID
                               : !m_choice.strTSSID.isEmpty() ? m_choice.strTSSID
                                                              : m_choice.strTTID;
    block(kind, p_nameOf(kind, identifier));
}

void HLContentlineVCtrl::p_edit()
{
    if (m_blkEdit)
        m_blkEdit();
}

void HLContentlineVCtrl::p_contentDidChange(bool timeScaled)
{
    if (m_blkContent)
        m_blkContent(timeScaled);
}

void HLContentlineVCtrl::p_lineContentDidChange(bool timeScaled)
{
    p_contentDidChange(timeScaled);
}

void HLContentlineVCtrl::p_audiolineContentDidChange()
{
    p_contentDidChange(false);
}

bool HLContentlineVCtrl::isThereChosen() const
{
    return m_vCtrlTimeline->isThereChosen() || m_vCtrlTextline->isThereChosen() || m_vCtrlAudioline->isThereChosen();
}

void HLContentlineVCtrl::deleteTheChosen()
{
    m_vCtrlTimeline->deleteTheChosen();
    m_vCtrlTextline->deleteTheChosen();
    m_vCtrlAudioline->deleteTheChosen();
}

void HLContentlineVCtrl::clear()
{
    m_vCtrlTimeline->clear();
    m_vCtrlTextline->clear();
    m_vCtrlAudioline->clear();
}
