#include "tests/dvd/DVDFakeDrive.h"
#include "tests/dvd/DVDReadSummary.h"

#include "dvd/DVDChapterVideo.h"
#include "dvd/DVDCustomMenu.h"
#include "dvd/DVDCustomMenuItem.h"
#include "dvd/DVDDiscName.h"
#include "dvd/DVDOutputJob.h"
#include "dvd/DVDProjectAssembly.h"
#include "dvd/DVDTitleVideo.h"

#include "export/VETimelineAudioItemExport.h"
#include "export/VETimelineExportMovie.h"

#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Trevanel/DVDBurn.h"
#include "Frameworks/Trevanel/DVDMenu.h"
#include "Frameworks/Trevanel/Trevanel.h"
#include "Platform/Foundation/HLJob.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

// A 1.5-s slideshow of a plain colour with a silent mix.
std::shared_ptr<VETimelineExportMovie> slideshow()
{
    auto movie = std::make_shared<VETimelineExportMovie>();
    movie->setVideoSize(QSizeF(640, 480));
    movie->setDuration(qint64(1.5 * zk_default_time_base()));
    movie->setGetImage([](qint64) {
        QImage image(640, 480, QImage::Format_ARGB32_Premultiplied);
        image.fill(QColor(30, 120, 60));
        return image;
    });
    movie->setAudioExport(std::make_shared<VETimelineAudioItemExport>());
    return movie;
}

DVDDiscSettings menuSettings()
{
    DVDDiscSettings settings;
    settings.menuSize = DVDMenu::menuSizeForAspectType(0);
    settings.menuImage = QImage(settings.menuSize.toSize(), QImage::Format_ARGB32_Premultiplied);
    settings.menuImage.fill(QColor(60, 20, 90));
    settings.buttonFrame = QRectF(260, 170, 200, 200);
    settings.buttonUseText = true;
    settings.buttonBackgroundRadius = 0.5;
    return settings;
}

} // namespace

TEST(DVDProjectAssembly, DescribesOneTitleAndAMenuButtonPlayingIt)
{
    const auto movie = slideshow();
    DVDDiscSettings settings = menuSettings();
    settings.loop = true;
    settings.standard = 1;
    const auto dvd = DVDProjectAssembly::getDVDObj(settings, movie);
    EXPECT_FALSE(dvd->noMenu());
    EXPECT_TRUE(dvd->menuLoop());
    EXPECT_TRUE(dvd->loopVideo());
    EXPECT_TRUE(dvd->playTitleSequence());
    EXPECT_EQ(dvd->format(), 1);
    ASSERT_EQ(dvd->titles().size(), 1u);
    const auto title = std::dynamic_pointer_cast<DVDTitleVideo>(dvd->titles()[0]);
    ASSERT_EQ(title->chapterVideos().size(), 1u);
    const auto chapter = title->chapterVideos()[0];
    ASSERT_EQ(chapter->movies().size(), 1u);
    EXPECT_EQ(chapter->movies()[0]->ffmovie(), movie);
    ASSERT_EQ(dvd->menus().size(), 1u);
    const auto menu = std::dynamic_pointer_cast<DVDCustomMenu>(dvd->menus()[0]);
    ASSERT_EQ(menu->items().size(), 1u);
    const auto button = std::dynamic_pointer_cast<DVDCustomMenuItem>(menu->items()[0]);
    EXPECT_EQ(button->jump(), chapter);
    EXPECT_EQ(chapter->titles(), menu->items());
    EXPECT_TRUE(button->isTextItem());
    EXPECT_FALSE(button->highlightModeEmptyInDVD());
    EXPECT_EQ(button->itemImage().size(), QSize(200, 200));
    EXPECT_EQ(button->itemImage().pixelColor(100, 100).alpha(), 0);

    settings.addMenu = false;
    settings.loop = false;
    const auto plain = DVDProjectAssembly::getDVDObj(settings, movie);
    EXPECT_TRUE(plain->noMenu());
    EXPECT_TRUE(plain->menus().empty());
    EXPECT_FALSE(plain->loopVideo());
    EXPECT_FALSE(plain->playTitleSequence());
    EXPECT_TRUE(std::dynamic_pointer_cast<DVDTitleVideo>(plain->titles()[0])->chapterVideos()[0]->titles().empty());
}

TEST(DVDProjectAssembly, SlideshowBecomesAFolderNamedAfterTheDisc)
{
    TestFolder folder;
    const auto dvd = DVDProjectAssembly::getDVDObj(menuSettings(), slideshow());
    const QString destination = folder.file(DVDDiscName::folderName(QStringLiteral("Summer/2019")));
    auto output = DVDOutputJob::media(dvd, destination);
    ASSERT_TRUE(output->job().runHere()) << output->job().state().errorString().toStdString();
    EXPECT_EQ(output->resultPath(), folder.file(QStringLiteral("Summer2019")));
    const DVDReadSummary summary = DVDReadSummary::of(output->resultPath());
    ASSERT_TRUE(summary.opened);
    EXPECT_EQ(summary.titleCount, 1);
    EXPECT_EQ(summary.chapters, std::vector<int>{1});
    EXPECT_EQ(summary.firstPlay, QStringLiteral("menu"));
    ASSERT_EQ(summary.buttons.size(), 1u);
    EXPECT_EQ(summary.buttons[0].title, 1);
}

TEST(DVDProjectAssembly, ChecksBeforeStarting)
{
    EXPECT_EQ(DVDProjectAssembly::aspectMismatchMessage(QSizeF(1280, 720), 0),
              QStringLiteral("The Slideshow size is 1280*720, is not 4:3 ."));
    EXPECT_EQ(DVDProjectAssembly::aspectMismatchMessage(QSizeF(1440, 1080), 0), QString());
    EXPECT_EQ(DVDProjectAssembly::aspectMismatchMessage(QSizeF(1000, 720), 0),
              QStringLiteral("The Slideshow size is 1000*720, is not 4:3 ."));
    EXPECT_EQ(DVDProjectAssembly::aspectMismatchMessage(QSizeF(1280, 720), 1), QString());
    EXPECT_EQ(DVDProjectAssembly::aspectMismatchMessage(QSizeF(640, 0), 1),
              QStringLiteral("The Slideshow size is 640*0, is not 16:9 ."));

    EXPECT_EQ(DVDProjectAssembly::getDvdBitrateToSize(8000, 60), qint64(64424509));
    EXPECT_EQ(DVDProjectAssembly::getDvdBitrateToSize(4000, 60), qint64(34789235));

    DVDBurn burner;
    EXPECT_EQ(DVDProjectAssembly::burnerProblem(burner, 1000), QStringLiteral("NO Device."));
    auto drive = std::make_shared<FakeDrive>();
    burner.setDevice(drive);
    drive->space = 1000;
    EXPECT_EQ(DVDProjectAssembly::burnerProblem(burner, 1000), QString());
    EXPECT_EQ(DVDProjectAssembly::burnerProblem(burner, 1001), QStringLiteral("Disc space is not enough."));
    drive->blank = false;
    EXPECT_EQ(DVDProjectAssembly::burnerProblem(burner, 10), QStringLiteral("Disc not blank,please insert a blank disc."));
    drive->present = false;
    EXPECT_EQ(DVDProjectAssembly::burnerProblem(burner, 10), QStringLiteral("No disc,please insert a blank disc."));
}
