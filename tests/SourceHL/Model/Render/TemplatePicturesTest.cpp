// Pictures of a handful of shipped templates at fixed times, probed where the expected colour is
// known: the right picture in the right place at the right phase. Pictures are flat halves of
// colour, so a probe away from an edge has one exact answer.
#include "Platform/Composer/SlideTiming.h"
#include "Platform/Imaging/Picture.h"
#include "SourceHL/Model/Render/HLQuartzPool.h"
#include "SourceHL/Model/Render/HLSlideshowRender.h"
#include "SourceHL/Model/Render/HLTextRender.h"
#include "SourceHL/Model/Render/HLTransitionRender.h"
#include "tests/support/MediaFixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

const QString kTemplates = QStringLiteral(SLIDESHOW_SOURCE_DIR "/Resources/Templates");
const QSize kFrame(120, 90);

std::shared_ptr<const HLQuartzItem> shipped(HLRenderType type, const QString &name)
{
    static std::map<HLRenderType, QList<std::shared_ptr<const HLQuartzItem>>> kinds;
    auto &items = kinds[type];
    if (items.isEmpty())
        items = HLQuartzPool::p_quartzItemsOf(type, kTemplates + "/" + HLQuartzPool::p_quartzKey(type));
    for (const auto &item : items)
        if (item->strName() == name)
            return item;
    ADD_FAILURE() << "no template " << qPrintable(name);
    return nullptr;
}

// A frame-sized picture: its left half one colour, its right half another.
QImage halves(QColor left, QColor right)
{
    return MediaFixtures::halves(kFrame.width(), kFrame.height(), left, right);
}

QColor mix(QColor a, QColor b, double t)
{
    return QColor(int(std::lround(a.red() + (b.red() - a.red()) * t)),
                  int(std::lround(a.green() + (b.green() - a.green()) * t)),
                  int(std::lround(a.blue() + (b.blue() - a.blue()) * t)));
}

struct Probe
{
    QPoint at;
    QColor expected;
};

// Each probe is the mean of the 3 × 3 pixels around it, within a few levels of the expected colour.
void expectProbes(const QImage &frame, const std::vector<Probe> &probes, const QString &what)
{
    for (const Probe &probe : probes) {
        int sum[3] = {0, 0, 0};
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const QRgb p = frame.pixel(probe.at + QPoint(dx, dy));
                sum[0] += qRed(p), sum[1] += qGreen(p), sum[2] += qBlue(p);
            }
        const QColor got(sum[0] / 9, sum[1] / 9, sum[2] / 9);
        const int d = std::max({std::abs(got.red() - probe.expected.red()),
                                std::abs(got.green() - probe.expected.green()),
                                std::abs(got.blue() - probe.expected.blue())});
        EXPECT_LE(d, 4) << qPrintable(what) << " at (" << probe.at.x() << ", " << probe.at.y() << "): got "
                        << qPrintable(got.name()) << ", expected " << qPrintable(probe.expected.name());
    }
}

QList<Picture> slideImages(const std::vector<QImage> &pictures)
{
    QList<Picture> images;
    for (const QImage &picture : pictures)
        images.append(Picture::fromImage(picture));
    return images;
}

const QColor kRed(200, 40, 40), kYellow(230, 200, 40), kBlue(40, 60, 200), kCyan(40, 190, 190);
const QColor kGreen(40, 180, 60), kBlack(0, 0, 0);

TEST(TemplatePicturesTest, TransitionsDrawTheRightPictureWhereItBelongs)
{
    const QImage a = halves(kRed, kYellow), b = halves(kBlue, kCyan);
    const struct
    {
        const char *name;
        float time;
        std::vector<Probe> probes;
    } cases[] = {
        // a quarter of the way: three parts outgoing, one part incoming, everywhere
        {"Dissolve", 0.25f, {{{30, 45}, mix(kRed, kBlue, 0.25)}, {{90, 45}, mix(kYellow, kCyan, 0.25)}}},
        // through black: the outgoing picture dims first, the middle is black
        {"FadeBlack", 0.2f, {{{30, 45}, mix(kBlack, kRed, 1 - 2 * (0.2 / 0.45) * (0.2 / 0.45))}}},
        {"FadeBlack", 0.5f, {{{30, 45}, kBlack}, {{90, 45}, kBlack}}},
        // the incoming picture sweeps in from the left edge, feathered edge near the middle
        {"WipeRight", 0.5f, {{{10, 45}, kBlue}, {{50, 45}, kBlue}, {{72, 45}, kYellow}, {{110, 45}, kYellow}}},
        // half way, the outgoing picture's right half fills the left, the incoming's left half the right
        {"PushLeft", 0.5f, {{{20, 45}, kYellow}, {{55, 45}, kYellow}, {{65, 45}, kBlue}, {{100, 45}, kBlue}}},
        // a circle of the incoming picture grows from the centre
        {"IrisOpen", 0.5f, {{{50, 45}, kBlue}, {{70, 45}, kCyan}, {{4, 4}, kRed}, {{115, 85}, kYellow}}},
        // the hand has swept clockwise from twelve to just past three o'clock
        {"Clock", 0.375f,
         {{{100, 10}, kCyan}, {{114, 50}, kCyan}, {{80, 85}, kYellow}, {{10, 80}, kRed}, {{10, 10}, kRed}}},
    };
    for (const auto &c : cases) {
        const auto item = shipped(HLRenderTypeTransition, c.name);
        ASSERT_TRUE(item);
        QImage first;
        for (int run = 0; run < 2; ++run) { // a fresh renderer draws the very same pixels
            auto r = HLTransitionRender::initSized(kFrame, item->strName(), item->oContent());
            r->updateImageA(Picture::fromImage(a));
            r->updateImageB(Picture::fromImage(b));
            const QImage frame = r->snapshotNSImageAt(c.time);
            if (run == 0)
                first = frame;
            else
                EXPECT_EQ(frame, first) << c.name;
        }
        expectProbes(first, c.probes, QStringLiteral("%1 at %2").arg(c.name).arg(c.time));
    }
}

// The checker's cells must not show as faint lines along their edges while they are thinner than a
// pixel: the first and last frames of a one-second transition at 30 frames a second are the
// outgoing and the incoming picture to the pixel, at a PAL-like and an HD size.
TEST(TemplatePicturesTest, CheckerOpensAndClosesOnWholePictures)
{
    const auto item = shipped(HLRenderTypeTransition, "Checker");
    ASSERT_TRUE(item);
    for (const QSize size : {QSize(640, 480), QSize(1280, 720)}) {
        QImage a(size, QImage::Format_ARGB32_Premultiplied), b(size, QImage::Format_ARGB32_Premultiplied);
        a.fill(kRed);
        b.fill(kBlue);
        auto r = HLTransitionRender::initSized(size, item->strName(), item->oContent());
        r->updateImageA(Picture::fromImage(a));
        r->updateImageB(Picture::fromImage(b));
        r->setBSharpen(false);
        EXPECT_EQ(r->snapshotNSImageAt(1.0f / 30), a) << size.width() << "x" << size.height();
        EXPECT_EQ(r->snapshotNSImageAt(29.0f / 30), b) << size.width() << "x" << size.height();
        // and in between, both pictures show
        const QImage middle = r->snapshotNSImageAt(0.5f);
        EXPECT_NE(middle, a);
        EXPECT_NE(middle, b);
    }
}

TEST(TemplatePicturesTest, SlideshowsShowEachPictureInItsPhase)
{
    const QColor kTint(32, 32, 32); // TwoUp's own background
    const struct
    {
        const char *name;
        std::vector<QImage> pictures;
        float time;
        std::vector<Probe> probes;
    } cases[] = {
        // Normal, 3 pictures: picture i enters over [4i, 4i + 1] (the last over [8, 9.5]) and holds
        // until the next enters (total 12.5)
        {"Normal", {halves(kRed, kRed), halves(kGreen, kGreen), halves(kBlue, kBlue)}, 2.5f,
         {{{60, 45}, kRed}, {{6, 6}, kRed}}},
        {"Normal", {halves(kRed, kRed), halves(kGreen, kGreen), halves(kBlue, kBlue)}, 4.5f,
         {{{60, 45}, mix(kRed, kGreen, 0.5)}}},
        {"Normal", {halves(kRed, kRed), halves(kGreen, kGreen), halves(kBlue, kBlue)}, 6.5f, {{{60, 45}, kGreen}}},
        {"Normal", {halves(kRed, kRed), halves(kGreen, kGreen), halves(kBlue, kBlue)}, 8.75f,
         {{{60, 45}, mix(kGreen, kBlue, 0.5)}}},
        {"Normal", {halves(kRed, kRed), halves(kGreen, kGreen), halves(kBlue, kBlue)}, 12.5f, {{{60, 45}, kBlue}}},
        // a time past the end holds the last picture
        {"Normal", {halves(kRed, kRed), halves(kGreen, kGreen), halves(kBlue, kBlue)}, 13.0f, {{{60, 45}, kBlue}}},
        // the first picture pans left over its stay [0, 6.5]: its edge moves from x 69 to x 51
        {"KenBurnsPanLeft", {halves(kRed, kYellow), halves(kBlue, kCyan)}, 0.0f,
         {{{64, 45}, kRed}, {{74, 45}, kYellow}}},
        {"KenBurnsPanLeft", {halves(kRed, kYellow), halves(kBlue, kCyan)}, 4.9f,
         {{{50, 45}, kRed}, {{64, 45}, kYellow}}},
        // two up, 4 pictures (entries at 0, 4, 7.8 and 11.8): the first alone in the middle, then
        // beside the second; the next pair replaces them
        {"TwoUp", {halves(kRed, kRed), halves(kGreen, kGreen), halves(kBlue, kBlue), halves(kYellow, kYellow)}, 2.5f,
         {{{60, 45}, kRed}, {{10, 45}, kTint}, {{110, 45}, kTint}}},
        {"TwoUp", {halves(kRed, kRed), halves(kGreen, kGreen), halves(kBlue, kBlue), halves(kYellow, kYellow)}, 6.0f,
         {{{31, 45}, kRed}, {{89, 45}, kGreen}}},
        {"TwoUp", {halves(kRed, kRed), halves(kGreen, kGreen), halves(kBlue, kBlue), halves(kYellow, kYellow)}, 10.0f,
         {{{60, 45}, kBlue}, {{10, 45}, kTint}}},
        {"TwoUp", {halves(kRed, kRed), halves(kGreen, kGreen), halves(kBlue, kBlue), halves(kYellow, kYellow)}, 14.0f,
         {{{31, 45}, kBlue}, {{89, 45}, kYellow}, {{60, 8}, kTint}}},
    };
    for (const auto &c : cases) {
        const auto item = shipped(HLRenderTypeSlideshow, c.name);
        ASSERT_TRUE(item);
        const QList<Picture> images = slideImages(c.pictures);
        QImage first;
        for (int run = 0; run < 2; ++run) {
            auto r = HLSlideshowRender::initSized(kFrame, item->strName(), item->oContent());
            r->updateImages(images);
            const QImage frame = r->snapshotNSImageAt(c.time);
            if (run == 0)
                first = frame;
            else
                EXPECT_EQ(frame, first) << c.name;
        }
        expectProbes(first, c.probes, QStringLiteral("%1 at %2").arg(c.name).arg(c.time));
    }
}

// Share of the frame within a few levels of a colour.
double shareOf(const QImage &frame, QColor colour)
{
    int hits = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb p = frame.pixel(x, y);
            hits += std::max({std::abs(qRed(p) - colour.red()), std::abs(qGreen(p) - colour.green()),
                              std::abs(qBlue(p) - colour.blue())}) <= 6;
        }
    return hits / double(frame.width() * frame.height());
}

// A portrait photo in a landscape frame is shown whole (on a softened copy of itself), or moves along
// its length so that its top and its bottom both come into view; filling the frame would cut both off.
TEST(TemplatePicturesTest, PortraitPhotosShowTheirTopAndBottom)
{
    QImage photo(60, 80, QImage::Format_ARGB32_Premultiplied); // a red top, a blue bottom
    photo.fill(kGreen);
    {
        QPainter p(&photo);
        p.fillRect(0, 0, 60, 8, kRed);
        p.fillRect(0, 72, 60, 8, kBlue);
    }
    // as the slide frame without background hands it over: padded to 4:3 with clear bands
    QImage padded(107, 80, QImage::Format_ARGB32_Premultiplied);
    padded.fill(Qt::transparent);
    QPainter(&padded).drawImage(23, 0, photo);
    const struct
    {
        const char *name;
        int count;
        double topAt, bottomAt; // fractions of the first picture's time on its own, before the next enters
    } cases[] = {
        {"KenBurns", 1, 0.5, 0.5},       {"KenBurnsZoomIn", 1, 0.5, 0.5}, {"Blinds", 1, 0.5, 0.5},
        {"MosaicReveal", 1, 0.5, 0.5},   {"CircleReveal", 2, 0.5, 0.5},   {"FourUp", 4, 0.2, 0.2},
        {"SixUp", 1, 0.5, 0.5},          {"SplitTwo", 1, 0.5, 0.5},       {"Polaroid", 1, 0.5, 0.5},
        {"FilmStrip", 1, 0.5, 0.5},      {"KenBurnsPanUp", 1, 0, 1},      {"KenBurnsPanDown", 1, 1, 0},
        {"KenBurnsPanLeft", 2, 0, 1},    {"KenBurnsPanRight", 2, 1, 0},
    };
    for (const auto &c : cases) {
        const auto item = shipped(HLRenderTypeSlideshow, c.name);
        ASSERT_TRUE(item);
        const SlideTiming timing = SlideTiming::fromInfo(item->dicInfo());
        const SlideTiming::Phase stay = timing.phases(c.count)[0];
        auto r = HLSlideshowRender::initSized(QSize(120, 90), item->strName(), item->oContent());
        r->setBSharpen(false);
        r->updateImages(slideImages(std::vector<QImage>(size_t(c.count), padded)));
        const auto at = [&](double f) { return float(stay.entry + f * (stay.exit - stay.entry)); };
        // the bands are a tenth of the photo: a few dozen pixels in the smallest places
        EXPECT_GT(shareOf(r->snapshotNSImageAt(at(c.topAt)), kRed), 0.003) << c.name << ": no top";
        EXPECT_GT(shareOf(r->snapshotNSImageAt(at(c.bottomAt)), kBlue), 0.003) << c.name << ": no bottom";
    }
}

// A padded portrait that fades in over a full picture must cover it with its own backdrop: were its
// clear bands left open, the outgoing picture would show through them to the end of the entry and
// then vanish at once.
TEST(TemplatePicturesTest, FittedPortraitsCoverThePictureBeforeThem)
{
    QImage padded(120, 90, QImage::Format_ARGB32_Premultiplied);
    padded.fill(Qt::transparent);
    QPainter(&padded).fillRect(26, 0, 68, 90, kGreen);
    for (const char *name : {"Normal", "NormalZoom", "Dissolve", "DissolveSlow", "DissolveZoom"}) {
        const auto item = shipped(HLRenderTypeSlideshow, name);
        ASSERT_TRUE(item);
        const SlideTiming::Phase second = SlideTiming::fromInfo(item->dicInfo()).phases(2)[1];
        auto r = HLSlideshowRender::initSized(QSize(120, 90), item->strName(), item->oContent());
        r->setBSharpen(false);
        r->updateImages(slideImages({halves(kRed, kRed), padded}));
        const QRgb before = r->snapshotNSImageAt(float(second.hold - 0.02)).pixel(4, 45);
        const QRgb after = r->snapshotNSImageAt(float(second.hold + 0.02)).pixel(4, 45);
        EXPECT_LE(std::max({std::abs(qRed(before) - qRed(after)), std::abs(qGreen(before) - qGreen(after)),
                            std::abs(qBlue(before) - qBlue(after))}),
                  12)
            << name << ": " << qPrintable(QColor(before).name()) << " then " << qPrintable(QColor(after).name());
    }
}

// The bounding box of the pixels near a colour.
QRect boxOf(const QImage &frame, QColor colour)
{
    QRect box;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x) {
            const QRgb p = frame.pixel(x, y);
            if (std::max({std::abs(qRed(p) - colour.red()), std::abs(qGreen(p) - colour.green()),
                          std::abs(qBlue(p) - colour.blue())}) <= 12)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

// A layout built for more pictures than have arrived lays out those it has in the middle of the
// frame, with no empty places beside them: at each moment just before the next picture enters.
TEST(TemplatePicturesTest, CollagesCentreThePicturesTheyHave)
{
    const QSize size(120, 90);
    for (const char *name : {"TwoUp", "ThreeUp", "FourUp", "SixUp", "SplitTwo"}) {
        const auto item = shipped(HLRenderTypeSlideshow, name);
        ASSERT_TRUE(item);
        const SlideTiming timing = SlideTiming::fromInfo(item->dicInfo());
        const int best = item->dicInfo().value("BestCount").toInt();
        for (int count = 1; count <= best; ++count) {
            const auto phases = timing.phases(count);
            auto r = HLSlideshowRender::initSized(size, item->strName(), item->oContent());
            r->setBSharpen(false);
            r->updateImages(slideImages(std::vector<QImage>(size_t(count), halves(kRed, kRed))));
            for (int arrived = 1; arrived <= count; ++arrived) {
                const double time = arrived < count ? phases[size_t(arrived)].entry - 0.05 : timing.total(count);
                const QRect box = boxOf(r->snapshotNSImageAt(float(time)), kRed);
                ASSERT_FALSE(box.isEmpty()) << name;
                EXPECT_NEAR(box.left() + box.right(), size.width() - 1, 4)
                    << name << ": " << arrived << " of " << count << " at " << time << ", x " << box.left() << "…"
                    << box.right();
                EXPECT_NEAR(box.top() + box.bottom(), size.height() - 1, 4)
                    << name << ": " << arrived << " of " << count << " at " << time << ", y " << box.top() << "…"
                    << box.bottom();
            }
        }
    }
}

// Where a title's ink is: its bounding box, the centre of its mass and its strongest pixel.
struct Ink
{
    QRect box;
    double centreX = 0;
    int strongest = 0; // premultiplied red: the white text at its opacity (the shadow is black)
};

Ink inkOf(const QImage &frame)
{
    Ink ink;
    double mass = 0, sumX = 0;
    for (int y = 0; y < frame.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(frame.constScanLine(y));
        for (int x = 0; x < frame.width(); ++x) {
            const int red = qRed(line[x]);
            ink.strongest = std::max(ink.strongest, red);
            if (red > 64) {
                ink.box |= QRect(x, y, 1, 1);
                mass += red;
                sumX += red * x;
            }
        }
    }
    ink.centreX = mass > 0 ? sumX / mass : -1;
    return ink;
}

TEST(TemplatePicturesTest, TitlesMoveAndFadeOnTheirTimes)
{
    const QSize size(240, 180); // a 24-pixel title (60 at the 600 × 450 reference)
    auto render = [&](const char *name, float time) {
        const auto item = shipped(HLRenderTypeText, name);
        auto r = HLTextRender::initSized(size, item->strName(), item->oContent());
        r->updateContent("Text");
        r->updateFontName("DejaVu Sans");
        r->updateFontSize(60);
        r->updateFontColor(Qt::white);
        r->updateMoveIn(0.25);
        r->updateMoveOut(0.75);
        r->updateX(0.5);
        r->updateY(0.5);
        return r->snapshotNSImageAt(time);
    };
    const Ink settled = inkOf(render("Fade", 0.5f));
    EXPECT_GE(settled.strongest, 250);
    EXPECT_NEAR(settled.box.center().x(), 120, 3);
    EXPECT_NEAR(settled.box.center().y(), 90, 4);
    EXPECT_NEAR(settled.box.height(), 18, 4); // cap height of a 24-pixel font
    EXPECT_NEAR(inkOf(render("Fade", 0.125f)).strongest, 128, 6); // half way in
    EXPECT_NEAR(inkOf(render("Fade", 0.875f)).strongest, 128, 6); // half way out
    EXPECT_EQ(inkOf(render("Fade", 1.0f)).strongest, 0);

    // From the left: 40 % into the entrance it is 1.2 × (1 − easeOutCubic(0.4)) widths short of its place.
    const Ink flying = inkOf(render("FlyInLeft", 0.1f)), landed = inkOf(render("FlyInLeft", 0.5f));
    EXPECT_NEAR(landed.centreX, settled.centreX, 1);
    EXPECT_NEAR(flying.centreX - landed.centreX, -1.2 * 0.216 * size.width(), 2);

    // Typewriter: "Te" of "Text" at 0.1 (a letter every 0.0625), in their final places.
    const Ink typing = inkOf(render("Typewriter", 0.1f)), typed = inkOf(render("Typewriter", 0.5f));
    EXPECT_NEAR(typed.box.left(), settled.box.left(), 1);
    EXPECT_NEAR(typed.box.right(), settled.box.right(), 1);
    EXPECT_EQ(typing.box.left(), typed.box.left());
    EXPECT_LT(typing.box.right(), typed.box.center().x() + 4);
    EXPECT_GT(typed.box.right(), typed.box.center().x() + 20);
}

} // namespace
