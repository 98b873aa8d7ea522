#include "SourceHL/Common/HLListEdit.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>

#include <set>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

struct MoveCase
{
    Strings list;
    std::set<int> indexes;
    std::size_t to;
    Strings expected;
};

} // namespace

TEST(HLListEdit, MoveItemsPlacesTheMovedBeforeTheElementAtTheTarget)
{
    const std::vector<MoveCase> cases = {
        {{"A", "B", "C", "D"}, {0}, 3, {"B", "C", "A", "D"}},
        {{"A", "B", "C", "D"}, {3}, 0, {"D", "A", "B", "C"}},
        {{"A", "B", "C", "D"}, {1, 2}, 4, {"A", "D", "B", "C"}},
        // The element at the target moves too: before the next one that stays.
        {{"A", "B", "C", "D"}, {0, 2}, 2, {"B", "A", "C", "D"}},
        {{"A", "B", "C", "D"}, {2, 3}, 2, {"A", "B", "C", "D"}},
        {{"A", "B", "C", "D"}, {}, 1, {"A", "B", "C", "D"}},
        // Equal elements are moved by position, none lost or doubled.
        {{"X", "X", "Y", "X"}, {0}, 3, {"X", "Y", "X", "X"}},
        {{"X", "Y", "X", "Y"}, {1, 3}, 0, {"Y", "Y", "X", "X"}},
        {{"X", "X", "X"}, {2}, 0, {"X", "X", "X"}},
    };
    for (const auto &c : cases) {
        Strings list = c.list;
        moveItems(list, c.indexes, c.to);
        EXPECT_EQ(list, c.expected) << "to " << c.to;
    }
}

TEST(HLListEdit, InsertItemsByPositionAlsoWithEqualElements)
{
    QList<QString> list{"A", "B", "A"};
    insertItems(list, QList<QString>{"A", "C"}, 1);
    EXPECT_EQ(list, (QList<QString>{"A", "A", "C", "B", "A"}));
    insertItems(list, QList<QString>{"Z"}, list.size());
    EXPECT_EQ(list.back(), "Z");
    insertItems(list, QList<QString>{}, 0);
    EXPECT_EQ(list.size(), 6);

    QList<QString> moved{"A", "B", "A", "C"};
    moveItems(moved, QList<qsizetype>{2}, 0);
    EXPECT_EQ(moved, (QList<QString>{"A", "A", "B", "C"}));
}

TEST(HLListEdit, IndexBeyondTheEndIsWrongAndChangesNothing)
{
    const Strings original{"A", "B", "C"};
    const auto expectWrongIndex = [&](auto edit) {
        Strings list = original;
        try {
            edit(list);
            ADD_FAILURE() << "no assertion";
        } catch (const HLAssertionFailure &failure) {
            EXPECT_STREQ(failure.what(), "wrong index");
        }
        EXPECT_EQ(list, original);
    };
    expectWrongIndex([](Strings &list) { insertItems(list, Strings{"Z"}, 4); });
    expectWrongIndex([](Strings &list) { moveItems(list, std::set<int>{0}, 4); });
    expectWrongIndex([](Strings &list) { moveItems(list, std::set<int>{0, 3}, 1); });
    expectWrongIndex([](Strings &list) { moveItems(list, std::set<int>{-1}, 1); });
}
