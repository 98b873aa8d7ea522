#include "Platform/Foundation/HLJob.h"

#include "Platform/Foundation/HLDispatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace {

// Runs the event loop until the posted finish has arrived.
void waitForFinish(const std::atomic<bool> &finished)
{
    QElapsedTimer timer;
    timer.start();
    while (!finished && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

TEST(HLJob, outcomesAndReasonsReachTheFinishOnTheMainThread)
{
    struct Case {
        const char *name;
        HLJob::Work work;
        HLJobState::Outcome outcome;
        QString error;
    };
    const std::vector<Case> cases = {
        {"success", [](HLJobState &) { return true; }, HLJobState::Outcome::Succeeded, {}},
        {"failure with reason", [](HLJobState &s) { s.fail("disk full"); return false; },
         HLJobState::Outcome::Failed, "disk full"},
        {"failure without reason", [](HLJobState &) { return false; }, HLJobState::Outcome::Failed, "Failed"},
        {"reason but true", [](HLJobState &s) { s.fail("late error"); return true; },
         HLJobState::Outcome::Failed, "late error"},
        {"first reason kept", [](HLJobState &s) { s.fail("first"); s.fail("second"); return false; },
         HLJobState::Outcome::Failed, "first"},
        {"exception", [](HLJobState &) -> bool { throw std::runtime_error("bad size"); },
         HLJobState::Outcome::Failed, "bad size"},
        {"cancelled inside", [](HLJobState &s) { s.cancel(); return true; }, HLJobState::Outcome::Cancelled, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        HLJob job(c.work);
        std::atomic<bool> finished{false};
        bool onMain = false;
        HLJobState::Outcome seen = HLJobState::Outcome::Running;
        QString seenError;
        job.start([&](const HLJobState &state) {
            onMain = HLDispatch::isMainThread();
            seen = state.outcome();
            seenError = state.errorString();
            finished = true;
        });
        waitForFinish(finished);
        ASSERT_TRUE(finished);
        EXPECT_TRUE(onMain);
        EXPECT_EQ(seen, c.outcome);
        EXPECT_EQ(seenError, c.error);
        EXPECT_EQ(job.state().progress(), c.outcome == HLJobState::Outcome::Succeeded ? 1.0 : job.state().progress());
    }
}

TEST(HLJob, progressOnlyGrowsAndStaysWithinZeroAndOne)
{
    HLJobState state;
    const std::vector<std::pair<double, double>> steps = {
        {0.3, 0.3}, {0.2, 0.3}, {std::nan(""), 0.3}, {0.7, 0.7}, {-1, 0.7}, {5, 1.0}};
    for (auto [given, expected] : steps) {
        state.setProgress(given);
        EXPECT_EQ(state.progress(), expected) << given;
    }
}

TEST(HLJob, cancelStopsAPollingWorkAndDestroyingARunningJobWaitsForIt)
{
    std::atomic<bool> entered{false};
    std::atomic<bool> left{false};
    {
        HLJob job([&](HLJobState &state) {
            entered = true;
            while (!state.isCancelled())
                std::this_thread::yield();
            left = true;
            return true;
        });
        job.start();
        while (!entered)
            std::this_thread::yield();
        job.cancel();
        job.wait();
        EXPECT_EQ(job.state().outcome(), HLJobState::Outcome::Cancelled);
        EXPECT_TRUE(left);
    }
    std::atomic<bool> began{false};
    std::atomic<bool> ended{false};
    {
        HLJob job([&](HLJobState &state) {
            began = true;
            while (!state.isCancelled())
                std::this_thread::yield();
            ended = true;
            return true;
        });
        job.start();
        while (!began)
            std::this_thread::yield();
    }
    EXPECT_TRUE(ended);
}

TEST(HLJob, aJobCancelledBeforeItStartsNeverRunsItsWork)
{
    bool ran = false;
    HLJob job([&](HLJobState &) { ran = true; return true; });
    job.cancel();
    EXPECT_FALSE(job.runHere());
    EXPECT_FALSE(ran);
    EXPECT_EQ(job.state().outcome(), HLJobState::Outcome::Cancelled);
}

TEST(HLJob, startsOnlyOnce)
{
    HLJob job([](HLJobState &) { return true; });
    job.start();
    EXPECT_THROW(job.start(), std::logic_error);
    job.wait();
}

TEST(HLJob, aFinishOnTheJobThreadMayDestroyTheJob)
{
    auto job = std::make_unique<HLJob>([](HLJobState &state) { state.setProgress(0.5); return true; });
    std::atomic<bool> told{false};
    bool finishedWhenTold = false;
    std::thread::id finishThread;
    const std::shared_ptr<HLJobState> state = job->sharedState();
    job->start(
        [&](const HLJobState &s) {
            finishedWhenTold = s.isFinished();
            finishThread = std::this_thread::get_id();
            job.reset(); // what a delegate letting go of its converter does
            told = true;
        },
        HLJob::FinishOn::JobThread);
    ASSERT_TRUE(state->waitFinished(std::chrono::seconds(10)));
    while (!told)
        std::this_thread::yield();
    EXPECT_TRUE(finishedWhenTold);
    EXPECT_NE(finishThread, std::this_thread::get_id());
    EXPECT_EQ(job, nullptr);
    EXPECT_EQ(state->outcome(), HLJobState::Outcome::Succeeded);
}

TEST(HLJob, waitFinishedReturnsWhenTheStateIsFinalOrTheLimitHasPassed)
{
    std::atomic<bool> release{false};
    HLJob job([&](HLJobState &) {
        while (!release)
            std::this_thread::yield();
        return true;
    });
    job.start();
    EXPECT_FALSE(job.state().waitFinished(std::chrono::milliseconds(1)));
    release = true;
    EXPECT_TRUE(job.state().waitFinished(std::chrono::seconds(10)));
    EXPECT_TRUE(job.state().isFinished());
}
