#pragma once

#include "SourceHL/Editors/HLCropGeometry.h"

#include <optional>

// The photo and video editor's arithmetic, y-up and free of Qt: where the picture sits in
// the display, where the crop rectangle sits over it, and the crop record's fractions back.
namespace HLImageEditGeometry {

using Rect = HLCropGeometry::Rect;

// The picture's gap to the picture area on every side.
constexpr double kCropViewGapRadius = 6;

// The largest rectangle of ratio (width / height) centred in r; empty for an empty r.
Rect insideFrameIn(const Rect &r, float ratio);
// The picture's frame in the picture area (the area inset by the gap).
Rect pictureFrameIn(const Rect &area, float ratio);
// The frame the crop view's minimum size is measured against: 650 × 400 points for a photo,
// 650 × 350 for a clip (its play strip takes the rest).
Rect referenceFrame(bool video, float ratio);

// The crop record's fractions of the picture: left, bottom, width, height.
struct CropRatios
{
    float x = 0;
    float y = 0;
    float w = 1;
    float h = 1;
    bool operator==(const CropRatios &) const = default;
};
// The crop rectangle over the picture frame d.
Rect ratioFrameIn(const Rect &d, const CropRatios &ratios);
// The fractions of the crop rectangle c over the picture frame d; none while d is empty
// (a display not laid out yet has no picture to measure against).
std::optional<CropRatios> cropRatiosOf(const Rect &d, const Rect &c);

// The crop side in pixels of the picture as displayed, truncated: 1920 × 0.3333 is 639.
int cropPixels(double pictureSide, float ratio);

} // namespace HLImageEditGeometry
