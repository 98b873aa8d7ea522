#include "Platform/Imaging/ParallelRows.h"

#include "Platform/Foundation/HLThreads.h"

#include <QtGlobal>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace ImagingThreads {

namespace {

// Below this much work a band is not worth handing to another thread.
constexpr long long kWorkPerBand = 96 * 1024;
// How long an idle helper keeps looking for the next call before it sleeps: filters come in
// runs (colour, then sharpening), and waking a sleeping thread costs more than the look.
constexpr std::chrono::microseconds kLinger{200};

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

// Helper threads kept for the life of the program. A call posts its job and works on it
// itself; helpers join in as they wake, so a job is done even when none of them comes (a busy
// machine, or calls from several threads at once, where a newer job takes the helpers over).
class BandThreads
{
public:
    explicit BandThreads(int helpers)
    {
        for (int i = 0; i < helpers; ++i)
            std::thread([this] {
                HLThreads::becomeBackground();
                p_help();
            }).detach();
    }

    void post(const std::shared_ptr<Job> &job)
    {
        {
            std::lock_guard lock(m_mutex);
            m_job = job;
            m_posted.fetch_add(1, std::memory_order_release);
        }
        if (m_sleeping.load() > 0)
            m_wake.notify_all();
    }

private:
    void p_help()
    {
        quint64 seen = 0;
        for (;;) {
            const bool posted = p_linger(seen);
            std::unique_lock lock(m_mutex);
            if (!posted) {
                ++m_sleeping;
                m_wake.wait(lock, [&] { return m_posted.load() != seen; });
                --m_sleeping;
            }
            // The job and its number together, so a newer post is never taken for this one.
            const std::shared_ptr<Job> job = m_job;
            seen = m_posted.load();
            lock.unlock();
            if (job)
                job->work();
        }
    }

    // Looks for a newer post than seen for a little while; true when one came.
    bool p_linger(quint64 seen) const
    {
        const auto until = std::chrono::steady_clock::now() + kLinger;
        // Yielding, so that on a machine with more work than cores the look takes no time
        // from threads that have work.
        do {
            if (m_posted.load(std::memory_order_acquire) != seen)
                return true;
            std::this_thread::yield();
        } while (std::chrono::steady_clock::now() < until);
        return false;
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::shared_ptr<Job> m_job; // the latest job posted
    std::atomic<quint64> m_posted{0};
    std::atomic<int> m_sleeping{0};
};

thread_local bool t_serial = false;

// Never destroyed: a caller may still be sharing out bands while the program ends.
BandThreads &bandThreads()
{
    static BandThreads *threads = new BandThreads(std::max(0, HLThreads::count() - 1));
    return *threads;
}

} // namespace

SerialBands::SerialBands() : m_outer(!t_serial)
{
    t_serial = true;
}

SerialBands::~SerialBands()
{
    if (m_outer)
        t_serial = false;
}

void forEachBand(int rows, long long workPerRow, const std::function<void(int, int)> &band)
{
    if (rows <= 0)
        return;
    const long long total = std::max(1LL, workPerRow) * rows;
    const int threads = HLThreads::count();
    const int wanted = int(std::min<long long>({total / kWorkPerBand, rows, threads * 2LL}));
    if (wanted <= 1 || threads == 1 || t_serial) {
        band(0, rows);
        return;
    }
    auto job = std::make_shared<Job>();
    job->band = band;
    job->rows = rows;
    job->bandRows = (rows + wanted - 1) / wanted;
    job->bands = (rows + job->bandRows - 1) / job->bandRows;
    bandThreads().post(job);
    job->work();
    std::unique_lock lock(job->mutex);
    job->finished.wait(lock, [&] { return job->done == job->bands; });
    if (job->failure)
        std::rethrow_exception(job->failure);
}

} // namespace ImagingThreads
