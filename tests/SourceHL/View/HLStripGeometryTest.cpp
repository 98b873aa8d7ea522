#include "SourceHL/View/HLStripGeometry.h"
#include "SourceHL/View/HLTimelineCaption.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace HLStripGeometry;

TEST(HLStripGeometryTest, RowDropIndexIsTheNearestGapUpToTheEnd)
{
    const struct
    {
        double x;
        std::int64_t index;
    } cases[] = {{0, 0}, {39, 0}, {39.9, 0}, {40, 1}, {119, 1}, {120, 2}, {199, 2}, {200, 3}, {400, 3}, {-30, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(rowDropIndex(c.x, 3), c.index) << c.x;
    EXPECT_EQ(rowDropIndex(500, 0), 0);
}

TEST(HLStripGeometryTest, MarkersStayInsideTheirViews)
{
    // A row of 3 cells (240 points): its rounded frame ends at 239.
    EXPECT_EQ(rowMarkerX(0, 239), 1);
    EXPECT_EQ(rowMarkerX(1, 239), 79);
    EXPECT_EQ(rowMarkerX(3, 239), 238); // the row's width minus 2
    // The back view's 2-point marker centred on the boundary.
    EXPECT_EQ(backMarkerX(0, 500), 0);
    EXPECT_EQ(backMarkerX(160, 500), 159);
    EXPECT_EQ(backMarkerX(500, 500), 498);
}

TEST(HLStripGeometryTest, BackViewMapsToTileEdgesAndTheEnd)
{
    // Rows of 2 and 3 cells and one more of 1, from x 3: row 3..163, tile 163..243, row
    // 243..483, tile 483..563, row 563..643.
    const std::vector<double> tiles{243, 563};
    const double end = 643;
    const struct
    {
        double x;
        double boundary;
    } cases[] = {
        {0, 0},       {121.5, 0},   {121.6, 243}, {200, 243}, // ties go left
        {403, 243},   {404, 563},   {600, 563},   {642.9, 563}, // over the last row: its left edge
        {643, 643},   {900, 643},
    };
    for (const auto &c : cases)
        EXPECT_EQ(backMapX(c.x, end, tiles), c.boundary) << c.x;

    // One slideshow item (no tile): the nearer of 0 and the end.
    EXPECT_EQ(backMapX(40, 243, {}), 0);
    EXPECT_EQ(backMapX(121.5, 243, {}), 0);
    EXPECT_EQ(backMapX(122, 243, {}), 243);
    // An empty strip maps everything to 0.
    EXPECT_EQ(backMapX(300, 0, {}), 0);
}

TEST(HLStripGeometryTest, BackDropGoesBeforeTheFirstRowRightOfTheMarker)
{
    const std::vector<double> mids{83, 363, 603};
    EXPECT_EQ(backDropRow(0, mids), 0u);
    EXPECT_EQ(backDropRow(243, mids), 1u);
    EXPECT_EQ(backDropRow(563, mids), 2u);
    EXPECT_EQ(backDropRow(643, mids), std::nullopt);
    EXPECT_EQ(backDropRow(0, {}), std::nullopt);
}

TEST(HLStripGeometryTest, ContentLinePositions)
{
    EXPECT_EQ(seekOffsetOf(4), 0.0f);
    EXPECT_EQ(seekOffsetOf(10), 0.0f);
    EXPECT_EQ(seekOffsetOf(130), 120.0f);
    EXPECT_EQ(seekOffsetOf(std::numeric_limits<double>::quiet_NaN()), 0.0f);
    EXPECT_EQ(playlineXOf(12.7), 22);
    EXPECT_EQ(playlineXOf(0), 10);
    // The play line on an item's edges keeps the play time.
    EXPECT_FALSE(seeksToItem(13, 13, 93));
    EXPECT_FALSE(seeksToItem(93, 13, 93));
    EXPECT_TRUE(seeksToItem(12, 13, 93));
    EXPECT_TRUE(seeksToItem(94, 13, 93));
}

TEST(HLStripGeometryTest, ContentWidthIsNeverNarrowerThanItsView)
{
    // Empty timeline (-80) and empty text line (0): 0 + 10 + 50.
    EXPECT_EQ(contentWidthOf(0, -80, 0), 60);
    EXPECT_EQ(contentWidthOf(700, -80, 0), 700);
    EXPECT_EQ(contentWidthOf(700, 1000, 400), 1060);
    EXPECT_EQ(contentWidthOf(700, 300, 900), 960);
    EXPECT_EQ(contentWidthOf(100, std::numeric_limits<double>::quiet_NaN(), 200), 260);
    EXPECT_EQ(audioWidthOf(300, 600), 650);
    EXPECT_EQ(audioWidthOf(900, 600), 900);
}

TEST(HLStripGeometryTest, CellsAndRowsAreLaidOutInEightyPointSlots)
{
    EXPECT_EQ(cellFrame(0), (Frame{2.5, 2.5, 75, 75}));
    EXPECT_EQ(cellFrame(2), (Frame{162.5, 2.5, 75, 75}));
    EXPECT_EQ(rowFrame(3, 3), (Frame{3, 0, 240, 100}));
}

TEST(HLTimelineCaptionTest, RowAndTileTitles)
{
    EXPECT_EQ(HLTimelineCaption::slideshowTitleOf(QStringLiteral("Name"), 3725.9f, 2),
              QStringLiteral("Name    2 Items    01:02:05"));
    EXPECT_EQ(HLTimelineCaption::slideshowTitleOf(QStringLiteral("Name"), 6, 1), QStringLiteral("Name    1 Item    00:00:06"));
    EXPECT_EQ(HLTimelineCaption::slideshowTitleOf(QStringLiteral("Name"), 0, 0), QStringLiteral("Name    0 Item    00:00:00"));
    EXPECT_EQ(HLTimelineCaption::transitionTitleOf(QStringLiteral("Name"), 2), QStringLiteral("Name  2.0s"));
    EXPECT_EQ(HLTimelineCaption::transitionTitleOf(QStringLiteral("Dissolve"), 1.25f), QStringLiteral("Dissolve  1.2s"));
}

} // namespace
