// The program's entry: checks for a display, sets up the application and its look, and
// opens the main window on an empty project, or on the project named on the command line;
// a second launch hands its project to the running program instead.
#include "app/AppDelegate.h"
#include "app/HLApplication.h"
#include "app/HLDisplayCheck.h"
#include "app/HLSingleInstance.h"
#include "widgets/HLDarkStyle.h"
#include "widgets/HLNamedImage.h"

#include <QCommandLineParser>
#include <QFileInfo>

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
    const QString project = parser.positionalArguments().isEmpty()
                                ? QString()
                                : QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    // A program already running takes the project (or just comes to the front).
    const QString serverName = HLSingleInstance::serverName();
    if (HLSingleInstance::handOver(serverName, project))
        return 0;

    HLDarkStyle::applyTo(app);
    QApplication::setWindowIcon(HLNamedImage::icon(QStringLiteral("Slideshow")));
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    HLSingleInstance instance;
    if (!instance.listen(serverName, [&delegate](const QString &path) { delegate.applicationOpenFile(path); }))
        std::fprintf(stderr, "slideshow: other launches cannot hand their projects to this one\n");
    if (!project.isEmpty())
        delegate.applicationOpenFile(project);
    return app.exec();
}
