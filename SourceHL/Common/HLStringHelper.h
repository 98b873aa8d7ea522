#pragma once

#include <QString>

// Whether text contains part (case-sensitive).
bool hlContainsString(const QString &text, const QString &part);

// The number at the start of text, as the time and number fields read it: leading blanks
// skipped, then a decimal number with optional sign, point and exponent; 0 when there is
// none. Always the point as decimal separator, whatever the locale.
float hlFloatValue(const QString &text);

// value with that many digits after the point, rounded as printf's "%.*f" rounds, always with
// the point whatever the locale.
QString hlFixedString(double value, int decimals);
