#pragma once

#include "Platform/Foundation/HLAssert.h"

#include <cstddef>
#include <utility>
#include <vector>

// The two edits every ordered list of the model uses, for QList and std::vector alike.
// Both work by position, so lists that hold equal elements are edited correctly.

// Inserts items before position index; index == size appends. An index beyond the end is
// "wrong index" and leaves the list unchanged.
template <class List, class Items>
void insertItems(List &list, const Items &items, std::size_t index)
{
    HL_ASSERT(index <= std::size_t(list.size()), "wrong index");
    for (const auto &item : items)
        list.insert(list.begin() + index++, item);
}

// Moves the elements at the given positions, in their order, to stand directly before the
// element that was at position to (or, when that one moves too, before the next one that
// stays); with to == size, or no such element, they go to the end. The others keep their
// order. A position beyond the end is "wrong index" and leaves the list unchanged.
template <class List, class Indexes>
void moveItems(List &list, const Indexes &indexes, std::size_t to)
{
    const std::size_t count = std::size_t(list.size());
    HL_ASSERT(to <= count, "wrong index");
    std::vector<bool> moving(count, false);
    for (const auto index : indexes) {
        HL_ASSERT(std::in_range<std::size_t>(index) && std::size_t(index) < count, "wrong index");
        moving[std::size_t(index)] = true;
    }

    std::size_t anchor = to;
    while (anchor < count && moving[anchor])
        ++anchor;

    List moved;
    for (std::size_t i = 0; i < count; ++i) {
        if (moving[i])
            moved.push_back(std::move(list[i]));
    }
    List result;
    for (std::size_t i = 0; i <= count; ++i) {
        if (i == anchor) {
            for (auto &element : moved)
                result.push_back(std::move(element));
        }
        if (i < count && !moving[i])
            result.push_back(std::move(list[i]));
    }
    list = std::move(result);
}
