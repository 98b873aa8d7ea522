#pragma once

#include <QObject>

#include <memory>

class HLMainWndCtrl;

// Starts the program: builds the menus and shows the one main window.
class AppDelegate : public QObject
{
    Q_OBJECT
public:
    AppDelegate();
    ~AppDelegate() override;

    // Builds the menus and shows the main window.
    void applicationDidFinishLaunching();
    // The main window's controller, made on first use.
    HLMainWndCtrl &wCtrlMain();

private:
    void setupMenus();

    std::unique_ptr<HLMainWndCtrl> m_wCtrlMain;
};
