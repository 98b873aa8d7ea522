#pragma once

#include "Platform/Imaging/Picture.h"
#include "SourceHL/Model/Render/HLDrawnFrom.h"
#include "SourceHL/Model/Render/HLRenderType.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"

#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <set>

class HLIndexesRender;
class HLQuartzPool;
class HLRender;
class HLRenderCache;
class HLRenderPool;
class HLRenderSizer;
class HLSlideshowItem;
class HLSlideshowRender;
class HLTimelineItem;
class HLTransitionRender;

// Turns the timeline into one picture at a time it is given: the slideshow item playing then,
// through its slideshow template with background and slides, or inside its closing transition
// the transition template fed with the outgoing item's last picture and the incoming item's
// first. Keeps the composition renderers of the current item, of the preloaded next item and of
// the transition, and the prepared slide pictures, and reuses what still fits from frame to frame.
//
// Preview frames come from the latest-job queue's worker, export frames from a converter thread;
// one thread at a time. Preview renders at the sizer's limited size, export at the project's full
// size in even whole pixels. The clears may come from the main thread: they are requests that
// the rendering thread carries out at the start of its next frame.
//
// A frame reads the model and writes nothing of it but the resources' counted loads: what it
// drew is recorded here by edit generation (HLDirtyMark), so an edit is drawn by every renderer
// over the model and never erased by one of them. Edits go through the edit gate, which waits
// for the preview job; the play step's time comes as an argument, never through the timeline.
class HLTimelineRender : public std::enable_shared_from_this<HLTimelineRender>
{
public:
    using RestartBlock = std::function<void()>;
    using FeedbackBlock = std::function<void(const QImage &frame)>;
    using IndexSet = std::set<std::size_t>;

    // A preview that has shown this many item indexes of one slideshow item asks to restart.
    static constexpr std::size_t kRestartIndexCount = 40;
    // An export slideshow renderer is renewed after this many snapshots.
    static constexpr qint64 kExportRepeatLimit = 100;

    // Nothing without a timeline or either pool; the sizer may be missing (no frames then).
    static std::shared_ptr<HLTimelineRender> timelineRenderOf(const std::shared_ptr<HLTimelineItem> &timeline,
                                                              bool freely,
                                                              const std::shared_ptr<HLRenderSizer> &sizer,
                                                              const std::shared_ptr<HLQuartzPool> &slideshowPool,
                                                              const std::shared_ptr<HLQuartzPool> &transitionPool);
    ~HLTimelineRender();

    // The preview frame at time (seconds, kept inside the timeline), or a null image. When the
    // shown-index set has reached kRestartIndexCount, block (the driver's restart) is posted to
    // the main thread, once until the next shallow clear.
    QImage renderPreview(float time, const RestartBlock &block);
    // The export frame at time (media ticks: a clip shows the frame of its own time exactly),
    // or a null image. Callable from a converter thread.
    QImage renderExport(qint64 time);
    // Requests: forget the renderers, indexes and current item (shallow), and the prepared
    // pictures too (deep). Taken at the start of the next frame.
    void shallowClear();
    void deepClear();

    // The size frames of the mode come out at; empty without a sizer.
    QSize frameSizeOf(HLRenderMode mode) const;

    HLRenderMode enType() const { return m_enType; }
    std::shared_ptr<HLTimelineItem> oTimeline() const { return m_oTimeline; }
    bool bFreely() const { return m_bFreely; }
    std::shared_ptr<HLRenderSizer> oSizer() const { return m_oSizer; }
    std::shared_ptr<HLQuartzPool> oSlideshowPool() const { return m_oSlideshowPool; }
    std::shared_ptr<HLQuartzPool> oTransitionPool() const { return m_oTransitionPool; }
    std::shared_ptr<HLRenderPool> oRenderPool() const { return m_oRenderPool; }
    std::shared_ptr<HLSlideshowRender> oSlideshowNow() const { return m_oSlideshowNow; }
    std::shared_ptr<HLTransitionRender> oTransitionNow() const { return m_oTransitionNow; }
    const IndexSet &oLastIndexes() const { return m_oLastIndexes; }

private:
    using Caches = QList<std::shared_ptr<HLRenderCache>>;

    HLTimelineRender() = default;

    QImage p_render(HLRenderMode mode, qint64 time, const RestartBlock &block);
    void p_takeClearRequests();
    void p_shallowClear();
    std::function<void()> p_renderOperationOf(qint64 time, const FeedbackBlock &feedback);
    void p_syncPool(const Caches &caches, const std::shared_ptr<HLSlideshowItem> &current,
                    const std::shared_ptr<HLSlideshowItem> &next);

    // The cache update, step by step.
    std::optional<Caches> p_updateRenderCachesAt(qint64 time);
    bool p_isFedExportTransition() const;
    void p_updateBarrier(QSize size);
    std::shared_ptr<HLSlideshowRender> p_currentRenderOf(const QString &name, QSize size,
                                                         const std::shared_ptr<HLSlideshowRender> &oldNow,
                                                         std::shared_ptr<HLSlideshowRender> &oldPre) const;
    std::shared_ptr<HLTransitionRender> p_transitionRenderOf(const HLSlideshowItem &item, float local, QSize size,
                                                             const std::shared_ptr<HLTransitionRender> &old) const;
    void p_prepareCurrent(const HLSlideshowItem &item, qint64 local, Caches &caches);
    void p_preloadNext(float time, QSize size, std::shared_ptr<HLSlideshowRender> oldPre, Caches &caches);
    void p_updateBackground(const HLSlideshowItem &item, HLSlideshowRender &render);
    IndexSet p_indexSetOf(const HLSlideshowItem &item, float metaTime) const;
    HLDrawnFrom p_drawnFromOf(const HLSlideshowItem &item, const IndexSet &indexes, const QStringList &images) const;

    bool p_isSameRender(const HLRender *render, HLRenderType type, const QString &name, QSize size) const;
    std::shared_ptr<HLRender> p_renderOf(HLRenderType type, const QString &name) const;

    // The frame.
    std::function<void()> p_renderOperationAt(qint64 time, const FeedbackBlock &feedback);
    QImage p_renderTransition(HLTransitionRender &render, float time);
    QImage p_renderSlideshow(HLSlideshowRender &render, float time, const QStringList &images, HLRenderPool &pool);
    QImage p_renderSpecial(const QStringList &images, HLRenderPool &pool);
    // A pooled picture, or the barrier when there is none.
    Picture p_pictureOf(const QString &cacheID, HLRenderPool &pool) const;

    HLRenderMode m_enType = HLRenderModePreview;
    std::shared_ptr<HLTimelineItem> m_oTimeline;
    bool m_bFreely = false;
    std::shared_ptr<HLRenderSizer> m_oSizer;
    std::shared_ptr<HLQuartzPool> m_oSlideshowPool;
    std::shared_ptr<HLQuartzPool> m_oTransitionPool;
    std::shared_ptr<HLRenderPool> m_oRenderPool;
    bool m_bIsSpecialNow = false;
    bool m_bIsSpecialPre = false;
    std::shared_ptr<HLSlideshowRender> m_oSlideshowNow;
    std::shared_ptr<HLTransitionRender> m_oTransitionNow;
    std::shared_ptr<HLSlideshowRender> m_oSlideshowPre;
    IndexSet m_oLastIndexes;
    QStringList m_aryImagesNow;
    QStringList m_aryImagesPre;
    // What this frame's outgoing and incoming pictures are drawn from.
    HLDrawnFrom m_oFromNow;
    HLDrawnFrom m_oFromPre;
    // Black of the frame size: stands in for a slide picture that could not be made.
    Picture m_imgBarrier;
    QString m_strLastSSID;

    // The frame size and mode the pooled pictures were made for; pictures of another are redone.
    QSize m_szPictures;
    HLRenderMode m_enPictures = HLRenderModePreview;
    bool m_bRestartPosted = false;
    std::atomic<int> m_iClearRequest{0};
};
