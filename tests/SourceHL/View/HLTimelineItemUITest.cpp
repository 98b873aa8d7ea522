#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLTimelineItemUI.h"
#include "tests/support/TestProject.h"

#include <gtest/gtest.h>

namespace {

class HLTimelineItemUITest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf); }
    void SetUp() override { TestProject::setUpPools(folder); }

    HLTimelineItem::ResourceItems photos(int count)
    {
        HLTimelineItem::ResourceItems items;
        for (int i = 0; i < count; ++i)
            items.append(TestProject::importPhoto(folder, QColor::fromHsv(i * 40, 200, 200)));
        return items;
    }

    TestFolder folder;
};

TEST_F(HLTimelineItemUITest, OneItemOfThreePhotos)
{
    auto timeline = TestProject::timeline(3);
    ASSERT_TRUE(timeline->addOutTo(photos(3), QString()));
    ASSERT_EQ(timeline->aryItems().size(), 1);
    ASSERT_FALSE(timeline->aryItems().first()->bHasTransition());
    // How the item shares its time among its pictures is the model's; the axis gives each
    // picture one cell and goes on at 16 points a second past the end.
    const float duration = timeline->aryItems().first()->duration();
    EXPECT_DOUBLE_EQ(HLTimelineItemUI::UIOffsetAt(*timeline, 0), 0);
    EXPECT_NEAR(HLTimelineItemUI::UIOffsetAt(*timeline, duration), 240, 1e-3);
    EXPECT_NEAR(HLTimelineItemUI::UIOffsetAt(*timeline, duration + 2), 272, 1e-3);
    EXPECT_NEAR(HLTimelineItemUI::timeAtUI(*timeline, 272), duration + 2, 1e-4);
    EXPECT_NEAR(HLTimelineItemUI::timeAtUI(*timeline, 240), duration, 1e-4);
    EXPECT_FLOAT_EQ(HLTimelineItemUI::timeAtUI(*timeline, 0), 0);
    for (const float time : {0.5f, 1.9f, 3.0f, duration * 0.5f, duration - 0.1f}) {
        const double offset = HLTimelineItemUI::UIOffsetAt(*timeline, time);
        EXPECT_GT(offset, 0) << time;
        EXPECT_LT(offset, 240) << time;
        EXPECT_NEAR(HLTimelineItemUI::timeAtUI(*timeline, offset), time, 1e-3) << time;
    }
    EXPECT_DOUBLE_EQ(HLTimelineItemUI::maxUIOffset(*timeline), 240);
}

TEST_F(HLTimelineItemUITest, TwoItemsWithATransitionBetween)
{
    auto timeline = TestProject::timeline(2);
    ASSERT_TRUE(timeline->addOutTo(photos(2), QString()));
    timeline->setIMode(3);
    ASSERT_TRUE(timeline->addOutTo(photos(3), QString()));
    ASSERT_EQ(timeline->aryItems().size(), 2);
    EXPECT_DOUBLE_EQ(HLTimelineItemUI::maxUIOffset(*timeline), (2 + 1 + 3 + 1 - 1) * 80.0);

    const auto first = timeline->aryItems().first();
    ASSERT_TRUE(first->bHasTransition());
    const float slideshow = first->slideshowDuration();
    const float transition = first->transitionDuration();
    ASSERT_GT(transition, 0);
    // A quarter into the first item's transition cell (after its two photo cells).
    const double offset = (2 + 0.25) * 80;
    EXPECT_NEAR(HLTimelineItemUI::timeAtUI(*timeline, offset), slideshow + 0.25f * transition, 1e-4);
    EXPECT_NEAR(HLTimelineItemUI::UIOffsetAt(*timeline, slideshow + 0.25f * transition), offset, 1e-3);
    // The second item starts after the first's cells and tile.
    EXPECT_NEAR(HLTimelineItemUI::UIOffsetAt(*timeline, first->duration()), 3 * 80, 1e-3);
}

TEST_F(HLTimelineItemUITest, EmptyLines)
{
    auto timeline = TestProject::timeline(3);
    EXPECT_DOUBLE_EQ(HLTimelineItemUI::maxUIOffset(*timeline), -80);
    EXPECT_DOUBLE_EQ(HLTimelineItemUI::UIOffsetAt(*timeline, 2.5f), 40);
    EXPECT_FLOAT_EQ(HLTimelineItemUI::timeAtUI(*timeline, 40), 2.5f);
    EXPECT_DOUBLE_EQ(HLTextlineItemUI::maxUIOffset(*HLTextlineItem::textline()), 0);
    EXPECT_DOUBLE_EQ(HLAudiolineItemUI::maxUIOffset(*HLAudiolineItem::audioline()), 0);
}

} // namespace
