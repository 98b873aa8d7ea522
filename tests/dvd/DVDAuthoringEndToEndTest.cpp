#include "tests/dvd/DVDFakeDrive.h"
#include "tests/dvd/DVDReadSummary.h"
#include "tests/dvd/DVDTestDisc.h"

#include "dvd/BurnDVDWorkflow.h"
#include "dvd/DVDOutputJob.h"

#include "Frameworks/Trevanel/DVDBurn.h"
#include "Frameworks/Trevanel/DVDLibburnDevice.h"
#include "Frameworks/Trevanel/Trevanel.h"
#include "Platform/Foundation/HLJob.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/MediaFixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

namespace {

QString run(const QString &program, const QStringList &arguments)
{
    return QString::fromUtf8(ChildProcess::run(program, arguments, true).output);
}

// The display aspect the MPEG-2 stream of the first title declares.
QString streamAspect(const QString &folder)
{
    return run(QStringLiteral("ffprobe"), {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                                           QStringLiteral("v:0"), QStringLiteral("-show_entries"),
                                           QStringLiteral("stream=display_aspect_ratio"), QStringLiteral("-of"),
                                           QStringLiteral("default=nw=1:nk=1"), folder + QStringLiteral("/VIDEO_TS/VTS_01_1.VOB")})
        .trimmed();
}

struct DiscCase
{
    const char *name;
    int format;
    qint64 aspect;
    bool menu;
    bool playFirstTitle;
    bool music;
    const char *firstPlay;
};

class DVDDiscCases : public ::testing::TestWithParam<DiscCase>
{
};

} // namespace

TEST_P(DVDDiscCases, FolderReadsBackAsDescribed)
{
    const DiscCase c = GetParam();
    TestFolder folder;
    DVDTestDisc::Recipe recipe;
    recipe.format = c.format;
    recipe.aspect = c.aspect;
    recipe.menu = c.menu;
    recipe.playFirstTitle = c.playFirstTitle;
    recipe.music = c.music;
    recipe.titles = {{1.0, 1.0}, {1.0}};
    const auto dvd = DVDTestDisc::disc(folder, recipe);
    BurnDVDWorkflow workflow(folder.file(QStringLiteral("work")));
    HLJobState workflowState;
    const QString destination = folder.file(QStringLiteral("out/My Disc"));
    ASSERT_TRUE(workflow.make(dvd, destination, workflowState)) << workflowState.errorString().toStdString();
    EXPECT_EQ(workflow.resultPath(), destination);
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("work"))));

    const DVDReadSummary summary = DVDReadSummary::of(destination);
    ASSERT_TRUE(summary.opened);
    EXPECT_EQ(summary.titleCount, 2);
    EXPECT_EQ(summary.chapters, (std::vector<int>{2, 1}));
    EXPECT_EQ(summary.firstPlay, QString::fromLatin1(c.firstPlay));
    EXPECT_EQ(summary.videoFormat, c.format);
    EXPECT_EQ(summary.aspect, c.aspect == 1 ? 3 : 0);
    EXPECT_EQ(streamAspect(destination), c.aspect == 1 ? QStringLiteral("16:9") : QStringLiteral("4:3"));
    EXPECT_EQ(summary.pictureWidth, 720);
    EXPECT_EQ(summary.pictureHeight, c.format == 0 ? 480 : 576);
    EXPECT_NEAR(summary.frameRate, c.format == 0 ? 29.97 : 25.0, 0.01);
    ASSERT_EQ(summary.chapterStarts.size(), 2u);
    EXPECT_EQ(summary.chapterStarts[0], 0.0);
    // The second chapter starts where its one-second clip does, to within a picture.
    EXPECT_NEAR(summary.chapterStarts[1], 1.0, 1.0 / summary.frameRate) << "frame rate " << summary.frameRate;
    EXPECT_EQ(summary.hasMenu, c.menu);
    if (c.menu) {
        EXPECT_EQ(summary.menuAspect, c.aspect == 1 ? 3 : 0);
        // A 16:9 menu has its buttons for 16:9 sets (stream 0) and letterboxed for 4:3 sets
        // (stream 1), each with its own highlight.
        EXPECT_TRUE(summary.menuSubpictureControl & 0x80000000u);
        if (c.aspect == 1) {
            EXPECT_EQ((summary.menuSubpictureControl >> 16) & 0x1f, 0u); // widescreen
            EXPECT_EQ((summary.menuSubpictureControl >> 8) & 0x1f, 1u);  // letterbox
            EXPECT_EQ(summary.buttonGroups, 2);
        } else {
            EXPECT_EQ(summary.buttonGroups, 1);
        }
        ASSERT_EQ(summary.buttons.size(), 2u);
        EXPECT_EQ(summary.buttons[0].title, 1);
        EXPECT_EQ(summary.buttons[0].chapter, 1);
        EXPECT_EQ(summary.buttons[1].title, 2);
        // Translucent red over a highlighted button, a darker shade over a pressed one.
        EXPECT_GT(summary.highlightColor.red(), 200);
        EXPECT_LT(summary.highlightColor.green(), 40);
        EXPECT_NEAR(summary.highlightColor.alphaF(), 0.4, 0.07);
        EXPECT_LT(summary.selectColor.red(), 40);
        EXPECT_NEAR(summary.selectColor.alphaF(), 0.35, 0.07);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Discs, DVDDiscCases,
    ::testing::Values(DiscCase{"NtscWithMenu", 0, 0, true, false, false, "menu"},
                      DiscCase{"PalWideWithMusic", 1, 1, true, false, true, "menu"},
                      DiscCase{"NtscWideWithoutMenu", 0, 1, false, false, false, "title"},
                      DiscCase{"PalPlayingTitleFirst", 1, 0, true, true, false, "title"}),
    [](const ::testing::TestParamInfo<DiscCase> &info) { return std::string(info.param.name); });

TEST(DVDAuthoringEndToEnd, IsoOpensAndCarriesItsVolumeNameAndBurnsByteForByte)
{
    TestFolder folder;
    DVDTestDisc::Recipe recipe;
    const auto dvd = DVDTestDisc::disc(folder, recipe);
    const QString isoPath = folder.file(QStringLiteral("images/disc.iso"));
    auto output = DVDOutputJob::iso(dvd, isoPath, QStringLiteral("Été 2019: a summer of sun and sea"));
    ASSERT_TRUE(output->job().runHere()) << output->job().state().errorString().toStdString();
    EXPECT_EQ(output->resultPath(), isoPath);
    EXPECT_DOUBLE_EQ(output->job().state().progress(), 1.0);
    ASSERT_TRUE(QFileInfo(isoPath).isFile());
    EXPECT_EQ(QFileInfo(isoPath).size() % 2048, 0);
    EXPECT_EQ(QDir(folder.file(QStringLiteral("images"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList{QStringLiteral("disc.iso")});

    const DVDReadSummary summary = DVDReadSummary::of(isoPath);
    ASSERT_TRUE(summary.opened);
    EXPECT_EQ(summary.titleCount, 1);
    EXPECT_EQ(summary.buttons.size(), 1u);
    EXPECT_TRUE(run(QStringLiteral("isoinfo"), {QStringLiteral("-d"), QStringLiteral("-i"), isoPath})
                    .contains(QStringLiteral("Volume id: _t_ 2019: a summer of sun a")));

    // A second image of the same name goes beside the first.
    auto again = DVDOutputJob::iso(dvd, isoPath, QStringLiteral("Again"));
    ASSERT_TRUE(again->job().runHere());
    EXPECT_EQ(again->resultPath(), folder.file(QStringLiteral("images/disc1.iso")));

    const QString burned = folder.file(QStringLiteral("burned.img"));
    auto burner = std::make_shared<DVDBurn>();
    burner->setDevice(std::make_shared<DVDLibburnDevice>(QStringLiteral("stdio:") + burned, QStringLiteral("file")));
    ASSERT_TRUE(burner->mediaIsPresent());
    ASSERT_TRUE(burner->mediaIsBlank());
    BurnDVDWorkflow workflow(folder.file(QStringLiteral("work")));
    HLJobState workflowState;
    ASSERT_TRUE(workflow.burn(isoPath, burner, workflowState)) << workflowState.errorString().toStdString();
    EXPECT_TRUE(workflow.burnSuccess());
    EXPECT_EQ(MediaFixtures::readBytes(burned), MediaFixtures::readBytes(isoPath));
}

TEST(DVDAuthoringEndToEnd, DiscJobBurnsAReadableDisc)
{
    TestFolder folder;
    const auto dvd = DVDTestDisc::disc(folder, {});
    const QString burned = folder.file(QStringLiteral("burned.img"));
    auto burner = std::make_shared<DVDBurn>();
    burner->setDevice(std::make_shared<DVDLibburnDevice>(QStringLiteral("stdio:") + burned, QStringLiteral("file")));
    auto output = DVDOutputJob::disc(dvd, burner, QStringLiteral("Burned"), nullptr);
    ASSERT_TRUE(output->job().runHere()) << output->job().state().errorString().toStdString();
    const DVDReadSummary summary = DVDReadSummary::of(burned);
    ASSERT_TRUE(summary.opened);
    EXPECT_EQ(summary.titleCount, 1);
    EXPECT_EQ(summary.buttons.size(), 1u);
    EXPECT_TRUE(run(QStringLiteral("isoinfo"), {QStringLiteral("-d"), QStringLiteral("-i"), burned})
                    .contains(QStringLiteral("Volume id: Burned")));
}

// Further copies move the bar on from where the first disc left it, each over its own share,
// and one that fails is told about without failing the discs already burned.
TEST(DVDAuthoringEndToEnd, FurtherCopiesEachMoveTheBarOn)
{
    TestFolder folder;
    const auto dvd = DVDTestDisc::disc(folder, {});
    auto drive = std::make_shared<FakeDrive>();
    auto burner = std::make_shared<DVDBurn>();
    burner->setDevice(drive);
    std::vector<double> before;
    QStringList failures;
    HLJob *running = nullptr;
    DVDDiscCopies copies;
    copies.times = 4;
    copies.wanted = [&] {
        before.push_back(running->state().progress());
        drive->blank = true; // a fresh disc for each copy
        if (before.size() == 2)
            drive->failures = 1; // the third disc fails
        return true;
    };
    copies.failed = [&](const QString &reason) { failures << reason; };
    auto output = DVDOutputJob::disc(dvd, burner, QStringLiteral("Copies"), nullptr, copies);
    running = &output->job();
    ASSERT_TRUE(output->job().runHere()) << output->job().state().errorString().toStdString();
    // folder 0.5 and image 0.05, then a quarter of 0.45 per disc
    ASSERT_EQ(before.size(), 3u);
    for (size_t i = 0; i < before.size(); ++i)
        EXPECT_NEAR(before[i], 0.55 + 0.1125 * double(i + 1), 1e-9) << i;
    EXPECT_EQ(failures, QStringList{QStringLiteral("Write error")});
    EXPECT_EQ(drive->burns.load(), 4);
    EXPECT_DOUBLE_EQ(output->job().state().progress(), 1.0);
}
