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
