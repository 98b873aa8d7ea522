#include "SourceHL/Model/Render/HLRenderContextPool.h"

#include "Platform/Foundation/HLAssert.h"

HLRenderContextPool &HLRenderContextPool::sharedRenderContextPool()
{
    static HLRenderContextPool pool; // made once, safely against concurrent first calls
    return pool;
}

void HLRenderContextPool::updateLimitContextsBy(QSizeF size)
{
    HL_ASSERT(size.width() >= 16 && size.height() >= 16, "Bad Size");
    std::lock_guard lock(m_lock);
    m_szLimit = size;
}

void HLRenderContextPool::updateFreeContextSize(QSizeF size)
{
    HL_ASSERT(size.width() >= 16 && size.height() >= 16, "Bad Size");
    std::lock_guard lock(m_lock);
    m_szFree = size;
}

QSizeF HLRenderContextPool::limitContextSizeOf(HLRenderType type) const
{
    if (type == HLRenderTypeGeneral)
        return QSizeF(16, 16);
    std::lock_guard lock(m_lock);
    return m_szLimit;
}

QSizeF HLRenderContextPool::freeContextSize() const
{
    std::lock_guard lock(m_lock);
    return m_szFree;
}

QSizeF HLRenderContextPool::szLimit() const
{
    std::lock_guard lock(m_lock);
    return m_szLimit;
}

