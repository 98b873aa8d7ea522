#pragma once

#include "Frameworks/Trevanel/DVDBurnDevice.h"

#include <atomic>
#include <chrono>
#include <thread>

// A burner whose disc and failures the test sets, also while a burn's thread looks at them.
class FakeDrive : public DVDBurnDevice
{
public:
    explicit FakeDrive(QString name = QStringLiteral("Fake Burner")) : m_name(std::move(name)) {}

    std::atomic<bool> present{true};
    std::atomic<bool> blank{true};
    std::atomic<qint64> space{qint64(1) << 32};
    std::atomic<int> failures{0}; // burns that fail before one succeeds
    std::atomic<bool> holdUntilCancelled{false};
    std::atomic<int> burns{0};

    QString displayName() const override { return m_name; }
    bool mediaIsPresent() override { return present; }
    bool mediaIsBlank() override { return present && blank; }
    qint64 mediaWritableSpace() override { return present && blank ? space.load() : 0; }
    bool burnImage(const QString &, const Progress &progress, const std::atomic<bool> &cancel, QString *error) override
    {
        ++burns;
        progress(0.5);
        while (holdUntilCancelled && !cancel)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        if (cancel) {
            *error = QStringLiteral("Cancelled");
            return false;
        }
        if (failures > 0) {
            --failures;
            *error = QStringLiteral("Write error");
            return false;
        }
        blank = false;
        return true;
    }

private:
    QString m_name;
};
