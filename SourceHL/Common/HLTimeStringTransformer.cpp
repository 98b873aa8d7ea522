#include "SourceHL/Common/HLTimeStringTransformer.h"

#include "SourceHL/Common/HLStringHelper.h"

#include <QStringList>

#include <cmath>
#include <limits>

QString HLTimeStringTransformer::transformedValue(float seconds)
{
    // Out-of-range and non-finite values would make the integer conversion undefined.
    const float f = std::isfinite(seconds) ? seconds : 0.0f;
    constexpr float intLimit = 2147483520.0f; // the largest float below 2^31
    const int s = int(std::fmax(-intLimit, std::fmin(f, intLimit)));
    const int hours = s / 3600;
    const int minutes = (s % 3600) / 60;
    const int secs = s % 60;
    const int millis = int((f - float(s)) * 1000.0f);
    return QString::asprintf("%02d:%02d:%02d.%03d", hours, minutes, secs, millis);
}

float HLTimeStringTransformer::reverseTransformedValue(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    switch (parts.size()) {
    case 3:
        return (hlFloatValue(parts[0]) * 3600.0f + hlFloatValue(parts[1]) * 60.0f)
            + hlFloatValue(parts[2]);
    case 2:
        return hlFloatValue(parts[0]) * 60.0f + hlFloatValue(parts[1]);
    case 1:
        return hlFloatValue(parts[0]);
    default:
        return 0.0f;
    }
}
