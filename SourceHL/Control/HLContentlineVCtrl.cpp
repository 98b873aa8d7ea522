#include "SourceHL/Control/HLContentlineVCtrl.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Control/HLTimelineVCtrl.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"
#include "SourceHL/View/HLContentlineBackView.h"
#include "SourceHL/View/HLPlaylineHeadView.h"
#include "SourceHL/View/HLPlaylineTailView.h"
#include "SourceHL/View/HLStripGeometry.h"
#include "SourceHL/View/HLTimelineBackView.h"
#include "SourceHL/View/HLTimelineItemUI.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

HLContentlineVCtrl::HLContentlineVCtrl(HLEditGate &gate)
    : m_vCtrlTimeline(std::make_unique<HLTimelineVCtrl>(gate)), m_oTextline(HLTextlineItem::textline()), m_gate(gate)
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
    m_vCtrlTimeline->view()->setParent(m_vContentlineBack);
    m_vPlaylineTail->raise(); // the play line stands over the lines
    m_vPlaylineHead->raise();
    m_slvContentline->setWidget(m_vContentlineBack);
    m_slvContentline->viewport()->installEventFilter(this);

    QPointer<HLContentlineVCtrl> self(this);
    m_vContentlineBack->setUpFeedback([self](double x) {
        if (self)
            self->p_seekAt(x);
    });
    m_vCtrlTimeline->setupStatus(
        [self](const QString &sssid, const QString &tssid, const QString &rdid) {
            if (self)
                self->p_timelineStatus(sssid, tssid, rdid);
        },
        [self](QWidget *view) {
            if (self)
                self->p_seekToItem(view);
        },
        [self] {
            if (self)
                self->p_edit();
        },
        [self] {
            if (self)
                self->p_contentDidChange(true);
        });
    p_layoutLines();
    updatePlaylineX(0);
}

HLContentlineVCtrl::~HLContentlineVCtrl()
{
    delete m_view; // unless the window that holds it went first
}

void HLContentlineVCtrl::setupWarning(Block warning)
{
    m_vCtrlTimeline->setupWarning(std::move(warning));
}

void HLContentlineVCtrl::setupChoose(ChooseBlock choose, SeekBlock seek, Block edit, ContentBlock content)
{
    m_blkChoose = std::move(choose);
    m_blkSeek = std::move(seek);
    m_blkEdit = std::move(edit);
    m_blkContent = std::move(content);
}

void HLContentlineVCtrl::addTextline(QWidget *lineView, int height, LineHooks hooks)
{
    lineView->setParent(m_vContentlineBack);
    m_vTextline = lineView;
    m_iTextlineHeight = height;
    m_textline = std::move(hooks);
    lineView->show();
    m_vPlaylineTail->raise();
    m_vPlaylineHead->raise();
    p_layoutLines();
}

void HLContentlineVCtrl::p_layoutLines()
{
    const int width = m_vContentlineBack->width();
    const int margin = int(HLStripGeometry::kLineMargin);
    int y = m_vPlaylineHead->height();
    QWidget *strip = m_vCtrlTimeline->view();
    strip->setGeometry(margin, y, std::max(0, width - margin), int(HLStripGeometry::kRowHeight));
    y += int(HLStripGeometry::kRowHeight);
    if (m_vTextline) {
        m_vTextline->setGeometry(margin, y, std::max(0, width - margin), m_iTextlineHeight);
        y += m_iTextlineHeight;
    }
    m_vContentlineBack->setFixedHeight(y);
    m_vPlaylineHead->move(m_vPlaylineHead->x(), 0);
    m_vPlaylineTail->setGeometry(m_vPlaylineTail->x(), m_vPlaylineHead->height(), m_vPlaylineTail->width(),
                                 y - m_vPlaylineHead->height());
    m_slvContentline->setFixedHeight(y + m_slvContentline->horizontalScrollBar()->sizeHint().height());
}

bool HLContentlineVCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_slvContentline->viewport() && event->type() == QEvent::Resize)
        updateContentlineWidth();
    return QObject::eventFilter(watched, event);
}

void HLContentlineVCtrl::updateTimeline(const std::shared_ptr<HLTimelineItem> &timeline)
{
    m_vCtrlTimeline->updateModel(timeline);
}

void HLContentlineVCtrl::updateTextline(const std::shared_ptr<HLTextlineItem> &textline)
{
    m_oTextline = textline;
}

void HLContentlineVCtrl::updateTimelineUI()
{
    m_vCtrlTimeline->updateUI();
}

const std::shared_ptr<HLTimelineItem> &HLContentlineVCtrl::oTimeline() const
{
    return m_vCtrlTimeline->oTimeline();
}

QString HLContentlineVCtrl::strAddSSID() const
{
    return m_vCtrlTimeline->strAddSSID();
}

void HLContentlineVCtrl::updateContentlineWidth()
{
    const double visible = m_slvContentline->viewport()->width();
    const double timelineMax = oTimeline() ? HLTimelineItemUI::maxUIOffset(*oTimeline()) : -HLStripGeometry::kCellWidth;
    const double textlineMax = m_oTextline ? HLTextlineItemUI::maxUIOffset(*m_oTextline) : 0;
    const double center = m_vPlaylineHead->center();
    m_vContentlineBack->resize(int(std::ceil(HLStripGeometry::contentWidthOf(visible, timelineMax, textlineMax))),
                               m_vContentlineBack->height());
    p_layoutLines();
    m_vPlaylineHead->update(center);
    m_vPlaylineTail->update(center);
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
    if (m_textline.clear)
        m_textline.clear();
    if (m_audioline.clear)
        m_audioline.clear();
    HLContentChoice choice;
    choice.strSSSID = sssid;
    choice.strTSSID = tssid;
    choice.strRDID = rdid;
    choice.bCanEdit = !sssid.isEmpty() || !tssid.isEmpty() || !rdid.isEmpty();
    p_choiceChanged(choice);
    p_report(tssid.isEmpty() ? 0 : 2, !sssid.isEmpty() ? sssid : tssid);
}

void HLContentlineVCtrl::p_textlineStatus(const QString &ttid)
{
    m_vCtrlTimeline->clear();
    if (m_audioline.clear)
        m_audioline.clear();
    HLContentChoice choice;
    choice.strTTID = ttid;
    choice.bCanEdit = !ttid.isEmpty();
    p_choiceChanged(choice);
    p_report(ttid.isEmpty() ? 0 : 3, ttid);
}

void HLContentlineVCtrl::p_audiolineStatus(const QString &auid)
{
    m_vCtrlTimeline->clear();
    if (m_textline.clear)
        m_textline.clear();
    HLContentChoice choice;
    choice.strAUID = auid;
    choice.bCanEdit = !auid.isEmpty();
    p_choiceChanged(choice);
    p_report(0, QString());
}

void HLContentlineVCtrl::p_choiceChanged(const HLContentChoice &choice)
{
    m_choice = choice;
    if (m_blkChoice)
        m_blkChoice(m_choice);
}

void HLContentlineVCtrl::p_report(qint64 kind, const QString &identifier)
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
    if (kind == 3 && m_oTextline) {
        const auto item = m_oTextline->textItemOf(identifier);
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
    if (m_oTextline)
        m_gate.perform([&] { m_oTextline->syncPlayTime(); });
    updateContentlineWidth();
    seekNow();
}

void HLContentlineVCtrl::deleteTheChosen()
{
    m_vCtrlTimeline->deleteTheChosen();
    for (const LineHooks *line : {&m_textline, &m_audioline})
        if (line->deleteTheChosen)
            line->deleteTheChosen();
}

void HLContentlineVCtrl::clear()
{
    m_vCtrlTimeline->clear();
    if (m_textline.clear)
        m_textline.clear();
    if (m_audioline.clear)
        m_audioline.clear();
}
