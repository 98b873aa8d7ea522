#pragma once

#include <QObject>
#include <QString>

#include <memory>

class ExportDVDWndCtrl;
class ExportWndCtrl;
class HLMainWndCtrl;
class HLOpenQueue;

// Starts the program: builds the menus and shows the one main window; hands it the projects
// opened from outside.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    AppDelegate();
    ~AppDelegate() override;

    // Builds the menus and shows the main window.
    void applicationDidFinishLaunching();
    // A project named on the command line or by a second launch: the window comes to the
    // front and opens it (an empty path only raises the window), at once or, while a dialog
    // is up or a save or open runs, once the window is free. True when it is taken: a
    // package (anything else is refused, and the window says why when it is free).
    bool applicationOpenFile(const QString &path);
    // The main window's controller, made on first use.
    HLMainWndCtrl &wCtrlMain();
    // The export window with its DVD tab, made on first use.
    ExportWndCtrl &wCtrlExport();

private:
    void setupMenus();

    std::unique_ptr<HLMainWndCtrl> m_wCtrlMain;
    std::unique_ptr<HLOpenQueue> m_openQueue; // projects from outside waiting for the window
    std::unique_ptr<ExportWndCtrl> m_wCtrlExport; // goes before the main window: its window hangs on it
    std::unique_ptr<ExportDVDWndCtrl> m_wCtrlExportDVD; // its DVD tab, unhooked before the window goes
};
