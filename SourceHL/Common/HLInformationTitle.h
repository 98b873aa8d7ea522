#pragma once

#include <QString>
#include <QtGlobal>

// Captions of play times and byte sizes for the timeline cells, the audio line, the trim
// panels and the sorting window.
class HLInformationTitle
{
public:
    HLInformationTitle() = delete;

    // Unit words of the worded times and of sizes.
    static constexpr const char *kStrTimeHr = "hr";
    static constexpr const char *kStrTimeMin = "min";
    static constexpr const char *kStrTimeSec = "sec";
    static constexpr const char *kStrSizeG = "G";
    static constexpr const char *kStrSizeM = "M";
    static constexpr const char *kStrSizeK = "K";
    static constexpr const char *kStrSizeB = "Byte";

    // Digital time in one of six formats; any other format is "Wrong Case".
    //   0 "%02d" total seconds            3 "%02d:%02d.%02d" total minutes, seconds, hundredths
    //   1 "%02d.%02d" + hundredths        4 "%02d:%02d:%02d" hours, minutes, seconds
    //   2 "%02d:%02d" total minutes, s    5 "%02d:%02d:%02d.%02d" + hundredths
    static QString itMakeDigitalTitleTime(qint64 format, float time);
    // "time/duration", both in the same digital format.
    static QString itMakeDigitalTitleTime(qint64 format, float time, float duration);
    // "1hr 2min 5sec": always all three parts.
    static QString itMakeStringTitleTime(float time);
    // The two leading parts from the first one above 0 ("1hr 2min", "2min 5sec"), else "5sec".
    static QString itMakeStringTitleTimePartly(float time);
    // "%.3f" of the value in the largest unit the count exceeds: "1.500 K", "1024.000 Byte".
    static QString itMakeStringTitleSize(qint64 bytes);
};
