#include "export/VETimelineExportMovie.h"

#include "export/VEExportFrameBlocks.h"
#include "export/VETimelineAudioItemExport.h"
#include "export/VETimelineExportFrameImage.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <cstring>

void VETimelineExportMovie::setFrameBlocks(const std::vector<GetImage> &blocks)
{
    std::lock_guard lock(m_mutex);
    m_frameBlocks = blocks.empty() ? nullptr : std::make_shared<VEExportFrameBlocks>(blocks);
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
    std::shared_ptr<VEExportFrameBlocks> blocks;
    {
        std::lock_guard lock(m_mutex);
        blocks = m_frameBlocks;
    }
    std::shared_ptr<VETimelineExportFrameImage> frame;
    if (blocks) {
        // Queued now, in the converter's order; rendered where the picture is wanted.
        const VEExportFrameBlocks::Ticket ticket = blocks->ask(time);
        frame = std::make_shared<VETimelineExportFrameImage>(
            frameSize, [blocks, ticket] { return blocks->picture(ticket); }, time);
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
