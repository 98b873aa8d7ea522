#include "Platform/Imaging/PhotoCache.h"

#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QImage>

#include <thread>
#include <vector>

namespace {

QString writePhoto(const TestFolder &folder, const QString &name, const QColor &colour, QSize size = {64, 48})
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    const QString path = folder.file(name);
    image.save(path, "PNG");
    return path;
}

} // namespace

// The parallel copies of an export ask for the same photo at once: one decode, one picture.
TEST(PhotoCache, OnePictureForEveryoneAskingTheSame)
{
    TestFolder folder;
    const QString path = writePhoto(folder, "a.png", Qt::red);
    PhotoCache cache(qint64(64) << 20);
    std::vector<qint64> keys(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < keys.size(); ++i)
        threads.emplace_back([&, i] { keys[i] = cache.photo(path, QRect(), QSize(32, 24)).cacheKey(); });
    for (auto &thread : threads)
        thread.join();
    for (qint64 key : keys)
        EXPECT_EQ(key, keys.front());
    // Another part or size is another picture.
    const QImage half = cache.photo(path, QRect(0, 0, 32, 48), QSize(32, 24));
    EXPECT_EQ(half.size(), QSize(16, 24));
    EXPECT_NE(half.cacheKey(), keys.front());
    EXPECT_EQ(cache.photo(path, QRect(), QSize(32, 24)).cacheKey(), keys.front());
}

TEST(PhotoCache, ChangedFilesAreReadAfreshAndFailuresAreNotKept)
{
    TestFolder folder;
    const QString path = writePhoto(folder, "a.png", Qt::red);
    PhotoCache cache(qint64(64) << 20);
    EXPECT_EQ(cache.photo(path, QRect(), QSize()).pixelColor(1, 1), QColor(Qt::red));
    writePhoto(folder, "a.png", Qt::blue, QSize(80, 60));
    EXPECT_EQ(cache.photo(path, QRect(), QSize()).pixelColor(1, 1), QColor(Qt::blue));

    const QString later = folder.file("later.png");
    QString error;
    EXPECT_TRUE(cache.photo(later, QRect(), QSize(), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
    writePhoto(folder, "later.png", Qt::green);
    EXPECT_EQ(cache.photo(later, QRect(), QSize()).pixelColor(1, 1), QColor(Qt::green));
}

TEST(PhotoCache, KeepsTheMostRecentWithinItsBound)
{
    TestFolder folder;
    const QString a = writePhoto(folder, "a.png", Qt::red);
    const QString b = writePhoto(folder, "b.png", Qt::blue);
    PhotoCache cache(64 * 48 * 4); // room for one picture
    const qint64 first = cache.photo(a, QRect(), QSize()).cacheKey();
    EXPECT_EQ(cache.photo(a, QRect(), QSize()).cacheKey(), first);
    const qint64 second = cache.photo(b, QRect(), QSize()).cacheKey();
    EXPECT_EQ(cache.photo(b, QRect(), QSize()).cacheKey(), second);
    EXPECT_NE(cache.photo(a, QRect(), QSize()).cacheKey(), first); // let go, read again
}
