#pragma once

#include "SourceHL/Model/Audioline/HLRanger.h"

#include <memory>
#include <vector>

class HLTimelineItem;
class VETimelineAudioItem;

// The timeline's share of an export's sound: the sound of every video clip, and the ranges in
// which a clip's own sound is to stand alone. Pure readers of the model, run on the main thread.

// One item per video clip, in timeline order, each opening its trimmed file only when it
// starts to sound; empty when the timeline holds no video clip.
std::vector<std::shared_ptr<VETimelineAudioItem>> exportAudios(const HLTimelineItem &timeline);
// The play range (timeline seconds) of every video clip marked solo, in timeline order.
std::vector<HLRanger> exportSoloRangers(const HLTimelineItem &timeline);
