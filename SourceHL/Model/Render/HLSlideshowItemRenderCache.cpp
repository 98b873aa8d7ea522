#include "SourceHL/Model/Render/HLSlideshowItemRenderCache.h"

#include "SourceHL/Model/Render/HLRenderCache.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"

#include <QVariantMap>

QList<std::shared_ptr<HLRenderCache>> HLSlideshowItemRenderCache::renderCachesAt(
    const HLSlideshowItem &item, float time, const HLSlideshowItem::IndexSet &indexes)
{
    QList<std::shared_ptr<HLRenderCache>> caches;
    for (const std::size_t index : indexes) {
        if (index >= item.logicItemsCount())
            continue;
        const ResourceRenderRange range = item.resourceRenderRangeAt(index);
        const bool contains = renderRangeContains(range, time);
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
        cache->setBIsCacheDirty(renderItem->bIsDirty());
        cache->setBIsResourceVideo(video);
        cache->setBIsResidentVideo(contains && video);
        if (video)
            cache->setDLastRenderTime(renderRangeRenderTime(range, time));
    }
    return caches;
}

QVariantList HLSlideshowItemRenderCache::renderImages(const HLSlideshowItem &item, const QString &key,
                                                      const HLSlideshowItem::IndexSet &indexes)
{
    QVariantList images;
    for (std::size_t index = 0; index < item.logicItemsCount(); ++index) {
        QVariant value;
        if (indexes.count(index))
            value = HLRenderCache::cacheIDOf(*item.logicRenderItemAt(index));
        images.append(QVariantMap{{key, value}});
    }
    return images;
}
