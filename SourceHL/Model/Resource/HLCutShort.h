#pragma once

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <QString>

// What an import says of a movie or sound file cut short (its header promises more than its
// data holds); empty for a whole file. It is taken at the length it holds.
inline QString hl_cutShortWarning(const QString &path, const ZKFFMovie &movie)
{
    if (movie.declaredDuration() <= movie.duration())
        return {};
    return QStringLiteral("\"%1\" is cut short: only %2 s of %3 s could be read")
        .arg(path, QString::number(zk_ff_time_to_double(movie.duration()), 'f', 1),
             QString::number(zk_ff_time_to_double(movie.declaredDuration()), 'f', 1));
}
