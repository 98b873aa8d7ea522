#include "Frameworks/Korvane/MovieSource.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"
#include "Frameworks/Korvane/ZKFramePipeline.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Korvane/ZKVideoConverter.h"
#include "Frameworks/Korvane/ZKVideoConverterDelegate.h"
#include "tests/Frameworks/Korvane/MovieFrames.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/frame.h>
#include <libavutil/pixdesc.h>
}

namespace {

const qint64 tb = zk_default_time_base();

// A source that paints every frame in one colour and plays a sine tone (or a constant level).
class ToneSource : public MovieSource
{
public:
    ToneSource(qint64 duration, QColor colour, bool video = true, bool audio = true)
        : m_duration(duration), m_colour(colour), m_video(video), m_audio(audio)
    {
    }

    bool hasVideo() const override { return m_video; }
    bool hasAudio() const override { return m_audio; }
    qint64 duration() const override { return m_duration; }
    void setCurrentTime(qint64 time) override
    {
        std::lock_guard lock(m_mutex);
        m_position = time * 44100 / tb;
    }
    void decodeImageAtTime(qint64 time, const FrameAction &action, bool) override
    {
        if (m_delay.count())
            std::this_thread::sleep_for(m_delay);
        {
            std::lock_guard lock(m_mutex);
            m_requested.push_back(time);
        }
        QImage image(m_size, QImage::Format_ARGB32_Premultiplied);
        image.fill(m_colour);
        action(std::make_shared<ZKMovieImage>(image, time));
    }
    bool readSample(float *buffer, int, int frames) override
    {
        std::lock_guard lock(m_mutex);
        for (int i = 0; i < frames; ++i, ++m_position) {
            const float v = m_level != 0 ? m_level : float(0.5 * std::sin(2 * M_PI * 440 * m_position / 44100.0));
            buffer[2 * i] = buffer[2 * i + 1] = v;
        }
        return true;
    }

    std::vector<qint64> requested() const
    {
        std::lock_guard lock(m_mutex);
        return m_requested;
    }

    QSize m_size{64, 48};
    float m_level = 0;               // a constant sample value instead of the tone
    std::chrono::milliseconds m_delay{0};

private:
    qint64 m_duration;
    QColor m_colour;
    bool m_video;
    bool m_audio;
    mutable std::mutex m_mutex;
    qint64 m_position = 0;
    std::vector<qint64> m_requested;
};

std::shared_ptr<ZKSegmentMovie> segmentOf(std::shared_ptr<MovieSource> source)
{
    return ZKSegmentMovie::movieWithFFmovie(std::move(source));
}

// Runs a converter to its end.
void runToEnd(ZKVideoConverter &converter)
{
    converter.updateConverterContent();
    converter.startConvert();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (!converter.isFinished() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_TRUE(converter.isFinished());
}

ZKFFMovieFileOutputFormat formatOf(const char *video, const char *audio, int width = 97, int height = 73)
{
    ZKFFMovieFileOutputFormat f = zk_get_default_movie_file_ouput_format();
    f.video_codec = zk_get_codec_id_by_name(video);
    f.audio_codec = zk_get_codec_id_by_name(audio);
    f.width = width;
    f.height = height;
    f.framerate = 25;
    f.frameTime = 1;
    f.video_bitrate = 400000;
    return f;
}

// What libavformat finds in a written file.
struct Probe
{
    QString container;
    int streams = 0;
    AVCodecID video = AV_CODEC_ID_NONE;
    AVCodecID audio = AV_CODEC_ID_NONE;
    int width = 0;
    int height = 0;
    double frameRate = 0;
    AVRational displayAspect{0, 1};
    int sampleRate = 0;
    int channels = 0;
    double duration = 0;
    qint64 videoPackets = 0;
    double videoEnd = 0; // seconds after the first picture
    double audioEnd = 0; // seconds after the first sample
};

Probe probe(const QString &path)
{
    Probe p;
    AVFormatContext *ctx = nullptr;
    if (avformat_open_input(&ctx, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return p;
    avformat_find_stream_info(ctx, nullptr);
    p.container = QString::fromUtf8(ctx->iformat->name);
    p.streams = int(ctx->nb_streams);
    p.duration = ctx->duration > 0 ? double(ctx->duration) / AV_TIME_BASE : 0;
    int videoIndex = -1;
    int audioIndex = -1;
    for (unsigned i = 0; i < ctx->nb_streams; ++i) {
        const AVStream *s = ctx->streams[i];
        if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            videoIndex = int(i);
            p.video = s->codecpar->codec_id;
            p.width = s->codecpar->width;
            p.height = s->codecpar->height;
            p.frameRate = av_q2d(s->avg_frame_rate.num ? s->avg_frame_rate : s->r_frame_rate);
            AVRational sar = av_guess_sample_aspect_ratio(ctx, ctx->streams[i], nullptr);
            if (!sar.num)
                sar = {1, 1};
            av_reduce(&p.displayAspect.num, &p.displayAspect.den, qint64(p.width) * sar.num,
                      qint64(p.height) * sar.den, 1000);
        } else if (s->codecpar->codec_type == AVMEDIA_TYPE_AUDIO) {
            audioIndex = int(i);
            p.audio = s->codecpar->codec_id;
            p.sampleRate = s->codecpar->sample_rate;
            p.channels = s->codecpar->ch_layout.nb_channels;
        }
    }
    AVPacket *packet = av_packet_alloc();
    int64_t videoFirst = AV_NOPTS_VALUE, videoLast = AV_NOPTS_VALUE;
    int64_t audioFirst = AV_NOPTS_VALUE, audioLast = AV_NOPTS_VALUE;
    while (av_read_frame(ctx, packet) >= 0) {
        if (packet->pts != AV_NOPTS_VALUE) {
            const int64_t end = packet->pts + packet->duration;
            if (packet->stream_index == videoIndex) {
                ++p.videoPackets;
                videoFirst = videoFirst == AV_NOPTS_VALUE ? packet->pts : std::min(videoFirst, packet->pts);
                videoLast = std::max(videoLast, end);
            } else if (packet->stream_index == audioIndex) {
                audioFirst = audioFirst == AV_NOPTS_VALUE ? packet->pts : std::min(audioFirst, packet->pts);
                audioLast = std::max(audioLast, end);
            }
        } else if (packet->stream_index == videoIndex) {
            ++p.videoPackets;
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    if (videoIndex >= 0 && videoFirst != AV_NOPTS_VALUE)
        p.videoEnd = (videoLast - videoFirst) * av_q2d(ctx->streams[videoIndex]->time_base);
    if (audioIndex >= 0 && audioFirst != AV_NOPTS_VALUE)
        p.audioEnd = (audioLast - audioFirst) * av_q2d(ctx->streams[audioIndex]->time_base);
    avformat_close_input(&ctx);
    return p;
}

// Decodes the first picture of a file as RGB.
QImage firstPicture(const QString &path)
{
    AVFormatContext *ctx = nullptr;
    if (avformat_open_input(&ctx, path.toUtf8().constData(), nullptr, nullptr) < 0)
        return {};
    avformat_find_stream_info(ctx, nullptr);
    const int index = av_find_best_stream(ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    QImage result;
    if (index >= 0) {
        const AVCodec *codec = avcodec_find_decoder(ctx->streams[index]->codecpar->codec_id);
        AVCodecContext *dec = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(dec, ctx->streams[index]->codecpar);
        avcodec_open2(dec, codec, nullptr);
        AVPacket *packet = av_packet_alloc();
        AVFrame *frame = av_frame_alloc();
        bool got = false;
        while (!got && av_read_frame(ctx, packet) >= 0) {
            if (packet->stream_index == index && avcodec_send_packet(dec, packet) >= 0)
                got = avcodec_receive_frame(dec, frame) >= 0;
            av_packet_unref(packet);
        }
        if (!got) {
            avcodec_send_packet(dec, nullptr);
            got = avcodec_receive_frame(dec, frame) >= 0;
        }
        if (got) {
            // Luma and chroma of the picture's pixels, turned into RGB with BT.601.
            result = QImage(frame->width, frame->height, QImage::Format_RGB32);
            const AVPixFmtDescriptor *d = av_pix_fmt_desc_get(AVPixelFormat(frame->format));
            for (int y = 0; y < frame->height; ++y) {
                for (int x = 0; x < frame->width; ++x) {
                    const double Y = frame->data[0][y * frame->linesize[0] + x] - 16;
                    const int cx = x >> d->log2_chroma_w, cy = y >> d->log2_chroma_h;
                    const double U = frame->data[1][cy * frame->linesize[1] + cx] - 128;
                    const double V = frame->data[2][cy * frame->linesize[2] + cx] - 128;
                    auto clip = [](double v) { return std::clamp(int(std::lround(v)), 0, 255); };
                    result.setPixel(x, y, qRgb(clip(1.164 * Y + 1.596 * V), clip(1.164 * Y - 0.392 * U - 0.813 * V),
                                               clip(1.164 * Y + 2.017 * U)));
                }
            }
        }
        av_frame_free(&frame);
        av_packet_free(&packet);
        avcodec_free_context(&dec);
    }
    avformat_close_input(&ctx);
    return result;
}

bool near(QRgb a, QColor b, int tolerance = 24)
{
    return std::abs(qRed(a) - b.red()) <= tolerance && std::abs(qGreen(a) - b.green()) <= tolerance
           && std::abs(qBlue(a) - b.blue()) <= tolerance;
}

} // namespace

TEST(ZKVideoConverterTest, CodecNamesOfTheExportChoices)
{
    const std::pair<const char *, AVCodecID> names[] = {
        {"h264", AV_CODEC_ID_H264},       {"mpeg4", AV_CODEC_ID_MPEG4},     {"mp4", AV_CODEC_ID_MPEG4},
        {"mpeg2", AV_CODEC_ID_MPEG2VIDEO}, {"mpeg1", AV_CODEC_ID_MPEG1VIDEO}, {"mpeg audio", AV_CODEC_ID_MP2},
        {"mpegaudio", AV_CODEC_ID_MP2},   {"aac", AV_CODEC_ID_AAC},         {"ac3", AV_CODEC_ID_AC3},
        {"mp3", AV_CODEC_ID_MP3},         {"wmv2", AV_CODEC_ID_WMV2},       {"wma1", AV_CODEC_ID_WMAV1},
        {"wma2", AV_CODEC_ID_WMAV2},      {"msmpegv3", AV_CODEC_ID_MSMPEG4V3}, {"flv", AV_CODEC_ID_FLV1},
        {"dv", AV_CODEC_ID_DVVIDEO},      {"pcm audio", AV_CODEC_ID_PCM_S16LE},
    };
    for (const auto &[name, id] : names)
        EXPECT_EQ(zk_get_codec_id_by_name(name), id) << name;
    EXPECT_EQ(zk_get_codec_id_by_name("theora"), AV_CODEC_ID_NONE);
    EXPECT_EQ(zk_get_codec_id_by_name(""), AV_CODEC_ID_NONE);

    EXPECT_EQ(zk_get_default_channel_layout(1), qint64(AV_CH_LAYOUT_MONO));
    EXPECT_EQ(zk_get_default_channel_layout(2), qint64(AV_CH_LAYOUT_STEREO));
    EXPECT_EQ(__builtin_popcountll(zk_get_default_channel_layout(6)), 6);
    EXPECT_EQ(zk_get_default_channel_layout(0), 0);
}

// Settings an encoder or container refuses are snapped, and the caller reads back what is used.
TEST(ZKVideoConverterTest, SnapsRefusedSettings)
{
    struct Case
    {
        const char *file;
        const char *video;
        const char *audio;
        int width, height, framerate, frameTime, sampleRate, audioBitrate, channels;
        // expected
        int usedWidth, usedHeight, usedRate, usedTime, usedSampleRate, usedAudioBitrate, usedChannels;
    };
    const Case cases[] = {
        {"a.mp4", "h264", "aac", 97, 73, 2997, 100, 44100, 128000, 2, 96, 72, 30000, 1001, 44100, 128000, 2},
        {"a.mov", "h264", "aac", 640, 480, 23976, 1000, 44100, 128000, 2, 640, 480, 24000, 1001, 44100, 128000, 2},
        {"a.mkv", "mp4", "aac", 640, 480, 5994, 100, 44100, 128000, 2, 640, 480, 60000, 1001, 44100, 128000, 2},
        {"a.mpg", "mpeg1", "mpeg audio", 320, 240, 15, 1, 22050, 256000, 2, 320, 240, 24000, 1001, 22050, 160000, 2},
        {"a.ts", "mpeg2", "mpegaudio", 320, 240, 30, 1, 48000, 100000, 2, 320, 240, 30, 1, 48000, 96000, 2},
        {"a.mkv", "h264", "ac3", 320, 240, 30, 1, 22050, 250000, 6, 320, 240, 30, 1, 32000, 256000, 6},
        {"a.flv", "flv", "mp3", 320, 240, 30, 1, 48000, 128000, 2, 320, 240, 30, 1, 44100, 128000, 2},
        {"a.wmv", "wmv2", "wma1", 320, 240, 30, 1, 44100, 8000, 2, 320, 240, 30, 1, 44100, 24000, 2},
        {"a.dv", "dv", "pcm audio", 320, 240, 30, 1, 44100, 128000, 1, 720, 480, 30000, 1001, 48000, 1536000, 2},
        {"a.dv", "dv", "pcm audio", 320, 240, 25, 1, 44100, 128000, 2, 720, 576, 25, 1, 48000, 1536000, 2},
        {"a.dvd", "mpeg2", "ac3", 1280, 960, 30000, 1001, 44100, 128000, 2, 720, 480, 30000, 1001, 48000, 448000, 2},
        {"a.dvd", "mpeg2", "ac3", 1280, 960, 25, 1, 44100, 128000, 2, 720, 576, 25, 1, 48000, 448000, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.video + " " + c.audio);
        ZKFFMovieFileOutputFormat f = formatOf(c.video, c.audio, c.width, c.height);
        f.framerate = c.framerate;
        f.frameTime = c.frameTime;
        f.sample_rate = c.sampleRate;
        f.audio_bitrate = c.audioBitrate;
        f.channel_layout = zk_get_default_channel_layout(c.channels);
        ZKVideoConverter converter;
        converter.setPath(QStringLiteral("/tmp/") + c.file);
        converter.setMovieOutputFormat(f);
        converter.updateConverterContent();
        const ZKFFMovieFileOutputFormat used = converter.usedOutputFormat();
        EXPECT_EQ(used.width, c.usedWidth);
        EXPECT_EQ(used.height, c.usedHeight);
        EXPECT_EQ(used.framerate, c.usedRate);
        EXPECT_EQ(used.frameTime, c.usedTime);
        EXPECT_EQ(used.sample_rate, c.usedSampleRate);
        EXPECT_EQ(used.audio_bitrate, c.usedAudioBitrate);
        EXPECT_EQ(used.channel_layout, zk_get_default_channel_layout(c.usedChannels));
        EXPECT_EQ(converter.movieOutputFormat(), f); // what the caller set stays as it was
    }
}

// One short movie for every container and codec choice of the export window.
TEST(ZKVideoConverterTest, WritesEveryOfferedContainerAndCodec)
{
    struct Case
    {
        const char *container;
        const char *video;
        const char *audio;
        const char *demuxer;
    };
    const Case cases[] = {
        {"mp4", "h264", "aac", "mov,mp4,m4a,3gp,3g2,mj2"},  {"mp4", "mpeg4", "aac", "mov,mp4,m4a,3gp,3g2,mj2"},
        {"mov", "h264", "aac", "mov,mp4,m4a,3gp,3g2,mj2"},  {"mov", "mpeg4", "aac", "mov,mp4,m4a,3gp,3g2,mj2"},
        {"m4v", "h264", "aac", "mov,mp4,m4a,3gp,3g2,mj2"},  {"m4v", "mpeg4", "aac", "mov,mp4,m4a,3gp,3g2,mj2"},
        {"mpg", "mpeg2", "mpeg audio", "mpeg"},              {"mpg", "mpeg1", "mpeg audio", "mpeg"},
        {"ts", "mpeg2", "mpegaudio", "mpegts"},              {"wmv", "wmv2", "wma2", "asf"},
        {"wmv", "wmv2", "wma1", "asf"},                      {"mkv", "h264", "mp3", "matroska,webm"},
        {"mkv", "h264", "ac3", "matroska,webm"},             {"mkv", "h264", "aac", "matroska,webm"},
        {"mkv", "mp4", "mp3", "matroska,webm"},              {"mkv", "mp4", "ac3", "matroska,webm"},
        {"mkv", "mp4", "aac", "matroska,webm"},              {"flv", "flv", "mp3", "flv"},
        {"flv", "h264", "mp3", "flv"},                       {"asf", "msmpegv3", "wma2", "asf"},
        {"asf", "msmpegv3", "wma1", "asf"},                  {"dv", "dv", "pcm audio", "dv"},
    };
    TestFolder folder;
    const qint64 duration = tb / 2;
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.container) + " " + c.video + " " + c.audio);
        const QString path = folder.file(QStringLiteral("movie-%1-%2-%3.%4")
                                             .arg(c.video, c.audio, QString(c.audio).remove(' '), c.container)
                                             .remove(' '));
        ZKVideoConverter converter;
        converter.setMovies({segmentOf(std::make_shared<ToneSource>(duration, Qt::red))});
        converter.setMovieOutputFormat(formatOf(c.video, c.audio));
        converter.setPath(path);
        runToEnd(converter);
        ASSERT_EQ(converter.errorString(), QString());
        const ZKFFMovieFileOutputFormat used = converter.usedOutputFormat();
        const Probe p = probe(path);
        EXPECT_EQ(p.container, QString::fromLatin1(c.demuxer));
        EXPECT_EQ(p.streams, 2);
        EXPECT_EQ(p.video, zk_get_codec_id_by_name(c.video));
        EXPECT_EQ(p.audio, zk_get_codec_id_by_name(c.audio));
        EXPECT_EQ(p.width, used.width);
        EXPECT_EQ(p.height, used.height);
        EXPECT_NEAR(p.frameRate, double(used.framerate) / used.frameTime, 0.01);
        EXPECT_EQ(p.sampleRate, used.sample_rate);
        // 12.5 frames: the frame that starts before the end is shown whole.
        const double frame = double(used.frameTime) / used.framerate;
        EXPECT_EQ(p.videoPackets, 13);
        EXPECT_NEAR(p.videoEnd, 0.5, frame);
        // The sound ends with the pictures, give or take the encoder's own padding.
        EXPECT_NEAR(p.audioEnd, 0.52, 2048.0 / used.sample_rate);
        EXPECT_FALSE(firstPicture(path).isNull());
    }
    // Nothing but the movies is left in the folder.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), qsizetype(std::size(cases)));
}

TEST(ZKVideoConverterTest, WritesSoundOnlyFiles)
{
    // Told on the converter's thread, which may still be on its way there when isFinished turns.
    struct Delegate : ZKVideoConverterDelegate
    {
        void videoConverterDidFinish(ZKVideoConverter *converter) override
        {
            finishedWhenTold = converter->isFinished();
            if (++calls == 1)
                told.set_value();
        }
        std::atomic<int> calls = 0;
        std::atomic<bool> finishedWhenTold = false;
        std::promise<void> told;
    };
    auto delegate = std::make_shared<Delegate>();
    TestFolder folder;
    const QString path = folder.file("sound.m4a");
    ZKVideoConverter converter;
    converter.setDelegate(delegate);
    converter.setMovies({segmentOf(std::make_shared<ToneSource>(tb * 3 / 4, Qt::red, false, true))});
    ZKFFMovieFileOutputFormat f = zk_get_default_movie_file_ouput_format();
    f.audio_bitrate = 256000;
    converter.setMovieOutputFormat(f);
    converter.setPath(path);
    runToEnd(converter);
    ASSERT_EQ(delegate->told.get_future().wait_for(std::chrono::minutes(2)), std::future_status::ready);
    ASSERT_EQ(converter.errorString(), QString());
    const Probe p = probe(path);
    EXPECT_EQ(p.streams, 1);
    EXPECT_EQ(p.audio, AV_CODEC_ID_AAC);
    EXPECT_EQ(p.sampleRate, 44100);
    EXPECT_EQ(p.channels, 2);
    EXPECT_NEAR(p.duration, 0.75, 1024.0 / 44100);
    EXPECT_EQ(delegate->calls, 1);
    EXPECT_TRUE(delegate->finishedWhenTold);

    // A movie for the user, not a private scratch file: the usual permissions apply.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat written {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &written), 0);
    EXPECT_EQ(written.st_mode & 0777, 0666 & ~mask);
}

// The segments follow each other; each is asked for its frames at its own times, and each
// frame shows its segment.
TEST(ZKVideoConverterTest, ConcatenatesSegmentsWithoutDrift)
{
    TestFolder folder;
    const QString path = folder.file("long.mp4");
    // Three 20 s pieces at 29.97 fps: whole ticks per frame, no summed float seconds.
    std::vector<std::shared_ptr<ToneSource>> sources;
    std::vector<std::shared_ptr<ZKSegmentMovie>> segments;
    for (QColor colour : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)}) {
        auto source = std::make_shared<ToneSource>(40 * tb, colour);
        source->m_size = QSize(16, 16);
        auto segment = segmentOf(source);
        segment->setStart(5 * tb);
        segment->setStop(25 * tb);
        sources.push_back(source);
        segments.push_back(segment);
    }
    ZKFFMovieFileOutputFormat f = formatOf("h264", "aac", 32, 24);
    f.framerate = 30000;
    f.frameTime = 1001;
    ZKVideoConverter converter;
    converter.setMovies(segments);
    converter.setMovieOutputFormat(f);
    converter.setPath(path);
    runToEnd(converter);
    ASSERT_EQ(converter.errorString(), QString());
    EXPECT_EQ(converter.progress(), 1.0);

    // 60 s at 30000/1001: frames 0 … 1798 start before the end.
    const qint64 frames = 1799;
    const Probe p = probe(path);
    EXPECT_EQ(p.videoPackets, frames);
    const double videoLength = frames * 1001.0 / 30000.0;
    EXPECT_NEAR(p.videoEnd, videoLength, 1e-3);
    EXPECT_NEAR(p.audioEnd, videoLength, 1024.0 / 44100);

    qint64 asked = 0;
    for (int s = 0; s < 3; ++s) {
        const std::vector<qint64> times = sources[s]->requested();
        for (qint64 time : times) {
            const qint64 k = asked++;
            const qint64 outputTime = k * 1001 * tb / 30000;
            ASSERT_EQ(time, 5 * tb + outputTime - s * 20 * tb) << "frame " << k;
        }
    }
    EXPECT_EQ(asked, frames);
}

TEST(ZKVideoConverterTest, SaturatesLoudSoundAndAppliesTheSegmentVolume)
{
    TestFolder folder;
    const QString path = folder.file("loud.dv");
    auto loud = std::make_shared<ToneSource>(tb / 5, Qt::white);
    loud->m_level = 1.5f;
    auto quiet = std::make_shared<ToneSource>(tb / 5, Qt::white);
    quiet->m_level = -1.0f;
    auto quietSegment = segmentOf(quiet);
    quietSegment->setFadeIn(tb / 5); // half volume in its middle
    ZKVideoConverter converter;
    converter.setMovies({segmentOf(loud), quietSegment});
    converter.setMovieOutputFormat(formatOf("dv", "pcm audio"));
    converter.setPath(path);
    runToEnd(converter);
    ASSERT_EQ(converter.errorString(), QString());

    AVFormatContext *ctx = nullptr;
    ASSERT_GE(avformat_open_input(&ctx, path.toUtf8().constData(), nullptr, nullptr), 0);
    avformat_find_stream_info(ctx, nullptr);
    const int index = av_find_best_stream(ctx, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    ASSERT_GE(index, 0);
    std::vector<qint16> samples;
    AVPacket *packet = av_packet_alloc();
    while (av_read_frame(ctx, packet) >= 0) {
        if (packet->stream_index == index) {
            const auto *data = reinterpret_cast<const qint16 *>(packet->data);
            samples.insert(samples.end(), data, data + packet->size / 2);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    avformat_close_input(&ctx);
    // 0.2 s of each at 48 kHz, stereo.
    ASSERT_GE(samples.size(), size_t(2 * 48000 * 4 / 10 - 2 * 1602));
    EXPECT_EQ(samples[2 * 4800], 32767); // 1.5 saturates instead of wrapping
    EXPECT_EQ(samples[2 * 4800 + 1], 32767);
    EXPECT_NEAR(samples[2 * 14400], -16384, 400);
}

TEST(ZKVideoConverterTest, DVDFileIsAcceptedByDvdauthor)
{
    const QString dvdauthor = QStandardPaths::findExecutable("dvdauthor");
    if (dvdauthor.isEmpty())
        GTEST_SKIP() << "dvdauthor is not installed";
    TestFolder folder;
    const QString path = folder.file("title0.dvd");
    auto source = std::make_shared<ToneSource>(tb, Qt::red);
    source->m_size = QSize(400, 300); // 4:3 on a 16:9 disc: black bars left and right
    ZKFFMovieFileOutputFormat f = formatOf("mpeg2", "ac3", 720, 480);
    f.framerate = 30000;
    f.frameTime = 1001;
    f.aspect = 16.0f / 9.0f;
    f.video_bitrate = 6000000;
    ZKVideoConverter converter;
    converter.setMovies({segmentOf(source)});
    converter.setMovieOutputFormat(f);
    converter.setPath(path);
    runToEnd(converter);
    ASSERT_EQ(converter.errorString(), QString());

    const Probe p = probe(path);
    EXPECT_EQ(p.container, QStringLiteral("mpeg"));
    EXPECT_EQ(p.video, AV_CODEC_ID_MPEG2VIDEO);
    EXPECT_EQ(p.audio, AV_CODEC_ID_AC3);
    EXPECT_EQ(p.width, 720);
    EXPECT_EQ(p.height, 480);
    EXPECT_EQ(p.sampleRate, 48000);
    EXPECT_EQ(p.displayAspect.num * 9, p.displayAspect.den * 16);
    EXPECT_EQ(QFileInfo(path).size() % 2048, 0);
    const QImage picture = firstPicture(path);
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(near(picture.pixel(360, 240), Qt::red));
    EXPECT_TRUE(near(picture.pixel(20, 240), Qt::black));
    EXPECT_TRUE(near(picture.pixel(700, 240), Qt::black));

    const QString disc = folder.file("disc");
    const QStringList ntsc{"VIDEO_FORMAT=NTSC"};
    const ChildProcess title = ChildProcess::run(dvdauthor, {"-o", disc, "-t", path}, true, ntsc);
    EXPECT_EQ(title.exitCode, 0) << title.output.constData();
    EXPECT_FALSE(title.output.contains("ERR:")) << title.output.constData();
    const ChildProcess table = ChildProcess::run(dvdauthor, {"-o", disc, "-T"}, true, ntsc);
    EXPECT_EQ(table.exitCode, 0) << table.output.constData();
    EXPECT_TRUE(QFile::exists(disc + "/VIDEO_TS/VIDEO_TS.IFO"));
    EXPECT_TRUE(QFile::exists(disc + "/VIDEO_TS/VTS_01_1.VOB"));
}

TEST(ZKVideoConverterTest, CancelStopsQuicklyAndLeavesNothing)
{
    TestFolder folder;
    const QString path = folder.file("cancelled.mp4");
    QFile keep(path);
    ASSERT_TRUE(keep.open(QIODevice::WriteOnly));
    keep.write("earlier file");
    keep.close();
    auto slow = std::make_shared<ToneSource>(20 * tb, Qt::red);
    slow->m_delay = std::chrono::milliseconds(20);
    ZKVideoConverter converter;
    converter.setMovies({segmentOf(slow)});
    converter.setMovieOutputFormat(formatOf("h264", "aac"));
    converter.setPath(path);
    converter.startConvert();
    while (converter.progress() < 0.02 && !converter.isFinished())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ASSERT_FALSE(converter.isFinished()) << converter.errorString().toStdString();
    const size_t askedBefore = slow->requested().size();
    converter.cancel();
    ASSERT_TRUE(converter.jobState()->waitFinished(std::chrono::minutes(1)));
    // Stopped at once: no more pictures asked for than the frames already under way.
    EXPECT_LE(slow->requested().size(), askedBefore + 16);
    EXPECT_LT(slow->requested().size(), size_t(20 * 25 / 2));
    EXPECT_TRUE(converter.isCancelled());
    EXPECT_FALSE(converter.errorString().isEmpty());
    EXPECT_LT(converter.progress(), 1.0);
    // The earlier file is untouched and no partial file is left beside it.
    ASSERT_TRUE(keep.open(QIODevice::ReadOnly));
    EXPECT_EQ(keep.readAll(), QByteArray("earlier file"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"cancelled.mp4"});
}

TEST(ZKVideoConverterTest, FailuresAreReportedAndNeverLeaveAFile)
{
    TestFolder folder;
    struct Case
    {
        QString path;
        ZKFFMovieFileOutputFormat format;
    };
    ZKFFMovieFileOutputFormat unknownCodec = formatOf("h264", "aac");
    unknownCodec.video_codec = zk_get_codec_id_by_name("no such codec");
    const Case cases[] = {
        {folder.file("missing-folder/out.mp4"), formatOf("h264", "aac")},
        {folder.file("out.xyz"), formatOf("h264", "aac")},
        {folder.file("out.mp4"), unknownCodec},
        {folder.file("out.mp4"), formatOf("wmv2", "aac")}, // no WMV in MP4
        {folder.path(), formatOf("h264", "aac")},          // a folder
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        ZKVideoConverter converter;
        converter.setMovies({segmentOf(std::make_shared<ToneSource>(tb / 4, Qt::red))});
        converter.setMovieOutputFormat(c.format);
        converter.setPath(c.path);
        runToEnd(converter);
        EXPECT_FALSE(converter.errorString().isEmpty());
        EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
    }
}

// Pictures are fetched ahead of a slow encoder, in order, but never more than the queue's depth.
TEST(ZKVideoConverterTest, FramesAreFetchedAheadInOrderWithinABoundedQueue)
{
    constexpr int count = 60;
    constexpr int depth = 6;
    std::atomic<int> taken{0};
    std::atomic<int> furthestAhead{0};
    std::vector<int> fetchedOrder;
    auto fetch = [&](qint64 index) {
        fetchedOrder.push_back(int(index));
        const int ahead = int(index) - taken;
        furthestAhead = std::max(furthestAhead.load(), ahead);
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(QColor(int(index) * 4, int(index) * 4, int(index) * 4));
        return std::make_shared<ZKMovieImage>(image);
    };
    ZKFramePipeline::Output output;
    output.size = QSize(16, 16);
    ZKFramePipeline pipeline(count, fetch, output, 3, depth);
    pipeline.start();
    const std::atomic<bool> abort{false};
    int lastLuma = -1;
    for (int k = 0; k < count; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2)); // the slow encoder
        AVFrame *frame = pipeline.take(k, abort);
        ASSERT_NE(frame, nullptr) << "frame " << k;
        const int luma = frame->data[0][8 * frame->linesize[0] + 8];
        EXPECT_GT(luma, lastLuma) << "frame " << k; // each frame is its own picture, in order
        lastLuma = luma;
        av_frame_free(&frame);
        ++taken;
    }
    pipeline.stop();
    EXPECT_EQ(pipeline.error(), QString());
    ASSERT_EQ(fetchedOrder.size(), size_t(count));
    for (int k = 0; k < count; ++k)
        EXPECT_EQ(fetchedOrder[size_t(k)], k);
    EXPECT_GE(furthestAhead, 2); // it does work ahead
    EXPECT_LE(furthestAhead, depth);
}

// Clip widths 8 more than a multiple of 16, as phones and cameras make them: swscale writes
// past rows of exactly that length. Each clip is opened as an import opens it, thumbnailed,
// previewed at its own size and a fitted one, and exported at its own size and letterboxed
// onto a DVD frame; every picture shows the frame it should.
class AwkwardSizeTest : public ::testing::TestWithParam<QSize>
{
};

TEST_P(AwkwardSizeTest, ClipIsThumbnailedPreviewedAndExported)
{
    const QSize size = GetParam();
    constexpr int fps = 10;
    constexpr int frames = 4;
    TestFolder folder;
    const QString clip = folder.file("clip.mp4");
    MediaFixtures::ClipRecipe recipe;
    recipe.size = size;
    recipe.fps = fps;
    recipe.seconds = double(frames) / fps;
    ASSERT_TRUE(MediaFixtures::makeNumberedClip(clip, recipe));

    const auto segment = ZKSegmentMovie::movieWithPath(clip);
    ASSERT_TRUE(segment);
    const auto movie = std::dynamic_pointer_cast<ZKFFMovie>(segment->ffmovie());
    ASSERT_TRUE(movie);
    ASSERT_EQ(movie->videoSize(), size);
    const auto middleOf = [](int frame) { return (frame + 0.5) / fps; };

    movie->setFrameSize(size.scaled(100, 100, Qt::KeepAspectRatioByExpanding));
    EXPECT_EQ(MediaFixtures::frameNumberOf(frameAt(*movie, 0)), 0);
    for (const QSize shown : {size, size.scaled(640, 360, Qt::KeepAspectRatio)}) {
        movie->setFrameSize(shown);
        for (int frame = 0; frame < frames; ++frame) {
            const QImage image = frameAt(*movie, middleOf(frame));
            ASSERT_EQ(image.size(), shown);
            EXPECT_EQ(MediaFixtures::frameNumberOf(image), frame) << "shown at " << shown.width();
        }
    }
    movie->setFrameSize(QSize());

    ZKFFMovieFileOutputFormat own = formatOf("h264", "aac", size.width(), size.height());
    own.framerate = fps;
    ZKFFMovieFileOutputFormat dvd = formatOf("mpeg2", "ac3", 720, 480);
    dvd.framerate = 30000;
    dvd.frameTime = 1001;
    dvd.aspect = 16.0f / 9.0f;
    dvd.video_bitrate = 6000000;
    for (const auto &[name, format] : {std::pair{"own.mp4", own}, std::pair{"title.dvd", dvd}}) {
        const QString path = folder.file(name);
        ZKVideoConverter converter;
        converter.setMovies({ZKSegmentMovie::movieWithPath(clip)});
        converter.setMovieOutputFormat(format);
        converter.setPath(path);
        runToEnd(converter);
        ASSERT_EQ(converter.errorString(), QString()) << name;
        const Probe p = probe(path);
        EXPECT_EQ(QSize(p.width, p.height), QSize(format.width, format.height)) << name;
        EXPECT_GT(p.videoPackets, 0) << name;
    }
    const auto exported = ZKFFMovie::open(folder.file("own.mp4"));
    ASSERT_TRUE(exported);
    for (int frame = 0; frame < frames; ++frame)
        EXPECT_EQ(MediaFixtures::frameNumberOf(frameAt(*exported, middleOf(frame))), frame);
}

INSTANTIATE_TEST_SUITE_P(Widths, AwkwardSizeTest,
                         ::testing::Values(QSize(712, 400), QSize(1080, 1920), QSize(1080, 1080), QSize(1096, 616)),
                         [](const ::testing::TestParamInfo<QSize> &info) {
                             return QStringLiteral("%1x%2").arg(info.param.width()).arg(info.param.height()).toStdString();
                         });
