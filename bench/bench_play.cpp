// Plays a generated project (40 photos, 4 clips with sound, transitions, titles) for 10 s of
// wall time through the main window's real play loop (offscreen, silent sound output) and
// counts the preview frames that reached the window against the frames due at 30 a second,
// and times every tick of the play loop on the main thread: a tick that waited for the
// preview's render would show as a long one. The longest tick's own processor time and context
// switches tell what it waited for: a lock (voluntary switches) or the processors (preempted).
// Last line: "ratio play <frames shown / frames due>".
#include "SourceHL/Common/HLEditGate.h"
#include "SourceHL/Common/HLLastOperateQueue.h"
#include "SourceHL/Common/HLMachTime.h"
#include "SourceHL/Control/HLContentlineVCtrl.h"
#include "SourceHL/Control/HLMainWndCtrl.h"
#include "SourceHL/Control/HLPlayLoop.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Resource/HLResourcePool.h"
#include "SourceHL/Model/Textline/HLTextEdit.h"
#include "SourceHL/Model/Textline/HLTextItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "SourceHL/View/HLTimelineItemUI.h"
#include "ExportBench.h"
#include "widgets/HLDarkStyle.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

namespace {

constexpr int kPlayMilliseconds = 10000;

// This thread's processor time (ns) and its voluntary and involuntary context switches.
struct ThreadUsage
{
    qint64 cpu = 0;
    long waits = 0;
    long preempted = 0;

    static ThreadUsage now()
    {
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        return {(qint64(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) * 1000000000
                    + (qint64(usage.ru_utime.tv_usec) + usage.ru_stime.tv_usec) * 1000,
                usage.ru_nvcsw, usage.ru_nivcsw};
    }
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("ZK_SILENT_AUDIO", "1");
    QApplication app(argc, argv);
    HLDarkStyle::applyTo(app);
    HLMainWndCtrl ctrl;
    ctrl.showWindow();

    QTemporaryDir dir;
    const HLTimelineItem::ResourceItems media = ExportBench::photosAndClips(dir.path());
    if (media.isEmpty()) {
        std::fprintf(stderr, "cannot make the clips (ffmpeg)\n");
        return 1;
    }
    const auto timeline = ctrl.oTimeline();
    const auto textline = ctrl.oTextline();
    ctrl.gate().perform(HLChange::None, [&] {
        timeline->setIMode(4);
        timeline->addOutTo(media, QString());
        timeline->applySlideshowDisplayToAll(2.0f);
        for (int k = 0; k < 12; ++k) {
            auto title = HLTextItem::textItemOf(QStringLiteral("T%1").arg(k));
            title->updateLineMin(float(k) * 160 + 40, float(k) * 160 + 280);
            title->oTextEdit()->setStrText(QStringLiteral("Title %1").arg(k));
            textline->add(title);
        }
        textline->setupTimeMap([timeline](float position) { return HLTimelineItemUI::timeAtUI(*timeline, position); });
        textline->syncPlayTime();
    });
    ctrl.vCtrlContentline()->updateTimelineUI();
    ctrl.vCtrlContentline()->updateContentlineWidth();
    ctrl.p_seekAt(0);
    ctrl.oLastOperateQueue()->wait();
    QCoreApplication::processEvents();

    // Each tick of the loop's timer (a restart makes a new one) runs inside a stopwatch.
    HLPlayLoop &loop = ctrl.playLoop();
    QPointer<QTimer> timed;
    qint64 longestTick = 0;
    ThreadUsage longestUsage;
    qint64 ticks = 0;
    std::function<void()> timeTicks = [&] {
        QTimer *timer = loop.tTimer();
        if (!timer || timer == timed)
            return;
        timed = timer;
        QObject::disconnect(timer, &QTimer::timeout, &loop, &HLPlayLoop::p_playFeedback);
        QObject::connect(timer, &QTimer::timeout, &loop, [&] {
            QElapsedTimer stopwatch;
            stopwatch.start();
            const ThreadUsage before = ThreadUsage::now();
            loop.p_playFeedback();
            const qint64 elapsed = stopwatch.nsecsElapsed();
            if (elapsed > longestTick) {
                const ThreadUsage after = ThreadUsage::now();
                longestTick = elapsed;
                longestUsage = {after.cpu - before.cpu, after.waits - before.waits, after.preempted - before.preempted};
            }
            ++ticks;
            timeTicks();
        });
    };

    qint64 shown = 0;
    loop.setupFrameShown([&] {
        if (ctrl.bIsPlaying())
            ++shown;
        timeTicks();
    });
    const double start = HLMachTime::normalTime();
    double played = 0;
    ctrl.p_startPlaying();
    timeTicks();
    QTimer::singleShot(kPlayMilliseconds, [&] {
        played = HLMachTime::normalTime() - start;
        ctrl.p_stopPlaying();
        QCoreApplication::quit();
    });
    app.exec();
    ctrl.oLastOperateQueue()->wait();

    const double due = played * 30;
    std::printf("project: %lld slideshow items, %.1f s; played %.2f s to %.2f s\n",
                static_cast<long long>(timeline->slideshowItemsCount()), double(timeline->dDuration()), played,
                double(ctrl.dNowTime()));
    std::printf("frames shown %lld, due %.0f\n", static_cast<long long>(shown), due);
    std::printf("longest tick stall %.2f ms over %lld ticks\n", longestTick / 1e6, static_cast<long long>(ticks));
    std::printf("longest tick: %.2f ms on the processor, %ld waits, %ld times preempted\n", longestUsage.cpu / 1e6,
                longestUsage.waits, longestUsage.preempted);
    std::printf("ratio play %.3f\n", due > 0 ? double(shown) / due : 0.0);
    return 0;
}
