#include "dvd/DVDExportTabRules.h"
#include "dvd/DVDMenuEditObject.h"
#include "dvd/DVDMenuItemEditObject.h"
#include "dvd/EffectTextImage.h"
#include "dvd/DVDProjectAssembly.h"
#include "dvd/ui/DVDBurnFlow.h"
#include "dvd/ui/ExportDVDWndCtrl.h"
#include "tests/dvd/ui/DVDWindowControls.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "export/ui/ExportWndCtrl.h"
#include "export/ui/TemplateViewItem.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Trevanel/DVDBurn.h"
#include "Frameworks/Trevanel/DVDLibburnDevice.h"
#include "tests/dvd/DVDFakeDrive.h"
#include "tests/dvd/DVDReadSummary.h"
#include "tests/dvd/ui/DVDGeneratedProject.h"
#include "tests/export/ui/ExportWindowTestMovie.h"
#include "tests/support/AlertAnswers.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Devices = std::vector<std::shared_ptr<DVDBurnDevice>>;

struct Tab
{
    explicit Tab(Devices devices = {}) : devices(std::move(devices))
    {
        tab = std::make_unique<ExportDVDWndCtrl>(exportCtrl, [this] { return this->devices; });
        exportCtrl.progressCtrl().setRevealer([this](const QString &path) { revealed << path; });
    }
    Devices devices;
    ExportWndCtrl exportCtrl;
    std::unique_ptr<ExportDVDWndCtrl> tab;
    QStringList revealed;
};

QString sizeText(ExportDVDWndCtrl &tab, double movieSeconds, double menuSeconds)
{
    return DVDExportTabRules::sizeText(tab.exportDVDBitrate(), zk_ff_time_from_double(movieSeconds), menuSeconds);
}

} // namespace

TEST(ExportDVDWndCtrl, FollowsTheSlideshowAndItsControls)
{
    TestFolder folder;
    auto a = std::make_shared<FakeDrive>(QStringLiteral("Drive A"));
    auto b = std::make_shared<FakeDrive>(QStringLiteral("Drive B"));
    Tab t({a});
    ExportDVDWndCtrl &tab = *t.tab;
    EXPECT_EQ(t.exportCtrl.vExportDVD(), tab.dvdExportView());

    tab.exportMovie(windowTestMovie(12, QSizeF(1920, 1080)));
    EXPECT_NEAR(tab.dvdMenuEdit()->dvdItem->videoImageTime, 3.6, 1e-9);
    EXPECT_EQ(tab.dvdMenuEdit()->dvdItem->videoImageMaxTime, 12);
    EXPECT_FALSE(tab.dvdMenuEdit()->dvdItem->videoImage().isNull());
    EXPECT_TRUE(tab.isExportDVD16_9());
    EXPECT_EQ(tab.dvdMenuEdit()->menuSize, QSizeF(960, 540));
    EXPECT_FALSE(tab.dvdMenuEdit()->bgImage.isNull()); // the built-in picture
    EXPECT_FALSE(control<QLabel>(tab, "dvdMenuEditPreviewView")->pixmap().isNull());
    EXPECT_EQ(control<QLabel>(tab, "dvdSizeLabel")->text(), sizeText(tab, 12, 10));
    control<QSlider>(tab, "dvdBitrateBtn")->setValue(8000);
    EXPECT_EQ(control<QLabel>(tab, "dvdSizeLabel")->text(), sizeText(tab, 12, 10));

    // Without a menu its length no longer counts, and its controls rest.
    control<QCheckBox>(tab, "dvdAddMenuBtn")->click();
    EXPECT_EQ(tab.exportDVDMenuLength(), 0);
    EXPECT_EQ(control<QLabel>(tab, "dvdSizeLabel")->text(), sizeText(tab, 12, 0));
    EXPECT_FALSE(control<QComboBox>(tab, "dvdMenuMusicBtn")->isEnabled());
    control<QCheckBox>(tab, "dvdAddMenuBtn")->click();
    EXPECT_EQ(control<QLabel>(tab, "dvdSizeLabel")->text(), sizeText(tab, 12, 10));

    // Music: a file too short or without sound is not taken, and the user is told why; "as
    // long as the music" of 3.9 s is 5 s.
    const QString tone = folder.file("tone.wav");
    const QString blip = folder.file("blip.wav");
    const QString clip = folder.file("silent.mp4");
    ASSERT_TRUE(MediaFixtures::writeTone(tone, 3.9));
    ASSERT_TRUE(MediaFixtures::writeTone(blip, 0.05));
    ASSERT_TRUE(MediaFixtures::writeClip(clip, false, 1.0));
    QString offered;
    tab.setOpenPanel([&](QWidget *, const QString &) { return offered; });
    const auto chooseFile = [&](QComboBox *box, const QString &path) {
        offered = path;
        const int choose = box->count() - 2;
        box->setCurrentIndex(choose);
        emit box->activated(choose);
    };
    EXPECT_FALSE(control<QPushButton>(tab, "dvdMenuMusicEditBtn")->isEnabled());
    chooseFile(control<QComboBox>(tab, "dvdMenuMusicBtn"), tone);
    ASSERT_TRUE(tab.menuAudio());
    EXPECT_EQ(control<QComboBox>(tab, "dvdMenuMusicBtn")->currentText(), "tone.wav");
    EXPECT_TRUE(control<QPushButton>(tab, "dvdMenuMusicEditBtn")->isEnabled());
    const auto first = tab.menuAudio();
    {
        const AlertAnswers answers({{"OK", "“blip.wav” cannot be the menu's music: it is too short."},
                                    {"OK", "“silent.mp4” cannot be the menu's music: it has no sound."}});
        for (const QString &refused : {blip, clip}) {
            chooseFile(control<QComboBox>(tab, "dvdMenuMusicBtn"), refused);
            EXPECT_EQ(tab.menuAudio(), first);
            EXPECT_EQ(control<QComboBox>(tab, "dvdMenuMusicBtn")->currentText(), "tone.wav");
        }
        EXPECT_TRUE(answers.allAnswered()) << qPrintable(answers.said());
    }
    control<QComboBox>(tab, "dvdMenuLengthBtn")->setCurrentIndex(0);
    emit control<QComboBox>(tab, "dvdMenuLengthBtn")->activated(0);
    EXPECT_EQ(tab.exportDVDMenuLength(), 5);
    EXPECT_EQ(control<QLabel>(tab, "dvdSizeLabel")->text(), sizeText(tab, 12, 5));
    control<QComboBox>(tab, "dvdMenuMusicBtn")->setCurrentIndex(0);
    emit control<QComboBox>(tab, "dvdMenuMusicBtn")->activated(0);
    EXPECT_FALSE(tab.menuAudio());

    // A background that does not load leaves the built-in picture, and the user is told.
    const QImage builtIn = tab.dvdMenuEdit()->bgImage;
    {
        const AlertAnswers answers({{"OK", "“silent.mp4” cannot be the menu's background"}});
        chooseFile(control<QComboBox>(tab, "dvdMenuImageBtn"), clip);
        EXPECT_TRUE(answers.allAnswered()) << qPrintable(answers.said());
    }
    EXPECT_EQ(tab.dvdMenuEdit()->bgImage, builtIn);
    const QString photo = folder.file("photo.png");
    ASSERT_TRUE(MediaFixtures::writeImage(photo, MediaFixtures::halves(64, 48), "PNG"));
    chooseFile(control<QComboBox>(tab, "dvdMenuImageBtn"), photo);
    EXPECT_EQ(control<QComboBox>(tab, "dvdMenuImageBtn")->currentText(), "photo.png");
    EXPECT_EQ(tab.dvdMenuEdit()->bgImage.size(), QSize(64, 48));

    // A 4:3 slideshow turns the menu 4:3 and places its objects again.
    tab.exportMovie(windowTestMovie(20, QSizeF(1440, 1080)));
    EXPECT_FALSE(tab.isExportDVD16_9());
    EXPECT_EQ(tab.dvdMenuEdit()->menuSize, QSizeF(720, 540));
    EXPECT_EQ(tab.dvdMenuEdit()->dvdItem->frame, QRectF(260, 170, 200, 200));
    EXPECT_EQ(tab.dvdMenuEdit()->dvdItem->videoImageTime, 5.0);

    // The burner list follows drives coming and going.
    EXPECT_EQ(tab.dvdBurn()->device(), a);
    t.devices = {a, b};
    tab.devicesDidChanged();
    ASSERT_EQ(control<QComboBox>(tab, "exportDvdBurnDeviceBtn")->count(), 2);
    control<QComboBox>(tab, "exportDvdBurnDeviceBtn")->setCurrentIndex(1);
    emit control<QComboBox>(tab, "exportDvdBurnDeviceBtn")->activated(1);
    EXPECT_EQ(tab.dvdBurn()->device(), b);
    t.devices = {std::make_shared<FakeDrive>(QStringLiteral("Drive C")), b};
    tab.devicesDidChanged();
    EXPECT_EQ(control<QComboBox>(tab, "exportDvdBurnDeviceBtn")->currentText(), "Drive B");
    EXPECT_EQ(tab.dvdBurn()->device(), b);
    t.devices = {};
    tab.devicesDidChanged();
    EXPECT_EQ(tab.dvdBurn()->device(), nullptr);

    // The name a disc and its folder get.
    for (auto [typed, name] : {std::pair{"Summer/2019", "Summer2019"}, std::pair{"/\\/", "My DVD"}}) {
        control<QLineEdit>(tab, "dvdNameLabel")->setText(QString::fromUtf8(typed));
        EXPECT_EQ(tab.dvdNameString(), QString::fromUtf8(name));
    }
    // Only the burner output shows the burner.
    control<QComboBox>(tab, "exportDvdTypeBtn")->setCurrentIndex(ExportDVDWndCtrl::BurnToISO);
    EXPECT_FALSE(control<QComboBox>(tab, "exportDvdBurnDeviceBtn")->isVisibleTo(tab.dvdExportView()));
    control<QComboBox>(tab, "exportDvdTypeBtn")->setCurrentIndex(ExportDVDWndCtrl::BurnToDevice);
    EXPECT_TRUE(control<QComboBox>(tab, "exportDvdBurnDeviceBtn")->isVisibleTo(tab.dvdExportView()));

    // A tab that goes leaves the export window without a DVD page.
    t.tab.reset();
    EXPECT_EQ(t.exportCtrl.vExportDVD(), nullptr);
    EXPECT_FALSE(control<TemplateViewItem>(t.exportCtrl, "templateCtrV2")->isVisibleTo(t.exportCtrl.window()));
}

TEST(ExportDVDWndCtrl, StartAsksAboutTheShapeAndTheBurnerOneProblemAtATime)
{
    auto drive = std::make_shared<FakeDrive>();
    Tab t({drive});
    ExportDVDWndCtrl &tab = *t.tab;
    int flows = 0;
    tab.setFlowMade([&](const std::shared_ptr<ConvertProgressFlow> &) { ++flows; });
    tab.exportMovie(windowTestMovie(3, QSizeF(1280, 720)));
    control<QRadioButton>(tab, "dvdAspectStandardBtn")->click();
    {
        AlertAnswers answers({{QStringLiteral("Cancel"), QStringLiteral("The Slideshow size is 1280*720, is not 4:3 .")}});
        tab.dvdStartBurn();
        EXPECT_TRUE(answers.allAnswered());
    }
    {
        // 1000 × 720 is 0.0556 off 4:3: asked; Continue goes on to the burner's checks.
        t.devices = {};
        tab.devicesDidChanged();
        tab.exportMovie(windowTestMovie(3, QSizeF(1000, 720)));
        EXPECT_FALSE(tab.isExportDVD16_9());
        AlertAnswers answers({{QStringLiteral("Continue"), QStringLiteral("The Slideshow size is 1000*720, is not 4:3 .")},
                              {QStringLiteral("OK"), QStringLiteral("NO Device.")}});
        tab.dvdStartBurn();
        EXPECT_TRUE(answers.allAnswered());
    }
    tab.exportMovie(windowTestMovie(3, QSizeF(1280, 720)));
    control<QRadioButton>(tab, "dvdAspectWideBtn")->click();
    const qint64 needed = DVDProjectAssembly::getDvdBitrateToSize(tab.exportDVDBitrate(), 3 + tab.exportDVDMenuLength());
    struct Case
    {
        std::function<void()> arrange;
        const char *message;
    };
    const Case cases[] = {
        {[&] { t.devices = {}; }, "NO Device."},
        {[&] { t.devices = {drive}; drive->present = false; }, "No disc,please insert a blank disc."},
        {[&] { drive->present = true; drive->blank = false; }, "Disc not blank,please insert a blank disc."},
    };
    for (const Case &c : cases) {
        c.arrange();
        tab.devicesDidChanged();
        AlertAnswers answers({{QStringLiteral("OK"), QString::fromUtf8(c.message)}});
        tab.dvdStartBurn();
        EXPECT_TRUE(answers.allAnswered()) << c.message;
    }
    EXPECT_EQ(flows, 0);
    EXPECT_EQ(drive->burns.load(), 0);

    // Less room than the estimate is no reason to refuse: the estimate is an upper bound, and
    // the burn checks the built image's size.
    drive->blank = true;
    drive->space = needed - 1;
    tab.devicesDidChanged();
    tab.setFlowMade([&](const std::shared_ptr<ConvertProgressFlow> &flow) {
        ++flows;
        flow->cancel();
    });
    tab.dvdStartBurn();
    EXPECT_EQ(flows, 1);
}

TEST(ExportDVDWndCtrl, FolderAndImageThroughTheWindowsReadBackAsDiscs)
{
    TestFolder folder;
    const DVDGeneratedProject project;
    Tab t;
    ExportDVDWndCtrl &tab = *t.tab;
    const auto movie = project.exportMovie();
    ASSERT_EQ(movie->videoSize(), QSizeF(320, 240));
    ASSERT_GT(movie->duration(), zk_ff_time_from_double(4));
    struct Output
    {
        ExportDVDWndCtrl::OutputType type;
        QString chosen;
        QString result;
        bool ntsc;
    };
    // The image panel's name is taken: the user confirmed replacing it.
    QFile old(folder.file("disc.iso"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly) && old.write("an old image") > 0);
    old.close();
    const Output outputs[] = {
        {ExportDVDWndCtrl::BurnToFolder, folder.path(), folder.file("Summer2019"), true},
        {ExportDVDWndCtrl::BurnToISO, folder.file("disc.iso"), folder.file("disc.iso"), false},
    };
    for (const Output &output : outputs) {
        SCOPED_TRACE(output.result.toStdString());
        t.revealed.clear();
        tab.setOutputPanel([&](QWidget *, ExportDVDWndCtrl::OutputType type, const QString &) {
            EXPECT_EQ(type, output.type);
            return output.chosen;
        });
        QTimer::singleShot(0, [&] {
            t.exportCtrl.typeClickAction(QStringLiteral("Export to DVD"));
            control<QLineEdit>(tab, "dvdNameLabel")->clear();
            QTest::keyClicks(control<QLineEdit>(tab, "dvdNameLabel"), QStringLiteral("Summer/2019"));
            (output.ntsc ? control<QRadioButton>(tab, "dvdNTSCBtn") : control<QRadioButton>(tab, "dvdPALBtn"))->click();
            control<QComboBox>(tab, "exportDvdTypeBtn")->setCurrentIndex(output.type);
            control<QPushButton>(tab, "dvdStartBurnBtn")->click();
        });
        t.exportCtrl.exportMovie(movie);
        EXPECT_FALSE(t.exportCtrl.window()->isVisible());
        ASSERT_TRUE(QTest::qWaitFor([&] { return t.revealed == QStringList{output.result}; }, 240000))
            << qPrintable(t.revealed.join('|'));
        EXPECT_EQ(t.exportCtrl.progressCtrl().customProgressText(), "Exporting to DVD …");
        const DVDReadSummary summary = DVDReadSummary::of(output.result);
        ASSERT_TRUE(summary.opened);
        EXPECT_EQ(summary.titleCount, 1);
        EXPECT_TRUE(summary.hasMenu);
        EXPECT_EQ(summary.buttons.size(), 1u);
        EXPECT_EQ(summary.aspect, 0); // 320 × 240 chose 4:3
        EXPECT_EQ(summary.chapters, std::vector<int>{1});
        EXPECT_EQ(summary.videoFormat, output.ntsc ? 0 : 1);
        EXPECT_EQ(QSize(summary.pictureWidth, summary.pictureHeight), output.ntsc ? QSize(720, 480) : QSize(720, 576));
        EXPECT_NEAR(summary.frameRate, output.ntsc ? 29.97 : 25.0, 0.01);
        // The menu shows the name typed, not the default one.
        EXPECT_EQ(tab.dvdMenuEdit()->dvdText->text->textString, QStringLiteral("Summer2019"));
    }
    EXPECT_EQ(QDir(folder.path()).entryList({QStringLiteral("*.iso*")}), QStringList{QStringLiteral("disc.iso")});
}

// An image or a package is proposed under the disc's name, made safe as a file name.
TEST(ExportDVDWndCtrl, OutputPanelProposesTheDiscsName)
{
    const struct
    {
        ExportDVDWndCtrl::OutputType type;
        const char *discName;
        const char *proposed;
    } cases[] = {
        {ExportDVDWndCtrl::BurnToISO, "MyShow", "MyShow.iso"},
        {ExportDVDWndCtrl::BurnToISO, "Summer/2019", "Summer2019.iso"},
        {ExportDVDWndCtrl::BurnToDVDMedia, "MyShow", "MyShow.dvdmedia"},
        {ExportDVDWndCtrl::BurnToFolder, "MyShow", ""},
    };
    Tab t;
    ExportDVDWndCtrl &tab = *t.tab;
    tab.exportMovie(windowTestMovie(2, QSizeF(640, 480)));
    for (const auto &c : cases) {
        QStringList proposed;
        tab.setOutputPanel([&](QWidget *, ExportDVDWndCtrl::OutputType, const QString &fileName) {
            proposed << fileName;
            return QString(); // cancelled
        });
        control<QLineEdit>(tab, "dvdNameLabel")->setText(QString::fromUtf8(c.discName));
        control<QComboBox>(tab, "exportDvdTypeBtn")->setCurrentIndex(c.type);
        tab.dvdStartBurn();
        EXPECT_EQ(proposed, QStringList{QString::fromUtf8(c.proposed)}) << c.discName << ' ' << c.type;
    }
    EXPECT_TRUE(t.revealed.isEmpty());
}

TEST(ExportDVDWndCtrl, CancelledFolderLeavesNothingAndSaysNothing)
{
    TestFolder folder;
    Tab t;
    ExportDVDWndCtrl &tab = *t.tab;
    tab.setOutputPanel([&](QWidget *, ExportDVDWndCtrl::OutputType, const QString &) { return folder.path(); });
    ConvertProgressWindowController &progress = t.exportCtrl.progressCtrl();
    bool sawAlert = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            sawAlert = true;
        if (progress.window()->isVisible() && progress.progress() > 0.02 && progress.cancelButton()->isEnabled())
            progress.cancelButton()->click();
    });
    watch.start(10);
    // Started from the export window, which runs the flow before it returns.
    QTimer::singleShot(0, [&] {
        control<QComboBox>(tab, "exportDvdTypeBtn")->setCurrentIndex(ExportDVDWndCtrl::BurnToFolder);
        tab.dvdStartBurn();
    });
    t.exportCtrl.exportMovie(windowTestMovie(20, QSizeF(640, 480), std::chrono::milliseconds(20)));
    EXPECT_FALSE(progress.window()->isVisible());
    watch.stop();
    EXPECT_TRUE(progress.isCancelled());
    EXPECT_FALSE(sawAlert);
    EXPECT_TRUE(t.revealed.isEmpty());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
}
