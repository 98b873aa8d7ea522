#include "Frameworks/Korvane/ZKFFMovie.h"
#include "Frameworks/Korvane/ZKMovieImage.h"
#include "Frameworks/Korvane/ZKTime.h"
#include "tests/Frameworks/Korvane/MovieFrames.h"
#include "tests/support/MediaFixtures.h"
#include "tests/support/TestFolder.h"

#include <gtest/gtest.h>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 96;
constexpr int kStepPerField = 6; // pixels the edge moves between the two fields of a frame

// A white area whose right edge moves kStepPerField pixels a field, filmed by an interlaced
// camera: each 25-fps picture holds two moments 1/50 s apart, one in each field.
bool makeInterlacedClip(const QString &path, const QStringList &codec)
{
    const QString source = QString("color=c=black:s=%1x%2:r=50:d=2,format=yuv420p,"
                                   "geq=lum='if(lt(X,mod(N*%3,W)),235,16)':cb=128:cr=128,"
                                   "tinterlace=mode=interleave_top,setfield=tff")
                               .arg(kWidth)
                               .arg(kHeight)
                               .arg(kStepPerField);
    return MediaFixtures::runFFmpeg(QStringList{"-f", "lavfi", "-i", source} + codec + QStringList{path});
}

// Comb teeth: pixels far brighter or darker than both the line above and the line below.
int combTeeth(const QImage &image)
{
    int teeth = 0;
    for (int y = 1; y + 1 < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int here = qGray(image.pixel(x, y));
            const int above = qGray(image.pixel(x, y - 1));
            const int below = qGray(image.pixel(x, y + 1));
            if ((here - above) * (here - below) > 80 * 80)
                ++teeth;
        }
    }
    return teeth;
}

// Where the white area ends on the middle line.
int edgeOf(const QImage &image)
{
    const int y = image.height() / 2;
    for (int x = 0; x < image.width(); ++x) {
        if (qGray(image.pixel(x, y)) < 128)
            return x;
    }
    return image.width();
}

struct Stream
{
    const char *name;
    const char *file;
    QStringList codec;
};

void PrintTo(const Stream &stream, std::ostream *out)
{
    *out << stream.name;
}

class DeinterlaceTest : public ::testing::TestWithParam<Stream>
{
};

// The moving edge is whole on every line, and each picture still comes at its own time.
TEST_P(DeinterlaceTest, InterlacedPicturesShowNoCombTeeth)
{
    TestFolder folder;
    const QString path = folder.file(GetParam().file);
    ASSERT_TRUE(makeInterlacedClip(path, GetParam().codec));
    const auto movie = ZKFFMovie::open(path);
    ASSERT_TRUE(movie);
    for (int frame : {3, 10, 11, 4, 20, 49}) {
        SCOPED_TRACE(testing::Message() << "frame " << frame);
        const QImage image = frameAt(*movie, (frame + 0.5) / 25);
        ASSERT_EQ(image.size(), QSize(kWidth, kHeight));
        EXPECT_LT(combTeeth(image), 10) << "comb teeth along the moving edge";
        // The first field shows the edge at 2 × step × frame, the second one step further.
        const int first = (2 * kStepPerField * frame) % kWidth;
        if (first + 2 * kStepPerField < kWidth) {
            EXPECT_GE(edgeOf(image), first - 2);
            EXPECT_LE(edgeOf(image), first + kStepPerField + 2);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Korvane, DeinterlaceTest,
    ::testing::Values(Stream{"Mpeg2Mpg", "dv.mpg",
                             {"-c:v", "mpeg2video", "-q:v", "2", "-flags", "+ilme+ildct", "-top", "1"}},
                      Stream{"H264Ts", "cam.ts",
                             {"-c:v", "libx264", "-preset", "ultrafast", "-qp", "10", "-flags", "+ildct",
                              "-x264-params", "tff=1", "-pix_fmt", "yuv420p"}}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
