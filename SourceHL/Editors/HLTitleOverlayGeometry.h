#pragma once

#include "SourceHL/View/HLViewGeometry.h"

// Where the title editor lays its live overlay over the preview, y-up and free of Qt: the
// project's shape, as large as fits, centred in the host; and the overlay's scale of the
// style's sizes, which are given for a 600 × 450 canvas fitted to the project's shape.
struct HLTitleOverlayFit
{
    HLViewRect frame;
    float resize = 0; // overlay points per canvas unit; 0 for no overlay
};

HLTitleOverlayFit hl_titleOverlayFit(float hostWidth, float hostHeight, float ratio);
