#include "Frameworks/Korvane/ZKAudioEngine.h"
#include "Frameworks/Korvane/ZKAudioVoice.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSoftLimit.h"
#include "Frameworks/Korvane/ZKSoundFeed.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QThread>

#include <atomic>
#include <cmath>

namespace {

// What a 16-bit file holds for 0.5 × sin(2π 441 t) at frame n.
float toneAt(qint64 n)
{
    const double value = 0.5 * std::sin(2 * M_PI * 441.0 * double(n) / 44100.0);
    return float(std::lrint(value * 32768.0) / 32768.0);
}

class ExactToneTest : public ::testing::TestWithParam<const char *>
{
};

TEST_P(ExactToneTest, ReadSampleGivesTheToneExactlyAcrossBlocksAndSeeks)
{
    TestFolder folder;
    const QString path = folder.file(QString("tone.") + GetParam());
    const QStringList codec = QString(GetParam()) == "wav" ? QStringList{"-c:a", "pcm_s16le"}
                                                          : QStringList{"-c:a", "flac", "-sample_fmt", "s16"};
    ASSERT_TRUE(MediaFixtures::makeTone(path, 1.0, 44100, 2, codec));
    const auto movie = ZKFFMovie::open(path);
    ASSERT_TRUE(movie);

    // Odd block sizes: no sample lost or doubled at a block edge; zeros after the end.
    std::vector<float> block(2 * 997);
    qint64 n = 0;
    while (n < 44100 + 2000) {
        ASSERT_TRUE(movie->readSample(block.data(), 0, 997));
        for (int i = 0; i < 997; ++i, ++n) {
            const float expected = n < 44100 ? toneAt(n) : 0.0f;
            ASSERT_NEAR(block[size_t(i) * 2], expected, 1.0 / 32768) << "frame " << n;
            ASSERT_NEAR(block[size_t(i) * 2 + 1], expected, 1.0 / 32768) << "frame " << n;
        }
    }

    // A position lands on its exact frame.
    movie->setCurrentTime(zk_default_time_base() / 4);
    movie->flushOperation();
    ASSERT_TRUE(movie->readSample(block.data(), 0, 997));
    for (int i = 0; i < 997; ++i)
        ASSERT_NEAR(block[size_t(i) * 2], toneAt(11025 + i), 1.0 / 32768) << "frame " << i;
    EXPECT_NEAR(zk_ff_time_to_double(movie->currentTime()), 0.25 + 997.0 / 44100, 1e-4);
}

INSTANTIATE_TEST_SUITE_P(Korvane, ExactToneTest, ::testing::Values("wav", "flac"));

// makeSweep's sound at frame n.
double sweepAt(qint64 n)
{
    const double t = double(n) / 44100;
    return 0.5 * std::sin(2 * M_PI * (200 * t + 100 * t * t));
}

// The time a stretch of makeSweep's sound starts at, from how often it changes sign.
double sweepTimeOf(const float *stereo, int frames)
{
    int crossings = 0;
    for (int i = 1; i < frames; ++i) {
        if ((stereo[2 * (i - 1)] < 0) != (stereo[2 * i] < 0))
            ++crossings;
    }
    const double span = double(frames) / 44100;
    return (crossings / 2.0 - 200 * span - 100 * span * span) / (200 * span);
}

// How far (in frames, within around ± range) a block read at frame start lags the sweep, and what
// then differs, relative to the sweep's level.
struct SweepMatch
{
    int lag = 0;
    double residual = 1;
};

SweepMatch matchSweep(const std::vector<float> &block, qint64 start, int around, int range)
{
    const int frames = int(block.size() / 2);
    SweepMatch best;
    double bestError = -1;
    for (int lag = around - range; lag <= around + range; ++lag) {
        double error = 0;
        for (int i = 0; i < frames; ++i) {
            const double d = block[size_t(i) * 2] - sweepAt(start - lag + i);
            error += d * d;
        }
        if (bestError < 0 || error < bestError) {
            bestError = error;
            best.lag = lag;
            best.residual = std::sqrt(error / frames) / (0.5 / M_SQRT2);
        }
    }
    return best;
}

struct SeekFormat
{
    const char *file;
    QStringList codec;
    QStringList videoCodec; // empty: sound only
    int delay;              // encoder delay that the container does not record (AC-3's 256 frames)
    int slack;              // coarse packet stamps: Matroska to the millisecond, MPEG to 1/90000 s
    double residual;        // what the codec changes
};

class SeekPositionTest : public ::testing::TestWithParam<SeekFormat>
{
};

// After setCurrentTime the samples read are the file's sound at that time from the first one
// on, as a straight read gives it, whatever the codec's priming and frame structure.
TEST_P(SeekPositionTest, ReadingAfterASeekStartsAtTheTimeAskedFor)
{
    const SeekFormat &format = GetParam();
    TestFolder folder;
    const QString path = folder.file(format.file);
    ASSERT_TRUE(MediaFixtures::makeSweep(path, 4.0, format.codec, !format.videoCodec.isEmpty(), format.videoCodec));
    const auto movie = ZKFFMovie::open(path);
    ASSERT_TRUE(movie);

    std::vector<float> block(size_t(4410) * 2);
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(movie->readSample(block.data(), 0, 4410));
        if (i % 5 == 1) { // the first block holds what an unrecorded encoder delay put first
            SCOPED_TRACE(i);
            const SweepMatch match = matchSweep(block, qint64(i) * 4410, format.delay, 8);
            EXPECT_EQ(match.lag, format.delay);
            EXPECT_LT(match.residual, format.residual);
        }
    }
    for (double seconds : {2.0, 0.5, 3.3, 1.0, 2.73, 0.05}) {
        SCOPED_TRACE(seconds);
        movie->setCurrentTime(qint64(seconds * zk_default_time_base()));
        movie->flushOperation();
        ASSERT_TRUE(movie->readSample(block.data(), 0, 4410));
        ASSERT_NEAR(sweepTimeOf(block.data(), 4410), seconds, 0.03);
        // The whole block, its first frames included: a lapped codec needs the frames before.
        const SweepMatch match = matchSweep(block, std::llround(seconds * 44100), format.delay, format.slack + 8);
        EXPECT_NEAR(match.lag, format.delay, format.slack);
        EXPECT_LT(match.residual, format.residual);
    }
}

const QStringList kH264{"-c:v", "libx264", "-preset", "ultrafast", "-pix_fmt", "yuv420p"};

INSTANTIATE_TEST_SUITE_P(
    Korvane, SeekPositionTest,
    ::testing::Values(SeekFormat{"aac.m4a", {"-c:a", "aac"}, {}, 0, 0, 0.03},
                      SeekFormat{"aac.mp4", {"-c:a", "aac"}, kH264, 0, 0, 0.03},
                      SeekFormat{"adts.aac", {"-c:a", "aac"}, {}, 1024, 0, 0.03},
                      SeekFormat{"sound.mp3", {"-c:a", "libmp3lame"}, {}, 0, 0, 0.07},
                      SeekFormat{"opus.webm", {"-c:a", "libopus"}, {"-c:v", "libvpx-vp9", "-deadline", "realtime", "-cpu-used", "8"}, 0, 44, 0.07},
                      SeekFormat{"ac3.mpg", {"-c:a", "ac3"}, {}, 256, 1, 0.01},
                      SeekFormat{"sound.flac", {"-c:a", "flac"}, {}, 0, 0, 0.001},
                      SeekFormat{"sound.wav", {"-c:a", "pcm_s16le"}, {}, 0, 0, 0.001},
                      SeekFormat{"pcm.mov", {"-c:a", "pcm_s16le"}, {"-c:v", "mjpeg"}, 0, 0, 0.001}),
    [](const auto &info) { return QString(info.param.file).replace('.', '_').toStdString(); });

TEST(ZKAudioResample, MonoAt22050SoundsOnBothSidesAtItsPitchAndLevel)
{
    TestFolder folder;
    const QString path = folder.file("mono.wav");
    ASSERT_TRUE(MediaFixtures::makeTone(path, 1.0, 22050, 1, {"-c:a", "pcm_s16le"}));
    const auto movie = ZKFFMovie::open(path);
    ASSERT_TRUE(movie);
    std::vector<float> samples(2 * 44100);
    ASSERT_TRUE(movie->readSample(samples.data(), 0, 44100));
    int crossings = 0;
    float peak = 0;
    for (size_t i = 2 * 2000; i + 2 < samples.size() - 2 * 2000; i += 2) {
        EXPECT_FLOAT_EQ(samples[i], samples[i + 1]);
        peak = std::max(peak, std::abs(samples[i]));
        if ((samples[i] < 0) != (samples[i + 2] < 0))
            ++crossings;
    }
    // 40100 frames of 441 Hz: about 801 sign changes.
    EXPECT_NEAR(crossings, 2 * 441 * 40100 / 44100, 4);
    EXPECT_NEAR(peak, 0.5, 0.01);
}

// A feed of one constant value.
class ConstantFeed : public ZKSoundFeed
{
public:
    explicit ConstantFeed(float value) : m_value(value) {}
    void seek(qint64) override {}
    void read(float *buffer, int frames) override { std::fill(buffer, buffer + 2 * frames, m_value); }

private:
    float m_value;
};

// Sample n of the feed's sound is n / 441000 (0.1 a second), so a sample tells where it
// comes from.
class ClockFeed : public ZKSoundFeed
{
public:
    void seek(qint64 time) override { m_frame = qint64(std::llround(zk_ff_time_to_double(time) * 44100)); }
    void read(float *buffer, int frames) override
    {
        for (int i = 0; i < frames; ++i, ++m_frame)
            buffer[2 * i] = buffer[2 * i + 1] = float(m_frame) / 441000;
    }

private:
    qint64 m_frame = 0;
};

// A played clip repeats its kept part: the frame after the last one before the end is the one
// at the start, in blocks of any length, and nothing past the end is ever read.
TEST(ZKSoundFeed, ALoopRestartsOnItsExactFrames)
{
    const qint64 tb = zk_default_time_base();
    const auto feed = ZKSoundFeed::looping(std::make_shared<ClockFeed>(), tb / 2, tb * 3 / 4); // frames [22050, 33075)
    feed->seek(tb * 6 / 10);                                                                    // frame 26460
    std::vector<float> block(2 * 997);
    qint64 expected = 26460;
    for (int b = 0; b < 40; ++b) {
        feed->read(block.data(), 997);
        for (int i = 0; i < 997; ++i) {
            ASSERT_FLOAT_EQ(block[size_t(i) * 2], float(expected) / 441000) << "block " << b << " frame " << i;
            if (++expected == 33075)
                expected = 22050;
        }
    }
}

// The feeder fills the ring on its own thread; a mix before that takes nothing.
void waitFilled(const ZKAudioVoice &voice, int frames)
{
    for (int i = 0; i < 10000 && voice.bufferedFrames() < frames; ++i)
        QThread::msleep(1);
}

std::vector<float> mixWhenReady(ZKAudioVoice &voice, int frames)
{
    waitFilled(voice, frames);
    std::vector<float> out(size_t(frames) * 2, 0.0f);
    voice.mixInto(out.data(), frames, 0);
    return out;
}

TEST(ZKAudioVoice, GainsAboveOneAmplifyAndChangesRampOverAFewMilliseconds)
{
    ZKAudioVoice voice(std::make_shared<ConstantFeed>(0.25f), 0, 2.0);
    std::vector<float> out = mixWhenReady(voice, 1000);
    // The voice starts from silence and reaches its gain within the ramp.
    EXPECT_LT(out[0], 0.01f);
    EXPECT_FLOAT_EQ(out[2 * ZKAudioVoice::kRampFrames + 2], 0.5f);
    EXPECT_FLOAT_EQ(out[2 * 999 + 1], 0.5f);

    voice.setGain(1.0);
    out = mixWhenReady(voice, 1000);
    EXPECT_GT(out[2 * 50], 0.25f);
    EXPECT_LT(out[2 * 50], 0.5f);
    for (int i = 1; i < 1000; ++i)
        ASSERT_LE(out[size_t(i) * 2], out[size_t(i - 1) * 2]); // no step back up: a straight ramp
    EXPECT_FLOAT_EQ(out[2 * 999], 0.25f);
    EXPECT_NEAR(zk_ff_time_to_double(voice.position()), 2000.0 / 44100, 1e-5);
}

TEST(ZKAudioVoice, ARampKeepsItsLengthHoweverSmallTheOutputsBlocks)
{
    ZKAudioVoice voice(std::make_shared<ConstantFeed>(0.5f), 0, 1.0);
    waitFilled(voice, 320);
    // Sound cards may ask for a handful of frames at a time.
    std::vector<float> heard;
    for (int block = 0; block < 20; ++block) {
        std::vector<float> out(2 * 16, 0.0f);
        voice.mixInto(out.data(), 16, 0);
        heard.insert(heard.end(), out.begin(), out.end());
    }
    ASSERT_EQ(heard.size(), size_t(2 * 320));
    EXPECT_NEAR(heard[2 * (ZKAudioVoice::kRampFrames / 2)], 0.25f, 0.01f);
    EXPECT_FLOAT_EQ(heard[2 * ZKAudioVoice::kRampFrames], 0.5f);
    EXPECT_FLOAT_EQ(heard[2 * 319], 0.5f);
}

// Two clips that touch hand over on one frame of the mix, whatever blocks the output asks for:
// the first sounds up to the frame before the join, the second from the join on, both at their
// full gain, with no frame of silence and none of both.
TEST(ZKAudioVoice, ClipsThatTouchHandOverOnOneFrame)
{
    for (const int block : {300, 1000, 37}) {
        SCOPED_TRACE(block);
        ZKAudioVoice first(std::make_shared<ConstantFeed>(0.25f), 0, 1.0);
        ZKAudioVoice second(std::make_shared<ConstantFeed>(0.5f), 0, 1.0);
        first.setStartFrame(100);
        first.setStopFrame(1000);
        second.setStartFrame(1000);
        waitFilled(first, 2048);
        waitFilled(second, 2048);
        std::vector<float> heard;
        for (qint64 at = 0; at < 1500; at += block) {
            std::vector<float> out(size_t(block) * 2, 0.0f);
            first.mixInto(out.data(), block, at);
            second.mixInto(out.data(), block, at);
            heard.insert(heard.end(), out.begin(), out.end());
        }
        for (int i = 0; i < 1500; ++i) {
            const float expected = i < 100 ? 0.0f : i < 1000 ? 0.25f : 0.5f;
            ASSERT_FLOAT_EQ(heard[size_t(i) * 2], expected) << "frame " << i;
        }
        EXPECT_TRUE(first.faded()); // the mix lets it go
        EXPECT_FALSE(second.faded());
        EXPECT_NEAR(zk_ff_time_to_double(first.position()), 900.0 / 44100, 1e-6);
    }
}

// Counts what the voice reads, to tell that a voice leaving the mix lets go of its feed.
class CountingFeed : public ZKSoundFeed
{
public:
    void seek(qint64) override {}
    void read(float *buffer, int frames) override
    {
        std::fill(buffer, buffer + 2 * frames, 0.5f);
        reads += frames;
    }
    std::atomic<int> reads{0};
};

TEST(ZKAudioVoice, LeavingTheMixRampsToSilenceAndStopsReadingTheFeed)
{
    auto feed = std::make_shared<CountingFeed>();
    ZKAudioVoice voice(feed, 0, 1.0);
    mixWhenReady(voice, 1000);
    ASSERT_FALSE(voice.faded());

    voice.fadeOut();
    const int readsAtFade = feed->reads;
    std::vector<float> out = mixWhenReady(voice, 1000);
    // Cutting off at 0.5 would click: the sound goes down a straight ramp instead.
    EXPECT_GT(out[0], 0.49f);
    EXPECT_NEAR(out[2 * (ZKAudioVoice::kRampFrames / 2)], 0.25f, 0.01f);
    EXPECT_EQ(out[2 * ZKAudioVoice::kRampFrames], 0.0f);
    for (int i = 1; i < 1000; ++i)
        ASSERT_LE(out[size_t(i) * 2], out[size_t(i - 1) * 2]);
    EXPECT_TRUE(voice.faded());
    EXPECT_EQ(feed->reads, readsAtFade); // another voice may take the feed over at once
}

TEST(ZKAudioVoice, ASeekMovesThePositionAndItsSound)
{
    ZKAudioVoice voice(ZKSoundFeed::silence(), 0, 1.0);
    mixWhenReady(voice, 441);
    voice.seek(3 * zk_default_time_base());
    EXPECT_EQ(voice.position(), 3 * zk_default_time_base());
    mixWhenReady(voice, 441);
    EXPECT_NEAR(zk_ff_time_to_double(voice.position()), 3.01, 1e-6);
}

// The preview's mix passes its sum through the limiter, as the export does: two loud sounds
// together are bent below full scale instead of clipping; a quiet sum passes as it is.
TEST(ZKAudioEngine, TheMixOfThePreviewIsSoftLimited)
{
    ZKAudioEngine::setSilentOutput(true);
    ZKAudioEngine &engine = ZKAudioEngine::instance();
    struct Case
    {
        float level; // of each of the two sounds
        float lowest, highest;
    };
    for (const Case c : {Case{0.75f, 0.8f, 0.9999f}, Case{0.2f, 0.4f, 0.4f}}) {
        SCOPED_TRACE(c.level);
        const auto first = std::make_shared<ZKAudioVoice>(std::make_shared<ConstantFeed>(c.level), 0, 1.0);
        const auto second = std::make_shared<ZKAudioVoice>(std::make_shared<ConstantFeed>(c.level), 0, 1.0);
        waitFilled(*first, 4096);
        waitFilled(*second, 4096);
        engine.addVoice(first);
        engine.addVoice(second);
        std::vector<float> out(2 * 1024);
        engine.render(out.data(), 1024);
        engine.removeVoice(first);
        engine.removeVoice(second);
        // Past the voices' ramp in.
        for (int i = ZKAudioVoice::kRampFrames; i < 1024; ++i) {
            ASSERT_GE(out[size_t(i) * 2], c.lowest - 1e-6f) << i;
            ASSERT_LE(out[size_t(i) * 2], c.highest + 1e-6f) << i;
        }
    }
}

TEST(ZKSoftLimit, BendsOnlyLoudSamplesAndNeverClips)
{
    std::vector<float> samples{0.0f, 0.5f, -0.8f, 0.9f, 1.5f, -3.0f, 40.0f};
    zk_soft_limit(samples.data(), qsizetype(samples.size()));
    EXPECT_EQ(samples[0], 0.0f);
    EXPECT_EQ(samples[1], 0.5f);
    EXPECT_EQ(samples[2], -0.8f);
    EXPECT_GT(samples[3], 0.8f);
    EXPECT_LT(samples[3], 0.9f);
    EXPECT_GT(samples[4], samples[3]);
    EXPECT_LT(samples[4], 1.0f);
    EXPECT_GE(samples[5], -1.0f);
    EXPECT_LE(samples[6], 1.0f);
}

} // namespace
