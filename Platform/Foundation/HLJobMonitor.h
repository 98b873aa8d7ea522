#pragma once

#include <functional>

class HLJobState;

// Runs one stage of a job whose work reports its own progress through a getter and stops
// through its own cancel (a tool, a converter): while the stage runs on the calling thread,
// a watcher copies base + weight × progress into the job's state and passes a cancel of the
// job on to the stage.
class HLJobMonitor
{
public:
    static bool run(HLJobState &state, double base, double weight, const std::function<double()> &progress,
                    const std::function<void()> &cancel, const std::function<bool()> &stage);
};
