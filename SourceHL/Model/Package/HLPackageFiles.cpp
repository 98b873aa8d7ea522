#include "SourceHL/Model/Package/HLPackageFiles.h"

#include "SourceHL/Model/Package/HLPackageError.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

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

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Folders deeper than this inside a resource folder are not ours.
constexpr int kMaximumDepth = 8;

// A descriptor closed when it goes.
class Descriptor
{
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

Entry entryOf(const struct stat &info)
{
    if (S_ISLNK(info.st_mode))
        return Entry::Link;
    if (S_ISDIR(info.st_mode))
        return Entry::Folder;
    return S_ISREG(info.st_mode) ? Entry::File : Entry::Other;
}

// What name is in the folder open at at, without following it.
Entry lookAt(int at, const QByteArray &name, QString *reason)
{
    struct stat info {};
    if (::fstatat(at, name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0)
        return entryOf(info);
    if (errno == ENOENT)
        return Entry::Missing;
    if (reason)
        *reason = systemReason(errno);
    return Entry::Unreadable;
}

// Opens the real folder name inside the folder open at at (never a link, never blocking).
Descriptor openFolderAt(int at, const QByteArray &name)
{
    return Descriptor(::openat(at, name.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
}

// Walks from folder to the folder holding the last name of relative; on success parent is
// open on it and last is that name, else the entry that stopped the walk.
Entry walkTo(const QString &folder, const QString &relative, Descriptor *parent, QByteArray *last, QString *reason)
{
    Descriptor at(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (at.get() < 0) {
        if (errno == ENOENT)
            return Entry::Missing;
        if (reason)
            *reason = systemReason(errno);
        return Entry::Unreadable;
    }
    const QStringList names = relative.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (qsizetype i = 0; i + 1 < names.size(); ++i) {
        const QByteArray name = QFile::encodeName(names[i]);
        const Entry entry = lookAt(at.get(), name, reason);
        if (entry != Entry::Folder)
            return entry == Entry::File ? Entry::Other : entry;
        Descriptor next = openFolderAt(at.get(), name);
        if (next.get() < 0) {
            if (reason)
                *reason = systemReason(errno);
            return Entry::Unreadable;
        }
        at = std::move(next);
    }
    *last = names.isEmpty() ? QByteArray(".") : QFile::encodeName(names.last());
    *parent = std::move(at);
    return Entry::Folder;
}

// The first entry under the folder open at fd that is no file or folder, named after prefix.
QString firstForeignIn(int fd, const QString &prefix, int depth)
{
    if (depth > kMaximumDepth)
        return prefix;
    DIR *dir = ::fdopendir(::dup(fd));
    if (!dir)
        return prefix;
    QString found;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QString path = prefix + QLatin1Char('/') + QFile::decodeName(name);
        const Entry kind = lookAt(fd, name, nullptr);
        if (kind == Entry::Folder) {
            const Descriptor child = openFolderAt(fd, name);
            found = child.get() < 0 ? path : firstForeignIn(child.get(), path, depth + 1);
        } else if (kind != Entry::File) {
            found = path;
        }
        if (!found.isEmpty())
            break;
    }
    ::closedir(dir);
    return found;
}

// The first folder under the folder open at fd, itself included, that may not be changed.
QString firstUnwritableIn(int fd, const QString &path, int depth, QString *reason)
{
    if (::faccessat(fd, ".", W_OK, AT_EACCESS) != 0) {
        *reason = systemReason(errno);
        return path;
    }
    if (depth > kMaximumDepth)
        return QString();
    DIR *dir = ::fdopendir(::dup(fd));
    if (!dir) {
        *reason = systemReason(errno);
        return path;
    }
    QString found;
    while (const dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == ".." || lookAt(fd, name, nullptr) != Entry::Folder)
            continue;
        const Descriptor child = openFolderAt(fd, name);
        const QString childPath = QDir(path).filePath(QFile::decodeName(name));
        if (child.get() < 0) {
            *reason = systemReason(errno);
            found = childPath;
        } else {
            found = firstUnwritableIn(child.get(), childPath, depth + 1, reason);
        }
        if (!found.isEmpty())
            break;
    }
    ::closedir(dir);
    return found;
}

} // namespace

Entry entryInside(const QString &folder, const QString &relative, QString *reason)
{
    Descriptor parent;
    QByteArray last;
    const Entry way = walkTo(folder, relative, &parent, &last, reason);
    return way == Entry::Folder ? lookAt(parent.get(), last, reason) : way;
}

Entry readInside(const QString &folder, const QString &relative, qint64 limit, QByteArray *bytes, QString *reason)
{
    Descriptor parent;
    QByteArray last;
    const Entry way = walkTo(folder, relative, &parent, &last, reason);
    if (way != Entry::Folder)
        return way;
    const Entry entry = lookAt(parent.get(), last, reason);
    if (entry != Entry::File)
        return entry;
    // Not blocking: the name may have become a pipe since it was looked at.
    const Descriptor file(::openat(parent.get(), last.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        if (errno == ELOOP)
            return Entry::Link;
        if (reason)
            *reason = systemReason(errno);
        return Entry::Unreadable;
    }
    if (!S_ISREG(info.st_mode))
        return entryOf(info);
    if (info.st_size > limit)
        return Entry::TooLarge;
    ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);
    // The file may grow while it is read: never past the limit.
    QByteArray data(qsizetype(info.st_size), Qt::Uninitialized);
    qint64 done = 0;
    for (;;) {
        if (done == data.size()) {
            if (done > limit)
                return Entry::TooLarge;
            data.resize(qsizetype(std::min<qint64>(limit + 1, std::max<qint64>(done * 2, 4096))));
        }
        const ssize_t n = ::read(file.get(), data.data() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            if (reason)
                *reason = systemReason(errno);
            return Entry::Unreadable;
        }
        if (n == 0)
            break;
        done += n;
    }
    if (done > limit)
        return Entry::TooLarge;
    data.truncate(qsizetype(done));
    *bytes = data;
    return Entry::File;
}

QString firstForeignEntryInside(const QString &folder, const QString &relative)
{
    Descriptor parent;
    QByteArray last;
    const Entry way = walkTo(folder, relative, &parent, &last, nullptr);
    if (way != Entry::Folder)
        return relative;
    const Entry entry = lookAt(parent.get(), last, nullptr);
    if (entry == Entry::File)
        return QString();
    const Descriptor open = entry == Entry::Folder ? openFolderAt(parent.get(), last) : Descriptor();
    return open.get() < 0 ? relative : firstForeignIn(open.get(), relative, 0);
}

QString firstUnwritableFolder(const QString &folder, QString *reason)
{
    const Descriptor open(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (open.get() < 0) {
        *reason = systemReason(errno);
        return folder;
    }
    return firstUnwritableIn(open.get(), folder, 0, reason);
}

FolderLock::FolderLock(const QString &folder)
    : m_fd(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC))
{
    m_locked = m_fd >= 0 && ::flock(m_fd, LOCK_EX | LOCK_NB) == 0;
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // gives the lock back
}

void forEachAbandonedFolder(const QString &target, const QString &purpose,
                            const std::function<void(const QString &folder)> &take)
{
    const QFileInfo info(target);
    const QDir beside(info.absolutePath());
    const QString prefix = QStringLiteral(".%1.%2-").arg(info.fileName(), purpose);
    const QStringList names = beside.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString &name : names) {
        // mkdtemp's six characters after the prefix, nothing else.
        if (!name.startsWith(prefix) || name.size() != prefix.size() + 6)
            continue;
        const QString folder = beside.filePath(name);
        const FolderLock lock(folder);
        if (lock.locked())
            take(folder);
    }
}

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
