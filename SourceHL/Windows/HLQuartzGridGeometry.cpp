#include "SourceHL/Windows/HLQuartzGridGeometry.h"

#include <algorithm>
#include <cmath>

namespace HLQuartzRules {

QuartzUIType UITypeOf(std::int64_t type, std::string_view name)
{
    if (type == 0) {
        const bool general = name.find("Normal") != std::string_view::npos ||
                             name.find("Dissolve") != std::string_view::npos;
        return general ? QuartzUITypeGeneral : QuartzUITypeSlideshow;
    }
    return type == 2 ? QuartzUITypeTransition : QuartzUITypeText;
}

std::int64_t typeOf(QuartzUIType uiType)
{
    return uiType == QuartzUITypeTransition || uiType == QuartzUITypeText ? uiType : 0;
}

bool isSameTypeOf(QuartzUIType a, QuartzUIType b)
{
    switch (a) {
    case QuartzUITypeSlideshow:
    case QuartzUITypeGeneral: return b == QuartzUITypeSlideshow || b == QuartzUITypeGeneral;
    case QuartzUITypeTransition: return b == QuartzUITypeTransition;
    case QuartzUITypeText: return b == QuartzUITypeText;
    default: return false;
    }
}

} // namespace HLQuartzRules

HLQuartzGridLayout HLQuartzGridLayout::layoutOf(double width, double height, std::size_t count)
{
    HLQuartzGridLayout layout;
    const double room = width - 2 * kGap;
    layout.columns = room >= kTileWidth ? std::size_t(room / kTileWidth) : 1;
    layout.rows = (count + layout.columns - 1) / layout.columns;
    layout.contentHeight = std::max((kTileHeight + kGap) * double(layout.rows) + kGap, height);
    layout.spacing = std::max(0.0, (room - kTileWidth * double(layout.columns)) / double(layout.columns + 1));
    return layout;
}

double HLQuartzGridLayout::xOf(std::size_t index) const
{
    return kGap + spacing + (spacing + kTileWidth) * double(index % columns);
}

double HLQuartzGridLayout::yOf(std::size_t index) const
{
    return contentHeight - (kTileHeight + kGap) * double(index / columns + 1);
}

namespace HLQuartzPreviewClock {

float speedOf(std::int64_t type)
{
    return type == 0 ? 2.0f : (type == 3 ? 0.4f : 1.0f);
}

float loopOf(std::int64_t type, double bestDuration)
{
    return type == 3 ? 1.0f : float(bestDuration);
}

float wrapped(float now, float elapsed, float loop)
{
    if (!(loop > 0) || !std::isfinite(loop))
        return 0;
    const float t = now + elapsed;
    const float w = t - std::floor(t / loop) * loop;
    // float rounding can land exactly on the loop's end
    return w >= loop || w < 0 ? 0 : w;
}

float renderTimeOf(std::int64_t type, float time, float loop)
{
    if (type == 2)
        return loop > 0 ? time / loop : 0;
    return time;
}

} // namespace HLQuartzPreviewClock
