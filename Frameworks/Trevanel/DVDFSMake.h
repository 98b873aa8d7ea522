#pragma once

#include "Frameworks/Trevanel/DVDToolProcess.h"

#include <QString>

#include <atomic>
#include <memory>

class HLJobState;
class Trevanel;

// Writes the DVD-Video folder "dvd.dvdmedia" into the work folder (dvdauthor) from the
// work folder's "title%d.dvd" and "menu%d.dvd" files: one title set whose titles have the
// chapters of the disc's titles, its menus as the title set's menus with one button per
// menu button and its jump, the first play and the end of each title as the disc asks.
class DVDFSMake
{
public:
    static QString folderName() { return QStringLiteral("dvd.dvdmedia"); }

    void dvd(std::shared_ptr<Trevanel> dvd, const QString &work);
    // Synchronous, its progress and cancel through state; false with errorString set when the folder could not be written.
    bool start(HLJobState &state);
    QString errorString() const;

    // The dvdauthor description of the disc; empty with error set when it cannot be made.
    static QByteArray authorDescription(const Trevanel &dvd, QString *error);

private:
    bool p_fail(const QString &reason);

    std::shared_ptr<Trevanel> m_dvd;
    QString m_work;
    DVDToolProcess m_tool;
    QString m_error;
};
