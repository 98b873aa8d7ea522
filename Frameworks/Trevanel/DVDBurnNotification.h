#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;
struct udev;
struct udev_monitor;

// Tells when optical drives come or go: a udev monitor of block devices, watched on the
// thread that made this object (the main thread); only drives with ID_CDROM=1 count.
class DVDBurnNotification : public QObject
{
public:
    DVDBurnNotification();
    ~DVDBurnNotification() override;

    void setDelegate(std::function<void()> devicesDidChanged) { m_devicesDidChanged = std::move(devicesDidChanged); }
    // False when udev cannot be watched here (no udev, no netlink); then nothing is told.

private:
    void p_readEvents();

    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
    std::function<void()> m_devicesDidChanged;
};
