#include "SourceHL/Editors/HLImageEditGeometry.h"

#include <cmath>

namespace HLImageEditGeometry {

Rect insideFrameIn(const Rect &r, float ratio)
{
    if (r.width <= 0 || r.height <= 0 || !(ratio > 0))
        return {};
    const float a = float(r.width / r.height);
    double width = r.width;
    double height = r.height;
    if (ratio <= a)
        width = r.height * ratio;
    else
        height = r.width / ratio;
    return {r.x + (r.width - width) / 2, r.y + (r.height - height) / 2, width, height};
}

Rect pictureFrameIn(const Rect &area, float ratio)
{
    return insideFrameIn(area.inset(kCropViewGapRadius), ratio);
}

Rect referenceFrame(bool video, float ratio)
{
    return pictureFrameIn({0, 0, 650, video ? 350.0 : 400.0}, ratio);
}

Rect ratioFrameIn(const Rect &d, const CropRatios &ratios)
{
    return {d.x + d.width * ratios.x, d.y + d.height * ratios.y, d.width * ratios.w, d.height * ratios.h};
}

std::optional<CropRatios> cropRatiosOf(const Rect &d, const Rect &c)
{
    if (d.width <= 0 || d.height <= 0)
        return std::nullopt;
    return CropRatios{float((c.x - d.x) / d.width), float((c.y - d.y) / d.height), float(c.width / d.width),
                      float(c.height / d.height)};
}

int cropPixels(double pictureSide, float ratio)
{
    const double pixels = pictureSide * double(ratio);
    return std::isfinite(pixels) ? int(pixels) : 0;
}

} // namespace HLImageEditGeometry
