#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// The music clip editor's arithmetic, free of widgets: its typed times, its repeat count and
// its preview's loop inside the kept part.
namespace HLMusicEditValues {

// Typed times and play ends stay below a day: a project of more never reopens sensibly.
constexpr float kMaximumSeconds = 24 * 3600;

// The seconds a typed time stands for ("h:m:s", "m:s" or "s"; text that is no time reads as
// 0), capped at kMaximumSeconds; none when it reads as no finite number or holds a minus.
std::optional<float> typedSeconds(const QString &text);
// How many times the kept part fits into the play range; 0 without a kept part.
float repeatCount(float playMin, float playMax, float kept);
// The play end for a repeat count from playMin, capped at kMaximumSeconds.
float repeatPlayEnd(float playMin, float kept, float repeat);
// The tick the preview jumps to at a tick of current: the trim start when it is before it or
// within a tenth of a second of the trim end; none while it plays on inside.
std::optional<qint64> loopJump(qint64 current, float trimMin, float trimMax, qint64 timeBase);

} // namespace HLMusicEditValues
