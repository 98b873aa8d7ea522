#pragma once

#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"

#include <QSizeF>
#include <QString>
#include <QStringList>

// The choices of the export window without the window: the container/codec table, the codecs
// each container offers, the bit-rate, frame-rate and size-estimate rules, and the output
// format built from the chosen values. Every typed value passes through here, so what a field
// shows after editing is what the converter will use.
namespace ExportFormatSettings {

// The 32 rows "container:codec", in order.
const QStringList &formatCodecSettings();
// The ten containers offered, in order ("avi" is not among them).
const QStringList &allowVideoFormats();
// A title of the container pop-up in lower case when it is offered, else "mp4".
QString formatName(const QString &title);
// A codec name is a sound codec when it contains "aac", "ac3", "mp3", "pcm", "audio", "wma1" or "wma2".
bool isCodecIsAudio(const QString &codec);
// The codecs of a container in table order.
QStringList videoCodecsOf(const QString &container);
QStringList audioCodecsOf(const QString &container);

// The video bit-rate slider's range and start, in bit/s.
constexpr double kMinVideoBitrate = 400000;
constexpr double kMaxVideoBitrate = 20000000;
constexpr double kDefaultVideoBitrate = 10000000;
// A bit rate typed in kbit/s: the new slider value in bit/s, or current when the text is no
// number or lies outside the slider's range.
double videoBitrateFromText(const QString &kbits, double current);

// A typed frame rate: no number keeps current; below 15 becomes 15, above 60 becomes 60.
double framerateFromText(const QString &text, double current);
// The field's text for a frame rate: whole numbers without decimals, others with two.
QString framerateText(double fps);

// Estimated bytes of a movie: seconds × bit/s / 8, truncated; 0 for a negative length.
qint64 estimatedBytes(double seconds, double bitrate);
// "%.1f MB" of bytes / 1000000 (integer division), or "%.1f GB" above 1000 MB.
QString spaceDisplayStringWithSize(qint64 bytes);
// "%02d:%02d:%02d" of the whole seconds.
QString durationText(double seconds);
// "%d*%d" of the size truncated.
QString resolutionText(QSizeF size);

// What the controls hold when the export starts.
struct Choice
{
    QString container = QStringLiteral("mp4");
    QString videoCodec;   // empty: the framework's default
    QString audioCodec;   // empty: the framework's default
    double framerate = 30;
    double videoBitrate = kDefaultVideoBitrate;
    QSizeF videoSize;
    int sampleRate = 44100;
    int channels = 2;
    int audioKbits = 128;
};

// The output format of the choice, before the converter fits it to its codecs.
ZKFFMovieFileOutputFormat exportOutputVideoFormat(const Choice &choice);
// The output format as the converter will write it into a file of the chosen container.
ZKFFMovieFileOutputFormat usedOutputFormat(const Choice &choice);

} // namespace ExportFormatSettings
