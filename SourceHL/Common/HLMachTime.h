#pragma once

#include <QString>
#include <QtGlobal>

// The machine clock: monotonic ticks for measuring play time, and identifiers for what the
// project creates.
class HLMachTime
{
public:
    HLMachTime() = delete;

    // Monotonic clock ticks (nanoseconds); never goes backwards, unaffected by wall-clock changes.
    static quint64 machTime();
    // Decimal digits only. Taken from the real-time clock in nanoseconds and kept strictly
    // increasing within the process, so identifiers stay unique across runs and reboots
    // (a resource folder is named by one; a repeat would merge two media files).
    static QString machTimeID();
    // machTime() in seconds.
    static double normalTime();
    // Ticks to seconds.
    static double normalTimeFrom(quint64 ticks);
};
