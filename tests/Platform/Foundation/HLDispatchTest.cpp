#include "Platform/Foundation/HLDispatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>

TEST(HLDispatch, backgroundJobPostsBackToMainThread)
{
    std::atomic<bool> ranInBackground{false};
    std::atomic<bool> ranOnMain{false};
    HLDispatch::inBackground([&] {
        ranInBackground = !HLDispatch::isMainThread();
        HLDispatch::onMain([&] { ranOnMain = HLDispatch::isMainThread(); });
    });
    QElapsedTimer timer;
    timer.start();
    while (!ranOnMain && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_TRUE(ranInBackground);
    EXPECT_TRUE(ranOnMain);
}

TEST(HLDispatch, waitingOnTheMainThreadRunsAtOnce)
{
    bool ran = false;
    HLDispatch::onMain([&] { ran = true; }, true);
    EXPECT_TRUE(ran);
}
