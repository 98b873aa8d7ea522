#include "SourceHL/Model/Timeline/ResourceRenderRange.h"

#include "Frameworks/Korvane/ZKTime.h"
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
    return float(zk_ff_time_to_double(renderRangeRenderTicks(range, zk_ff_time_from_double(time))));
}

qint64 renderRangeRenderTicks(ResourceRenderRange range, qint64 time)
{
    const qint64 start = zk_ff_time_from_double(range.dStart);
    const qint64 end = zk_ff_time_from_double(range.dEnd);
    return std::min(std::max(time, start), end) - start;
}
