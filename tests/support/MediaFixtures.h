#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// Small media files for tests, written by the ffmpeg tool from its generated sources.
namespace MediaFixtures {

// Runs ffmpeg (overwriting, errors only) with args; true when it succeeded.
bool runFFmpeg(const QStringList &args);

struct ClipRecipe
{
    QSize size{64, 48};
    int fps = 25;
    double seconds = 1.0;
    QStringList videoCodec{"-c:v", "libx264", "-preset", "ultrafast", "-g", "12", "-pix_fmt", "yuv420p"};
    QStringList audioCodec; // empty: no sound track
    double toneHz = 441;
    QStringList extra;      // more output options (metadata, container flags)
};

// A clip whose frame i is a flat grey that encodes i (read back with frameIndexOf), with a
// sine tone of amplitude 0.5 when audioCodec is given.
bool makeIndexedClip(const QString &path, const ClipRecipe &recipe);
// The index a frame of makeIndexedClip shows; -1 for a null image.
int frameIndexOf(const QImage &image);

// A clip whose frame i shows i in binary: ten columns, the leftmost the lowest bit, white for
// a set bit and black for a clear one (read back with frameNumberOf). Survives any codec and
// scaling, and counts up to 1023 frames. A sound track when audioCodec is given.
bool makeNumberedClip(const QString &path, const ClipRecipe &recipe);
// The number a frame of makeNumberedClip shows; -1 for a null image.
int frameNumberOf(const QImage &image);

// Marks the picture track of an MP4 or MOV file to be shown turned clockwise by degrees
// (90, 180 or 270), as phones do; false when the file has no track header to mark.
bool setMp4Rotation(const QString &path, int degrees);

// A sine tone: amplitude × sin(2π f t) on every channel.
bool makeTone(const QString &path, double seconds, int sampleRate, int channels, const QStringList &codec,
              double frequency = 441, double amplitude = 0.5);

// A stereo sweep whose pitch rises with time (200 Hz + 200 Hz per second) at amplitude 0.5, so
// any stretch of it tells where in the file it comes from; with a small picture track when
// withVideo is set (videoCodec then applies).
bool makeSweep(const QString &path, double seconds, const QStringList &audioCodec, bool withVideo = false,
               const QStringList &videoCodec = {"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"});

// Photos, plain clips and tones for the import tests.

// A picture whose left half is one colour and right half another.
QImage halves(int width, int height, const QColor &left = Qt::red, const QColor &right = Qt::blue);
// A JPEG of image with an EXIF block that records orientation (1 to 8), as cameras write it;
// without one when orientation is 0.
QByteArray jpegWithOrientation(const QImage &image, quint16 orientation, int quality = 75);
// A photo-like picture with detail everywhere: colour running across, fine grain on top, so
// that its JPEG data spreads evenly over its rows.
QImage texturedPhoto(int width, int height);
// A 1600 × 1200 photo told apart by its colours and its number k drawn large.
QImage numberedPhoto(int k);
// Writes image in the Qt format ("JPEG", "PNG", "TIFF", "WEBP", "BMP"); false on failure.
bool writeImage(const QString &path, const QImage &image, const char *format);
// HEIC through libheif, shown turned as the EXIF orientation (1 to 8) says; false when this
// libheif has no HEVC encoder.
bool writeHeic(const QString &path, const QImage &image, int orientation = 1);
// A 1-s 160 × 120 clip, with a tone when sound is true.
bool writeClip(const QString &path, bool sound = false, double seconds = 1.0);
// A tone of the given length.
bool writeTone(const QString &path, double seconds = 1.0);
bool writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);

} // namespace MediaFixtures
