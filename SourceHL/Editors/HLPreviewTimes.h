#pragma once

#include <cstdint>
#include <optional>

// The times of the clip and music editors, free of Qt: what a typed time may be, how the
// preview loops inside the kept range, and where a repeated music clip ends.
namespace HLPreviewTimes {

// No time the editors store goes past a day: a longer one is no project anyone reopens.
constexpr float kLongestTime = 24 * 3600;
// The preview starts the kept range again this long before its end.
constexpr double kLoopMargin = 0.1;

// A typed time as the editors may store it: not negative and at most kLongestTime; none
// for a text that reads as no finite number (nan, inf), which then changes nothing.
std::optional<float> typedTime(float seconds);

// Where a preview playing at now (ticks) goes next inside the kept range [trimMin, trimMax]
// (seconds): back to the start when it is before it or within the margin of the end; none
// while it plays on.
std::optional<std::int64_t> loopedTime(std::int64_t now, float trimMin, float trimMax, std::int64_t timeBase);

// The play end of a music clip at start repeating its kept length repeat times, never past
// kLongestTime and never before start; none for a kept length that is not above 0.
std::optional<float> repeatedEnd(float start, float kept, float repeat);

} // namespace HLPreviewTimes
