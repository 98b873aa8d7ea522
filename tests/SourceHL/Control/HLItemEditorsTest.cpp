// The title and music clip panes in the main window: the Edit command opens them on the chosen
// title or clip; each change through their controls goes through the gate once, marks the
// project, and a title's shows in the preview.
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLAudioImport.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Control/HLTextlineVCtrl.h"
#include "SourceHL/Editors/HLAudioEditVCtrl.h"
#include "widgets/HLColorWell.h"
#include "SourceHL/Editors/HLTextEditVCtrl.h"
#include "SourceHL/Model/Audioline/HLAudioEdit.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLTextDisplayView.h"
#include "SourceHL/View/HLTextItemView.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kHangGuardMs = 60000;

class HLItemEditorsTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-item-editors"));
        media = new TestFolder;
        tone = media->file(QStringLiteral("Tune.wav"));
        ASSERT_TRUE(MediaFixtures::makeTone(tone, 8.0, 44100, 2, {"-c:a", "pcm_s16le"}));
        photo = media->file(QStringLiteral("grey.png"));
        QImage image(160, 120, QImage::Format_RGB32);
        image.fill(QColor(90, 90, 90));
        ASSERT_TRUE(image.save(photo));
    }
    static void TearDownTestSuite() { delete media; }
    void SetUp() override
    {
        ctrl = std::make_unique<HLMainWndCtrl>();
        ctrl->window()->resize(1200, 800);
        ctrl->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(ctrl->window()));
        ctrl->gate().subscribe([this](HLChange::Kinds kinds) {
            if (kinds != HLChange::PlayHead)
                ++announcements;
        });
        ctrl->mediaImport().p_addVideosAndImagesOutTo({photo}, QString());
        ASSERT_TRUE(QTest::qWaitFor([this] { return !ctrl->mediaImport().isImporting(); }, kHangGuardMs));
        settle();
    }
    void TearDown() override
    {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
        ctrl->oLastOperateQueue()->wait();
        ctrl.reset();
    }

    void settle()
    {
        ctrl->oLastOperateQueue()->wait();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    static void press(QWidget *view)
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() / 2, view->height() / 2));
    }
    QImage preview() const { return ctrl->window()->vDisplayBackView->grab().toImage(); }
    // Where the preview shows pure green, as the mean of its points; none without any.
    std::optional<QPointF> greenCentre() const
    {
        const QImage image = preview().convertToFormat(QImage::Format_RGB32);
        QPointF sum;
        int count = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                if (c.green() > 200 && c.red() < 60 && c.blue() < 60) {
                    sum += QPointF(x, y);
                    ++count;
                }
            }
        return count > 20 ? std::optional<QPointF>(sum / count) : std::nullopt;
    }

    // Runs a change, then checks it was announced once, marked the project and, when asked,
    // changed the preview.
    void expectOneEdit(const char *what, const std::function<void()> &change, bool shows)
    {
        settle();
        ctrl->setEdited(false);
        announcements = 0;
        const QImage before = preview();
        change();
        settle();
        EXPECT_EQ(announcements, 1) << what;
        EXPECT_TRUE(ctrl->window()->isWindowModified()) << what;
        if (shows)
            EXPECT_NE(preview(), before) << what;
    }

    static TestFolder *media;
    static QString tone;
    static QString photo;
    std::unique_ptr<HLMainWndCtrl> ctrl;
    int announcements = 0;
};

TestFolder *HLItemEditorsTest::media = nullptr;
QString HLItemEditorsTest::tone;
QString HLItemEditorsTest::photo;

TEST_F(HLItemEditorsTest, ATitleIsEditedThroughItsPaneAndItsOverlay)
{
    QTest::mouseClick(ctrl->window()->btnAddText, Qt::LeftButton);
    ASSERT_EQ(ctrl->oTextline()->aryItems().size(), 1);
    const auto title = ctrl->oTextline()->aryItems()[0];
    HLTextEdit &style = *title->oTextEdit();
    press(ctrl->vCtrlTextline()->aryTextItemViews().value(0));
    settle();
    QTest::mouseClick(ctrl->window()->btnEdit, Qt::LeftButton);
    HLTextEditVCtrl &pane = *ctrl->vCtrlTextEdit();
    ASSERT_TRUE(pane.isNowEditing());
    EXPECT_EQ(pane.editingID(), title->strTTID());
    EXPECT_TRUE(pane.view()->isVisible());
    HLTextDisplayView *overlay = pane.vTextDisplay();
    ASSERT_EQ(overlay->parentWidget(), ctrl->window()->vDisplayBackView);
    EXPECT_TRUE(overlay->isVisible());

    HLTextItemView *cell = ctrl->vCtrlTextline()->aryTextItemViews().value(0);
    const QImage cellBefore = cell->grab().toImage();
    expectOneEdit("a letter typed", [&] { QTest::keyClicks(pane.edtText, "W"); }, true);
    EXPECT_TRUE(style.strText().contains(QLatin1Char('W')));
    EXPECT_NE(cell->grab().toImage(), cellBefore); // the title's cell shows the new text
    expectOneEdit("colour chosen", [&] { pane.clwlFontColor->chooseColor(QColor(0, 255, 0)); }, true);
    EXPECT_EQ(style.clFont(), QColor(0, 255, 0));
    ASSERT_TRUE(greenCentre());
    expectOneEdit("font chosen",
                  [&] {
                      pane.ppBtnFontNames->setFocus();
                      QTest::keyClick(pane.ppBtnFontNames, Qt::Key_End);
                  },
                  true);
    expectOneEdit("size slid",
                  [&] {
                      pane.sldFontSize->setFocus();
                      QTest::keyClick(pane.sldFontSize, Qt::Key_PageDown);
                  },
                  true);
    expectOneEdit("plate on", [&] { QTest::mouseClick(pane.btnStaticBack, Qt::LeftButton, {}, QPoint(5, 5)); }, true);
    expectOneEdit("shadow off", [&] { QTest::mouseClick(pane.btnStaticShadow, Qt::LeftButton, {}, QPoint(5, 5)); },
                  true);
    EXPECT_TRUE(style.bStaticBack());
    EXPECT_FALSE(style.bStaticShadow());

    // Dragged 50 points left and 30 up on the preview, then one point right with a key.
    const QPointF before = *greenCentre();
    const QPoint centre = overlay->rect().center();
    expectOneEdit("dragged",
                  [&] {
                      QTest::mousePress(overlay, Qt::LeftButton, {}, centre);
                      QTest::mouseMove(overlay, centre + QPoint(-50, -30));
                      QTest::mouseRelease(overlay, Qt::LeftButton, {}, centre + QPoint(-50, -30));
                  },
                  true);
    const QPointF dragged = *greenCentre();
    EXPECT_NEAR(dragged.x() - before.x(), -50, 2);
    EXPECT_NEAR(dragged.y() - before.y(), -30, 2);
    expectOneEdit("arrow key",
                  [&] {
                      overlay->setFocus();
                      QTest::keyClick(overlay, Qt::Key_Right);
                  },
                  true);
    EXPECT_NEAR(greenCentre()->x() - dragged.x(), 1, 0.5);

    expectOneEdit("template",
                  [&] {
                      pane.ppBtnQuartzNames->setFocus();
                      QTest::keyClick(pane.ppBtnQuartzNames, Qt::Key_Down);
                  },
                  false);
    EXPECT_EQ(style.enType(), HLTextEdit::HLTextEditTypeDynamic);
    expectOneEdit("static again", [&] { QTest::keyClick(pane.ppBtnQuartzNames, Qt::Key_Home); }, false);
    EXPECT_EQ(style.enType(), HLTextEdit::HLTextEditTypeStatic);

    // Stopping takes the overlay off the preview; the title keeps its edits.
    QTest::mouseClick(pane.btnDone, Qt::LeftButton);
    EXPECT_FALSE(ctrl->bIsEditing());
    EXPECT_FALSE(pane.isNowEditing());
    EXPECT_EQ(overlay->parentWidget(), nullptr);
    EXPECT_EQ(style.clFont(), QColor(0, 255, 0));
}

TEST_F(HLItemEditorsTest, AMusicClipIsTrimmedFadedAndSetLouderThroughItsPane)
{
    QSignalSpy finished(&ctrl->audioImport(), &HLAudioImport::finished);
    ctrl->audioImport().p_addAudios({tone}, [](HLAudiolineItem &line, const auto &items) { line.add(items); });
    ASSERT_TRUE(finished.wait(kHangGuardMs));
    ASSERT_EQ(ctrl->oAudioline()->aryItems().size(), 1u);
    const auto clip = ctrl->oAudioline()->aryItems()[0];
    HLAudioEdit &edit = *clip->oEdit();
    press(ctrl->vCtrlAudioline()->aryAudioItemViews().value(0));
    settle();
    QTest::mouseClick(ctrl->window()->btnEdit, Qt::LeftButton);
    HLAudioEditVCtrl &pane = *ctrl->vCtrlAudioEdit();
    ASSERT_TRUE(pane.isNowEditing());
    EXPECT_TRUE(pane.view()->isVisible());
    EXPECT_FALSE(pane.vCustomBack->isVisibleTo(pane.view())); // clips end to end

    const auto type = [](QLineEdit *field, const QString &text) {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    };
    expectOneEdit("trim start", [&] { type(pane.edtTrimStart, "2"); }, false);
    expectOneEdit("trim end", [&] { type(pane.edtTrimEnd, "0:06"); }, false);
    EXPECT_FLOAT_EQ(edit.dTrimMin(), 2.0f);
    EXPECT_FLOAT_EQ(edit.dTrimMax(), 6.0f);
    expectOneEdit("fade in",
                  [&] {
                      pane.ppBtnFadeIn->setFocus();
                      QTest::keyClick(pane.ppBtnFadeIn, Qt::Key_Down);
                  },
                  false);
    expectOneEdit("fade out",
                  [&] {
                      pane.ppBtnFadeOut->setFocus();
                      QTest::keyClick(pane.ppBtnFadeOut, Qt::Key_Home);
                  },
                  false);
    EXPECT_EQ(edit.dFadeIn(), 4.0f);
    EXPECT_EQ(edit.dFadeOut(), 0.0f);
    expectOneEdit("volume", [&] { type(pane.edtVolume, "50"); }, false);
    EXPECT_EQ(edit.dVolume(), 0.5f);
    EXPECT_EQ(pane.sldVolume->value(), 50);
    // The pane's own preview plays at the volume, faded in from the trim start.
    pane.p_playFeedback();
    EXPECT_NEAR(pane.oAudio().movie()->volume(), 0.0, 0.02);

    // Editing ends: the shortened clip is laid out again, end to end from 0.
    ctrl->setEdited(false);
    QTest::mouseClick(pane.btnDone, Qt::LeftButton);
    EXPECT_FALSE(pane.isNowEditing());
    EXPECT_FLOAT_EQ(clip->dPlayMin(), 0.0f);
    EXPECT_FLOAT_EQ(clip->dPlayMax(), 4.0f);
    EXPECT_TRUE(ctrl->window()->isWindowModified());
}

} // namespace
