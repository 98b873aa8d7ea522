#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"
#include "TimelineFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <set>

using namespace TimelineFixtures;

namespace {

class TimelineTest : public ::testing::Test
{
protected:
    std::shared_ptr<HLTimelineItem> timeline(quint64 mode)
    {
        auto t = HLTimelineItem::timelineOf(mode);
        t->setupSlideshow([] { return slideshowTemplate(); }, [] { return transitionTemplate(); });
        return t;
    }

    HLTimelineItem::ResourceItems photos(int count)
    {
        HLTimelineItem::ResourceItems resources;
        for (int i = 0; i < count; ++i)
            resources.append(photo(QString::number(++m_hash)));
        return resources;
    }

    static QList<qsizetype> counts(const HLTimelineItem &t)
    {
        QList<qsizetype> result;
        for (const auto &item : t.mtAryItems())
            result.append(qsizetype(item->logicItemsCount()));
        return result;
    }

    static QStringList ids(const HLTimelineItem &t)
    {
        QStringList result;
        for (const auto &item : t.mtAryItems())
            result.append(item->strSSID());
        return result;
    }

    static void expectInvariants(const HLTimelineItem &t)
    {
        const auto items = t.mtAryItems();
        for (qsizetype i = 0; i < items.size(); ++i) {
            EXPECT_GT(items[i]->logicItemsCount(), 0u) << i;
            EXPECT_EQ(items[i]->bHasTransition(), i + 1 < items.size()) << i;
        }
    }

    int m_hash = 1000;
};

TEST_F(TimelineTest, GroupsNewRenderItemsByMode)
{
    const struct
    {
        quint64 mode;
        int count;
        QList<qsizetype> groups;
    } cases[] = {
        {30, 31, {30, 1}}, {30, 60, {30, 30}}, {0, 5, {5}}, {3, 7, {3, 3, 1}}, {1, 2, {1, 1}}, {100, 4, {4}},
    };
    for (const auto &c : cases) {
        auto t = timeline(c.mode);
        ASSERT_TRUE(t->addOutTo(photos(c.count), QString()));
        EXPECT_EQ(counts(*t), c.groups) << c.mode << " " << c.count;
        expectInvariants(*t);
        const QStringList made = ids(*t);
        EXPECT_EQ(QSet<QString>(made.begin(), made.end()).size(), c.groups.size());
    }
}

TEST_F(TimelineTest, AddOutToPlacesAndRefuses)
{
    auto t = timeline(2);
    t->addOutTo(photos(4), QString());
    const QStringList before = ids(*t);
    t->addOutTo(photos(1), before[1]);
    EXPECT_EQ(ids(*t)[0], before[0]);
    EXPECT_EQ(ids(*t)[2], before[1]);
    EXPECT_EQ(counts(*t), QList<qsizetype>({2, 1, 2}));
    expectInvariants(*t);

    const QStringList now = ids(*t);
    EXPECT_THROW(t->addOutTo(photos(1), QStringLiteral("404")), HLAssertionFailure);
    EXPECT_EQ(ids(*t), now);

    t->setDNowTime(3.5f);
    EXPECT_TRUE(t->addOutTo({}, QString()));
    EXPECT_EQ(t->dNowTime(), 3.5f);
    EXPECT_EQ(ids(*t), now);
}

TEST_F(TimelineTest, MissingTemplatesChangeNothing)
{
    const std::function<QVariantMap()> none = [] { return QVariantMap(); };
    auto t = timeline(1);
    t->addOutTo(photos(3), QString());
    const QStringList before = ids(*t);
    const auto items = t->mtAryItems();

    for (const bool withCallbacks : {false, true}) {
        if (withCallbacks)
            t->setupSlideshow(none, [] { return transitionTemplate(); });
        else
            t->setupSlideshow({}, {});
        EXPECT_FALSE(t->addOutTo(photos(2), QString()));
        EXPECT_FALSE(t->moveOutTo({items[1]->resourceHashIDs()}, before[1], QString()));
        EXPECT_FALSE(t->reset());
        EXPECT_EQ(ids(*t), before);
        EXPECT_EQ(counts(*t), QList<qsizetype>({1, 1, 1}));
    }
    // A decoded timeline has no callbacks until the owner installs them again.
    EXPECT_FALSE(HLTimelineItem::timelineOf(30)->addOutTo(photos(1), QString()));
}

TEST_F(TimelineTest, UpdateClampsThePlayTime)
{
    auto t = timeline(1);
    t->update(5);
    EXPECT_EQ(t->dDuration(), 0);
    EXPECT_EQ(t->dNowTime(), 0);
    t->addOutTo(photos(3), QString()); // 4 + 2, 4 + 2, 4
    EXPECT_EQ(t->dDuration(), 16);
    const struct
    {
        float time, now;
    } cases[] = {{-1, 0}, {NAN, 0}, {7.5f, 7.5f}, {16, 16}, {99, 16}};
    for (const auto &c : cases) {
        t->update(c.time);
        EXPECT_EQ(t->dNowTime(), c.now) << c.time;
    }
}

TEST_F(TimelineTest, FindsTheSlideshowItemAtATime)
{
    auto empty = timeline(1);
    EXPECT_EQ(empty->slideshowItemAt(0), nullptr);
    EXPECT_EQ(empty->nextSlideshowItemAt(0), nullptr);

    auto t = timeline(1);
    t->addOutTo(photos(3), QString()); // starts 0, 6, 12; total 16
    const auto items = t->mtAryItems();
    const struct
    {
        float time;
        int index;
        int next; // -1: none
    } cases[] = {
        {0, 0, 1}, {5.99f, 0, 1}, {6, 1, 2}, {11.5f, 1, 2}, {12, 2, -1}, {15.9f, 2, -1},
        {16, 2, -1}, {100, 2, -1}, {-1, 2, -1}, {NAN, 2, -1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(t->slideshowItemAt(c.time), items[c.index]) << c.time;
        EXPECT_EQ(t->nextSlideshowItemAt(c.time), c.next < 0 ? nullptr : items[c.next]) << c.time;
    }
    EXPECT_EQ(t->slideshowOffsetOf(items[0]), 0);
    EXPECT_EQ(t->slideshowOffsetOf(items[2]), 12);
    EXPECT_EQ(t->slideshowOffsetOf(items[2]->copy()), 12); // found by equality
    auto stranger = HLSlideshowItem::slideshowItemOf("1", slideshowTemplate(), transitionTemplate());
    EXPECT_EQ(t->slideshowOffsetOf(stranger), 0);
    EXPECT_EQ(t->slideshowItemOf(items[1]->strSSID()), items[1]);
    EXPECT_EQ(t->slideshowItemOf(QString()), nullptr);
    EXPECT_EQ(t->slideshowItemsCount(), 3);
}

TEST_F(TimelineTest, MovesSlideshowItems)
{
    auto t = timeline(1);
    t->addOutTo(photos(3), QString());
    const QStringList abc = ids(*t);
    t->move({abc[0]}, abc[2]);
    EXPECT_EQ(ids(*t), QStringList({abc[1], abc[0], abc[2]}));
    expectInvariants(*t);
    t->move({abc[1], QStringLiteral("404")}, QString());
    EXPECT_EQ(ids(*t), QStringList({abc[0], abc[2], abc[1]}));
    t->move({abc[1]}, QStringLiteral("404"));
    EXPECT_EQ(ids(*t), QStringList({abc[0], abc[2], abc[1]}));
    expectInvariants(*t);
}

TEST_F(TimelineTest, MovesRenderItems)
{
    auto t = timeline(3);
    t->addOutTo(photos(6), QString());
    const QStringList ab = ids(*t);
    const auto first = t->mtAryItems()[0];
    const auto second = t->mtAryItems()[1];
    const QStringList hashes = first->resourceHashIDs();
    t->update(3);
    const float duration = t->dDuration();

    // Inside one slideshow item: a reorder, nothing else.
    EXPECT_TRUE(t->moveInTo({hashes[2]}, ab[0], ab[0], hashes[0]));
    EXPECT_EQ(first->resourceHashIDs(), QStringList({hashes[2], hashes[0], hashes[1]}));
    EXPECT_EQ(t->dDuration(), duration);
    expectInvariants(*t);

    // An unknown target is refused and loses nothing.
    EXPECT_FALSE(t->moveInTo({hashes[0]}, ab[0], QStringLiteral("404"), QString()));
    EXPECT_EQ(first->logicItemsCount(), 3u);
    // So is a before-key the target does not hold.
    EXPECT_THROW(t->moveInTo({hashes[0]}, ab[0], ab[1], QStringLiteral("404")), HLAssertionFailure);
    EXPECT_EQ(first->logicItemsCount(), 3u);
    EXPECT_EQ(second->logicItemsCount(), 3u);

    const QString secondHead = second->resourceHashIDs()[0];
    EXPECT_TRUE(t->moveInTo({hashes[0]}, ab[0], ab[1], secondHead));
    EXPECT_EQ(second->resourceHashIDs()[0], hashes[0]);
    EXPECT_EQ(first->logicItemsCount(), 2u);

    // Moving all render items out drops the slideshow item.
    EXPECT_TRUE(t->moveInTo(first->resourceHashIDs(), ab[0], ab[1], QString()));
    EXPECT_EQ(ids(*t), QStringList({ab[1]}));
    EXPECT_EQ(second->logicItemsCount(), 6u);
    expectInvariants(*t);

    // Out into new slideshow items, grouped by the mode, before a target or at the end.
    const QStringList all = second->resourceHashIDs();
    EXPECT_TRUE(t->moveOutTo({all[0], all[1], all[2], all[3]}, ab[1], ab[1]));
    EXPECT_EQ(counts(*t), QList<qsizetype>({3, 1, 2}));
    EXPECT_EQ(ids(*t)[2], ab[1]);
    EXPECT_TRUE(t->moveOutTo({all[4]}, ab[1], QStringLiteral("404")));
    EXPECT_EQ(counts(*t), QList<qsizetype>({3, 1, 1, 1}));
    expectInvariants(*t);
}

TEST_F(TimelineTest, RemovingKeepsTransitionLengths)
{
    auto t = timeline(1);
    t->addOutTo(photos(3), QString());
    const auto items = t->mtAryItems();
    items[1]->setDTransition(1.25f);
    t->remove({items[2]->strSSID()});
    EXPECT_FALSE(items[1]->bHasTransition());
    EXPECT_EQ(items[1]->dTransition(), 1.25f);
    EXPECT_EQ(t->dDuration(), 6 + 4);
    t->addOutTo(photos(1), QString());
    EXPECT_TRUE(items[1]->bHasTransition());
    EXPECT_EQ(items[1]->transitionDuration(), 1.25f);

    t->removeFrom(items[0]->resourceHashIDs(), items[0]->strSSID());
    EXPECT_EQ(t->slideshowItemsCount(), 2);
    t->removeFrom({QStringLiteral("404")}, QStringLiteral("404"));
    t->remove({QStringLiteral("404")});
    EXPECT_EQ(t->slideshowItemsCount(), 2);
    expectInvariants(*t);
}

TEST_F(TimelineTest, ResetRegroupsEverything)
{
    const struct
    {
        int count;
        QList<qsizetype> groups;
    } cases[] = {{60, {30, 30}}, {61, {30, 30, 1}}};
    for (const auto &c : cases) {
        auto t = timeline(1);
        t->addOutTo(photos(c.count), QString());
        const QStringList before = ids(*t);
        const QList<std::shared_ptr<HLRenderItem>> renderItems = t->renderItemsOf(t->resourceHashIDs());
        const float duration = t->dDuration();
        t->setIMode(30);
        ASSERT_TRUE(t->reset());
        EXPECT_EQ(counts(*t), c.groups);
        EXPECT_EQ(t->renderItemsOf(t->resourceHashIDs()), renderItems);
        for (const QString &id : ids(*t))
            EXPECT_FALSE(before.contains(id));
        EXPECT_EQ(t->dDuration(), duration); // until the next update
        expectInvariants(*t);
    }
    auto empty = timeline(30);
    EXPECT_TRUE(empty->reset());
    EXPECT_EQ(empty->slideshowItemsCount(), 0);
}

TEST_F(TimelineTest, AppliesToAll)
{
    auto t = timeline(2);
    t->addOutTo(photos(4), QString());
    t->mtAryItems()[0]->setDTransition(0.75f);
    t->applyTransitionInfoToAll(transitionTemplate("Iris", 9));
    for (const auto &item : t->mtAryItems())
        EXPECT_EQ(item->oTransitionInfo()->strName(), "Iris");
    EXPECT_EQ(t->mtAryItems()[0]->dTransition(), 0.75f);
    EXPECT_EQ(t->mtAryItems()[1]->dTransition(), 2.0f);

    t->applySlideshowDisplayToAll(3);
    t->applySlideshowAnimateToAll(1.5f);
    t->applyTransitionDurationToAll(1);
    for (const auto &item : t->mtAryItems()) {
        EXPECT_EQ(item->dSlideshowDisplay(), 3);
        EXPECT_EQ(item->dSlideshowAnimate(), 1.5f);
        EXPECT_EQ(item->dTransition(), 1);
    }
    EXPECT_THROW(t->applySlideshowDisplayToAll(0), HLAssertionFailure);
    EXPECT_THROW(t->applySlideshowAnimateToAll(-1), HLAssertionFailure);
    EXPECT_THROW(t->applyTransitionDurationToAll(NAN), HLAssertionFailure);
    EXPECT_THROW(t->applyTransitionInfoToAll({}), HLAssertionFailure);
    EXPECT_EQ(t->mtAryItems()[0]->dSlideshowDisplay(), 3);
}

TEST_F(TimelineTest, InfosAndResources)
{
    auto t = timeline(2);
    t->addOutTo(photos(3), QString());
    t->mtAryItems()[1]->oBackEdit()->setOBack(photo("77"));
    const QList<QVariantMap> infos = t->timelineInfos();
    ASSERT_EQ(infos.size(), 2);
    const auto first = t->mtAryItems()[0];
    EXPECT_EQ(infos[0].size(), 8);
    EXPECT_EQ(infos[0].value(kInfoKeyTIHashID).toString(), first->strSSID());
    EXPECT_EQ(infos[0].value(kInfoKeyTICounts).toInt(), 2);
    EXPECT_FLOAT_EQ(infos[0].value(kInfoKeyTISlDura).toFloat(), (1 + 4) + (6 + 4));
    EXPECT_FLOAT_EQ(infos[0].value(kInfoKeyTITrDura).toFloat(), 2);
    EXPECT_EQ(infos[0].value(kInfoKeyTISlName).toString(), "Zoom");
    EXPECT_EQ(infos[0].value(kInfoKeyTITrName).toString(), "Dissolve");
    EXPECT_EQ(infos[0].value(kInfoKeyTISlThum).value<QImage>().pixelColor(0, 0), QColor(Qt::yellow));
    EXPECT_EQ(infos[0].value(kInfoKeyTITrThum).value<QImage>().pixelColor(0, 0), QColor(Qt::cyan));
    EXPECT_FLOAT_EQ(infos[1].value(kInfoKeyTITrDura).toFloat(), 0); // last: no transition
    EXPECT_FLOAT_EQ(infos[1].value(kInfoKeyTISlDura).toFloat(), 4);

    EXPECT_EQ(t->resourceHashIDs(), QStringList({"1001", "1002", "1003"}));
    EXPECT_EQ(t->resourceResourceIDs(), QStringList({"TI1001", "TI1002", "TI1003"}));
    EXPECT_EQ(t->resourceItemsOf({"1003", "1001"}).size(), 2);
    EXPECT_EQ(t->resourceItemsOf({"1003", "1001"}).first()->strHashID(), "1001");
    EXPECT_EQ(t->backResourceHashIDs(), QStringList({"77"}));
    EXPECT_EQ(t->backResourceResourceIDs(), QStringList({"TI77"}));
    EXPECT_EQ(t->resourceItems().size(), 3);

    t->makeResourcesPersistent();
    EXPECT_EQ(t->resourceResourceIDs(), QStringList({"PI1001", "PI1002", "PI1003"}));
    EXPECT_EQ(t->backResourceResourceIDs(), QStringList({"PI77"}));
}

// Long random edit sequences keep the rules and never lose or duplicate a render item.
TEST_F(TimelineTest, RandomEditSequencesKeepTheInvariants)
{
    std::mt19937 random(20240611);
    auto pick = [&](int n) { return int(random() % unsigned(std::max(n, 1))); };
    auto t = timeline(3);
    bool templates = true;
    t->setupSlideshow([&] { return templates ? slideshowTemplate() : QVariantMap(); },
                      [] { return transitionTemplate(); });
    std::multiset<const HLRenderItem *> expected;

    auto all = [&] {
        std::multiset<const HLRenderItem *> found;
        for (const auto &item : t->mtAryItems())
            for (const auto &renderItem : item->renderItems())
                found.insert(renderItem.get());
        return found;
    };
    auto randomID = [&]() -> QString {
        const QStringList list = ids(*t);
        const int n = pick(list.size() + 2);
        return n < list.size() ? list[n] : (n == list.size() ? QString() : QStringLiteral("404"));
    };
    auto someHashes = [&](const std::shared_ptr<HLSlideshowItem> &item) {
        QStringList hashes;
        if (item)
            for (const QString &hash : item->resourceHashIDs())
                if (random() % 2)
                    hashes.append(hash);
        return hashes;
    };

    // Everything there was is still there, plus count new render items.
    auto addedNew = [&](qsizetype count) {
        const auto now = all();
        EXPECT_TRUE(std::includes(now.begin(), now.end(), expected.begin(), expected.end()));
        EXPECT_EQ(now.size(), expected.size() + std::size_t(count));
        expected = now;
    };

    for (int step = 0; step < 1500; ++step) {
        templates = random() % 10 != 0;
        const int op = pick(9);
        const QString id = randomID();
        const auto item = t->slideshowItemOf(id);
        switch (op) {
        case 0: {
            const auto resources = photos(pick(5));
            const bool added = t->addOutTo(resources, id == QStringLiteral("404") ? QString() : id);
            addedNew(added ? resources.size() : 0);
            break;
        }
        case 1: {
            const QStringList hashes = item ? item->resourceHashIDs() : QStringList();
            const QString before = hashes.isEmpty() || random() % 2 ? QString() : hashes[pick(hashes.size())];
            const auto resources = photos(pick(3));
            t->addInTo(resources, id, before);
            addedNew(item ? resources.size() : 0);
            break;
        }
        case 2: {
            const QString target = randomID();
            const auto targetItem = t->slideshowItemOf(target);
            QStringList moving = someHashes(item);
            QString before;
            if (targetItem && random() % 2) {
                const QStringList hashes = targetItem->resourceHashIDs();
                before = hashes[pick(hashes.size())];
                if (target != id)
                    moving.removeAll(before);
            }
            t->moveInTo(moving, id, target, before);
            break;
        }
        case 3:
            t->moveOutTo(someHashes(item), id, randomID());
            break;
        case 4: {
            QStringList moving;
            for (const QString &each : ids(*t))
                if (random() % 3 == 0)
                    moving.append(each);
            t->move(moving, randomID());
            break;
        }
        case 5: {
            const QStringList removing = someHashes(item);
            for (const auto &renderItem : item ? item->renderItemsOf(removing) : HLSlideshowItem::RenderItems())
                expected.erase(expected.find(renderItem.get()));
            t->removeFrom(removing, id);
            break;
        }
        case 6:
            if (random() % 4 == 0) {
                if (item)
                    for (const auto &renderItem : item->renderItems())
                        expected.erase(expected.find(renderItem.get()));
                t->remove({id});
            }
            break;
        case 7:
            t->reset();
            break;
        case 8:
            t->setIMode(quint64(pick(5)));
            break;
        }
        ASSERT_EQ(all(), expected) << "step " << step << " op " << op;
        ASSERT_EQ(std::set<const HLRenderItem *>(expected.begin(), expected.end()).size(), expected.size());
        const QStringList now = ids(*t);
        ASSERT_EQ(QSet<QString>(now.begin(), now.end()).size(), now.size());
        expectInvariants(*t);
        if (::testing::Test::HasFailure())
            FAIL() << "step " << step << " op " << op;
        float sum = 0;
        for (const auto &each : t->mtAryItems())
            sum += each->duration();
        t->update(t->dNowTime());
        ASSERT_EQ(t->dDuration(), sum);
    }
    EXPECT_GT(expected.size(), 10u);
}

} // namespace
