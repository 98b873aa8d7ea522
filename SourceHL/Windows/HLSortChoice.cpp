#include "SourceHL/Windows/HLSortChoice.h"

#include <algorithm>

namespace HLSortChoice {

namespace {

bool contains(const std::vector<std::int64_t> &list, std::int64_t value)
{
    return std::find(list.begin(), list.end(), value) != list.end();
}

} // namespace

Choice press(const Choice &before, std::int64_t pressed, bool shift, bool command, AnchorRule rule)
{
    const bool wasChosen = contains(before.chosen, pressed);
    const std::optional<std::int64_t> anchor =
        before.chosen.size() == 1 ? std::optional<std::int64_t>(before.chosen.front()) : before.anchor;
    Choice after;
    after.chosen = before.chosen;
    if (shift) {
        const std::int64_t a = anchor.value_or(0);
        after.chosen.clear();
        for (std::int64_t i = std::min(a, pressed); i <= std::max(a, pressed); ++i)
            after.chosen.push_back(i);
        after.anchor = anchor;
        return after;
    }
    if (command) {
        if (wasChosen)
            after.chosen.erase(std::find(after.chosen.begin(), after.chosen.end(), pressed));
        else
            after.chosen.push_back(pressed);
    } else if (!wasChosen) {
        after.chosen = {pressed};
    }
    const bool pressedIsAnchor = rule == AnchorRule::ChosenBefore ? wasChosen : contains(after.chosen, pressed);
    if (pressedIsAnchor)
        after.anchor = pressed;
    else if (before.anchor && contains(after.chosen, *before.anchor))
        after.anchor = before.anchor;
    return after;
}

} // namespace HLSortChoice
