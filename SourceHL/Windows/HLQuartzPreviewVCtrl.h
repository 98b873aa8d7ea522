#pragma once

#include "SourceHL/View/HLQuartzPreviewView.h"
#include "SourceHL/Windows/HLQuartzGridGeometry.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QScrollArea>
#include <QString>

#include <functional>
#include <memory>

class HLRender;
class QTimer;
class QWidget;

// One tab of the template chooser: every template of the tab as a tile in a scrolling grid,
// a live preview of the template under the pointer at 30 frames a second (rendered on the
// main thread into whichever tile reported the pointer, an editor's tile included), the
// chosen template marked, and clicks reported to the owner.
class HLQuartzPreviewVCtrl : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<quint64()>;

    static std::unique_ptr<HLQuartzPreviewVCtrl> quartzPreviewVCtrlOf(QuartzUIType uiType);
    ~HLQuartzPreviewVCtrl() override;

    QScrollArea *view() const { return m_view; }
    QuartzUIType enUIType() const { return m_enUIType; }
    std::int64_t enType() const { return HLQuartzRules::typeOf(m_enUIType); }

    void setupFeedback(std::function<void()> feedback) { m_blkFeedback = std::move(feedback); }
    void setBCanChoose(bool can);
    // Marks the tiles of that title (none: no tile); the last of them becomes the chosen tile.
    void setStrChosenName(const QString &name);
    QString strChosenName() const;
    HLQuartzPreviewView *quartzPreviewOf(const QString &name) const;
    void scrollToUp();
    void scrollToVisible();
    // Stops the live preview and gives the display tile its thumbnail back.
    void clear();

    const QList<HLQuartzPreviewView *> &aryPreviewViews() const { return m_aryPreviewViews; }
    HLQuartzPreviewView *vChosenView() const { return m_vChosenView; }
    HLQuartzPreviewView *vDisplayView() const { return m_vDisplayView; }
    bool isPreviewing() const;
    float dNowTime() const { return m_dNowTime; }
    float dDuration() const { return m_dDuration; }
    // Frames handed to the display tile since the preview started.
    quint64 iFramesShown() const { return m_iFramesShown; }

    // The machine clock by default; tests drive their own.
    void setupClock(Clock clock) { m_clock = std::move(clock); }
    // One timer tick: advances by the clock and shows the frame.
    void p_previewFeedback();
    // Lays the tiles out again for the visible width.
    void p_FrameDidChange();

    // The sample pictures "Preview0.png" … of the resources that load (missing ones are skipped).
    static QList<QImage> p_previewImages(int count);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit HLQuartzPreviewVCtrl(QuartzUIType uiType);
    void p_SetupPreviews();
    void p_enter(HLQuartzPreviewView *tile);
    void p_down(HLQuartzPreviewView *tile);
    void p_exit(HLQuartzPreviewView *tile);
    std::unique_ptr<HLRender> p_renderOf(const QString &name);
    void p_startPreviewing();
    void p_stopPreviewing();

    QuartzUIType m_enUIType;
    QPointer<QScrollArea> m_view; // may go first with a parent it was given
    QWidget *m_vContentView;
    QList<HLQuartzPreviewView *> m_aryPreviewViews;
    // Either may be a tile outside the grid (an editor's) that goes away on its own.
    QPointer<HLQuartzPreviewView> m_vChosenView;
    QPointer<HLQuartzPreviewView> m_vDisplayView;
    std::unique_ptr<HLRender> m_oDisplayRender;
    float m_dDuration = 0;
    float m_dNowTime = 0;
    quint64 m_iMarkTime = 0;
    quint64 m_iFramesShown = 0;
    QTimer *m_tTimer;
    Clock m_clock;
    std::function<void()> m_blkFeedback;
};
