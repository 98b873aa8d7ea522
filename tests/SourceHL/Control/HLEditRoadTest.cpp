// Every edit the window offers today goes one road: through the gate, which announces it
// once; the window then marks the project once and renders one preview frame.
#include "Platform/Foundation/HLNotificationCenter.h"
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLAudioImport.h"
#include "SourceHL/Control/HLAudiolineVCtrl.h"
#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLMediaImport.h"
#include "SourceHL/Control/HLPlayLoop.h"
#include "SourceHL/Control/HLProjectDocument.h"
#include "SourceHL/Control/HLTextlineVCtrl.h"
#include "SourceHL/Control/HLTimelineVCtrl.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLAudiolineBackView.h"
#include "SourceHL/View/HLInsideDrag.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "SourceHL/View/HLTextItemView.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/ModalMessage.h"
#include "tests/support/TestFolder.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kHangGuardMs = 60000;

class HLEditRoadTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-edit-road"));
        media = new TestFolder;
        for (int i = 0; i < 2; ++i) {
            const QString path = media->file(QStringLiteral("Tune%1.wav").arg(i));
            ASSERT_TRUE(MediaFixtures::makeTone(path, 2.0, 44100, 2, {"-c:a", "pcm_s16le"}));
            tones << path;
        }
        for (int i = 0; i < 6; ++i) {
            QImage image(96, 64, QImage::Format_RGB32);
            image.fill(QColor::fromHsv(i * 50, 180, 220));
            photos << media->file(QStringLiteral("road%1.png").arg(i));
            ASSERT_TRUE(image.save(photos.last()));
        }
    }
    static void TearDownTestSuite()
    {
        tones.clear();
        photos.clear();
        delete media;
    }
    void SetUp() override
    {
        ctrl = std::make_unique<HLMainWndCtrl>();
        ctrl->showWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(ctrl->window()));
        ctrl->gate().subscribe([this](HLChange::Kinds kinds) {
            if (kinds != HLChange::PlayHead)
                ++announcements;
        });
        ctrl->playLoop().setupFrameShown([this] { ++renders; });
        HLInsideDrag::setStarter([](QWidget *, std::unique_ptr<QMimeData>, const QPixmap &, QPoint) {});
    }
    void TearDown() override
    {
        HLInsideDrag::setStarter({});
        if (QWidget *modal = QApplication::activeModalWidget())
            modal->close();
        ctrl->oLastOperateQueue()->wait();
        ctrl.reset();
    }

    // Lets the preview job end and its frame reach the window.
    void settle()
    {
        ctrl->oLastOperateQueue()->wait();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }
    void waitForMediaImport()
    {
        ASSERT_TRUE(QTest::qWaitFor([this] { return !ctrl->mediaImport().isImporting(); }, kHangGuardMs));
    }
    void waitForAudioImport(QSignalSpy &finished) { ASSERT_TRUE(finished.wait(kHangGuardMs)); }
    static void press(QWidget *view)
    {
        QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() / 2, view->height() / 2));
    }
    HLTimelineVCtrl &strip() const { return ctrl->vCtrlContentline()->vCtrlTimeline(); }
    HLTextItemView *firstTitle() const { return ctrl->vCtrlTextline()->aryTextItemViews().value(0); }
    HLAudioItemView *firstClip() const { return ctrl->vCtrlAudioline()->aryAudioItemViews().value(0); }
    void dropFiles(QWidget *target, const QStringList &paths, QPoint at)
    {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &path : paths)
            urls << QUrl::fromLocalFile(path);
        data.setUrls(urls);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &drop);
        ASSERT_TRUE(drop.isAccepted());
    }

    static inline TestFolder *media = nullptr;
    static inline QStringList tones;
    static inline QStringList photos;
    std::unique_ptr<HLMainWndCtrl> ctrl;
    int announcements = 0;
    int renders = 0;
};

TEST_F(HLEditRoadTest, EveryEditIsAnnouncedOnceMarkedOnceAndRenderedOnce)
{
    TestFolder out;
    const QString package = out.file(QStringLiteral("Road.qlbyprj"));
    struct Entry
    {
        const char *what;
        std::function<void()> run;
        int announced;
        bool edited; // the mark after it
        int rendered;
    };
    const Entry entries[] = {
        {"photos from the panel",
         [&] {
             ctrl->mediaImport().p_addVideosAndImagesOutTo({photos[0], photos[1]}, QString());
             waitForMediaImport();
         },
         1, true, 1},
        {"photos dropped on the strip's back",
         [&] {
             dropFiles(strip().view(), {photos[2]}, QPoint(strip().view()->width() - 5, 40));
             waitForMediaImport();
         },
         1, true, 1},
        {"photos dropped into a row",
         [&] {
             HLNotificationCenter::defaultCenter().post(
                 kTimelineVCtrlSlidInsertNotification,
                 {{QStringLiteral("Paths"), QStringList{photos[3]}},
                  {QStringLiteral("SSID"), ctrl->oTimeline()->aryItems().front()->strSSID()}});
             waitForMediaImport();
         },
         1, true, 1},
        {"music dropped on the audio line",
         [&] {
             QSignalSpy finished(&ctrl->audioImport(), &HLAudioImport::finished);
             dropFiles(ctrl->vCtrlAudioline()->view(), {tones[0]}, QPoint(40, 25));
             waitForAudioImport(finished);
         },
         1, true, 1},
        {"music from its panel",
         [&] {
             QSignalSpy finished(&ctrl->audioImport(), &HLAudioImport::finished);
             ctrl->audioImport().p_addAudios({tones[1]}, [](HLAudiolineItem &line, const auto &items) {
                 line.add(items);
             });
             waitForAudioImport(finished);
         },
         1, true, 1},
        {"a title added", [&] { QTest::mouseClick(ctrl->window()->btnAddText, Qt::LeftButton); }, 1, true, 1},
        {"a title dropped along the text line",
         [&] {
             HLTextItemView *title = firstTitle();
             press(title);
             settle(); // the press seeks to the title
             renders = 0;
             QTest::mousePress(title, Qt::LeftButton, {}, QPoint(30, 20));
             QTest::mouseMove(title, QPoint(50, 20));
             QTest::mouseRelease(title, Qt::LeftButton, {}, QPoint(50, 20));
         },
         1, true, 1},
        {"a photo deleted",
         [&] {
             press(strip().arySlidItemViews().value(0));
             settle();
             renders = 0;
             ctrl->deleteChosen();
         },
         1, true, 1},
        {"a title deleted",
         [&] {
             press(firstTitle());
             settle();
             renders = 0;
             ctrl->deleteChosen();
         },
         1, true, 1},
        {"a music clip deleted",
         [&] {
             press(firstClip());
             ctrl->deleteChosen();
         },
         1, true, 1},
        {"saved",
         [&] {
             QSignalSpy finished(&ctrl->document(), &HLProjectDocument::saveFinished);
             ctrl->setEdited(true);
             ctrl->document().p_saveProjectTo(package);
             ASSERT_TRUE(finished.wait(kHangGuardMs));
             ASSERT_TRUE(finished.first().first().toBool());
         },
         0, false, 0},
        {"opened",
         [&] {
             QSignalSpy finished(&ctrl->document(), &HLProjectDocument::openFinished);
             ctrl->document().p_openProjectFrom(package);
             ASSERT_TRUE(finished.wait(kHangGuardMs));
             ASSERT_TRUE(finished.first().first().toBool());
         },
         1, false, 1},
    };
    for (const Entry &entry : entries) {
        settle();
        ctrl->setEdited(false);
        announcements = 0;
        renders = 0;
        entry.run();
        if (::testing::Test::HasFatalFailure())
            return;
        settle();
        EXPECT_EQ(announcements, entry.announced) << entry.what;
        EXPECT_EQ(ctrl->window()->isWindowModified(), entry.edited) << entry.what;
        EXPECT_EQ(renders, entry.rendered) << entry.what;
        takeModalMessage(); // no file was left out, but a report would not stop the next entry
    }
    // The edits all landed.
    EXPECT_EQ(ctrl->oTimeline()->resourceItems().size(), 3);
    EXPECT_EQ(ctrl->oAudioline()->aryItems().size(), 1);
    EXPECT_TRUE(ctrl->oTextline()->aryItems().isEmpty());
}

// A title slid along its line and then carried off it gets no release: the slide is
// reported all the same, and closing would ask before losing it.
TEST_F(HLEditRoadTest, ATitleSlidThenCarriedOffTheLineIsReported)
{
    const auto item = HLTextItem::textItemOf(QStringLiteral("slid"));
    const auto neighbour = HLTextItem::textItemOf(QStringLiteral("next"));
    ctrl->gate().perform(HLChange::Structure, [&] {
        item->updateLineMin(0, 115);
        neighbour->updateLineMin(300, 415);
        ctrl->oTextline()->add(item);
        ctrl->oTextline()->add(neighbour);
    });
    HLTextItemView *title = firstTitle();
    ASSERT_TRUE(title && title->strID() == QStringLiteral("slid"));
    press(title);
    settle();
    ctrl->setEdited(false);
    QWidget *carried = nullptr;
    HLInsideDrag::setStarter([&](QWidget *source, std::unique_ptr<QMimeData>, const QPixmap &, QPoint) {
        carried = source; // the drag ends elsewhere: no release reaches the title
    });
    QTest::mousePress(title, Qt::LeftButton, {}, QPoint(30, 20));
    QTest::mouseMove(title, QPoint(60, 20));  // slid 30 points
    QTest::mouseMove(title, QPoint(400, 20)); // past the neighbour: carried off the line
    ASSERT_EQ(carried, title);
    EXPECT_NEAR(item->dLineMin(), 30, 0.02); // a title starts just after 0
    EXPECT_TRUE(ctrl->window()->isWindowModified());
}

} // namespace
