#include "Platform/Imaging/ImageFilters.h"

#include "Platform/Foundation/HLVectorPath.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

QImage filled(int width, int height, QRgb premultiplied)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(premultiplied);
    return image;
}

// Valid premultiplied pixels of every kind, transparent and partly covered ones included.
QImage noise(int width, int height)
{
    QRandomGenerator random(7);
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int a = random.bounded(256);
            image.setPixel(x, y, qRgba(random.bounded(a + 1), random.bounded(a + 1), random.bounded(a + 1), a));
        }
    return image;
}

int largestDifference(const QImage &a, const QImage &b)
{
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return most;
}

QRgb onePixel(const Picture &picture)
{
    return picture.image().pixel(0, 0);
}

TEST(ImageFilters, NeutralSettingsLeavePixelsAlone)
{
    const QImage source = noise(300, 260); // large enough to be shared among threads
    const Picture picture = Picture::fromImage(source);
    EXPECT_LE(largestDifference(ImageFilters::colorControls(picture, 1, 0, 1).image(), source), 1);
    EXPECT_LE(largestDifference(ImageFilters::hueAdjust(picture, 0).image(), source), 1);
    EXPECT_LE(largestDifference(ImageFilters::sharpenLuminance(picture, 0).image(), source), 1);
    EXPECT_LE(largestDifference(ImageFilters::gaussianBlur(picture, 0).image(), source), 0);
}

struct ColorCase
{
    const char *name;
    float saturation, brightness, contrast;
    QRgb in, out; // premultiplied
};

TEST(ImageFilters, ColorControlsFollowTheirFormula)
{
    // (200, 100, 50): luma 117.645; half saturation 158.82, 108.82, 83.82; +0.1 brightness
    // adds 25.5; contrast 1.5 about 127.5 gives 212.73, 137.73, 100.23.
    const ColorCase cases[] = {
        {"all three", 0.5f, 0.1f, 1.5f, qRgb(200, 100, 50), qRgb(213, 138, 100)},
        {"grey", 0, 0, 1, qRgb(200, 100, 50), qRgb(118, 118, 118)},
        {"brightest", 1, 1, 1, qRgb(200, 100, 50), qRgb(255, 255, 255)},
        {"no contrast", 1, 0, 0, qRgb(200, 100, 50), qRgb(128, 128, 128)},
        {"double saturation clamps", 2, 0, 1, qRgb(200, 100, 50), qRgb(255, 82, 0)},
        // Half covered (127.5, 63.75, 31.875 unpremultiplied) brightened by 0.25.
        {"half covered", 1, 0.25f, 1, qRgba(64, 32, 16, 128), qRgba(96, 64, 48, 128)},
        {"transparent", 0.3f, 0.5f, 2, qRgba(0, 0, 0, 0), qRgba(0, 0, 0, 0)},
    };
    for (const ColorCase &c : cases) {
        SCOPED_TRACE(c.name);
        const Picture out = ImageFilters::colorControls(Picture::fromImage(filled(1, 1, c.in)), c.saturation,
                                                        c.brightness, c.contrast);
        EXPECT_EQ(largestDifference(out.image(), filled(1, 1, c.out)), 0);
    }
}

struct HueCase
{
    const char *name;
    float angle;
    QRgb in, out;
};

TEST(ImageFilters, HueTurnsAboutTheGreyAxis)
{
    const HueCase cases[] = {
        {"red to green", float(2 * M_PI / 3), qRgb(255, 0, 0), qRgb(0, 255, 0)},
        {"green to blue", float(2 * M_PI / 3), qRgb(0, 255, 0), qRgb(0, 0, 255)},
        {"back", float(-2 * M_PI / 3), qRgb(0, 255, 0), qRgb(255, 0, 0)},
        // A half turn: diagonal -1/3, the rest 2/3; red gives (-85, 170, 170), clamped.
        {"half turn", float(M_PI), qRgb(255, 0, 0), qRgb(0, 170, 170)},
        {"grey stays", 1.234f, qRgb(90, 90, 90), qRgb(90, 90, 90)},
        {"alpha kept", float(2 * M_PI / 3), qRgba(100, 0, 0, 100), qRgba(0, 100, 0, 100)},
    };
    for (const HueCase &c : cases) {
        SCOPED_TRACE(c.name);
        const Picture out = ImageFilters::hueAdjust(Picture::fromImage(filled(1, 1, c.in)), c.angle);
        EXPECT_LE(largestDifference(out.image(), filled(1, 1, c.out)), 1);
    }
}

// One pass of both colour maps against the two passes, with settings that push channels out
// of [0, 1] after the colour controls (clamped there before the hue turns them).
TEST(ImageFilters, ColourControlsThenHueInOnePassMatchesTwoPasses)
{
    const Picture picture = Picture::fromImage(noise(300, 260));
    struct Settings
    {
        float saturation, brightness, contrast, angle;
    };
    for (const Settings &s : {Settings{0.8f, 0.1f, 1.2f, 0.5f}, Settings{2, 0.5f, 4, float(M_PI)},
                              Settings{0, -1, 0.25f, -2}, Settings{1.7f, -0.3f, 2.5f, float(M_PI / 2)},
                              Settings{1, 0, 300, 0.5f}}) { // too steep for fixed point
        SCOPED_TRACE(s.angle);
        const QImage twice =
            ImageFilters::hueAdjust(ImageFilters::colorControls(picture, s.saturation, s.brightness, s.contrast), s.angle)
                .image();
        const QImage once =
            ImageFilters::colorControlsThenHue(picture, s.saturation, s.brightness, s.contrast, s.angle).image();
        EXPECT_LE(largestDifference(once, twice), 1);
    }
    const Picture colour =
        ImageFilters::colorControlsThenHue(Picture::colored(QColor(200, 100, 50)), 2, 0.5f, 4, float(M_PI));
    ASSERT_TRUE(colour.isInfinite());
    EXPECT_EQ(colour.color(),
              ImageFilters::hueAdjust(ImageFilters::colorControls(Picture::colored(QColor(200, 100, 50)), 2, 0.5f, 4),
                                      float(M_PI))
                  .color());
}

TEST(ImageFilters, ColourFiltersChangeAColourWithoutBounds)
{
    const Picture grey = ImageFilters::colorControls(Picture::colored(QColor(200, 100, 50)), 0, 0, 1);
    ASSERT_TRUE(grey.isInfinite());
    EXPECT_EQ(grey.color(), QColor(118, 118, 118));
    EXPECT_EQ(onePixel(grey.cropped(QRectF(0, 0, 1, 1))), qRgb(118, 118, 118));
}

// Luma sharpening on a picture that varies along x only, so the vertical blur changes
// nothing and the expectation is the formula in one dimension.
TEST(ImageFilters, SharpenAddsTheLumaDetailToEveryChannel)
{
    const int width = 24;
    const float sharpness = 0.4f, sigma = ImageFilters::kSharpenRadius;
    QImage source(width, 5, QImage::Format_ARGB32_Premultiplied);
    std::vector<float> luma(width);
    for (int x = 0; x < width; ++x) {
        const QRgb p = x < width / 2 ? qRgb(90, 60, 40) : qRgb(150, 120, 100);
        for (int y = 0; y < source.height(); ++y)
            source.setPixel(x, y, p);
        luma[x] = 0.2125f * qRed(p) + 0.7154f * qGreen(p) + 0.0721f * qBlue(p);
    }
    const int reach = int(std::ceil(3 * sigma));
    std::vector<double> weights;
    double total = 0;
    for (int k = -reach; k <= reach; ++k)
        total += weights.emplace_back(std::exp(-0.5 * k * k / (sigma * sigma)));
    const QImage out = ImageFilters::sharpenLuminance(Picture::fromImage(source), sharpness).image();
    for (int x = 0; x < width; ++x) {
        double blurred = 0;
        for (int k = -reach; k <= reach; ++k)
            blurred += weights[k + reach] / total * luma[std::clamp(x + k, 0, width - 1)];
        const double detail = sharpness * (luma[x] - blurred);
        const QRgb in = source.pixel(x, 2), got = out.pixel(x, 2);
        SCOPED_TRACE(x);
        EXPECT_NEAR(qRed(got), std::clamp(qRed(in) + detail, 0.0, 255.0), 0.51);
        EXPECT_NEAR(qGreen(got), std::clamp(qGreen(in) + detail, 0.0, 255.0), 0.51);
        EXPECT_NEAR(qBlue(got), std::clamp(qBlue(in) + detail, 0.0, 255.0), 0.51);
        EXPECT_EQ(qAlpha(got), 255);
    }
    // The edge gets steeper: darker just before it, lighter just after.
    EXPECT_LT(qRed(out.pixel(width / 2 - 1, 0)), 90);
    EXPECT_GT(qRed(out.pixel(width / 2, 0)), 150);
}

// The formula in double precision on premultiplied pixels, edges repeated.
QImage sharpenedReference(const QImage &source, double sharpness, double sigma)
{
    const int width = source.width(), height = source.height(), reach = int(std::ceil(3 * sigma));
    std::vector<double> weights;
    double total = 0;
    for (int k = -reach; k <= reach; ++k)
        total += weights.emplace_back(std::exp(-0.5 * k * k / (sigma * sigma)));
    auto at = [&](std::vector<double> &plane, int x, int y) -> double & { return plane[size_t(y) * width + x]; };
    std::vector<double> luma(size_t(width) * height), down(luma.size());
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb p = source.pixel(x, y);
            at(luma, x, y) = 0.2125 * qRed(p) + 0.7154 * qGreen(p) + 0.0721 * qBlue(p);
        }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int k = -reach; k <= reach; ++k)
                at(down, x, y) += weights[k + reach] / total * at(luma, x, std::clamp(y + k, 0, height - 1));
    QImage out(source.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            double blurred = 0;
            for (int k = -reach; k <= reach; ++k)
                blurred += weights[k + reach] / total * at(down, std::clamp(x + k, 0, width - 1), y);
            const double detail = sharpness * (at(luma, x, y) - blurred);
            const QRgb p = source.pixel(x, y);
            auto channel = [&](int v) { return int(std::clamp(v + detail + 0.5, 0.0, qAlpha(p) + 0.5)); };
            out.setPixel(x, y, qRgba(channel(qRed(p)), channel(qGreen(p)), channel(qBlue(p)), qAlpha(p)));
        }
    return out;
}

// Fixed point against the formula on noise, for kernels of every size the pairing handles.
TEST(ImageFilters, SharpenMatchesTheFormulaOnNoise)
{
    const QImage source = noise(37, 29);
    for (const float sigma : {0.5f, 1.0f, ImageFilters::kSharpenRadius, 3.1f})
        for (const float sharpness : {0.4f, 2.0f}) {
            SCOPED_TRACE(testing::Message() << sigma << " " << sharpness);
            const QImage out = ImageFilters::sharpenLuminance(Picture::fromImage(source), sharpness, sigma).image();
            EXPECT_LE(largestDifference(out, sharpenedReference(source, sharpness, sigma)), 1);
        }
}

TEST(ImageFilters, SharpenKeepsAlphaAndFlatAreas)
{
    const QImage flat = filled(40, 30, qRgba(50, 60, 70, 200));
    EXPECT_EQ(largestDifference(ImageFilters::sharpenLuminance(Picture::fromImage(flat), 2).image(), flat), 0);
    const QImage source = noise(64, 48);
    const QImage out = ImageFilters::sharpenLuminance(Picture::fromImage(source), 1.5f).image();
    for (int y = 0; y < source.height(); ++y)
        for (int x = 0; x < source.width(); ++x)
            ASSERT_EQ(qAlpha(out.pixel(x, y)), qAlpha(source.pixel(x, y)));
}

// The AVX2 loops take sixteen pixels at a time and leave the rest of a row to the SSE2 ones;
// on noise with partial alpha (so the clamp to alpha matters) any lane out of place or any
// step done differently shows. Widths around 8, 16 and 32 take every mix of the two, the
// radii give one to six tap pairs (four is a path of its own), and short pictures repeat
// their edge rows.
TEST(ImageFilters, SharpenGivesTheSameBytesOnTheAvx2AndSse2Paths)
{
    if (!HLVectorPath::setAvx2(true))
        GTEST_SKIP() << "the processor has no AVX2";
    for (const int width : {1, 2, 3, 7, 8, 9, 15, 16, 17, 24, 31, 32, 33, 47, 100})
        for (const int height : {1, 2, 3, 21})
            for (const float radius : {0.3f, 0.6f, 1.2f, ImageFilters::kSharpenRadius, 3.1f}) {
                SCOPED_TRACE(testing::Message() << width << "x" << height << " radius " << radius);
                const Picture source = Picture::fromImage(noise(width, height));
                HLVectorPath::setAvx2(false);
                const QImage sse2 = ImageFilters::sharpenLuminance(source, 2.5f, radius).image();
                HLVectorPath::setAvx2(true);
                const QImage avx2 = ImageFilters::sharpenLuminance(source, 2.5f, radius).image();
                ASSERT_EQ(avx2.size(), sse2.size());
                EXPECT_EQ(largestDifference(avx2, sse2), 0);
            }
}

TEST(ImageFilters, BlurSpreadsAPixelAsAGaussian)
{
    const float sigma = 1;
    const Picture blurred = ImageFilters::gaussianBlur(Picture::fromImage(filled(1, 1, qRgb(255, 255, 255)), {4, 4}), sigma);
    // The picture grows by ceil(3 sigma) on every side.
    EXPECT_EQ(blurred.extent(), QRectF(1, 1, 7, 7));
    const QImage pixels = blurred.image();
    double total = 0;
    for (int k = -3; k <= 3; ++k)
        total += std::exp(-0.5 * k * k);
    const auto weight = [&](int dx, int dy) { return std::exp(-0.5 * (dx * dx + dy * dy)) / (total * total); };
    for (auto [dx, dy] : {std::pair{0, 0}, {1, 0}, {0, 2}, {1, 1}, {3, 3}})
        EXPECT_NEAR(qAlpha(pixels.pixel(3 + dx, 3 + dy)), 255 * weight(dx, dy), 0.51) << dx << "," << dy;
    EXPECT_EQ(pixels.pixel(2, 3), pixels.pixel(4, 3));
    EXPECT_EQ(pixels.pixel(3, 2), pixels.pixel(3, 4));
}

TEST(ImageFilters, ShadowTakesTheColourWherePicturesCover)
{
    QImage shape(3, 1, QImage::Format_ARGB32_Premultiplied);
    shape.setPixel(0, 0, qRgba(200, 10, 10, 255));
    shape.setPixel(1, 0, qRgba(0, 50, 0, 128));
    shape.setPixel(2, 0, 0);
    const QImage sharp = ImageFilters::shadow(Picture::fromImage(shape), QColor(0, 0, 0, 128), 0).image();
    EXPECT_EQ(sharp.pixel(0, 0), qRgba(0, 0, 0, 128));
    EXPECT_EQ(sharp.pixel(1, 0), qRgba(0, 0, 0, 64));
    EXPECT_EQ(sharp.pixel(2, 0), 0u);
    // Blurred by radius 4 (sigma 2): grows by 6 and keeps the total coverage.
    const Picture soft = ImageFilters::shadow(Picture::fromImage(filled(10, 10, qRgb(1, 2, 3))), Qt::black, 4);
    EXPECT_EQ(soft.extent(), QRectF(-6, -6, 22, 22));
    long coverage = 0;
    for (int y = 0; y < 22; ++y)
        for (int x = 0; x < 22; ++x)
            coverage += qAlpha(soft.image().pixel(x, y));
    EXPECT_NEAR(coverage, 100 * 255, 100 * 255 * 0.01);
}

} // namespace
