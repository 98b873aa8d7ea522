// The template grid over the shipped templates: which tiles each tab holds and where they go,
// the hover preview driven by the test's own clock, and choosing by click and by name.
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/View/HLQuartzPreviewView.h"
#include "SourceHL/Windows/HLQuartzPreviewVCtrl.h"
#include "tests/SourceHL/Windows/TemplatePools.h"

#include <QEnterEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class HLQuartzPreviewVCtrlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { TemplatePools::setUp(); }

    // A grid whose clock the test moves by hand (nanosecond ticks).
    std::unique_ptr<HLQuartzPreviewVCtrl> gridOf(QuartzUIType tab)
    {
        auto grid = HLQuartzPreviewVCtrl::quartzPreviewVCtrlOf(tab);
        grid->setupClock([this] { return ticks; });
        grid->view()->resize(420, 300);
        grid->view()->show();
        return grid;
    }
    void advance(double seconds) { ticks += quint64(seconds * 1e9); }

    static void enter(QWidget *tile)
    {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
        QCoreApplication::sendEvent(tile, &event);
    }
    static void leave(QWidget *tile)
    {
        QEvent event(QEvent::Leave);
        QCoreApplication::sendEvent(tile, &event);
    }
    static QStringList titlesOf(const HLQuartzPreviewVCtrl &grid)
    {
        QStringList titles;
        for (const HLQuartzPreviewView *tile : grid.aryPreviewViews())
            titles << tile->strTitle();
        return titles;
    }

    quint64 ticks = 1'000'000'000;
};

TEST_F(HLQuartzPreviewVCtrlTest, TheTabsShareThePoolsByTheirRules)
{
    const QStringList slideshow = titlesOf(*gridOf(QuartzUITypeSlideshow));
    const QStringList general = titlesOf(*gridOf(QuartzUITypeGeneral));
    ASSERT_FALSE(slideshow.isEmpty());
    ASSERT_FALSE(general.isEmpty());
    for (const QString &name : general)
        EXPECT_TRUE(name.contains("Normal") || name.contains("Dissolve")) << name.toStdString();
    for (const QString &name : slideshow)
        EXPECT_FALSE(name.contains("Normal") || name.contains("Dissolve")) << name.toStdString();
    // Together, in pool order, they are the whole slideshow pool.
    QStringList merged;
    for (const QString &name : HLQuartzPool::quartzPoolOf(0)->quartzNames())
        if (slideshow.contains(name) || general.contains(name))
            merged << name;
    EXPECT_EQ(merged, HLQuartzPool::quartzPoolOf(0)->quartzNames());
    EXPECT_EQ(titlesOf(*gridOf(QuartzUITypeTransition)), HLQuartzPool::quartzPoolOf(2)->quartzNames());
    EXPECT_EQ(titlesOf(*gridOf(QuartzUITypeText)), HLQuartzPool::quartzPoolOf(3)->quartzNames());
}

TEST_F(HLQuartzPreviewVCtrlTest, TilesFillRowsFromTheTopAndFollowTheWidth)
{
    auto grid = gridOf(QuartzUITypeTransition);
    grid->view()->resize(420 + grid->view()->verticalScrollBar()->sizeHint().width(), 300);
    grid->view()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QCoreApplication::processEvents();
    ASSERT_EQ(grid->view()->viewport()->width(), 420);
    const auto &tiles = grid->aryPreviewViews();
    ASSERT_GE(tiles.size(), 4);
    const QPoint expected[] = {{10, 5}, {145, 5}, {280, 5}, {10, 125}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(tiles[i]->pos(), expected[i]) << i;
    EXPECT_EQ(tiles[0]->rctImage(), QRectF(5, 22.5, 120, 87.5));
    EXPECT_EQ(tiles[0]->rctTitle(), QRectF(0, 0, 130, 22.5));
    // A narrower view re-lays out at once: one column, no spacing.
    grid->view()->resize(140 + grid->view()->verticalScrollBar()->sizeHint().width(), 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(tiles[1]->pos(), QPoint(5, 125));
    // Narrower than a tile: still one column.
    grid->view()->resize(60, 300);
    QCoreApplication::processEvents();
    EXPECT_EQ(tiles[1]->pos().x(), 5);
    EXPECT_GT(tiles[1]->pos().y(), tiles[0]->pos().y());
}

TEST_F(HLQuartzPreviewVCtrlTest, HoveringPlaysAtTheTemplatesSpeedAndLeavingStops)
{
    auto grid = gridOf(QuartzUITypeSlideshow);
    HLQuartzPreviewView *tile = grid->aryPreviewViews().first();
    enter(tile);
    ASSERT_TRUE(grid->isPreviewing());
    EXPECT_EQ(grid->vDisplayView(), tile);
    const float loop = grid->dDuration();
    ASSERT_GT(loop, 2.0f);
    advance(0.5);
    grid->p_previewFeedback();
    EXPECT_FLOAT_EQ(grid->dNowTime(), 1.0f); // slideshows run at double speed
    const QImage first = tile->imgDynamic();
    ASSERT_FALSE(first.isNull());
    advance(0.5);
    grid->p_previewFeedback();
    EXPECT_FLOAT_EQ(grid->dNowTime(), 2.0f);
    EXPECT_NE(tile->imgDynamic().cacheKey(), first.cacheKey());
    // Past the loop's end it comes round again.
    advance(loop / 2);
    grid->p_previewFeedback();
    EXPECT_NEAR(grid->dNowTime(), 2.0f, 1e-3);
    EXPECT_EQ(grid->iFramesShown(), 3u);

    leave(tile);
    EXPECT_FALSE(grid->isPreviewing());
    EXPECT_EQ(grid->vDisplayView(), nullptr);
    EXPECT_TRUE(tile->imgDynamic().isNull());
}

TEST_F(HLQuartzPreviewVCtrlTest, EnteringAnotherTileRestartsAtZeroAndClearsTheFirst)
{
    auto grid = gridOf(QuartzUITypeText);
    HLQuartzPreviewView *a = grid->aryPreviewViews()[0];
    HLQuartzPreviewView *b = grid->aryPreviewViews()[1];
    enter(a);
    advance(1.0);
    grid->p_previewFeedback();
    EXPECT_FLOAT_EQ(grid->dNowTime(), 0.4f); // titles at 0.4: a second is 0.4 of the loop
    ASSERT_FALSE(a->imgDynamic().isNull());
    enter(b); // no exit in between
    EXPECT_TRUE(a->imgDynamic().isNull());
    EXPECT_FLOAT_EQ(grid->dNowTime(), 0.0f);
    EXPECT_EQ(grid->vDisplayView(), b);
    EXPECT_FLOAT_EQ(grid->dDuration(), 1.0f);
}

TEST_F(HLQuartzPreviewVCtrlTest, ATileWithoutATemplateKeepsItsThumbnailAndRunsNoTimer)
{
    auto grid = gridOf(QuartzUITypeTransition);
    HLQuartzPreviewView *tile = grid->aryPreviewViews().first();
    tile->setStrTitle(QStringLiteral("No Such Template"));
    enter(tile);
    EXPECT_FALSE(grid->isPreviewing());
    grid->p_previewFeedback(); // a late tick of an earlier preview shows nothing either
    EXPECT_TRUE(tile->imgDynamic().isNull());
    EXPECT_EQ(grid->iFramesShown(), 0u);
}

TEST_F(HLQuartzPreviewVCtrlTest, AnEditorsTileBorrowingAGridTilePlaysThere)
{
    auto grid = gridOf(QuartzUITypeTransition);
    HLQuartzPreviewView *source = grid->quartzPreviewOf(QStringLiteral("Dissolve"));
    ASSERT_NE(source, nullptr);
    std::unique_ptr<HLQuartzPreviewView> editor(HLQuartzPreviewView::simpleQuartzPreviewViewOf(QRectF(0, 0, 120, 90)));
    editor->syncContentWith(*source);
    enter(editor.get());
    EXPECT_EQ(grid->vDisplayView(), editor.get());
    advance(0.5);
    grid->p_previewFeedback();
    EXPECT_FALSE(editor->imgDynamic().isNull());
    EXPECT_TRUE(source->imgDynamic().isNull());
    // A click there marks no grid tile but is the grid's choice.
    int feedback = 0;
    grid->setupFeedback([&] { ++feedback; });
    QTest::mouseClick(editor.get(), Qt::LeftButton);
    EXPECT_EQ(feedback, 1);
    EXPECT_EQ(grid->strChosenName(), QStringLiteral("Dissolve"));
    EXPECT_FALSE(source->bIsChosen());
    // The editor's tile going away ends the preview quietly.
    editor.reset();
    grid->p_previewFeedback();
    EXPECT_FALSE(grid->isPreviewing());
}

TEST_F(HLQuartzPreviewVCtrlTest, ChoosingByClickAndByName)
{
    auto grid = gridOf(QuartzUITypeTransition);
    int feedback = 0;
    grid->setupFeedback([&] { ++feedback; });
    HLQuartzPreviewView *second = grid->aryPreviewViews()[1];
    QTest::mouseClick(second, Qt::LeftButton);
    EXPECT_EQ(feedback, 1);
    EXPECT_TRUE(second->bIsChosen());
    EXPECT_EQ(grid->strChosenName(), second->strTitle());
    grid->setBCanChoose(false);
    QTest::mouseClick(grid->aryPreviewViews()[2], Qt::LeftButton);
    EXPECT_EQ(feedback, 1);
    EXPECT_EQ(grid->vChosenView(), second);

    const QString third = grid->aryPreviewViews()[2]->strTitle();
    grid->setStrChosenName(third);
    EXPECT_FALSE(second->bIsChosen());
    EXPECT_EQ(grid->strChosenName(), third);
    grid->setStrChosenName(QStringLiteral("Not There"));
    EXPECT_EQ(grid->vChosenView(), nullptr);
    EXPECT_TRUE(grid->strChosenName().isNull());
    for (const HLQuartzPreviewView *tile : grid->aryPreviewViews())
        EXPECT_FALSE(tile->bIsChosen());
    EXPECT_EQ(grid->quartzPreviewOf(QStringLiteral("Not There")), nullptr);
}

} // namespace
