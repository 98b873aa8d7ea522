#include "SourceHL/Model/Render/HLRenderCache.h"

#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"

#include <cmath>

std::shared_ptr<HLRenderCache> HLRenderCache::renderCacheOf(const std::shared_ptr<HLRenderItem> &renderItem)
{
    if (!renderItem || !renderItem->oResource() || renderItem->oResource()->strHashID().isEmpty())
        return nullptr;
    auto cache = std::make_shared<HLRenderCache>();
    cache->m_strHashID = renderItem->oResource()->strHashID();
    cache->m_strCacheID = cacheIDOf(*renderItem);
    cache->m_oRenderItem = renderItem;
    return cache;
}

QString HLRenderCache::cacheIDOf(const HLRenderItem &renderItem)
{
    return renderItem.oResource()->strHashID() + QLatin1Char('@')
           + QString::number(quintptr(&renderItem), 16);
}

bool HLRenderCache::isDifferentVideoCache(const HLRenderCache *old) const
{
    if (m_bIsCacheDirty || !old || m_iGeneration != old->m_iGeneration)
        return true;
    // NaN never equals itself, so a time that is no number always asks for a new picture.
    return m_bIsResourceVideo && old->m_bIsResourceVideo && !(m_dLastRenderTime == old->m_dLastRenderTime);
}

void HLRenderCache::keepTheSameContent(const HLRenderCache &old)
{
    m_blkTask = old.m_blkTask;
    m_oCache = old.m_oCache;
    m_bHasRun = old.m_bHasRun;
}

void HLRenderCache::updateRenderTask(Task task)
{
    m_blkTask = std::move(task);
    m_oCache = Picture();
    m_bHasRun = false;
}

Picture HLRenderCache::cacheContent()
{
    HL_ASSERT(m_bHasRun || m_blkTask, "what the hell");
    if (!m_bHasRun) {
        m_oCache = m_blkTask();
        m_blkTask = nullptr;
        m_bHasRun = true;
    }
    return m_oCache;
}
