#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

// Tiny media files made by the tests themselves.
namespace MediaFixtures {

// A picture with a red left half and a blue right half.
QImage halves(int width, int height);
// Writes image in the Qt format ("JPEG", "PNG", "TIFF", "WEBP", "BMP"); false on failure.
bool writeImage(const QString &path, const QImage &image, const char *format);
// HEIC through libheif; false when this libheif has no HEVC encoder.
bool writeHeic(const QString &path, const QImage &image);
// Runs the ffmpeg program with arguments (no shell); false unless it succeeds.
bool ffmpeg(const QStringList &arguments);
// A 1-s 160 × 120 clip, with a tone when sound is true.
bool writeClip(const QString &path, bool sound = false, double seconds = 1.0);
// A tone of the given length.
bool writeTone(const QString &path, double seconds = 1.0);
bool writeBytes(const QString &path, const QByteArray &bytes);
QByteArray readBytes(const QString &path);

} // namespace MediaFixtures
