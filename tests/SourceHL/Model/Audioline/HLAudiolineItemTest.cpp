#include "SourceHL/Model/Audioline/HLAudiolineItem.h"

#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "tests/support/TestFolder.h"

#include "Frameworks/Korvane/ZKFFMovie.h"
#include "tests/support/ForgedRecord.h"

#include <QDir>
#include <QFile>

#include <limits>

#include <gtest/gtest.h>

namespace {

int nextHash = 100;

std::shared_ptr<HLResourceItem> music(float duration)
{
    const QString hash = QString::number(nextHash++);
    return std::make_shared<HLResourceItem>(
        HLResourceTypeAudio, "TA" + hash, hash,
        QVariantMap{{"Name", "song" + hash}, {"Format", "wav"}, {"Duration", duration}});
}

std::vector<std::pair<float, float>> ranges(const HLAudiolineItem &line)
{
    std::vector<std::pair<float, float>> result;
    for (const auto &item : line.aryItems())
        result.emplace_back(item->dPlayMin(), item->dPlayMax());
    return result;
}

using Ranges = std::vector<std::pair<float, float>>;

TEST(HLAudiolineItem, LaysClipsEndToEnd)
{
    const auto line = HLAudiolineItem::audioline();
    line->add({music(10), music(20), music(5)});
    EXPECT_EQ(ranges(*line), (Ranges{{0, 10}, {10, 30}, {30, 35}}));
    EXPECT_EQ(line->repeatPlayingMode(), 35);
    EXPECT_EQ(line->repeatDuration(), 35);
    line->setEnType(1);
    EXPECT_EQ(line->repeatPlayingMode(), 0);
    EXPECT_EQ(line->repeatDuration(), 0);
    EXPECT_EQ(HLAudiolineItem::audioline()->repeatPlayingMode(), 0);
}

TEST(HLAudiolineItem, InsertsBeforeATargetAndArrangesLater)
{
    const auto line = HLAudiolineItem::audioline();
    const auto photo = std::make_shared<HLResourceItem>(HLResourceTypeImage, "TI1", "1", QVariantMap{});
    line->add({music(10), photo, music(20)}); // the photo is skipped
    ASSERT_EQ(line->aryItems().size(), 2u);
    const QString first = line->audioItemIDAt(0);
    const QString second = line->audioItemIDAt(1);
    EXPECT_EQ(line->audioItemIDAt(2), QString());
    EXPECT_EQ(line->audioItemIDAt(-1), QString());

    line->add({music(4)}, first);
    EXPECT_EQ(ranges(*line), (Ranges{{0, 4}, {0, 10}, {10, 30}}));
    line->add({music(2)}, second); // continues from the clip before the target
    EXPECT_EQ(ranges(*line), (Ranges{{0, 4}, {0, 10}, {10, 12}, {10, 30}}));
    line->arrange();
    EXPECT_EQ(ranges(*line), (Ranges{{0, 4}, {4, 14}, {14, 16}, {16, 36}}));

    line->setEnType(1);
    line->audioItemOf(first)->updatePlayMin(50, 60);
    line->arrange(); // custom ranges stay
    EXPECT_EQ(line->audioItemOf(first)->dPlayMin(), 50);
}

TEST(HLAudiolineItem, MovesAndRemovesByIdentifier)
{
    const auto line = HLAudiolineItem::audioline();
    line->add({music(1), music(2), music(3)});
    const QString a = line->audioItemIDAt(0), b = line->audioItemIDAt(1), c = line->audioItemIDAt(2);
    line->move(a, QString()); // to the end
    EXPECT_EQ(line->audioItemIDAt(2), a);
    line->move(a, b); // before b
    EXPECT_EQ(line->audioItemIDAt(0), a);
    EXPECT_EQ(line->audioItemIDAt(1), b);
    line->move("nothing", b);
    line->remove("nothing");
    EXPECT_EQ(line->aryItems().size(), 3u);
    line->remove(b);
    EXPECT_EQ(line->audioItemIDAt(1), c);
    EXPECT_EQ(line->audioItemOf(b), nullptr);
    EXPECT_EQ(line->resourceHashIDs().size(), 2);
}

struct WindowCase
{
    float time;
    const char *expected; // per clip: d(id load), l(oad), u(nload), - nothing
};

class HLAudiolineWindow : public ::testing::TestWithParam<WindowCase>
{
};

// Clips [0, 10], [10, 30], [30, 35]; the second one is loaded.
TEST_P(HLAudiolineWindow, SortsClipsByTime)
{
    const WindowCase c = GetParam();
    const auto line = HLAudiolineItem::audioline();
    line->add({music(10), music(20), music(5)});
    line->aryItems()[1]->setOPlayer(std::make_shared<ZKFFMovie>());
    QString seen(3, u'-');
    const auto mark = [&](QChar letter) {
        return [&, letter](const std::shared_ptr<HLAudioItem> &item) {
            seen[int(line->p_indexOf(item->strAUID()))] = letter;
        };
    };
    line->update(c.time, mark(u'd'), mark(u'l'), mark(u'u'));
    EXPECT_EQ(seen, QString::fromLatin1(c.expected));
    EXPECT_EQ(line->dNowTime(), c.time);
    line->update(c.time, nullptr, nullptr, nullptr); // null blocks are skipped
}

INSTANTIATE_TEST_SUITE_P(Cases, HLAudiolineWindow,
                         ::testing::Values(WindowCase{5, "lu-"}, WindowCase{10, "-u-"}, WindowCase{20, "-d-"},
                                           WindowCase{30, "-u-"}, WindowCase{32, "-ul"}, WindowCase{40, "-u-"}));

TEST(HLAudiolineItem, LoadedItems)
{
    const auto line = HLAudiolineItem::audioline();
    line->add({music(10), music(20)});
    EXPECT_TRUE(line->loadedAudioItems().empty());
    line->aryItems()[1]->setOPlayer(std::make_shared<ZKFFMovie>());
    ASSERT_EQ(line->loadedAudioItems().size(), 1u);
    EXPECT_EQ(line->loadedAudioItems()[0], line->aryItems()[1]);
    line->aryItems()[1]->unloadAudio();
    EXPECT_TRUE(line->loadedAudioItems().empty());
}

TEST(HLAudiolineItem, RoundTripsThroughTheArchive)
{
    HLAudiolineItem::registerCoding();
    const auto line = HLAudiolineItem::audioline();
    line->add({music(10), music(20)});
    line->setEnType(1);
    const auto edit = line->aryItems()[1]->oEdit();
    edit->setDTrimMax(15);
    edit->setDTrimMin(2.5f);
    edit->setDFadeIn(0);
    edit->setDVolume(0.25f);
    line->aryItems()[1]->updatePlayMin(40, 52.75f);

    HLKeyedArchiver archiver;
    archiver.encodeObject("kNSCodingAudioLineItem", line);
    auto coder = HLKeyedUnarchiver::fromData(archiver.encodedData());
    const auto decoded = coder.decodeObject<HLAudiolineItem>("kNSCodingAudioLineItem");
    EXPECT_EQ(decoded->enType(), 1);
    ASSERT_EQ(decoded->aryItems().size(), 2u);
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_TRUE(decoded->aryItems()[i]->isEqual(*line->aryItems()[i]));
        EXPECT_EQ(decoded->aryItems()[i]->oResource()->strResourceID(), line->aryItems()[i]->oResource()->strResourceID());
        EXPECT_EQ(decoded->aryItems()[i]->oResource()->audioDuration(), line->aryItems()[i]->oResource()->audioDuration());
    }
    EXPECT_FALSE(decoded->aryItems()[0]->isEqual(*decoded->aryItems()[1]));
}

// A record written by hand, as a foreign or damaged file would hold it.
using Tampered = ForgedRecord;

TEST(HLAudiolineItem, RefusesDamagedArchives)
{
    HLAudiolineItem::registerCoding();
    const auto line = HLAudiolineItem::audioline();
    line->add({music(10)});
    const auto item = line->aryItems()[0];
    const auto clipWith = [&](float playMin, float playMax, std::shared_ptr<HLResourceItem> resource) {
        return std::make_shared<Tampered>("HLAudioItem", [=](HLKeyedArchiver &coder) {
            coder.encodeString("kNSCodingAUID", item->strAUID());
            coder.encodeObject("kNSCodingResource", resource);
            coder.encodeObject("kNSCodingEdit", item->oEdit());
            coder.encodeFloat("kNSCodingPlayMin", playMin);
            coder.encodeFloat("kNSCodingPlayMax", playMax);
        });
    };
    const auto photo = std::make_shared<HLResourceItem>(HLResourceTypeImage, "TI1", "1", QVariantMap{});
    const std::vector<std::pair<const char *, std::shared_ptr<HLCoding>>> cases = {
        {"no play type", std::make_shared<Tampered>("HLAudiolineItem", [&](HLKeyedArchiver &coder) {
             coder.encodeObjectArray("kNSCodingItems", line->aryItems());
         })},
        {"unknown play type", std::make_shared<Tampered>("HLAudiolineItem", [&](HLKeyedArchiver &coder) {
             coder.encodeObjectArray("kNSCodingItems", line->aryItems());
             coder.encodeInt64("kNSCodingType", 7);
         })},
        {"the same clip twice", std::make_shared<Tampered>("HLAudiolineItem", [&](HLKeyedArchiver &coder) {
             coder.encodeObjectArray("kNSCodingItems", std::vector{item, item});
             coder.encodeInt64("kNSCodingType", 0);
         })},
        {"negative start", clipWith(-1, 5, item->oResource())},
        {"end before start", clipWith(6, 5, item->oResource())},
        {"endless", clipWith(0, std::numeric_limits<float>::infinity(), item->oResource())},
        {"a photo as music", clipWith(0, 5, photo)},
        {"edit without a number", std::make_shared<Tampered>("HLAudioEdit", [](HLKeyedArchiver &coder) {
             coder.encodeString("kNSCodingName", "x");
             for (const char *key : {"kNSCodingDuration", "kNSCodingTrimMin", "kNSCodingTrimMax", "kNSCodingFadeIn",
                                     "kNSCodingFadeOut"})
                 coder.encodeFloat(key, 1);
             coder.encodeFloat("kNSCodingVolume", std::numeric_limits<float>::quiet_NaN());
         })},
    };
    for (const auto &[name, record] : cases) {
        SCOPED_TRACE(name);
        HLKeyedArchiver archiver;
        archiver.encodeObject("record", record);
        auto coder = HLKeyedUnarchiver::fromData(archiver.encodedData());
        EXPECT_THROW(coder.decodeObject<HLCoding>("record"), HLArchiveError);
    }
}

struct DamagedEdit
{
    float duration, trimMin, trimMax, fadeIn, fadeOut, volume;
    float keptMin, keptMax, keptFadeIn, keptFadeOut, keptVolume;
};

class HLAudioEditDamaged : public ::testing::TestWithParam<DamagedEdit>
{
};

// Out-of-range values come back inside the setters' ranges, so no clip loops over an empty
// or inverted part.
TEST_P(HLAudioEditDamaged, TakenIntoTheSettersRanges)
{
    HLAudiolineItem::registerCoding();
    const DamagedEdit c = GetParam();
    HLKeyedArchiver archiver;
    archiver.encodeObject("record", std::make_shared<Tampered>("HLAudioEdit", [&](HLKeyedArchiver &coder) {
        coder.encodeString("kNSCodingName", "x");
        coder.encodeFloat("kNSCodingDuration", c.duration);
        coder.encodeFloat("kNSCodingTrimMin", c.trimMin);
        coder.encodeFloat("kNSCodingTrimMax", c.trimMax);
        coder.encodeFloat("kNSCodingFadeIn", c.fadeIn);
        coder.encodeFloat("kNSCodingFadeOut", c.fadeOut);
        coder.encodeFloat("kNSCodingVolume", c.volume);
    }));
    auto coder = HLKeyedUnarchiver::fromData(archiver.encodedData());
    const auto edit = coder.decodeObject<HLAudioEdit>("record");
    EXPECT_EQ(edit->dTrimMin(), c.keptMin);
    EXPECT_EQ(edit->dTrimMax(), c.keptMax);
    EXPECT_EQ(edit->dFadeIn(), c.keptFadeIn);
    EXPECT_EQ(edit->dFadeOut(), c.keptFadeOut);
    EXPECT_EQ(edit->dVolume(), c.keptVolume);
}

INSTANTIATE_TEST_SUITE_P(Cases, HLAudioEditDamaged,
                         ::testing::Values(DamagedEdit{10, 2, 8, 3, 3, 0.5f, 2, 8, 3, 3, 0.5f}, // sound: as stored
                                           DamagedEdit{10, 8, 5, 3, 3, 1, 4, 5, 3, 3, 1},       // inverted
                                           DamagedEdit{10, -1, 40, -2, -3, -1, 0, 10, 0, 0, 0}, // beyond
                                           DamagedEdit{0.5f, 0.4f, 0.2f, 3, 3, 1, 0, 0.5f, 3, 3, 1}));

TEST(HLAudioEdit, DecodingRefusesALengthOfNoMusic)
{
    HLAudiolineItem::registerCoding();
    for (const float duration : {0.0f, -4.0f}) {
        HLKeyedArchiver archiver;
        archiver.encodeObject("record", std::make_shared<Tampered>("HLAudioEdit", [&](HLKeyedArchiver &coder) {
            coder.encodeString("kNSCodingName", "x");
            for (const char *key : {"kNSCodingTrimMin", "kNSCodingTrimMax", "kNSCodingFadeIn", "kNSCodingFadeOut",
                                    "kNSCodingVolume"})
                coder.encodeFloat(key, 0);
            coder.encodeFloat("kNSCodingDuration", duration);
        }));
        auto coder = HLKeyedUnarchiver::fromData(archiver.encodedData());
        EXPECT_THROW(coder.decodeObject<HLAudioEdit>("record"), HLArchiveError) << duration;
    }
}

TEST(HLAudiolineItem, SavingCopiesResourcesAndMakesThemPersistent)
{
    TestFolder folder;
    HLResourcePool::update(folder.file("TA"), HLResourceSourceTemp, HLResourceTypeAudio);
    HLResourcePool::update(folder.file("MA"), HLResourceSourceMedi, HLResourceTypeAudio);
    const auto line = HLAudiolineItem::audioline();
    line->add({music(10), music(20)});
    for (const QString &hash : line->resourceHashIDs()) {
        QDir(folder.file("TA")).mkpath(hash);
        QFile file(folder.file("TA/" + hash + "/Audio"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(hash.toLatin1());
    }
    line->duplicateResourcesTo(HLResourcePool::resourcePoolOfSource(HLResourceSourceMedi, HLResourceTypeAudio));
    line->makeResourcesPersistent();
    for (const QString &identifier : line->resourceResourceIDs())
        EXPECT_TRUE(identifier.startsWith("PA")) << identifier.toStdString();
    for (const QString &hash : line->resourceHashIDs()) {
        QFile copy(folder.file("MA/" + hash + "/Audio"));
        ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
        EXPECT_EQ(copy.readAll(), hash.toLatin1());
    }
    HLResourcePool::update(QString(), HLResourceSourceTemp, HLResourceTypeAudio);
    HLResourcePool::update(QString(), HLResourceSourceMedi, HLResourceTypeAudio);
}

} // namespace
