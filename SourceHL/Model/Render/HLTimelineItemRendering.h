#pragma once

#include "SourceHL/Model/Audioline/HLRanger.h"

#include <memory>
#include <vector>

class HLRenderItem;
class HLTimelineItem;
class ZKFFMovie;

// What the players need of the timeline at its current time: the video slide on screen and its
// sound, the project's closing fade-out and the music's dip under a solo clip.
class HLTimelineItemRendering
{
public:
    // The loaded movie of the video slide on screen, its play volume set to the slide's trim
    // volume; nothing when no video slide plays or its clip is not loaded.
    static std::shared_ptr<ZKFFMovie> renderingRenderVideo(const HLTimelineItem &timeline);
    // The next frame of the video slide on screen repositions.
    static void renderingRenderVideoSeek(const HLTimelineItem &timeline);
    // 1, falling linearly to 0 over the last 3 s (or the whole project when shorter).
    static float timelineFadeOutRatio(const HLTimelineItem &timeline);
    // The music's factor at the current time under the solo video clips (HLSoloDucking), as
    // the export ducks it.
    static float renderingAmbientRatio(const HLTimelineItem &timeline);
    // The play range (timeline seconds) of every video clip marked solo, in timeline order.
    static std::vector<HLRanger> renderingSoloRangers(const HLTimelineItem &timeline);
    // The render item of the video slide on screen, and its played (trimmed) time in time.
    static std::shared_ptr<HLRenderItem> p_renderingRenderVideo(const HLTimelineItem &timeline, float *time);
};
