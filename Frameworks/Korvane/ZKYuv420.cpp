#include "Frameworks/Korvane/ZKYuv420.h"

#include "Platform/Foundation/HLVectorPath.h"

#include <immintrin.h>

#include <cmath>
#include <cstddef>

namespace {

// Weights in 1/32768ths, rounded so that white gives luma 235 and greys give chroma 128
// exactly. Chroma weights apply to sums of four pixels, hence their 2 more bits of shift.
constexpr int kBits = 15;

struct Weights
{
    int yb, yg, yr;
    int ub, ug, ur;
    int vb, vg, vr;
};

Weights weightsOf(ZKYuvMatrix matrix)
{
    const double kr = matrix == ZKYuvMatrix::BT709 ? 0.2126 : 0.299;
    const double kb = matrix == ZKYuvMatrix::BT709 ? 0.0722 : 0.114;
    const double lumaScale = 219.0 / 255.0 * (1 << kBits);
    const double chromaScale = 224.0 / 255.0 * (1 << kBits);
    Weights w{};
    w.yr = int(std::lround(kr * lumaScale));
    w.yb = int(std::lround(kb * lumaScale));
    w.yg = int(std::lround(lumaScale)) - w.yr - w.yb;
    w.ub = int(std::lround(chromaScale / 2));
    w.ur = int(std::lround(-kr / (2 * (1 - kb)) * chromaScale));
    w.ug = -(w.ub + w.ur);
    w.vr = int(std::lround(chromaScale / 2));
    w.vb = int(std::lround(-kb / (2 * (1 - kr)) * chromaScale));
    w.vg = -(w.vr + w.vb);
    return w;
}

constexpr int kLumaBias = (16 << kBits) + (1 << (kBits - 1));
constexpr int kChromaBias = (128 << (kBits + 2)) + (1 << (kBits + 1));

uint8_t lumaOf(const uint8_t *p, const Weights &w)
{
    return uint8_t((w.yb * p[0] + w.yg * p[1] + w.yr * p[2] + kLumaBias) >> kBits);
}

// The chroma of the 2 × 2 pixels at top[0…7] and bottom[0…7].
void chromaOf(const uint8_t *top, const uint8_t *bottom, const Weights &w, uint8_t *u, uint8_t *v)
{
    const int b = top[0] + top[4] + bottom[0] + bottom[4];
    const int g = top[1] + top[5] + bottom[1] + bottom[5];
    const int r = top[2] + top[6] + bottom[2] + bottom[6];
    *u = uint8_t((w.ub * b + w.ug * g + w.ur * r + kChromaBias) >> (kBits + 2));
    *v = uint8_t((w.vb * b + w.vg * g + w.vr * r + kChromaBias) >> (kBits + 2));
}

// Two 16-bit weights side by side, as _mm_madd_epi16 pairs them with 16-bit lanes.
__m128i pairOf(int low, int high)
{
    return _mm_set1_epi32(int(uint32_t(uint16_t(low)) | uint32_t(uint16_t(high)) << 16));
}

// The same sums as lumaOf and chromaOf, sixteen pixels of two rows at a time.
class Rows16
{
public:
    explicit Rows16(const Weights &w)
        : m_lumaBlueRed(pairOf(w.yb, w.yr)), m_lumaGreen(pairOf(w.yg, 0)), m_uBlueRed(pairOf(w.ub, w.ur)),
          m_uGreen(pairOf(w.ug, 0)), m_vBlueRed(pairOf(w.vb, w.vr)), m_vGreen(pairOf(w.vg, 0))
    {
    }

    void convert(const uint8_t *top, const uint8_t *bottom, uint8_t *yTop, uint8_t *yBottom, uint8_t *u,
                 uint8_t *v) const
    {
        __m128i a[4], b[4];
        for (int i = 0; i < 4; ++i) {
            a[i] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(top) + i);
            b[i] = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bottom) + i);
        }
        storeLuma(yTop, a);
        storeLuma(yBottom, b);
        __m128i us[4], vs[4];
        for (int i = 0; i < 4; ++i) {
            // Blue and red, green and the fourth byte, as 16-bit lanes summed down the two
            // rows and then across each pair of columns (lanes 0 and 2 hold the pairs).
            __m128i blueRed = _mm_add_epi16(_mm_and_si128(a[i], m_low), _mm_and_si128(b[i], m_low));
            __m128i green = _mm_add_epi16(_mm_and_si128(_mm_srli_epi32(a[i], 8), m_low),
                                          _mm_and_si128(_mm_srli_epi32(b[i], 8), m_low));
            blueRed = _mm_add_epi16(blueRed, _mm_srli_epi64(blueRed, 32));
            green = _mm_add_epi16(green, _mm_srli_epi64(green, 32));
            us[i] = _mm_add_epi32(_mm_madd_epi16(blueRed, m_uBlueRed), _mm_madd_epi16(green, m_uGreen));
            vs[i] = _mm_add_epi32(_mm_madd_epi16(blueRed, m_vBlueRed), _mm_madd_epi16(green, m_vGreen));
        }
        storeChroma(u, us);
        storeChroma(v, vs);
    }

private:
    void storeLuma(uint8_t *to, const __m128i pixels[4]) const
    {
        __m128i y[4];
        for (int i = 0; i < 4; ++i) {
            const __m128i blueRed = _mm_and_si128(pixels[i], m_low);
            const __m128i green = _mm_and_si128(_mm_srli_epi32(pixels[i], 8), m_low);
            const __m128i sum = _mm_add_epi32(_mm_madd_epi16(blueRed, m_lumaBlueRed), _mm_madd_epi16(green, m_lumaGreen));
            y[i] = _mm_srai_epi32(_mm_add_epi32(sum, _mm_set1_epi32(kLumaBias)), kBits);
        }
        const __m128i words = _mm_packus_epi16(_mm_packs_epi32(y[0], y[1]), _mm_packs_epi32(y[2], y[3]));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(to), words);
    }

    // Eight chroma samples from the pair sums in lanes 0 and 2 of each of the four.
    static void storeChroma(uint8_t *to, const __m128i sums[4])
    {
        auto evenLanes = [](__m128i x, __m128i y) {
            return _mm_castps_si128(_mm_shuffle_ps(_mm_castsi128_ps(x), _mm_castsi128_ps(y), _MM_SHUFFLE(2, 0, 2, 0)));
        };
        const __m128i bias = _mm_set1_epi32(kChromaBias);
        const __m128i first = _mm_srai_epi32(_mm_add_epi32(evenLanes(sums[0], sums[1]), bias), kBits + 2);
        const __m128i second = _mm_srai_epi32(_mm_add_epi32(evenLanes(sums[2], sums[3]), bias), kBits + 2);
        const __m128i words = _mm_packs_epi32(first, second);
        _mm_storel_epi64(reinterpret_cast<__m128i *>(to), _mm_packus_epi16(words, words));
    }

    const __m128i m_low = _mm_set1_epi32(0x00ff00ff);
    const __m128i m_lumaBlueRed, m_lumaGreen;
    const __m128i m_uBlueRed, m_uGreen;
    const __m128i m_vBlueRed, m_vGreen;
};

// Rows16's sums, thirty-two pixels of two rows at a time in 256-bit lanes (AVX2, compiled
// for these functions only). Packing works within 128-bit halves, so each result is put back
// in order across the halves before it is stored.
struct Weights256
{
    __m256i low, lumaBlueRed, lumaGreen, uBlueRed, uGreen, vBlueRed, vGreen;
};

[[gnu::target("avx2")]] inline __m256i weightedSum(__m256i blueRed, __m256i green, __m256i blueRedWeights,
                                                   __m256i greenWeights)
{
    return _mm256_add_epi32(_mm256_madd_epi16(blueRed, blueRedWeights), _mm256_madd_epi16(green, greenWeights));
}

[[gnu::target("avx2")]] inline void storeLuma32(uint8_t *to, const __m256i pixels[4], const Weights256 &w)
{
    __m256i y[4];
    for (int i = 0; i < 4; ++i) {
        const __m256i blueRed = _mm256_and_si256(pixels[i], w.low);
        const __m256i green = _mm256_and_si256(_mm256_srli_epi32(pixels[i], 8), w.low);
        const __m256i sum = weightedSum(blueRed, green, w.lumaBlueRed, w.lumaGreen);
        y[i] = _mm256_srai_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(kLumaBias)), kBits);
    }
    // The bytes come out in groups of four pixels ordered 0, 2, 4, 6 | 1, 3, 5, 7.
    const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(y[0], y[1]), _mm256_packs_epi32(y[2], y[3]));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(to),
                        _mm256_permutevar8x32_epi32(bytes, _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7)));
}

// Eight chroma samples from the pair sums of two sets of eight pixels, ordered 0 1 4 5 | 2 3 6 7.
[[gnu::target("avx2")]] inline __m256i chroma8(__m256i x, __m256i y)
{
    const __m256i evenLanes =
        _mm256_castps_si256(_mm256_shuffle_ps(_mm256_castsi256_ps(x), _mm256_castsi256_ps(y), _MM_SHUFFLE(2, 0, 2, 0)));
    return _mm256_srai_epi32(_mm256_add_epi32(evenLanes, _mm256_set1_epi32(kChromaBias)), kBits + 2);
}

// Sixteen samples of each chroma plane from the pair sums in the even lanes of each of four.
[[gnu::target("avx2")]] inline void storeChroma16(uint8_t *u, uint8_t *v, const __m256i us[4], const __m256i vs[4])
{
    const __m256i u0 = chroma8(us[0], us[1]), u1 = chroma8(us[2], us[3]);
    const __m256i v0 = chroma8(vs[0], vs[1]), v1 = chroma8(vs[2], vs[3]);
    // Each half holds u, then v, in pairs of samples: 0 1, 4 5, 8 9, 12 13 in the low half and
    // 2 3, 6 7, 10 11, 14 15 in the high one; interleaving the halves' pairs puts them in order.
    const __m256i bytes = _mm256_packus_epi16(_mm256_packs_epi32(u0, u1), _mm256_packs_epi32(v0, v1));
    const __m128i even = _mm256_castsi256_si128(bytes), odd = _mm256_extracti128_si256(bytes, 1);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(u), _mm_unpacklo_epi16(even, odd));
    _mm_storeu_si128(reinterpret_cast<__m128i *>(v), _mm_unpackhi_epi16(even, odd));
}

// Converts the row pair up to the last whole thirty-two pixels; answers how many it did.
[[gnu::target("avx2")]] int convertRows32(const uint8_t *top, const uint8_t *bottom, int width, const Weights &weights,
                                          uint8_t *yTop, uint8_t *yBottom, uint8_t *u, uint8_t *v)
{
    const Weights256 w{_mm256_set1_epi32(0x00ff00ff),
                       _mm256_broadcastsi128_si256(pairOf(weights.yb, weights.yr)),
                       _mm256_broadcastsi128_si256(pairOf(weights.yg, 0)),
                       _mm256_broadcastsi128_si256(pairOf(weights.ub, weights.ur)),
                       _mm256_broadcastsi128_si256(pairOf(weights.ug, 0)),
                       _mm256_broadcastsi128_si256(pairOf(weights.vb, weights.vr)),
                       _mm256_broadcastsi128_si256(pairOf(weights.vg, 0))};
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        __m256i a[4], b[4];
        for (int i = 0; i < 4; ++i) {
            a[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(top + 4 * x) + i);
            b[i] = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(bottom + 4 * x) + i);
        }
        storeLuma32(yTop + x, a, w);
        storeLuma32(yBottom + x, b, w);
        __m256i us[4], vs[4];
        for (int i = 0; i < 4; ++i) {
            __m256i blueRed = _mm256_add_epi16(_mm256_and_si256(a[i], w.low), _mm256_and_si256(b[i], w.low));
            __m256i green = _mm256_add_epi16(_mm256_and_si256(_mm256_srli_epi32(a[i], 8), w.low),
                                             _mm256_and_si256(_mm256_srli_epi32(b[i], 8), w.low));
            blueRed = _mm256_add_epi16(blueRed, _mm256_srli_epi64(blueRed, 32));
            green = _mm256_add_epi16(green, _mm256_srli_epi64(green, 32));
            us[i] = weightedSum(blueRed, green, w.uBlueRed, w.uGreen);
            vs[i] = weightedSum(blueRed, green, w.vBlueRed, w.vGreen);
        }
        storeChroma16(u + x / 2, v + x / 2, us, vs);
    }
    return x;
}

} // namespace

void zk_bgrx_to_yuv420p(const uint8_t *pixels, int stride, int width, int height, uint8_t *const planes[3],
                        const int strides[3], ZKYuvMatrix matrix)
{
    const Weights w = weightsOf(matrix);
    const Rows16 rows16(w);
    const bool avx2 = HLVectorPath::avx2();
    for (int y = 0; y + 1 < height; y += 2) {
        const uint8_t *top = pixels + ptrdiff_t(y) * stride;
        const uint8_t *bottom = top + stride;
        uint8_t *yTop = planes[0] + ptrdiff_t(y) * strides[0];
        uint8_t *yBottom = yTop + strides[0];
        uint8_t *u = planes[1] + ptrdiff_t(y / 2) * strides[1];
        uint8_t *v = planes[2] + ptrdiff_t(y / 2) * strides[2];
        int x = avx2 ? convertRows32(top, bottom, width, w, yTop, yBottom, u, v) : 0;
        for (; x + 16 <= width; x += 16)
            rows16.convert(top + 4 * x, bottom + 4 * x, yTop + x, yBottom + x, u + x / 2, v + x / 2);
        for (; x + 1 < width; x += 2) {
            for (int i = 0; i < 2; ++i) {
                yTop[x + i] = lumaOf(top + 4 * (x + i), w);
                yBottom[x + i] = lumaOf(bottom + 4 * (x + i), w);
            }
            chromaOf(top + 4 * x, bottom + 4 * x, w, u + x / 2, v + x / 2);
        }
    }
}
