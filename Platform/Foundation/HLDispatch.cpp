#include "Platform/Foundation/HLDispatch.h"

#include "Platform/Foundation/HLThreadSanitizer.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QThreadPool>

#include <memory>

namespace HLDispatch {

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
    // The job travels through Qt's event queue, and with wait its end travels back through
    // Qt's semaphore; both are marked for ThreadSanitizer, which does not see inside Qt.
    auto handed = std::make_shared<std::function<void()>>(std::move(job));
    HL_TSAN_RELEASE(handed.get());
    QMetaObject::invokeMethod(
        app,
        [handed] {
            HL_TSAN_ACQUIRE(handed.get());
            (*handed)();
            HL_TSAN_RELEASE(handed.get());
        },
        wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
    if (wait)
        HL_TSAN_ACQUIRE(handed.get());
}

void inBackground(std::function<void()> job)
{
    auto handed = std::make_shared<std::function<void()>>(std::move(job));
    HL_TSAN_RELEASE(handed.get());
    QThreadPool::globalInstance()->start([handed] {
        HL_TSAN_ACQUIRE(handed.get());
        (*handed)();
    });
}

} // namespace HLDispatch
