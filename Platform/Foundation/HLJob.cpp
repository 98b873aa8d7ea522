#include "Platform/Foundation/HLJob.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLDispatch.h"
#include "Platform/Foundation/HLThreads.h"

#include <algorithm>
#include <cmath>
#include <exception>

void HLJobState::setProgress(double progress)
{
    if (!std::isfinite(progress))
        return;
    progress = std::clamp(progress, 0.0, 1.0);
    // Under the lock that links, so each rise is either before a link (and counted by it) or
    // handed on.
    std::lock_guard lock(m_reportMutex);
    const double current = m_progress.load();
    if (progress <= current)
        return;
    m_progress = progress;
    if (m_grown)
        m_grown(progress - current);
}

void HLJobState::cancel()
{
    m_cancelled = true;
    std::lock_guard lock(m_partsMutex);
    for (HLJobState *part : m_parts)
        part->cancel();
}

double HLJobState::p_reportTo(std::function<void(double rise)> grown)
{
    std::lock_guard lock(m_reportMutex);
    m_grown = std::move(grown);
    return m_progress.load();
}

void HLJobState::p_addPart(HLJobState *part)
{
    std::lock_guard lock(m_partsMutex);
    m_parts.push_back(part);
    // A cancel before the link still reaches the part.
    if (m_cancelled)
        part->cancel();
}

void HLJobState::p_removePart(HLJobState *part)
{
    std::lock_guard lock(m_partsMutex);
    std::erase(m_parts, part);
}

void HLJobState::fail(const QString &reason)
{
    std::lock_guard lock(m_mutex);
    if (m_error.isEmpty())
        m_error = reason.isEmpty() ? QStringLiteral("Failed") : reason;
}

QString HLJobState::errorString() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

bool HLJobState::waitFinished(std::chrono::milliseconds limit) const
{
    std::unique_lock lock(m_mutex);
    return m_finished.wait_for(lock, limit, [this] { return isFinished(); });
}

void HLJobState::waitFinished() const
{
    std::unique_lock lock(m_mutex);
    m_finished.wait(lock, [this] { return isFinished(); });
}

void HLJobState::finish(bool workSucceeded)
{
    Outcome outcome = Outcome::Succeeded;
    if (isCancelled())
        outcome = Outcome::Cancelled;
    else if (!workSucceeded || !errorString().isEmpty()) {
        fail(QString());
        outcome = Outcome::Failed;
    } else
        setProgress(1.0);
    {
        std::lock_guard lock(m_mutex);
        m_outcome = outcome;
    }
    m_finished.notify_all();
}

HLJob::HLJob(Work work)
    : m_work(std::move(work))
{
    HL_ASSERT(m_work, "wrong para");
}

HLJob::~HLJob()
{
    cancel();
    {
        // A finish on the job thread may come here before start() has stored the thread.
        std::lock_guard lock(m_threadMutex);
        if (m_thread.joinable() && m_thread.get_id() == std::this_thread::get_id())
            m_thread.detach(); // destroyed by its own finish: the thread ends on its own
    }
    wait();
}

void HLJob::start(Finish onFinish, FinishOn where)
{
    HL_ASSERT(!m_started.exchange(true), "wrong para");
    std::lock_guard lock(m_threadMutex);
    m_thread = std::thread([work = m_work, state = m_state, onFinish = std::move(onFinish), where] {
        HLThreads::becomeBackground();
        p_run(work, state, onFinish, where);
    });
}

bool HLJob::runHere(Finish onFinish)
{
    HL_ASSERT(!m_started.exchange(true), "wrong para");
    p_run(m_work, m_state, onFinish, FinishOn::MainThread);
    return m_state->outcome() == HLJobState::Outcome::Succeeded;
}

void HLJob::wait()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void HLJob::p_run(const Work &work, const std::shared_ptr<HLJobState> &state, const Finish &onFinish,
                  FinishOn where)
{
    bool succeeded = false;
    if (!state->isCancelled()) {
        try {
            succeeded = work(*state);
        } catch (const std::exception &e) {
            state->fail(QString::fromUtf8(e.what()));
        } catch (...) {
            state->fail(QStringLiteral("Failed"));
        }
    }
    state->finish(succeeded);
    if (!onFinish)
        return;
    if (where == FinishOn::JobThread) {
        onFinish(*state);
        return;
    }
    // The state outlives the job object, so a finish posted after the job is gone still reads
    // what it ended with.
    HLDispatch::onMain([state, onFinish] { onFinish(*state); });
}
