#include "Platform/Foundation/HLJobStages.h"

#include "Platform/Foundation/HLJob.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <thread>

using namespace std::chrono_literals;

TEST(HLJobStages, eachStageMovesTheJobAcrossItsShareOnly)
{
    HLJobState state;
    HLJobStages stages(state, {0.1, 0.5, 0.39});
    stages.setProgress(0.5);
    EXPECT_DOUBLE_EQ(state.progress(), 0.05);
    stages.end();
    EXPECT_DOUBLE_EQ(state.progress(), 0.1);
    stages.begin(1);
    stages.setProgress(0.2);
    EXPECT_DOUBLE_EQ(state.progress(), 0.2);
    stages.setProgress(7); // a stage never reaches into the next one's share
    EXPECT_DOUBLE_EQ(state.progress(), 0.6);
    stages.setProgress(0.1); // nor steps back
    EXPECT_DOUBLE_EQ(state.progress(), 0.6);
    stages.begin(2);
    EXPECT_DOUBLE_EQ(state.progress(), 0.6);
    stages.end();
    EXPECT_DOUBLE_EQ(state.progress(), 0.99);
}

TEST(HLJobStages, aSkippedStageCountsAsDoneAndStagesGoForwardOnly)
{
    HLJobState state;
    HLJobStages stages(state, {0.5, 0.05, 0.45}); // file system, image, burn
    stages.begin(2);
    EXPECT_DOUBLE_EQ(state.progress(), 0.55);
    EXPECT_THROW(stages.begin(1), std::logic_error);
    EXPECT_THROW(stages.begin(3), std::logic_error);
}

TEST(HLJobStages, refusesSharesThatAreNoPartsOfAWhole)
{
    HLJobState state;
    EXPECT_THROW(HLJobStages(state, {}), std::logic_error);
    EXPECT_THROW(HLJobStages(state, {0.5, -0.1}), std::logic_error);
    EXPECT_THROW(HLJobStages(state, {0.6, 0.5}), std::logic_error);
}

// A job whose work waits for the test's word at each step, so the test drives it.
class SteppedJob
{
public:
    SteppedJob()
        : job([this](HLJobState &state) {
              for (int step = 1; step <= 4; ++step) {
                  while (allowed < step) {
                      if (state.isCancelled())
                          return false;
                      std::this_thread::yield();
                  }
                  if (failAt == step) {
                      state.fail("disc full");
                      return false;
                  }
                  state.setProgress(step / 4.0);
                  reached = step;
              }
              return true;
          })
    {
    }

    std::atomic<int> allowed{0};
    std::atomic<int> reached{0};
    int failAt = 0;
    HLJob job;
};

TEST(HLJobStages, followingAJobCarriesItsProgressAndItsOutcome)
{
    HLJobState outer;
    HLJobStages stages(outer, {0.2, 0.8});
    stages.begin(1);
    SteppedJob inner;
    inner.job.start();
    std::thread watcher([&] { EXPECT_TRUE(stages.follow(*inner.job.sharedState())); });
    for (int step = 1; step <= 2; ++step) {
        inner.allowed = step;
        while (outer.progress() < 0.2 + 0.8 * step / 4.0 - 1e-9)
            std::this_thread::yield();
    }
    inner.allowed = 4;
    watcher.join();
    EXPECT_DOUBLE_EQ(outer.progress(), 1.0);
    EXPECT_TRUE(outer.errorString().isEmpty());
}

TEST(HLJobStages, aCancelReachesTheFollowedJobAndItsFailureReachesTheOuterJob)
{
    {
        HLJobState outer;
        HLJobStages stages(outer, {1.0});
        SteppedJob inner;
        inner.job.start();
        outer.cancel();
        EXPECT_FALSE(stages.follow(*inner.job.sharedState()));
        EXPECT_EQ(inner.job.state().outcome(), HLJobState::Outcome::Cancelled);
        EXPECT_TRUE(outer.errorString().isEmpty()); // a cancel is no failure
    }
    {
        HLJobState outer;
        HLJobStages stages(outer, {1.0});
        SteppedJob inner;
        inner.failAt = 2;
        inner.allowed = 4;
        inner.job.start();
        EXPECT_FALSE(stages.follow(*inner.job.sharedState()));
        EXPECT_EQ(outer.errorString(), "disc full");
        EXPECT_DOUBLE_EQ(outer.progress(), 0.25);
    }
}

// A part that runs here and reports into its own state, as a tool does: its progress reaches
// the job and the job's cancel reaches it.
TEST(HLJobStages, runningWorkCarriesItsProgressAndPassesACancelOn)
{
    HLJobState outer;
    HLJobStages stages(outer, {0.5, 0.5});
    stages.begin(1);
    std::atomic<bool> stopped{false};
    std::thread canceller([&] {
        while (outer.progress() < 0.5 + 0.5 * 0.4 - 1e-9)
            std::this_thread::yield();
        outer.cancel();
    });
    const bool ok = stages.run(1.0, [&](HLJobState &part) {
        part.setProgress(0.4);
        while (!part.isCancelled())
            std::this_thread::yield();
        stopped = true;
        return false;
    });
    canceller.join();
    EXPECT_FALSE(ok);
    EXPECT_TRUE(stopped);
    EXPECT_LT(outer.progress(), 1.0);

    HLJobState whole;
    HLJobStages single(whole, {1.0});
    EXPECT_TRUE(single.run(1.0, [](HLJobState &part) {
        part.setProgress(0.3);
        return true;
    }));
    EXPECT_DOUBLE_EQ(whole.progress(), 1.0);
    EXPECT_THROW(single.run(1.0, [](HLJobState &) -> bool { throw std::runtime_error("tool died"); }),
                 std::runtime_error);
}

// Parts that run at once add up within their stage, whatever order their rises come in, and
// a part's failure becomes the job's reason.
TEST(HLJobStages, partsSideBySideAddUpAndTheFirstFailureIsTheReason)
{
    HLJobState outer;
    HLJobStages stages(outer, {0.5, 0.5});
    stages.begin(1);
    SteppedJob titles;
    titles.job.start();
    std::thread menus([&] {
        EXPECT_TRUE(stages.run(0.25, [&](HLJobState &part) {
            part.setProgress(0.5);
            titles.allowed = 2; // the titles go on while the menu is half made
            while (titles.reached < 2)
                std::this_thread::yield();
            return true;
        }));
    });
    std::thread follower([&] { EXPECT_TRUE(stages.follow(*titles.job.sharedState(), 0.75)); });
    menus.join();
    // menu 0.25 × 1, titles 0.75 × 2/4, of the second half; the follower may link late
    const double both = 0.5 + 0.5 * (0.25 + 0.75 * 0.5);
    while (outer.progress() < both - 1e-9)
        std::this_thread::yield();
    EXPECT_DOUBLE_EQ(outer.progress(), both);
    titles.allowed = 4;
    follower.join();
    EXPECT_DOUBLE_EQ(outer.progress(), 1.0);

    HLJobState failing;
    HLJobStages one(failing, {1.0});
    EXPECT_FALSE(one.run(0.5, [](HLJobState &part) {
        part.fail("disc full");
        return false;
    }));
    EXPECT_EQ(failing.errorString(), "disc full");
    EXPECT_THROW(HLJobStages(failing, {1.0}).run(1.5, [](HLJobState &) { return true; }), std::logic_error);
}
