#include "app/AppDelegate.h"

#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLProjectDocument.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "export/VEExportHandOff.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "export/ui/ExportWndCtrl.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/SampleProject.h"
#include "tests/support/TestProject.h"

#include <QComboBox>
#include <QToolButton>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr int kHangGuardMs = 120000;
constexpr int kFrameRate = 15;

void choose(QComboBox *box, const QString &title)
{
    const int index = box->findText(title);
    ASSERT_GE(index, 0) << title.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void typeInto(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// What ffprobe says of the movie: one line per stream, "type|codec|frames|duration".
QStringList probe(const QString &path)
{
    const ChildProcess run = ChildProcess::run(
        QStringLiteral("ffprobe"),
        {"-v", "error", "-count_frames", "-show_entries", "stream=codec_type,codec_name,nb_read_frames,duration", "-of",
         "csv=p=0", path},
        true);
    return QString::fromUtf8(run.output).split('\n', Qt::SkipEmptyParts);
}

QImage frameOfMovie(const QString &path, double seconds, const QString &png)
{
    ChildProcess::run(QStringLiteral("ffmpeg"),
                      {"-v", "error", "-y", "-ss", QString::number(seconds), "-i", path, "-frames:v", "1", png});
    return QImage(png).convertToFormat(QImage::Format_ARGB32);
}

bool near(QColor a, QColor b, int tolerance)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

// From an edited, never-saved project to a movie: save, new, open the same project, export
// it through the export window as H.264 and AAC in MP4.
TEST(ProjectEndToEnd, SavedProjectReopensAndExportsAsAMovie)
{
    QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-end-to-end"));
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    HLMainWndCtrl &ctrl = delegate.wCtrlMain();
    HLProjectDocument &document = ctrl.document();

    TestFolder media;
    TestFolder out;
    TestProject::setUpPools(media);
    const HLProjectContents made = SampleProject::make(media, QStringLiteral("Dissolve"));
    ASSERT_TRUE(made.timeline) << "fixtures could not be made";
    ctrl.replaceProject(made);
    ctrl.p_documentEdited();
    const HLProjectContents expected = SampleProject::persistentCopy(made);

    QSignalSpy saved(&document, &HLProjectDocument::saveFinished);
    document.setSavePanel([&](QWidget *) { return out.file("Holiday"); });
    document.p_save();
    ASSERT_TRUE(saved.wait(kHangGuardMs));
    ASSERT_TRUE(saved.first().first().toBool());
    document.p_new();
    ASSERT_TRUE(ctrl.oTimeline()->mtAryItems().isEmpty());
    QSignalSpy opened(&document, &HLProjectDocument::openFinished);
    document.setOpenPanel([&](QWidget *) { return out.file("Holiday.qlbyprj"); });
    document.p_open();
    ASSERT_TRUE(opened.wait(kHangGuardMs));
    ASSERT_TRUE(SampleProject::sameProject(ctrl.contents(), expected));

    ExportWndCtrl &exporter = delegate.wCtrlExport();
    exporter.progressCtrl().setRevealer([](const QString &) {});
    exporter.setSavePanel([&](QWidget *, const QString &) { return out.file("Holiday"); });
    QTimer::singleShot(0, [&] {
        choose(exporter.formatBtn(), QStringLiteral("MP4"));
        choose(exporter.codecBtn(), QStringLiteral("h264"));
        choose(exporter.audioCodecBtn(), QStringLiteral("aac"));
        typeInto(exporter.videoFramerateLabel(), QString::number(kFrameRate));
        QTest::mouseClick(exporter.exportButton(), Qt::LeftButton);
    });
    QTest::mouseClick(ctrl.window()->btnExport, Qt::LeftButton);
    const QString movie = out.file("Holiday.mp4");
    ASSERT_TRUE(QFileInfo(movie).isFile());

    const double duration = ctrl.oTimeline()->dDuration();
    const QStringList streams = probe(movie);
    ASSERT_EQ(streams.size(), 2) << streams.join(" / ").toStdString();
    const QStringList video = streams.filter(QRegularExpression("^h264,")).value(0).split(',');
    const QStringList audio = streams.filter(QRegularExpression("^aac,")).value(0).split(',');
    ASSERT_EQ(video.size(), 4) << streams.join(" / ").toStdString();
    ASSERT_EQ(audio.size(), 4) << streams.join(" / ").toStdString();
    EXPECT_EQ(video[1], "video");
    EXPECT_EQ(audio[1], "audio");
    EXPECT_NEAR(video[2].toDouble(), duration, 1.0 / kFrameRate);
    EXPECT_NEAR(video[3].toDouble(), duration * kFrameRate, 1.0);

    // The first title over the first slide, where the program's own renderers put it.
    const float time = 1.0f;
    const QImage frame = frameOfMovie(movie, time, out.file("frame.png"));
    ASSERT_FALSE(frame.isNull());
    ctrl.gate().stopPreview();
    const QImage slide = ctrl.oTimelineRender()->renderExport(time);
    const QImage titles = ctrl.oTextlineRender()->renderExport(time);
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
