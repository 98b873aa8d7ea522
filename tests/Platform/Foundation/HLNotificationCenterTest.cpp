#include "Platform/Foundation/HLNotificationCenter.h"

#include "Platform/Foundation/HLDispatch.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

const QString kSlidInsert = QStringLiteral("TimelineVCtrlSlidInsertNotification");
const QString kStartBusying = QStringLiteral("HLWindowStartBusyingNotification");

bool waitFor(const std::function<bool()> &done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

TEST(HLNotificationCenter, postReachesTheObserversOfItsNameInOrder)
{
    HLNotificationCenter center;
    int first = 0, second = 0, busy = 0;
    std::vector<QString> order;
    center.addObserver(&first, kSlidInsert, [&](const QString &name, const QVariantMap &info) {
        order.push_back("first");
        EXPECT_EQ(name, kSlidInsert);
        EXPECT_EQ(info.value("Index"), QVariant(3));
    });
    center.addObserver(&second, kSlidInsert, [&](const QString &, const QVariantMap &) { order.push_back("second"); });
    center.addObserver(&busy, kStartBusying, [&](const QString &, const QVariantMap &) { order.push_back("busy"); });

    center.post(kSlidInsert, {{"Index", 3}});
    EXPECT_EQ(order, (std::vector<QString>{"first", "second"}));

    center.removeObserver(&first);
    center.removeObserver(&busy, kSlidInsert); // not registered under this name: nothing happens
    order.clear();
    center.post(kSlidInsert);
    center.post(kStartBusying);
    EXPECT_EQ(order, (std::vector<QString>{"second", "busy"}));

    center.removeObserver(&busy, kStartBusying);
    order.clear();
    center.post(kStartBusying);
    EXPECT_TRUE(order.empty());
}

TEST(HLNotificationCenter, callbacksMayChangeTheCenterWhileItDelivers)
{
    HLNotificationCenter center;
    int a = 0, b = 0, c = 0;
    int calls = 0;
    center.addObserver(&a, kSlidInsert, [&](const QString &, const QVariantMap &) {
        ++calls;
        center.removeObserver(&b);
        center.addObserver(&c, kSlidInsert, [&](const QString &, const QVariantMap &) { ++calls; });
        center.post(kStartBusying);
    });
    center.addObserver(&b, kSlidInsert, [&](const QString &, const QVariantMap &) { ADD_FAILURE() << "removed"; });
    int busy = 0;
    center.addObserver(&a, kStartBusying, [&](const QString &, const QVariantMap &) { ++busy; });
    center.post(kSlidInsert);
    EXPECT_EQ(calls, 1); // the observer added during delivery waits for the next post
    EXPECT_EQ(busy, 1);
    center.post(kSlidInsert);
    EXPECT_EQ(calls, 3);
}

TEST(HLNotificationCenter, postsFromWorkersArriveOnTheMainThread)
{
    HLNotificationCenter center;
    std::atomic<int> received{0};
    std::atomic<int> offMain{0};
    int owner = 0;
    center.addObserver(&owner, kStartBusying, [&](const QString &, const QVariantMap &info) {
        if (!HLDispatch::isMainThread())
            ++offMain;
        received += info.value("Count").toInt();
    });

    // Workers post while others add and remove observers of their own.
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t)
        workers.emplace_back([&center] {
            int mine = 0;
            for (int i = 0; i < 200; ++i) {
                center.addObserver(&mine, kSlidInsert, [](const QString &, const QVariantMap &) {});
                center.post(kStartBusying, {{"Count", 1}});
                center.removeObserver(&mine);
            }
        });
    for (auto &worker : workers)
        worker.join();
    EXPECT_TRUE(waitFor([&] { return received == 800; })) << received;
    EXPECT_EQ(offMain, 0);
}

TEST(HLNotificationCenter, queuedPostsToAGoneCenterOrObserverAreDropped)
{
    int calls = 0;
    int owner = 0;
    {
        HLNotificationCenter center;
        center.addObserver(&owner, kSlidInsert, [&](const QString &, const QVariantMap &) { ++calls; });
        std::thread([&] { center.post(kSlidInsert); }).join();
    }
    HLNotificationCenter &shared = HLNotificationCenter::defaultCenter();
    shared.addObserver(&owner, kSlidInsert, [&](const QString &, const QVariantMap &) { ++calls; });
    std::thread([&] { shared.post(kSlidInsert); }).join();
    shared.removeObserver(&owner);
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}

} // namespace
