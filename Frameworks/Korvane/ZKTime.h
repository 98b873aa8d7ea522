#pragma once

#include <QtGlobal>

// Media time: signed ticks, zk_default_time_base() of them per second. Seconds and ticks are
// converted only through this pair.
qint64 zk_default_time_base();
double zk_ff_time_to_double(qint64 time);
// The nearest tick; NaN gives 0 and values beyond the tick range are held at its ends.
qint64 zk_ff_time_from_double(double seconds);
