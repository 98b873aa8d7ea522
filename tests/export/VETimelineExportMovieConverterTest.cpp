#include "export/VETimelineAudioItem.h"
#include "export/VETimelineAudioItemExport.h"
#include "export/VETimelineExportMovie.h"
#include "export/VETimelineExportMovieConverter.h"
#include "ExportTestSources.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKSoftLimit.h"
#include "Frameworks/Korvane/ZKVideoConverter.h"
#include "SourceHL/Common/HLFileManager.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

extern "C" {
#include <libavcodec/codec_id.h>
}

namespace {

using namespace std::chrono_literals;

const qint64 tb = zk_default_time_base();

// A movie of seconds with a grey picture and one clip of sound over its whole length; counts
// the pictures it draws into drawn when given.
std::shared_ptr<VETimelineExportMovie> movieOf(double seconds, std::shared_ptr<WaveSource> sound,
                                               std::chrono::milliseconds frameDelay = 0ms,
                                               std::shared_ptr<std::atomic<int>> drawn = nullptr)
{
    auto movie = std::make_shared<VETimelineExportMovie>();
    movie->setVideoSize(QSizeF(64, 48));
    movie->setDuration(qint64(seconds * tb));
    movie->setFadeOut(std::min<qint64>(3 * tb, movie->duration()));
    movie->setGetImage([frameDelay, drawn](qint64) {
        if (drawn)
            ++*drawn;
        std::this_thread::sleep_for(frameDelay);
        QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::gray);
        return image;
    });
    auto mixer = std::make_shared<VETimelineAudioItemExport>();
    if (sound) {
        auto item = std::make_shared<VETimelineAudioItem>();
        item->setDuration(movie->duration());
        item->setAudioMovie(ZKSegmentMovie::movieWithFFmovie(sound));
        mixer->setAudios({item});
    }
    movie->setAudioExport(mixer);
    return movie;
}

ZKFFMovieFileOutputFormat smallFormat()
{
    ZKFFMovieFileOutputFormat f = zk_get_default_movie_file_ouput_format();
    f.width = 64;
    f.height = 48;
    f.video_bitrate = 200000;
    f.framerate = 10;
    return f;
}

// Waits on this thread, as a caller that holds the main thread would.
bool waitFinished(const VETimelineExportMovieConverter &job, std::chrono::milliseconds limit = 120000ms)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!job.isFinished() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(5ms);
    return job.isFinished();
}

QStringList leftoverSoundFiles()
{
    return QDir(HLFileManager::tempFileDirectory(QStringLiteral("convert-timeline-audio")))
        .entryList({QStringLiteral("*.m4a")}, QDir::Files);
}

TEST(VETimelineExportMovieConverter, TheSoundPassIsLosslessAndLimited)
{
    TestFolder folder;
    // Two clips of a 0.9 sine sum to 1.8: the limiter keeps the integer samples of the file
    // below full scale, with the sine's sign, never wrapped round to the other sign.
    auto movie = movieOf(1.0, std::make_shared<WaveSource>(5, WaveSource::sine(0.9f)));
    auto second = std::make_shared<VETimelineAudioItem>();
    second->setDuration(movie->duration());
    second->setAudioMovie(ZKSegmentMovie::movieWithFFmovie(std::make_shared<WaveSource>(5, WaveSource::sine(0.9f))));
    auto audios = movie->audioExport()->audios();
    audios.push_back(second);
    movie->audioExport()->setAudios(audios);
    movie->setFadeOut(0);

    const QString path = folder.file("sound.m4a");
    const auto converter = VETimelineExportMovieConverter::convert_audio(movie, path);
    converter->startConvert();
    while (!converter->isFinished())
        std::this_thread::sleep_for(5ms);
    ASSERT_EQ(converter->errorString(), QString());
    EXPECT_EQ(converter->usedOutputFormat().audio_codec, AV_CODEC_ID_ALAC);

    const auto file = ZKFFMovie::open(path);
    ASSERT_TRUE(file);
    std::vector<float> buffer(2 * 44100);
    file->setCurrentTime(0);
    ASSERT_TRUE(file->readSample(buffer.data(), 0, 44100));
    int limited = 0;
    for (int n = 0; n < 44100; ++n) {
        float expected = float(1.8 * std::sin(2 * M_PI * 441 * n / 44100.0));
        limited += std::abs(expected) > 1.0f;
        zk_soft_limit(&expected, 1);
        const float got = buffer[2 * n];
        ASSERT_LT(std::abs(got), 1.0f) << n;
        ASSERT_NEAR(got, expected, 1e-4) << n; // lossless
    }
    EXPECT_GT(limited, 10000);
}

TEST(VETimelineExportMovieConverter, ExportsPictureAndSoundWithProgressWeights)
{
    TestFolder folder;
    const QString path = folder.file("out.mp4");
    VETimelineExportMovieConverter job;
    job.setTimeline(movieOf(2.0, std::make_shared<WaveSource>(5, WaveSource::sine(0.5f))));
    job.setMovieOutputFormat(smallFormat());
    job.setPath(path);
    EXPECT_EQ(job.progress(), 0.0);
    job.startConvert();
    double seen = 0;
    while (!job.isFinished()) {
        const double p = job.progress();
        EXPECT_GE(p + 1e-9, seen);
        seen = p;
        std::this_thread::sleep_for(2ms);
    }
    EXPECT_NEAR(job.progress(), 0.99, 1e-9);
    EXPECT_EQ(job.errorString(), QString());
    EXPECT_FALSE(job.isCancelled());
    EXPECT_TRUE(leftoverSoundFiles().isEmpty());

    const auto file = ZKFFMovie::open(path);
    ASSERT_TRUE(file);
    EXPECT_TRUE(file->hasVideo());
    EXPECT_TRUE(file->hasAudio());
    EXPECT_NEAR(zk_ff_time_to_double(file->duration()), 2.0, 0.1);
    // The tone's peak is 0.5 until the final 2-s fade (the whole movie) takes it down: half
    // of it at 1 s.
    const std::vector<float> left = soundOf(path, 2.0);
    EXPECT_NEAR(peakAt(left, 0.5), 0.375, 0.02);
    EXPECT_NEAR(peakAt(left, 1.0), 0.25, 0.02);
    EXPECT_NEAR(peakAt(left, 1.9), 0.025, 0.02);
}

TEST(VETimelineExportMovieConverter, CancelStopsSoonAndLeavesNoFile)
{
    TestFolder folder;
    for (bool duringSound : {false, true}) {
        const QString path = folder.file(duringSound ? "a.mp4" : "b.mp4");
        VETimelineExportMovieConverter job;
        // Slow frames (and a long sound) keep each pass running long enough to be cancelled.
        const auto drawn = std::make_shared<std::atomic<int>>(0);
        job.setTimeline(movieOf(duringSound ? 600 : 30, std::make_shared<WaveSource>(600, WaveSource::sine(0.5f)), 20ms,
                                drawn));
        job.setMovieOutputFormat(smallFormat());
        job.setPath(path);
        job.startConvert();
        const auto deadline = std::chrono::steady_clock::now() + 60s;
        while ((duringSound ? job.progress() <= 0.0 : job.progress() <= 0.1) && !job.isFinished()
               && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(2ms);
        ASSERT_FALSE(job.isFinished());
        const int drawnBefore = *drawn;
        job.cancel();
        ASSERT_TRUE(waitFinished(job));
        // Stopped at once: the sound pass draws nothing, and the movie pass no more than the
        // frames already under way, far from the 300 of the whole movie.
        if (duringSound) {
            EXPECT_EQ(*drawn, 0);
        }
        EXPECT_LE(*drawn - drawnBefore, 40);
        EXPECT_TRUE(job.isCancelled());
        EXPECT_EQ(job.errorString(), QString());
        EXPECT_FALSE(QFile::exists(path));
        EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_TRUE(leftoverSoundFiles().isEmpty());
    }
}

TEST(VETimelineExportMovieConverter, AFailureSaysWhyAndLeavesNoFile)
{
    TestFolder folder;
    struct Case
    {
        QString path;
        ZKFFMovieFileOutputFormat format;
    };
    ZKFFMovieFileOutputFormat noCodec = smallFormat();
    noCodec.video_codec = 0;
    const Case cases[] = {
        {folder.file("movie.xyz"), smallFormat()},
        {folder.file("missing/movie.mp4"), smallFormat()},
        {folder.file("movie.mp4"), noCodec},
    };
    for (const Case &c : cases) {
        VETimelineExportMovieConverter job;
        job.setTimeline(movieOf(1.0, nullptr));
        job.setMovieOutputFormat(c.format);
        job.setPath(c.path);
        job.startConvert();
        ASSERT_TRUE(waitFinished(job));
        EXPECT_FALSE(job.errorString().isEmpty()) << c.path.toStdString();
        EXPECT_FALSE(QFile::exists(c.path));
        EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
        EXPECT_TRUE(leftoverSoundFiles().isEmpty());
    }
}

} // namespace
