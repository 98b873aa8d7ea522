#include "Platform/Imaging/ParallelRows.h"

#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
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

// Inside a serial scope a call is one band on the calling thread; nested scopes keep the outer
// one in force, and once the outermost ends, large calls are split again.
TEST(ParallelRows, aSerialScopeRunsEveryBandOnItsThread)
{
    using Bands = std::vector<std::pair<int, int>>;
    struct Call
    {
        Bands bands;
        bool elsewhere = false; // a band ran on another thread
    };
    auto call = [] {
        Call result;
        std::mutex mutex;
        const std::thread::id caller = std::this_thread::get_id();
        ImagingThreads::forEachBand(3000, 4000, [&](int begin, int end) {
            std::lock_guard lock(mutex);
            result.bands.emplace_back(begin, end);
            result.elsewhere = result.elsewhere || std::this_thread::get_id() != caller;
        });
        return result;
    };
    {
        const ImagingThreads::SerialBands outer;
        Call inside = call();
        EXPECT_EQ(inside.bands, (Bands{{0, 3000}}));
        EXPECT_FALSE(inside.elsewhere);
        {
            const ImagingThreads::SerialBands inner;
        }
        inside = call();
        EXPECT_EQ(inside.bands, (Bands{{0, 3000}}));
        EXPECT_FALSE(inside.elsewhere);
    }
    if (QThread::idealThreadCount() > 1) {
        EXPECT_GT(call().bands.size(), 1u);
    }
}
