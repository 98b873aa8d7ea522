#include "widgets/HLResourceFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString HLResourceFolder::path()
{
    static const QString folder = [] {
        const QString installed =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../share/slideshow"));
        if (QFileInfo(QDir(installed).filePath(QStringLiteral("Templates"))).isDir())
            return QDir(installed).canonicalPath();
        return QStringLiteral(SLIDESHOW_RESOURCE_DIR);
    }();
    return folder;
}
