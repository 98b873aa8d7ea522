#include "dvd/DVDDestination.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

bool existsAt(const QString &path)
{
    return QFileInfo::exists(path) || QFileInfo(path).isSymLink();
}

bool sameFile(const QString &a, const QString &b)
{
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly) || fa.size() != fb.size())
        return false;
    while (!fa.atEnd()) {
        if (fa.read(1 << 20) != fb.read(1 << 20))
            return false;
    }
    return true;
}

// Copies from (a file or a folder tree) to to and compares every file.
bool copyChecked(const QString &from, const QString &to, QString *error)
{
    const QFileInfo info(from);
    if (info.isFile()) {
        if (QFile::copy(from, to) && sameFile(from, to))
            return true;
        *error = QStringLiteral("Cannot copy %1 to %2").arg(from, to);
        return false;
    }
    if (!QDir().mkpath(to)) {
        *error = QStringLiteral("Cannot create %1").arg(to);
        return false;
    }
    const QDir source(from);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(path);
        if (it.fileInfo().isDir() ? !QDir().mkpath(target) : !(QFile::copy(path, target) && sameFile(path, target))) {
            *error = QStringLiteral("Cannot copy %1 to %2").arg(path, target);
            return false;
        }
    }
    return true;
}

void removeAll(const QString &path)
{
    if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink())
        QDir(path).removeRecursively();
    else
        QFile::remove(path);
}

} // namespace

QString DVDDestination::freePath(const QString &path)
{
    if (!existsAt(path))
        return path;
    const QFileInfo info(path);
    const QString fileName = info.fileName();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const bool hasExtension = dot > 0 && dot < fileName.size() - 1;
    const QString base = hasExtension ? fileName.left(dot) : fileName;
    const QString extension = hasExtension ? fileName.mid(dot) : QString();
    QString candidate = path;
    for (int n = 1; existsAt(candidate); ++n)
        candidate = info.dir().filePath(QStringLiteral("%1%2%3").arg(base).arg(n).arg(extension));
    return candidate;
}

bool DVDDestination::moveIntoPlace(const QString &from, const QString &to, QString *error)
{
    if (existsAt(to)) {
        *error = QStringLiteral("%1 is already there").arg(to);
        return false;
    }
    const QString parent = QFileInfo(to).absolutePath();
    if (!QDir().mkpath(parent)) {
        *error = QStringLiteral("Cannot create the folder %1").arg(parent);
        return false;
    }
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return true;
    if (errno != EXDEV) {
        *error = QStringLiteral("Cannot write %1: %2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    if (!copyChecked(from, to, error)) {
        removeAll(to);
        return false;
    }
    removeAll(from);
    return true;
}

bool DVDDestination::replaceWith(const QString &from, const QString &to, QString *error)
{
    if (!existsAt(to))
        return moveIntoPlace(from, to, error);
    const QString beside = freePath(to + QStringLiteral(".new"));
    if (!moveIntoPlace(from, beside, error))
        return false;
    const QString old = freePath(to + QStringLiteral(".old"));
    const auto renamed = [](const QString &a, const QString &b) {
        return std::rename(QFile::encodeName(a).constData(), QFile::encodeName(b).constData()) == 0;
    };
    if (!renamed(to, old)) {
        *error = QStringLiteral("Cannot replace %1: %2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
        removeAll(beside);
        return false;
    }
    if (!renamed(beside, to)) {
        *error = QStringLiteral("Cannot replace %1: %2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
        renamed(old, to);
        removeAll(beside);
        return false;
    }
    removeAll(old);
    return true;
}
