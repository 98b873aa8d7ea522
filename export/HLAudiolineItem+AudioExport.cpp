#include "export/HLAudiolineItem+AudioExport.h"

#include "export/VETimelineAudioItem.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"

#include <algorithm>

std::vector<std::shared_ptr<VETimelineAudioItem>> exportAudios(const HLAudiolineItem &audioline)
{
    const bool repeat = audioline.enType() == 0;
    const qint64 loopInterval = repeat ? zk_ff_time_from_double(audioline.repeatDuration()) : 0;
    const bool customPlay = audioline.enType() == 1;
    const qint64 endFade = zk_ff_time_from_double(3);

    std::vector<std::shared_ptr<VETimelineAudioItem>> audios;
    for (const auto &clip : audioline.aryItems()) {
        const qint64 start = zk_ff_time_from_double(clip->dPlayMin());
        const qint64 stop = zk_ff_time_from_double(clip->dPlayMax());
        auto item = std::make_shared<VETimelineAudioItem>();
        item->setStart(start);
        item->setDuration(stop - start);
        item->setLoopInterval(loopInterval);
        item->setLoop(repeat);
        item->setApplyAudioFade(true);
        if (customPlay)
            item->setFadeOut(std::min(endFade, stop - start));
        const auto resource = clip->oResource();
        const auto edit = clip->oEdit();
        auto segment = resource ? ZKSegmentMovie::movieWithPath(resource->sourcePath()) : nullptr;
        if (segment && edit) {
            segment->setStart(zk_ff_time_from_double(edit->dTrimMin()));
            segment->setStop(zk_ff_time_from_double(edit->dTrimMax()));
            segment->setFadeIn(zk_ff_time_from_double(edit->dFadeIn()));
            segment->setFadeOut(zk_ff_time_from_double(edit->dFadeOut()));
            if (auto movie = std::dynamic_pointer_cast<ZKFFMovie>(segment->ffmovie()))
                movie->setVolume(double(edit->dVolume()));
        }
        item->setAudioMovie(segment);
        audios.push_back(item);
    }
    return audios;
}
