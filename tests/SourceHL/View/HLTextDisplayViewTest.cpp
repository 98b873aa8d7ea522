#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/View/HLTextDisplayView.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

class HLTextDisplayViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        item = HLTextItem::textItemOf(QStringLiteral("T1"));
        ASSERT_TRUE(item);
        edit().setStrText(QStringLiteral("Title"));
        edit().setStrFont(QStringLiteral("DejaVu Sans"));
        edit().setDFontSize(40);
        edit().setClFont(Qt::white);
        edit().setDCenterX(0.5f);
        edit().setDCenterY(0.5f);
        view.resize(400, 300);
        // The owner's part: it stores the new place (through the gate in the program).
        view.setUp([this](std::optional<float> x, std::optional<float> y) {
            if (x)
                edit().setDCenterX(*x);
            if (y)
                edit().setDCenterY(*y);
            ++feedbacks;
        });
        view.setOItem(item);
        view.updateDisplay();
        view.show();
    }

    HLTextEdit &edit() { return *item->oTextEdit(); }

    // The widget point (y down) of a y-up view point.
    QPoint widgetPoint(float x, float y) const { return QPoint(qRound(x), qRound(view.height() - y)); }

    std::shared_ptr<HLTextItem> item;
    HLTextDisplayView view;
    int feedbacks = 0;
};

TEST_F(HLTextDisplayViewTest, DragFromInsideMovesTheCentreByTheDrag)
{
    const HLViewRect limited = view.limitedFrame();
    ASSERT_GT(limited.width, 400);
    const HLViewPoint start = view.currentCenter();
    QTest::mousePress(&view, Qt::LeftButton, {}, widgetPoint(start.x, start.y));
    QTest::mouseMove(&view, widgetPoint(start.x + 10, start.y - 5));
    EXPECT_NEAR(edit().dCenterX(), (start.x + 10 - limited.x) / limited.width, 1e-6);
    EXPECT_NEAR(edit().dCenterY(), (start.y - 5 - limited.y) / limited.height, 1e-6);
    EXPECT_GE(feedbacks, 1);
    QTest::mouseRelease(&view, Qt::LeftButton, {}, widgetPoint(start.x + 10, start.y - 5));
}

TEST_F(HLTextDisplayViewTest, DragFromOutsideMovesNothing)
{
    QTest::mousePress(&view, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseMove(&view, QPoint(100, 100));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_FLOAT_EQ(edit().dCenterX(), 0.5f);
    EXPECT_FLOAT_EQ(edit().dCenterY(), 0.5f);
    EXPECT_EQ(feedbacks, 0);
}

TEST_F(HLTextDisplayViewTest, DragStopsWhereTheTitleTouchesTheEdgeFromOutside)
{
    const HLViewPoint start = view.currentCenter();
    QTest::mousePress(&view, Qt::LeftButton, {}, widgetPoint(start.x, start.y));
    QTest::mouseMove(&view, widgetPoint(start.x - 3000, start.y + 3000));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, widgetPoint(start.x - 3000, start.y + 3000));
    EXPECT_FLOAT_EQ(edit().dCenterX(), 0.0f);
    EXPECT_FLOAT_EQ(edit().dCenterY(), 1.0f);
    const HLViewRect frame = view.displayFrame();
    EXPECT_NEAR(frame.maxX(), 0, 1e-3); // right edge on the view's left edge
    EXPECT_NEAR(frame.y, 300, 1e-3);    // bottom edge on the view's top edge
}

TEST_F(HLTextDisplayViewTest, ArrowKeysMoveOnePointAndAnyKeyReports)
{
    const float width = view.limitedFrame().width;
    const float height = view.limitedFrame().height;
    QTest::keyClick(&view, Qt::Key_Right);
    EXPECT_NEAR(edit().dCenterX(), 0.5f + 1 / width, 1e-6);
    QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_NEAR(edit().dCenterY(), 0.5f + 1 / height, 1e-6);
    QTest::keyClick(&view, Qt::Key_Left);
    QTest::keyClick(&view, Qt::Key_Down);
    EXPECT_NEAR(edit().dCenterX(), 0.5f, 1e-6);
    EXPECT_NEAR(edit().dCenterY(), 0.5f, 1e-6);
    EXPECT_EQ(feedbacks, 4);

    // A letter moves nothing but still reports, and re-clamps a ratio outside [0, 1].
    edit().setDCenterX(1.5f);
    QTest::keyClick(&view, Qt::Key_A);
    EXPECT_FLOAT_EQ(edit().dCenterX(), 1.0f);
    EXPECT_NEAR(edit().dCenterY(), 0.5f, 1e-6);
    EXPECT_EQ(feedbacks, 5);
}

TEST_F(HLTextDisplayViewTest, ZeroSizeViewNeverStoresNotANumber)
{
    edit().setStrText(QString());
    edit().setDCenterX(0.3f);
    edit().setDCenterY(0.7f);
    view.updateDisplay();
    view.resize(0, 0);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Up);
    EXPECT_FALSE(std::isnan(edit().dCenterX()));
    EXPECT_FALSE(std::isnan(edit().dCenterY()));
    EXPECT_FLOAT_EQ(edit().dCenterX(), 0.3f);
    EXPECT_FLOAT_EQ(edit().dCenterY(), 0.7f);
    EXPECT_EQ(feedbacks, 2);
}

TEST_F(HLTextDisplayViewTest, ANewItemShowsOnlyTheFrameUntilItIsBuilt)
{
    auto other = HLTextItem::textItemOf(QStringLiteral("T2"));
    other->oTextEdit()->setDCenterX(0.5f);
    other->oTextEdit()->setDCenterY(0.5f);
    view.setOItem(other);
    const HLViewRect frame = view.displayFrame();
    EXPECT_EQ(frame.width, 0);
    EXPECT_EQ(frame.height, 0);
    EXPECT_FLOAT_EQ(frame.x, 200);
    EXPECT_FLOAT_EQ(frame.y, 150);
}

} // namespace
