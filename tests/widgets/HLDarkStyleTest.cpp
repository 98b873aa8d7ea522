#include "widgets/HLDarkStyle.h"

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class HLDarkStyleTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { HLDarkStyle::applyTo(*qApp); }
};

// The widget drawn over black, so the transparent slices show their strength.
QImage onBlack(QWidget &widget)
{
    QWidget back;
    back.setAutoFillBackground(true);
    QPalette palette = back.palette();
    palette.setColor(QPalette::Window, Qt::black);
    back.setPalette(palette);
    widget.setParent(&back);
    widget.move(0, 0);
    back.resize(widget.sizeHint());
    widget.resize(widget.sizeHint());
    QImage image = back.grab().toImage();
    widget.setParent(nullptr);
    return image;
}

// The lightest grey along the bezel's left edge, and in the middle band where the title is.
int edgeLight(const QImage &image)
{
    int lightest = 0;
    for (int y = 0; y < image.height(); ++y)
        lightest = std::max(lightest, qGray(image.pixel(0, y)));
    return lightest;
}

int titleLight(const QImage &image)
{
    int lightest = 0;
    for (int y = image.height() / 4; y < image.height() * 3 / 4; ++y)
        for (int x = 8; x < image.width() - 8; ++x)
            lightest = std::max(lightest, qGray(image.pixel(x, y)));
    return lightest;
}

TEST_F(HLDarkStyleTest, ButtonsAreFaintUnlessPressedOrClipAlpha)
{
    QPushButton normal(QStringLiteral("Apply"));
    QPushButton pressed(QStringLiteral("Apply"));
    pressed.setDown(true);
    QPushButton clip(QStringLiteral("Apply"));
    clip.setProperty("clipAlpha", true);
    const int normalEdge = edgeLight(onBlack(normal));
    EXPECT_GT(edgeLight(onBlack(pressed)), normalEdge);
    EXPECT_GT(edgeLight(onBlack(clip)), normalEdge);
    EXPECT_GT(normalEdge, 0); // faint, but there
}

TEST_F(HLDarkStyleTest, DisabledTitlesAreGreyUnlessClipAlpha)
{
    QPushButton enabled(QStringLiteral("Apply"));
    QPushButton disabled(QStringLiteral("Apply"));
    disabled.setEnabled(false);
    QPushButton disabledClip(QStringLiteral("Apply"));
    disabledClip.setEnabled(false);
    disabledClip.setProperty("clipAlpha", true);
    EXPECT_GE(titleLight(onBlack(enabled)), 250);
    EXPECT_NEAR(titleLight(onBlack(disabled)), qRound(0.6 * 255), 4);
    EXPECT_GE(titleLight(onBlack(disabledClip)), 250);
}

TEST_F(HLDarkStyleTest, MixedCheckBoxDrawsTheOnBox)
{
    QCheckBox on;
    on.setTristate(true);
    on.setCheckState(Qt::Checked);
    QCheckBox mixed;
    mixed.setTristate(true);
    mixed.setCheckState(Qt::PartiallyChecked);
    QCheckBox off;
    const QImage onImage = onBlack(on);
    EXPECT_EQ(onImage, onBlack(mixed));
    EXPECT_NE(onImage, onBlack(off));
}

} // namespace
