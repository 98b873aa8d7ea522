#include "SourceHL/Model/Render/HLTimelineItemRendering.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "SourceHL/Model/Audioline/HLSoloDucking.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <algorithm>

namespace {
constexpr float kFadeLength = 3.0f;
}

std::shared_ptr<HLRenderItem> HLTimelineItemRendering::p_renderingRenderVideo(const HLTimelineItem &timeline,
                                                                              float *time)
{
    const float now = timeline.dNowTime();
    const auto item = timeline.slideshowItemAt(now);
    if (!item)
        return nullptr;
    const float local = now - timeline.slideshowOffsetOf(item);
    for (const std::size_t index : item->logicResourceVideoIndexSet()) {
        const ResourceRenderRange range = item->resourceRenderRangeAt(index);
        if (!renderRangeContains(range, local))
            continue;
        const auto renderItem = item->logicRenderItemAt(index);
        if (!renderItem->oTrim())
            return nullptr;
        if (time)
            *time = renderRangeRenderTime(range, local);
        return renderItem;
    }
    return nullptr;
}

std::shared_ptr<ZKFFMovie> HLTimelineItemRendering::renderingRenderVideo(const HLTimelineItem &timeline)
{
    const auto renderItem = p_renderingRenderVideo(timeline, nullptr);
    if (!renderItem)
        return nullptr;
    const auto movie = renderItem->oResource()->video();
    if (movie)
        movie->setPlayVolume(double(renderItem->oTrim()->dVolume()));
    return movie;
}

void HLTimelineItemRendering::renderingRenderVideoSeek(const HLTimelineItem &timeline)
{
    if (const auto renderItem = p_renderingRenderVideo(timeline, nullptr))
        renderItem->oResource()->videoSeek();
}

float HLTimelineItemRendering::timelineFadeOutRatio(const HLTimelineItem &timeline)
{
    const float duration = timeline.dDuration();
    const float time = timeline.dNowTime();
    if (time >= duration)
        return 0;
    if (time + kFadeLength < duration)
        return 1;
    return (duration - time) / std::min(kFadeLength, duration);
}

float HLTimelineItemRendering::renderingAmbientRatio(const HLTimelineItem &timeline)
{
    return HLSoloDucking(renderingSoloRangers(timeline)).ambientRatioAt(timeline.dNowTime());
}

std::vector<HLRanger> HLTimelineItemRendering::renderingSoloRangers(const HLTimelineItem &timeline)
{
    std::vector<HLRanger> rangers;
    for (const auto &item : timeline.aryItems()) {
        const float offset = timeline.slideshowOffsetOf(item);
        for (const std::size_t index : item->logicResourceVideoIndexSet()) {
            const auto trim = item->logicRenderItemAt(index)->oTrim();
            if (!trim || !trim->bSolo())
                continue;
            const ResourceRenderRange range = item->resourceRenderRangeAt(index);
            HLRanger ranger;
            ranger.setDMin(offset + range.dStart);
            ranger.setDMax(offset + range.dEnd);
            rangers.push_back(ranger);
        }
    }
    return rangers;
}
