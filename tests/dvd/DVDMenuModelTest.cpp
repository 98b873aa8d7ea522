#include "dvd/DVDFuncLib.h"
#include "dvd/DVDMenuEditObject.h"
#include "dvd/DVDMenuItemEditObject.h"
#include "dvd/EffectTextImage.h"

#include "Frameworks/Trevanel/TrevanelFrameResource.h"
#include "Frameworks/Trevanel/TrevanelResource.h"

#include <gtest/gtest.h>

namespace {

QImage plain(int width, int height, const QColor &color)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

} // namespace

TEST(DVDMenuItemEditObject, DisplayRectangleFollowsTheShownPicture)
{
    DVDMenuItemEditObject item;
    item.frame = QRectF(100, 100, 200, 200);
    EXPECT_EQ(item.getRealDisplayRect(), item.frame); // no picture yet
    item.setVideoImage(plain(400, 200, Qt::green));
    EXPECT_EQ(item.getRealDisplayRect(), QRectF(0, 100, 400, 200));
    item.hasBorder = true;
    EXPECT_EQ(item.getRealDisplayRect(), item.frame);
    item.hasBorder = false;
    item.useLocalImage = true;
    item.localImage = plain(100, 200, Qt::blue);
    EXPECT_EQ(item.getRealDisplayRect(), QRectF(150, 100, 100, 200));
    item.useText = true;
    const QSizeF text = item.text->size();
    EXPECT_EQ(item.getRealDisplayRect().center(), QPointF(200, 200));
    EXPECT_EQ(item.getRealDisplayRect().size(), text);
}

TEST(DVDMenuItemEditObject, DisplayPictureIsFramedOrEmptyAndNeverHuge)
{
    DVDMenuItemEditObject item;
    item.frame = QRectF(0, 0, 200, 200);
    const QImage empty = item.getNewDisplayImage();
    ASSERT_EQ(empty.size(), QSize(200, 200));
    EXPECT_EQ(empty.pixelColor(100, 100).alpha(), 0);

    item.setVideoImage(plain(400, 200, Qt::green));
    item.hasBorder = true;
    ASSERT_TRUE(item.frameResource);
    const QImage framed = item.getNewDisplayImage();
    EXPECT_EQ(framed.pixelColor(100, 100), QColor(Qt::green));      // the opening shows the picture
    EXPECT_NE(framed.pixelColor(2, 100), QColor(Qt::green));        // the frame covers its edge
    EXPECT_EQ(framed.pixelColor(2, 100).alpha(), 255);

    item.frame = QRectF(10, 10, 0, 50);
    EXPECT_TRUE(item.getNewDisplayImage().isNull());
    item.frame = QRectF(-1e7, -1e7, 2e7, 2e7);
    const QImage huge = item.getNewDisplayImage();
    EXPECT_LE(std::max(huge.width(), huge.height()), 4096);
}

TEST(DVDMenuEditObject, DefaultsPlacesAndComposition)
{
    DVDMenuEditObject menu;
    EXPECT_TRUE(menu.dvdText->useText);
    EXPECT_EQ(menu.dvdText->text->textString, QStringLiteral("My DVD"));
    EXPECT_EQ(menu.dvdItem->text->textString, QStringLiteral("DVD Video"));
    EXPECT_FALSE(menu.dvdItem->useText);
    EXPECT_EQ(menu.dvdItem->frameResource, TrevanelResource::share().frames().front());

    menu.menuSize = QSizeF(700, 500);
    menu.adjustItemsPosition();
    EXPECT_EQ(menu.dvdItem->frame, QRectF(250, 150, 200, 200));
    const QSizeF title = menu.dvdText->text->size();
    EXPECT_EQ(menu.dvdText->frame, QRectF(20, 480 - title.height(), title.width(), title.height()));

    menu.bgImage = plain(1600, 900, Qt::red);
    menu.menuSize = QSizeF(720, 540);
    EXPECT_EQ(menu.getBgImageSourceRect(), QRectF(200, 0, 1200, 900));

    // A green button at the bottom left of the menu (y up) lands in the picture's last rows.
    menu.dvdItem->frame = QRectF(0, 0, 100, 100);
    menu.dvdItem->setVideoImage(plain(100, 100, Qt::green));
    menu.dvdItem->hasShadow = false;
    const QImage picture = menu.getMenuEditDisplayImage();
    ASSERT_EQ(picture.size(), QSize(720, 540));
    EXPECT_EQ(picture.pixelColor(50, 540 - 50), QColor(Qt::green));
    EXPECT_EQ(picture.pixelColor(50, 50), QColor(Qt::red));
    EXPECT_EQ(picture.pixelColor(600, 500), QColor(Qt::red));

    // Huge and empty buttons still give a menu picture.
    menu.dvdItem->frame = QRectF(-1e7, -1e7, 2e7, 2e7);
    EXPECT_FALSE(menu.getMenuEditDisplayImage().isNull());
    menu.dvdItem->frame = QRectF();
    EXPECT_EQ(menu.getMenuEditDisplayImage().pixelColor(360, 270), QColor(Qt::red));
}

TEST(DVDFuncLib, NtscRegions)
{
    for (const char *code : {"US", "JP", "CA", "KR", "TW"})
        EXPECT_TRUE(DVDFuncLib::isDefaultUseDVDNTSC(QString::fromLatin1(code))) << code;
    for (const char *code : {"GB", "FR", "DE", ""})
        EXPECT_FALSE(DVDFuncLib::isDefaultUseDVDNTSC(QString::fromLatin1(code))) << code;
    EXPECT_EQ(DVDFuncLib::menuSizeForAspectType(1), QSizeF(960, 540));
}

TEST(EffectTextImage, SizesFontsAndKeys)
{
    EffectTextImage text;
    text.textString.clear();
    EXPECT_GE(text.size().width(), 1.0);
    EXPECT_GE(text.size().height(), 1.0);
    EXPECT_FALSE(text.textSourceImage().isNull());
    text.textFontName = QStringLiteral("No Such Font At All");
    text.textFontSize = 0.5;
    EXPECT_EQ(text.textFont().pixelSize(), 2);
    const QStringList keys = EffectTextImage::allCoderKeys();
    EXPECT_EQ(keys.size(), 16);
    EXPECT_EQ(keys.indexOf(QStringLiteral("textGradient")), 10);
}

TEST(EffectTextImage, BackgroundsAndFills)
{
    EffectTextImage text;
    text.textString = QStringLiteral("Wide");
    text.backgroundType = EffectTextImage::BackgroundColor;
    text.backgroundColor = Qt::blue;
    text.backgroundRadius = 1.0f;
    const QImage rounded = text.textSourceImage();
    EXPECT_EQ(rounded.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(rounded.pixelColor(rounded.width() / 2, 1), QColor(Qt::blue));

    // Only behind the text: not on the blanks at the line's ends, on the one between words.
    EffectTextImage behind;
    behind.textString = QStringLiteral("  ab  cd  ");
    behind.textColor = QColor(0, 0, 0, 0);
    behind.backgroundType = EffectTextImage::BackgroundColor;
    behind.backColorOnlyOnText = true;
    behind.backgroundColor = Qt::blue;
    const QImage line = behind.textSourceImage();
    const int y = line.height() / 2;
    EXPECT_EQ(line.pixelColor(2, y).alpha(), 0);
    EXPECT_EQ(line.pixelColor(line.width() - 2, y).alpha(), 0);
    EXPECT_EQ(line.pixelColor(line.width() / 2, y), QColor(Qt::blue));

    // A gradient with no second colour is one plain colour.
    EffectTextImage gradient;
    gradient.textString = QStringLiteral("IIII");
    gradient.textFillType = EffectTextImage::FillGradient;
    gradient.textColor = Qt::red;
    gradient.textGradientColor = QColor();
    const QImage letters = gradient.textSourceImage();
    int red = 0;
    for (int yy = 0; yy < letters.height(); ++yy) {
        for (int x = 0; x < letters.width(); ++x) {
            const QColor c = letters.pixelColor(x, yy);
            if (c.alpha() == 255) {
                EXPECT_EQ(c, QColor(Qt::red));
                ++red;
            }
        }
    }
    EXPECT_GT(red, 0);
}

TEST(EffectTextImage, FirstRunOfASet)
{
    auto blank = [](QChar c) { return c == QLatin1Char(' '); };
    using Range = std::pair<qsizetype, qsizetype>;
    EXPECT_EQ(EffectTextImage::rangeOfCharacterFromSet(blank, QStringLiteral("  ab"), 0, 4), Range(0, 2));
    EXPECT_EQ(EffectTextImage::rangeOfCharacterFromSet(blank, QStringLiteral("ab  cd"), 0, 6), Range(2, 2));
    EXPECT_EQ(EffectTextImage::rangeOfCharacterFromSet(blank, QStringLiteral("ab  cd"), 3, 3), Range(3, 1));
    EXPECT_EQ(EffectTextImage::rangeOfCharacterFromSet(blank, QStringLiteral("abcd"), 0, 4).first, -1);
}
