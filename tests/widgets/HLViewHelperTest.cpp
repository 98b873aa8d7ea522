#include "widgets/HLViewHelper.h"

#include <QApplication>
#include <QDialog>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

TEST(HLViewHelperTest, NoDropWhileASheetIsOnTheWindow)
{
    QWidget window;
    auto *child = new QWidget(&window);
    window.show();
    EXPECT_TRUE(hlCanDrop(child));

    QDialog sheet(&window);
    sheet.setWindowModality(Qt::WindowModal);
    sheet.show();
    EXPECT_FALSE(hlCanDrop(child));
    EXPECT_TRUE(hlCanDrop(&sheet)); // the sheet itself is the modal window
    sheet.hide();
    EXPECT_TRUE(hlCanDrop(child));
    EXPECT_FALSE(hlCanDrop(nullptr));
}

TEST(HLViewHelperTest, SnapshotIsTheViewAsDrawn)
{
    QWidget view;
    view.setAutoFillBackground(true);
    QPalette palette = view.palette();
    palette.setColor(QPalette::Window, QColor(10, 200, 30));
    view.setPalette(palette);
    view.resize(40, 20);
    const QImage snapshot = hlSnapshot(&view);
    ASSERT_EQ(snapshot.size(), QSize(40, 20));
    EXPECT_EQ(QColor(snapshot.pixel(20, 10)), QColor(10, 200, 30));
    EXPECT_TRUE(hlSnapshot(nullptr).isNull());
}

} // namespace
