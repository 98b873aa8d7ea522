#pragma once

#include <cstdint>

// Limited-range 4:2:0 frames straight from 32-bit pictures whose bytes run blue, green, red
// and a fourth that is ignored (Qt's RGB32 and ARGB32 formats): each luma sample from its
// pixel, each chroma sample from the mean of its 2 × 2 pixels. Every exported frame at the
// movie's own size goes through this; the general scaler takes several times longer for it.
enum class ZKYuvMatrix { BT601, BT709 };

// width and height even; planes and strides are those of Y, U and V.
void zk_bgrx_to_yuv420p(const uint8_t *pixels, int stride, int width, int height, uint8_t *const planes[3],
                        const int strides[3], ZKYuvMatrix matrix);
