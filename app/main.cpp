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
    switch (HLSingleInstance::handOver(serverName, project)) {
    case HLSingleInstance::HandOver::Taken:
        return 0;
    case HLSingleInstance::HandOver::Refused:
        std::fprintf(stderr, "slideshow: the running program did not take %s: it is not a project\n",
                     qPrintable(project));
        return 1;
    case HLSingleInstance::HandOver::NoProgram:
        break;
    }

    HLDarkStyle::applyTo(app);
    QApplication::setWindowIcon(HLNamedImage::icon(QStringLiteral("Slideshow")));
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    HLSingleInstance instance;
    const auto receive = [&delegate](const QString &path) { return delegate.applicationOpenFile(path); };
    if (!instance.listen(serverName, receive))
        std::fprintf(stderr, "slideshow: other launches cannot hand their projects to this one\n");
    if (!project.isEmpty())
        delegate.applicationOpenFile(project);
    return app.exec();
}
