#include "Frameworks/Korvane/ZKAudioEngine.h"
#include "Frameworks/Korvane/ZKAudioVoice.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSoundFeed.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QThread>

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

std::vector<float> mixWhenReady(ZKAudioVoice &voice, int frames)
{
    // The feeder fills the ring on its own thread; a mix before that takes nothing.
    QThread::msleep(50);
    std::vector<float> out(size_t(frames) * 2, 0.0f);
    voice.mixInto(out.data(), frames);
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

TEST(ZKAudioVoice, ASeekMovesThePositionAndItsSound)
{
    ZKAudioVoice voice(ZKSoundFeed::silence(), 0, 1.0);
    mixWhenReady(voice, 441);
    voice.seek(3 * zk_default_time_base());
    EXPECT_EQ(voice.position(), 3 * zk_default_time_base());
    mixWhenReady(voice, 441);
    EXPECT_NEAR(zk_ff_time_to_double(voice.position()), 3.01, 1e-6);
}

TEST(ZKAudioEngine, TheLimiterBendsOnlyLoudSamplesAndNeverClips)
{
    std::vector<float> samples{0.0f, 0.5f, -0.8f, 0.9f, 1.5f, -3.0f, 40.0f};
    ZKAudioEngine::softLimit(samples.data(), int(samples.size()));
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
