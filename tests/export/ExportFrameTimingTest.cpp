#include "SourceHL/Model/Package/HLProjectContents.h"
#include "export/VEExportHandOff.h"
#include "export/VETimelineExportMovieConverter.h"
#include "ExportProject.h"
#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKFFMovieFileOutputFormat.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLAudiolineItem.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLRenderContextPool.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLSlideshowItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"
#include "tests/support/MediaFixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {

using namespace std::chrono_literals;

constexpr int kFps = 30;

// A 30-fps clip far into a 30-fps movie (where a float second is 2 µs coarse) shows each of its
// frames exactly once: consecutive pictures of the movie are consecutive pictures of the clip.
TEST(ExportFrameTiming, AClipAtTheMovieRateMapsFrameToFrame)
{
    ExportProject::setUpTemplates();
    TestFolder folder;
    ExportProject::setUpPools(folder);
    const auto sizer = HLRenderSizer::renderSizerOf(QSizeF(160, 120), 1200);
    HLRenderContextPool::sharedRenderContextPool().updateLimitContextsBy(sizer->typedRenderSize());

    const auto timeline = ExportProject::timeline();
    QList<std::shared_ptr<HLResourceItem>> resources;
    for (int i = 0; i < 5; ++i)
        resources.append(ExportProject::importPhoto(folder, QColor::fromHsv(i * 60, 200, 200)));
    const auto clip = TestProject::importNumberedClip(folder, QSize(160, 120), kFps, 4.0);
    ASSERT_TRUE(clip);
    resources.append(clip);
    ASSERT_TRUE(timeline->addOutTo(resources, QString()));
    timeline->update(0);
    ASSERT_EQ(timeline->aryItems().size(), 6);
    const auto video = timeline->aryItems()[5];
    const double clipStart = timeline->slideshowOffsetOf(video) + video->resourceRenderRangeAt(0).dStart;
    ASSERT_GE(clipStart, 16.0);

    const auto textline = HLTextlineItem::textline();
    const auto audioline = HLAudiolineItem::audioline();
    const auto timelineRender = HLTimelineRender::timelineRenderOf(timeline, false, sizer, HLQuartzPool::quartzPoolOf(0),
                                                                   HLQuartzPool::quartzPoolOf(2));
    const auto textlineRender = HLTextlineRender::textlineRenderOf(textline, false, sizer, HLQuartzPool::quartzPoolOf(3));
    ASSERT_TRUE(timelineRender && textlineRender);

    ZKFFMovieFileOutputFormat format = zk_get_default_movie_file_ouput_format();
    format.width = 160;
    format.height = 120;
    format.framerate = kFps;
    format.frameTime = 1;
    format.video_bitrate = 2000000;
    const QString path = folder.file("movie.mp4");
    VETimelineExportMovieConverter job;
    job.setTimeline(exportMovieOf({sizer, timeline, textline, audioline}, *timelineRender, *textlineRender));
    job.setMovieOutputFormat(format);
    job.setPath(path);
    job.startConvert();
    const auto deadline = std::chrono::steady_clock::now() + 10min; // only stops a hung export
    while (!job.isFinished() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(10ms);
    ASSERT_TRUE(job.isFinished());
    ASSERT_EQ(job.errorString(), QString());

    // Each movie frame read in its middle; the clip's frames away from its transitions.
    const auto movie = ZKFFMovie::open(path);
    ASSERT_TRUE(movie);
    const qint64 tb = zk_default_time_base();
    const auto clipFrameAt = [&](qint64 frame) {
        QImage image;
        movie->decodeImageAtTime((2 * frame + 1) * tb / (2 * kFps),
                                 [&](const std::shared_ptr<ZKMovieImage> &shown) { image = shown->currentImage(); },
                                 true);
        return MediaFixtures::frameNumberOf(image);
    };
    const qint64 first = qint64(std::ceil(clipStart * kFps));
    std::vector<std::pair<qint64, int>> shown; // movie frame, clip frame
    for (qint64 frame = first; frame < first + 3 * kFps; ++frame) {
        const float local = float(double(frame) / kFps - timeline->slideshowOffsetOf(video));
        if (!video->isInTransitionAt(local))
            shown.emplace_back(frame, clipFrameAt(frame));
    }
    ASSERT_GE(shown.size(), size_t(kFps));
    for (size_t i = 1; i < shown.size(); ++i) {
        ASSERT_EQ(shown[i].first, shown[i - 1].first + 1); // one stretch, away from both transitions
        EXPECT_EQ(shown[i].second, shown[i - 1].second + 1) << "movie frame " << shown[i].first;
    }
}

} // namespace
