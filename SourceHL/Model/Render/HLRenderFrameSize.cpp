#include "SourceHL/Model/Render/HLRenderFrameSize.h"

#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"

#include <algorithm>
#include <cmath>

QSize hlWholePixels(QSizeF size)
{
    return QSize(std::max(1, int(std::lround(size.width()))), std::max(1, int(std::lround(size.height()))));
}

QSize hlRenderFrameSize(const HLRenderSizer *sizer, bool freely, HLRenderMode mode)
{
    if (!sizer)
        return {};
    if (freely)
        return hlWholePixels(HLRenderContextPool::sharedRenderContextPool().freeContextSize());
    if (mode == HLRenderModeExport) {
        // Export draws at the project's own size, not the preview's limit.
        const auto full = HLRenderSizer::renderSizerOf(sizer->szRender(), sizer->dPreviewLimit());
        if (!full)
            return {};
        full->setEnType(1);
        return full->evenRenderSize();
    }
    return hlWholePixels(sizer->typedRenderSize());
}
