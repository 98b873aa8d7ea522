#include "widgets/HLUIAULineTitleView.h"
#include "widgets/HLUIDisplayBackView.h"
#include "widgets/HLUITTLineBackView.h"
#include "widgets/HLUITTLineTitleView.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

int greyOf(double level)
{
    return int(std::lround(level * 255));
}

// The grey level of a row (from the top) in the middle column, or of a column in the middle row.
int rowGrey(const QImage &image, int row)
{
    return qRed(image.pixel(image.width() / 2, row));
}

int columnGrey(const QImage &image, int column)
{
    return qRed(image.pixel(column, image.height() / 2));
}

TEST(HLLineViewsTest, TextLineBackgroundKeepsItsFixedPairAt60)
{
    HLUITTLineBackView view;
    view.resize(200, 100);
    const QImage image = view.grab().toImage();
    // y-up 84.5 (trunc(100 - 15) - 0.5) is row 15 from the top; 60.5 is row 39, 59.5 row 40.
    EXPECT_NEAR(rowGrey(image, 15), greyOf(0.08), 1);
    EXPECT_NEAR(rowGrey(image, 39), greyOf(0.17), 1);
    EXPECT_NEAR(rowGrey(image, 40), greyOf(0.05), 1);
    for (int row : {0, 14, 16, 38, 41, 99})
        EXPECT_NEAR(rowGrey(image, row), greyOf(0.15), 1) << row;
}

TEST(HLLineViewsTest, LowTextLineBackgroundDrawsOnlyItsFillAndUpperLine)
{
    HLUITTLineBackView view;
    view.resize(200, 50);
    const QImage image = view.grab().toImage();
    // y-up 34.5 is row 15; the pair at 59.5 and 60.5 lies above the view.
    for (int row = 0; row < 50; ++row)
        EXPECT_NEAR(rowGrey(image, row), row == 15 ? greyOf(0.08) : greyOf(0.15), 1) << row;
}

TEST(HLLineViewsTest, HeadersDrawTheirRightEdgeLine)
{
    HLUITTLineTitleView text;
    text.resize(120, 80);
    const QImage textImage = text.grab().toImage();
    EXPECT_NEAR(columnGrey(textImage, 119), greyOf(0.03), 1);
    EXPECT_NEAR(columnGrey(textImage, 60), greyOf(0.14), 1);
    EXPECT_NEAR(rowGrey(textImage, 80 - 60), greyOf(0.05), 1); // y-up 59.5

    HLUIAULineTitleView audio;
    audio.resize(120, 40);
    const QImage audioImage = audio.grab().toImage();
    EXPECT_NEAR(columnGrey(audioImage, 119), greyOf(0.03), 1);
    EXPECT_NEAR(rowGrey(audioImage, 0), greyOf(0.03), 1); // the top hairline
    // The gradient runs from 0.17 at the bottom to 0.2 at the top.
    EXPECT_LT(rowGrey(audioImage, 38), rowGrey(audioImage, 2));
}

TEST(HLLineViewsTest, DisplayBackgroundHasItsTopHairline)
{
    HLUIDisplayBackView view;
    view.resize(100, 60);
    const QImage image = view.grab().toImage();
    EXPECT_NEAR(rowGrey(image, 0), greyOf(0.03), 1);
    EXPECT_NEAR(rowGrey(image, 1), greyOf(0.14), 1);
    EXPECT_NEAR(rowGrey(image, 59), greyOf(0.14), 1);
}

} // namespace
