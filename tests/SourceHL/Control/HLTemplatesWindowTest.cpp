// The template chooser and the slideshow and transition editors in the main window on a real
// project: hovering plays, Apply changes the chosen item's template once through the gate and
// the preview and the export show it, the editors' tiles play the chooser's previews, and
// apply-to-all asks first and is answered both ways.
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLPlayLoop.h"
#include "SourceHL/Editors/HLDurationControl.h"
#include "SourceHL/Editors/HLSlideshowEditVCtrl.h"
#include "SourceHL/Editors/HLTransitionEditVCtrl.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextInfo.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowInfo.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/Model/Timeline/HLTransitionInfo.h"
#include "SourceHL/View/HLDisplayVCtrl.h"
#include "SourceHL/View/HLDisplayView.h"
#include "SourceHL/View/HLQuartzPreviewView.h"
#include "SourceHL/Windows/HLQuartzPreviewVCtrl.h"
#include "SourceHL/Windows/HLQuartzsPreviewVCtrl.h"
#include "SourceHL/Windows/HLTemplateInfoView.h"
#include "export/VETimelineExportMovie.h"
#include "tests/support/AlertAnswers.h"
#include "tests/support/SampleProject.h"
#include "tests/support/TestProject.h"

#include <QElapsedTimer>
#include <QEnterEvent>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kHangGuardMs = 60000;

class HLTemplatesWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-templates")); }
    void SetUp() override
    {
        ctrl = std::make_unique<HLMainWndCtrl>();
        TestProject::setUpPools(media);
        const HLProjectContents project = SampleProject::make(media, QStringLiteral("KenBurns"));
        ASSERT_TRUE(project.timeline) << "fixtures could not be made";
        ASSERT_GE(project.timeline->aryItems().size(), 2);
        ctrl->replaceProject(project);
        ctrl->setEdited(false);
        ctrl->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(ctrl->window()));
        ctrl->gate().subscribe([this](HLChange::Kinds kinds) {
            if (kinds & HLChange::kEdits)
                ++announcements;
        });
        ctrl->playLoop().setupFrameShown([this] { ++frames; });
    }
    void TearDown() override
    {
        ctrl->oLastOperateQueue()->wait();
        ctrl.reset();
    }

    std::shared_ptr<HLSlideshowItem> item(int index) const { return ctrl->oTimeline()->aryItems()[index]; }
    HLQuartzsPreviewVCtrl &chooser() const { return *ctrl->vCtrlQuartzs(); }
    HLQuartzPreviewVCtrl &grid(QuartzUIType tab) const { return *chooser().p_previewVCtrlOf(tab); }
    void choose(const QString &sssid, const QString &tssid = {}, const QString &ttid = {})
    {
        HLContentChoice choice;
        choice.strSSSID = sssid;
        choice.strTSSID = tssid;
        choice.strTTID = ttid;
        choice.bCanEdit = true;
        ctrl->updateChoice(choice);
    }
    // The preview after every render asked for so far has been shown.
    QImage settledPreview()
    {
        QElapsedTimer guard;
        guard.start();
        int seen = -1;
        while (seen != frames && guard.elapsed() < kHangGuardMs) {
            seen = frames;
            ctrl->oLastOperateQueue()->wait();
            QCoreApplication::processEvents();
        }
        return ctrl->window()->vCtrlDisplay->vDisplayImage()->imgDisplay();
    }
    QImage exportedFrameAt(double seconds)
    {
        QImage frame;
        ctrl->blkExportMovie = [&](const std::shared_ptr<VETimelineExportMovie> &movie) {
            frame = movie->getImage()(qint64(seconds * 1e6));
        };
        ctrl->p_export();
        return frame;
    }
    void clickTile(QuartzUIType tab, const QString &name)
    {
        HLQuartzPreviewView *tile = grid(tab).quartzPreviewOf(name);
        ASSERT_NE(tile, nullptr) << name.toStdString();
        QTest::mouseClick(tile, Qt::LeftButton);
    }
    static double difference(const QImage &a, const QImage &b)
    {
        if (a.isNull() || b.isNull() || a.size() != b.size())
            return 255;
        const QImage x = a.convertToFormat(QImage::Format_RGB32), y = b.convertToFormat(QImage::Format_RGB32);
        double sum = 0;
        for (int row = 0; row < x.height(); row += 4)
            for (int col = 0; col < x.width(); col += 4) {
                const QRgb p = x.pixel(col, row), q = y.pixel(col, row);
                sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
            }
        return sum / ((x.height() / 4 + 1) * (x.width() / 4 + 1) * 3.0);
    }

    TestFolder media;
    std::unique_ptr<HLMainWndCtrl> ctrl;
    int announcements = 0;
    int frames = 0;
};

TEST_F(HLTemplatesWindowTest, TheChooserShowsTheChosenItemsTemplateAndHoverPlays)
{
    EXPECT_TRUE(chooser().view()->isVisible());
    // With no item chosen nothing can be chosen or applied.
    QTest::mouseClick(grid(0).aryPreviewViews().first(), Qt::LeftButton);
    EXPECT_TRUE(grid(0).strChosenName().isNull());
    EXPECT_FALSE(chooser().btnApply()->isEnabled());
    choose(item(0)->strSSID());
    EXPECT_EQ(chooser().enTmpUIType(), QuartzUITypeSlideshow);
    EXPECT_EQ(grid(0).strChosenName(), QStringLiteral("KenBurns"));
    EXPECT_TRUE(chooser().btnApply()->isEnabled()); // re-applying resets the item to its template
    HLQuartzPreviewView *tile = grid(0).aryPreviewViews().first();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(tile, &enter);
    EXPECT_TRUE(grid(0).isPreviewing());
    QTRY_VERIFY_WITH_TIMEOUT(!tile->imgDynamic().isNull(), kHangGuardMs);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(tile, &leave);
    EXPECT_FALSE(grid(0).isPreviewing());
    EXPECT_TRUE(tile->imgDynamic().isNull());
    // Showing the media browser hides the chooser; showing it again brings it back.
    ctrl->media();
    EXPECT_FALSE(chooser().view()->isVisible());
    ctrl->media();
    EXPECT_TRUE(chooser().view()->isVisible());
    EXPECT_EQ(announcements, 0);
}

TEST_F(HLTemplatesWindowTest, ApplyChangesTheSlideshowTemplateOnceAndThePreviewAndExportShowIt)
{
    choose(item(0)->strSSID());
    const QImage before = settledPreview();
    const QImage exportedBefore = exportedFrameAt(1.0);
    ASSERT_FALSE(before.isNull());
    ASSERT_FALSE(exportedBefore.isNull());
    const int framesBefore = frames;
    clickTile(0, QStringLiteral("SixUp"));
    ASSERT_TRUE(chooser().btnApply()->isEnabled());
    QTest::mouseClick(chooser().btnApply(), Qt::LeftButton);
    EXPECT_EQ(item(0)->oSlideshowInfo()->strName(), QStringLiteral("SixUp"));
    EXPECT_NE(item(1)->oSlideshowInfo()->strName(), QStringLiteral("SixUp"));
    EXPECT_EQ(announcements, 1);
    EXPECT_TRUE(ctrl->isEdited());
    const QImage after = settledPreview();
    EXPECT_GT(frames, framesBefore);
    EXPECT_GT(difference(before, after), 2.0);
    EXPECT_GT(difference(exportedBefore, exportedFrameAt(1.0)), 2.0);
    // The chooser follows: the applied template is the chosen one.
    EXPECT_EQ(grid(0).strChosenName(), QStringLiteral("SixUp"));
    EXPECT_EQ(chooser().strNowName(), QStringLiteral("SixUp"));
}

TEST_F(HLTemplatesWindowTest, ApplyChangesATransitionKeepingItsLengthAndATitlesTemplate)
{
    item(0)->setDTransition(1.7f);
    choose(QString(), item(0)->strSSID());
    EXPECT_EQ(chooser().enTmpUIType(), QuartzUITypeTransition);
    EXPECT_EQ(grid(2).strChosenName(), QStringLiteral("Dissolve"));
    clickTile(2, QStringLiteral("WipeLeft"));
    chooser().apply();
    EXPECT_EQ(item(0)->oTransitionInfo()->strName(), QStringLiteral("WipeLeft"));
    EXPECT_FLOAT_EQ(item(0)->dTransition(), 1.7f);
    EXPECT_EQ(announcements, 1);

    const auto titles = ctrl->oTextline()->aryItems();
    ASSERT_FALSE(titles.isEmpty());
    const auto title = titles.first();
    const quint64 generation = title->oTextEdit()->iDirtyGeneration();
    choose(QString(), QString(), title->strTTID());
    QTest::mouseClick(chooser().p_templateViewOf(QuartzUITypeText), Qt::LeftButton);
    clickTile(3, QStringLiteral("Typewriter"));
    chooser().apply();
    ASSERT_TRUE(title->oTextInfo());
    EXPECT_EQ(title->oTextInfo()->strName(), QStringLiteral("Typewriter"));
    EXPECT_GT(title->oTextEdit()->iDirtyGeneration(), generation);
    EXPECT_EQ(announcements, 2);
}

TEST_F(HLTemplatesWindowTest, TheEditorsTilesPlayTheChoosersPreviews)
{
    choose(item(0)->strSSID());
    ctrl->p_startEditing();
    HLSlideshowEditVCtrl &editor = *ctrl->vCtrlSlideshowEdit();
    ASSERT_TRUE(editor.isNowEditing());
    EXPECT_TRUE(editor.view()->isVisible());
    EXPECT_FALSE(chooser().view()->isVisible());
    HLQuartzPreviewView *tile = editor.quartz()->vQuartzPreview();
    const HLQuartzPreviewView *source = chooser().previewViewOf(0, QStringLiteral("KenBurns"));
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(tile->strTitle(), QStringLiteral("KenBurns"));
    EXPECT_EQ(tile->imgStatic().cacheKey(), source->imgStatic().cacheKey());
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(tile, &enter);
    EXPECT_EQ(grid(0).vDisplayView(), tile);
    QTRY_VERIFY_WITH_TIMEOUT(!tile->imgDynamic().isNull(), kHangGuardMs);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(tile, &leave);
    EXPECT_TRUE(tile->imgDynamic().isNull());

    // The transition editor's tile follows the chooser's Transition tab.
    choose(QString(), item(0)->strSSID());
    HLTransitionEditVCtrl &transition = *ctrl->vCtrlTransitionEdit();
    ASSERT_TRUE(transition.isNowEditing());
    EXPECT_EQ(transition.quartz()->vQuartzPreview()->strTitle(), QStringLiteral("Dissolve"));
}

TEST_F(HLTemplatesWindowTest, TheSlideshowEditorsWritesReachTheModelOnceAndApplyToAllAsks)
{
    choose(item(0)->strSSID());
    ctrl->p_startEditing();
    HLSlideshowEditVCtrl &editor = *ctrl->vCtrlSlideshowEdit();
    const int framesBefore = frames;
    editor.durationDisplay()->slider()->setValue(70);
    EXPECT_FLOAT_EQ(item(0)->dSlideshowDisplay(), 7.0f);
    EXPECT_EQ(announcements, 1);
    EXPECT_TRUE(ctrl->isEdited());
    settledPreview();
    EXPECT_GT(frames, framesBefore);
    editor.btnPhotoBorder()->click();
    EXPECT_EQ(announcements, 2);

    const float other = item(1)->dSlideshowDisplay();
    ASSERT_NE(other, 7.0f);
    {
        AlertAnswers answers({{QStringLiteral("Cancel"), QStringLiteral("Choose")}});
        editor.btnApplyToAllDis()->click();
        ASSERT_TRUE(answers.allAnswered());
        EXPECT_EQ(answers.seen()[0].informativeText,
                  QStringLiteral("Do you want to apply photo show duration to all slideshow items?"));
        EXPECT_EQ(answers.seen()[0].buttons, (QStringList{"OK", "Cancel"}));
    }
    EXPECT_FLOAT_EQ(item(1)->dSlideshowDisplay(), other);
    EXPECT_EQ(announcements, 2);
    {
        AlertAnswers answers({{QStringLiteral("OK"), QStringLiteral("Choose")}});
        editor.btnApplyToAllDis()->click();
        ASSERT_TRUE(answers.allAnswered());
    }
    for (const auto &each : ctrl->oTimeline()->aryItems())
        EXPECT_FLOAT_EQ(each->dSlideshowDisplay(), 7.0f);
    EXPECT_EQ(announcements, 3);
    {
        AlertAnswers answers({{QStringLiteral("OK"), QStringLiteral("Choose")}});
        editor.durationAnimate()->slider()->setValue(13);
        editor.btnApplyToAllAni()->click();
        ASSERT_TRUE(answers.allAnswered());
        EXPECT_EQ(answers.seen()[0].informativeText,
                  QStringLiteral("Do you want to apply photo transition duration to all slideshow items?"));
    }
    for (const auto &each : ctrl->oTimeline()->aryItems())
        EXPECT_FLOAT_EQ(each->dSlideshowAnimate(), 1.3f);
}

TEST_F(HLTemplatesWindowTest, TheTransitionEditorsApplyToAllIsAnsweredBothWays)
{
    choose(QString(), item(0)->strSSID());
    ctrl->p_startEditing();
    HLTransitionEditVCtrl &editor = *ctrl->vCtrlTransitionEdit();
    ASSERT_TRUE(editor.isNowEditing());
    editor.duration()->slider()->setValue(25);
    EXPECT_FLOAT_EQ(item(0)->dTransition(), 2.5f);
    EXPECT_EQ(announcements, 1);
    const float other = item(1)->dTransition();
    {
        AlertAnswers answers({{QStringLiteral("Cancel"), QStringLiteral("Choose")},
                              {QStringLiteral("Cancel"), QStringLiteral("Choose")}});
        editor.btnApplyToAllDuration()->click();
        editor.btnApplyToAllInformation()->click();
        ASSERT_TRUE(answers.allAnswered());
        EXPECT_EQ(answers.seen()[0].informativeText,
                  QStringLiteral("Do you want to apply transition duration to all transition items?"));
        EXPECT_EQ(answers.seen()[1].informativeText,
                  QStringLiteral("Do you want to apply transition template to all transition items?"));
    }
    EXPECT_FLOAT_EQ(item(1)->dTransition(), other);
    EXPECT_EQ(announcements, 1);
    const int wipe = editor.quartz()->aryNames().indexOf(QStringLiteral("WipeLeft"));
    emit editor.quartz()->ppBtnQuartzNames()->activated(wipe);
    EXPECT_EQ(announcements, 2);
    {
        AlertAnswers answers({QStringLiteral("OK"), QStringLiteral("OK")});
        editor.btnApplyToAllDuration()->click();
        editor.btnApplyToAllInformation()->click();
        ASSERT_TRUE(answers.allAnswered());
    }
    for (const auto &each : ctrl->oTimeline()->aryItems()) {
        EXPECT_FLOAT_EQ(each->dTransition(), 2.5f);
        EXPECT_EQ(each->oTransitionInfo()->strName(), QStringLiteral("WipeLeft"));
    }
    EXPECT_EQ(announcements, 4);
}

} // namespace
