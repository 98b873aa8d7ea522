// The crop view on real widgets: moves, resizes from each corner and edge, arrow-key nudges,
// its limit and its minimum, through synthetic mouse and key events.
#include "SourceHL/Editors/HLCropView.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using Rect = HLCropGeometry::Rect;

class HLCropViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        parent.resize(400, 300);
        crop = new HLCropView(&parent);
        crop->setup([this] { ++feedbacks; });
        crop->setLimitedRect({50, 50, 300, 200}); // the picture, y-up
        crop->setRctDisplayFrame({100, 100, 100, 60});
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    // y-up in the crop view to the parent's y-down.
    QPoint inParent(double x, double y) const
    {
        return crop->mapToParent(QPoint(int(x), crop->height() - int(y)));
    }
    // Presses at (x, y) of the view (y-up) and drags by each (dx, dy) (y-up) from there; the
    // events go to the view wherever it has moved to.
    void drag(double x, double y, const QList<QPoint> &steps)
    {
        const QPoint at = inParent(x, y);
        QTest::mousePress(crop, Qt::LeftButton, {}, crop->mapFromParent(at));
        QPoint last = at;
        for (const QPoint step : steps) {
            last = at + QPoint(step.x(), -step.y());
            QTest::mouseMove(crop, crop->mapFromParent(last));
        }
        QTest::mouseRelease(crop, Qt::LeftButton, {}, crop->mapFromParent(last));
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = {}) { QTest::keyClick(crop, k, modifiers); }

    QWidget parent;
    HLCropView *crop = nullptr;
    int feedbacks = 0;
};

TEST_F(HLCropViewTest, ASmallRectangleGrowsToTheMinimum)
{
    crop->setRctDisplayFrame({60, 60, 10, 10});
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{60, 60, 24, 24}));
    EXPECT_EQ(crop->frameRect(), (Rect{54, 54, 36, 36}));
    EXPECT_EQ(crop->dCropRatio(), 1);
    EXPECT_EQ(crop->geometry(), QRect(54, 300 - 54 - 36, 36, 36));
    EXPECT_EQ(feedbacks, 0);
}

TEST_F(HLCropViewTest, EachCornerAndEdgeResizesWithTheOppositeSidesInPlace)
{
    const double w = 112, h = 72;
    struct Case
    {
        const char *what;
        double x, y;
        QPoint step;
        Rect display;
        qint64 resizeType, stationary;
    };
    const Case cases[] = {
        {"lower left", 3, 3, {-10, -10}, {90, 90, 110, 70}, 0, 2},
        {"upper left", 3, h - 3, {-10, 10}, {90, 100, 110, 70}, 0, 3},
        {"upper right", w - 3, h - 3, {10, 10}, {100, 100, 110, 70}, 0, 0},
        {"lower right", w - 3, 3, {10, -10}, {100, 90, 110, 70}, 0, 1},
        {"left edge", 5, h / 2 + 1, {-10, 30}, {90, 100, 110, 60}, 1, 3},
        {"right edge", w - 5, h / 2 + 1, {-20, 30}, {100, 100, 80, 60}, 1, 0},
        {"top edge", w / 2 + 1, h - 5, {30, 15}, {100, 100, 100, 75}, 2, 0},
        {"bottom edge", w / 2 + 1, 5, {30, 15}, {100, 115, 100, 45}, 2, 1},
    };
    for (const Case &c : cases) {
        crop->setRctDisplayFrame({100, 100, 100, 60});
        feedbacks = 0;
        drag(c.x, c.y, {c.step});
        EXPECT_EQ(crop->enumResizeType(), c.resizeType) << c.what;
        EXPECT_EQ(crop->enumStationaryType(), c.stationary) << c.what;
        EXPECT_EQ(crop->rctDisplayFrame(), c.display) << c.what;
        EXPECT_EQ(feedbacks, 1) << c.what; // the drag step; neither the press nor the release
    }
}

TEST_F(HLCropViewTest, AResizeStopsAtThePicturesEdgeAndAtTheMinimum)
{
    drag(3, 3, {{-500, -500}});
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{50, 50, 150, 110})); // upper right stays at (200, 160)
    crop->setRctDisplayFrame({100, 100, 100, 60});
    drag(3, 3, {{500, 500}});
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{176, 136, 24, 24}));
    crop->setDResizeRatio(2);
    crop->setRctDisplayFrame({100, 100, 100, 60});
    drag(3, 3, {{500, 500}});
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{152, 112, 48, 48}));
}

TEST_F(HLCropViewTest, APressOnTheBandsInnerEdgeIsDecidedAfresh)
{
    const double w = 112, h = 72;
    drag(3, 3, {}); // a corner grab first
    ASSERT_EQ(crop->enumResizeType(), 0);
    drag(w - 12, h / 2 - 5, {{10, 20}});
    EXPECT_EQ(crop->enumDragType(), 1);
    EXPECT_EQ(crop->enumResizeType(), 1);
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{100, 100, 110, 60})); // only the right edge moved
}

TEST_F(HLCropViewTest, DraggingTheInsideMovesItWithinThePicture)
{
    drag(56, 36, {{20, 10}});
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{120, 110, 100, 60}));
    EXPECT_EQ(feedbacks, 1);
    drag(56, 36, {{-300, 0}, {-290, 0}});
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{50, 110, 100, 60})); // held on the left edge
    drag(56, 36, {{500, 500}});
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{250, 190, 100, 60}));
    EXPECT_EQ(crop->dCropRatio(), 100.0 / 60.0);
}

TEST_F(HLCropViewTest, ArrowKeysNudgeOnePointAndStopAtTheEdge)
{
    struct Case
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        double x, y;
    };
    for (const Case c : {Case{Qt::Key_Left, {}, 99, 100}, {Qt::Key_Right, Qt::ShiftModifier, 101, 100},
                         {Qt::Key_Down, Qt::ControlModifier, 100, 99}, {Qt::Key_Up, Qt::AltModifier, 100, 101}}) {
        crop->setRctDisplayFrame({100, 100, 100, 60});
        feedbacks = 0;
        key(c.key, c.modifiers);
        EXPECT_EQ(crop->rctDisplayFrame(), (Rect{c.x, c.y, 100, 60})) << c.key;
        EXPECT_EQ(feedbacks, 1);
    }
    crop->setRctDisplayFrame({50, 100, 100, 60});
    key(Qt::Key_Left);
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{50, 100, 100, 60}));
    feedbacks = 0;
    key(Qt::Key_A);
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{50, 100, 100, 60}));
    EXPECT_EQ(feedbacks, 0);
}

TEST_F(HLCropViewTest, AFixedRatioRefitsAroundTheCentreAndResizesKeepingIt)
{
    crop->updateDisplayByRatio(1);
    EXPECT_FALSE(crop->bIsCustomed());
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{100, 80, 100, 100}));
    EXPECT_EQ(feedbacks, 1);
    drag(112 - 3, 112 - 3, {{20, 0}});
    EXPECT_EQ(crop->rctDisplayFrame(), (Rect{100, 80, 120, 120}));
}

TEST(HLLimitedViewTest, ADragStopsOnTheLimitAndComesBackOnlyAsFarAsThePointerDoes)
{
    QWidget parent;
    parent.resize(300, 200);
    auto *view = new HLLimitedView(&parent);
    view->setFrameRect({100, 50, 100, 40});
    view->setLimitedRect({80, 20, 200, 160});
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    const QPoint press(50, 20);
    const QPoint at = view->mapToParent(press);
    QTest::mousePress(view, Qt::LeftButton, {}, press);
    QTest::mouseMove(view, view->mapFromParent(at - QPoint(60, 0)));
    EXPECT_EQ(view->frameRect(), (Rect{80, 50, 100, 40}));
    QTest::mouseMove(view, view->mapFromParent(at - QPoint(10, 0))); // measured from the press
    EXPECT_EQ(view->frameRect(), (Rect{90, 50, 100, 40}));
    QTest::mouseRelease(view, Qt::LeftButton, {}, view->mapFromParent(at - QPoint(10, 0)));
    EXPECT_EQ(view->pntDragStartPoint(), (HLCropGeometry::Point{}));

    // Another key clamps in place and is not handed on; a limit set later pulls it in.
    view->setLimitedRect({120, 20, 150, 160});
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QApplication::sendEvent(view, &other);
    EXPECT_TRUE(other.isAccepted());
    EXPECT_EQ(view->frameRect(), (Rect{120, 50, 100, 40}));
    QTest::keyClick(view, Qt::Key_Up, Qt::ShiftModifier);
    EXPECT_EQ(view->frameRect(), (Rect{120, 51, 100, 40}));
}

} // namespace
