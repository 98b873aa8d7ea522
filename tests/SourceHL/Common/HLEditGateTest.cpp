#include "SourceHL/Common/HLEditGate.h"

#include "SourceHL/Common/HLLastOperateQueue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>
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

// Nested edits are one change, announced once with every kind; bookkeeping (None) and an
// edit that throws announce nothing; only edits of the project count as generations.
TEST(HLEditGate, announcesEachChangeOnceAfterItsEdit)
{
    HLEditGate gate(std::make_shared<HLLastOperateQueue>());
    std::vector<HLChange::Kinds> heard;
    int value = 0;
    gate.subscribe([&](HLChange::Kinds kinds) {
        EXPECT_EQ(value % 10, 0) << "announced before the edit ended";
        heard.push_back(kinds);
    });
    gate.perform(HLChange::Structure, [&] {
        value = 5;
        gate.perform(HLChange::Timing, [&] { value = 9; });
        value = 10;
    });
    EXPECT_EQ(heard, (std::vector<HLChange::Kinds>{HLChange::Structure | HLChange::Timing}));
    EXPECT_EQ(gate.iGeneration(), 1u);

    gate.perform(HLChange::None, [&] { value = 20; });
    EXPECT_THROW(gate.perform(HLChange::Style, [&]() -> int { throw std::runtime_error("refused"); }),
                 std::runtime_error);
    EXPECT_EQ(heard.size(), 1u);
    gate.perform(HLChange::PlayHead, [&] { value = 30; });
    EXPECT_EQ(heard.back(), HLChange::PlayHead);
    EXPECT_EQ(gate.iGeneration(), 1u); // the play head is not an edit
    gate.perform(HLChange::Style, [&] { value = 40; });
    EXPECT_EQ(gate.iGeneration(), 2u);
}
