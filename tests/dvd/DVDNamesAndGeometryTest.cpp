#include "dvd/DVDDestination.h"
#include "dvd/DVDDiscName.h"

#include "Frameworks/Trevanel/DVDAuthorProgress.h"
#include "Frameworks/Trevanel/DVDChapterStarts.h"
#include "Frameworks/Trevanel/DVDChapterVideoProtocol.h"
#include "Frameworks/Trevanel/DVDImageMake.h"
#include "Frameworks/Trevanel/DVDMenuGeometry.h"
#include "Frameworks/Trevanel/DVDMenuMake.h"

#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(DVDDiscName, FolderNameIsOneSafePathComponent)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("Summer 2019"), QStringLiteral("Summer 2019")},
        {QStringLiteral("Summer/2019"), QStringLiteral("Summer2019")},
        {QStringLiteral("a\\b"), QStringLiteral("ab")},
        {QStringLiteral("."), QStringLiteral("My DVD")},
        {QStringLiteral(".."), QStringLiteral("My DVD")},
        {QStringLiteral("  .hidden  "), QStringLiteral("hidden")},
        {QStringLiteral("tab\there\nline"), QStringLiteral("tabhereline")},
        {QStringLiteral("/"), QStringLiteral("My DVD")},
        {QString(), QStringLiteral("My DVD")},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(DVDDiscName::folderName(name), expected) << name.toStdString();
    const QString longName = DVDDiscName::folderName(QString(300, QChar(0x00e9)));
    EXPECT_LE(longName.toUtf8().size(), 255);
    EXPECT_EQ(longName.size(), 127);
}

TEST(DVDDiscName, VolumeNameIsShortAscii)
{
    const std::pair<QString, QString> cases[] = {
        {QStringLiteral("Summer 2019"), QStringLiteral("Summer 2019")},
        {QStringLiteral("Été 2019"), QStringLiteral("_t_ 2019")},
        {QStringLiteral("A VOLUME NAME FAR TOO LONG FOR ANY DISC"), QStringLiteral("A VOLUME NAME FAR TOO LONG FOR")},
        {QStringLiteral("日本"), QStringLiteral("MY_DVD")},
        {QStringLiteral("   "), QStringLiteral("MY_DVD")},
    };
    for (const auto &[name, expected] : cases)
        EXPECT_EQ(DVDDiscName::volumeName(name), expected) << name.toStdString();
}

namespace {

struct FixedChapter : DVDChapterVideoProtocol
{
    explicit FixedChapter(double seconds) : seconds(seconds) {}
    std::vector<std::shared_ptr<DVDMenuElement>> titles() const override { return {}; }
    double duration() const override { return seconds; }
    double seconds;
};

} // namespace

TEST(DVDChapterStarts, ChaptersStartOnTheFirstPictureAtOrAfterTheirTime)
{
    struct Case
    {
        std::vector<double> durations;
        qint64 frameTime, frameRate;
        std::vector<qint64> frames;
        std::vector<int> numberOf;
    };
    const Case cases[] = {
        {{1.0, 1.0, 1.0}, 1001, 30000, {0, 30, 60}, {1, 2, 3}}, // 29.97: 1 s falls inside picture 29
        {{1.0, 1.0, 1.0}, 1, 25, {0, 25, 50}, {1, 2, 3}},
        {{0.04, 2.0}, 1, 25, {0}, {1, 1}},                     // a short chapter plays as the one before
        {{}, 1, 25, {0}, {}},
    };
    for (const Case &c : cases) {
        std::vector<std::shared_ptr<DVDChapterVideoProtocol>> chapters;
        for (const double d : c.durations)
            chapters.push_back(std::make_shared<FixedChapter>(d));
        const DVDChapterStarts starts = DVDChapterStarts::of(chapters, c.frameTime, c.frameRate);
        EXPECT_EQ(starts.frames, c.frames);
        EXPECT_EQ(starts.numberOf, c.numberOf);
    }
}

TEST(DVDMenuGeometry, ButtonsFlipIntoTheFrameClampedAndEven)
{
    struct Case
    {
        const char *name;
        DVDMenuRect rect;
        std::optional<DVDFrameButton> expected;
    };
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"inside", {100, 100, 200, 150}, DVDFrameButton{100, 230, 300, 380}},
        {"odd edges widen to even", {101, 99, 200, 151}, DVDFrameButton{100, 230, 302, 382}},
        {"partly right and below", {600, -50, 400, 200}, DVDFrameButton{600, 330, 718, 478}},
        {"whole frame and more", {-1e9, -1e9, 3e9, 3e9}, DVDFrameButton{0, 0, 718, 478}},
        {"wholly right", {800, 100, 100, 100}, std::nullopt},
        {"wholly above", {100, 500, 100, 100}, std::nullopt},
        {"empty", {100, 100, 0, 50}, std::nullopt},
        {"not a number", {nan, 100, 50, 50}, std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(DVDMenuGeometry::buttonInFrame(c.rect, 720, 480), c.expected);
    }
}

TEST(DVDMenuGeometry, MenuRectanglesScaleToTheVideoFrame)
{
    EXPECT_EQ(DVDMenuMake::scaleRect(QRectF(90, 135, 180, 270), QSizeF(720, 540), QSizeF(720, 480)),
              QRectF(90, 120, 180, 240));
    EXPECT_EQ(DVDMenuMake::scaleRect(QRectF(480, 0, 480, 540), QSizeF(960, 540), QSizeF(720, 576)),
              QRectF(360, 0, 360, 576));
    EXPECT_EQ(DVDMenuMake::scaleRect(QRectF(10, 10, 10, 10), QSizeF(0, 0), QSizeF(720, 480)), QRectF());
}

TEST(DVDToolProgress, ReadFromTheToolsLines)
{
    // Menus written first, then the titles: each domain counts its megabytes from 0.
    DVDAuthorProgress author(10.0);
    std::vector<double> seen;
    for (const char *line : {"STAT: Processing menu0.dvd...", "STAT: VOBU 2 at 1MB, 1 PGCs", "STAT: Processing title0.dvd...",
                             "STAT: VOBU 16 at 1MB, 2 PGCs", "WARN: something", "STAT: VOBU 50 at 4MB, 2 PGCs",
                             "STAT: VOBU 68 at 12MB, 2 PGCs", "STAT: fixed 68 VOBUs"}) {
        if (const auto p = author.read(QString::fromLatin1(line)))
            seen.push_back(*p);
    }
    EXPECT_EQ(seen, (std::vector<double>{0.1, 0.2, 0.5, 0.99}));

    EXPECT_EQ(DVDImageMake::progressOfLine(QStringLiteral(" 45.50% done, estimate finish Thu Dec 10")), 0.455);
    EXPECT_EQ(DVDImageMake::progressOfLine(QStringLiteral("100.00% done")), 0.99);
    EXPECT_EQ(DVDImageMake::progressOfLine(QStringLiteral("Total extents written")), std::nullopt);
}

TEST(DVDMenuGeometry, LetterboxButtonsLieBetweenTheBars)
{
    // 480 rows: bars of 60 above and below, the picture squeezed to 360 rows.
    const DVDFrameButton wide{100, 140, 300, 340};
    EXPECT_EQ(DVDMenuGeometry::letterboxButton(wide, 480), (DVDFrameButton{100, 164, 300, 316}));
    EXPECT_EQ(DVDMenuGeometry::letterboxButton({0, 0, 720, 478}, 480), (DVDFrameButton{0, 60, 720, 420}));
    // 576 rows: bars of 72; odd rows round outwards to even ones.
    EXPECT_EQ(DVDMenuGeometry::letterboxButton({10, 2, 20, 4}, 576), (DVDFrameButton{10, 72, 20, 76}));
}

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString &path, const QByteArray &data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

} // namespace

TEST(DVDDestination, ReplacingPutsTheResultUnderTheTakenNameAndLeavesNothingElse)
{
    TestFolder folder;
    const QString target = folder.file(QStringLiteral("out/disc.iso"));
    ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("out"))));
    write(target, "old");
    write(folder.file(QStringLiteral("made.iso")), "new");
    QString error;
    ASSERT_TRUE(DVDDestination::replaceWith(folder.file(QStringLiteral("made.iso")), target, &error))
        << error.toStdString();
    EXPECT_EQ(contentOf(target), "new");
    EXPECT_EQ(QDir(folder.file(QStringLiteral("out"))).entryList(QDir::Files), QStringList{QStringLiteral("disc.iso")});
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("made.iso"))));

    // Nothing there: a plain move. A result that cannot be moved keeps the old one.
    write(folder.file(QStringLiteral("made.iso")), "first");
    ASSERT_TRUE(DVDDestination::replaceWith(folder.file(QStringLiteral("made.iso")),
                                            folder.file(QStringLiteral("out/other.iso")), &error));
    EXPECT_EQ(contentOf(folder.file(QStringLiteral("out/other.iso"))), "first");
    EXPECT_FALSE(DVDDestination::replaceWith(folder.file(QStringLiteral("gone.iso")), target, &error));
    EXPECT_EQ(contentOf(target), "new");
}
