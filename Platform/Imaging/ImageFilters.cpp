#include "Platform/Imaging/ImageFilters.h"

#include "Platform/Imaging/ParallelRows.h"

#include "Platform/Foundation/HLVectorPath.h"

#include <immintrin.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <optional>
#include <vector>

namespace ImageFilters {

namespace {

constexpr QImage::Format kFormat = QImage::Format_ARGB32_Premultiplied;

// Four lanes at a time (SSE2 on x86-64, whatever the target has elsewhere): one lane per
// pixel for the colour filters, one per channel of a pixel for the blur.
using Floats = float __attribute__((vector_size(16)));
using Ints = qint32 __attribute__((vector_size(16)));
using Words = quint32 __attribute__((vector_size(16)));
using Bytes = uchar __attribute__((vector_size(4)));

template <class V>
V load(const void *from)
{
    V v;
    std::memcpy(&v, from, sizeof v);
    return v;
}

template <class V>
void store(void *to, V v)
{
    std::memcpy(to, &v, sizeof v);
}

// Pixels x … x + 3 of a row width long; those past its end read as transparent.
Words loadPixels(const quint32 *row, int x, int width)
{
    if (x + 4 <= width)
        return load<Words>(row + x);
    if (x >= width)
        return Words{};
    quint32 some[4] = {};
    std::memcpy(some, row + x, size_t(width - x) * 4);
    return load<Words>(some);
}

void storePixels(quint32 *row, int x, int width, Words pixels)
{
    if (x + 4 <= width)
        return store(row + x, pixels);
    quint32 some[4];
    store(some, pixels);
    std::memcpy(row + x, some, size_t(width - x) * 4);
}

Floats channel(Words pixels, int shift)
{
    return __builtin_convertvector(Ints((pixels >> shift) & 0xff), Floats);
}

// Rounds premultiplied colours into [0, alpha] and packs them with the alpha.
Words packClamped(Floats r, Floats g, Floats b, Words alpha)
{
    const Floats top = __builtin_convertvector(Ints(alpha), Floats) + 0.5f;
    const Floats zero = {};
    auto round = [&](Floats v) {
        v += 0.5f;
        v = v < zero ? zero : v;
        v = top < v ? top : v;
        return Words(__builtin_convertvector(v, Ints));
    };
    return (alpha << 24) | (round(r) << 16) | (round(g) << 8) | round(b);
}

// out = clamp(m · rgb + offset · alpha, 0, alpha) over premultiplied pixels: an affine
// colour map on unpremultiplied colours, clamped to [0, 1], without dividing by alpha.
struct ColorMatrix
{
    float m[3][3];
    float offset[3];
};

// Applies first and then, when given, second; between the two the colours are clamped to
// [0, alpha] as a pass of their own would, only not rounded to whole values.
QImage mapped(const QImage &src, const ColorMatrix &first, const ColorMatrix *second = nullptr)
{
    QImage dst(src.size(), kFormat);
    if (dst.isNull())
        return {};
    const int width = src.width();
    const uchar *srcBits = src.constBits();
    uchar *dstBits = dst.bits();
    const qsizetype srcLine = src.bytesPerLine(), dstLine = dst.bytesPerLine();
    ImagingThreads::forEachBand(src.height(), width * (second ? 2 : 1), [&](int begin, int end) {
        // Local copies: the compiler cannot tell the matrices from the pixels written.
        Floats m[3][3], o[3], n[3][3], q[3];
        for (int i = 0; i < 3; ++i) {
            for (int j = 0; j < 3; ++j) {
                m[i][j] = Floats{} + first.m[i][j];
                n[i][j] = Floats{} + (second ? second->m[i][j] : 0.0f);
            }
            o[i] = Floats{} + first.offset[i];
            q[i] = Floats{} + (second ? second->offset[i] : 0.0f);
        }
        const Floats zero = {};
        for (int y = begin; y < end; ++y) {
            const auto *s = reinterpret_cast<const quint32 *>(srcBits + y * srcLine);
            auto *d = reinterpret_cast<quint32 *>(dstBits + y * dstLine);
            for (int x = 0; x < width; x += 4) {
                const Words p = loadPixels(s, x, width);
                const Words a = p >> 24;
                Floats r = channel(p, 16), g = channel(p, 8), b = channel(p, 0);
                const Floats fa = __builtin_convertvector(Ints(a), Floats);
                Floats r1 = m[0][0] * r + m[0][1] * g + m[0][2] * b + o[0] * fa;
                Floats g1 = m[1][0] * r + m[1][1] * g + m[1][2] * b + o[1] * fa;
                Floats b1 = m[2][0] * r + m[2][1] * g + m[2][2] * b + o[2] * fa;
                if (second) {
                    auto clamp = [&](Floats v) {
                        v = v < zero ? zero : v;
                        return fa < v ? fa : v;
                    };
                    r = clamp(r1), g = clamp(g1), b = clamp(b1);
                    r1 = n[0][0] * r + n[0][1] * g + n[0][2] * b + q[0] * fa;
                    g1 = n[1][0] * r + n[1][1] * g + n[1][2] * b + q[1] * fa;
                    b1 = n[2][0] * r + n[2][1] * g + n[2][2] * b + q[2] * fa;
                }
                storePixels(d, x, width, packClamped(r1, g1, b1, a));
            }
        }
    });
    return dst;
}

// The two colour maps in fixed point, eight pixels' worth of 16-bit lanes at a time. A pixel
// splits into the 16-bit pairs (blue, red) and (green, alpha); _mm_madd_epi16 multiplies such a
// pair by two coefficients and adds the products, so two of them make a row of the matrix.
struct FixedMatrix
{
    __m128i blueRed[3], greenAlpha[3]; // per output red, green, blue
    int bits;                          // coefficients are scaled by 2^bits
};

// The matrix scaled as finely as 16-bit coefficients and 32-bit sums of inputs up to top
// allow; nothing when that leaves fewer than leastBits.
std::optional<FixedMatrix> fixedMatrix(const ColorMatrix &cm, int top, int leastBits)
{
    double largest = 0, widestRow = 0;
    for (int i = 0; i < 3; ++i) {
        const double row = std::abs(cm.m[i][0]) + std::abs(cm.m[i][1]) + std::abs(cm.m[i][2]) + std::abs(cm.offset[i]);
        largest = std::max({largest, double(std::abs(cm.m[i][0])), double(std::abs(cm.m[i][1])),
                            double(std::abs(cm.m[i][2])), double(std::abs(cm.offset[i]))});
        widestRow = std::max(widestRow, row);
    }
    int bits = 14;
    while (bits >= leastBits && (largest * (1 << bits) > 32000 || widestRow * (1 << bits) * top > 2.0e9))
        --bits;
    if (bits < leastBits || !std::isfinite(widestRow))
        return std::nullopt;
    auto q = [bits](float v) { return short(std::lrint(double(v) * (1 << bits))); };
    FixedMatrix f;
    f.bits = bits;
    for (int i = 0; i < 3; ++i) {
        f.blueRed[i] = _mm_set_epi16(q(cm.m[i][0]), q(cm.m[i][2]), q(cm.m[i][0]), q(cm.m[i][2]), q(cm.m[i][0]),
                                     q(cm.m[i][2]), q(cm.m[i][0]), q(cm.m[i][2]));
        f.greenAlpha[i] = _mm_set_epi16(q(cm.offset[i]), q(cm.m[i][1]), q(cm.offset[i]), q(cm.m[i][1]),
                                        q(cm.offset[i]), q(cm.m[i][1]), q(cm.offset[i]), q(cm.m[i][1]));
    }
    return f;
}

// Rounds 32-bit sums scaled by 2^shift (at least 1) to whole values.
__m128i rounded(__m128i v, int shift)
{
    return _mm_srai_epi32(_mm_add_epi32(v, _mm_set1_epi32(1 << (shift - 1))), shift);
}

// Four pixels from whole colour values in 32-bit lanes, clamped to [0, alpha].
__m128i packedPixels(__m128i r, __m128i g, __m128i b, __m128i alpha)
{
    const __m128i top = _mm_packs_epi32(alpha, alpha);
    const __m128i blueRed = _mm_min_epi16(_mm_packs_epi32(b, r), top);       // b0..b3 r0..r3
    const __m128i greenAlpha = _mm_min_epi16(_mm_packs_epi32(g, alpha), top); // g0..g3 a0..a3
    const __m128i bg = _mm_unpacklo_epi16(blueRed, greenAlpha), ra = _mm_unpackhi_epi16(blueRed, greenAlpha);
    return _mm_packus_epi16(_mm_unpacklo_epi32(bg, ra), _mm_unpackhi_epi32(bg, ra));
}

// mapped() with both maps in fixed point: the colours in between are kept to 1/128.
QImage mappedFixed(const QImage &src, const FixedMatrix &first, const FixedMatrix &second)
{
    QImage dst(src.size(), kFormat);
    if (dst.isNull())
        return {};
    const int width = src.width();
    const uchar *srcBits = src.constBits();
    uchar *dstBits = dst.bits();
    const qsizetype srcLine = src.bytesPerLine(), dstLine = dst.bytesPerLine();
    ImagingThreads::forEachBand(src.height(), width * 2, [&](int begin, int end) {
        const FixedMatrix m = first, n = second;
        const __m128i low = _mm_set1_epi32(0x00ff00ff), zero = _mm_setzero_si128();
        auto row = [](const FixedMatrix &f, int i, __m128i blueRed, __m128i greenAlpha) {
            return _mm_add_epi32(_mm_madd_epi16(blueRed, f.blueRed[i]), _mm_madd_epi16(greenAlpha, f.greenAlpha[i]));
        };
        const int between = m.bits - 7; // from the first map's scale to 1/128
        for (int y = begin; y < end; ++y) {
            const auto *s = reinterpret_cast<const quint32 *>(srcBits + y * srcLine);
            auto *d = reinterpret_cast<quint32 *>(dstBits + y * dstLine);
            for (int x = 0; x < width; x += 4) {
                const __m128i p = __m128i(loadPixels(s, x, width));
                const __m128i alpha = _mm_srli_epi32(p, 24), alpha7 = _mm_slli_epi32(alpha, 7);
                __m128i blueRed = _mm_and_si128(p, low), greenAlpha = _mm_and_si128(_mm_srli_epi32(p, 8), low);
                const __m128i r = rounded(row(m, 0, blueRed, greenAlpha), between);
                const __m128i g = rounded(row(m, 1, blueRed, greenAlpha), between);
                const __m128i b = rounded(row(m, 2, blueRed, greenAlpha), between);
                // Clamped to [0, alpha] and back into pairs for the second map.
                const __m128i top = _mm_packs_epi32(alpha7, alpha7);
                const __m128i br = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(b, r), zero), top);
                const __m128i ga = _mm_min_epi16(_mm_max_epi16(_mm_packs_epi32(g, alpha7), zero), top);
                blueRed = _mm_unpacklo_epi16(br, _mm_unpackhi_epi64(br, br));
                greenAlpha = _mm_unpacklo_epi16(ga, _mm_unpackhi_epi64(ga, ga));
                const int shift = n.bits + 7;
                storePixels(d, x, width,
                            Words(packedPixels(rounded(row(n, 0, blueRed, greenAlpha), shift),
                                               rounded(row(n, 1, blueRed, greenAlpha), shift),
                                               rounded(row(n, 2, blueRed, greenAlpha), shift), alpha)));
            }
        }
    });
    return dst;
}

// Runs a pixel operation on a picture's own pixels and, for an infinite picture, on its
// colour (as one pixel).
Picture perPixel(const Picture &picture, const std::function<QImage(const QImage &)> &op)
{
    if (picture.isNull())
        return {};
    if (!picture.isInfinite())
        return Picture::fromImage(op(picture.image()), picture.extent().topLeft());
    const QImage pixels = picture.pixelExtent().isEmpty() ? QImage() : op(picture.render(picture.pixelExtent()));
    QImage one(1, 1, kFormat);
    one.fill(qPremultiply(picture.color().rgba()));
    const QColor color = QColor::fromRgba(qUnpremultiply(op(one).pixel(0, 0)));
    return Picture::infinite(color, pixels, picture.pixelExtent().topLeft());
}

std::vector<float> gaussianKernel(float sigma)
{
    const int reach = std::max(1, int(std::ceil(3 * sigma)));
    std::vector<float> weights(2 * reach + 1);
    double sum = 0;
    for (int i = -reach; i <= reach; ++i) {
        const double w = std::exp(-0.5 * (i * i) / (double(sigma) * sigma));
        weights[i + reach] = float(w);
        sum += w;
    }
    for (float &w : weights)
        w = float(w / sum);
    return weights;
}

// The kernel is symmetric: each pair of taps at the same distance shares one multiply.
// rows(k) is the row k steps away (k in [-reach, reach]). Stores floats [at, at + 16) of the
// result: four independent sums keep the adds from waiting on each other.
constexpr int kChunk = 16;

template <class RowFn>
void convolved(const std::vector<float> &kernel, int at, RowFn rows, float *to)
{
    const int reach = int(kernel.size() / 2);
    Floats sum[4];
    const float *centre = rows(0) + at;
    for (int i = 0; i < 4; ++i)
        sum[i] = kernel[size_t(reach)] * load<Floats>(centre + 4 * i);
    for (int k = 1; k <= reach; ++k) {
        const float w = kernel[size_t(reach + k)];
        const float *before = rows(-k) + at, *after = rows(k) + at;
        for (int i = 0; i < 4; ++i)
            sum[i] += w * (load<Floats>(before + 4 * i) + load<Floats>(after + 4 * i));
    }
    for (int i = 0; i < 4; ++i)
        store(to + at + 4 * i, sum[i]);
}

// The sharpening runs in 16-bit lanes: luma in 1/128ths of a level less kLumaOffset, so that
// two of them add without overflow, and the kernel in 1/16384ths summing to exactly 16384, so
// flat areas blur to themselves and get no detail.
constexpr int kLumaOffset = 16320;
constexpr int kKernelBits = 14;

// The taps from the centre outwards in pairs for _mm_madd_epi16: (0, 1), (2, 3), …, the last
// one maybe with a tap of zero.
std::vector<Ints> kernelPairs(const std::vector<float> &kernel)
{
    const int reach = int(kernel.size() / 2);
    std::vector<int> taps(size_t(reach) + 2, 0);
    int outer = 0;
    for (int k = 1; k <= reach; ++k)
        outer += taps[size_t(k)] = int(std::lrint(kernel[size_t(reach + k)] * (1 << kKernelBits)));
    taps[0] = (1 << kKernelBits) - 2 * outer;
    std::vector<Ints> pairs;
    for (int j = 0; j <= reach; j += 2)
        pairs.push_back(Ints{} + (int(quint32(quint16(taps[size_t(j)])) | quint32(taps[size_t(j + 1)]) << 16)));
    return pairs;
}

// Sums (near[j][x…] + far[j][x…]) × tap j over the kernel for eight lanes, into two halves of
// 32-bit sums. Both lists hold a whole number of pairs; unused entries point at zeros. Pairs
// fixes the count at compile time for the common kernels (0: count decides).
template <int Pairs>
[[gnu::always_inline]] inline void convolved8(const Ints *pairs, int count, const qint16 *const *near,
                                              const qint16 *const *far, int x, __m128i &low, __m128i &high)
{
    auto term = [&](int j) {
        return _mm_add_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i *>(near[j] + x)),
                             _mm_loadu_si128(reinterpret_cast<const __m128i *>(far[j] + x)));
    };
    low = high = _mm_setzero_si128();
    for (int i = 0; i < (Pairs ? Pairs : count); ++i) {
        const __m128i a = term(2 * i), b = term(2 * i + 1);
        low = _mm_add_epi32(low, _mm_madd_epi16(_mm_unpacklo_epi16(a, b), __m128i(pairs[i])));
        high = _mm_add_epi32(high, _mm_madd_epi16(_mm_unpackhi_epi16(a, b), __m128i(pairs[i])));
    }
}

__m128i load8(const qint16 *from)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i *>(from));
}

void store8(qint16 *to, __m128i v)
{
    _mm_storeu_si128(reinterpret_cast<__m128i *>(to), v);
}

// A positive fraction in whole 1/32768ths, made when compiling.
constexpr int inFixed15(float fraction)
{
    return int(fraction * 32768 + 0.5f);
}

// Luma of a pixel in 1/128ths of a level less kLumaOffset: the weights in 1/32768ths as
// _mm_madd_epi16 pairs of (blue, red) and (green, alpha), and what is added before the sum
// drops its last 8 bits.
constexpr int kLumaBlueRedWeights = inFixed15(kLumaBlue) | inFixed15(kLumaRed) << 16;
constexpr int kLumaGreenWeight = inFixed15(kLumaGreen);
constexpr int kLumaBias = (1 << 7) - (kLumaOffset << 8);

// Luma of four pixels.
__m128i lumaOfFour(__m128i pixels)
{
    const __m128i low8 = _mm_set1_epi32(0x00ff00ff);
    const __m128i blueRedWeights = _mm_set1_epi32(kLumaBlueRedWeights);
    const __m128i greenWeight = _mm_set1_epi32(kLumaGreenWeight);
    const __m128i lumaBias = _mm_set1_epi32(kLumaBias);
    const __m128i blueRed = _mm_and_si128(pixels, low8), greenAlpha = _mm_and_si128(_mm_srli_epi32(pixels, 8), low8);
    const __m128i sum = _mm_add_epi32(_mm_madd_epi16(blueRed, blueRedWeights), _mm_madd_epi16(greenAlpha, greenWeight));
    return _mm_srai_epi32(_mm_add_epi32(sum, lumaBias), 8);
}

// Four pixels with each one's detail (in 1/64ths) added to its three colours, clamped to
// [0, alpha].
__m128i sharpenedFour(__m128i pixels, __m128i fourDetails)
{
    const __m128i zero = _mm_setzero_si128();
    const __m128i detailMask = _mm_set_epi16(0, -1, -1, -1, 0, -1, -1, -1); // not the alpha
    auto sharpenedPair = [&](__m128i pair, __m128i twoDetails) {
        const __m128i spread = _mm_and_si128(twoDetails, detailMask);
        const __m128i v = _mm_srai_epi16(_mm_adds_epi16(_mm_slli_epi16(pair, 6), spread), 6);
        return _mm_min_epi16(v, _mm_shufflehi_epi16(_mm_shufflelo_epi16(pair, 0xff), 0xff));
    };
    return _mm_packus_epi16(sharpenedPair(_mm_unpacklo_epi8(pixels, zero), _mm_unpacklo_epi32(fourDetails, fourDetails)),
                            sharpenedPair(_mm_unpackhi_epi8(pixels, zero), _mm_unpackhi_epi32(fourDetails, fourDetails)));
}

// The sharpening's row loops in 256-bit lanes (AVX2, compiled for these functions only),
// sixteen pixels at a time: in each 128-bit half the same steps as the eight-lane loops, so
// both give the same bytes. Each stops at the last whole sixteen and answers how far it got;
// the eight-lane loops do the rest.
[[gnu::target("avx2")]] inline __m256i load256(const void *from)
{
    return _mm256_loadu_si256(static_cast<const __m256i *>(from));
}

[[gnu::target("avx2")]] inline void store256(void *to, __m256i v)
{
    _mm256_storeu_si256(static_cast<__m256i *>(to), v);
}

[[gnu::target("avx2")]] inline __m256i lumaOfEight(__m256i pixels)
{
    const __m256i low8 = _mm256_set1_epi32(0x00ff00ff);
    const __m256i blueRed = _mm256_and_si256(pixels, low8);
    const __m256i greenAlpha = _mm256_and_si256(_mm256_srli_epi32(pixels, 8), low8);
    const __m256i sum = _mm256_add_epi32(_mm256_madd_epi16(blueRed, _mm256_set1_epi32(kLumaBlueRedWeights)),
                                         _mm256_madd_epi16(greenAlpha, _mm256_set1_epi32(kLumaGreenWeight)));
    return _mm256_srai_epi32(_mm256_add_epi32(sum, _mm256_set1_epi32(kLumaBias)), 8);
}

[[gnu::target("avx2")]] int lumaRow16(const quint32 *pixels, int width, qint16 *luma)
{
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m256i packed =
            _mm256_packs_epi32(lumaOfEight(load256(pixels + x)), lumaOfEight(load256(pixels + x + 8)));
        // Packing within halves leaves the four-pixel quarters in the order 0, 2, 1, 3.
        store256(luma + x, _mm256_permute4x64_epi64(packed, _MM_SHUFFLE(3, 1, 2, 0)));
    }
    return x;
}

// convolved8 for sixteen lanes: low holds the sums of lanes 0–3 | 8–11, high of 4–7 | 12–15.
template <int Pairs>
[[gnu::always_inline, gnu::target("avx2")]] inline void convolved16(const Ints *pairs, int count,
                                                                     const qint16 *const *near,
                                                                     const qint16 *const *far, int x, __m256i &low,
                                                                     __m256i &high)
{
    low = high = _mm256_setzero_si256();
    for (int i = 0; i < (Pairs ? Pairs : count); ++i) {
        const __m256i a = _mm256_add_epi16(load256(near[2 * i] + x), load256(far[2 * i] + x));
        const __m256i b = _mm256_add_epi16(load256(near[2 * i + 1] + x), load256(far[2 * i + 1] + x));
        const __m256i taps = _mm256_set1_epi32(pairs[i][0]);
        low = _mm256_add_epi32(low, _mm256_madd_epi16(_mm256_unpacklo_epi16(a, b), taps));
        high = _mm256_add_epi32(high, _mm256_madd_epi16(_mm256_unpackhi_epi16(a, b), taps));
    }
}

[[gnu::target("avx2")]] inline __m256i rounded256(__m256i v, int shift)
{
    return _mm256_srai_epi32(_mm256_add_epi32(v, _mm256_set1_epi32(1 << (shift - 1))), shift);
}

// The blur of lanes [0, width) of the rows the taps aim at, into to.
template <int Pairs>
[[gnu::target("avx2")]] int blurred16(const Ints *pairs, int count, const qint16 *const *near,
                                      const qint16 *const *far, int width, qint16 *to)
{
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        __m256i low, high;
        convolved16<Pairs>(pairs, count, near, far, x, low, high);
        store256(to + x, _mm256_packs_epi32(rounded256(low, kKernelBits), rounded256(high, kKernelBits)));
    }
    return x;
}

// sharpenedFour's steps for two pixels in each half.
[[gnu::target("avx2")]] inline __m256i sharpenedPairs(__m256i pairs, __m256i twoDetails)
{
    const __m256i detailMask = _mm256_set_epi16(0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1, 0, -1, -1, -1);
    const __m256i spread = _mm256_and_si256(twoDetails, detailMask);
    const __m256i v = _mm256_srai_epi16(_mm256_adds_epi16(_mm256_slli_epi16(pairs, 6), spread), 6);
    return _mm256_min_epi16(v, _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(pairs, 0xff), 0xff));
}

// sharpenedFour for eight pixels, each one's detail twice over in its 32-bit lane.
[[gnu::target("avx2")]] inline __m256i sharpenedEight(__m256i pixels, __m256i eightDetails)
{
    const __m256i zero = _mm256_setzero_si256();
    return _mm256_packus_epi16(
        sharpenedPairs(_mm256_unpacklo_epi8(pixels, zero), _mm256_unpacklo_epi32(eightDetails, eightDetails)),
        sharpenedPairs(_mm256_unpackhi_epi8(pixels, zero), _mm256_unpackhi_epi32(eightDetails, eightDetails)));
}

[[gnu::target("avx2")]] inline __m256i detail16(__m256i lumaScaled, __m256i blurred, __m256 toDetail)
{
    const __m256 difference = _mm256_cvtepi32_ps(_mm256_sub_epi32(lumaScaled, blurred));
    return _mm256_cvtps_epi32(_mm256_mul_ps(difference, toDetail));
}

// SharpenBand::sharpenRow over pixels [0, width), the taps aimed at the blurred line.
template <int Pairs>
[[gnu::target("avx2")]] int sharpenedRow16(const Ints *pairs, int count, const qint16 *const *near,
                                           const qint16 *const *far, const qint16 *luma, const quint32 *src,
                                           quint32 *dst, int width, float toDetail)
{
    const __m256 scale = _mm256_set1_ps(toDetail);
    const __m256i zero = _mm256_setzero_si256();
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        __m256i low, high;
        convolved16<Pairs>(pairs, count, near, far, x, low, high);
        const __m256i centre = load256(luma + x);
        const __m256i lowDetails =
            detail16(_mm256_srai_epi32(_mm256_unpacklo_epi16(zero, centre), 16 - kKernelBits), low, scale);
        const __m256i highDetails =
            detail16(_mm256_srai_epi32(_mm256_unpackhi_epi16(zero, centre), 16 - kKernelBits), high, scale);
        const __m256i details = _mm256_adds_epi16(_mm256_packs_epi32(lowDetails, highDetails), _mm256_set1_epi16(32));
        // Each pixel's detail twice over, for pixels 0–3 | 8–11 and 4–7 | 12–15.
        const __m256i first = _mm256_unpacklo_epi16(details, details), second = _mm256_unpackhi_epi16(details, details);
        store256(dst + x, sharpenedEight(load256(src + x), _mm256_permute2x128_si256(first, second, 0x20)));
        store256(dst + x + 8, sharpenedEight(load256(src + x + 8), _mm256_permute2x128_si256(first, second, 0x31)));
    }
    return x;
}

// One band of the sharpening. The luma of the rows the kernel reaches is kept in a ring (row
// y in slot y % window); each row is blurred down the columns into a line padded by the reach
// on both sides (edges repeated), then across it, and the difference to the luma is added.
class SharpenBand
{
public:
    // dstBits: the first row of the result, each dstLine bytes on from the one before.
    SharpenBand(const QImage &src, uchar *dstBits, qsizetype dstLine, float sharpness, const std::vector<Ints> &pairs,
                int reach, bool avx2)
        : m_src(src), m_dstBits(dstBits), m_dstLine(dstLine), m_pairs(pairs), m_reach(reach), m_window(2 * reach + 1),
          m_width(src.width()), m_height(src.height()), m_stride((m_width + 7) / 8 * 8), m_avx2(avx2),
          // Luma and its blur differ in 2^-21ths of a level; the detail is wanted in 1/64ths.
          m_toDetail(_mm_set1_ps(sharpness / float(1 << (kKernelBits + 7 - 6))))
    {
        thread_local std::vector<qint16> lumaRows, lineRow, zeroRow;
        thread_local std::vector<const qint16 *> nearRows, farRows;
        lumaRows.resize(size_t(m_window) * size_t(m_stride));
        lineRow.resize(size_t(m_stride + 2 * reach));
        zeroRow.assign(size_t(m_stride + 2 * reach), 0);
        nearRows.resize(2 * pairs.size());
        farRows.resize(2 * pairs.size());
        m_luma = lumaRows.data();
        m_line = lineRow.data();
        m_zero = zeroRow.data();
        m_near = nearRows.data();
        m_far = farRows.data();
    }

    void run(int begin, int end)
    {
        for (int y = std::max(0, begin - m_reach); y < std::min(m_height, begin + m_reach); ++y)
            lumaRow(y);
        for (int y = begin; y < end; ++y) {
            if (y + m_reach < m_height)
                lumaRow(y + m_reach);
            blurDown(y);
            sharpenRow(y);
        }
    }

private:
    qint16 *slot(int y) const
    {
        return m_luma + size_t(std::clamp(y, 0, m_height - 1) % m_window) * size_t(m_stride);
    }

    void lumaRow(int y)
    {
        const auto *s = reinterpret_cast<const quint32 *>(m_src.constScanLine(y));
        qint16 *l = slot(y);
        for (int x = m_avx2 ? lumaRow16(s, m_width, l) : 0; x < m_stride; x += 8)
            store8(l + x, _mm_packs_epi32(lumaOfFour(__m128i(loadPixels(s, x, m_width))),
                                          lumaOfFour(__m128i(loadPixels(s, x + 4, m_width)))));
    }

    // Points the kernel's taps at the rows (or columns) rowAt(k) k steps away, centre first
    // in near only; unused taps read zeros.
    template <class RowAt>
    void aim(RowAt rowAt)
    {
        for (size_t k = 0; k < 2 * m_pairs.size(); ++k) {
            m_near[k] = k == 0 || k > size_t(m_reach) ? m_zero : rowAt(-int(k));
            m_far[k] = k > size_t(m_reach) ? m_zero : rowAt(int(k));
        }
    }

    void blurred8(int x, __m128i &low, __m128i &high) const
    {
        if (m_pairs.size() == 4) // the default radius
            convolved8<4>(m_pairs.data(), 4, m_near, m_far, x, low, high);
        else
            convolved8<0>(m_pairs.data(), int(m_pairs.size()), m_near, m_far, x, low, high);
    }

    void blurDown(int y)
    {
        aim([&](int k) { return slot(y + k); });
        qint16 *middle = m_line + m_reach;
        int x = 0;
        if (m_avx2) {
            const int count = int(m_pairs.size());
            x = count == 4 ? blurred16<4>(m_pairs.data(), 4, m_near, m_far, m_stride, middle)
                           : blurred16<0>(m_pairs.data(), count, m_near, m_far, m_stride, middle);
        }
        for (; x < m_stride; x += 8) {
            __m128i low, high;
            blurred8(x, low, high);
            store8(middle + x, _mm_packs_epi32(rounded(low, kKernelBits), rounded(high, kKernelBits)));
        }
        std::fill(m_line, m_line + m_reach, middle[0]);
        std::fill(middle + m_width, m_line + m_stride + 2 * m_reach, middle[m_width - 1]);
    }

    // sharpness × (luma − blurred) in 1/64ths, plus a half for rounding, for eight pixels.
    __m128i details8(const qint16 *luma, int x) const
    {
        __m128i low, high;
        blurred8(x, low, high);
        const __m128i zero = _mm_setzero_si128(), centre = load8(luma + x);
        auto detail = [&](__m128i lumaScaled, __m128i blurred) {
            const __m128 difference = _mm_cvtepi32_ps(_mm_sub_epi32(lumaScaled, blurred));
            return _mm_cvtps_epi32(_mm_mul_ps(difference, m_toDetail));
        };
        return _mm_adds_epi16(
            _mm_packs_epi32(detail(_mm_srai_epi32(_mm_unpacklo_epi16(zero, centre), 16 - kKernelBits), low),
                            detail(_mm_srai_epi32(_mm_unpackhi_epi16(zero, centre), 16 - kKernelBits), high)),
            _mm_set1_epi16(32));
    }

    void sharpenRow(int y)
    {
        const qint16 *middle = m_line + m_reach;
        aim([&](int k) { return middle + k; });
        const auto *s = reinterpret_cast<const quint32 *>(m_src.constScanLine(y));
        auto *d = reinterpret_cast<quint32 *>(m_dstBits + y * m_dstLine);
        const qint16 *luma = slot(y);
        int x = 0;
        if (m_avx2) {
            const int count = int(m_pairs.size());
            const float toDetail = _mm_cvtss_f32(m_toDetail);
            x = count == 4 ? sharpenedRow16<4>(m_pairs.data(), 4, m_near, m_far, luma, s, d, m_width, toDetail)
                           : sharpenedRow16<0>(m_pairs.data(), count, m_near, m_far, luma, s, d, m_width, toDetail);
        }
        for (; x < m_stride; x += 8) {
            const __m128i details = details8(luma, x);
            const __m128i first = __m128i(loadPixels(s, x, m_width)), second = __m128i(loadPixels(s, x + 4, m_width));
            storePixels(d, x, m_width, Words(sharpenedFour(first, _mm_unpacklo_epi16(details, details))));
            if (x + 4 < m_width)
                storePixels(d, x + 4, m_width, Words(sharpenedFour(second, _mm_unpackhi_epi16(details, details))));
        }
    }

    const QImage &m_src;
    uchar *const m_dstBits;
    const qsizetype m_dstLine;
    const std::vector<Ints> &m_pairs;
    const int m_reach, m_window, m_width, m_height, m_stride;
    const bool m_avx2;
    const __m128 m_toDetail;
    qint16 *m_luma, *m_line, *m_zero;
    const qint16 **m_near, **m_far;
};

QImage sharpened(const QImage &src, float sharpness, const std::vector<float> &kernel)
{
    QImage dst(src.size(), kFormat);
    if (dst.isNull())
        return {};
    uchar *dstBits = dst.bits();
    const qsizetype dstLine = dst.bytesPerLine();
    const std::vector<Ints> pairs = kernelPairs(kernel);
    const int reach = int(kernel.size() / 2);
    const bool avx2 = HLVectorPath::avx2();
    ImagingThreads::forEachBand(src.height(), src.width() * int(kernel.size()), [&](int begin, int end) {
        SharpenBand(src, dstBits, dstLine, sharpness, pairs, reach, avx2).run(begin, end);
    });
    return dst;
}

// Blurs src; rows and columns beyond it repeat the edge when clampEdges, else are empty.
QImage blurred(const QImage &src, const std::vector<float> &kernel, bool clampEdges)
{
    const int width = src.width(), height = src.height();
    QImage dst(src.size(), kFormat);
    if (dst.isNull())
        return {};
    uchar *dstBits = dst.bits();
    const qsizetype dstLine = dst.bytesPerLine();
    const int reach = int(kernel.size() / 2);
    // A pixel's four channels are one quad, in memory order; the alpha byte bounds the others.
    constexpr int alphaIndex = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? 3 : 0;
    const Ints toAlpha = {alphaIndex, alphaIndex, alphaIndex, alphaIndex};
    const int stride = (width * 4 + kChunk - 1) / kChunk * kChunk; // whole chunks per row
    ImagingThreads::forEachBand(height, width * 4 * int(kernel.size()), [&](int begin, int end) {
        const int first = std::max(0, begin - reach), last = std::min(height, end + reach);
        std::vector<float> planes(size_t(last - first) * stride);
        const std::vector<float> empty(size_t(stride), 0.0f);
        for (int y = first; y < last; ++y) {
            const uchar *s = src.constScanLine(y);
            float *p = planes.data() + size_t(y - first) * stride;
            for (int x = 0; x < width * 4; x += 4)
                store(p + x, __builtin_convertvector(load<Bytes>(s + x), Floats));
        }
        auto row = [&](int y) -> const float * {
            if (y < 0 || y >= height) {
                if (!clampEdges)
                    return empty.data();
                y = std::clamp(y, 0, height - 1);
            }
            return planes.data() + size_t(y - first) * stride;
        };
        // Down the columns into a row padded by the reach, then across it.
        std::vector<float> line(size_t(stride + 2 * reach * 4));
        float *middle = line.data() + size_t(reach) * 4;
        std::vector<float> across(static_cast<size_t>(stride));
        std::vector<const float *> reached(kernel.size());
        const Floats zero = {};
        for (int y = begin; y < end; ++y) {
            for (int k = -reach; k <= reach; ++k)
                reached[size_t(k + reach)] = row(y + k);
            for (int x = 0; x < stride; x += kChunk)
                convolved(kernel, x, [&](int k) { return reached[size_t(k + reach)]; }, middle);
            const Floats left = clampEdges ? load<Floats>(middle) : zero;
            const Floats right = clampEdges ? load<Floats>(middle + size_t(width - 1) * 4) : zero;
            for (int x = 0; x < reach; ++x)
                store(line.data() + size_t(x) * 4, left);
            for (float *x = middle + size_t(width) * 4; x < line.data() + line.size(); x += 4)
                store(x, right);
            for (int x = 0; x < stride; x += kChunk)
                convolved(kernel, x, [&](int k) { return middle + k * 4; }, across.data());
            uchar *d = dstBits + y * dstLine;
            for (int x = 0; x < width * 4; x += 4) {
                const Floats v = load<Floats>(across.data() + x);
                Floats a = __builtin_shuffle(v, toAlpha);
                a = a < zero ? zero : a;
                a = 255.0f < a ? Floats{} + 255.0f : a;
                Floats c = v < zero ? zero : v;
                c = a < c ? a : c;
                store(d + x, __builtin_convertvector(__builtin_convertvector(c + 0.5f, Ints), Bytes));
            }
        }
    });
    return dst;
}

} // namespace

namespace {

// Saturation mixes with luma: row i is (1 - s) * luma weights + s * unit row i; then
// brightness is added and contrast scales about 0.5.
ColorMatrix colorControlsMatrix(float saturation, float brightness, float contrast)
{
    const float weights[3] = {kLumaRed, kLumaGreen, kLumaBlue};
    ColorMatrix cm{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            cm.m[i][j] = contrast * ((1 - saturation) * weights[j] + (i == j ? saturation : 0.0f));
        cm.offset[i] = contrast * brightness + 0.5f * (1 - contrast);
    }
    return cm;
}

// Rodrigues' rotation about the unit grey axis k = (1, 1, 1) / sqrt(3).
ColorMatrix hueMatrix(float angle)
{
    const float c = std::cos(angle), s = std::sin(angle) / std::sqrt(3.0f), third = (1 - c) / 3;
    return {{{c + third, third - s, third + s},
             {third + s, c + third, third - s},
             {third - s, third + s, c + third}},
            {0, 0, 0}};
}

} // namespace

Picture colorControls(const Picture &picture, float saturation, float brightness, float contrast)
{
    const ColorMatrix cm = colorControlsMatrix(saturation, brightness, contrast);
    return perPixel(picture, [&](const QImage &image) { return mapped(image, cm); });
}

Picture hueAdjust(const Picture &picture, float angle)
{
    const ColorMatrix cm = hueMatrix(angle);
    return perPixel(picture, [&](const QImage &image) { return mapped(image, cm); });
}

Picture colorControlsThenHue(const Picture &picture, float saturation, float brightness, float contrast,
                             float angle)
{
    const ColorMatrix cm = colorControlsMatrix(saturation, brightness, contrast);
    const ColorMatrix hue = hueMatrix(angle);
    // Extreme settings leave too few bits for fixed point.
    const std::optional<FixedMatrix> first = fixedMatrix(cm, 255, 8), second = fixedMatrix(hue, 255 << 7, 0);
    if (!first || !second)
        return perPixel(picture, [&](const QImage &image) { return mapped(image, cm, &hue); });
    return perPixel(picture, [&](const QImage &image) { return mappedFixed(image, *first, *second); });
}

Picture sharpenLuminance(const Picture &picture, float sharpness, float radius)
{
    if (picture.isNull() || radius <= 0 || picture.pixelExtent().isEmpty())
        return picture;
    const std::vector<float> kernel = gaussianKernel(radius);
    if (!picture.isInfinite())
        return Picture::fromImage(sharpened(picture.image(), sharpness, kernel), picture.extent().topLeft());
    // The colour around the pixels takes part in their neighbourhood; the colour itself is flat.
    const int reach = int(kernel.size() / 2);
    const QRectF region = picture.pixelExtent().adjusted(-reach, -reach, reach, reach);
    return Picture::infinite(picture.color(), sharpened(picture.render(region), sharpness, kernel),
                             region.topLeft());
}

Picture gaussianBlur(const Picture &picture, float sigma)
{
    if (picture.isNull() || sigma <= 0 || picture.pixelExtent().isEmpty())
        return picture;
    const std::vector<float> kernel = gaussianKernel(sigma);
    const int reach = int(kernel.size() / 2);
    const QRectF region = picture.pixelExtent().adjusted(-reach, -reach, reach, reach);
    const QImage pixels = blurred(picture.render(region), kernel, picture.isInfinite());
    if (!picture.isInfinite())
        return Picture::fromImage(pixels, region.topLeft());
    return Picture::infinite(picture.color(), pixels, region.topLeft());
}

Picture shadow(const Picture &picture, const QColor &color, float blurRadius)
{
    const QRgb tint = qPremultiply(color.rgba());
    const Picture mask = perPixel(picture, [tint](const QImage &image) {
        QImage out(image.size(), kFormat);
        if (out.isNull())
            return out;
        for (int y = 0; y < image.height(); ++y) {
            const auto *s = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            auto *d = reinterpret_cast<quint32 *>(out.scanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const quint32 coverage = s[x] >> 24;
                auto scale = [coverage](quint32 v) { return (v * coverage + 127) / 255; };
                d[x] = (scale(qAlpha(tint)) << 24) | (scale(qRed(tint)) << 16) | (scale(qGreen(tint)) << 8)
                       | scale(qBlue(tint));
            }
        }
        return out;
    });
    return gaussianBlur(mask, blurRadius / 2);
}

} // namespace ImageFilters
