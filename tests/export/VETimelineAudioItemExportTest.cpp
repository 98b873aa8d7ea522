#include "export/VEExportHandOff.h"
#include "export/VETimelineAudioItem.h"
#include "export/VETimelineAudioItemExport.h"
#include "export/VETimelineExportMovie.h"
#include "export/VETimelineExportMovieConverter.h"
#include "ExportTestSources.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovieFade.h"
#include "Frameworks/Korvane/ZKVideoConverter.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

namespace {

const qint64 tb = zk_default_time_base();

qint64 ticks(double seconds)
{
    return qint64(seconds * double(tb));
}

std::shared_ptr<VETimelineAudioItem> clipOf(std::shared_ptr<WaveSource> source, double start, double duration)
{
    auto item = std::make_shared<VETimelineAudioItem>();
    item->setStart(ticks(start));
    item->setDuration(ticks(duration));
    item->setAudioMovie(ZKSegmentMovie::movieWithFFmovie(std::move(source)));
    return item;
}

// The left channel of seconds of the mix, read in the converter's requests of 1024 frames.
std::vector<float> mix(VETimelineAudioItemExport &mixer, double seconds)
{
    mixer.setCurrentTime(0);
    const qint64 frames = qint64(seconds * 44100);
    std::vector<float> left;
    left.reserve(size_t(frames));
    std::vector<float> buffer(2 * 1024);
    for (qint64 done = 0; done < frames; done += 1024) {
        const int count = int(std::min<qint64>(1024, frames - done));
        EXPECT_TRUE(mixer.readSample(buffer.data(), 0, count));
        for (int i = 0; i < count; ++i)
            left.push_back(buffer[2 * i]);
    }
    return left;
}

float at(const std::vector<float> &left, double seconds)
{
    return left.at(size_t(seconds * 44100));
}

// A loud clip over music: where they overlap the sum is bent below full scale, keeping the
// shape of the sound (no run of flat samples); where either sounds alone nothing changes.
TEST(VETimelineAudioItemExport, LoudSumsAreLimitedAndLoneSoundsKeepTheirLevel)
{
    VETimelineAudioItemExport mixer;
    mixer.setAudios({clipOf(std::make_shared<WaveSource>(5, WaveSource::sine(0.75f, 441)), 1, 1),
                     clipOf(std::make_shared<WaveSource>(5, WaveSource::sine(0.7f, 300)), 0, 3)});
    const auto left = mix(mixer, 3);
    float loudest = 0;
    int flat = 0;
    for (size_t n = 1; n < left.size(); ++n) {
        const double time = double(n) / 44100;
        const float music = float(0.7 * std::sin(2 * M_PI * 300 * double(n % 220500) / 44100.0));
        if (time < 1 || time >= 2) {
            ASSERT_NEAR(left[n], music, 1e-6) << time; // music alone
            continue;
        }
        loudest = std::max(loudest, std::abs(left[n]));
        flat += std::abs(left[n]) > 0.95f && left[n] == left[n - 1];
    }
    EXPECT_GT(loudest, 0.9f);
    EXPECT_LT(loudest, 1.0f);
    EXPECT_EQ(flat, 0);
}

struct ScheduleCase
{
    const char *name;
    double start, duration, segment;
    bool loop;
    double interval;
    std::vector<std::pair<double, bool>> sounding; // time, sounds
};

class MixerSchedule : public ::testing::TestWithParam<ScheduleCase>
{
};

TEST_P(MixerSchedule, SoundsExactlyWhenPlaced)
{
    const ScheduleCase &c = GetParam();
    VETimelineAudioItemExport mixer;
    auto item = clipOf(std::make_shared<WaveSource>(c.segment, WaveSource::constant(0.5f)), c.start, c.duration);
    item->setLoop(c.loop);
    item->setLoopInterval(ticks(c.interval));
    mixer.setAudios({item});
    const auto left = mix(mixer, 26);
    for (const auto &[time, sounds] : c.sounding)
        EXPECT_FLOAT_EQ(at(left, time), sounds ? 0.5f : 0.0f) << "at " << time << " s";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MixerSchedule,
    ::testing::Values(
        ScheduleCase{"Plain", 2, 3, 10, false, 0, {{1.9, false}, {2.1, true}, {4.9, true}, {5.1, false}, {12.5, false}}},
        ScheduleCase{"TooShort", 1, 0.09, 10, false, 0, {{1.01, false}, {1.05, false}}},
        ScheduleCase{"Loop",
                     2,
                     3,
                     10,
                     true,
                     10,
                     {{1.5, false}, {3, true}, {6, false}, {11.9, false}, {13, true}, {15.2, false}, {23, true}, {25.5, false}}},
        ScheduleCase{"LoopWithoutInterval", 2, 3, 10, true, 0, {{3, true}, {6, false}}}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(VETimelineAudioItemExport, ALoopWithoutIntervalLoopsByOneTick)
{
    std::vector<float> mixes[2];
    for (qint64 interval : {0, 1}) {
        VETimelineAudioItemExport mixer;
        auto item = clipOf(std::make_shared<WaveSource>(10, WaveSource::constant(0.5f)), 2, 3);
        item->setLoop(true);
        item->setLoopInterval(interval);
        mixer.setAudios({item});
        mixes[interval] = mix(mixer, 20);
    }
    EXPECT_EQ(mixes[0], mixes[1]);
}

TEST(VETimelineAudioItemExport, AClipLongerThanItsSegmentPlaysItAgain)
{
    VETimelineAudioItemExport mixer;
    auto source = std::make_shared<WaveSource>(4, [](qint64 n) { return float(n) / 441000; });
    mixer.setAudios({clipOf(source, 1, 10)});
    const auto left = mix(mixer, 12);
    // 1 s in the clip is 1 s of the source; 5 s in is 1 s into its second play; 9 s in, 1 s
    // into its third, which stops half-way through. Each play starts on the frame after the
    // last one's end.
    EXPECT_FLOAT_EQ(at(left, 2), 0.1f);
    EXPECT_FLOAT_EQ(at(left, 6), 0.1f);
    EXPECT_FLOAT_EQ(at(left, 10), 0.1f);
    EXPECT_FLOAT_EQ(at(left, 10.9), 0.19f);
    EXPECT_FLOAT_EQ(at(left, 5 - 1.0 / 44100), 0.4f - 1.0f / 441000); // the segment's last frame
    EXPECT_FLOAT_EQ(at(left, 5), 0.0f);                                 // then its first again
    EXPECT_EQ(source->restarts(), 3); // one for each play
    EXPECT_FLOAT_EQ(at(left, 11.1), 0.0f);
}

// Two music clips laid end to end in a looping line, fades off, each trimmed out of a source
// whose sample tells its own time: at every join and loop restart the next clip's first frame
// follows the last one's last frame, and no clip reads past its trim end.
TEST(VETimelineAudioItemExport, JoinsAndLoopRestartsAreSampleExact)
{
    const auto clock = [](float offset) {
        return [offset](qint64 n) { return offset + float(n) / 441000; }; // 0.1 a second
    };
    const auto trimmed = [&](float offset, double trimMin, double trimMax, double start) {
        auto item = clipOf(std::make_shared<WaveSource>(10, clock(offset)), start, trimMax - trimMin);
        item->audioMovie()->setStop(ticks(trimMax));
        item->audioMovie()->setStart(ticks(trimMin));
        item->setLoop(true);
        return item;
    };
    // First clip: source seconds [0.5, 2.5) at project [0, 2); second: [1, 2.3) at [2, 3.3).
    auto first = trimmed(0, 0.5, 2.5, 0);
    auto second = trimmed(0.5f, 1, 2.3, 2);
    for (const auto &item : {first, second})
        item->setLoopInterval(ticks(3.3));
    VETimelineAudioItemExport mixer;
    mixer.setAudios({first, second});
    const auto left = mix(mixer, 7);
    const auto value = [&](qint64 frame) { return left.at(size_t(frame)); };
    struct Join
    {
        qint64 frame;        // first frame of the next clip
        float before, after; // the last clip's last sample, the next clip's first
    };
    const float step = 1.0f / 441000;
    const Join joins[] = {
        {88200, 0.25f - step, 0.6f},          // first → second at 2 s
        {145530, 0.5f + 0.23f - step, 0.05f}, // second → first at the loop's end, 3.3 s
        {233730, 0.25f - step, 0.6f},         // first → second in the second round, 5.3 s
    };
    for (const Join &join : joins) {
        SCOPED_TRACE(join.frame);
        EXPECT_NEAR(value(join.frame - 1), join.before, 1e-6);
        EXPECT_NEAR(value(join.frame), join.after, 1e-6);
    }
    // Every frame comes from exactly one clip: no silence and no sum anywhere.
    for (qint64 n = 1; n < qint64(left.size()); ++n) {
        const float d = value(n) - value(n - 1);
        ASSERT_TRUE(std::abs(d - step) < 1e-6 || std::abs(value(n) - 0.05f) < 1e-6 || std::abs(value(n) - 0.6f) < 1e-6)
            << "frame " << n << ": " << value(n - 1) << " then " << value(n);
    }
}

TEST(VETimelineAudioItemExport, SegmentFadesAndEndFadeShapeTheClip)
{
    VETimelineAudioItemExport mixer;
    auto item = clipOf(std::make_shared<WaveSource>(20, WaveSource::constant(0.8f)), 2, 10);
    item->audioMovie()->setFadeIn(ticks(2));
    item->setFadeOut(ticks(3));
    mixer.setAudios({item});
    const auto left = mix(mixer, 13);
    EXPECT_NEAR(at(left, 3), 0.4, 0.01);     // half-way through the segment's fade-in
    EXPECT_NEAR(at(left, 6), 0.8, 0.001);
    EXPECT_NEAR(at(left, 9), 0.8, 0.001);    // the end fade begins 7 s after the start
    EXPECT_NEAR(at(left, 10.5), 0.4, 0.01);  // half-way through it
    EXPECT_NEAR(at(left, 11.9), 0.027, 0.01);
    EXPECT_FLOAT_EQ(at(left, 12.1), 0.0f);
}

TEST(VETimelineAudioItemExport, DuckingRampsApplyOnlyToMusic)
{
    VETimelineAudioItemExport mixer;
    auto music = clipOf(std::make_shared<WaveSource>(30, WaveSource::constant(0.5f)), 0, 30);
    music->setApplyAudioFade(true);
    auto voice = clipOf(std::make_shared<WaveSource>(30, WaveSource::constant(0.25f)), 0, 30);
    mixer.setAudios({voice, music});
    HLRanger solo;
    solo.setDMin(5);
    solo.setDMax(15);
    mixer.setAudioFades(soloFadesOf({solo}));
    const auto left = mix(mixer, 20);
    EXPECT_NEAR(at(left, 4), 0.75, 1e-6);          // before the first ramp
    EXPECT_NEAR(at(left, 6.5), 0.25 + 0.25, 0.01); // half-way down
    EXPECT_NEAR(at(left, 10), 0.25, 1e-6);         // music silent, the voice alone
    EXPECT_NEAR(at(left, 13.5), 0.25 + 0.25, 0.01);
    EXPECT_NEAR(at(left, 17), 0.75, 1e-6);         // after the last ramp
}

TEST(VETimelineAudioItemExport, MergedSoloRangesDuckOnce)
{
    HLRanger a, b;
    a.setDMin(0);
    a.setDMax(10);
    b.setDMin(8);
    b.setDMax(18);
    VETimelineAudioItemExport mixer;
    auto music = clipOf(std::make_shared<WaveSource>(30, WaveSource::constant(0.5f)), 0, 30);
    music->setApplyAudioFade(true);
    mixer.setAudios({music});
    mixer.setAudioFades(soloFadesOf({b, a}));
    const auto left = mix(mixer, 20);
    for (double t : {4.0, 9.0, 10.0, 11.0, 14.0})
        EXPECT_NEAR(at(left, t), 0.0, 1e-6) << t;
    EXPECT_NEAR(at(left, 16.5), 0.25, 0.01);
    EXPECT_NEAR(at(left, 19), 0.5, 1e-6);
}

TEST(VETimelineExportMovie, FramesComeFromTheBlockAtTheVideoSize)
{
    VETimelineExportMovie movie;
    movie.setVideoSize(QSizeF(40, 30));
    std::vector<float> buffer(2 * 64, 1.0f);
    EXPECT_TRUE(movie.readSample(buffer.data(), 0, 64)); // no sound file yet: silence
    EXPECT_EQ(std::count(buffer.begin(), buffer.end(), 0.0f), 128);
    EXPECT_FALSE(movie.hasAudio());

    qint64 asked = -1;
    movie.setGetImage([&](qint64 time) {
        asked = time;
        QImage image(20, 15, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::red);
        return image;
    });
    QImage picture;
    movie.decodeImageAtTime(ticks(2.5), [&](const std::shared_ptr<ZKMovieImage> &frame) { picture = frame->currentImage(); }, false);
    EXPECT_EQ(asked, ticks(2.5));
    ASSERT_EQ(picture.size(), QSize(40, 30));
    EXPECT_EQ(picture.pixelColor(39, 29), QColor(Qt::red));

    movie.setGetImage(nullptr);
    movie.decodeImageAtTime(0, [&](const std::shared_ptr<ZKMovieImage> &frame) { picture = frame->currentImage(); }, true);
    EXPECT_EQ(picture.pixelColor(5, 5), QColor(Qt::black));
}

TEST(VETimelineExportMovie, FrameBlocksRenderWhereThePicturesAreAskedForOneThreadEach)
{
    auto movie = std::make_shared<VETimelineExportMovie>();
    movie->setVideoSize(QSizeF(16, 16));
    movie->setGetImage([](qint64) -> QImage { ADD_FAILURE() << "the main block renders nothing"; return {}; });
    constexpr int kBlocks = 3;
    std::atomic<int> busy[kBlocks] = {};
    std::atomic<int> overlaps{0};
    std::vector<VETimelineExportMovie::GetImage> blocks;
    for (int b = 0; b < kBlocks; ++b) {
        blocks.push_back([&, b](qint64 time) {
            if (busy[b]++)
                ++overlaps;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
            image.fill(QColor(int(time % 256), b * 60, 0));
            --busy[b];
            return image;
        });
    }
    movie->setFrameBlocks(blocks);

    std::vector<std::shared_ptr<ZKMovieImage>> frames;
    for (int i = 0; i < 60; ++i)
        movie->decodeImageAtTime(i, [&](const std::shared_ptr<ZKMovieImage> &frame) { frames.push_back(frame); }, true);
    std::vector<std::thread> workers;
    std::atomic<int> wrong{0};
    for (int w = 0; w < 5; ++w) {
        workers.emplace_back([&, w] {
            for (size_t i = size_t(w); i < frames.size(); i += 5) {
                if (frames[i]->currentImage().pixelColor(3, 3).red() != int(i))
                    ++wrong;
            }
        });
    }
    for (auto &worker : workers)
        worker.join();
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(overlaps, 0);
}

// A worker that stalls after taking its frame must not let a block render a later time first:
// the renderers keep state from frame to frame.
TEST(VETimelineExportMovie, EachBlockRendersItsFramesInTimeOrderWhateverOrderThePicturesAreWanted)
{
    auto movie = std::make_shared<VETimelineExportMovie>();
    movie->setVideoSize(QSizeF(16, 16));
    constexpr int kBlocks = 3;
    std::vector<qint64> seen[kBlocks];
    std::vector<VETimelineExportMovie::GetImage> blocks;
    for (int b = 0; b < kBlocks; ++b) {
        blocks.push_back([&, b](qint64 time) {
            seen[b].push_back(time); // one thread at a time per block
            QImage image(16, 16, QImage::Format_ARGB32_Premultiplied);
            image.fill(QColor(int(time % 256), 0, 0));
            return image;
        });
    }
    movie->setFrameBlocks(blocks);

    constexpr int kFrames = 40;
    std::vector<std::shared_ptr<ZKMovieImage>> frames;
    for (int i = 0; i < kFrames; ++i)
        movie->decodeImageAtTime(i, [&](const std::shared_ptr<ZKMovieImage> &frame) { frames.push_back(frame); }, true);
    // Late frames first, then the rest from several threads, latest first.
    EXPECT_EQ(frames[25]->currentImage().pixelColor(3, 3).red(), 25);
    EXPECT_EQ(frames[3]->currentImage().pixelColor(3, 3).red(), 3);
    std::atomic<int> wrong{0};
    std::vector<std::thread> workers;
    for (int w = 0; w < 4; ++w) {
        workers.emplace_back([&, w] {
            for (int i = kFrames - 1 - w; i >= 0; i -= 4) {
                if (frames[size_t(i)]->currentImage().pixelColor(3, 3).red() != i)
                    ++wrong;
            }
        });
    }
    for (auto &worker : workers)
        worker.join();
    EXPECT_EQ(wrong, 0);
    size_t rendered = 0;
    for (const auto &times : seen) {
        EXPECT_TRUE(std::is_sorted(times.begin(), times.end())) << ::testing::PrintToString(times);
        EXPECT_EQ(std::adjacent_find(times.begin(), times.end()), times.end());
        rendered += times.size();
    }
    EXPECT_EQ(rendered, size_t(kFrames)); // each frame once
}

TEST(VEExportHandOff, TitlesAreDrawnOverTheFrameAtItsSize)
{
    QImage frame(40, 30, QImage::Format_ARGB32_Premultiplied);
    frame.fill(Qt::blue);
    EXPECT_EQ(exportFrameOf(frame, QImage()).constBits(), frame.constBits());
    QImage titles(20, 15, QImage::Format_ARGB32_Premultiplied);
    titles.fill(Qt::transparent);
    for (int x = 0; x < 10; ++x)
        for (int y = 0; y < 15; ++y)
            titles.setPixelColor(x, y, Qt::white);
    const QImage out = exportFrameOf(frame, titles);
    ASSERT_EQ(out.size(), frame.size());
    EXPECT_EQ(out.pixelColor(5, 5), QColor(Qt::white)); // the titles' left half, scaled up
    EXPECT_EQ(out.pixelColor(35, 25), QColor(Qt::blue));
    EXPECT_EQ(frame.pixelColor(5, 5), QColor(Qt::blue)); // the renderer's frame is left as it was
}

} // namespace
