#pragma once

#include "SourceHL/Model/Package/HLProjectContents.h"
#include "tests/support/TestFolder.h"

// A project with every kind of item and edit, built on generated media imported into the
// working pools under folder (TestProject::setUpPools): three photos, one of them also a
// slideshow background, a 2-second clip with a tone, a music file, two titles, and edits of
// crop, rotation, colour, trim, volume, durations and fades. Templates come from
// TestProject::setUpTemplates, or the pools the main window set up (slideshow names one).
namespace SampleProject {

HLProjectContents make(const TestFolder &folder, const QString &slideshow = QStringLiteral("Probe"));

// Whether two projects hold the same items and edits (identifiers included).
bool sameProject(const HLProjectContents &a, const HLProjectContents &b);

// The project as a saved package holds it: a copy with the saved project's identifiers.
HLProjectContents persistentCopy(const HLProjectContents &contents);

} // namespace SampleProject
