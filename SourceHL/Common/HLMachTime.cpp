#include "SourceHL/Common/HLMachTime.h"

#include <atomic>
#include <chrono>

namespace {

using TickClock = std::chrono::steady_clock;

// Seconds per tick: machTime counts nanoseconds whatever the clock's own period.
constexpr double static_mach_conversion =
    double(std::chrono::nanoseconds::period::num) / double(std::chrono::nanoseconds::period::den);

std::atomic<quint64> lastID{0};

} // namespace

quint64 HLMachTime::machTime()
{
    return quint64(std::chrono::duration_cast<std::chrono::nanoseconds>(
                       TickClock::now().time_since_epoch())
                       .count());
}

QString HLMachTime::machTimeID()
{
    const auto now = quint64(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count());
    // Two calls in the same nanosecond, or a wall clock stepped back, still give a new value.
    quint64 last = lastID.load(std::memory_order_relaxed);
    quint64 next;
    do {
        next = now > last ? now : last + 1;
    } while (!lastID.compare_exchange_weak(last, next, std::memory_order_relaxed));
    return QString::number(next);
}

double HLMachTime::normalTime()
{
    return normalTimeFrom(machTime());
}

double HLMachTime::normalTimeFrom(quint64 ticks)
{
    return static_mach_conversion * double(ticks);
}
