#include "SourceHL/Control/HLTextlineVCtrl.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLTextItemView.h"
#include "SourceHL/View/HLTextlineBackView.h"
#include "SourceHL/View/UIHashableProtocol.h"

#include <QMimeData>
#include <QMouseEvent>

HLTextlineVCtrl::HLTextlineVCtrl(HLEditGate &gate, QObject *parent)
    : QObject(parent), m_gate(gate), m_view(new HLTextlineBackView)
{
    QPointer<HLTextlineVCtrl> self(this);
    m_view->setUpMouseDrop([self](HLTextlineBackView *, double x) {
        if (self)
            self->p_drop(x);
    });
}

HLTextlineVCtrl::~HLTextlineVCtrl()
{
    delete m_view.data(); // null when its host went first
}

void HLTextlineVCtrl::setupStatus(std::function<void(const QString &)> status,
                                  std::function<void(HLTextItemView *)> seek, std::function<void()> edit,
                                  std::function<void()> content)
{
    m_blkStatus = std::move(status);
    m_blkSeek = std::move(seek);
    m_blkEdit = std::move(edit);
    m_blkContent = std::move(content);
}

void HLTextlineVCtrl::updateModel(const std::shared_ptr<HLTextlineItem> &textline)
{
    if (textline == m_oTextline)
        return;
    m_oTextline = textline;
    m_vChosenView.clear();
    for (HLTextItemView *view : std::as_const(m_aryTextItemViews))
        view->deleteLater(); // one of them may be handling the event that got us here
    m_aryTextItemViews.clear();
}

void HLTextlineVCtrl::updateUI()
{
    QList<HLTextItemView *> old = m_aryTextItemViews;
    QList<HLTextItemView *> views;
    const auto items = m_oTextline ? m_oTextline->aryItems() : HLTextlineItem::Items();
    for (const auto &item : items) {
        const QString ttid = item->strTTID();
        HLTextItemView *view = hl_reuseView(old, ttid, [&] { return p_makeCell(ttid); });
        if (!view)
            continue;
        view->update(item->oTextEdit() ? item->oTextEdit()->strText() : QString());
        const double min = item->dLineMin();
        const double max = item->dLineMax();
        view->setFrame(QRectF(min, 0, max - min, kTextlineRowHeight));
        view->show();
        views.append(view);
    }
    for (HLTextItemView *gone : std::as_const(old)) {
        m_vChosenView.forget(gone);
        gone->hide();
        gone->deleteLater();
    }
    m_aryTextItemViews = views;
}

HLTextItemView *HLTextlineVCtrl::p_makeCell(const QString &ttid)
{
    HLTextItemView *view = HLTextItemView::textlineItemViewOf(ttid, m_view);
    if (!view)
        return nullptr;
    QPointer<HLTextlineVCtrl> self(this);
    view->setUpMouseDown(
        [self](HLTextItemView *v, QMouseEvent *e) {
            if (self)
                self->p_tiMouseDown(v, e);
        },
        [self](HLTextItemView *v, QMouseEvent *e) {
            if (self)
                self->p_tiMouseDragged(v, e);
        },
        [self](HLTextItemView *v, QMouseEvent *e) {
            if (self)
                self->p_tiMouseUp(v, e);
        });
    return view;
}

void HLTextlineVCtrl::clear()
{
    m_vChosenView.clear();
}

QString HLTextlineVCtrl::strTTID() const
{
    return m_vChosenView.strID();
}

void HLTextlineVCtrl::deleteTheChosen()
{
    if (!isThereChosen())
        return;
    p_textlineWarning();
    const QString ttid = strTTID();
    m_gate.perform(HLChange::Structure, [&] { m_oTextline->remove(ttid); });
    clear();
    updateUI();
    p_textlineStatus();
    p_textlineContent();
}

void HLTextlineVCtrl::p_tiMouseDown(HLTextItemView *view, QMouseEvent *event)
{
    const bool wasChosen = view->bIsChosen();
    if (m_vChosenView.choose(view)) {
        p_textlineStatus();
        p_textlineSeek(view);
    }
    m_bDidChange = false;
    m_bDidDrag = false;
    m_bDragPrepared = false;
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (wasChosen)
            p_textlineEdit();
        return;
    }
    if (!m_oTextline || !isThereChosen())
        return;
    const double x = view->mapTo(m_view, event->position()).x();
    const QRectF frame = view->frame();
    const double minX = frame.x();
    const double maxX = frame.x() + frame.width();
    const QString ttid = view->strID();
    m_drag = hl_textlineDragOf(x, minX, maxX, m_oTextline->lastLineMaxOf(ttid), m_oTextline->nextLineMinOf(ttid));
    m_bDragPrepared = true;
}

void HLTextlineVCtrl::p_tiMouseDragged(HLTextItemView *, QMouseEvent *event)
{
    // A press that prepared no drag (a double click) must not move with an older one's bounds.
    HLTextItemView *view = m_vChosenView.view();
    if (!m_bDragPrepared || !view || !m_oTextline)
        return;
    p_textlineWarning();
    m_bDidChange = true;
    const QRectF frame = view->frame();
    const double x = view->mapTo(m_view, event->position()).x();
    if (m_drag.enDrag == TextlineDragMove && m_bDidDrag)
        return;
    const HLTextlineDragStep step = hl_textlineDragged(m_drag, x, frame.x(), frame.x() + frame.width());
    if (step.startsDrop) {
        m_bDidDrag = true;
        p_beginDrag(view);
        return;
    }
    const QString ttid = view->strID();
    // Each step is announced: a slide that ends without a release (it turned into a drag off
    // the line) has been reported all the same.
    m_gate.perform(HLChange::Timing, [&] { m_oTextline->textItemReMin(ttid, step.lineMin, step.lineMax); });
    view->setFrame(QRectF(step.lineMin, frame.y(), step.lineMax - step.lineMin, frame.height()));
}

void HLTextlineVCtrl::p_beginDrag(HLTextItemView *view)
{
    const QPoint hotSpot(int(m_drag.dDragDel), int(view->height() / 2));
    HLInsideDrag::begin(view, HLInsideDrag::mimeDataOf({HLInsideDrag::kTextlineInsidePboardType}, hotSpot),
                         view->grab(), hotSpot);
}

void HLTextlineVCtrl::p_tiMouseUp(HLTextItemView *, QMouseEvent *)
{
    if (m_bDidChange)
        p_textlineContent();
    m_bDragPrepared = false;
}

void HLTextlineVCtrl::p_drop(double x)
{
    if (!isThereChosen() || !m_oTextline)
        return;
    p_textlineWarning();
    const QString ttid = strTTID();
    m_gate.perform(HLChange::Timing, [&] { m_oTextline->textItemReStart(ttid, float(x)); });
    updateUI();
    p_textlineContent();
}

void HLTextlineVCtrl::p_textlineWarning()
{
    if (m_blkWarning)
        m_blkWarning();
}

void HLTextlineVCtrl::p_textlineStatus()
{
    if (m_blkStatus)
        m_blkStatus(strTTID());
}

void HLTextlineVCtrl::p_textlineSeek(HLTextItemView *view)
{
    if (m_blkSeek)
        m_blkSeek(view);
}

void HLTextlineVCtrl::p_textlineEdit()
{
    if (m_blkEdit)
        m_blkEdit();
}

void HLTextlineVCtrl::p_textlineContent()
{
    if (m_blkContent)
        m_blkContent();
}
