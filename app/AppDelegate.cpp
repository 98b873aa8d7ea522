#include "app/AppDelegate.h"

#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>

AppDelegate::AppDelegate() = default;
AppDelegate::~AppDelegate() = default;

HLMainWndCtrl &AppDelegate::wCtrlMain()
{
    if (!m_wCtrlMain)
        m_wCtrlMain = std::make_unique<HLMainWndCtrl>();
    return *m_wCtrlMain;
}

void AppDelegate::applicationDidFinishLaunching()
{
    setupMenus();
    wCtrlMain().showWindow();
}

void AppDelegate::setupMenus()
{
    HLMainWindow *window = wCtrlMain().window();
    const QString name = QApplication::applicationDisplayName();
    QMenu *file = window->menuBar()->addMenu(tr("&File"));
    QAction *quit = file->addAction(tr("Quit %1").arg(name), qApp, &QApplication::closeAllWindows);
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    QMenu *edit = window->menuBar()->addMenu(tr("&Edit"));
    edit->addActions(wCtrlMain().lineActions());
    QMenu *help = window->menuBar()->addMenu(tr("&Help"));
    QAction *about = help->addAction(tr("About %1").arg(name), window, [window, name] {
        QMessageBox::about(window, tr("About %1").arg(name),
                           tr("%1 turns photos, video clips and music into slideshow movies.").arg(name));
    });
    about->setMenuRole(QAction::AboutRole);
}
