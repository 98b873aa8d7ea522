// The template chooser: its tabs, what may be chosen where, when Apply is offered and what it
// hands on.
#include "SourceHL/View/HLQuartzPreviewView.h"
#include "SourceHL/Windows/HLQuartzPreviewVCtrl.h"
#include "SourceHL/Windows/HLQuartzsPreviewVCtrl.h"
#include "SourceHL/Windows/HLTemplateInfoView.h"
#include "tests/SourceHL/Windows/TemplatePools.h"

#include <QEnterEvent>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class HLQuartzsPreviewVCtrlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { TemplatePools::setUp(); }
    void SetUp() override
    {
        panel = std::make_unique<HLQuartzsPreviewVCtrl>();
        panel->view()->resize(340, 600);
        panel->view()->show();
        panel->setupApply([this](std::int64_t type, const QString &name) { applied << QStringLiteral("%1 %2").arg(type).arg(name); });
    }
    HLQuartzPreviewVCtrl *grid(QuartzUIType tab) const { return panel->p_previewVCtrlOf(tab); }
    // The item chosen in the main window, in the order the window tells it.
    void choose(std::int64_t type, const QString &name)
    {
        panel->setBEnable(true);
        panel->updateNow(type, name);
        if (name.isEmpty())
            panel->switchToTheSame();
        else
            panel->switchTo(type, name);
    }
    QStringList shownTabs() const
    {
        QStringList shown;
        for (QuartzUIType tab = 0; tab < 4; ++tab)
            if (panel->p_templateViewOf(tab)->bIsChosen() && !grid(tab)->view()->isHidden())
                shown << panel->p_templateViewOf(tab)->strTitle();
        return shown;
    }

    std::unique_ptr<HLQuartzsPreviewVCtrl> panel;
    QStringList applied;
};

TEST_F(HLQuartzsPreviewVCtrlTest, AtFirstTheSlideshowTabShowsAndNothingCanBeChosen)
{
    EXPECT_EQ(shownTabs(), QStringList{QStringLiteral("Slideshow")});
    const QStringList titles = {"Slideshow", "General", "Transition", "Text"};
    for (QuartzUIType tab = 0; tab < 4; ++tab) {
        EXPECT_EQ(panel->p_templateViewOf(tab)->strTitle(), titles[tab]);
        // the tab's picture is the generated one, not a stand-in
        EXPECT_EQ(panel->p_templateViewOf(tab)->imgThumb().deviceIndependentSize(), QSizeF(16, 16)) << tab;
    }
    QTest::mouseClick(grid(0)->aryPreviewViews().first(), Qt::LeftButton);
    EXPECT_EQ(grid(0)->vChosenView(), nullptr);
    EXPECT_FALSE(panel->btnApply()->isEnabled());
}

TEST_F(HLQuartzsPreviewVCtrlTest, AGeneralTemplateShowsItsTabAndApplyHandsTheItemsType)
{
    choose(0, QStringLiteral("Normal"));
    EXPECT_EQ(shownTabs(), QStringList{QStringLiteral("General")});
    EXPECT_EQ(grid(1)->strChosenName(), QStringLiteral("Normal"));
    EXPECT_TRUE(grid(0)->strChosenName().isNull());
    EXPECT_TRUE(panel->btnApply()->isEnabled());

    // The Slideshow tab belongs to the same group: Apply comes once a tile there is clicked.
    QTest::mouseClick(panel->p_templateViewOf(0), Qt::LeftButton);
    EXPECT_EQ(shownTabs(), QStringList{QStringLiteral("Slideshow")});
    EXPECT_FALSE(panel->btnApply()->isEnabled());
    HLQuartzPreviewView *tile = grid(0)->aryPreviewViews()[2];
    QTest::mouseClick(tile, Qt::LeftButton);
    EXPECT_TRUE(panel->btnApply()->isEnabled());
    QTest::mouseClick(panel->btnApply(), Qt::LeftButton);
    EXPECT_EQ(applied, QStringList{QStringLiteral("0 ") + tile->strTitle()});
    // The chosen item and its tab's choice stayed.
    EXPECT_EQ(grid(1)->strChosenName(), QStringLiteral("Normal"));
}

TEST_F(HLQuartzsPreviewVCtrlTest, AnotherGroupsTabPlaysButOffersNothing)
{
    choose(0, QStringLiteral("KenBurns"));
    QTest::mouseClick(panel->p_templateViewOf(2), Qt::LeftButton);
    EXPECT_EQ(shownTabs(), QStringList{QStringLiteral("Transition")});
    HLQuartzPreviewView *tile = grid(2)->aryPreviewViews().first();
    QTest::mouseClick(tile, Qt::LeftButton);
    EXPECT_FALSE(tile->bIsChosen());
    EXPECT_FALSE(panel->btnApply()->isEnabled());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(tile, &enter);
    EXPECT_TRUE(grid(2)->isPreviewing());
    panel->apply();
    EXPECT_TRUE(applied.isEmpty());
}

TEST_F(HLQuartzsPreviewVCtrlTest, ApplyNeedsAnItemAndTheWindowsLeave)
{
    // Without an item nothing can be chosen, so Apply never comes.
    panel->setBEnable(false);
    panel->updateNow(0, QString());
    panel->switchToTheSame();
    QTest::mouseClick(grid(0)->aryPreviewViews().first(), Qt::LeftButton);
    EXPECT_FALSE(panel->btnApply()->isEnabled());
    panel->apply();
    EXPECT_TRUE(applied.isEmpty());

    choose(2, QStringLiteral("Dissolve"));
    EXPECT_EQ(shownTabs(), QStringList{QStringLiteral("Transition")});
    EXPECT_TRUE(panel->btnApply()->isEnabled());
    panel->setBEnable(false);
    EXPECT_FALSE(panel->btnApply()->isEnabled());
    panel->setBEnable(true);
    QTest::mouseClick(panel->btnApply(), Qt::LeftButton);
    EXPECT_EQ(applied, QStringList{QStringLiteral("2 Dissolve")});
}

TEST_F(HLQuartzsPreviewVCtrlTest, AStaticTitleTakesATextTemplate)
{
    choose(3, QString());
    QTest::mouseClick(panel->p_templateViewOf(3), Qt::LeftButton);
    EXPECT_FALSE(panel->btnApply()->isEnabled());
    HLQuartzPreviewView *tile = grid(3)->aryPreviewViews().first();
    QTest::mouseClick(tile, Qt::LeftButton);
    ASSERT_TRUE(panel->btnApply()->isEnabled());
    panel->apply();
    EXPECT_EQ(applied, QStringList{QStringLiteral("3 ") + tile->strTitle()});
}

TEST_F(HLQuartzsPreviewVCtrlTest, TilesAreFoundInTheirTabs)
{
    const struct
    {
        std::int64_t type;
        const char *name;
        bool found;
    } cases[] = {{0, "Normal", true}, {0, "KenBurns", true}, {2, "Dissolve", true},
                 {3, "Fade", true},   {0, "Fade", false},    {2, "No Such", false}};
    for (const auto &c : cases) {
        HLQuartzPreviewView *tile = panel->previewViewOf(c.type, c.name);
        EXPECT_EQ(tile != nullptr, c.found) << c.name;
        if (tile)
            EXPECT_EQ(tile->strTitle(), QString::fromLatin1(c.name));
    }
    // The Normal tile is the General tab's.
    EXPECT_TRUE(grid(1)->aryPreviewViews().contains(panel->previewViewOf(0, QStringLiteral("Normal"))));
}

TEST_F(HLQuartzsPreviewVCtrlTest, AnUnknownTabShowsNothing)
{
    choose(2, QStringLiteral("Dissolve"));
    panel->p_switchTo(7);
    EXPECT_TRUE(shownTabs().isEmpty());
    for (QuartzUIType tab = 0; tab < 4; ++tab) {
        EXPECT_TRUE(grid(tab)->view()->isHidden());
        EXPECT_FALSE(panel->p_templateViewOf(tab)->bIsChosen());
    }
    EXPECT_FALSE(panel->btnApply()->isEnabled());
}

TEST_F(HLQuartzsPreviewVCtrlTest, TakingAnItemStopsEveryPreview)
{
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(grid(0)->aryPreviewViews().first(), &enter);
    ASSERT_TRUE(grid(0)->isPreviewing());
    choose(3, QStringLiteral("Fade"));
    EXPECT_FALSE(grid(0)->isPreviewing());
    EXPECT_EQ(shownTabs(), QStringList{QStringLiteral("Text")});
}

} // namespace
