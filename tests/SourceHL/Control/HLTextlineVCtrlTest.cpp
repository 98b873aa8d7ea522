#include "SourceHL/Control/HLTextlineVCtrl.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLTextItemView.h"
#include "SourceHL/View/HLTextlineBackView.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Three titles at 10 … 125, 200 … 315 and 400 … 515, in a row 1000 points wide.
class HLTextlineVCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        textline = HLTextlineItem::textline();
        for (const auto &[id, min] : {std::pair{"t1", 10.0f}, {"t2", 200.0f}, {"t3", 400.0f}}) {
            auto item = HLTextItem::textItemOf(QString::fromLatin1(id));
            item->updateLineMin(min, min + 115);
            textline->add(item);
        }
        ctrl.setupWarning([this] { ++warnings; });
        ctrl.setupStatus([this](const QString &ttid) { statuses << ttid; },
                         [this](HLTextItemView *view) { seeks << view->strID(); }, [this] { ++edits; },
                         [this] { ++contents; });
        ctrl.updateModel(textline);
        ctrl.updateUI();
        ctrl.view()->resize(1000, 40);
        ctrl.view()->show();
        HLInsideDrag::setStarter([this](QWidget *source, std::unique_ptr<QMimeData> data, const QPixmap &, QPoint) {
            dragSource = source;
            dragData = std::move(data);
        });
    }
    void TearDown() override { HLInsideDrag::setStarter({}); }

    HLTextItemView *viewOf(const QString &ttid) const
    {
        for (HLTextItemView *view : ctrl.aryTextItemViews())
            if (view->strID() == ttid)
                return view;
        return nullptr;
    }
    // The title's span in the model.
    std::pair<float, float> span(const QString &ttid) const
    {
        const auto item = textline->textItemOf(ttid);
        return {item->dLineMin(), item->dLineMax()};
    }
    // Press at row x on the title, drag to each row x in turn, release.
    void drag(const QString &ttid, int pressX, std::initializer_list<int> toXs)
    {
        HLTextItemView *view = viewOf(ttid);
        QTest::mousePress(view, Qt::LeftButton, {}, QPoint(pressX - view->x(), 20));
        int last = pressX;
        for (int x : toXs) {
            QTest::mouseMove(view, QPoint(x - view->x(), 20));
            last = x;
        }
        QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(last - view->x(), 20));
    }
    // Drag and move events reach only the widget that accepted the drag's enter event, as
    // in a real drag.
    bool sendDrag(QWidget *target, QPoint at, const QMimeData *data, QEvent::Type type)
    {
        if (type == QEvent::DragEnter) {
            QDragEnterEvent event(at, Qt::MoveAction | Qt::CopyAction, data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(target, &event);
            return event.isAccepted();
        }
        if (type == QEvent::DragMove) {
            QDragMoveEvent event(at, Qt::MoveAction | Qt::CopyAction, data, Qt::LeftButton, {});
            QCoreApplication::sendEvent(target, &event);
            return event.isAccepted();
        }
        QDropEvent event(QPointF(at), Qt::MoveAction | Qt::CopyAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &event);
        return event.isAccepted();
    }

    std::shared_ptr<HLTextlineItem> textline;
    HLEditGate gate{std::make_shared<HLLastOperateQueue>()};
    HLTextlineVCtrl ctrl{gate};
    int warnings = 0, edits = 0, contents = 0;
    QStringList statuses, seeks;
    QWidget *dragSource = nullptr;
    std::unique_ptr<QMimeData> dragData;
};

TEST_F(HLTextlineVCtrlTest, CellsSitOnTheTitlesSpans)
{
    ASSERT_EQ(ctrl.aryTextItemViews().size(), 3);
    EXPECT_EQ(viewOf("t2")->geometry(), QRect(200, 0, 115, 40));
    EXPECT_EQ(viewOf("t3")->geometry(), QRect(400, 0, 115, 40));
    // The same model again keeps every cell; a rebuild keeps the chosen one chosen.
    HLTextItemView *kept = viewOf("t2");
    QTest::mouseClick(kept, Qt::LeftButton, {}, QPoint(50, 20));
    ctrl.updateModel(textline);
    ctrl.updateUI();
    EXPECT_EQ(viewOf("t2"), kept);
    EXPECT_TRUE(kept->bIsChosen());
    EXPECT_EQ(ctrl.strTTID(), "t2");
}

TEST_F(HLTextlineVCtrlTest, PressChoosesAndSeeksOnceAndAClickChangesNothing)
{
    QTest::mouseClick(viewOf("t2"), Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(statuses, QStringList{"t2"});
    EXPECT_EQ(seeks, QStringList{"t2"});
    EXPECT_TRUE(ctrl.isThereChosen());
    QTest::mouseClick(viewOf("t2"), Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(statuses.size(), 1); // pressing the chosen title again reports nothing
    EXPECT_EQ(contents, 0);
    EXPECT_EQ(warnings, 0);
    QTest::mouseClick(viewOf("t3"), Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_FALSE(viewOf("t2")->bIsChosen());
    EXPECT_TRUE(viewOf("t3")->bIsChosen());
    EXPECT_EQ(statuses, (QStringList{"t2", "t3"}));
}

TEST_F(HLTextlineVCtrlTest, EdgesAndMovesStayBetweenTheNeighboursWithTheModelRightAfterEachStep)
{
    struct Step
    {
        const char *ttid;
        int pressX;
        int toX;
        float min, max;
    } steps[] = {
        {"t2", 202, 150, 148, 315}, // left edge out
        {"t2", 150, 60, 125, 315},  // … stops at the previous title's end
        {"t2", 128, 400, 295, 315}, // … and 20 before the right edge
        {"t2", 312, 380, 295, 383}, // right edge out
        {"t2", 380, 700, 295, 400}, // … stops at the next title
        {"t3", 513, 900, 400, 902}, // the last title's right edge has no bound
        {"t1", 50, 70, 30, 145},    // a move keeps the width
        {"t1", 32, -40, 0, 145},    // the first title's left edge stops at 0
    };
    for (const Step &s : steps) {
        const int before = contents;
        drag(s.ttid, s.pressX, {s.toX});
        EXPECT_FLOAT_EQ(span(s.ttid).first, s.min) << s.ttid << " " << s.pressX << " -> " << s.toX;
        EXPECT_FLOAT_EQ(span(s.ttid).second, s.max) << s.ttid << " " << s.pressX << " -> " << s.toX;
        EXPECT_EQ(viewOf(s.ttid)->frame(), QRectF(s.min, 0, s.max - s.min, 40));
        EXPECT_EQ(contents, before + 1);
    }
    EXPECT_EQ(dragSource, nullptr);
}

TEST_F(HLTextlineVCtrlTest, DoubleClickEditsOnlyTheChosenTitleAndPreparesNoDrag)
{
    QTest::mouseDClick(viewOf("t2"), Qt::LeftButton, {}, QPoint(50, 20));
    EXPECT_EQ(edits, 0); // the first press chose it
    EXPECT_EQ(statuses, QStringList{"t2"});
    // A drag right after a double click keeps the title where it is, whatever the press
    // before it prepared.
    drag("t2", 212, {});
    QTest::mouseDClick(viewOf("t2"), Qt::LeftButton, {}, QPoint(12, 20));
    EXPECT_EQ(edits, 1);
    QTest::mouseMove(viewOf("t2"), QPoint(-100, 20));
    QTest::mouseRelease(viewOf("t2"), Qt::LeftButton, {}, QPoint(-100, 20));
    EXPECT_EQ(span("t2"), (std::pair{200.0f, 315.0f}));
    EXPECT_EQ(dragSource, nullptr);
}

TEST_F(HLTextlineVCtrlTest, SlidingPastANeighbourCarriesTheTitleAndTheDropLandsAtTheMarker)
{
    HLTextItemView *t2 = viewOf("t2");
    const auto moveTo = [t2](int rowX) { QTest::mouseMove(t2, QPoint(rowX - t2->x(), 20)); };
    QTest::mousePress(t2, Qt::LeftButton, {}, QPoint(50, 20)); // row x 250
    moveTo(300);                                               // start 250: inside the band
    EXPECT_EQ(span("t2"), (std::pair{250.0f, 365.0f}));
    moveTo(336); // start 286 > 285: carried
    ASSERT_EQ(dragSource, t2);
    ASSERT_TRUE(dragData->hasFormat(HLInsideDrag::mimeTypeOf(HLInsideDrag::kTextlineInsidePboardType)));
    moveTo(320); // later drag events don't move it
    EXPECT_EQ(span("t2"), (std::pair{250.0f, 365.0f}));

    // Over the row past t3: the marker is where the cell's left edge would be.
    HLTextlineBackView *row = ctrl.view();
    EXPECT_TRUE(sendDrag(row, QPoint(650, 20), dragData.get(), QEvent::DragEnter));
    EXPECT_DOUBLE_EQ(row->dDropX(), 600); // the cell is held 50 points from its left edge
    EXPECT_TRUE(sendDrag(row, QPoint(700, 20), dragData.get(), QEvent::Drop));
    EXPECT_DOUBLE_EQ(row->dDropX(), -1);
    QTest::mouseRelease(t2, Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_EQ(span("t2"), (std::pair{650.0f, 765.0f}));
    EXPECT_EQ(contents, 2); // the drop, then the release after the drag events
    const auto items = textline->aryItems();
    EXPECT_EQ(items.last()->strTTID(), "t2");
    EXPECT_EQ(viewOf("t2")->frame(), QRectF(650, 0, 115, 40));
    EXPECT_EQ(ctrl.strTTID(), "t2");
}

TEST_F(HLTextlineVCtrlTest, ADropAtTheFarLeftStartsTheTitleJustAfterZero)
{
    drag("t3", 450, {});
    auto data = HLInsideDrag::mimeDataOf({HLInsideDrag::kTextlineInsidePboardType}, QPoint(50, 20));
    EXPECT_TRUE(sendDrag(ctrl.view(), QPoint(20, 20), data.get(), QEvent::DragEnter));
    EXPECT_DOUBLE_EQ(ctrl.view()->dDropX(), 0);
    EXPECT_TRUE(sendDrag(ctrl.view(), QPoint(20, 20), data.get(), QEvent::Drop));
    EXPECT_FLOAT_EQ(span("t3").first, 0.01f);
    EXPECT_FLOAT_EQ(span("t3").second, 115.01f);
    // The title that was there is pushed after it.
    EXPECT_EQ(textline->aryItems().first()->strTTID(), "t3");
    EXPECT_GT(span("t1").first, span("t3").second);
}

TEST_F(HLTextlineVCtrlTest, RowRefusesFilesAndTitlesOfOtherPrograms)
{
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/tmp/a.png")});
    EXPECT_FALSE(sendDrag(ctrl.view(), QPoint(300, 20), &files, QEvent::DragEnter));
    QMimeData foreign;
    foreign.setData(HLInsideDrag::mimeTypeOf(HLInsideDrag::kTextlineInsidePboardType), "t1");
    drag("t1", 60, {});
    EXPECT_FALSE(sendDrag(ctrl.view(), QPoint(300, 20), &foreign, QEvent::DragEnter));
    EXPECT_DOUBLE_EQ(ctrl.view()->dDropX(), -1);
    EXPECT_FALSE(sendDrag(ctrl.view(), QPoint(300, 20), &foreign, QEvent::Drop));
    EXPECT_EQ(span("t1"), (std::pair{10.0f, 125.0f}));
    // Leaving the row takes the marker away.
    auto own = HLInsideDrag::mimeDataOf({HLInsideDrag::kTextlineInsidePboardType}, QPoint());
    EXPECT_TRUE(sendDrag(ctrl.view(), QPoint(300, 20), own.get(), QEvent::DragEnter));
    EXPECT_DOUBLE_EQ(ctrl.view()->dDropX(), 300);
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(ctrl.view(), &leave);
    EXPECT_DOUBLE_EQ(ctrl.view()->dDropX(), -1);
}

TEST_F(HLTextlineVCtrlTest, DeletingTheChosenTitle)
{
    ctrl.deleteTheChosen();
    EXPECT_EQ(warnings, 0); // nothing chosen: not even the warning
    QTest::mouseClick(viewOf("t2"), Qt::LeftButton, {}, QPoint(50, 20));
    ctrl.deleteTheChosen();
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(textline->aryItems().size(), 2);
    EXPECT_EQ(textline->textItemOf("t2"), nullptr);
    EXPECT_EQ(ctrl.aryTextItemViews().size(), 2);
    EXPECT_FALSE(ctrl.isThereChosen());
    EXPECT_EQ(statuses, (QStringList{"t2", QString()}));
    EXPECT_EQ(contents, 1);
}

} // namespace
