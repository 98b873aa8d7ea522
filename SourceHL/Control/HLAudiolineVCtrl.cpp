#include "SourceHL/Control/HLAudiolineVCtrl.h"

#include "Platform/Foundation/HLNotificationCenter.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLLineGeometry.h"
#include "SourceHL/View/UIHashableProtocol.h"

#include <QMimeData>
#include <QMouseEvent>

const QString AudiolineVCtrlBackInsertNotification = QStringLiteral("AudiolineVCtrlBackInsertNotification");

HLAudiolineVCtrl::HLAudiolineVCtrl(HLEditGate &gate, QObject *parent)
    : QObject(parent), m_gate(gate), m_view(new HLAudiolineBackView)
{
    QPointer<HLAudiolineVCtrl> self(this);
    m_view->setUpMouseDrop([self](HLAudiolineBackView *, qint64 index, const std::optional<QStringList> &paths) {
        if (!self)
            return;
        const QString target = self->m_oAudioline ? self->m_oAudioline->audioItemIDAt(index) : QString();
        self->p_tbMouseDrop(target, paths);
    });
}

HLAudiolineVCtrl::~HLAudiolineVCtrl()
{
    delete m_view.data();
}

void HLAudiolineVCtrl::setupStatus(std::function<void(const QString &)> status, std::function<void()> edit,
                                   std::function<void()> content)
{
    m_blkStatus = std::move(status);
    m_blkEdit = std::move(edit);
    m_blkContent = std::move(content);
}

void HLAudiolineVCtrl::updateModel(const std::shared_ptr<HLAudiolineItem> &audioline)
{
    if (audioline == m_oAudioline)
        return;
    m_oAudioline = audioline;
    m_vChosenView.clear();
    for (HLAudioItemView *view : std::as_const(m_aryAudioItemViews))
        view->deleteLater();
    m_aryAudioItemViews.clear();
}

void HLAudiolineVCtrl::updateUI()
{
    QList<HLAudioItemView *> old = m_aryAudioItemViews;
    QList<HLAudioItemView *> views;
    if (m_oAudioline) {
        const qint64 type = m_oAudioline->enType();
        for (const auto &item : m_oAudioline->aryItems()) {
            const QString auid = item->strAUID();
            HLAudioItemView *view = hl_reuseView(old, auid, [&] { return p_makeCell(auid, item->strName()); });
            if (!view)
                continue;
            view->setEnType(type);
            view->updateStart(item->dPlayMin(), item->dPlayMax());
            view->setGeometry(int(hl_audioCellX(views.size())), 0, int(kAudioCellWidth), int(kAudioCellHeight));
            view->show();
            views.append(view);
        }
    }
    for (HLAudioItemView *gone : std::as_const(old)) {
        m_vChosenView.forget(gone);
        gone->hide();
        gone->deleteLater();
    }
    m_aryAudioItemViews = views;
}

HLAudioItemView *HLAudiolineVCtrl::p_makeCell(const QString &auid, const QString &name)
{
    // A clip whose music has no name still gets its cell, named by nothing.
    HLAudioItemView *view = HLAudioItemView::audioItemViewOf(auid, name.isNull() ? QStringLiteral("") : name, m_view);
    if (!view)
        return nullptr;
    QPointer<HLAudiolineVCtrl> self(this);
    view->setUpMouseDown(
        [self](HLAudioItemView *v, QMouseEvent *e) {
            if (self)
                self->p_aiMouseDown(v, e);
        },
        [self](HLAudioItemView *v, QMouseEvent *e) {
            if (self)
                self->p_aiMouseDragged(v, e);
        },
        nullptr);
    return view;
}

void HLAudiolineVCtrl::clear()
{
    m_vChosenView.clear();
}

QString HLAudiolineVCtrl::strAUID() const
{
    return m_vChosenView.strID();
}

void HLAudiolineVCtrl::deleteTheChosen()
{
    if (!isThereChosen())
        return;
    p_audiolineWarning();
    const QString auid = strAUID();
    m_gate.perform(HLChange::Structure, [&] {
        m_oAudioline->remove(auid);
        m_oAudioline->arrange();
    });
    clear();
    updateUI();
    p_audiolineStatus();
    p_audiolineContent();
}

void HLAudiolineVCtrl::p_aiMouseDown(HLAudioItemView *view, QMouseEvent *event)
{
    const bool wasChosen = view->bIsChosen();
    if (m_vChosenView.choose(view))
        p_audiolineStatus();
    if (wasChosen && event->type() == QEvent::MouseButtonDblClick)
        p_audiolineEdit();
    m_bDidDrag = false;
}

void HLAudiolineVCtrl::p_aiMouseDragged(HLAudioItemView *, QMouseEvent *event)
{
    // The first drag event of a press carries the chosen clip; the row changes on the drop.
    HLAudioItemView *view = m_vChosenView.view();
    if (m_bDidDrag || !view)
        return;
    m_bDidDrag = true;
    const QPoint hotSpot = view->mapFromGlobal(event->globalPosition()).toPoint();
    HLInsideDrag::begin(view, HLInsideDrag::mimeDataOf({HLInsideDrag::kAudiolineInsidePboardType}, hotSpot),
                         view->grab(), hotSpot);
}

void HLAudiolineVCtrl::p_tbMouseDrop(const QString &target, const std::optional<QStringList> &paths)
{
    p_audiolineWarning();
    if (paths) {
        QVariantMap info{{QStringLiteral("Paths"), *paths}};
        if (!target.isNull())
            info.insert(QStringLiteral("AUID"), target);
        HLNotificationCenter::defaultCenter().post(AudiolineVCtrlBackInsertNotification, info);
        return;
    }
    if (!m_oAudioline || !isThereChosen())
        return;
    const QString auid = strAUID();
    m_gate.perform(HLChange::Structure, [&] {
        m_oAudioline->move(auid, target);
        m_oAudioline->arrange(); // a clip moved before another must not overlap it
    });
    updateUI();
    p_audiolineContent();
}

void HLAudiolineVCtrl::p_audiolineWarning()
{
    if (m_blkWarning)
        m_blkWarning();
}

void HLAudiolineVCtrl::p_audiolineStatus()
{
    if (m_blkStatus)
        m_blkStatus(strAUID());
}

void HLAudiolineVCtrl::p_audiolineEdit()
{
    if (m_blkEdit)
        m_blkEdit();
}

void HLAudiolineVCtrl::p_audiolineContent()
{
    if (m_blkContent)
        m_blkContent();
}
