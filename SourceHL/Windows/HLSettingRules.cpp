#include "SourceHL/Windows/HLSettingRules.h"

#include <algorithm>
#include <charconv>

namespace HLSettingRules {

namespace {
const char *const kNoLimit = "No Limit";
}

const std::vector<std::uint64_t> &modes()
{
    static const std::vector<std::uint64_t> list{1, 5, 10, 15, 20, 25, 30, 40, 50, 60, 80, 100, 200, 0};
    return list;
}

std::vector<std::uint64_t> modesShownFor(std::uint64_t current)
{
    std::vector<std::uint64_t> shown = modes();
    if (std::find(shown.begin(), shown.end(), current) != shown.end())
        return shown;
    // Numbers ascend before "No Limit" (0), which stays last.
    const auto place = std::find_if(shown.begin(), shown.end(), [&](std::uint64_t mode) {
        return mode == 0 || mode > current;
    });
    shown.insert(place, current);
    return shown;
}

std::string titleOfMode(std::uint64_t mode)
{
    return mode == 0 ? std::string(kNoLimit) : std::to_string(mode);
}

std::uint64_t modeOfTitle(const std::string &title)
{
    std::uint64_t mode = 0;
    std::from_chars(title.data(), title.data() + title.size(), mode);
    return mode;
}

std::string titleOfType(std::int64_t type)
{
    return type == 0 ? kTypeLoop : kTypeCustom;
}

std::int64_t typeOfTitle(const std::string &title)
{
    return title == kTypeLoop ? 0 : 1;
}

} // namespace HLSettingRules
