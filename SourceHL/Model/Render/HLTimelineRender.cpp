#include "SourceHL/Model/Render/HLTimelineRender.h"

#include "Frameworks/Korvane/ZKTime.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLDispatch.h"
#include "SourceHL/Common/HLImageHelper.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Render/HLIndexesRender.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLRenderFrameSize.h"
#include "SourceHL/Model/Render/HLRenderCache.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "SourceHL/Model/Render/HLRenderPool.h"
#include "SourceHL/Model/Render/HLSlideshowItemRenderCache.h"
#include "SourceHL/Model/Render/HLSlideshowRender.h"
#include "SourceHL/Model/Render/HLTransitionRender.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLVideoDecoder.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"

#include <QPainter>

#include <algorithm>

namespace {

enum ClearRequest { kClearShallow = 1, kClearDeep = 2 };

// Frame times travel in ticks; the model's item lengths and the compositions' times are seconds.
float secondsOf(qint64 ticks)
{
    return float(zk_ff_time_to_double(ticks));
}

qint64 ticksOf(float seconds)
{
    return zk_ff_time_from_double(seconds);
}

// Clip frames decode straight to the size they are shown at rather than the clip's own.
void setDecodeSize(const HLResourceItem &resource, QSizeF limit)
{
    const QSizeF clip = resource.videoResolution();
    if (clip.isEmpty())
        return;
    const QSizeF fitted = clip.width() > limit.width() || clip.height() > limit.height()
                              ? HLImageHelper::maxInsideSize(clip, limit)
                              : clip;
    const QSize size = hlWholePixels(fitted);
    for (const HLResourceObject &object : {resource.oResourceSource(), resource.oResourcePreview()}) {
        if (const auto *decoder = std::get_if<std::shared_ptr<HLVideoDecoder>>(&object); decoder && *decoder)
            (*decoder)->setFrameSize(size);
    }
}

// The picture of one slide, made later on the render thread from what the model held when the
// task was made: copies of the render item's edits and of the owner's slide frame. A null
// picture when there is none (the frame draws the barrier in its place).
HLRenderCache::Task pictureTask(const HLRenderCache &cache, const std::shared_ptr<HLSlideshowItem> &current,
                                const std::shared_ptr<HLSlideshowItem> &next, HLRenderMode mode, QSize size)
{
    const std::shared_ptr<HLRenderItem> renderItem = cache.oRenderItem();
    std::shared_ptr<HLSlideshowItem> owner = current;
    if (next && !(current && current->renderItems().contains(renderItem)))
        owner = next;
    const bool special = owner && owner->isSpecial();
    const std::shared_ptr<HLRenderItem> edits = renderItem->copy();
    const std::shared_ptr<HLRenderEditSlideshow> frameEdit = owner ? owner->oRenderEdit()->copy() : nullptr;
    const bool resident = cache.bIsResidentVideo();
    const qint64 videoTime = cache.dLastRenderTime();
    return [=]() -> Picture {
        const QSizeF limit(size);
        const auto resource = renderItem->oResource();
        if (resource->isVideo())
            setDecodeSize(*resource, mode == HLRenderModePreview ? limit : limit * 1.2);
        // Loads are asked through the model's render item, which keeps them until syncLoad
        // gives them back; the edits come from the copy. The crop is cut first, at full detail.
        Picture picture = renderItem->originalImage(mode, videoTime, limit, resident, edits->oCrop().get(),
                                                    edits->oRotate().get());
        if (!picture.isNull()) {
            picture = edits->oEffect()->render(picture);
            picture = edits->oRotate()->render(picture);
        }
        if (!special && frameEdit && !picture.isNull())
            picture = frameEdit->render(picture);
        if (picture.isNull() || picture.extent().isEmpty() || picture.isInfinite())
            return {};
        const QImage pixels = picture.image();
        if (!special || pixels.isNull())
            return Picture::fromImage(pixels);
        const QRectF extent = picture.extent();
        const double ratio = extent.width() / extent.height();
        return Picture::fromImage(HLImageHelper::hlImageOf(limit, [&](QPainter &painter, const QRectF &rect) {
            painter.fillRect(rect, Qt::black);
            QSizeF drawn;
            if (ratio <= rect.width() / rect.height())
                drawn = QSizeF(rect.height() * ratio, rect.height());
            else
                drawn = QSizeF(rect.width(), rect.width() / ratio);
            const QRectF target((rect.width() - drawn.width()) * 0.5, (rect.height() - drawn.height()) * 0.5,
                                drawn.width(), drawn.height());
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(target, pixels);
        }));
    };
}

QStringList cacheIDsOf(const QStringList &images)
{
    QStringList ids = images;
    ids.removeAll(QString());
    return ids;
}

QString slideshowNameOf(const HLSlideshowItem &item)
{
    return item.oSlideshowInfo() ? item.oSlideshowInfo()->strName() : QString();
}

QString transitionNameOf(const HLSlideshowItem &item)
{
    return item.oTransitionInfo() ? item.oTransitionInfo()->strName() : QString();
}

} // namespace

std::shared_ptr<HLTimelineRender> HLTimelineRender::timelineRenderOf(
    const std::shared_ptr<HLTimelineItem> &timeline, bool freely, const std::shared_ptr<HLRenderSizer> &sizer,
    const std::shared_ptr<HLQuartzPool> &slideshowPool, const std::shared_ptr<HLQuartzPool> &transitionPool)
{
    if (!timeline || !slideshowPool || !transitionPool)
        return nullptr;
    std::shared_ptr<HLTimelineRender> render(new HLTimelineRender());
    render->m_oTimeline = timeline;
    render->m_bFreely = freely;
    render->m_oSizer = sizer;
    render->m_oSlideshowPool = slideshowPool;
    render->m_oTransitionPool = transitionPool;
    render->m_oRenderPool = std::make_shared<HLRenderPool>();
    return render;
}

HLTimelineRender::~HLTimelineRender() = default;

QSize HLTimelineRender::frameSizeOf(HLRenderMode mode) const
{
    return hlRenderFrameSize(m_oSizer.get(), m_bFreely, mode);
}

// Frames ------------------------------------------------------------------------------------

QImage HLTimelineRender::renderPreview(float time, const RestartBlock &block)
{
    return p_render(HLRenderModePreview, ticksOf(time), block);
}

QImage HLTimelineRender::renderExport(qint64 time)
{
    return p_render(HLRenderModeExport, time, nullptr);
}

QImage HLTimelineRender::p_render(HLRenderMode mode, qint64 time, const RestartBlock &block)
{
    // The items' own sum, not dDuration: the play step writes that while a frame renders.
    const float duration = m_oTimeline->currentDuration();
    if (!(duration > 0))
        return {};
    p_takeClearRequests();
    m_enType = mode;
    if (mode == HLRenderModePreview && m_oLastIndexes.size() >= kRestartIndexCount && block
        && !m_bRestartPosted) {
        // The restart stops the main thread's timer and players, so it runs there.
        m_bRestartPosted = true;
        HLDispatch::onMain(block);
    }
    const qint64 kept = std::clamp<qint64>(time, 0, ticksOf(duration));
    QImage frame;
    p_renderOperationOf(kept, [&frame](const QImage &image) { frame = image; })();
    return frame;
}

void HLTimelineRender::shallowClear()
{
    m_iClearRequest.fetch_or(kClearShallow);
}

void HLTimelineRender::deepClear()
{
    m_iClearRequest.fetch_or(kClearShallow | kClearDeep);
}

void HLTimelineRender::p_takeClearRequests()
{
    const int request = m_iClearRequest.exchange(0);
    if (request & kClearShallow)
        p_shallowClear();
    if (request & kClearDeep)
        m_oRenderPool->clear();
}

void HLTimelineRender::p_shallowClear()
{
    m_bIsSpecialNow = false;
    m_bIsSpecialPre = false;
    m_oSlideshowNow.reset();
    m_oTransitionNow.reset();
    m_oSlideshowPre.reset();
    m_oLastIndexes.clear();
    m_aryImagesNow.clear();
    m_aryImagesPre.clear();
    m_strLastSSID.clear();
    m_bRestartPosted = false;
}

std::function<void()> HLTimelineRender::p_renderOperationOf(qint64 time, const FeedbackBlock &feedback)
{
    const auto current = m_oTimeline->slideshowItemAt(secondsOf(time));
    if (!current || frameSizeOf(m_enType).isEmpty())
        return [feedback] { feedback(QImage()); };
    if (const auto caches = p_updateRenderCachesAt(time))
        p_syncPool(*caches, current, m_oTimeline->nextSlideshowItemAt(secondsOf(time)));
    return p_renderOperationAt(time, feedback);
}

void HLTimelineRender::p_syncPool(const Caches &caches, const std::shared_ptr<HLSlideshowItem> &current,
                                  const std::shared_ptr<HLSlideshowItem> &next)
{
    QStringList hashIDs;
    for (const auto &cache : caches)
        hashIDs.append(cache->strHashID());
    m_oTimeline->syncLoad(hashIDs);
    const HLRenderMode mode = m_enType;
    const QSize size = frameSizeOf(mode);
    // Pictures made for another size or mode are no longer right.
    if (size != m_szPictures || mode != m_enPictures) {
        for (const auto &cache : caches)
            cache->setBIsCacheDirty(true);
        m_szPictures = size;
        m_enPictures = mode;
    }
    m_oRenderPool->syncWith(caches, [&](const HLRenderCache &cache) {
        return pictureTask(cache, current, next, mode, size);
    });
}

// The cache update --------------------------------------------------------------------------

std::optional<HLTimelineRender::Caches> HLTimelineRender::p_updateRenderCachesAt(qint64 time)
{
    const std::shared_ptr<HLSlideshowRender> oldNow = m_oSlideshowNow;
    const std::shared_ptr<HLTransitionRender> oldTransition = m_oTransitionNow;
    std::shared_ptr<HLSlideshowRender> oldPre = m_oSlideshowPre;
    const QSize size = frameSizeOf(m_enType);
    const auto item = m_oTimeline->slideshowItemAt(secondsOf(time));
    const bool same = item->strSSID() == m_strLastSSID;

    // An export transition that holds both its pictures needs nothing else.
    const bool fedTransition = p_isFedExportTransition();
    if (fedTransition && same && transitionNameOf(*item) == oldTransition->strName())
        return std::nullopt;
    if (!fedTransition && !same)
        m_oLastIndexes.clear();
    p_updateBarrier(size);

    m_strLastSSID = item->strSSID();
    m_bIsSpecialPre = false;
    m_oSlideshowPre.reset();
    m_oSlideshowNow = p_currentRenderOf(slideshowNameOf(*item), size, oldNow, oldPre);
    if (m_oSlideshowNow)
        p_updateBackground(*item, *m_oSlideshowNow);
    m_bIsSpecialNow = item->isSpecial();

    const qint64 local = time - ticksOf(m_oTimeline->slideshowOffsetOf(item));
    m_oTransitionNow = p_transitionRenderOf(*item, secondsOf(local), size, oldTransition);
    Caches caches;
    p_prepareCurrent(*item, local, caches);
    if (item->isNeedToPreloadAt(secondsOf(local)))
        p_preloadNext(secondsOf(time), size, oldPre, caches);
    return caches;
}

// The state an export frame leaves once it has fed a transition both its pictures.
bool HLTimelineRender::p_isFedExportTransition() const
{
    return m_enType == HLRenderModeExport && !m_oSlideshowNow && m_oTransitionNow && !m_oSlideshowPre;
}

void HLTimelineRender::p_updateBarrier(QSize size)
{
    if (!m_imgBarrier.isNull() && m_imgBarrier.extent().size() == QSizeF(size))
        return;
    m_imgBarrier = Picture::fromImage(HLImageHelper::hlImageOf(QSizeF(size), [](QPainter &painter, const QRectF &rect) {
        painter.fillRect(rect, Qt::black);
    }));
}

// The kept renderer, else the preloaded one (which then stops being preloaded), else a new one;
// export renews a renderer that has taken many snapshots.
std::shared_ptr<HLSlideshowRender> HLTimelineRender::p_currentRenderOf(const QString &name, QSize size,
                                                                       const std::shared_ptr<HLSlideshowRender> &oldNow,
                                                                       std::shared_ptr<HLSlideshowRender> &oldPre) const
{
    std::shared_ptr<HLSlideshowRender> now;
    if (p_isSameRender(oldNow.get(), HLRenderTypeSlideshow, name, size)) {
        now = oldNow;
    } else if (p_isSameRender(oldPre.get(), HLRenderTypeSlideshow, name, size)) {
        now = oldPre;
        oldPre.reset();
    }
    if (!now || (m_enType == HLRenderModeExport && now->repeatOver(kExportRepeatLimit)))
        now = std::static_pointer_cast<HLSlideshowRender>(p_renderOf(HLRenderTypeSlideshow, name));
    return now;
}

std::shared_ptr<HLTransitionRender> HLTimelineRender::p_transitionRenderOf(
    const HLSlideshowItem &item, float local, QSize size, const std::shared_ptr<HLTransitionRender> &old) const
{
    if (!(item.bHasTransition() && item.isInTransitionAt(local)))
        return nullptr;
    const QString name = transitionNameOf(item);
    if (p_isSameRender(old.get(), HLRenderTypeTransition, name, size))
        return old;
    return std::static_pointer_cast<HLTransitionRender>(p_renderOf(HLRenderTypeTransition, name));
}

// The current item's pictures; an outgoing transition picture drawn from anything else is stale.
void HLTimelineRender::p_prepareCurrent(const HLSlideshowItem &item, qint64 local, Caches &caches)
{
    const IndexSet indexes =
        item.isSpecial() ? IndexSet{0} : p_indexSetOf(item, item.slideshowMetaTimeAt(secondsOf(local)));
    caches.append(HLSlideshowItemRenderCache::renderCachesAt(item, local, indexes));
    m_aryImagesNow = HLSlideshowItemRenderCache::renderImages(item, indexes);
    m_oFromNow = p_drawnFromOf(item, indexes, m_aryImagesNow);
    if (m_oTransitionNow && m_oTransitionNow->bHasImageA() && m_oTransitionNow->oImageAFrom() != m_oFromNow)
        m_oTransitionNow->updateImageA(Picture());
    if (m_enType == HLRenderModePreview)
        m_oLastIndexes.insert(indexes.begin(), indexes.end());
}

// The next item's renderer and pictures, made while the current item closes; an incoming
// transition picture drawn from anything else is stale.
void HLTimelineRender::p_preloadNext(float time, QSize size, std::shared_ptr<HLSlideshowRender> oldPre,
                                     Caches &caches)
{
    const auto next = m_oTimeline->nextSlideshowItemAt(time);
    if (!next)
        return;
    const QString name = slideshowNameOf(*next);
    std::shared_ptr<HLSlideshowRender> pre = oldPre;
    if (!p_isSameRender(oldPre.get(), HLRenderTypeSlideshow, name, size))
        pre = std::static_pointer_cast<HLSlideshowRender>(p_renderOf(HLRenderTypeSlideshow, name));
    if (pre)
        p_updateBackground(*next, *pre);
    m_bIsSpecialPre = next->isSpecial();
    m_oSlideshowPre = pre;

    const IndexSet indexes = next->isSpecial() ? IndexSet{0} : p_indexSetOf(*next, 0);
    caches.append(HLSlideshowItemRenderCache::renderCachesAt(*next, 0, indexes));
    m_aryImagesPre = HLSlideshowItemRenderCache::renderImages(*next, indexes);
    m_oFromPre = p_drawnFromOf(*next, indexes, m_aryImagesPre);
    if (m_oTransitionNow && m_oTransitionNow->bHasImageB() && m_oTransitionNow->oImageBFrom() != m_oFromPre)
        m_oTransitionNow->updateImageB(Picture());
}

// A renderer holds the background of the item and edit it was last given; a one-picture item
// shows none.
void HLTimelineRender::p_updateBackground(const HLSlideshowItem &item, HLSlideshowRender &render)
{
    if (item.isSpecial())
        return;
    const HLDrawnFrom from{item.strSSID(), {}, {}, item.oBackEdit()->iDirtyGeneration()};
    const bool flagChanged = item.oBackEdit()->bBackground() != render.hasBackground();
    if (render.oBackgroundFrom() == from && !flagChanged)
        return;
    render.updateBackground(Picture::fromImage(item.oBackEdit()->backgroundOf(render.szSize())), from);
}

HLTimelineRender::IndexSet HLTimelineRender::p_indexSetOf(const HLSlideshowItem &item, float metaTime) const
{
    const auto indexes =
        std::static_pointer_cast<HLIndexesRender>(p_renderOf(HLRenderTypeGeneral, slideshowNameOf(item)));
    if (!indexes)
        return {};
    return indexes->indexSetAt(metaTime, item.logicItemsCount());
}

HLDrawnFrom HLTimelineRender::p_drawnFromOf(const HLSlideshowItem &item, const IndexSet &indexes,
                                            const QStringList &images) const
{
    quint64 generation = item.renderGenerationOf(indexes);
    if (!item.isSpecial())
        generation = std::max(generation, item.oBackEdit()->iDirtyGeneration());
    return {item.strSSID(), slideshowNameOf(item), images, generation};
}

// Renderers ---------------------------------------------------------------------------------

bool HLTimelineRender::p_isSameRender(const HLRender *render, HLRenderType type, const QString &name,
                                      QSize size) const
{
    HL_ASSERT(!name.isEmpty(), "what the hell");
    if (!render || render->strName() != name)
        return false;
    return type == HLRenderTypeGeneral || render->szSize() == QSizeF(size);
}

std::shared_ptr<HLRender> HLTimelineRender::p_renderOf(HLRenderType type, const QString &name) const
{
    HL_ASSERT(!name.isEmpty(), "what the hell");
    const QSize size = frameSizeOf(m_enType);
    switch (type) {
    case HLRenderTypeSlideshow: {
        const auto quartz = m_oSlideshowPool->quartzOf(name);
        const auto composition = quartz ? quartz->oContent() : nullptr;
        if (m_bFreely)
            return HLSlideshowRender::initFreely(true, name, composition);
        return HLSlideshowRender::initSized(size, name, composition);
    }
    case HLRenderTypeGeneral: {
        const auto quartz = m_oSlideshowPool->quartzOf(name);
        return HLIndexesRender::initFreely(m_bFreely, name, quartz ? quartz->oIndexes() : nullptr);
    }
    case HLRenderTypeTransition: {
        const auto quartz = m_oTransitionPool->quartzOf(name);
        const auto composition = quartz ? quartz->oContent() : nullptr;
        if (m_bFreely)
            return HLTransitionRender::initFreely(true, name, composition);
        return HLTransitionRender::initSized(size, name, composition);
    }
    default:
        return nullptr;
    }
}

// The frame ---------------------------------------------------------------------------------

std::function<void()> HLTimelineRender::p_renderOperationAt(qint64 time, const FeedbackBlock &feedback)
{
    const auto item = m_oTimeline->slideshowItemAt(secondsOf(time));
    const float local = secondsOf(time - ticksOf(m_oTimeline->slideshowOffsetOf(item)));
    const float endTime = item->slideshowMetaTimeAt(item->slideshowDuration());
    const float startTime = 0;
    const float transitionTime = item->transitionMetaTimeAt(local);
    const float currentTime = item->slideshowMetaTimeAt(local);
    const std::weak_ptr<HLTimelineRender> weak = weak_from_this();
    return [weak, feedback, endTime, startTime, transitionTime, currentTime] {
        const auto self = weak.lock();
        if (!self) {
            if (feedback)
                feedback(QImage());
            return;
        }
        const HLRenderMode mode = self->m_enType;
        const bool specialNow = self->m_bIsSpecialNow;
        const bool specialPre = self->m_bIsSpecialPre;
        const auto now = self->m_oSlideshowNow;
        const auto transition = self->m_oTransitionNow;
        const auto pre = self->m_oSlideshowPre;
        HLRenderPool &pool = *self->m_oRenderPool;
        QStringList imagesNow;
        QStringList imagesPre;
        imagesNow.swap(self->m_aryImagesNow);
        imagesPre.swap(self->m_aryImagesPre);

        QImage frame;
        if (transition) {
            if (!transition->bHasImageA()) {
                const QImage picture = specialNow ? self->p_renderSpecial(imagesNow, pool)
                                       : now      ? self->p_renderSlideshow(*now, endTime, imagesNow, pool)
                                                  : QImage();
                if (mode == HLRenderModeExport) {
                    // The incoming item's pictures are entries of its own render items.
                    self->m_oSlideshowNow.reset();
                    pool.clearBy(cacheIDsOf(imagesNow));
                }
                transition->updateImageA(Picture::fromImage(picture), self->m_oFromNow);
            }
            if (!transition->bHasImageB()) {
                const QImage picture = specialPre ? self->p_renderSpecial(imagesPre, pool)
                                       : pre      ? self->p_renderSlideshow(*pre, startTime, imagesPre, pool)
                                                  : QImage();
                if (mode == HLRenderModeExport)
                    self->m_oSlideshowPre.reset();
                transition->updateImageB(Picture::fromImage(picture), self->m_oFromPre);
            }
            frame = self->p_renderTransition(*transition, transitionTime);
        } else if (specialNow) {
            frame = self->p_renderSpecial(imagesNow, pool);
        } else if (now) {
            frame = self->p_renderSlideshow(*now, currentTime, imagesNow, pool);
        }
        if (feedback)
            feedback(frame);
    };
}

QImage HLTimelineRender::p_renderTransition(HLTransitionRender &render, float time)
{
    return render.snapshotNSImageAt(time);
}

QImage HLTimelineRender::p_renderSlideshow(HLSlideshowRender &render, float time, const QStringList &images,
                                           HLRenderPool &pool)
{
    pool.renderContent();
    QList<Picture> pictures;
    pictures.reserve(images.size());
    for (const QString &cacheID : images)
        pictures.append(cacheID.isEmpty() ? Picture() : p_pictureOf(cacheID, pool));
    render.updateImages(pictures);
    return render.snapshotNSImageAt(time);
}

QImage HLTimelineRender::p_renderSpecial(const QStringList &images, HLRenderPool &pool)
{
    pool.renderContent();
    if (images.isEmpty() || images.last().isEmpty())
        return {};
    return p_pictureOf(images.last(), pool).image();
}

Picture HLTimelineRender::p_pictureOf(const QString &cacheID, HLRenderPool &pool) const
{
    const Picture picture = pool.contentOf(cacheID);
    return picture.isNull() ? m_imgBarrier : picture;
}
