#include "Platform/Composer/Composition.h"
#include "Platform/Composer/CompositionRenderer.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Imaging/Picture.h"
#include "SourceHL/Model/Render/HLIndexesRender.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "SourceHL/Model/Render/HLSlideshowRender.h"
#include "SourceHL/Model/Render/HLTextRender.h"
#include "SourceHL/Model/Render/HLTransitionRender.h"

#include <gtest/gtest.h>

#include <QPainter>

namespace {

std::shared_ptr<const Composition> composition(const QByteArray &json, const SlideTiming &timing = {})
{
    QString error;
    auto c = Composition::fromJson(json, timing, &error);
    EXPECT_TRUE(c) << qPrintable(error);
    return c;
}

// A hard edge: sharpening changes the pixels next to it.
QImage edge()
{
    QImage img(64, 48, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(60, 60, 60));
    QPainter(&img).fillRect(32, 0, 32, 48, QColor(200, 200, 200));
    return img;
}

class HLRenderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HLRenderContextPool &pool = HLRenderContextPool::sharedRenderContextPool();
        pool.updateLimitContextsBy(QSizeF(64, 48));
        pool.updateFreeContextSize(QSizeF(32, 24));
    }
    const QByteArray picture = R"({"format": 1, "layers": [{"type": "picture", "image": "A", "fit": "stretch"}]})";
};

TEST_F(HLRenderTest, ContextSizesComeFromThePool)
{
    HLRenderContextPool &pool = HLRenderContextPool::sharedRenderContextPool();
    EXPECT_EQ(pool.limitContextSizeOf(HLRenderTypeGeneral), QSizeF(16, 16));
    EXPECT_EQ(pool.limitContextSizeOf(HLRenderTypeText), QSizeF(64, 48));
    for (QSizeF bad : {QSizeF(15, 100), QSizeF(100, 15), QSizeF(0, 0)}) {
        try {
            pool.updateLimitContextsBy(bad);
            ADD_FAILURE() << "accepted " << bad.width() << " x " << bad.height();
        } catch (const HLAssertionFailure &e) {
            EXPECT_STREQ(e.what(), "Bad Size");
        }
        EXPECT_THROW(pool.updateFreeContextSize(bad), HLAssertionFailure);
    }
    EXPECT_EQ(pool.szLimit(), QSizeF(64, 48)); // refused sizes are not stored
    pool.updateLimitContextsBy(QSizeF(16, 16));
    EXPECT_EQ(pool.szLimit(), QSizeF(16, 16));

    auto c = composition(picture);
    pool.updateLimitContextsBy(QSizeF(64, 48));
    EXPECT_EQ(HLSlideshowRender::initFreely(false, "S", c)->szSize(), QSizeF(64, 48));
    EXPECT_EQ(HLSlideshowRender::initFreely(true, "S", c)->szSize(), QSizeF(32, 24));
    EXPECT_EQ(HLIndexesRender::initFreely(false, "S", c)->szSize(), QSizeF(16, 16));
    EXPECT_FALSE(HLSlideshowRender::initFreely(false, "S", nullptr));
    EXPECT_FALSE(HLTextRender::initFreely(false, "S", nullptr));
}

TEST_F(HLRenderTest, OnlySlideshowSnapshotsAreSharpened)
{
    auto c = composition(picture);
    CompositionRenderer plain(c, QSize(64, 48));
    plain.setValue("A", edge());
    const QImage raw = plain.render(0);

    auto slideshow = HLSlideshowRender::initFreely(false, "S", c);
    auto transition = HLTransitionRender::initFreely(false, "T", c);
    auto text = HLTextRender::initFreely(false, "X", c);
    EXPECT_TRUE(slideshow->bSharpen());
    EXPECT_FLOAT_EQ(slideshow->dSharpeness(), 0.4f);
    // the pictures a transition blends are slideshow snapshots, sharpened once already
    EXPECT_FALSE(transition->bSharpen());
    EXPECT_FALSE(text->bSharpen());
    for (HLRender *r : {static_cast<HLRender *>(slideshow.get()), static_cast<HLRender *>(transition.get()),
                        static_cast<HLRender *>(text.get())})
        r->setValue("A", edge());
    EXPECT_NE(slideshow->snapshotNSImageAt(0), raw);
    EXPECT_EQ(transition->snapshotNSImageAt(0), raw);
    EXPECT_EQ(text->snapshotNSImageAt(0), raw);
}

TEST_F(HLRenderTest, StillMomentsAreNotSharpenedAgain)
{
    // The picture is still until time 1, then fades; one picture holds for 3 s.
    SlideTiming timing;
    timing.durationS = 3;
    auto c = composition(R"({"format": 1, "layers": [
        {"type": "picture", "image": "Images[0]", "fit": "stretch", "opacity": "Time < 1 ? 1 : 0.5"}]})", timing);
    const QList<Picture> images = {Picture::fromImage(edge())};
    auto fresh = [&](float time) {
        auto r = HLSlideshowRender::initFreely(false, "S", c);
        r->updateImages(images);
        return r->snapshotNSImageAt(time);
    };
    auto r = HLSlideshowRender::initFreely(false, "S", c);
    r->updateImages(images);
    const QImage first = r->snapshotNSImageAt(0.2f);
    r->updateImages(images); // the same pictures again, as every frame hands them
    const QImage still = r->snapshotNSImageAt(0.4f);
    EXPECT_EQ(still.cacheKey(), first.cacheKey()); // the kept result, not sharpened anew
    const QImage moved = r->snapshotNSImageAt(1.5f);
    EXPECT_EQ(moved, fresh(1.5f));
    EXPECT_NE(moved, first);
    EXPECT_EQ(r->snapshotNSImageAt(0.2f), first); // drawn again, same pixels
    // Other pictures, or another strength, are sharpened anew.
    QImage other = edge();
    other.fill(Qt::white);
    r->updateImages({Picture::fromImage(other)});
    EXPECT_NE(r->snapshotNSImageAt(0.2f), first);
    r->updateImages(images);
    r->setDSharpeness(1.5f);
    const QImage stronger = r->snapshotNSImageAt(0.2f);
    EXPECT_NE(stronger, first);
    EXPECT_EQ(r->iRepeat(), 6);
}

TEST_F(HLRenderTest, SlideshowSnapshotsAreCounted)
{
    auto r = HLSlideshowRender::initFreely(false, "S", composition(picture));
    r->snapshotNSImageAt(0);
    r->snapshotNSImageAt(0);
    EXPECT_EQ(r->iRepeat(), 2);
    for (int k = 2; k < 99; ++k)
        r->snapshotNSImageAt(float(k));
    EXPECT_FALSE(r->repeatOver(100));
    r->snapshotNSImageAt(0);
    EXPECT_TRUE(r->repeatOver(100));

    EXPECT_FALSE(r->hasBackground());
    r->updateBackground(Picture::fromImage(edge()));
    EXPECT_TRUE(r->hasBackground());
    r->updateImages({Picture::fromImage(edge())});
    r->clear();
    EXPECT_FALSE(r->hasBackground());
    EXPECT_FALSE(r->value("Images").isValid());
}

TEST_F(HLRenderTest, TransitionFlagsFollowThePictures)
{
    auto r = HLTransitionRender::initFreely(false, "T", composition(R"({"format": 1, "layers": [
        {"type": "picture", "image": "ImageA"}, {"type": "picture", "image": "ImageB", "opacity": "Time"}]})"));
    r->updateImageA(Picture::fromImage(edge()));
    r->updateImageB(Picture::fromImage(edge()));
    EXPECT_TRUE(r->bHasImageA());
    EXPECT_TRUE(r->bHasImageB());
    r->updateImageA(Picture());
    EXPECT_FALSE(r->bHasImageA());
    EXPECT_FALSE(r->value("ImageA").isValid());
    r->updateImageA(Picture::fromImage(QImage())); // a null picture is no picture
    EXPECT_FALSE(r->bHasImageA());
    r->updateBackground(Picture::fromImage(edge()));
    r->updateImageA(Picture::fromImage(edge()));
    r->clear();
    EXPECT_FALSE(r->bHasImageA());
    EXPECT_FALSE(r->bHasImageB());
    EXPECT_FALSE(r->hasBackground());
}

TEST_F(HLRenderTest, IndexQueriesAnswerTheDrawnEntries)
{
    auto r = HLIndexesRender::initFreely(false, "I", composition(R"({"format": 1, "layers": [
        {"type": "picture", "image": "Images[0]"}, {"type": "picture", "image": "Images[2]"},
        {"type": "picture", "image": "Images[5]"}]})")->indexComposition());
    EXPECT_EQ(r->indexSetAt(0, 3), (std::set<std::size_t>{0, 2})); // entries beyond the count are not asked for
    EXPECT_EQ(r->indexSetAt(0, 6), (std::set<std::size_t>{0, 2, 5}));
    auto none = HLIndexesRender::initFreely(false, "I", composition(R"({"format": 1})"));
    EXPECT_TRUE(none->indexSetAt(0, 3).empty());
}

TEST_F(HLRenderTest, TextPortsReachTheTemplate)
{
    auto r = HLTextRender::initFreely(false, "X", composition(R"({"format": 1, "layers": [
        {"type": "fill", "color": "$FontColor", "rect": ["X - 0.25", "0.75 - Y", 0.5, 0.5],
         "opacity": "Time >= MoveIn && Time <= MoveOut ? 1 : 0"}]})"));
    r->updateContent("Title");
    r->updateFontName("DejaVu Sans");
    r->updateFontSize(60);
    r->updateFontColor(Qt::red);
    r->updateMoveIn(0.2);
    r->updateMoveOut(0.8);
    r->updateX(0.25);
    r->updateY(0.75); // y up: the upper left quarter
    const QImage img = r->snapshotNSImageAt(0.5);
    EXPECT_EQ(QColor::fromRgba(img.pixel(10, 10)), QColor(Qt::red));
    EXPECT_EQ(qAlpha(img.pixel(50, 40)), 0);
    EXPECT_EQ(qAlpha(r->snapshotNSImageAt(0.1).pixel(10, 10)), 0);
    r->clear();
    EXPECT_FALSE(r->value("Content").isValid());
    EXPECT_FALSE(r->value("FontColor").isValid());
}

} // namespace
