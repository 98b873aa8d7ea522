#include "SourceHL/Model/Render/HLTimelineRender.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLDispatch.h"
#include "Platform/Imaging/Picture.h"
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
#include <QVariantMap>

#include <cmath>

namespace {

enum ClearRequest { kClearShallow = 1, kClearDeep = 2 };

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
// task was made: copies of the render item's edits and of the owner's slide frame.
HLRenderCache::Task pictureTask(const HLRenderCache &cache, const std::shared_ptr<HLSlideshowItem> &current,
                                const std::shared_ptr<HLSlideshowItem> &next, const QImage &nsBarrier,
                                const QVariant &ciBarrier, HLRenderMode mode, QSize size)
{
    const std::shared_ptr<HLRenderItem> renderItem = cache.oRenderItem();
    std::shared_ptr<HLSlideshowItem> owner = current;
    if (next && !(current && current->renderItems().contains(renderItem)))
        owner = next;
    const bool special = owner && owner->isSpecial();
    const std::shared_ptr<HLRenderItem> edits = renderItem->copy();
    const std::shared_ptr<HLRenderEditSlideshow> frameEdit = owner ? owner->oRenderEdit()->copy() : nullptr;
    const bool resident = cache.bIsResidentVideo();
    const float videoTime = cache.dLastRenderTime();
    return [=]() -> QVariant {
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
            return special ? QVariant(nsBarrier) : ciBarrier;
        const QImage pixels = picture.image();
        if (!special)
            return pixels.isNull() ? ciBarrier : QVariant::fromValue(Picture::fromImage(pixels));
        const QRectF extent = picture.extent();
        const double ratio = extent.width() / extent.height();
        const QImage fitted = HLImageHelper::hlImageOf(limit, [&](QPainter &painter, const QRectF &rect) {
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
        });
        return fitted.isNull() ? QVariant(nsBarrier) : QVariant(fitted);
    };
}

QStringList cacheIDsOf(const QVariantList &images)
{
    QStringList ids;
    for (const QVariant &entry : images) {
        const QVariant value = entry.toMap().value(kRenderKeyInputImage);
        if (value.metaType() == QMetaType::fromType<QString>())
            ids.append(value.toString());
    }
    return ids;
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

QImage HLTimelineRender::renderPreview(const RestartBlock &block)
{
    if (!(m_oTimeline->dDuration() > 0))
        return {};
    p_takeClearRequests();
    m_enType = HLRenderModePreview;
    if (m_oLastIndexes.size() >= kRestartIndexCount && block && !m_bRestartPosted) {
        // The restart stops the main thread's timer and players, so it runs there.
        m_bRestartPosted = true;
        HLDispatch::onMain(block);
    }
    QImage frame;
    p_renderOperationOf([&frame](const QImage &image) { frame = image; })();
    return frame;
}

QImage HLTimelineRender::renderExport()
{
    if (!(m_oTimeline->dDuration() > 0))
        return {};
    p_takeClearRequests();
    m_enType = HLRenderModeExport;
    QImage frame;
    p_renderOperationOf([&frame](const QImage &image) { frame = image; })();
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

std::function<void()> HLTimelineRender::p_renderOperationOf(const FeedbackBlock &feedback)
{
    const float time = m_oTimeline->dNowTime();
    const auto current = m_oTimeline->slideshowItemAt(time);
    const auto next = m_oTimeline->nextSlideshowItemAt(time);
    const HLRenderMode mode = m_enType;
    if (!current || frameSizeOf(mode).isEmpty())
        return [feedback] { feedback(QImage()); };

    const auto caches = p_updateRenderCachesAt(time);
    if (caches) {
        QStringList hashIDs;
        for (const auto &cache : *caches)
            hashIDs.append(cache->strHashID());
        m_oTimeline->syncLoad(hashIDs);
        const QSize size = frameSizeOf(mode);
        // Pictures made for another size or mode are no longer right.
        if (size != m_szPictures || mode != m_enPictures) {
            for (const auto &cache : *caches)
                cache->setBIsCacheDirty(true);
            m_szPictures = size;
            m_enPictures = mode;
        }
        const QImage nsBarrier = m_nsImgBarrier;
        const QVariant ciBarrier = m_ciImgBarrier;
        m_oRenderPool->syncWith(*caches, [&](const HLRenderCache &cache) {
            return pictureTask(cache, current, next, nsBarrier, ciBarrier, mode, size);
        });
    }
    return p_renderOperationAt(time, feedback);
}

std::optional<QList<std::shared_ptr<HLRenderCache>>> HLTimelineRender::p_updateRenderCachesAt(float time)
{
    const std::shared_ptr<HLSlideshowRender> oldNow = m_oSlideshowNow;
    const std::shared_ptr<HLTransitionRender> oldTransition = m_oTransitionNow;
    std::shared_ptr<HLSlideshowRender> oldPre = m_oSlideshowPre;

    QList<std::shared_ptr<HLRenderCache>> caches;
    const QSize size = frameSizeOf(m_enType);
    const bool sizeChanged = !oldNow || oldNow->szSize() != QSizeF(size);

    const auto item = m_oTimeline->slideshowItemAt(time);
    const QString ssid = item->strSSID();
    const QString slideshowName = item->oSlideshowInfo() ? item->oSlideshowInfo()->strName() : QString();
    const QString transitionName = item->oTransitionInfo() ? item->oTransitionInfo()->strName() : QString();
    const bool special = item->isSpecial();
    const bool same = ssid == m_strLastSSID;

    // An export transition that holds both its pictures needs nothing else.
    const bool fedTransition = m_enType == HLRenderModeExport && !oldNow && oldTransition && !oldPre;
    if (fedTransition && same && transitionName == oldTransition->strName())
        return std::nullopt;
    if (!fedTransition && !same)
        m_oLastIndexes.clear();

    if (m_nsImgBarrier.isNull() || m_nsImgBarrier.size() != size) {
        m_nsImgBarrier = HLImageHelper::hlImageOf(QSizeF(size), [](QPainter &painter, const QRectF &rect) {
            painter.fillRect(rect, Qt::black);
        });
        m_ciImgBarrier = QVariant::fromValue(Picture::fromImage(m_nsImgBarrier));
    }

    m_strLastSSID = ssid;
    m_bIsSpecialNow = false;
    m_bIsSpecialPre = false;
    m_oSlideshowNow.reset();
    m_oTransitionNow.reset();
    m_oSlideshowPre.reset();

    // The current item's renderer: the kept one, else the preloaded one, else a new one.
    std::shared_ptr<HLSlideshowRender> now;
    if (p_isSameRender(oldNow.get(), HLRenderTypeSlideshow, slideshowName, size)) {
        now = oldNow;
    } else if (p_isSameRender(oldPre.get(), HLRenderTypeSlideshow, slideshowName, size)) {
        now = oldPre;
        oldPre.reset();
    }
    if (!now || (m_enType == HLRenderModeExport && now->repeatOver(kExportRepeatLimit)))
        now = std::static_pointer_cast<HLSlideshowRender>(p_renderOf(HLRenderTypeSlideshow, slideshowName));

    // A renderer kept from another item still holds that item's background.
    const bool backgroundDirty = item->isBackgroundDirty();
    if (now)
        p_updateBackground(*item, *now, sizeChanged || !same);
    else
        item->makeBackgroundClean();
    m_bIsSpecialNow = special;
    m_oSlideshowNow = now;

    const float local = time - m_oTimeline->slideshowOffsetOf(item);
    if (item->bHasTransition() && item->isInTransitionAt(local)) {
        if (p_isSameRender(oldTransition.get(), HLRenderTypeTransition, transitionName, size))
            m_oTransitionNow = oldTransition;
        else
            m_oTransitionNow =
                std::static_pointer_cast<HLTransitionRender>(p_renderOf(HLRenderTypeTransition, transitionName));
    }

    const IndexSet indexes = special ? IndexSet{0} : p_indexSetOf(*item, slideshowName, item->slideshowMetaTimeAt(local));
    if (item->oRenderEdit()->bIsDirty())
        item->makeRenderItemsDirty(indexes);
    if (m_oTransitionNow && (item->areRenderItemsDirty(indexes) || (!special && backgroundDirty)))
        m_oTransitionNow->updateImageA(QVariant());

    caches.append(HLSlideshowItemRenderCache::renderCachesAt(*item, local, indexes));
    m_aryImagesNow = HLSlideshowItemRenderCache::renderImages(*item, kRenderKeyInputImage, indexes);
    if (m_enType == HLRenderModePreview)
        m_oLastIndexes.insert(indexes.begin(), indexes.end());

    if (item->isNeedToPreloadAt(local)) {
        if (const auto next = m_oTimeline->nextSlideshowItemAt(time)) {
            const QString nextName = next->oSlideshowInfo() ? next->oSlideshowInfo()->strName() : QString();
            const bool nextSpecial = next->isSpecial();
            std::shared_ptr<HLSlideshowRender> pre;
            if (p_isSameRender(oldPre.get(), HLRenderTypeSlideshow, nextName, size))
                pre = oldPre;
            else
                pre = std::static_pointer_cast<HLSlideshowRender>(p_renderOf(HLRenderTypeSlideshow, nextName));
            const bool nextBackgroundDirty = next->isBackgroundDirty();
            if (pre)
                p_updateBackground(*next, *pre, sizeChanged);
            else
                next->makeBackgroundClean();
            m_bIsSpecialPre = nextSpecial;
            m_oSlideshowPre = pre;

            const IndexSet nextIndexes = nextSpecial ? IndexSet{0} : p_indexSetOf(*next, nextName, 0);
            if (next->oRenderEdit()->bIsDirty())
                next->makeRenderItemsDirty(nextIndexes);
            if (m_oTransitionNow
                && (next->areRenderItemsDirty(nextIndexes) || (!nextSpecial && nextBackgroundDirty)))
                m_oTransitionNow->updateImageB(QVariant());
            caches.append(HLSlideshowItemRenderCache::renderCachesAt(*next, 0, nextIndexes));
            m_aryImagesPre = HLSlideshowItemRenderCache::renderImages(*next, kRenderKeyInputImage, nextIndexes);
        }
    }

    m_oTimeline->makeRenderItemsClean();
    return caches;
}

void HLTimelineRender::p_updateBackground(HLSlideshowItem &item, HLSlideshowRender &render, bool force)
{
    const bool dirty = item.isBackgroundDirty();
    const bool flagChanged = item.oBackEdit()->bBackground() != render.hasBackground();
    item.makeBackgroundClean();
    if (item.isSpecial() || !(force || dirty || flagChanged))
        return;
    const QImage background = item.oBackEdit()->backgroundOf(render.szSize());
    render.updateBackground(background.isNull() ? QVariant() : QVariant(background));
}

HLTimelineRender::IndexSet HLTimelineRender::p_indexSetOf(const HLSlideshowItem &item, const QString &name,
                                                         float metaTime) const
{
    const auto indexes = std::static_pointer_cast<HLIndexesRender>(p_renderOf(HLRenderTypeGeneral, name));
    if (!indexes)
        return {};
    return indexes->indexSetAt(metaTime, item.logicItemsCount());
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

std::function<void()> HLTimelineRender::p_renderOperationAt(float time, const FeedbackBlock &feedback)
{
    const auto item = m_oTimeline->slideshowItemAt(time);
    const float local = time - m_oTimeline->slideshowOffsetOf(item);
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
        QVariantList imagesNow;
        QVariantList imagesPre;
        imagesNow.swap(self->m_aryImagesNow);
        imagesPre.swap(self->m_aryImagesPre);

        QImage frame;
        if (transition) {
            if (!transition->bHasImageA()) {
                const QStringList ids = cacheIDsOf(imagesNow);
                const QImage picture = specialNow ? self->p_renderSpecial(imagesNow, pool)
                                       : now      ? self->p_renderSlideshow(*now, endTime, imagesNow, pool)
                                                  : QImage();
                if (mode == HLRenderModeExport) {
                    self->m_oSlideshowNow.reset();
                    // What the incoming item shows as well stays for its picture.
                    QStringList drop;
                    const QStringList keep = cacheIDsOf(imagesPre);
                    for (const QString &id : ids) {
                        if (!keep.contains(id))
                            drop.append(id);
                    }
                    pool.clearBy(drop);
                }
                transition->updateImageA(picture);
            }
            if (!transition->bHasImageB()) {
                const QImage picture = specialPre ? self->p_renderSpecial(imagesPre, pool)
                                       : pre      ? self->p_renderSlideshow(*pre, startTime, imagesPre, pool)
                                                  : QImage();
                if (mode == HLRenderModeExport)
                    self->m_oSlideshowPre.reset();
                transition->updateImageB(picture);
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

QImage HLTimelineRender::p_renderSlideshow(HLSlideshowRender &render, float time, const QVariantList &images,
                                           HLRenderPool &pool)
{
    pool.renderContent();
    QVariantList inputs;
    inputs.reserve(images.size());
    for (const QVariant &entry : images) {
        QVariantMap map = entry.toMap();
        const QVariant value = map.value(kRenderKeyInputImage);
        if (value.metaType() == QMetaType::fromType<QString>()) {
            const QVariant content = pool.contentOf(value.toString());
            map.insert(kRenderKeyInputImage, content.isValid() ? content : m_ciImgBarrier);
        }
        inputs.append(map);
    }
    render.updateImages(inputs);
    return render.snapshotNSImageAt(time);
}

QImage HLTimelineRender::p_renderSpecial(const QVariantList &images, HLRenderPool &pool)
{
    pool.renderContent();
    if (images.isEmpty())
        return {};
    const QVariant value = images.last().toMap().value(kRenderKeyInputImage);
    if (value.metaType() != QMetaType::fromType<QString>())
        return {};
    const QVariant content = pool.contentOf(value.toString());
    if (content.metaType() == QMetaType::fromType<QImage>())
        return content.value<QImage>();
    if (content.metaType() == QMetaType::fromType<Picture>())
        return content.value<Picture>().image();
    return m_nsImgBarrier;
}
