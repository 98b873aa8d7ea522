#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Common/HLTempSession.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLDisplayVCtrl.h"
#include "SourceHL/View/HLDisplayView.h"
#include "widgets/HLDarkStyle.h"
#include "widgets/HLUITimeView.h"
#include "widgets/HLUIWindowTitleView.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

namespace {

class HLMainWndCtrlTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-control"));
        HLDarkStyle::applyTo(*qApp);
    }
};

TEST_F(HLMainWndCtrlTest, StartsWithAnEmptyProjectInAPrivateSession)
{
    HLMainWndCtrl ctrl;
    const QString temp = ctrl.strTempDirectory();
    EXPECT_EQ(temp, HLTempSession::shared().path());
    EXPECT_EQ(QFileInfo(temp).permissions() & (QFile::ReadOther | QFile::ReadGroup | QFile::WriteOther), 0);
    EXPECT_EQ(ctrl.strMediDirectory(), QDir(temp).filePath(QStringLiteral("Project")));
    EXPECT_TRUE(ctrl.strWorkDirectory().isEmpty());
    const struct
    {
        HLResourceSource source;
        QString folder;
    } pools[] = {{HLResourceSourceTemp, temp}, {HLResourceSourceMedi, ctrl.strMediDirectory()}};
    for (const auto &pool : pools) {
        EXPECT_EQ(HLResourcePool::resourcePoolOfSource(pool.source, HLResourceTypeAudio)->strDir(),
                  QDir(pool.folder).filePath(QStringLiteral("Audios")));
        EXPECT_EQ(HLResourcePool::resourcePoolOfSource(pool.source, HLResourceTypeVideo)->strDir(),
                  QDir(pool.folder).filePath(QStringLiteral("Videos")));
        EXPECT_EQ(HLResourcePool::resourcePoolOfSource(pool.source, HLResourceTypeImage)->strDir(),
                  QDir(pool.folder).filePath(QStringLiteral("Images")));
        EXPECT_TRUE(QFileInfo(QDir(pool.folder).filePath(QStringLiteral("Images"))).isDir());
    }
    for (HLRenderType type : {HLRenderTypeSlideshow, HLRenderTypeTransition, HLRenderTypeText}) {
        const auto &items = HLQuartzPool::quartzPoolOf(type)->aryItems();
        ASSERT_TRUE(items.has_value()) << type;
        EXPECT_FALSE(items->isEmpty()) << type;
    }
    EXPECT_EQ(ctrl.oSizer()->szRender(), QSizeF(1280, 960));
    EXPECT_EQ(ctrl.oSizer()->dPreviewLimit(), 1200.0f);
    EXPECT_TRUE(ctrl.oTimeline()->aryItems().empty());
    EXPECT_EQ(ctrl.oTimeline()->iMode(), 30u);
    EXPECT_TRUE(ctrl.oTextline() && ctrl.oAudioline() && ctrl.oTimelineRender() && ctrl.oTextlineRender() &&
                ctrl.oTimelinePlayer() && ctrl.oAudiolinePlayer());
    EXPECT_EQ(ctrl.dNowTime(), 0.0f);
    EXPECT_EQ(ctrl.dDuration(), 0.0f);
}

TEST_F(HLMainWndCtrlTest, EmptyProjectShowsItsLabelsAndDisablesItsCommands)
{
    HLMainWndCtrl ctrl;
    HLMainWindow &w = *ctrl.window();
    ctrl.showWindow();
    EXPECT_EQ(w.btnEdit->text(), QStringLiteral("Edit"));
    EXPECT_EQ(w.btnMedia->text(), QStringLiteral("Media"));
    EXPECT_EQ(w.btnSize->text(), QStringLiteral("1280X960"));
    for (QToolButton *command : {w.btnEdit, w.btnPlay, w.btnExport}) {
        EXPECT_TRUE(command->isVisible()) << qPrintable(command->objectName());
        EXPECT_FALSE(command->isEnabled()) << qPrintable(command->objectName());
    }
    EXPECT_TRUE(w.btnAddMedia->isVisible());
    EXPECT_TRUE(w.btnAddMedia->isEnabled());
    // Nothing to sort yet; the settings and the output size apply to any project.
    EXPECT_TRUE(w.btnSort->isVisible());
    EXPECT_FALSE(w.btnSort->isEnabled());
    for (QToolButton *command : {w.btnSetting, w.btnSize})
        EXPECT_TRUE(command->isVisible() && command->isEnabled()) << qPrintable(command->objectName());
    // Titles and music can be added to any project.
    for (QToolButton *command : {w.btnAddText, w.btnAddAudio})
        EXPECT_TRUE(command->isVisible() && command->isEnabled()) << qPrintable(command->objectName());
    EXPECT_EQ(w.vTimeNowTime->enType(), 3);
    EXPECT_EQ(w.vTimeDuration->enType(), 2);
}

// Pixel probes on the window as drawn: the dark look everywhere, the preview area in its own
// grey, and the labels drawn light on the tool bar.
TEST_F(HLMainWndCtrlTest, WindowIsDrawnDark)
{
    HLMainWndCtrl ctrl;
    HLMainWindow &w = *ctrl.window();
    ctrl.showWindow();
    QCoreApplication::processEvents();
    const QImage shot = w.grab().toImage();
    auto at = [&](QWidget *widget, QPoint inside) { return QColor(shot.pixel(widget->mapTo(&w, inside))); };
    auto dark = [](QColor c) { return c.value() < 80; };

    EXPECT_TRUE(dark(at(w.vDisplayContentView, w.vDisplayContentView->rect().center())));
    EXPECT_EQ(at(w.vDisplayContentView, w.vDisplayContentView->rect().center()).red(), qRound(0.12 * 255));
    EXPECT_TRUE(dark(at(w.vEditBackView, w.vEditBackView->rect().center())));
    EXPECT_TRUE(dark(at(w.vContentlineBackView, QPoint(w.vContentlineBackView->width() - 20, 40))));
    EXPECT_TRUE(dark(at(w.btnSize, QPoint(1, 1))));
    EXPECT_TRUE(dark(at(w.vWindowTitle, QPoint(w.vWindowTitle->width() / 2, 2))));

    // Each label is drawn: some pixel of its text row is much lighter than the bar.
    for (QToolButton *button : {w.btnEdit, w.btnMedia, w.btnSize}) {
        int lightest = 0;
        for (int y = button->height() - 18; y < button->height() - 2; ++y)
            for (int x = 0; x < button->width(); ++x)
                lightest = std::max(lightest, at(button, QPoint(x, y)).value());
        EXPECT_GT(lightest, 110) << qPrintable(button->objectName());
    }
}

TEST_F(HLMainWndCtrlTest, SeekingKeepsThePlayHeadInsideTheProject)
{
    HLMainWndCtrl ctrl;
    ctrl.p_seekAt(12.5f); // an empty project lasts 0 s
    EXPECT_EQ(ctrl.oTimeline()->dNowTime(), 0.0f);
    EXPECT_EQ(ctrl.dNowTime(), 0.0f);
    ctrl.p_seekAt(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(ctrl.dNowTime(), 0.0f);
}

} // namespace

namespace {

// The preview renders on the latest-job queue and hands its pictures to the display.
TEST_F(HLMainWndCtrlTest, PreviewShowsTheTitleOnScreenAtThePlayHead)
{
    HLMainWndCtrl ctrl;
    auto title = HLTextItem::textItemOf(QStringLiteral("T1"));
    title->oTextEdit()->setStrText(QStringLiteral("Hello"));
    title->updatePlayMin(0, 5);
    ctrl.gate().perform(HLChange::None, [&] { ctrl.oTextline()->add(title); });
    ctrl.p_seekAt(0);
    ctrl.oLastOperateQueue()->wait();
    QCoreApplication::processEvents();
    const QImage shown = ctrl.window()->vCtrlDisplay->vDisplayText()->imgDisplay();
    ASSERT_FALSE(shown.isNull());
    int opaque = 0;
    for (int y = 0; y < shown.height(); y += 2)
        for (int x = 0; x < shown.width(); x += 2)
            opaque += qAlpha(shown.pixel(x, y)) > 0;
    EXPECT_GT(opaque, 0); // the title's letters
}

} // namespace
