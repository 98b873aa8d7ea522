#pragma once

#include <QString>

// Shows a file selected in the desktop's file manager: through the file manager's standard
// D-Bus interface (org.freedesktop.FileManager1 ShowItems) where the session offers it, else
// by opening the folder that holds the file.
class FileManagerReveal
{
public:
    static void reveal(const QString &path);

private:
    static bool p_showItems(const QString &path);
};
