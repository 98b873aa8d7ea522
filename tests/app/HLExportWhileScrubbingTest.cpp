// A movie and a DVD image made from the main window on a machine of two threads, while the
// preview is scrubbed and played all along: both come out whole, and the play head stays
// where the last scrub put it. Made to be run under ThreadSanitizer (scripts/test --tsan) too:
// the export and the disc render on their own copy of the project beside the preview's
// renders on the live one.
#include "app/AppDelegate.h"
#include "dvd/ui/ExportDVDWndCtrl.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "export/ui/ExportWndCtrl.h"
#include "Platform/Foundation/HLThreads.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Control/HLMainWindow.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLPlayLoop.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "tests/dvd/DVDReadSummary.h"
#include "tests/dvd/ui/DVDWindowControls.h"
#include "tests/support/SampleProject.h"
#include "tests/support/TestProject.h"
#include "tests/support/WindowAnswers.h"

#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>

namespace {

constexpr int kHangGuardMs = 1800000; // only stops a hung run; ThreadSanitizer is slow
constexpr quint64 kSecond = 1'000'000'000; // machine clock ticks

// While a modal window of the export is up, each turn of the event loop moves the main
// window's play head as a user's drags and plays would: a press on the progress line at the
// next place, and every fourth turn a play of one tick of the driven clock.
class Scrubber
{
public:
    explicit Scrubber(HLMainWndCtrl &ctrl) : m_ctrl(ctrl)
    {
        ctrl.playLoop().setClock([this] { return m_now; });
        QObject::connect(&m_timer, &QTimer::timeout, [this] { p_scrub(); });
        m_timer.start(0);
    }
    ~Scrubber() { m_ctrl.p_stopPlaying(); }

    int scrubs() const { return m_scrubs; }
    float lastRatio() const { return m_ratio; }

private:
    void p_scrub()
    {
        if (!QApplication::activeModalWidget())
            return;
        m_ratio = float((m_scrubs * 7) % 10) / 10;
        if (m_scrubs % 4 == 3) {
            m_ctrl.p_startPlaying();
            m_now += kSecond / 30;
            m_ctrl.playLoop().p_playFeedback();
            m_ctrl.p_stopPlaying();
        }
        m_ctrl.updateTrimPlayRatio(m_ratio);
        ++m_scrubs;
    }

    HLMainWndCtrl &m_ctrl;
    QTimer m_timer;
    quint64 m_now = 1000 * kSecond;
    int m_scrubs = 0;
    float m_ratio = 0;
};

// The export window's choices once it is up: on its tab, then fill (which starts the work).
class ExportWindowAnswer
{
public:
    ExportWindowAnswer(ExportWndCtrl &exporter, std::function<void()> fill)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, &exporter, fill] {
            if (QApplication::activeModalWidget() != exporter.window() || !exporter.window()->isVisible())
                return;
            m_timer.stop();
            fill();
        });
        m_timer.start(5);
    }
    bool answered() const { return !m_timer.isActive(); }

private:
    QTimer m_timer;
};

TEST(ExportWhileScrubbing, AMovieAndADiscImageAreMadeWhileThePreviewIsScrubbed)
{
    // Read once, on first use: this program's one test sets it first.
    qputenv("HL_THREADS", "2");
    ASSERT_EQ(HLThreads::count(), 2);

    QCoreApplication::setApplicationName(QStringLiteral("slideshow-test-export-while-scrubbing"));
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    HLMainWndCtrl &ctrl = delegate.wCtrlMain();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ctrl.window()));
    TestFolder media;
    TestFolder out;
    TestProject::setUpPools(media);
    const HLProjectContents project = SampleProject::make(media, QStringLiteral("Dissolve"));
    ASSERT_TRUE(project.timeline) << "fixtures could not be made";
    ctrl.replaceProject(project);
    const float duration = ctrl.oTimeline()->dDuration();
    ASSERT_GT(duration, 4);

    ExportWndCtrl &exporter = delegate.wCtrlExport();
    QStringList revealed;
    exporter.progressCtrl().setRevealer([&revealed](const QString &path) { revealed << path; });

    // The movie: MP4, H.264 and AAC at 15 frames a second.
    {
        PanelAnswer panel({out.file("Scrubbed")});
        ExportWindowAnswer choices(exporter, [&] {
            exporter.typeClickAction(QStringLiteral("Export to Video"));
            choose(control<QComboBox>(exporter, "formatBtn"), QStringLiteral("MP4"));
            choose(control<QComboBox>(exporter, "codecBtn"), QStringLiteral("h264"));
            choose(control<QComboBox>(exporter, "audioCodecBtn"), QStringLiteral("aac"));
            typeInto(control<QLineEdit>(exporter, "videoFramerateLabel"), QStringLiteral("15"));
            QTest::mouseClick(control<QPushButton>(exporter, "exportButton"), Qt::LeftButton);
        });
        Scrubber scrubber(ctrl);
        QTest::mouseClick(ctrl.window()->btnExport, Qt::LeftButton);
        EXPECT_TRUE(choices.answered());
        EXPECT_TRUE(panel.answered());
        // The play head went on moving while the movie was made, and stays where it was put.
        EXPECT_GT(scrubber.scrubs(), 0);
        EXPECT_NEAR(ctrl.dNowTime(), scrubber.lastRatio() * duration, 0.1);
    }
    const QString movie = out.file("Scrubbed.mp4");
    ASSERT_EQ(revealed, QStringList{movie});
    const QStringList streams = probe(movie);
    ASSERT_EQ(streams.size(), 2) << streams.join(" / ").toStdString();
    const QStringList video = streams.filter(QRegularExpression("^h264,")).value(0).split(',');
    ASSERT_EQ(video.size(), 4) << streams.join(" / ").toStdString();
    EXPECT_NEAR(video[2].toDouble(), duration, 1.0 / 15);
    EXPECT_NEAR(video[3].toDouble(), video[2].toDouble() * 15, 0.01);

    // The disc image, from the DVD tab of the same window.
    revealed.clear();
    {
        PanelAnswer panel({out.file("Scrubbed.iso")});
        ExportWindowAnswer choices(exporter, [&] {
            exporter.typeClickAction(QStringLiteral("Export to DVD"));
            QWidget *tab = exporter.vExportDVD();
            namedControl<QComboBox>(tab, "exportDvdTypeBtn")->setCurrentIndex(ExportDVDWndCtrl::BurnToISO);
            namedControl<QPushButton>(tab, "dvdStartBurnBtn")->click();
        });
        Scrubber scrubber(ctrl);
        QTest::mouseClick(ctrl.window()->btnExport, Qt::LeftButton);
        EXPECT_TRUE(choices.answered());
        EXPECT_TRUE(panel.answered());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !revealed.isEmpty(); }, kHangGuardMs));
        EXPECT_GT(scrubber.scrubs(), 0);
        EXPECT_NEAR(ctrl.dNowTime(), scrubber.lastRatio() * duration, 0.1);
    }
    const QString image = out.file("Scrubbed.iso");
    ASSERT_EQ(revealed, QStringList{image});
    const DVDReadSummary disc = DVDReadSummary::of(image);
    ASSERT_TRUE(disc.opened);
    EXPECT_EQ(disc.titleCount, 1);
    EXPECT_TRUE(disc.hasMenu);
    ctrl.oLastOperateQueue()->wait();
}

} // namespace
