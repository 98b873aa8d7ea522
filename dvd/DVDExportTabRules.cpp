#include "dvd/DVDExportTabRules.h"

#include "dvd/DVDProjectAssembly.h"

#include "export/ExportFormatSettings.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPictureTime = 5.0;
constexpr double kShortestMenu = 5.0;

} // namespace

double DVDExportTabRules::menuItemPictureTime(qint64 movieTicks)
{
    if (movieTicks < qint64(3 * kPictureTime * zk_default_time_base()))
        return 0.3 * zk_ff_time_to_double(movieTicks);
    return kPictureTime;
}

bool DVDExportTabRules::prefersWideAspect(QSizeF videoSize)
{
    const double ratio = videoSize.width() / std::max(videoSize.height(), 1.0);
    return std::abs(ratio - 4.0 / 3.0) > std::abs(ratio - 16.0 / 9.0);
}

double DVDExportTabRules::exportDVDMenuLength(bool addMenu, int chosenSeconds, qint64 musicTicks)
{
    if (!addMenu)
        return 0.0;
    double length = chosenSeconds;
    if (chosenSeconds == 0)
        length = std::trunc(zk_ff_time_to_double(std::max<qint64>(musicTicks, 0)));
    return std::max(length, kShortestMenu);
}

QString DVDExportTabRules::sizeText(qint64 bitrate, qint64 movieTicks, double menuSeconds)
{
    const double seconds = zk_ff_time_to_double(movieTicks) + menuSeconds;
    return QStringLiteral("up to %1")
        .arg(ExportFormatSettings::spaceDisplayStringWithSize(DVDProjectAssembly::getDvdBitrateToSize(bitrate, seconds)));
}

bool DVDExportTabRules::isAcceptedMusic(qint64 durationTicks, bool hasAudio)
{
    return hasAudio && durationTicks > qint64(0.1 * zk_default_time_base());
}
