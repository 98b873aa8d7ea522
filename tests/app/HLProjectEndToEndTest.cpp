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
#include "SourceHL/Editors/HLImageEditVCtrl.h"
#include "SourceHL/Editors/HLAudioEditVCtrl.h"
#include "widgets/HLColorWell.h"
#include "SourceHL/Editors/HLTextEditVCtrl.h"
#include "SourceHL/View/HLAudioItemView.h"
#include "SourceHL/View/HLTextDisplayView.h"
#include "SourceHL/View/HLTextItemView.h"
#include "SourceHL/Model/Audioline/HLAudioItem.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLRenderEditCrop.h"
#include "SourceHL/Model/Timeline/HLRenderEditEffect.h"
#include "SourceHL/Model/Timeline/HLRenderEditRotate.h"
#include "SourceHL/Model/Timeline/HLRenderEditTrim.h"
#include "SourceHL/Model/Timeline/HLRenderItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLDisplayView.h"
#include "SourceHL/View/HLRenderItemView.h"
#include "export/VEExportHandOff.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "export/ui/ExportWndCtrl.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/ModalMessage.h"
#include "tests/support/NamedControl.h"
#include "tests/support/SampleProject.h"
#include "tests/support/WindowAnswers.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
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

// Exports the open project from the export window as an H.264/AAC MP4 at 15 frames a second,
// named base in the save panel; the movie's path, or empty (with failures) when it failed.
QString exportMovie(AppDelegate &delegate, const QString &base)
{
    HLMainWndCtrl &ctrl = delegate.wCtrlMain();
    HLMainWindow *window = ctrl.window();
    ExportWndCtrl &exporter = delegate.wCtrlExport();
    QStringList revealed;
    exporter.progressCtrl().setRevealer([&revealed](const QString &path) { revealed << path; });
    PanelAnswer moviePanel({base});
    QTimer fillIn; // the export window's choices, once it is up
    fillIn.setInterval(5);
    QObject::connect(&fillIn, &QTimer::timeout, [&] {
        if (QApplication::activeModalWidget() != exporter.window() || !exporter.window()->isVisible())
            return;
        fillIn.stop();
        choose(control<QComboBox>(exporter, "formatBtn"), QStringLiteral("MP4"));
        choose(control<QComboBox>(exporter, "codecBtn"), QStringLiteral("h264"));
        choose(control<QComboBox>(exporter, "audioCodecBtn"), QStringLiteral("aac"));
        typeInto(control<QLineEdit>(exporter, "videoFramerateLabel"), QString::number(kFrameRate));
        QTest::mouseClick(control<QPushButton>(exporter, "exportButton"), Qt::LeftButton);
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
    const QString movie = base + QStringLiteral(".mp4");
    if (!QFileInfo(movie).isFile()) {
        ADD_FAILURE() << "no movie";
        return QString();
    }
    EXPECT_EQ(revealed, QStringList{movie});
    return movie;
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
    const QString movie = exportMovie(delegate, out.file("Holiday"));
    ASSERT_FALSE(movie.isEmpty());

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

// A photo turned, cropped and greyed and a clip trimmed in the photo and video editor, saved,
// reopened and exported: the movie shows the edited photo and plays the trimmed clip only.
TEST(ProjectEndToEnd, EditsOfThePhotoAndVideoEditorReachTheExportedMovie)
{
    QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-end-to-end-edits"));
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    HLMainWndCtrl &ctrl = delegate.wCtrlMain();
    HLMainWindow *window = ctrl.window();
    HLProjectDocument &document = ctrl.document();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));

    TestFolder media;
    TestFolder out;
    const QString photo = media.file(QStringLiteral("Halves.png"));
    ASSERT_TRUE(MediaFixtures::writeImage(photo, MediaFixtures::halves(320, 160, Qt::red, Qt::blue), "PNG"));
    MediaFixtures::ClipRecipe recipe;
    recipe.size = QSize(160, 120);
    recipe.seconds = 4.0;
    recipe.audioCodec = QStringList{"-c:a", "aac"};
    const QString clip = media.file(QStringLiteral("Clip.mp4"));
    ASSERT_TRUE(MediaFixtures::makeIndexedClip(clip, recipe));
    ctrl.mediaImport().p_addVideosAndImagesOutTo({photo, clip}, QString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return ctrl.oTimeline()->resourceItems().size() == 2 && !ctrl.mediaImport().isImporting(); },
                                kHangGuardMs));
    ASSERT_TRUE(QTest::qWaitFor([] { return !QApplication::activeModalWidget(); }, kHangGuardMs));
    const QList<HLRenderItemView *> cells = ctrl.vCtrlContentline()->vCtrlTimeline().arySlidItemViews();
    ASSERT_EQ(cells.size(), 2);
    const float untrimmed = ctrl.oTimeline()->dDuration();

    // The photo: a double click opens the editor; turned left, its lower half kept, greyed.
    HLImageEditVCtrl &pane = *ctrl.vCtrlImageEdit();
    QTest::mouseClick(cells[0], Qt::LeftButton, {}, cells[0]->rect().center());
    QTest::mouseDClick(cells[0], Qt::LeftButton, {}, cells[0]->rect().center());
    ASSERT_TRUE(pane.isNowEditing());
    QTest::mouseClick(pane.btnRotateL, Qt::LeftButton);
    typeInto(pane.edtCropH, QStringLiteral("160"));
    QTest::keyClick(pane.sldEffect[HLImageEditVCtrl::Saturation], Qt::Key_Home);
    // What the editor shows of the kept half is what the movie must show.
    const QImage shown = pane.vImageDisplay->imgDisplay();
    ASSERT_GT(shown.height(), shown.width());
    const QColor kept = shown.pixelColor(shown.width() / 2, shown.height() * 3 / 4);
    const QColor cut = shown.pixelColor(shown.width() / 2, shown.height() / 4);
    EXPECT_LT(std::abs(kept.red() - kept.blue()), 20) << "grey";
    ASSERT_GT(std::abs(kept.red() - cut.red()), 20) << "the two halves stay apart in grey";

    // The clip: choosing it while editing switches the editor; its kept part 1 s to 3 s.
    QTest::mouseClick(cells[1], Qt::LeftButton, {}, cells[1]->rect().center());
    ASSERT_TRUE(pane.isNowEditing());
    ASSERT_TRUE(pane.isVideo());
    typeInto(pane.edtTrimStart, QStringLiteral("1"));
    typeInto(pane.edtTrimEnd, QStringLiteral("3"));
    QTest::mouseClick(window->btnEdit, Qt::LeftButton);
    ASSERT_FALSE(ctrl.bIsEditing());
    EXPECT_TRUE(window->isWindowModified());
    EXPECT_NEAR(ctrl.oTimeline()->dDuration(), untrimmed - 2.0f, 0.05);

    // Saved, a new project, the saved one opened again.
    const QString package = out.file("Edited.qlbyprj");
    {
        QSignalSpy saved(&document, &HLProjectDocument::saveFinished);
        PanelAnswer panel({out.file("Edited")});
        ASSERT_TRUE(chooseFromFileMenu(window, QStringLiteral("Save")));
        ASSERT_TRUE(saved.wait(kHangGuardMs));
        ASSERT_TRUE(saved.first().first().toBool());
    }
    ASSERT_TRUE(chooseFromFileMenu(window, QStringLiteral("New")));
    {
        QSignalSpy opened(&document, &HLProjectDocument::openFinished);
        PanelAnswer panel({package});
        ASSERT_TRUE(chooseFromFileMenu(window, QStringLiteral("Open…")));
        ASSERT_TRUE(opened.wait(kHangGuardMs));
        ASSERT_TRUE(opened.first().first().toBool());
    }
    const auto items = ctrl.oTimeline()->renderItemsOf(ctrl.oTimeline()->resourceHashIDs());
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(items[0]->oRotate()->iRotation(), 90);
    EXPECT_FLOAT_EQ(items[0]->oCrop()->dRatioH(), 0.5f);
    EXPECT_EQ(items[0]->oEffect()->dSaturation(), 0.0f);
    EXPECT_FLOAT_EQ(items[1]->oTrim()->dTrimMin(), 1.0f);
    EXPECT_FLOAT_EQ(items[1]->oTrim()->dTrimMax(), 3.0f);

    const QString movie = exportMovie(delegate, out.file("Edited"));
    ASSERT_TRUE(QFileInfo(movie).isFile());
    const QStringList video = probe(movie).filter(QRegularExpression("^h264,")).value(0).split(',');
    ASSERT_EQ(video.size(), 4);
    EXPECT_NEAR(video[2].toDouble(), untrimmed - 2.0, 1.5 / kFrameRate) << "the clip plays its kept 2 s";

    // The photo's slide: one grey all over the middle, the grey of the kept half and not of the
    // half cut off. Uncropped, the halves would meet there; unturned, they would lie side by side.
    const QImage frame = frameOfMovie(movie, 1.0, out.file("photo.png"));
    ASSERT_FALSE(frame.isNull());
    const QPoint centre(frame.width() / 2, frame.height() / 2);
    const int dx = frame.width() / 8;
    const int dy = frame.height() / 8;
    for (const QPoint offset : {QPoint(0, 0), QPoint(-dx, 0), QPoint(dx, 0), QPoint(0, -dy), QPoint(0, dy)}) {
        const QColor c = frame.pixelColor(centre + offset);
        EXPECT_LT(std::abs(c.red() - kept.red()), std::abs(c.red() - cut.red()))
            << offset.x() << "," << offset.y() << ": " << c.name().toStdString() << " kept "
            << kept.name().toStdString() << " cut " << cut.name().toStdString();
        EXPECT_LT(std::abs(c.red() - c.blue()), 20) << "grey";
    }
}

} // namespace

namespace {

// The root mean square of the movie's sound (mono, 8000 a second) from seconds to seconds.
double levelOf(const QByteArray &samples, double from, double to)
{
    const auto *data = reinterpret_cast<const qint16 *>(samples.constData());
    const qsizetype count = samples.size() / 2;
    double sum = 0;
    int n = 0;
    for (qsizetype i = qsizetype(from * 8000); i < qsizetype(to * 8000) && i < count; ++i, ++n)
        sum += double(data[i]) * data[i];
    return n ? std::sqrt(sum / n) : 0.0;
}

// Where the image shows pure green, as fractions of its width and height; none without any.
std::optional<QPointF> greenPlace(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    QPointF sum;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.green() > 180 && c.red() < 90 && c.blue() < 90) {
                sum += QPointF(x, y);
                ++count;
            }
        }
    if (count < 20)
        return std::nullopt;
    return QPointF(sum.x() / count / image.width(), sum.y() / count / image.height());
}

void clickMiddle(QWidget *view)
{
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(view->width() / 2, view->height() / 2));
}

// A title placed and coloured and a music clip trimmed and faded in their panes are saved,
// opened again and exported: the movie shows the title where the overlay put it, and the
// music's sound follows the fades.
TEST(ProjectEndToEnd, TitleAndMusicEditedInTheirPanesReachTheMovie)
{
    QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-end-to-end-editors"));
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    HLMainWndCtrl &ctrl = delegate.wCtrlMain();
    HLMainWindow *window = ctrl.window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    TestFolder media;
    TestFolder out;

    QStringList photos;
    for (int i = 0; i < 3; ++i) {
        QImage grey(160, 120, QImage::Format_RGB32);
        grey.fill(QColor(100, 100, 100));
        photos << media.file(QStringLiteral("Grey%1.png").arg(i));
        ASSERT_TRUE(MediaFixtures::writeImage(photos.last(), grey, "PNG"));
    }
    ctrl.mediaImport().p_addVideosAndImagesOutTo(photos, QString());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ctrl.mediaImport().isImporting(); }, kHangGuardMs));
    const QString music = media.file(QStringLiteral("Music.wav"));
    ASSERT_TRUE(MediaFixtures::makeTone(music, 4.0, 44100, 2, {"-c:a", "pcm_s16le"}));
    {
        QSignalSpy imported(&ctrl.audioImport(), &HLAudioImport::finished);
        ctrl.audioImport().p_addAudios({music}, [](HLAudiolineItem &line, const auto &items) { line.add(items); });
        ASSERT_TRUE(imported.wait(kHangGuardMs));
    }
    QTest::mouseClick(window->btnAddText, Qt::LeftButton);
    ASSERT_EQ(ctrl.oTextline()->aryItems().size(), 1);
    ctrl.oLastOperateQueue()->wait();
    QCoreApplication::processEvents();

    // The title: green, without shadow, dragged up and to the left over the preview.
    clickMiddle(ctrl.vCtrlTextline()->aryTextItemViews().value(0));
    QTest::mouseClick(window->btnEdit, Qt::LeftButton);
    HLTextEditVCtrl &titlePane = *ctrl.vCtrlTextEdit();
    ASSERT_TRUE(titlePane.isNowEditing());
    titlePane.clwlFontColor->chooseColor(QColor(0, 255, 0));
    QTest::mouseClick(titlePane.btnStaticShadow, Qt::LeftButton, {}, QPoint(5, 5));
    HLTextDisplayView *overlay = titlePane.vTextDisplay();
    const QPoint centre = overlay->rect().center();
    QTest::mousePress(overlay, Qt::LeftButton, {}, centre);
    QTest::mouseMove(overlay, centre + QPoint(-overlay->width() / 5, -overlay->height() / 4));
    QTest::mouseRelease(overlay, Qt::LeftButton, {}, centre + QPoint(-overlay->width() / 5, -overlay->height() / 4));
    const std::optional<QPointF> placed = greenPlace(overlay->grab().toImage());
    ASSERT_TRUE(placed);
    QTest::mouseClick(titlePane.btnDone, Qt::LeftButton);

    // The music: kept 2 s, no fade in, a 1-s fade out.
    clickMiddle(ctrl.vCtrlAudioline()->aryAudioItemViews().value(0));
    QTest::mouseClick(window->btnEdit, Qt::LeftButton);
    HLAudioEditVCtrl &musicPane = *ctrl.vCtrlAudioEdit();
    ASSERT_TRUE(musicPane.isNowEditing());
    typeInto(musicPane.edtTrimEnd, QStringLiteral("2"));
    musicPane.ppBtnFadeIn->setFocus();
    QTest::keyClick(musicPane.ppBtnFadeIn, Qt::Key_Home);
    musicPane.ppBtnFadeOut->setFocus();
    QTest::keyClick(musicPane.ppBtnFadeOut, Qt::Key_Home);
    QTest::keyClick(musicPane.ppBtnFadeOut, Qt::Key_Down);
    QTest::mouseClick(musicPane.btnDone, Qt::LeftButton);
    ASSERT_FLOAT_EQ(ctrl.oAudioline()->aryItems()[0]->dPlayMax(), 2.0f);
    EXPECT_TRUE(window->isWindowModified());

    const QString package = out.file(QStringLiteral("Edited.qlbyprj"));
    {
        QSignalSpy saved(&ctrl.document(), &HLProjectDocument::saveFinished);
        ctrl.document().p_saveProjectTo(package);
        ASSERT_TRUE(saved.wait(kHangGuardMs));
        ASSERT_TRUE(saved.first().first().toBool());
    }
    {
        QSignalSpy opened(&ctrl.document(), &HLProjectDocument::openFinished);
        ctrl.document().p_openProjectFrom(package);
        ASSERT_TRUE(opened.wait(kHangGuardMs));
        ASSERT_TRUE(opened.first().first().toBool());
    }
    ASSERT_EQ(ctrl.oTextline()->aryItems().size(), 1);
    const auto title = ctrl.oTextline()->aryItems()[0];
    EXPECT_EQ(title->oTextEdit()->clFont(), QColor(0, 255, 0));
    ASSERT_GT(ctrl.oTimeline()->dDuration(), 6.0f); // the closing fade stays clear of the first 2.3 s

    const QString movie = exportMovie(delegate, out.file(QStringLiteral("Edited")));
    ASSERT_FALSE(movie.isEmpty());

    // The title where the overlay showed it, as fractions of the picture.
    const double titleTime = (title->dPlayMin() + title->dPlayMax()) / 2;
    const std::optional<QPointF> shown = greenPlace(frameOfMovie(movie, titleTime, out.file("frame.png")));
    ASSERT_TRUE(shown);
    EXPECT_NEAR(shown->x(), placed->x(), 0.04);
    EXPECT_NEAR(shown->y(), placed->y(), 0.04);

    // The sound: at full level from the start (no fade in), fading over the kept part's last
    // second, and full again as the line repeats it.
    const QString raw = out.file(QStringLiteral("sound.raw"));
    ChildProcess::run(QStringLiteral("ffmpeg"),
                      {"-v", "error", "-y", "-i", movie, "-vn", "-ac", "1", "-ar", "8000", "-f", "s16le", raw});
    QFile file(raw);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray samples = file.readAll();
    const double full = levelOf(samples, 0.4, 0.8);
    ASSERT_GT(full, 1000);
    EXPECT_GT(levelOf(samples, 0.05, 0.25), full * 0.7);
    EXPECT_LT(levelOf(samples, 1.82, 1.96), full * 0.35);
    EXPECT_GT(levelOf(samples, 2.1, 2.3), full * 0.7);
}

} // namespace
