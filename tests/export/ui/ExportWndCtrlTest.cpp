#include "export/ExportFormatSettings.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "export/ui/ExportWndCtrl.h"
#include "export/ui/TemplateViewItem.h"
#include "ExportWindowTestMovie.h"
#include "tests/support/NamedControl.h"
#include "tests/support/TestFolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QStringList itemsOf(const QComboBox *box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items << box->itemText(i);
    return items;
}

void typeInto(QLineEdit *field, const QString &text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// Runs body once the export window is up, inside its modal loop; closes it afterwards
// unless body asked for an export.
void whileOpen(ExportWndCtrl &ctrl, const std::shared_ptr<VETimelineExportMovie> &movie,
               const std::function<void()> &body)
{
    QTimer::singleShot(0, [&] {
        body();
        if (ctrl.window()->isVisible())
            ctrl.window()->done(0);
    });
    ctrl.exportMovie(movie);
}

TEST(ExportWndCtrl, EachContainerOffersItsCodecsInTableOrder)
{
    ExportWndCtrl ctrl;
    const std::pair<const char *, QStringList> video[] = {
        {"MP4", {"h264", "mpeg4"}}, {"MOV", {"h264", "mpeg4"}}, {"M4V", {"h264", "mpeg4"}},
        {"MPG", {"mpeg2", "mpeg1"}}, {"DV", {"dv"}},           {"WMV", {"wmv2"}},
        {"TS", {"mpeg2"}},           {"ASF", {"msmpegv3"}},    {"MKV", {"h264", "mp4"}},
        {"FLV", {"flv", "h264"}}};
    const QStringList audio[] = {{"aac"}, {"aac"}, {"aac"}, {"mpeg audio"}, {"pcm audio"}, {"wma2", "wma1"},
                                 {"mpegaudio"}, {"wma2", "wma1"}, {"mp3", "ac3", "aac"}, {"mp3"}};
    ASSERT_EQ(control<QComboBox>(ctrl, "formatBtn")->count(), 10);
    for (int i = 0; i < 10; ++i) {
        choose(control<QComboBox>(ctrl, "formatBtn"), QString::fromLatin1(video[i].first));
        EXPECT_EQ(ctrl.formatName(), QString::fromLatin1(video[i].first).toLower());
        EXPECT_EQ(itemsOf(control<QComboBox>(ctrl, "codecBtn")), video[i].second) << video[i].first;
        EXPECT_EQ(itemsOf(control<QComboBox>(ctrl, "audioCodecBtn")), audio[i]) << video[i].first;
    }
}

TEST(ExportWndCtrl, LabelsAndEstimateFollowTheControls)
{
    ExportWndCtrl ctrl;
    whileOpen(ctrl, windowTestMovie(60, QSizeF(1280, 960)), [&] {
        EXPECT_EQ(control<QLabel>(ctrl, "exportVideoLengthLabel")->text(), "00:01:00");
        EXPECT_EQ(control<QLabel>(ctrl, "resolutionLabel")->text(), "1280*960");
        EXPECT_EQ(control<QLineEdit>(ctrl, "videoBitrateLabel")->text(), "10000");
        EXPECT_EQ(control<QLabel>(ctrl, "exportVideoSizeLabel")->text(), "75.0 MB");
        control<QSlider>(ctrl, "videoBitrateBtn")->setValue(2000000);
        EXPECT_EQ(control<QLineEdit>(ctrl, "videoBitrateLabel")->text(), "2000");
        EXPECT_EQ(control<QLabel>(ctrl, "exportVideoSizeLabel")->text(), "15.0 MB");
        // DV writes its standard's frame at its own bit rate: the fields say so.
        choose(control<QComboBox>(ctrl, "formatBtn"), QStringLiteral("DV"));
        EXPECT_EQ(control<QLabel>(ctrl, "resolutionLabel")->text(), "720*480");
        EXPECT_EQ(control<QLineEdit>(ctrl, "videoBitrateLabel")->text(), "25000");
        EXPECT_EQ(control<QLabel>(ctrl, "exportVideoSizeLabel")->text(), "187.0 MB");
        EXPECT_FALSE(control<QSlider>(ctrl, "videoBitrateBtn")->isEnabled());
        // and its sound at 48 kHz, whatever the pop-up held; the choice comes back after.
        EXPECT_FALSE(control<QComboBox>(ctrl, "audioSampleBtn")->isEnabled());
        EXPECT_EQ(control<QComboBox>(ctrl, "audioSampleBtn")->placeholderText(), "48000 Hz");
        EXPECT_EQ(control<QComboBox>(ctrl, "audioSampleBtn")->currentIndex(), -1);
        choose(control<QComboBox>(ctrl, "formatBtn"), QStringLiteral("MKV"));
        EXPECT_EQ(control<QLabel>(ctrl, "resolutionLabel")->text(), "1280*960");
        EXPECT_EQ(control<QLineEdit>(ctrl, "videoBitrateLabel")->text(), "2000");
        EXPECT_TRUE(control<QSlider>(ctrl, "videoBitrateBtn")->isEnabled());
        EXPECT_TRUE(control<QComboBox>(ctrl, "audioSampleBtn")->isEnabled());
        EXPECT_EQ(control<QComboBox>(ctrl, "audioSampleBtn")->currentText(), "44100 Hz");
    });
    EXPECT_EQ(ctrl.timeline_movie(), nullptr);
}

TEST(ExportWndCtrl, TypedValuesAreCheckedAndShownAsUsed)
{
    ExportWndCtrl ctrl;
    whileOpen(ctrl, windowTestMovie(10), [&] {
        const std::pair<const char *, const char *> rates[] = {
            {"12", "15"}, {"75", "60"}, {"25", "25"}, {"abc", "25"}, {"-5", "15"}, {"23.97", "23.97"}, {"27.6", "27"}};
        for (const auto &[typed, shown] : rates) {
            typeInto(control<QLineEdit>(ctrl, "videoFramerateLabel"), QString::fromLatin1(typed));
            EXPECT_EQ(control<QLineEdit>(ctrl, "videoFramerateLabel")->text(), QString::fromLatin1(shown)) << typed;
        }
        typeInto(control<QLineEdit>(ctrl, "videoFramerateLabel"), QStringLiteral("23.97"));
        EXPECT_EQ(ctrl.exportOutputVideoFormat().framerate, 24000);
        EXPECT_EQ(ctrl.exportOutputVideoFormat().frameTime, 1001);

        const std::pair<const char *, int> bitrates[] = {
            {"5000", 5000000}, {"50", 5000000}, {"999999", 5000000}, {"x", 5000000}, {"0", 5000000}, {"400", 400000}};
        for (const auto &[typed, slider] : bitrates) {
            typeInto(control<QLineEdit>(ctrl, "videoBitrateLabel"), QString::fromLatin1(typed));
            EXPECT_EQ(control<QSlider>(ctrl, "videoBitrateBtn")->value(), slider) << typed;
            EXPECT_EQ(control<QLineEdit>(ctrl, "videoBitrateLabel")->text(), QString::number(slider / 1000)) << typed;
        }
        // MPEG-1 takes only its standard's rates: 27 becomes 25.
        choose(control<QComboBox>(ctrl, "formatBtn"), QStringLiteral("MPG"));
        choose(control<QComboBox>(ctrl, "codecBtn"), QStringLiteral("mpeg1"));
        typeInto(control<QLineEdit>(ctrl, "videoFramerateLabel"), QStringLiteral("27"));
        EXPECT_EQ(control<QLineEdit>(ctrl, "videoFramerateLabel")->text(), "25");
    });
}

TEST(ExportWndCtrl, DvdTabIsShownOnlyWithAView)
{
    ExportWndCtrl ctrl;
    EXPECT_TRUE(control<TemplateViewItem>(ctrl, "templateCtrV2")->isHidden());
    std::shared_ptr<VETimelineExportMovie> told;
    auto *page = new QLabel(QStringLiteral("DVD"));
    ctrl.setDvdExportView(page, [&](const std::shared_ptr<VETimelineExportMovie> &movie) { told = movie; });
    const auto movie = windowTestMovie(4);
    whileOpen(ctrl, movie, [&] {
        EXPECT_TRUE(control<TemplateViewItem>(ctrl, "templateCtrV2")->isVisible());
        QTest::mouseClick(control<TemplateViewItem>(ctrl, "templateCtrV2"), Qt::LeftButton);
        EXPECT_TRUE(control<TemplateViewItem>(ctrl, "templateCtrV2")->isSelect());
        EXPECT_FALSE(control<TemplateViewItem>(ctrl, "templateCtrV1")->isSelect());
        EXPECT_TRUE(page->isVisible());
        EXPECT_FALSE(control<QWidget>(ctrl, "vExportVideo")->isVisible());
        QTest::mouseClick(control<TemplateViewItem>(ctrl, "templateCtrV1"), Qt::LeftButton);
        EXPECT_TRUE(control<QWidget>(ctrl, "vExportVideo")->isVisible());
        EXPECT_FALSE(page->isVisible());
    });
    EXPECT_EQ(told, movie);
    ctrl.setDvdExportView(nullptr);
    EXPECT_TRUE(control<TemplateViewItem>(ctrl, "templateCtrV2")->isHidden());
}

struct ExportCase
{
    const char *format;
    const char *videoCodec;
    const char *audioCodec;
    const char *framerate;
    QString probedVideo, probedAudio, probedRate;
    int width, height;
};

// Exports through the windows: the choices, the Export button, the file, the progress window.
// The save panel proposes the project's name with the container's extension.
TEST(ExportWndCtrl, SavePanelProposesTheProjectsName)
{
    const struct
    {
        const char *project;
        const char *format;
        const char *proposed;
    } cases[] = {
        {"MyShow", "MP4", "MyShow.mp4"},
        {"Trip 2019", "MKV", "Trip 2019.mkv"},
        {"", "MP4", "Untitled.mp4"},
    };
    for (const auto &c : cases) {
        ExportWndCtrl ctrl;
        ctrl.setStrProjectName(QString::fromUtf8(c.project));
        QStringList proposed;
        ctrl.setSavePanel([&](QWidget *, const QString &, const QString &fileName) {
            proposed << fileName;
            return QString(); // cancelled
        });
        whileOpen(ctrl, windowTestMovie(1), [&] {
            choose(control<QComboBox>(ctrl, "formatBtn"), QString::fromLatin1(c.format));
            control<QPushButton>(ctrl, "exportButton")->click();
        });
        EXPECT_EQ(proposed, QStringList{QString::fromUtf8(c.proposed)}) << c.project;
    }
}

TEST(ExportWndCtrl, ExportThroughTheWindowsWritesTheChosenMovie)
{
    const ExportCase cases[] = {
        {"MP4", "h264", "aac", "15", "h264", "aac", "15/1", 160, 120},
        {"MPG", "mpeg2", "mpeg audio", "25", "mpeg2video", "mp2", "25/1", 160, 120},
        {"DV", "dv", "pcm audio", "29.97", "dvvideo", "pcm_s16le", "30000/1001", 720, 480},
    };
    TestFolder folder;
    for (const ExportCase &c : cases) {
        ExportWndCtrl ctrl;
        QStringList revealed;
        ctrl.progressCtrl().setRevealer([&](const QString &path) { revealed << path; });
        const QString target = folder.path() + QStringLiteral("/movie-%1").arg(QString::fromLatin1(c.format));
        ctrl.setSavePanel([&](QWidget *, const QString &container, const QString &) {
            EXPECT_EQ(container, QString::fromLatin1(c.format).toLower());
            return target;
        });
        QStringList shown;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const QString text = ctrl.progressCtrl().convertVideoProgressLabel()->text();
            if (ctrl.progressCtrl().window()->isVisible() && (shown.isEmpty() || shown.last() != text))
                shown << text;
        });
        watch.start(5);
        QTimer::singleShot(0, [&] {
            choose(control<QComboBox>(ctrl, "formatBtn"), QString::fromLatin1(c.format));
            choose(control<QComboBox>(ctrl, "codecBtn"), QString::fromLatin1(c.videoCodec));
            choose(control<QComboBox>(ctrl, "audioCodecBtn"), QString::fromLatin1(c.audioCodec));
            typeInto(control<QLineEdit>(ctrl, "videoFramerateLabel"), QString::fromLatin1(c.framerate));
            typeInto(control<QLineEdit>(ctrl, "videoBitrateLabel"), QStringLiteral("800"));
            QTest::mouseClick(control<QPushButton>(ctrl, "exportButton"), Qt::LeftButton);
        });
        ctrl.exportMovie(windowTestMovie(1));
        watch.stop();

        const QString written = target + QLatin1Char('.') + QString::fromLatin1(c.format).toLower();
        EXPECT_FALSE(ctrl.progressCtrl().window()->isVisible()) << c.format;
        EXPECT_EQ(ctrl.progressCtrl().convertVideoProgressLabel()->text(), "100%") << c.format;
        EXPECT_EQ(ctrl.progressCtrl().convertVideoStatus()->text(), "Exporting to Video …");
        EXPECT_EQ(revealed, QStringList{written});
        // The percentages shown never step back.
        int last = -1;
        for (const QString &text : shown) {
            const int percent = text.chopped(1).toInt();
            EXPECT_GE(percent, last) << c.format;
            last = percent;
        }
        const auto streams = probeStreams(written);
        ASSERT_EQ(streams.size(), 2) << c.format;
        const auto &v = streams[0].value("codec_type") == "video" ? streams[0] : streams[1];
        const auto &a = streams[0].value("codec_type") == "video" ? streams[1] : streams[0];
        EXPECT_EQ(v.value("codec_name"), c.probedVideo);
        EXPECT_EQ(v.value("r_frame_rate"), c.probedRate);
        EXPECT_EQ(v.value("width").toInt(), c.width);
        EXPECT_EQ(v.value("height").toInt(), c.height);
        EXPECT_EQ(a.value("codec_name"), c.probedAudio);
    }
}

} // namespace
