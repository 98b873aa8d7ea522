#pragma once

#include "SourceHL/Windows/HLSortGeometry.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class HLEditGate;
class HLRenderItemView;
class HLResourceItem;
class HLSortBackView;
class HLSortSlidView;
class HLTimelineItem;
class HLUIWindowTitleView;
class QDialog;
class QKeyEvent;
class QMouseEvent;
class QPushButton;
class QScrollArea;
class QSlider;

// The slide sorter: the whole picture timeline as a storyboard in a modal window, one tile per
// slideshow item with a cell per photo or video. The user zooms, chooses tiles or the cells of
// one tile, drags them to re-order, merge and split slideshow items, deletes them and adds
// files. Each drop, delete and add is one edit of the timeline through the edit gate; the main
// window refreshes its own views from the feedback when the window closes.
class HLSortWndCtrl : public QObject
{
    Q_OBJECT
public:
    using ResourceItems = QList<std::shared_ptr<HLResourceItem>>;
    // Puts imported items into the timeline the import was started for; runs in the gate.
    using AddCompletion = std::function<void(HLTimelineItem &timeline, const ResourceItems &items)>;
    using AddBlock = std::function<void(const QStringList &paths, AddCompletion completion)>;
    // The files to add, asked on the window; empty when the user cancels.
    using Panel = std::function<QStringList(QWidget *window)>;

    explicit HLSortWndCtrl(QObject *parent = nullptr);
    ~HLSortWndCtrl() override;

    void setUpAdd(AddBlock add, std::function<void()> feedback);
    // Shows the timeline and runs the window modally; returns once it has closed and the
    // feedback has run.
    void sortModel(const std::shared_ptr<HLTimelineItem> &timeline, HLEditGate &gate);
    // Shows the timeline without a modal loop of its own (sortModel's first half).
    void open(const std::shared_ptr<HLTimelineItem> &timeline, HLEditGate &gate);
    // Replaces the open panel (tests).
    void setPanel(Panel panel) { m_panel = std::move(panel); }

    float dRatio() const { return m_dRatio; }
    // Rebuilds the storyboard when the value changes.
    void setDRatio(float ratio);
    // The Add button: new slideshow items at the end.
    void add();

    QDialog *window();
    HLSortBackView *backView() const { return m_vSortBack; }
    QScrollArea *scrollView() const { return m_slvBack; }
    QSlider *zoomSlider() const { return m_sldZoom; }
    QPushButton *btnAdd() const { return m_btnAdd; }
    const QList<HLSortSlidView *> &slidViews() const { return m_arySlidViews; }
    const QList<HLRenderItemView *> &itemViews() const { return m_aryItemViews; }
    const std::shared_ptr<HLTimelineItem> &oTimeline() const { return m_oTimeline; }
    QStringList chosenSSIDs() const;
    QStringList chosenRDIDs() const;
    QString strTempSSID() const { return m_strTempSSID; }
    // The cells of tile, in the slideshow item's order.
    QList<HLRenderItemView *> subItemViewsOf(const HLSortSlidView *tile) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void p_loadWindow();
    void p_updateModel(const std::shared_ptr<HLTimelineItem> &timeline);
    void p_updateUI();
    void p_scrollToTop();
    void p_windowWillClose();
    void p_keyDown(QKeyEvent *event);

    void p_clearDirectly();
    void p_clear();
    void setAryChosenSdViews(const QList<HLSortSlidView *> &views);
    void setAryChosenRIViews(const QList<HLRenderItemView *> &views);
    // After cells moved: they name the slideshow item that holds them now.
    void p_retargetChosenCells();

    void p_ssAdd(HLSortSlidView *tile);
    void p_ssMouseDown(HLSortSlidView *tile, QMouseEvent *event);
    void p_ssMouseDrag(HLSortSlidView *tile, QMouseEvent *event);
    void p_ssMouseDrop(HLSortSlidView *tile, qint64 index, const QStringList &paths);
    void p_riMouseDown(HLRenderItemView *cell, QMouseEvent *event);
    void p_riMouseDragged(HLRenderItemView *cell, QMouseEvent *event);
    double p_mapY(double y) const;
    void p_sbDrop(double lineY, const QStringList &paths);
    void p_sbMouseDrop(const QString &ssid, const QStringList &paths);

    void p_addVideosAndImagesOutTo(const QStringList &paths, const QString &ssid);
    void p_addVideosAndImagesInTo(const QStringList &paths, const QString &ssid, const QString &before);
    // One edit of the open timeline through the gate, then the storyboard follows.
    void p_edit(const std::function<void(HLTimelineItem &timeline)> &edit);

    QDialog *m_window = nullptr;
    HLUIWindowTitleView *m_vTitle = nullptr;
    QScrollArea *m_slvBack = nullptr;
    HLSortBackView *m_vSortBack = nullptr;
    QPushButton *m_btnAdd = nullptr;
    QSlider *m_sldZoom = nullptr;

    std::shared_ptr<HLTimelineItem> m_oTimeline;
    HLEditGate *m_gate = nullptr;
    AddBlock m_blkAdd;
    std::function<void()> m_blkFeedback;
    Panel m_panel;

    QList<HLSortSlidView *> m_arySlidViews;
    QList<HLRenderItemView *> m_aryItemViews;
    HLSortGeometry::Storyboard m_board;
    float m_dRatio = 0;

    QString m_strTempSSID;
    QList<QPointer<HLSortSlidView>> m_aryChosenSdViews;
    QList<QPointer<HLRenderItemView>> m_aryChosenRIViews;
    QPointer<HLSortSlidView> m_vChosenFirstSdView;
    QPointer<HLRenderItemView> m_vChosenFirstRIView;
    bool m_bDidDrag = false;
};
