// Pictures of the main window on an empty project, of each shared sheet on it, of the
// preview showing a title, of the File menu, of the question about unsaved changes and the alert of a failed
// save, and of the alert an internal error shows.
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLBusyWndCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLProgressWndCtrl.h"
#include "SourceHL/Control/HLProjectDocument.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "app/AppDelegate.h"
#include "app/HLApplication.h"
#include "tests/support/ScreenShots.h"
#include "widgets/HLDarkStyle.h"

#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <cstdio>

namespace {

using ScreenShots::save;
using ScreenShots::settle;
using ScreenShots::withSheet;

// Grabs the next alert that comes up and answers it with Escape.
class AlertGrab
{
public:
    AlertGrab()
    {
        m_timer.setInterval(50);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!alert || !alert->isVisible() || !picture.isNull())
                return;
            QTest::qWait(200);
            picture = alert->grab().toImage();
            alert->reject();
        });
        m_timer.start();
    }
    QImage picture;

private:
    QTimer m_timer;
};

} // namespace

int main(int argc, char **argv)
{
    QApplication::setApplicationName(QStringLiteral("slideshow"));
    QApplication::setApplicationDisplayName(QStringLiteral("Slideshow"));
    HLApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    HLDarkStyle::applyTo(app);
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    HLMainWindow *window = delegate.wCtrlMain().window();
    settle(1000);
    bool ok = save(window->grab().toImage(), out, QStringLiteral("main-window-empty.png"));

    QMenu *file = window->menuBar()->actions().constFirst()->menu();
    file->popup(window->mapToGlobal(QPoint(0, window->menuBar()->height())));
    settle(1000);
    ok = save(file->grab().toImage(), out, QStringLiteral("menu-file.png")) && ok;
    file->hide();

    HLBusyWndCtrl &busy = HLBusyWndCtrl::sharedBusyWndCtrl();
    busy.startBusingOn(window);
    settle(1000);
    ok = save(withSheet(window, busy.window()), out, QStringLiteral("main-window-busy-sheet.png")) && ok;
    busy.stopBusing();
    settle(1000);

    HLProgressWndCtrl &progress = HLProgressWndCtrl::sharedProgressWndCtrl();
    progress.startProgress(12, window, [] {});
    progress.updateProgress(3);
    settle(1000);
    ok = save(withSheet(window, progress.window()), out, QStringLiteral("main-window-progress-sheet.png")) && ok;
    progress.stopProgress();
    settle(1000);

    HLMainWndCtrl &ctrl = delegate.wCtrlMain();
    auto title = HLTextItem::textItemOf(QStringLiteral("T1"));
    title->oTextEdit()->setStrText(QStringLiteral("Summer by the Sea"));
    title->updatePlayMin(0, 5);
    ctrl.gate().perform(HLChange::None, [&] { ctrl.oTextline()->add(title); });
    ctrl.p_seekAt(0);
    ctrl.oLastOperateQueue()->wait();
    settle(1000);
    ok = save(window->grab().toImage(), out, QStringLiteral("main-window-title-preview.png")) && ok;

    ctrl.setEdited(true);
    {
        AlertGrab question;
        ctrl.document().p_closeDirtyProject({}, {}, {});
        ok = save(question.picture, out, QStringLiteral("alert-unsaved-changes.png")) && ok;
    }
    {
        AlertGrab failure;
        ctrl.document().p_saveProjectTo(QStringLiteral("/dev/null/Holiday.qlbyprj"));
        if (!QTest::qWaitFor([&] { return !failure.picture.isNull(); }, 5000))
            std::fprintf(stderr, "no alert came up for the failed save\n");
        ok = save(failure.picture, out, QStringLiteral("alert-save-failed.png")) && ok;
    }

    {
        AlertGrab internal;
        HLApplication::showFailureAlert(QStringLiteral("wrong para"));
        ok = save(internal.picture, out, QStringLiteral("alert-internal-error.png")) && ok;
    }
    return ok ? 0 : 1;
}
