#include "Platform/Foundation/HLJobMonitor.h"

#include "Platform/Foundation/HLJob.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

bool HLJobMonitor::run(HLJobState &state, double base, double weight, const std::function<double()> &progress,
                       const std::function<void()> &cancel, const std::function<bool()> &stage)
{
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    std::thread watcher([&] {
        bool cancelPassed = false;
        std::unique_lock lock(mutex);
        while (!finished) {
            state.setProgress(base + weight * progress());
            if (state.isCancelled() && !cancelPassed) {
                cancel();
                cancelPassed = true;
            }
            done.wait_for(lock, std::chrono::milliseconds(50));
        }
    });
    bool ok = false;
    try {
        ok = stage();
    } catch (...) {
        {
            std::lock_guard lock(mutex);
            finished = true;
        }
        done.notify_all();
        watcher.join();
        throw;
    }
    {
        std::lock_guard lock(mutex);
        finished = true;
    }
    done.notify_all();
    watcher.join();
    if (ok)
        state.setProgress(base + weight);
    return ok;
}
