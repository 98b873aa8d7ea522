// Decodes a generated 1920 × 1080 H.264 clip to 1200 × 675 pictures, frame after frame, and
// compares with `ffmpeg -i clip -vf scale=1200:675 -f null -` on the same file in the same run;
// then random access and sample reading. The last line is "ratio decode <ours / ffmpeg's>".
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <random>
#include <vector>

namespace {

constexpr int kFps = 25;
constexpr int kSeconds = 8;
constexpr int kFrames = kFps * kSeconds;

bool ffmpeg(const QStringList &args, double *seconds = nullptr)
{
    QProcess process;
    QElapsedTimer clock;
    clock.start();
    process.start("ffmpeg", QStringList{"-y", "-nostdin", "-loglevel", "error"} + args);
    const bool ok = process.waitForFinished(600000) && process.exitCode() == 0;
    if (seconds)
        *seconds = clock.nsecsElapsed() / 1e9;
    if (!ok)
        std::fprintf(stderr, "ffmpeg failed: %s\n", process.readAllStandardError().constData());
    return ok;
}

double decodeAll(const QString &path, int *delivered)
{
    const auto movie = ZKFFMovie::open(path);
    if (!movie)
        return -1;
    movie->setFrameSize(QSize(1200, 675));
    QElapsedTimer clock;
    clock.start();
    *delivered = 0;
    for (int i = 0; i < kFrames; ++i) {
        const qint64 time = zk_ff_time_from_double(double(i) / kFps);
        movie->decodeImageAtTime(
            time, [&](const std::shared_ptr<ZKMovieImage> &frame) { *delivered += !frame->currentImage().isNull(); },
            true);
    }
    return clock.nsecsElapsed() / 1e9;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    const QString clip = folder.filePath("clip.mp4");
    const QString tone = folder.filePath("tone.flac");
    if (!ffmpeg({"-f", "lavfi", "-i", QString("testsrc2=s=1920x1080:r=%1:d=%2").arg(kFps).arg(kSeconds), "-c:v",
                 "libx264", "-preset", "veryfast", "-g", "50", "-pix_fmt", "yuv420p", clip})
        || !ffmpeg({"-f", "lavfi", "-i", "sine=f=441:r=44100:d=60", "-ac", "2", "-c:a", "flac", tone}))
        return 1;

    // Sequential decoding, ours against the tool's (each run twice, the better kept: warm caches).
    double ours = 1e9, theirs = 1e9;
    int delivered = 0;
    for (int run = 0; run < 2; ++run) {
        ours = std::min(ours, decodeAll(clip, &delivered));
        double seconds = 0;
        if (!ffmpeg({"-i", clip, "-vf", "scale=1200:675", "-f", "null", "-"}, &seconds))
            return 1;
        theirs = std::min(theirs, seconds);
    }
    std::printf("sequential: %d frames 1920x1080 -> 1200x675 in %.3f s (%.2f ms/frame, %d delivered)\n", kFrames,
                ours, ours * 1000 / kFrames, delivered);
    std::printf("ffmpeg -vf scale=1200:675 -f null: %.3f s (%.2f ms/frame)\n", theirs, theirs * 1000 / kFrames);

    // Random access: 50 frames at random times.
    {
        const auto movie = ZKFFMovie::open(clip);
        movie->setFrameSize(QSize(1200, 675));
        std::mt19937 random(11);
        std::uniform_int_distribution<qint64> pick(0, movie->duration() - 1);
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < 50; ++i)
            movie->decodeImageAtTime(pick(random), [](const auto &) {}, true);
        std::printf("random access: %.2f ms/frame (%d repositionings)\n", clock.nsecsElapsed() / 1e6 / 50,
                    movie->frameSeekCount());
    }

    // Sample reading: 60 s of FLAC in blocks of 1024 frames.
    {
        const auto movie = ZKFFMovie::open(tone);
        std::vector<float> block(2 * 1024);
        QElapsedTimer clock;
        clock.start();
        qint64 frames = 0;
        while (frames < 60LL * 44100) {
            movie->readSample(block.data(), 0, 1024);
            frames += 1024;
        }
        const double seconds = clock.nsecsElapsed() / 1e9;
        std::printf("readSample: %.0f x real time (%.1f ms for 60 s)\n", 60.0 / seconds, seconds * 1000);
    }

    std::printf("ratio decode %.3f\n", ours / theirs);
    return 0;
}
