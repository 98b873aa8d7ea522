#include "Platform/Imaging/ParallelRows.h"

#include "Platform/Foundation/HLDispatch.h"

#include <QThread>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>

namespace ImagingThreads {

namespace {

// Below this much work a band is not worth handing to another thread.
constexpr long long kWorkPerBand = 96 * 1024;

struct Job
{
    std::function<void(int, int)> band;
    int rows = 0;
    int bandRows = 0;
    int bands = 0;
    std::atomic<int> next{0};
    std::mutex mutex;
    std::condition_variable finished;
    int done = 0;
    std::exception_ptr failure; // the first band that threw

    // Claims and runs bands until none is left. A band that throws still counts as done, so
    // the caller never returns while another thread is inside its data; the caller rethrows.
    void work()
    {
        int ran = 0;
        std::exception_ptr thrown;
        for (int i = next.fetch_add(1); i < bands; i = next.fetch_add(1)) {
            const int begin = i * bandRows;
            try {
                band(begin, std::min(rows, begin + bandRows));
            } catch (...) {
                if (!thrown)
                    thrown = std::current_exception();
            }
            ++ran;
        }
        if (ran > 0) {
            std::lock_guard lock(mutex);
            done += ran;
            if (thrown && !failure)
                failure = thrown;
            if (done == bands)
                finished.notify_all();
        }
    }
};

} // namespace

void forEachBand(int rows, long long workPerRow, const std::function<void(int, int)> &band)
{
    if (rows <= 0)
        return;
    const long long total = std::max(1LL, workPerRow) * rows;
    const int threads = std::max(1, QThread::idealThreadCount());
    const int wanted = int(std::min<long long>({total / kWorkPerBand, rows, threads * 2LL}));
    if (wanted <= 1) {
        band(0, rows);
        return;
    }
    auto job = std::make_shared<Job>();
    job->band = band;
    job->rows = rows;
    job->bandRows = (rows + wanted - 1) / wanted;
    job->bands = (rows + job->bandRows - 1) / job->bandRows;
    const int helpers = std::min(job->bands - 1, threads - 1);
    for (int i = 0; i < helpers; ++i)
        HLDispatch::inBackground([job] { job->work(); });
    job->work();
    std::unique_lock lock(job->mutex);
    job->finished.wait(lock, [&] { return job->done == job->bands; });
    if (job->failure)
        std::rethrow_exception(job->failure);
}

} // namespace ImagingThreads
