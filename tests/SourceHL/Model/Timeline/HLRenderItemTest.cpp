#include "Platform/Imaging/Picture.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "TimelineFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QPainter>

using namespace TimelineFixtures;

namespace {

TEST(HLRenderItem, SizesLengthsEqualityAndCopy)
{
    auto still = HLRenderItem::renderItemOf(photo("1", 1920, 1080));
    EXPECT_EQ(HLRenderItem::renderItemOf(nullptr), nullptr);
    EXPECT_EQ(still->oTrim(), nullptr);
    EXPECT_EQ(still->renderDisplayDuration(), 0);
    EXPECT_EQ(still->renderDisplaySize(), QSizeF(1920, 1080));
    still->oRotate()->rotateL();
    EXPECT_EQ(still->renderDisplaySize(), QSizeF(1080, 1920));
    EXPECT_FLOAT_EQ(still->renderDisplayRatio(), 0.5625f);

    auto movie = HLRenderItem::renderItemOf(clip("2", 9));
    ASSERT_TRUE(movie->oTrim());
    movie->oTrim()->setDTrimMin(1.5f);
    EXPECT_EQ(movie->renderDisplayDuration(), 7.5f);
    EXPECT_EQ(HLRenderItem::renderItemOf(clip("3", 0))->oTrim(), nullptr);
    EXPECT_EQ(HLRenderItem::renderItemOf(clip("3", 0))->renderDisplayDuration(), 0);

    auto a = HLRenderItem::renderItemOf(photo("5"));
    auto b = HLRenderItem::renderItemOf(photo("5"));
    EXPECT_TRUE(a->isEqual(*b));
    b->oEffect()->setDHue(1.5f);
    EXPECT_FALSE(a->isEqual(*b));
    EXPECT_FALSE(a->isEqual(*HLRenderItem::renderItemOf(photo("6"))));
    EXPECT_FALSE(movie->isEqual(*HLRenderItem::renderItemOf(photo("2"))));

    a->makeDirty();
    auto copy = a->copy();
    EXPECT_TRUE(copy->isEqual(*a));
    EXPECT_EQ(copy->iDirtyGeneration(), 0u);
    EXPECT_EQ(copy->oResource(), a->oResource());
    copy->oCrop()->setDRatioW(0.5f);
    EXPECT_EQ(a->oCrop()->dRatioW(), 1.0f);
    auto movieCopy = movie->copy();
    EXPECT_TRUE(movieCopy->isEqual(*movie));
    movieCopy->oTrim()->setDTrimMax(5);
    EXPECT_FALSE(movieCopy->isEqual(*movie));
}

// Photos kept on disk the way an import keeps them, for the picture requests.
class RenderItemPictures : public ::testing::Test
{
protected:
    void SetUp() override
    {
        HLResourceItem::configureForImage();
        const QString images = m_folder.file(QStringLiteral("Images"));
        HLResourcePool::update(images, HLResourceSourceTemp, HLResourceTypeImage);
        QDir().mkpath(images + "/4242");
        QImage image(400, 300, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter(&image).fillRect(150, 0, 100, 300, Qt::red); // the middle band
        ASSERT_TRUE(image.save(images + "/4242/Source", "PNG"));
        m_resource = photo("4242", 400, 300);
    }

    TestFolder m_folder;
    std::shared_ptr<HLResourceItem> m_resource;
};

// A panorama exceeds its place in one direction only: in preview too it comes reduced to the
// place's width, not at its full size for every later step (framing it on a 4:3 canvas of its
// own width alone would fill a picture hundreds of megabytes large).
TEST_F(RenderItemPictures, PanoramasComeReducedToTheirPlace)
{
    const QString folder = m_folder.file(QStringLiteral("Images/4343"));
    QDir().mkpath(folder);
    QImage image(6000, 100, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(folder + "/Source", "PNG"));
    auto item = HLRenderItem::renderItemOf(photo("4343", 6000, 100));
    for (HLRenderMode mode : {HLRenderModePreview, HLRenderModeExport}) {
        SCOPED_TRACE(mode);
        const QSizeF size = item->originalImage(mode, 0, QSizeF(600, 450), false).extent().size();
        EXPECT_LE(size.width(), 600 * 1.2);
        EXPECT_NEAR(size.width() / size.height(), 60, 6); // its shape kept
    }
}

TEST_F(RenderItemPictures, PictureRequestsAndLoads)
{
    auto item = HLRenderItem::renderItemOf(m_resource);
    // Export: the limit is shaped to the picture (90 × 67.5) and enlarged by 1.2.
    const Picture source = item->originalImage(HLRenderModeExport, 0, QSizeF(120, 67.5), false);
    EXPECT_EQ(source.extent().size(), QSizeF(108, 81));
    EXPECT_FALSE(m_resource->bLoadSource());
    // Preview: limited inside the limit as it is.
    const Picture preview = item->originalImage(HLRenderModePreview, 0, QSizeF(120, 67.5), true);
    EXPECT_EQ(preview.extent().size(), QSizeF(90, 67));
    EXPECT_TRUE(m_resource->bLoadPreview());
    item->originalImage(HLRenderModePreview, 0, QSizeF(120, 67.5), true);
    item->originalImage(HLRenderModePreview, 0, QSizeF(120, 67.5), false);
    EXPECT_TRUE(m_resource->bLoadPreview());
    // Large pictures come back unreduced.
    EXPECT_EQ(item->originalImage(HLRenderModePreview, 0, QSizeF(1200, 900), false).extent().size(),
              QSizeF(400, 300));

    auto timeline = HLTimelineItem::timelineOf(0);
    timeline->setupSlideshow([] { return slideshowTemplate(); }, [] { return transitionTemplate(); });
    timeline->addOutTo({photo("7")}, QString());
    timeline->mtAryItems().first()->add({item});
    EXPECT_EQ(timeline->loadedResourceHashIDs(), QStringList({"4242"}));
    timeline->syncLoad({"4242"});
    EXPECT_TRUE(m_resource->bLoadPreview());
    // However often the renderer asked, one release lets go.
    timeline->syncLoad({});
    EXPECT_FALSE(m_resource->bLoadPreview());
    EXPECT_TRUE(timeline->loadedResourceHashIDs().isEmpty());
}

TEST_F(RenderItemPictures, EditedPreviewAndBackgroundPicture)
{
    auto item = HLRenderItem::renderItemOf(m_resource);
    item->oRotate()->rotateL();
    const QImage turned = item->editedPreviewImageAt(0);
    EXPECT_EQ(turned.size(), QSize(300, 400));
    EXPECT_EQ(turned.pixelColor(150, 200), QColor(Qt::red)); // the band now runs across
    EXPECT_EQ(turned.pixelColor(150, 20), QColor(Qt::white));
    EXPECT_TRUE(m_resource->bLoadPreview());
    item->releaseLoaded();
    EXPECT_FALSE(m_resource->bLoadPreview());

    auto back = HLBackEditSlideshow::backEdit();
    back->setBBackground(true);
    back->setEnBackType(1);
    back->setOBack(m_resource);
    // The middle 400 × 225 band, reduced to cover 128 × 72.
    const QImage background = back->backgroundOf(QSizeF(128, 72));
    EXPECT_EQ(background.size(), QSize(128, 72));
    EXPECT_EQ(background.pixelColor(64, 36), QColor(Qt::red));
    EXPECT_EQ(background.pixelColor(5, 36), QColor(Qt::white));
    EXPECT_FALSE(m_resource->bLoadSource());
    EXPECT_EQ(back->previewImage().size(), QSize(400, 300));
    EXPECT_FALSE(m_resource->bLoadPreview());
}

} // namespace
