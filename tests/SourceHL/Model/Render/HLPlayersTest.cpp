#include "RenderProject.h"

#include "Frameworks/Korvane/ZKAudioEngine.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLAudiolinePlayer.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLTimelineItemRendering.h"
#include "SourceHL/Model/Render/HLTimelinePlayer.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace RenderProject;

namespace {

double seconds(qint64 ticks)
{
    return zk_ff_time_to_double(ticks);
}

class PlayersTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        setUpTemplates();
        ZKAudioEngine::setSilentOutput(true);
    }
    void SetUp() override { setUpPools(folder); }
    TestFolder folder;
};

// A timeline of one item: a clip resource (no file) of the given length, or a photo.
std::shared_ptr<HLTimelineItem> oneItem(const std::shared_ptr<HLResourceItem> &resource)
{
    auto timeline = RenderProject::timeline(0);
    timeline->addOutTo({resource}, QString());
    timeline->update(0);
    return timeline;
}

std::shared_ptr<HLResourceItem> clipOf(float length)
{
    return std::make_shared<HLResourceItem>(HLResourceTypeVideo, "TV9", "9",
                                            QVariantMap{{"Duration", length}, {"Resolution", QSizeF(64, 48)}});
}

TEST_F(PlayersTest, FadeOutAndMusicRatios)
{
    struct Case
    {
        float length; // of the one clip (solo) or, for 0, a photo shown for the display length
        float display;
        float time;
        float fadeOut;
        float ambient;
    };
    const std::vector<Case> cases = {
        {0, 2, 0.5f, 0.75f, 1},  {0, 2, 2, 0, 1},        {0, 10, 6.9f, 1, 1},     {0, 10, 8.5f, 0.5f, 1},
        {4, 0, 1, 1, 0.5f},      {4, 0, 2, 2.0f / 3, 0}, {4, 0, 3, 1.0f / 3, 0.5f},
        {10, 0, 1.5f, 1, 0.5f},  {10, 0, 5, 1, 0},       {10, 0, 8.5f, 0.5f, 0.5f},
    };
    for (const Case &c : cases) {
        const auto resource = c.length > 0 ? clipOf(c.length)
                                           : std::make_shared<HLResourceItem>(HLResourceTypeImage, "TI8", "8",
                                                                              QVariantMap{{"Resolution", QSizeF(4, 3)}});
        auto timeline = oneItem(resource);
        if (c.length == 0)
            timeline->mtAryItems().first()->setDSlideshowDisplay(c.display);
        timeline->update(c.time);
        EXPECT_NEAR(HLTimelineItemRendering::timelineFadeOutRatio(*timeline), c.fadeOut, 1e-4)
            << c.length << " " << c.time;
        EXPECT_NEAR(HLTimelineItemRendering::renderingAmbientRatio(*timeline), c.ambient, 1e-4)
            << c.length << " " << c.time;
    }
    auto timeline = oneItem(clipOf(4));
    timeline->mtAryItems().first()->renderItems().first()->oTrim()->setBSolo(false);
    timeline->update(2);
    EXPECT_EQ(HLTimelineItemRendering::renderingAmbientRatio(*timeline), 1.0f);
}

TEST_F(PlayersTest, TimelinePlayerPlaysTheClipOnScreen)
{
    const auto clip = importClip(folder, 3.0, true);
    ASSERT_TRUE(clip);
    auto timeline = RenderProject::timeline(0);
    ASSERT_TRUE(timeline->addOutTo({clip}, QString()));
    ASSERT_TRUE(timeline->addOutTo({importPhoto(folder, Qt::red)}, QString()));
    timeline->mtAryItems().first()->renderItems().first()->oTrim()->setDVolume(0.5f);
    auto render = HLTimelineRender::timelineRenderOf(timeline, false, HLRenderSizer::renderSizerOf({64, 48}, 1200),
                                                     HLQuartzPool::quartzPoolOf(0), HLQuartzPool::quartzPoolOf(2));
    auto player = HLTimelinePlayer::timelinePlayerOf(timeline);
    const auto step = [&](float time, bool seek) {
        timeline->update(time);
        render->renderPreview(time, nullptr); // loads the clip as the preview does
        seek ? player->seek(time) : player->update(time);
        player->setVolumeRatio(HLTimelineItemRendering::timelineFadeOutRatio(*timeline));
    };

    step(0.5f, false);
    EXPECT_FALSE(player->oPlayer()) << "not playing yet";
    player->play();
    step(0.5f, false);
    const auto movie = player->oPlayer();
    ASSERT_TRUE(movie);
    EXPECT_EQ(movie, clip->video());
    EXPECT_TRUE(movie->isPlay());
    EXPECT_DOUBLE_EQ(movie->playVolume(), 0.5);
    EXPECT_NEAR(seconds(movie->currentTime()), 0.5, 0.08);

    // A jump puts the sound at the new clip time.
    step(2.0f, true);
    EXPECT_EQ(player->oPlayer(), movie);
    EXPECT_NEAR(seconds(movie->currentTime()), 2.0, 0.08);
    step(2.2f, false);
    EXPECT_NEAR(seconds(movie->currentTime()), 2.2, 0.1);

    // The photo after the clip plays no sound.
    step(timeline->mtAryItems().first()->duration() + 1.0f, false);
    EXPECT_FALSE(player->oPlayer());
    EXPECT_FALSE(movie->isPlay());
    player->pause();
    EXPECT_FALSE(player->bIsPlaying());
}

TEST_F(PlayersTest, AudiolinePlayerPlaysAcrossBoundaries)
{
    auto line = HLAudiolineItem::audioline();
    const auto first = importTone(folder, 1.0);
    const auto second = importTone(folder, 1.0);
    ASSERT_TRUE(first && second);
    line->add({first, second});
    line->arrange();
    const auto clips = line->aryItems();
    ASSERT_EQ(clips.size(), 2u);
    const float cycle = line->repeatPlayingMode();
    ASSERT_GT(cycle, 1.5f);
    const float boundary = clips[0]->dPlayMax();
    for (const auto &clip : clips) {
        clip->oEdit()->setDFadeIn(0);
        clip->oEdit()->setDFadeOut(0);
    }
    clips[0]->oEdit()->setDVolume(0.8f);

    auto player = HLAudiolinePlayer::audiolinePlayerOf(line);
    player->play();
    const auto loaded = [&] {
        return std::make_pair(clips[0]->didLoad(), clips[1]->didLoad());
    };
    player->seek(0.5f);
    EXPECT_EQ(loaded(), std::make_pair(true, false));
    EXPECT_NEAR(clips[0]->oPlayer()->playVolume(), 0.8, 1e-3);
    EXPECT_NEAR(seconds(clips[0]->oPlayer()->currentTime()), 0.5, 0.05);

    player->setVolumeRatio(0.5f);
    player->update(0.6f);
    EXPECT_NEAR(clips[0]->oPlayer()->playVolume(), 0.4, 1e-3);
    const auto movie = clips[0]->oPlayer();

    // Exactly at a clip's end it keeps playing; just after, the next clip takes over.
    player->update(boundary);
    EXPECT_EQ(clips[0]->oPlayer(), movie);
    EXPECT_GT(movie->playVolume(), 0.0);
    player->update(boundary + 0.1f);
    EXPECT_EQ(loaded(), std::make_pair(false, true));

    // The line repeats: the cycle's end keeps the last clip, the time past it plays the first.
    player->update(cycle);
    EXPECT_EQ(loaded(), std::make_pair(false, true));
    player->update(cycle + 0.3f);
    EXPECT_EQ(loaded(), std::make_pair(true, false));
    player->seek(3 * cycle + 0.25f);
    EXPECT_NEAR(seconds(clips[0]->oPlayer()->currentTime()), 0.25, 0.05);

    player->pause();
    EXPECT_EQ(loaded(), std::make_pair(false, false));
}

// A join that falls before the next tick is handed to the mix ahead: the next clip is loaded
// earlier still and waits with its sound decoded, its position held at the start of its kept
// part, and comes in on the join's frame of the mix (not a tick later, and not when its file
// is read at last on a busy machine), while the clip before it ends there and leaves the mix.
// The line's restart is a join like any other.
TEST_F(PlayersTest, AudiolinePlayerHandsJoinsToTheMixAhead)
{
    auto line = HLAudiolineItem::audioline();
    const auto first = importTone(folder, 1.0);
    const auto second = importTone(folder, 1.0);
    ASSERT_TRUE(first && second);
    line->add({first, second});
    line->arrange();
    const auto clips = line->aryItems();
    ASSERT_EQ(clips.size(), 2u);
    for (const auto &clip : clips) {
        clip->oEdit()->setDFadeIn(0);
        clip->oEdit()->setDFadeOut(0);
    }
    const float cycle = line->repeatPlayingMode();
    const ZKAudioEngine &mix = ZKAudioEngine::instance();
    constexpr double kRate = 44100;
    // The mix's clock counts a block once it is mixed, so a voice may be up to a block ahead
    // of it; the silent output mixes 512 frames at a time.
    constexpr qint64 kBlock = 512;
    // The mix runs on the steady clock; a stalled one fails the test instead of hanging it.
    auto mixReaches = [&mix](qint64 frame) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (mix.renderedFrames() < frame) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
        }
        return true;
    };
    auto player = HLAudiolinePlayer::audiolinePlayerOf(line);
    player->play();

    struct Join
    {
        const char *name;
        float tickBefore;
        size_t outgoing, incoming;
    };
    for (const Join &join : {Join{"clip to clip", clips[0]->dPlayMax() - 0.05f, 0, 1},
                             Join{"the line's restart", cycle - 0.05f, 1, 0}}) {
        SCOPED_TRACE(join.name);
        const auto &out = clips[join.outgoing];
        const auto &in = clips[join.incoming];
        player->seek(join.tickBefore - 0.2f);
        ASSERT_TRUE(out->didLoad());
        // A quarter second before its join the next clip is loaded, held silent while its sound
        // is read ahead.
        ASSERT_TRUE(in->didLoad());
        const auto incoming = in->oPlayer();
        const qint64 trimStart = zk_ff_time_from_double(in->oEdit()->dTrimMin());
        const auto readDeadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (incoming->bufferedFrames() == 0)
            ASSERT_LT(std::chrono::steady_clock::now(), readDeadline) << "its sound is never read";
        EXPECT_EQ(incoming->currentTime(), trimStart);

        const qint64 before = mix.renderedFrames();
        player->update(join.tickBefore);
        const qint64 after = mix.renderedFrames();
        ASSERT_EQ(in->oPlayer(), incoming);
        const auto outgoing = out->oPlayer();
        EXPECT_TRUE(incoming->isPlay());
        // The join's frame of the mix lies 0.05 s past the tick, whatever the mix did meanwhile.
        const qint64 earliest = before + qint64(0.05 * kRate), latest = after + qint64(0.05 * kRate);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            // Read before the clock, so that the mix had not reached the join at the read.
            const qint64 position = incoming->currentTime();
            if (mix.renderedFrames() + kBlock >= earliest)
                break;
            ASSERT_EQ(position, trimStart) << "it waits for its frame";
            ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the mix stalled";
        }

        // Well past the join, by the mix's own clock: the incoming clip has played as many
        // frames as the mix made since the join, within what the mix made while read (a tick
        // late it would be some 1470 frames short).
        ASSERT_TRUE(mixReaches(latest + 4410));
        const qint64 from = mix.renderedFrames();
        const double played = (zk_ff_time_to_double(incoming->currentTime() - trimStart)) * kRate;
        const qint64 to = mix.renderedFrames();
        EXPECT_GE(played, double(from - latest) - 1);
        EXPECT_LE(played, double(to + kBlock - earliest) + 1);
        // The outgoing clip has left the mix: its position no longer moves.
        const qint64 stopped = outgoing->currentTime();
        ASSERT_TRUE(mixReaches(to + 2048));
        EXPECT_EQ(outgoing->currentTime(), stopped);

        player->update(join.tickBefore + 0.1f);
        EXPECT_FALSE(out->didLoad());
        EXPECT_EQ(in->oPlayer(), incoming) << "the clip that came in plays on";
    }
    player->pause();
}

} // namespace
