#include "Frameworks/Trevanel/DVDMenuGeometry.h"

#include <algorithm>
#include <cmath>

namespace {

int evenDown(double v)
{
    return int(std::floor(v / 2.0)) * 2;
}

int evenUp(double v)
{
    return int(std::ceil(v / 2.0)) * 2;
}

} // namespace

DVDMenuRect DVDMenuGeometry::scaleRect(const DVDMenuRect &rect, double menuWidth, double menuHeight, double fitWidth,
                                       double fitHeight)
{
    if (!(menuWidth > 0) || !(menuHeight > 0))
        return {};
    const double sx = fitWidth / menuWidth;
    const double sy = fitHeight / menuHeight;
    return {rect.x * sx, rect.y * sy, rect.width * sx, rect.height * sy};
}

std::optional<DVDFrameButton> DVDMenuGeometry::buttonInFrame(const DVDMenuRect &rect, int frameWidth, int frameHeight)
{
    if (!std::isfinite(rect.x) || !std::isfinite(rect.y) || !std::isfinite(rect.width) || !std::isfinite(rect.height)
        || rect.width <= 0 || rect.height <= 0 || frameWidth < 4 || frameHeight < 4)
        return std::nullopt;
    const double maxX = evenDown(frameWidth - 2);
    const double maxY = evenDown(frameHeight - 2);
    // The one flip from y up to y down.
    const double top = frameHeight - (rect.y + rect.height);
    const double bottom = frameHeight - rect.y;
    DVDFrameButton b;
    b.x0 = evenDown(std::clamp(rect.x, 0.0, maxX));
    b.x1 = evenUp(std::clamp(rect.x + rect.width, 0.0, maxX));
    b.y0 = evenDown(std::clamp(top, 0.0, maxY));
    b.y1 = evenUp(std::clamp(bottom, 0.0, maxY));
    b.x1 = std::min(b.x1, int(maxX));
    b.y1 = std::min(b.y1, int(maxY));
    if (b.x1 <= b.x0 || b.y1 <= b.y0)
        return std::nullopt;
    return b;
}

DVDFrameButton DVDMenuGeometry::letterboxButton(const DVDFrameButton &button, int frameHeight)
{
    const double bar = frameHeight / 8.0;
    DVDFrameButton b = button;
    b.y0 = evenDown(bar + button.y0 * 0.75);
    b.y1 = std::max(evenUp(bar + button.y1 * 0.75), b.y0 + 2);
    return b;
}
