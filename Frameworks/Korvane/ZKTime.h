#pragma once

#include <QtGlobal>

// Media time: signed ticks, zk_default_time_base() of them per second.
qint64 zk_default_time_base();
double zk_ff_time_to_double(qint64 time);
