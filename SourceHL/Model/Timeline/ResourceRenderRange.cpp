#include "SourceHL/Model/Timeline/ResourceRenderRange.h"

#include "Platform/Foundation/HLAssert.h"

#include <algorithm>

ResourceRenderRange makeResourceRenderRange(float start, float end)
{
    HL_ASSERT(start >= 0 && end >= start, "wrong paras");
    return ResourceRenderRange{start, end};
}

bool renderRangeContains(ResourceRenderRange range, float time)
{
    return range.dStart <= time && time <= range.dEnd;
}

float renderRangeRenderTime(ResourceRenderRange range, float time)
{
    return std::min(std::max(time, range.dStart), range.dEnd) - range.dStart;
}
