#pragma once

#include <QLoggingCategory>

// The program's own log lines (the steps of an export or a burn), on the standard error
// output for a bug report; QT_LOGGING_RULES="slideshow.info=false" silences them.
Q_DECLARE_LOGGING_CATEGORY(hlLog)
