#include "export/VEExportHandOff.h"
#include "SourceHL/Model/Package/HLProjectContents.h"
#include "export/VETimelineExportMovie.h"
#include "export/VETimelineExportMovieConverter.h"
#include "ExportProject.h"
#include "ExportTestSources.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "tests/support/MediaFixtures.h"

#include <QFile>

#include <gtest/gtest.h>

#include <complex>
#include <thread>

extern "C" {
#include <libavformat/avformat.h>
}

namespace {

using namespace std::chrono_literals;

constexpr double kMusicHz = 441; // a period of 100 samples
constexpr double kClipHz = 882;  // 50 samples

// The amplitude of the tone of frequency hz in the 0.1 s from seconds.
double toneAt(const std::vector<float> &left, double seconds, double hz)
{
    const size_t first = size_t(seconds * 44100);
    const size_t count = 4400;
    std::complex<double> sum;
    for (size_t i = 0; i < count && first + i < left.size(); ++i)
        sum += double(left[first + i]) * std::polar(1.0, -2 * M_PI * hz * double(i) / 44100.0);
    return 2.0 * std::abs(sum) / double(count);
}

struct StreamInfo
{
    double frameRate = 0;
    double videoEnd = 0;
    double audioEnd = 0;
    bool hasAudio = false;
};

StreamInfo streamsOf(const QString &path)
{
    StreamInfo info;
    AVFormatContext *ctx = nullptr;
    if (avformat_open_input(&ctx, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return info;
    avformat_find_stream_info(ctx, nullptr);
    AVPacket *packet = av_packet_alloc();
    std::vector<int64_t> ends(ctx->nb_streams, 0);
    while (av_read_frame(ctx, packet) >= 0) {
        if (packet->pts != AV_NOPTS_VALUE)
            ends[size_t(packet->stream_index)] = std::max(ends[size_t(packet->stream_index)], packet->pts + packet->duration);
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    for (unsigned i = 0; i < ctx->nb_streams; ++i) {
        const AVStream *s = ctx->streams[i];
        const double end = double(ends[i] - std::max<int64_t>(s->start_time, 0)) * av_q2d(s->time_base);
        if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            info.frameRate = av_q2d(s->avg_frame_rate);
            info.videoEnd = end;
        } else if (s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            info.hasAudio = true;
            info.audioEnd = end;
        }
    }
    avformat_close_input(&ctx);
    return info;
}

QImage frameAt(ZKFFMovie &movie, double seconds)
{
    QImage image;
    movie.decodeImageAtTime(qint64(seconds * zk_default_time_base()),
                            [&](const std::shared_ptr<ZKMovieImage> &frame) { image = frame ? frame->currentImage() : QImage(); },
                            true);
    return image;
}

bool near(const QColor &a, const QColor &b, int tolerance = 30)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
           && std::abs(a.blue() - b.blue()) <= tolerance;
}

class ExportEndToEnd : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ExportProject::setUpTemplates(); }

    void SetUp() override
    {
        ExportProject::setUpPools(folder);
        sizer = HLRenderSizer::renderSizerOf(QSizeF(160, 120), 1200);
        HLRenderContextPool::sharedRenderContextPool().updateLimitContextsBy(sizer->typedRenderSize());
        HLRenderContextPool::sharedRenderContextPool().updateFreeContextSize(QSizeF(120, 90));

        // Red photo, a 3-s clip with its own sound (solo), a blue photo.
        timeline = ExportProject::timeline();
        const auto clip = ExportProject::importClip(folder, 3.0, kClipHz);
        ASSERT_TRUE(clip);
        ASSERT_TRUE(timeline->addOutTo({ExportProject::importPhoto(folder, Qt::red), clip,
                                        ExportProject::importPhoto(folder, Qt::blue)},
                                       QString()));
        timeline->update(0);
        ASSERT_EQ(timeline->aryItems().size(), 3);
        const auto video = timeline->aryItems()[1];
        ASSERT_TRUE(video->renderItems()[0]->oTrim()->bSolo());
        const ResourceRenderRange range = video->resourceRenderRangeAt(0);
        soloStart = timeline->slideshowOffsetOf(video) + range.dStart;
        soloEnd = timeline->slideshowOffsetOf(video) + range.dEnd;

        // A static title over the first slide.
        textline = HLTextlineItem::textline();
        textline->setupTimeMap([](float position) { return position / 10.0f; });
        const auto title = HLTextItem::textItemOf(QStringLiteral("T1"));
        textline->add(title);
        textline->textItemReMin(QStringLiteral("T1"), 5, 15);
        textline->syncPlayTime();

        // 4 s of music, repeated over the whole movie, with short fades of its own.
        audioline = HLAudiolineItem::audioline();
        audioline->add({ExportProject::importTone(folder, 4.0, kMusicHz)});
        ASSERT_EQ(audioline->aryItems().size(), 1u);
        const auto edit = audioline->aryItems()[0]->oEdit();
        edit->setDFadeIn(0.3f);
        edit->setDFadeOut(0.3f);

        timelineRender = HLTimelineRender::timelineRenderOf(timeline, false, sizer, HLQuartzPool::quartzPoolOf(0),
                                                            HLQuartzPool::quartzPoolOf(2));
        textlineRender = HLTextlineRender::textlineRenderOf(textline, false, sizer, HLQuartzPool::quartzPoolOf(3));
        ASSERT_TRUE(timelineRender && textlineRender);
    }

    ZKFFMovieFileOutputFormat format() const
    {
        ZKFFMovieFileOutputFormat f = zk_get_default_movie_file_ouput_format();
        f.width = 160;
        f.height = 120;
        f.framerate = 10;
        f.frameTime = 1;
        f.video_bitrate = 1000000;
        f.audio_bitrate = 192000;
        return f;
    }

    TestFolder folder;
    std::shared_ptr<HLRenderSizer> sizer;
    std::shared_ptr<HLTimelineItem> timeline;
    std::shared_ptr<HLTextlineItem> textline;
    std::shared_ptr<HLAudiolineItem> audioline;
    std::shared_ptr<HLTimelineRender> timelineRender;
    std::shared_ptr<HLTextlineRender> textlineRender;
    float soloStart = 0;
    float soloEnd = 0;
};

TEST_F(ExportEndToEnd, WritesTheProjectAsAMovie)
{
    const double duration = timeline->dDuration();
    ASSERT_GT(duration, 8.0);
    ASSERT_NEAR(soloEnd - soloStart, 3.0, 0.01);

    for (const char *name : {"project.mp4", "project.mov"}) {
        SCOPED_TRACE(name);
        const QString path = folder.file(name);
        VETimelineExportMovieConverter job;
        const auto source = exportMovieOf({sizer, timeline, textline, audioline}, *timelineRender, *textlineRender);
        // The movie renders on the converter's workers over copies of the project; the second
        // file renders one frame at a time on the converter's thread, on the first copy.
        if (QString::fromLatin1(name).endsWith(QLatin1String(".mov")))
            source->setFrameBlocks({});
        job.setTimeline(source);
        job.setMovieOutputFormat(format());
        job.setPath(path);
        job.startConvert();
        const auto deadline = std::chrono::steady_clock::now() + 5min;
        while (!job.isFinished() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(10ms);
        ASSERT_TRUE(job.isFinished());
        ASSERT_EQ(job.errorString(), QString());

        // Length and rate; picture and sound end together.
        const StreamInfo streams = streamsOf(path);
        EXPECT_DOUBLE_EQ(streams.frameRate, 10.0);
        EXPECT_NEAR(streams.videoEnd, duration, 0.11);
        ASSERT_TRUE(streams.hasAudio);
        EXPECT_NEAR(streams.audioEnd, streams.videoEnd, 0.05);

        // Slides at chosen times: red with the title over it, red alone, the clip, blue.
        const auto movie = ZKFFMovie::open(path);
        ASSERT_TRUE(movie);
        const auto last = timeline->aryItems()[2];
        const QImage withTitle = frameAt(*movie, 1.0);
        const QImage plain = frameAt(*movie, 2.0);
        EXPECT_TRUE(near(plain.pixelColor(10, 10), Qt::red));
        EXPECT_TRUE(near(plain.pixelColor(80, 60), Qt::red));
        int titlePixels = 0;
        for (int y = 0; y < plain.height(); ++y)
            for (int x = 0; x < plain.width(); ++x)
                titlePixels += !near(withTitle.pixelColor(x, y), plain.pixelColor(x, y), 60);
        EXPECT_GT(titlePixels, 50);
        EXPECT_TRUE(near(withTitle.pixelColor(2, 2), Qt::red));
        // The clip's picture follows its time: frame i of the 25-fps clip shows grey i × 8
        // (readable up to frame 31).
        const auto video = timeline->aryItems()[1];
        for (double into : {0.3, 0.7, 1.1}) {
            ASSERT_FALSE(video->isInTransitionAt(float(soloStart + into - timeline->slideshowOffsetOf(video))));
            const QImage clip = frameAt(*movie, soloStart + into);
            EXPECT_NEAR(MediaFixtures::frameIndexOf(clip), into * 25, 3) << into;
        }
        const float lastMiddle = timeline->slideshowOffsetOf(last) + 0.5f * last->slideshowDuration();
        EXPECT_TRUE(near(frameAt(*movie, lastMiddle).pixelColor(80, 60), Qt::blue));

        // Sound: the music at full level outside the solo range, gone in its middle, back at
        // its end; the clip's own sound only inside it, starting with its picture; the final
        // fade-out over the last 3 s.
        const std::vector<float> left = soundOf(path, duration);
        EXPECT_NEAR(toneAt(left, 1.5, kMusicHz), 0.5, 0.05);
        EXPECT_NEAR(toneAt(left, 1.5, kClipHz), 0.0, 0.02);
        const double middle = (soloStart + soloEnd) / 2;
        EXPECT_NEAR(toneAt(left, middle - 0.05, kMusicHz), 0.0, 0.03);
        EXPECT_NEAR(toneAt(left, middle - 0.05, kClipHz), 0.5, 0.05);
        EXPECT_NEAR(toneAt(left, soloStart + 0.02, kClipHz), 0.5, 0.06);
        EXPECT_NEAR(toneAt(left, soloStart - 0.12, kClipHz), 0.0, 0.03);
        EXPECT_NEAR(toneAt(left, soloEnd + 0.05, kClipHz), 0.0, 0.03);
        const double fadeHalf = duration - 1.55;
        EXPECT_NEAR(toneAt(left, fadeHalf, kMusicHz) + toneAt(left, fadeHalf, kClipHz), 0.25, 0.05);
        EXPECT_NEAR(toneAt(left, duration - 0.12, kMusicHz), 0.0, 0.03);
    }
}

// The export renders on copies of the project, never on the project the preview and the play
// heads go on using: an edit made after the hand-off does not reach the movie, on one picture
// worker (HL_THREADS=2) as on several.
TEST_F(ExportEndToEnd, AnEditAfterTheHandOffDoesNotReachTheMovie)
{
    const auto source = exportMovieOf({sizer, timeline, textline, audioline}, *timelineRender, *textlineRender);
    // Only the blue photo stays in the project.
    timeline->remove({timeline->aryItems()[0]->strSSID(), timeline->aryItems()[1]->strSSID()});
    timeline->update(0);
    ASSERT_EQ(timeline->aryItems().size(), 1);
    const qint64 time = zk_ff_time_from_double(2.0);
    EXPECT_TRUE(near(timelineRender->renderExport(2.0f).pixelColor(80, 60), Qt::blue));

    // Without frame blocks, on the converter's thread; with them, where a worker asks.
    EXPECT_TRUE(near(source->getImage()(time).pixelColor(80, 60), Qt::red));
    QImage asked;
    source->decodeImageAtTime(time, [&](const std::shared_ptr<ZKMovieImage> &frame) { asked = frame->currentImage(); },
                              true);
    ASSERT_FALSE(asked.isNull());
    EXPECT_TRUE(near(asked.pixelColor(80, 60), Qt::red));
}

TEST_F(ExportEndToEnd, CancelAndFailureLeaveNoFile)
{
    const QString path = folder.file("cancelled.mp4");
    {
        VETimelineExportMovieConverter job;
        job.setTimeline(exportMovieOf({sizer, timeline, textline, audioline}, *timelineRender, *textlineRender));
        job.setMovieOutputFormat(format());
        job.setPath(path);
        job.startConvert();
        while (job.progress() <= 0.12 && !job.isFinished())
            std::this_thread::sleep_for(1ms);
        ASSERT_FALSE(job.isFinished());
        job.cancel();
        const auto deadline = std::chrono::steady_clock::now() + 5min; // only stops a hung job
        while (!job.isFinished() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(1ms);
        ASSERT_TRUE(job.isFinished());
        // The cancel ends the job where it stands, not after the rest of the movie.
        EXPECT_TRUE(job.isCancelled());
        EXPECT_LT(job.progress(), 0.5);
        EXPECT_FALSE(QFile::exists(path));
    }
    {
        ZKFFMovieFileOutputFormat bad = format();
        bad.audio_codec = 0;
        VETimelineExportMovieConverter job;
        job.setTimeline(exportMovieOf({sizer, timeline, textline, audioline}, *timelineRender, *textlineRender));
        job.setMovieOutputFormat(bad);
        job.setPath(path);
        job.startConvert();
        while (!job.isFinished())
            std::this_thread::sleep_for(5ms);
        EXPECT_TRUE(job.errorString().contains(QStringLiteral("audio codec"))) << job.errorString().toStdString();
        EXPECT_FALSE(QFile::exists(path));
    }
}

} // namespace
