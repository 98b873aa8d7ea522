#include "tests/Platform/Foundation/ArchiveTestRecords.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLAssert.h"

#include <QBuffer>
#include <QRandomGenerator>
#include <QtEndian>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <limits>

namespace {

class HLKeyedUnarchiverTest : public ::testing::Test
{
protected:
    void SetUp() override { registerTestRecords(); }
};

QByteArray toBinary(plist_t root)
{
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    QByteArray data(bytes, qsizetype(length));
    std::free(bytes);
    plist_free(root);
    return data;
}

// An archive frame around a hand-made root container; the header keys may be replaced.
QByteArray archiveAround(plist_t top, plist_t archiver = plist_new_string("HLKeyedArchiver"),
                         plist_t version = plist_new_uint(1))
{
    plist_t root = plist_new_dict();
    if (archiver)
        plist_dict_set_item(root, "$archiver", archiver);
    if (version)
        plist_dict_set_item(root, "$version", version);
    plist_dict_set_item(root, "$top", top);
    return toBinary(root);
}

QByteArray scriptedArchive(std::function<void(HLKeyedArchiver &)> writer)
{
    ScriptedRecord::writer = std::move(writer);
    HLKeyedArchiver archiver;
    archiver.encodeObject("kNSCodingRoot", std::make_shared<ScriptedRecord>());
    return archiver.encodedData();
}

// The message of the HLArchiveError thrown by reading, or "" when reading succeeded.
std::string readError(const QByteArray &data, std::function<void(HLKeyedUnarchiver &)> reader = {})
{
    try {
        HLKeyedUnarchiver coder = HLKeyedUnarchiver::fromData(data);
        if (reader)
            reader(coder);
        return "";
    } catch (const HLArchiveError &error) {
        return error.what();
    }
}

QByteArray sampleArchive()
{
    auto record = std::make_shared<SampleRecord>();
    record->name = QStringLiteral("Grüße");
    record->color = Qt::red;
    record->thumb = samplePicture();
    record->items.push_back(std::make_shared<SampleRecord>());
    record->items.back()->color = Qt::blue;
    record->info = {{"Resolution", QSizeF(4, 3)}, {"Name", QStringLiteral("x")}, {"Tint", QColor(Qt::green)}};
    HLKeyedArchiver archiver;
    archiver.encodeObject("kNSCodingRoot", record);
    return archiver.encodedData();
}

// The PNG chunk checksum, so that a doctored header still looks sound.
quint32 crc32(const char *bytes, qsizetype length)
{
    quint32 crc = 0xFFFFFFFFu;
    for (qsizetype i = 0; i < length; ++i) {
        crc ^= quint8(bytes[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void decodeSample(HLKeyedUnarchiver &coder)
{
    coder.decodeObject<SampleRecord>("kNSCodingRoot");
}

// A binary property list of nested one-element arrays, written byte by byte so that it can be
// deeper than any writer allows; with `twice`, each array holds the next one twice.
QByteArray nestedArrays(int depth, bool twice)
{
    QByteArray data("bplist00");
    std::vector<quint32> offsets;
    auto ref = [&](quint32 value) {
        quint32 big = qToBigEndian(value);
        data.append(reinterpret_cast<const char *>(&big), 4);
    };
    for (int i = 0; i < depth; ++i) {
        offsets.push_back(quint32(data.size()));
        data.append(char(twice ? 0xA2 : 0xA1));
        ref(quint32(i + 1));
        if (twice)
            ref(quint32(i + 1));
    }
    offsets.push_back(quint32(data.size()));
    data.append(char(0x09));
    const quint64 table = quint64(data.size());
    for (quint32 offset : offsets)
        ref(offset);
    data.append(QByteArray(6, '\0'));
    data.append(char(4));
    data.append(char(4));
    for (quint64 value : {quint64(offsets.size()), quint64(0), table}) {
        quint64 big = qToBigEndian(value);
        data.append(reinterpret_cast<const char *>(&big), 8);
    }
    return data;
}

TEST_F(HLKeyedUnarchiverTest, foreignFilesAreRefused)
{
    QByteArray random(4096, '\0');
    QRandomGenerator generator(7);
    for (char &byte : random)
        byte = char(generator.bounded(256));
    const QByteArray xmlArchive = [] {
        plist_t root = plist_new_dict();
        plist_dict_set_item(root, "$archiver", plist_new_string("HLKeyedArchiver"));
        char *xml = nullptr;
        uint32_t length = 0;
        plist_to_xml(root, &xml, &length);
        QByteArray data(xml, qsizetype(length));
        std::free(xml);
        plist_free(root);
        return data;
    }();

    const struct
    {
        const char *what;
        QByteArray data;
        const char *message;
    } cases[] = {
        {"empty file", QByteArray(), "not a binary property list"},
        {"random bytes", random, "not a binary property list"},
        {"random bytes after the magic", QByteArray("bplist00") + random, "damaged property list"},
        {"XML property list", xmlArchive, "not a binary property list"},
        {"array at the top", toBinary(plist_new_array()), "top level is not a dictionary"},
        {"another program's dictionary", toBinary(plist_new_dict()), "unknown archive format"},
        {"another archiver", archiveAround(plist_new_dict(), plist_new_string("NSKeyedArchiver")),
         "unknown archive format"},
        {"no version", archiveAround(plist_new_dict(), plist_new_string("HLKeyedArchiver"), nullptr),
         "no format version"},
        {"version as a string", archiveAround(plist_new_dict(), plist_new_string("HLKeyedArchiver"),
                                              plist_new_string("1")),
         "no format version"},
        {"future version", archiveAround(plist_new_dict(), plist_new_string("HLKeyedArchiver"), plist_new_uint(2)),
         "newer format (version 2)"},
        {"version zero", archiveAround(plist_new_dict(), plist_new_string("HLKeyedArchiver"), plist_new_uint(0)),
         "bad format version 0"},
        {"root container not a dictionary", archiveAround(plist_new_array()), "no root dictionary"},
        {"nesting beyond reason", nestedArrays(200000, false), "nested too deeply"},
        {"shared objects that multiply", nestedArrays(60, true), "too large once expanded"},
    };
    for (const auto &test : cases)
        EXPECT_THAT(readError(test.data), ::testing::HasSubstr(test.message)) << test.what;
}

TEST_F(HLKeyedUnarchiverTest, everyTruncationAndCorruptionIsAnErrorOrAValidRead)
{
    const QByteArray archive = sampleArchive();
    ASSERT_EQ(readError(archive, decodeSample), "");
    // The damaged pictures would fill the log.
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    for (qsizetype length = 0; length < archive.size(); ++length)
        EXPECT_NE(readError(archive.left(length), decodeSample), "") << "truncated to " << length;
    // Any single damaged byte either still reads or is reported; none may crash.
    for (qsizetype position = 0; position < archive.size(); ++position)
        for (char value : {char(0x00), char(0xFF), char(archive[position] ^ 0x10)}) {
            QByteArray damaged = archive;
            damaged[position] = value;
            readError(damaged, decodeSample);
        }
    qInstallMessageHandler(previous);
}

TEST_F(HLKeyedUnarchiverTest, wrongMissingAndOutOfRangeValuesNameTheKey)
{
    using Coder = HLKeyedUnarchiver;
    const struct
    {
        const char *what;
        std::function<void(HLKeyedArchiver &)> write;
        std::function<void(Coder &)> read;
        const char *message;
    } cases[] = {
        {"missing key", [](HLKeyedArchiver &) {}, [](Coder &c) { c.decodeFloat("kNSCodingDuration"); },
         "kNSCodingRoot.kNSCodingDuration: missing"},
        {"string for a float", [](HLKeyedArchiver &c) { c.encodeString("kNSCodingDuration", "2.5"); },
         [](Coder &c) { c.decodeFloat("kNSCodingDuration"); }, "expected a real, found a string"},
        {"real beyond float", [](HLKeyedArchiver &c) { c.encodeDouble("kNSCodingDuration", 1e300); },
         [](Coder &c) { c.decodeFloat("kNSCodingDuration"); }, "out of range"},
        {"no number where a finite one is due",
         [](HLKeyedArchiver &c) { c.encodeFloat("kNSCodingDuration", std::numeric_limits<float>::quiet_NaN()); },
         [](Coder &c) { c.decodeFiniteFloat("kNSCodingDuration"); }, "kNSCodingDuration: expected a finite number"},
        {"integer beyond 32 bits", [](HLKeyedArchiver &c) { c.encodeInt64("kNSCodingRotation", qint64(1) << 40); },
         [](Coder &c) { c.decodeInt32("kNSCodingRotation"); }, "out of range"},
        {"integer for a boolean", [](HLKeyedArchiver &c) { c.encodeInt64("kNSCodingSolo", 1); },
         [](Coder &c) { c.decodeBool("kNSCodingSolo"); }, "expected a boolean, found an integer"},
        {"real for an integer", [](HLKeyedArchiver &c) { c.encodeDouble("kNSCodingMode", 1); },
         [](Coder &c) { c.decodeInt64("kNSCodingMode"); }, "expected an integer"},
        {"boolean for a string", [](HLKeyedArchiver &c) { c.encodeBool("kNSCodingName", true); },
         [](Coder &c) { c.decodeString("kNSCodingName"); }, "expected a string"},
        {"string for a picture", [](HLKeyedArchiver &c) { c.encodeString("kNSCodingThumb", "x"); },
         [](Coder &c) { c.decodeImage("kNSCodingThumb"); }, "expected a picture"},
        {"colour for a size", [](HLKeyedArchiver &c) { c.encodeColor("kNSCodingRenderSize", Qt::red); },
         [](Coder &c) { c.decodeSize("kNSCodingRenderSize"); }, "expected a size"},
        {"size for a colour", [](HLKeyedArchiver &c) { c.encodeSize("kNSCodingFontColor", QSizeF(1, 1)); },
         [](Coder &c) { c.decodeColor("kNSCodingFontColor"); }, "expected a colour"},
        {"infinite size", [](HLKeyedArchiver &c) {
             c.encodeSize("kNSCodingRenderSize", QSizeF(std::numeric_limits<double>::infinity(), 1));
         },
         [](Coder &c) { c.decodeSize("kNSCodingRenderSize"); }, "size out of range"},
        {"record for a dictionary", [](HLKeyedArchiver &c) { c.encodeObject("kNSCodingInfo", ChainRecord::chain(1)); },
         [](Coder &c) { c.decodeDictionary("kNSCodingInfo"); }, "expected a dictionary"},
        {"dictionary for a record", [](HLKeyedArchiver &c) { c.encodeDictionary("kNSCodingEdit", {{"a", 1}}); },
         [](Coder &c) { c.decodeObject<ChainRecord>("kNSCodingEdit"); }, "expected a record"},
        {"string for a list", [](HLKeyedArchiver &c) { c.encodeString("kNSCodingItems", "x"); },
         [](Coder &c) { c.decodeObjectArray<ChainRecord>("kNSCodingItems"); }, "expected a list of records"},
        {"record of another class", [](HLKeyedArchiver &c) { c.encodeObject("kNSCodingEdit", ChainRecord::chain(1)); },
         [](Coder &c) { c.decodeObject<SampleRecord>("kNSCodingEdit"); }, "unexpected class \"ChainRecord\""},
        {"list element of another class",
         [](HLKeyedArchiver &c) {
             c.encodeObjectArray("kNSCodingItems", std::vector{ChainRecord::chain(1), ChainRecord::chain(1)});
         },
         [](Coder &c) { c.decodeObjectArray<SampleRecord>("kNSCodingItems"); }, "unexpected class"},
        {"value refused by the record", [](HLKeyedArchiver &c) { c.encodeInt64("kNSCodingRotation", 45); },
         [](Coder &c) { HL_ASSERT(c.decodeInt32("kNSCodingRotation") % 90 == 0, "wrong para"); },
         "value refused by ScriptedRecord (wrong para)"},
    };
    for (const auto &test : cases) {
        ScriptedRecord::reader = test.read;
        const std::string message = readError(scriptedArchive(test.write), decodeSample);
        EXPECT_THAT(message, ::testing::HasSubstr(test.message)) << test.what;
    }
}

TEST_F(HLKeyedUnarchiverTest, damagedValuesInsideTheArchiveAreReported)
{
    auto topWith = [](const char *key, plist_t value) {
        plist_t top = plist_new_dict();
        plist_dict_set_item(top, key, value);
        return archiveAround(top);
    };
    auto recordOf = [](const char *className) {
        plist_t record = plist_new_dict();
        plist_dict_set_item(record, "$class", plist_new_string(className));
        return record;
    };
    auto colorOf = [](double red) {
        plist_t color = plist_new_dict();
        plist_dict_set_item(color, "$class", plist_new_string("HLColor"));
        for (const char *name : {"green", "blue", "alpha"})
            plist_dict_set_item(color, name, plist_new_real(0.5));
        plist_dict_set_item(color, "red", plist_new_real(red));
        return color;
    };
    QByteArray png;
    {
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        samplePicture().save(&buffer, "PNG");
    }
    QByteArray hugePng = png;
    // IHDR claims 60000 x 60000 pixels, with a matching checksum.
    qToBigEndian<quint32>(60000, hugePng.data() + 16);
    qToBigEndian<quint32>(60000, hugePng.data() + 20);
    qToBigEndian<quint32>(crc32(hugePng.constData() + 12, 17), hugePng.data() + 29);
    const QByteArray brokenPng = png.left(png.size() / 2);

    const struct
    {
        const char *what;
        QByteArray data;
        std::function<void(HLKeyedUnarchiver &)> read;
        const char *message;
    } cases[] = {
        {"unknown class", topWith("kNSCodingRoot", recordOf("NoSuchClass")),
         [](HLKeyedUnarchiver &c) { c.decodeObject<SampleRecord>("kNSCodingRoot"); }, "unknown class \"NoSuchClass\""},
        {"record without a class", topWith("kNSCodingRoot", plist_new_dict()),
         [](HLKeyedUnarchiver &c) { c.decodeOptionalObject<SampleRecord>("kNSCodingRoot"); }, "expected a record"},
        {"class name not a string",
         [] {
             plist_t record = plist_new_dict();
             plist_dict_set_item(record, "$class", plist_new_uint(3));
             plist_t top = plist_new_dict();
             plist_dict_set_item(top, "kNSCodingRoot", record);
             return archiveAround(top);
         }(),
         [](HLKeyedUnarchiver &c) { c.decodeObject<SampleRecord>("kNSCodingRoot"); }, "expected a record"},
        {"missing key inside a list element",
         [&] {
             plist_t list = plist_new_array();
             plist_array_append_item(list, recordOf("ChainRecord"));
             plist_array_append_item(list, recordOf("SampleRecord"));
             return topWith("kNSCodingList", list);
         }(),
         [](HLKeyedUnarchiver &c) { c.decodeObjectArray<HLCoding>("kNSCodingList"); },
         "kNSCodingList[1].kNSCodingCount: missing"},
        {"colour component above one", topWith("kNSCodingColor", colorOf(1.5)),
         [](HLKeyedUnarchiver &c) { c.decodeColor("kNSCodingColor"); }, "colour component out of range"},
        {"colour component NaN", topWith("kNSCodingColor", colorOf(std::numeric_limits<double>::quiet_NaN())),
         [](HLKeyedUnarchiver &c) { c.decodeColor("kNSCodingColor"); }, "colour component out of range"},
        {"picture that is not PNG", topWith("kNSCodingThumb", plist_new_data("GIF89a", 6)),
         [](HLKeyedUnarchiver &c) { c.decodeImage("kNSCodingThumb"); }, "picture cannot be read"},
        {"truncated PNG", topWith("kNSCodingThumb", plist_new_data(brokenPng.constData(), brokenPng.size())),
         [](HLKeyedUnarchiver &c) { c.decodeImage("kNSCodingThumb"); }, "picture cannot be read"},
        {"PNG of absurd size", topWith("kNSCodingThumb", plist_new_data(hugePng.constData(), hugePng.size())),
         [](HLKeyedUnarchiver &c) { c.decodeImage("kNSCodingThumb"); }, "picture cannot be read"},
        {"record inside a dictionary",
         [&] {
             plist_t info = plist_new_dict();
             plist_dict_set_item(info, "Edit", recordOf("SampleRecord"));
             return topWith("kNSCodingInfo", info);
         }(),
         [](HLKeyedUnarchiver &c) { c.decodeDictionary("kNSCodingInfo"); }, "kNSCodingInfo.Edit: unexpected record"},
        {"date inside a dictionary",
         [&] {
             plist_t info = plist_new_dict();
             plist_dict_set_item(info, "When", plist_new_date(0, 0));
             return topWith("kNSCodingInfo", info);
         }(),
         [](HLKeyedUnarchiver &c) { c.decodeDictionary("kNSCodingInfo"); }, "unexpected a date"},
    };
    for (const auto &test : cases)
        EXPECT_THAT(readError(test.data, test.read), ::testing::HasSubstr(test.message)) << test.what;
}

TEST_F(HLKeyedUnarchiverTest, unreadableFilesAreReported)
{
    EXPECT_THROW(HLKeyedUnarchiver::fromFile("/nonexistent/ProjectData"), HLArchiveError);
    EXPECT_THROW(HLKeyedUnarchiver::unarchiveRootObject("/"), HLArchiveError);
}

} // namespace
