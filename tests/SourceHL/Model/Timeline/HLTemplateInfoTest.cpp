#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "Platform/Foundation/HLPropertyList.h"
#include "SourceHL/Model/Timeline/HLQuartzKeys.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"
#include "TimelineFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

#include <QFile>

namespace {

// The catalogue reads a template's property list and puts the thumbnail in place of its name.
QVariantMap templateDictionary(const TestFolder &folder, const QByteArray &entries)
{
    const QString path = folder.file(QStringLiteral("Template.plist"));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n<plist version=\"1.0\"><dict>"
               + entries + "</dict></plist>\n");
    file.close();
    QVariantMap dictionary = HLPropertyList::readDictionary(path);
    dictionary[kQuartzKeyThumbName] = TimelineFixtures::thumb(Qt::magenta);
    return dictionary;
}

TEST(TemplateInfo, SlideshowDescriptorFromAPropertyList)
{
    TestFolder folder;
    const QVariantMap dictionary = templateDictionary(folder, R"(
        <key>QuartzType</key><string>QuartzTypeSlideshow</string>
        <key>QuartzName</key><string>Pan</string>
        <key>ThumbnailName</key><string>Pan.png</string>
        <key>BestCount</key><integer>3</integer>
        <key>BestDuration</key><real>12.5</real>
        <key>DecorationBorder</key><true/>
        <key>Duration_T_S</key><real>1.5</real>
        <key>Duration_S</key><string>2.25</string>
        <key>Duration_T</key><real>3</real>
        <key>Duration_T_A</key><real>2</real>
        <key>Duration_T_B</key><real>4</real>
        <key>Duration_T_B_2</key><real>5</real>)");
    const auto info = HLSlideshowInfo::slideshowInfoOf(dictionary);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->strName(), "Pan");
    EXPECT_EQ(info->imgThumb().pixelColor(0, 0), QColor(Qt::magenta));
    EXPECT_EQ(info->iBestCount(), 3);
    EXPECT_EQ(info->dBestDuration(), 12.5f);
    EXPECT_TRUE(info->bPreferBorder());
    EXPECT_FALSE(info->bPreferBack()); // absent
    EXPECT_EQ(info->dDuration_T_S(), 1.5f);
    EXPECT_EQ(info->dDuration_S(), 2.25f); // a number written as text
    EXPECT_EQ(info->dDuration_T(), 3.0f);
    EXPECT_EQ(info->dDuration_T_A(), 2.0f);
    EXPECT_EQ(info->dDuration_T_A_2(), 0.0f); // absent
    EXPECT_EQ(info->dDuration_T_B(), 4.0f);
    EXPECT_EQ(info->dDuration_T_B_2(), 5.0f);
    EXPECT_FALSE(HLTransitionInfo::transitionInfoOf(dictionary));
}

TEST(TemplateInfo, TransitionDescriptorAndKinds)
{
    TestFolder folder;
    const QVariantMap dictionary = templateDictionary(folder, R"(
        <key>QuartzType</key><string>QuartzTypeTransition</string>
        <key>QuartzName</key><string>Dissolve</string>
        <key>BestDuration</key><real>1.5</real>)");
    const auto info = HLTransitionInfo::transitionInfoOf(dictionary);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->strName(), "Dissolve");
    EXPECT_EQ(info->dBestDuration(), 1.5f);
    EXPECT_FALSE(HLSlideshowInfo::slideshowInfoOf(dictionary));
    EXPECT_FALSE(HLSlideshowInfo::slideshowInfoOf({}));
    EXPECT_FALSE(HLTransitionInfo::transitionInfoOf({{kQuartzTypeKey, kQuartzTypeValueText}}));
}

TEST(TemplateInfo, ArchiveKeepsEveryField)
{
    HLTimelineItem::registerCoding();
    const auto slideshow = HLSlideshowInfo::slideshowInfoOf(TimelineFixtures::slideshowTemplate("Pan", {}, true, true));
    const auto transition = HLTransitionInfo::transitionInfoOf(TimelineFixtures::transitionTemplate("Wipe", 0.5f));
    HLKeyedArchiver archiver;
    archiver.encodeObject(QStringLiteral("slideshow"), slideshow);
    archiver.encodeObject(QStringLiteral("transition"), transition);
    HLKeyedUnarchiver coder = HLKeyedUnarchiver::fromData(archiver.encodedData());
    const auto s = coder.decodeObject<HLSlideshowInfo>(QStringLiteral("slideshow"));
    const auto t = coder.decodeObject<HLTransitionInfo>(QStringLiteral("transition"));
    EXPECT_EQ(s->strName(), "Pan");
    EXPECT_EQ(s->imgThumb().convertToFormat(QImage::Format_ARGB32),
              slideshow->imgThumb().convertToFormat(QImage::Format_ARGB32));
    EXPECT_EQ(s->iBestCount(), 4);
    EXPECT_EQ(s->dBestDuration(), 12.5f);
    EXPECT_TRUE(s->bPreferBack() && s->bPreferBorder());
    EXPECT_EQ(s->dDuration_T_S(), 1.0f);
    EXPECT_EQ(s->dDuration_S(), 5.0f);
    EXPECT_EQ(s->dDuration_T(), 3.0f);
    EXPECT_EQ(s->dDuration_T_A(), 2.0f);
    EXPECT_EQ(s->dDuration_T_B(), 4.0f);
    EXPECT_EQ(s->dDuration_T_B_2(), 6.0f);
    EXPECT_EQ(t->strName(), "Wipe");
    EXPECT_EQ(t->dBestDuration(), 0.5f);
    EXPECT_EQ(t->imgThumb().pixelColor(1, 1), QColor(Qt::cyan));
}

} // namespace
