#pragma once

#include <QString>

#include <optional>

// The music clip editor's own arithmetic, free of widgets: its typed times and its repeat
// count. The loop and the repeated end it shares with the clip editor (HLPreviewTimes).
namespace HLMusicEditValues {

// The seconds a typed time stands for ("h:m:s", "m:s" or "s"; text that is no time reads as
// 0), capped at HLPreviewTimes::kLongestTime; none when it reads as no finite number or holds
// a minus.
std::optional<float> typedSeconds(const QString &text);
// How many times the kept part fits into the play range; 0 without a kept part.
float repeatCount(float playMin, float playMax, float kept);

} // namespace HLMusicEditValues
