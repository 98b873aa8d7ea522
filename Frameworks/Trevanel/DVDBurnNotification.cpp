#include "Frameworks/Trevanel/DVDBurnNotification.h"

#include <QSocketNotifier>

#include <cstring>

#include <libudev.h>

DVDBurnNotification::DVDBurnNotification()
{
    m_udev = udev_new();
    if (!m_udev)
        return;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (!m_monitor || udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "block", nullptr) < 0
        || udev_monitor_enable_receiving(m_monitor) < 0)
        return;
    const int fd = udev_monitor_get_fd(m_monitor);
    if (fd < 0)
        return;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { p_readEvents(); });
}

DVDBurnNotification::~DVDBurnNotification()
{
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void DVDBurnNotification::p_readEvents()
{
    bool changed = false;
    while (udev_device *device = udev_monitor_receive_device(m_monitor)) {
        const char *cdrom = udev_device_get_property_value(device, "ID_CDROM");
        if (cdrom && std::strcmp(cdrom, "1") == 0)
            changed = true;
        udev_device_unref(device);
    }
    if (changed && m_devicesDidChanged)
        m_devicesDidChanged();
}
