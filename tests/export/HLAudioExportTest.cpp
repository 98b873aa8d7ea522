#include "export/HLAudiolineItem+AudioExport.h"
#include "export/HLTimelineItem+AudioExport.h"
#include "export/VEExportHandOff.h"
#include "export/VETimelineAudioItem.h"
#include "export/VETimelineAudioItemExport.h"
#include "ExportProject.h"
#include "ExportTestSources.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKSegmentMovieFade.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLTimelineItemRendering.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <gtest/gtest.h>

namespace {

const qint64 tb = zk_default_time_base();

qint64 ticksOf(float seconds)
{
    return qint64(seconds * float(tb));
}

int nextHash = 500;

std::shared_ptr<HLResourceItem> resource(HLResourceType kind, float duration)
{
    const QString hash = QString::number(nextHash++);
    const QString key = kind == HLResourceTypeAudio ? "TA" : kind == HLResourceTypeVideo ? "TV" : "TI";
    return std::make_shared<HLResourceItem>(kind, key + hash, hash,
                                            QVariantMap{{"Name", "media" + hash},
                                                        {"Format", "mp4"},
                                                        {"Duration", duration},
                                                        {"Resolution", QSizeF(64, 48)}});
}

class HLAudioExport : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ExportProject::setUpTemplates(); }
};

TEST_F(HLAudioExport, PhotosOnlyAndAnEmptyLineGiveNothing)
{
    const auto timeline = ExportProject::timeline();
    ASSERT_TRUE(timeline->addOutTo({resource(HLResourceTypeImage, 0), resource(HLResourceTypeImage, 0)}, QString()));
    EXPECT_TRUE(exportAudios(*timeline).empty());
    EXPECT_TRUE(HLTimelineItemRendering::renderingSoloRangers(*timeline).empty());
    EXPECT_TRUE(exportAudios(*HLAudiolineItem::audioline()).empty());

    const auto movie = exportMovieOf(QSizeF(64, 48), *timeline, *HLAudiolineItem::audioline(), nullptr);
    EXPECT_TRUE(movie->audioExport()->audios().empty());
    EXPECT_TRUE(movie->audioExport()->audioFades().isEmpty());
    EXPECT_EQ(movie->duration(), ticksOf(timeline->dDuration()));
    EXPECT_EQ(movie->fadeOut(), 3 * tb);
}

TEST_F(HLAudioExport, EveryVideoClipSoundsWhereItPlaysAndSoloClipsDuckTheMusic)
{
    const auto timeline = ExportProject::timeline();
    const auto loud = resource(HLResourceTypeVideo, 8);
    const auto quiet = resource(HLResourceTypeVideo, 5);
    ASSERT_TRUE(timeline->addOutTo({resource(HLResourceTypeImage, 0), loud, quiet}, QString()));
    timeline->update(0);
    const auto items = timeline->aryItems();
    const auto loudTrim = items[1]->renderItems()[0]->oTrim();
    loudTrim->setDTrimMin(1.0f);
    loudTrim->setDTrimMax(7.5f);
    loudTrim->setDVolume(0.5f);
    items[2]->renderItems()[0]->oTrim()->setBSolo(false);
    timeline->update(0);

    const auto audios = exportAudios(*timeline);
    ASSERT_EQ(audios.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        const auto slideshow = items[qsizetype(i) + 1];
        const ResourceRenderRange range = slideshow->resourceRenderRangeAt(0);
        const float offset = timeline->slideshowOffsetOf(slideshow);
        EXPECT_EQ(audios[i]->start(), ticksOf(offset + range.dStart));
        EXPECT_EQ(audios[i]->duration(), ticksOf(range.dEnd - range.dStart));
        EXPECT_FALSE(audios[i]->loop());
        EXPECT_FALSE(audios[i]->applyAudioFade());
        EXPECT_EQ(audios[i]->fadeOut(), 0);
        EXPECT_FALSE(audios[i]->audioMovie()); // opened only when it sounds
        EXPECT_TRUE(audios[i]->loadAudio());
    }
    EXPECT_NEAR(audios[0]->duration(), 6.5 * tb, 10);

    const auto rangers = HLTimelineItemRendering::renderingSoloRangers(*timeline);
    ASSERT_EQ(rangers.size(), 1u);
    EXPECT_EQ(rangers[0].dMin(), timeline->slideshowOffsetOf(items[1]) + items[1]->resourceRenderRangeAt(0).dStart);
    EXPECT_EQ(rangers[0].dMax(), timeline->slideshowOffsetOf(items[1]) + items[1]->resourceRenderRangeAt(0).dEnd);

    // The hand-off puts the clips' sound before the music and ducks inside the solo range.
    const auto line = HLAudiolineItem::audioline();
    line->add({resource(HLResourceTypeAudio, 30)});
    const auto movie = exportMovieOf(QSizeF(64, 48), *timeline, *line, nullptr);
    const auto mixed = movie->audioExport()->audios();
    ASSERT_EQ(mixed.size(), 3u);
    EXPECT_EQ(mixed[0]->start(), audios[0]->start());
    EXPECT_EQ(mixed[1]->start(), audios[1]->start());
    EXPECT_FALSE(mixed[0]->applyAudioFade());
    EXPECT_FALSE(mixed[1]->applyAudioFade());
    EXPECT_TRUE(mixed[2]->applyAudioFade());
    EXPECT_TRUE(mixed[2]->loop());
    const auto fades = movie->audioExport()->audioFades();
    ASSERT_EQ(fades.size(), 3);
    EXPECT_EQ(fades[0]->fadeStart(), ticksOf(rangers[0].dMin()));
    EXPECT_EQ(fades[2]->fadeStop(), ticksOf(rangers[0].dMax()));
}

TEST_F(HLAudioExport, LoadingAClipOpensItsTrimmedFileWithItsVolume)
{
    TestFolder folder;
    ExportProject::setUpPools(folder);
    const auto clip = ExportProject::importClip(folder, 2.0, 882);
    ASSERT_TRUE(clip);
    const auto timeline = ExportProject::timeline();
    ASSERT_TRUE(timeline->addOutTo({clip}, QString()));
    const auto trim = timeline->aryItems()[0]->renderItems()[0]->oTrim();
    trim->setDTrimMin(0.5f);
    trim->setDTrimMax(1.75f);
    trim->setDVolume(1.5f);
    timeline->update(0);

    const auto audios = exportAudios(*timeline);
    ASSERT_EQ(audios.size(), 1u);
    audios[0]->loadAudio()();
    const auto segment = audios[0]->audioMovie();
    ASSERT_TRUE(segment);
    EXPECT_EQ(segment->start(), ticksOf(0.5f));
    EXPECT_EQ(segment->stop(), ticksOf(1.75f));
    const auto file = std::dynamic_pointer_cast<ZKFFMovie>(segment->ffmovie());
    ASSERT_TRUE(file);
    EXPECT_DOUBLE_EQ(file->volume(), 1.5);
}

struct LineCase
{
    const char *name;
    qint64 type;
    float clipSeconds;
    bool loop;
    float fadeOutSeconds;
};

class HLAudiolineExport : public ::testing::TestWithParam<LineCase>
{
};

TEST_P(HLAudiolineExport, ClipsFollowThePlayMode)
{
    const LineCase &c = GetParam();
    const auto line = HLAudiolineItem::audioline();
    line->add({resource(HLResourceTypeAudio, c.clipSeconds), resource(HLResourceTypeAudio, 4)});
    line->setEnType(c.type);
    line->aryItems()[0]->updatePlayMin(1.0f, 1.0f + c.clipSeconds);
    const auto audios = exportAudios(*line);
    ASSERT_EQ(audios.size(), 2u);
    const auto &first = audios[0];
    EXPECT_EQ(first->start(), ticksOf(1.0f));
    EXPECT_EQ(first->duration(), ticksOf(1.0f + c.clipSeconds) - ticksOf(1.0f));
    EXPECT_EQ(first->loop(), c.loop);
    EXPECT_EQ(first->loopInterval(), c.loop ? ticksOf(c.clipSeconds + 4) : 0);
    EXPECT_EQ(first->fadeOut(), ticksOf(c.fadeOutSeconds));
    EXPECT_TRUE(first->applyAudioFade());
    EXPECT_FALSE(first->loadAudio());
}

INSTANTIATE_TEST_SUITE_P(Modes, HLAudiolineExport,
                         ::testing::Values(LineCase{"RepeatAll", 0, 10, true, 0}, LineCase{"CustomShort", 1, 2, false, 2},
                                           LineCase{"CustomLong", 1, 10, false, 3}, LineCase{"UnknownTypeIgnored", 2, 10, true, 0}),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace

namespace {

// Video clips without transitions between them touch: the music stays down across their join
// in the preview as in the export. The export's factor is read from its mixer at the start of
// each request, mixing a constant music clip of 0.5.
TEST_F(HLAudioExport, PreviewAndExportDuckTheMusicAlike)
{
    auto timeline = ExportProject::timeline();
    ASSERT_TRUE(timeline->addOutTo({resource(HLResourceTypeVideo, 5), resource(HLResourceTypeVideo, 4),
                                    resource(HLResourceTypeImage, 0), resource(HLResourceTypeVideo, 7),
                                    resource(HLResourceTypeVideo, 2), resource(HLResourceTypeVideo, 3)},
                                   QString()));
    const auto items = timeline->aryItems();
    for (const auto &item : items)
        item->setBHasTransition(false);
    items[5]->renderItems()[0]->oTrim()->setBSolo(false);
    timeline->update(0);
    const auto rangers = HLTimelineItemRendering::renderingSoloRangers(*timeline);
    ASSERT_EQ(rangers.size(), 4u);
    ASSERT_EQ(rangers[0].dMax(), rangers[1].dMin()) << "touching";

    const float length = timeline->dDuration();
    auto music = std::make_shared<VETimelineAudioItem>();
    music->setDuration(zk_ff_time_from_double(length));
    music->setApplyAudioFade(true);
    music->setAudioMovie(ZKSegmentMovie::movieWithFFmovie(std::make_shared<WaveSource>(length, WaveSource::constant(0.5f))));
    const auto mixer = exportMovieOf(QSizeF(64, 48), *timeline, *HLAudiolineItem::audioline(), nullptr)->audioExport();
    mixer->setAudios({music});
    mixer->setCurrentTime(0);
    std::vector<float> buffer(2 * 1024);
    int dips = 0;
    for (qint64 frame = 0; frame + 1024 < qint64(length * 44100); frame += 1024) {
        ASSERT_TRUE(mixer->readSample(buffer.data(), 0, 1024));
        const float time = float(frame) / 44100;
        timeline->update(time);
        const float preview = HLTimelineItemRendering::renderingAmbientRatio(*timeline);
        ASSERT_NEAR(buffer[0], 0.5f * preview, 1e-3) << "at " << time << " s";
        dips += preview < 0.5f;
    }
    EXPECT_GT(dips, 0);
}

} // namespace
