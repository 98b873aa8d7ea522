#include "dvd/BurnDVDWorkflow.h"

#include "dvd/BurnDVDWorkflowQuestions.h"
#include "dvd/DVDDestination.h"
#include "dvd/DVDDiscName.h"
#include "dvd/DVDProjectAssembly.h"
#include "dvd/MakeDVDVideo.h"

#include "Frameworks/Trevanel/DVDBurn.h"
#include "Frameworks/Trevanel/DVDFSMake.h"
#include "Frameworks/Trevanel/DVDImageMake.h"
#include "Frameworks/Trevanel/DVDMenuPage.h"
#include "Frameworks/Trevanel/DVDTitleVideoProtocol.h"
#include "Frameworks/Trevanel/Trevanel.h"
#include "SourceHL/Common/HLFileManager.h"
#include "Platform/Foundation/HLLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>

#include <chrono>
#include <thread>

namespace {

// Where the folder's files and the tools' scratch files go while a stage runs.
class WorkFolder
{
public:
    explicit WorkFolder(QString path) : m_path(std::move(path)) {}
    ~WorkFolder()
    {
        if (!m_path.isEmpty())
            QDir(m_path).removeRecursively();
    }
    QString path() const { return m_path; }
    QString file(const QString &name) const { return QDir(m_path).filePath(name); }

private:
    QString m_path;
};

} // namespace

BurnDVDWorkflow::BurnDVDWorkflow(QString work)
    : m_work(std::move(work))
{
}

qint64 BurnDVDWorkflow::estimatedSize(const Trevanel &dvd)
{
    double seconds = 0;
    for (const auto &title : dvd.titles())
        seconds += title ? std::max(title->duration(), 1.0) : 0.0;
    if (!dvd.noMenu()) {
        for (const auto &menu : dvd.menus())
            seconds += menu ? menu->duration() : 0.0;
    }
    return DVDProjectAssembly::getDvdBitrateToSize(dvd.dvdBitrate(), seconds);
}

double BurnDVDWorkflow::progress() const
{
    return std::min(0.98, m_steps.progress(100.0));
}

QString BurnDVDWorkflow::p_newWorkFolder()
{
    QString path = m_work;
    if (path.isEmpty()) {
        path = HLFileManager::tempFilePath(QStringLiteral("dvd-maker-temp"), QStringLiteral("dir"));
        if (path.isEmpty()) {
            m_steps.fail(QStringLiteral("Cannot make a temporary folder"));
            return {};
        }
    }
    if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
    if (!QDir().mkpath(path)) {
        m_steps.fail(QStringLiteral("Cannot create the work folder %1").arg(path));
        return {};
    }
    return path;
}

bool BurnDVDWorkflow::p_runTask(const std::shared_ptr<DVDTask> &task, double weight, const std::function<bool()> &run)
{
    if (m_steps.isCancelled())
        return m_steps.fail(QStringLiteral("Cancelled"));
    m_steps.begin(task, weight);
    const bool ok = run();
    m_steps.end(task);
    if (m_steps.isCancelled())
        return m_steps.fail(QStringLiteral("Cancelled"));
    return ok;
}

bool BurnDVDWorkflow::p_place(const QString &made, const QString &destination, Placement placement)
{
    const QString target = placement == Placement::Replace ? destination : DVDDestination::freePath(destination);
    QString error;
    const bool placed = placement == Placement::Replace ? DVDDestination::replaceWith(made, target, &error)
                                                        : DVDDestination::moveIntoPlace(made, target, &error);
    if (!placed)
        return m_steps.fail(error);
    m_resultPath.set(target);
    return true;
}

bool BurnDVDWorkflow::make(const std::shared_ptr<Trevanel> &dvd, const QString &destination, Placement placement)
{
    m_steps.restart();
    const WorkFolder work(p_newWorkFolder());
    if (work.path().isEmpty())
        return false;
    const qint64 needed = 2 * estimatedSize(*dvd);
    const qint64 available = QStorageInfo(work.path()).bytesAvailable();
    if (available >= 0 && available < needed)
        return m_steps.fail(QStringLiteral("Not enough free space for the DVD: it needs about %1 MB in %2")
                          .arg(needed / (1024 * 1024))
                          .arg(work.path()));

    const auto maker = std::make_shared<MakeDVDVideo>();
    if (!p_runTask(maker, 90, [&] { return maker->makeDVDVideo(dvd, work.path()) || m_steps.fail(maker->errorString()); }))
        return false;
    const auto folder = std::make_shared<DVDFSMake>();
    folder->dvd(dvd, work.path());
    if (!p_runTask(folder, 10, [&] { return folder->start() || m_steps.fail(folder->errorString()); }))
        return false;
    return p_place(work.file(DVDFSMake::folderName()), destination, placement);
}

bool BurnDVDWorkflow::makeIso(const QString &folder, const QString &iso, const QString &name, Placement placement)
{
    m_steps.restart();
    const WorkFolder work(p_newWorkFolder());
    if (work.path().isEmpty())
        return false;
    const auto image = std::make_shared<DVDImageMake>();
    image->setInputPath(folder);
    image->volume(DVDDiscName::volumeName(name), work.path());
    if (!p_runTask(image, 100, [&] { return image->start() || m_steps.fail(image->errorString()); }))
        return false;
    return p_place(work.file(DVDImageMake::imageName()), iso, placement);
}

bool BurnDVDWorkflow::p_burnOnce(const QString &iso, const std::shared_ptr<DVDBurn> &burner, bool *started)
{
    *started = false;
    return p_runTask(burner, 100, [&] {
        *started = burner->burnISOPath(iso);
        if (!*started)
            return false;
        QString said;
        while (!burner->isFinished() && !burner->isFailed()) {
            // Each new status once, so the log follows the burn without repeating itself.
            if (const QString status = burner->status(); status != said) {
                qCInfo(hlLog).noquote() << status;
                said = status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        burner->wait();
        return burner->isFinished();
    });
}

bool BurnDVDWorkflow::burn(const QString &iso, const std::shared_ptr<DVDBurn> &burner)
{
    m_burnSuccess = false;
    const qint64 size = QFileInfo(iso).size();
    if (!burner)
        return m_steps.fail(QStringLiteral("NO Device."));
    // The room asked for is the built image's, with a byte to spare.
    if (const QString problem = DVDProjectAssembly::burnerProblem(*burner, size + 1); !problem.isEmpty())
        return m_steps.fail(problem);
    for (;;) {
        m_steps.restart();
        bool started = false;
        if (p_burnOnce(iso, burner, &started)) {
            m_burnSuccess = true;
            if (m_questions)
                m_questions->showOutcome(QStringLiteral("DVD Burn Success"), QString());
            return true;
        }
        if (!started) {
            if (m_questions)
                m_questions->showOutcome(QStringLiteral("DVD Burn Failed"), QStringLiteral("ISO File Error"));
            return m_steps.fail(QStringLiteral("DVD Burn Failed: ISO File Error"));
        }
        const QString reason = burner->status();
        if (m_steps.isCancelled()) {
            if (m_questions)
                m_questions->showOutcome(QStringLiteral("DVD Burn Failed"), QString());
            return m_steps.fail(QStringLiteral("Cancelled"));
        }
        if (!m_questions)
            return m_steps.fail(reason);
        burner->prepareForBurn();
        qCInfo(hlLog).noquote() << QStringLiteral("failed:%1").arg(reason);
        const bool retry = m_questions->askRetry([&] {
            return burner->mediaIsBlank() && burner->mediaWritableSpace() > size;
        });
        if (!retry)
            return m_steps.fail(reason);
        std::this_thread::sleep_for(std::chrono::seconds(2));
    }
}
