#pragma once

#include <QString>

// The rules of the edit panels' numeric text fields, on the field's text: format with a
// number of decimals, accept only plain decimal text, an optional unit suffix such as "%",
// clamp to a range when editing ends.

struct TextFieldValueRange
{
    bool clamp; // clamp to [minimum, maximum] when editing ends; else keep any valid number
    float minimum;
    float maximum;
};

// value with max(decimals, 0) digits after the point: 2.5 with 2 gives "2.50".
QString hlStringOf(float value, int decimals);
QString hlStringOf(float value, int decimals, const QString &suffix);
// Only the digits 0-9 and at most one point; the empty text is valid.
bool hlIsStringValid(const QString &text);
// Ends with suffix and is valid without it.
bool hlIsStringValid(const QString &text, const QString &suffix);
// text without a trailing suffix.
QString hlString(const QString &text, const QString &without);
// The number a field's text stands for.
float hlTextFieldValueOf(const QString &text);
float hlTextFieldValueOf(const QString &text, const QString &suffix);
// The text a field shows once editing ends: fallback for invalid text, else the value
// (clamped when the range says so) with that many decimals.
QString hlEndEditing(const QString &text, int decimals, TextFieldValueRange range,
                     const QString &fallback);
// As above, accepting the text with or without the unit; the unit is always written back.
QString hlEndEditing(const QString &text, int decimals, TextFieldValueRange range,
                     const QString &fallback, const QString &suffix);
// fraction × 100 with "%": 0.25 with 0 decimals gives "25%".
QString hlPercentageOf(float fraction, int decimals);
bool hlIsItPercentage(const QString &text, bool with);
// "25%" gives 0.25.
float hlPercentValueOf(const QString &text);
