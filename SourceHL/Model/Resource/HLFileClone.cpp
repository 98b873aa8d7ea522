#include "SourceHL/Model/Resource/HLFileClone.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void setReason(QString *reason, const QString &text)
{
    if (reason)
        *reason = text;
}

QString systemError(const QString &what, const QString &path, int error)
{
    return QStringLiteral("%1 \"%2\": %3").arg(what, path, QString::fromLocal8Bit(std::strerror(error)));
}

// Closes a descriptor once; the result of close on a written file is part of the copy.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool copyBytes(int in, int out, off_t size)
{
    off_t done = 0;
    bool kernelCopy = true;
    while (done < size) {
        if (kernelCopy) {
            const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(size - done), 0);
            if (n > 0) {
                done += n;
                continue;
            }
            if (n == 0)
                return false; // the file shrank while being copied
            if (errno == EINTR)
                continue;
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
                return false;
            kernelCopy = false;
            if (::lseek(in, done, SEEK_SET) < 0 || ::lseek(out, done, SEEK_SET) < 0)
                return false;
        }
        char buffer[1 << 16];
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        for (ssize_t written = 0; written < n;) {
            const ssize_t w = ::write(out, buffer + written, size_t(n - written));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            written += w;
        }
        done += n;
    }
    return true;
}

} // namespace

bool HLFileClone::cloneFile(const QString &source, const QString &target, QString *reason)
{
    const QByteArray from = QFile::encodeName(source);
    const QByteArray to = QFile::encodeName(target);
    // Non-blocking, so that a pipe or device under the name can't stall the import.
    Descriptor in(::open(from.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (in.get() < 0) {
        setReason(reason, systemError(QStringLiteral("Cannot open"), source, errno));
        return false;
    }
    struct stat info {};
    if (::fstat(in.get(), &info) != 0) {
        setReason(reason, systemError(QStringLiteral("Cannot read"), source, errno));
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        setReason(reason, QStringLiteral("\"%1\" is not a regular file").arg(source));
        return false;
    }
    Descriptor out(::open(to.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (out.get() < 0) {
        setReason(reason, systemError(QStringLiteral("Cannot create"), target, errno));
        return false;
    }
    bool copied = ::ioctl(out.get(), FICLONE, in.get()) == 0;
    int error = 0;
    if (!copied) {
        copied = copyBytes(in.get(), out.get(), info.st_size);
        error = errno;
    }
    if (!out.close() && copied) {
        copied = false;
        error = errno;
    }
    if (!copied) {
        ::unlink(to.constData());
        setReason(reason, systemError(QStringLiteral("Cannot copy to"), target, error ? error : EIO));
        return false;
    }
    return true;
}

bool HLFileClone::linkFolder(const QString &source, const QString &target, QString *reason)
{
    const QFileInfo info(source);
    if (!info.isDir() || info.isSymLink()) {
        setReason(reason, QStringLiteral("\"%1\" is not a folder").arg(source));
        return false;
    }
    const QByteArray to = QFile::encodeName(target);
    if (::mkdir(to.constData(), 0755) != 0) {
        setReason(reason, systemError(QStringLiteral("Cannot create"), target, errno));
        return false;
    }
    const QDir dir(source);
    const auto entries = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const QString into = QDir(target).filePath(entry.fileName());
        bool ok;
        if (entry.isDir() && !entry.isSymLink())
            ok = linkFolder(entry.filePath(), into, reason);
        else
            ok = linkOrClone(entry.filePath(), into, reason);
        if (!ok) {
            QDir(target).removeRecursively();
            return false;
        }
    }
    return true;
}

bool HLFileClone::linkOrClone(const QString &source, const QString &target, QString *reason)
{
    // Only a regular file gets a second name; anything else goes to cloneFile, which says why not.
    const QByteArray from = QFile::encodeName(source);
    struct stat info {};
    if (::lstat(from.constData(), &info) == 0 && S_ISREG(info.st_mode)
        && ::link(from.constData(), QFile::encodeName(target).constData()) == 0)
        return true;
    return cloneFile(source, target, reason);
}
