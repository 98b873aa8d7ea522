#include "Platform/Foundation/HLNotificationCenter.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "tests/support/TestProject.h"

#include <QDragEnterEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// Five clips of 1 s each in a row 1200 points wide.
class HLAudiolineVCtrlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        folder = new TestFolder;
        TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf);
        TestProject::setUpPools(*folder);
        for (int i = 0; i < 5; ++i)
            tones.push_back(TestProject::importTone(*folder, 1.0));
    }
    static void TearDownTestSuite()
    {
        tones.clear();
        delete folder;
    }
    void SetUp() override
    {
        ASSERT_EQ(tones.size(), 5u);
        for (const auto &tone : tones)
            ASSERT_TRUE(tone);
        audioline = HLAudiolineItem::audioline();
        audioline->add(tones);
        ctrl.setupWarning([this] { ++warnings; });
        ctrl.setupStatus([this](const QString &auid) { statuses << auid; }, [this] { ++edits; },
                         [this] { ++contents; });
        ctrl.updateModel(audioline);
        ctrl.updateUI();
        ctrl.view()->resize(1200, 50);
        ctrl.view()->show();
        HLInsideDrag::setStarter([this](QWidget *source, std::unique_ptr<QMimeData> data, const QPixmap &, QPoint) {
            dragSource = source;
            dragData = std::move(data);
        });
        HLNotificationCenter::defaultCenter().addObserver(
            this, AudiolineVCtrlBackInsertNotification,
            [this](const QString &, const QVariantMap &info) { announced << info; });
    }
    void TearDown() override
    {
        HLInsideDrag::setStarter({});
        HLNotificationCenter::defaultCenter().removeObserver(this);
    }

    QStringList order() const
    {
        QStringList ids;
        for (const auto &item : audioline->aryItems())
            ids << item->strAUID();
        return ids;
    }
    // Enter, move and drop at x, as a real drag delivers them; whether the drop was taken.
    bool dropAt(int x, const QMimeData *data)
    {
        QDragEnterEvent enter(QPoint(x, 25), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(ctrl.view(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent drop(QPointF(x, 25), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(ctrl.view(), &drop);
        return drop.isAccepted();
    }

    static inline TestFolder *folder = nullptr;
    static inline std::vector<std::shared_ptr<HLResourceItem>> tones;
    std::shared_ptr<HLAudiolineItem> audioline;
    HLEditGate gate{std::make_shared<HLLastOperateQueue>()};
    HLAudiolineVCtrl ctrl{gate};
    int warnings = 0, edits = 0, contents = 0;
    QStringList statuses;
    QWidget *dragSource = nullptr;
    std::unique_ptr<QMimeData> dragData;
    QList<QVariantMap> announced;
};

TEST_F(HLAudiolineVCtrlTest, CellsRunLeftToRightWhateverTheClipsLast)
{
    const auto &views = ctrl.aryAudioItemViews();
    ASSERT_EQ(views.size(), 5);
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(views[k]->geometry(), QRect(200 * k, 0, 200, 50));
        EXPECT_EQ(views[k]->strID(), order()[k]);
    }
    // Play mode 0 shows the looping text under every clip; mode 1 the clip's own range.
    EXPECT_EQ(views[1]->shownInfo(), "Loop play all audios");
    audioline->setEnType(1);
    ctrl.updateUI();
    EXPECT_EQ(ctrl.aryAudioItemViews()[1], views[1]); // the cells are kept
    EXPECT_EQ(views[1]->shownInfo(), "{00:00:01 -- 00:00:02}");
}

TEST_F(HLAudiolineVCtrlTest, CaptionsOfTheClipsRange)
{
    HLAudioItemView *view = HLAudioItemView::audioItemViewOf("a", "Song");
    ASSERT_TRUE(view);
    const struct
    {
        float start, stop;
        const char *title, *info;
    } cases[] = {
        {75.5f, 3675, "Song  00:59:59", "{00:01:15 -- 01:01:15}"},
        {0, 0, "Song  00:00:00", "{00:00:00 -- 00:00:00}"},
        {0, 36000 * 3 + 5, "Song  30:00:05", "{00:00:00 -- 30:00:05}"},
    };
    for (const auto &c : cases) {
        view->updateStart(c.start, c.stop);
        EXPECT_EQ(view->strTitle(), c.title);
        EXPECT_EQ(view->strInfo(), c.info);
    }
    EXPECT_THROW(view->updateStart(-1, 2), std::logic_error);
    EXPECT_THROW(view->updateStart(3, 2), std::logic_error);
    EXPECT_EQ(HLAudioItemView::audioItemViewOf("a", QString()), nullptr);
    EXPECT_EQ(HLAudioItemView::audioItemViewOf(QString(), "Song"), nullptr);
    delete view;
}

TEST_F(HLAudiolineVCtrlTest, ChoosingAndDoubleClicking)
{
    HLAudioItemView *third = ctrl.aryAudioItemViews()[2];
    QTest::mouseDClick(third, Qt::LeftButton, {}, QPoint(100, 25));
    EXPECT_EQ(statuses, QStringList{order()[2]});
    EXPECT_EQ(edits, 0); // the double click's first press chose it
    QTest::mouseDClick(third, Qt::LeftButton, {}, QPoint(100, 25));
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(ctrl.strAUID(), order()[2]);
    QTest::mouseClick(ctrl.aryAudioItemViews()[0], Qt::LeftButton, {}, QPoint(100, 25));
    EXPECT_FALSE(third->bIsChosen());
    EXPECT_EQ(statuses.size(), 2);
    EXPECT_EQ(warnings, 0);
}

TEST_F(HLAudiolineVCtrlTest, CarryingAClipMovesItBeforeTheCellAtTheDrop)
{
    const QStringList before = order();
    HLAudioItemView *first = ctrl.aryAudioItemViews()[0];
    QTest::mousePress(first, Qt::LeftButton, {}, QPoint(100, 25));
    QTest::mouseMove(first, QPoint(101, 25)); // any movement carries it at once
    ASSERT_EQ(dragSource, first);
    EXPECT_EQ(order(), before);
    EXPECT_EQ(warnings, 0);
    // Right half of the third cell: before the fourth clip.
    EXPECT_TRUE(dropAt(500, dragData.get()));
    QTest::mouseRelease(first, Qt::LeftButton, {}, QPoint(101, 25));
    EXPECT_EQ(order(), (QStringList{before[1], before[2], before[0], before[3], before[4]}));
    EXPECT_EQ(ctrl.aryAudioItemViews()[2], first);
    EXPECT_EQ(first->geometry().x(), 400);
    EXPECT_EQ(contents, 1);
    EXPECT_TRUE(announced.isEmpty());
    // Far right of the last cell: to the end.
    QTest::mousePress(first, Qt::LeftButton, {}, QPoint(10, 25));
    QTest::mouseMove(first, QPoint(30, 25));
    EXPECT_TRUE(dropAt(1150, dragData.get()));
    EXPECT_EQ(order().last(), before[0]);
    EXPECT_EQ(ctrl.view()->iDropIndex(), -1);
}

TEST_F(HLAudiolineVCtrlTest, DroppedFilesAreAnnouncedWithTheClipTheyGoBefore)
{
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile("/music/a.mp3"), QUrl::fromLocalFile("/notes/b.txt")});
    QDragEnterEvent enter(QPoint(99, 25), Qt::CopyAction, &files, Qt::LeftButton, {});
    QCoreApplication::sendEvent(ctrl.view(), &enter);
    EXPECT_EQ(ctrl.view()->iDropIndex(), 0);
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDragMoveEvent move(QPoint(100, 25), Qt::CopyAction, &files, Qt::LeftButton, {});
    QCoreApplication::sendEvent(ctrl.view(), &move);
    EXPECT_EQ(ctrl.view()->iDropIndex(), 1);

    EXPECT_TRUE(dropAt(99, &files));
    ASSERT_EQ(announced.size(), 1);
    EXPECT_EQ(announced[0].value("Paths").toStringList(), (QStringList{"/music/a.mp3", "/notes/b.txt"}));
    EXPECT_EQ(announced[0].value("AUID").toString(), order()[0]);
    EXPECT_TRUE(dropAt(5000, &files));
    ASSERT_EQ(announced.size(), 2);
    EXPECT_FALSE(announced[1].contains("AUID"));
    EXPECT_EQ(contents, 0); // the main window imports; this line changes nothing
    EXPECT_EQ(warnings, 2);

    // Anything else, and clips of another program, are refused without a marker.
    QMimeData text;
    text.setText("hello");
    EXPECT_FALSE(dropAt(300, &text));
    QMimeData foreign;
    foreign.setData(HLInsideDrag::mimeTypeOf(HLInsideDrag::kAudiolineInsidePboardType), order()[0].toUtf8());
    EXPECT_FALSE(dropAt(300, &foreign));
    EXPECT_EQ(ctrl.view()->iDropIndex(), -1);
}

TEST_F(HLAudiolineVCtrlTest, DeletingTheChosenClip)
{
    ctrl.deleteTheChosen();
    EXPECT_EQ(warnings, 0);
    const QString second = order()[1];
    QTest::mouseClick(ctrl.aryAudioItemViews()[1], Qt::LeftButton, {}, QPoint(100, 25));
    ctrl.deleteTheChosen();
    EXPECT_EQ(warnings, 1);
    EXPECT_EQ(order().size(), 4);
    EXPECT_FALSE(order().contains(second));
    EXPECT_EQ(ctrl.aryAudioItemViews().size(), 4);
    EXPECT_EQ(ctrl.aryAudioItemViews()[1]->geometry().x(), 200);
    EXPECT_EQ(statuses, (QStringList{second, QString()}));
    EXPECT_EQ(contents, 1);
}

} // namespace
