#pragma once

#include <QString>

#include <optional>

// The time texts of the DVD windows: the menu button's movie time and the menu music's trim.
class DVDTimeText
{
public:
    DVDTimeText() = delete;

    // "h:m:s", "m:s" or "s", whole numbers, the seconds with an optional decimal fraction
    // ("00:00:01.5" is 1.5 s, "12:30" is 750 s, "90" is 90 s). Minutes and seconds under a
    // larger part stay below 60. Nothing for any other text.
    static std::optional<double> secondsFromText(const QString &text);
    // "hh:mm:ss", the seconds cut to whole ones; negative times show as 0.
    static QString timeStrFromSecond(double seconds);
    // "hh:mm:ss.mmm", rounded to the millisecond first (9.9996 s is "00:00:10.000").
    static QString timeLongStrFromSecond(double seconds);
    // "hh:mm:ss.hh", hundredths cut from the time rounded to the millisecond.
    static QString hundredthsStrFromSecond(double seconds);
};
