#include "Platform/Foundation/HLThreads.h"

#include <QByteArray>
#include <QThreadPool>

#include <algorithm>
#include <thread>

#include <pthread.h>
#include <sched.h>

namespace HLThreads {

std::optional<int> forced()
{
    static const std::optional<int> value = []() -> std::optional<int> {
        bool ok = false;
        const int threads = qEnvironmentVariableIntValue("HL_THREADS", &ok);
        if (ok && threads > 0)
            return threads;
        return std::nullopt;
    }();
    return value;
}

int count()
{
    if (const auto threads = forced())
        return *threads;
    // The processors this process may run on: fewer than the machine's under taskset.
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof(set), &set) == 0 && CPU_COUNT(&set) > 0)
        return CPU_COUNT(&set);
    return std::max(1, int(std::thread::hardware_concurrency()));
}

QThreadPool *pool()
{
    static QThreadPool *const sized = [] {
        QThreadPool *global = QThreadPool::globalInstance();
        if (const auto threads = forced())
            global->setMaxThreadCount(*threads);
        return global;
    }();
    return sized;
}

void becomeBackground()
{
    // A batch thread never preempts another on waking; leaving the ordinary policy for it
    // needs no privilege.
    const sched_param none{};
    pthread_setschedparam(pthread_self(), SCHED_BATCH, &none);
}

} // namespace HLThreads
