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
#include "Platform/Foundation/HLJob.h"
#include "Platform/Foundation/HLJobStages.h"
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

namespace {

// A stage's tools fill this much of it; the rest is putting the result in place.
constexpr double kToolsShare = 0.98;

bool failed(HLJobState &state, const QString &reason)
{
    state.fail(reason);
    return false;
}

// Runs a stage's tool as the whole of the running stage; a cancel is given as the reason
// unless the tool gave one first.
bool runTool(HLJobStages &stages, HLJobState &state, const std::function<bool(HLJobState &part)> &tool)
{
    if (state.isCancelled() || !stages.run(1.0, tool))
        return failed(state, QStringLiteral("Cancelled"));
    return true;
}

} // namespace

QString BurnDVDWorkflow::p_newWorkFolder(HLJobState &state)
{
    QString path = m_work;
    if (path.isEmpty()) {
        path = HLFileManager::tempFilePath(QStringLiteral("dvd-maker-temp"), QStringLiteral("dir"));
        if (path.isEmpty()) {
            state.fail(QStringLiteral("Cannot make a temporary folder"));
            return {};
        }
    }
    if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
    if (!QDir().mkpath(path)) {
        state.fail(QStringLiteral("Cannot create the work folder %1").arg(path));
        return {};
    }
    return path;
}

bool BurnDVDWorkflow::p_place(const QString &made, const QString &destination, Placement placement,
                              HLJobState &state)
{
    if (state.isCancelled())
        return failed(state, QStringLiteral("Cancelled"));
    const QString target = placement == Placement::Replace ? destination : DVDDestination::freePath(destination);
    QString error;
    const bool placed = placement == Placement::Replace ? DVDDestination::replaceWith(made, target, &error)
                                                        : DVDDestination::moveIntoPlace(made, target, &error);
    if (!placed)
        return failed(state, error);
    m_resultPath.set(target);
    return true;
}

bool BurnDVDWorkflow::make(const std::shared_ptr<Trevanel> &dvd, const QString &destination, HLJobState &state,
                           Placement placement)
{
    const WorkFolder work(p_newWorkFolder(state));
    if (work.path().isEmpty())
        return false;
    const qint64 needed = 2 * estimatedSize(*dvd);
    const qint64 available = QStorageInfo(work.path()).bytesAvailable();
    if (available >= 0 && available < needed)
        return failed(state, QStringLiteral("Not enough free space for the DVD: it needs about %1 MB in %2")
                                 .arg(needed / (1024 * 1024))
                                 .arg(work.path()));

    // The videos and menus, then the folder (dvdauthor).
    HLJobStages stages(state, {0.9 * kToolsShare, 0.1 * kToolsShare});
    stages.begin(0);
    if (!runTool(stages, state, [&](HLJobState &part) { return MakeDVDVideo::makeDVDVideo(dvd, work.path(), part); }))
        return false;
    stages.begin(1);
    DVDFSMake folder;
    folder.dvd(dvd, work.path());
    if (!runTool(stages, state, [&](HLJobState &part) { return folder.start(part) || failed(part, folder.errorString()); }))
        return false;
    return p_place(work.file(DVDFSMake::folderName()), destination, placement, state);
}

bool BurnDVDWorkflow::makeIso(const QString &folder, const QString &iso, const QString &name, HLJobState &state,
                              Placement placement)
{
    const WorkFolder work(p_newWorkFolder(state));
    if (work.path().isEmpty())
        return false;
    DVDImageMake image;
    image.setInputPath(folder);
    image.volume(DVDDiscName::volumeName(name), work.path());
    HLJobStages stages(state, {kToolsShare});
    stages.begin(0);
    if (!runTool(stages, state, [&](HLJobState &part) { return image.start(part) || failed(part, image.errorString()); }))
        return false;
    return p_place(work.file(DVDImageMake::imageName()), iso, placement, state);
}

bool BurnDVDWorkflow::burn(const QString &iso, const std::shared_ptr<DVDBurn> &burner, HLJobState &state)
{
    m_burnSuccess = false;
    const qint64 size = QFileInfo(iso).size();
    if (!burner)
        return failed(state, QStringLiteral("NO Device."));
    // The room asked for is the built image's, with a byte to spare.
    if (const QString problem = DVDProjectAssembly::burnerProblem(*burner, size + 1); !problem.isEmpty())
        return failed(state, problem);
    // Each try reports into the stage as it burns; a retry starts the stage's parts again
    // while the bar stands where it was.
    HLJobStages stages(state, {kToolsShare});
    for (;;) {
        stages.begin(0);
        bool started = false;
        bool burned = false;
        // A failed try is no failure of the job yet: the retry question decides.
        stages.run(1.0, [&](HLJobState &part) {
            started = burner->burnISOPath(iso, &part);
            if (started) {
                burner->wait();
                burned = burner->isFinished();
            }
            return true;
        });
        if (burned && !state.isCancelled()) {
            m_burnSuccess = true;
            if (m_questions)
                m_questions->showOutcome(QStringLiteral("DVD Burn Success"), QString());
            return true;
        }
        if (!started) {
            if (m_questions)
                m_questions->showOutcome(QStringLiteral("DVD Burn Failed"), QStringLiteral("ISO File Error"));
            return failed(state, QStringLiteral("DVD Burn Failed: ISO File Error"));
        }
        const QString reason = burner->status();
        if (state.isCancelled()) {
            if (m_questions)
                m_questions->showOutcome(QStringLiteral("DVD Burn Failed"), QString());
            return failed(state, QStringLiteral("Cancelled"));
        }
        if (!m_questions)
            return failed(state, reason);
        burner->prepareForBurn();
        qCInfo(hlLog).noquote() << QStringLiteral("failed:%1").arg(reason);
        const bool retry = m_questions->askRetry([&] {
            return burner->mediaIsBlank() && burner->mediaWritableSpace() > size;
        });
        if (!retry)
            return failed(state, reason);
        std::this_thread::sleep_for(std::chrono::seconds(2));
    }
}
