#include "Frameworks/Korvane/ZKBitmapImage.h"

#include <gtest/gtest.h>

namespace {

TEST(ZKBitmapImage, ScaleRectFitsAndCentres)
{
    EXPECT_EQ(ZKBitmapImage::scaleRect(QRectF(0, 0, 720, 480), QRectF(0, 0, 1440, 1440)),
              QRectF(0, 240, 1440, 960));
    EXPECT_EQ(ZKBitmapImage::scaleRect(QRectF(0, 0, 100, 200), QRectF(10, 10, 100, 100)),
              QRectF(35, 10, 50, 100));
}

TEST(ZKBitmapImage, StartsTransparentAndKeepsWhatIsDrawn)
{
    EXPECT_FALSE(ZKBitmapImage::imageWithSize(QSizeF(0, 10)));
    EXPECT_FALSE(ZKBitmapImage::imageWithSize(QSizeF(1e9, 10)));

    const auto bitmap = ZKBitmapImage::imageWithSize(QSizeF(40, 20));
    ASSERT_TRUE(bitmap);
    bitmap->setHasAlpha(true);
    EXPECT_EQ(bitmap->drawRect(), QRectF(0, 0, 40, 20));
    EXPECT_EQ(qAlpha(bitmap->getNSImage().pixel(5, 5)), 0);

    bitmap->drawInImage([&](QPainter &painter) { painter.fillRect(QRectF(0, 0, 20, 20), Qt::red); });
    const QImage image = bitmap->getNSImage();
    EXPECT_EQ(image.pixelColor(5, 5), QColor(Qt::red));
    EXPECT_EQ(qAlpha(image.pixel(30, 5)), 0);

    bitmap->setHasAlpha(false);
    EXPECT_EQ(bitmap->getNSImage().pixelColor(30, 5), QColor(Qt::black));
    EXPECT_EQ(bitmap->getCIImage().extent(), QRectF(0, 0, 40, 20));
}

} // namespace
