#pragma once

#include <QString>
#include <QtGlobal>

#include <atomic>
#include <functional>

// One burner and the disc in it, as the burn needs them. Implementations may be slow (they
// talk to the drive); DVDBurn calls them from one thread at a time.
class DVDBurnDevice
{
public:
    using Progress = std::function<void(double fraction)>;

    virtual ~DVDBurnDevice() = default;
    virtual QString displayName() const = 0;
    virtual bool mediaIsPresent() = 0;
    virtual bool mediaIsBlank() = 0;
    // Bytes.
    virtual qint64 mediaWritableSpace() = 0;
    // Writes the image onto the disc; blocks until done. Watches cancel; reports progress
    // 0 to 1. False with a reason when the disc was not written well.
    virtual bool burnImage(const QString &isoPath, const Progress &progress, const std::atomic<bool> &cancel,
                           QString *error) = 0;
};
