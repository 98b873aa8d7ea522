#include "Frameworks/Trevanel/DVDToolFiles.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <cstring>

bool DVDToolFiles::isNonEmptyFile(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

bool DVDToolFiles::writeFile(const QString &path, const QByteArray &data, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size() || !file.flush()) {
        *error = QStringLiteral("Cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool DVDToolFiles::replaceFile(const QString &from, const QString &to, QString *error)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        *error = QStringLiteral("Cannot write %1: %2").arg(to, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

QMap<QString, QString> DVDToolFiles::toolEnvironment(int format)
{
    return {{QStringLiteral("VIDEO_FORMAT"), format == 1 ? QStringLiteral("PAL") : QStringLiteral("NTSC")}};
}
