#pragma once

#include <optional>

// Plain geometry of the picture views, free of Qt, in y-up coordinates (origin at the
// bottom left). Widgets flip the results once when they draw.
struct HLViewRect
{
    float x = 0;
    float y = 0;
    float width = 0;
    float height = 0;

    float maxX() const { return x + width; }
    float maxY() const { return y + height; }
};

struct HLViewPoint
{
    float x = 0;
    float y = 0;
};

// The rectangle a picture of (pictureWidth × pictureHeight) takes when fitted whole into a
// view of (width × height), aspect kept and centred; empty for an empty picture or view.
HLViewRect hl_fitPicture(float width, float height, float pictureWidth, float pictureHeight);

// The movable title over a view: the title box of shownWidth × shownHeight may move until
// its far edge touches the view's edge, so its centre lives in the limited frame: the
// view's bounds grown by half the box on every side.
HLViewRect hl_overlayLimitedFrame(float width, float height, float shownWidth, float shownHeight);
// The centre for the ratios (0 … 1 across the limited frame).
HLViewPoint hl_overlayCenter(const HLViewRect &limited, float ratioX, float ratioY);
// The box of shownWidth × shownHeight centred on center.
HLViewRect hl_overlayDisplayFrame(HLViewPoint center, float shownWidth, float shownHeight);
// The centre clamped into the limited frame.
HLViewPoint hl_overlayValidCenter(HLViewPoint center, const HLViewRect &limited);
// The ratio of a coordinate across a span of the limited frame; none for a span of zero
// width, where the ratio stays what it was.
std::optional<float> hl_overlayRatio(float coordinate, float minimum, float span);
