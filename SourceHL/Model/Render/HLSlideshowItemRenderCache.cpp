#include "SourceHL/Model/Render/HLSlideshowItemRenderCache.h"

#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Model/Render/HLRenderCache.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"

QList<std::shared_ptr<HLRenderCache>> HLSlideshowItemRenderCache::renderCachesAt(
    const HLSlideshowItem &item, qint64 time, const HLSlideshowItem::IndexSet &indexes)
{
    QList<std::shared_ptr<HLRenderCache>> caches;
    for (const std::size_t index : indexes) {
        if (index >= item.logicItemsCount())
            continue;
        const ResourceRenderRange range = item.resourceRenderRangeAt(index);
        const bool contains = renderRangeContains(range, float(zk_ff_time_to_double(time)));
        const auto renderItem = item.logicRenderItemAt(index);
        const QString cacheID = HLRenderCache::cacheIDOf(*renderItem);
        std::shared_ptr<HLRenderCache> cache;
        for (const auto &made : caches) {
            if (made->strCacheID() == cacheID)
                cache = made;
        }
        if (!cache) {
            cache = HLRenderCache::renderCacheOf(renderItem);
            if (!cache)
                continue;
            caches.append(cache);
        }
        const bool video = renderItem->oResource()->isVideo();
        cache->setIGeneration(item.renderGenerationOf({index}));
        cache->setBIsResourceVideo(video);
        cache->setBIsResidentVideo(contains && video);
        if (video)
            cache->setDLastRenderTime(renderRangeRenderTicks(range, time));
    }
    return caches;
}

QStringList HLSlideshowItemRenderCache::renderImages(const HLSlideshowItem &item,
                                                     const HLSlideshowItem::IndexSet &indexes)
{
    QStringList images;
    for (std::size_t index = 0; index < item.logicItemsCount(); ++index)
        images.append(indexes.count(index) ? HLRenderCache::cacheIDOf(*item.logicRenderItemAt(index)) : QString());
    return images;
}
