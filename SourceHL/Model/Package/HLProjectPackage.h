#pragma once

#include "SourceHL/Model/Package/HLProjectContents.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

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
    // Writes the new package to the disk (HLPackageFiles::flushTree).
    std::function<void(const QString &folder)> flushTree;
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

// Reads and checks the package: "ProjectData" a regular file of at most 64 MB, the four root
// objects with their classes, no real that is not a number, every resource an identifier of
// the saved project's pools with a digit hash key, its files regular files inside the
// package (no links, pipes or devices). A damaged thumbnail is made again from its media.
// The staging folders of saves cut short beside it are cleared first (a newer complete one
// is kept under a visible name). What the user should hear of (a thumbnail made again, a
// copy kept) goes to notes.
HLProjectContents read(const QString &package, QStringList *notes = nullptr);

// Writes the project archived in snapshot (HLProjectContents::archivedData, identifiers as
// the live model has them) as the package at path. The media come from the pools the
// identifiers name. An existing package at path is replaced when this program may change every
// folder of it; anything else there is left alone and refused. The staging folders of saves
// cut short beside it are cleared first. On failure nothing at path has changed.
void write(const QByteArray &snapshot, const QString &path, const WriteHooks &hooks = {});

} // namespace HLProjectPackage
