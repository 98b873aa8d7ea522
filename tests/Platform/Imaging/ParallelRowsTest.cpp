#include "Platform/Imaging/ParallelRows.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

TEST(ParallelRows, coversEveryRowOnce)
{
    std::vector<std::atomic<int>> visits(5000);
    ImagingThreads::forEachBand(5000, 4000, [&](int begin, int end) {
        for (int y = begin; y < end; ++y)
            ++visits[y];
    });
    for (const auto &count : visits)
        ASSERT_EQ(count, 1);
}

TEST(ParallelRows, aThrowingBandRethrowsOnlyAfterEveryBandHasEnded)
{
    std::atomic<int> running{0};
    std::atomic<int> ended{0};
    EXPECT_THROW(ImagingThreads::forEachBand(4000, 4000,
                                             [&](int begin, int) {
                                                 ++running;
                                                 if (begin == 0)
                                                     throw std::runtime_error("band failed");
                                                 std::this_thread::sleep_for(std::chrono::milliseconds(5));
                                                 --running;
                                                 ++ended;
                                             }),
                 std::runtime_error);
    // Nothing may still be working on the caller's data once the call has returned.
    EXPECT_EQ(running, 1); // only the band that threw never decremented
    EXPECT_GT(ended, 0);
}

// Export workers filter at the same time: each call still covers its own rows exactly once,
// however the helper threads are shared out between the calls, and nested calls finish too.
TEST(ParallelRows, callsFromSeveralThreadsAtOnceEachCoverTheirRows)
{
    constexpr int callers = 4, rounds = 50, rows = 600;
    std::vector<std::vector<std::atomic<int>>> visits(callers);
    for (auto &rowsOfCaller : visits)
        rowsOfCaller = std::vector<std::atomic<int>>(rows);
    std::vector<std::thread> threads;
    for (int c = 0; c < callers; ++c) {
        threads.emplace_back([&, c] {
            for (int round = 0; round < rounds; ++round) {
                ImagingThreads::forEachBand(rows, 4000, [&](int begin, int end) {
                    for (int y = begin; y < end; ++y)
                        ++visits[size_t(c)][size_t(y)];
                    if (round % 10 == 0) // a band that shares out work of its own
                        ImagingThreads::forEachBand(64, 4000, [](int, int) {});
                });
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    for (const auto &rowsOfCaller : visits)
        for (const auto &count : rowsOfCaller)
            ASSERT_EQ(count, rounds);
}
