#include "export/VEExportHandOff.h"

#include "export/HLAudiolineItem+AudioExport.h"
#include "export/HLTimelineItem+AudioExport.h"
#include "export/VETimelineAudioItem.h"
#include "export/VETimelineAudioItemExport.h"
#include "Frameworks/Korvane/ZKSegmentMovieFade.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "Platform/Foundation/HLArchiveError.h"
#include "Platform/Foundation/HLAssert.h"
#include "Platform/Foundation/HLKeyedArchiver.h"
#include "Platform/Foundation/HLKeyedUnarchiver.h"
#include "SourceHL/Common/HLImageHelper.h"
#include "SourceHL/Common/HLRenderSizer.h"
#include "SourceHL/Model/Audioline/HLSoloDucking.h"
#include "SourceHL/Model/Render/HLTextlineRender.h"
#include "SourceHL/Model/Render/HLTimelineItemRendering.h"
#include "SourceHL/Model/Render/HLTimelineRender.h"
#include "SourceHL/Model/Textline/HLTextlineItem.h"
#include "SourceHL/Model/Timeline/HLTimelineItem.h"

#include <QPainter>

#include <algorithm>
#include <thread>

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

const QString kTimelineKey = QStringLiteral("kNSCodingTimelineItem");
const QString kTextlineKey = QStringLiteral("kNSCodingTextLineItem");

// Frame blocks for the converter's workers, each over its own copy of the timeline and the
// text line with renderers of its own; none when the copies cannot be made.
std::vector<VETimelineExportMovie::GetImage> parallelFrameBlocksOf(const std::shared_ptr<HLTimelineItem> &timeline,
                                                                   const std::shared_ptr<HLTextlineItem> &textline,
                                                                   const HLTimelineRender &timelineRender,
                                                                   const HLTextlineRender &textlineRender)
{
    // As many as the converter has workers.
    const int count = std::clamp(int(std::thread::hardware_concurrency()) / 2, 1, 4);
    if (count < 2)
        return {};
    HLTimelineItem::registerCoding();
    HLTextlineItem::registerCoding();
    std::vector<VETimelineExportMovie::GetImage> blocks;
    try {
        // Deep copies through the keyed archive: records and resource items of their own,
        // sharing nothing the main thread may change.
        HLKeyedArchiver archiver;
        archiver.encodeObject(kTimelineKey, timeline);
        archiver.encodeObject(kTextlineKey, textline);
        const QByteArray data = archiver.encodedData();
        for (int i = 0; i < count; ++i) {
            HLKeyedUnarchiver unarchiver = HLKeyedUnarchiver::fromData(data);
            const auto timelineCopy = unarchiver.decodeObject<HLTimelineItem>(kTimelineKey);
            const auto textlineCopy = unarchiver.decodeObject<HLTextlineItem>(kTextlineKey);
            const auto timelineRenderCopy = HLTimelineRender::timelineRenderOf(
                timelineCopy, timelineRender.bFreely(), timelineRender.oSizer(), timelineRender.oSlideshowPool(),
                timelineRender.oTransitionPool());
            const auto textlineRenderCopy = HLTextlineRender::textlineRenderOf(
                textlineCopy, textlineRender.bFreely(), textlineRender.oSizer(), textlineRender.oTextPool());
            if (!timelineCopy || !textlineCopy || !timelineRenderCopy || !textlineRenderCopy)
                return {};
            // The block keeps its copies alive; the frame block itself holds them weakly.
            const auto block = exportFrameBlockOf(timelineRenderCopy, textlineRenderCopy);
            blocks.push_back([block, timelineCopy, textlineCopy, timelineRenderCopy, textlineRenderCopy](qint64 time) {
                return block(time);
            });
        }
    } catch (const HLArchiveError &) {
        return {};
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
    if (titles.isNull())
        return frame;
    return HLImageHelper::hlImageOf(frame.size(), [&](QPainter &painter, const QRectF &rect) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(rect, frame, QRectF(frame.rect()));
        painter.drawImage(rect, titles, QRectF(titles.rect()));
    });
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

std::shared_ptr<VETimelineExportMovie> exportMovieOf(const HLRenderSizer &sizer,
                                                     const std::shared_ptr<HLTimelineItem> &timeline,
                                                     const std::shared_ptr<HLTextlineItem> &textline,
                                                     const HLAudiolineItem &audioline,
                                                     const std::shared_ptr<HLTimelineRender> &timelineRender,
                                                     const std::shared_ptr<HLTextlineRender> &textlineRender)
{
    HL_ASSERT(timeline && textline && timelineRender && textlineRender, "wrong paras");
    auto movie = exportMovieOf(sizer.szRender(), *timeline, audioline,
                               exportFrameBlockOf(timelineRender, textlineRender));
    movie->setFrameBlocks(parallelFrameBlocksOf(timeline, textline, *timelineRender, *textlineRender));
    return movie;
}
