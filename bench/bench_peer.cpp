// The job users run side by side with MLT's melt (the engine under the common Linux video
// editors), in the same run: 20 photos of 4000 × 3000, one to a slideshow item, 1-s cross
// dissolves, a music track, written as H.264/AAC MP4 at 1280 × 960 and 30 fps with x264's
// medium preset at 10 Mbit/s. The last line is melt's time over ours (above 1: we are faster).
//
//   bench_peer

#include "ExportBench.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <thread>

using ExportBench::cpuSeconds;
using ExportBench::import;

namespace {

const QSize frameSize(1280, 960);
const QSize photoSize(4000, 3000);
constexpr int kPhotos = 20;
constexpr int kRate = 30;
constexpr float kSeconds = 60.0f;
const QString kBitrate = QStringLiteral("10M");

// A camera-sized photo with detail: a gradient sky, discs and a caption.
QImage photo(int index)
{
    QImage image(photoSize, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, photoSize.height());
    sky.setColorAt(0, QColor::fromHsv((index * 37) % 360, 120, 240));
    sky.setColorAt(1, QColor::fromHsv((index * 37 + 180) % 360, 200, 90));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < 60; ++i) {
        painter.setBrush(QColor::fromHsv((index * 53 + i * 29) % 360, 180, 220, 200));
        const int r = 40 + (i * 37 + index * 11) % 350;
        painter.drawEllipse(QPoint((i * 397 + index * 131) % photoSize.width(), (i * 251 + index * 97) % photoSize.height()),
                            r, r);
    }
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 150));
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Photo %1").arg(index));
    return image;
}

// melt's profile for the output size and rate, square pixels.
QString writeProfile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QStringLiteral("description=bench\nframe_rate_num=%1\nframe_rate_den=1\nwidth=%2\nheight=%3\n"
                              "progressive=1\nsample_aspect_num=1\nsample_aspect_den=1\ndisplay_aspect_num=4\n"
                              "display_aspect_den=3\ncolorspace=709\n")
                   .arg(kRate)
                   .arg(frameSize.width())
                   .arg(frameSize.height())
                   .toUtf8());
    return path;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString melt = QStandardPaths::findExecutable(QStringLiteral("melt"));
    if (melt.isEmpty()) {
        std::printf("melt is not installed (Debian package melt): no peer to measure against\n");
        return 1;
    }
    QTemporaryDir folder;

    const auto sizer = ExportBench::setUpEngine(folder.path(), frameSize);

    // One photo an item, cross-dissolved for a second, the whole lasting kSeconds.
    auto timeline = HLTimelineItem::timelineOf(1);
    timeline->setupSlideshow([] { return HLQuartzPool::quartzPoolOf(0)->infoDicOf("Normal").value_or(QVariantMap()); },
                             [] { return HLQuartzPool::quartzPoolOf(2)->infoDicOf("Dissolve").value_or(QVariantMap()); });
    QStringList photoPaths;
    QList<std::shared_ptr<HLResourceItem>> photos;
    for (int i = 0; i < kPhotos; ++i) {
        const QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(i));
        photo(i).save(path, "JPEG", 90);
        photoPaths << path;
        if (auto item = import(HLResourceTypeImage, path))
            photos << item;
    }
    if (photos.size() != kPhotos || !timeline->addOutTo(photos, QString())) {
        std::fprintf(stderr, "cannot build the project\n");
        return 1;
    }
    timeline->applyTransitionDurationToAll(1.0f);
    ExportBench::fitDuration(*timeline, kSeconds);
    const int frames = qRound(timeline->dDuration() * kRate);

    const QString music = folder.filePath("music.wav");
    QProcess::execute("ffmpeg", {"-y", "-hide_banner", "-loglevel", "error", "-f", "lavfi", "-i",
                                 QStringLiteral("aevalsrc=0.4*sin(2*PI*330*t)+0.2*sin(2*PI*495*t):s=44100:c=stereo:d=%1")
                                     .arg(kSeconds),
                                 music});
    auto audioline = HLAudiolineItem::audioline();
    if (auto item = import(HLResourceTypeAudio, music))
        audioline->add({item});
    auto textline = HLTextlineItem::textline();
    textline->setupTimeMap([](float position) { return position / 8.0f; });

    const ExportBench::Run run =
        ExportBench::exportMovie(sizer, timeline, textline, *audioline, kRate, 10000000, folder.filePath("ours.mp4"));
    if (!run.error.isEmpty()) {
        std::fprintf(stderr, "export failed: %s\n", qPrintable(run.error));
        return 1;
    }
    const double ours = run.wall;
    const double oursCpu = run.cpu;

    // The same cut for melt: each photo held so that, with 1-s mixes between them, the movie
    // has our number of frames; rendered on as many threads as our export uses.
    const int held = (frames + (kPhotos - 1) * kRate + kPhotos / 2) / kPhotos;
    QStringList args{"-silent", "-profile", writeProfile(folder.filePath("profile"))};
    for (int i = 0; i < kPhotos; ++i) {
        // Through gdk-pixbuf: melt's Qt producer wants an X display.
        args << QStringLiteral("pixbuf:%1").arg(photoPaths[i]) << QStringLiteral("out=%1").arg(held - 1);
        if (i > 0)
            args << "-mix" << QString::number(kRate) << "-mixer" << "luma";
    }
    const int threads = std::clamp(int(std::thread::hardware_concurrency()) / 2, 1, 4);
    args << "-audio-track" << music << "-consumer" << QStringLiteral("avformat:%1").arg(folder.filePath("melt.mp4"))
         << "vcodec=libx264" << "preset=medium" << QStringLiteral("vb=%1").arg(kBitrate) << "acodec=aac" << "ab=192k"
         << QStringLiteral("real_time=-%1").arg(threads);
    const double childrenBefore = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    QProcess peer;
    peer.setProcessChannelMode(QProcess::MergedChannels); // its chatter is shown only when it fails
    clock.start();
    peer.start(melt, args);
    if (!peer.waitForFinished(-1) || peer.exitCode() != 0) {
        std::fprintf(stderr, "melt failed:\n%s\n", peer.readAll().constData());
        return 1;
    }
    const double theirs = clock.nsecsElapsed() / 1e9;
    const double theirsCpu = cpuSeconds(RUSAGE_CHILDREN) - childrenBefore;

    std::printf("project  %.1f s, %d frames of %d photos %dx%d\n", timeline->dDuration(), frames, kPhotos,
                photoSize.width(), photoSize.height());
    std::printf("export   %.2f s (%.1f fps, %.1f s of processor time)\n", ours, frames / ours, oursCpu);
    std::printf("melt     %.2f s (%.1f fps, %.1f s of processor time), %d frames a photo\n", theirs, frames / theirs,
                theirsCpu, held);
    std::printf("ratio melt %.3f\n", theirs / ours);
    return 0;
}
