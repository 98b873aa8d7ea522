#include "SourceHL/Model/Textline/HLTextlineItem.h"

#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Model/Textline/HLTextItem.h"

#include <QRandomGenerator>

#include <functional>
#include <limits>
#include <map>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Span
{
    QString id;
    float min;
    float max;
};

std::shared_ptr<HLTextItem> title(const QString &id, float min, float max)
{
    auto item = HLTextItem::textItemOf(id);
    item->updateLineMin(min, max);
    return item;
}

std::vector<Span> spans(const HLTextlineItem &line)
{
    std::vector<Span> result;
    for (const auto &item : line.aryItems())
        result.push_back({item->strTTID(), item->dLineMin(), item->dLineMax()});
    return result;
}

void expectSpans(const HLTextlineItem &line, const std::vector<Span> &expected)
{
    const auto actual = spans(line);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(actual[i].id, expected[i].id);
        EXPECT_FLOAT_EQ(actual[i].min, expected[i].min);
        EXPECT_FLOAT_EQ(actual[i].max, expected[i].max);
    }
}

// A line holding the given titles, added one by one (each add arranges the line).
std::shared_ptr<HLTextlineItem> lineOf(const std::vector<Span> &titles)
{
    auto line = HLTextlineItem::textline();
    for (const auto &span : titles)
        line->add(title(span.id, span.min, span.max));
    return line;
}

struct ArrangeCase
{
    const char *name;
    std::vector<Span> initial;
    std::function<void(HLTextlineItem &)> edit;
    std::vector<Span> expected;
};

class HLTextlineArrange : public ::testing::TestWithParam<ArrangeCase>
{
};

TEST_P(HLTextlineArrange, TitlesNeverOverlapAfterArranging)
{
    const ArrangeCase &c = GetParam();
    auto line = lineOf(c.initial);
    c.edit(*line);
    expectSpans(*line, c.expected);
}

const ArrangeCase kArrangeCases[] = {
    {"apartTitlesStayWhereTheyAre",
     {{"a", 10, 50}, {"b", 60, 90}},
     [](HLTextlineItem &) {},
     {{"a", 10, 50}, {"b", 60, 90}}},
    {"aTitleAtZeroStartsAtOneHundredth",
     {},
     [](HLTextlineItem &line) { line.add(title("a", 0, 115)); },
     {{"a", 0.01f, 115.01f}}},
    {"addedTitleWinsAnEqualStartAndPushesTheOther",
     {{"a", 100, 150}},
     [](HLTextlineItem &line) { line.add(title("b", 100, 215)); },
     {{"b", 100, 215}, {"a", 215.01f, 265.01f}}},
    {"touchingTitlesAreSeparated",
     {{"a", 10, 50}},
     [](HLTextlineItem &line) { line.add(title("b", 50, 70)); },
     {{"a", 10, 50}, {"b", 50.01f, 70.01f}}},
    {"aChainOfOverlapsIsPushedInOnePass",
     {{"a", 10, 50}, {"b", 60, 100}, {"c", 105, 125}},
     [](HLTextlineItem &line) { line.add(title("n", 40, 80)); },
     {{"a", 10, 50}, {"n", 50.01f, 90.01f}, {"b", 90.02f, 130.02f}, {"c", 130.03f, 150.03f}}},
    {"addingInFrontSortsTheLine",
     {{"a", 100, 150}},
     [](HLTextlineItem &line) { line.add(title("b", 20, 40)); },
     {{"b", 20, 40}, {"a", 100, 150}}},
    {"reStartMovesKeepingLengthAndArranges",
     {{"a", 10, 50}, {"b", 60, 90}},
     [](HLTextlineItem &line) { line.textItemReStart("b", 10); },
     {{"b", 10, 40}, {"a", 40.01f, 80.01f}}},
    {"reStartToZeroEndsAtOneHundredth",
     {{"a", 10, 50}},
     [](HLTextlineItem &line) { line.textItemReStart("a", 0); },
     {{"a", 0.01f, 40.01f}}},
    {"reStartOfAnUnknownIdStillArranges",
     {{"a", 10, 50}, {"b", 60, 90}},
     [](HLTextlineItem &line) {
         line.textItemReMin("b", 30, 60); // overlaps a, not arranged
         line.textItemReStart("nobody", 0);
     },
     {{"a", 10, 50}, {"b", 50.01f, 80.01f}}},
    {"reMinNeverArranges",
     {{"a", 10, 50}, {"b", 60, 90}},
     [](HLTextlineItem &line) { line.textItemReMin("b", 20, 30); },
     {{"a", 10, 50}, {"b", 20, 30}}},
    {"reMinRefusesAnInvertedOrNegativeRange",
     {{"a", 10, 50}},
     [](HLTextlineItem &line) {
         line.textItemReMin("a", 30, 20);
         line.textItemReMin("a", -1, 20);
         line.textItemReMin("nobody", 1, 2);
     },
     {{"a", 10, 50}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, HLTextlineArrange, ::testing::ValuesIn(kArrangeCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(HLTextlineItem, RandomAddsAndMovesKeepTitlesApartAndTheirLengths)
{
    QRandomGenerator random(7);
    auto line = HLTextlineItem::textline();
    std::map<QString, float> lengths;
    for (int step = 0; step < 200; ++step) {
        const float start = float(random.bounded(400));
        if (step % 3 == 2) {
            const auto items = line->aryItems();
            const QString id = items[random.bounded(int(items.size()))]->strTTID();
            line->textItemReStart(id, start);
        } else {
            const QString id = QString::number(step);
            const float length = float(1 + random.bounded(120));
            lengths[id] = length;
            line->add(title(id, start, start + length));
        }
        float previousEnd = 0;
        for (const auto &item : line->aryItems()) {
            ASSERT_GT(item->dLineMin(), previousEnd) << "step " << step;
            ASSERT_NEAR(item->lineDuration(), lengths[item->strTTID()], 0.01f);
            previousEnd = item->dLineMax();
        }
    }
}

TEST(HLTextlineItem, NeighbourLimitsOfFirstLastAndUnknownTitles)
{
    auto line = lineOf({{"a", 10, 50}, {"b", 60, 90}, {"c", 100, 120}});
    EXPECT_EQ(line->lastLineMaxOf("a"), 0);
    EXPECT_EQ(line->lastLineMaxOf("b"), 50);
    EXPECT_EQ(line->lastLineMaxOf("nobody"), 0);
    EXPECT_EQ(line->nextLineMinOf("b"), 100);
    EXPECT_EQ(line->nextLineMinOf("c"), 3.4028235e38f);
    EXPECT_EQ(line->nextLineMinOf("nobody"), std::numeric_limits<float>::max());
}

TEST(HLTextlineItem, NullIdsAreWrongPara)
{
    auto line = lineOf({{"a", 10, 50}});
    const std::vector<std::function<void()>> calls = {
        [&] { line->textItemOf(QString()); },
        [&] { line->lastLineMaxOf(QString()); },
        [&] { line->nextLineMinOf(QString()); },
        [&] { line->textItemReMin(QString(), 1, 2); },
        [&] { line->textItemReStart(QString(), 1); },
        [&] { line->add(nullptr); },
    };
    for (size_t i = 0; i < calls.size(); ++i) {
        SCOPED_TRACE(i);
        try {
            calls[i]();
            ADD_FAILURE() << "no assertion";
        } catch (const HLAssertionFailure &failure) {
            EXPECT_STREQ(failure.what(), "wrong para");
        }
    }
    expectSpans(*line, {{"a", 10, 50}});
}

TEST(HLTextlineItem, RemoveTakesTheFirstTitleWithTheIdAndNeverArranges)
{
    auto line = lineOf({{"a", 10, 50}, {"b", 60, 90}});
    line->textItemReMin("b", 20, 30);
    line->remove("nobody");
    expectSpans(*line, {{"a", 10, 50}, {"b", 20, 30}});
    line->remove("a");
    expectSpans(*line, {{"b", 20, 30}});
    EXPECT_EQ(line->textItemOf("a"), nullptr);
    EXPECT_EQ(line->textItemOf("b")->dLineMin(), 20);
}

TEST(HLTextlineItem, SyncPlayTimeMapsLineRangesAndKeepsRefusedOnes)
{
    auto line = lineOf({{"a", 80, 160}, {"b", 200, 240}});
    // One second per 16 points, but positions past 220 map backwards (a broken map).
    line->setupTimeMap([](float position) { return position <= 220 ? position / 16 : -1.0f; });
    line->syncPlayTime();
    const auto a = line->textItemOf("a");
    const auto b = line->textItemOf("b");
    EXPECT_EQ(a->dPlayMin(), 5);
    EXPECT_EQ(a->dPlayMax(), 10);
    EXPECT_EQ(b->dPlayMin(), 0); // end before start: the old range stays
    EXPECT_EQ(b->dPlayMax(), 0);

    line->setupTimeMap([](float position) { return position / 8; });
    line->syncPlayTime();
    EXPECT_EQ(a->dPlayMax(), 20);
    EXPECT_EQ(b->dPlayMin(), 25);
}

TEST(HLTextlineItem, SyncPlayTimeWithoutAMapChangesNothing)
{
    auto line = lineOf({{"a", 80, 160}});
    line->textItemOf("a")->updatePlayMin(1, 2);
    line->syncPlayTime();
    EXPECT_EQ(line->textItemOf("a")->dPlayMin(), 1);
    EXPECT_EQ(line->textItemOf("a")->dPlayMax(), 2);
}

TEST(HLTextlineItem, LookupsByPlayTimeUseHalfOpenRanges)
{
    auto line = lineOf({{"a", 10, 20}, {"b", 30, 40}, {"e", 50, 60}});
    line->setupTimeMap([](float position) { return position / 10; });
    line->syncPlayTime();
    line->textItemOf("e")->updatePlayMin(5, 5); // empty play range

    const struct
    {
        float time;
        const char *title;
    } cases[] = {{0.5f, nullptr}, {1, "a"}, {1.99f, "a"}, {2, nullptr}, {3, "b"}, {4, nullptr}, {5, nullptr}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.time);
        const auto found = line->textItemAt(c.time);
        if (c.title) {
            ASSERT_NE(found, nullptr);
            EXPECT_EQ(found->strTTID(), c.title);
        } else {
            EXPECT_EQ(found, nullptr);
        }
    }
    const auto after = line->textItemsAfter(1);
    ASSERT_EQ(after.size(), 2);
    EXPECT_EQ(after[0]->strTTID(), "b");
    EXPECT_EQ(after[1]->strTTID(), "e");
    EXPECT_EQ(line->textOffsetOf(*line->textItemOf("b")), 3);

    line->update(3.5f);
    EXPECT_EQ(line->dNowTime(), 3.5f);
}

TEST(HLTextlineItem, ArrayIsACopy)
{
    auto line = lineOf({{"a", 10, 20}});
    auto items = line->aryItems();
    items.clear();
    EXPECT_EQ(line->aryItems().size(), 1);
}

} // namespace
