#pragma once

#include "Platform/Foundation/HLAtomicProperty.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

class DVDTask;

// The progress of a DVD step made of weighted parts, some of which may run at once: the
// running parts and the weight already done are published together, so another thread reads
// a consistent state; a cancel reaches every running part, also one that begins after it; the
// first failure is kept as the reason.
class DVDTaskProgress
{
public:
    // (done + running weight × its progress) / total.
    double progress(double total) const;
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }

    // task runs now as a part of weight.
    void begin(const std::shared_ptr<DVDTask> &task, double weight);
    // task is over; its weight counts as done.
    void end(const std::shared_ptr<DVDTask> &task);
    // Back to nothing done, for the next stage.
    void restart();

    // Keeps the first reason; always false, so failing steps can return it.
    bool fail(const QString &reason);
    QString errorString() const;

private:
    struct Part
    {
        std::shared_ptr<DVDTask> task;
        double weight = 0;
    };
    struct Running
    {
        std::vector<Part> parts;
        double doneWeight = 0;
    };

    std::mutex m_publishing; // one change of the running state at a time
    HLAtomicProperty<Running> m_running;
    std::atomic<bool> m_cancelled{false};
    mutable std::mutex m_mutex;
    QString m_error;
};
