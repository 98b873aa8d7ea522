#include "Frameworks/Korvane/ZKTime.h"

#include <cmath>
#include <limits>

qint64 zk_default_time_base()
{
    return 1000000;
}

double zk_ff_time_to_double(qint64 time)
{
    return double(time) / double(zk_default_time_base());
}

qint64 zk_ff_time_from_double(double seconds)
{
    if (std::isnan(seconds))
        return 0;
    const double ticks = std::round(seconds * double(zk_default_time_base()));
    // 2^63 is exactly representable; anything at or past it would overflow the conversion.
    constexpr double limit = 9223372036854775808.0;
    if (ticks >= limit)
        return std::numeric_limits<qint64>::max();
    if (ticks <= -limit)
        return std::numeric_limits<qint64>::min();
    return qint64(ticks);
}
