#pragma once

#include <QSizeF>
#include <QString>
#include <QtGlobal>

// The DVD tab's derived values, from its controls and the slideshow.
class DVDExportTabRules
{
public:
    DVDExportTabRules() = delete;

    // Where the play button's picture is taken from the slideshow, in seconds: 5 s, or 0.3 of
    // the length for a slideshow shorter than 15 s.
    static double menuItemPictureTime(qint64 movieTicks);
    // 16:9 when the slideshow's shape is nearer to it than to 4:3; a tie is 4:3.
    static bool prefersWideAspect(QSizeF videoSize);
    // The menu's length in seconds: 0 without a menu; the chosen length, or with 0 chosen the
    // whole seconds of the music (0 without); never below 5.
    static double exportDVDMenuLength(bool addMenu, int chosenSeconds, qint64 musicTicks);
    // The disc's size estimate as the tab shows it: an upper bound (still pictures encode far
    // below the bit rate), so it says "up to".
    static QString sizeText(qint64 bitrate, qint64 movieTicks, double menuSeconds);
    // Music is a file of more than 0.1 s with sound.
    static bool isAcceptedMusic(qint64 durationTicks, bool hasAudio);
};
