#pragma once

#include <QtGlobal>

// The kind of a composition renderer and of a template pool. General renderers are the plain ones
// and the index renderers of slideshow templates.
using HLRenderType = qint64;
enum : HLRenderType {
    HLRenderTypeSlideshow = 0,
    HLRenderTypeGeneral = 1,
    HLRenderTypeTransition = 2,
    HLRenderTypeText = 3,
};
