#pragma once

#include <QString>

// The file-system steps of writing a package safely. Each throws HLPackageError with the
// system's reason when it fails.
namespace HLPackageFiles {

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
