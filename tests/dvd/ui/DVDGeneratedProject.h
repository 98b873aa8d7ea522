#pragma once

#include "tests/support/TestFolder.h"

#include <memory>

class HLAudiolineItem;
class HLTextlineItem;
class HLTextlineRender;
class HLTimelineItem;
class HLTimelineRender;
class VETimelineExportMovie;

// A generated project as the main window hands it to the export window: a red and a blue
// photo, a title over the first, music under both; and its movie source.
struct DVDGeneratedProject
{
    DVDGeneratedProject();
    ~DVDGeneratedProject();

    std::shared_ptr<VETimelineExportMovie> exportMovie() const;

    TestFolder folder;
    std::shared_ptr<HLTimelineItem> timeline;
    std::shared_ptr<HLTextlineItem> textline;
    std::shared_ptr<HLAudiolineItem> audioline;
    std::shared_ptr<HLTimelineRender> timelineRender;
    std::shared_ptr<HLTextlineRender> textlineRender;
};
