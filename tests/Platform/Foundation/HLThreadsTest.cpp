#include "Platform/Foundation/HLThreads.h"

#include "Platform/Foundation/HLJob.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <thread>

namespace {

int policyOfThisThread()
{
    return sched_getscheduler(0);
}

} // namespace

TEST(HLThreads, aBackgroundThreadAndTheThreadsItStartsNeverPreemptOnWaking)
{
    int own = -1, started = -1;
    std::thread([&] {
        HLThreads::becomeBackground();
        own = policyOfThisThread();
        // A library's own threads (a decoder's, the painter's pool) start from ours like this.
        std::thread([&] { started = policyOfThisThread(); }).join();
    }).join();
    EXPECT_EQ(own, SCHED_BATCH);
    EXPECT_EQ(started, SCHED_BATCH);
    EXPECT_EQ(policyOfThisThread(), SCHED_OTHER) << "the calling thread keeps its policy";
}

TEST(HLThreads, aJobRunsInTheBackground)
{
    int policy = -1;
    HLJob job([&](HLJobState &) {
        policy = policyOfThisThread();
        return true;
    });
    job.start([](const HLJobState &) {}, HLJob::FinishOn::JobThread);
    job.wait();
    EXPECT_EQ(policy, SCHED_BATCH);
}
