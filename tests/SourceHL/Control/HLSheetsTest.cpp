#include "Platform/Foundation/HLNotificationCenter.h"
#include "SourceHL/Control/HLBusyWndCtrl.h"
#include "SourceHL/Control/HLProgressWndCtrl.h"
#include "SourceHL/Control/HLSheet.h"
#include "tests/support/NamedControl.h"
#include "widgets/HLViewHelper.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>

#include <gtest/gtest.h>

#include <thread>

namespace {

// Runs work on another thread and waits for it; what it queued for the main thread has
// not run yet.
void onWorker(const std::function<void()> &work)
{
    std::thread worker(work);
    worker.join();
}

// Runs what the worker queued for the main thread.
void runQueued()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

class HLSheetsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window.resize(600, 400);
        window.show();
        auto &center = HLNotificationCenter::defaultCenter();
        for (const char *name : {"HLWindowStartBusyingNotification", "HLWindowStopBusyingNotification"})
            center.addObserver(this, QString::fromLatin1(name),
                               [this](const QString &posted, const QVariantMap &) { notifications << posted; });
    }
    void TearDown() override { HLNotificationCenter::defaultCenter().removeObserver(this); }

    QWidget window;
    QStringList notifications;
};

TEST_F(HLSheetsTest, ProgressDrivenFromAWorkerShowsDoneOutOfAll)
{
    HLProgressWndCtrl &progress = HLProgressWndCtrl::sharedProgressWndCtrl();
    onWorker([&] {
        progress.startProgress(12, &window);
        progress.updateProgress(3);
    });
    EXPECT_EQ(progress.iCount(), 12u); // the counters are written on the caller's thread
    EXPECT_EQ(progress.iIndex(), 3u);
    runQueued();
    ASSERT_TRUE(progress.window());
    EXPECT_TRUE(progress.window()->isVisible());
    EXPECT_FALSE(hlCanDrop(&window)); // the sheet blocks the window
    EXPECT_EQ(control<QLabel>(progress, "tldProgress")->text(), QStringLiteral("3/12"));
    EXPECT_EQ(control<QProgressBar>(progress, "vProgress")->value(), HLProgressWndCtrl::kBarRange / 4);

    onWorker([&] { progress.updateProgress(20); }); // beyond the count shows the count
    runQueued();
    EXPECT_EQ(control<QLabel>(progress, "tldProgress")->text(), QStringLiteral("12/12"));
    EXPECT_EQ(control<QProgressBar>(progress, "vProgress")->value(), HLProgressWndCtrl::kBarRange);

    onWorker([&] { progress.stopProgress(); });
    runQueued();
    EXPECT_FALSE(progress.window()->isVisible());
    EXPECT_TRUE(hlCanDrop(&window));
    EXPECT_EQ(notifications, QStringList({"HLWindowStartBusyingNotification", "HLWindowStopBusyingNotification"}));
}

TEST_F(HLSheetsTest, ProgressOfNothingShowsAnEmptyBar)
{
    HLProgressWndCtrl &progress = HLProgressWndCtrl::sharedProgressWndCtrl();
    onWorker([&] { progress.startProgress(0, &window); });
    runQueued();
    EXPECT_EQ(control<QLabel>(progress, "tldProgress")->text(), QStringLiteral("0/0"));
    EXPECT_EQ(control<QProgressBar>(progress, "vProgress")->value(), 0);
    progress.stopProgress();
    runQueued();
    EXPECT_FALSE(progress.window()->isVisible());
}

TEST_F(HLSheetsTest, ProgressShowsCancelOnlyForAJobThatCanStop)
{
    HLProgressWndCtrl &progress = HLProgressWndCtrl::sharedProgressWndCtrl();
    int cancelled = 0;
    onWorker([&] { progress.startProgress(5, &window, [&] { ++cancelled; }); });
    runQueued();
    ASSERT_TRUE(progress.btnCancel());
    EXPECT_TRUE(progress.btnCancel()->isVisible());
    progress.btnCancel()->click();
    progress.btnCancel()->click(); // pressed once, it waits for the job to end
    EXPECT_EQ(cancelled, 1);
    EXPECT_FALSE(progress.btnCancel()->isEnabled());
    progress.stopProgress();
    runQueued();

    onWorker([&] { progress.startProgress(5, &window); });
    runQueued();
    EXPECT_FALSE(progress.btnCancel()->isVisible());
    progress.stopProgress();
    runQueued();
    EXPECT_EQ(cancelled, 1);
}

TEST_F(HLSheetsTest, BusySheetStartedAndStoppedAtOnceShowsAndHidesInOrder)
{
    HLBusyWndCtrl &busy = HLBusyWndCtrl::sharedBusyWndCtrl();
    bool shownBetween = false;
    onWorker([&] { busy.startBusingOn(&window); });
    runQueued();
    ASSERT_TRUE(busy.window());
    shownBetween = busy.window()->isVisible();
    onWorker([&] { busy.stopBusing(); });
    runQueued();
    EXPECT_TRUE(shownBetween);
    EXPECT_FALSE(busy.window()->isVisible());
    EXPECT_EQ(notifications, QStringList({"HLWindowStartBusyingNotification", "HLWindowStopBusyingNotification"}));
}

// Neither Escape nor the window manager's close takes a sheet down: only the end of its job.
TEST_F(HLSheetsTest, SheetsStayUpUntilTheirJobEnds)
{
    HLBusyWndCtrl &busy = HLBusyWndCtrl::sharedBusyWndCtrl();
    HLProgressWndCtrl &progress = HLProgressWndCtrl::sharedProgressWndCtrl();
    onWorker([&] {
        busy.startBusingOn(&window);
        progress.startProgress(3, &window, {});
    });
    runQueued();
    for (HLSheet *sheet : {busy.window(), progress.window()}) {
        ASSERT_TRUE(sheet && sheet->isVisible());
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QCoreApplication::sendEvent(sheet, &escape);
        EXPECT_TRUE(sheet->isVisible());
        EXPECT_FALSE(sheet->close()); // what a window manager's close request comes to
        EXPECT_TRUE(sheet->isVisible());
    }
    onWorker([&] {
        busy.stopBusing();
        progress.stopProgress();
    });
    runQueued();
    EXPECT_FALSE(busy.window()->isVisible());
    EXPECT_FALSE(progress.window()->isVisible());
}

} // namespace
