#pragma once

#include "Platform/Foundation/HLJob.h"

#include <QString>

class ConvertProgressWindowController;

// One long job the progress window runs under its modal window: a movie conversion, or a
// DVD folder, image or burn. The window runs the flow as an HLJob, shows its progress and
// status, passes Cancel on, and hands it the window again once the job has ended.
class ConvertProgressFlow
{
public:
    virtual ~ConvertProgressFlow() = default;

    // On the job's thread: does the whole job and returns when it has ended. Polls
    // state.isCancelled(); a failure calls state.fail(reason) and returns false.
    virtual bool run(HLJobState &state) = 0;
    // Main thread: the share of the whole job done, 0 to 1; what the job's state says, which
    // run reports into.
    virtual double progress(const HLJobState &state) const { return state.progress(); }
    // Main thread: Cancel was pressed. The job's state is cancelled as well, which reaches
    // every part linked to it; a flow whose work is not such a part stops it here.
    virtual void cancel() {}
    // Any thread: the burn step runs, which the status line names.
    virtual bool isBurning() const { return false; }
    // Main thread, after the window has closed: shows what the job left (reveals a result,
    // reports a failure). state is final.
    virtual void finish(ConvertProgressWindowController &window, const HLJobState &state) = 0;
};
