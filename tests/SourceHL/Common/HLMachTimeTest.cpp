#include "SourceHL/Common/HLMachTime.h"

#include <gtest/gtest.h>

#include <QRegularExpression>

#include <algorithm>
#include <set>
#include <thread>
#include <vector>

TEST(HLMachTime, IdsAreDigitsAndGrowInCallOrder)
{
    const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    QString previous = HLMachTime::machTimeID();
    for (int i = 0; i < 1000; ++i) {
        const QString next = HLMachTime::machTimeID();
        ASSERT_TRUE(digits.match(next).hasMatch()) << next.toStdString();
        ASSERT_GT(next.toULongLong(), previous.toULongLong());
        previous = next;
    }
}

TEST(HLMachTime, IdsAreUniqueAcrossThreads)
{
    constexpr int threads = 8;
    constexpr int perThread = 2000;
    std::vector<std::vector<quint64>> made(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t) {
        workers.emplace_back([&made, t] {
            for (int i = 0; i < perThread; ++i)
                made[t].push_back(HLMachTime::machTimeID().toULongLong());
        });
    }
    for (auto &worker : workers)
        worker.join();

    std::set<quint64> all;
    for (const auto &list : made) {
        EXPECT_TRUE(std::is_sorted(list.begin(), list.end()));
        all.insert(list.begin(), list.end());
    }
    EXPECT_EQ(all.size(), size_t(threads * perThread));
}

TEST(HLMachTime, IdsFollowTheRealTimeClockSoTheyOutlastARestart)
{
    // A later run starts from the wall clock, not from zero: an id made now is near the
    // current real time in nanoseconds.
    const quint64 now = quint64(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                    std::chrono::system_clock::now().time_since_epoch())
                                    .count());
    const quint64 id = HLMachTime::machTimeID().toULongLong();
    EXPECT_GE(id, now);
    EXPECT_LT(id - now, quint64(60) * 1000000000u);
}

TEST(HLMachTime, TicksAreNanosecondsOfAMonotonicClock)
{
    EXPECT_EQ(HLMachTime::normalTimeFrom(0), 0.0);
    EXPECT_DOUBLE_EQ(HLMachTime::normalTimeFrom(1500000000), 1.5);

    const quint64 start = HLMachTime::machTime();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    const double elapsed = HLMachTime::normalTimeFrom(HLMachTime::machTime() - start);
    EXPECT_GE(elapsed, 0.019);
    EXPECT_LT(elapsed, 5.0);
}
