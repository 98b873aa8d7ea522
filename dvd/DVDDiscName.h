#pragma once

#include <QString>

// The disc name as the user typed it, made safe where it becomes a file name or a volume id.
class DVDDiscName
{
public:
    // One path component: trimmed, without "/", "\\" or control characters, no leading dot
    // (so never "." or ".."), at most 255 bytes of UTF-8; "My DVD" when nothing is left.
    static QString folderName(const QString &name);
    // The ISO volume id: printable ASCII (others become "_"), at most 30 characters;
    // "MY_DVD" when nothing is left.
    static QString volumeName(const QString &name);
};
