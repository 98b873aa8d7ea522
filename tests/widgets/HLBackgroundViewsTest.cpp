#include "widgets/HLColorView.h"
#include "widgets/HLGradientView.h"
#include "widgets/HLUIWindowTitleView.h"
#include "widgets/HLWindowBar.h"
#include "widgets/MenuRightAreaView.h"
#include "widgets/PlayModeBgView.h"

#include <QDialog>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cmath>

namespace {

int greyOf(double level)
{
    return int(std::lround(level * 255));
}

TEST(HLBackgroundViewsTest, ColorViewFillsWithItsColourAndNothingWhenUnset)
{
    HLColorView view;
    view.resize(40, 30);
    view.setClColor(QColor(200, 30, 60));
    EXPECT_EQ(view.grab().toImage().pixelColor(20, 15), QColor(200, 30, 60));

    HLColorView unset;
    unset.resize(40, 30);
    QImage image(40, 30, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::green);
    unset.render(&image, {}, {}, QWidget::RenderFlags());
    EXPECT_EQ(image.pixelColor(20, 15), QColor(Qt::green));
}

TEST(HLBackgroundViewsTest, GradientRunsLeftToRightForTypeZeroElseBottomToTop)
{
    struct Case
    {
        qint64 type;
        bool horizontal;
    };
    for (const Case c : {Case{0, true}, Case{1, false}, Case{2, false}}) {
        HLGradientView view;
        view.resize(100, 100);
        view.setClColorLB(Qt::black);
        view.setClColorRU(Qt::white);
        view.setEnType(c.type);
        const QImage image = view.grab().toImage();
        // Black at the start corner's side (left, or bottom), white at the other.
        const int startSide = c.horizontal ? qRed(image.pixel(2, 50)) : qRed(image.pixel(50, 97));
        const int endSide = c.horizontal ? qRed(image.pixel(97, 50)) : qRed(image.pixel(50, 2));
        const int across = c.horizontal ? qRed(image.pixel(50, 2)) - qRed(image.pixel(50, 97))
                                        : qRed(image.pixel(2, 50)) - qRed(image.pixel(97, 50));
        EXPECT_LT(startSide, 20) << c.type;
        EXPECT_GT(endSide, 235) << c.type;
        EXPECT_NEAR(across, 0, 2) << c.type; // no change the other way
    }
}

TEST(HLBackgroundViewsTest, MenuRightAreaHasItsLeftPairAndTopHairline)
{
    MenuRightAreaView view;
    view.resize(120, 80);
    const QImage image = view.grab().toImage();
    EXPECT_NEAR(qRed(image.pixel(0, 40)), greyOf(0.03), 1);
    EXPECT_NEAR(qRed(image.pixel(1, 40)), greyOf(0.17), 1);
    EXPECT_NEAR(qRed(image.pixel(60, 0)), greyOf(0.03), 1);
    EXPECT_NEAR(qRed(image.pixel(60, 40)), greyOf(0.15), 1);
    EXPECT_NEAR(qRed(image.pixel(119, 79)), greyOf(0.15), 1);

    PlayModeBgView play;
    play.resize(50, 50);
    EXPECT_EQ(play.grab().toImage().pixelColor(25, 25), QColor(50, 50, 50));
}

TEST(HLBackgroundViewsTest, ClickOnTheGroundEndsTextEditing)
{
    for (const bool rightArea : {true, false}) {
        QWidget window;
        auto *layout = new QVBoxLayout(&window);
        auto *field = new QLineEdit(&window);
        QWidget *ground = rightArea ? static_cast<QWidget *>(new MenuRightAreaView(&window))
                                    : static_cast<QWidget *>(new PlayModeBgView(&window));
        ground->setMinimumSize(100, 60);
        layout->addWidget(field);
        layout->addWidget(ground);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.activateWindow();
        field->setFocus();
        ASSERT_TRUE(field->hasFocus());
        QTest::mouseClick(ground, Qt::LeftButton, {}, QPoint(50, 30));
        EXPECT_FALSE(field->hasFocus()) << rightArea;
        EXPECT_TRUE(ground->hasFocus()) << rightArea;
    }
}

TEST(HLBackgroundViewsTest, DarkBarCarriesTheTitleOverTheTopOfTheWindow)
{
    QDialog window;
    window.setWindowTitle(QStringLiteral("Menu Music"));
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(10, 10, 10, 10);
    auto *content = new QLineEdit(&window);
    layout->addWidget(content);
    HLUIWindowTitleView *strip = changeWindowBarToBlack(&window);
    window.resize(300, 120);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    EXPECT_TRUE(window.windowTitle().isEmpty());
    EXPECT_EQ(strip->strTitle(), QStringLiteral("Menu Music"));
    EXPECT_EQ(strip->geometry(), QRect(0, 0, 300, 25));
    // The window's content starts below the strip, and keeps up with the window's width.
    EXPECT_GE(content->geometry().top(), 25 + 10);
    window.resize(420, 120);
    QCoreApplication::processEvents();
    EXPECT_EQ(strip->width(), 420);
}

} // namespace
