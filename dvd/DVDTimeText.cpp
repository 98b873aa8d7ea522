#include "dvd/DVDTimeText.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// Whole milliseconds of a time, never negative.
qint64 milliseconds(double seconds)
{
    if (!std::isfinite(seconds) || seconds <= 0)
        return 0;
    return qint64(std::llround(std::min(seconds, 1e12) * 1000.0));
}

} // namespace

std::optional<double> DVDTimeText::secondsFromText(const QString &text)
{
    static const QRegularExpression form(
        QStringLiteral("^(?:(?:(\\d{1,6}):)?(\\d{1,6}):)?(\\d{1,9})(?:\\.(\\d{1,9}))?$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return std::nullopt;
    const bool hasHours = match.hasCaptured(1);
    const bool hasMinutes = match.hasCaptured(2);
    const double hours = hasHours ? match.captured(1).toDouble() : 0.0;
    const double minutes = hasMinutes ? match.captured(2).toDouble() : 0.0;
    const double seconds = match.captured(3).toDouble();
    if ((hasHours && minutes >= 60) || (hasMinutes && seconds >= 60))
        return std::nullopt;
    double fraction = 0;
    if (match.hasCaptured(4))
        fraction = (QStringLiteral("0.") + match.captured(4)).toDouble();
    return hours * 3600 + minutes * 60 + seconds + fraction;
}

QString DVDTimeText::timeStrFromSecond(double seconds)
{
    const qint64 n = milliseconds(std::floor(std::max(seconds, 0.0))) / 1000;
    return QString::asprintf("%02lld:%02lld:%02lld", n / 3600, n / 60 % 60, n % 60);
}

QString DVDTimeText::timeLongStrFromSecond(double seconds)
{
    const qint64 ms = milliseconds(seconds);
    return QString::asprintf("%02lld:%02lld:%02lld.%03lld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
}

QString DVDTimeText::hundredthsStrFromSecond(double seconds)
{
    const qint64 ms = milliseconds(seconds);
    return QString::asprintf("%02lld:%02lld:%02lld.%02lld", ms / 3600000, ms / 60000 % 60, ms / 1000 % 60,
                             ms % 1000 / 10);
}
