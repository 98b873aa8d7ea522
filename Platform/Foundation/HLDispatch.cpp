#include "Platform/Foundation/HLDispatch.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <QThreadPool>

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
    QMetaObject::invokeMethod(app, std::move(job),
                              wait ? Qt::BlockingQueuedConnection : Qt::QueuedConnection);
}

void inBackground(std::function<void()> job)
{
    QThreadPool::globalInstance()->start(std::move(job));
}

} // namespace HLDispatch
