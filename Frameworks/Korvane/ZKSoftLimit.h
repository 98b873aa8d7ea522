#pragma once

#include <QtGlobal>

// Bends samples above 0.8 smoothly towards ±1, so that loud sums of several sounds compress
// instead of reaching full scale, where they would be clipped flat; quieter samples pass
// unchanged. The one limiter of the player's mix and the export's.
void zk_soft_limit(float *samples, qsizetype count);
