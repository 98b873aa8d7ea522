#include "Frameworks/Ambrelle/Ambrelle.h"
#include "Frameworks/Ambrelle/AmbrelleMediaModel.h"
#include "Platform/Foundation/HLNotificationCenter.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Control/HLAudioImport.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Control/HLTextlineVCtrl.h"
#include "SourceHL/Control/HLTimelineVCtrl.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Package/HLProjectContents.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include "SourceHL/View/HLTextItemView.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/View/HLTextlineBackView.h"
#include "SourceHL/View/HLTimelineItemUI.h"
#include "SourceHL/View/HLContentlineBackView.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/ModalMessage.h"
#include "tests/support/TestFolder.h"
#include "widgets/HLDarkStyle.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QItemSelectionModel>
#include <QListView>
#include <QPushButton>
#include <QDragEnterEvent>
#include <QFile>
#include <QMessageBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

class HLLinesWindowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-lines"));
        HLDarkStyle::applyTo(*qApp);
        media = new TestFolder;
        for (int i = 0; i < 3; ++i) {
            const QString path = media->file(QStringLiteral("Song%1.wav").arg(i));
            ASSERT_TRUE(MediaFixtures::makeTone(path, 2.0 + i, 44100, 2, {"-c:a", "pcm_s16le"}));
            tones << path;
        }
        QFile notes(media->file(QStringLiteral("notes.txt")));
        ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
        notes.write("not music");
    }
    static void TearDownTestSuite()
    {
        tones.clear();
        delete media;
    }
    void SetUp() override
    {
        ctrl = std::make_unique<HLMainWndCtrl>();
        ctrl->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(ctrl->window()));
    }
    void TearDown() override
    {
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
        ctrl->oLastOperateQueue()->wait();
        ctrl.reset();
    }

    HLAudiolineBackView *audioRow() const { return ctrl->vCtrlAudioline()->view(); }
    QStringList audioNames() const
    {
        QStringList names;
        for (const auto &item : ctrl->oAudioline()->aryItems())
            names << item->strName();
        return names;
    }
    // Files dropped on the audio row at x, then the import run to its end.
    void dropMusic(const QStringList &paths, int x)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QSignalSpy finished(&ctrl->audioImport(), &HLAudioImport::finished);
        QDragEnterEvent enter(QPoint(x, 25), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(audioRow(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(x, 25), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(audioRow(), &drop);
        ASSERT_TRUE(drop.isAccepted());
        ASSERT_TRUE(finished.wait(20000));
    }
    // A key pressed on the window, focused as its user's would be (the offscreen platform
    // leaves the focus on a sheet that has gone).
    void pressKey(Qt::Key key)
    {
        QWindow *handle = ctrl->window()->windowHandle();
        handle->requestActivate();
        ASSERT_TRUE(QTest::qWaitFor([handle] { return QGuiApplication::focusWindow() == handle; }));
        QTest::keyClick(ctrl->window(), key);
    }

    HLTimelineVCtrl &strip() const { return ctrl->vCtrlContentline()->vCtrlTimeline(); }
    void waitForImport()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !ctrl->mediaImport().isImporting(); }, 20000));
        QCoreApplication::processEvents(); // the sheet's own steps
    }
    // Photos of the strip, imported as from the open panel.
    void addPhotos(int count)
    {
        QStringList paths;
        for (int i = 0; i < count; ++i) {
            QImage image(96, 64, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(i * 60, 180, 220));
            paths << media->file(QStringLiteral("strip%1.png").arg(i));
            ASSERT_TRUE(image.save(paths.last()));
        }
        ctrl->mediaImport().p_addVideosAndImagesOutTo(paths, QString());
        waitForImport();
    }
    // A press on the middle of a view.
    static void press(QWidget *view)
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() / 2, view->height() / 2));
    }

    static inline TestFolder *media = nullptr;
    static inline QStringList tones;
    std::unique_ptr<HLMainWndCtrl> ctrl;
};

TEST_F(HLLinesWindowTest, AddTextPutsATitleAtThePlayPositionThatTheKeysDelete)
{
    QTest::mouseClick(ctrl->window()->btnAddText, Qt::LeftButton);
    const auto titles = ctrl->oTextline()->aryItems();
    ASSERT_EQ(titles.size(), 1);
    EXPECT_NEAR(titles[0]->dLineMin(), 0, 0.02); // the play position of an empty project
    EXPECT_FLOAT_EQ(titles[0]->dLineMax() - titles[0]->dLineMin(), 115);
    EXPECT_TRUE(ctrl->window()->isWindowModified()); // closing now asks before losing it
    ASSERT_EQ(ctrl->vCtrlTextline()->aryTextItemViews().size(), 1);
    HLTextItemView *cell = ctrl->vCtrlTextline()->aryTextItemViews()[0];
    EXPECT_TRUE(cell->isVisible());
    EXPECT_EQ(cell->width(), 115);

    QAction *remove = ctrl->lineActions().last();
    EXPECT_FALSE(remove->isEnabled()); // nothing chosen
    QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(60, 20));
    EXPECT_EQ(ctrl->choice().strTTID, titles[0]->strTTID());
    EXPECT_TRUE(ctrl->choice().bCanEdit);
    EXPECT_TRUE(remove->isEnabled());

    QTest::mouseClick(ctrl->window()->btnAddText, Qt::LeftButton); // starts where the play line is
    EXPECT_EQ(ctrl->oTextline()->aryItems().size(), 2);
    EXPECT_TRUE(ctrl->vCtrlTextline()->isThereChosen()); // adding chooses nothing new

    for (Qt::Key key : {Qt::Key_Delete, Qt::Key_Backspace}) {
        ASSERT_TRUE(ctrl->vCtrlTextline()->isThereChosen());
        const qsizetype before = ctrl->oTextline()->aryItems().size();
        pressKey(key);
        EXPECT_EQ(ctrl->oTextline()->aryItems().size(), before - 1) << key;
        EXPECT_TRUE(ctrl->choice().strTTID.isEmpty());
        EXPECT_FALSE(remove->isEnabled());
        if (!ctrl->vCtrlTextline()->aryTextItemViews().isEmpty())
            QTest::mouseClick(ctrl->vCtrlTextline()->aryTextItemViews()[0], Qt::LeftButton, {}, QPoint(60, 20));
    }
    EXPECT_TRUE(ctrl->oTextline()->aryItems().isEmpty());
}

TEST_F(HLLinesWindowTest, MusicDroppedOnTheLineIsImportedInOrderAndArranged)
{
    dropMusic({tones[0], media->file(QStringLiteral("notes.txt")), tones[1]}, 40);
    EXPECT_EQ(audioNames(), (QStringList{"Song0", "Song1"}));
    const QString message = takeModalMessage();
    EXPECT_TRUE(message.contains(QStringLiteral("One file was not added."))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("notes.txt: not a music file"))) << qPrintable(message);
    EXPECT_TRUE(ctrl->window()->isWindowModified());
    ASSERT_EQ(ctrl->vCtrlAudioline()->aryAudioItemViews().size(), 2);
    EXPECT_EQ(ctrl->vCtrlAudioline()->aryAudioItemViews()[1]->geometry().x(), 200);

    // Before the first clip: it goes first and the others move after it, none overlapping.
    dropMusic({tones[2]}, 60);
    EXPECT_EQ(audioNames(), (QStringList{"Song2", "Song0", "Song1"}));
    EXPECT_TRUE(takeModalMessage().isEmpty());
    float end = 0;
    for (const auto &item : ctrl->oAudioline()->aryItems()) {
        EXPECT_FLOAT_EQ(item->dPlayMin(), end) << qPrintable(item->strName());
        EXPECT_GT(item->dPlayMax(), item->dPlayMin());
        end = item->dPlayMax();
    }
    EXPECT_EQ(ctrl->vCtrlAudioline()->aryAudioItemViews()[0]->strName(), "Song2");

    // Choosing a clip takes the choice from the text line.
    QTest::mouseClick(ctrl->window()->btnAddText, Qt::LeftButton);
    QTest::mouseClick(ctrl->vCtrlTextline()->aryTextItemViews()[0], Qt::LeftButton, {}, QPoint(60, 20));
    QTest::mouseClick(ctrl->vCtrlAudioline()->aryAudioItemViews()[1], Qt::LeftButton, {}, QPoint(100, 25));
    EXPECT_FALSE(ctrl->vCtrlTextline()->isThereChosen());
    EXPECT_TRUE(ctrl->choice().strTTID.isEmpty());
    EXPECT_EQ(ctrl->choice().strAUID, ctrl->oAudioline()->aryItems()[1]->strAUID());
    pressKey(Qt::Key_Delete);
    EXPECT_EQ(audioNames(), (QStringList{"Song2", "Song1"}));
    EXPECT_FLOAT_EQ(ctrl->oAudioline()->aryItems()[1]->dPlayMin(), ctrl->oAudioline()->aryItems()[0]->dPlayMax());
}

TEST_F(HLLinesWindowTest, AddAudioAppendsTheMusicChosenInItsPanel)
{
    dropMusic({tones[0]}, 40);
    QSignalSpy finished(&ctrl->audioImport(), &HLAudioImport::finished);
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto *panel = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!panel)
            return;
        answered = panel->labelText(QFileDialog::Accept) == QStringLiteral("Add");
        panel->selectFile(tones[2]);
        static_cast<QDialog *>(panel)->accept();
    });
    QTest::mouseClick(ctrl->window()->btnAddAudio, Qt::LeftButton);
    EXPECT_TRUE(answered);
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(audioNames(), (QStringList{"Song0", "Song2"}));
    ASSERT_EQ(ctrl->oAudioline()->aryItems().size(), 2);
    EXPECT_FLOAT_EQ(ctrl->oAudioline()->aryItems()[1]->dPlayMin(), ctrl->oAudioline()->aryItems()[0]->dPlayMax());
    EXPECT_EQ(ctrl->vCtrlAudioline()->aryAudioItemViews().size(), 2);
}

TEST_F(HLLinesWindowTest, MusicDroppedBeforeAClipRemovedMeanwhileGoesToTheEnd)
{
    dropMusic({tones[0], tones[1]}, 40);
    ASSERT_EQ(ctrl->oAudioline()->aryItems().size(), 2);
    const QString first = ctrl->oAudioline()->aryItems()[0]->strAUID();
    QSignalSpy finished(&ctrl->audioImport(), &HLAudioImport::finished);
    HLNotificationCenter::defaultCenter().post(
        AudiolineVCtrlBackInsertNotification,
        {{QStringLiteral("Paths"), QStringList{tones[2]}}, {QStringLiteral("AUID"), first}});
    // The clip the drop fell before goes while the files are copied.
    ctrl->gate().perform(HLChange::None, [&] { ctrl->oAudioline()->remove(first); });
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_EQ(audioNames(), (QStringList{"Song1", "Song2"}));
    EXPECT_FLOAT_EQ(ctrl->oAudioline()->aryItems()[0]->dPlayMin(), 0);
    EXPECT_FLOAT_EQ(ctrl->oAudioline()->aryItems()[1]->dPlayMin(), ctrl->oAudioline()->aryItems()[0]->dPlayMax());
}

TEST_F(HLLinesWindowTest, AnImportThatAddsNothingLeavesTheProjectUnmarked)
{
    const QString missing = media->file(QStringLiteral("gone.mp3"));
    dropMusic({media->file(QStringLiteral("notes.txt")), missing}, 40);
    EXPECT_TRUE(ctrl->oAudioline()->aryItems().empty());
    EXPECT_FALSE(ctrl->window()->isWindowModified());
    const QString message = takeModalMessage();
    EXPECT_TRUE(message.contains(QStringLiteral("2 files were not added."))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("notes.txt: "))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("gone.mp3: the file is not there"))) << qPrintable(message);
}

// One choice for the whole content line: choosing on the strip, the text line or the audio
// line clears the other two, and the window's choice holds only the chosen line's item.
TEST_F(HLLinesWindowTest, ChoosingOnOneLineClearsTheOtherTwo)
{
    addPhotos(2);
    dropMusic({tones[0]}, 40);
    QTest::mouseClick(ctrl->window()->btnAddText, Qt::LeftButton);
    ASSERT_EQ(ctrl->oTimeline()->resourceItems().size(), 2);
    ASSERT_EQ(ctrl->oAudioline()->aryItems().size(), 1);
    ASSERT_EQ(strip().arySlidItemViews().size(), 2);
    ASSERT_EQ(ctrl->vCtrlTextline()->aryTextItemViews().size(), 1);
    ASSERT_EQ(ctrl->vCtrlAudioline()->aryAudioItemViews().size(), 1);
    HLRenderItemView *cell = strip().arySlidItemViews()[1];
    HLTextItemView *title = ctrl->vCtrlTextline()->aryTextItemViews()[0];
    HLAudioItemView *music = ctrl->vCtrlAudioline()->aryAudioItemViews()[0];
    const QString rdid = ctrl->oTimeline()->resourceItems()[1]->strHashID();
    const QString ttid = ctrl->oTextline()->aryItems()[0]->strTTID();
    const QString auid = ctrl->oAudioline()->aryItems()[0]->strAUID();

    struct Step
    {
        QWidget *view;
        bool strip, text, audio;
    };
    for (const Step &step : {Step{cell, true, false, false}, Step{title, false, true, false},
                             Step{music, false, false, true}, Step{cell, true, false, false},
                             Step{music, false, false, true}, Step{title, false, true, false}}) {
        press(step.view);
        EXPECT_EQ(strip().isThereChosen(), step.strip) << qPrintable(step.view->objectName());
        EXPECT_EQ(ctrl->vCtrlTextline()->isThereChosen(), step.text);
        EXPECT_EQ(ctrl->vCtrlAudioline()->isThereChosen(), step.audio);
        const HLContentChoice &choice = ctrl->choice();
        EXPECT_EQ(choice.strRDID, step.strip ? rdid : QString());
        EXPECT_TRUE(choice.strSSSID.isEmpty() && choice.strTSSID.isEmpty());
        EXPECT_EQ(choice.strTTID, step.text ? ttid : QString());
        EXPECT_EQ(choice.strAUID, step.audio ? auid : QString());
        EXPECT_TRUE(choice.bCanEdit);
    }
    // The delete key takes what is chosen, on whichever line it is.
    press(cell);
    pressKey(Qt::Key_Delete);
    EXPECT_EQ(ctrl->oTimeline()->resourceItems().size(), 1);
    EXPECT_EQ(ctrl->oTextline()->aryItems().size(), 1);
    EXPECT_EQ(ctrl->oAudioline()->aryItems().size(), 1);
}

// The text line lies on the strip's axis: a title's times come from the cells under it, and
// follow when the strip changes.
TEST_F(HLLinesWindowTest, ATitleMovedOnTheTextLineTakesItsTimesFromTheStrip)
{
    addPhotos(3);
    // Photos of 2 s: a cell is then not the 5 s that the axis past the strip's end gives it.
    ctrl->gate().perform(HLChange::None, [&] { ctrl->oTimeline()->applySlideshowDisplayToAll(2); });
    // The title's cell sits under the strip, its x 0 under the strip's x 0.
    HLTextlineBackView *line = ctrl->vCtrlTextline()->view();
    EXPECT_EQ(line->mapTo(ctrl->vCtrlContentline()->vContentlineBack(), QPoint(0, 0)).x(),
              strip().view()->mapTo(ctrl->vCtrlContentline()->vContentlineBack(), QPoint(0, 0)).x());
    QTest::mouseClick(ctrl->window()->btnAddText, Qt::LeftButton);
    HLTextItemView *title = ctrl->vCtrlTextline()->aryTextItemViews()[0];
    // Dragged by its middle 200 points to the right, in steps.
    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(60, 20));
    for (int x : {100, 160, 260})
        QTest::mouseMove(title, QPoint(x - title->x(), 20));
    QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(260 - title->x(), 20));
    const auto item = ctrl->oTextline()->aryItems()[0];
    const float lineMin = item->dLineMin();
    ASSERT_NEAR(lineMin, 200, 0.02); // a new title starts just after the play position 0
    EXPECT_FLOAT_EQ(item->dLineMax() - lineMin, 115);
    const auto &timeline = *ctrl->oTimeline();
    EXPECT_FLOAT_EQ(item->dPlayMin(), HLTimelineItemUI::timeAtUI(timeline, lineMin));
    EXPECT_FLOAT_EQ(item->dPlayMax(), HLTimelineItemUI::timeAtUI(timeline, item->dLineMax()));
    EXPECT_GT(std::abs(item->dPlayMin() - lineMin / 16), 0.5); // not the axis of an empty strip
    EXPECT_LT(item->dPlayMin(), item->dPlayMax());
    EXPECT_TRUE(ctrl->window()->isWindowModified());

    // The first photo goes: the cells shift left under the title, which keeps its place on
    // the line and takes the times of what is now under it.
    press(strip().arySlidItemViews()[0]);
    pressKey(Qt::Key_Delete);
    ASSERT_EQ(ctrl->oTimeline()->resourceItems().size(), 2);
    EXPECT_FLOAT_EQ(item->dLineMin(), lineMin);
    EXPECT_FLOAT_EQ(item->dPlayMin(), HLTimelineItemUI::timeAtUI(*ctrl->oTimeline(), lineMin));
}

// A new or opened project brings its own lines: the old cells and choices go, the new
// titles take their times from the new strip, and commands act on the new lines.
TEST_F(HLLinesWindowTest, AReplacedProjectShowsItsOwnLines)
{
    QTest::mouseClick(ctrl->window()->btnAddText, Qt::LeftButton);
    dropMusic({tones[0]}, 40);
    press(ctrl->vCtrlAudioline()->aryAudioItemViews()[0]);
    ASSERT_FALSE(ctrl->choice().strAUID.isEmpty());

    HLProjectContents next = ctrl->emptyProject(QSizeF(1280, 960));
    auto title = HLTextItem::textItemOf(QStringLiteral("opened"));
    title->updateLineMin(200, 315);
    next.textline->add(title);
    ctrl->replaceProject(next);
    ASSERT_EQ(ctrl->vCtrlTextline()->aryTextItemViews().size(), 1);
    EXPECT_EQ(ctrl->vCtrlTextline()->aryTextItemViews()[0]->strID(), QStringLiteral("opened"));
    EXPECT_TRUE(ctrl->vCtrlAudioline()->aryAudioItemViews().isEmpty());
    EXPECT_FALSE(ctrl->vCtrlAudioline()->isThereChosen());
    EXPECT_TRUE(ctrl->choice().strAUID.isEmpty());
    EXPECT_FLOAT_EQ(title->dPlayMin(), HLTimelineItemUI::timeAtUI(*next.timeline, 200));
    EXPECT_FLOAT_EQ(title->dPlayMax(), HLTimelineItemUI::timeAtUI(*next.timeline, 315));

    QTest::mouseClick(ctrl->window()->btnAddText, Qt::LeftButton);
    EXPECT_EQ(next.textline->aryItems().size(), 2);
    dropMusic({tones[1]}, 40);
    ASSERT_EQ(next.audioline->aryItems().size(), 1);
    EXPECT_EQ(next.audioline->aryItems()[0]->strName(), QStringLiteral("Song1"));
}

TEST_F(HLLinesWindowTest, MediaButtonShowsTheBrowserWhosePicksGoToTheImport)
{
    Ambrelle *browser = ctrl->vCtrlMedia();
    ASSERT_TRUE(browser);
    QSignalSpy listed(&browser->model(), &AmbrelleMediaModel::listed);
    QImage photo(40, 30, QImage::Format_RGB32);
    photo.fill(Qt::red);
    ASSERT_TRUE(photo.save(media->file(QStringLiteral("photo.png"))));
    browser->setSources({{QStringLiteral("Media"), media->path()}});
    ASSERT_TRUE(listed.wait(10000));

    QToolButton *button = ctrl->window()->btnMedia;
    EXPECT_FALSE(browser->view()->isVisible());
    ASSERT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(browser->view()->isVisible());
    EXPECT_EQ(button->text(), QStringLiteral("Theme"));

    browser->vList()->selectionModel()->select(browser->model().index(0), QItemSelectionModel::Select);
    QTest::mouseClick(browser->btnAdd(), Qt::LeftButton);
    waitForImport();
    // The pick is imported like the open panel's files: a cell on the strip.
    ASSERT_EQ(ctrl->oTimeline()->resourceItems().size(), 1);
    EXPECT_EQ(ctrl->oTimeline()->resourceItems()[0]->imageName(), QStringLiteral("photo"));
    EXPECT_EQ(strip().arySlidItemViews().size(), 1);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(browser->view()->isVisible());
    EXPECT_EQ(button->text(), QStringLiteral("Media"));
}

} // namespace
