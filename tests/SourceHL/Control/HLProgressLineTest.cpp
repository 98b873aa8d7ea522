// The progress line under the preview follows the play loop and scrubs the project, stopped
// and playing, on a clock the test drives.
#include "tests/SourceHL/Control/StripFixture.h"

#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLPlayLoop.h"
#include "SourceHL/Editors/HLTrimUnitView.h"
#include "SourceHL/Editors/HLTrimlineVCtrl.h"
#include "SourceHL/Editors/HLTrimlineView.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <QTest>

namespace {

constexpr quint64 kSecond = 1'000'000'000; // machine clock ticks

class HLProgressLineTest : public StripFixture
{
protected:
    void SetUp() override
    {
        StripFixture::SetUp();
        ctrl().playLoop().setClock([this] { return now; });
        addItems({2});
        duration = ctrl().oTimeline()->dDuration();
        ASSERT_GT(duration, 2);
    }
    void TearDown() override
    {
        ctrl().p_stopPlaying();
        ctrl().oLastOperateQueue()->wait();
        StripFixture::TearDown();
    }
    void tick(double seconds)
    {
        now += quint64(seconds * double(kSecond));
        ctrl().playLoop().p_playFeedback();
    }
    HLTrimlineVCtrl &line() { return *ctrl().vCtrlProgress(); }
    double handleRatio() { return line().vUnitMid()->dNow(); }
    void pressStrip(double ratio)
    {
        HLTrimlineView *strip = line().vTrimline();
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(int(ratio * strip->width()), strip->height() / 2));
    }

    quint64 now = 1000 * kSecond;
    float duration = 0;
};

TEST_F(HLProgressLineTest, SitsUnderThePreviewWithOnlyThePlayHandle)
{
    QWidget *area = ctrl().window()->vDisplayProgressView;
    EXPECT_TRUE(area->isAncestorOf(line().view()));
    EXPECT_TRUE(line().vTrimline()->bIsEnable());
    EXPECT_TRUE(line().arySelections().empty());
    EXPECT_GT(line().vTrimline()->width(), 100);
}

TEST_F(HLProgressLineTest, FollowsThePlayLoop)
{
    EXPECT_NEAR(handleRatio(), 0, 1e-6);
    ctrl().p_startPlaying();
    tick(0.5);
    EXPECT_NEAR(handleRatio(), 0.5 / duration, 1e-3);
    tick(1.0);
    EXPECT_NEAR(handleRatio(), 1.5 / duration, 1e-3);
    // The play head moves the handle on screen too.
    const int before = line().vUnitMid()->x();
    tick(0.5);
    EXPECT_GT(line().vUnitMid()->x(), before);
}

TEST_F(HLProgressLineTest, APressWhileStoppedShowsThatTime)
{
    pressStrip(0.5);
    EXPECT_FALSE(ctrl().bIsPlaying());
    EXPECT_NEAR(ctrl().dNowTime(), duration * 0.5, duration / line().vTrimline()->width());
    EXPECT_NEAR(handleRatio(), 0.5, 0.01);
}

TEST_F(HLProgressLineTest, APressOrADragWhilePlayingSeeksAndPlaysOn)
{
    ctrl().p_startPlaying();
    tick(0.2);
    pressStrip(0.75);
    EXPECT_TRUE(ctrl().bIsPlaying());
    const float seeked = ctrl().dNowTime();
    EXPECT_NEAR(seeked, duration * 0.75, duration / line().vTrimline()->width());
    tick(0.25);
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), seeked + 0.25f);

    // Dragging the play handle back to the start.
    HLTrimUnitView *mid = line().vUnitMid();
    const QPoint grip(8, mid->height() - 3);
    const QPoint at = mid->mapTo(ctrl().window(), grip);
    QTest::mousePress(mid, Qt::LeftButton, {}, grip);
    QTest::mouseMove(mid, mid->mapFrom(ctrl().window(), at - QPoint(2000, 0)));
    QTest::mouseRelease(mid, Qt::LeftButton, {}, mid->mapFrom(ctrl().window(), at - QPoint(2000, 0)));
    EXPECT_TRUE(ctrl().bIsPlaying());
    EXPECT_EQ(ctrl().dNowTime(), 0.0f);
    EXPECT_NEAR(handleRatio(), 0, 1e-6);
}

} // namespace
