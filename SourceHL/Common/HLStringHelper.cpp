#include "SourceHL/Common/HLStringHelper.h"

#include <QByteArray>

#include <charconv>
#include <system_error>

bool hlContainsString(const QString &text, const QString &part)
{
    return text.contains(part, Qt::CaseSensitive);
}

float hlFloatValue(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const char *begin = utf8.constData();
    const char *end = begin + utf8.size();
    while (begin != end && (*begin == ' ' || *begin == '\t' || *begin == '\n' || *begin == '\r'))
        ++begin;
    if (begin != end && *begin == '+')
        ++begin;
    float value = 0.0f;
    const auto result = std::from_chars(begin, end, value, std::chars_format::general);
    if (result.ec != std::errc())
        return 0.0f;
    return value;
}

QString hlFixedString(double value, int decimals)
{
    char buffer[512];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::fixed, decimals);
    if (result.ec != std::errc())
        return QString::number(value, 'f', decimals);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}
