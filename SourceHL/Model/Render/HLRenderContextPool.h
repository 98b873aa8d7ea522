#pragma once

#include "SourceHL/Model/Render/HLRenderType.h"

#include <QSizeF>

#include <mutex>

// The sizes every composition renderer takes its off-screen surface from: the limit size (the
// project's render size) for the timeline and export renderers, the free size for the small
// previews of the editors and template pickers.
class HLRenderContextPool
{
public:
    static HLRenderContextPool &sharedRenderContextPool();

    // Both refuse a size below 16 × 16 with "Bad Size"; an equal size changes nothing.
    void updateLimitContextsBy(QSizeF size);
    void updateFreeContextSize(QSizeF size);

    // 16 × 16 for general renderers, the limit size for every other type.
    QSizeF limitContextSizeOf(HLRenderType type) const;
    QSizeF freeContextSize() const;
    QSizeF szLimit() const;

private:
    HLRenderContextPool() = default;

    // written on the main thread, read by whichever thread makes a renderer
    mutable std::mutex m_lock;
    QSizeF m_szLimit{0, 0};
    QSizeF m_szFree{0, 0};
};
