#pragma once

#include "Platform/Imaging/PainterLoops.h"

#include <QSize>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>

extern "C" {
#include <libavutil/pixfmt.h>
}

struct AVFrame;
class ZKMovieImage;

// Prepares encoder frames ahead of the encoder: one thread asks for the pictures in order
// (sources such as decoders and renderers keep state from one frame to the next), worker
// threads scale them to the output size and format, and the encoder takes them in order.
// At most depth frames are under way at once, so memory stays bounded. Pictures are made
// several at a time, each on one thread: the encoder keeps the other cores busy.
class ZKFramePipeline
{
public:
    // The picture of frame index, or nullptr for black. Called on the pipeline's thread, in
    // order; may throw, which fails the pipeline.
    using Fetch = std::function<std::shared_ptr<ZKMovieImage>(qint64 index)>;

    struct Output
    {
        QSize size;
        AVPixelFormat format = AV_PIX_FMT_YUV420P;
        bool letterbox = false;
        double displayAspect = 1.0;
    };

    ZKFramePipeline(qint64 count, Fetch fetch, Output output, int workers, int depth);
    ~ZKFramePipeline(); // stops and waits for its threads
    ZKFramePipeline(const ZKFramePipeline &) = delete;
    ZKFramePipeline &operator=(const ZKFramePipeline &) = delete;

    void start();
    // Frame index, taken in order 0, 1, 2 …; waits for it. The caller owns the frame.
    // nullptr once stopped or failed, or when abort is set while waiting.
    AVFrame *take(qint64 index, const std::atomic<bool> &abort);
    void stop();
    QString error() const;

private:
    struct Job
    {
        qint64 index;
        std::shared_ptr<ZKMovieImage> image;
    };

    void fetchLoop();
    void workLoop();
    void fail(const QString &error);

    const qint64 m_count;
    const Fetch m_fetch;
    const Output m_output;
    const int m_workerCount;
    const int m_depth;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    std::map<qint64, AVFrame *> m_ready;
    int m_inFlight = 0; // fetched and not yet taken
    bool m_stopped = false;
    QString m_error;
    ImagingThreads::PainterLoops m_loops; // the fetcher and the workers
};
