#include "app/HLDisplayCheck.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

QtMessageHandler previousHandler = nullptr;

void fatalToOneLine(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "slideshow: cannot open a window: %s\n",
                     qPrintable(message.section(QLatin1Char('\n'), 0, 0)));
        _exit(1);
    }
    if (previousHandler)
        previousHandler(type, context, message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

bool isSet(const char *name)
{
    const char *value = std::getenv(name);
    return value && *value;
}

} // namespace

bool HLDisplayCheck::hasDisplay()
{
    return isSet("QT_QPA_PLATFORM") || isSet("DISPLAY") || isSet("WAYLAND_DISPLAY");
}

void HLDisplayCheck::installFatalHandler()
{
    previousHandler = qInstallMessageHandler(fatalToOneLine);
}
