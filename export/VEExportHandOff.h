#pragma once

#include "export/VETimelineExportMovie.h"
#include "SourceHL/Model/Audioline/HLRanger.h"

#include <QImage>
#include <QList>
#include <QSizeF>

#include <memory>
#include <vector>

class HLAudiolineItem;
struct HLProjectContents;
class HLTextlineRender;
class HLTimelineItem;
class HLTimelineRender;
class ZKSegmentMovieFade;

// How the main window turns the project into the movie source of an export: video size,
// duration, the frame block, the sound of video clips and music with the music taken down
// inside solo ranges, and the final fade-out. Runs on the main thread, with playback and
// preview renders stopped.

// What the main window's export hands to the export window: the movie source of the project
// at its sizer's render size. Its frames are rendered in export mode on copies of the project
// (HLProjectContents::copies) with renderers made like the two given, one for each of the
// converter's picture workers: never on the project itself, which the preview and the play
// heads go on using. HLArchiveError when the project cannot be copied.
std::shared_ptr<VETimelineExportMovie> exportMovieOf(const HLProjectContents &project,
                                                     const HLTimelineRender &timelineRender,
                                                     const HLTextlineRender &textlineRender);

// The movie source of the project. frameBlock renders the whole project at a media time.
std::shared_ptr<VETimelineExportMovie> exportMovieOf(QSizeF videoSize, const HLTimelineItem &timeline,
                                                     const HLAudiolineItem &audioline,
                                                     const VETimelineExportMovie::GetImage &frameBlock);

// The frame block: renders the timeline and the text line at the time for export, the titles
// drawn over the slides. Holds the renderers weakly and answers a null image once one is gone.
// Called on the converter's thread, one frame at a time.
VETimelineExportMovie::GetImage exportFrameBlockOf(const std::shared_ptr<HLTimelineRender> &timelineRender,
                                                   const std::shared_ptr<HLTextlineRender> &textlineRender);

// The frame with the titles drawn over it, scaled to the frame; the frame itself without titles.
QImage exportFrameOf(const QImage &frame, const QImage &titles);

// The ducking envelope of the music under the solo ranges (seconds): HLSoloDucking's ramps in
// media ticks.
QList<std::shared_ptr<ZKSegmentMovieFade>> soloFadesOf(const std::vector<HLRanger> &rangers);
