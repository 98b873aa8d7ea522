#include "RenderProject.h"

#include "Platform/Foundation/HLAssert.h"
#include "Platform/Imaging/Picture.h"
#include "SourceHL/Model/Render/HLRenderCache.h"
#include "SourceHL/Model/Render/HLRenderPool.h"
#include "SourceHL/Model/Render/HLSlideshowItemRenderCache.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <gtest/gtest.h>

namespace {

std::shared_ptr<HLRenderItem> photoItem(const QString &hash)
{
    return HLRenderItem::renderItemOf(std::make_shared<HLResourceItem>(
        HLResourceTypeImage, "TI" + hash, hash, QVariantMap{{"Resolution", QSizeF(4, 3)}}));
}

std::shared_ptr<HLRenderItem> clipItem(const QString &hash)
{
    return HLRenderItem::renderItemOf(std::make_shared<HLResourceItem>(
        HLResourceTypeVideo, "TV" + hash, hash, QVariantMap{{"Duration", 4.0f}, {"Resolution", QSizeF(4, 3)}}));
}

std::shared_ptr<HLRenderCache> entryOf(const std::shared_ptr<HLRenderItem> &item, qint64 time = 0,
                                       bool dirty = false, quint64 generation = 0)
{
    auto cache = HLRenderCache::renderCacheOf(item);
    cache->setBIsResourceVideo(item->oResource()->isVideo());
    cache->setBIsResidentVideo(item->oResource()->isVideo());
    cache->setDLastRenderTime(time);
    cache->setBIsCacheDirty(dirty);
    cache->setIGeneration(generation);
    return cache;
}

// Counts the tasks it makes and the times they run.
struct Maker
{
    int made = 0;
    int ran = 0;
    QList<bool> resident;
    HLRenderPool::TaskMaker block()
    {
        return [this](const HLRenderCache &cache) -> HLRenderCache::Task {
            ++made;
            resident.append(cache.bIsResidentVideo());
            return [this, id = cache.strCacheID()] {
                ++ran;
                QImage picture(1, 1, QImage::Format_ARGB32_Premultiplied);
                picture.setText("id", id);
                return Picture::fromImage(picture);
            };
        };
    }
};

TEST(HLRenderPoolTest, PicturesAreCarriedOverOrRemade)
{
    const auto photo = photoItem("1");
    const auto clip = clipItem("2");
    HLRenderPool pool;
    Maker maker;
    pool.syncWith({entryOf(photo), entryOf(clip, 500000)}, maker.block());
    EXPECT_EQ(maker.resident, QList<bool>({false, true}));
    pool.renderContent();
    EXPECT_EQ(maker.ran, 2);

    // A clean photo and a clip at the same time keep their pictures; tasks do not run again.
    pool.syncWith({entryOf(photo), entryOf(clip, 500000)}, maker.block());
    pool.renderContent();
    EXPECT_EQ(maker.made, 2);
    EXPECT_EQ(maker.ran, 2);

    // Another clip time and a dirty photo get new tasks; the resident request goes once.
    auto moved = entryOf(clip, 540000);
    pool.syncWith({entryOf(photo, 0, true), moved}, maker.block());
    EXPECT_EQ(maker.made, 4);
    EXPECT_FALSE(moved->bIsResidentVideo());
    EXPECT_FALSE(moved->bIsCacheDirty());
    EXPECT_EQ(pool.contentOf(HLRenderCache::cacheIDOf(*clip)).image().text("id"), HLRenderCache::cacheIDOf(*clip));

    // A newer edit generation is a new picture; the same one again is kept.
    pool.syncWith({entryOf(photo, 0, false, 7)}, maker.block());
    EXPECT_EQ(maker.made, 5);
    pool.syncWith({entryOf(photo, 0, false, 7)}, maker.block());
    EXPECT_EQ(maker.made, 5);

    // Entries not listed are released; unknown keys change nothing.
    pool.syncWith({entryOf(photo, 0, false, 7)}, maker.block());
    EXPECT_EQ(pool.loadedCacheHashIDs().size(), 1);
    EXPECT_TRUE(pool.contentOf(HLRenderCache::cacheIDOf(*clip)).isNull());
    pool.clearBy({"nothing"});
    EXPECT_EQ(pool.loadedCacheHashIDs().size(), 1);
    pool.clear();
    EXPECT_TRUE(pool.loadedCacheHashIDs().isEmpty());
}

TEST(HLRenderPoolTest, TaskThatMakesNothingDoesNotBreakTheEntry)
{
    auto cache = entryOf(photoItem("3"));
    EXPECT_THROW(cache->cacheContent(), HLAssertionFailure);
    int runs = 0;
    cache->updateRenderTask([&runs] {
        ++runs;
        return Picture();
    });
    EXPECT_TRUE(cache->cacheContent().isNull());
    EXPECT_NO_THROW(cache->cacheContent());
    EXPECT_EQ(runs, 1);
    EXPECT_FALSE(HLRenderCache::renderCacheOf(nullptr));
}

TEST(HLRenderPoolTest, SlideshowEntriesAndImages)
{
    RenderProject::setUpTemplates();
    auto timeline = RenderProject::timeline(0);
    const auto a = photoItem("10")->oResource();
    const auto b = photoItem("11")->oResource();
    ASSERT_TRUE(timeline->addOutTo({a, b, a}, QString()));
    const auto item = timeline->mtAryItems().first();
    // Three placements, two of one photo: three entries, each placement its own.
    const auto caches = HLSlideshowItemRenderCache::renderCachesAt(*item, 0, {0, 1, 2});
    ASSERT_EQ(caches.size(), 3);
    EXPECT_EQ(caches[0]->strHashID(), caches[2]->strHashID());
    EXPECT_NE(caches[0]->strCacheID(), caches[2]->strCacheID());
    const QStringList images = HLSlideshowItemRenderCache::renderImages(*item, {0, 2});
    EXPECT_EQ(images, QStringList({caches[0]->strCacheID(), QString(), caches[2]->strCacheID()}));

    // Each entry carries the edit generation of its placement and of the item's frame.
    caches[1]->oRenderItem()->makeDirty();
    const auto edited = HLSlideshowItemRenderCache::renderCachesAt(*item, 0, {0, 1, 2});
    EXPECT_EQ(edited[0]->iGeneration(), caches[0]->iGeneration());
    EXPECT_GT(edited[1]->iGeneration(), caches[1]->iGeneration());
    item->oRenderEdit()->makeDirty();
    const auto framed = HLSlideshowItemRenderCache::renderCachesAt(*item, 0, {0, 1, 2});
    for (qsizetype i = 0; i < framed.size(); ++i)
        EXPECT_GT(framed[i]->iGeneration(), edited[i]->iGeneration()) << i;
}

} // namespace
