#include "Platform/Foundation/HLDispatch.h"

#include "Platform/Foundation/HLThreadSanitizer.h"
#include "Platform/Foundation/HLThreads.h"

#include <QCoreApplication>
#include <QEvent>
#include <QRunnable>
#include <QThread>
#include <QThreadPool>

#include <condition_variable>
#include <memory>
#include <mutex>

namespace HLDispatch {

namespace {

// Jobs travel in objects of our own and are waited for on locks of our own, never in Qt's
// functor wrappers or behind its semaphores, so that ThreadSanitizer sees every handover
// (Qt's own synchronisation is invisible to it).

// Set once the job has run, or once it never will (its event deleted undelivered at exit).
class Done
{
public:
    void set()
    {
        {
            std::lock_guard lock(m_mutex);
            m_done = true;
        }
        m_changed.notify_all();
    }
    void wait()
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_done; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_done = false;
};

class JobEvent : public QEvent
{
public:
    static QEvent::Type kind()
    {
        static const auto type = QEvent::Type(QEvent::registerEventType());
        return type;
    }

    JobEvent(std::function<void()> job, std::shared_ptr<Done> done)
        : QEvent(kind()), m_job(std::move(job)), m_done(std::move(done))
    {
        HL_TSAN_RELEASE(this);
    }
    ~JobEvent() override
    {
        if (m_done)
            m_done->set();
    }
    void run() { m_job(); }

private:
    std::function<void()> m_job;
    std::shared_ptr<Done> m_done;
};

// Receives the jobs on the main thread.
class MainReceiver : public QObject
{
public:
    bool event(QEvent *event) override
    {
        HL_TSAN_ACQUIRE(event); // before the first look into it; any other event was never released
        if (event->type() != JobEvent::kind())
            return QObject::event(event);
        static_cast<JobEvent *>(event)->run();
        return true;
    }
};

QObject *mainReceiver(QCoreApplication *app)
{
    static QObject *receiver = [app] {
        auto *made = new MainReceiver;
        made->moveToThread(app->thread());
        return made;
    }();
    return receiver;
}

class JobRunnable : public QRunnable
{
public:
    explicit JobRunnable(std::function<void()> job) : m_job(std::move(job)) { HL_TSAN_RELEASE(this); }
    void run() override
    {
        HL_TSAN_ACQUIRE(this);
        m_job();
    }

private:
    std::function<void()> m_job;
};

} // namespace

bool isMainThread()
{
    auto *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

void onMain(std::function<void()> job, bool wait)
{
    auto *app = QCoreApplication::instance();
    if (!app || (wait && isMainThread())) {
        job();
        return;
    }
    auto done = wait ? std::make_shared<Done>() : nullptr;
    QCoreApplication::postEvent(mainReceiver(app), new JobEvent(std::move(job), done));
    if (done)
        done->wait();
}

void inBackground(std::function<void()> job)
{
    HLThreads::pool()->start(new JobRunnable(std::move(job)));
}

} // namespace HLDispatch
