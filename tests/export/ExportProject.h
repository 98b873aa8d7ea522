#pragma once

#include "tests/support/TestProject.h"

// The generated project of the export tests: each picture of "Probe" stretched over the whole
// frame, one picture per slideshow item.
namespace ExportProject {

using TestProject::importPhoto;
using TestProject::importTone;
using TestProject::setUpPools;

inline void setUpTemplates()
{
    TestProject::setUpTemplates(TestProject::ProbeLayout::WholeFrame);
}

// An indexed clip (frame i is grey level i × 8) with a sine tone of 0.5 at toneHz.
inline std::shared_ptr<HLResourceItem> importClip(const TestFolder &folder, double seconds, double toneHz)
{
    return TestProject::importClip(folder, seconds, toneHz);
}

inline std::shared_ptr<HLTimelineItem> timeline()
{
    return TestProject::timeline(1);
}

} // namespace ExportProject
