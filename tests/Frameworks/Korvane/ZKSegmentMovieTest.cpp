#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovieFade.h"
#include "Frameworks/Korvane/ZKTime.h"

#include <gtest/gtest.h>

namespace {

const qint64 tb = zk_default_time_base();

// A source of a given length that gives nothing else.
class LengthSource : public MovieSource
{
public:
    explicit LengthSource(qint64 duration) : m_duration(duration) {}
    bool hasVideo() const override { return false; }
    bool hasAudio() const override { return true; }
    qint64 duration() const override { return m_duration; }
    void setCurrentTime(qint64) override {}
    void decodeImageAtTime(qint64, const FrameAction &, bool) override {}
    bool readSample(float *, int, int) override { return true; }

private:
    qint64 m_duration;
};

TEST(ZKSegmentMovieFade, RampsBetweenItsPointsAndHoldsOutside)
{
    ZKSegmentMovieFade fade;
    fade.setFadeStart(2 * tb);
    fade.setFadeStop(4 * tb);
    fade.setVolumeStart(1.0);
    fade.setVolumeStop(0.0);
    const std::pair<double, float> cases[] = {{0, 1.0f}, {2, 1.0f}, {2.5, 0.75f}, {3, 0.5f}, {4, 0.0f}, {9, 0.0f}};
    for (const auto &[seconds, volume] : cases)
        EXPECT_FLOAT_EQ(fade.audioVolumeAtTime(qint64(seconds * tb)), volume) << seconds;
}

TEST(ZKSegmentMovie, CoversItsSourceAndKeepsStartBeforeStop)
{
    const auto segment = ZKSegmentMovie::movieWithFFmovie(std::make_shared<LengthSource>(10 * tb));
    ASSERT_TRUE(segment);
    EXPECT_EQ(segment->start(), 0);
    EXPECT_EQ(segment->stop(), 10 * tb);
    EXPECT_EQ(segment->duration(), 10 * tb);
    segment->setStop(6 * tb);
    segment->setStart(2 * tb);
    EXPECT_EQ(segment->duration(), 4 * tb);
    segment->setStart(8 * tb);
    EXPECT_EQ(segment->start(), 6 * tb);
    segment->setDuration(3 * tb);
    EXPECT_EQ(segment->stop(), 9 * tb);
    EXPECT_FALSE(ZKSegmentMovie::movieWithFFmovie(nullptr));

    const auto empty = ZKSegmentMovie::movieWithEmptyFFMovie();
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->duration(), 0);
    EXPECT_FALSE(empty->ffmovie()->hasAudio());
}

TEST(ZKSegmentMovie, VolumeFollowsFadesRampsAndTheMoviesVolume)
{
    auto movie = std::make_shared<ZKFFMovie>();
    auto segment = ZKSegmentMovie::movieWithFFmovie(std::make_shared<LengthSource>(20 * tb));
    segment->setStart(2 * tb);
    segment->setStop(12 * tb);
    segment->setFadeIn(2 * tb);
    segment->setFadeOut(4 * tb);
    const std::pair<double, float> cases[] = {{1, 0.0f},   {2, 0.0f}, {3, 0.5f},  {4, 1.0f},
                                              {7.9, 1.0f}, {9, 0.75f}, {11, 0.25f}, {12, 0.0f}, {13, 0.0f}};
    for (const auto &[seconds, volume] : cases)
        EXPECT_NEAR(segment->audioVolumeAtTime(qint64(seconds * tb)), volume, 1e-6) << seconds;

    auto duck = std::make_shared<ZKSegmentMovieFade>();
    duck->setFadeStart(5 * tb);
    duck->setFadeStop(7 * tb);
    duck->setVolumeStart(1.0);
    duck->setVolumeStop(0.0);
    segment->setAudioFades({duck});
    EXPECT_FLOAT_EQ(segment->audioVolumeAtTime(6 * tb), 0.5f);
    EXPECT_FLOAT_EQ(segment->audioVolumeAtTime(8 * tb), 1.0f); // outside every ramp

    // A file's segment carries its movie's volume, above 1 too.
    auto file = ZKSegmentMovie::movieWithFFmovie(movie);
    movie->setVolume(2.5);
    EXPECT_FLOAT_EQ(file->audioVolumeAtTime(0), 2.5f);
}

} // namespace
