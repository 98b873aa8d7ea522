#include "SourceHL/Common/HLTempSession.h"

#include "SourceHL/Common/HLMachTime.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>

#include <cerrno>
#include <sys/stat.h>
#include <sys/types.h>

namespace {

const QString kPrefix = QStringLiteral("session-");
const QString kLockSuffix = QStringLiteral(".lock");

std::unique_ptr<QLockFile> sessionLock(const QString &folder)
{
    auto lock = std::make_unique<QLockFile>(folder + kLockSuffix);
    // A live session never goes stale by age: only a lock whose process is gone is stale.
    lock->setStaleLockTime(0);
    return lock;
}

// Removes what is at path without following a symbolic link into its target.
void removeEntry(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

} // namespace

HLTempSession::HLTempSession(const QString &root)
{
    if (!QDir().mkpath(root))
        return;
    if (::chmod(QFile::encodeName(root).constData(), S_IRWXU) != 0)
        return;
    removeStaleSessions(root);

    // The lock comes before the folder, so a cleaner never sees a folder without a live lock.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const QString folder = QDir(root).filePath(kPrefix + HLMachTime::machTimeID());
        auto lock = sessionLock(folder);
        if (!lock->tryLock(0))
            continue;
        if (::mkdir(QFile::encodeName(folder).constData(), S_IRWXU) != 0) {
            if (errno == EEXIST)
                continue; // lock released and removed on the next round
            return;
        }
        m_lock = std::move(lock);
        m_path = folder;
        return;
    }
}

HLTempSession::~HLTempSession()
{
    if (m_path.isEmpty())
        return;
    removeEntry(m_path);
    m_lock->unlock();
}

void HLTempSession::removeStaleSessions(const QString &root)
{
    // Only session folders and their locks: the lock files' own helper files stay untouched.
    static const QRegularExpression sessionName(QStringLiteral("^(session-[0-9]+)(\\.lock)?$"));
    const QDir dir(root);
    QSet<QString> folders;
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &name : names) {
        const QRegularExpressionMatch match = sessionName.match(name);
        if (match.hasMatch())
            folders.insert(dir.filePath(match.captured(1)));
    }
    for (const QString &folder : folders) {
        auto lock = sessionLock(folder);
        // Succeeds only when nobody holds the lock, or its holder has died.
        if (!lock->tryLock(0))
            continue;
        removeEntry(folder);
        lock->unlock();
    }
}

QString HLTempSession::defaultRoot()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation))
        .filePath(QStringLiteral("sessions"));
}

HLTempSession &HLTempSession::shared()
{
    static HLTempSession session(defaultRoot());
    return session;
}
