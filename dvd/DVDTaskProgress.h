#pragma once

#include "Platform/Foundation/HLAtomicProperty.h"

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

class DVDTask;

// The progress of a DVD step made of weighted parts: the running part and the weight already
// done are published together, so another thread reads a consistent pair; a cancel reaches
// the running part, also one that begins after it; the first failure is kept as the reason.
class DVDTaskProgress
{
public:
    // (done + running weight × its progress) / total.
    double progress(double total) const;
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }

    // task runs now as a part of weight.
    void begin(const std::shared_ptr<DVDTask> &task, double weight);
    // The running part is over; its weight counts as done.
    void end();
    // Back to nothing done, for the next stage.
    void restart();

    // Keeps the first reason; always false, so failing steps can return it.
    bool fail(const QString &reason);
    QString errorString() const;

private:
    struct Running
    {
        std::shared_ptr<DVDTask> task;
        double doneWeight = 0;
        double runningWeight = 0;
    };

    HLAtomicProperty<Running> m_running;
    std::atomic<bool> m_cancelled{false};
    mutable std::mutex m_mutex;
    QString m_error;
};
