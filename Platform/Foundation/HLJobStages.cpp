#include "Platform/Foundation/HLJobStages.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLJob.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <numeric>
#include <thread>

HLJobStages::HLJobStages(HLJobState &state, std::vector<double> shares)
    : m_state(state), m_shares(std::move(shares))
{
    HL_ASSERT(!m_shares.empty(), "wrong para");
    HL_ASSERT(std::all_of(m_shares.begin(), m_shares.end(), [](double share) { return share >= 0; }), "wrong para");
    HL_ASSERT(std::accumulate(m_shares.begin(), m_shares.end(), 0.0) <= 1.0 + 1e-9, "wrong para");
}

void HLJobStages::begin(size_t index)
{
    HL_ASSERT(index < m_shares.size() && index >= m_running, "wrong index");
    m_done = std::accumulate(m_shares.begin(), m_shares.begin() + std::ptrdiff_t(index), 0.0);
    m_running = index;
    m_state.setProgress(m_done);
}

void HLJobStages::setProgress(double progress)
{
    m_state.setProgress(m_done + std::clamp(progress, 0.0, 1.0) * m_shares[m_running]);
}

bool HLJobStages::follow(HLJobState &stage, std::chrono::milliseconds poll)
{
    for (bool ended = false; !ended;) {
        if (m_state.isCancelled())
            stage.cancel();
        ended = stage.waitFinished(poll);
        setProgress(stage.progress());
    }
    if (stage.outcome() == HLJobState::Outcome::Succeeded)
        return true;
    if (!m_state.isCancelled()) {
        const QString reason = stage.errorString();
        m_state.fail(reason.isEmpty() ? QStringLiteral("Cancelled") : reason);
    }
    return false;
}

bool HLJobStages::watch(const std::function<double()> &progress, const std::function<void()> &cancel,
                        const std::function<bool()> &work, std::chrono::milliseconds poll)
{
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    std::thread watcher([&] {
        bool cancelPassed = false;
        std::unique_lock lock(mutex);
        while (!finished) {
            setProgress(progress());
            if (m_state.isCancelled() && !cancelPassed) {
                cancel();
                cancelPassed = true;
            }
            ended.wait_for(lock, poll);
        }
    });
    // The watcher ends before this returns or throws: it uses work's own objects.
    const auto stopWatcher = [&] {
        {
            std::lock_guard lock(mutex);
            finished = true;
        }
        ended.notify_all();
        watcher.join();
    };
    bool ok = false;
    try {
        ok = work();
    } catch (...) {
        stopWatcher();
        throw;
    }
    stopWatcher();
    if (ok)
        end();
    return ok;
}
