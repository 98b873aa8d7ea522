#include "Frameworks/Ambrelle/Ambrelle.h"
#include "Frameworks/Ambrelle/AmbrelleMediaModel.h"
#include "Platform/Foundation/HLNotificationCenter.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Control/HLAudioImport.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLTextlineVCtrl.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include "SourceHL/View/HLTextItemView.h"
#include "SourceHL/View/HLTextlineBackView.h"
#include "tests/support/MediaFixtures.h"
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
    // The text of the skipped-files message on the window, closed after reading.
    QString takeMessage()
    {
        auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!alert)
            return QString();
        const QString text = alert->text() + QLatin1Char('\n') + alert->informativeText();
        alert->close();
        return text;
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
    const QString message = takeMessage();
    EXPECT_TRUE(message.contains(QStringLiteral("One file was not added."))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("notes.txt: not a music file"))) << qPrintable(message);
    EXPECT_TRUE(ctrl->window()->isWindowModified());
    ASSERT_EQ(ctrl->vCtrlAudioline()->aryAudioItemViews().size(), 2);
    EXPECT_EQ(ctrl->vCtrlAudioline()->aryAudioItemViews()[1]->geometry().x(), 200);

    // Before the first clip: it goes first and the others move after it, none overlapping.
    dropMusic({tones[2]}, 60);
    EXPECT_EQ(audioNames(), (QStringList{"Song2", "Song0", "Song1"}));
    EXPECT_TRUE(takeMessage().isEmpty());
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
    EXPECT_FLOAT_EQ(ctrl->oAudioline()->aryItems()[1]->dPlayMin(), ctrl->oAudioline()->aryItems()[0]->dPlayMax());
    EXPECT_EQ(ctrl->vCtrlAudioline()->aryAudioItemViews().size(), 2);
}

TEST_F(HLLinesWindowTest, MusicDroppedBeforeAClipRemovedMeanwhileGoesToTheEnd)
{
    dropMusic({tones[0], tones[1]}, 40);
    const QString first = ctrl->oAudioline()->aryItems()[0]->strAUID();
    QSignalSpy finished(&ctrl->audioImport(), &HLAudioImport::finished);
    HLNotificationCenter::defaultCenter().post(
        AudiolineVCtrlBackInsertNotification,
        {{QStringLiteral("Paths"), QStringList{tones[2]}}, {QStringLiteral("AUID"), first}});
    // The clip the drop fell before goes while the files are copied.
    ctrl->gate().perform([&] { ctrl->oAudioline()->remove(first); });
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
    const QString message = takeMessage();
    EXPECT_TRUE(message.contains(QStringLiteral("2 files were not added."))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("notes.txt: "))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("gone.mp3: the file is not there"))) << qPrintable(message);
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
    QStringList added;
    ctrl->setupAddVideosAndImages([&](const QStringList &paths) { added << paths; });

    QToolButton *button = ctrl->window()->btnMedia;
    EXPECT_FALSE(browser->view()->isVisible());
    ASSERT_TRUE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(browser->view()->isVisible());
    EXPECT_EQ(button->text(), QStringLiteral("Theme"));

    browser->vList()->selectionModel()->select(browser->model().index(0), QItemSelectionModel::Select);
    QTest::mouseClick(browser->btnAdd(), Qt::LeftButton);
    EXPECT_EQ(added, QStringList{media->file(QStringLiteral("photo.png"))});

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_FALSE(browser->view()->isVisible());
    EXPECT_EQ(button->text(), QStringLiteral("Media"));
}

} // namespace
