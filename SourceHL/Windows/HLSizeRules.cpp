#include "SourceHL/Windows/HLSizeRules.h"

#include <algorithm>
#include <limits>

namespace HLSizeRules {

const std::vector<Size> &presets()
{
    static const std::vector<Size> list{{480, 320}, {640, 480},  {720, 480},  {800, 450},  {800, 600},
                                        {960, 640}, {1280, 720}, {1280, 960}, {1920, 1080}};
    return list;
}

std::optional<std::size_t> presetIndexOf(double width, double height)
{
    const auto &list = presets();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (double(list[i].width) == width && double(list[i].height) == height)
            return i;
    return std::nullopt;
}

Side sideOf(const std::string &text)
{
    if (std::count(text.begin(), text.end(), '.') > 1
        || !std::all_of(text.begin(), text.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; }))
        return {Verdict::Invalid, 0};
    // The whole part, held at the largest value so a long run of digits is too large, not wrapped.
    std::int64_t value = 0;
    for (const char c : text) {
        if (c == '.')
            break;
        const int digit = c - '0';
        value = value > (std::numeric_limits<std::int64_t>::max() - digit) / 10 ? std::numeric_limits<std::int64_t>::max()
                                                                                : value * 10 + digit;
    }
    if (value < kMinSide)
        return {Verdict::TooSmall, value};
    if (value > kMaxSide)
        return {Verdict::TooLarge, value};
    return {Verdict::Valid, value};
}

} // namespace HLSizeRules
