#pragma once

#include <QString>

// Putting a finished result (the DVD folder, the ISO image) where the user asked for it,
// touching what is already there only when the user agreed to replace it.
class DVDDestination
{
public:
    // path when nothing is there, else the first free "<name><n>[.<ext>]" beside it.
    static QString freePath(const QString &path);
    // Moves the file or folder from to to (nothing may be at to): a rename, or across file
    // systems a copy that is checked before the original is removed. On failure nothing is
    // left at to and from is kept; false with a reason.
    static bool moveIntoPlace(const QString &from, const QString &to, QString *error);
    // The same where the user agreed to replace what is at to: the result is first moved in
    // beside it, and only then takes its name; on failure the old one is kept.
    static bool replaceWith(const QString &from, const QString &to, QString *error);
};
