#pragma once

#include <chrono>
#include <functional>
#include <vector>

class HLJobState;

// The progress of a job made of stages run one after the other, each given its share of the
// whole: an export's sound pass then its movie pass, a disc's file system, image and burn.
// The job's progress is the shares of the stages before the running one plus the running
// stage's own progress times its share, so it never steps back from one stage to the next.
// Used by the job's work, on its thread.
class HLJobStages
{
public:
    // shares: each stage's part of the whole, in order; none negative, together at most 1.
    HLJobStages(HLJobState &state, std::vector<double> shares);

    // Enters stage index: the stages before it count as done, whether they ran or not.
    void begin(size_t index);
    // The running stage's own progress, 0 to 1.
    void setProgress(double progress);
    // The running stage is complete.
    void end() { setProgress(1.0); }

    // Watches another job run as the running stage until it has ended, every poll: its
    // progress moves this job's and a cancel of this job is handed on to it. True when it
    // succeeded; its failure reason becomes this job's unless this job was cancelled.
    bool follow(HLJobState &stage, std::chrono::milliseconds poll = std::chrono::milliseconds(50));

    // Runs work here as the running stage, for work that reports its own progress through a
    // getter and stops through its own cancel (a tool, a workflow): meanwhile a watcher copies
    // its progress into this job's every poll and hands a cancel of this job on to it. Returns
    // what work returned; complete progress when that is true.
    bool watch(const std::function<double()> &progress, const std::function<void()> &cancel,
               const std::function<bool()> &work, std::chrono::milliseconds poll = std::chrono::milliseconds(50));

private:
    HLJobState &m_state;
    std::vector<double> m_shares;
    double m_done = 0;    // the shares of the stages before the running one
    size_t m_running = 0;
};
