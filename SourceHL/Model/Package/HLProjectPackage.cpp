#include "SourceHL/Model/Package/HLProjectPackage.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLPropertyList.h"
#include "Platform/Foundation/HLPropertyListError.h"
#include "SourceHL/Model/Package/HLPackageError.h"
#include "SourceHL/Model/Package/HLPackageFiles.h"
#include "SourceHL/Model/Resource/HLFileClone.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace HLProjectPackage {

namespace {

const char *const kKindFolders[] = {"Audios", "Videos", "Images"};

// The path of the first real in value that is not a number, or empty.
QString firstNaN(const QVariant &value, const QString &path)
{
    switch (value.typeId()) {
    case QMetaType::Double:
        return std::isnan(value.toDouble()) ? (path.isEmpty() ? QStringLiteral("(top)") : path) : QString();
    case QMetaType::QVariantMap: {
        const QVariantMap map = value.toMap();
        for (auto it = map.begin(); it != map.end(); ++it) {
            const QString found = firstNaN(it.value(), path.isEmpty() ? it.key() : path + "." + it.key());
            if (!found.isEmpty())
                return found;
        }
        return QString();
    }
    case QMetaType::QVariantList: {
        const QVariantList list = value.toList();
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QString found = firstNaN(list[i], QStringLiteral("%1[%2]").arg(path).arg(i));
            if (!found.isEmpty())
                return found;
        }
        return QString();
    }
    default: return QString();
    }
}

[[noreturn]] void damaged(const QString &package, const QString &detail)
{
    throw HLPackageError(
        QStringLiteral("The project “%1” cannot be opened: its data is damaged (%2).").arg(displayName(package), detail));
}

QString resourceName(const HLResourceItem &item)
{
    const QString name = item.dicInfo().value(QStringLiteral("Name")).toString();
    return name.isEmpty() ? item.strResourceID() : name;
}

// Every resource must live in the package: an identifier of the saved project's pools with
// its file inside the package, never a path into another project or the session's folders.
void checkResources(const HLProjectContents &contents, const QString &package)
{
    for (const auto &item : contents.resourceItems()) {
        const QString identifier = item->strResourceID();
        const QString hash = HLResourcePool::p_hashKeyOf(identifier);
        if (!identifier.startsWith(SourceTypeKeyProj) || hash.isEmpty() || !HLResourcePool::isValidHashKey(hash))
            damaged(package, QStringLiteral("the media “%1” does not belong to a saved project").arg(resourceName(*item)));
        const auto pathMap = HLResourceItem::pathMapSourceFor(item->enType());
        HL_ASSERT(bool(pathMap), "resource kinds not configured");
        const QString folder = QDir(package).filePath(kindFolder(item->enType()) + "/" + hash);
        if (!QFileInfo(pathMap(folder)).isFile())
            throw HLPackageError(QStringLiteral("The project “%1” cannot be opened: the media file of “%2” is missing "
                                                "from the package.")
                                     .arg(displayName(package), resourceName(*item)));
    }
}

void step(const WriteHooks &hooks, Step which)
{
    if (hooks.beforeStep)
        hooks.beforeStep(which);
}

} // namespace

bool isPackage(const QString &path)
{
    const QFileInfo info(path);
    return info.isDir() && !info.isSymLink() && info.suffix() == kArchiveProjectExten
           && QFileInfo(QDir(path).filePath(kArchiveProjectData)).isFile();
}

QString enclosingPackage(const QString &path)
{
    if (path.isEmpty())
        return {};
    const QString suffix = QLatin1Char('.') + kArchiveProjectExten;
    for (QString at = QDir::cleanPath(QFileInfo(path).absoluteFilePath());; at = QFileInfo(at).path()) {
        if (at.endsWith(suffix) && QFileInfo(at).fileName() != suffix)
            return at;
        if (QFileInfo(at).isRoot() || QFileInfo(at).path() == at)
            return {};
    }
}

QString displayName(const QString &path)
{
    return QFileInfo(QDir::cleanPath(path)).completeBaseName();
}

QString kindFolder(qint64 kind)
{
    HL_ASSERT(kind >= 0 && kind < qint64(std::size(kKindFolders)), "wrong para");
    return QString::fromLatin1(kKindFolders[kind]);
}

HLProjectContents read(const QString &package)
{
    if (!QFileInfo(package).isDir())
        throw HLPackageError(QStringLiteral("“%1” is not a project.").arg(QFileInfo(package).fileName()));
    QFile file(QDir(package).filePath(kArchiveProjectData));
    if (!file.exists())
        throw HLPackageError(
            QStringLiteral("The project “%1” cannot be opened: it holds no project data.").arg(displayName(package)));
    if (!file.open(QIODevice::ReadOnly))
        throw HLPackageError(QStringLiteral("The project “%1” cannot be read: %2").arg(displayName(package), file.errorString()));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw HLPackageError(QStringLiteral("The project “%1” cannot be read: %2").arg(displayName(package), file.errorString()));

    HLProjectContents contents;
    try {
        const QVariantMap raw = HLPropertyList::dictionaryFromData(data);
        const QString nan = firstNaN(raw, QString());
        if (!nan.isEmpty())
            damaged(package, QStringLiteral("a value that is not a number at %1").arg(nan));
        contents = HLProjectContents::fromArchivedData(data);
    } catch (const HLArchiveError &error) {
        damaged(package, QString::fromStdString(error.what()));
    } catch (const HLPropertyListError &error) {
        damaged(package, QString::fromStdString(error.what()));
    }
    checkResources(contents, package);
    return contents;
}

void write(const QByteArray &snapshot, const QString &path, const WriteHooks &hooks)
{
    const QString target = QFileInfo(path).absoluteFilePath();
    const QString name = QFileInfo(target).fileName();
    const QFileInfo existing(target);
    const bool replacing = existing.exists() || existing.isSymLink();
    if (replacing && !isPackage(target))
        throw HLPackageError(QStringLiteral("“%1” is already there and is not a project; it was left as it is. "
                                            "Choose another name.")
                                 .arg(name));
    const auto copyFolder = hooks.copyFolder ? hooks.copyFolder : [](const QString &from, const QString &to,
                                                                       QString *reason) {
        return HLFileClone::linkFolder(from, to, reason);
    };

    step(hooks, Step::MakeFolder);
    QString building = HLPackageFiles::makeFolderBeside(target, QStringLiteral("saving"));
    try {
        for (const char *kind : kKindFolders) {
            if (!QDir(building).mkdir(QString::fromLatin1(kind)))
                throw HLPackageError(QStringLiteral("Cannot create the folder “%1” in “%2”.").arg(kind, building));
        }

        step(hooks, Step::CopyMedia);
        HLProjectContents copy = HLProjectContents::fromArchivedData(snapshot);
        for (const auto &item : copy.resourceItems()) {
            const QString from = HLResourcePool::resourceDirOf(item->strResourceID());
            if (from.isEmpty() || !QFileInfo(from).isDir())
                throw HLPackageError(QStringLiteral("The media “%1” is missing.").arg(resourceName(*item)));
            const QString to = QDir(building).filePath(kindFolder(item->enType()) + "/" + item->strHashID());
            QString reason;
            if (!copyFolder(from, to, &reason))
                throw HLPackageError(QStringLiteral("The media “%1” could not be copied: %2").arg(resourceName(*item), reason));
        }

        step(hooks, Step::WriteArchive);
        copy.makeResourcesPersistent();
        try {
            copy.writeArchive(QDir(building).filePath(kArchiveProjectData));
        } catch (const HLArchiveError &error) {
            throw HLPackageError(QStringLiteral("The project data could not be written: %1").arg(error.what()));
        }

        step(hooks, Step::Flush);
        HLPackageFiles::flushTree(building);

        step(hooks, Step::Verify);
        try {
            read(building);
        } catch (const HLPackageError &error) {
            throw HLPackageError(QStringLiteral("The saved project did not read back: %1").arg(error.message()));
        }

        step(hooks, Step::Swap);
        if (replacing)
            HLPackageFiles::exchange(building, target); // building now holds the old package
        else
            HLPackageFiles::moveIntoPlace(building, target);
        HLPackageFiles::flushFolder(QFileInfo(target).absolutePath());
    } catch (...) {
        QDir(building).removeRecursively();
        throw;
    }
    // The new package is in place: an old copy left behind would only be wasted space.
    if (replacing)
        QDir(building).removeRecursively();
}

} // namespace HLProjectPackage
