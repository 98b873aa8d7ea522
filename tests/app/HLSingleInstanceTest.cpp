#include "app/HLSingleInstance.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <future>

namespace {

QString uniqueName()
{
    return QStringLiteral("slideshow-test-%1").arg(QCoreApplication::applicationPid());
}

// The handing program blocks on the socket, so it runs beside the event loop of the one that listens.
bool handOverBeside(const QString &name, const QString &path)
{
    auto handed = std::async(std::launch::async, [name, path] { return HLSingleInstance::handOver(name, path); });
    while (handed.wait_for(std::chrono::milliseconds(1)) != std::future_status::ready)
        QCoreApplication::processEvents();
    return handed.get();
}

TEST(HLSingleInstance, ASecondLaunchHandsItsProjectToTheFirst)
{
    const QString name = uniqueName();
    EXPECT_FALSE(HLSingleInstance::handOver(name, QStringLiteral("/nobody/listens.qlbyprj")));

    QStringList received;
    HLSingleInstance first;
    ASSERT_TRUE(first.listen(name, [&](const QString &path) { received << path; }));
    EXPECT_TRUE(handOverBeside(name, QStringLiteral("/home/me/Trip.qlbyprj")));
    EXPECT_TRUE(handOverBeside(name, QString())); // only brings the window forward
    const QStringList expected{"/home/me/Trip.qlbyprj", ""};
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == expected; })) << qPrintable(received.join('|'));

    // A third program does not take the name from a running one.
    HLSingleInstance third;
    EXPECT_FALSE(third.listen(name, {}));
}

} // namespace
