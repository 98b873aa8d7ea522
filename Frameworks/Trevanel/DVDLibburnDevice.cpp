#include "Frameworks/Trevanel/DVDLibburnDevice.h"

#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <mutex>
#include <thread>

#include <libburn/libburn.h>
#include <libudev.h>

using namespace burn;

namespace {

std::mutex libburnMutex; // libburn keeps one drive list for the process

bool setUpLibburn()
{
    static const bool ready = [] {
        if (!burn_initialize())
            return false;
        // Failures are kept to be told as reasons; nothing is printed.
        burn_msgs_set_severities(const_cast<char *>("SORRY"), const_cast<char *>("NEVER"), const_cast<char *>("libburn"));
        return true;
    }();
    return ready;
}

// The first problem libburn reported since the last call, or fallback; the queue is emptied.
QString libburnReason(const QString &fallback)
{
    QString reason;
    char text[BURN_MSGS_MESSAGE_LEN];
    char severity[80];
    int code = 0;
    int osErrno = 0;
    while (burn_msgs_obtain(const_cast<char *>("SORRY"), &code, text, &osErrno, severity) == 1) {
        if (reason.isEmpty())
            reason = QString::fromLocal8Bit(text).trimmed();
    }
    return reason.isEmpty() ? fallback : reason;
}

// A grabbed drive, released with its disc status read.
class GrabbedDrive
{
public:
    explicit GrabbedDrive(const QString &address)
    {
        if (!setUpLibburn())
            return;
        QByteArray adr = QFile::encodeName(address);
        if (burn_drive_scan_and_grab(&m_infos, adr.data(), 1) != 1 || !m_infos)
            m_infos = nullptr;
    }
    ~GrabbedDrive()
    {
        if (m_infos) {
            burn_drive_release(m_infos[0].drive, 0);
            burn_drive_info_free(m_infos);
        }
    }
    burn_drive *drive() const { return m_infos ? m_infos[0].drive : nullptr; }
    burn_disc_status status() const
    {
        if (!drive())
            return BURN_DISC_EMPTY;
        burn_disc_status s = burn_disc_get_status(drive());
        for (int i = 0; s == BURN_DISC_UNREADY && i < 100; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            s = burn_disc_get_status(drive());
        }
        return s;
    }

private:
    burn_drive_info *m_infos = nullptr;
};

} // namespace

DVDLibburnDevice::DVDLibburnDevice(QString address, QString displayName)
    : m_address(std::move(address)), m_displayName(std::move(displayName))
{
}

std::vector<std::shared_ptr<DVDBurnDevice>> DVDLibburnDevice::systemDrives()
{
    std::vector<std::shared_ptr<DVDBurnDevice>> drives;
    udev *context = udev_new();
    if (!context)
        return drives;
    udev_enumerate *enumerate = udev_enumerate_new(context);
    udev_enumerate_add_match_subsystem(enumerate, "block");
    udev_enumerate_add_match_property(enumerate, "ID_CDROM", "1");
    udev_enumerate_scan_devices(enumerate);
    udev_list_entry *entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
    {
        udev_device *device = udev_device_new_from_syspath(context, udev_list_entry_get_name(entry));
        if (!device)
            continue;
        const char *node = udev_device_get_devnode(device);
        const char *model = udev_device_get_property_value(device, "ID_MODEL");
        if (node) {
            const QString path = QString::fromLocal8Bit(node);
            const QString name = model ? QString::fromLocal8Bit(model).replace(QLatin1Char('_'), QLatin1Char(' ')) : path;
            drives.push_back(std::make_shared<DVDLibburnDevice>(path, name));
        }
        udev_device_unref(device);
    }
    udev_enumerate_unref(enumerate);
    udev_unref(context);
    return drives;
}

bool DVDLibburnDevice::mediaIsPresent()
{
    std::lock_guard lock(libburnMutex);
    const burn_disc_status s = GrabbedDrive(m_address).status();
    return s != BURN_DISC_EMPTY && s != BURN_DISC_UNREADY;
}

bool DVDLibburnDevice::mediaIsBlank()
{
    std::lock_guard lock(libburnMutex);
    return GrabbedDrive(m_address).status() == BURN_DISC_BLANK;
}

qint64 DVDLibburnDevice::mediaWritableSpace()
{
    std::lock_guard lock(libburnMutex);
    GrabbedDrive grabbed(m_address);
    if (grabbed.status() != BURN_DISC_BLANK)
        return 0;
    return qint64(burn_disc_available_space(grabbed.drive(), nullptr));
}

bool DVDLibburnDevice::burnImage(const QString &isoPath, const Progress &progress, const std::atomic<bool> &cancel,
                                 QString *error)
{
    std::lock_guard lock(libburnMutex);
    libburnReason(QString()); // drops what earlier queries left
    GrabbedDrive grabbed(m_address);
    burn_drive *drive = grabbed.drive();
    if (!drive) {
        *error = QStringLiteral("Cannot open the burner %1").arg(m_displayName);
        return false;
    }
    if (grabbed.status() != BURN_DISC_BLANK) {
        *error = QStringLiteral("The disc is not blank");
        return false;
    }
    const qint64 size = QFileInfo(isoPath).size();
    if (size <= 0) {
        *error = QStringLiteral("%1 is no image").arg(isoPath);
        return false;
    }
    if (qint64(burn_disc_available_space(drive, nullptr)) < size) {
        *error = QStringLiteral("Disc space is not enough.");
        return false;
    }
    burn_source *source = burn_file_source_new(QFile::encodeName(isoPath).constData(), nullptr);
    if (!source) {
        *error = QStringLiteral("Cannot read %1").arg(isoPath);
        return false;
    }
    burn_disc *disc = burn_disc_create();
    burn_session *session = burn_session_create();
    burn_disc_add_session(disc, session, BURN_POS_END);
    burn_track *track = burn_track_create();
    burn_track_define_data(track, 0, 0, 1, BURN_MODE1);
    const bool sourceSet = burn_track_set_source(track, source) == BURN_SOURCE_OK;
    burn_session_add_track(session, track, BURN_POS_END);
    burn_source_free(source);

    burn_write_opts *options = burn_write_opts_new(drive);
    burn_write_opts_set_perform_opc(options, 0);
    burn_write_opts_set_multi(options, 0);
    burn_write_opts_set_underrun_proof(options, 1);
    char reasons[BURN_REASONS_LEN];
    bool ok = sourceSet && burn_write_opts_auto_write_type(options, disc, reasons, 0) != BURN_WRITE_NONE;
    if (!ok) {
        *error = sourceSet ? QStringLiteral("The burner cannot write this disc: %1").arg(QString::fromLocal8Bit(reasons))
                           : QStringLiteral("Cannot read %1").arg(isoPath);
    } else {
        burn_disc_write(options, disc);
        burn_progress p{};
        bool cancelled = false;
        while (burn_drive_get_status(drive, nullptr) == BURN_DRIVE_SPAWNING)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (burn_drive_get_status(drive, &p) != BURN_DRIVE_IDLE) {
            if (cancel && !cancelled) {
                burn_drive_cancel(drive);
                cancelled = true;
            }
            if (p.sectors > 0 && progress)
                progress(std::min(0.99, double(p.sector) / double(p.sectors)));
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ok = burn_drive_wrote_well(drive) && !cancelled;
        if (!ok)
            *error = cancelled ? QStringLiteral("Cancelled") : libburnReason(QStringLiteral("DVD Burn Failed"));
    }
    burn_write_opts_free(options);
    burn_track_free(track);
    burn_session_free(session);
    burn_disc_free(disc);
    return ok;
}
