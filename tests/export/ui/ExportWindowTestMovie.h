#pragma once

#include "export/VETimelineAudioItem.h"
#include "export/VETimelineAudioItemExport.h"
#include "export/VETimelineExportMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "tests/export/ExportTestSources.h"
#include "tests/support/ChildProcess.h"

#include <QComboBox>
#include <QHash>
#include <QImage>

#include <chrono>
#include <thread>

// A movie for the window tests: a grey picture of size at every time (each taking frameDelay
// to draw) and a tone over the whole length.
inline std::shared_ptr<VETimelineExportMovie> windowTestMovie(double seconds, QSizeF size = QSizeF(160, 120),
                                                              std::chrono::milliseconds frameDelay = {})
{
    auto movie = std::make_shared<VETimelineExportMovie>();
    movie->setVideoSize(size);
    movie->setDuration(zk_ff_time_from_double(seconds));
    movie->setFadeOut(std::min(zk_ff_time_from_double(3), movie->duration()));
    movie->setGetImage([size, frameDelay](qint64) {
        std::this_thread::sleep_for(frameDelay);
        QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::gray);
        return image;
    });
    auto item = std::make_shared<VETimelineAudioItem>();
    item->setDuration(movie->duration());
    item->setAudioMovie(ZKSegmentMovie::movieWithFFmovie(std::make_shared<WaveSource>(seconds, WaveSource::sine(0.5))));
    auto mixer = std::make_shared<VETimelineAudioItemExport>();
    mixer->setAudios({item});
    movie->setAudioExport(mixer);
    return movie;
}

// Chooses the entry of a pop-up as a user does.
inline void choose(QComboBox *box, const QString &title)
{
    const int index = box->findText(title);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Each stream of a movie file as ffprobe reports it: codec_name, width, height, r_frame_rate.
inline QList<QHash<QString, QString>> probeStreams(const QString &path)
{
    const ChildProcess probe = ChildProcess::run(
        QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-show_entries"),
         QStringLiteral("stream=codec_name,codec_type,width,height,r_frame_rate"), QStringLiteral("-of"),
         QStringLiteral("compact=p=0"), path},
        true);
    QList<QHash<QString, QString>> streams;
    if (probe.exitCode != 0)
        return streams;
    for (const QByteArray &line : probe.output.split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QHash<QString, QString> stream;
        for (const QByteArray &field : line.trimmed().split('|')) {
            const int eq = field.indexOf('=');
            if (eq > 0)
                stream.insert(QString::fromUtf8(field.left(eq)), QString::fromUtf8(field.mid(eq + 1)));
        }
        streams << stream;
    }
    return streams;
}
