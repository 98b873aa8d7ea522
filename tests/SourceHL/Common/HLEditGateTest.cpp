#include "SourceHL/Common/HLEditGate.h"

#include "SourceHL/Common/HLLastOperateQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

TEST(HLEditGate, anEditRunsOnlyAfterTheRunningPreviewJobEndedAndDropsPendingOnes)
{
    auto queue = std::make_shared<HLLastOperateQueue>();
    HLEditGate gate(queue);
    std::atomic<bool> started{false};
    std::atomic<bool> release{false};
    std::atomic<bool> running{false};
    std::atomic<bool> pendingRan{false};
    queue->add([&] {
        running = true;
        started = true;
        while (!release)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        running = false;
    });
    while (!started)
        std::this_thread::yield();
    queue->add([&] { pendingRan = true; });
    std::thread releaser([&] { release = true; });
    bool sawRunning = true;
    int answer = gate.perform(HLChange::Structure, [&] {
        sawRunning = running;
        return 42;
    });
    releaser.join();
    EXPECT_EQ(answer, 42);
    EXPECT_FALSE(sawRunning);
    queue->wait();
    EXPECT_FALSE(pendingRan);
}
