#include "app/HLSingleInstance.h"

#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLProjectDocument.h"
#include "app/AppDelegate.h"
#include "tests/support/TestFolder.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <future>

namespace {

QString uniqueName()
{
    return QStringLiteral("slideshow-test-%1").arg(QCoreApplication::applicationPid());
}

// The handing program blocks on the socket, so it runs beside the event loop of the one that listens.
HLSingleInstance::HandOver handOverBeside(const QString &name, const QString &path)
{
    auto handed = std::async(std::launch::async, [name, path] { return HLSingleInstance::handOver(name, path); });
    while (handed.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return handed.get();
}

using HandOver = HLSingleInstance::HandOver;

TEST(HLSingleInstance, ASecondLaunchHandsItsProjectToTheFirstAndHearsWhetherItWasTaken)
{
    const QString name = uniqueName();
    EXPECT_EQ(HLSingleInstance::handOver(name, QStringLiteral("/nobody/listens.qlbyprj")), HandOver::NoProgram);

    QStringList received;
    HLSingleInstance first;
    ASSERT_TRUE(first.listen(name, [&](const QString &path) {
        received << path;
        return !path.endsWith(QStringLiteral(".txt"));
    }));
    EXPECT_EQ(handOverBeside(name, QStringLiteral("/home/me/Trip.qlbyprj")), HandOver::Taken);
    EXPECT_EQ(handOverBeside(name, QString()), HandOver::Taken); // only brings the window forward
    EXPECT_EQ(handOverBeside(name, QStringLiteral("/home/me/notes.txt")), HandOver::Refused);
    const QStringList expected{"/home/me/Trip.qlbyprj", "", "/home/me/notes.txt"};
    EXPECT_EQ(received, expected);

    // A third program does not take the name from a running one.
    HLSingleInstance third;
    EXPECT_FALSE(third.listen(name, {}));
}

// A project handed over while a dialog is up waits for it to close and is then opened; the
// second launch hears it was taken. What is not a project is refused.
TEST(HLSingleInstance, AProjectHandedOverWhileADialogIsUpOpensWhenItCloses)
{
    QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-hand-over"));
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    HLMainWndCtrl &ctrl = delegate.wCtrlMain();
    HLProjectDocument &document = ctrl.document();
    TestFolder out;
    const QString package = out.file("Trip.qlbyprj");
    {
        QSignalSpy saved(&document, &HLProjectDocument::saveFinished);
        document.p_saveProjectTo(package);
        ASSERT_TRUE(saved.wait(60000));
        ASSERT_TRUE(saved.first().first().toBool());
    }
    document.p_new();
    ASSERT_TRUE(ctrl.strWorkDirectory().isEmpty());

    const QString name = uniqueName();
    HLSingleInstance first;
    ASSERT_TRUE(first.listen(name, [&](const QString &path) { return delegate.applicationOpenFile(path); }));

    QSignalSpy opened(&document, &HLProjectDocument::openFinished);
    QMessageBox dialog(QMessageBox::Information, QStringLiteral("Busy"), QStringLiteral("A dialog"), QMessageBox::Ok,
                       ctrl.window());
    dialog.setWindowModality(Qt::WindowModal);
    dialog.open();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    EXPECT_EQ(handOverBeside(name, package), HandOver::Taken);
    QCoreApplication::processEvents();
    EXPECT_EQ(opened.count(), 0); // not under the dialog
    EXPECT_TRUE(ctrl.strWorkDirectory().isEmpty());

    dialog.accept();
    ASSERT_TRUE(opened.count() > 0 || opened.wait(60000));
    EXPECT_TRUE(opened.first().first().toBool());
    EXPECT_EQ(ctrl.strWorkDirectory(), package);

    // Not a project: refused, and the window says why once it is free.
    QString said;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            said = alert->text();
            alert->accept();
        }
    });
    answer.start(1);
    EXPECT_EQ(handOverBeside(name, out.file("notes.txt")), HandOver::Refused);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !said.isEmpty(); }, 60000));
    EXPECT_EQ(said, "“notes.txt” is not a project.");
    EXPECT_EQ(ctrl.strWorkDirectory(), package);
}

} // namespace
