#include "SourceHL/Model/Textline/HLTextlineItem.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"
#include "SourceHL/Model/Textline/HLTextItem.h"

#include <QImage>

#include <plist/plist.h>

#include <cstdlib>
#include <functional>
#include <limits>

#include <gtest/gtest.h>

namespace {

const QString kRoot = QStringLiteral("kNSCodingTextLineItem");

QImage thumb()
{
    QImage image(8, 6, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int x = 0; x < 8; ++x)
        image.setPixel(x, x % 6, qRgba(200, 10, 30, 255));
    return image;
}

// A static title with every style field away from its default, and a template title.
std::shared_ptr<HLTextlineItem> sampleLine()
{
    auto line = HLTextlineItem::textline();
    auto still = HLTextItem::textItemOf("1001");
    auto &style = *still->oTextEdit();
    style.setStrText("Grüße\nzwei Zeilen");
    style.setStrFont("DejaVu Serif");
    style.setDFontSize(42.5f);
    style.setClFont(QColor::fromRgbF(0.1f, 0.2f, 0.3f, 0.9f));
    style.setDCenterX(-0.25f);
    style.setDCenterY(1.3f);
    style.setBStaticBack(true);
    style.setClStaticBack(Qt::yellow);
    style.setDStaticBackRadius(0.7f);
    style.setDStaticBackAlpha(0.4f);
    style.setBStaticShadow(false);
    style.setClStaticShadow(Qt::gray);
    style.setDStaticShadowRadius(5);
    style.setDStaticShadowOffsetX(-2);
    style.setDStaticShadowOffsetY(3.5f);
    style.setDDynamicMoveIn(0.3f);
    style.setDDynamicMoveOut(2.7f);
    still->updateLineMin(12.5f, 127.5f);
    still->updatePlayMin(0.3f, 4.1f);
    line->add(still);

    auto animated = HLTextItem::textItemOf(
        "1002", {{"QuartzType", "QuartzTypeText"}, {"QuartzName", "FlyIn"}, {"ThumbnailName", thumb()}});
    animated->updateLineMin(200, 260);
    animated->updatePlayMin(7, 9.5f);
    animated->oTextEdit()->makeDirty();
    line->add(animated);
    return line;
}

QByteArray archive(const std::shared_ptr<HLTextlineItem> &line)
{
    HLKeyedArchiver archiver;
    archiver.encodeObject(kRoot, line);
    return archiver.encodedData();
}

std::shared_ptr<HLTextlineItem> unarchive(const QByteArray &data)
{
    HLKeyedUnarchiver coder = HLKeyedUnarchiver::fromData(data);
    return coder.decodeObject<HLTextlineItem>(kRoot);
}

// The archive with one record changed. path walks from the text line's record: keys of
// dictionaries, or "#n" for the n-th element of an array.
QByteArray edited(const QByteArray &data, const QStringList &path, const std::function<void(plist_t record)> &edit)
{
    plist_t root = nullptr;
    plist_from_bin(data.constData(), uint32_t(data.size()), &root);
    plist_t node = plist_dict_get_item(plist_dict_get_item(root, "$top"), kRoot.toUtf8().constData());
    for (const QString &step : path) {
        node = step.startsWith('#') ? plist_array_get_item(node, step.mid(1).toUInt())
                                    : plist_dict_get_item(node, step.toUtf8().constData());
        EXPECT_NE(node, nullptr) << step.toStdString();
    }
    edit(node);
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bytes, &length);
    QByteArray result(bytes, qsizetype(length));
    std::free(bytes);
    plist_free(root);
    return result;
}

std::function<void(plist_t)> setReal(const char *key, double value)
{
    return [=](plist_t record) { plist_dict_set_item(record, key, plist_new_real(value)); };
}

std::function<void(plist_t)> setString(const char *key, const char *value)
{
    return [=](plist_t record) { plist_dict_set_item(record, key, plist_new_string(value)); };
}

std::function<void(plist_t)> removeKey(const char *key)
{
    return [=](plist_t record) { plist_dict_remove_item(record, key); };
}

class HLTextlineArchive : public ::testing::Test
{
protected:
    void SetUp() override { HLTextlineItem::registerCoding(); }
};

TEST_F(HLTextlineArchive, LineAndTitlesRoundTripEqualToThemselves)
{
    const auto line = sampleLine();
    line->update(5);
    const auto decoded = unarchive(archive(line));

    const auto before = line->aryItems();
    const auto after = decoded->aryItems();
    ASSERT_EQ(after.size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(after[i]->isEqual(*before[i])) << after[i]->description().toStdString();
        EXPECT_TRUE(after[i]->oTextEdit()->isEqual(*before[i]->oTextEdit()));
        EXPECT_EQ(after[i]->oTextEdit()->strText(), before[i]->oTextEdit()->strText());
        EXPECT_EQ(after[i]->oTextEdit()->iDirtyGeneration(), 0u);
    }
    EXPECT_EQ(after[0]->oTextInfo(), nullptr);
    ASSERT_NE(after[1]->oTextInfo(), nullptr);
    EXPECT_EQ(after[1]->oTextInfo()->strName(), "FlyIn");
    EXPECT_EQ(after[1]->oTextInfo()->imgThumb().convertToFormat(QImage::Format_ARGB32_Premultiplied), thumb());

    // Play time and map are the owner's: a decoded line starts at 0 without a map.
    EXPECT_EQ(decoded->dNowTime(), 0);
    decoded->syncPlayTime();
    EXPECT_EQ(after[1]->dPlayMin(), 7);

    // A second round gives the same bytes.
    EXPECT_EQ(archive(decoded), archive(unarchive(archive(decoded))));
}

TEST_F(HLTextlineArchive, EmptyLineRoundTrips)
{
    EXPECT_TRUE(unarchive(archive(HLTextlineItem::textline()))->aryItems().isEmpty());
}

struct Damage
{
    const char *name;
    QStringList path;
    std::function<void(plist_t)> edit;
    const char *message; // a part of the error's text
};

TEST_F(HLTextlineArchive, DamagedArchivesAreRefused)
{
    const QByteArray good = archive(sampleLine());
    const QStringList style = {"kNSCodingItems", "#0", "kNSCodingTextEdit"};
    const QStringList title = {"kNSCodingItems", "#1"};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Damage damages[] = {
        {"centreNoNumber", style, setReal("kNSCodingCenterX", nan), "kNSCodingCenterX"},
        {"shadowOffsetInfinite", style, setReal("kNSCodingStaticShadowOffsetY", -inf), "kNSCodingStaticShadowOffsetY"},
        {"fontSizeInfinite", style, setReal("kNSCodingFontSize", inf), "kNSCodingFontSize"},
        {"fontSizeZero", style, setReal("kNSCodingFontSize", 0), "kNSCodingFontSize"},
        {"fontSizeNegative", style, setReal("kNSCodingFontSize", -12), "kNSCodingFontSize"},
        {"fontSizeHuge", style, setReal("kNSCodingFontSize", 1e6), "kNSCodingFontSize"},
        {"unknownType", style, [](plist_t r) { plist_dict_set_item(r, "kNSCodingType", plist_new_uint(2)); }, "kNSCodingType"},
        {"textOfWrongType", style, setReal("kNSCodingText", 3), "kNSCodingText"},
        {"colourMissing", style, removeKey("kNSCodingStaticShadowColor"), "kNSCodingStaticShadowColor"},
        {"emptyId", title, setString("kNSCodingTTID", ""), "kNSCodingTTID"},
        {"templateWithoutDescriptor", title, removeKey("kNSCodingTextInfo"), "kNSCodingTextInfo"},
        {"styleMissing", title, removeKey("kNSCodingTextEdit"), "kNSCodingTextEdit"},
        {"lineRangeNoNumber", title, setReal("kNSCodingLineMax", nan), "kNSCodingLineMax"},
        {"playRangeInfinite", title, setReal("kNSCodingPlayMin", inf), "kNSCodingPlayMin"},
        {"templateNameEmpty", {"kNSCodingItems", "#1", "kNSCodingTextInfo"}, setString("kNSCodingName", ""), "kNSCodingName"},
        {"thumbnailDamaged", {"kNSCodingItems", "#1", "kNSCodingTextInfo"},
         [](plist_t r) { plist_dict_set_item(r, "kNSCodingThumb", plist_new_data("\x89PNG\r\n\x1a\nxx", 10)); },
         "kNSCodingThumb"},
        {"sameIdTwice", title, setString("kNSCodingTTID", "1001"), "twice"},
        {"itemsNoArray", {}, setString("kNSCodingItems", "titles"), "kNSCodingItems"},
        {"itemsMissing", {}, removeKey("kNSCodingItems"), "kNSCodingItems"},
    };
    for (const auto &damage : damages) {
        SCOPED_TRACE(damage.name);
        const QByteArray data = edited(good, damage.path, damage.edit);
        try {
            unarchive(data);
            ADD_FAILURE() << "read without error";
        } catch (const HLArchiveError &error) {
            EXPECT_NE(std::string(error.what()).find(damage.message), std::string::npos) << error.what();
        }
    }
}

TEST_F(HLTextlineArchive, OutOfRangeValuesAreTakenIntoTheSettersRanges)
{
    const QByteArray good = archive(sampleLine());
    const QStringList style = {"kNSCodingItems", "#0", "kNSCodingTextEdit"};
    const QStringList title = {"kNSCodingItems", "#0"};
    QByteArray data = edited(good, title, setReal("kNSCodingLineMin", -3));
    data = edited(data, title, setReal("kNSCodingPlayMin", 5));
    data = edited(data, title, setReal("kNSCodingPlayMax", 2));
    data = edited(data, style, setReal("kNSCodingStaticBackAlpha", 2));
    data = edited(data, style, setReal("kNSCodingStaticShadowRadius", -4));
    data = edited(data, style, setReal("kNSCodingDynamicMoveIn", -1));
    const auto item = unarchive(data)->aryItems().at(0);
    EXPECT_EQ(item->dLineMin(), 0);
    EXPECT_EQ(item->dLineMax(), 127.5f);
    EXPECT_EQ(item->dPlayMin(), 5);
    EXPECT_EQ(item->dPlayMax(), 5);
    EXPECT_EQ(item->oTextEdit()->dStaticBackAlpha(), 1);
    EXPECT_EQ(item->oTextEdit()->dStaticShadowRadius(), 0);
    EXPECT_EQ(item->oTextEdit()->dDynamicMoveIn(), 0);
}

} // namespace
