#include "dvd/DVDExportTabRules.h"
#include "dvd/DVDMenuCanvasGeometry.h"
#include "dvd/DVDProjectAssembly.h"
#include "dvd/DVDTimeText.h"

#include "Frameworks/Korvane/ZKTime.h"

#include <gtest/gtest.h>

using Pick = DVDMenuCanvasGeometry::Pick;

TEST(DVDTimeText, ReadsTypedTimesOrRefusesThem)
{
    struct Case
    {
        const char *text;
        std::optional<double> seconds;
    };
    const Case cases[] = {
        {"00:01:05.25", 65.25}, {"00:00:01.5", 1.5},   {"00:00:10.5", 10.5},     {"00:00:10.500", 10.5},
        {"00:00:09.999", 9.999}, {"12:30", 750.0},    {"90", 90.0},             {" 01:02:05 ", 3725.0},
        {"", std::nullopt},     {"abc", std::nullopt}, {"1:2:3:4", std::nullopt}, {"00:61:00", std::nullopt},
        {"1:75", std::nullopt}, {"-5", std::nullopt},  {"1.5.5", std::nullopt},  {"00:00:", std::nullopt},
    };
    for (const Case &c : cases) {
        const auto read = DVDTimeText::secondsFromText(QString::fromLatin1(c.text));
        ASSERT_EQ(read.has_value(), c.seconds.has_value()) << c.text;
        if (read) {
            EXPECT_NEAR(*read, *c.seconds, 1e-9) << c.text;
        }
    }
}

TEST(DVDTimeText, ShowsTimesRoundedToTheMillisecond)
{
    EXPECT_EQ(DVDTimeText::timeLongStrFromSecond(9.9996), "00:00:10.000");
    EXPECT_EQ(DVDTimeText::timeLongStrFromSecond(10.5), "00:00:10.500");
    EXPECT_EQ(DVDTimeText::timeLongStrFromSecond(3725.678), "01:02:05.678");
    EXPECT_EQ(DVDTimeText::timeLongStrFromSecond(-3), "00:00:00.000");
    EXPECT_EQ(DVDTimeText::hundredthsStrFromSecond(3725.678), "01:02:05.67");
    EXPECT_EQ(DVDTimeText::hundredthsStrFromSecond(1.9996), "00:00:02.00");
    EXPECT_EQ(DVDTimeText::timeStrFromSecond(59.9), "00:00:59");
    EXPECT_EQ(DVDTimeText::timeStrFromSecond(3725.5), "01:02:05");
    EXPECT_EQ(DVDTimeText::timeStrFromSecond(-1), "00:00:00");
    // What is shown reads back as itself.
    for (double t : {0.0, 1.05, 65.25, 3725.678})
        EXPECT_NEAR(*DVDTimeText::secondsFromText(DVDTimeText::timeLongStrFromSecond(t)), t, 1e-9);
}

TEST(DVDExportTabRules, PictureTimeAspectAndMenuLength)
{
    EXPECT_NEAR(DVDExportTabRules::menuItemPictureTime(zk_ff_time_from_double(12)), 3.6, 1e-9);
    EXPECT_EQ(DVDExportTabRules::menuItemPictureTime(zk_ff_time_from_double(15)), 5.0);

    EXPECT_TRUE(DVDExportTabRules::prefersWideAspect(QSizeF(1920, 1080)));
    EXPECT_FALSE(DVDExportTabRules::prefersWideAspect(QSizeF(1440, 1080)));
    EXPECT_FALSE(DVDExportTabRules::prefersWideAspect(QSizeF((4.0 / 3 + 16.0 / 9) / 2 * 900, 900)));
    EXPECT_FALSE(DVDExportTabRules::prefersWideAspect(QSizeF(0, 0)));

    EXPECT_EQ(DVDExportTabRules::exportDVDMenuLength(true, 0, zk_ff_time_from_double(3.9)), 5.0);
    EXPECT_EQ(DVDExportTabRules::exportDVDMenuLength(true, 0, zk_ff_time_from_double(42.7)), 42.0);
    EXPECT_EQ(DVDExportTabRules::exportDVDMenuLength(true, 0, 0), 5.0);
    EXPECT_EQ(DVDExportTabRules::exportDVDMenuLength(true, 30, zk_ff_time_from_double(42.7)), 30.0);
    EXPECT_EQ(DVDExportTabRules::exportDVDMenuLength(false, 30, 0), 0.0);

    EXPECT_FALSE(DVDExportTabRules::isAcceptedMusic(zk_ff_time_from_double(0.05), true));
    EXPECT_FALSE(DVDExportTabRules::isAcceptedMusic(zk_ff_time_from_double(10), false));
    EXPECT_TRUE(DVDExportTabRules::isAcceptedMusic(zk_ff_time_from_double(0.2), true));
}

TEST(DVDExportTabRules, SizeEstimate)
{
    // The factor of the low rates: 1.0 at 8000 kbit/s, 1.08 at 4000, 2.2 at 500.
    EXPECT_EQ(DVDProjectAssembly::getDvdBitrateToSize(8000, 100), qint64(100 * 1048576.0 * 1.024));
    EXPECT_EQ(DVDProjectAssembly::getDvdBitrateToSize(4000, 100), qint64(100 * 0.5 * 1048576.0 * 1.024 * 1.08));
    EXPECT_EQ(DVDProjectAssembly::getDvdBitrateToSize(500, 100), qint64(100 * 0.0625 * 1048576.0 * 1.024 * 2.2));
    // One hour at 6000 kbit/s with a 10 s menu: 3610 × 0.75 × 1048576 × 1.024 × 1.02667 bytes,
    // 2984 MB, over 1000 so in GB.
    EXPECT_EQ(DVDExportTabRules::sizeText(6000, zk_ff_time_from_double(3600), 10), "up to 3.0 GB");
    EXPECT_EQ(DVDExportTabRules::sizeText(8000, zk_ff_time_from_double(3600), 10), "up to 3.9 GB");
    EXPECT_EQ(DVDExportTabRules::sizeText(6000, zk_ff_time_from_double(60), 0), "up to 49.0 MB");
}

TEST(DVDMenuCanvasGeometry, PicksTheTitleFirstAndMapsTheCanvas)
{
    const QRectF text(20, 400, 200, 60);
    const QRectF item(180, 380, 200, 200);
    EXPECT_EQ(DVDMenuCanvasGeometry::hitTest(QPointF(200, 420), text, item), Pick::Text);
    EXPECT_EQ(DVDMenuCanvasGeometry::hitTest(QPointF(300, 390), text, item), Pick::Item);
    EXPECT_EQ(DVDMenuCanvasGeometry::hitTest(QPointF(600, 100), text, item), Pick::None);

    // A 720 × 480 menu in a 360 × 360 container: 360 × 240, centred.
    EXPECT_EQ(DVDMenuCanvasGeometry::canvasFrame(QSizeF(720, 480), QSizeF(360, 360)), QRectF(0, 60, 360, 240));
    const QSizeF canvas(360, 240), menu(720, 480);
    EXPECT_EQ(DVDMenuCanvasGeometry::menuPoint(QPointF(0, 0), canvas, menu), QPointF(0, 480));
    EXPECT_EQ(DVDMenuCanvasGeometry::menuPoint(QPointF(180, 240), canvas, menu), QPointF(360, 0));
    EXPECT_EQ(DVDMenuCanvasGeometry::widgetRect(QRectF(260, 140, 200, 200), canvas, menu), QRectF(130, 70, 100, 100));
}

TEST(DVDMenuCanvasGeometry, DragsKeepTheShownPictureOnTheMenu)
{
    const QSizeF menu(720, 480);
    const QRectF frame(260, 140, 200, 200);
    const QSizeF display(300, 200); // a wide picture on the square frame
    // Grabbed 10 right of the centre and moved: the centre follows the pointer.
    EXPECT_EQ(DVDMenuCanvasGeometry::dragFrame(frame, display, QPointF(-10, 0), QPointF(410, 250), menu),
              QRectF(300, 150, 200, 200));
    // Far off to the left and below: stops with the picture at the menu's corner.
    EXPECT_EQ(DVDMenuCanvasGeometry::dragFrame(frame, display, QPointF(0, 0), QPointF(-500, -500), menu).center(),
              QPointF(150, 100));
    EXPECT_EQ(DVDMenuCanvasGeometry::dragFrame(frame, display, QPointF(0, 0), QPointF(5000, 5000), menu).center(),
              QPointF(570, 380));
    // Larger than the menu: centred on it.
    EXPECT_EQ(DVDMenuCanvasGeometry::dragFrame(frame, QSizeF(800, 100), QPointF(0, 0), QPointF(0, 240), menu).center(),
              QPointF(360, 240));
}

TEST(DVDMenuCanvasGeometry, ZoomAndFrameCells)
{
    EXPECT_DOUBLE_EQ(DVDMenuCanvasGeometry::zoomValue(240, 480, 0.1), 0.5);
    EXPECT_DOUBLE_EQ(DVDMenuCanvasGeometry::zoomValue(600, 480, 0.1), 1.0);
    EXPECT_DOUBLE_EQ(DVDMenuCanvasGeometry::zoomValue(10, 480, 0.1), 0.1);
    EXPECT_DOUBLE_EQ(DVDMenuCanvasGeometry::zoomValue(5, 8, 0.1), 0.5); // a menu of 8 counts as 10
    EXPECT_EQ(DVDMenuCanvasGeometry::zoomFrame(QRectF(260, 140, 200, 200), 0.25, 480), QRectF(300, 180, 120, 120));
    EXPECT_EQ(DVDMenuCanvasGeometry::zoomFrame(QRectF(0, 0, 2, 2), 0.5, 4), QRectF(-1.5, -1.5, 5, 5));

    // Five cells over 200 points: sides of 92, the odd one alone in the left column.
    const auto layout = DVDMenuCanvasGeometry::frameCells(5, 200, 100);
    ASSERT_EQ(layout.cells.size(), 5u);
    EXPECT_EQ(layout.cells[0], QRectF(5, 5, 92, 92));
    EXPECT_EQ(layout.cells[1], QRectF(97, 5, 92, 92));
    EXPECT_EQ(layout.cells[4], QRectF(5, 199, 92, 92));
    EXPECT_EQ(layout.documentSize, QSizeF(200, 3 * 97 + 5));
    EXPECT_EQ(DVDMenuCanvasGeometry::frameCells(2, 200, 400).documentSize, QSizeF(200, 400));
}
