// Converts a synthetic 1280 × 960, 30 fps movie to H.264 MP4 with ZKVideoConverter and the
// same length of FFmpeg's own test pattern with the ffmpeg tool, in the same run, and prints
// both times and their ratio (above 1: we are faster).
//
//   bench_convert [seconds]

#include "Frameworks/Korvane/MovieSource.h"
#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Korvane/ZKVideoConverter.h"

#include <QGuiApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <thread>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace {

const QSize frameSize(1280, 960);
const int bitrate = 10000000;

// A moving test pattern, painted on request.
class PatternSource : public MovieSource
{
public:
    explicit PatternSource(qint64 duration) : m_duration(duration) {}
    bool hasVideo() const override { return true; }
    bool hasAudio() const override { return false; }
    qint64 duration() const override { return m_duration; }
    void setCurrentTime(qint64) override {}
    bool readSample(float *, int, int) override { return false; }

    void decodeImageAtTime(qint64 time, const FrameAction &action, bool) override
    {
        // Like FFmpeg's testsrc2: still colour bars with a few moving things on them.
        const double t = zk_ff_time_to_double(time);
        const int w = frameSize.width();
        const int h = frameSize.height();
        QImage image(frameSize, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        const QColor bars[] = {Qt::red, Qt::green, Qt::yellow, Qt::blue, Qt::magenta, Qt::cyan};
        for (int i = 0; i < 6; ++i)
            painter.fillRect(QRect(i * w / 6, 0, w / 6 + 1, h), bars[i]);
        QLinearGradient band(0, 0, w, 0);
        for (int i = 0; i <= 6; ++i)
            band.setColorAt(i / 6.0, QColor::fromHsv((i * 60 + int(t * 90)) % 360, 255, 255));
        painter.setPen(QPen(QBrush(band), 14));
        const double y = std::fmod(t * 40, h / 2.0);
        painter.drawLine(QPointF(0, y), QPointF(w, y + h / 2.0));
        const int x = int(t * 160) % (w - 320);
        for (int row = 0; row < 8; ++row) {
            for (int col = 0; col < 10; ++col) {
                if ((row + col + int(t * 4)) % 2)
                    painter.fillRect(QRect(x + col * 32, 600 + row * 32, 32, 32), QColor(40, 160, 160));
            }
        }
        painter.fillRect(QRect(int(t * 60) % w, 700, 12, 20), Qt::gray);
        painter.setPen(Qt::white);
        painter.drawText(QRect(4, 4, 200, 30), QString::number(t, 'f', 3));
        painter.end();
        action(std::make_shared<ZKMovieImage>(image, time));
    }

private:
    qint64 m_duration;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    QTemporaryDir folder;

    ZKFFMovieFileOutputFormat format = zk_get_default_movie_file_ouput_format();
    format.width = frameSize.width();
    format.height = frameSize.height();
    format.video_codec = AV_CODEC_ID_H264;
    format.video_bitrate = bitrate;
    format.framerate = 30;
    format.frameTime = 1;

    ZKVideoConverter converter;
    converter.setMovies({ZKSegmentMovie::movieWithFFmovie(std::make_shared<PatternSource>(zk_ff_time_from_double(seconds)))});
    converter.setMovieOutputFormat(format);
    converter.setPath(folder.filePath("ours.mp4"));
    QElapsedTimer timer;
    timer.start();
    converter.updateConverterContent();
    converter.startConvert();
    while (!converter.isFinished())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const double ours = timer.nsecsElapsed() / 1e9;
    if (!converter.errorString().isEmpty()) {
        std::fprintf(stderr, "conversion failed: %s\n", qPrintable(converter.errorString()));
        return 1;
    }

    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::ForwardedChannels);
    timer.restart();
    ffmpeg.start("ffmpeg", {"-y", "-hide_banner", "-loglevel", "error", "-f", "lavfi", "-i",
                            QStringLiteral("testsrc2=size=%1x%2:rate=30").arg(frameSize.width()).arg(frameSize.height()),
                            "-t", QString::number(seconds), "-c:v", "libx264", "-preset", "medium", "-b:v",
                            QString::number(bitrate), "-pix_fmt", "yuv420p", folder.filePath("ffmpeg.mp4")});
    if (!ffmpeg.waitForFinished(-1) || ffmpeg.exitCode() != 0) {
        std::fprintf(stderr, "ffmpeg failed\n");
        return 1;
    }
    const double theirs = timer.nsecsElapsed() / 1e9;

    const double frames = seconds * 30.0;
    std::printf("convert  %.2f s (%.1f fps)\n", ours, frames / ours);
    std::printf("ffmpeg   %.2f s (%.1f fps)\n", theirs, frames / theirs);
    std::printf("ratio convert %.3f\n", theirs / ours);
    return 0;
}
