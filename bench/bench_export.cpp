// Exports a generated 60-second project (photos through the shipped slideshow templates and
// transitions, a title, looping music) to H.264/AAC MP4 at 1280 × 960, 30 fps, through the
// whole export path (sound pass, then the movie rendered frame by frame), and has the ffmpeg
// tool encode the very pictures and sound we exported (kept raw from a lossless export) with
// the same codecs, size, rate, bit rates and preset: the encoders' cost alone, which the export
// cannot beat (1.0). Five rounds run the two back to back; the last line is the median round's
// ratio of the two processor times ("ratio same pictures", above 0.95: our own work costs
// little beside the encoders').
// The renderers' processor time a frame is printed, and so is the old ratio against a plain
// encode of ffmpeg's test pattern, for comparison.
//
//   bench_export [seconds [rounds]]   (60 s and 5 rounds unless given, 30 s at least; under
//                                     taskset -c 0,1 for 2 cores)

#include "ExportBench.h"
#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>
#include <sys/resource.h>

extern "C" {
#include <libavcodec/codec_id.h>
}

using ExportBench::cpuSeconds;
using ExportBench::import;

namespace {

const QSize frameSize(1280, 960);
const int bitrate = 10000000;
constexpr int kRate = 30;

// A photo with detail: a gradient sky, hills, discs and some text.
QImage photo(int index)
{
    QImage image(1600, 1200, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 1200);
    sky.setColorAt(0, QColor::fromHsv((index * 37) % 360, 120, 240));
    sky.setColorAt(1, QColor::fromHsv((index * 37 + 180) % 360, 200, 90));
    painter.fillRect(image.rect(), sky);
    for (int i = 0; i < 40; ++i) {
        painter.setBrush(QColor::fromHsv((index * 53 + i * 29) % 360, 180, 220, 200));
        painter.setPen(Qt::NoPen);
        const int r = 20 + (i * 37 + index * 11) % 140;
        painter.drawEllipse(QPoint((i * 397 + index * 131) % 1600, (i * 251 + index * 97) % 1200), r, r);
    }
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 60));
    painter.drawText(image.rect(), Qt::AlignCenter, QStringLiteral("Photo %1").arg(index));
    return image;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const float seconds = argc > 1 ? std::max(30.0f, QString::fromLocal8Bit(argv[1]).toFloat()) : 60.0f;
    const int roundCount = argc > 2 ? std::max(1, QString::fromLocal8Bit(argv[2]).toInt()) : 5;
    QTemporaryDir folder;

    const auto sizer = ExportBench::setUpEngine(folder.path(), frameSize);

    // Sixteen photos, two to a slideshow item, through a round of templates.
    const QStringList slideshows = {"KenBurns", "TwoUp", "Normal", "PhotoFrame", "NormalZoom", "Polaroid", "DissolveZoom", "SplitTwo"};
    const QStringList transitions = {"Dissolve", "WipeLeft", "PushLeft", "Dissolve"};
    auto next = std::make_shared<int>(0);
    auto nextTransition = std::make_shared<int>(0);
    auto timeline = HLTimelineItem::timelineOf(2);
    timeline->setupSlideshow(
        [&, next] { return HLQuartzPool::quartzPoolOf(0)->infoDicOf(slideshows[(*next)++ % slideshows.size()]).value_or(QVariantMap()); },
        [&, nextTransition] {
            return HLQuartzPool::quartzPoolOf(2)->infoDicOf(transitions[(*nextTransition)++ % transitions.size()]).value_or(QVariantMap());
        });
    QList<std::shared_ptr<HLResourceItem>> photos;
    for (int i = 0; i < 16; ++i) {
        const QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(i));
        photo(i).save(path, "JPEG", 90);
        if (auto item = import(HLResourceTypeImage, path))
            photos << item;
    }
    if (photos.size() != 16 || !timeline->addOutTo(photos, QString())) {
        std::fprintf(stderr, "cannot build the project\n");
        return 1;
    }
    ExportBench::fitDuration(*timeline, seconds);

    auto textline = HLTextlineItem::textline();
    textline->setupTimeMap([](float position) { return position / 8.0f; });
    textline->add(HLTextItem::textItemOf(QStringLiteral("T1")));
    textline->textItemReMin(QStringLiteral("T1"), 8, 80);
    textline->syncPlayTime();

    auto audioline = HLAudiolineItem::audioline();
    const QString tone = folder.filePath("music.wav");
    QProcess::execute("ffmpeg", {"-y", "-hide_banner", "-loglevel", "error", "-f", "lavfi", "-i",
                                 "aevalsrc=0.4*sin(2*PI*330*t)+0.2*sin(2*PI*495*t):s=44100:c=stereo:d=25", tone});
    if (auto music = import(HLResourceTypeAudio, tone))
        audioline->add({music});

    // Rounds of our export and the encoder's own run back to back, so that both of a round
    // meet the same machine; the ratio printed last is the median of the rounds'.
    const int frames = qRound(timeline->dDuration() * kRate);
    double encodeCpu = 0;
    auto encode = [&](const QStringList &input, const QStringList &sound, const QString &output) -> double {
        const double childrenBefore = cpuSeconds(RUSAGE_CHILDREN);
        QProcess ffmpeg;
        ffmpeg.setProcessChannelMode(QProcess::ForwardedChannels);
        QElapsedTimer clock;
        clock.start();
        ffmpeg.start("ffmpeg", QStringList{"-y", "-hide_banner", "-loglevel", "error"} + input + sound
                                   + QStringList{"-frames:v", QString::number(frames), "-c:v", "libx264",
                                                 "-preset", "medium", "-b:v", QString::number(bitrate), "-pix_fmt",
                                                 "yuv420p", output});
        if (!ffmpeg.waitForFinished(-1) || ffmpeg.exitCode() != 0)
            return -1;
        const double wall = clock.nsecsElapsed() / 1e9;
        encodeCpu = cpuSeconds(RUSAGE_CHILDREN) - childrenBefore;
        return wall;
    };
    // The same sound as our export writes: AAC at the default format's rate and bit rate.
    const ZKFFMovieFileOutputFormat sound = zk_get_default_movie_file_ouput_format();
    const QStringList sameSound = {"-c:a", "aac", "-b:a", QString::number(sound.audio_bitrate), "-ar",
                                   QString::number(sound.sample_rate)};
    // The pictures and sound our encoders are handed, kept once losslessly (FFV1) and unpacked
    // into raw files: the baseline encodes exactly what ours encodes and reads it for next to
    // nothing. Our movie decoded instead gave its encoder softer pictures and it a decoder's work.
    const ExportBench::Run tap = ExportBench::exportMovie(sizer, timeline, textline, audioline, kRate, bitrate,
                                                          folder.filePath("pictures.mkv"), AV_CODEC_ID_FFV1);
    const QString rawPictures = folder.filePath("pictures.yuv"), rawSound = folder.filePath("sound.wav");
    if (!tap.error.isEmpty()
        || QProcess::execute("ffmpeg", {"-y", "-hide_banner", "-loglevel", "error", "-i", folder.filePath("pictures.mkv"),
                                        "-map", "0:v", "-f", "rawvideo", "-pix_fmt", "yuv420p", rawPictures, "-map",
                                        "0:a", "-c:a", "pcm_s16le", rawSound})
               != 0) {
        std::fprintf(stderr, "cannot keep the exported pictures: %s\n", qPrintable(tap.error));
        return 1;
    }
    const QStringList exportedPictures = {"-f", "rawvideo", "-pix_fmt", "yuv420p", "-s",
                                          QStringLiteral("%1x%2").arg(frameSize.width()).arg(frameSize.height()),
                                          "-r", QString::number(kRate), "-i", rawPictures, "-i", rawSound};
    struct Round
    {
        ExportBench::Run ours;
        double theirs = 0, theirsCpu = 0;
    };
    std::vector<Round> rounds;
    for (int k = 0; k < roundCount; ++k) {
        Round round;
        round.ours = ExportBench::exportMovie(sizer, timeline, textline, audioline, kRate, bitrate,
                                              folder.filePath("export.mp4"));
        if (!round.ours.error.isEmpty()) {
            std::fprintf(stderr, "export failed: %s\n", qPrintable(round.ours.error));
            return 1;
        }
        round.theirs = encode(exportedPictures, sameSound, folder.filePath("same.mp4"));
        round.theirsCpu = encodeCpu;
        if (round.theirs < 0) {
            std::fprintf(stderr, "ffmpeg failed\n");
            return 1;
        }
        std::printf("round %d: export %.1f s of processor time, ffmpeg %.1f s: %.3f\n", k + 1, round.ours.cpu,
                    round.theirsCpu, round.theirsCpu / round.ours.cpu);
        std::fflush(stdout);
        rounds.push_back(round);
    }
    std::sort(rounds.begin(), rounds.end(), [](const Round &a, const Round &b) {
        return a.theirsCpu / a.ours.cpu < b.theirsCpu / b.ours.cpu;
    });
    const Round &median = rounds[rounds.size() / 2];
    const ExportBench::Run &run = median.ours;

    const double renderCpu = ExportBench::renderSecondsPerFrame(sizer, timeline, textline, audioline, kRate, 5);
    // The old baseline, ffmpeg's own test pattern without sound, is cheaper to encode than
    // photos and is kept beside it for comparison.
    const double pattern = encode({"-f", "lavfi", "-i",
                                   QStringLiteral("testsrc2=size=%1x%2:rate=%3")
                                       .arg(frameSize.width())
                                       .arg(frameSize.height())
                                       .arg(kRate)},
                                  {"-an"}, folder.filePath("pattern.mp4"));
    const double patternCpu = encodeCpu;
    if (pattern < 0) {
        std::fprintf(stderr, "ffmpeg failed\n");
        return 1;
    }

    std::printf("project  %.1f s, %d frames (the median round below)\n", timeline->dDuration(), frames);
    std::printf("export   %.2f s (%.1f fps, %.1f s of processor time)\n", run.wall, frames / run.wall, run.cpu);
    std::printf("memory   %.1f page faults a frame\n", double(run.pageFaults) / frames);
    std::printf("render   %.2f ms of processor time a frame (renderers alone, every 5th frame)\n", renderCpu * 1e3);
    std::printf("ffmpeg   %.2f s (%.1f fps, %.1f s of processor time) plain encode of its test pattern\n", pattern,
                frames / pattern, patternCpu);
    std::printf("ffmpeg   %.2f s (%.1f fps, %.1f s of processor time) encoding the exported pictures and sound\n",
                median.theirs, frames / median.theirs, median.theirsCpu);
    std::printf("ours beyond the encoder: %.2f ms of processor time a frame\n",
                (run.cpu - median.theirsCpu) / frames * 1e3);
    std::printf("ratio export %.3f (old baseline: test pattern, wall time)\n", pattern / run.wall);
    std::printf("ratio same pictures %.3f\n", median.theirsCpu / run.cpu);
    return 0;
}
