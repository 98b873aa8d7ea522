#include "Platform/Foundation/HLLog.h"

Q_LOGGING_CATEGORY(hlLog, "slideshow")
