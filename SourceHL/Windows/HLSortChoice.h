#pragma once

#include <cstdint>
#include <optional>
#include <vector>

// What a press chooses in the slide sorter, over positions in a list of views (the tiles, or
// the cells of one tile): a plain press chooses the view alone (or keeps a chosen group so it
// can be dragged), Command toggles it, Shift chooses the range from the anchor. Free of Qt.
namespace HLSortChoice {

struct Choice
{
    std::vector<std::int64_t> chosen; // in the order chosen
    std::optional<std::int64_t> anchor;
    bool operator==(const Choice &) const = default;
};

// Whether the new anchor is the pressed view when it was chosen before the press (tiles) or
// when it is chosen after it (cells).
enum class AnchorRule { ChosenBefore, ChosenAfter };

// before: the current choice among these views (its anchor only when it is one of them).
Choice press(const Choice &before, std::int64_t pressed, bool shift, bool command, AnchorRule rule);

} // namespace HLSortChoice
