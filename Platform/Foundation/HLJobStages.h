#pragma once

#include <atomic>
#include <functional>
#include <vector>

class HLJobState;

// The progress of a job made of stages run one after the other, each given its share of the
// whole: an export's sound pass then its movie pass, a disc's file system, image and burn.
// The job's progress is the shares of the stages before the running one plus the running
// stage's own progress times its share, so it never steps back from one stage to the next.
//
// A stage may be made of parts that run at the same time (a disc's menus are made while its
// titles convert): each part has a state of its own and weighs a part of the stage (the
// weights together at most 1); its progress moves the stage by its weight times as much as it
// grows, so parts side by side add up. Nothing is polled: a part's state reports each rise,
// and a cancel of the job reaches every part running then or later.
//
// begin, setProgress and end belong to the job's work, on its thread; follow and run may be
// called from any thread while the stage runs.
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

    // Waits until another job, run as a part of the running stage weighing weight, has ended.
    // True when it succeeded; its failure reason becomes this job's unless this job was
    // cancelled.
    bool follow(HLJobState &part, double weight = 1.0);
    // Runs work here as a part of the running stage weighing weight, on a fresh state work
    // reports into (complete when work returned true). Returns what work returned; when that is false, the part's reason becomes
    // this job's (unless this job was cancelled). An exception of work is passed on.
    bool run(double weight, const std::function<bool(HLJobState &part)> &work);

private:
    // Links part for the time of one call: its rises and this job's cancel.
    class Link;
    void p_partGrew(double rise);
    bool p_passOn(const HLJobState &part, bool ok);

    HLJobState &m_state;
    std::vector<double> m_shares;
    std::atomic<double> m_done{0}; // the shares of the stages before the running one
    std::atomic<size_t> m_running{0};
    std::atomic<double> m_parts{0}; // the running stage's parts' weighted progress
};
