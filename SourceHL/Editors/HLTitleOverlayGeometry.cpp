#include "SourceHL/Editors/HLTitleOverlayGeometry.h"

#include <cmath>

HLTitleOverlayFit hl_titleOverlayFit(float hostWidth, float hostHeight, float ratio)
{
    // An empty host or a shape that is no positive number has no overlay to draw.
    if (!(hostWidth > 0) || !(hostHeight > 0) || !(ratio > 0) || !std::isfinite(ratio))
        return {};
    float width = hostWidth;
    float height = hostWidth / ratio;
    if (ratio <= hostWidth / hostHeight) {
        height = hostHeight;
        width = hostHeight * ratio;
    }
    HLTitleOverlayFit fit;
    fit.frame = {(hostWidth - width) * 0.5f, (hostHeight - height) * 0.5f, width, height};
    const float reference = ratio < 600.0f / 450.0f ? 450.0f * ratio : 600.0f;
    fit.resize = width / reference;
    return fit;
}
