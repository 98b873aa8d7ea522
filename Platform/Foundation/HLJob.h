#pragma once

#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// What a running job and its watchers share: progress that only grows, a cancel request
// the work polls, and the reason of a failure. Every member may be called from any thread.
// A state may be a part of a larger job's (HLJobStages links it): its growth then moves the
// larger job's progress as it happens, and a cancel of the larger job reaches it.
class HLJobState
{
public:
    HLJobState() = default;
    HLJobState(const HLJobState &) = delete;
    HLJobState &operator=(const HLJobState &) = delete;

    enum class Outcome { Running, Succeeded, Failed, Cancelled };

    // 0 to 1. A value below the current one is ignored, so watchers never see it step back.
    double progress() const { return m_progress.load(); }
    void setProgress(double progress);

    // Also cancels the parts linked to this state.
    void cancel();
    bool isCancelled() const { return m_cancelled.load(); }
    // The flag itself, for waits that take a cancel token.
    const std::atomic<bool> &cancelToken() const { return m_cancelled; }

    // The first reason given is kept; later ones would only describe its consequences.
    void fail(const QString &reason);
    QString errorString() const;

    bool isFinished() const { return m_outcome.load() != Outcome::Running; }
    Outcome outcome() const { return m_outcome.load(); }
    // Blocks until the state is final or limit has passed; true when it is final.
    bool waitFinished(std::chrono::milliseconds limit) const;
    // Blocks until the state is final.
    void waitFinished() const;

private:
    friend class HLJob;
    friend class HLJobStages;
    void finish(bool workSucceeded);
    // grown receives each rise of the progress after the one returned; empty unlinks, after
    // which no call is under way.
    double p_reportTo(std::function<void(double rise)> grown);
    void p_addPart(HLJobState *part);
    void p_removePart(HLJobState *part);

    std::atomic<double> m_progress{0.0};
    std::atomic<bool> m_cancelled{false};
    std::atomic<Outcome> m_outcome{Outcome::Running};
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_finished;
    QString m_error;
    // Rises go up the chain of parts and cancels down it, each under a mutex of its own, so
    // the two never wait for each other.
    std::mutex m_reportMutex;
    std::function<void(double rise)> m_grown;
    std::mutex m_partsMutex;
    std::vector<HLJobState *> m_parts;
};

// The one shape of every long job (conversion, export, each disc-authoring stage, save, open,
// import): started once, its work on a thread of its own, progress, cancel and an error with
// its reason through HLJobState, and a finish delivered on the main thread.
//
// The work returns true on success; returning false without a reason fails with "Failed".
// A job cancelled before its work returned ends Cancelled whatever the work answered, and an
// exception thrown by the work fails the job with its message instead of ending the program.
class HLJob
{
public:
    using Work = std::function<bool(HLJobState &state)>;
    using Finish = std::function<void(const HLJobState &state)>;
    // Where the finish runs. A framework that reports to a delegate on its own thread uses
    // JobThread; the finish may then destroy the job.
    enum class FinishOn { MainThread, JobThread };

    explicit HLJob(Work work);
    ~HLJob(); // cancels a running job and waits for it (unless called from its own finish)
    HLJob(const HLJob &) = delete;
    HLJob &operator=(const HLJob &) = delete;

    // Starts the work and returns at once; onFinish (optional) runs after the state is final,
    // posted to the main thread or at once on the job's thread. Only once.
    void start(Finish onFinish = {}, FinishOn where = FinishOn::MainThread);
    bool isStarted() const { return m_started.load(); }
    // Runs the work on the calling thread instead; onFinish is still posted to the main thread.
    bool runHere(Finish onFinish = {});

    void cancel() { m_state->cancel(); }
    // Blocks until the work has ended (not the posted finish). Must not be called from the work.
    void wait();

    const HLJobState &state() const { return *m_state; }
    std::shared_ptr<HLJobState> sharedState() const { return m_state; }

private:
    // Touches nothing of the job object, which a finish on the job thread may have destroyed.
    static void p_run(const Work &work, const std::shared_ptr<HLJobState> &state, const Finish &onFinish,
                      FinishOn where);

    Work m_work;
    std::shared_ptr<HLJobState> m_state = std::make_shared<HLJobState>();
    std::atomic<bool> m_started{false};
    std::mutex m_threadMutex; // guards m_thread between start() and a destructor on the job thread
    std::thread m_thread;
};
