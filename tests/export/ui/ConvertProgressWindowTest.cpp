#include "export/VETimelineExportMovieConverter.h"
#include "export/ui/ConvertProgressFlow.h"
#include "export/ui/ConvertProgressWindowController.h"
#include "ExportWindowTestMovie.h"
#include "Platform/Foundation/HLJob.h"
#include "tests/support/TestFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>

namespace {

using namespace std::chrono_literals;

// A flow whose progress the test sets; it ends when the test lets it.
class SteppedFlow : public ConvertProgressFlow
{
public:
    std::atomic<double> shown{0};
    std::atomic<bool> release{false};
    std::atomic<bool> burning{false};

    bool run(HLJobState &state) override
    {
        while (!release && !state.isCancelled())
            std::this_thread::sleep_for(1ms);
        return !state.isCancelled();
    }
    double progress(const HLJobState &) const override { return shown; }
    void cancel() override {}
    bool isBurning() const override { return burning; }
    void finish(ConvertProgressWindowController &, const HLJobState &state) override { outcome = state.outcome(); }
    HLJobState::Outcome outcome = HLJobState::Outcome::Running;
};

TEST(ConvertProgressWindow, ShowsClampedProgressAndTheStatusOfTheStep)
{
    ConvertProgressWindowController ctrl;
    auto flow = std::make_shared<SteppedFlow>();
    struct Step
    {
        double progress;
        bool burning;
        const char *percent;
        int bar;
        const char *status;
    };
    const Step steps[] = {{0.25, false, "25%", 250, "Convert Video ..."},
                          {1.2, false, "99%", 990, "Convert Video ..."},
                          {-0.5, true, "0%", 0, "Burn DVD ..."}};
    QTimer::singleShot(0, [&] {
        for (const Step &s : steps) {
            flow->shown = s.progress;
            flow->burning = s.burning;
            ctrl.updateBurnProgress();
            EXPECT_EQ(ctrl.convertVideoProgressLabel()->text(), QString::fromLatin1(s.percent));
            EXPECT_EQ(ctrl.progressIndicator()->value(), s.bar);
            EXPECT_EQ(ctrl.convertVideoStatus()->text(), QString::fromLatin1(s.status));
        }
        flow->burning = false;
        ctrl.setCustomProgressText(QStringLiteral("Exporting to Video …"));
        ctrl.updateConvertVideoStatus();
        EXPECT_EQ(ctrl.convertVideoStatus()->text(), "Exporting to Video …");
        flow->release = true;
    });
    ctrl.runFlow(flow);
    EXPECT_EQ(flow->outcome, HLJobState::Outcome::Succeeded);
    EXPECT_EQ(ctrl.convertVideoProgressLabel()->text(), "100%");
    EXPECT_FALSE(ctrl.window()->isVisible());
}

TEST(ConvertProgressWindow, EscapeCancelsInsteadOfClosing)
{
    ConvertProgressWindowController ctrl;
    auto flow = std::make_shared<SteppedFlow>();
    QTimer::singleShot(0, [&] { QTest::keyClick(ctrl.window(), Qt::Key_Escape); });
    ctrl.runFlow(flow);
    EXPECT_TRUE(ctrl.isCancelled());
    EXPECT_EQ(flow->outcome, HLJobState::Outcome::Cancelled);
}

// A conversion cancelled half-way: nothing new at the target, an older file there untouched,
// nothing revealed.
TEST(ConvertProgressWindow, CancelHalfWayLeavesTheTargetAsItWas)
{
    TestFolder folder;
    for (const bool olderFile : {false, true}) {
        const QString target = folder.path() + (olderFile ? "/older.mp4" : "/fresh.mp4");
        const QDateTime oldDate = QDateTime::currentDateTimeUtc().addDays(-3);
        if (olderFile) {
            QFile old(target);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write("an older movie");
            old.flush();
            old.setFileTime(oldDate, QFileDevice::FileModificationTime);
        }
        ConvertProgressWindowController ctrl;
        QStringList revealed;
        ctrl.setRevealer([&](const QString &path) { revealed << path; });
        auto converter = std::make_shared<VETimelineExportMovieConverter>();
        converter->setTimeline(windowTestMovie(6, QSizeF(160, 120), 15ms));
        converter->setPath(target);
        double cancelledAt = -1;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (cancelledAt < 0 && ctrl.progress() >= 0.4) {
                cancelledAt = ctrl.progress();
                QTest::mouseClick(ctrl.cancelButton(), Qt::LeftButton);
            }
        });
        watch.start(5);
        ctrl.convertVideoWithConverter(converter);
        watch.stop();
        EXPECT_GE(cancelledAt, 0.4) << olderFile;
        EXPECT_LT(cancelledAt, 0.99) << olderFile;
        EXPECT_TRUE(converter->isCancelled());
        EXPECT_TRUE(revealed.isEmpty());
        if (olderFile) {
            QFile old(target);
            ASSERT_TRUE(old.open(QIODevice::ReadOnly));
            EXPECT_EQ(old.readAll(), "an older movie");
            EXPECT_EQ(QFileInfo(target).lastModified().toUTC().toSecsSinceEpoch(), oldDate.toSecsSinceEpoch());
        } else {
            EXPECT_FALSE(QFileInfo::exists(target));
        }
        // No half-written file beside the target either.
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files).size(), olderFile ? 1 : 0);
    }
}

// A shown result is followed by the rate prompt's entry; nothing there, neither happens.
TEST(ConvertProgressWindow, ARevealedResultIsFollowedByTheRatePrompt)
{
    TestFolder folder;
    const QString movie = folder.path() + "/movie.mp4";
    QFile file(movie);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ConvertProgressWindowController ctrl;
    QStringList steps;
    ctrl.setRevealer([&](const QString &path) { steps << "reveal " + path; });
    ConvertProgressWindowController::setRatePrompt([&] { steps << "rate"; });
    ctrl.selectOutputDVDFile(folder.path() + "/missing.mp4");
    EXPECT_TRUE(steps.isEmpty());
    ctrl.selectOutputDVDFile(movie);
    ConvertProgressWindowController::setRatePrompt({});
    EXPECT_EQ(steps, (QStringList{"reveal " + movie, "rate"}));
}

// A failed conversion says why and reveals nothing (the older file stays as it was).
TEST(ConvertProgressWindow, FailureShowsItsReasonAndRevealsNothing)
{
    TestFolder folder;
    const QString target = folder.path() + "/movie.mp4";
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("older");
    old.close();
    ConvertProgressWindowController ctrl;
    QStringList revealed;
    ctrl.setRevealer([&](const QString &path) { revealed << path; });
    auto converter = std::make_shared<VETimelineExportMovieConverter>();
    converter->setTimeline(windowTestMovie(1));
    ZKFFMovieFileOutputFormat format = zk_get_default_movie_file_ouput_format();
    format.video_codec = zk_get_codec_id_by_name(QStringLiteral("no such codec"));
    converter->setMovieOutputFormat(format);
    converter->setPath(target);
    QString alertText;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            alertText = box->informativeText();
            box->accept();
        }
    });
    answer.start(10);
    ctrl.convertVideoWithConverter(converter);
    answer.stop();
    EXPECT_FALSE(alertText.isEmpty());
    EXPECT_EQ(alertText, converter->errorString());
    EXPECT_TRUE(revealed.isEmpty());
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), "older");
}

} // namespace
