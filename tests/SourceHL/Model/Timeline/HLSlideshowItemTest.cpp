#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"
#include "TimelineFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace TimelineFixtures;

namespace {

std::shared_ptr<HLSlideshowItem> segment(Phases phases = {})
{
    return HLSlideshowItem::slideshowItemOf(QStringLiteral("100"), slideshowTemplate(QStringLiteral("Zoom"), phases),
                                            transitionTemplate());
}

HLSlideshowItem::RenderItems photos(int count, int first = 1)
{
    HLSlideshowItem::RenderItems items;
    for (int i = 0; i < count; ++i)
        items.append(HLRenderItem::renderItemOf(photo(QString::number(first + i))));
    return items;
}

// Four photos, T_S 1, T_A 2, T 3, T_B 4, S 5, animation 3, display 4: liquid D 5, 6, 7, 8.
std::shared_ptr<HLSlideshowItem> fourPhotos()
{
    auto item = segment();
    item->add(photos(4));
    return item;
}

TEST(HLSlideshowItem, CreationTakesTheTemplates)
{
    auto item = HLSlideshowItem::slideshowItemOf(QStringLiteral("7"), slideshowTemplate("Zoom", {}, true, false),
                                                 transitionTemplate("Wipe", 1.5f));
    ASSERT_TRUE(item);
    EXPECT_EQ(item->dSlideshowDisplay(), 4.0f);
    EXPECT_EQ(item->dSlideshowAnimate(), 3.0f);
    EXPECT_EQ(item->dTransition(), 1.5f);
    EXPECT_FALSE(item->bHasTransition());
    EXPECT_TRUE(item->oRenderEdit()->bImageBorder());
    EXPECT_FALSE(item->oRenderEdit()->bImageBackground());
    EXPECT_FALSE(item->oBackEdit()->bBackground());
    EXPECT_EQ(item->oSlideshowInfo()->strName(), "Zoom");
    EXPECT_EQ(item->oTransitionInfo()->strName(), "Wipe");

    EXPECT_FALSE(HLSlideshowItem::slideshowItemOf(QString(), slideshowTemplate(), transitionTemplate()));
    EXPECT_FALSE(HLSlideshowItem::slideshowItemOf("7", transitionTemplate(), transitionTemplate()));
    EXPECT_FALSE(HLSlideshowItem::slideshowItemOf("7", slideshowTemplate(), slideshowTemplate()));
    EXPECT_FALSE(HLSlideshowItem::slideshowItemOf("7", slideshowTemplate(), QVariantMap()));
}

TEST(HLSlideshowItem, TemplateChangesResetWhatTheyShould)
{
    auto item = segment();
    item->setDSlideshowDisplay(9);
    item->setDTransition(5);
    item->updateTransition(transitionTemplate("Push", 1.0f));
    EXPECT_EQ(item->dTransition(), 5);
    EXPECT_EQ(item->oTransitionInfo()->strName(), "Push");
    item->updateTransition(slideshowTemplate());
    EXPECT_EQ(item->oTransitionInfo()->strName(), "Push");

    // Same frame flags: a frame edit still waiting to be drawn (a new border colour) stays marked.
    item->oRenderEdit()->makeDirty();
    const quint64 edited = item->oRenderEdit()->iDirtyGeneration();
    Phases other;
    other.t = 2;
    item->updateSlideshow(slideshowTemplate("Pan", other));
    EXPECT_EQ(item->dSlideshowDisplay(), 4.0f);
    EXPECT_EQ(item->dSlideshowAnimate(), 2.0f);
    EXPECT_EQ(item->oRenderEdit()->iDirtyGeneration(), edited);
    // A changed flag marks it anew.
    item->updateSlideshow(slideshowTemplate("Frame", other, true, true));
    EXPECT_GT(item->oRenderEdit()->iDirtyGeneration(), edited);
    EXPECT_TRUE(item->oRenderEdit()->bImageBorder());
}

TEST(HLSlideshowItem, LiquidAndSolidTimeOfPhotos)
{
    auto item = fourPhotos();
    EXPECT_EQ(item->slideshowDuration(), 26.0f);
    EXPECT_EQ(item->duration(), 26.0f); // no transition while last
    item->setBHasTransition(true);
    EXPECT_EQ(item->duration(), 28.0f);

    const struct
    {
        float local, meta;
    } cases[] = {
        {-3, 0},
        {0, 0},
        {0.5f, 0.5f},             // index 0 transition-in: 0.5 / 1 × 1
        {2.5f, 2.875f},           // index 0 still: 1 + 1.5 / 4 × 5
        {5, 6},                   // boundary: end of index 0
        {5.5f, 6.5f},             // index 1 transition-in at 0.25 of 2
        {13, 15},                 // index 2: 2 into T 3 after solid 13
        {26, 30},                 // end: the template's whole solid length
        {40, 30},
    };
    for (const auto &c : cases)
        EXPECT_NEAR(item->slideshowMetaTimeAt(c.local), c.meta, 1e-5) << c.local;
    EXPECT_EQ(item->slideshowMetaTimeAt(NAN), 0);
}

TEST(HLSlideshowItem, PhaseLengthsByPosition)
{
    // Two pictures: the second takes T_B_2 (6); three: T_A (2) then T_B (4).
    auto two = segment();
    two->add(photos(2));
    EXPECT_EQ(two->slideshowDuration(), (1 + 4) + (6 + 4));
    auto three = segment();
    three->add(photos(3));
    EXPECT_EQ(three->slideshowDuration(), (1 + 4) + (2 + 4) + (4 + 4));
    // The animation length stretches every T phase: 6 / 3 doubles them.
    three->setDSlideshowAnimate(6);
    EXPECT_EQ(three->slideshowDuration(), (2 + 4) + (4 + 4) + (8 + 4));
}

TEST(HLSlideshowItem, VideoHoldsTheTemplate)
{
    auto item = segment();
    HLSlideshowItem::RenderItems items = photos(1, 1);
    items.append(HLRenderItem::renderItemOf(clip("2", 10)));
    items.append(photos(1, 3));
    item->add(items);
    // D = 5, 2 + 14, 4 + 4.
    EXPECT_EQ(item->slideshowDuration(), 29.0f);

    const ResourceRenderRange range = item->resourceRenderRangeAt(1);
    EXPECT_EQ(range.dStart, 9.0f); // 5 + 2 + 4 × 0.5
    EXPECT_EQ(range.dEnd, 19.0f);
    for (const float local : {9.0f, 12.0f, 19.0f})
        EXPECT_FLOAT_EQ(item->slideshowMetaTimeAt(local), 6 + 2 + 2.5f) << local;
    EXPECT_FLOAT_EQ(item->slideshowMetaTimeAt(8), 6 + 2 + 1.25f);
    EXPECT_FLOAT_EQ(item->slideshowMetaTimeAt(21), 13.0f); // end of the still phase: full S

    const ResourceRenderRange photoRange = item->resourceRenderRangeAt(2);
    EXPECT_EQ(photoRange.dStart, photoRange.dEnd);
    EXPECT_EQ(photoRange.dStart, 21 + 4 + 2.0f);
    EXPECT_EQ(item->logicResourceVideoIndexSet(), HLSlideshowItem::IndexSet({1}));
    EXPECT_THROW(item->resourceRenderRangeAt(3), HLAssertionFailure);
}

TEST(HLSlideshowItem, SpecialItems)
{
    auto still = segment();
    still->add(photos(1));
    EXPECT_TRUE(still->isSpecial());
    EXPECT_EQ(still->slideshowDuration(), 4.0f);
    EXPECT_EQ(still->slideshowMetaTimeAt(3.25f), 3.25f);

    auto movie = segment();
    auto renderItem = HLRenderItem::renderItemOf(clip("9", 12));
    renderItem->oTrim()->setDTrimMin(2);
    renderItem->oTrim()->setDTrimMax(9.5f);
    movie->add({renderItem});
    EXPECT_EQ(movie->slideshowDuration(), 7.5f);
    const ResourceRenderRange range = movie->resourceRenderRangeAt(0);
    EXPECT_EQ(range.dStart, 0);
    EXPECT_EQ(range.dEnd, 7.5f);
    EXPECT_EQ(movie->slideshowMetaTimeAt(5), 5);
}

TEST(HLSlideshowItem, TransitionPreloadAndPositions)
{
    auto item = fourPhotos();
    EXPECT_FALSE(item->isNeedToPreloadAt(25.9f)); // last item: no transition
    item->setBHasTransition(true);
    EXPECT_FALSE(item->isNeedToPreloadAt(23.5f));
    EXPECT_TRUE(item->isNeedToPreloadAt(23.61f));

    EXPECT_EQ(item->transitionMetaTimeAt(10), 0);
    EXPECT_EQ(item->transitionMetaTimeAt(26), 0);
    EXPECT_EQ(item->transitionMetaTimeAt(27), 0.5f);
    EXPECT_EQ(item->transitionMetaTimeAt(28), 1);
    EXPECT_EQ(item->transitionMetaTimeAt(40), 1);
    EXPECT_FALSE(item->isInTransitionAt(26));
    EXPECT_TRUE(item->isInTransitionAt(26.5f));

    const struct
    {
        float local, position, progress;
    } queries[] = {{13, 2 + 2.0f / 7.0f, 0}, {27, 4, 0.5f}, {0, 0, 0}, {30, 4, 1}};
    for (const auto &q : queries) {
        int calls = 0;
        item->slideshowQuaryAt(q.local, [&](float position, float progress) {
            ++calls;
            EXPECT_FLOAT_EQ(position, q.position) << q.local;
            EXPECT_FLOAT_EQ(progress, q.progress) << q.local;
        });
        EXPECT_EQ(calls, 1);
    }
    EXPECT_FLOAT_EQ(item->slideshowOffsetOf(2.5f, 0), 14.5f);
    EXPECT_FLOAT_EQ(item->slideshowOffsetOf(2 + 2.0f / 7.0f, 0), 13);
    EXPECT_FLOAT_EQ(item->slideshowOffsetOf(4, 0.5f), 27);
    // Beyond the last picture, however far, is a wrong index.
    for (const float position : {4.5f, 1e30f, 3e38f})
        EXPECT_THROW(item->slideshowOffsetOf(position, 0), HLAssertionFailure) << position;
    EXPECT_THROW(item->slideshowOffsetOf(NAN, 0), HLAssertionFailure);
}

TEST(HLSlideshowItem, ZeroLengthsDoNotDivideByZero)
{
    Phases flat;
    flat.t = 0; // no standard animation to stretch against
    auto item = segment(flat);
    item->add(photos(3));
    item->setBHasTransition(true);
    item->setDTransition(0);
    item->setDSlideshowDisplay(0); // refused: an archive holds no such length
    EXPECT_EQ(item->dSlideshowDisplay(), 4.0f);
    item->setDSlideshowDisplay(1e-30f);
    for (const float local : {0.0f, 0.5f, 1.0f, 3.0f, 100.0f}) {
        EXPECT_TRUE(std::isfinite(item->slideshowMetaTimeAt(local))) << local;
        EXPECT_TRUE(std::isfinite(item->transitionMetaTimeAt(local))) << local;
        item->slideshowQuaryAt(local, [&](float position, float progress) {
            EXPECT_TRUE(std::isfinite(position) && std::isfinite(progress)) << local;
        });
    }
    EXPECT_TRUE(std::isfinite(item->duration()));

    auto withClip = segment();
    withClip->add({HLRenderItem::renderItemOf(photo("1")), HLRenderItem::renderItemOf(clip("2", 6))});
    withClip->setDSlideshowDisplay(1e-30f);
    for (const float local : {0.5f, 3.0f, 8.0f})
        EXPECT_TRUE(std::isfinite(withClip->slideshowMetaTimeAt(local))) << local;
}

TEST(HLSlideshowItem, ListEditsAndDirtyMarks)
{
    auto item = segment();
    item->add(photos(1));
    const quint64 alone = item->renderGenerationOf({0});
    item->add(photos(1, 2)); // one picture becomes two: index 0 is drawn differently now
    const quint64 two = item->renderGenerationOf({0});
    EXPECT_GT(two, alone);
    EXPECT_EQ(item->renderGenerationOf({0, 1, 7}), two);

    item->insert(photos(1, 3), QStringLiteral("2"));
    EXPECT_EQ(item->resourceHashIDs(), QStringList({"1", "3", "2"}));
    item->move({"2"}, QStringLiteral("1"));
    EXPECT_EQ(item->resourceHashIDs(), QStringList({"2", "1", "3"}));
    item->move({"2", "1"}, QString());
    EXPECT_EQ(item->resourceHashIDs(), QStringList({"3", "2", "1"}));
    EXPECT_THROW(item->insert(photos(1, 4), QStringLiteral("99")), HLAssertionFailure);
    EXPECT_THROW(item->move({"1"}, QStringLiteral("99")), HLAssertionFailure);
    EXPECT_EQ(item->logicItemsCount(), 3u);

    EXPECT_EQ(item->renderGenerationOf({0, 1, 2}), two) << "moves inside a group mark nothing";

    item->remove({"3", "2"});
    EXPECT_TRUE(item->isSpecial());
    const quint64 one = item->logicRenderItemAt(0)->iDirtyGeneration();
    EXPECT_GT(one, two);
    EXPECT_THROW(item->logicRenderItemAt(1), HLAssertionFailure);

    item->makeRenderItemsDirty({0, 5});
    EXPECT_GT(item->renderGenerationOf({0}), one);
    item->oRenderEdit()->makeDirty();
    EXPECT_EQ(item->renderGenerationOf({}), item->oRenderEdit()->iDirtyGeneration()) << "the frame counts for every picture";
    EXPECT_GT(item->renderGenerationOf({}), item->logicRenderItemAt(0)->iDirtyGeneration());

    EXPECT_THROW(makeResourceRenderRange(-1, 2), HLAssertionFailure);
    EXPECT_THROW(makeResourceRenderRange(3, 2), HLAssertionFailure);
    const ResourceRenderRange range = makeResourceRenderRange(2, 5);
    EXPECT_TRUE(renderRangeContains(range, 2) && renderRangeContains(range, 5));
    EXPECT_FALSE(renderRangeContains(range, 5.01f));
    EXPECT_EQ(renderRangeRenderTime(range, 1), 0);
    EXPECT_EQ(renderRangeRenderTime(range, 4), 2);
    EXPECT_EQ(renderRangeRenderTime(range, 9), 3);
}

TEST(HLSlideshowItem, InfosEnumerationsAndLoadedHashKeys)
{
    auto item = segment();
    item->add({HLRenderItem::renderItemOf(photo("1")), HLRenderItem::renderItemOf(clip("2", 5))});
    const QList<QVariantMap> infos = item->slideshowInfos();
    ASSERT_EQ(infos.size(), 2);
    EXPECT_EQ(infos[0].value(kInfoKeySIHasID).toString(), "1");
    EXPECT_FALSE(infos[0].value(kInfoKeySIIsVid).toBool());
    EXPECT_EQ(infos[0].value(kInfoKeySIThumb).value<QImage>().pixelColor(0, 0), QColor(Qt::green));
    EXPECT_TRUE(infos[1].value(kInfoKeySIIsVid).toBool());
    EXPECT_EQ(infos[1].value(kInfoKeySIThumb).value<QImage>().pixelColor(0, 0), QColor(Qt::blue));

    EXPECT_EQ(item->resourceResourceIDs(), QStringList({"TI1", "TV2"}));
    EXPECT_EQ(item->antiRenderItemsOf({"1"}).size(), 1);
    EXPECT_EQ(item->antiResourceItemsOf({"1"}).first()->strHashID(), "2");
    EXPECT_EQ(item->resourceItemsOf({"2"}).first()->strHashID(), "2");
    EXPECT_TRUE(item->loadedResourceHashIDs().isEmpty());
}

TEST(HLSlideshowItem, EqualityAndCopy)
{
    auto item = fourPhotos();
    auto copy = item->copy();
    EXPECT_TRUE(copy->isEqual(*item));
    EXPECT_EQ(copy->renderItems().first(), item->renderItems().first()); // shared
    EXPECT_NE(copy->oRenderEdit(), item->oRenderEdit());
    copy->oRenderEdit()->setBImageBorder(true);
    EXPECT_FALSE(copy->isEqual(*item));
    EXPECT_FALSE(item->oRenderEdit()->bImageBorder());

    auto other = item->copy();
    other->oBackEdit()->setBBackground(true);
    EXPECT_FALSE(other->isEqual(*item));
    auto longer = item->copy();
    longer->setDTransition(3);
    EXPECT_FALSE(longer->isEqual(*item));
    auto renamed = item->copy();
    renamed->updateTransition(transitionTemplate("Iris"));
    EXPECT_FALSE(renamed->isEqual(*item));
}

} // namespace
