// The program's entry: checks for a display, sets up the application and its look, and
// opens the main window on an empty project.
#include "app/AppDelegate.h"
#include "app/HLApplication.h"
#include "app/HLDisplayCheck.h"
#include "widgets/HLDarkStyle.h"
#include "widgets/HLNamedImage.h"

#include <QCommandLineParser>

#include <cstdio>

int main(int argc, char **argv)
{
    if (!HLDisplayCheck::hasDisplay()) {
        std::fprintf(stderr, "slideshow: no display to show the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)\n");
        return 1;
    }
    HLDisplayCheck::installFatalHandler();
    QApplication::setApplicationName(QStringLiteral("slideshow"));
    QApplication::setApplicationDisplayName(QStringLiteral("Slideshow"));
    QApplication::setDesktopFileName(QStringLiteral("slideshow"));
    HLApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Turns photos, video clips and music into slideshow movies."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("A project package (.qlbyprj) to open."));
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        std::fprintf(stderr, "slideshow: opening projects is not there yet; %s was not opened, starting with an empty project\n",
                     qPrintable(parser.positionalArguments().first()));

    HLDarkStyle::applyTo(app);
    QApplication::setWindowIcon(HLNamedImage::icon(QStringLiteral("Slideshow")));
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    return app.exec();
}
