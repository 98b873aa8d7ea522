#pragma once

#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class HLEditGate;
class HLRenderItemView;
#include "SourceHL/View/HLTimelineBackView.h"
class HLTimelineItem;
class HLTimelineSlideshowBackView;
class HLTimelineTransitionBackView;
class QMimeData;
class QMouseEvent;
class QWidget;

inline const QString kTimelineVCtrlSlidInsertNotification = QStringLiteral("TimelineVCtrlSlidInsertNotification");
inline const QString kTimelineVCtrlBackInsertNotification = QStringLiteral("TimelineVCtrlBackInsertNotification");

// The slideshow strip: one row per slideshow item with a cell per photo or clip, and the
// tile of the transition after it. It rebuilds itself from the timeline reusing the views
// whose items stay, keeps the choice (rows and tiles, or cells of one row), drags chosen
// cells, makes the moves and deletions the user asks for through the edit gate, and hands
// dropped files to the import as notifications.
class HLTimelineVCtrl : public QObject
{
    Q_OBJECT
public:
    using Block = std::function<void()>;
    using StatusBlock = std::function<void(const QString &sssid, const QString &tssid, const QString &rdid)>;
    using SeekBlock = std::function<void(QWidget *view)>;

    explicit HLTimelineVCtrl(HLEditGate &gate);
    ~HLTimelineVCtrl() override;

    // The strip: the drop target behind the rows, the rows laid out on it from x 3.
    HLTimelineBackView *view() const { return m_vTimelineBack; }

    void setupWarning(Block warning) { m_blkWarning = std::move(warning); }
    void setupStatus(StatusBlock status, SeekBlock seek, Block edit, Block content);

    void updateModel(const std::shared_ptr<HLTimelineItem> &timeline);
    void updateUI();
    void clear();
    bool isThereChosen() const;
    void deleteTheChosen();

    const std::shared_ptr<HLTimelineItem> &oTimeline() const { return m_oTimeline; }
    // The first chosen row, however many are chosen: where added media go.
    QString strAddSSID() const;
    QString strEditSSSID() const;
    QString strEditTSSID() const;
    QString strRDID() const;

    const QList<HLTimelineSlideshowBackView *> &arySlidBackViews() const { return m_arySlidBackViews; }
    const QList<HLTimelineTransitionBackView *> &aryTranBackViews() const { return m_aryTranBackViews; }
    const QList<QWidget *> &aryBaseBackViews() const { return m_aryBaseBackViews; }
    const QList<HLRenderItemView *> &arySlidItemViews() const { return m_arySlidItemViews; }
    const QList<QWidget *> &aryChosenBkViews() const { return m_aryChosenBkViews; }
    const QList<HLRenderItemView *> &aryChosenRIViews() const { return m_aryChosenRIViews; }
    QString strTempSSID() const { return m_strTempSSID; }

    void setAryChosenBkViews(const QList<QWidget *> &views);
    void setAryChosenRIViews(const QList<HLRenderItemView *> &views);

private:
    void p_bbMouseDown(QWidget *view, QMouseEvent *event);
    void p_riMouseDown(HLRenderItemView *cell, QMouseEvent *event);
    void p_riMouseDragged(HLRenderItemView *cell, QMouseEvent *event);
    void p_sbMouseDrop(HLTimelineSlideshowBackView *row, qint64 index, const QStringList &paths);
    double p_mapX(double x) const;
    void p_backDrop(double x, const QStringList &paths);
    void p_tbMouseDrop(const QString &ssid, const QStringList &paths);
    double p_layoutOn(double x, HLTimelineSlideshowBackView *row, const QList<HLRenderItemView *> &cells,
                      HLTimelineTransitionBackView *tile, HLRenderItemView *tileCell);
    void p_clearDirectly();
    void p_dropAllViews();
    void p_timelineWarning();
    void p_timelineStatus();
    void p_timelineSeek(QWidget *view);
    void p_timelineEdit();
    void p_timelineContent();
    QStringList p_chosenSSSIDs() const;
    QStringList p_chosenTSSIDs() const;
    QStringList p_chosenRDIDs() const;
    HLTimelineSlideshowBackView *p_makeRow(const QString &ssid);
    HLRenderItemView *p_makeCell(const QString &hashID, const QList<QVariantMap> &infos, const QImage &mask);

    HLEditGate &m_gate;
    bool m_bDidDrag = false;
    QPoint m_pressPosition;
    std::shared_ptr<HLTimelineItem> m_oTimeline;
    QPointer<HLTimelineBackView> m_vTimelineBack;
    QList<HLTimelineSlideshowBackView *> m_arySlidBackViews;
    QList<HLTimelineTransitionBackView *> m_aryTranBackViews;
    QList<QWidget *> m_aryBaseBackViews;
    QList<HLRenderItemView *> m_arySlidItemViews;
    QList<HLRenderItemView *> m_aryTranItemViews;
    Block m_blkWarning;
    StatusBlock m_blkStatus;
    SeekBlock m_blkSeek;
    Block m_blkEdit;
    Block m_blkContent;
    QString m_strTempSSID;
    QList<QWidget *> m_aryChosenBkViews;
    QList<HLRenderItemView *> m_aryChosenRIViews;
    QWidget *m_vChosenFirstBkView = nullptr;
    HLRenderItemView *m_vChosenFirstRIView = nullptr;
};
