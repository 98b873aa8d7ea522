#pragma once

class HLAudiolineItem;
class HLTextlineItem;
class HLTimelineItem;

// Time on the timeline against UI offset on the strip and the text line: every photo, clip
// and transition is one 80-point cell whatever it lasts, and past the end the axis goes on
// at 16 points a second.
namespace HLTimelineItemUI {

double UIOffsetAt(const HLTimelineItem &timeline, float time);
float timeAtUI(const HLTimelineItem &timeline, double offset);
// Right end of the strip's cells; an empty timeline gives -80 (the last item has no tile).
double maxUIOffset(const HLTimelineItem &timeline);

} // namespace HLTimelineItemUI

namespace HLTextlineItemUI {
// The end of the last title's line range; 0 for an empty text line.
double maxUIOffset(const HLTextlineItem &textline);
} // namespace HLTextlineItemUI

namespace HLAudiolineItemUI {
// The audio line lays out 200-point cells, not scaled by time.
double maxUIOffset(const HLAudiolineItem &audioline);
} // namespace HLAudiolineItemUI
