#include "dvd/DVDTaskProgress.h"

#include "Frameworks/Trevanel/DVDTask.h"

#include <algorithm>

double DVDTaskProgress::progress(double total) const
{
    const Running running = m_running.get();
    double done = running.doneWeight;
    for (const Part &part : running.parts)
        done += part.weight * part.task->progress();
    return done / total;
}

void DVDTaskProgress::cancel()
{
    m_cancelled = true;
    for (const Part &part : m_running.get().parts)
        part.task->cancel();
}

void DVDTaskProgress::begin(const std::shared_ptr<DVDTask> &task, double weight)
{
    {
        std::lock_guard lock(m_publishing);
        Running running = m_running.get();
        running.parts.push_back({task, weight});
        m_running.set(running);
    }
    // A cancel between the caller's check and the publication still reaches the task.
    if (m_cancelled)
        task->cancel();
}

void DVDTaskProgress::end(const std::shared_ptr<DVDTask> &task)
{
    std::lock_guard lock(m_publishing);
    Running running = m_running.get();
    const auto part = std::find_if(running.parts.begin(), running.parts.end(),
                                   [&](const Part &p) { return p.task == task; });
    if (part == running.parts.end())
        return;
    running.doneWeight += part->weight;
    running.parts.erase(part);
    m_running.set(running);
}

void DVDTaskProgress::restart()
{
    std::lock_guard lock(m_publishing);
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
