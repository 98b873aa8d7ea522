#include "SourceHL/Model/Render/HLRenderPool.h"

void HLRenderPool::clear()
{
    std::lock_guard lock(m_oLock);
    m_dicRenders.clear();
}

void HLRenderPool::clearBy(const QStringList &cacheIDs)
{
    std::lock_guard lock(m_oLock);
    for (const QString &cacheID : cacheIDs)
        m_dicRenders.remove(cacheID);
}

void HLRenderPool::syncWith(const Caches &caches, const TaskMaker &maker)
{
    QHash<QString, std::shared_ptr<HLRenderCache>> old;
    {
        std::lock_guard lock(m_oLock);
        old.swap(m_dicRenders);
    }
    QHash<QString, std::shared_ptr<HLRenderCache>> renders;
    for (const auto &cache : caches) {
        if (!cache)
            continue;
        const std::shared_ptr<HLRenderCache> previous = old.value(cache->strCacheID());
        if (cache->isDifferentVideoCache(previous.get())) {
            cache->updateRenderTask(maker(*cache));
            // The request to keep a video loaded goes to one task only.
            cache->setBIsResidentVideo(false);
        } else {
            cache->keepTheSameContent(*previous);
        }
        renders.insert(cache->strCacheID(), cache);
        cache->setBIsCacheDirty(false);
    }
    std::lock_guard lock(m_oLock);
    m_dicRenders.swap(renders);
}

void HLRenderPool::renderContent()
{
    QHash<QString, std::shared_ptr<HLRenderCache>> renders;
    {
        std::lock_guard lock(m_oLock);
        renders = m_dicRenders;
    }
    for (const auto &cache : std::as_const(renders))
        cache->cacheContent();
}

Picture HLRenderPool::contentOf(const QString &cacheID)
{
    std::shared_ptr<HLRenderCache> cache;
    {
        std::lock_guard lock(m_oLock);
        cache = m_dicRenders.value(cacheID);
    }
    return cache ? cache->cacheContent() : Picture();
}

QStringList HLRenderPool::loadedCacheHashIDs() const
{
    std::lock_guard lock(m_oLock);
    return m_dicRenders.keys();
}
