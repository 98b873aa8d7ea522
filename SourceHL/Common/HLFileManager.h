#pragma once

#include <QString>

// The program's folders and its temporary files. Temporary files live in this session's
// private folder (HLTempSession::shared()); the user-visible defaults are folders named after
// the application under the XDG user folders. No operation reports failures: callers see the
// effect through the paths they get back.
class HLFileManager
{
public:
    HLFileManager() = delete;

    // This session's private temporary folder; empty when it could not be made.
    static QString temporaryDirectory();
    // The job folder name inside the temporary folder; nothing is created.
    static QString tempFileDirectory(const QString &name);
    // A new, empty, uniquely named file "XXXXXXXX.<extension>" in the job folder (created
    // when missing); empty when the file could not be made.
    static QString tempFilePath(const QString &name, const QString &extension);
    // Removes the job folder with everything in it.
    static void removeTempFile(const QString &name);
    // Empties the temporary folder.
    static void removeTempFiles();

    // Something is there and it is a folder (or a link to one).
    static bool isDirectoryAtPath(const QString &path);
    // The item itself is a symbolic link.
    static bool isSymbolicLinkFileAtPath(const QString &path);
    // When nothing is at path, creates the folder and its missing parents.
    static void createDirectoryAtPathIfCan(const QString &path);
    // Removes whatever is at path (a link, not its target), then creates its parent folder.
    static void prepareForCreateFilePath(const QString &path);
    // Sets the file's modification time to now.
    static void touchFile(const QString &path);
    // path (with "mov" added when it has no extension), or the first free "<name><n>.<ext>"
    // beside it, n = 1, 2, …
    static QString fullPathWithNumberIncreaseIfExist(const QString &path);

    // The user's Videos, Music and Pictures folders with the application's own folder in
    // them, created, links resolved.
    static QString defaultOutputPath();
    static QString defaultOutputVideoPath();
    static QString defaultSaveDocumentPath();
    static QString defaultOutputMusicPath();
    static QString defaultOutputScreenshotPath();
    // defaultOutputPath()/"RecordWavePath.mov"; the file is not made.
    static QString defaultRecordPath();
    // "project" and "library" in defaultSaveDocumentPath(), created.
    static QString projectPath();
    static QString libraryPath();
    // The application's data folder; nothing is created.
    static QString applicationSupportPath();
};
