#include "Frameworks/Korvane/ZKTime.h"

qint64 zk_default_time_base()
{
    return 1000000;
}

double zk_ff_time_to_double(qint64 time)
{
    return double(time) / double(zk_default_time_base());
}
