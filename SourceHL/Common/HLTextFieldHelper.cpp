#include "SourceHL/Common/HLTextFieldHelper.h"

#include "SourceHL/Common/HLStringHelper.h"

#include <QByteArray>

#include <algorithm>

namespace {

const QString kPercent = QStringLiteral("%");

float clamped(float value, TextFieldValueRange range)
{
    if (!range.clamp)
        return value;
    return std::min(std::max(value, range.minimum), range.maximum);
}

} // namespace

QString hlStringOf(float value, int decimals)
{
    return hlFixedString(double(value), std::max(decimals, 0));
}

QString hlStringOf(float value, int decimals, const QString &suffix)
{
    return hlStringOf(value, decimals) + suffix;
}

bool hlIsStringValid(const QString &text)
{
    int points = 0;
    for (const char c : text.toUtf8()) {
        if (c == '.') {
            if (++points > 1)
                return false;
        } else if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

bool hlIsStringValid(const QString &text, const QString &suffix)
{
    return text.endsWith(suffix) && hlIsStringValid(text.chopped(suffix.size()));
}

QString hlString(const QString &text, const QString &without)
{
    return text.endsWith(without) ? text.chopped(without.size()) : text;
}

float hlTextFieldValueOf(const QString &text)
{
    return hlFloatValue(text);
}

float hlTextFieldValueOf(const QString &text, const QString &suffix)
{
    return hlFloatValue(hlString(text, suffix));
}

QString hlEndEditing(const QString &text, int decimals, TextFieldValueRange range,
                     const QString &fallback)
{
    if (!hlIsStringValid(text))
        return fallback;
    return hlStringOf(clamped(hlFloatValue(text), range), decimals);
}

QString hlEndEditing(const QString &text, int decimals, TextFieldValueRange range,
                     const QString &fallback, const QString &suffix)
{
    const bool bare = hlIsStringValid(text);
    const bool withUnit = hlIsStringValid(text, suffix);
    if (!bare && !withUnit)
        return fallback;
    const QString number = bare ? text : hlString(text, suffix);
    return hlStringOf(clamped(hlFloatValue(number), range), decimals, suffix);
}

QString hlPercentageOf(float fraction, int decimals)
{
    return hlStringOf(fraction * 100, decimals, kPercent);
}

bool hlIsItPercentage(const QString &text, bool with)
{
    return with ? hlIsStringValid(text, kPercent) : hlIsStringValid(text);
}

float hlPercentValueOf(const QString &text)
{
    return hlFloatValue(hlString(text, kPercent)) / 100;
}
