#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLDisplayVCtrl.h"
#include "SourceHL/View/HLDisplayView.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLTimelineSlideshowBackView.h"
#include "SourceHL/Windows/HLSettingWndCtrl.h"
#include "SourceHL/Windows/HLSizeWndCtrl.h"
#include "SourceHL/Windows/HLSortBackView.h"
#include "SourceHL/Windows/HLSortSlidView.h"
#include "SourceHL/Windows/HLSortWndCtrl.h"
#include "tests/SourceHL/Control/StripFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <functional>

namespace {

class HLWindowsTest : public StripFixture
{
protected:
    // Runs steps once the modal window that command opens is up, then waits for it to end.
    void whileOpen(QToolButton *command, QDialog *window, const std::function<void()> &steps)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            EXPECT_TRUE(QTest::qWaitFor([&] { return window->isVisible(); }, 5000));
            steps();
            ran = true;
            if (window->isVisible())
                window->close();
        });
        command->click();
        EXPECT_TRUE(ran);
        EXPECT_FALSE(window->isVisible());
    }

    QStringList stripRows()
    {
        QStringList ids;
        for (HLTimelineSlideshowBackView *view : strip().arySlidBackViews())
            ids.append(view->UIHashID());
        return ids;
    }

    QImage shownFrame()
    {
        ctrl().oLastOperateQueue()->wait();
        QCoreApplication::processEvents();
        return ctrl().window()->vCtrlDisplay->vDisplayImage()->imgDisplay();
    }
};

TEST_F(HLWindowsTest, TheStripFollowsTheSorterWhenItCloses)
{
    addItems({2, 2, 2});
    const QStringList before = ssids();
    ctrl().window()->setWindowModified(false);
    std::unique_ptr<QMimeData> dragged;
    HLInsideDrag::setStarter([&](QWidget *, std::unique_ptr<QMimeData> data, const QPixmap &, QPoint) {
        dragged = std::move(data);
    });
    HLSortWndCtrl *sorter = ctrl().sortWndCtrl();
    whileOpen(ctrl().window()->btnSort, sorter->window(), [&] {
        EXPECT_TRUE(ctrl().bIsSorting());
        const quint64 offered = ctrl().oLastOperateQueue()->iTimestamp();
        HLSortSlidView *last = sorter->slidViews().at(2);
        QTest::mouseClick(last, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
        QTest::mousePress(last, Qt::LeftButton, Qt::NoModifier, QPoint(20, 10));
        QTest::mouseMove(last, QPoint(30, 10));
        QTest::mouseRelease(last, Qt::LeftButton, Qt::NoModifier, QPoint(30, 10));
        ASSERT_TRUE(dragged);
        ASSERT_TRUE(dropOn(sorter->backView(), QPoint(100, 5), dragged.get()));
        EXPECT_EQ(ssids(), (QStringList{before[2], before[0], before[1]}));
        EXPECT_EQ(ctrl().oLastOperateQueue()->iTimestamp(), offered) << "no preview job while the sorter is open";
    });
    EXPECT_FALSE(ctrl().bIsSorting());
    EXPECT_EQ(stripRows(), ssids());
    EXPECT_TRUE(ctrl().window()->isWindowModified());
}

TEST_F(HLWindowsTest, OpeningAndClosingTheSorterChangesNothing)
{
    addItems({2});
    ctrl().window()->setWindowModified(false);
    whileOpen(ctrl().window()->btnSort, ctrl().sortWndCtrl()->window(), [] {});
    EXPECT_FALSE(ctrl().window()->isWindowModified());
}

TEST_F(HLWindowsTest, SettingsChangeTheProjectOnlyOnApply)
{
    ctrl().window()->setWindowModified(false);
    HLSettingWndCtrl *settings = ctrl().settingWndCtrl();
    const quint64 mode = ctrl().oTimeline()->iMode();
    whileOpen(ctrl().window()->btnSetting, settings->window(), [&] {
        settings->ppBtnMode()->setCurrentText(QStringLiteral("5"));
        settings->ppBtnType()->setCurrentIndex(1);
        settings->cancel();
    });
    EXPECT_EQ(ctrl().oTimeline()->iMode(), mode);
    EXPECT_EQ(ctrl().oAudioline()->enType(), 0);
    EXPECT_FALSE(ctrl().window()->isWindowModified());
    whileOpen(ctrl().window()->btnSetting, settings->window(), [&] {
        settings->ppBtnMode()->setCurrentText(QStringLiteral("5"));
        settings->ppBtnType()->setCurrentIndex(1);
        settings->btnApply()->click();
    });
    EXPECT_EQ(ctrl().oTimeline()->iMode(), 5u);
    EXPECT_EQ(ctrl().oAudioline()->enType(), 1);
    EXPECT_TRUE(ctrl().window()->isWindowModified());
}

TEST_F(HLWindowsTest, ANewSizeRendersThePreviewAgain)
{
    addItems({2});
    ctrl().p_seekAt(0.5f);
    const QImage before = shownFrame();
    ASSERT_FALSE(before.isNull());
    EXPECT_NEAR(double(before.width()) / before.height(), 4.0 / 3.0, 0.02);
    ctrl().window()->setWindowModified(false);
    HLSizeWndCtrl *dialog = ctrl().sizeWndCtrl();
    whileOpen(ctrl().window()->btnSize, dialog->window(), [&] {
        dialog->size(6); // 1280 × 720
        dialog->apply();
    });
    EXPECT_EQ(ctrl().oSizer()->szRender(), QSizeF(1280, 720));
    EXPECT_EQ(ctrl().window()->btnSize->text(), QStringLiteral("1280X720"));
    const QImage after = shownFrame();
    EXPECT_NEAR(double(after.width()) / after.height(), 16.0 / 9.0, 0.02);
    EXPECT_TRUE(ctrl().window()->isWindowModified());
}

} // namespace
