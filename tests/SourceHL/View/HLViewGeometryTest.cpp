#include "SourceHL/View/HLViewGeometry.h"

#include <gtest/gtest.h>

namespace {

struct FitCase
{
    float pictureWidth, pictureHeight;
    HLViewRect expected;
};

TEST(HLViewGeometryTest, FitsWideAndNarrowPicturesWhole)
{
    const FitCase cases[] = {
        {1600, 600, {0, 75, 400, 150}},  // wider than 4:3 touches left and right
        {300, 600, {125, 0, 150, 300}},  // narrower touches top and bottom
        {800, 600, {0, 0, 400, 300}},    // the same ratio fills the view
        {40, 30, {0, 0, 400, 300}},      // small pictures grow to fit
    };
    for (const FitCase &c : cases) {
        const HLViewRect fit = hl_fitPicture(400, 300, c.pictureWidth, c.pictureHeight);
        EXPECT_FLOAT_EQ(fit.x, c.expected.x) << c.pictureWidth << "x" << c.pictureHeight;
        EXPECT_FLOAT_EQ(fit.y, c.expected.y);
        EXPECT_FLOAT_EQ(fit.width, c.expected.width);
        EXPECT_FLOAT_EQ(fit.height, c.expected.height);
    }
    const HLViewRect none = hl_fitPicture(400, 300, 0, 100);
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(hl_fitPicture(0, 300, 100, 100).height, 0);
}

TEST(HLViewGeometryTest, OverlayRatiosSpanFromEdgeOutsideToEdgeOutside)
{
    // A 100 × 40 title over a 400 × 300 view.
    const HLViewRect limited = hl_overlayLimitedFrame(400, 300, 100, 40);
    EXPECT_FLOAT_EQ(limited.x, -50);
    EXPECT_FLOAT_EQ(limited.y, -20);
    EXPECT_FLOAT_EQ(limited.width, 500);
    EXPECT_FLOAT_EQ(limited.height, 340);

    const HLViewRect centred = hl_overlayDisplayFrame(hl_overlayCenter(limited, 0.5f, 0.5f), 100, 40);
    EXPECT_FLOAT_EQ(centred.x, 150);
    EXPECT_FLOAT_EQ(centred.y, 130);
    // Ratio 0: the right edge on the view's left edge; 1: the bottom edge on the top edge.
    EXPECT_FLOAT_EQ(hl_overlayDisplayFrame(hl_overlayCenter(limited, 0, 0), 100, 40).maxX(), 0);
    EXPECT_FLOAT_EQ(hl_overlayDisplayFrame(hl_overlayCenter(limited, 1, 1), 100, 40).y, 300);

    const HLViewPoint clamped = hl_overlayValidCenter({-900, 900}, limited);
    EXPECT_FLOAT_EQ(clamped.x, -50);
    EXPECT_FLOAT_EQ(clamped.y, 320);
}

TEST(HLViewGeometryTest, NoRatioAcrossASpanOfNoSize)
{
    EXPECT_FLOAT_EQ(*hl_overlayRatio(250, -50, 500), 0.6f);
    EXPECT_FALSE(hl_overlayRatio(0, 0, 0).has_value());
    EXPECT_FALSE(hl_overlayRatio(5, 0, -1).has_value());
}

} // namespace
