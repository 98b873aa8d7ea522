#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/Windows/HLSortBackView.h"
#include "SourceHL/Windows/HLSortGeometry.h"
#include "SourceHL/Windows/HLSortInside.h"
#include "SourceHL/Windows/HLSortSlidView.h"
#include "SourceHL/Windows/HLSortWndCtrl.h"
#include "tests/support/TestProject.h"

#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QMimeData>
#include <QPushButton>
#include <QScrollArea>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

class HLSortWndCtrlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf); }

    void SetUp() override
    {
        TestProject::setUpPools(folder);
        // Three slideshow items of 3, 2 and 3 photos.
        timeline = TestProject::timeline(3);
        ASSERT_TRUE(timeline->addOutTo(photos(3), QString()));
        timeline->setIMode(2);
        ASSERT_TRUE(timeline->addOutTo(photos(2), QString()));
        timeline->setIMode(3);
        ASSERT_TRUE(timeline->addOutTo(photos(3), QString()));
        original = allHashes();
        HLInsideDrag::setStarter([this](QWidget *, std::unique_ptr<QMimeData> data, const QPixmap &, QPoint) {
            dragged = std::move(data);
        });
        sorter.setUpAdd(
            [this](const QStringList &paths, HLSortWndCtrl::AddCompletion completion) {
                addedPaths << paths;
                HLSortWndCtrl::ResourceItems items;
                for (qsizetype i = 0; i < paths.size(); ++i)
                    items.append(TestProject::importPhoto(folder, Qt::white));
                gate.perform(HLChange::Structure, [&] { completion(*timeline, items); });
            },
            [this] { ++feedbacks; });
        sorter.window()->resize(760, 560);
        sorter.open(timeline, gate);
    }

    void TearDown() override
    {
        HLInsideDrag::setStarter({});
        if (sorter.window()->isVisible())
            sorter.window()->close();
    }

    HLTimelineItem::ResourceItems photos(int count)
    {
        HLTimelineItem::ResourceItems items;
        for (int i = 0; i < count; ++i)
            items.append(TestProject::importPhoto(folder, QColor::fromHsv(i * 40, 200, 200)));
        return items;
    }

    QList<QStringList> hashes() const
    {
        QList<QStringList> ids;
        for (const auto &item : timeline->aryItems())
            ids.append(item->resourceHashIDs());
        return ids;
    }
    QStringList ssids() const
    {
        QStringList ids;
        for (const auto &item : timeline->aryItems())
            ids.append(item->strSSID());
        return ids;
    }
    QStringList allHashes() const
    {
        QStringList ids;
        for (const QStringList &item : hashes())
            ids << item;
        std::sort(ids.begin(), ids.end());
        return ids;
    }

    HLSortSlidView *tile(int i) const { return sorter.slidViews().at(i); }
    HLRenderItemView *cell(int tileIndex, int k) const { return sorter.subItemViewsOf(tile(tileIndex)).at(k); }

    static void press(QWidget *view, Qt::KeyboardModifiers modifiers = Qt::NoModifier, QPoint at = QPoint(20, 10))
    {
        QTest::mouseClick(view, Qt::LeftButton, modifiers, at);
    }

    std::unique_ptr<QMimeData> drag(QWidget *view, QPoint at)
    {
        dragged.reset();
        QTest::mousePress(view, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseMove(view, at + QPoint(10, 0));
        QTest::mouseRelease(view, Qt::LeftButton, Qt::NoModifier, at + QPoint(10, 0));
        return std::move(dragged);
    }

    static bool dropOn(QWidget *target, QPoint pos, const QMimeData *data)
    {
        const Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(pos, actions, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDragMoveEvent move(pos, actions, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &move);
        QDropEvent drop(QPointF(pos), actions, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &drop);
        return drop.isAccepted();
    }

    // A point of the back view in the gap above tile i (or below the last one).
    QPoint gapAbove(int i) const
    {
        const int y = i < sorter.slidViews().size() ? tile(i)->geometry().top() - 7 : tile(i - 1)->geometry().bottom() + 8;
        return QPoint(100, y);
    }

    void pressDelete() { QTest::keyClick(sorter.window(), Qt::Key_Delete); }

    TestFolder folder;
    std::shared_ptr<HLTimelineItem> timeline;
    std::shared_ptr<HLLastOperateQueue> queue = std::make_shared<HLLastOperateQueue>();
    HLEditGate gate{queue};
    HLSortWndCtrl sorter;
    std::unique_ptr<QMimeData> dragged;
    QStringList addedPaths;
    QStringList original;
    int feedbacks = 0;
};

TEST_F(HLSortWndCtrlTest, OpensWithATilePerSlideshowItemAndACellPerPhoto)
{
    ASSERT_EQ(sorter.slidViews().size(), 3);
    EXPECT_EQ(sorter.itemViews().size(), 8);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tile(i)->strID(), ssids()[i]);
        QStringList cells;
        for (HLRenderItemView *view : sorter.subItemViewsOf(tile(i)))
            cells << view->strID();
        EXPECT_EQ(cells, hashes()[i]);
    }
    // The first tile hangs 15 below the top, 10 in; its first cell sits under the 30-point
    // header with a 5-point gap, 5 in.
    EXPECT_EQ(tile(0)->pos(), QPoint(10, 15));
    EXPECT_EQ(tile(0)->width(), sorter.backView()->width() - 20);
    EXPECT_EQ(cell(0, 0)->geometry(), QRect(5, 35, 80, 80));
    EXPECT_EQ(tile(1)->geometry().top(), tile(0)->geometry().bottom() + 1 + 15);
    EXPECT_TRUE(tile(0)->strTitle().contains(QStringLiteral("    3 Items    00:00:")));
    EXPECT_FALSE(cell(0, 0)->imgThumb().isNull());
}

TEST_F(HLSortWndCtrlTest, TilesDraggedAboveTheFirstMoveToTheStart)
{
    const QStringList before = ssids();
    press(tile(2));
    auto data = drag(tile(2), QPoint(20, 10));
    ASSERT_TRUE(data);
    ASSERT_TRUE(dropOn(sorter.backView(), gapAbove(0), data.get()));
    EXPECT_EQ(ssids(), (QStringList{before[2], before[0], before[1]}));
    EXPECT_EQ(sorter.slidViews().first()->strID(), before[2]);
    EXPECT_EQ(sorter.chosenSSIDs(), QStringList{before[2]}) << "the moved tile stays chosen";
    EXPECT_EQ(allHashes(), original);
}

TEST_F(HLSortWndCtrlTest, CellsMovedIntoAnotherItemNameItAfterwards)
{
    const QList<QStringList> before = hashes();
    const QString target = ssids()[1];
    press(cell(0, 0), Qt::NoModifier, QPoint(40, 40));
    press(cell(0, 2), Qt::ControlModifier, QPoint(40, 40));
    auto data = drag(cell(0, 2), QPoint(40, 40));
    ASSERT_TRUE(data);
    // Before the second photo of the middle item: the first row, right of its first cell's middle.
    ASSERT_TRUE(dropOn(tile(1), QPoint(50, 60), data.get()));
    EXPECT_EQ(hashes()[0], QStringList{before[0][1]});
    EXPECT_EQ(hashes()[1], (QStringList{before[1][0], before[0][0], before[0][2], before[1][1]}));
    EXPECT_EQ(sorter.strTempSSID(), target);
    // Delete now removes them from where they are, and nothing of the source.
    pressDelete();
    EXPECT_EQ(hashes()[0], QStringList{before[0][1]});
    EXPECT_EQ(hashes()[1], before[1]);
    EXPECT_TRUE(sorter.chosenRDIDs().isEmpty());
    EXPECT_TRUE(sorter.strTempSSID().isEmpty());
}

TEST_F(HLSortWndCtrlTest, CellsReorderInsideTheirItemAndMoveOutIntoANewOne)
{
    const QList<QStringList> before = hashes();
    press(cell(2, 2), Qt::NoModifier, QPoint(40, 40));
    auto data = drag(cell(2, 2), QPoint(40, 40));
    ASSERT_TRUE(data);
    ASSERT_TRUE(dropOn(tile(2), QPoint(10, 60), data.get())); // before the first cell
    EXPECT_EQ(hashes()[2], (QStringList{before[2][2], before[2][0], before[2][1]}));
    // Out below the last tile: a slideshow item of its own at the end.
    data = drag(cell(2, 0), QPoint(40, 40));
    ASSERT_TRUE(data);
    ASSERT_TRUE(dropOn(sorter.backView(), gapAbove(3), data.get()));
    ASSERT_EQ(hashes().size(), 4);
    EXPECT_EQ(hashes()[3], QStringList{before[2][2]});
    EXPECT_EQ(sorter.strTempSSID(), ssids()[3]);
    EXPECT_EQ(sorter.chosenRDIDs(), QStringList{before[2][2]});
    EXPECT_EQ(allHashes(), original);
}

TEST_F(HLSortWndCtrlTest, FilesDroppedFromOutsideAreAdded)
{
    const QString file = folder.path() + QStringLiteral("/outside.png");
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(file), QUrl(QStringLiteral("https://example.com/a.png"))});
    // On a tile past its cells: appended to that item.
    ASSERT_TRUE(dropOn(tile(1), QPoint(200, 60), &files));
    EXPECT_EQ(addedPaths, QStringList{file}) << "local files only";
    EXPECT_EQ(hashes()[1].size(), 3);
    EXPECT_EQ(sorter.subItemViewsOf(tile(1)).size(), 3);
    // Between tiles: a new item there.
    ASSERT_TRUE(dropOn(sorter.backView(), gapAbove(1), &files));
    EXPECT_EQ(hashes().size(), 4);
    EXPECT_EQ(hashes()[1].size(), 1);
}

TEST_F(HLSortWndCtrlTest, ADropWithFilesAndInsideItemsDoesOneThing)
{
    const QList<QStringList> before = hashes();
    press(cell(0, 0), Qt::NoModifier, QPoint(40, 40));
    auto data = drag(cell(0, 0), QPoint(40, 40));
    ASSERT_TRUE(data);
    data->setUrls({QUrl::fromLocalFile(folder.path() + QStringLiteral("/both.png"))});
    ASSERT_TRUE(dropOn(tile(1), QPoint(10, 60), data.get()));
    EXPECT_EQ(addedPaths.size(), 1);
    EXPECT_EQ(hashes()[0], before[0]) << "the chosen cell did not move as well";
}

TEST_F(HLSortWndCtrlTest, InsideTypesFromAnotherProgramAreRefused)
{
    press(cell(0, 0), Qt::NoModifier, QPoint(40, 40));
    QMimeData foreign;
    foreign.setData(HLInsideDrag::mimeTypeOf(kSortSlidInsidePboardType), "another program");
    foreign.setData(HLInsideDrag::mimeTypeOf(kSortBackInsidePboardType), "another program");
    const QList<QStringList> before = hashes();
    EXPECT_FALSE(dropOn(tile(1), QPoint(10, 60), &foreign));
    EXPECT_FALSE(dropOn(sorter.backView(), gapAbove(0), &foreign));
    EXPECT_EQ(hashes(), before);
}

TEST_F(HLSortWndCtrlTest, DeleteRemovesTheChosenItems)
{
    const QStringList before = ssids();
    press(tile(0));
    press(tile(2), Qt::ControlModifier);
    pressDelete();
    EXPECT_EQ(ssids(), QStringList{before[1]});
    EXPECT_EQ(sorter.slidViews().size(), 1);
    EXPECT_TRUE(sorter.chosenSSIDs().isEmpty());
    pressDelete(); // nothing chosen: nothing goes
    EXPECT_EQ(ssids(), QStringList{before[1]});
}

TEST_F(HLSortWndCtrlTest, ZoomRefitsTheCells)
{
    HLRenderItemView *first = cell(0, 0);
    sorter.setDRatio(0.5f);
    EXPECT_EQ(cell(0, 0), first) << "cells are reused, not rebuilt";
    EXPECT_EQ(first->size(), QSize(40, 40));
    // All three photos in one row: the tile is header, one row and the bottom margin.
    EXPECT_EQ(tile(0)->height(), 30 + 5 + 45);
    sorter.setDRatio(2.0f);
    const auto columns = HLSortGeometry::columnsOf(tile(0)->width(), 2.0f);
    EXPECT_EQ(tile(0)->height(), 30 + 5 + 165 * HLSortGeometry::rowsOf(3, columns));
}

TEST_F(HLSortWndCtrlTest, AChoiceDoesNotSurviveClosing)
{
    press(tile(0));
    sorter.window()->close();
    EXPECT_EQ(feedbacks, 1);
    EXPECT_TRUE(sorter.slidViews().isEmpty());
    EXPECT_FALSE(sorter.oTimeline());
    sorter.open(timeline, gate);
    pressDelete();
    EXPECT_EQ(ssids().size(), 3);
    EXPECT_EQ(allHashes(), original);
}

TEST_F(HLSortWndCtrlTest, AddedFilesFromTheTilesButtonJoinThatItem)
{
    const QString file = folder.path() + QStringLiteral("/added.png");
    sorter.setPanel([&](QWidget *) { return QStringList{file}; });
    tile(2)->btnAdd()->click();
    EXPECT_EQ(hashes()[2].size(), 4);
    sorter.setPanel([](QWidget *) { return QStringList(); }); // cancelled
    sorter.add();
    EXPECT_EQ(hashes().size(), 3);
    sorter.setPanel([&](QWidget *) { return QStringList{file}; });
    sorter.add();
    EXPECT_EQ(hashes().size(), 4);
}

} // namespace
