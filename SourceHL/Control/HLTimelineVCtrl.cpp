#include "SourceHL/Control/HLTimelineVCtrl.h"

#include "Platform/Foundation/HLNotificationCenter.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLEventHelper.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/View/HLStripGeometry.h"
#include "SourceHL/View/HLTimelineBackView.h"
#include "SourceHL/View/HLTimelineSlideshowBackView.h"
#include "SourceHL/View/HLTimelineTransitionBackView.h"
#include "SourceHL/View/UIHashableProtocol.h"
#include "widgets/HLNamedImage.h"

#include <QApplication>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace {

QString hashIDOf(const QWidget *view)
{
    const auto *hashable = dynamic_cast<const UIHashableProtocol *>(view);
    return hashable ? hashable->UIHashID() : QString();
}

void setChosen(QWidget *view, bool chosen)
{
    if (auto *row = qobject_cast<HLTimelineSlideshowBackView *>(view))
        row->setBIsChosen(chosen);
    else if (auto *tile = qobject_cast<HLTimelineTransitionBackView *>(view))
        tile->setBIsChosen(chosen);
    else if (auto *cell = qobject_cast<HLRenderItemView *>(view))
        cell->setBIsChosen(chosen);
}

QVariantMap infoOf(const QList<QVariantMap> &infos, const QString &hashID)
{
    for (const QVariantMap &info : infos)
        if (info.value(kInfoKeyTIHashID).toString() == hashID)
            return info;
    return {};
}

// Mouse positions in the y-down widget against the y-up frames of the geometry.
QRect placed(const HLStripGeometry::Frame &frame, double parentHeight)
{
    return QRect(int(frame.x), int(parentHeight - frame.y - frame.height), int(frame.width), int(frame.height));
}

} // namespace

HLTimelineVCtrl::HLTimelineVCtrl(HLEditGate &gate) : m_gate(gate), m_vTimelineBack(new HLTimelineBackView)
{
    m_vTimelineBack->setObjectName(QStringLiteral("vTimelineBack"));
    m_vTimelineBack->setFixedHeight(int(HLStripGeometry::kRowHeight));
    QPointer<HLTimelineVCtrl> self(this);
    m_vTimelineBack->setUpMap([self](double x) { return self ? self->p_mapX(x) : x; },
                              [self](HLTimelineBackView *, double x, const QStringList &paths) {
                                  if (self)
                                      self->p_backDrop(x, paths);
                              });
}

HLTimelineVCtrl::~HLTimelineVCtrl()
{
    delete m_vTimelineBack; // unless the window that holds it went first
}

void HLTimelineVCtrl::setupStatus(StatusBlock status, SeekBlock seek, Block edit, Block content)
{
    m_blkStatus = std::move(status);
    m_blkSeek = std::move(seek);
    m_blkEdit = std::move(edit);
    m_blkContent = std::move(content);
}

void HLTimelineVCtrl::updateModel(const std::shared_ptr<HLTimelineItem> &timeline)
{
    if (timeline == m_oTimeline)
        return;
    m_oTimeline = timeline;
    p_dropAllViews();
    m_arySlidBackViews.clear();
    m_aryTranBackViews.clear();
    m_arySlidItemViews.clear();
    m_aryTranItemViews.clear();
    m_aryBaseBackViews.clear();
}

HLTimelineSlideshowBackView *HLTimelineVCtrl::p_makeRow(const QString &ssid)
{
    auto *row = HLTimelineSlideshowBackView::backViewOf(ssid);
    QPointer<HLTimelineVCtrl> self(this);
    row->setUpMouseDown(
        [self](QWidget *view, QMouseEvent *event) {
            if (self)
                self->p_bbMouseDown(view, event);
        },
        [self](HLTimelineSlideshowBackView *view, qint64 index, const QStringList &paths) {
            if (self)
                self->p_sbMouseDrop(view, index, paths);
        });
    return row;
}

HLRenderItemView *HLTimelineVCtrl::p_makeCell(const QString &hashID, const QList<QVariantMap> &infos,
                                              const QImage &mask)
{
    auto *cell = HLRenderItemView::renderItemViewOf(hashID);
    const QVariantMap info = infoOf(infos, hashID);
    cell->updateThumb(info.value(kInfoKeySIThumb).value<QImage>(),
                      info.value(kInfoKeySIIsVid).toBool() ? mask : QImage());
    QPointer<HLTimelineVCtrl> self(this);
    cell->setUpMouseDown(
        [self](HLRenderItemView *view, QMouseEvent *event) {
            if (self)
                self->p_riMouseDown(view, event);
        },
        [self](HLRenderItemView *view, QMouseEvent *event) {
            if (self)
                self->p_riMouseDragged(view, event);
        },
        {});
    return cell;
}

void HLTimelineVCtrl::updateUI()
{
    QList<HLTimelineSlideshowBackView *> rowPool = m_arySlidBackViews;
    QList<HLTimelineTransitionBackView *> tilePool = m_aryTranBackViews;
    QList<HLRenderItemView *> cellPool = m_arySlidItemViews;
    QList<HLRenderItemView *> tileCellPool = m_aryTranItemViews;
    for (QWidget *view : m_aryBaseBackViews)
        view->hide();
    QList<HLTimelineSlideshowBackView *> rows;
    QList<HLTimelineTransitionBackView *> tiles;
    QList<QWidget *> base;
    QList<HLRenderItemView *> cells;
    QList<HLRenderItemView *> tileCells;

    double x = 3.0;
    if (m_oTimeline) {
        const QList<QVariantMap> timelineInfos = m_oTimeline->timelineInfos();
        const QImage mask = HLNamedImage::pixmap(QStringLiteral("ThumbMaskVideo"), 1).toImage();
        for (const auto &item : m_oTimeline->aryItems()) {
            const QString ssid = item->strSSID();
            const QVariantMap info = infoOf(timelineInfos, ssid);
            auto *row = hl_reuseView(rowPool, ssid, [&] { return p_makeRow(ssid); });
            row->updateName(info.value(kInfoKeyTISlName).toString(), info.value(kInfoKeyTISlDura).toFloat(),
                            info.value(kInfoKeyTICounts).toLongLong());
            const QList<QVariantMap> slideshowInfos = item->slideshowInfos();
            QList<HLRenderItemView *> rowCells;
            for (const QString &hashID : item->resourceHashIDs())
                rowCells.append(
                    hl_reuseView(cellPool, hashID, [&] { return p_makeCell(hashID, slideshowInfos, mask); }));
            rows.append(row);
            base.append(row);
            cells.append(rowCells);
            HLTimelineTransitionBackView *tile = nullptr;
            HLRenderItemView *tileCell = nullptr;
            if (item->bHasTransition()) {
                tile = hl_reuseView(tilePool, ssid, [&] {
                    auto *made = HLTimelineTransitionBackView::backViewOf(ssid);
                    QPointer<HLTimelineVCtrl> self(this);
                    made->setUpMouseDown([self](QWidget *view, QMouseEvent *event) {
                        if (self)
                            self->p_bbMouseDown(view, event);
                    });
                    return made;
                });
                tile->updateName(info.value(kInfoKeyTITrName).toString(), info.value(kInfoKeyTITrDura).toFloat());
                tileCell =
                    hl_reuseView(tileCellPool, ssid, [&] { return HLRenderItemView::renderItemViewOf(ssid); });
                tileCell->updateThumb(info.value(kInfoKeyTITrThum).value<QImage>(), QImage());
                tiles.append(tile);
                base.append(tile);
                tileCells.append(tileCell);
            }
            x = p_layoutOn(x, row, rowCells, tile, tileCell);
        }
    }

    m_arySlidBackViews = rows;
    m_aryTranBackViews = tiles;
    m_aryBaseBackViews = base;
    m_arySlidItemViews = cells;
    m_aryTranItemViews = tileCells;
    // Views of items that are gone leave the choice with them.
    QList<QWidget *> gone;
    for (auto *view : rowPool)
        gone.append(view);
    for (auto *view : tilePool)
        gone.append(view);
    for (auto *view : cellPool)
        gone.append(view);
    for (auto *view : tileCellPool)
        gone.append(view);
    m_aryChosenBkViews.removeIf([&](QWidget *view) { return gone.contains(view); });
    m_aryChosenRIViews.removeIf([&](HLRenderItemView *view) { return gone.contains(view); });
    if (gone.contains(m_vChosenFirstBkView))
        m_vChosenFirstBkView = nullptr;
    if (gone.contains(m_vChosenFirstRIView))
        m_vChosenFirstRIView = nullptr;
    for (QWidget *view : gone) {
        view->hide();
        view->deleteLater(); // it may be the one whose event is being handled
    }
}

double HLTimelineVCtrl::p_layoutOn(double x, HLTimelineSlideshowBackView *row,
                                    const QList<HLRenderItemView *> &cells, HLTimelineTransitionBackView *tile,
                                    HLRenderItemView *tileCell)
{
    const double height = HLStripGeometry::kRowHeight;
    row->setParent(m_vTimelineBack);
    for (qsizetype i = 0; i < cells.size(); ++i) {
        // The cell takes its whole 80-point slot and insets its frame when it draws.
        HLStripGeometry::Frame slot = HLStripGeometry::cellFrame(i);
        slot = {slot.x - HLStripGeometry::kCellInset, 0, HLStripGeometry::kCellWidth, HLStripGeometry::kCellWidth};
        cells[i]->setParent(row);
        cells[i]->setGeometry(placed(slot, height));
        cells[i]->show();
    }
    const HLStripGeometry::Frame rowFrame = HLStripGeometry::rowFrame(x, cells.size());
    row->setGeometry(placed(rowFrame, height));
    row->show();
    x = rowFrame.maxX();
    if (tile && tileCell) {
        tile->setParent(m_vTimelineBack);
        tileCell->setParent(tile);
        tileCell->setGeometry(placed({0, 0, HLStripGeometry::kCellWidth, HLStripGeometry::kCellWidth}, height));
        tileCell->show();
        const HLStripGeometry::Frame tileFrame = HLStripGeometry::rowFrame(x, 1);
        tile->setGeometry(placed(tileFrame, height));
        tile->show();
        x = tileFrame.maxX();
    }
    return x;
}

void HLTimelineVCtrl::p_dropAllViews()
{
    auto drop = [&](QWidget *view) {
        m_aryChosenBkViews.removeAll(view);
        m_aryChosenRIViews.removeIf([view](HLRenderItemView *cell) { return cell == view; });
        if (m_vChosenFirstBkView == view)
            m_vChosenFirstBkView = nullptr;
        if (m_vChosenFirstRIView == view)
            m_vChosenFirstRIView = nullptr;
        view->hide();
        view->deleteLater();
    };
    for (auto *view : m_aryTranItemViews)
        drop(view);
    for (auto *view : m_arySlidItemViews)
        drop(view);
    for (auto *view : m_aryTranBackViews)
        drop(view);
    for (auto *view : m_arySlidBackViews)
        drop(view);
}

void HLTimelineVCtrl::clear()
{
    p_clearDirectly();
    m_strTempSSID.clear();
    m_vChosenFirstBkView = nullptr;
    m_vChosenFirstRIView = nullptr;
}

void HLTimelineVCtrl::p_clearDirectly()
{
    for (QWidget *view : m_aryChosenBkViews)
        setChosen(view, false);
    for (HLRenderItemView *view : m_aryChosenRIViews)
        view->setBIsChosen(false);
    m_aryChosenBkViews.clear();
    m_aryChosenRIViews.clear();
}

void HLTimelineVCtrl::setAryChosenBkViews(const QList<QWidget *> &views)
{
    if (views == m_aryChosenBkViews && !views.isEmpty())
        return;
    p_clearDirectly();
    m_aryChosenBkViews = views;
    for (QWidget *view : views)
        setChosen(view, true);
}

void HLTimelineVCtrl::setAryChosenRIViews(const QList<HLRenderItemView *> &views)
{
    if (views == m_aryChosenRIViews && !views.isEmpty())
        return;
    p_clearDirectly();
    m_aryChosenRIViews = views;
    for (HLRenderItemView *view : views)
        view->setBIsChosen(true);
}

bool HLTimelineVCtrl::isThereChosen() const
{
    return !m_aryChosenRIViews.isEmpty() || !p_chosenSSSIDs().isEmpty();
}

QString HLTimelineVCtrl::strAddSSID() const
{
    const QStringList rows = p_chosenSSSIDs();
    return rows.isEmpty() ? QString() : rows.first();
}

QString HLTimelineVCtrl::strEditSSSID() const
{
    if (m_aryChosenBkViews.size() != 1 || !qobject_cast<HLTimelineSlideshowBackView *>(m_aryChosenBkViews.first()))
        return {};
    return hashIDOf(m_aryChosenBkViews.first());
}

QString HLTimelineVCtrl::strEditTSSID() const
{
    if (m_aryChosenBkViews.size() != 1 || !qobject_cast<HLTimelineTransitionBackView *>(m_aryChosenBkViews.first()))
        return {};
    return hashIDOf(m_aryChosenBkViews.first());
}

QString HLTimelineVCtrl::strRDID() const
{
    return m_aryChosenRIViews.size() == 1 ? m_aryChosenRIViews.first()->UIHashID() : QString();
}

QStringList HLTimelineVCtrl::p_chosenSSSIDs() const
{
    QStringList ids;
    for (QWidget *view : m_aryChosenBkViews)
        if (qobject_cast<HLTimelineSlideshowBackView *>(view))
            ids.append(hashIDOf(view));
    return ids;
}

QStringList HLTimelineVCtrl::p_chosenTSSIDs() const
{
    QStringList ids;
    for (QWidget *view : m_aryChosenBkViews)
        if (qobject_cast<HLTimelineTransitionBackView *>(view))
            ids.append(hashIDOf(view));
    return ids;
}

QStringList HLTimelineVCtrl::p_chosenRDIDs() const
{
    QStringList ids;
    for (HLRenderItemView *view : m_aryChosenRIViews)
        ids.append(view->UIHashID());
    return ids;
}

void HLTimelineVCtrl::p_bbMouseDown(QWidget *view, QMouseEvent *event)
{
    event->accept();
    const bool wasChosen = m_aryChosenBkViews.contains(view);
    const bool shift = hlIsMaskShift(*event);
    const bool command = hlIsMaskCommand(*event);
    const bool twice = hlIsClickDouble(*event);
    m_strTempSSID.clear();

    QList<QWidget *> selection = m_aryChosenBkViews;
    QWidget *anchor = selection.size() == 1 ? selection.first() : m_vChosenFirstBkView;
    if (shift) {
        // An anchor that is gone counts as lying past the end.
        const qsizetype a = !anchor ? 0 : (m_aryBaseBackViews.contains(anchor) ? m_aryBaseBackViews.indexOf(anchor)
                                                                               : m_aryBaseBackViews.size() - 1);
        const qsizetype b = m_aryBaseBackViews.indexOf(view);
        selection = m_aryBaseBackViews.mid(std::min(a, b), std::abs(a - b) + 1);
    } else if (command) {
        if (wasChosen)
            selection.removeAll(view);
        else
            selection.append(view);
    } else if (!wasChosen) {
        selection = {view};
    }
    setAryChosenBkViews(selection);
    if (shift)
        m_vChosenFirstBkView = anchor;
    else if (wasChosen)
        m_vChosenFirstBkView = view;
    else if (!m_aryChosenBkViews.contains(m_vChosenFirstBkView))
        m_vChosenFirstBkView = nullptr;
    m_vChosenFirstRIView = nullptr;

    p_timelineStatus();
    if (m_aryChosenBkViews.size() == 1) {
        if (!wasChosen)
            p_timelineSeek(view);
        else if (!shift && !command && twice)
            p_timelineEdit();
    }
}

void HLTimelineVCtrl::p_riMouseDown(HLRenderItemView *cell, QMouseEvent *event)
{
    event->accept();
    const bool wasChosen = cell->bIsChosen();
    const bool shift = hlIsMaskShift(*event);
    const bool command = hlIsMaskCommand(*event);
    const bool twice = hlIsClickDouble(*event);
    auto *row = qobject_cast<HLTimelineSlideshowBackView *>(cell->parentWidget());
    if (!row)
        return;
    m_strTempSSID = row->strID();
    QList<HLRenderItemView *> siblings;
    for (QWidget *view : row->cellViews())
        siblings.append(static_cast<HLRenderItemView *>(view));

    QList<HLRenderItemView *> selection;
    for (HLRenderItemView *chosen : m_aryChosenRIViews)
        if (siblings.contains(chosen))
            selection.append(chosen);
    HLRenderItemView *first = siblings.contains(m_vChosenFirstRIView) ? m_vChosenFirstRIView : nullptr;
    HLRenderItemView *anchor = selection.size() == 1 ? selection.first() : first;
    if (shift) {
        const qsizetype a = anchor ? siblings.indexOf(anchor) : 0;
        const qsizetype b = siblings.indexOf(cell);
        selection = siblings.mid(std::min(a, b), std::abs(a - b) + 1);
    } else if (command) {
        if (wasChosen)
            selection.removeAll(cell);
        else
            selection.append(cell);
    } else if (!wasChosen) {
        selection = {cell};
    }
    setAryChosenRIViews(selection);
    HLRenderItemView *newFirst = nullptr;
    if (shift)
        newFirst = anchor;
    else if (cell->bIsChosen())
        newFirst = cell;
    else if (first && first->bIsChosen())
        newFirst = first;
    m_vChosenFirstRIView = newFirst;
    m_vChosenFirstBkView = nullptr;

    p_timelineStatus();
    if (m_aryChosenRIViews.size() == 1) {
        if (!wasChosen)
            p_timelineSeek(cell);
        else if (!shift && !command && twice)
            p_timelineEdit();
    }
    m_bDidDrag = false;
    m_pressPosition = event->position().toPoint();
}

void HLTimelineVCtrl::p_riMouseDragged(HLRenderItemView *cell, QMouseEvent *event)
{
    if (!cell->bIsChosen() || m_bDidDrag || !(event->buttons() & Qt::LeftButton))
        return;
    if ((event->position().toPoint() - m_pressPosition).manhattanLength() < QApplication::startDragDistance())
        return;
    m_bDidDrag = true;
    // The dragged pictures side by side, the dragged cell's first.
    const int count = int(m_aryChosenRIViews.size());
    QImage image(count * 40, 40, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        for (int i = 0; i < count; ++i)
            painter.drawImage(QRect(i * 40, 0, 40, 40), m_aryChosenRIViews[i]->imgThumb());
    }
    HLInsideDrag::begin(cell,
                        HLInsideDrag::mimeDataOf({HLInsideDrag::kTimelineInsidePboardType,
                                                  HLInsideDrag::kSlideshowInsidePboardType}),
                        QPixmap::fromImage(image), QPoint());
}

void HLTimelineVCtrl::p_sbMouseDrop(HLTimelineSlideshowBackView *row, qint64 index, const QStringList &paths)
{
    p_timelineWarning();
    const QString target = row->strID();
    const QList<QWidget *> rowCells = row->cellViews();
    const QString before = index < rowCells.size() ? hashIDOf(rowCells[index]) : QString();
    if (!paths.isEmpty()) {
        QVariantMap info{{QStringLiteral("SSID"), target}, {QStringLiteral("Paths"), paths}};
        if (!before.isEmpty())
            info.insert(QStringLiteral("HashID"), before);
        HLNotificationCenter::defaultCenter().post(kTimelineVCtrlSlidInsertNotification, info);
        return;
    }
    const QStringList moved = p_chosenRDIDs();
    if (moved.isEmpty() || m_strTempSSID.isEmpty())
        return;
    m_gate.perform(HLChange::Structure, [&] { m_oTimeline->moveInTo(moved, m_strTempSSID, target, before); });
    updateUI();
    p_timelineContent();
}

double HLTimelineVCtrl::p_mapX(double x) const
{
    const double end = m_arySlidBackViews.isEmpty() ? 0 : m_arySlidBackViews.last()->geometry().right() + 1;
    std::vector<double> tileEdges;
    for (auto *tile : m_aryTranBackViews)
        tileEdges.push_back(tile->geometry().right() + 1);
    return HLStripGeometry::backMapX(x, end, tileEdges);
}

void HLTimelineVCtrl::p_backDrop(double x, const QStringList &paths)
{
    std::vector<double> mids;
    for (auto *row : m_arySlidBackViews)
        mids.push_back(row->geometry().x() + row->geometry().width() * 0.5);
    const auto index = HLStripGeometry::backDropRow(x, mids);
    p_tbMouseDrop(index ? m_arySlidBackViews[qsizetype(*index)]->strID() : QString(), paths);
}

void HLTimelineVCtrl::p_tbMouseDrop(const QString &ssid, const QStringList &paths)
{
    p_timelineWarning();
    if (!paths.isEmpty()) {
        QVariantMap info{{QStringLiteral("Paths"), paths}};
        if (!ssid.isEmpty())
            info.insert(QStringLiteral("SSID"), ssid);
        HLNotificationCenter::defaultCenter().post(kTimelineVCtrlBackInsertNotification, info);
        return;
    }
    const QStringList moved = p_chosenRDIDs();
    if (moved.isEmpty() || m_strTempSSID.isEmpty())
        return;
    m_gate.perform(HLChange::Structure, [&] { m_oTimeline->moveOutTo(moved, m_strTempSSID, ssid); });
    updateUI();
    p_timelineContent();
}

void HLTimelineVCtrl::deleteTheChosen()
{
    if (!isThereChosen())
        return;
    p_timelineWarning();
    QStringList tiles = p_chosenTSSIDs();
    if (!m_aryChosenRIViews.isEmpty()) {
        // A drop on the back view can leave the chosen cells in several rows: each row
        // loses its own.
        QList<QPair<QString, QStringList>> byRow;
        for (HLRenderItemView *cell : m_aryChosenRIViews) {
            const QString ssid = hashIDOf(cell->parentWidget());
            auto found = std::find_if(byRow.begin(), byRow.end(), [&](const auto &entry) { return entry.first == ssid; });
            if (found == byRow.end())
                byRow.append({ssid, {cell->UIHashID()}});
            else
                found->second.append(cell->UIHashID());
        }
        m_gate.perform(HLChange::Structure, [&] {
            for (const auto &[ssid, hashIDs] : byRow)
                m_oTimeline->removeFrom(hashIDs, ssid);
        });
    } else {
        const QStringList rows = p_chosenSSSIDs();
        tiles.removeIf([&](const QString &ssid) { return rows.contains(ssid); });
        m_gate.perform(HLChange::Structure, [&] { m_oTimeline->remove(rows); });
    }
    clear();
    updateUI();
    if (!tiles.isEmpty()) {
        QList<QWidget *> kept;
        for (auto *tile : m_aryTranBackViews)
            if (tiles.contains(tile->strID()))
                kept.append(tile);
        setAryChosenBkViews(kept);
    }
    p_timelineStatus();
    p_timelineContent();
}

void HLTimelineVCtrl::p_timelineWarning()
{
    if (m_blkWarning)
        m_blkWarning();
}

void HLTimelineVCtrl::p_timelineStatus()
{
    if (m_blkStatus)
        m_blkStatus(strEditSSSID(), strEditTSSID(), strRDID());
}

void HLTimelineVCtrl::p_timelineSeek(QWidget *view)
{
    if (m_blkSeek)
        m_blkSeek(view);
}

void HLTimelineVCtrl::p_timelineEdit()
{
    if (m_blkEdit)
        m_blkEdit();
}

void HLTimelineVCtrl::p_timelineContent()
{
    if (m_blkContent)
        m_blkContent();
}
