#include "app/AppDelegate.h"
#include "Frameworks/Korvane/ZKTime.h"

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
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "export/VEExportHandOff.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "export/ui/ExportWndCtrl.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/ModalMessage.h"
#include "tests/support/SampleProject.h"
#include "tests/support/WindowAnswers.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int kHangGuardMs = 120000;
constexpr int kFrameRate = 15;
constexpr quint64 kSecond = 1'000'000'000; // machine clock ticks

// Chooses the command of that title in the File menu; false when there is none.
bool chooseFromFileMenu(HLMainWindow *window, const QString &title)
{
    for (QAction *menu : window->menuBar()->actions()) {
        if (!menu->menu() || menu->text() != QStringLiteral("&File"))
            continue;
        for (QAction *action : menu->menu()->actions()) {
            if (action->text() == title) {
                action->trigger();
                return true;
            }
        }
    }
    return false;
}

QImage frameOfMovie(const QString &path, double seconds, const QString &png)
{
    ChildProcess::run(QStringLiteral("ffmpeg"),
                      {"-v", "error", "-y", "-ss", QString::number(seconds), "-i", path, "-frames:v", "1", png});
    return QImage(png).convertToFormat(QImage::Format_ARGB32);
}

// The loudness of the movie's sound in dB (as ffmpeg's volumedetect reports it); NaN when unknown.
double meanVolume(const QString &path)
{
    const ChildProcess run = ChildProcess::run(
        QStringLiteral("ffmpeg"), {"-v", "info", "-nostats", "-i", path, "-vn", "-af", "volumedetect", "-f", "null", "-"},
        true);
    const QRegularExpressionMatch match =
        QRegularExpression(QStringLiteral("mean_volume: (-?[0-9.]+) dB")).match(QString::fromUtf8(run.output));
    return match.hasMatch() ? match.captured(1).toDouble() : std::nan("");
}

bool near(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// The whole way a user goes, through the program's own windows: photos, a clip and music
// added from their panels, a title, a second of play, save, new, open the same project, and
// an H.264/AAC MP4 from the export window.
TEST(ProjectEndToEnd, AProjectMadeInTheWindowsIsSavedReopenedAndExported)
{
    QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-end-to-end"));
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    HLMainWndCtrl &ctrl = delegate.wCtrlMain();
    HLMainWindow *window = ctrl.window();
    HLProjectDocument &document = ctrl.document();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    TestFolder media;
    TestFolder out;
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    QStringList files;
    for (int i = 0; i < 3; ++i) {
        files << media.file(QStringLiteral("Photo%1.png").arg(i));
        ASSERT_TRUE(MediaFixtures::writeImage(files.last(), MediaFixtures::halves(160, 120, colours[i], Qt::white),
                                              "PNG"));
    }
    MediaFixtures::ClipRecipe recipe;
    recipe.size = QSize(160, 120);
    recipe.seconds = 2.0;
    recipe.audioCodec = QStringList{"-c:a", "aac"};
    files << media.file(QStringLiteral("Clip.mp4"));
    ASSERT_TRUE(MediaFixtures::makeIndexedClip(files.last(), recipe));
    const QString music = media.file(QStringLiteral("Music.mp3"));
    ASSERT_TRUE(MediaFixtures::makeTone(music, 4.0, 44100, 2, {"-c:a", "libmp3lame"}));

    // Add Media: the photos and the clip from the open panel, as new items at the end.
    {
        PanelAnswer panel(files);
        QTest::mouseClick(window->btnAddMedia, Qt::LeftButton);
        EXPECT_EQ(panel.acceptLabel(), QStringLiteral("Add"));
        // The import starts once the panel has gone; a message about left-out files ends the wait.
        const bool done = QTest::qWaitFor(
            [&] {
                return qobject_cast<QMessageBox *>(QApplication::activeModalWidget()) ||
                       (ctrl.oTimeline()->resourceItems().size() == 4 && !ctrl.mediaImport().isImporting());
            },
            kHangGuardMs);
        ASSERT_TRUE(done);
        EXPECT_EQ(takeModalMessage(), QString());
        // The progress sheet goes after the items are in.
        ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, kHangGuardMs));
    }
    ASSERT_EQ(ctrl.oTimeline()->resourceItems().size(), 4);

    // Add Audio: the music from its panel.
    {
        QSignalSpy imported(&ctrl.audioImport(), &HLAudioImport::finished);
        PanelAnswer panel({music});
        QTest::mouseClick(window->btnAddAudio, Qt::LeftButton);
        EXPECT_EQ(panel.acceptLabel(), QStringLiteral("Add"));
        ASSERT_TRUE(imported.wait(kHangGuardMs));
    }
    ASSERT_EQ(ctrl.oAudioline()->aryItems().size(), 1u);

    // Add Text: a title at the play position, the start.
    QTest::mouseClick(window->btnAddText, Qt::LeftButton);
    ASSERT_EQ(ctrl.oTextline()->aryItems().size(), 1);
    const float titleTime = 1.0f;
    ASSERT_LE(ctrl.oTextline()->aryItems()[0]->dPlayMin(), titleTime - 0.5f);
    ASSERT_GE(ctrl.oTextline()->aryItems()[0]->dPlayMax(), titleTime + 0.5f);

    // Play, one second of a clock the test drives, then stop: the position is one second on
    // and the preview showed frames meanwhile.
    quint64 now = 1000 * kSecond;
    int framesShown = 0;
    ctrl.playLoop().setClock([&now] { return now; });
    ctrl.playLoop().setupFrameShown([&framesShown] { ++framesShown; });
    QTest::mouseClick(window->btnPlay, Qt::LeftButton);
    ASSERT_TRUE(ctrl.bIsPlaying());
    now += kSecond;
    ASSERT_TRUE(QTest::qWaitFor([&] { return ctrl.dNowTime() >= 1.0f && framesShown > 0; }, kHangGuardMs));
    QTest::mouseClick(window->btnPlay, Qt::LeftButton);
    EXPECT_FALSE(ctrl.bIsPlaying());
    EXPECT_FLOAT_EQ(ctrl.dNowTime(), 1.0f);
    ctrl.oLastOperateQueue()->wait();
    QCoreApplication::processEvents();

    // File > Save: the never-saved project asks where, in the save panel.
    ASSERT_TRUE(window->isWindowModified());
    const HLProjectContents expected = SampleProject::persistentCopy(ctrl.contents());
    {
        QSignalSpy saved(&document, &HLProjectDocument::saveFinished);
        PanelAnswer panel({out.file("Holiday")});
        ASSERT_TRUE(chooseFromFileMenu(window, QStringLiteral("Save")));
        EXPECT_TRUE(panel.answered());
        ASSERT_TRUE(saved.wait(kHangGuardMs));
        ASSERT_TRUE(saved.first().first().toBool());
    }
    const QString package = out.file("Holiday.qlbyprj");
    ASSERT_TRUE(QFileInfo(package).isDir());
    EXPECT_FALSE(window->isWindowModified());

    // File > New: the saved project goes without a question.
    ASSERT_TRUE(chooseFromFileMenu(window, QStringLiteral("New")));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    ASSERT_TRUE(ctrl.oTimeline()->mtAryItems().isEmpty());
    EXPECT_TRUE(ctrl.oTextline()->aryItems().isEmpty());

    // File > Open…: the package from the open panel is the same project again.
    {
        QSignalSpy opened(&document, &HLProjectDocument::openFinished);
        PanelAnswer panel({package});
        ASSERT_TRUE(chooseFromFileMenu(window, QStringLiteral("Open…")));
        EXPECT_TRUE(panel.answered());
        ASSERT_TRUE(opened.wait(kHangGuardMs));
        ASSERT_TRUE(opened.first().first().toBool());
    }
    ASSERT_TRUE(SampleProject::sameProject(ctrl.contents(), expected));
    // The window shows it: its name, unmarked, and its items on the three lines.
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Holiday[*]"));
    EXPECT_FALSE(window->isWindowModified());
    EXPECT_EQ(ctrl.vCtrlContentline()->vCtrlTimeline().arySlidItemViews().size(), 4);
    EXPECT_EQ(ctrl.vCtrlTextline()->aryTextItemViews().size(), 1);
    EXPECT_EQ(ctrl.vCtrlAudioline()->aryAudioItemViews().size(), 1);

    // Export: MP4 with H.264 and AAC at 15 frames a second, named in the save panel; the
    // window returns once the progress window saw the conversion through.
    ExportWndCtrl &exporter = delegate.wCtrlExport();
    QStringList revealed;
    exporter.progressCtrl().setRevealer([&revealed](const QString &path) { revealed << path; });
    PanelAnswer moviePanel({out.file("Holiday")});
    QTimer fillIn; // the export window's choices, once it is up
    fillIn.setInterval(5);
    QObject::connect(&fillIn, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != exporter.window() || !exporter.window()->isVisible())
            return;
        fillIn.stop();
        choose(exporter.formatBtn(), QStringLiteral("MP4"));
        choose(exporter.codecBtn(), QStringLiteral("h264"));
        choose(exporter.audioCodecBtn(), QStringLiteral("aac"));
        typeInto(exporter.videoFramerateLabel(), QString::number(kFrameRate));
        QTest::mouseClick(exporter.exportButton(), Qt::LeftButton);
    });
    fillIn.start();
    ConvertProgressWindowController &progress = exporter.progressCtrl();
    QString progressText; // what the progress window said while it was up
    QTimer watch;
    watch.setInterval(5);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (progress.window()->isVisible())
            progressText = progress.convertVideoStatus()->text();
    });
    watch.start();
    QTest::mouseClick(window->btnExport, Qt::LeftButton);
    watch.stop();
    EXPECT_FALSE(fillIn.isActive());
    EXPECT_EQ(progressText, QStringLiteral("Exporting to Video …"));
    EXPECT_DOUBLE_EQ(progress.progress(), 1.0);
    EXPECT_FALSE(progress.window()->isVisible());
    EXPECT_FALSE(exporter.window()->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_TRUE(moviePanel.answered());
    const QString movie = out.file("Holiday.mp4");
    ASSERT_TRUE(QFileInfo(movie).isFile());
    EXPECT_EQ(revealed, QStringList{movie});

    const double duration = ctrl.oTimeline()->dDuration();
    const QStringList streams = probe(movie);
    ASSERT_EQ(streams.size(), 2) << streams.join(" / ").toStdString();
    const QStringList video = streams.filter(QRegularExpression("^h264,")).value(0).split(',');
    const QStringList audio = streams.filter(QRegularExpression("^aac,")).value(0).split(',');
    ASSERT_EQ(video.size(), 4) << streams.join(" / ").toStdString();
    ASSERT_EQ(audio.size(), 4) << streams.join(" / ").toStdString();
    EXPECT_EQ(video[1], "video");
    EXPECT_EQ(audio[1], "audio");
    // Whole frames: as many as the movie's length holds, covering the project within one.
    const double movieDuration = video[2].toDouble();
    EXPECT_NEAR(movieDuration, duration, 1.0 / kFrameRate);
    EXPECT_NEAR(video[3].toDouble(), movieDuration * kFrameRate, 0.01);
    EXPECT_NEAR(audio[2].toDouble(), duration, 0.1);
    EXPECT_GT(meanVolume(movie), -30.0); // the tones of the clip and the music, not silence

    // The title over the first slide, where the program's own renderers put it.
    const QImage frame = frameOfMovie(movie, titleTime, out.file("frame.png"));
    ASSERT_FALSE(frame.isNull());
    ctrl.gate().stopPreview();
    const QImage slide = ctrl.oTimelineRender()->renderExport(zk_ff_time_from_double(titleTime));
    const QImage titles = ctrl.oTextlineRender()->renderExport(titleTime);
    ASSERT_FALSE(titles.isNull());
    const QImage composed = exportFrameOf(slide, titles).scaled(frame.size()).convertToFormat(QImage::Format_ARGB32);
    const QImage plain = slide.scaled(frame.size()).convertToFormat(QImage::Format_ARGB32);
    int titlePixels = 0;
    int matching = 0;
    for (int y = 0; y < frame.height(); y += 2) {
        for (int x = 0; x < frame.width(); x += 2) {
            if (near(composed.pixelColor(x, y), plain.pixelColor(x, y), 80))
                continue;
            ++titlePixels;
            matching += near(frame.pixelColor(x, y), composed.pixelColor(x, y), 60);
        }
    }
    EXPECT_GT(titlePixels, 50);
    EXPECT_GT(matching, titlePixels * 8 / 10);
}

} // namespace
