#include "tests/dvd/DVDFakeDrive.h"
#include "tests/dvd/DVDTestDisc.h"

#include "dvd/BurnDVDWorkflow.h"
#include "dvd/BurnDVDWorkflowQuestions.h"
#include "dvd/DVDChapterVideo.h"
#include "dvd/DVDCustomMenu.h"
#include "dvd/DVDCustomMenuItem.h"
#include "dvd/DVDMenuLayerImageGenerator.h"
#include "dvd/DVDOutputJob.h"
#include "dvd/DVDTitleVideo.h"

#include "Frameworks/Korvane/MovieSource.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKSegmentMovie.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Trevanel/DVDBurn.h"
#include "Frameworks/Trevanel/DVDFSMake.h"
#include "Frameworks/Trevanel/DVDImageMake.h"
#include "Frameworks/Trevanel/DVDLibburnDevice.h"
#include "Frameworks/Trevanel/DVDMenu.h"
#include "Frameworks/Trevanel/DVDMenuMake.h"
#include "Frameworks/Trevanel/DVDToolProcess.h"
#include "Frameworks/Trevanel/Trevanel.h"
#include "Platform/Foundation/HLJob.h"
#include "SourceHL/Common/HLFileManager.h"
#include "tests/support/MediaFixtures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QLinearGradient>
#include <QPainter>

#include <csignal>
#include <thread>
#include <sys/resource.h>

namespace {

QStringList entriesOf(const QString &path)
{
    return QDir(path).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden);
}

// The temporary folders the DVD jobs work in hold nothing.
void expectNoTemporaries()
{
    for (const char *name : {"dvd-maker-temp", "dvd-package-temp"})
        EXPECT_TRUE(entriesOf(HLFileManager::tempFileDirectory(QString::fromLatin1(name))).isEmpty()) << name;
}

// A DVD video to put buttons over.
QString menuVideo(const TestFolder &folder)
{
    const QString path = folder.file(QStringLiteral("menu-video.mpg"));
    MediaFixtures::runFFmpeg({QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"),
                              QStringLiteral("testsrc=s=720x480:r=30000/1001:d=1"), QStringLiteral("-f"),
                              QStringLiteral("lavfi"), QStringLiteral("-i"), QStringLiteral("anullsrc=r=48000:cl=stereo"),
                              QStringLiteral("-t"), QStringLiteral("1"), QStringLiteral("-target"),
                              QStringLiteral("ntsc-dvd"), path});
    return path;
}

std::shared_ptr<DVDCustomMenu> menuWithButton(const QRectF &frame)
{
    auto menu = std::make_shared<DVDCustomMenu>();
    menu->setMenuSize(DVDMenu::menuSizeForAspectType(0));
    menu->setDuration(1.0);
    auto item = std::make_shared<DVDCustomMenuItem>();
    item->setFrame(frame);
    menu->setItems({item});
    return menu;
}

// Draws a highlight of many colours, more than a subpicture can hold.
class RainbowGenerator : public DVDMenuImageGenerator
{
public:
    using DVDMenuImageGenerator::DVDMenuImageGenerator;
    void drawDVDMenuImageSize(QPainter &painter, QSizeF size, const QString &name) override
    {
        if (name != QLatin1String("menu_highlight"))
            return;
        QLinearGradient gradient(0, 0, size.width(), 0);
        gradient.setColorAt(0, Qt::red);
        gradient.setColorAt(0.5, Qt::green);
        gradient.setColorAt(1, Qt::blue);
        painter.fillRect(QRectF(QPointF(0, 0), size), gradient);
    }
};

struct MenuMakeCase
{
    const char *name;
    QRectF button;
    bool rainbow;
    const char *reason; // empty: succeeds
};

// Limits the size of files this process and the tools it starts may write; a write past it
// fails with EFBIG instead of ending the process. The signal stays ignored afterwards: libburn
// passes it on to its writer thread, which may take it after the limit is gone.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_old;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &m_old); }

private:
    rlimit m_old{};
};

} // namespace

TEST(DVDToolFailure, MenuMakerClampsRefusesAndReportsSpumuxFailures)
{
    TestFolder folder;
    const QString video = menuVideo(folder);
    auto dvd = std::make_shared<Trevanel>();
    const MenuMakeCase cases[] = {
        {"inside", QRectF(100, 100, 200, 150), false, ""},
        {"partly off the menu: clamped", QRectF(600, -50, 400, 200), false, ""},
        {"wholly off the menu", QRectF(800, 600, 100, 100), false, "outside the menu"},
        {"too many colours", QRectF(100, 100, 200, 150), true, "spumux stopped unexpectedly"},
    };
    for (const MenuMakeCase &c : cases) {
        SCOPED_TRACE(c.name);
        const auto menu = menuWithButton(c.button);
        const QString path = folder.file(QStringLiteral("menu0.dvd"));
        QFile::remove(path);
        std::shared_ptr<DVDMenuImageGenerator> generator = std::make_shared<DVDMenuLayerImageGenerator>(menu, dvd->dvdVideoSize());
        if (c.rainbow)
            generator = std::make_shared<RainbowGenerator>(menu, dvd->dvdVideoSize());
        DVDMenuMake maker;
        maker.makeMenu(menu, dvd, path, video, folder.path(), generator);
        HLJobState state;
        const bool ok = maker.start(state);
        EXPECT_EQ(ok, QByteArray(c.reason).isEmpty()) << maker.errorString().toStdString();
        EXPECT_EQ(QFileInfo(path).isFile(), ok);
        if (!ok) {
            EXPECT_TRUE(maker.errorString().contains(QString::fromLatin1(c.reason))) << maker.errorString().toStdString();
        }
        EXPECT_EQ(entriesOf(folder.path()), QStringList({QStringLiteral("menu-video.mpg")}) + (ok ? QStringList{QStringLiteral("menu0.dvd")} : QStringList()));
    }
}

TEST(DVDToolFailure, ErrLineFailsATool_EvenWithExitCodeZero)
{
    TestFolder folder;
    const QString video = menuVideo(folder);
    // spumux exits with 0 when it cannot open a picture; only its "ERR:" line tells.
    MediaFixtures::writeBytes(folder.file(QStringLiteral("spu.xml")),
                              "<subpictures><stream><spu start=\"00:00:00.00\" highlight=\"missing.png\">"
                              "<button name=\"b0\" x0=\"10\" y0=\"10\" x1=\"40\" y1=\"40\"/></spu></stream></subpictures>");
    DVDToolProcess tool;
    DVDToolProcess::Request request;
    request.program = QStringLiteral("spumux");
    request.arguments = {QStringLiteral("-m"), QStringLiteral("dvd"), QStringLiteral("spu.xml")};
    request.workFolder = folder.path();
    request.environment = {{QStringLiteral("VIDEO_FORMAT"), QStringLiteral("NTSC")}};
    request.inputFile = video;
    request.outputFile = folder.file(QStringLiteral("out.mpg"));
    EXPECT_FALSE(tool.run(request));
    EXPECT_TRUE(tool.errorString().contains(QStringLiteral("Unable to open file missing.png")))
        << tool.errorString().toStdString();
}

TEST(DVDToolFailure, CancelEndsTheRunningTool)
{
    DVDToolProcess tool;
    DVDToolProcess::Request request;
    request.program = QStringLiteral("yes"); // prints until stopped
    int lines = 0;
    EXPECT_FALSE(tool.run(request, [&](const QString &) {
        if (++lines == 1)
            tool.cancel();
    }));
    EXPECT_EQ(tool.errorString(), QStringLiteral("Cancelled"));
}

TEST(DVDToolFailure, FolderAndImageMakersReportTheirToolsReasons)
{
    TestFolder folder;
    const auto dvd = DVDTestDisc::disc(folder, {});
    BurnDVDWorkflow workflow(folder.file(QStringLiteral("work")));
    HLJobState workflowState;
    const QString disc = folder.file(QStringLiteral("disc"));
    ASSERT_TRUE(workflow.make(dvd, disc, workflowState)) << workflowState.errorString().toStdString();

    // A work folder that holds a DVD folder already is not written into.
    const QString work = folder.file(QStringLiteral("used"));
    QDir().mkpath(work + QStringLiteral("/dvd.dvdmedia"));
    MediaFixtures::writeBytes(work + QStringLiteral("/dvd.dvdmedia/keep"), "old");
    DVDFSMake author;
    author.dvd(dvd, work);
    HLJobState authorState;
    EXPECT_FALSE(author.start(authorState));
    EXPECT_TRUE(author.errorString().contains(QStringLiteral("already there")));
    EXPECT_EQ(MediaFixtures::readBytes(work + QStringLiteral("/dvd.dvdmedia/keep")), QByteArray("old"));

    // More than 32 characters of volume name.
    DVDImageMake tooLong;
    tooLong.setInputPath(disc);
    tooLong.volume(QStringLiteral("A VOLUME NAME FAR TOO LONG FOR ANY DISC"), folder.path());
    HLJobState tooLongState;
    EXPECT_FALSE(tooLong.start(tooLongState));
    EXPECT_TRUE(tooLong.errorString().contains(QStringLiteral("too long"))) << tooLong.errorString().toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("dvd.iso"))));

    // A full disk: the image does not fit the space left.
    DVDImageMake full;
    full.setInputPath(disc);
    full.volume(QStringLiteral("FULL"), folder.path());
    bool ok = true;
    {
        const FileSizeLimit limit(64 * 1024);
        HLJobState fullState;
        ok = full.start(fullState);
    }
    EXPECT_FALSE(ok);
    EXPECT_TRUE(full.errorString().contains(QStringLiteral("genisoimage"))) << full.errorString().toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("dvd.iso"))));
}

TEST(DVDWorkflowFailure, DestinationStaysAsItWas)
{
    TestFolder folder;
    const auto dvd = DVDTestDisc::disc(folder, {});

    // A file where the destination's folder must be.
    MediaFixtures::writeBytes(folder.file(QStringLiteral("blocker")), "a file");
    BurnDVDWorkflow blocked(folder.file(QStringLiteral("work")));
    HLJobState blockedState;
    EXPECT_FALSE(blocked.make(dvd, folder.file(QStringLiteral("blocker/My Disc")), blockedState));
    EXPECT_FALSE(blockedState.errorString().isEmpty());
    EXPECT_EQ(MediaFixtures::readBytes(folder.file(QStringLiteral("blocker"))), QByteArray("a file"));
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("work"))));

    // A name that is taken gets a free one; what was there is kept.
    QDir().mkpath(folder.file(QStringLiteral("out/My Disc")));
    MediaFixtures::writeBytes(folder.file(QStringLiteral("out/My Disc/mine.txt")), "mine");
    BurnDVDWorkflow taken(folder.file(QStringLiteral("work")));
    HLJobState takenState;
    ASSERT_TRUE(taken.make(dvd, folder.file(QStringLiteral("out/My Disc")), takenState)) << takenState.errorString().toStdString();
    EXPECT_EQ(taken.resultPath(), folder.file(QStringLiteral("out/My Disc1")));
    EXPECT_EQ(entriesOf(folder.file(QStringLiteral("out/My Disc"))), QStringList{QStringLiteral("mine.txt")});
    EXPECT_TRUE(QFileInfo::exists(folder.file(QStringLiteral("out/My Disc1/VIDEO_TS/VIDEO_TS.IFO"))));

    // A full disk while the image is written.
    const QString iso = folder.file(QStringLiteral("out/disc.iso"));
    BurnDVDWorkflow full(folder.file(QStringLiteral("work")));
    HLJobState fullState;
    bool ok = true;
    {
        const FileSizeLimit limit(64 * 1024);
        ok = full.makeIso(taken.resultPath(), iso, QStringLiteral("Disc"), fullState);
    }
    EXPECT_FALSE(ok);
    EXPECT_FALSE(fullState.errorString().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(iso));
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("work"))));
}

namespace {

// A title's picture source that cancels the job once its video is being converted.
class CancellingSource : public MovieSource
{
public:
    explicit CancellingSource(std::function<void()> cancel) : m_cancel(std::move(cancel)) {}
    bool hasVideo() const override { return true; }
    bool hasAudio() const override { return false; }
    qint64 duration() const override { return 2 * zk_default_time_base(); }
    void setCurrentTime(qint64) override {}
    bool readSample(float *, int, int) override { return false; }
    void decodeImageAtTime(qint64 time, const FrameAction &action, bool) override
    {
        if (time > zk_default_time_base() / 2)
            m_cancel();
        QImage image(64, 48, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::darkCyan);
        action(std::make_shared<ZKMovieImage>(image, time));
    }

private:
    std::function<void()> m_cancel;
};

} // namespace

TEST(DVDWorkflowCancel, CancelLeavesNothingBehind)
{
    TestFolder folder;
    const auto dvd = DVDTestDisc::disc(folder, {});
    const QString iso = folder.file(QStringLiteral("out/disc.iso"));

    // While a title is converted.
    HLJob *running = nullptr;
    auto chapter = std::make_shared<DVDChapterVideo>();
    chapter->setMovies({ZKSegmentMovie::movieWithFFmovie(std::make_shared<CancellingSource>([&] { running->cancel(); }))});
    auto title = std::make_shared<DVDTitleVideo>();
    title->setChapters({chapter});
    const auto cancelled = DVDTestDisc::disc(folder, {});
    cancelled->setTitles({title});
    auto job = DVDOutputJob::iso(cancelled, iso, QStringLiteral("Disc"));
    running = &job->job();
    EXPECT_FALSE(job->job().runHere());
    EXPECT_EQ(job->job().state().outcome(), HLJobState::Outcome::Cancelled);
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("out"))));
    expectNoTemporaries();

    // Before each stage.
    BurnDVDWorkflow workflow(folder.file(QStringLiteral("work")));
    HLJobState workflowState;
    workflowState.cancel();
    EXPECT_FALSE(workflow.make(dvd, folder.file(QStringLiteral("out/My Disc")), workflowState));
    EXPECT_FALSE(workflow.makeIso(folder.path(), iso, QStringLiteral("Disc"), workflowState));
    EXPECT_EQ(workflowState.errorString(), QStringLiteral("Cancelled"));
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("out"))));
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("work"))));
}

namespace {

class ScriptedQuestions : public BurnDVDWorkflowQuestions
{
public:
    int retries = 0;
    std::vector<bool> couldRetry;
    QStringList outcomes;

    bool askRetry(const std::function<bool()> &canRetry) override
    {
        couldRetry.push_back(canRetry());
        return retries-- > 0;
    }
    void showOutcome(const QString &message, const QString &information) override
    {
        outcomes << (information.isEmpty() ? message : message + QStringLiteral(": ") + information);
    }
};

} // namespace

TEST(DVDBurnFailure, ChecksTheDiscAndRetriesAFailedBurn)
{
    TestFolder folder;
    const QString iso = folder.file(QStringLiteral("disc.iso"));
    MediaFixtures::writeBytes(iso, QByteArray(4096, 'x'));
    struct Case
    {
        const char *name;
        bool present;
        bool blank;
        qint64 space;
        int failures;
        int retries;
        bool burned;
        const char *reason;
        QStringList outcomes;
    };
    const Case cases[] = {
        {"no disc", false, true, 1 << 20, 0, 0, false, "No disc,please insert a blank disc.", {}},
        {"not blank", true, false, 1 << 20, 0, 0, false, "Disc not blank,please insert a blank disc.", {}},
        {"no space: as large as the image", true, true, 4096, 0, 0, false, "Disc space is not enough.", {}},
        {"fails, not retried", true, true, 1 << 20, 1, 0, false, "Write error", {}},
        {"fails, then retried", true, true, 1 << 20, 1, 1, true, "", {QStringLiteral("DVD Burn Success")}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        auto drive = std::make_shared<FakeDrive>();
        drive->present = c.present;
        drive->blank = c.blank;
        drive->space = c.space;
        drive->failures = c.failures;
        auto burner = std::make_shared<DVDBurn>();
        burner->setDevice(drive);
        auto questions = std::make_shared<ScriptedQuestions>();
        questions->retries = c.retries;
        BurnDVDWorkflow workflow(folder.file(QStringLiteral("work")));
        HLJobState workflowState;
        workflow.setQuestions(questions);
        EXPECT_EQ(workflow.burn(iso, burner, workflowState), c.burned);
        EXPECT_EQ(workflow.burnSuccess(), c.burned);
        EXPECT_EQ(workflowState.errorString(), QString::fromLatin1(c.reason));
        EXPECT_EQ(questions->outcomes, c.outcomes);
        // Retry is offered while a blank disc with room is in the drive.
        EXPECT_EQ(questions->couldRetry, std::vector<bool>(size_t(c.failures), true));
        EXPECT_EQ(drive->burns.load(), c.present && c.blank && c.space > 4096 ? 1 + std::min(c.failures, c.retries) : 0);
    }
}

TEST(DVDBurnFailure, CancelWhileBurningEndsWithoutRetry)
{
    TestFolder folder;
    const QString iso = folder.file(QStringLiteral("disc.iso"));
    MediaFixtures::writeBytes(iso, QByteArray(4096, 'x'));
    auto drive = std::make_shared<FakeDrive>();
    drive->holdUntilCancelled = true;
    auto burner = std::make_shared<DVDBurn>();
    burner->setDevice(drive);
    auto questions = std::make_shared<ScriptedQuestions>();
    questions->retries = 1;
    BurnDVDWorkflow workflow(folder.file(QStringLiteral("work")));
    HLJobState workflowState;
    workflow.setQuestions(questions);
    std::thread canceller([&] {
        while (drive->burns == 0 || workflowState.progress() == 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        workflowState.cancel();
    });
    EXPECT_FALSE(workflow.burn(iso, burner, workflowState));
    canceller.join();
    EXPECT_EQ(workflowState.errorString(), QStringLiteral("Cancelled"));
    EXPECT_TRUE(questions->couldRetry.empty());
    EXPECT_EQ(questions->outcomes, QStringList{QStringLiteral("DVD Burn Failed")});
    EXPECT_EQ(drive->burns.load(), 1);
}

TEST(DVDBurnFailure, FailedWriteOnALibburnDriveGivesItsReason)
{
    TestFolder folder;
    const QString iso = folder.file(QStringLiteral("disc.iso"));
    MediaFixtures::writeBytes(iso, QByteArray(1024 * 1024, 'x'));
    auto burner = std::make_shared<DVDBurn>();
    burner->setDevice(std::make_shared<DVDLibburnDevice>(QStringLiteral("stdio:") + folder.file(QStringLiteral("disc.img")),
                                                         QStringLiteral("file")));
    BurnDVDWorkflow workflow(folder.file(QStringLiteral("work")));
    HLJobState workflowState;
    bool ok = true;
    {
        // The pseudo-drive's file cannot grow past 64 KB: the write fails part way.
        const FileSizeLimit limit(64 * 1024);
        ok = workflow.burn(iso, burner, workflowState);
    }
    EXPECT_FALSE(ok);
    EXPECT_FALSE(workflow.burnSuccess());
    EXPECT_TRUE(burner->isFailed());
    EXPECT_FALSE(workflowState.errorString().isEmpty());
    EXPECT_NE(workflowState.errorString(), QStringLiteral("Cancelled"));
}
