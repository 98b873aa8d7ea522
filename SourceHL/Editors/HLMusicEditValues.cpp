#include "SourceHL/Editors/HLMusicEditValues.h"

#include "SourceHL/Common/HLTimeStringTransformer.h"
#include "SourceHL/Editors/HLPreviewTimes.h"

namespace HLMusicEditValues {

std::optional<float> typedSeconds(const QString &text)
{
    // A minus anywhere (in any part, ASCII or typographic) makes no time.
    if (text.contains(QLatin1Char('-')) || text.contains(QChar(0x2212)))
        return std::nullopt;
    const float seconds = HLTimeStringTransformer::reverseTransformedValue(text.trimmed());
    if (seconds < 0)
        return std::nullopt;
    return HLPreviewTimes::typedTime(seconds);
}

float repeatCount(float playMin, float playMax, float kept)
{
    return kept > 0 ? (playMax - playMin) / kept : 0.0f;
}

} // namespace HLMusicEditValues
