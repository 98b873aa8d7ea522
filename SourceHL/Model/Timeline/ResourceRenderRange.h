#pragma once

#include <QtGlobal>

// A stretch of a slideshow item's local time, in seconds: 0 <= dStart <= dEnd.
struct ResourceRenderRange
{
    float dStart = 0;
    float dEnd = 0;
};

// "wrong paras" unless start >= 0 and end >= start.
ResourceRenderRange makeResourceRenderRange(float start, float end);
// Both ends included.
bool renderRangeContains(ResourceRenderRange range, float time);
// time clamped into the range, minus its start: from 0 to the range's length.
float renderRangeRenderTime(ResourceRenderRange range, float time);
// The same in media ticks, for the frame path, where time never passes through float.
qint64 renderRangeRenderTicks(ResourceRenderRange range, qint64 time);
