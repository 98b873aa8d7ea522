#pragma once

#include "tests/support/TestFolder.h"

#include <QString>

#include <memory>
#include <vector>

class Trevanel;

// Small generated discs for the authoring tests: titles of short clips, one chapter per
// listed length, and a menu with one button per title.
namespace DVDTestDisc {

struct Recipe
{
    int format = 0;       // 0 NTSC, 1 PAL
    qint64 aspect = 0;    // 0 4:3, 1 16:9
    bool menu = true;
    bool playFirstTitle = false;
    bool music = false;
    double menuSeconds = 1.0;
    std::vector<std::vector<double>> titles{{1.0}}; // chapter lengths (s) per title
};

std::shared_ptr<Trevanel> disc(const TestFolder &folder, const Recipe &recipe);

} // namespace DVDTestDisc
