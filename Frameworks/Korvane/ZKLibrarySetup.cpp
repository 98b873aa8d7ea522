#include "Frameworks/Korvane/ZKLibrarySetup.h"

#include <mutex>

extern "C" {
#include <libavutil/log.h>
}

void zk_setup_libraries()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_level(AV_LOG_ERROR); });
}
