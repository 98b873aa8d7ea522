#include "export/VETimelineExportMovie.h"

#include "export/VETimelineAudioItemExport.h"
#include "export/VETimelineExportFrameImage.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <cstring>

void VETimelineExportMovie::setFrameBlocks(const std::vector<GetImage> &blocks)
{
    std::lock_guard lock(m_mutex);
    m_freeBlocks = blocks;
    m_hasFrameBlocks = !blocks.empty();
}

QImage VETimelineExportMovie::p_renderWithFreeBlock(qint64 time)
{
    GetImage block;
    {
        std::unique_lock lock(m_mutex);
        m_blockFreed.wait(lock, [this] { return !m_freeBlocks.empty(); });
        block = std::move(m_freeBlocks.back());
        m_freeBlocks.pop_back();
    }
    struct GiveBack
    {
        VETimelineExportMovie *movie;
        GetImage &block;
        ~GiveBack()
        {
            {
                std::lock_guard lock(movie->m_mutex);
                movie->m_freeBlocks.push_back(std::move(block));
            }
            movie->m_blockFreed.notify_one();
        }
    } giveBack{this, block};
    return block(time);
}

qint64 VETimelineExportMovie::currentVideoMediaMaxTime() const
{
    return zk_ff_time_from_double(36000);
}

void VETimelineExportMovie::setCurrentTime(qint64 time)
{
    if (const auto audio = ffaudio())
        audio->setCurrentTime(time);
}

void VETimelineExportMovie::flushOperation()
{
    if (const auto audio = ffaudio())
        audio->flushOperation();
}

void VETimelineExportMovie::decodeImageAtTime(qint64 time, const FrameAction &action, bool)
{
    const QSizeF size = videoSize();
    const QSize frameSize(qRound(size.width()), qRound(size.height()));
    bool later;
    {
        std::lock_guard lock(m_mutex);
        later = m_hasFrameBlocks;
    }
    std::shared_ptr<VETimelineExportFrameImage> frame;
    if (later) {
        const auto self = shared_from_this();
        frame = std::make_shared<VETimelineExportFrameImage>(
            frameSize, [self, time] { return self->p_renderWithFreeBlock(time); }, time);
    } else {
        const GetImage block = getImage();
        frame = std::make_shared<VETimelineExportFrameImage>(frameSize, block ? block(time) : QImage(), time);
    }
    if (action)
        action(frame);
}

bool VETimelineExportMovie::readSample(float *buffer, int nbStream, int frames)
{
    if (!buffer || frames <= 0)
        return true;
    std::memset(buffer, 0, size_t(frames) * 2 * sizeof(float));
    if (const auto audio = ffaudio())
        audio->readSample(buffer, nbStream, frames);
    return true;
}
