#include "tests/Platform/Foundation/ArchiveTestRecords.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "tests/support/ForgedRecord.h"
#include "tests/support/TestFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

class HLKeyedArchiverTest : public ::testing::Test
{
protected:
    void SetUp() override { registerTestRecords(); }

    // Archives the record under one root key, reads it back through the file.
    std::shared_ptr<SampleRecord> roundTrip(const std::shared_ptr<SampleRecord> &record)
    {
        const QString path = folder.file("ProjectData");
        HLKeyedArchiver archiver;
        archiver.encodeObject("kNSCodingRoot", record);
        archiver.writeToFile(path);
        HLKeyedUnarchiver coder = HLKeyedUnarchiver::fromFile(path);
        return coder.decodeObject<SampleRecord>("kNSCodingRoot");
    }

    TestFolder folder;
};

std::shared_ptr<SampleRecord> sampleRecord()
{
    auto record = std::make_shared<SampleRecord>();
    record->count = -42;
    record->rotation = 270;
    record->precise = 0.1;
    record->duration = 2.5f;
    record->flag = true;
    record->name = QStringLiteral("Grüße, 日本語 😀\nzweite Zeile");
    record->size = QSizeF(1280, 720);
    record->color = QColor(12, 200, 255, 128);
    record->thumb = samplePicture();
    return record;
}

uint32_t floatBits(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

uint64_t doubleBits(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST_F(HLKeyedArchiverTest, everyKindOfValueRoundTrips)
{
    auto record = sampleRecord();
    auto child = sampleRecord();
    child->name = QStringLiteral("child");
    child->color = QColor::fromRgbF(0.3f, 0.6f, 0.9f, 1.0f);
    record->child = child;
    for (int i = 0; i < 3; ++i) {
        auto item = std::make_shared<SampleRecord>();
        item->count = i;
        item->color = Qt::black;
        record->items.push_back(item);
    }
    record->info = {
        {"Name", QStringLiteral("Beach")},
        {"Format", QStringLiteral("jpg")},
        {"Duration", 12.25f},
        {"Count", 7},
        {"Big", std::numeric_limits<qint64>::max()},
        {"IsVideo", false},
        {"Resolution", QSizeF(4000, 3000)},
        {"Tint", QColor(1, 2, 3, 4)},
        {"Thumbnail", samplePicture()},
        {"List", QVariantList{1, QStringLiteral("two"), 3.5}},
        {"Nested", QVariantMap{{"Inner", true}, {"Empty", QVariantMap()}}},
    };

    const auto back = roundTrip(record);

    EXPECT_EQ(back->count, -42);
    EXPECT_EQ(back->rotation, 270);
    EXPECT_EQ(back->precise, 0.1);
    EXPECT_EQ(back->duration, 2.5f);
    EXPECT_TRUE(back->flag);
    EXPECT_EQ(back->name, record->name);
    EXPECT_EQ(back->size, QSizeF(1280, 720));
    EXPECT_EQ(back->color, record->color);
    EXPECT_EQ(back->thumb.convertToFormat(QImage::Format_ARGB32), record->thumb);
    ASSERT_TRUE(back->child);
    EXPECT_EQ(back->child->name, QStringLiteral("child"));
    EXPECT_EQ(back->child->color, child->color);
    EXPECT_FALSE(back->child->child);
    ASSERT_EQ(back->items.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(back->items[i]->count, i);

    const QVariantMap &info = back->info;
    EXPECT_EQ(info.size(), record->info.size());
    EXPECT_EQ(info["Name"].toString(), QStringLiteral("Beach"));
    EXPECT_EQ(info["Duration"].toFloat(), 12.25f);
    EXPECT_EQ(info["Count"].toLongLong(), 7);
    EXPECT_EQ(info["Big"].toLongLong(), std::numeric_limits<qint64>::max());
    EXPECT_EQ(info["IsVideo"].typeId(), QMetaType::Bool);
    EXPECT_FALSE(info["IsVideo"].toBool());
    EXPECT_EQ(info["Resolution"].toSizeF(), QSizeF(4000, 3000));
    EXPECT_EQ(info["Tint"].value<QColor>(), QColor(1, 2, 3, 4));
    EXPECT_EQ(info["Thumbnail"].value<QImage>().convertToFormat(QImage::Format_ARGB32), samplePicture());
    EXPECT_EQ(info["List"].toList(), (QVariantList{qint64(1), QStringLiteral("two"), 3.5}));
    EXPECT_EQ(info["Nested"].toMap()["Inner"], QVariant(true));
    EXPECT_TRUE(info["Nested"].toMap()["Empty"].toMap().isEmpty());
}

TEST_F(HLKeyedArchiverTest, floatsAndDoublesRoundTripBitForBit)
{
    const float floats[] = {0.0f,
                            -0.0f,
                            std::numeric_limits<float>::denorm_min(),
                            -std::numeric_limits<float>::denorm_min(),
                            std::numeric_limits<float>::min(),
                            std::numeric_limits<float>::max(),
                            std::numeric_limits<float>::lowest(),
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            0.1f,
                            1.0f / 3.0f,
                            16777217.0f,
                            -123.456f};
    const double doubles[] = {-0.0, 0.1, std::numeric_limits<double>::denorm_min(),
                              std::numeric_limits<double>::max(), 1.0 / 3.0};
    for (float value : floats) {
        auto record = sampleRecord();
        record->duration = value;
        EXPECT_EQ(floatBits(roundTrip(record)->duration), floatBits(value)) << value;
    }
    for (double value : doubles) {
        auto record = sampleRecord();
        record->precise = value;
        EXPECT_EQ(doubleBits(roundTrip(record)->precise), doubleBits(value)) << value;
    }
    auto record = sampleRecord();
    record->duration = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(std::isnan(roundTrip(record)->duration));
}

TEST_F(HLKeyedArchiverTest, zeroesOfBothSignsStayApartInOneArchive)
{
    // The writer shares equal values; 0.0 and -0.0 compare equal but are different floats.
    auto record = sampleRecord();
    record->duration = -0.0f;
    record->precise = 0.0;
    auto child = sampleRecord();
    child->duration = 0.0f;
    child->precise = -0.0;
    record->child = child;
    const auto back = roundTrip(record);
    EXPECT_EQ(floatBits(back->duration), floatBits(-0.0f));
    EXPECT_EQ(doubleBits(back->precise), doubleBits(0.0));
    EXPECT_EQ(floatBits(back->child->duration), floatBits(0.0f));
    EXPECT_EQ(doubleBits(back->child->precise), doubleBits(-0.0));
}

TEST_F(HLKeyedArchiverTest, extremeIntegersAndStringsRoundTrip)
{
    const qint64 integers[] = {std::numeric_limits<qint64>::min(), -1, 0, 1,
                               std::numeric_limits<qint64>::max()};
    for (qint64 value : integers) {
        auto record = sampleRecord();
        record->count = value;
        EXPECT_EQ(roundTrip(record)->count, value);
    }
    const QString strings[] = {QString(), QStringLiteral("plain"), QStringLiteral("\u00e9\u4e2d\U0001F3AC"),
                               QString(20000, QLatin1Char('x'))};
    for (const QString &value : strings) {
        auto record = sampleRecord();
        record->name = value;
        EXPECT_EQ(roundTrip(record)->name, value);
    }
}

TEST_F(HLKeyedArchiverTest, picturesRoundTripPixelExact)
{
    const QImage pictures[] = {samplePicture(QImage::Format_ARGB32), samplePicture(QImage::Format_ARGB32_Premultiplied),
                               samplePicture(QImage::Format_RGB32), QImage()};
    for (const QImage &picture : pictures) {
        auto record = sampleRecord();
        record->thumb = picture;
        const QImage back = roundTrip(record)->thumb;
        ASSERT_EQ(back.isNull(), picture.isNull());
        if (!picture.isNull()) {
            EXPECT_EQ(back.convertToFormat(QImage::Format_ARGB32), picture.convertToFormat(QImage::Format_ARGB32))
                << picture.format();
        }
    }
}

TEST_F(HLKeyedArchiverTest, rootObjectsRoundTripAndNilIsOptional)
{
    const QString path = folder.file("ProjectData");
    auto sizer = sampleRecord();
    HLKeyedArchiver::archiveRootObject({{"kNSCodingRenderSizer", sizer}, {"kNSCodingTextLineItem", nullptr}}, path);

    const auto root = HLKeyedUnarchiver::unarchiveRootObject(path);
    ASSERT_EQ(root.keys(), QStringList{"kNSCodingRenderSizer"});
    EXPECT_EQ(std::dynamic_pointer_cast<SampleRecord>(root["kNSCodingRenderSizer"])->name, sizer->name);

    HLKeyedUnarchiver coder = HLKeyedUnarchiver::fromFile(path);
    EXPECT_TRUE(coder.contains("kNSCodingTextLineItem"));
    EXPECT_FALSE(coder.contains("kNSCodingAudioLineItem"));
    EXPECT_EQ(coder.decodeOptionalObject<SampleRecord>("kNSCodingTextLineItem"), nullptr);
    EXPECT_EQ(coder.decodeOptionalObject<SampleRecord>("kNSCodingAudioLineItem"), nullptr);
    EXPECT_THROW(coder.decodeObject<SampleRecord>("kNSCodingTextLineItem"), HLArchiveError);
    EXPECT_THROW(coder.decodeObject<ChainRecord>("kNSCodingRenderSizer"), HLArchiveError);
}

TEST_F(HLKeyedArchiverTest, whatCannotBeArchivedIsRefusedAndTheOldFileStays)
{
    const QString path = folder.file("ProjectData");
    HLKeyedArchiver::archiveRootObject({{"kNSCodingRenderSizer", sampleRecord()}}, path);
    QFile original(path);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();

    const std::function<void(HLKeyedArchiver &)> refused[] = {
        [](HLKeyedArchiver &c) { c.encodeObject("kNSCodingThing", forged("Unregistered", {})); },
        [](HLKeyedArchiver &c) { c.encodeString("kNSCodingText", QString(QChar(0))); },
        [](HLKeyedArchiver &c) { c.encodeColor("kNSCodingColor", QColor()); },
        [](HLKeyedArchiver &c) { c.encodeBool("$class", true); },
        [](HLKeyedArchiver &c) { c.encodeDictionary("kNSCodingInfo", {{"$class", 1}}); },
        [](HLKeyedArchiver &c) { c.encodeDictionary("kNSCodingInfo", {{"When", QDateTime::currentDateTime()}}); },
        [](HLKeyedArchiver &c) {
            c.encodeDictionary("kNSCodingInfo", {{"Huge", std::numeric_limits<quint64>::max()}});
        },
        [](HLKeyedArchiver &c) {
            c.encodeObjectArray("kNSCodingItems", std::vector<std::shared_ptr<SampleRecord>>{nullptr});
        },
        [](HLKeyedArchiver &c) { c.encodeObject("kNSCodingNext", ChainRecord::chain(HLKeyedArchiver::maximumDepth + 1)); },
        [](HLKeyedArchiver &c) {
            QVariantMap deep;
            for (int i = 0; i < HLKeyedArchiver::maximumDepth + 1; ++i)
                deep = QVariantMap{{"Inner", deep}};
            c.encodeDictionary("kNSCodingInfo", deep);
        },
    };
    for (size_t i = 0; i < std::size(refused); ++i) {
        ScriptedRecord::writer = refused[i];
        EXPECT_THROW(HLKeyedArchiver::archiveRootObject({{"kNSCodingTimelineItem", std::make_shared<ScriptedRecord>()}},
                                                        path),
                     HLArchiveError)
            << "case " << i;
    }
    EXPECT_THROW(HLKeyedArchiver::archiveRootObject({{"kNSCodingRenderSizer", sampleRecord()}},
                                                    folder.file("missing/ProjectData")),
                 HLArchiveError);

    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    EXPECT_EQ(original.readAll(), before);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"ProjectData"});
}

TEST_F(HLKeyedArchiverTest, nestingUpToTheLimitRoundTrips)
{
    const QString path = folder.file("ProjectData");
    HLKeyedArchiver::archiveRootObject({{"kNSCodingNext", ChainRecord::chain(HLKeyedArchiver::maximumDepth)}}, path);
    auto link = HLKeyedUnarchiver::fromFile(path).decodeObject<ChainRecord>("kNSCodingNext");
    int length = 0;
    for (; link; link = link->next)
        ++length;
    EXPECT_EQ(length, HLKeyedArchiver::maximumDepth);
}

} // namespace
