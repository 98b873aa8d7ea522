#pragma once

#include "tests/support/TestFolder.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <memory>

class HLAudiolineItem;
class HLResourceItem;
class HLTimelineItem;

// Media and templates for the renderer and player tests, generated into a temporary folder: the
// pools of the three kinds, a slideshow template "Probe" (each picture in the middle half of the
// frame over the background, two template seconds a picture), the same drawing as "ProbeFine"
// (phases 0.5 + 3 s, then 1.4 + 3 s a picture) and the shipped transitions and titles.
namespace RenderProject {

// Once per test program: resource kinds and template pools.
void setUpTemplates();
// Registers the working pools under folder.
void setUpPools(const TestFolder &folder);

// Written as PNG, or in format ("JPEG" keeps large photos quick to write and read).
std::shared_ptr<HLResourceItem> importPhoto(const TestFolder &folder, const QImage &image, const char *format = "PNG");
std::shared_ptr<HLResourceItem> importPhoto(const TestFolder &folder, const QColor &color, int width = 64,
                                            int height = 48);
// An indexed clip (frame i is grey level i × 8) with a tone when sound is set.
std::shared_ptr<HLResourceItem> importClip(const TestFolder &folder, double seconds, bool sound);
std::shared_ptr<HLResourceItem> importTone(const TestFolder &folder, double seconds);

// A timeline of iMode items per slideshow item with the given slideshow and "Dissolve"
// transitions.
std::shared_ptr<HLTimelineItem> timeline(quint64 mode, const QString &slideshow = QStringLiteral("Probe"));

// Colour at a fraction of the picture (x right, y down).
QColor probe(const QImage &image, double x, double y);
// Whether two colours are within tolerance on every channel.
bool near(const QColor &a, const QColor &b, int tolerance = 24);

} // namespace RenderProject
