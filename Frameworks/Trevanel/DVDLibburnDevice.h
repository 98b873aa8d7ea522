#pragma once

#include "Frameworks/Trevanel/DVDBurnDevice.h"

#include <QString>

#include <memory>
#include <vector>

// A burner through libburn, by its address: a device file ("/dev/sr0") or a "stdio:" path,
// libburn's pseudo-drive that burns into a file.
class DVDLibburnDevice : public DVDBurnDevice
{
public:
    DVDLibburnDevice(QString address, QString displayName);

    // The system's optical drives (udev block devices with ID_CDROM=1).
    static std::vector<std::shared_ptr<DVDBurnDevice>> systemDrives();

    QString address() const { return m_address; }
    QString displayName() const override { return m_displayName; }
    bool mediaIsPresent() override;
    bool mediaIsBlank() override;
    qint64 mediaWritableSpace() override;
    bool burnImage(const QString &isoPath, const Progress &progress, const std::atomic<bool> &cancel,
                   QString *error) override;

private:
    QString m_address;
    QString m_displayName;
};
