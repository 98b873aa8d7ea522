#pragma once

#include <memory>
#include <vector>

class HLTimelineItem;
class VETimelineAudioItem;

// The timeline's share of an export's sound: the sound of every video clip. A pure reader of
// the model, run on the main thread. (The solo ranges come from HLTimelineItemRendering, which
// the preview reads too.)

// One item per video clip, in timeline order, each opening its trimmed file only when it
// starts to sound; empty when the timeline holds no video clip.
std::vector<std::shared_ptr<VETimelineAudioItem>> exportAudios(const HLTimelineItem &timeline);
