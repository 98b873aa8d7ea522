#pragma once

#include <QImage>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Frame blocks over copies of the project, shared by the converter's worker threads. A block
// keeps state from one frame to the next (renderers, decoders reading forward), so frames are
// handed out in the order they were asked for, whichever worker wants its picture first: every
// block sees its times rising. A block that rendered the frame just before takes the next one
// when it is free, so runs of frames stay on one block. Each block is used by one thread at a
// time.
class VEExportFrameBlocks
{
public:
    using GetImage = std::function<QImage(qint64 time)>;
    struct Frame;
    using Ticket = std::shared_ptr<Frame>;

    explicit VEExportFrameBlocks(std::vector<GetImage> blocks);

    // Queues the frame at time behind every frame asked for before it.
    Ticket ask(qint64 time);
    // The frame's picture. Renders the waiting frames asked for before it (a worker that
    // stalled may not have come for its own yet), then this one, on free blocks; waits while
    // another thread renders it. Rethrows what its block threw.
    QImage picture(const Ticket &ticket);

private:
    struct Block
    {
        GetImage render;
        bool busy = false;
        qint64 lastOrder = -1;
    };

    Block *p_freeBlockFor(qint64 order);
    // Renders the first waiting frame on block, the lock released meanwhile.
    void p_render(std::unique_lock<std::mutex> &lock, Block &block, const Ticket &frame);

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Block> m_blocks;
    std::deque<std::weak_ptr<Frame>> m_waiting; // asked for and not yet taken by a block
    qint64 m_nextOrder = 0;
};

struct VEExportFrameBlocks::Frame
{
    qint64 time = 0;
    qint64 order = 0;
    bool done = false;
    QImage image;
    std::exception_ptr error;
};
