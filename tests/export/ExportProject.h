#pragma once

#include "tests/support/TestFolder.h"

#include <QColor>
#include <QImage>

#include <memory>

class HLResourceItem;
class HLTimelineItem;

// Media and templates for the export tests, generated into temporary folders: the working
// pools, a slideshow template "Probe" (its pictures stretched over the whole frame) and the
// shipped transitions and titles.
namespace ExportProject {

// Once per test program: resource kinds and template pools.
void setUpTemplates();
// Registers the working pools under folder.
void setUpPools(const TestFolder &folder);

std::shared_ptr<HLResourceItem> importPhoto(const TestFolder &folder, const QColor &color);
// An indexed clip (frame i is grey level i × 8) with a sine tone of 0.5 at toneHz.
std::shared_ptr<HLResourceItem> importClip(const TestFolder &folder, double seconds, double toneHz);
// A sine tone of 0.5 at toneHz.
std::shared_ptr<HLResourceItem> importTone(const TestFolder &folder, double seconds, double toneHz);

// A timeline of one picture per slideshow item with "Probe" slides and "Dissolve" transitions.
std::shared_ptr<HLTimelineItem> timeline();

} // namespace ExportProject
