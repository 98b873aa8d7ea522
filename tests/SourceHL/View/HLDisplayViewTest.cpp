#include "SourceHL/View/HLDisplayVCtrl.h"
#include "SourceHL/View/HLDisplayView.h"

#include <gtest/gtest.h>

namespace {

QImage filledPicture(int width, int height, QColor color)
{
    QImage picture(width, height, QImage::Format_ARGB32_Premultiplied);
    picture.fill(color);
    return picture;
}

struct FitProbe
{
    QSize picture;
    QPoint red[3];  // inside the fitted picture
    QPoint back[2]; // beside it
};

// A wide picture touches the sides and is centred vertically; a narrow one touches top and
// bottom and is centred across.
TEST(HLDisplayViewTest, FitsWideAndNarrowPicturesCentred)
{
    const FitProbe probes[] = {
        {{1600, 600}, {{0, 150}, {399, 150}, {200, 80}}, {{200, 70}, {200, 230}}},   // drawn 400 × 150 from y 75
        {{300, 600}, {{200, 0}, {200, 299}, {130, 150}}, {{120, 150}, {280, 150}}}, // drawn 150 × 300 from x 125
    };
    for (const FitProbe &probe : probes) {
        HLDisplayView view;
        view.setClBack(QColor(0, 0, 255));
        view.resize(400, 300);
        view.update(filledPicture(probe.picture.width(), probe.picture.height(), Qt::red));
        const QImage shot = view.grab().toImage();
        for (QPoint point : probe.red)
            EXPECT_EQ(QColor(shot.pixel(point)), QColor(Qt::red)) << point.x() << "," << point.y();
        for (QPoint point : probe.back)
            EXPECT_EQ(QColor(shot.pixel(point)), QColor(0, 0, 255)) << point.x() << "," << point.y();
    }
}

TEST(HLDisplayViewTest, NullPictureLeavesOnlyTheBackground)
{
    HLDisplayView view;
    view.setClBack(QColor(0, 0, 255));
    view.resize(40, 30);
    view.update(filledPicture(40, 30, Qt::red));
    view.update(QImage());
    EXPECT_TRUE(view.imgDisplay().isNull());
    EXPECT_EQ(QColor(view.grab().toImage().pixel(20, 15)), QColor(0, 0, 255));
}

// The title layer lies over the frame, both fitted alike, so a title picture of the frame's
// size lands on the frame.
TEST(HLDisplayViewTest, PreviewLaysTitlesOverTheFrame)
{
    HLDisplayVCtrl display;
    display.resize(400, 300);
    QImage titles(160, 60, QImage::Format_ARGB32_Premultiplied);
    titles.fill(Qt::transparent);
    titles.setPixelColor(80, 30, Qt::green); // the middle of the title picture
    for (int dx = -2; dx <= 2; ++dx)
        for (int dy = -2; dy <= 2; ++dy)
            titles.setPixelColor(80 + dx, 30 + dy, Qt::green);
    display.updateImage(filledPicture(160, 60, Qt::red));
    display.updateText(titles);
    const QImage shot = display.grab().toImage();
    EXPECT_EQ(QColor(shot.pixel(200, 150)), QColor(Qt::green));
    EXPECT_EQ(QColor(shot.pixel(10, 150)), QColor(Qt::red));
    EXPECT_EQ(qRed(shot.pixel(200, 10)), qRound(0.12 * 255)); // the back around a wide frame

    display.hiddenText(true);
    EXPECT_EQ(QColor(display.grab().toImage().pixel(200, 150)), QColor(Qt::red));
}

} // namespace
