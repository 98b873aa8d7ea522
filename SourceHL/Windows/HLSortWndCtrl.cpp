#include "SourceHL/Windows/HLSortWndCtrl.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLEventHelper.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/Windows/HLSortBackView.h"
#include "SourceHL/Windows/HLSortChoice.h"
#include "SourceHL/Windows/HLSortInside.h"
#include "SourceHL/Windows/HLSortSlidView.h"
#include "SourceHL/Windows/HLSortTopBackView.h"
#include "SourceHL/Windows/HLUISortBottomView.h"
#include "widgets/HLAddPanel.h"
#include "widgets/HLNamedImage.h"
#include "widgets/HLUIWindowTitleView.h"
#include "widgets/HLViewHelper.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

#include <cmath>

namespace {

constexpr int kZoomMin = 50; // percent of the 80-point cell
constexpr int kZoomMax = 200;

QVariantMap infoOf(const QList<QVariantMap> &infos, const QString &key, const QString &identifier)
{
    for (const QVariantMap &info : infos)
        if (info.value(key).toString() == identifier)
            return info;
    return {};
}

// The press's place among views, and the choice among them.
template <class View>
HLSortChoice::Choice choiceAmong(const QList<View *> &views, const QList<QPointer<View>> &chosen, const QPointer<View> &anchor)
{
    HLSortChoice::Choice choice;
    for (const QPointer<View> &view : chosen)
        if (const qsizetype at = views.indexOf(view.data()); view && at >= 0)
            choice.chosen.push_back(at);
    if (anchor)
        if (const qsizetype at = views.indexOf(anchor.data()); at >= 0)
            choice.anchor = at;
    return choice;
}

template <class View>
QList<View *> viewsAt(const QList<View *> &views, const std::vector<std::int64_t> &indexes)
{
    QList<View *> list;
    for (const std::int64_t index : indexes)
        list.append(views[index]);
    return list;
}

QRect flipped(const HLSortGeometry::Rect &rect, double parentHeight)
{
    return QRect(int(std::lround(rect.x)), int(std::lround(parentHeight - rect.maxY())), int(std::lround(rect.width)),
                 int(std::lround(rect.height)));
}

} // namespace

HLSortWndCtrl::HLSortWndCtrl(QObject *parent) : QObject(parent), m_panel(&hl_runAddPanel)
{
}

HLSortWndCtrl::~HLSortWndCtrl()
{
    delete m_window;
}

void HLSortWndCtrl::setUpAdd(AddBlock add, std::function<void()> feedback)
{
    m_blkAdd = std::move(add);
    m_blkFeedback = std::move(feedback);
}

QDialog *HLSortWndCtrl::window()
{
    if (!m_window)
        p_loadWindow();
    return m_window;
}

void HLSortWndCtrl::p_loadWindow()
{
    m_window = new QDialog;
    m_window->setWindowTitle(tr("Slide Sorter"));
    m_window->setWindowModality(Qt::ApplicationModal);
    m_window->resize(760, 560);
    m_window->setMinimumSize(420, 300);
    auto *layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_vTitle = new HLUIWindowTitleView(m_window);
    m_vTitle->setStrTitle(m_window->windowTitle());
    m_vTitle->setFixedHeight(25);
    layout->addWidget(m_vTitle);

    auto *top = new HLSortTopBackView(m_window);
    top->setFixedHeight(36);
    auto *topLayout = new QHBoxLayout(top);
    topLayout->setContentsMargins(12, 4, 12, 4);
    topLayout->addStretch();
    auto *zoomLabel = new QLabel(tr("Zoom"), top);
    topLayout->addWidget(zoomLabel);
    m_sldZoom = new QSlider(Qt::Horizontal, top);
    m_sldZoom->setRange(kZoomMin, kZoomMax);
    m_sldZoom->setValue(100);
    m_sldZoom->setFixedWidth(160);
    topLayout->addWidget(m_sldZoom);
    connect(m_sldZoom, &QSlider::valueChanged, this, [this](int percent) { setDRatio(float(percent) / 100.0f); });
    layout->addWidget(top);

    m_slvBack = new QScrollArea(m_window);
    m_slvBack->setFrameShape(QFrame::NoFrame);
    m_slvBack->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_slvBack->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_slvBack->setWidgetResizable(false);
    QPalette back = m_slvBack->palette();
    back.setColor(QPalette::Window, QColor::fromRgbF(0.2, 0.2, 0.2));
    m_slvBack->setPalette(back);
    m_slvBack->viewport()->setAutoFillBackground(true);
    m_slvBack->viewport()->setPalette(back);
    m_vSortBack = new HLSortBackView;
    m_slvBack->setWidget(m_vSortBack);
    m_slvBack->viewport()->installEventFilter(this);
    layout->addWidget(m_slvBack, 1);

    auto *bottom = new HLUISortBottomView(m_window);
    bottom->setFixedHeight(48);
    auto *bottomLayout = new QHBoxLayout(bottom);
    bottomLayout->setContentsMargins(12, 8, 12, 8);
    m_btnAdd = new QPushButton(tr("Add Photos && Videos"), bottom);
    m_btnAdd->setIcon(HLNamedImage::icon(QStringLiteral("AddMedia")));
    bottomLayout->addWidget(m_btnAdd);
    bottomLayout->addStretch();
    connect(m_btnAdd, &QPushButton::clicked, this, &HLSortWndCtrl::add);
    layout->addWidget(bottom);

    m_window->installEventFilter(this);
    connect(m_window, &QDialog::finished, this, &HLSortWndCtrl::p_windowWillClose);
    m_vSortBack->setupMap([this](double y) { return p_mapY(y); },
                          [this](HLSortBackView *, double lineY, const QStringList &paths) { p_sbDrop(lineY, paths); });
    setDRatio(1.0f);
}

void HLSortWndCtrl::open(const std::shared_ptr<HLTimelineItem> &timeline, HLEditGate &gate)
{
    window();
    m_gate = &gate;
    // A choice of an earlier opening never acts in this one.
    p_clear();
    p_updateModel(timeline);
    m_window->show();
    p_updateUI();
    p_scrollToTop();
}

void HLSortWndCtrl::sortModel(const std::shared_ptr<HLTimelineItem> &timeline, HLEditGate &gate)
{
    open(timeline, gate);
    m_window->exec();
}

void HLSortWndCtrl::p_windowWillClose()
{
    p_clear();
    p_updateModel(nullptr);
    p_updateUI();
    m_gate = nullptr;
    if (m_blkFeedback)
        m_blkFeedback();
}

void HLSortWndCtrl::setDRatio(float ratio)
{
    if (ratio == m_dRatio)
        return;
    m_dRatio = ratio;
    if (m_sldZoom && m_sldZoom->value() != int(std::lround(ratio * 100))) {
        const QSignalBlocker blocker(m_sldZoom);
        m_sldZoom->setValue(int(std::lround(ratio * 100)));
    }
    p_updateUI();
}

void HLSortWndCtrl::p_updateModel(const std::shared_ptr<HLTimelineItem> &timeline)
{
    if (timeline == m_oTimeline)
        return;
    m_oTimeline = timeline;
    for (HLRenderItemView *cell : std::as_const(m_aryItemViews))
        delete cell;
    for (HLSortSlidView *tile : std::as_const(m_arySlidViews))
        tile->deleteLater(); // a drop on it may be running
    for (HLSortSlidView *tile : std::as_const(m_arySlidViews))
        tile->hide();
    m_aryItemViews.clear();
    m_arySlidViews.clear();
}

void HLSortWndCtrl::p_updateUI()
{
    if (!m_vSortBack)
        return;
    const QSize scroll = m_slvBack->viewport()->size();
    QList<HLSortSlidView *> oldTiles = m_arySlidViews;
    QList<HLRenderItemView *> oldCells = m_aryItemViews;
    QList<HLSortSlidView *> tiles;
    QList<HLRenderItemView *> cells;
    const auto items = m_oTimeline ? m_oTimeline->aryItems() : HLTimelineItem::SlideshowItems();
    const QList<QVariantMap> infos = m_oTimeline ? m_oTimeline->timelineInfos() : QList<QVariantMap>();
    std::vector<std::int64_t> counts;
    for (const auto &item : items)
        counts.push_back(item->resourceHashIDs().size());
    m_board = HLSortGeometry::storyboardOf(scroll.width(), scroll.height(), counts, m_dRatio);
    m_vSortBack->resize(int(m_board.backWidth), int(std::lround(m_board.backHeight)));
    const QImage mask = HLNamedImage::pixmap(QStringLiteral("ThumbMaskVideo"), 1).toImage();
    const double side = HLSortGeometry::cellSide(m_dRatio);
    for (qsizetype i = 0; i < items.size(); ++i) {
        const auto &item = items[i];
        const QString ssid = item->strSSID();
        const QVariantMap info = infoOf(infos, kInfoKeyTIHashID, ssid);
        HLSortSlidView *tile = hl_reuseView(oldTiles, ssid, [&] {
            HLSortSlidView *made = HLSortSlidView::sortSlidViewOf(ssid, info.value(kInfoKeyTISlName).toString());
            made->setup(m_btnAdd);
            made->setUpAdd([this](HLSortSlidView *view) { p_ssAdd(view); },
                           [this](HLSortSlidView *view, QMouseEvent *event) { p_ssMouseDown(view, event); },
                           [this](HLSortSlidView *view, QMouseEvent *event) { p_ssMouseDrag(view, event); }, nullptr,
                           [this](HLSortSlidView *view, qint64 index, const QStringList &paths) {
                               p_ssMouseDrop(view, index, paths);
                           });
            return made;
        });
        tile->updateDuration(info.value(kInfoKeyTISlDura).toFloat(), info.value(kInfoKeyTICounts).toLongLong());
        tile->setDRatio(m_dRatio);
        const HLSortGeometry::Rect frame = m_board.tiles[size_t(i)];
        if (tile->parentWidget() != m_vSortBack)
            tile->setParent(m_vSortBack);
        tile->setGeometry(flipped(frame, m_board.backHeight));
        // Thumbnails are the resources' own; asked for only when a cell is new.
        QList<QVariantMap> pictures;
        bool picturesRead = false;
        const QStringList ids = item->resourceHashIDs();
        for (qsizetype k = 0; k < ids.size(); ++k) {
            HLRenderItemView *cell = hl_reuseView(oldCells, ids[k], [&] {
                if (!picturesRead) {
                    pictures = item->slideshowInfos();
                    picturesRead = true;
                }
                const QVariantMap picture = infoOf(pictures, kInfoKeySIHasID, ids[k]);
                HLRenderItemView *made = HLRenderItemView::renderItemViewOf(ids[k]);
                made->updateThumb(picture.value(kInfoKeySIThumb).value<QImage>(),
                                  picture.value(kInfoKeySIIsVid).toBool() ? mask : QImage());
                made->setUpMouseDown([this](HLRenderItemView *view, QMouseEvent *event) { p_riMouseDown(view, event); },
                                     [this](HLRenderItemView *view, QMouseEvent *event) {
                                         p_riMouseDragged(view, event);
                                     },
                                     nullptr);
                return made;
            });
            if (cell->parentWidget() != tile)
                cell->setParent(tile);
            cell->setFixedSize(int(std::lround(side)), int(std::lround(side)));
            cell->setGeometry(flipped(HLSortGeometry::gridSquare(k, m_board.columns, frame.height, m_dRatio), frame.height));
            cell->show();
            cells.append(cell);
        }
        tile->updateAddUI();
        tile->show();
        tiles.append(tile);
    }
    for (HLRenderItemView *cell : std::as_const(oldCells)) {
        cell->hide();
        cell->deleteLater();
    }
    for (HLSortSlidView *tile : std::as_const(oldTiles)) {
        tile->hide();
        tile->deleteLater(); // a drop on it may be running
    }
    m_arySlidViews = tiles;
    m_aryItemViews = cells;
    // Chosen views that went stay unchosen.
    m_aryChosenSdViews.removeIf([&](const QPointer<HLSortSlidView> &view) { return !tiles.contains(view.data()); });
    m_aryChosenRIViews.removeIf([&](const QPointer<HLRenderItemView> &view) { return !cells.contains(view.data()); });
    if (!tiles.contains(m_vChosenFirstSdView.data()))
        m_vChosenFirstSdView = nullptr;
    if (!cells.contains(m_vChosenFirstRIView.data()))
        m_vChosenFirstRIView = nullptr;
}

void HLSortWndCtrl::p_scrollToTop()
{
    m_slvBack->verticalScrollBar()->setValue(0);
}

bool HLSortWndCtrl::eventFilter(QObject *watched, QEvent *event)
{
    if (hlIsViewportResize(m_slvBack, watched, event) && m_oTimeline)
        p_updateUI();
    if (watched == m_window && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (hlIsKeyDelete(*key) || key->key() == Qt::Key_Delete) {
            p_keyDown(key);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

QStringList HLSortWndCtrl::chosenSSIDs() const
{
    QStringList ids;
    for (const auto &view : m_aryChosenSdViews)
        if (view)
            ids.append(view->strID());
    return ids;
}

QStringList HLSortWndCtrl::chosenRDIDs() const
{
    QStringList ids;
    for (const auto &view : m_aryChosenRIViews)
        if (view)
            ids.append(view->strID());
    return ids;
}

QList<HLRenderItemView *> HLSortWndCtrl::subItemViewsOf(const HLSortSlidView *tile) const
{
    QList<HLRenderItemView *> views;
    for (HLRenderItemView *cell : m_aryItemViews)
        if (cell->parentWidget() == tile)
            views.append(cell);
    return views;
}

void HLSortWndCtrl::p_clearDirectly()
{
    for (const auto &view : std::as_const(m_aryChosenSdViews))
        if (view)
            view->setBIsChosen(false);
    for (const auto &view : std::as_const(m_aryChosenRIViews))
        if (view)
            view->setBIsChosen(false);
    m_aryChosenSdViews.clear();
    m_aryChosenRIViews.clear();
}

void HLSortWndCtrl::p_clear()
{
    p_clearDirectly();
    m_strTempSSID.clear();
    m_vChosenFirstSdView = nullptr;
    m_vChosenFirstRIView = nullptr;
}

void HLSortWndCtrl::setAryChosenSdViews(const QList<HLSortSlidView *> &views)
{
    p_clearDirectly();
    for (HLSortSlidView *view : views) {
        m_aryChosenSdViews.append(view);
        view->setBIsChosen(true);
    }
}

void HLSortWndCtrl::setAryChosenRIViews(const QList<HLRenderItemView *> &views)
{
    p_clearDirectly();
    for (HLRenderItemView *view : views) {
        m_aryChosenRIViews.append(view);
        view->setBIsChosen(true);
    }
}

void HLSortWndCtrl::p_retargetChosenCells()
{
    const QStringList chosen = chosenRDIDs();
    if (chosen.isEmpty() || !m_oTimeline)
        return;
    for (const auto &item : m_oTimeline->aryItems()) {
        const QStringList ids = item->resourceHashIDs();
        if (!ids.contains(chosen.first()))
            continue;
        m_strTempSSID = item->strSSID();
        // Cells grouped into other slideshow items by the move are no longer one choice.
        QList<HLRenderItemView *> kept;
        for (const auto &view : std::as_const(m_aryChosenRIViews))
            if (view && ids.contains(view->strID()))
                kept.append(view.data());
        const QPointer<HLRenderItemView> anchor = m_vChosenFirstRIView;
        setAryChosenRIViews(kept);
        m_vChosenFirstRIView = anchor && kept.contains(anchor.data()) ? anchor : QPointer<HLRenderItemView>();
        return;
    }
    p_clear();
}

void HLSortWndCtrl::p_ssMouseDown(HLSortSlidView *tile, QMouseEvent *event)
{
    const qsizetype pressed = m_arySlidViews.indexOf(tile);
    if (pressed < 0)
        return;
    m_strTempSSID.clear();
    const auto after = HLSortChoice::press(choiceAmong(m_arySlidViews, m_aryChosenSdViews, m_vChosenFirstSdView), pressed,
                                           hlIsMaskShift(*event), hlIsMaskCommand(*event),
                                           HLSortChoice::AnchorRule::ChosenBefore);
    setAryChosenSdViews(viewsAt(m_arySlidViews, after.chosen));
    m_vChosenFirstSdView = after.anchor ? m_arySlidViews[*after.anchor] : nullptr;
    m_vChosenFirstRIView = nullptr;
    m_bDidDrag = false;
}

void HLSortWndCtrl::p_riMouseDown(HLRenderItemView *cell, QMouseEvent *event)
{
    auto *tile = qobject_cast<HLSortSlidView *>(cell->parentWidget());
    if (!tile)
        return;
    m_strTempSSID = tile->strID();
    const QList<HLRenderItemView *> siblings = subItemViewsOf(tile);
    const auto after = HLSortChoice::press(choiceAmong(siblings, m_aryChosenRIViews, m_vChosenFirstRIView),
                                           siblings.indexOf(cell), hlIsMaskShift(*event), hlIsMaskCommand(*event),
                                           HLSortChoice::AnchorRule::ChosenAfter);
    setAryChosenRIViews(viewsAt(siblings, after.chosen));
    m_vChosenFirstRIView = after.anchor ? siblings[*after.anchor] : nullptr;
    m_vChosenFirstSdView = nullptr;
    m_bDidDrag = false;
}

void HLSortWndCtrl::p_ssMouseDrag(HLSortSlidView *tile, QMouseEvent *event)
{
    if (!tile->bIsChosen() || m_bDidDrag)
        return;
    m_bDidDrag = true;
    const QPoint hot = event->position().toPoint();
    HLInsideDrag::begin(tile, HLInsideDrag::mimeDataOf({kSortBackInsidePboardType}, hot),
                        QPixmap::fromImage(hlSnapshot(tile)), hot);
}

void HLSortWndCtrl::p_riMouseDragged(HLRenderItemView *cell, QMouseEvent *event)
{
    if (!cell->bIsChosen() || m_bDidDrag)
        return;
    m_bDidDrag = true;
    const QPoint hot = event->position().toPoint();
    HLInsideDrag::begin(cell, HLInsideDrag::mimeDataOf({kSortBackInsidePboardType, kSortSlidInsidePboardType}, hot),
                        QPixmap::fromImage(cell->imgThumb()), hot);
}

double HLSortWndCtrl::p_mapY(double y) const
{
    return HLSortGeometry::dropLineOf(y, m_board.tiles, m_board.backHeight);
}

void HLSortWndCtrl::p_sbDrop(double lineY, const QStringList &paths)
{
    const std::size_t at = HLSortGeometry::insertionTileOf(lineY, m_board.tiles);
    p_sbMouseDrop(at < size_t(m_arySlidViews.size()) ? m_arySlidViews[qsizetype(at)]->strID() : QString(), paths);
}

void HLSortWndCtrl::p_sbMouseDrop(const QString &ssid, const QStringList &paths)
{
    if (!paths.isEmpty()) {
        p_addVideosAndImagesOutTo(paths, ssid);
        return;
    }
    const QStringList cells = chosenRDIDs();
    if (!cells.isEmpty()) {
        const QString source = m_strTempSSID;
        p_edit([&](HLTimelineItem &timeline) { timeline.moveOutTo(cells, source, ssid); });
        p_retargetChosenCells();
        return;
    }
    const QStringList tiles = chosenSSIDs();
    if (!tiles.isEmpty())
        p_edit([&](HLTimelineItem &timeline) { timeline.move(tiles, ssid); });
}

void HLSortWndCtrl::p_ssMouseDrop(HLSortSlidView *tile, qint64 index, const QStringList &paths)
{
    const QList<HLRenderItemView *> siblings = subItemViewsOf(tile);
    const QString before = index >= 0 && index < siblings.size() ? siblings[index]->strID() : QString();
    const QString target = tile->strID();
    if (!paths.isEmpty()) {
        p_addVideosAndImagesInTo(paths, target, before);
        return;
    }
    const QStringList cells = chosenRDIDs();
    if (cells.isEmpty())
        return; // a drop acts on the current choice only
    const QString source = m_strTempSSID;
    p_edit([&](HLTimelineItem &timeline) { timeline.moveInTo(cells, source, target, before); });
    p_retargetChosenCells();
}

void HLSortWndCtrl::p_keyDown(QKeyEvent *)
{
    const QStringList cells = chosenRDIDs();
    const QStringList tiles = chosenSSIDs();
    const QString ssid = m_strTempSSID;
    p_clear();
    if (!ssid.isEmpty() && !cells.isEmpty())
        p_edit([&](HLTimelineItem &timeline) { timeline.removeFrom(cells, ssid); });
    else if (ssid.isEmpty() && !tiles.isEmpty())
        p_edit([&](HLTimelineItem &timeline) { timeline.remove(tiles); });
}

void HLSortWndCtrl::add()
{
    const QStringList paths = m_panel ? m_panel(m_window) : QStringList();
    if (!paths.isEmpty())
        p_addVideosAndImagesOutTo(paths, QString());
}

void HLSortWndCtrl::p_ssAdd(HLSortSlidView *tile)
{
    const QString ssid = tile->strID();
    const QStringList paths = m_panel ? m_panel(m_window) : QStringList();
    if (!paths.isEmpty())
        p_addVideosAndImagesInTo(paths, ssid, QString());
}

void HLSortWndCtrl::p_addVideosAndImagesOutTo(const QStringList &paths, const QString &ssid)
{
    if (!m_blkAdd)
        return;
    QPointer<HLSortWndCtrl> self(this);
    m_blkAdd(paths, [self, ssid](HLTimelineItem &timeline, const ResourceItems &items) {
        // A target removed meanwhile puts the new items at the end.
        timeline.addOutTo(items, timeline.slideshowItemOf(ssid) ? ssid : QString());
        if (self && self->m_oTimeline.get() == &timeline)
            self->p_updateUI();
    });
}

void HLSortWndCtrl::p_addVideosAndImagesInTo(const QStringList &paths, const QString &ssid, const QString &before)
{
    if (!m_blkAdd)
        return;
    QPointer<HLSortWndCtrl> self(this);
    m_blkAdd(paths, [self, ssid, before](HLTimelineItem &timeline, const ResourceItems &items) {
        if (timeline.slideshowItemOf(ssid))
            timeline.addInTo(items, ssid, before);
        else
            timeline.addOutTo(items, QString());
        if (self && self->m_oTimeline.get() == &timeline)
            self->p_updateUI();
    });
}

void HLSortWndCtrl::p_edit(const std::function<void(HLTimelineItem &timeline)> &edit)
{
    if (!m_oTimeline || !m_gate)
        return;
    const auto timeline = m_oTimeline;
    m_gate->perform(HLChange::Structure, [&] { edit(*timeline); });
    p_updateUI();
}
