#include "export/ExportFormatSettings.h"

#include "Frameworks/Korvane/ZKMovieFileProfile.h"

#include <algorithm>
#include <cmath>

namespace ExportFormatSettings {

namespace {

bool isNear(double a, double b)
{
    return std::abs(a - b) < 0.01;
}

QStringList codecsOf(const QString &container, bool audio)
{
    QStringList codecs;
    for (const QString &row : formatCodecSettings()) {
        if (!row.startsWith(container))
            continue;
        const QString codec = row.mid(row.lastIndexOf(QLatin1Char(':')) + 1);
        if (isCodecIsAudio(codec) == audio)
            codecs << codec;
    }
    return codecs;
}

// A number typed by the user; nothing for text, infinities and NaN.
bool numberOf(const QString &text, double *value)
{
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return false;
    *value = number;
    return true;
}

} // namespace

const QStringList &formatCodecSettings()
{
    static const QStringList rows = {
        QStringLiteral("mp4:h264"),  QStringLiteral("mp4:mpeg4"),    QStringLiteral("mp4:aac"),
        QStringLiteral("mov:h264"),  QStringLiteral("mov:mpeg4"),    QStringLiteral("mov:aac"),
        QStringLiteral("m4v:h264"),  QStringLiteral("m4v:mpeg4"),    QStringLiteral("m4v:aac"),
        QStringLiteral("mpg:mpeg2"), QStringLiteral("mpg:mpeg1"),    QStringLiteral("mpg:mpeg audio"),
        QStringLiteral("ts:mpeg2"),  QStringLiteral("ts:mpegaudio"), QStringLiteral("wmv:wmv2"),
        QStringLiteral("wmv:wma2"),  QStringLiteral("wmv:wma1"),     QStringLiteral("avi:mp4"),
        QStringLiteral("avi:mp3"),   QStringLiteral("mkv:h264"),     QStringLiteral("mkv:mp4"),
        QStringLiteral("mkv:mp3"),   QStringLiteral("mkv:ac3"),      QStringLiteral("mkv:aac"),
        QStringLiteral("flv:flv"),   QStringLiteral("flv:h264"),     QStringLiteral("flv:mp3"),
        QStringLiteral("asf:msmpegv3"), QStringLiteral("asf:wma2"),  QStringLiteral("asf:wma1"),
        QStringLiteral("dv:dv"),     QStringLiteral("dv:pcm audio"),
    };
    return rows;
}

const QStringList &allowVideoFormats()
{
    static const QStringList formats = {QStringLiteral("mp4"), QStringLiteral("mov"), QStringLiteral("m4v"),
                                        QStringLiteral("mpg"), QStringLiteral("dv"),  QStringLiteral("wmv"),
                                        QStringLiteral("ts"),  QStringLiteral("asf"), QStringLiteral("mkv"),
                                        QStringLiteral("flv")};
    return formats;
}

QString formatName(const QString &title)
{
    const QString name = title.toLower();
    return allowVideoFormats().contains(name) ? name : allowVideoFormats().first();
}

bool isCodecIsAudio(const QString &codec)
{
    for (const char *mark : {"aac", "ac3", "mp3", "pcm", "audio", "wma1", "wma2"}) {
        if (codec.contains(QLatin1String(mark)))
            return true;
    }
    return false;
}

QStringList videoCodecsOf(const QString &container)
{
    return codecsOf(container, false);
}

QStringList audioCodecsOf(const QString &container)
{
    return codecsOf(container, true);
}

double videoBitrateFromText(const QString &kbits, double current)
{
    double value = 0;
    if (!numberOf(kbits, &value))
        return current;
    value *= 1000;
    return value >= kMinVideoBitrate && value <= kMaxVideoBitrate ? value : current;
}

double framerateFromText(const QString &text, double current)
{
    double value = 0;
    if (!numberOf(text, &value))
        return current;
    return std::clamp(value, 15.0, 60.0);
}

QString framerateText(double fps)
{
    if (isNear(fps, 24000.0 / 1001))
        return QStringLiteral("23.97");
    if (isNear(fps, 30000.0 / 1001))
        return QStringLiteral("29.97");
    if (std::abs(fps - std::round(fps)) < 0.001)
        return QString::asprintf("%.0f", fps);
    return QString::asprintf("%.2f", fps);
}

qint64 estimatedBytes(double seconds, double bitrate)
{
    if (!(seconds > 0) || !(bitrate > 0))
        return 0;
    return qint64(seconds * (bitrate / 1000) * 1000 / 8);
}

QString spaceDisplayStringWithSize(qint64 bytes)
{
    double size = double(bytes / 1000000);
    QString unit = QStringLiteral("MB");
    if (size > 1000) {
        size /= 1000;
        unit = QStringLiteral("GB");
    }
    return QString::asprintf("%.1f %s", size, qPrintable(unit));
}

QString durationText(double seconds)
{
    const qint64 whole = seconds > 0 ? qint64(seconds) : 0;
    return QString::asprintf("%02lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
}

QString resolutionText(QSizeF size)
{
    return QString::asprintf("%d*%d", int(size.width()), int(size.height()));
}

ZKFFMovieFileOutputFormat exportOutputVideoFormat(const Choice &choice)
{
    ZKFFMovieFileOutputFormat format = zk_get_default_movie_file_ouput_format();
    if (!choice.videoCodec.isEmpty())
        format.video_codec = zk_get_codec_id_by_name(choice.videoCodec);
    double fps = choice.framerate;
    if (!(fps >= 10 && fps <= 60))
        fps = 24;
    format.framerate = int(fps);
    if (isNear(fps, 23.97)) {
        format.framerate = 24000;
        format.frameTime = 1001;
    } else if (isNear(fps, 29.97)) {
        format.framerate = 30000;
        format.frameTime = 1001;
    }
    format.video_bitrate = qint32(choice.videoBitrate);
    format.width = int(choice.videoSize.width());
    format.height = int(choice.videoSize.height());
    if (!choice.audioCodec.isEmpty())
        format.audio_codec = zk_get_codec_id_by_name(choice.audioCodec);
    format.sample_rate = choice.sampleRate;
    format.audio_bitrate = choice.audioKbits * 1000;
    format.channel_layout = zk_get_default_channel_layout(choice.channels);
    return format;
}

ZKFFMovieFileOutputFormat usedOutputFormat(const Choice &choice)
{
    const ZKFFMovieFileOutputFormat asked = exportOutputVideoFormat(choice);
    const ZKMovieFileProfile profile =
        ZKMovieFileProfile::of(QStringLiteral("movie.") + formatName(choice.container), asked);
    return profile.isValid() ? profile.format : asked;
}

} // namespace ExportFormatSettings
