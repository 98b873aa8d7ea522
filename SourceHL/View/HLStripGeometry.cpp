#include "SourceHL/View/HLStripGeometry.h"

#include <algorithm>
#include <cmath>

namespace HLStripGeometry {

Frame cellFrame(std::int64_t index)
{
    return {kCellWidth * double(index) + kCellInset, kCellInset, kCellWidth - 2 * kCellInset,
            kCellWidth - 2 * kCellInset};
}

Frame rowFrame(double x, std::int64_t count)
{
    return {x, 0, kCellWidth * double(count), kRowHeight};
}

std::int64_t rowDropIndex(double x, std::int64_t count)
{
    const double gap = std::floor((x + kCellWidth * 0.5) / kCellWidth);
    if (!(gap > 0))
        return 0;
    return std::min<std::int64_t>(std::int64_t(std::min(gap, double(count))), count);
}

double rowMarkerX(std::int64_t index, double rowMaxX)
{
    const double x = double(index) * kCellWidth - 1;
    return std::min(std::max(x, 1.0), rowMaxX - 1);
}

double backMarkerX(double dropX, double width)
{
    return std::min(std::max(dropX, 1.0), width - 1) - 1;
}

double backMapX(double x, double stripEnd, const std::vector<double> &tileRightEdges)
{
    if (x >= stripEnd)
        return stripEnd;
    double a = 0;
    double b = 0;
    if (tileRightEdges.empty()) {
        b = stripEnd;
    } else {
        for (const double edge : tileRightEdges) {
            b = edge;
            if (a <= x && x < b)
                break;
            a = b;
        }
    }
    return (a + b) / 2 >= x ? a : b;
}

std::optional<std::size_t> backDropRow(double markerX, const std::vector<double> &rowMidXs)
{
    for (std::size_t i = 0; i < rowMidXs.size(); ++i)
        if (rowMidXs[i] > markerX)
            return i;
    return std::nullopt;
}

float seekOffsetOf(double contentX)
{
    const float u = float(contentX) - float(kLineMargin);
    return u > 0 ? u : 0.0f;
}

double playlineXOf(double uiOffset)
{
    return std::trunc(uiOffset + kLineMargin);
}

bool seeksToItem(double playlineX, double itemMinX, double itemMaxX)
{
    return playlineX < itemMinX || playlineX > itemMaxX;
}

double contentWidthOf(double visibleWidth, double timelineMax, double textlineMax)
{
    const float timeline = float(timelineMax);
    const float textline = float(textlineMax);
    const float widest = std::isnan(timeline) ? textline : std::max(timeline, textline);
    const float wanted = widest + float(kLineMargin) + float(kWidthTail);
    return std::max(float(visibleWidth), wanted);
}

double audioWidthOf(double visibleWidth, double audiolineMax)
{
    return std::max(float(visibleWidth), float(audiolineMax + kWidthTail));
}

} // namespace HLStripGeometry
