// The play loop of the main window, on a clock the test drives.
#include "tests/SourceHL/Control/StripFixture.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Control/HLPlayLoop.h"
#include "SourceHL/Model/Render/HLAudiolinePlayer.h"
#include "SourceHL/Model/Render/HLTimelineItemRendering.h"
#include "SourceHL/Model/Render/HLTimelinePlayer.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLPlaylineHeadView.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/View/HLTimelineBackView.h"
#include "SourceHL/View/HLTimelineItemUI.h"
#include "SourceHL/View/HLTimelineSlideshowBackView.h"

#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {

constexpr quint64 kSecond = 1'000'000'000; // machine clock ticks

class HLPlayLoopTest : public StripFixture
{
protected:
    void SetUp() override
    {
        StripFixture::SetUp();
        ctrl().playLoop().setClock([this] { return now; });
    }
    // One timer tick after the clock moved on by seconds.
    void tick(double seconds)
    {
        now += quint64(seconds * double(kSecond));
        ctrl().playLoop().p_playFeedback();
    }

    quint64 now = 1000 * kSecond;
};

TEST_F(HLPlayLoopTest, StartsAndStopsOnceAndTicksPreciselyThirtyTimesASecond)
{
    addItems({2});
    HLPlayLoop &loop = ctrl().playLoop();
    EXPECT_FALSE(ctrl().bIsPlaying());
    loop.p_stopPlaying(); // nothing to stop
    ctrl().window()->btnPlay->click();
    ASSERT_TRUE(ctrl().bIsPlaying());
    QTimer *timer = loop.tTimer();
    EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);
    EXPECT_EQ(timer->interval(), 33);
    EXPECT_TRUE(timer->isActive());
    EXPECT_TRUE(ctrl().oTimelinePlayer()->bIsPlaying());
    loop.p_startPlaying(); // already playing: the same timer
    EXPECT_EQ(loop.tTimer(), timer);
    ctrl().window()->btnPlay->click();
    EXPECT_FALSE(ctrl().bIsPlaying());
    EXPECT_FALSE(ctrl().oTimelinePlayer()->bIsPlaying());
}

TEST_F(HLPlayLoopTest, AdvancesByTheClockAndWrapsOnlyPastTheEnd)
{
    addItems({2});
    const float duration = ctrl().oTimeline()->dDuration();
    ASSERT_GT(duration, 1);
    ctrl().p_startPlaying();
    tick(0.5);
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), 0.5f);
    tick(0.25); // a late tick moves as far as the time that passed
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), 0.75f);
    EXPECT_EQ(contentline().vPlaylineHead()->center(),
              std::trunc(HLTimelineItemUI::UIOffsetAt(*ctrl().oTimeline(), 0.75f) + 10));

    // Exactly on the end keeps playing; the next tick past it wraps to 0 and stops.
    ctrl().p_seekAt(duration);
    ASSERT_TRUE(ctrl().bIsPlaying());
    tick(0);
    EXPECT_TRUE(ctrl().bIsPlaying());
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), duration);
    tick(0.01);
    EXPECT_FALSE(ctrl().bIsPlaying());
    EXPECT_EQ(ctrl().dNowTime(), 0.0f);
    EXPECT_EQ(contentline().vPlaylineHead()->center(), 10);

    // Seek, play and stop again from any point.
    ctrl().p_seekAt(1.0f);
    ctrl().p_startPlaying();
    tick(0.25);
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), 1.25f);
    ctrl().p_stopPlaying();
    ctrl().p_seekAt(-3); // clamped
    EXPECT_EQ(ctrl().dNowTime(), 0.0f);
    ctrl().p_seekAt(duration + 5);
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), duration);
    ctrl().oLastOperateQueue()->wait();
}

TEST_F(HLPlayLoopTest, MusicIsDuckedUnderASoloClipAndBothFadeAtTheEnd)
{
    ctrl().mediaImport().p_addVideosAndImagesOutTo({writeClip(2.0)}, QString());
    waitForImport();
    ASSERT_EQ(ssids().size(), 1);
    const float duration = ctrl().oTimeline()->dDuration();
    ASSERT_GT(duration, 1.5f);
    ctrl().p_seekAt(duration - 0.5f);
    const float fade = HLTimelineItemRendering::timelineFadeOutRatio(*ctrl().oTimeline());
    const float ambient = HLTimelineItemRendering::renderingAmbientRatio(*ctrl().oTimeline());
    EXPECT_LT(fade, 1.0f);
    EXPECT_LT(ambient, 1.0f); // the clip plays its sound solo
    EXPECT_FLOAT_EQ(ctrl().oTimelinePlayer()->dVolumeRatio(), fade);
    EXPECT_FLOAT_EQ(ctrl().oAudiolinePlayer()->dVolumeRatio(), fade * ambient);
    ctrl().oLastOperateQueue()->wait();
}

// The music is ducked where a solo clip plays, wherever the clip stands on the timeline: not
// before it, wholly in its middle, and no more after it.
TEST_F(HLPlayLoopTest, MusicIsDuckedWhereALaterSoloClipPlays)
{
    addItems({1});
    ctrl().mediaImport().p_addVideosAndImagesOutTo({writeClip(4.0)}, QString());
    waitForImport();
    addItems({1});
    const auto timeline = ctrl().oTimeline();
    ASSERT_EQ(timeline->aryItems().size(), 3);
    const auto video = timeline->aryItems()[1];
    ASSERT_EQ(video->logicResourceVideoIndexSet().size(), 1u);
    const float offset = timeline->slideshowOffsetOf(video);
    const ResourceRenderRange range = video->resourceRenderRangeAt(*video->logicResourceVideoIndexSet().begin());
    const float start = offset + range.dStart, end = offset + range.dEnd;
    ASSERT_GT(start, 1.5f);
    ASSERT_LT(end + 1.5f, timeline->dDuration());

    struct Case
    {
        float time;
        bool ducked;
    };
    for (const Case c : {Case{start - 1.5f, false}, Case{(start + end) / 2, true}, Case{end + 1.5f, false}}) {
        SCOPED_TRACE(c.time);
        ctrl().p_seekAt(c.time);
        const float pictures = ctrl().oTimelinePlayer()->dVolumeRatio();
        const float music = ctrl().oAudiolinePlayer()->dVolumeRatio();
        if (c.ducked)
            EXPECT_EQ(music, 0.0f);
        else
            EXPECT_FLOAT_EQ(music, pictures); // only the end's fade, if any
    }
    ctrl().oLastOperateQueue()->wait();
}

// A renderer that has shown many pictures of one item asks the loop to restart; the request
// reaches the main thread later and must not start a play the user has stopped.
TEST_F(HLPlayLoopTest, ARendererRestartDoesNotRestartAStoppedPlay)
{
    const int photos = int(HLTimelineRender::kRestartIndexCount) + 8;
    addItems({photos});
    ASSERT_EQ(ssids().size(), 1);
    const float duration = ctrl().oTimeline()->dDuration();
    auto showAll = [&] {
        for (int i = 0; i < photos; ++i) {
            ctrl().playLoop().p_playAt(duration * (float(i) + 0.5f) / float(photos));
            ctrl().oLastOperateQueue()->wait();
        }
    };
    ctrl().p_startPlaying();
    showAll();
    ctrl().p_stopPlaying(); // before the posted restart arrives
    QTest::qWait(20);
    EXPECT_FALSE(ctrl().bIsPlaying());

    // Still playing when it arrives: the play goes on with a fresh renderer.
    ctrl().p_seekAt(0);
    ctrl().oTimelineRender()->shallowClear();
    ctrl().p_startPlaying();
    QTimer *timer = ctrl().playLoop().tTimer();
    showAll();
    EXPECT_TRUE(QTest::qWaitFor([&] { return ctrl().playLoop().tTimer() != timer; }, 2000)) << "restarted";
    EXPECT_TRUE(ctrl().bIsPlaying());
    ctrl().p_stopPlaying();
}

// The play heads are not edits: a tick moves them while a preview render is still running,
// instead of waiting for it to end.
TEST_F(HLPlayLoopTest, ATickDoesNotWaitForTheRunningRender)
{
    addItems({2});
    ctrl().oLastOperateQueue()->wait();
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;
    bool released = false;
    bool finished = false;
    // A render that runs until the test lets it go (or, should the tick wait for it, a while).
    ctrl().oLastOperateQueue()->add([&] {
        std::unique_lock lock(mutex);
        started = true;
        changed.notify_all();
        changed.wait_for(lock, std::chrono::seconds(20), [&] { return released; });
        finished = true;
    });
    {
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return started; });
    }
    ctrl().p_startPlaying();
    tick(0.5);
    tick(0.25);
    {
        std::lock_guard lock(mutex);
        EXPECT_FALSE(finished) << "the tick waited for the render";
        released = true;
    }
    changed.notify_all();
    EXPECT_FLOAT_EQ(ctrl().dNowTime(), 0.75f);
    EXPECT_FLOAT_EQ(ctrl().oTimeline()->dNowTime(), 0.75f);
    ctrl().p_stopPlaying();
    ctrl().oLastOperateQueue()->wait();
    EXPECT_TRUE(finished);
}

// Edits through the widgets while the preview renders on its worker: every change of the
// model waits for the render (clean under ThreadSanitizer).
TEST_F(HLPlayLoopTest, PlaysWhileItemsAreAddedMovedAndDeleted)
{
    addItems({3, 2});
    for (int round = 0; round < 3; ++round) {
        ctrl().p_startPlaying();
        for (int i = 0; i < 5; ++i)
            tick(1.0 / 30);
        // Move the first cell to the end of the other row.
        press(cell(0, 0)); // choosing seeks while playing
        tick(1.0 / 30);
        auto data = dragCell(cell(0, 0));
        ASSERT_TRUE(data);
        ASSERT_TRUE(dropOn(row(1), QPoint(row(1)->width() - 2, 50), data.get()));
        EXPECT_FALSE(ctrl().bIsPlaying()); // the move stopped the play first

        ctrl().p_startPlaying();
        tick(1.0 / 30);
        ctrl().mediaImport().p_addVideosAndImagesOutTo(writePhotos(2), QString());
        waitForImport();

        ctrl().p_startPlaying();
        tick(1.0 / 30);
        press(row(int(ssids().size()) - 1));
        ctrl().p_startPlaying();
        tick(1.0 / 30);
        ctrl().deleteChosen();
        tick(1.0 / 30);
    }
    ctrl().oLastOperateQueue()->wait();
    // The strip shows the model as it ended.
    qsizetype photos = 0;
    for (const QStringList &ids : hashes())
        photos += ids.size();
    EXPECT_EQ(strip().arySlidItemViews().size(), photos);
    EXPECT_EQ(strip().arySlidBackViews().size(), ssids().size());
}

} // namespace
