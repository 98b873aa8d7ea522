#include "SourceHL/Model/Resource/HLResourceItem.h"

#include "tests/support/MediaFixtures.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "tests/support/ForgedRecord.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace MediaFixtures;

namespace {

class HLResourceItemTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        HLResourceItem::configureForAudio();
        HLResourceItem::configureForVideo();
        HLResourceItem::configureForImage();
        HLResourceItem::registerCoding();
    }

    void SetUp() override
    {
        HLResourcePool::update(folder.file("Audios"), HLResourceSourceTemp, HLResourceTypeAudio);
        HLResourcePool::update(folder.file("Videos"), HLResourceSourceTemp, HLResourceTypeVideo);
        HLResourcePool::update(folder.file("Images"), HLResourceSourceTemp, HLResourceTypeImage);
        QDir().mkpath(folder.file("in"));
    }

    void TearDown() override
    {
        for (HLResourceType kind : {0, 1, 2})
            HLResourcePool::update(QString(), HLResourceSourceTemp, kind);
    }

    QString input(const QString &name) const { return folder.file("in/" + name); }

    // Imports as the main window does: the pool places the file, the kind makes the item.
    std::shared_ptr<HLResourceItem> import(HLResourceType kind, const QString &path, QString *reason = nullptr)
    {
        const auto pool = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, kind);
        return pool->addResourceFrom(
            path,
            [](HLResourceType type, const QString &identifier, const QString &hash, const QString &placed,
               QString *why) { return HLResourceItem::itemOf(type, identifier, hash, placed, why); },
            reason);
    }

    QStringList filesOf(const std::shared_ptr<HLResourceItem> &item) const
    {
        return QDir(HLResourcePool::resourceDirOf(item->strResourceID())).entryList(QDir::Files, QDir::Name);
    }

    bool poolIsEmpty(HLResourceType kind) const
    {
        const auto pool = HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, kind);
        return QDir(pool->strDir()).isEmpty();
    }

    TestFolder folder;
};

struct PhotoCase
{
    const char *name;
    const char *format; // Qt writer, "HEIC" or "GIF" (ffmpeg)
};

class HLResourceItemPhotos : public HLResourceItemTest, public ::testing::WithParamInterface<PhotoCase>
{
};

TEST_P(HLResourceItemPhotos, ImportsEveryFormat)
{
    const PhotoCase c = GetParam();
    const QString path = input(c.name);
    const QImage picture = halves(64, 48);
    if (QByteArray(c.format) == "HEIC") {
        if (!writeHeic(path, picture))
            GTEST_SKIP() << "no HEVC encoder in this libheif";
    } else if (QByteArray(c.format) == "GIF") {
        ASSERT_TRUE(runFFmpeg({"-f", "lavfi", "-i", "color=red:size=64x48", "-frames:v", "1", "-f", "gif", path}));
    } else {
        ASSERT_TRUE(writeImage(path, picture, c.format));
    }
    EXPECT_TRUE(HLResourceItem::isKindOfImage(path));

    QString reason;
    const auto item = import(HLResourceTypeImage, path, &reason);
    ASSERT_NE(item, nullptr) << reason.toStdString();
    const QFileInfo info(path);
    EXPECT_EQ(item->imageName(), info.completeBaseName());
    EXPECT_EQ(item->imageFormat(), info.suffix());
    EXPECT_EQ(item->imageResolution(), QSizeF(64, 48));
    EXPECT_EQ(item->imageThumbnail().size(), QSize(64, 48)); // small pictures stay as they are
    EXPECT_EQ(item->dicInfo().keys(), (QStringList{"Format", "Name", "Resolution", "Thumbnail"}));
    EXPECT_EQ(filesOf(item), QStringList{"Source"});
    EXPECT_EQ(item->previewPath(), item->sourcePath());
}

INSTANTIATE_TEST_SUITE_P(Formats, HLResourceItemPhotos,
                         ::testing::Values(PhotoCase{"a.jpg", "JPEG"}, PhotoCase{"b.JPEG", "JPEG"},
                                           PhotoCase{"c.jpe", "JPEG"}, PhotoCase{"d.jfif", "JPEG"},
                                           PhotoCase{"e.png", "PNG"}, PhotoCase{"f.tif", "TIFF"},
                                           PhotoCase{"g.tiff", "TIFF"}, PhotoCase{"h.bmp", "BMP"},
                                           PhotoCase{"i.webp", "WEBP"}, PhotoCase{"j.heic", "HEIC"},
                                           PhotoCase{"k.heif", "HEIC"}, PhotoCase{"l.gif", "GIF"},
                                           PhotoCase{"png inside.jpg", "PNG"})); // mislabelled

TEST_F(HLResourceItemTest, LargePhotosGetAPreview)
{
    ASSERT_TRUE(writeImage(input("big.jpg"), halves(1600, 1200), "JPEG"));
    ASSERT_TRUE(writeImage(input("exact.png"), halves(1200, 900), "PNG"));

    const auto big = import(HLResourceTypeImage, input("big.jpg"));
    ASSERT_NE(big, nullptr);
    EXPECT_EQ(filesOf(big), (QStringList{"Preview", "Source"}));
    EXPECT_TRUE(big->previewPath().endsWith("/Preview"));
    EXPECT_EQ(big->imageResolution(), QSizeF(1600, 1200));
    EXPECT_EQ(QImage(big->previewPath()).size(), QSize(1200, 900));
    EXPECT_EQ(QImage(big->sourcePath()).size(), QSize(1600, 1200));
    EXPECT_EQ(big->imageThumbnail().height(), 100);
    EXPECT_NEAR(big->imageThumbnail().width(), 133, 1);

    const auto exact = import(HLResourceTypeImage, input("exact.png"));
    ASSERT_NE(exact, nullptr);
    EXPECT_EQ(filesOf(exact), QStringList{"Source"});
    EXPECT_EQ(exact->previewPath(), exact->sourcePath());
    EXPECT_EQ(exact->imageThumbnail().height(), 100);
}

// Thumbnails cover 100 × 100 and are bounded along their length as well: a panorama keeps
// the middle of its strip, four boxes long, not a strip as long as itself.
TEST_F(HLResourceItemTest, PanoramaThumbnailsAreBoundedOnBothSides)
{
    struct Case
    {
        QSize photo;
        QSize thumbnail;
    };
    for (const Case c : {Case{{12000, 200}, {400, 100}}, Case{{200, 12000}, {100, 400}},
                         Case{{2000, 20}, {80, 20}}, Case{{800, 200}, {400, 100}}, Case{{1600, 1200}, {133, 100}}}) {
        const QString name = QStringLiteral("p%1x%2.png").arg(c.photo.width()).arg(c.photo.height());
        ASSERT_TRUE(writeImage(input(name), halves(c.photo.width(), c.photo.height()), "PNG"));
        const auto item = import(HLResourceTypeImage, input(name));
        ASSERT_NE(item, nullptr) << name.toStdString();
        const QImage thumbnail = item->imageThumbnail();
        EXPECT_EQ(thumbnail.size(), c.thumbnail) << name.toStdString();
        if (c.photo.width() > c.photo.height()) {
            // The centre: red on its left, blue on its right.
            const QColor left = thumbnail.pixelColor(1, thumbnail.height() / 2);
            const QColor right = thumbnail.pixelColor(thumbnail.width() - 2, thumbnail.height() / 2);
            EXPECT_TRUE(left.red() > 240 && left.blue() < 15) << name.toStdString();
            EXPECT_TRUE(right.blue() > 240 && right.red() < 15) << name.toStdString();
        }
    }
}

TEST_F(HLResourceItemTest, BrokenFilesGiveNoItemAndAReason)
{
    ASSERT_TRUE(writeImage(input("real.png"), halves(16, 12), "PNG"));
    const QByteArray png = readBytes(input("real.png"));
    ASSERT_TRUE(writeClip(input("silent.mp4")));
    ASSERT_TRUE(writeTone(input("tone.wav")));
    EXPECT_FALSE(HLResourceItem::isKindOfVideo(input("real.png"))); // a photo is sorted as no clip
    const struct
    {
        const char *name;
        QByteArray bytes; // empty: already written
        HLResourceType kind;
    } cases[] = {
        {"empty.jpg", QByteArray(), HLResourceTypeImage},
        {"garbage.png", QByteArray("this is no picture at all"), HLResourceTypeImage},
        {"truncated.png", png.left(40), HLResourceTypeImage},
        {"empty.mp3", QByteArray(), HLResourceTypeAudio},
        {"garbage.mp3", QByteArray(4096, 'x'), HLResourceTypeAudio},
        {"garbage.mp4", QByteArray(4096, 'x'), HLResourceTypeVideo},
        {"silent.mp4", QByteArray(), HLResourceTypeAudio},  // a clip without sound is no music
        {"tone.wav", QByteArray(), HLResourceTypeVideo},    // a tone is no clip
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        if (!c.bytes.isEmpty() || QByteArray(c.name).startsWith("empty")) {
            ASSERT_TRUE(writeBytes(input(c.name), c.bytes));
        }
        QString reason;
        EXPECT_EQ(import(c.kind, input(c.name), &reason), nullptr);
        // The message names the user's file, never the private copy the import made.
        EXPECT_TRUE(reason.contains(input(c.name))) << reason.toStdString();
        EXPECT_FALSE(reason.contains(folder.file("Images")) || reason.contains(folder.file("Videos"))
                     || reason.contains(folder.file("Audios")))
            << reason.toStdString();
        EXPECT_TRUE(poolIsEmpty(c.kind));
    }
}

// A photo cut short is taken without the grey the decoder fills its missing part with, and
// the user hears of it; one missing most of its picture is refused, and both say which file.
TEST_F(HLResourceItemTest, PhotosCutShortAreTakenWithAWarningOrRefused)
{
    ASSERT_TRUE(writeImage(input("whole.jpg"), texturedPhoto(400, 300), "JPEG"));
    const QByteArray jpeg = readBytes(input("whole.jpg"));
    ASSERT_TRUE(writeBytes(input("cut.jpg"), jpeg.left(jpeg.size() * 9 / 10)));
    ASSERT_TRUE(writeBytes(input("half.jpg"), jpeg.left(jpeg.size() / 2)));

    QString reason;
    const auto whole = import(HLResourceTypeImage, input("whole.jpg"), &reason);
    ASSERT_NE(whole, nullptr) << reason.toStdString();
    EXPECT_TRUE(whole->importWarning().isEmpty());
    EXPECT_EQ(whole->imageResolution(), QSizeF(400, 300));

    const auto cut = import(HLResourceTypeImage, input("cut.jpg"), &reason);
    ASSERT_NE(cut, nullptr) << reason.toStdString();
    EXPECT_TRUE(cut->importWarning().contains(input("cut.jpg"))) << cut->importWarning().toStdString();
    EXPECT_EQ(cut->imageResolution().width(), 400);
    EXPECT_LT(cut->imageResolution().height(), 300);
    EXPECT_GE(cut->imageResolution().height(), 225);
    cut->setBLoadSource(true);
    const QImage source = cut->imageSource();
    ASSERT_FALSE(source.isNull());
    const QRgb corner = source.pixel(source.width() - 1, source.height() - 1);
    EXPECT_FALSE(std::abs(qRed(corner) - 128) <= 2 && std::abs(qGreen(corner) - 128) <= 2
                 && std::abs(qBlue(corner) - 128) <= 2)
        << "no grey fill kept";
    cut->setBLoadSource(false);

    EXPECT_EQ(import(HLResourceTypeImage, input("half.jpg"), &reason), nullptr);
    EXPECT_TRUE(reason.contains(input("half.jpg"))) << reason.toStdString();
    EXPECT_TRUE(reason.contains("cut short")) << reason.toStdString();
}

// A clip whose second half is missing is imported at the length it holds, so the timeline
// and the export never hold its last picture in silence for the rest of what it promised;
// the user is told how much of it could be read.
TEST_F(HLResourceItemTest, AClipCutShortIsAsLongAsWhatItHoldsAndSaysSo)
{
    ClipRecipe recipe;
    recipe.seconds = 4.0;
    recipe.audioCodec = {"-c:a", "aac"};
    recipe.extra = {"-movflags", "+faststart"}; // the index comes first and stays whole
    ASSERT_TRUE(makeNumberedClip(input("whole.mp4"), recipe));
    const QByteArray bytes = readBytes(input("whole.mp4"));
    ASSERT_TRUE(writeBytes(input("cut.mp4"), bytes.left(bytes.size() / 2)));
    QString reason;
    const auto item = import(HLResourceTypeVideo, input("cut.mp4"), &reason);
    ASSERT_NE(item, nullptr) << reason.toStdString();
    EXPECT_GT(item->videoDuration(), 1.0f);
    EXPECT_LT(item->videoDuration(), 3.0f);
    const QString warning = item->importWarning();
    EXPECT_TRUE(warning.contains(input("cut.mp4"))) << warning.toStdString();
    const QString held = QString::number(item->videoDuration(), 'f', 1);
    EXPECT_TRUE(warning.contains(QStringLiteral("only %1 s of 4.0 s could be read").arg(held)))
        << warning.toStdString();

    const auto whole = import(HLResourceTypeVideo, input("whole.mp4"), &reason);
    ASSERT_NE(whole, nullptr) << reason.toStdString();
    EXPECT_TRUE(whole->importWarning().isEmpty()) << whole->importWarning().toStdString();

    // Its sound, taken as music, says the same.
    const auto music = import(HLResourceTypeAudio, input("cut.mp4"), &reason);
    ASSERT_NE(music, nullptr) << reason.toStdString();
    EXPECT_TRUE(music->importWarning().contains("is cut short")) << music->importWarning().toStdString();
}

TEST_F(HLResourceItemTest, ImportsClips)
{
    ASSERT_TRUE(writeClip(input("clip.mp4"), true));
    EXPECT_TRUE(HLResourceItem::isKindOfVideo(input("clip.mp4")));
    EXPECT_TRUE(HLResourceItem::isKindOfAudio(input("clip.mp4")));
    EXPECT_FALSE(HLResourceItem::isKindOfImage(input("clip.mp4")));

    QString reason;
    const auto item = import(HLResourceTypeVideo, input("clip.mp4"), &reason);
    ASSERT_NE(item, nullptr) << reason.toStdString();
    EXPECT_TRUE(item->strResourceID().startsWith("TV"));
    EXPECT_EQ(item->videoName(), "clip");
    EXPECT_EQ(item->videoFormat(), "mp4");
    EXPECT_NEAR(item->videoDuration(), 1.0, 0.1);
    EXPECT_EQ(item->videoResolution(), QSizeF(160, 120));
    EXPECT_EQ(item->videoThumbnail().height(), 100);
    EXPECT_NEAR(item->videoThumbnail().width(), 133, 1);
    EXPECT_EQ(item->dicInfo().keys(), (QStringList{"Duration", "Format", "Name", "Resolution", "Thumbnail"}));
    EXPECT_EQ(filesOf(item), QStringList{"Video"});

    EXPECT_EQ(item->video(), nullptr);
    item->setBLoadSource(true);
    ASSERT_NE(item->video(), nullptr);
    EXPECT_EQ(item->videoFrameAt(zk_ff_time_from_double(0.5)).size(), QSize(160, 120));
    item->setBLoadSource(false);
    EXPECT_EQ(item->video(), nullptr);
    EXPECT_TRUE(item->videoFrameAt(zk_ff_time_from_double(0.5)).isNull());
}

TEST_F(HLResourceItemTest, AClipWithoutADecodableFrameGetsAPlaceholder)
{
    // Sound and a video stream that holds no picture: it opens, but no frame decodes.
    ASSERT_TRUE(writeClip(input("good.mkv"), true));
    ASSERT_TRUE(runFFmpeg({"-i", input("good.mkv"), "-c", "copy", "-bsf:v", "noise=dropamount=1", input("broken.mkv")}));
    QString reason;
    const auto item = import(HLResourceTypeVideo, input("broken.mkv"), &reason);
    ASSERT_NE(item, nullptr) << reason.toStdString();
    EXPECT_EQ(item->videoResolution(), QSizeF(160, 120));
    EXPECT_EQ(item->videoThumbnail().height(), 100);
    EXPECT_NEAR(item->videoThumbnail().width(), 133, 1);
}

TEST_F(HLResourceItemTest, ImportsMusic)
{
    ASSERT_TRUE(writeTone(input("tone.wav")));
    ASSERT_TRUE(writeTone(input("tone.m4a"), 2.0));
    ASSERT_TRUE(writeTone(input("blip.wav"), 0.005));
    EXPECT_TRUE(HLResourceItem::isKindOfAudio(input("tone.wav")));
    EXPECT_FALSE(HLResourceItem::isKindOfVideo(input("tone.wav")));
    EXPECT_FALSE(HLResourceItem::isKindOfAudio(input("blip.wav"))); // 0.01 s or less
    EXPECT_FALSE(HLResourceItem::isKindOfAudio(input("missing.wav")));

    for (const auto &[name, seconds] : {std::pair{"tone.wav", 1.0}, std::pair{"tone.m4a", 2.0}}) {
        SCOPED_TRACE(name);
        QString reason;
        const auto item = import(HLResourceTypeAudio, input(name), &reason);
        ASSERT_NE(item, nullptr) << reason.toStdString();
        EXPECT_EQ(item->audioName(), "tone");
        EXPECT_EQ(item->audioFormat(), QFileInfo(name).suffix());
        EXPECT_NEAR(item->audioDuration(), seconds, 0.05);
        EXPECT_EQ(item->dicInfo().keys(), (QStringList{"Duration", "Format", "Name"}));
        EXPECT_EQ(filesOf(item), QStringList{"Audio"});
        // Another kind's accessors answer nothing.
        EXPECT_EQ(item->videoResolution(), QSizeF());
        EXPECT_TRUE(item->imageThumbnail().isNull());
        EXPECT_EQ(item->videoDuration(), 0);
        EXPECT_EQ(item->imageName(), QString());

        item->setBLoadPreview(true);
        const auto movie = item->audio();
        ASSERT_NE(movie, nullptr);
        EXPECT_TRUE(movie->hasAudio());
        const HLResourceObject own = item->openPreview(); // a player's own movie
        const auto *ownMovie = std::get_if<std::shared_ptr<ZKFFMovie>>(&own);
        ASSERT_NE(ownMovie, nullptr);
        EXPECT_NE(*ownMovie, movie);
        item->setBLoadPreview(false);
        EXPECT_EQ(item->audio(), nullptr);
    }
}

TEST_F(HLResourceItemTest, ShortClipsAreNoVideo)
{
    ASSERT_TRUE(writeClip(input("flash.mp4"), false, 0.05));
    EXPECT_FALSE(HLResourceItem::isKindOfVideo(input("flash.mp4")));
}

TEST_F(HLResourceItemTest, ImageKindTests)
{
    for (const char *yes : {"a.PNG", "b.Jpg", "c.heic", "d.HEIF", "e.webp", "f.tif", "g.jfif", "h.jpe", "x/y.z.tga"})
        EXPECT_TRUE(HLResourceItem::isKindOfImage(yes)) << yes;
    for (const char *no : {"photo", "a.pdf", "a.mp4", "png", "a.png.txt"})
        EXPECT_FALSE(HLResourceItem::isKindOfImage(no)) << no;
    EXPECT_TRUE(HLResourceItem::isKindOfPDF("a.PDF"));
    EXPECT_FALSE(HLResourceItem::isKindOfPDF("pdf"));
}

TEST_F(HLResourceItemTest, LoadSwitchesAreCounted)
{
    ASSERT_TRUE(writeImage(input("p.png"), halves(32, 24), "PNG"));
    const auto item = import(HLResourceTypeImage, input("p.png"));
    ASSERT_NE(item, nullptr);
    EXPECT_TRUE(item->imagePreview().isNull());

    std::atomic<int> loads = 0;
    const auto original = HLResourceItem::initiationFor(HLResourceTypeImage);
    HLResourceItem::setUpInitiation(
        [&](const QString &path) {
            ++loads;
            return original(path);
        },
        HLResourceTypeImage);

    item->setBLoadPreview(true);
    item->setBLoadPreview(true); // a second user: no second load
    EXPECT_EQ(loads, 1);
    item->setBLoadPreview(false); // one user left: still there
    EXPECT_TRUE(item->bLoadPreview());
    EXPECT_EQ(item->imagePreview().size(), QSize(32, 24));
    item->setBLoadPreview(false);
    EXPECT_FALSE(item->bLoadPreview());
    EXPECT_TRUE(item->imagePreview().isNull());
    item->setBLoadPreview(false); // an unbalanced release changes nothing
    item->setBLoadPreview(true);
    EXPECT_EQ(loads, 2);
    EXPECT_FALSE(item->imagePreview().isNull());
    item->setBLoadPreview(false);
    EXPECT_TRUE(item->imageSource().isNull());

    // Users on several threads: none ever sees the picture pulled from under it.
    std::atomic<int> missing = 0;
    std::vector<std::thread> users;
    for (int t = 0; t < 8; ++t) {
        users.emplace_back([&] {
            for (int i = 0; i < 100; ++i) {
                item->setBLoadSource(true);
                if (item->imageSource().isNull())
                    ++missing;
                item->setBLoadSource(false);
            }
        });
    }
    for (auto &user : users)
        user.join();
    EXPECT_EQ(missing, 0);
    EXPECT_FALSE(item->bLoadSource());
    EXPECT_TRUE(item->imageSource().isNull());
    HLResourceItem::configureForImage();
}

TEST_F(HLResourceItemTest, IdentityAndIdentifiers)
{
    const QVariantMap info{{"Name", "n"}};
    HLResourceItem item(HLResourceTypeImage, "TI55", "55", info);
    item.updateResourceID("PI66");
    EXPECT_EQ(item.strResourceID(), "TI55");
    item.updateResourceID("PI55");
    EXPECT_EQ(item.strResourceID(), "PI55");
    EXPECT_TRUE(item.isEqual(HLResourceItem(HLResourceTypeImage, "TI55", "55", {})));
    EXPECT_FALSE(item.isEqual(HLResourceItem(HLResourceTypeVideo, "TV55", "55", info)));
    EXPECT_FALSE(item.isEqual(HLResourceItem(HLResourceTypeImage, "TI56", "56", info)));

    EXPECT_THROW(HLResourceItem(HLResourceTypeImage, "", "55", info), HLAssertionFailure);
    EXPECT_THROW(HLResourceItem(HLResourceTypeImage, "TI55", "", info), HLAssertionFailure);
    EXPECT_THROW(HLResourceItem::p_validateType(3), HLAssertionFailure);
    EXPECT_THROW(HLResourceItem::itemOf(3, "TX1", "1", "x"), HLAssertionFailure);
    EXPECT_THROW(HLResourceItem::preprocessFor(-1), HLAssertionFailure);
}

TEST_F(HLResourceItemTest, RoundTripsThroughTheArchive)
{
    ASSERT_TRUE(writeImage(input("p.jpg"), halves(40, 30), "JPEG"));
    ASSERT_TRUE(writeClip(input("c.mp4")));
    ASSERT_TRUE(writeTone(input("t.wav")));
    const std::vector<std::shared_ptr<HLResourceItem>> items = {
        import(HLResourceTypeImage, input("p.jpg")),
        import(HLResourceTypeVideo, input("c.mp4")),
        import(HLResourceTypeAudio, input("t.wav")),
    };
    for (const auto &item : items) {
        ASSERT_NE(item, nullptr);
        HLKeyedArchiver archiver;
        archiver.encodeObject("item", item);
        auto coder = HLKeyedUnarchiver::fromData(archiver.encodedData());
        const auto decoded = coder.decodeObject<HLResourceItem>("item");
        EXPECT_TRUE(decoded->isEqual(*item));
        EXPECT_EQ(decoded->enType(), item->enType());
        EXPECT_EQ(decoded->strResourceID(), item->strResourceID());
        EXPECT_FALSE(decoded->bLoadPreview());
        const QVariantMap a = decoded->dicInfo(), b = item->dicInfo();
        EXPECT_EQ(a.keys(), b.keys());
        EXPECT_EQ(a.value("Name").toString(), b.value("Name").toString());
        EXPECT_EQ(a.value("Format").toString(), b.value("Format").toString());
        EXPECT_EQ(a.value("Duration").toFloat(), b.value("Duration").toFloat());
        EXPECT_EQ(a.value("Resolution").toSizeF(), b.value("Resolution").toSizeF());
        EXPECT_EQ(a.value("Thumbnail").value<QImage>().size(), b.value("Thumbnail").value<QImage>().size());
        EXPECT_EQ(decoded->sourcePath(), item->sourcePath()); // the same folder is found again
    }
}

// A resource record as a crafted or damaged project file might hold it.
std::shared_ptr<ForgedRecord> foreignItem(qint64 type, const QString &identifier, const QString &hash)
{
    return forged("HLResourceItem", [=](HLKeyedArchiver &coder) {
        coder.encodeInt64("kNSCodingType", type);
        coder.encodeString("kNSCodingResourceID", identifier);
        coder.encodeString("kNSCodingHashID", hash);
        coder.encodeDictionary("kNSCodingInfo", QVariantMap{{"Name", "x"}});
    });
}

TEST_F(HLResourceItemTest, RefusesCraftedRecords)
{
    const struct
    {
        qint64 type;
        const char *identifier, *hash;
    } cases[] = {
        {2, "TI../../../etc", "../../../etc"}, // a way out of the package
        {2, "TI/etc", "/etc"},
        {2, "TI", ""},
        {2, "TI12", "13"},  // identifier and hash disagree
        {2, "TV12", "12"},  // kind letter disagrees
        {2, "XI12", "12"},  // unknown source
        {3, "TX12", "12"},  // unknown kind
        {-1, "TI12", "12"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.identifier);
        HLKeyedArchiver archiver;
        archiver.encodeObject("item", foreignItem(c.type, c.identifier, c.hash));
        auto coder = HLKeyedUnarchiver::fromData(archiver.encodedData());
        EXPECT_THROW(coder.decodeObject<HLResourceItem>("item"), HLArchiveError);
    }
    HLKeyedArchiver archiver;
    archiver.encodeObject("item", foreignItem(1, "PV12", "12"));
    auto coder = HLKeyedUnarchiver::fromData(archiver.encodedData());
    EXPECT_NE(coder.decodeObject<HLResourceItem>("item"), nullptr);
}

} // namespace
