#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The chooser's tab kinds and the template grid's arithmetic, free of Qt and y-up (origin at
// the content's bottom left).

// The chooser tab a template shows in. Template types are the pools' (0 slideshow, 2
// transition, 3 text); Slideshow and General both draw on the slideshow pool.
using QuartzUIType = std::int64_t;
enum : QuartzUIType {
    QuartzUITypeSlideshow = 0,
    QuartzUITypeGeneral = 1,
    QuartzUITypeTransition = 2,
    QuartzUITypeText = 3,
};

namespace HLQuartzRules {
// Slideshow templates named with "Normal" or "Dissolve" go to General; type 2 is Transition;
// every other type is Text.
QuartzUIType UITypeOf(std::int64_t type, std::string_view name);
// The pool a tab draws on: 2 and 3 their own, every other tab the slideshow pool.
std::int64_t typeOf(QuartzUIType uiType);
// Slideshow and General are one group; Transition and Text each their own.
bool isSameTypeOf(QuartzUIType a, QuartzUIType b);
} // namespace HLQuartzRules

// Where the grid's tiles go for a visible width W and height H.
struct HLQuartzGridLayout
{
    static constexpr double kTileWidth = 130;
    static constexpr double kTileHeight = 115;
    static constexpr double kGap = 5;

    std::size_t columns = 1;
    std::size_t rows = 0;
    double contentHeight = 0;
    double spacing = 0;

    // At least one column: a view narrower than one tile and its margins shows one, clipped.
    static HLQuartzGridLayout layoutOf(double width, double height, std::size_t count);
    // The y-up origin of tile index in template order: rows fill from the top, left to right.
    double xOf(std::size_t index) const;
    double yOf(std::size_t index) const;
};

// The hover preview's clock.
namespace HLQuartzPreviewClock {
// Slideshows loop at double speed, titles at 0.4, transitions as they are.
float speedOf(std::int64_t type);
// The loop length: a template's "BestDuration", a title's one second.
float loopOf(std::int64_t type, double bestDuration);
// now + elapsed wrapped into [0, loop); a loop of 0 or less stays at 0.
float wrapped(float now, float elapsed, float loop);
// The renderer's time for a loop time: a transition runs over 0 … 1 of its loop.
float renderTimeOf(std::int64_t type, float time, float loop);
} // namespace HLQuartzPreviewClock
