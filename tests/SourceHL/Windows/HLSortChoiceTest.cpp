#include "SourceHL/Windows/HLSortChoice.h"

#include <gtest/gtest.h>

namespace {

using namespace HLSortChoice;

enum Key { Plain, Shift, Command };

Choice pressAll(const std::vector<std::pair<std::int64_t, Key>> &presses, AnchorRule rule)
{
    Choice choice;
    for (const auto &[view, key] : presses)
        choice = press(choice, view, key == Shift, key == Command, rule);
    return choice;
}

TEST(HLSortChoiceTest, TheRulesOfThePresses)
{
    const auto tiles = AnchorRule::ChosenBefore;
    const auto cells = AnchorRule::ChosenAfter;
    struct Case
    {
        const char *name;
        std::vector<std::pair<std::int64_t, Key>> presses;
        AnchorRule rule;
        Choice expected;
    };
    const Case cases[] = {
        {"tile A then Shift D", {{0, Plain}, {3, Shift}}, tiles, {{0, 1, 2, 3}, 0}},
        {"tile A, Command C, Shift E: no anchor", {{0, Plain}, {2, Command}, {4, Shift}}, tiles, {{0, 1, 2, 3, 4}, std::nullopt}},
        {"cell A, Command C, Shift E: C anchors", {{0, Plain}, {2, Command}, {4, Shift}}, cells, {{2, 3, 4}, 2}},
        {"a plain press on one of a chosen group keeps it", {{1, Plain}, {3, Shift}, {2, Plain}}, tiles, {{1, 2, 3}, 2}},
        {"Command removes a tile and anchors it", {{1, Plain}, {2, Command}, {2, Command}}, tiles, {{1}, 2}},
        {"a plain press on a tile leaves no anchor", {{4, Plain}}, tiles, {{4}, std::nullopt}},
        {"a plain press on a cell anchors it", {{4, Plain}}, cells, {{4}, 4}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(pressAll(c.presses, c.rule), c.expected) << c.name;
}

} // namespace
