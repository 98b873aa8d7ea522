#pragma once

#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QtGlobal>

#include <memory>

class DVDBurn;
class Trevanel;
class VETimelineExportMovie;
class ZKSegmentMovie;

// The DVD tab's choices that make a disc.
struct DVDDiscSettings
{
    bool addMenu = true;
    qint64 aspectType = 0; // 0 4:3, 1 16:9
    qint64 bitrate = 6000; // kbit/s
    bool autoPlay = false;
    bool loop = false;
    int standard = 0;      // 0 NTSC, 1 PAL
    double menuLength = 5; // seconds
    QSizeF menuSize;
    QImage menuImage;      // the menu as previewed: background, title and button
    std::shared_ptr<ZKSegmentMovie> menuAudio;
    bool buttonUseText = false;
    double buttonBackgroundRadius = 0;
    QRectF buttonFrame;    // where the button shows on the menu, y up
};

// Builds the disc description of a slideshow from the DVD tab's choices, and the checks made
// before a disc is started.
class DVDProjectAssembly
{
public:
    // One title of one chapter playing the slideshow; with a menu, one page whose one button
    // plays that chapter.
    static std::shared_ptr<Trevanel> getDVDObj(const DVDDiscSettings &settings,
                                               const std::shared_ptr<VETimelineExportMovie> &timeline);
    // The warning when the slideshow's shape is not the disc's (more than 0.05 apart), else
    // empty.
    static QString aspectMismatchMessage(QSizeF videoSize, qint64 aspectType);
    // What keeps the burner from taking a disc of size bytes, else empty.
    static QString burnerProblem(DVDBurn &burner, qint64 size);
    // About what bitrate kbit/s for seconds takes on a disc, in bytes.
    static qint64 getDvdBitrateToSize(qint64 bitrate, double seconds);
};
