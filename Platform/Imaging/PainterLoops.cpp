#include "Platform/Imaging/PainterLoops.h"

#include "Platform/Foundation/HLThreadSanitizer.h"
#include "Platform/Foundation/HLThreads.h"

#include <QThreadPool>

#include <climits>
#include <memory>

#include <pthread.h>

namespace ImagingThreads {

namespace {

void widenPool(int threads)
{
    // Read and set as one step: loops start and end on several threads at once.
    static std::mutex sizing;
    std::lock_guard lock(sizing);
    QThreadPool *pool = HLThreads::pool();
    pool->setMaxThreadCount(pool->maxThreadCount() + threads);
}

} // namespace

PainterLoops::~PainterLoops()
{
    wait();
}

void PainterLoops::start(std::function<void()> loop)
{
    {
        std::lock_guard lock(m_mutex);
        ++m_running;
    }
    widenPool(1);
    // Handed over through Qt's pool, whose locks ThreadSanitizer cannot see.
    auto *handed = new std::function<void()>(std::move(loop));
    HL_TSAN_RELEASE(handed);
    HLThreads::pool()->start(
        [this, handed]() noexcept {
            HL_TSAN_ACQUIRE(handed);
            std::unique_ptr<std::function<void()>> loop(handed);
            // The thread goes back to the pool as it came, though the loop made it background work.
            int policy = SCHED_OTHER;
            sched_param param{};
            const bool kept = pthread_getschedparam(pthread_self(), &policy, &param) == 0;
            (*loop)();
            loop.reset(); // what the loop holds goes before wait() returns
            if (kept)
                pthread_setschedparam(pthread_self(), policy, &param);
            widenPool(-1);
            std::lock_guard lock(m_mutex);
            --m_running;
            m_ended.notify_all();
        },
        INT_MAX);
}

void PainterLoops::wait()
{
    std::unique_lock lock(m_mutex);
    m_ended.wait(lock, [this] { return m_running == 0; });
}

} // namespace ImagingThreads
