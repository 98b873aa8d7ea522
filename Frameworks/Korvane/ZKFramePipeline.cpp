#include "Frameworks/Korvane/ZKFramePipeline.h"

#include "Frameworks/Korvane/ZKFrameScaler.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Platform/Foundation/HLThreads.h"
#include "Platform/Imaging/ParallelRows.h"

#include <chrono>
#include <exception>

extern "C" {
#include <libavutil/frame.h>
}

ZKFramePipeline::ZKFramePipeline(qint64 count, Fetch fetch, Output output, int workers, int depth)
    : m_count(count), m_fetch(std::move(fetch)), m_output(output), m_workerCount(std::max(workers, 1)),
      m_depth(std::max(depth, m_workerCount + 1))
{
}

ZKFramePipeline::~ZKFramePipeline()
{
    stop();
}

void ZKFramePipeline::start()
{
    m_loops.start([this] { fetchLoop(); });
    for (int i = 0; i < m_workerCount; ++i)
        m_loops.start([this] { workLoop(); });
}

void ZKFramePipeline::stop()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopped = true;
    }
    m_changed.notify_all();
    m_loops.wait();
    std::lock_guard lock(m_mutex);
    for (auto &[index, frame] : m_ready)
        av_frame_free(&frame);
    m_ready.clear();
    m_jobs.clear();
}

QString ZKFramePipeline::error() const
{
    std::lock_guard lock(m_mutex);
    return m_error;
}

void ZKFramePipeline::fail(const QString &error)
{
    {
        std::lock_guard lock(m_mutex);
        if (m_error.isEmpty())
            m_error = error;
        m_stopped = true;
    }
    m_changed.notify_all();
}

void ZKFramePipeline::fetchLoop()
{
    HLThreads::becomeBackground();
    const ImagingThreads::SerialBands serial;
    for (qint64 index = 0; index < m_count; ++index) {
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stopped || m_inFlight < m_depth; });
            if (m_stopped)
                return;
            ++m_inFlight;
        }
        std::shared_ptr<ZKMovieImage> image;
        try {
            image = m_fetch(index);
        } catch (const std::exception &e) {
            fail(QStringLiteral("Cannot make frame %1: %2").arg(index).arg(QString::fromUtf8(e.what())));
            return;
        }
        {
            std::lock_guard lock(m_mutex);
            m_jobs.push_back({index, std::move(image)});
        }
        m_changed.notify_all();
    }
}

void ZKFramePipeline::workLoop()
{
    HLThreads::becomeBackground();
    const ImagingThreads::SerialBands serial;
    ZKFrameScaler scaler(m_output.size, m_output.format, m_output.letterbox, m_output.displayAspect);
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stopped || !m_jobs.empty(); });
            if (m_stopped)
                return;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
        }
        AVFrame *frame = scaler.newFrame();
        if (!frame) {
            fail(QStringLiteral("Out of memory"));
            return;
        }
        try {
            // Sources may make their picture only now, on this thread.
            scaler.scale(job.image ? job.image->currentImage() : QImage(), frame);
        } catch (const std::exception &e) {
            av_frame_free(&frame);
            fail(QStringLiteral("Cannot make frame %1: %2").arg(job.index).arg(QString::fromUtf8(e.what())));
            return;
        }
        job.image.reset();
        {
            std::lock_guard lock(m_mutex);
            m_ready.emplace(job.index, frame);
        }
        m_changed.notify_all();
    }
}

AVFrame *ZKFramePipeline::take(qint64 index, const std::atomic<bool> &abort)
{
    std::unique_lock lock(m_mutex);
    while (!m_changed.wait_for(lock, std::chrono::milliseconds(20), [&] { return m_stopped || m_ready.count(index); })) {
        if (abort)
            return nullptr;
    }
    if (m_stopped)
        return nullptr;
    auto found = m_ready.find(index);
    AVFrame *frame = found->second;
    m_ready.erase(found);
    --m_inFlight;
    lock.unlock();
    m_changed.notify_all();
    return frame;
}
