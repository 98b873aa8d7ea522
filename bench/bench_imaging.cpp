// The picture filters against a streaming copy, each in nanoseconds a pixel, and the reduced
// photo decode against a full decode scaled down by Qt. The copy moves a picture several times
// larger than the last-level cache, so it measures memory as a filter over a fresh picture
// meets it, not a copy that stays in the cache. Last line: "ratio filters <filters ns a pixel /
// copy ns a pixel>".

#include "Platform/Foundation/HLVectorPath.h"
#include "Platform/Imaging/ImageFilters.h"
#include "Platform/Imaging/PhotoReader.h"

#include <QCoreApplication>
#include <QImageReader>
#include <QPainter>
#include <QTemporaryDir>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace {

// Median wall time of runs calls, in milliseconds.
double timed(int runs, const std::function<void()> &call)
{
    std::vector<double> times;
    call(); // warm caches, pools and plugins
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        call();
        times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::nth_element(times.begin(), times.begin() + runs / 2, times.end());
    return times[runs / 2];
}

QImage photoLike(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            line[x] = qRgb(int(127 + 120 * std::sin(x * 0.01)), (x + y) * 255 / (width + height),
                           int(127 + 120 * std::cos(y * 0.013 + x * 0.002)));
    }
    return image;
}

// Bytes of the last-level cache, or 32 MB where the system does not say.
long lastLevelCache()
{
    for (const int name : {_SC_LEVEL4_CACHE_SIZE, _SC_LEVEL3_CACHE_SIZE, _SC_LEVEL2_CACHE_SIZE}) {
        const long size = sysconf(name);
        if (size > 0)
            return size;
    }
    return 32L << 20;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QImage source = photoLike(1200, 900);
    const Picture picture = Picture::fromImage(source);
    const double pixels = double(source.width()) * source.height();
    // Pictures of 4 bytes a pixel, each four times the last-level cache (within 64 to 256 MB:
    // some virtual machines report a cache of hundreds of megabytes).
    const size_t streamBytes = std::clamp<size_t>(size_t(4 * lastLevelCache()), size_t(64) << 20, size_t(256) << 20);
    std::vector<uchar> from(streamBytes, 1);
    std::vector<uchar> to(streamBytes, 2);
    const double streamMs = timed(11, [&] { std::memcpy(to.data(), from.data(), streamBytes); });
    const double copyNs = streamMs * 1e6 / (double(streamBytes) / 4);
    const double separateMs = timed(31, [&] {
        Picture out = ImageFilters::colorControls(picture, 0.8f, 0.1f, 1.2f);
        out = ImageFilters::hueAdjust(out, 0.5f);
        out = ImageFilters::sharpenLuminance(out, 0.4f);
    });
    // Both colour maps in one pass, as the effect edit runs them.
    const double filtersMs = timed(31, [&] {
        const Picture out = ImageFilters::colorControlsThenHue(picture, 0.8f, 0.1f, 1.2f, 0.5f);
        ImageFilters::sharpenLuminance(out, 0.4f);
    });
    const double colorMs = timed(31, [&] { ImageFilters::colorControls(picture, 0.8f, 0.1f, 1.2f); });
    const double hueMs = timed(31, [&] { ImageFilters::hueAdjust(picture, 0.5f); });
    const double sharpenMs = timed(31, [&] { ImageFilters::sharpenLuminance(picture, 0.4f); });
    const double shadowMs = timed(11, [&] { ImageFilters::shadow(picture, QColor(0, 0, 0, 160), 10); });
    const auto nsPerPixel = [&](double ms) { return ms * 1e6 / pixels; };
    std::printf("streaming copy of %zu MB (last-level cache %ld kB)  %.3f ns a pixel\n", streamBytes >> 20,
                lastLevelCache() >> 10, copyNs);
    std::printf("colour + hue + sharpen 1200x900  %8.3f ms  (%.3f ns a pixel; %.3f ms as three passes)\n", filtersMs,
                nsPerPixel(filtersMs), separateMs);
    std::printf("  colour %.3f ms, hue %.3f ms, sharpen %.3f ms\n", colorMs, hueMs, sharpenMs);
    std::printf("  sharpen loops in %s\n", HLVectorPath::avx2() ? "AVX2" : "SSE2");
    std::printf("shadow blur radius 10, 1200x900  %8.3f ms  (%.3f ns a pixel, %.1f copies)\n", shadowMs,
                nsPerPixel(shadowMs), nsPerPixel(shadowMs) / copyNs);

    QTemporaryDir folder;
    const QString path = folder.filePath("big.jpg");
    if (!photoLike(4000, 3000).save(path, "JPEG", 90)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 1;
    }
    const double previewMs = timed(7, [&] { PhotoReader::load(path, QSize(1200, 900)); });
    const double scaledMs = timed(7, [&] {
        const QImage scaled =
            QImageReader(path).read().scaled(1200, 900, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    });
    const QImage full = QImageReader(path).read();
    const double scaleOnlyMs =
        timed(7, [&] { const QImage scaled = full.scaled(1200, 900, Qt::IgnoreAspectRatio, Qt::SmoothTransformation); });
    std::printf("4000x3000 JPEG to 1200x900 preview %8.3f ms\n", previewMs);
    std::printf("  full decode + QImage::scaled     %8.3f ms  (ratio %.2f)\n", scaledMs, previewMs / scaledMs);
    std::printf("  QImage::scaled alone             %8.3f ms\n", scaleOnlyMs);
    std::printf("ratio filters %.2f\n", nsPerPixel(filtersMs) / copyNs);
    return 0;
}
