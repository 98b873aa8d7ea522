#pragma once

#include <QtGlobal>

#include <functional>
#include <memory>

// Runs background jobs one at a time on its own worker thread and skips every job that a
// newer one has overtaken before it could start, so a slow preview render never works
// through a backlog of stale frames. A started job always runs to its end.
//
// Destroying the queue cancels what has not started and waits for the running job, except
// when the destruction happens inside that job (its last reference dropped on the worker):
// then the worker finishes on its own instead of waiting for itself.
class HLLastOperateQueue
{
public:
    HLLastOperateQueue();
    ~HLLastOperateQueue();
    HLLastOperateQueue(const HLLastOperateQueue &) = delete;
    HLLastOperateQueue &operator=(const HLLastOperateQueue &) = delete;

    // Offers a job; every job offered earlier and not yet started becomes stale. An empty
    // job only makes the earlier ones stale.
    void add(std::function<void()> job);
    // Blocks until no job is running or pending. Must not be called from a job.
    void wait();
    // Drops the jobs that have not started; a running job goes on to its end.
    void cancel();

    // The stamp of the most recent offer (monotonic clock ticks, strictly increasing).
    quint64 iTimestamp() const;

private:
    struct State;
    std::shared_ptr<State> m_state;
};
