#include "Platform/Foundation/HLPropertyList.h"

#include "tests/support/TestFolder.h"

#include <QDateTime>
#include <QFile>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>

namespace {

const char kTemplateXml[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
	<key>QuartzName</key>
	<string>Zoom &amp; Pan.qtz</string>
	<key>QuartzType</key>
	<string>QuartzTypeSlideshow</string>
	<key>BestCount</key>
	<integer>3</integer>
	<key>BestDuration</key>
	<real>4.5</real>
	<key>DecorationBack</key>
	<true/>
	<key>DecorationBorder</key>
	<false/>
	<key>Duration_T</key>
	<string>2.5</string>
	<key>Thumb</key>
	<data>AAEC/w==</data>
	<key>Made</key>
	<date>2001-01-01T00:01:00Z</date>
	<key>Phases</key>
	<array>
		<real>1</real>
		<dict/>
	</array>
</dict>
</plist>
)";

void checkTemplate(const QVariantMap &info)
{
    EXPECT_EQ(info["QuartzName"], QVariant(QStringLiteral("Zoom & Pan.qtz")));
    EXPECT_EQ(info["QuartzType"], QVariant(QStringLiteral("QuartzTypeSlideshow")));
    EXPECT_EQ(info["BestCount"], QVariant(qint64(3)));
    EXPECT_EQ(info["BestDuration"], QVariant(4.5));
    EXPECT_EQ(info["DecorationBack"], QVariant(true));
    EXPECT_EQ(info["DecorationBorder"], QVariant(false));
    EXPECT_EQ(info["Thumb"], QVariant(QByteArray("\x00\x01\x02\xff", 4)));
    EXPECT_EQ(info["Made"].toDateTime(), QDateTime(QDate(2001, 1, 1), QTime(0, 1), Qt::UTC));
    EXPECT_EQ(info["Phases"].toList().size(), 2);
}

TEST(HLPropertyList, readsXmlAndBinaryFiles)
{
    TestFolder folder;
    const QString xmlPath = folder.file("Template.plist");
    QFile xml(xmlPath);
    ASSERT_TRUE(xml.open(QIODevice::WriteOnly));
    xml.write(kTemplateXml);
    xml.close();
    const QVariantMap fromXml = HLPropertyList::readDictionary(xmlPath);
    checkTemplate(fromXml);

    plist_t node = nullptr;
    plist_from_xml(kTemplateXml, sizeof kTemplateXml - 1, &node);
    ASSERT_TRUE(node);
    char *bytes = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &bytes, &length);
    plist_free(node);
    const QByteArray binary(bytes, qsizetype(length));
    std::free(bytes);
    EXPECT_EQ(HLPropertyList::dictionaryFromData(binary), fromXml);
}

TEST(HLPropertyList, brokenFilesAreErrors)
{
    QByteArray deep = "<plist>";
    for (int i = 0; i < 50000; ++i)
        deep += "<array>";
    const QByteArray xml(kTemplateXml);
    const struct
    {
        const char *what;
        QByteArray data;
        const char *message;
    } cases[] = {
        {"empty", QByteArray(), "damaged property list"},
        {"plain text", "QuartzName = x;", "damaged property list"},
        {"other XML", "<html><body/></html>", "not a property list"},
        {"truncated XML", xml.left(xml.size() / 2), "damaged property list"},
        {"array at the top", "<plist><array><string>x</string></array></plist>", "not a dictionary"},
        {"string at the top", "<plist><string>x</string></plist>", "not a dictionary"},
        {"nesting beyond reason", deep, "nested too deeply"},
        {"truncated binary", QByteArray("bplist00\xd1\x01\x02"), "not a binary property list"},
    };
    for (const auto &test : cases) {
        try {
            HLPropertyList::dictionaryFromData(test.data);
            ADD_FAILURE() << test.what << " was read";
        } catch (const HLPropertyListError &error) {
            EXPECT_THAT(error.what(), ::testing::HasSubstr(test.message)) << test.what;
        }
    }
    EXPECT_THROW(HLPropertyList::readDictionary("/nonexistent/Template.plist"), HLPropertyListError);
}

TEST(HLPropertyList, malformedValuesInWellFormedXmlDoNotCrash)
{
    // libplist reads these leniently; all that matters is an answer or an error.
    const char *bodies[] = {"<integer>abc</integer>", "<integer></integer>", "<real>x</real>",
                            "<data>!!!</data>",      "<date>never</date>",  "<true>x</true>",
                            "<key>k</key>",          "<unknown/>",          "<string>&bogus;</string>"};
    for (const char *body : bodies) {
        const QByteArray data = QByteArray("<plist><dict><key>K</key>") + body + "</dict></plist>";
        try {
            HLPropertyList::dictionaryFromData(data);
        } catch (const HLPropertyListError &) {
        }
    }
}

TEST(HLPropertyList, valueReadingsFollowThePlatform)
{
    const QVariantMap info{
        {"Real", 2.5},        {"Integer", qint64(3)},       {"Numeric", QStringLiteral(" 2.5 ")},
        {"Whole", QStringLiteral("7")}, {"Word", QStringLiteral("fast")}, {"Yes", QStringLiteral("YES")},
        {"True", QStringLiteral("true")}, {"One", QStringLiteral("1")},  {"No", QStringLiteral("NO")},
        {"Zero", QStringLiteral("0")}, {"Flag", true},             {"Negative", -2.7},
        {"List", QVariantList{1}}, {"Infinite", QStringLiteral("inf")},
    };
    const struct
    {
        const char *key;
        double number;
        qint64 integer;
        bool boolean;
    } cases[] = {
        // key          number  integer  boolean   (fallbacks: -1, -1, false)
        {"Real", 2.5, 2, true},
        {"Integer", 3, 3, true},
        {"Numeric", 2.5, 2, true},
        {"Whole", 7, 7, true},
        {"Word", -1, -1, false},
        {"Yes", -1, -1, true},
        {"True", -1, -1, true},
        {"One", 1, 1, true},
        {"No", -1, -1, false},
        {"Zero", 0, 0, false},
        {"Flag", 1, 1, true},
        {"Negative", -2.7, -2, true},
        {"List", -1, -1, false},
        {"Infinite", -1, -1, false},
        {"Missing", -1, -1, false},
    };
    for (const auto &test : cases) {
        EXPECT_EQ(HLPropertyList::number(info, test.key, -1), test.number) << test.key;
        EXPECT_EQ(HLPropertyList::integer(info, test.key, -1), test.integer) << test.key;
        EXPECT_EQ(HLPropertyList::boolean(info, test.key, false), test.boolean) << test.key;
    }
    EXPECT_TRUE(HLPropertyList::boolean(info, "Word", true));
    EXPECT_TRUE(HLPropertyList::boolean(info, "Missing", true));
    EXPECT_EQ(HLPropertyList::string(info, "Word"), QStringLiteral("fast"));
    EXPECT_EQ(HLPropertyList::string(info, "Integer", QStringLiteral("none")), QStringLiteral("none"));
}

} // namespace
