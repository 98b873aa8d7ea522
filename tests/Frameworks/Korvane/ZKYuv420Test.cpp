#include "Frameworks/Korvane/ZKFrameBuffer.h"
#include "Frameworks/Korvane/ZKFrameScaler.h"
#include "Frameworks/Korvane/ZKYuv420.h"
#include "Platform/Foundation/HLVectorPath.h"

#include <QImage>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

extern "C" {
#include <libavutil/frame.h>
#include <libswscale/swscale.h>
}

namespace {

struct Yuv
{
    double y, u, v;
};

// The limited-range definition in floating point.
Yuv reference(double r, double g, double b, ZKYuvMatrix matrix)
{
    const double kr = matrix == ZKYuvMatrix::BT709 ? 0.2126 : 0.299;
    const double kb = matrix == ZKYuvMatrix::BT709 ? 0.0722 : 0.114;
    const double luma = kr * r + (1 - kr - kb) * g + kb * b;
    return {16 + luma * 219 / 255, 128 + (b - luma) / (2 * (1 - kb)) * 224 / 255,
            128 + (r - luma) / (2 * (1 - kr)) * 224 / 255};
}

struct Planes
{
    Planes(int width, int height)
        : y(size_t(width * height)), u(size_t(width * height / 4)), v(size_t(width * height / 4)),
          data{y.data(), u.data(), v.data()}, strides{width, width / 2, width / 2}
    {
    }
    std::vector<uint8_t> y, u, v;
    uint8_t *data[3];
    int strides[3];
};

TEST(ZKYuv420, PlainColoursMatchTheStandard)
{
    const QColor colours[] = {Qt::black, Qt::white, QColor(128, 128, 128), Qt::red, Qt::green, Qt::blue, QColor(250, 180, 20)};
    for (const ZKYuvMatrix matrix : {ZKYuvMatrix::BT601, ZKYuvMatrix::BT709}) {
        for (const QColor &colour : colours) {
            QImage image(4, 2, QImage::Format_RGB32);
            image.fill(colour);
            Planes planes(4, 2);
            zk_bgrx_to_yuv420p(image.constBits(), int(image.bytesPerLine()), 4, 2, planes.data, planes.strides, matrix);
            const Yuv expected = reference(colour.red(), colour.green(), colour.blue(), matrix);
            SCOPED_TRACE(colour.name().toStdString() + (matrix == ZKYuvMatrix::BT709 ? " 709" : " 601"));
            for (uint8_t y : planes.y)
                EXPECT_NEAR(y, expected.y, 0.5);
            EXPECT_NEAR(planes.u[0], expected.u, 0.5);
            EXPECT_NEAR(planes.v[0], expected.v, 0.5);
        }
    }
}

// Noise is where lanes in the wrong order would show: every pixel differs from its neighbours.
// 38 columns take both the sixteen-at-a-time road and the pairs left at the end of a row.
TEST(ZKYuv420, NoiseMatchesTheDefinitionPixelByPixel)
{
    constexpr int width = 38, height = 6;
    QImage image(width, height, QImage::Format_ARGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, random.generate());
    Planes planes(width, height);
    zk_bgrx_to_yuv420p(image.constBits(), int(image.bytesPerLine()), width, height, planes.data, planes.strides,
                       ZKYuvMatrix::BT709);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const QRgb p = image.pixel(x, y);
            EXPECT_NEAR(planes.y[size_t(y * width + x)], reference(qRed(p), qGreen(p), qBlue(p), ZKYuvMatrix::BT709).y, 0.51)
                << x << "," << y;
        }
    }
    for (int y = 0; y < height / 2; ++y) {
        for (int x = 0; x < width / 2; ++x) {
            double r = 0, g = 0, b = 0;
            for (const QPoint &at : {QPoint(2 * x, 2 * y), QPoint(2 * x + 1, 2 * y), QPoint(2 * x, 2 * y + 1),
                                     QPoint(2 * x + 1, 2 * y + 1)}) {
                const QRgb p = image.pixel(at);
                r += qRed(p) / 4.0;
                g += qGreen(p) / 4.0;
                b += qBlue(p) / 4.0;
            }
            const Yuv expected = reference(r, g, b, ZKYuvMatrix::BT709);
            EXPECT_NEAR(planes.u[size_t(y * width / 2 + x)], expected.u, 0.51) << x << "," << y;
            EXPECT_NEAR(planes.v[size_t(y * width / 2 + x)], expected.v, 0.51) << x << "," << y;
        }
    }
}

// The AVX2 loop takes thirty-two pixels at a time and puts samples back in order across its
// 128-bit halves; on noise any sample out of place differs from the SSE2 path's. Widths
// around 16 and 32 take every mix of the 32-, 16- and 2-pixel steps; rows are longer than the
// picture, as a QImage's may be.
TEST(ZKYuv420, Avx2PathGivesTheSameBytesAsSse2)
{
    if (!HLVectorPath::setAvx2(true))
        GTEST_SKIP() << "the processor has no AVX2";
    QRandomGenerator random(11);
    for (const ZKYuvMatrix matrix : {ZKYuvMatrix::BT601, ZKYuvMatrix::BT709})
        for (const int width : {2, 14, 16, 18, 30, 32, 34, 48, 62, 64, 66, 98, 1282})
            for (const int height : {2, 4}) {
                SCOPED_TRACE(testing::Message() << width << "x" << height
                                                << (matrix == ZKYuvMatrix::BT709 ? " 709" : " 601"));
                const int stride = 4 * (width + 3);
                std::vector<uint8_t> pixels(size_t(stride) * height);
                for (uint8_t &byte : pixels)
                    byte = uint8_t(random.generate());
                Planes sse2(width, height), avx2(width, height);
                HLVectorPath::setAvx2(false);
                zk_bgrx_to_yuv420p(pixels.data(), stride, width, height, sse2.data, sse2.strides, matrix);
                HLVectorPath::setAvx2(true);
                zk_bgrx_to_yuv420p(pixels.data(), stride, width, height, avx2.data, avx2.strides, matrix);
                EXPECT_EQ(avx2.y, sse2.y);
                EXPECT_EQ(avx2.u, sse2.u);
                EXPECT_EQ(avx2.v, sse2.v);
            }
}

// A picture at the frame's own size takes the direct road; what it gives must be what the
// general scaler gives, in the matrix the writer tags the frame with (BT.709 from 720 rows).
TEST(ZKYuv420, FrameScalerAgreesWithTheGeneralScaler)
{
    for (const QSize size : {QSize(1280, 720), QSize(720, 480)}) {
        QImage image(size, QImage::Format_RGB32);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x)
                image.setPixel(x, y, qRgb(x * 255 / size.width(), y * 255 / size.height(), (x + y) * 255 / (size.width() + size.height())));

        ZKFrameScaler scaler(size, AV_PIX_FMT_YUV420P, false, 1.0);
        AVFrame *direct = scaler.newFrame();
        AVFrame *general = scaler.newFrame();
        ASSERT_TRUE(direct && general);
        scaler.scale(image, direct);

        SwsContext *context = sws_getContext(size.width(), size.height(), AV_PIX_FMT_BGR0, size.width(), size.height(),
                                             AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr);
        const int space = size.height() >= 720 ? SWS_CS_ITU709 : SWS_CS_ITU601;
        sws_setColorspaceDetails(context, sws_getCoefficients(SWS_CS_DEFAULT), 1, sws_getCoefficients(space), 0, 0,
                                 1 << 16, 1 << 16);
        AVPixelFormat format = AV_PIX_FMT_NONE;
        AVFrame *source = zk_padded_copy(image, &format);
        ASSERT_TRUE(source);
        sws_scale(context, source->data, source->linesize, 0, size.height(), general->data, general->linesize);
        sws_freeContext(context);
        av_frame_free(&source);

        int worst[3] = {};
        for (int plane = 0; plane < 3; ++plane) {
            const int rows = plane ? size.height() / 2 : size.height();
            const int columns = plane ? size.width() / 2 : size.width();
            // Away from the edges, where the two may sample chroma differently.
            for (int y = 2; y < rows - 2; ++y)
                for (int x = 2; x < columns - 2; ++x)
                    worst[plane] = std::max(worst[plane], std::abs(direct->data[plane][y * direct->linesize[plane] + x]
                                                                   - general->data[plane][y * general->linesize[plane] + x]));
        }
        EXPECT_LE(worst[0], 1) << size.height();
        EXPECT_LE(worst[1], 2) << size.height();
        EXPECT_LE(worst[2], 2) << size.height();
        av_frame_free(&direct);
        av_frame_free(&general);
    }
}

} // namespace
