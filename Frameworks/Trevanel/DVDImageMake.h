#pragma once

#include "Frameworks/Trevanel/DVDToolProcess.h"

#include <QString>

#include <atomic>
#include <optional>

class HLJobState;

// Writes the ISO image "dvd.iso" of a DVD-Video folder into the work folder (genisoimage
// with the UDF bridge DVD players read).
class DVDImageMake
{
public:
    static QString imageName() { return QStringLiteral("dvd.iso"); }

    void setInputPath(const QString &folder) { m_input = folder; }
    void volume(const QString &name, const QString &work);
    // Synchronous, its progress and cancel through state; false with errorString set when the image could not be written.
    bool start(HLJobState &state);
    QString errorString() const;

    // The share done that a line of genisoimage's gives (" 45.12% done, estimate …").
    static std::optional<double> progressOfLine(const QString &line);

private:
    bool p_fail(const QString &reason);

    QString m_input;
    QString m_volume;
    QString m_work;
    DVDToolProcess m_tool;
    QString m_error;
};
