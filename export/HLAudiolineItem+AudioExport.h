#pragma once

#include <memory>
#include <vector>

class HLAudiolineItem;
class VETimelineAudioItem;

// The audio line's share of an export's sound: one item per music clip, in line order, with
// its trimmed, faded file opened at once. A repeating line (play type 0) loops every clip
// over the line's length; a line of custom ranges (type 1) fades each clip out over its last
// three seconds. Every item follows the ducking envelope. Empty for an empty line.
std::vector<std::shared_ptr<VETimelineAudioItem>> exportAudios(const HLAudiolineItem &audioline);
