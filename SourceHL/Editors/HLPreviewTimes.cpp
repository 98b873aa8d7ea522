#include "SourceHL/Editors/HLPreviewTimes.h"

#include <algorithm>
#include <cmath>

namespace HLPreviewTimes {

std::optional<float> typedTime(float seconds)
{
    if (!std::isfinite(seconds))
        return std::nullopt;
    return std::clamp(seconds, 0.0f, kLongestTime);
}

std::optional<std::int64_t> loopedTime(std::int64_t now, float trimMin, float trimMax, std::int64_t timeBase)
{
    const auto first = std::int64_t(trimMin * float(timeBase));
    const auto last = std::int64_t(trimMax * float(timeBase));
    const auto margin = std::int64_t(kLoopMargin * double(timeBase));
    if (now < first || now + margin > last)
        return first;
    return std::nullopt;
}

std::optional<float> repeatedEnd(float start, float kept, float repeat)
{
    if (!(kept > 0) || !std::isfinite(kept) || !std::isfinite(start))
        return std::nullopt;
    const float times = std::isfinite(repeat) ? std::max(repeat, 0.0f) : 0.0f;
    const double end = double(start) + double(kept) * double(times);
    return float(std::clamp(end, double(start), double(std::max(start, kLongestTime))));
}

} // namespace HLPreviewTimes
