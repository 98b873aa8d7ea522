#include "Platform/Imaging/ImageFilters.h"
#include "Platform/Imaging/Picture.h"
#include "SourceHL/Common/HLImageHelper.h"
#include "SourceHL/Model/Timeline/HLBackEditSlideshow.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditSlideshow.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

// A grey picture with a red mark in its lower-left corner (y-up), so turns and flips show.
Picture marked(int width, int height, QColor fill = QColor(51, 51, 51))
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    QPainter painter(&image);
    painter.fillRect(0, height - 10, 10, 10, Qt::red); // rows count from the top
    return Picture::fromImage(image);
}

// The colour at a y-up point of the picture's extent.
QColor at(const Picture &picture, double x, double y)
{
    const QRectF extent = picture.extent();
    const QImage image = picture.image();
    return image.pixelColor(int(std::floor(x - extent.x())),
                            int(extent.height() - 1 - std::floor(y - extent.y())));
}

TEST(EditPictures, NeutralEffectKeepsThePicture)
{
    const Picture picture = marked(40, 30);
    auto effect = HLRenderEditEffect::editEffect();
    effect->setDHue(1.005f);
    EXPECT_EQ(effect->render(picture).image(), picture.image());
}

TEST(EditPictures, ColourControlsHueAndSharpness)
{
    const Picture grey = marked(40, 30);
    const struct
    {
        float saturation, brightness, contrast;
        QColor probe; // at the grey middle, 0.2 of white
    } cases[] = {
        {1, 1.5f, 1, QColor(179, 179, 179)}, // brightness + 0.5
        {1, 1, 0, QColor(108, 108, 108)},    // contrast 0.25 about the middle
        {1, 0.5f, 1, QColor(0, 0, 0)},       // brightness − 0.5
    };
    for (const auto &c : cases) {
        auto effect = HLRenderEditEffect::editEffect();
        effect->setDSaturation(c.saturation);
        effect->setDBrightness(c.brightness);
        effect->setDContrast(c.contrast);
        const QColor probe = at(effect->render(grey), 20, 15);
        EXPECT_NEAR(probe.red(), c.probe.red(), 1) << c.brightness << " " << c.contrast;
        EXPECT_EQ(probe.red(), probe.blue());
    }
    auto grayscale = HLRenderEditEffect::editEffect();
    grayscale->setDSaturation(0);
    const QColor red = at(grayscale->render(grey), 2, 2);
    EXPECT_NEAR(red.red(), 54, 1); // the luma of pure red
    EXPECT_EQ(red.red(), red.green());

    // Hue and sharpness pass through their filters with the mapped parameters.
    auto hue = HLRenderEditEffect::editEffect();
    hue->setDHue(1.5f);
    EXPECT_EQ(hue->render(grey).image(), ImageFilters::hueAdjust(grey, float(std::numbers::pi / 2)).image());
    EXPECT_NE(hue->render(grey).image(), grey.image());
    auto sharp = HLRenderEditEffect::editEffect();
    sharp->setDSharpeness(1.5f);
    EXPECT_EQ(sharp->render(grey).image(), ImageFilters::sharpenLuminance(grey, 1.2f).image());
    EXPECT_NE(sharp->render(grey).image(), grey.image());
}

TEST(EditPictures, ColourAndHueTogetherMatchTheTwoFiltersInTurn)
{
    const Picture picture = marked(64, 48, QColor(40, 160, 90));
    auto effect = HLRenderEditEffect::editEffect();
    effect->setDSaturation(0.4f);
    effect->setDContrast(1.6f);
    effect->setDHue(1.5f);
    const QImage together = effect->render(picture).image();
    const QImage inTurn =
        ImageFilters::hueAdjust(ImageFilters::colorControls(picture, 0.4f, 0.0f, 1.0f + 0.6f * 3.0f),
                                float(std::numbers::pi / 2))
            .image();
    ASSERT_EQ(together.size(), inTurn.size());
    for (int y = 0; y < together.height(); ++y)
        for (int x = 0; x < together.width(); ++x) {
            const QRgb a = together.pixel(x, y), b = inTurn.pixel(x, y);
            ASSERT_LE(std::abs(qRed(a) - qRed(b)), 1);
            ASSERT_LE(std::abs(qGreen(a) - qGreen(b)), 1);
            ASSERT_LE(std::abs(qBlue(a) - qBlue(b)), 1);
        }
}

TEST(EditPictures, TurnsAndFlips)
{
    const Picture picture = marked(400, 300);
    const struct
    {
        int turns; // rotateL
        bool flipH, flipV;
        QSizeF size;
        QPointF mark; // y-up, where the lower-left mark ends
    } cases[] = {
        {0, false, false, {400, 300}, {2, 2}},
        {1, false, false, {300, 400}, {297, 2}},
        {2, false, false, {400, 300}, {397, 297}},
        {3, false, false, {300, 400}, {2, 397}},
        {0, true, false, {400, 300}, {397, 2}},
        {0, false, true, {400, 300}, {2, 297}},
        {0, true, true, {400, 300}, {397, 297}},
        {1, true, false, {300, 400}, {297, 397}},
    };
    for (const auto &c : cases) {
        auto rotate = HLRenderEditRotate::editRotate();
        for (int i = 0; i < c.turns; ++i)
            rotate->rotateL();
        if (c.flipH)
            rotate->flipH();
        if (c.flipV)
            rotate->flipV();
        const Picture turned = rotate->render(picture);
        EXPECT_EQ(turned.extent(), QRectF(QPointF(0, 0), c.size)) << c.turns << c.flipH << c.flipV;
        EXPECT_EQ(at(turned, c.mark.x(), c.mark.y()), QColor(Qt::red)) << c.turns << c.flipH << c.flipV;
        EXPECT_EQ(at(turned, c.size.width() / 2, c.size.height() / 2), QColor(51, 51, 51));
    }
}

TEST(EditPictures, CropKeepsItsPlace)
{
    const Picture picture = marked(400, 300);
    auto crop = HLRenderEditCrop::editCrop();
    EXPECT_EQ(crop->render(picture).extent(), picture.extent());
    crop->setDRatioW(0.5f);
    crop->setDRatioH(0.5f);
    crop->setDRatioX(0.25f);
    crop->setDRatioY(0.5f);
    const Picture cut = crop->render(picture);
    EXPECT_EQ(cut.extent(), QRectF(100, 150, 200, 150));
    auto corner = HLRenderEditCrop::editCrop();
    corner->setDRatioW(0.1f);
    corner->setDRatioH(0.1f);
    EXPECT_EQ(at(corner->render(picture), 3, 3), QColor(Qt::red));
}

// Cutting the part of the unturned picture that unturnedRect names and then turning it gives
// the crop of the turned picture, pixel for pixel, in every orientation.
TEST(EditPictures, CropCutBeforeTheTurnMatchesTheCropAfterIt)
{
    QImage pixels(40, 24, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            pixels.setPixel(x, y, qRgb(x * 6, y * 10, 128));
    const Picture picture = Picture::fromImage(pixels);
    auto crop = HLRenderEditCrop::editCrop();
    crop->setDRatioW(0.5f);
    crop->setDRatioH(0.5f);
    crop->setDRatioX(0.25f);
    crop->setDRatioY(0.5f);
    for (int turns = 0; turns < 4; ++turns) {
        for (int flips = 0; flips < 4; ++flips) {
            auto rotate = HLRenderEditRotate::editRotate();
            for (int i = 0; i < turns; ++i)
                rotate->rotateL();
            if (flips & 1)
                rotate->flipH();
            if (flips & 2)
                rotate->flipV();
            const QImage expected = crop->render(rotate->render(picture)).image();
            const QRect region = HLImageHelper::pixelRectOf(QSizeF(pixels.size()), rotate->unturnedRect(crop->ratioRect()));
            const QImage cut = rotate->render(Picture::fromImage(pixels.copy(region))).image();
            EXPECT_EQ(cut, expected) << "turns " << turns << " flips " << flips;
        }
    }
}

TEST(EditPictures, PhotoFrameCanvas)
{
    const struct
    {
        int width, height;
        QSizeF canvas;
    } cases[] = {{1600, 900, {1600, 1200}}, {800, 600, {800, 600}}, {600, 800, {1066, 800}}};
    for (const auto &c : cases) {
        const Picture framed = HLRenderEditSlideshow::renderEdit()->render(marked(c.width, c.height, Qt::white));
        EXPECT_EQ(framed.extent(), QRectF(QPointF(0, 0), c.canvas)) << c.width;
    }

    auto edit = HLRenderEditSlideshow::renderEdit();
    const Picture wide = marked(1600, 900, Qt::white);
    Picture framed = edit->render(wide);
    EXPECT_EQ(at(framed, 800, 75), QColor(Qt::black)); // band below
    EXPECT_EQ(at(framed, 800, 1125), QColor(Qt::black)); // band above
    EXPECT_EQ(at(framed, 800, 600), QColor(Qt::white));
    EXPECT_EQ(at(framed, 2, 152), QColor(Qt::red)); // the picture starts right above the band

    edit->setBImageBorder(true);
    edit->setClBorderColor(Qt::blue);
    framed = edit->render(wide);
    EXPECT_EQ(at(framed, 800, 150 + 27.5), QColor(Qt::blue)); // 28 wide over the picture's edge
    EXPECT_EQ(at(framed, 800, 150 + 28.5), QColor(Qt::white));
    EXPECT_EQ(at(framed, 1600 - 27.5, 600), QColor(Qt::blue));
    EXPECT_EQ(at(framed, 1600 - 28.5, 600), QColor(Qt::white));
    EXPECT_EQ(at(framed, 800, 140), QColor(Qt::black));

    edit->setBImageBorder(false);
    edit->setDBackgroundRatio(0.5f);
    EXPECT_NEAR(at(edit->render(wide), 800, 75).alpha(), 128, 1);
    edit->setBImageBackground(false);
    EXPECT_EQ(at(edit->render(wide), 800, 75).alpha(), 0);
    const Picture tall = edit->render(marked(600, 800, Qt::white));
    EXPECT_EQ(at(tall, 232, 400).alpha(), 0);
    EXPECT_EQ(at(tall, 234, 400), QColor(Qt::white));
}

TEST(EditPictures, BackgroundColours)
{
    auto edit = HLBackEditSlideshow::backEdit();
    EXPECT_TRUE(edit->backgroundOf(QSizeF(640, 480)).isNull());

    edit->setBBackground(true);
    edit->setClBackSingle(Qt::red);
    edit->setEnGradientType(1); // a single colour whatever the gradient's direction
    QImage single = edit->backgroundOf(QSizeF(640, 480));
    EXPECT_EQ(single.size(), QSize(640, 480));
    EXPECT_EQ(single.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(single.pixelColor(639, 479), QColor(Qt::red));

    edit->setEnColorType(1);
    edit->setClBackGradientStart(Qt::black);
    edit->setClBackGradientEnd(Qt::white);
    const QImage upwards = edit->backgroundOf(QSizeF(64, 48));
    EXPECT_LT(upwards.pixelColor(32, 47).red(), 10);  // bottom row: start
    EXPECT_GT(upwards.pixelColor(32, 0).red(), 245);  // top row: end
    EXPECT_EQ(upwards.pixelColor(0, 24), upwards.pixelColor(63, 24));
    edit->setEnGradientType(0);
    const QImage across = edit->backgroundOf(QSizeF(64, 48));
    EXPECT_LT(across.pixelColor(0, 24).red(), 10);
    EXPECT_GT(across.pixelColor(63, 24).red(), 245);

    edit->setEnBackType(1); // a picture background without a picture
    EXPECT_TRUE(edit->backgroundOf(QSizeF(64, 48)).isNull());
}

} // namespace
