#include "SourceHL/View/HLTimelineItemUI.h"

#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <algorithm>

namespace {

constexpr float kCell = 80;
constexpr float kCellsPerSecondPastEnd = 0.2f;

} // namespace

namespace HLTimelineItemUI {

double UIOffsetAt(const HLTimelineItem &timeline, float time)
{
    float rest = time;
    float cells = 0;
    float trans = 0;
    for (const auto &item : timeline.aryItems()) {
        item->slideshowQuaryAt(rest, [&](float position, float progress) {
            cells += position;
            trans += progress;
        });
        rest -= item->duration();
        if (rest <= 0) {
            rest = 0;
            break;
        }
    }
    return (cells + trans + kCellsPerSecondPastEnd * rest) * kCell;
}

float timeAtUI(const HLTimelineItem &timeline, double offset)
{
    float left = float(offset / double(kCell));
    float time = 0;
    for (const auto &item : timeline.aryItems()) {
        const float duration = item->duration();
        float a = 0;
        float b = 0;
        item->slideshowQuaryAt(duration, [&](float position, float progress) {
            a = position;
            b = progress;
        });
        if (left >= a + b) {
            left -= a + b;
            time += duration;
        } else {
            time += item->slideshowOffsetOf(std::min(a, left), std::min(b, std::max(0.0f, left - a)));
            left = 0;
            break;
        }
    }
    return time + left / kCellsPerSecondPastEnd;
}

double maxUIOffset(const HLTimelineItem &timeline)
{
    qint64 counter = -1;
    for (const auto &item : timeline.aryItems())
        counter += item->renderItems().size() + 1;
    return std::max(-1.0f, float(counter)) * kCell;
}

} // namespace HLTimelineItemUI

namespace HLTextlineItemUI {

double maxUIOffset(const HLTextlineItem &textline)
{
    const auto items = textline.aryItems();
    return items.isEmpty() ? 0.0 : double(items.last()->dLineMax());
}

} // namespace HLTextlineItemUI

namespace HLAudiolineItemUI {

double maxUIOffset(const HLAudiolineItem &audioline)
{
    return double(audioline.aryItems().size()) * 200;
}

} // namespace HLAudiolineItemUI
