#include "export/VEExportFrameBlocks.h"

VEExportFrameBlocks::VEExportFrameBlocks(std::vector<GetImage> blocks)
{
    for (GetImage &render : blocks)
        m_blocks.push_back({std::move(render)});
}

VEExportFrameBlocks::Ticket VEExportFrameBlocks::ask(qint64 time)
{
    auto frame = std::make_shared<Frame>();
    frame->time = time;
    std::lock_guard lock(m_mutex);
    frame->order = m_nextOrder++;
    m_waiting.push_back(frame);
    return frame;
}

// The block that rendered the frame just before, else the free one that rendered last, so
// decoders step forward as little as they can.
VEExportFrameBlocks::Block *VEExportFrameBlocks::p_freeBlockFor(qint64 order)
{
    Block *chosen = nullptr;
    for (Block &block : m_blocks) {
        if (block.busy)
            continue;
        if (block.lastOrder == order - 1)
            return &block;
        if (!chosen || block.lastOrder > chosen->lastOrder)
            chosen = &block;
    }
    return chosen;
}

void VEExportFrameBlocks::p_render(std::unique_lock<std::mutex> &lock, Block &block, const Ticket &frame)
{
    m_waiting.pop_front();
    block.busy = true;
    block.lastOrder = frame->order;
    lock.unlock();
    QImage image;
    std::exception_ptr error;
    try {
        image = block.render(frame->time);
    } catch (...) {
        error = std::current_exception();
    }
    lock.lock();
    frame->image = std::move(image);
    frame->error = error;
    frame->done = true;
    block.busy = false;
    m_changed.notify_all();
}

QImage VEExportFrameBlocks::picture(const Ticket &ticket)
{
    std::unique_lock lock(m_mutex);
    while (!ticket->done) {
        // Frames nobody wants any more are not rendered. This thread renders the frames before
        // its own that no one has taken, then its own, and nothing after it: the converter
        // waits for this one first.
        Ticket next;
        while (!m_waiting.empty() && !(next = m_waiting.front().lock()))
            m_waiting.pop_front();
        Block *block = next && next->order <= ticket->order ? p_freeBlockFor(next->order) : nullptr;
        if (block)
            p_render(lock, *block, next);
        else
            m_changed.wait(lock);
    }
    if (ticket->error)
        std::rethrow_exception(ticket->error);
    return ticket->image;
}
