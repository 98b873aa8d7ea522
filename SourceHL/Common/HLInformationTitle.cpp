#include "SourceHL/Common/HLInformationTitle.h"

#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Common/HLStringHelper.h"

#include <cmath>

namespace {

// Whole seconds to hours, minutes and seconds (truncating division).
void p_itComputeOfTime(qint32 seconds, qint32 *hours, qint32 *minutes, qint32 *secs)
{
    *hours = seconds / 3600;
    const qint32 rest = seconds - *hours * 3600;
    *minutes = rest / 60;
    *secs = rest - *minutes * 60;
}

// floor(time) as a 32-bit count; out-of-range and non-finite times would make the
// conversion undefined.
qint32 wholeSeconds(float time)
{
    const double whole = std::isfinite(time) ? std::floor(double(time)) : 0.0;
    return qint32(std::fmax(-2147483648.0, std::fmin(whole, 2147483647.0)));
}

struct SplitTime
{
    qint32 hours, minutes, seconds;
};

SplitTime splitTime(float time)
{
    SplitTime split;
    p_itComputeOfTime(wholeSeconds(time), &split.hours, &split.minutes, &split.seconds);
    return split;
}

QString part(qint32 value, const char *unit)
{
    return QString::asprintf("%d%s", value, unit);
}

} // namespace

QString HLInformationTitle::itMakeDigitalTitleTime(qint64 format, float time)
{
    const float fraction = std::isfinite(time) ? time - std::floor(time) : 0.0f;
    const int hundredths = int(std::floor(float(double(fraction) * 100.0)));
    const SplitTime t = splitTime(time);
    const qint32 totalMinutes = t.hours * 60 + t.minutes;
    const qint32 totalSeconds = totalMinutes * 60 + t.seconds;
    switch (format) {
    case 0:
        return QString::asprintf("%02d", totalSeconds);
    case 1:
        return QString::asprintf("%02d.%02d", totalSeconds, hundredths);
    case 2:
        return QString::asprintf("%02d:%02d", totalMinutes, t.seconds);
    case 3:
        return QString::asprintf("%02d:%02d.%02d", totalMinutes, t.seconds, hundredths);
    case 4:
        return QString::asprintf("%02d:%02d:%02d", t.hours, t.minutes, t.seconds);
    case 5:
        return QString::asprintf("%02d:%02d:%02d.%02d", t.hours, t.minutes, t.seconds, hundredths);
    default:
        HL_FAIL("Wrong Case");
    }
}

QString HLInformationTitle::itMakeDigitalTitleTime(qint64 format, float time, float duration)
{
    return itMakeDigitalTitleTime(format, time) + QLatin1Char('/')
        + itMakeDigitalTitleTime(format, duration);
}

QString HLInformationTitle::itMakeStringTitleTime(float time)
{
    const SplitTime t = splitTime(time);
    return part(t.hours, kStrTimeHr) + QLatin1Char(' ') + part(t.minutes, kStrTimeMin)
        + QLatin1Char(' ') + part(t.seconds, kStrTimeSec);
}

QString HLInformationTitle::itMakeStringTitleTimePartly(float time)
{
    const SplitTime t = splitTime(time);
    if (t.hours > 0)
        return part(t.hours, kStrTimeHr) + QLatin1Char(' ') + part(t.minutes, kStrTimeMin);
    if (t.minutes > 0)
        return part(t.minutes, kStrTimeMin) + QLatin1Char(' ') + part(t.seconds, kStrTimeSec);
    return part(t.seconds, kStrTimeSec);
}

QString HLInformationTitle::itMakeStringTitleSize(qint64 bytes)
{
    const qint64 K = qint64(std::pow(2.0, 10));
    const qint64 M = qint64(std::pow(2.0, 20));
    const qint64 G = qint64(std::pow(2.0, 30));
    float value = float(bytes);
    const char *unit = kStrSizeB;
    if (bytes > G) {
        value = value / float(G);
        unit = kStrSizeG;
    } else if (bytes > M) {
        value = value / float(M);
        unit = kStrSizeM;
    } else if (bytes > K) {
        value = value / float(K);
        unit = kStrSizeK;
    }
    return hlFixedString(double(value), 3) + QLatin1Char(' ') + QLatin1String(unit);
}
