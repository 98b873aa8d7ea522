#include "SourceHL/Model/Package/HLPackageFiles.h"

#include "SourceHL/Model/Package/HLPackageError.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace HLPackageFiles {

namespace {

[[noreturn]] void failWith(const QString &what, const QString &path, int error)
{
    throw HLPackageError(QStringLiteral("%1 “%2”: %3").arg(what, path, QString::fromLocal8Bit(std::strerror(error))));
}

void flushPath(const QString &path, bool folder)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | (folder ? O_DIRECTORY : 0));
    if (fd < 0)
        failWith(QStringLiteral("Cannot open"), path, errno);
    const int result = ::fsync(fd);
    const int error = errno;
    ::close(fd);
    // Some file systems cannot sync a folder; the data itself was written.
    if (result != 0 && !(folder && (error == EINVAL || error == EROFS)))
        failWith(QStringLiteral("Cannot write to the disk"), path, error);
}

bool renameWith(const QString &from, const QString &to, unsigned flags, int *error)
{
    const QByteArray a = QFile::encodeName(from);
    const QByteArray b = QFile::encodeName(to);
    const int result = flags ? ::renameat2(AT_FDCWD, a.constData(), AT_FDCWD, b.constData(), flags)
                             : ::rename(a.constData(), b.constData());
    *error = result == 0 ? 0 : errno;
    return result == 0;
}

bool unsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == ENOTSUP;
}

} // namespace

QString makeFolderBeside(const QString &target, const QString &purpose)
{
    const QFileInfo info(target);
    const QString pattern = QDir(info.absolutePath()).filePath(QStringLiteral(".%1.%2-XXXXXX").arg(info.fileName(), purpose));
    QByteArray name = QFile::encodeName(pattern);
    if (!::mkdtemp(name.data()))
        failWith(QStringLiteral("Cannot create a folder in"), info.absolutePath(), errno);
    ::chmod(name.constData(), 0755);
    return QFile::decodeName(name);
}

void flushTree(const QString &folder)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        flushPath(info.filePath(), info.isDir() && !info.isSymLink());
    }
    flushPath(folder, true);
}

void flushFolder(const QString &folder)
{
    flushPath(folder, true);
}

void moveIntoPlace(const QString &from, const QString &to)
{
    int error = 0;
    if (renameWith(from, to, RENAME_NOREPLACE, &error))
        return;
    if (!unsupported(error))
        failWith(QStringLiteral("Cannot create"), to, error);
    // Without RENAME_NOREPLACE: a plain rename would take the place of an empty folder.
    if (QFileInfo(to).exists() || QFileInfo(to).isSymLink())
        failWith(QStringLiteral("Cannot create"), to, EEXIST);
    if (!renameWith(from, to, 0, &error))
        failWith(QStringLiteral("Cannot create"), to, error);
}

void exchange(const QString &first, const QString &second)
{
    int error = 0;
    if (renameWith(first, second, RENAME_EXCHANGE, &error))
        return;
    if (!unsupported(error))
        failWith(QStringLiteral("Cannot replace"), second, error);
    exchangeByRenames(first, second);
}

void exchangeByRenames(const QString &first, const QString &second)
{
    int error = 0;
    const QString aside = makeFolderBeside(second, QStringLiteral("old"));
    QDir().rmdir(aside); // only the unique name is wanted
    if (!renameWith(second, aside, 0, &error))
        failWith(QStringLiteral("Cannot replace"), second, error);
    if (!renameWith(first, second, 0, &error)) {
        int backError = 0;
        // The user must learn where the old one went when it cannot go back.
        if (!renameWith(aside, second, 0, &backError))
            throw HLPackageError(QStringLiteral("Cannot replace “%1”: %2. The old one could not be put back (%3) and "
                                                "is now at “%4”.")
                                     .arg(second, QString::fromLocal8Bit(std::strerror(error)),
                                          QString::fromLocal8Bit(std::strerror(backError)), aside));
        failWith(QStringLiteral("Cannot replace"), second, error);
    }
    if (!renameWith(aside, first, 0, &error))
        failWith(QStringLiteral("Cannot put aside the old"), second, error);
}

} // namespace HLPackageFiles
