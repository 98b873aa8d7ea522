#pragma once

#include "SourceHL/Model/Resource/HLResourcePool.h"

#include <QList>
#include <QSize>
#include <QString>

#include <memory>

class HLAudiolineItem;
class HLRenderSizer;
class HLResourceItem;
class HLTextlineItem;
class HLTimelineItem;

// What the export benchmarks share: the engine set up over a folder, imports, fitting a
// project to a length, and one export through the whole export path, timed.
namespace ExportBench {

// Resource kinds and pools under folder, the shipped templates, render contexts for frameSize.
std::shared_ptr<HLRenderSizer> setUpEngine(const QString &folder, QSize frameSize);
std::shared_ptr<HLResourceItem> import(HLResourceType kind, const QString &path);
// The media of the play and render benchmarks, written into folder and imported: 40 numbered
// photos, with a 3-s 1280 × 720 clip with sound after the 5th, 15th, 25th and 35th; empty when
// a clip cannot be made (ffmpeg).
QList<std::shared_ptr<HLResourceItem>> photosAndClips(const QString &folder);
// Sets every item's display length so that the timeline lasts seconds.
void fitDuration(HLTimelineItem &timeline, float seconds);
// Processor seconds of this process (RUSAGE_SELF) or of its finished children.
double cpuSeconds(int who);
// Processor seconds of the renderers alone for one frame of the export: every step-th frame
// at rate rendered one at a time, on a copy of the project as a picture worker renders it.
double renderSecondsPerFrame(const std::shared_ptr<HLRenderSizer> &sizer, const std::shared_ptr<HLTimelineItem> &timeline,
                             const std::shared_ptr<HLTextlineItem> &textline,
                             const std::shared_ptr<HLAudiolineItem> &audioline, int rate, int step);

struct Run
{
    double wall = 0;
    double cpu = 0;
    long pageFaults = 0; // minor faults of this process: fresh memory touched
    QString error; // empty when the movie was written
};
// Exports the project at the sizer's size, rate frames a second and bitrate, into the
// container path's extension names, as H.264 or as videoCodec (an AVCodecID) when given.
Run exportMovie(const std::shared_ptr<HLRenderSizer> &sizer, const std::shared_ptr<HLTimelineItem> &timeline,
                const std::shared_ptr<HLTextlineItem> &textline,
                const std::shared_ptr<HLAudiolineItem> &audioline, int rate,
                int bitrate, const QString &path, int videoCodec = 0);

} // namespace ExportBench
