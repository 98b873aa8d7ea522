#include "Frameworks/Ambrelle/Ambrelle.h"
#include "Frameworks/Ambrelle/AmbrelleMediaModel.h"
#include "Frameworks/Ambrelle/AmbrelleThumbnailer.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QListView>
#include <QMimeData>
#include <QPixmap>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// A folder of generated photos (one in a subfolder, one far larger than a thumbnail), a clip
// and a file that is neither.
class AmbrelleTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = new TestFolder;
        QDir().mkpath(folder->file("Pictures/Holiday"));
        const struct
        {
            const char *name;
            QSize size;
            QColor color;
        } photos[] = {{"Pictures/b-beach.jpg", {1600, 1200}, Qt::blue},
                      {"Pictures/Holiday/a-hill.png", {300, 200}, Qt::green},
                      {"Pictures/c-sun.PNG", {64, 48}, Qt::yellow}};
        for (const auto &p : photos) {
            QImage image(p.size, QImage::Format_RGB32);
            image.fill(p.color);
            ASSERT_TRUE(image.save(folder->file(p.name)));
        }
        MediaFixtures::ClipRecipe recipe;
        recipe.size = QSize(160, 120);
        ASSERT_TRUE(MediaFixtures::makeIndexedClip(folder->file("Pictures/d-clip.mp4"), recipe));
        QFile notes(folder->file("Pictures/notes.txt"));
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
        notes.write("no picture");
    }
    static void TearDownTestSuite() { delete folder; }

    QString picture(const char *name) const { return folder->file(QString::fromLatin1("Pictures/") + name); }
    // The browser showing the folder, its listing in.
    void showPictures()
    {
        QSignalSpy listed(&browser.model(), &AmbrelleMediaModel::listed);
        browser.setSources({{QStringLiteral("Pictures"), folder->file("Pictures")}});
        ASSERT_TRUE(listed.wait(10000));
        browser.view()->resize(340, 500);
        browser.view()->show();
    }

    static inline TestFolder *folder = nullptr;
    Ambrelle browser;
};

TEST_F(AmbrelleTest, ListsThePhotosAndClipsOfTheFolderAndItsFolders)
{
    showPictures();
    EXPECT_EQ(browser.model().paths(), (QStringList{picture("b-beach.jpg"), picture("c-sun.PNG"),
                                                    picture("d-clip.mp4"), picture("Holiday/a-hill.png")}));
    EXPECT_TRUE(browser.vList()->isVisible());
    // Another folder replaces the listing; one without media says so.
    QSignalSpy listed(&browser.model(), &AmbrelleMediaModel::listed);
    browser.setSources({{QStringLiteral("Empty"), folder->file("Pictures/Holiday/none")}});
    ASSERT_TRUE(listed.wait(10000));
    EXPECT_EQ(browser.model().rowCount(), 0);
    EXPECT_FALSE(browser.vList()->isVisible());
}

TEST_F(AmbrelleTest, ThumbnailsAreMadeOnWorkersAndKept)
{
    showPictures();
    AmbrelleThumbnailer &thumbnails = browser.thumbnailer();
    QSignalSpy ready(&thumbnails, &AmbrelleThumbnailer::thumbnailReady);
    const QStringList paths = browser.model().paths();
    // Asking never decodes on the caller's thread: the answer comes later.
    for (const QString &path : paths)
        thumbnails.thumbnailOf(path);
    EXPECT_EQ(ready.count(), 0);
    while (ready.count() < paths.size())
        ASSERT_TRUE(ready.wait(20000)) << ready.count();
    for (const QString &path : paths) {
        const QImage thumbnail = thumbnails.thumbnailOf(path); // kept: at once
        ASSERT_FALSE(thumbnail.isNull()) << qPrintable(path);
        EXPECT_LE(thumbnail.width(), AmbrelleThumbnailer::kThumbnailWidth);
        EXPECT_LE(thumbnail.height(), AmbrelleThumbnailer::kThumbnailHeight);
        EXPECT_TRUE(thumbnail.width() == AmbrelleThumbnailer::kThumbnailWidth ||
                    thumbnail.height() == AmbrelleThumbnailer::kThumbnailHeight);
    }
    const QColor beach = thumbnails.thumbnailOf(picture("b-beach.jpg")).pixelColor(60, 45);
    EXPECT_TRUE(beach.blue() > 240 && beach.red() < 16 && beach.green() < 16) << qPrintable(beach.name());
    // The list shows them (the beach comes first).
    const QImage shown = browser.model().index(0).data(Qt::DecorationRole).value<QPixmap>().toImage();
    EXPECT_GT(shown.pixelColor(60, 45).blue(), 240);
    QTest::qWait(20);
    EXPECT_EQ(ready.count(), paths.size()); // nothing made twice
}

TEST_F(AmbrelleTest, ChosenFilesAreReportedAndDraggedInTheirOrder)
{
    showPictures();
    QList<QStringList> reported;
    browser.setupFeedback([&](const QStringList &paths) { reported << paths; });
    EXPECT_FALSE(browser.btnAdd()->isEnabled());
    QItemSelectionModel *selection = browser.vList()->selectionModel();
    selection->select(browser.model().index(3), QItemSelectionModel::Select);
    selection->select(browser.model().index(0), QItemSelectionModel::Select);
    ASSERT_TRUE(browser.btnAdd()->isEnabled());
    QTest::mouseClick(browser.btnAdd(), Qt::LeftButton);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(reported[0], (QStringList{picture("b-beach.jpg"), picture("Holiday/a-hill.png")}));

    std::unique_ptr<QMimeData> drag(
        browser.model().mimeData({browser.model().index(2), browser.model().index(1)}));
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->urls(), (QList<QUrl>{QUrl::fromLocalFile(picture("c-sun.PNG")),
                                         QUrl::fromLocalFile(picture("d-clip.mp4"))}));

    browser.vList()->doItemsLayout();
    const QRect cell = browser.vList()->visualRect(browser.model().index(2));
    ASSERT_TRUE(cell.isValid());
    QTest::mouseClick(browser.vList()->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(reported.size(), 1); // a click only chooses
    QTest::mouseDClick(browser.vList()->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(reported.size(), 2);
    EXPECT_EQ(reported[1], QStringList{picture("d-clip.mp4")});
}

} // namespace
