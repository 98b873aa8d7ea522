#pragma once

#include "Frameworks/Trevanel/DVDBurnDevice.h"

#include <chrono>
#include <thread>

// A burner whose disc and failures the test sets.
class FakeDrive : public DVDBurnDevice
{
public:
    bool present = true;
    bool blank = true;
    qint64 space = 1LL << 32;
    int failures = 0; // burns that fail before one succeeds
    bool holdUntilCancelled = false;
    std::atomic<int> burns{0};

    QString displayName() const override { return QStringLiteral("Fake"); }
    bool mediaIsPresent() override { return present; }
    bool mediaIsBlank() override { return present && blank; }
    qint64 mediaWritableSpace() override { return present && blank ? space : 0; }
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
};
