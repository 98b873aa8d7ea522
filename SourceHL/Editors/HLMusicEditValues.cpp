#include "SourceHL/Editors/HLMusicEditValues.h"

#include "SourceHL/Common/HLTimeStringTransformer.h"

#include <algorithm>
#include <cmath>

namespace HLMusicEditValues {

std::optional<float> typedSeconds(const QString &text)
{
    // A minus anywhere (in any part, ASCII or typographic) makes no time.
    if (text.contains(QLatin1Char('-')) || text.contains(QChar(0x2212)))
        return std::nullopt;
    const float seconds = HLTimeStringTransformer::reverseTransformedValue(text.trimmed());
    if (!std::isfinite(seconds) || seconds < 0)
        return std::nullopt;
    return std::min(seconds, kMaximumSeconds);
}

float repeatCount(float playMin, float playMax, float kept)
{
    return kept > 0 ? (playMax - playMin) / kept : 0.0f;
}

float repeatPlayEnd(float playMin, float kept, float repeat)
{
    const float end = playMin + kept * repeat;
    return std::isfinite(end) ? std::min(end, kMaximumSeconds) : kMaximumSeconds;
}

std::optional<qint64> loopJump(qint64 current, float trimMin, float trimMax, qint64 timeBase)
{
    const auto minimum = qint64(trimMin * float(timeBase));
    const auto maximum = qint64(trimMax * float(timeBase));
    const auto tenth = qint64(0.1 * double(timeBase));
    if (current < minimum || current + tenth > maximum)
        return minimum;
    return std::nullopt;
}

} // namespace HLMusicEditValues
