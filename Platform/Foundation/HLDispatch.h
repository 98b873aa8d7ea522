#pragma once

#include <functional>

// Where work runs: the main thread owns the model and the interface; long jobs run
// on the global thread pool and post what they change back to the main thread.
namespace HLDispatch {

// Runs job on the main thread (queued), or at once when the caller is the main thread
// and wait is true. With wait, returns after the job has run.
void onMain(std::function<void()> job, bool wait = false);

// Runs job on a pool thread; returns at once.
void inBackground(std::function<void()> job);

bool isMainThread();

} // namespace HLDispatch
