#include "Platform/Imaging/ImageFilters.h"

#include "Platform/Imaging/ParallelRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
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

QImage sharpened(const QImage &src, float sharpness, const std::vector<float> &kernel)
{
    const int width = src.width(), height = src.height();
    QImage dst(src.size(), kFormat);
    if (dst.isNull())
        return {};
    uchar *dstBits = dst.bits();
    const qsizetype dstLine = dst.bytesPerLine();
    const int reach = int(kernel.size() / 2);
    const int stride = (width + kChunk - 1) / kChunk * kChunk; // whole chunks per row
    ImagingThreads::forEachBand(height, width * int(kernel.size()), [&](int begin, int end) {
        // Luma of the band's rows and of the rows its kernel reaches, edges repeated.
        const int first = std::max(0, begin - reach), last = std::min(height, end + reach);
        std::vector<float> luma(size_t(last - first) * stride);
        for (int y = first; y < last; ++y) {
            const auto *s = reinterpret_cast<const quint32 *>(src.constScanLine(y));
            float *l = luma.data() + size_t(y - first) * stride;
            for (int x = 0; x < width; x += 4) {
                const Words p = loadPixels(s, x, width);
                store(l + x, kLumaRed * channel(p, 16) + kLumaGreen * channel(p, 8) + kLumaBlue * channel(p, 0));
            }
        }
        auto row = [&](int y) { return luma.data() + size_t(std::clamp(y, 0, height - 1) - first) * stride; };
        // Down the columns into a row padded by the reach (edges repeated), then across it.
        std::vector<float> line(size_t(stride + 2 * reach));
        std::vector<float> smooth(static_cast<size_t>(stride));
        float *middle = line.data() + reach;
        std::vector<const float *> reached(kernel.size());
        for (int y = begin; y < end; ++y) {
            for (int k = -reach; k <= reach; ++k)
                reached[size_t(k + reach)] = row(y + k);
            for (int x = 0; x < stride; x += kChunk)
                convolved(kernel, x, [&](int k) { return reached[size_t(k + reach)]; }, middle);
            std::fill(line.begin(), line.begin() + reach, middle[0]);
            std::fill(middle + width, line.data() + line.size(), middle[width - 1]);
            for (int x = 0; x < stride; x += kChunk)
                convolved(kernel, x, [&](int k) { return middle + k; }, smooth.data());
            const auto *s = reinterpret_cast<const quint32 *>(src.constScanLine(y));
            const float *l = row(y);
            auto *d = reinterpret_cast<quint32 *>(dstBits + y * dstLine);
            for (int x = 0; x < width; x += 4) {
                const Words p = loadPixels(s, x, width);
                const Floats detail = sharpness * (load<Floats>(l + x) - load<Floats>(smooth.data() + x));
                storePixels(d, x, width,
                            packClamped(channel(p, 16) + detail, channel(p, 8) + detail, channel(p, 0) + detail, p >> 24));
            }
        }
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
    return perPixel(picture, [&](const QImage &image) { return mapped(image, cm, &hue); });
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
