#pragma once

#include "tests/support/TestFolder.h"

#include <QColor>
#include <QImage>
#include <QSize>
#include <QString>
#include <QVariantMap>

#include <memory>
#include <optional>

class HLResourceItem;
class HLTimelineItem;

// Media and templates for the tests of the renderers, players and export, generated into
// temporary folders: the working pools of the three kinds, the slideshow templates "Probe"
// (two template seconds a picture), "ProbeFine" (phases 0.5 + 3 s, then 1.4 + 3 s a
// picture) and "ProbeFramed" (as "Probe", preferring a border around each picture), and the
// shipped transitions and titles.
namespace TestProject {

// Where each picture of the probe templates goes.
enum class ProbeLayout {
    MiddleHalf, // the middle half of the frame, over the background picture
    WholeFrame, // stretched over the whole frame
};

// Once per test program: resource kinds and template pools.
void setUpTemplates(ProbeLayout layout);
// Registers the working pools under folder.
void setUpPools(const TestFolder &folder);

// Written as PNG, or in format ("JPEG" keeps large photos quick to write and read).
std::shared_ptr<HLResourceItem> importPhoto(const TestFolder &folder, const QImage &image, const char *format = "PNG");
std::shared_ptr<HLResourceItem> importPhoto(const TestFolder &folder, const QColor &color, int width = 64,
                                            int height = 48);
// An indexed clip (frame i is grey level i × 8), with a sine tone of 0.5 at toneHz when given.
std::shared_ptr<HLResourceItem> importClip(const TestFolder &folder, double seconds, std::optional<double> toneHz);
// A clip whose frame i shows i in binary (MediaFixtures::makeNumberedClip).
std::shared_ptr<HLResourceItem> importNumberedClip(const TestFolder &folder, QSize size, int fps, double seconds);
// A sine tone of 0.5 at toneHz.
std::shared_ptr<HLResourceItem> importTone(const TestFolder &folder, double seconds, double toneHz = 441);

// A timeline of mode items per slideshow item with the given slideshow and "Dissolve"
// transitions.
std::shared_ptr<HLTimelineItem> timeline(quint64 mode = 1, const QString &slideshow = QStringLiteral("Probe"));
// The info dictionary of a slideshow template of the pool.
QVariantMap slideshowInfo(const QString &name);

} // namespace TestProject
