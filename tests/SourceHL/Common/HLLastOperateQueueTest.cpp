#include "SourceHL/Common/HLLastOperateQueue.h"

#include "Platform/Foundation/HLAssert.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

// Holds the worker in a job until released.
class Gate
{
public:
    void pass() { m_open.get_future().wait(); }
    void open() { m_open.set_value(); }
    // Blocks until the job holding the gate has started.
    void waitEntered() { m_entered.get_future().wait(); }
    void enter() { m_entered.set_value(); }

private:
    std::promise<void> m_open;
    std::promise<void> m_entered;
};

std::function<void()> blockingJob(Gate &gate)
{
    return [&gate] {
        gate.enter();
        gate.pass();
    };
}

} // namespace

TEST(HLLastOperateQueue, OnlyTheLastJobOfferedWhileBusyRuns)
{
    HLLastOperateQueue queue;
    Gate gate;
    queue.add(blockingJob(gate));
    gate.waitEntered();

    std::vector<int> ran;
    std::mutex mutex;
    for (int i = 1; i <= 3; ++i)
        queue.add([&, i] {
            std::lock_guard lock(mutex);
            ran.push_back(i);
        });
    gate.open();
    queue.wait();
    EXPECT_EQ(ran, std::vector<int>{3});

    // Idle again: a new job starts at once.
    std::promise<void> started;
    queue.add([&] { started.set_value(); });
    EXPECT_EQ(started.get_future().wait_for(5s), std::future_status::ready);
    queue.wait();
}

TEST(HLLastOperateQueue, AnEmptyOfferMakesPendingJobsStale)
{
    HLLastOperateQueue queue;
    Gate gate;
    queue.add(blockingJob(gate));
    gate.waitEntered();
    std::atomic<bool> ran{false};
    queue.add([&] { ran = true; });
    const quint64 before = queue.iTimestamp();
    queue.add(nullptr);
    EXPECT_GT(queue.iTimestamp(), before);
    gate.open();
    queue.wait();
    EXPECT_FALSE(ran);
}

TEST(HLLastOperateQueue, FloodFromManyThreadsRunsOneJobAtATimeAndTheLastOneAlways)
{
    HLLastOperateQueue queue;
    std::atomic<int> inFlight{0};
    std::atomic<int> overlaps{0};
    std::atomic<int> runs{0};
    std::atomic<bool> lastRan{false};

    // While the worker is held, a flood from eight threads leaves exactly one job to run.
    Gate gate;
    queue.add(blockingJob(gate));
    gate.waitEntered();
    auto flood = [&](int perThread) {
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([&] {
                for (int i = 0; i < perThread; ++i)
                    queue.add([&] {
                        if (inFlight.fetch_add(1) != 0)
                            ++overlaps;
                        ++runs;
                        std::this_thread::sleep_for(50us);
                        inFlight.fetch_sub(1);
                    });
            });
        for (auto &thread : threads)
            thread.join();
    };
    flood(200);
    gate.open();
    queue.wait();
    EXPECT_EQ(runs.load(), 1);

    // With the worker free, some run, never two at once, and the last offer always runs.
    runs = 0;
    flood(200);
    queue.add([&] { lastRan = true; });
    queue.wait();
    EXPECT_TRUE(lastRan);
    EXPECT_LT(runs.load(), 1600);
    EXPECT_EQ(overlaps.load(), 0);
}

TEST(HLLastOperateQueue, WaitCoversTheRunningJobAndCancelDropsPendingOnes)
{
    HLLastOperateQueue queue;
    Gate gate;
    std::atomic<bool> firstDone{false};
    queue.add([&] {
        gate.enter();
        gate.pass();
        std::this_thread::sleep_for(20ms);
        firstDone = true;
    });
    gate.waitEntered();
    std::atomic<bool> pendingRan{false};
    queue.add([&] { pendingRan = true; });
    queue.cancel();
    gate.open();
    queue.wait();
    EXPECT_TRUE(firstDone);
    EXPECT_FALSE(pendingRan);
}

TEST(HLLastOperateQueue, WaitFromInsideAJobIsRefused)
{
    HLLastOperateQueue queue;
    std::promise<bool> refused;
    queue.add([&] {
        try {
            queue.wait();
            refused.set_value(false);
        } catch (const HLAssertionFailure &) {
            refused.set_value(true);
        }
    });
    auto answer = refused.get_future();
    ASSERT_EQ(answer.wait_for(5s), std::future_status::ready);
    EXPECT_TRUE(answer.get());
    queue.wait();
}

TEST(HLLastOperateQueue, PendingJobsDoNotRunAfterTheQueueIsDestroyed)
{
    auto queue = std::make_unique<HLLastOperateQueue>();
    Gate gate;
    queue->add(blockingJob(gate));
    gate.waitEntered();
    std::atomic<bool> pendingRan{false};
    queue->add([&] { pendingRan = true; });

    // The destructor waits for the running job, so the gate opens from elsewhere.
    std::thread opener([&] {
        std::this_thread::sleep_for(200ms);
        gate.open();
    });
    queue.reset();
    opener.join();
    EXPECT_FALSE(pendingRan);
}

TEST(HLLastOperateQueue, DestroyedFromItsOwnWorkerWithoutDeadlock)
{
    struct Notifier
    {
        std::promise<void> gone;
        ~Notifier() { gone.set_value(); }
    };
    // Members go in reverse order: the queue first, then the notifier reports.
    struct Owner
    {
        Notifier notifier;
        HLLastOperateQueue queue;
    };

    // The last reference to the queue's owner goes with the job that ran, or with a stale
    // job dropped after it; both happen on the worker thread.
    for (const bool lastInStaleJob : {false, true}) {
        SCOPED_TRACE(lastInStaleJob ? "stale job" : "running job");
        auto owner = std::make_shared<Owner>();
        auto gone = owner->notifier.gone.get_future();
        Gate gate;
        std::atomic<bool> pendingRan{false};
        owner->queue.add([&gate, keep = owner] {
            gate.enter();
            gate.pass();
        });
        gate.waitEntered();
        if (lastInStaleJob) {
            owner->queue.add([&pendingRan, keep = owner] { pendingRan = true; });
            owner->queue.add(nullptr);
        }
        owner.reset();
        gate.open();
        ASSERT_EQ(gone.wait_for(5s), std::future_status::ready);
        EXPECT_FALSE(pendingRan);
    }
}
