#include "Frameworks/Trevanel/DVDBurn.h"

#include "Frameworks/Trevanel/DVDBurnDevice.h"
#include "Frameworks/Trevanel/DVDLibburnDevice.h"

#include "Platform/Foundation/HLJob.h"
#include "Platform/Foundation/HLLog.h"

#include <QFileInfo>

DVDBurn::DVDBurn() = default;

DVDBurn::~DVDBurn()
{
    cancel();
    wait();
}

std::vector<std::shared_ptr<DVDBurnDevice>> DVDBurn::devices()
{
    auto drives = DVDLibburnDevice::systemDrives();
    std::lock_guard lock(m_mutex);
    if (!m_device && !drives.empty())
        m_device = drives.front();
    return drives;
}

std::shared_ptr<DVDBurnDevice> DVDBurn::device() const
{
    std::lock_guard lock(m_mutex);
    return m_device;
}

void DVDBurn::setDevice(std::shared_ptr<DVDBurnDevice> device)
{
    std::lock_guard lock(m_mutex);
    m_device = std::move(device);
}

bool DVDBurn::mediaIsPresent()
{
    const auto d = device();
    return d && d->mediaIsPresent();
}

bool DVDBurn::mediaIsBlank()
{
    const auto d = device();
    return d && d->mediaIsBlank();
}

qint64 DVDBurn::mediaWritableSpace()
{
    const auto d = device();
    return d ? d->mediaWritableSpace() : 0;
}

QString DVDBurn::status() const
{
    std::lock_guard lock(m_mutex);
    return m_status;
}

void DVDBurn::p_setStatus(const QString &status)
{
    std::lock_guard lock(m_mutex);
    // Each new status once, so the log follows the burn without repeating itself.
    if (status != m_status && !status.isEmpty())
        qCInfo(hlLog).noquote() << status;
    m_status = status;
}

void DVDBurn::cancel()
{
    m_cancelled = true;
    if (HLJobState *report = m_report.load())
        report->cancel();
}

void DVDBurn::prepareForBurn()
{
    wait();
    m_finished = false;
    m_failed = false;
    m_cancelled = false;
    m_progress = 0.0;
    p_setStatus(QString());
}

bool DVDBurn::burnISOPath(const QString &path, HLJobState *report)
{
    const auto d = device();
    if (!d || m_running || !QFileInfo(path).isFile()) {
        p_setStatus(d ? QStringLiteral("ISO File Error") : QStringLiteral("NO Device."));
        return false;
    }
    wait();
    m_finished = false;
    m_failed = false;
    m_progress = 0.0;
    m_running = true;
    m_report = report;
    if (report && m_cancelled)
        report->cancel();
    p_setStatus(QStringLiteral("Burning"));
    m_thread = std::thread([this, d, path, report] {
        QString error;
        const bool ok = d->burnImage(path,
                                     [this, report](double p) {
                                         m_progress = std::max(m_progress.load(), p);
                                         if (report)
                                             report->setProgress(p);
                                     },
                                     report ? report->cancelToken() : m_cancelled, &error);
        m_report = nullptr;
        p_setStatus(ok ? QStringLiteral("Done") : error);
        if (ok)
            m_progress = 1.0;
        m_failed = !ok;
        m_finished = ok;
        m_running = false;
    });
    return true;
}

void DVDBurn::wait()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}
