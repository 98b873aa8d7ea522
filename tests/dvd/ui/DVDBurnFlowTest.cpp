#include "dvd/ui/DVDBurnFlow.h"
#include "dvd/ui/DVDBurnQuestionDialogs.h"
#include "dvd/ui/ExportDVDWndCtrl.h"
#include "tests/dvd/ui/DVDWindowControls.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "export/ui/ExportWndCtrl.h"
#include "Frameworks/Trevanel/DVDBurn.h"
#include "Frameworks/Trevanel/DVDLibburnDevice.h"
#include "tests/dvd/DVDFakeDrive.h"
#include "tests/dvd/DVDReadSummary.h"
#include "tests/export/ui/ExportWindowTestMovie.h"
#include "tests/support/AlertAnswers.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Devices = std::vector<std::shared_ptr<DVDBurnDevice>>;

// Starts a burn from the DVD tab of the export window, which runs the flow before it returns.
void burnThroughTheTab(ExportWndCtrl &exportCtrl, ExportDVDWndCtrl &tab, int copies,
                       std::shared_ptr<DVDBurnFlow> *made = nullptr)
{
    std::shared_ptr<DVDBurnFlow> flow;
    tab.setFlowMade([&](const std::shared_ptr<ConvertProgressFlow> &f) {
        flow = std::dynamic_pointer_cast<DVDBurnFlow>(f);
        ASSERT_TRUE(flow);
        flow->setBurnDVDTimes(copies);
        if (made)
            *made = flow;
    });
    QTimer::singleShot(0, [&] {
        control<QComboBox>(tab, "exportDvdTypeBtn")->setCurrentIndex(ExportDVDWndCtrl::BurnToDevice);
        tab.dvdStartBurn();
    });
    exportCtrl.exportMovie(windowTestMovie(2, QSizeF(640, 480)));
    ASSERT_TRUE(flow);
    EXPECT_FALSE(exportCtrl.progressCtrl().window()->isVisible());
}

} // namespace

// A failed burn asks to retry; each further copy asks for a blank disc first, and Cancel there
// asks whether to stop. A drive event in the tab meanwhile leaves the flow's burner alone.
TEST(DVDBurnFlow, RetriesAfterAFailureAndAsksForEachFurtherCopy)
{
    auto a = std::make_shared<FakeDrive>(QStringLiteral("Drive A"));
    auto b = std::make_shared<FakeDrive>(QStringLiteral("Drive B"));
    a->failures = 1;
    Devices devices{a};
    ExportWndCtrl exportCtrl;
    ExportDVDWndCtrl tab(exportCtrl, [&] { return devices; });
    QString burnStatus;
    AlertAnswers answers({
        {QStringLiteral("Retry"), QStringLiteral("Burn Failed"),
         [&](QMessageBox *) {
             exportCtrl.progressCtrl().updateConvertVideoStatus();
             burnStatus = exportCtrl.progressCtrl().convertVideoStatus()->text();
             devices = {b, a};
             tab.devicesDidChanged();
         }},
        {QStringLiteral("OK"), QStringLiteral("DVD Burn Success")},
        {QStringLiteral("Burn"), QStringLiteral("Burn DVD"),
         [&](QMessageBox *box) {
             EXPECT_EQ(box->informativeText(), QStringLiteral("The DVD isn’t blank DVD ,  please insert a blank DVD ."));
             for (QAbstractButton *button : box->buttons()) {
                 if (button->text() == "Burn") {
                     EXPECT_FALSE(button->isEnabled());
                 }
             }
             a->blank = true;
         }},
        {QStringLiteral("OK"), QStringLiteral("DVD Burn Success")},
        {QStringLiteral("Cancel"), QStringLiteral("Burn DVD")},
        {QStringLiteral("NO"), QStringLiteral("Are you sure stop burning DVD ?")},
        {QStringLiteral("Cancel"), QStringLiteral("Burn DVD")},
        {QStringLiteral("YES"), QStringLiteral("Are you sure stop burning DVD ?")},
    });
    burnThroughTheTab(exportCtrl, tab, 3);
    EXPECT_TRUE(answers.allAnswered()) << answers.said().toStdString();
    EXPECT_EQ(burnStatus, "Burn DVD ...");
    EXPECT_EQ(a->burns.load(), 3);
    EXPECT_EQ(b->burns.load(), 0);
    EXPECT_EQ(tab.dvdBurn()->device(), a); // the list kept the selected drive's title
}

TEST(DVDBurnFlow, OneCopyEndsAfterTheFirstDiscAndCancelledRetryIsQuiet)
{
    auto drive = std::make_shared<FakeDrive>();
    drive->failures = 1;
    Devices devices{drive};
    ExportWndCtrl exportCtrl;
    ExportDVDWndCtrl tab(exportCtrl, [&] { return devices; });
    AlertAnswers answers({{QStringLiteral("Cancel"), QStringLiteral("Burn Failed")}});
    burnThroughTheTab(exportCtrl, tab, 1);
    EXPECT_TRUE(answers.allAnswered());
    // No further alert: the user said no to a retry.
    EXPECT_EQ(answers.seen().size(), 1);
    EXPECT_EQ(drive->burns.load(), 1);
}

// A further copy whose disc went between the question and the burn says why nothing was burned.
TEST(DVDBurnFlow, AFurtherCopyThatCannotStartTellsWhy)
{
    auto drive = std::make_shared<FakeDrive>();
    Devices devices{drive};
    ExportWndCtrl exportCtrl;
    ExportDVDWndCtrl tab(exportCtrl, [&] { return devices; });
    AlertAnswers answers({
        {QStringLiteral("OK"), QStringLiteral("DVD Burn Success"), [&](QMessageBox *) { drive->blank = true; }},
        {QStringLiteral("Burn"), QStringLiteral("Burn DVD"), [&](QMessageBox *) { drive->present = false; }},
        {QStringLiteral("OK"), QStringLiteral("DVD Burn Failed")},
    });
    burnThroughTheTab(exportCtrl, tab, 2);
    ASSERT_TRUE(answers.allAnswered()) << answers.said().toStdString();
    EXPECT_EQ(answers.seen().last().informativeText, QStringLiteral("No disc,please insert a blank disc."));
    EXPECT_EQ(drive->burns.load(), 1);
}

TEST(DVDBurnFlow, BurnsIntoALibburnPseudoDriveByteForByte)
{
    TestFolder folder;
    const QString burned = folder.file("burned.img");
    Devices devices{std::make_shared<DVDLibburnDevice>(QStringLiteral("stdio:") + burned, QStringLiteral("File"))};
    ExportWndCtrl exportCtrl;
    ExportDVDWndCtrl tab(exportCtrl, [&] { return devices; });
    std::shared_ptr<DVDBurnFlow> flow;
    QByteArray image;
    int prompts = 0;
    ConvertProgressWindowController::setRatePrompt([&] { ++prompts; });
    AlertAnswers answers({{QStringLiteral("OK"), QStringLiteral("DVD Burn Success"),
                           [&](QMessageBox *) { image = MediaFixtures::readBytes(flow->imagePath()); }}});
    burnThroughTheTab(exportCtrl, tab, 0, &flow);
    ConvertProgressWindowController::setRatePrompt({});
    EXPECT_EQ(prompts, 1) << "the rate prompt's entry after the burn";
    ASSERT_TRUE(answers.allAnswered());
    ASSERT_FALSE(image.isEmpty());
    EXPECT_EQ(MediaFixtures::readBytes(burned), image);
    EXPECT_FALSE(QFileInfo::exists(flow->imagePath())); // the flow's folder is gone
    const DVDReadSummary summary = DVDReadSummary::of(burned);
    ASSERT_TRUE(summary.opened);
    EXPECT_EQ(summary.titleCount, 1);
}

TEST(DVDBurnQuestionDialogs, CopyQuestionTellsWhatTheDriveHolds)
{
    auto drive = std::make_shared<FakeDrive>();
    DVDBurn burner;
    burner.setDevice(drive);
    const qint64 image = 1000;
    struct Case
    {
        bool present;
        bool blank;
        qint64 space;
        QString text;
        bool canBurn;
    };
    const Case cases[] = {
        {false, true, 5000, QStringLiteral("Please insert other blank DVD ."), false},
        {true, false, 5000, QStringLiteral("The DVD isn’t blank DVD ,  please insert a blank DVD ."), false},
        {true, true, image, QStringLiteral("The DVD space not enough , please insert other DVD ."), false},
        {true, true, image + 1, QStringLiteral("Ready to Burn"), true},
    };
    for (const Case &c : cases) {
        drive->present = c.present;
        drive->blank = c.blank;
        drive->space = c.space;
        const auto state = DVDBurnQuestionDialogs::discState(burner, image);
        EXPECT_EQ(state.text, c.text);
        EXPECT_EQ(state.canBurn, c.canBurn) << c.text.toStdString();
    }
}
