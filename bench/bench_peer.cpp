// The job users run side by side with MLT's melt (the engine under the common Linux video
// editors), in the same run: 20 photos of 4000 × 3000, one to a slideshow item and held still,
// 1-s cross dissolves, a music track, written as H.264/AAC MP4 at 1280 × 960 and 30 fps with
// x264's medium preset at 10 Mbit/s. Both must write the same bit rate (within 5 %): x264's
// average rate control lands differently on the two movies' pictures, so melt is run again with
// its rate scaled until it writes what we wrote; where melt cannot reach our rate, our export
// is run again at melt's. The job runs on all the processors, then again pinned to two
// (taskset -c 0,1). Each prints both processor times; the last two lines are melt's time over
// ours (above 1: we are faster): "ratio melt" and "ratio melt 2 cores".
//
//   bench_peer [photos seconds]      (20 photos over 60 s unless given)
//   bench_peer --one photos seconds  (one run where it stands; what the pinned run calls)

#include "ExportBench.h"
#include "Frameworks/Korvane/ZKVideoConverter.h"
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
#include <cmath>
#include <cstdio>
#include <sys/resource.h>

using ExportBench::cpuSeconds;
using ExportBench::import;

namespace {

const QSize frameSize(1280, 960);
const QSize photoSize(4000, 3000);
constexpr int kRate = 30;
constexpr int kBitrate = 10000000;

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

// The video stream's bit rate of the movie at path, or 0.
double videoBitrate(const QString &path)
{
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-select_streams", "v:0", "-show_entries", "stream=bit_rate", "-of",
                            "default=nw=1:nk=1", path});
    probe.waitForFinished(-1);
    return QString::fromUtf8(probe.readAllStandardOutput()).trimmed().toDouble();
}

struct Side
{
    double wall = 0;
    double cpu = 0;
    double bitrate = 0;
};

// melt making the cut at rate bit/s; false when it failed.
bool runMelt(const QString &melt, const QStringList &cut, double rate, const QString &path, Side &side)
{
    QStringList args = cut;
    args << QStringLiteral("avformat:%1").arg(path) << "vcodec=libx264" << "preset=medium"
         << QStringLiteral("vb=%1").arg(qRound64(rate)) << "acodec=aac" << "ab=192k"
         << QStringLiteral("real_time=-%1").arg(ZKVideoConverter::pictureWorkers());
    const double childrenBefore = cpuSeconds(RUSAGE_CHILDREN);
    QElapsedTimer clock;
    QProcess peer;
    peer.setProcessChannelMode(QProcess::MergedChannels); // its chatter is shown only when it fails
    clock.start();
    peer.start(melt, args);
    if (!peer.waitForFinished(-1) || peer.exitCode() != 0) {
        std::fprintf(stderr, "melt failed:\n%s\n", peer.readAll().constData());
        return false;
    }
    side.wall = clock.nsecsElapsed() / 1e9;
    side.cpu = cpuSeconds(RUSAGE_CHILDREN) - childrenBefore;
    side.bitrate = videoBitrate(path);
    return true;
}

// One comparison where the process stands; prints its figures and answers melt's time over
// ours, or a negative number when a side failed.
double compare(const QString &melt, int photoCount, float seconds)
{
    QTemporaryDir folder;
    const auto sizer = ExportBench::setUpEngine(folder.path(), frameSize);

    // One photo an item, held still as melt holds it (the Dissolve slideshow), cross-dissolved
    // for a second, the whole lasting seconds.
    auto timeline = HLTimelineItem::timelineOf(1);
    timeline->setupSlideshow([] { return HLQuartzPool::quartzPoolOf(0)->infoDicOf("Dissolve").value_or(QVariantMap()); },
                             [] { return HLQuartzPool::quartzPoolOf(2)->infoDicOf("Dissolve").value_or(QVariantMap()); });
    QStringList photoPaths;
    QList<std::shared_ptr<HLResourceItem>> photos;
    for (int i = 0; i < photoCount; ++i) {
        const QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(i));
        photo(i).save(path, "JPEG", 90);
        photoPaths << path;
        if (auto item = import(HLResourceTypeImage, path))
            photos << item;
    }
    if (photos.size() != photoCount || !timeline->addOutTo(photos, QString())) {
        std::fprintf(stderr, "cannot build the project\n");
        return -1;
    }
    timeline->applyTransitionDurationToAll(1.0f);
    ExportBench::fitDuration(*timeline, seconds);
    const int frames = qRound(timeline->dDuration() * kRate);

    const QString music = folder.filePath("music.wav");
    QProcess::execute("ffmpeg", {"-y", "-hide_banner", "-loglevel", "error", "-f", "lavfi", "-i",
                                 QStringLiteral("aevalsrc=0.4*sin(2*PI*330*t)+0.2*sin(2*PI*495*t):s=44100:c=stereo:d=%1")
                                     .arg(seconds),
                                 music});
    auto audioline = HLAudiolineItem::audioline();
    if (auto item = import(HLResourceTypeAudio, music))
        audioline->add({item});
    auto textline = HLTextlineItem::textline();
    textline->setupTimeMap([](float position) { return position / 8.0f; });

    const QString ourPath = folder.filePath("ours.mp4");
    double ourAsked = kBitrate;
    auto runOurs = [&](Side &side) {
        const ExportBench::Run run =
            ExportBench::exportMovie(sizer, timeline, textline, audioline, kRate, int(ourAsked), ourPath);
        if (!run.error.isEmpty()) {
            std::fprintf(stderr, "export failed: %s\n", qPrintable(run.error));
            return false;
        }
        side = {run.wall, run.cpu, videoBitrate(ourPath)};
        return true;
    };
    Side ours;
    if (!runOurs(ours))
        return -1;

    // The same cut for melt: each photo held so that, with 1-s mixes between them, the movie
    // has our number of frames; rendered on as many threads as our export renders on.
    const int held = (frames + (photoCount - 1) * kRate + photoCount / 2) / photoCount;
    QStringList cut{"-silent", "-profile", writeProfile(folder.filePath("profile"))};
    for (int i = 0; i < photoCount; ++i) {
        // Through gdk-pixbuf: melt's Qt producer wants an X display.
        cut << QStringLiteral("pixbuf:%1").arg(photoPaths[i]) << QStringLiteral("out=%1").arg(held - 1);
        if (i > 0)
            cut << "-mix" << QString::number(kRate) << "-mixer" << "luma";
    }
    cut << "-audio-track" << music << "-consumer";
    Side theirs;
    double asked = kBitrate;
    auto apart = [&] { return theirs.bitrate > 0 && ours.bitrate > 0 && std::abs(theirs.bitrate / ours.bitrate - 1) > 0.05; };
    double written = 0; // by melt's run before
    for (int attempt = 0; attempt < 4; ++attempt) {
        if (!runMelt(melt, cut, asked, folder.filePath("melt.mp4"), theirs))
            return -1;
        // A rate melt cannot reach: it holds each photo perfectly still, and still pictures cost
        // the encoder next to nothing whatever rate it is asked for. Ours comes down to melt's.
        if (!apart() || (attempt > 0 && std::abs(theirs.bitrate / written - 1) < 0.05))
            break;
        written = theirs.bitrate;
        asked *= ours.bitrate / theirs.bitrate;
    }
    for (int attempt = 0; attempt < 2 && apart(); ++attempt) {
        ourAsked *= theirs.bitrate / ours.bitrate;
        if (!runOurs(ours))
            return -1;
    }

    std::printf("project  %.1f s, %d frames of %d photos %dx%d, %d picture workers\n", timeline->dDuration(), frames,
                photoCount, photoSize.width(), photoSize.height(), ZKVideoConverter::pictureWorkers());
    std::printf("export   %.2f s (%.1f fps, %.1f s of processor time), %.2f Mbit/s asked %.2f\n", ours.wall,
                frames / ours.wall, ours.cpu, ours.bitrate / 1e6, ourAsked / 1e6);
    std::printf("melt     %.2f s (%.1f fps, %.1f s of processor time), %.2f Mbit/s asked %.2f, %d frames a photo\n",
                theirs.wall, frames / theirs.wall, theirs.cpu, theirs.bitrate / 1e6, asked / 1e6, held);
    if (std::abs(theirs.bitrate / ours.bitrate - 1) > 0.05)
        std::printf("the bit rates differ by more than 5 %%\n");
    return theirs.wall / ours.wall;
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
    QStringList args = app.arguments().mid(1);
    const bool one = !args.isEmpty() && args.first() == QLatin1String("--one");
    if (one)
        args.removeFirst();
    const int photoCount = args.size() >= 2 ? std::max(2, args[0].toInt()) : 20;
    const float seconds = args.size() >= 2 ? std::max(4.0f, args[1].toFloat()) : 60.0f;

    const double ratio = compare(melt, photoCount, seconds);
    if (ratio < 0)
        return 1;
    if (one) {
        std::printf("ratio melt %.3f\n", ratio);
        return 0;
    }
    // The same job on two processors, in a process of its own so that every pool is sized
    // for them.
    std::printf("pinned to 2 cores:\n");
    std::fflush(stdout);
    QProcess pinned;
    pinned.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    pinned.start("taskset", {"-c", "0,1", QCoreApplication::applicationFilePath(), "--one", QString::number(photoCount),
                             QString::number(seconds)});
    pinned.waitForFinished(-1);
    const QStringList lines = QString::fromUtf8(pinned.readAllStandardOutput()).trimmed().split(QLatin1Char('\n'));
    for (const QString &line : lines)
        std::printf("  %s\n", qPrintable(line));
    const QString last = lines.isEmpty() ? QString() : lines.last();
    if (pinned.exitCode() != 0 || !last.startsWith(QLatin1String("ratio melt "))) {
        std::fprintf(stderr, "the pinned run failed\n");
        return 1;
    }
    std::printf("ratio melt %.3f\n", ratio);
    std::printf("ratio melt 2 cores %s\n", qPrintable(last.mid(11)));
    return 0;
}
