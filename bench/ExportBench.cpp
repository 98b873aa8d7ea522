#include "ExportBench.h"

#include "export/VEExportHandOff.h"
#include "SourceHL/Model/Package/HLProjectContents.h"
#include "export/VETimelineExportMovieConverter.h"
#include "export/VETimelineExportMovie.h"
#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Platform/Imaging/PainterLoops.h"
#include "Platform/Imaging/ParallelRows.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Resource/HLResourceItem.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "tests/support/MediaFixtures.h"

#include <QDir>
#include <QElapsedTimer>

#include <sys/resource.h>
#include <thread>

namespace ExportBench {

namespace {

// Minor page faults of this process so far: fresh memory touched.
long minorFaults()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

} // namespace

std::shared_ptr<HLRenderSizer> setUpEngine(const QString &folder, QSize frameSize)
{
    HLResourceItem::configureForAudio();
    HLResourceItem::configureForVideo();
    HLResourceItem::configureForImage();
    const QDir dir(folder);
    HLResourcePool::update(dir.filePath("Audios"), HLResourceSourceTemp, HLResourceTypeAudio);
    HLResourcePool::update(dir.filePath("Videos"), HLResourceSourceTemp, HLResourceTypeVideo);
    HLResourcePool::update(dir.filePath("Images"), HLResourceSourceTemp, HLResourceTypeImage);
    const QString templates = QStringLiteral(SLIDESHOW_SOURCE_DIR "/Resources/Templates");
    HLQuartzPool::setupOf(templates + "/Slideshow", 0);
    HLQuartzPool::setupOf(templates + "/Transition", 2);
    HLQuartzPool::setupOf(templates + "/Text", 3);
    auto sizer = HLRenderSizer::renderSizerOf(QSizeF(frameSize), 1200);
    HLRenderContextPool::sharedRenderContextPool().updateLimitContextsBy(sizer->typedRenderSize());
    HLRenderContextPool::sharedRenderContextPool().updateFreeContextSize(QSizeF(120, 90));
    return sizer;
}

std::shared_ptr<HLResourceItem> import(HLResourceType kind, const QString &path)
{
    return HLResourcePool::resourcePoolOfSource(HLResourceSourceTemp, kind)
        ->addResourceFrom(path, [](HLResourceType type, const QString &identifier, const QString &hash,
                                   const QString &placed, QString *why) {
            return HLResourceItem::itemOf(type, identifier, hash, placed, why);
        });
}

QList<std::shared_ptr<HLResourceItem>> photosAndClips(const QString &folder)
{
    const QDir dir(folder);
    QList<std::shared_ptr<HLResourceItem>> media;
    for (int k = 0; k < 40; ++k) {
        const QString path = dir.filePath(QStringLiteral("photo%1.jpg").arg(k));
        MediaFixtures::numberedPhoto(k).save(path, "JPEG", 90);
        media.append(import(HLResourceTypeImage, path));
        if (k % 10 == 4) {
            const QString clip = dir.filePath(QStringLiteral("clip%1.mp4").arg(k));
            MediaFixtures::ClipRecipe recipe;
            recipe.size = QSize(1280, 720);
            recipe.seconds = 3;
            recipe.audioCodec = {"-c:a", "aac"};
            if (!MediaFixtures::makeIndexedClip(clip, recipe))
                return {};
            media.append(import(HLResourceTypeVideo, clip));
        }
    }
    return media;
}

void fitDuration(HLTimelineItem &timeline, float seconds)
{
    // The length grows by the same amount for every second of display.
    timeline.applySlideshowDisplayToAll(4.0f);
    timeline.update(0);
    const float at4 = timeline.dDuration();
    timeline.applySlideshowDisplayToAll(5.0f);
    timeline.update(0);
    const float perSecond = timeline.dDuration() - at4;
    timeline.applySlideshowDisplayToAll(4.0f + (seconds - at4) / perSecond);
    timeline.update(0);
}

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double renderSecondsPerFrame(const std::shared_ptr<HLRenderSizer> &sizer, const std::shared_ptr<HLTimelineItem> &timeline,
                             const std::shared_ptr<HLTextlineItem> &textline,
                             const std::shared_ptr<HLAudiolineItem> &audioline, int rate, int step)
{
    const auto timelineRender = HLTimelineRender::timelineRenderOf(timeline, false, sizer, HLQuartzPool::quartzPoolOf(0),
                                                                   HLQuartzPool::quartzPoolOf(2));
    const auto textlineRender = HLTextlineRender::textlineRenderOf(textline, false, sizer, HLQuartzPool::quartzPoolOf(3));
    const auto movie = exportMovieOf({sizer, timeline, textline, audioline}, *timelineRender, *textlineRender);
    const VETimelineExportMovie::GetImage render = movie->getImage();
    // On a thread as a picture worker's, counting the processor time of every thread: Qt may
    // hand a fill's rows to others.
    const qint64 frames = qint64(timeline->dDuration() * rate);
    double seconds = 0;
    qint64 rendered = 0;
    ImagingThreads::PainterLoops worker;
    worker.start([&] {
        const ImagingThreads::SerialBands serial;
        for (qint64 k = 0; k < frames; k += step) {
            const double before = cpuSeconds(RUSAGE_SELF);
            render(k * zk_default_time_base() / rate);
            seconds += cpuSeconds(RUSAGE_SELF) - before;
            ++rendered;
        }
    });
    worker.wait();
    return rendered ? seconds / rendered : 0;
}

Run exportMovie(const std::shared_ptr<HLRenderSizer> &sizer, const std::shared_ptr<HLTimelineItem> &timeline,
                const std::shared_ptr<HLTextlineItem> &textline,
                const std::shared_ptr<HLAudiolineItem> &audioline, int rate,
                int bitrate, const QString &path, int videoCodec)
{
    Run run;
    const auto timelineRender = HLTimelineRender::timelineRenderOf(timeline, false, sizer, HLQuartzPool::quartzPoolOf(0),
                                                                   HLQuartzPool::quartzPoolOf(2));
    const auto textlineRender = HLTextlineRender::textlineRenderOf(textline, false, sizer, HLQuartzPool::quartzPoolOf(3));
    if (!timelineRender || !textlineRender) {
        run.error = QStringLiteral("no renderers");
        return run;
    }
    ZKFFMovieFileOutputFormat format = zk_get_default_movie_file_ouput_format();
    format.width = sizer->szRender().toSize().width();
    format.height = sizer->szRender().toSize().height();
    format.video_bitrate = bitrate;
    format.framerate = rate;
    format.frameTime = 1;
    if (videoCodec)
        format.video_codec = videoCodec;

    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    const long faultsBefore = minorFaults();
    QElapsedTimer clock;
    clock.start();
    VETimelineExportMovieConverter job;
    job.setTimeline(exportMovieOf({sizer, timeline, textline, audioline}, *timelineRender, *textlineRender));
    job.setMovieOutputFormat(format);
    job.setPath(path);
    job.startConvert();
    while (!job.isFinished())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    run.wall = clock.nsecsElapsed() / 1e9;
    run.cpu = cpuSeconds(RUSAGE_SELF) - cpuBefore;
    run.pageFaults = minorFaults() - faultsBefore;
    run.error = job.errorString();
    return run;
}

} // namespace ExportBench
