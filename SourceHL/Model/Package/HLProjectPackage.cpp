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
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <cmath>

namespace HLProjectPackage {

namespace {

const char *const kKindFolders[] = {"Audios", "Videos", "Images"};
// What makeFolderBeside names the folder a save builds in.
const QString kStaging = QStringLiteral("saving");

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

// Larger project data is refused unread: no project comes near it.
constexpr qint64 kMaximumDataSize = qint64(64) << 20;

QString relativeTo(const QString &package, const QString &path)
{
    return QDir(package).relativeFilePath(path);
}

[[noreturn]] void notInside(const QString &package, const QString &media, const QString &file,
                            HLPackageFiles::Entry entry)
{
    const QString what = entry == HLPackageFiles::Entry::Link ? QStringLiteral("is a link, not a file of the package")
                                                              : QStringLiteral("is not a file");
    throw HLPackageError(QStringLiteral("The project “%1” cannot be opened: “%2” of the media “%3” %4.")
                             .arg(displayName(package), file, media, what));
}

// The media file of every resource and everything beside it in its folder must be regular
// files of the package: a link would carry another file of the user into the next save.
void checkMediaFiles(const HLResourceItem &item, const QString &package, const QString &folder)
{
    const QString file = relativeTo(package, HLResourceItem::pathMapSourceFor(item.enType())(folder));
    const HLPackageFiles::Entry entry = HLPackageFiles::entryInside(package, file);
    if (entry == HLPackageFiles::Entry::Missing)
        throw HLPackageError(QStringLiteral("The project “%1” cannot be opened: the media file of “%2” is missing "
                                            "from the package.")
                                 .arg(displayName(package), resourceName(item)));
    if (entry != HLPackageFiles::Entry::File)
        notInside(package, resourceName(item), file, entry);
    const QString foreign = HLPackageFiles::firstForeignEntryInside(package, relativeTo(package, folder));
    if (!foreign.isEmpty())
        notInside(package, resourceName(item), foreign, HLPackageFiles::entryInside(package, foreign));
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
        checkMediaFiles(*item, package, folder);
    }
}

// A thumbnail whose picture was damaged is made again from the media it shows, in every
// record of the resource (a photo may be a slide and a background too).
void remakeThumbnails(const HLProjectContents &contents, const QString &package, QStringList *notes)
{
    QSet<QString> noted;
    std::vector<std::shared_ptr<HLResourceItem>> records;
    for (const auto &item : contents.timeline->resourceItems())
        records.push_back(item);
    for (const auto &item : contents.timeline->backResourceItems())
        records.push_back(item);
    for (const auto &item : contents.audioline->resourceItems())
        records.push_back(item);
    for (const auto &item : records) {
        if (!item || !item->thumbnailLost())
            continue;
        const QString folder = QDir(package).filePath(kindFolder(item->enType()) + "/" + item->strHashID());
        if (!item->remakeThumbnail(folder))
            damaged(package, QStringLiteral("the thumbnail of “%1” cannot be read or made again from its media")
                                 .arg(resourceName(*item)));
        if (notes && !noted.contains(item->strResourceID()))
            *notes << QStringLiteral("The thumbnail of “%1” was damaged and has been made again from its media.")
                          .arg(resourceName(*item));
        noted.insert(item->strResourceID());
    }
}

// The project data of the package, read and checked, without looking beside it.
HLProjectContents readChecked(const QString &package, QStringList *notes)
{
    using HLPackageFiles::Entry;
    QByteArray data;
    QString reason;
    switch (HLPackageFiles::readInside(package, kArchiveProjectData, kMaximumDataSize, &data, &reason)) {
    case Entry::File: break;
    case Entry::Missing:
        throw HLPackageError(
            QStringLiteral("The project “%1” cannot be opened: it holds no project data.").arg(displayName(package)));
    case Entry::Link:
        throw HLPackageError(QStringLiteral("The project “%1” cannot be opened: its “%2” is a link, not a file of the "
                                            "package.")
                                 .arg(displayName(package), kArchiveProjectData));
    case Entry::TooLarge:
        damaged(package, QStringLiteral("the project data is larger than %1 MB").arg(kMaximumDataSize >> 20));
    case Entry::Unreadable:
        throw HLPackageError(QStringLiteral("The project “%1” cannot be read: %2").arg(displayName(package), reason));
    case Entry::Folder:
    case Entry::Other:
        throw HLPackageError(QStringLiteral("The project “%1” cannot be opened: its “%2” is not a file.")
                                 .arg(displayName(package), kArchiveProjectData));
    }

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
    remakeThumbnails(contents, package, notes);
    return contents;
}

// A package whose project data reads and checks.
bool isComplete(const QString &package)
{
    try {
        readChecked(package, nullptr);
        return true;
    } catch (const HLPackageError &) {
        return false;
    }
}

QDateTime dataTime(const QString &package)
{
    return QFileInfo(QDir(package).filePath(kArchiveProjectData)).lastModified();
}

// A free visible name beside package for a copy of it kept for the user.
QString recoveredName(const QString &package)
{
    const QFileInfo info(package);
    for (int n = 1;; ++n) {
        const QString name = n == 1 ? QStringLiteral("%1 (recovered).%2").arg(info.completeBaseName(), kArchiveProjectExten)
                                    : QStringLiteral("%1 (recovered %2).%3").arg(info.completeBaseName()).arg(n).arg(kArchiveProjectExten);
        const QFileInfo candidate(info.dir().filePath(name));
        if (!candidate.exists() && !candidate.isSymLink())
            return candidate.filePath();
    }
}

// Saves cut short leave their staging folders beside the package; those no running program
// owns are cleared. One that holds a complete project newer than the package is the user's
// latest work: it is kept under a visible name, and said in notes.
void clearCutSaves(const QString &package, QStringList *notes)
{
    const QDateTime current = dataTime(package);
    HLPackageFiles::forEachAbandonedFolder(package, kStaging, [&](const QString &folder) {
        if (isComplete(folder) && (!current.isValid() || dataTime(folder) > current)) {
            const QString kept = recoveredName(package);
            try {
                HLPackageFiles::moveIntoPlace(folder, kept);
                if (notes)
                    *notes << QStringLiteral("A save of “%1” that was cut short had written a newer copy of the "
                                             "project; it was kept as “%2”.")
                                  .arg(displayName(package), displayName(kept));
            } catch (const HLPackageError &error) {
                if (notes)
                    *notes << QStringLiteral("A save of “%1” that was cut short left a newer copy of the project at "
                                             "“%2”: %3")
                                  .arg(displayName(package), folder, error.message());
            }
            return;
        }
        QDir(folder).removeRecursively();
    });
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

HLProjectContents read(const QString &package, QStringList *notes)
{
    if (!QFileInfo(package).isDir())
        throw HLPackageError(QStringLiteral("“%1” is not a project.").arg(QFileInfo(package).fileName()));
    clearCutSaves(package, notes);
    return readChecked(package, notes);
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
    if (replacing) {
        // Swapping would go through, and the old package would stay behind where it can't be removed.
        QString reason;
        const QString locked = HLPackageFiles::firstUnwritableFolder(target, &reason);
        if (!locked.isEmpty())
            throw HLPackageError(QStringLiteral("The project “%1” cannot be replaced: “%2” cannot be changed (%3). "
                                                "Choose another name.")
                                     .arg(displayName(target), locked, reason));
    }
    const auto copyFolder = hooks.copyFolder ? hooks.copyFolder : [](const QString &from, const QString &to,
                                                                       QString *reason) {
        return HLFileClone::linkFolder(from, to, reason);
    };
    const auto flushTree = hooks.flushTree ? hooks.flushTree : HLPackageFiles::flushTree;
    clearCutSaves(target, nullptr);

    step(hooks, Step::MakeFolder);
    QString building = HLPackageFiles::makeFolderBeside(target, kStaging);
    // Ours until the save ends: a save or open beside it leaves it alone.
    const HLPackageFiles::FolderLock owned(building);
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
        flushTree(building);

        step(hooks, Step::Verify);
        try {
            readChecked(building, nullptr);
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
