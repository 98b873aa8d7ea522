#include "SourceHL/View/HLLineGeometry.h"

#include <algorithm>
#include <cmath>

HLTextlineDrag hl_textlineDragOf(double x, double minX, double maxX, float lastLineMax, float nextLineMin)
{
    const double width = maxX - minX;
    HLTextlineDrag drag;
    drag.enDrag = TextlineDragMove;
    drag.dDragMin = lastLineMax;
    drag.dDragMax = double(nextLineMin) - width;
    drag.dDragDel = x - minX;
    if (minX <= x && x <= minX + kTextlineEdgeZone) {
        drag.enDrag = TextlineDragLeft;
        drag.dDragMin = lastLineMax;
        drag.dDragMax = maxX - kTextlineMinWidth;
        drag.dDragDel = x - minX;
    }
    if (maxX - kTextlineEdgeZone <= x && x <= maxX) {
        drag.enDrag = TextlineDragRight;
        drag.dDragMin = minX + kTextlineMinWidth;
        drag.dDragMax = nextLineMin;
        drag.dDragDel = maxX - x;
    }
    return drag;
}

float hl_textlineClamp(double value, double low, double high)
{
    return std::min(std::max(float(value), float(low)), float(high));
}

HLTextlineDragStep hl_textlineDragged(const HLTextlineDrag &drag, double x, double minX, double maxX)
{
    HLTextlineDragStep step;
    const double width = maxX - minX;
    switch (drag.enDrag) {
    case TextlineDragMove: {
        const double start = x - drag.dDragDel;
        if (start < drag.dDragMin || start > drag.dDragMax) {
            step.startsDrop = true;
            step.lineMin = float(minX);
            step.lineMax = float(maxX);
            return step;
        }
        const float min = hl_textlineClamp(start, drag.dDragMin, drag.dDragMax);
        step.lineMin = min;
        step.lineMax = float(min + width);
        return step;
    }
    case TextlineDragLeft: {
        const float min = hl_textlineClamp(x - drag.dDragDel, drag.dDragMin, drag.dDragMax);
        step.lineMin = min;
        step.lineMax = float(min + (maxX - min));
        return step;
    }
    case TextlineDragRight:
    default: {
        const float min = float(minX);
        const float max = hl_textlineClamp(x + drag.dDragDel, drag.dDragMin, drag.dDragMax);
        step.lineMin = min;
        step.lineMax = float(min + (max - min));
        return step;
    }
    }
}

float hl_textlineDropX(double x)
{
    return std::max(0.0f, float(x));
}

float hl_textlineMarkerLeft(float dropX, float width)
{
    return std::min(std::max(dropX, 1.0f), width - 1.0f);
}

double hl_audioCellX(std::int64_t index)
{
    return kAudioCellWidth * double(index);
}

std::int64_t hl_audioDropIndex(double x, std::int64_t count)
{
    const float boundary = std::floor((float(x) + float(kAudioCellWidth / 2)) / float(kAudioCellWidth));
    return std::clamp<std::int64_t>(std::int64_t(boundary), 0, std::max<std::int64_t>(count, 0));
}

float hl_audioMarkerCenter(std::int64_t index, float width)
{
    return std::min(std::max(float(index) * float(kAudioCellWidth), 1.0f), width - 1.0f);
}
