#include "RenderProject.h"
#include "Frameworks/Korvane/ZKTime.h"

#include "Platform/Imaging/Picture.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLRenderPool.h"
#include "SourceHL/Model/Render/HLSlideshowRender.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Render/HLTransitionRender.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "tests/support/MediaFixtures.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QPainter>

#include <functional>
#include <tuple>

using namespace RenderProject;

namespace {

// A 4:3 photo, red on the left half and blue on the right.
QImage halves()
{
    return MediaFixtures::halves(64, 48);
}

class TimelineRenderTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { setUpTemplates(); }
    void SetUp() override { setUpPools(folder); }

    std::shared_ptr<HLTimelineRender> renderOf(const std::shared_ptr<HLTimelineItem> &timeline,
                                               QSizeF size = QSizeF(64, 48), float limit = 1200)
    {
        sizer = HLRenderSizer::renderSizerOf(size, limit);
        return HLTimelineRender::timelineRenderOf(timeline, false, sizer, HLQuartzPool::quartzPoolOf(0),
                                                  HLQuartzPool::quartzPoolOf(2));
    }

    static QImage frameAt(HLTimelineRender &render, float time, HLRenderMode mode)
    {
        return mode == HLRenderModePreview ? render.renderPreview(time, nullptr) : render.renderExport(zk_ff_time_from_double(time));
    }

    TestFolder folder;
    std::shared_ptr<HLRenderSizer> sizer;
};

// Items of two photos (0–11 s and 11–22 s, each picture 5 s, a 1-s dissolve after the first
// item) and a last item of one wide photo (22–26 s).
TEST_F(TimelineRenderTest, FramesShowTheRightPictureInPreviewAndExport)
{
    auto timeline = RenderProject::timeline(2);
    ASSERT_TRUE(timeline->addOutTo({importPhoto(folder, Qt::red), importPhoto(folder, Qt::green),
                                    importPhoto(folder, Qt::blue), importPhoto(folder, Qt::yellow),
                                    importPhoto(folder, Qt::magenta, 64, 32)},
                                   QString()));
    const auto second = timeline->mtAryItems().at(1);
    second->oBackEdit()->setBBackground(true);
    second->oBackEdit()->setClBackSingle(Qt::white);
    second->oBackEdit()->makeDirty();
    timeline->update(0);
    ASSERT_FLOAT_EQ(timeline->dDuration(), 26.0f);

    // Preview limited to 64 × 48, export at the full 128 × 96.
    auto render = renderOf(timeline, QSizeF(128, 96), 64);
    struct Probe
    {
        float time;
        double x, y;
        QColor expected;
    };
    const QColor black(0, 0, 0), mixed(0, 128, 128), greyish(128, 128, 128);
    const std::vector<Probe> probes = {
        {3, 0.5, 0.5, Qt::red},       {3, 0.05, 0.05, black},       // picture over an empty background
        {8, 0.5, 0.5, Qt::green},     {10.5, 0.5, 0.5, mixed},      // half way through the dissolve
        {10.5, 0.05, 0.05, greyish},  {14, 0.5, 0.5, Qt::blue},     // black corner into white background
        {14, 0.05, 0.05, Qt::white},  {19, 0.5, 0.5, Qt::yellow},
        {24, 0.5, 0.5, Qt::magenta},  {24, 0.5, 0.05, black},       // one wide photo, letterboxed
    };
    for (HLRenderMode mode : {HLRenderModePreview, HLRenderModeExport}) {
        for (const Probe &p : probes) {
            const QImage frame = frameAt(*render, p.time, mode);
            ASSERT_FALSE(frame.isNull());
            EXPECT_EQ(frame.size(), mode == HLRenderModePreview ? QSize(64, 48) : QSize(128, 96));
            const QColor seen = probe(frame, p.x, p.y);
            EXPECT_TRUE(near(seen, p.expected, 30))
                << "mode " << mode << " t " << p.time << " (" << p.x << ", " << p.y << "): " << qPrintable(seen.name())
                << " instead of " << qPrintable(p.expected.name());
        }
    }
}

// The template time of an item's very end, summed in single precision, lies a hair past the
// template's own total; the outgoing picture of the transition is taken there and must still show
// the last photo, not black.
TEST_F(TimelineRenderTest, TransitionStartsFromTheLastPicture)
{
    auto timeline = RenderProject::timeline(4, QStringLiteral("ProbeFine"));
    ASSERT_TRUE(timeline->addOutTo({importPhoto(folder, Qt::red), importPhoto(folder, Qt::yellow),
                                    importPhoto(folder, Qt::magenta), importPhoto(folder, Qt::green),
                                    importPhoto(folder, Qt::blue), importPhoto(folder, Qt::cyan)},
                                   QString()));
    timeline->applySlideshowDisplayToAll(2);
    timeline->update(0);
    const auto first = timeline->mtAryItems().at(0);
    const float end = first->slideshowDuration();
    ASSERT_GT(double(first->slideshowMetaTimeAt(end)), 0.5 + 3 + 3 * (1.4 + 3));

    auto render = renderOf(timeline);
    for (HLRenderMode mode : {HLRenderModePreview, HLRenderModeExport}) {
        render->deepClear();
        for (const float time : {end - 0.5f, end + 0.02f, end + 0.1f}) {
            const QImage frame = frameAt(*render, time, mode);
            const QColor seen = probe(frame, 0.5, 0.5);
            EXPECT_TRUE(near(seen, Qt::green, 30))
                << "mode " << mode << " t " << time << ": " << qPrintable(seen.name());
        }
    }
}

TEST_F(TimelineRenderTest, EditsReachThePicture)
{
    struct Case
    {
        const char *name;
        std::function<void(HLRenderItem &)> edit;
        double x;
        QColor expected;
    };
    const std::vector<Case> cases = {
        {"none", [](HLRenderItem &) {}, 0.3, Qt::red},
        {"flip", [](HLRenderItem &item) { item.oRotate()->flipH(); }, 0.3, Qt::blue},
        {"half turn", [](HLRenderItem &item) { item.oRotate()->rotateL(), item.oRotate()->rotateL(); }, 0.3, Qt::blue},
        {"crop", [](HLRenderItem &item) { item.oCrop()->setDRatioW(0.5f), item.oCrop()->setDRatioH(0.5f); }, 0.7, Qt::red},
        {"grey", [](HLRenderItem &item) { item.oEffect()->setDSaturation(0); }, 0.3, QColor(54, 54, 54)},
    };
    const auto photo = importPhoto(folder, halves());
    const auto other = importPhoto(folder, Qt::green);
    for (const Case &c : cases) {
        auto timeline = RenderProject::timeline(2);
        ASSERT_TRUE(timeline->addOutTo({photo, other}, QString()));
        c.edit(*timeline->mtAryItems().first()->renderItems().first());
        auto render = renderOf(timeline);
        for (HLRenderMode mode : {HLRenderModePreview, HLRenderModeExport}) {
            const QColor seen = probe(frameAt(*render, 3, mode), c.x, 0.5);
            EXPECT_TRUE(near(seen, c.expected, 30)) << c.name << " mode " << mode << ": " << qPrintable(seen.name());
        }
    }
}

// Photos above about 33 megapixels need more than Qt's default allocation limit (128 MB), which
// a fresh process starts with: slides and backgrounds of a 48 MP photo must still show.
TEST_F(TimelineRenderTest, LargePhotosShowInPreviewExportAndAsBackground)
{
    const QColor colour(200, 40, 40);
    QImage large(8000, 6000, QImage::Format_RGB32);
    large.fill(colour);
    const auto photo = importPhoto(folder, large, "JPEG");
    large = QImage();
    const auto green = importPhoto(folder, Qt::green);
    ASSERT_TRUE(photo && green);
    // As a program that reopens a project starts: nothing imported, the limit as Qt sets it.
    QImageReader::setAllocationLimit(128);
    HLResourceItem::configureForImage();
    auto timeline = RenderProject::timeline(2);
    ASSERT_TRUE(timeline->addOutTo({photo, green}, QString()));
    const auto back = timeline->mtAryItems().first()->oBackEdit();
    back->setBBackground(true);
    back->setEnBackType(1);
    back->setOBack(photo);
    back->makeDirty();
    auto render = renderOf(timeline, QSizeF(128, 96), 64);
    for (HLRenderMode mode : {HLRenderModePreview, HLRenderModeExport}) {
        for (const auto &[time, x, expected] : {std::tuple{3.0f, 0.5, colour}, std::tuple{3.0f, 0.05, colour},
                                                std::tuple{8.0f, 0.05, colour}, std::tuple{8.0f, 0.5, QColor(Qt::green)}}) {
            const QColor seen = probe(frameAt(*render, time, mode), x, 0.5);
            EXPECT_TRUE(near(seen, expected)) << "mode " << mode << " t " << time << " x " << x << ": "
                                              << qPrintable(seen.name());
        }
    }
}

// A 50 % crop of a photo with fine detail, exported at full size, keeps the detail: the crop is
// read at the size it is drawn, not enlarged from a copy shrunk for the whole photo.
TEST_F(TimelineRenderTest, CroppedPhotosKeepTheirDetailInExport)
{
    // Columns two pixels wide, black and white.
    QImage stripes(1024, 768, QImage::Format_RGB32);
    for (int x = 0; x < stripes.width(); ++x)
        QPainter(&stripes).fillRect(x, 0, 1, stripes.height(), (x / 2) % 2 ? Qt::white : Qt::black);
    auto timeline = RenderProject::timeline(1); // one photo an item: drawn whole over the frame
    ASSERT_TRUE(timeline->addOutTo({importPhoto(folder, stripes)}, QString()));
    const auto item = timeline->mtAryItems().first()->renderItems().first();
    item->oCrop()->setDRatioW(0.5f);
    item->oCrop()->setDRatioH(0.5f);
    item->oCrop()->setDRatioX(0.25f);
    item->oCrop()->setDRatioY(0.25f);
    auto render = renderOf(timeline, QSizeF(512, 384));
    const QImage frame = frameAt(*render, 1, HLRenderModeExport);
    ASSERT_EQ(frame.size(), QSize(512, 384));
    // Neighbouring stripes still differ by most of the range across the middle row.
    int weakest = 255;
    for (int x = 100; x < 400; x += 2) {
        const int a = qGray(frame.pixel(x, 192)), b = qGray(frame.pixel(x + 2, 192));
        weakest = std::min(weakest, std::abs(a - b));
    }
    EXPECT_GT(weakest, 160);
}

TEST_F(TimelineRenderTest, EditsMadeWhilePlayingAreRedrawn)
{
    auto timeline = RenderProject::timeline(2);
    ASSERT_TRUE(timeline->addOutTo({importPhoto(folder, halves()), importPhoto(folder, Qt::green)}, QString()));
    auto render = renderOf(timeline);
    EXPECT_TRUE(near(probe(frameAt(*render, 3, HLRenderModePreview), 0.3, 0.5), Qt::red));
    const auto item = timeline->mtAryItems().first()->renderItems().first();
    item->oRotate()->flipH();
    EXPECT_TRUE(near(probe(frameAt(*render, 3.1f, HLRenderModePreview), 0.3, 0.5), Qt::red))
        << "clean pictures are kept";
    item->makeDirty();
    EXPECT_TRUE(near(probe(frameAt(*render, 3.2f, HLRenderModePreview), 0.3, 0.5), Qt::blue));
}

// An edit shows in the next frame of every renderer over the model, whichever draws first: that
// frame equals what a new renderer draws and differs from the frame before the edit. Items of
// two photos with a border (0–11 s with a dissolve from 10 s, 11–22 s, 22–32 s).
TEST_F(TimelineRenderTest, EditsShowInTheNextFrameOfEveryRenderer)
{
    const HLTimelineItem::ResourceItems photos = {importPhoto(folder, halves()),       importPhoto(folder, Qt::green),
                                                  importPhoto(folder, Qt::red),       importPhoto(folder, Qt::blue),
                                                  importPhoto(folder, Qt::yellow),    importPhoto(folder, Qt::cyan)};
    const auto added = importPhoto(folder, Qt::magenta);
    using Timeline = HLTimelineItem;
    const auto item = [](Timeline &t, int i) { return t.mtAryItems().at(i); };
    const auto slide = [](Timeline &t, int i, int j) { return t.mtAryItems().at(i)->logicRenderItemAt(std::size_t(j)); };
    const auto grey = [](const std::shared_ptr<HLRenderItem> &r) {
        r->oEffect()->setDSaturation(0);
        r->makeDirty();
    };
    const auto whiteBackground = [](const std::shared_ptr<HLSlideshowItem> &i) {
        i->oBackEdit()->setBBackground(true);
        i->oBackEdit()->setClBackSingle(Qt::white);
        i->oBackEdit()->makeDirty();
    };
    struct Case
    {
        const char *name;
        float time;
        std::function<void(Timeline &)> edit;
    };
    const std::vector<Case> cases = {
        {"flip a photo", 3, [&](Timeline &t) { slide(t, 0, 0)->oRotate()->flipH(), slide(t, 0, 0)->makeDirty(); }},
        {"border colour", 3, [&](Timeline &t) {
             item(t, 0)->oRenderEdit()->setClBorderColor(Qt::red);
             item(t, 0)->oRenderEdit()->makeDirty();
         }},
        {"border colour, then the same template again", 3, [&](Timeline &t) {
             item(t, 0)->oRenderEdit()->setClBorderColor(Qt::blue);
             item(t, 0)->oRenderEdit()->makeDirty();
             item(t, 0)->updateSlideshow(slideshowInfo("ProbeFramed"));
         }},
        {"another template", 3, [&](Timeline &t) { item(t, 0)->updateSlideshow(slideshowInfo("Probe")); }},
        {"background", 3, [&](Timeline &t) { whiteBackground(item(t, 0)); }},
        {"a photo removed", 3, [&](Timeline &t) { t.removeFrom({photos[1]->strHashID()}, item(t, 0)->strSSID()); }},
        {"outgoing photo in the transition", 10.5f, [&](Timeline &t) { grey(slide(t, 0, 1)); }},
        {"incoming photo in the transition", 10.5f, [&](Timeline &t) { grey(slide(t, 1, 0)); }},
        {"incoming background in the transition", 10.5f, [&](Timeline &t) { whiteBackground(item(t, 1)); }},
        {"a photo moved to the front of the incoming item", 10.5f, [&](Timeline &t) {
             t.moveInTo({photos[4]->strHashID()}, item(t, 2)->strSSID(), item(t, 1)->strSSID(), photos[2]->strHashID());
         }},
        {"a photo added to the front of the incoming item", 10.5f, [&](Timeline &t) {
             t.addInTo({added}, item(t, 1)->strSSID(), photos[2]->strHashID());
         }},
    };
    for (const Case &c : cases) {
        auto timeline = RenderProject::timeline(2, QStringLiteral("ProbeFramed"));
        ASSERT_TRUE(timeline->addOutTo(photos, QString()));
        auto kept = renderOf(timeline, QSizeF(128, 96));
        auto other = renderOf(timeline, QSizeF(128, 96));
        const QImage before = frameAt(*kept, c.time, HLRenderModePreview);
        frameAt(*other, c.time, HLRenderModePreview);
        c.edit(*timeline);
        const QImage after = frameAt(*kept, c.time, HLRenderModePreview);
        const QImage afterOther = frameAt(*other, c.time, HLRenderModePreview);
        const QImage expected = frameAt(*renderOf(timeline, QSizeF(128, 96)), c.time, HLRenderModePreview);
        EXPECT_FALSE(sameFrame(before, expected)) << c.name << ": the edit is not visible";
        EXPECT_TRUE(sameFrame(after, expected)) << c.name;
        EXPECT_TRUE(sameFrame(afterOther, expected)) << c.name << " (the second renderer)";
    }
}

// A slide whose picture can't be made shows black in its place, in a slot and as a one-picture
// item, in both modes.
TEST_F(TimelineRenderTest, MissingPicturesAreBlack)
{
    const auto lost = importPhoto(folder, Qt::green);
    const auto lone = importPhoto(folder, Qt::blue);
    auto timeline = RenderProject::timeline(2);
    ASSERT_TRUE(timeline->addOutTo({importPhoto(folder, Qt::red), lost, lone}, QString()));
    const auto first = timeline->mtAryItems().at(0);
    first->oBackEdit()->setBBackground(true);
    first->oBackEdit()->setClBackSingle(Qt::white);
    for (const auto &resource : {lost, lone}) {
        QFile::remove(resource->previewPath());
        QFile::remove(resource->sourcePath());
    }
    auto render = renderOf(timeline);
    const QColor black(0, 0, 0);
    for (HLRenderMode mode : {HLRenderModePreview, HLRenderModeExport}) {
        const QImage slot = frameAt(*render, 8, mode);
        EXPECT_TRUE(near(probe(slot, 0.5, 0.5), black)) << mode << ": " << qPrintable(probe(slot, 0.5, 0.5).name());
        EXPECT_TRUE(near(probe(slot, 0.05, 0.05), Qt::white)) << mode;
        const QImage single = frameAt(*render, 13, mode);
        ASSERT_FALSE(single.isNull()) << mode;
        EXPECT_EQ(single.size(), render->frameSizeOf(mode));
        EXPECT_TRUE(near(probe(single, 0.5, 0.5), black)) << mode;
        EXPECT_TRUE(near(probe(single, 0.05, 0.95), black)) << mode;
    }
}

// One photo placed twice with different crops shows both crops.
TEST_F(TimelineRenderTest, EachPlacementHasItsOwnPicture)
{
    const auto photo = importPhoto(folder, halves());
    auto timeline = RenderProject::timeline(2);
    ASSERT_TRUE(timeline->addOutTo({photo, photo}, QString()));
    const auto items = timeline->mtAryItems().first()->renderItems();
    ASSERT_EQ(items.size(), 2);
    items[0]->oCrop()->setDRatioW(0.5f);
    items[1]->oCrop()->setDRatioW(0.5f);
    items[1]->oCrop()->setDRatioX(0.5f);
    auto render = renderOf(timeline);
    for (HLRenderMode mode : {HLRenderModePreview, HLRenderModeExport}) {
        EXPECT_TRUE(near(probe(frameAt(*render, 3, mode), 0.5, 0.5), Qt::red));
        EXPECT_TRUE(near(probe(frameAt(*render, 8, mode), 0.5, 0.5), Qt::blue));
    }
}

// In export the outgoing item's pictures go once the transition has them; a photo that the
// incoming item shows too must still be there for the incoming picture.
TEST_F(TimelineRenderTest, ExportTransitionKeepsWhatTheNextItemShows)
{
    const auto shared = importPhoto(folder, Qt::green);
    auto timeline = RenderProject::timeline(2);
    ASSERT_TRUE(timeline->addOutTo({importPhoto(folder, Qt::red), shared, shared, importPhoto(folder, Qt::blue)},
                                   QString()));
    auto render = renderOf(timeline);
    for (float t = 9.8f; t < 11.0f; t += 0.1f) {
        const QColor seen = probe(frameAt(*render, t, HLRenderModeExport), 0.5, 0.5);
        EXPECT_TRUE(near(seen, Qt::green, 30)) << "t " << t << ": " << qPrintable(seen.name());
    }
    // The frames after the first of the transition take the shortcut: the transition is kept.
    frameAt(*render, 10.4f, HLRenderModeExport);
    const auto transition = render->oTransitionNow();
    ASSERT_TRUE(transition);
    EXPECT_FALSE(render->oSlideshowNow());
    frameAt(*render, 10.5f, HLRenderModeExport);
    EXPECT_EQ(render->oTransitionNow(), transition);
}

TEST_F(TimelineRenderTest, VideoSlidesShowTheFrameOfTheirTime)
{
    const auto clip = importClip(folder, 2.0, false);
    ASSERT_TRUE(clip);
    auto timeline = RenderProject::timeline(2);
    ASSERT_TRUE(timeline->addOutTo({clip, importPhoto(folder, Qt::red)}, QString()));
    const auto item = timeline->mtAryItems().first();
    const ResourceRenderRange range = item->resourceRenderRangeAt(0);
    ASSERT_NEAR(range.dEnd - range.dStart, 2.0f, 0.01f);
    auto render = renderOf(timeline);
    for (HLRenderMode mode : {HLRenderModePreview, HLRenderModeExport}) {
        for (float played : {0.2f, 0.6f, 1.4f}) {
            const QImage frame = frameAt(*render, range.dStart + played, mode);
            // Grey 16 + 4 i in limited range, shown in full range.
            const int grey = probe(frame, 0.5, 0.5).green();
            const int index = qRound((grey * 219.0 / 255.0) / 4.0);
            EXPECT_NEAR(index, played * 25, 2) << "mode " << mode << " at " << played;
        }
        // The clip stays loaded while it plays and is given back when the item is left.
        EXPECT_TRUE(mode == HLRenderModePreview ? clip->bLoadPreview() : clip->bLoadSource());
    }
    frameAt(*render, item->duration() + 0.5f, HLRenderModePreview);
    EXPECT_FALSE(clip->bLoadPreview());
    EXPECT_FALSE(clip->bLoadSource());
}

// Playing a long project through keeps only the pictures of the current and the next item.
TEST_F(TimelineRenderTest, CachesStayBoundedWhilePlaying)
{
    // Photos and, in two items far apart, a clip each, whose decoders stay open while shown.
    HLTimelineItem::ResourceItems photos;
    for (int i = 0; i < 16; ++i)
        photos.append(i == 2 || i == 12 ? importClip(folder, 1, false)
                                        : importPhoto(folder, QColor::fromHsv(i * 22, 255, 255), 16, 12));
    auto timeline = RenderProject::timeline(2);
    ASSERT_TRUE(timeline->addOutTo(photos, QString()));
    // A ten-minute project, played through in both modes: what lies behind is let go.
    timeline->applySlideshowDisplayToAll(40.0f);
    timeline->update(0);
    ASSERT_GE(timeline->dDuration(), 600.0f);
    auto render = renderOf(timeline);
    for (const HLRenderMode mode : {HLRenderModePreview, HLRenderModeExport}) {
        qsizetype most = 0;
        qsizetype mostLoaded = 0;
        for (float t = 0; t < timeline->dDuration(); t += 1.0f) {
            ASSERT_FALSE(frameAt(*render, t, mode).isNull()) << t;
            most = std::max(most, render->oRenderPool()->loadedCacheHashIDs().size());
            mostLoaded = std::max(mostLoaded, timeline->loadedResourceHashIDs().size());
        }
        EXPECT_LE(most, 4) << mode;
        EXPECT_GE(most, 2) << mode;
        EXPECT_EQ(mostLoaded, 1) << mode;
    }
}

TEST_F(TimelineRenderTest, ClearsAreTakenAtTheNextFrame)
{
    auto timeline = RenderProject::timeline(2);
    ASSERT_TRUE(timeline->addOutTo({importPhoto(folder, Qt::red), importPhoto(folder, Qt::green)}, QString()));
    auto render = renderOf(timeline);
    frameAt(*render, 3, HLRenderModePreview);
    const auto kept = render->oSlideshowNow();
    ASSERT_TRUE(kept);
    frameAt(*render, 3.1f, HLRenderModePreview);
    EXPECT_EQ(render->oSlideshowNow(), kept);

    render->deepClear();
    EXPECT_EQ(render->oSlideshowNow(), kept) << "a frame may be running: nothing changes now";
    EXPECT_FALSE(render->oRenderPool()->loadedCacheHashIDs().isEmpty());
    EXPECT_TRUE(near(probe(frameAt(*render, 3.2f, HLRenderModePreview), 0.5, 0.5), Qt::red));
    EXPECT_NE(render->oSlideshowNow(), kept);
}

// Forty shown item indexes of one slideshow item ask the driver, on the main thread, to restart.
TEST_F(TimelineRenderTest, ManyShownPicturesAskForOneRestart)
{
    HLTimelineItem::ResourceItems photos;
    for (int i = 0; i < 42; ++i)
        photos.append(importPhoto(folder, Qt::gray, 8, 6));
    auto timeline = RenderProject::timeline(0);
    ASSERT_TRUE(timeline->addOutTo(photos, QString()));
    timeline->update(0);
    auto render = renderOf(timeline, QSizeF(32, 24));
    int restarts = 0;
    const auto restart = [&restarts, weak = std::weak_ptr<HLTimelineRender>(render)] {
        ++restarts;
        if (const auto r = weak.lock())
            r->shallowClear();
    };
    for (int i = 0; i < 42; ++i)
        render->renderPreview(3.0f + 5.0f * float(i), restart);
    EXPECT_GE(render->oLastIndexes().size(), HLTimelineRender::kRestartIndexCount);
    EXPECT_EQ(restarts, 0) << "the block runs on the main thread, not inside the frame";
    QCoreApplication::processEvents();
    EXPECT_EQ(restarts, 1);
    render->renderPreview(208, restart);
    EXPECT_LT(render->oLastIndexes().size(), 3u);
}

TEST_F(TimelineRenderTest, NothingWithoutDuration)
{
    auto timeline = RenderProject::timeline(2);
    auto render = renderOf(timeline);
    EXPECT_TRUE(render->renderExport(0).isNull());
    EXPECT_EQ(render->enType(), HLRenderModePreview);
    EXPECT_FALSE(HLTimelineRender::timelineRenderOf(nullptr, false, sizer, HLQuartzPool::quartzPoolOf(0),
                                                    HLQuartzPool::quartzPoolOf(2)));
}

} // namespace
