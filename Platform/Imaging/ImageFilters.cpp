#include "Platform/Imaging/ImageFilters.h"

#include "Platform/Imaging/ParallelRows.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace ImageFilters {

namespace {

constexpr QImage::Format kFormat = QImage::Format_ARGB32_Premultiplied;

// out = clamp(m · rgb + offset · alpha, 0, alpha) over premultiplied pixels: an affine
// colour map on unpremultiplied colours, clamped to [0, 1], without dividing by alpha.
struct ColorMatrix
{
    float m[3][3];
    float offset[3];
};

inline quint32 packClamped(float r, float g, float b, quint32 a)
{
    // Through int: a float to unsigned conversion costs a branch on x86.
    const float top = float(a) + 0.5f;
    auto channel = [top](float v) { return quint32(int(std::min(std::max(v + 0.5f, 0.0f), top))); };
    return (a << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

QImage mapped(const QImage &src, const ColorMatrix &cm)
{
    QImage dst(src.size(), kFormat);
    if (dst.isNull())
        return {};
    const int width = src.width();
    const uchar *srcBits = src.constBits();
    uchar *dstBits = dst.bits();
    const qsizetype srcLine = src.bytesPerLine(), dstLine = dst.bytesPerLine();
    const auto &m = cm.m;
    const float o0 = cm.offset[0], o1 = cm.offset[1], o2 = cm.offset[2];
    ImagingThreads::forEachBand(src.height(), width, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const auto *s = reinterpret_cast<const quint32 *>(srcBits + y * srcLine);
            auto *d = reinterpret_cast<quint32 *>(dstBits + y * dstLine);
            for (int x = 0; x < width; ++x) {
                const quint32 p = s[x];
                const quint32 a = p >> 24;
                const float r = float((p >> 16) & 0xff), g = float((p >> 8) & 0xff), b = float(p & 0xff);
                const float fa = float(a);
                d[x] = packClamped(m[0][0] * r + m[0][1] * g + m[0][2] * b + o0 * fa,
                                   m[1][0] * r + m[1][1] * g + m[1][2] * b + o1 * fa,
                                   m[2][0] * r + m[2][1] * g + m[2][2] * b + o2 * fa, a);
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

// Blurs `channels` interleaved float planes of width × height (rows given by `row`) with a
// separable kernel. Rows outside [0, height) come from `row` too: the caller decides whether
// they repeat the edge or are empty. Horizontally, samples beyond the row repeat the edge
// when clampEdges, else count as zero. `output(y, blurred)` receives each output row of [begin, end).
template <int Channels, class RowFn, class OutputFn>
void blurBand(int begin, int end, int width, const std::vector<float> &kernel, bool clampEdges, RowFn row,
              OutputFn output)
{
    const int reach = int(kernel.size() / 2);
    const int first = begin - reach, count = end - begin + 2 * reach;
    std::vector<float> across(size_t(count) * width * Channels);
    std::vector<float> line(size_t(width + 2 * reach) * Channels);
    for (int i = 0; i < count; ++i) {
        const float *in = row(first + i);
        // Pad the row so the inner loop has no bounds checks.
        std::copy(in, in + size_t(width) * Channels, line.begin() + size_t(reach) * Channels);
        for (int x = 0; x < reach; ++x)
            for (int c = 0; c < Channels; ++c) {
                line[size_t(x) * Channels + c] = clampEdges ? in[c] : 0.0f;
                line[size_t(width + reach + x) * Channels + c] =
                    clampEdges ? in[size_t(width - 1) * Channels + c] : 0.0f;
            }
        float *out = across.data() + size_t(i) * width * Channels;
        for (int x = 0; x < width * Channels; ++x)
            out[x] = 0;
        for (int k = 0; k < int(kernel.size()); ++k) {
            const float w = kernel[k];
            const float *src = line.data() + size_t(k) * Channels;
            for (int x = 0; x < width * Channels; ++x)
                out[x] += w * src[x];
        }
    }
    std::vector<float> down(size_t(width) * Channels);
    for (int y = begin; y < end; ++y) {
        std::fill(down.begin(), down.end(), 0.0f);
        for (int k = 0; k < int(kernel.size()); ++k) {
            const float w = kernel[k];
            const float *src = across.data() + size_t(y - begin + k) * width * Channels;
            for (int x = 0; x < width * Channels; ++x)
                down[x] += w * src[x];
        }
        output(y, down.data());
    }
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
    ImagingThreads::forEachBand(height, width * int(kernel.size()), [&](int begin, int end) {
        // Luma of the band's rows and of the rows its kernel reaches, edges repeated.
        const int first = std::max(0, begin - reach), last = std::min(height, end + reach);
        std::vector<float> luma(size_t(last - first) * width);
        for (int y = first; y < last; ++y) {
            const auto *s = reinterpret_cast<const quint32 *>(src.constScanLine(y));
            float *l = luma.data() + size_t(y - first) * width;
            for (int x = 0; x < width; ++x) {
                const quint32 p = s[x];
                l[x] = kLumaRed * float((p >> 16) & 0xff) + kLumaGreen * float((p >> 8) & 0xff)
                       + kLumaBlue * float(p & 0xff);
            }
        }
        auto row = [&](int y) { return luma.data() + size_t(std::clamp(y, 0, height - 1) - first) * width; };
        blurBand<1>(begin, end, width, kernel, true, row, [&](int y, const float *blurred) {
            const auto *s = reinterpret_cast<const quint32 *>(src.constScanLine(y));
            const float *l = row(y);
            auto *d = reinterpret_cast<quint32 *>(dstBits + y * dstLine);
            for (int x = 0; x < width; ++x) {
                const quint32 p = s[x];
                const float detail = sharpness * (l[x] - blurred[x]);
                d[x] = packClamped(float((p >> 16) & 0xff) + detail, float((p >> 8) & 0xff) + detail,
                                   float(p & 0xff) + detail, p >> 24);
            }
        });
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
    ImagingThreads::forEachBand(height, width * 4 * int(kernel.size()), [&](int begin, int end) {
        const int first = begin - reach, last = end + reach;
        std::vector<float> planes(size_t(last - first) * width * 4);
        std::vector<float> empty(size_t(width) * 4, 0.0f);
        for (int y = std::max(0, first); y < std::min(height, last); ++y) {
            const uchar *s = src.constScanLine(y);
            float *p = planes.data() + size_t(y - first) * width * 4;
            for (int i = 0; i < width * 4; ++i)
                p[i] = float(s[i]);
        }
        auto row = [&](int y) -> const float * {
            if (y < 0 || y >= height) {
                if (!clampEdges)
                    return empty.data();
                y = std::clamp(y, 0, height - 1);
            }
            return planes.data() + size_t(y - first) * width * 4;
        };
        blurBand<4>(begin, end, width, kernel, clampEdges, row, [&](int y, const float *out) {
            uchar *d = dstBits + y * dstLine;
            // Bytes in memory order; the alpha byte bounds the colour bytes.
            constexpr int alphaIndex = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? 3 : 0;
            for (int x = 0; x < width; ++x) {
                const float a = std::clamp(out[x * 4 + alphaIndex], 0.0f, 255.0f);
                for (int c = 0; c < 4; ++c)
                    d[x * 4 + c] = uchar(std::clamp(out[x * 4 + c], 0.0f, a) + 0.5f);
            }
        });
    });
    return dst;
}

} // namespace

Picture colorControls(const Picture &picture, float saturation, float brightness, float contrast)
{
    // Saturation mixes with luma: row i is (1 - s) * luma weights + s * unit row i.
    const float weights[3] = {kLumaRed, kLumaGreen, kLumaBlue};
    ColorMatrix cm{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j)
            cm.m[i][j] = contrast * ((1 - saturation) * weights[j] + (i == j ? saturation : 0.0f));
        cm.offset[i] = contrast * brightness + 0.5f * (1 - contrast);
    }
    return perPixel(picture, [&](const QImage &image) { return mapped(image, cm); });
}

Picture hueAdjust(const Picture &picture, float angle)
{
    // Rodrigues' rotation about the unit grey axis k = (1, 1, 1) / sqrt(3).
    const float c = std::cos(angle), s = std::sin(angle) / std::sqrt(3.0f), third = (1 - c) / 3;
    ColorMatrix cm{{{c + third, third - s, third + s},
                    {third + s, c + third, third - s},
                    {third - s, third + s, c + third}},
                   {0, 0, 0}};
    return perPixel(picture, [&](const QImage &image) { return mapped(image, cm); });
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
