#include "Platform/Imaging/PainterLoops.h"

#include "Platform/Foundation/HLThreads.h"

#include <QImage>
#include <QPainter>
#include <QThread>
#include <QThreadPool>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

// Loops that hold their threads until released.
struct HeldLoops
{
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<int> started{0}, onPoolThreads{0};
    ImagingThreads::PainterLoops loops;

    void start(int count)
    {
        for (int i = 0; i < count; ++i) {
            loops.start([this] {
                if (HLThreads::pool()->contains(QThread::currentThread()))
                    ++onPoolThreads;
                ++started;
                released.wait();
            });
        }
        while (started < count)
            std::this_thread::yield();
    }
};

} // namespace

TEST(PainterLoops, loopsRunOnPoolThreadsAndThePoolIsGivenBackItsSize)
{
    QThreadPool *pool = HLThreads::pool();
    const int size = pool->maxThreadCount();
    HeldLoops held;
    held.start(3);
    EXPECT_EQ(held.onPoolThreads, 3);
    EXPECT_EQ(pool->maxThreadCount(), size + 3);
    held.release.set_value();
    held.loops.wait();
    EXPECT_EQ(pool->maxThreadCount(), size);
}

// Qt hands a large fill's rows to the pool's threads: drawing elsewhere must still finish while
// loops hold as many threads as the pool had.
TEST(PainterLoops, drawingElsewhereFinishesWhileLoopsHoldThePool)
{
    HeldLoops held;
    held.start(HLThreads::pool()->maxThreadCount());
    auto drawn = std::async(std::launch::async, [] {
        QImage photo(1600, 1200, QImage::Format_ARGB32_Premultiplied);
        photo.fill(Qt::darkCyan);
        QImage canvas(1280, 960, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::black);
        QPainter p(&canvas);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.drawImage(QRectF(canvas.rect()), photo);
        p.end();
        return canvas.pixelColor(640, 480);
    });
    const bool finished = drawn.wait_for(std::chrono::seconds(20)) == std::future_status::ready;
    held.release.set_value();
    ASSERT_TRUE(finished);
    EXPECT_EQ(drawn.get(), QColor(Qt::darkCyan));
}
