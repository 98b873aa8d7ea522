#include "Platform/Foundation/HLJob.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLDispatch.h"

#include <algorithm>
#include <cmath>
#include <exception>

void HLJobState::setProgress(double progress)
{
    if (!std::isfinite(progress))
        return;
    progress = std::clamp(progress, 0.0, 1.0);
    double current = m_progress.load();
    while (progress > current && !m_progress.compare_exchange_weak(current, progress)) {
    }
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
    m_outcome = outcome;
}

HLJob::HLJob(Work work)
    : m_work(std::move(work))
{
    HL_ASSERT(m_work, "wrong para");
}

HLJob::~HLJob()
{
    cancel();
    wait();
}

void HLJob::start(Finish onFinish)
{
    HL_ASSERT(!m_started.exchange(true), "wrong para");
    m_thread = std::thread([this, onFinish = std::move(onFinish)] { p_run(onFinish); });
}

bool HLJob::runHere(Finish onFinish)
{
    HL_ASSERT(!m_started.exchange(true), "wrong para");
    p_run(std::move(onFinish));
    return m_state->outcome() == HLJobState::Outcome::Succeeded;
}

void HLJob::wait()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

void HLJob::p_run(Finish onFinish)
{
    bool succeeded = false;
    if (!m_state->isCancelled()) {
        try {
            succeeded = m_work(*m_state);
        } catch (const std::exception &e) {
            m_state->fail(QString::fromUtf8(e.what()));
        } catch (...) {
            m_state->fail(QStringLiteral("Failed"));
        }
    }
    m_state->finish(succeeded);
    if (onFinish) {
        // The state outlives the job object, so a finish posted after the job is gone still
        // reads what it ended with.
        HLDispatch::onMain([state = m_state, onFinish = std::move(onFinish)] { onFinish(*state); });
    }
}
