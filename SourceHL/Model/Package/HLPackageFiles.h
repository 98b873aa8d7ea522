#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

// The file-system steps of reading and writing a package safely. The writing steps throw
// HLPackageError with the system's reason when they fail.
//
// Reading looks at a package's entries name by name from the package's folder and never
// follows a link, so that nothing outside the package (another file of the user, a pipe, a
// device) is reached through it, and never waits on a pipe or a device.
namespace HLPackageFiles {

// What an entry inside a folder is, looked at without following links on the way to it.
enum class Entry { File, Folder, Missing, Link, Other, TooLarge, Unreadable };

// What is at relative (names joined by "/") under folder; a link or anything but a folder on
// the way makes it Link or Other. reason gets the system's reason for Unreadable.
Entry entryInside(const QString &folder, const QString &relative, QString *reason = nullptr);
// Reads the regular file at relative under folder: opened without following a link and
// without blocking, checked to be a regular file once open, and read to at most limit bytes
// (TooLarge past it). bytes is filled only for File.
Entry readInside(const QString &folder, const QString &relative, qint64 limit, QByteArray *bytes,
                 QString *reason = nullptr);
// The first entry under the folder at relative (itself included) that is neither a regular
// file nor a folder (a link, a pipe, a device), as a path relative to folder; empty when
// there is none.
QString firstForeignEntryInside(const QString &folder, const QString &relative);
// The first folder of the tree at folder (itself included) whose entries this program may not
// change, with the system's reason; empty when every one may be changed.
QString firstUnwritableFolder(const QString &folder, QString *reason);

// Holds an exclusive lock on a folder (flock) for as long as it lives: the staging folder of
// a save is owned by the program building it until the save ends, or the program does.
class FolderLock
{
public:
    // Without waiting: locked() is false when another program holds the folder.
    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;
    bool locked() const { return m_locked; }

private:
    int m_fd = -1;
    bool m_locked = false;
};

// Calls take with each hidden folder beside target made by makeFolderBeside(target, purpose)
// that no running program holds, while holding its lock.
void forEachAbandonedFolder(const QString &target, const QString &purpose,
                            const std::function<void(const QString &folder)> &take);

// A new, empty folder beside target (same folder, so on the same file system), named after
// it and hidden; mode 0755.
QString makeFolderBeside(const QString &target, const QString &purpose);
// Writes every file and folder under folder, and folder itself, to the disk.
void flushTree(const QString &folder);
// Writes the entries of folder (names made, changed or removed) to the disk.
void flushFolder(const QString &folder);
// Puts the folder from at to, which must not exist.
void moveIntoPlace(const QString &from, const QString &to);
// Swaps the two folders in one step where the system can (renameat2 RENAME_EXCHANGE), else
// by two renames through a hidden name beside them. Afterwards first holds what second held.
void exchange(const QString &first, const QString &second);
// The same by two renames (second aside under a hidden name, first into its place, the old
// one to first's name); a failure in between puts second back, or says where it was left.
void exchangeByRenames(const QString &first, const QString &second);

} // namespace HLPackageFiles
