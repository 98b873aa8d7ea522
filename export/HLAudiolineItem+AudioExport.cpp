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
    const qint64 tb = zk_default_time_base();
    auto ticksOf = [tb](float seconds) { return qint64(seconds * float(tb)); };
    const bool repeat = audioline.enType() == 0;
    const qint64 loopInterval = repeat ? ticksOf(audioline.repeatDuration()) : 0;
    const bool customPlay = audioline.enType() == 1;
    const qint64 endFade = 3 * tb;

    std::vector<std::shared_ptr<VETimelineAudioItem>> audios;
    for (const auto &clip : audioline.aryItems()) {
        const qint64 start = ticksOf(clip->dPlayMin());
        const qint64 stop = ticksOf(clip->dPlayMax());
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
            segment->setStart(ticksOf(edit->dTrimMin()));
            segment->setStop(ticksOf(edit->dTrimMax()));
            segment->setFadeIn(ticksOf(edit->dFadeIn()));
            segment->setFadeOut(ticksOf(edit->dFadeOut()));
            if (auto movie = std::dynamic_pointer_cast<ZKFFMovie>(segment->ffmovie()))
                movie->setVolume(double(edit->dVolume()));
        }
        item->setAudioMovie(segment);
        audios.push_back(item);
    }
    return audios;
}
