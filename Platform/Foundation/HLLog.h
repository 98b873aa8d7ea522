#pragma once

#include <QLoggingCategory>

// The program's own log lines (the steps of an export or a burn), shown with
// QT_LOGGING_RULES="slideshow.info=true" or in a bug report's output.
Q_DECLARE_LOGGING_CATEGORY(hlLog)
