#include "SourceHL/View/HLViewGeometry.h"

#include <algorithm>

HLViewRect hl_fitPicture(float width, float height, float pictureWidth, float pictureHeight)
{
    if (width <= 0 || height <= 0 || pictureWidth <= 0 || pictureHeight <= 0)
        return {};
    const float viewRatio = width / height;
    const float pictureRatio = pictureWidth / pictureHeight;
    float drawnWidth = 0, drawnHeight = 0;
    if (pictureRatio > viewRatio) {
        drawnWidth = width;
        drawnHeight = width / pictureRatio;
    } else {
        drawnHeight = height;
        drawnWidth = height * pictureRatio;
    }
    return {(width - drawnWidth) / 2, (height - drawnHeight) / 2, drawnWidth, drawnHeight};
}

HLViewRect hl_overlayLimitedFrame(float width, float height, float shownWidth, float shownHeight)
{
    return {-shownWidth / 2, -shownHeight / 2, width + shownWidth, height + shownHeight};
}

HLViewPoint hl_overlayCenter(const HLViewRect &limited, float ratioX, float ratioY)
{
    return {limited.x + limited.width * ratioX, limited.y + limited.height * ratioY};
}

HLViewRect hl_overlayDisplayFrame(HLViewPoint center, float shownWidth, float shownHeight)
{
    return {center.x - shownWidth / 2, center.y - shownHeight / 2, shownWidth, shownHeight};
}

HLViewPoint hl_overlayValidCenter(HLViewPoint center, const HLViewRect &limited)
{
    // Lower bound first, then upper, as the drawing expects for a frame of no size.
    const float x = std::min(std::max(center.x, limited.x), limited.maxX());
    const float y = std::min(std::max(center.y, limited.y), limited.maxY());
    return {x, y};
}

std::optional<float> hl_overlayRatio(float coordinate, float minimum, float span)
{
    if (!(span > 0))
        return std::nullopt;
    return (coordinate - minimum) / span;
}
