#pragma once

#include "SourceHL/Model/Timeline/HLRenderItem.h"

#include <QSize>
#include <QSizeF>

class HLRenderSizer;

// The whole-pixel size of a fractional one (at least 1 × 1).
QSize hlWholePixels(QSizeF size);

// The size the timeline and title renderers draw a frame at: the free context size for a
// renderer that draws freely, the project's full even size for export, its preview-limited
// size otherwise. Empty without a sizer.
QSize hlRenderFrameSize(const HLRenderSizer *sizer, bool freely, HLRenderMode mode);
