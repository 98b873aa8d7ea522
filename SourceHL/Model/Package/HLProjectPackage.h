#pragma once

#include "SourceHL/Model/Package/HLProjectContents.h"

#include <QByteArray>
#include <QString>

#include <functional>

// A saved project on disk: a folder with the extension "qlbyprj" holding "Audios", "Videos"
// and "Images" (one folder per resource, named by its hash key) and the keyed archive
// "ProjectData" with the four objects of the project at its root.
//
// Reading checks everything before any of it is used; writing builds the new package beside
// the old one and swaps it in only when it is complete, on the disk and reads back. Both
// throw HLPackageError with a message for the user, and touch nothing of the live project:
// they work on copies and may run on a worker thread.
namespace HLProjectPackage {

inline const QString kArchiveProjectData = QStringLiteral("ProjectData");
inline const QString kArchiveProjectExten = QStringLiteral("qlbyprj");

// The steps of a save, in order; the seam of the tests can fail any of them.
enum class Step { MakeFolder, CopyMedia, WriteArchive, Flush, Verify, Swap };

struct WriteHooks
{
    // Copies a resource folder into the new package (HLFileClone::linkFolder).
    std::function<bool(const QString &from, const QString &to, QString *reason)> copyFolder;
    // Called before each step.
    std::function<void(Step step)> beforeStep;
};

// A folder named "….qlbyprj" that holds a "ProjectData" file: what a save may replace.
bool isPackage(const QString &path);
// The folder at or above path (made absolute) whose name ends in ".qlbyprj": a package the
// path is or lies inside, for the user one document; empty when there is none.
QString enclosingPackage(const QString &path);
// The package's name as the window shows it: the folder's name without the extension.
QString displayName(const QString &path);
// The media folder of a resource kind inside a package ("Audios", "Videos", "Images").
QString kindFolder(qint64 kind);

// Reads and checks the package: the four root objects with their classes, no real that is
// not a number, every resource an identifier of the saved project's pools with a digit hash
// key and its file inside the package.
HLProjectContents read(const QString &package);

// Writes the project archived in snapshot (HLProjectContents::archivedData, identifiers as
// the live model has them) as the package at path. The media come from the pools the
// identifiers name. An existing package at path is replaced; anything else there is left
// alone and refused. On failure nothing at path has changed.
void write(const QByteArray &snapshot, const QString &path, const WriteHooks &hooks = {});

} // namespace HLProjectPackage
