#include "dvd/DVDTaskProgress.h"

#include "Frameworks/Trevanel/DVDTask.h"

double DVDTaskProgress::progress(double total) const
{
    const Running running = m_running.get();
    const double current = running.task ? running.runningWeight * running.task->progress() : 0.0;
    return (running.doneWeight + current) / total;
}

void DVDTaskProgress::cancel()
{
    m_cancelled = true;
    if (const auto task = m_running.get().task)
        task->cancel();
}

void DVDTaskProgress::begin(const std::shared_ptr<DVDTask> &task, double weight)
{
    Running running = m_running.get();
    running.task = task;
    running.runningWeight = weight;
    m_running.set(running);
    // A cancel between the caller's check and the publication still reaches the task.
    if (m_cancelled)
        task->cancel();
}

void DVDTaskProgress::end()
{
    Running running = m_running.get();
    running.task = nullptr;
    running.doneWeight += running.runningWeight;
    running.runningWeight = 0;
    m_running.set(running);
}

void DVDTaskProgress::restart()
{
    m_running.set({});
}

bool DVDTaskProgress::fail(const QString &reason)
{
    std::lock_guard lock(m_mutex);
    if (m_error.isEmpty())
        m_error = reason.isEmpty() ? QStringLiteral("Failed") : reason;
    return false;
}

QString DVDTaskProgress::errorString() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}
