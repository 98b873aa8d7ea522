#include "app/AppDelegate.h"

#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLProjectDocument.h"
#include "SourceHL/Model/Package/HLProjectPackage.h"
#include "SourceHL/Windows/TipWndCtr.h"
#include "app/HLOpenQueue.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "dvd/ui/ExportDVDWndCtrl.h"
#include "export/ui/ExportWndCtrl.h"

#include <QApplication>
#include <QMenuBar>
#include <QMessageBox>
#include <QSessionManager>
#include <QToolButton>

#include <functional>

AppDelegate::AppDelegate() = default;

AppDelegate::~AppDelegate()
{
    m_openQueue.reset(); // it opens into the main window
}

HLMainWndCtrl &AppDelegate::wCtrlMain()
{
    if (!m_wCtrlMain) {
        m_wCtrlMain = std::make_unique<HLMainWndCtrl>();
        ConvertProgressWindowController::setRatePrompt(&TipWndCtr::showRateApplicationWindow);
        m_wCtrlMain->blkExportMovie = [this](const std::shared_ptr<VETimelineExportMovie> &movie) {
            const QString work = wCtrlMain().strWorkDirectory();
            wCtrlExport().setStrProjectName(work.isEmpty() ? QString() : HLProjectPackage::displayName(work));
            wCtrlExport().exportMovie(movie);
        };
    }
    return *m_wCtrlMain;
}

ExportWndCtrl &AppDelegate::wCtrlExport()
{
    if (!m_wCtrlExport) {
        m_wCtrlExport = std::make_unique<ExportWndCtrl>(wCtrlMain().window());
        m_wCtrlExportDVD = std::make_unique<ExportDVDWndCtrl>(*m_wCtrlExport);
    }
    return *m_wCtrlExport;
}

void AppDelegate::applicationDidFinishLaunching()
{
    setupMenus();
    wCtrlMain().showWindow();
    // Logging out with unsaved changes asks first, as closing the window does.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager &manager) {
        const bool canAsk = manager.allowsInteraction();
        const bool mayEnd = wCtrlMain().document().sessionMayEnd(canAsk);
        if (canAsk) {
            if (!mayEnd)
                manager.cancel();
            manager.release();
        }
    });
}

bool AppDelegate::applicationOpenFile(const QString &path)
{
    HLProjectDocument &document = wCtrlMain().document();
    wCtrlMain().showWindow();
    if (path.isEmpty())
        return true;
    if (!m_openQueue) {
        m_openQueue = std::make_unique<HLOpenQueue>(
            [&document] { return !QApplication::activeModalWidget() && !document.isBusy(); },
            [&document](const QString &package) { document.tryToOpen(package); });
        connect(&document, &HLProjectDocument::saveFinished, m_openQueue.get(), &HLOpenQueue::wake);
        connect(&document, &HLProjectDocument::openFinished, m_openQueue.get(), &HLOpenQueue::wake);
    }
    // Queued even when refused: the window tells the user why once it is free.
    m_openQueue->enqueue(path);
    return HLProjectPackage::isPackage(path);
}

void AppDelegate::setupMenus()
{
    HLMainWndCtrl &ctrl = wCtrlMain();
    HLMainWindow *window = ctrl.window();
    HLProjectDocument *document = &ctrl.document();
    const QString name = QApplication::applicationDisplayName();
    QMenu *file = window->menuBar()->addMenu(tr("&File"));
    const auto command = [file](const QString &title, const QKeySequence &shortcut, QObject *context,
                                const std::function<void()> &run) {
        QAction *action = file->addAction(title);
        action->setShortcut(shortcut);
        QObject::connect(action, &QAction::triggered, context, run);
        return action;
    };
    command(tr("New"), QKeySequence::New, document, [document] { document->p_new(); });
    command(tr("Open…"), QKeySequence::Open, document, [document] { document->p_open(); });
    file->addSeparator();
    command(tr("Save"), QKeySequence::Save, document, [document] { document->p_save(); });
    // Some desktops bind no key to Save As; the usual one then.
    const QKeySequence saveAs = QKeySequence::keyBindings(QKeySequence::SaveAs).value(
        0, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    command(tr("Save As…"), saveAs, document, [document] { document->p_saveAs(); });
    file->addSeparator();
    QAction *exportMovie =
        command(tr("Export…"), QKeySequence(Qt::CTRL | Qt::Key_E), &ctrl, [&ctrl] { ctrl.p_export(); });
    // Export can act when the tool bar's can (a project with something in it).
    connect(file, &QMenu::aboutToShow, exportMovie,
            [exportMovie, window] { exportMovie->setEnabled(window->btnExport->isEnabled()); });
    file->addSeparator();
    // Quitting closes the window, which asks about unsaved changes first.
    QAction *quit = file->addAction(tr("Quit %1").arg(name), window, &QWidget::close);
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
