#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// File chores shared by the authoring steps.
class DVDToolFiles
{
public:
    static bool isNonEmptyFile(const QString &path);
    static bool writeFile(const QString &path, const QByteArray &data, QString *error);
    // Moves from over to (a file), replacing it; false with a reason.
    static bool replaceFile(const QString &from, const QString &to, QString *error);
    // The variables spumux and dvdauthor read, for a disc format (0 NTSC, 1 PAL).
    static QMap<QString, QString> toolEnvironment(int format);
};
