#pragma once

#include "tests/support/TestProject.h"

// The generated project of the renderer and player tests: each picture of "Probe" in the
// middle half of the frame over the background.
namespace RenderProject {

using TestProject::importPhoto;
using TestProject::setUpPools;
using TestProject::slideshowInfo;
using TestProject::timeline;

inline void setUpTemplates()
{
    TestProject::setUpTemplates(TestProject::ProbeLayout::MiddleHalf);
}

// An indexed clip (frame i is grey level i × 8) with a tone when sound is set.
inline std::shared_ptr<HLResourceItem> importClip(const TestFolder &folder, double seconds, bool sound)
{
    return TestProject::importClip(folder, seconds, sound ? std::optional<double>(441) : std::nullopt);
}

inline std::shared_ptr<HLResourceItem> importTone(const TestFolder &folder, double seconds)
{
    return TestProject::importTone(folder, seconds);
}

// Colour at a fraction of the picture (x right, y down).
QColor probe(const QImage &image, double x, double y);
// Whether two colours are within tolerance on every channel.
bool near(const QColor &a, const QColor &b, int tolerance = 24);
// Whether two frames have one size and every pixel near.
bool sameFrame(const QImage &a, const QImage &b, int tolerance = 2);

} // namespace RenderProject
