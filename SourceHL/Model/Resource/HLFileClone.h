#pragma once

#include <QString>

// Private copies of media files. A resource must never share its data with the user's own
// file (a hard link would let a later edit of the original change the project), so a copy is
// a reflink where the file system offers one and a byte copy otherwise. Every step is
// checked; a failure removes what was made and says why.
class HLFileClone
{
public:
    // Copies the regular file source to target, which must not exist yet.
    static bool cloneFile(const QString &source, const QString &target, QString *reason = nullptr);
    // The folder source as target, each file a second name (hard link) where the file system
    // allows, else a copy; only for folders the program owns and never rewrites. Target must
    // not exist yet; a failure removes what was made.
    static bool linkFolder(const QString &source, const QString &target, QString *reason = nullptr);
    // A second name for a file the program owns (hard link), else a copy of it.
    static bool linkOrClone(const QString &source, const QString &target, QString *reason = nullptr);
};
