#include "SourceHL/Common/HLLastOperateQueue.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLThreads.h"
#include "SourceHL/Common/HLMachTime.h"

#include <QDebug>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

// Shared by the queue object and its worker thread, so the worker can outlive the object
// when the object is destroyed from inside a job.
struct HLLastOperateQueue::State
{
    struct Operation
    {
        std::function<void()> job;
        quint64 stamp;
    };

    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Operation> pending;
    bool running = false;
    bool stopping = false;
    std::atomic<quint64> iTimestamp{0};
    std::thread worker;

    void run();
};

void HLLastOperateQueue::State::run()
{
    std::unique_lock lock(mutex);
    for (;;) {
        changed.wait(lock, [this] { return stopping || !pending.empty(); });
        if (stopping)
            return;
        Operation operation = std::move(pending.front());
        pending.pop_front();
        if (operation.stamp != iTimestamp.load()) {
            // Overtaken: dropped unrun. Its captures may hold the last reference to the queue
            // object, so it is released outside the lock.
            lock.unlock();
            operation = {};
            lock.lock();
            changed.notify_all();
            continue;
        }
        running = true;
        lock.unlock();
        try {
            operation.job();
        } catch (const std::exception &error) {
            qWarning("HLLastOperateQueue: a job failed: %s", error.what());
        } catch (...) {
            qWarning("HLLastOperateQueue: a job failed");
        }
        operation = {};
        lock.lock();
        running = false;
        changed.notify_all();
    }
}

HLLastOperateQueue::HLLastOperateQueue()
    : m_state(std::make_shared<State>())
{
    m_state->worker = std::thread([state = m_state] {
        HLThreads::becomeBackground();
        state->run();
    });
}

HLLastOperateQueue::~HLLastOperateQueue()
{
    std::deque<State::Operation> dropped;
    {
        std::unique_lock lock(m_state->mutex);
        m_state->stopping = true;
        dropped.swap(m_state->pending);
        m_state->changed.notify_all();
    }
    dropped.clear(); // may release objects that own other queues: outside the lock
    if (m_state->worker.get_id() == std::this_thread::get_id())
        m_state->worker.detach(); // inside the running job: it ends once the job returns
    else
        m_state->worker.join();
}

void HLLastOperateQueue::add(std::function<void()> job)
{
    std::unique_lock lock(m_state->mutex);
    // Stamps grow strictly, so two offers in the same tick cannot both look newest.
    const quint64 last = m_state->iTimestamp.load();
    const quint64 now = HLMachTime::machTime();
    const quint64 stamp = now > last ? now : last + 1;
    m_state->iTimestamp.store(stamp);
    if (!job)
        return;
    m_state->pending.push_back({std::move(job), stamp});
    m_state->changed.notify_all();
}

void HLLastOperateQueue::wait()
{
    HL_ASSERT(m_state->worker.get_id() != std::this_thread::get_id(), "wrong para");
    std::unique_lock lock(m_state->mutex);
    m_state->changed.wait(lock, [this] { return m_state->pending.empty() && !m_state->running; });
}

void HLLastOperateQueue::cancel()
{
    std::deque<State::Operation> dropped;
    {
        std::unique_lock lock(m_state->mutex);
        dropped.swap(m_state->pending);
        m_state->changed.notify_all();
    }
}

quint64 HLLastOperateQueue::iTimestamp() const
{
    return m_state->iTimestamp.load();
}
