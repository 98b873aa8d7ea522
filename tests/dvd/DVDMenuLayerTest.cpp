#include "dvd/DVDCustomMenu.h"
#include "dvd/DVDCustomMenuItem.h"
#include "dvd/DVDMenuLayerImageGenerator.h"

#include <gtest/gtest.h>

namespace {

// A menu as large as the video frame, so frames map one to one.
std::shared_ptr<DVDCustomMenu> menuOf(std::vector<std::shared_ptr<DVDMenuElement>> items)
{
    auto menu = std::make_shared<DVDCustomMenu>();
    menu->setMenuSize(QSizeF(720, 480));
    menu->setItems(std::move(items));
    return menu;
}

std::shared_ptr<DVDCustomMenuItem> button(const QRectF &frame, bool text = false, double radius = 0)
{
    auto item = std::make_shared<DVDCustomMenuItem>();
    item->setFrame(frame);
    item->setIsText(text);
    item->setTextSourceBackgroundRadius(radius);
    return item;
}

// The layer pixel at a point of the y-up frame.
QColor at(const QImage &layer, int x, int y)
{
    return layer.pixelColor(x, layer.height() - 1 - y);
}

bool isEmpty(const QImage &layer)
{
    for (int y = 0; y < layer.height(); ++y) {
        for (int x = 0; x < layer.width(); ++x) {
            if (qAlpha(layer.pixel(x, y)) != 0)
                return false;
        }
    }
    return true;
}

} // namespace

TEST(DVDMenuLayerImage, HighlightAndSelectCoverEachButtonGrownByOne)
{
    DVDMenuLayerImageGenerator generator(menuOf({button(QRectF(100, 100, 200, 200))}), QSizeF(720, 480));
    const QImage highlight = generator.layerImage(QStringLiteral("menu_highlight"));
    const QImage select = generator.layerImage(QStringLiteral("menu_select"));
    // 202 × 202 at (99, 99), y up.
    for (const QPoint p : {QPoint(99, 99), QPoint(300, 300), QPoint(200, 150)}) {
        EXPECT_EQ(at(highlight, p.x(), p.y()).red(), 255);
        EXPECT_NEAR(at(highlight, p.x(), p.y()).alphaF(), 0.4, 0.01);
        EXPECT_EQ(at(select, p.x(), p.y()).red(), 0);
        EXPECT_NEAR(at(select, p.x(), p.y()).alphaF(), 0.35, 0.01);
    }
    for (const QPoint p : {QPoint(98, 150), QPoint(301, 150), QPoint(150, 98), QPoint(150, 301)}) {
        EXPECT_EQ(at(highlight, p.x(), p.y()).alpha(), 0);
        EXPECT_EQ(at(select, p.x(), p.y()).alpha(), 0);
    }
}

TEST(DVDMenuLayerImage, TextButtonsKeepTheirRounding)
{
    // Grown to 302 × 82: corner radius 82 × 0.5 × 0.5 = 20.5.
    DVDMenuLayerImageGenerator rounded(menuOf({button(QRectF(100, 100, 300, 80), true, 0.5)}), QSizeF(720, 480));
    const QImage layer = rounded.layerImage(QStringLiteral("menu_highlight"));
    EXPECT_EQ(at(layer, 99, 99).alpha(), 0);
    EXPECT_EQ(at(layer, 102, 102).alpha(), 0);
    EXPECT_GT(at(layer, 99, 140).alpha(), 0);
    EXPECT_GT(at(layer, 250, 99).alpha(), 0);
    DVDMenuLayerImageGenerator square(menuOf({button(QRectF(100, 100, 300, 80), true, 0.0)}), QSizeF(720, 480));
    EXPECT_GT(at(square.layerImage(QStringLiteral("menu_highlight")), 99, 99).alpha(), 0);
}

TEST(DVDMenuLayerImage, ImageLayerEmptyMenusAndOtherNames)
{
    DVDMenuLayerImageGenerator generator(menuOf({}), QSizeF(720, 480));
    const QImage image = generator.layerImage(QStringLiteral("menu_image"));
    EXPECT_GT(at(image, 200, 200).alpha(), 0);
    EXPECT_EQ(at(image, 201, 200).alpha(), 0);
    EXPECT_TRUE(isEmpty(generator.layerImage(QStringLiteral("menu_highlight"))));
    EXPECT_TRUE(isEmpty(generator.layerImage(QStringLiteral("menu_select"))));
    DVDMenuLayerImageGenerator withButton(menuOf({button(QRectF(10, 10, 50, 50))}), QSizeF(720, 480));
    EXPECT_TRUE(isEmpty(withButton.layerImage(QStringLiteral("menu_other"))));
    // A huge button covers only the frame; an empty one draws nothing.
    DVDMenuLayerImageGenerator huge(menuOf({button(QRectF(-1e9, -1e9, 3e9, 3e9)), button(QRectF(50, 50, 0, 0))}),
                                    QSizeF(720, 480));
    const QImage covered = huge.layerImage(QStringLiteral("menu_select"));
    EXPECT_GT(at(covered, 0, 0).alpha(), 0);
    EXPECT_GT(at(covered, 719, 479).alpha(), 0);
}
