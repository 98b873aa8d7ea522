#pragma once

#include <QString>

// Seconds to and from the "hh:mm:ss.mmm" text of the editors' time fields.
class HLTimeStringTransformer
{
public:
    HLTimeStringTransformer() = delete;

    // 3725.5 gives "01:02:05.500"; hours are not limited to two digits.
    static QString transformedValue(float seconds);
    // "h:m:s", "m:s" or "s", each part read as a number (unreadable parts count 0);
    // any other number of parts gives 0.
    static float reverseTransformedValue(const QString &text);
};
