#include "export/VEExportHandOff.h"

#include "export/HLAudiolineItem+AudioExport.h"
#include "export/HLTimelineItem+AudioExport.h"
#include "export/VETimelineAudioItem.h"
#include "export/VETimelineAudioItemExport.h"
#include "Frameworks/Korvane/ZKSegmentMovieFade.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Frameworks/Korvane/ZKVideoConverter.h"
#include "Platform/Foundation/HLAssert.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLSoloDucking.h"
#include "SourceHL/Model/Package/HLProjectContents.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineItemRendering.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <QPainter>

#include <algorithm>

namespace {

std::shared_ptr<ZKSegmentMovieFade> rampOf(qint64 start, qint64 stop, double from, double to)
{
    auto fade = std::make_shared<ZKSegmentMovieFade>();
    fade->setFadeStart(start);
    fade->setFadeStop(stop);
    fade->setVolumeStart(from);
    fade->setVolumeStop(to);
    return fade;
}

// Frame blocks for the converter's picture workers, each over a copy of the timeline and the
// text line of its own with renderers of its own: the export never renders on the project the
// preview and the play heads go on using. One copy, rendered in order, where there is one worker.
std::vector<VETimelineExportMovie::GetImage> copiedFrameBlocksOf(const HLProjectContents &project,
                                                                 const HLTimelineRender &timelineRender,
                                                                 const HLTextlineRender &textlineRender)
{
    std::vector<VETimelineExportMovie::GetImage> blocks;
    for (const HLProjectContents &copy : project.copies(ZKVideoConverter::pictureWorkers())) {
        const auto timelineRenderCopy = HLTimelineRender::timelineRenderOf(
            copy.timeline, timelineRender.bFreely(), copy.sizer, timelineRender.oSlideshowPool(),
            timelineRender.oTransitionPool());
        const auto textlineRenderCopy = HLTextlineRender::textlineRenderOf(
            copy.textline, textlineRender.bFreely(), copy.sizer, textlineRender.oTextPool());
        HL_ASSERT(timelineRenderCopy && textlineRenderCopy, "wrong copy");
        // The block keeps its copies alive; the frame block itself holds them weakly.
        const auto block = exportFrameBlockOf(timelineRenderCopy, textlineRenderCopy);
        blocks.push_back([block, copy, timelineRenderCopy, textlineRenderCopy](qint64 time) { return block(time); });
    }
    return blocks;
}

} // namespace

QList<std::shared_ptr<ZKSegmentMovieFade>> soloFadesOf(const std::vector<HLRanger> &rangers)
{
    QList<std::shared_ptr<ZKSegmentMovieFade>> fades;
    const HLSoloDucking ducking(rangers);
    for (const HLSoloDucking::Ramp &ramp : ducking.ramps())
        fades << rampOf(zk_ff_time_from_double(ramp.dStart), zk_ff_time_from_double(ramp.dStop), ramp.dFrom, ramp.dTo);
    return fades;
}

QImage exportFrameOf(const QImage &frame, const QImage &titles)
{
    if (titles.isNull() || frame.isNull())
        return frame;
    // The titles go onto a copy of the frame: one copy of its pixels per frame, instead of a
    // cleared picture that the whole frame is then blended into.
    QImage composed = frame.format() == QImage::Format_ARGB32_Premultiplied
                          ? frame.copy()
                          : frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&composed);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(composed.rect()), titles, QRectF(titles.rect()));
    painter.end();
    return composed;
}

std::shared_ptr<VETimelineExportMovie> exportMovieOf(QSizeF videoSize, const HLTimelineItem &timeline,
                                                     const HLAudiolineItem &audioline,
                                                     const VETimelineExportMovie::GetImage &frameBlock)
{
    auto movie = std::make_shared<VETimelineExportMovie>();
    movie->setVideoSize(videoSize);
    movie->setDuration(zk_ff_time_from_double(timeline.dDuration()));
    movie->setGetImage(frameBlock);

    // The sound of video clips first, then the music.
    VETimelineAudioItemExport::Audios audios = exportAudios(timeline);
    for (const auto &item : exportAudios(audioline))
        audios.push_back(item);
    auto mixer = std::make_shared<VETimelineAudioItemExport>();
    movie->setAudioExport(mixer);
    mixer->setAudios(audios);
    mixer->setAudioFades(soloFadesOf(HLTimelineItemRendering::renderingSoloRangers(timeline)));

    movie->setFadeOut(std::min(zk_ff_time_from_double(3), movie->duration()));
    return movie;
}

VETimelineExportMovie::GetImage exportFrameBlockOf(const std::shared_ptr<HLTimelineRender> &timelineRender,
                                                   const std::shared_ptr<HLTextlineRender> &textlineRender)
{
    const std::weak_ptr<HLTimelineRender> weakTimelineRender = timelineRender;
    const std::weak_ptr<HLTextlineRender> weakTextlineRender = textlineRender;
    return [=](qint64 time) -> QImage {
        const auto timelineRender = weakTimelineRender.lock();
        const auto textlineRender = weakTextlineRender.lock();
        if (!timelineRender || !textlineRender)
            return QImage();
        return exportFrameOf(timelineRender->renderExport(time),
                             textlineRender->renderExport(float(zk_ff_time_to_double(time))));
    };
}

std::shared_ptr<VETimelineExportMovie> exportMovieOf(const HLProjectContents &project,
                                                     const HLTimelineRender &timelineRender,
                                                     const HLTextlineRender &textlineRender)
{
    HL_ASSERT(project.sizer && project.timeline && project.textline && project.audioline, "wrong paras");
    const auto blocks = copiedFrameBlocksOf(project, timelineRender, textlineRender);
    // Without the frame blocks, frames are rendered one at a time on the first copy.
    auto movie = exportMovieOf(project.sizer->szRender(), *project.timeline, *project.audioline, blocks.front());
    movie->setFrameBlocks(blocks);
    return movie;
}
