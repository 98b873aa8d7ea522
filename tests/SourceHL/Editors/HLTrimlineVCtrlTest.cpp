// The trim line on real widgets: presses and drags on the strip and the handles, over the
// trim records of a clip and of a music clip, with a player that logs what it is told.
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Editors/HLMovieTrimPlayer.h"
#include "SourceHL/Editors/HLTrimUnitView.h"
#include "SourceHL/Editors/HLTrimlineVCtrl.h"
#include "SourceHL/Editors/HLTrimlineView.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

namespace G = HLTrimlineGeometry;

namespace {

constexpr int kStripWidth = 400;

class LogPlayer : public TrimlinePlayerProtocol
{
public:
    bool isTrimPlaying() const override { return playing; }
    float trimPlayRatio() const override { return ratio; }
    void updateTrimPlayRatio(float r) override
    {
        ratio = r;
        log->append(QStringLiteral("player %1").arg(r));
    }
    bool playing = false;
    float ratio = 0;
    QStringList *log = nullptr;
};

// A selection that logs its writes, for the order of a drag step.
class LogSelection : public TrimlineSelectionProtocol
{
public:
    LogSelection(float min, float max, QStringList *log) : min(min), max(max), log(log) {}
    float trimRatioMin() const override { return min; }
    float trimRatioMax() const override { return max; }
    void updateTrimRatioMin(float r) override { min = r, log->append(QStringLiteral("min %1").arg(r)); }
    void updateTrimRatioMax(float r) override { max = r, log->append(QStringLiteral("max %1").arg(r)); }
    float min, max;
    QStringList *log;
};

class HLTrimlineVCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        host.resize(kStripWidth + 2 * HLTrimlineVCtrl::kSideMargin, 80);
        ctrl.view()->setParent(&host);
        ctrl.view()->setGeometry(0, 10, host.width(), 44);
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        player->log = &log;
        ctrl.updatePlayer(player);
        ctrl.setBIsEnable(true);
        ctrl.setupDidChange([this](HLTrimlineVCtrl::TrimUnitType type) { log.append(QStringLiteral("report %1").arg(type)); });
        ASSERT_EQ(ctrl.vTrimline()->width(), kStripWidth);
    }

    void pressStrip(float ratio)
    {
        QTest::mouseClick(ctrl.vTrimline(), Qt::LeftButton, {}, QPoint(int(ratio * kStripWidth), 15));
    }
    // A point inside the handle's polygon, y-down in the handle.
    static QPoint grip(HLTrimUnitView *unit)
    {
        switch (unit->enumType()) {
        case G::TrimUnitMin: return {14, 13};
        case G::TrimUnitMax: return {2, 13};
        default: return {8, 9};
        }
    }
    // Presses the handle and drags it by each of the steps (points, from the press); the
    // events go to the pressed handle, wherever it has moved to.
    void drag(HLTrimUnitView *unit, const QList<int> &steps)
    {
        const QPoint at = unit->mapTo(&host, grip(unit));
        QTest::mousePress(unit, Qt::LeftButton, {}, grip(unit));
        for (int step : steps)
            QTest::mouseMove(unit, unit->mapFrom(&host, at + QPoint(step, 0)));
        QTest::mouseRelease(unit, Qt::LeftButton, {}, unit->mapFrom(&host, at + QPoint(steps.isEmpty() ? 0 : steps.last(), 0)));
    }
    void setSelections(const std::vector<HLTrimlineVCtrl::Selection> &selections)
    {
        ctrl.updateSeletions(selections);
        ctrl.selectSeletion(selections.empty() ? nullptr : selections.front());
        ctrl.updateInterface();
    }

    QWidget host;
    HLTrimlineVCtrl ctrl;
    std::shared_ptr<LogPlayer> player = std::make_shared<LogPlayer>();
    QStringList log;
};

TEST_F(HLTrimlineVCtrlTest, WithoutSelectionsAStripPressMovesThePlayerEvenInLoopPlay)
{
    ctrl.setBTrimLoopPlay(true);
    player->playing = true;
    pressStrip(0.37f);
    EXPECT_EQ(log, QStringList({"player 0.37", "report 1"}));
    EXPECT_TRUE(ctrl.aryUnitMins().isEmpty());
    EXPECT_TRUE(ctrl.vUnitMid()->isVisible());
    // The play handle's tip stands on the new ratio.
    EXPECT_NEAR(ctrl.vUnitMid()->dNow(), 0.37, 1e-6);
}

TEST_F(HLTrimlineVCtrlTest, AStripPressWhilePlayingInLoopStaysInTheSelection)
{
    setSelections({std::make_shared<LogSelection>(0.2f, 0.6f, &log)});
    ctrl.setBTrimLoopPlay(true);
    struct Case
    {
        float press;
        float playing, paused;
    };
    for (const Case c : {Case{0.1f, 0.2f, 0.1f}, {0.7f, 0.2f, 0.7f}, {0.4f, 0.4f, 0.4f}}) {
        player->playing = true;
        pressStrip(c.press);
        EXPECT_FLOAT_EQ(player->ratio, c.playing) << c.press;
        player->playing = false;
        pressStrip(c.press);
        EXPECT_FLOAT_EQ(player->ratio, c.paused) << c.press;
    }
}

TEST_F(HLTrimlineVCtrlTest, AStripThatIsNotEnabledIgnoresPresses)
{
    ctrl.setBIsEnable(false);
    pressStrip(0.5f);
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(HLTrimlineVCtrlTest, DraggingAClipsEndKeepsTheRecordsSecondAndMovesThePlayerFirst)
{
    auto trim = HLRenderEditTrim::editTrimOf(10);
    trim->setDTrimMin(2);
    trim->setDTrimMax(6);
    int writes = 0;
    auto selection = std::make_shared<HLTrimRecordSelection<HLRenderEditTrim>>(trim, [&](HLChange::Kinds, const std::function<void()> &write) {
        ++writes;
        write();
    });
    setSelections({selection});
    ctrl.setBTrimSyncPlay(true);
    HLTrimUnitView *max = ctrl.aryUnitMaxs().at(0);
    EXPECT_TRUE(max->bIsChoosen());
    // 1 s is 40 points: drag the end 40 left (to 5 s), then 200 left (stops at 3 s).
    drag(max, {-40, -200});
    EXPECT_FLOAT_EQ(trim->dTrimMax(), 3);
    EXPECT_EQ(writes, 2);
    EXPECT_NEAR(max->dNow(), 0.3, 1e-6); // pulled back to the record's end
    ASSERT_GE(log.size(), 5);
    EXPECT_EQ(log[0], "report 2"); // the press
    EXPECT_EQ(log[1], "player 0.5");
    EXPECT_EQ(log[2], "report 1");
    EXPECT_FLOAT_EQ(player->ratio, 0.2f); // the last step's ratio: the drag limit, the start

    // Dragging past the clip's end stops on it.
    log.clear();
    drag(max, {400});
    EXPECT_FLOAT_EQ(trim->dTrimMax(), 10);
    EXPECT_NEAR(max->dNow(), 1.0, 1e-6);
}

TEST_F(HLTrimlineVCtrlTest, DraggingAMusicClipsStartKeepsItASecondBeforeTheEndAndAboveZero)
{
    auto edit = HLAudioEdit::audioEditOf(QStringLiteral("song"), 20);
    edit->setDTrimMax(8);
    auto selection = std::make_shared<HLTrimRecordSelection<HLAudioEdit>>(edit, [](HLChange::Kinds, const std::function<void()> &write) { write(); });
    setSelections({selection});
    HLTrimUnitView *min = ctrl.aryUnitMins().at(0);
    // 1 s is 20 points; without sync play the steps report the handle's own type.
    drag(min, {60});
    EXPECT_FLOAT_EQ(edit->dTrimMin(), 3);
    EXPECT_EQ(log.last(), "report 0");
    EXPECT_FALSE(log.join(' ').contains("player"));
    drag(min, {400});
    EXPECT_FLOAT_EQ(edit->dTrimMin(), 7);
    EXPECT_NEAR(min->dNow(), 0.35, 1e-6);
    drag(min, {-400});
    EXPECT_FLOAT_EQ(edit->dTrimMin(), 0);
}

TEST_F(HLTrimlineVCtrlTest, WritesGoOnlyThroughTheOwnersHook)
{
    auto trim = HLRenderEditTrim::editTrimOf(10);
    auto selection = std::make_shared<HLTrimRecordSelection<HLRenderEditTrim>>(trim, [](HLChange::Kinds, const std::function<void()> &) {});
    setSelections({selection});
    drag(ctrl.aryUnitMaxs().at(0), {-100});
    EXPECT_FLOAT_EQ(trim->dTrimMax(), 10);
}

TEST_F(HLTrimlineVCtrlTest, PressingAHandleChoosesItsSelectionAndSetsItsLimits)
{
    auto first = std::make_shared<LogSelection>(0.1f, 0.3f, &log);
    auto second = std::make_shared<LogSelection>(0.5f, 0.8f, &log);
    setSelections({first, second});
    drag(ctrl.aryUnitMaxs().at(1), {});
    EXPECT_EQ(ctrl.oSelection(), second);
    EXPECT_FALSE(ctrl.aryUnitMins().at(0)->bIsChoosen());
    EXPECT_TRUE(ctrl.aryUnitMins().at(1)->bIsChoosen());
    EXPECT_TRUE(ctrl.aryUnitMaxs().at(1)->bIsChoosen());
    EXPECT_EQ(ctrl.aryUnitMaxs().at(1)->imageName(), "TrimMaxCh");
    EXPECT_FLOAT_EQ(ctrl.aryUnitMaxs().at(1)->dMin(), 0.5f);
    EXPECT_FLOAT_EQ(ctrl.aryUnitMaxs().at(1)->dMax(), 1.0f);
    drag(ctrl.aryUnitMins().at(1), {});
    EXPECT_FLOAT_EQ(ctrl.aryUnitMins().at(1)->dMin(), 0.3f);
    EXPECT_FLOAT_EQ(ctrl.aryUnitMins().at(1)->dMax(), 0.8f);
    // The second's start cannot cross the first's end.
    drag(ctrl.aryUnitMins().at(1), {-300});
    EXPECT_FLOAT_EQ(second->min, 0.3f);
    EXPECT_FLOAT_EQ(first->max, 0.3f);
}

TEST_F(HLTrimlineVCtrlTest, APressOutsideAHandlesPolygonIsNoGrab)
{
    setSelections({std::make_shared<LogSelection>(0.2f, 0.6f, &log)});
    HLTrimUnitView *min = ctrl.aryUnitMins().at(0);
    const QPoint corner(2, 2); // top-left, above the triangle's slope
    QTest::mousePress(min, Qt::LeftButton, {}, corner);
    QTest::mouseMove(min, corner + QPoint(40, 0));
    QTest::mouseRelease(min, Qt::LeftButton, {}, corner + QPoint(40, 0));
    EXPECT_TRUE(log.isEmpty());
    EXPECT_NEAR(min->dNow(), 0.2, 1e-6);
}

TEST_F(HLTrimlineVCtrlTest, ThePlayHandleScrubsThePlayerAndShowsChosenWhilePressed)
{
    HLTrimUnitView *mid = ctrl.vUnitMid();
    const QPoint at = mid->mapTo(&host, grip(mid));
    QTest::mousePress(mid, Qt::LeftButton, {}, grip(mid));
    EXPECT_EQ(mid->imageName(), "TrimMidCh");
    QTest::mouseMove(mid, mid->mapFrom(&host, at + QPoint(100, 0)));
    QTest::mouseMove(mid, mid->mapFrom(&host, at + QPoint(200, 0)));
    QTest::mouseRelease(mid, Qt::LeftButton, {}, mid->mapFrom(&host, at + QPoint(200, 0)));
    EXPECT_EQ(mid->imageName(), "TrimMidUn");
    EXPECT_EQ(log, QStringList({"report 1", "player 0.25", "report 1", "player 0.5", "report 1"}));
}

TEST_F(HLTrimlineVCtrlTest, ReplacingSelectionsReusesHandlesByIndex)
{
    auto a = std::make_shared<LogSelection>(0.1f, 0.3f, &log);
    auto b = std::make_shared<LogSelection>(0.5f, 0.8f, &log);
    setSelections({a, b});
    const QPointer<HLTrimUnitView> firstMin = ctrl.aryUnitMins().at(0), secondMin = ctrl.aryUnitMins().at(1);
    ctrl.updateSeletions({a});
    EXPECT_EQ(ctrl.aryUnitMins().at(0), firstMin);
    EXPECT_EQ(ctrl.oSelection(), a); // left as it was
    EXPECT_TRUE(!secondMin || !secondMin->parent());
    ctrl.updateSeletions({a, b, std::make_shared<LogSelection>(0.85f, 0.9f, &log)});
    ASSERT_EQ(ctrl.aryUnitMaxs().size(), 3);
    EXPECT_EQ(ctrl.aryUnitMaxs().at(2)->dMin(), 0.0);
    EXPECT_EQ(ctrl.aryUnitMaxs().at(2)->dMax(), 1.0);
    EXPECT_EQ(ctrl.aryUnitMins().at(2)->parent(), ctrl.vDownBack());
}

TEST_F(HLTrimlineVCtrlTest, AMoviePlayerSeeksClampedTicks)
{
    TestFolder folder;
    const QString path = folder.file(QStringLiteral("tone.wav"));
    ASSERT_TRUE(MediaFixtures::makeTone(path, 2, 44100, 1, {"-c:a", "pcm_s16le"}));
    auto movie = ZKFFMovie::open(path);
    ASSERT_TRUE(movie);
    HLMovieTrimPlayer moviePlayer(movie);
    moviePlayer.updateTrimPlayRatio(0.5f);
    EXPECT_NEAR(zk_ff_time_to_double(movie->currentTime()), 1.0, 1e-3);
    EXPECT_NEAR(moviePlayer.trimPlayRatio(), 0.5, 1e-3);
    moviePlayer.updateTrimPlayRatio(-0.2f);
    EXPECT_EQ(movie->currentTime(), 0);
    moviePlayer.updateTrimPlayRatio(1.5f);
    EXPECT_LE(moviePlayer.trimPlayRatio(), 1.0f);
    EXPECT_FALSE(moviePlayer.isTrimPlaying());
}

} // namespace
