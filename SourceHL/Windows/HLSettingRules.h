#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The settings dialog's values and their titles, free of Qt: items per new slideshow item
// (0 is "No Limit") and the music line's play mode.
namespace HLSettingRules {

// The modes the pop-up offers, in order.
const std::vector<std::uint64_t> &modes();
// The modes shown for a project whose mode is current: the list, and current as an entry of
// its own in order when the list lacks it, so the dialog shows and keeps what the project has.
std::vector<std::uint64_t> modesShownFor(std::uint64_t current);
std::string titleOfMode(std::uint64_t mode);
std::uint64_t modeOfTitle(const std::string &title);

inline const char *const kTypeLoop = "Loop Play All Audios";
inline const char *const kTypeCustom = "Custom Play Duration";
std::string titleOfType(std::int64_t type);
std::int64_t typeOfTitle(const std::string &title);

} // namespace HLSettingRules
