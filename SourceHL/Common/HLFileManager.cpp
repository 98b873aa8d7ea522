#include "SourceHL/Common/HLFileManager.h"

#include "SourceHL/Common/HLTempSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace {

bool existsAt(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

void removeAt(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

QString applicationFolderName()
{
    return QCoreApplication::applicationName();
}

// The application's folder in a user folder, created, links resolved.
QString createdUserFolder(QStandardPaths::StandardLocation location)
{
    const QString path = QDir(QStandardPaths::writableLocation(location)).filePath(applicationFolderName());
    HLFileManager::createDirectoryAtPathIfCan(path);
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? path : resolved;
}

} // namespace

QString HLFileManager::temporaryDirectory()
{
    return HLTempSession::shared().path();
}

QString HLFileManager::tempFileDirectory(const QString &name)
{
    const QString root = temporaryDirectory();
    return root.isEmpty() ? QString() : QDir(root).filePath(name);
}

QString HLFileManager::tempFilePath(const QString &name, const QString &extension)
{
    const QString folder = tempFileDirectory(name);
    if (folder.isEmpty())
        return {};
    createDirectoryAtPathIfCan(folder);
    const QByteArray suffix = QByteArray(".") + extension.toUtf8();
    const QByteArray pattern = QFile::encodeName(folder) + "/XXXXXXXX" + suffix;
    char buffer[2048] = {};
    if (pattern.size() > qsizetype(sizeof buffer) - 1)
        return {};
    std::memcpy(buffer, pattern.constData(), size_t(pattern.size()));
    // The suffix length counts bytes, so extensions outside ASCII work too.
    const int fd = ::mkstemps(buffer, int(suffix.size()));
    if (fd < 0)
        return {};
    ::close(fd);
    return QFile::decodeName(buffer);
}

void HLFileManager::removeTempFile(const QString &name)
{
    const QString folder = tempFileDirectory(name);
    if (!folder.isEmpty())
        removeAt(folder);
}

void HLFileManager::removeTempFiles()
{
    const QString root = temporaryDirectory();
    if (root.isEmpty())
        return;
    const QDir dir(root);
    const QStringList names =
        dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString &entry : names)
        removeAt(dir.filePath(entry));
}

bool HLFileManager::isDirectoryAtPath(const QString &path)
{
    return QFileInfo(path).isDir();
}

bool HLFileManager::isSymbolicLinkFileAtPath(const QString &path)
{
    return QFileInfo(path).isSymLink();
}

void HLFileManager::createDirectoryAtPathIfCan(const QString &path)
{
    if (!path.isEmpty() && !existsAt(path))
        QDir().mkpath(path);
}

void HLFileManager::prepareForCreateFilePath(const QString &path)
{
    removeAt(path);
    createDirectoryAtPathIfCan(QFileInfo(path).absolutePath());
}

void HLFileManager::touchFile(const QString &path)
{
    const timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_NOW}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

QString HLFileManager::fullPathWithNumberIncreaseIfExist(const QString &path)
{
    const QFileInfo info(path);
    const QString fileName = info.fileName();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0 && dot < fileName.size() - 1;
    const QString baseName = hasExtension ? fileName.left(dot) : fileName;
    const QString extension = hasExtension ? fileName.mid(dot + 1) : QStringLiteral("mov");
    const QDir folder = info.dir();

    QString candidate = hasExtension ? path : path + QStringLiteral(".mov");
    for (int number = 1; existsAt(candidate); ++number)
        candidate = folder.filePath(QStringLiteral("%1%2.%3").arg(baseName).arg(number).arg(extension));
    return candidate;
}

QString HLFileManager::defaultOutputPath()
{
    return createdUserFolder(QStandardPaths::MoviesLocation);
}

QString HLFileManager::defaultOutputVideoPath()
{
    return createdUserFolder(QStandardPaths::MoviesLocation);
}

QString HLFileManager::defaultSaveDocumentPath()
{
    return createdUserFolder(QStandardPaths::MoviesLocation);
}

QString HLFileManager::defaultOutputMusicPath()
{
    return createdUserFolder(QStandardPaths::MusicLocation);
}

QString HLFileManager::defaultOutputScreenshotPath()
{
    return createdUserFolder(QStandardPaths::PicturesLocation);
}

QString HLFileManager::defaultRecordPath()
{
    return QDir(defaultOutputPath()).filePath(QStringLiteral("RecordWavePath.mov"));
}

QString HLFileManager::projectPath()
{
    const QString path = QDir(defaultSaveDocumentPath()).filePath(QStringLiteral("project"));
    createDirectoryAtPathIfCan(path);
    return path;
}

QString HLFileManager::libraryPath()
{
    const QString path = QDir(defaultSaveDocumentPath()).filePath(QStringLiteral("library"));
    createDirectoryAtPathIfCan(path);
    return path;
}

QString HLFileManager::applicationSupportPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
