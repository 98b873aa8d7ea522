#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLDispatch.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "app/AppDelegate.h"
#include "app/HLApplication.h"

#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Runs events until done() or a generous number of rounds has passed.
template <class Done>
void runUntil(Done done)
{
    for (int round = 0; round < 500 && !done(); ++round)
        QTest::qWait(10);
}

TEST(HLApplicationTest, AssertionInAButtonHandlerShowsAnAlertAndTheProgramGoesOn)
{
    QPushButton failing(QStringLiteral("Fail"));
    QPushButton working(QStringLiteral("Work"));
    int failedEdits = 0;
    int clicks = 0;
    QObject::connect(&failing, &QPushButton::clicked, [&] {
        HL_ASSERT(failedEdits > 0, "wrong para"); // checked before anything changes
        ++failedEdits;
    });
    QObject::connect(&working, &QPushButton::clicked, [&] { ++clicks; });
    failing.show();
    working.show();

    QString alertText;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            alertText = alert->text() + QLatin1Char('\n') + alert->informativeText();
            alert->accept();
        }
    });
    answer.start(10);

    QTest::mouseClick(&failing, Qt::LeftButton);
    runUntil([&] { return !alertText.isEmpty(); });
    EXPECT_TRUE(alertText.contains(QStringLiteral("wrong para"))) << qPrintable(alertText);
    EXPECT_EQ(failedEdits, 0); // the action was abandoned

    QTest::mouseClick(&working, Qt::LeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST(HLApplicationTest, AssertionInAQueuedJobIsReported)
{
    auto *app = static_cast<HLApplication *>(qApp);
    QStringList reports;
    app->setFailureReport([&](const QString &message) { reports << message; });
    bool laterJobRan = false;
    HLDispatch::onMain([] { HL_ASSERT(false, "wrong index"); });
    HLDispatch::onMain([&] { laterJobRan = true; });
    runUntil([&] { return !reports.isEmpty() && laterJobRan; });
    EXPECT_EQ(reports, QStringList({QStringLiteral("wrong index")}));
    EXPECT_TRUE(laterJobRan);
    app->setFailureReport(HLApplication::showFailureAlert);
}

TEST(AppDelegateTest, EditMenuHoldsTheCommandsOfTheLines)
{
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    QMenu *edit = nullptr;
    for (QAction *top : delegate.wCtrlMain().window()->menuBar()->actions())
        if (top->text() == QStringLiteral("&Edit"))
            edit = top->menu();
    ASSERT_TRUE(edit);
    QStringList titles;
    for (QAction *action : edit->actions())
        titles << action->text();
    EXPECT_EQ(titles, (QStringList{"Add Text", "Add Audio…", "Delete"}));
    const QAction *remove = edit->actions().last();
    EXPECT_EQ(remove->shortcuts(), (QList<QKeySequence>{QKeySequence(Qt::Key_Delete), QKeySequence(Qt::Key_Backspace)}));
    EXPECT_FALSE(remove->isEnabled()); // nothing is chosen
}

} // namespace

int main(int argc, char **argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    HLApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
