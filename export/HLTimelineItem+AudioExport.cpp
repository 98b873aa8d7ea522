#include "export/HLTimelineItem+AudioExport.h"

#include "export/VETimelineAudioItem.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <functional>

namespace {

using HLVideoClipBlock = std::function<void(const std::shared_ptr<HLResourceItem> &resource,
                                            const std::shared_ptr<HLRenderEditTrim> &trim,
                                            ResourceRenderRange range)>;

// Every video clip with its trim and its range on the timeline, in timeline order.
void p_enumerateVideo(const HLTimelineItem &timeline, const HLVideoClipBlock &block)
{
    if (!block)
        return;
    for (const auto &slideshow : timeline.aryItems()) {
        const float offset = timeline.slideshowOffsetOf(slideshow);
        const auto items = slideshow->renderItems();
        for (qsizetype i = 0; i < items.size(); ++i) {
            const auto resource = items[i]->oResource();
            if (!resource || !resource->isVideo())
                continue;
            ResourceRenderRange range = slideshow->resourceRenderRangeAt(std::size_t(i));
            range.dStart += offset;
            range.dEnd += offset;
            block(resource, items[i]->oTrim(), range);
        }
    }
}

} // namespace

std::vector<std::shared_ptr<VETimelineAudioItem>> exportAudios(const HLTimelineItem &timeline)
{
    std::vector<std::shared_ptr<VETimelineAudioItem>> audios;
    p_enumerateVideo(timeline, [&](const std::shared_ptr<HLResourceItem> &resource,
                                   const std::shared_ptr<HLRenderEditTrim> &trim, ResourceRenderRange range) {
        auto item = std::make_shared<VETimelineAudioItem>();
        item->setStart(zk_ff_time_from_double(range.dStart));
        item->setDuration(zk_ff_time_from_double(range.dEnd - range.dStart));
        item->setLoop(false);
        const std::weak_ptr<VETimelineAudioItem> weakItem = item;
        item->setLoadAudio([resource, trim, weakItem] {
            const auto target = weakItem.lock();
            if (!target)
                return;
            auto segment = ZKSegmentMovie::movieWithPath(resource->sourcePath());
            if (segment && trim) {
                segment->setStop(zk_ff_time_from_double(trim->dTrimMax()));
                segment->setStart(zk_ff_time_from_double(trim->dTrimMin()));
                if (auto movie = std::dynamic_pointer_cast<ZKFFMovie>(segment->ffmovie()))
                    movie->setVolume(double(trim->dVolume()));
            }
            target->setAudioMovie(segment);
        });
        audios.push_back(item);
    });
    return audios;
}
