// An editor's own movie of its clip: never the resource's shared one, a counted load, a timer
// that stops with the editing.
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "SourceHL/Editors/HLEditorMovie.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestProject.h"

#include <gtest/gtest.h>

namespace {

class HLEditorMovieTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf); }
    void SetUp() override
    {
        qputenv("ZK_SILENT_AUDIO", "1");
        TestProject::setUpPools(folder);
    }
    TestFolder folder;
};

TEST_F(HLEditorMovieTest, PlaysItsOwnMovieAndLeavesThePlayersOneAlone)
{
    auto resource = TestProject::importTone(folder, 2);
    ASSERT_TRUE(resource);
    resource->setBLoadPreview(true); // the players' load
    const std::shared_ptr<ZKFFMovie> shared = resource->audio();
    ASSERT_TRUE(shared);
    shared->setVolume(0.8);

    HLEditorMovie editor;
    ASSERT_TRUE(editor.open(resource, 0.5));
    EXPECT_NE(editor.movie(), shared);
    EXPECT_EQ(editor.movie()->volume(), 0.5);
    EXPECT_EQ(editor.movie()->currentTime(), 0);
    editor.play();
    EXPECT_TRUE(editor.timer().isActive());
    EXPECT_TRUE(editor.isPlay());
    EXPECT_FALSE(shared->isPlay());
    EXPECT_EQ(shared->volume(), 0.8);

    editor.close();
    EXPECT_FALSE(editor.timer().isActive());
    EXPECT_FALSE(editor.isOpen());
    // The players' load outlives the editor's.
    EXPECT_TRUE(resource->bLoadPreview());
    resource->setBLoadPreview(false);
    EXPECT_FALSE(resource->bLoadPreview());
}

TEST_F(HLEditorMovieTest, ItsLoadIsCountedAndGivenBackWhenEditingStops)
{
    auto resource = TestProject::importClip(folder, 1.5, 441.0);
    ASSERT_TRUE(resource);
    {
        HLEditorMovie editor;
        ASSERT_TRUE(editor.open(resource, 1.0));
        EXPECT_TRUE(resource->bLoadPreview());
        ASSERT_TRUE(editor.player());
        editor.player()->updateTrimPlayRatio(0.5f);
        EXPECT_NEAR(editor.player()->trimPlayRatio(), 0.5, 0.01);
        editor.play();
    } // the editor goes with its timer and load
    EXPECT_FALSE(resource->bLoadPreview());
}

} // namespace
