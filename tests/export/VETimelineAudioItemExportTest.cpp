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

TEST(VETimelineAudioItemExport, SumsBeyondFullScaleAreKept)
{
    VETimelineAudioItemExport mixer;
    mixer.setAudios({clipOf(std::make_shared<WaveSource>(5, WaveSource::constant(1.0f)), 0, 1),
                     clipOf(std::make_shared<WaveSource>(5, WaveSource::constant(1.0f)), 0, 1)});
    const auto left = mix(mixer, 1.5);
    EXPECT_FLOAT_EQ(at(left, 0.5), 2.0f);
    EXPECT_FLOAT_EQ(at(left, 1.2), 0.0f);
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
    auto source = std::make_shared<WaveSource>(4, WaveSource::clock());
    mixer.setAudios({clipOf(source, 1, 10)});
    const auto left = mix(mixer, 12);
    // 1 s in the clip is 1 s of the source; 5 s in is 1 s into its second play; 9 s in, 1 s
    // into its third, which stops half-way through. Restarts happen at the request after the
    // source ran out, so each play may start up to one request (23 ms) late.
    EXPECT_NEAR(at(left, 2), 1.0, 0.03);
    EXPECT_NEAR(at(left, 6), 1.0, 0.05);
    EXPECT_NEAR(at(left, 10), 1.0, 0.07);
    EXPECT_NEAR(at(left, 10.9), 1.9, 0.07);
    EXPECT_EQ(source->restarts(), 3); // one for each play
    EXPECT_FLOAT_EQ(at(left, 11.1), 0.0f);
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
    QList<std::shared_ptr<ZKSegmentMovieFade>> fades;
    appendSoloFades(fades, ticks(5), ticks(15));
    mixer.setAudioFades(fades);
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
    auto music = clipOf(std::make_shared<WaveSource>(30, WaveSource::constant(1.0f)), 0, 30);
    music->setApplyAudioFade(true);
    mixer.setAudios({music});
    mixer.setAudioFades(soloFadesOf({b, a}));
    const auto left = mix(mixer, 20);
    for (double t : {4.0, 9.0, 10.0, 11.0, 14.0})
        EXPECT_NEAR(at(left, t), 0.0, 1e-6) << t;
    EXPECT_NEAR(at(left, 16.5), 0.5, 0.01);
    EXPECT_NEAR(at(left, 19), 1.0, 1e-6);
}

struct MergeCase
{
    std::vector<std::pair<float, float>> in, out;
};

TEST(VEExportHandOff, MergesOverlappingAndTouchingSoloRanges)
{
    const MergeCase cases[] = {
        {{{0, 10}, {8, 18}}, {{0, 18}}},
        {{{8, 18}, {0, 10}}, {{0, 18}}},
        {{{0, 5}, {5, 9}, {20, 22}}, {{0, 9}, {20, 22}}},
        {{{0, 20}, {2, 3}}, {{0, 20}}},
        {{{30, 31}, {1, 2}}, {{1, 2}, {30, 31}}},
    };
    for (const MergeCase &c : cases) {
        std::vector<HLRanger> rangers;
        for (auto [min, max] : c.in) {
            HLRanger r;
            r.setDMin(min);
            r.setDMax(max);
            rangers.push_back(r);
        }
        std::vector<std::pair<float, float>> merged;
        for (const HLRanger &r : mergedSoloRangers(rangers))
            merged.emplace_back(r.dMin(), r.dMax());
        EXPECT_EQ(merged, c.out);
    }
}

struct RampCase
{
    qint64 start, stop;
    std::vector<std::pair<qint64, qint64>> ramps;
};

TEST(VEExportHandOff, SoloRampsLieInsideTheRange)
{
    const RampCase cases[] = {
        {ticks(10), ticks(20), {{ticks(10), ticks(13)}, {ticks(13), ticks(17)}, {ticks(17), ticks(20)}}},
        {ticks(10), ticks(14), {{ticks(10), ticks(12)}, {ticks(12), ticks(12)}, {ticks(12), ticks(14)}}},
        {100, 101, {{100, 100}, {100, 101}, {101, 101}}},
        {100, 100, {}},
        {200, 100, {}},
    };
    for (const RampCase &c : cases) {
        QList<std::shared_ptr<ZKSegmentMovieFade>> fades;
        appendSoloFades(fades, c.start, c.stop);
        std::vector<std::pair<qint64, qint64>> ramps;
        for (const auto &f : fades)
            ramps.emplace_back(f->fadeStart(), f->fadeStop());
        EXPECT_EQ(ramps, c.ramps);
        if (fades.size() == 3) {
            EXPECT_EQ(fades[0]->volumeStart(), 1.0);
            EXPECT_EQ(fades[0]->volumeStop(), 0.0);
            EXPECT_EQ(fades[1]->volumeStop(), 0.0);
            EXPECT_EQ(fades[2]->volumeStart(), 0.0);
            EXPECT_EQ(fades[2]->volumeStop(), 1.0);
        }
    }
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
}

} // namespace
