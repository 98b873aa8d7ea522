#include "SourceHL/Control/HLContentlineVCtrl.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLTextlineVCtrl.h"
#include "SourceHL/Control/HLTimelineVCtrl.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include "SourceHL/View/HLContentlineBackView.h"
#include "SourceHL/View/HLPlaylineHeadView.h"
#include "SourceHL/View/HLPlaylineTailView.h"
#include "SourceHL/View/HLTextItemView.h"
#include "SourceHL/View/HLTimelineSlideshowBackView.h"
#include "SourceHL/View/HLTimelineTransitionBackView.h"
#include "tests/support/TestProject.h"

#include <QScrollArea>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

// The content line on its own, holding two slideshow items of one photo each (the first with
// its transition), a template title and one music clip, with the owner's blocks recorded.
class HLContentlineVCtrlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf); }
    void SetUp() override
    {
        TestProject::setUpPools(folder);
        timeline = TestProject::timeline(1);
        ASSERT_TRUE(timeline->addOutTo({TestProject::importPhoto(folder, Qt::red)}, QString()));
        ASSERT_TRUE(timeline->addOutTo({TestProject::importPhoto(folder, Qt::blue)}, QString()));
        textline = HLTextlineItem::textline();
        auto title = HLTextItem::textItemOf(QStringLiteral("title"),
                                            HLQuartzPool::quartzPoolOf(3)->randomInfoDic().value_or(QVariantMap()));
        title->updateLineMin(300, 400);
        textline->add(title);
        audioline = HLAudiolineItem::audioline();
        audioline->add({TestProject::importTone(folder, 1.0)});

        contentline = std::make_unique<HLContentlineVCtrl>(gate);
        contentline->setupChoose([this](qint64 kind, const QString &name) { chosen.push_back({kind, name}); },
                                 [this](float time) { seeks.push_back(time); }, {}, {});
        contentline->view()->resize(700, contentline->view()->minimumSizeHint().height());
        contentline->view()->show();
        contentline->audiolineView()->resize(700, 70);
        contentline->audiolineView()->show();
        load(timeline, textline, audioline);
    }

    void load(const std::shared_ptr<HLTimelineItem> &t, const std::shared_ptr<HLTextlineItem> &x,
              const std::shared_ptr<HLAudiolineItem> &a)
    {
        contentline->updateTimeline(t);
        contentline->updateTimelineUI();
        contentline->updateTextline(x);
        contentline->updateTextlineUI();
        contentline->updateAudioline(a);
        contentline->updateAudiolineUI();
        contentline->updateContentlineWidth();
        contentline->updateAudiolineWidth();
    }

    // A press on the middle of a view.
    static void press(QWidget *view)
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() / 2, view->height() / 2));
    }

    struct Choice
    {
        qint64 kind;
        QString name;
    };

    TestFolder folder;
    HLEditGate gate{std::make_shared<HLLastOperateQueue>()};
    std::shared_ptr<HLTimelineItem> timeline;
    std::shared_ptr<HLTextlineItem> textline;
    std::shared_ptr<HLAudiolineItem> audioline;
    std::unique_ptr<HLContentlineVCtrl> contentline;
    std::vector<Choice> chosen;
    std::vector<float> seeks;
};

// What each line's choice reports to the owner, what it leaves for the editors, and which
// identifiers the content line keeps.
TEST_F(HLContentlineVCtrlTest, ChoicesOfTheThreeLinesMergeIntoOne)
{
    HLTimelineVCtrl &strip = contentline->vCtrlTimeline();
    ASSERT_EQ(strip.arySlidBackViews().size(), 2);
    ASSERT_EQ(strip.aryTranBackViews().size(), 1);
    ASSERT_EQ(contentline->vCtrlTextline().aryTextItemViews().size(), 1);
    ASSERT_EQ(contentline->vCtrlAudioline().aryAudioItemViews().size(), 1);
    const auto first = timeline->aryItems()[0];
    const QString slideshowName = first->oSlideshowInfo()->strName();
    const QString transitionName = first->oTransitionInfo()->strName();
    const QString titleName = textline->aryItems()[0]->oTextInfo()->strName();
    ASSERT_FALSE(slideshowName.isEmpty());
    ASSERT_FALSE(transitionName.isEmpty());
    ASSERT_FALSE(titleName.isEmpty());
    const QString rdid = timeline->resourceItems()[0]->strHashID();

    QWidget *row = strip.arySlidBackViews()[0];
    QWidget *cell = strip.arySlidBackViews()[0]->cellViews()[0];
    QWidget *tile = strip.aryTranBackViews()[0];
    QWidget *title = contentline->vCtrlTextline().aryTextItemViews()[0];
    QWidget *music = contentline->vCtrlAudioline().aryAudioItemViews()[0];
    const QString auid = audioline->aryItems()[0]->strAUID();
    struct Case
    {
        const char *what;
        std::function<void()> act;
        Choice reported;
        QString sssid, tssid, rdid, ttid, auid;
        bool canEdit;
        std::optional<Choice> editing; // what the editors are told; none when nothing can be edited
    };
    const Case cases[] = {
        {"photo cell", [&] { press(cell); }, {0, {}}, {}, {}, rdid, {}, {}, true, Choice{3, {}}},
        {"transition tile", [&] { press(tile); }, {2, transitionName}, {}, first->strSSID(), {}, {}, {}, true,
         Choice{2, transitionName}},
        {"slideshow row", [&] { press(row); }, {0, slideshowName}, first->strSSID(), {}, {}, {}, {}, true,
         Choice{0, slideshowName}},
        {"title", [&] { press(title); }, {3, titleName}, {}, {}, {}, QStringLiteral("title"), {}, true,
         Choice{3, titleName}},
        // Only the templates of the strip and the text line have editors that ask.
        {"music clip", [&] { press(music); }, {0, {}}, {}, {}, {}, {}, auid, true, Choice{3, {}}},
        {"music clip deleted", [&] { contentline->deleteTheChosen(); }, {0, {}}, {}, {}, {}, {}, {}, false,
         std::nullopt},
    };
    for (const Case &c : cases) {
        chosen.clear();
        c.act();
        ASSERT_EQ(chosen.size(), 1u) << c.what;
        EXPECT_EQ(chosen[0].kind, c.reported.kind) << c.what;
        EXPECT_EQ(chosen[0].name, c.reported.name) << c.what;
        const HLContentChoice &choice = contentline->choice();
        EXPECT_EQ(choice.strSSSID, c.sssid) << c.what;
        EXPECT_EQ(choice.strTSSID, c.tssid) << c.what;
        EXPECT_EQ(choice.strRDID, c.rdid) << c.what;
        EXPECT_EQ(choice.strTTID, c.ttid) << c.what;
        EXPECT_EQ(choice.strAUID, c.auid) << c.what;
        EXPECT_EQ(choice.bCanEdit, c.canEdit) << c.what;
        std::optional<Choice> editing;
        contentline->quaryEditingInfo([&](qint64 kind, const QString &name) { editing = Choice{kind, name}; });
        ASSERT_EQ(editing.has_value(), c.editing.has_value()) << c.what;
        if (editing) {
            EXPECT_EQ(editing->kind, c.editing->kind) << c.what;
            EXPECT_EQ(editing->name, c.editing->name) << c.what;
        }
    }

    // Clearing drops the chosen views but keeps the identifiers for the owner.
    press(cell);
    contentline->clear();
    EXPECT_FALSE(contentline->isThereChosen());
    EXPECT_EQ(contentline->choice().strRDID, rdid);
    EXPECT_TRUE(contentline->choice().bCanEdit);
}

// Positions on the content line and play times: the 10-point margin, the play line's whole
// x, and widths that never fall short of what is visible.
TEST_F(HLContentlineVCtrlTest, PositionsWidthsAndThePlayLine)
{
    contentline->p_seekAt(4);
    ASSERT_EQ(seeks.size(), 1u);
    EXPECT_EQ(seeks[0], 0.0f);

    contentline->updatePlaylineX(12.7);
    EXPECT_EQ(contentline->vPlaylineHead()->center(), 22);
    EXPECT_NEAR(contentline->vPlaylineTail()->x() + contentline->vPlaylineTail()->width() * 0.5, 22, 0.5);
    contentline->seekNow(); // the time under the play line: offset 12
    ASSERT_EQ(seeks.size(), 2u);
    EXPECT_GT(seeks[1], 0.0f);

    // With the lines loaded the area reaches past the title (300 to 400) and the audio line
    // past its clip (200 wide).
    const int visible = contentline->slvContentline()->viewport()->width();
    EXPECT_EQ(contentline->vContentlineBack()->width(), std::max(visible, 400 + 10 + 50));
    const int audioVisible = contentline->slvAudioline()->viewport()->width();
    EXPECT_EQ(contentline->vCtrlAudioline().view()->width(), std::max(audioVisible, 200 + 50));

    // Empty lines: the visible width, or 60 when less is visible. The play line stays put.
    load(TestProject::timeline(1), HLTextlineItem::textline(), HLAudiolineItem::audioline());
    EXPECT_EQ(contentline->vContentlineBack()->width(), std::max(visible, 60));
    EXPECT_EQ(contentline->vPlaylineHead()->center(), 22);
    EXPECT_EQ(contentline->vCtrlAudioline().view()->width(), std::max(audioVisible, 50));
    contentline->slvContentline()->resize(30, contentline->slvContentline()->height());
    ASSERT_LT(contentline->slvContentline()->viewport()->width(), 60);
    contentline->updateContentlineWidth();
    EXPECT_EQ(contentline->vContentlineBack()->width(), 60);
}

// Each line warns the owner before it changes the model and reports the change after, time
// scaled only for the strip; the owner's edit block opens the chosen item of any line.
TEST_F(HLContentlineVCtrlTest, EachLineWarnsBeforeItsChangesAndReportsThem)
{
    std::vector<std::string> told;
    contentline->setupWarning([&] { told.push_back("warning"); });
    contentline->setupChoose({}, {}, [&] { told.push_back("edit"); },
                             [&](bool timeScaled) { told.push_back(timeScaled ? "content YES" : "content NO"); });
    HLTimelineVCtrl &strip = contentline->vCtrlTimeline();
    const std::vector<std::string> deleted{"warning", "content NO"};
    const struct
    {
        const char *what;
        QWidget *view;
        std::vector<std::string> expected;
    } lines[] = {
        {"title", contentline->vCtrlTextline().aryTextItemViews()[0], deleted},
        {"music clip", contentline->vCtrlAudioline().aryAudioItemViews()[0], deleted},
        {"photo cell", strip.arySlidBackViews()[1]->cellViews()[0], {"warning", "content YES"}},
    };
    for (const auto &line : lines) {
        const QPoint middle(line.view->width() / 2, line.view->height() / 2);
        QTest::mouseClick(line.view, Qt::LeftButton, {}, middle);
        told.clear();
        QTest::mouseDClick(line.view, Qt::LeftButton, {}, middle); // on the chosen item
        EXPECT_EQ(told, std::vector<std::string>{"edit"}) << line.what;
        told.clear();
        contentline->deleteTheChosen();
        EXPECT_EQ(told, line.expected) << line.what;
    }
    EXPECT_TRUE(textline->aryItems().empty());
    EXPECT_TRUE(audioline->aryItems().empty());
    EXPECT_EQ(timeline->aryItems().size(), 1);
}

} // namespace
