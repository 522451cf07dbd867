#include "render/geometry.h"

#include <gtest/gtest.h>

#include <cmath>

#include "render/drawing.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

TEST(Geometry, LimitsAndBoxCentresOfEveryLayout)
{
    struct Case { int W, h, dual; double x1, x2, y, panelLeft, halfHeightLimit; };
    const Case cases[] = {
        {320, 0, 0, 180, 540, 180, 360, 192},
        {320, 0, 1, 180, 540, 180, 720, 192},
        {320, 1, 0, 180, 540, 100, 360, 96},
        {1000, 0, 1, 520, 1560, 520, 2080, 600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.W << " h" << c.h << " dual" << c.dual);
        TestRecords r;
        r.chartView.imageSize = std::int16_t(c.W);
        r.chartView.halfHeight = std::uint8_t(c.h);
        r.chartView.dualBox = std::uint8_t(c.dual);
        setChartGeometry(r);
        const ChartGeometry& g = r.drawn.geometry;
        EXPECT_FLOAT_EQ(r.userProjection.chartScale, float(c.W));
        EXPECT_FLOAT_EQ(g.halfWidthLimit, c.W * 0.6f);
        EXPECT_FLOAT_EQ(g.halfHeightLimit, float(c.halfHeightLimit));
        EXPECT_FLOAT_EQ(g.boxHalfWidth, c.W / 2.0f);
        EXPECT_NEAR(g.starSizeFactor, std::sqrt(c.W / 1000.0) / 2, 1e-6);
        const BoxCentres b = boxCentres(r.chartView, r.chartLayout, 0);
        EXPECT_DOUBLE_EQ(b.x1, c.x1);
        EXPECT_DOUBLE_EQ(b.x2, c.x2);   // the middle of the second box, a box width to the right
        EXPECT_DOUBLE_EQ(b.y, c.y);
        EXPECT_DOUBLE_EQ(b.secondBoxOffset, c.x2 - c.x1);
        EXPECT_DOUBLE_EQ(b.panelLeft, c.panelLeft);
    }
}

TEST(Geometry, PlacementsPutTheCentreOnTheBoxEdges)
{
    struct Case { int place, h, projection; const char* elevation; double offset; double magnification = 1; };
    const Case cases[] = {
        {2, 0, 1, "+30", 0},
        {1, 0, 1, "+30", 160},    // centre on the bottom edge
        {4, 0, 1, "+30", -160},   // on the top edge
        {1, 1, 1, "+30", 80},
        {3, 0, 1, "+30", 160 - 320 * 30.0 / 180},   // the horizon 30 degrees below on the bottom edge
        {3, 0, 1, "+90", 160 - 320 * 90.0 / 180},
        {3, 0, 6, "+90", 0},      // gnomonic cannot place the horizon: the centre stays
        {3, 0, 4, "+90", 0},      // nor Mercator, where it is the pole
        // Far below the box, however far: the centre goes to the top edge.
        {3, 0, 1, "+90", -160, 50},    // the horizon 8000 pixels below
        {3, 0, 1, "+90", -160, 90},    // 14400 pixels below, a true offset, not an off-chart mark
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "place " << c.place << " prj " << c.projection << " el " << c.elevation
                                        << " mag " << c.magnification);
        TestRecords r;
        r.chartView.magnification = c.magnification;
        r.chartOptions.directionPointPlace = std::uint8_t(c.place);
        r.chartOptions.projectionKind = std::uint8_t(c.projection);
        r.chartOptions.refractionOn = 0;
        r.chartOptions.underHorizonDepth = 1.1f;
        r.chartView.halfHeight = std::uint8_t(c.h);
        r.set("EDIT13", c.elevation);
        ASSERT_TRUE(DRAWINGIMG(r));
        EXPECT_NEAR(r.drawn.geometry.directionOffset, c.offset, 1e-6);
    }
}

// The first colour-9 pixel (the outline on black) along a band of three rows or columns.
int firstOutlinePixel(const ChartBitmap& b, int fixed, bool alongRow)
{
    const int n = alongRow ? b.width() : b.height();
    for (int i = 0; i < n; ++i)
        for (int k = fixed - 1; k <= fixed + 1; ++k)
            if ((alongRow ? b.pixel(i, k) : b.pixel(k, i)) == 9)
                return i;
    return -1;
}

TEST(Geometry, OutlineOfEveryProjection)
{
    // W = 320 in the map mode, so the whole-sphere outlines show; box centre (180, 180).
    // `row`: the first outline pixel along the centre row; `column`: along the centre column;
    // -1 for none.
    struct Case { int projection, dual; double magnification; int row, column; };
    const Case cases[] = {
        {1, 0, 0.6, -1, -1},        // radius 192 reaches past the margin: its right cap is left out
        {1, 0, 0.5, 20, 20},        // radius 160
        {2, 0, 0.5, 67, 67},        // 160 / sqrt 2
        {3, 0, 1, -1, -1},
        {4, 0, 0.5, 20, -1},        // lines at cx -+ 160 from cy - 160
        {5, 0, 0.5, -1, 20},
        {6, 0, 1, -1, -1},
        {7, 0, 0.5, 20, 100},       // ellipse 160 by 80
        {8, 0, 1, 20, 20},
        {8, 0, 1.5, -1, 0},         // radius 240: the arc left of the margin, its top above
        {9, 0, 0.5, 20, 100},       // the sinusoidal rim: cx - S at the equator, cy - S/2 at the pole
        {10, 0, 1, -1, -1},
        {11, 0, 1, -1, 20},         // y = cy -+ 160 across the box and margins
        {12, 0, 0.5, 20, 63},       // 0.7332 S, and the lines at cx -+ S
        {13, 0, 0.5, 32, 106},      // 160 / 1.0823922, aspect 0.5
        {14, 0, 1, -1, 78},         // S / pi
        {15, 0, 0.5, 20, 100},
        {1, 1, 1, 20, 20},          // Dual-Box: the circle of W / 2 in each box
        {3, 1, 1, 20, 20},
        {4, 1, 1, 20, -1},          // lines at cx -+ S / 2
        {6, 1, 1, -1, -1},
        {9, 1, 1, 20, 20},          // the hemisphere's rim
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "prj " << c.projection << " dual " << c.dual << " mag " << c.magnification);
        TestRecords r;
        r.chartView.chartMode = mapChartMode;
        r.chartView.dualBox = std::uint8_t(c.dual);
        r.chartView.magnification = c.magnification;
        r.chartOptions.projectionKind = std::uint8_t(c.projection);
        r.noGrids();
        r.makeBitmap();
        ASSERT_TRUE(DRAWINGIMG(r));
        EXPECT_NEAR(firstOutlinePixel(r.chartBitmap, 180, true), c.row, c.row < 0 ? 0 : 1);
        EXPECT_NEAR(firstOutlinePixel(r.chartBitmap, 180, false), c.column, c.column < 0 ? 0 : 1);
        if (c.dual == 1 && c.row >= 0) {   // the same outline in the second box
            EXPECT_EQ(r.chartBitmap.pixel(c.row + 360, 180), 9);
        }
    }
}

TEST(Geometry, AClippedCircleLeavesOutOnlyItsRightCap)
{
    TestRecords r;
    r.chartView.chartMode = mapChartMode;
    r.chartView.magnification = 0.6;   // radius 192 past the margin at 180
    ASSERT_TRUE(DRAWINGIMG(r));
    bool upperLeft = false;   // the arc at 135 degrees, about (44, 44)
    for (int x = 42; x <= 46; ++x)
        for (int y = 42; y <= 46; ++y)
            upperLeft |= r.chartBitmap.pixel(x, y) == 9;
    EXPECT_TRUE(upperLeft);
    for (int x = 360; x < 400; ++x)
        EXPECT_NE(r.chartBitmap.pixel(x, 180), 9) << x;
}

TEST(Geometry, OutlineTakesTheDarkPartnerOnWhite)
{
    TestRecords r;
    r.chartView.chartMode = mapChartMode;
    r.chartOptions.whiteBackground = 1;
    r.chartView.magnification = 0.5;
    r.chartBitmap.clear(15);
    ASSERT_TRUE(DRAWINGIMG(r));
    EXPECT_EQ(r.chartBitmap.pixel(20, 180), 8);
}

TEST(Geometry, ScaleIntervalLabels)
{
    EXPECT_EQ(intervalLabel(30), " 30am");
    EXPECT_EQ(intervalLabel(4), " 4am");
    EXPECT_EQ(intervalLabel(120), " 2dg");
    EXPECT_EQ(intervalLabel(5400), " 90dg");
}

TEST(Geometry, CoordinatesFromTheCenterDrawInTheirColourAndEnd)
{
    // Every mode, in both layouts, up to magnifications whose steps are far below a pixel of arc.
    for (int mode : {1, 2, 3, 4})
        for (int dual : {0, 1})
            for (double magnification : {1.0, 15.0, 1e7}) {
                SCOPED_TRACE(testing::Message() << "mode " << mode << " dual " << dual << " mag " << magnification);
                TestRecords r;
                r.chartView.magnification = magnification;
                r.chartView.dualBox = std::uint8_t(dual);
                r.chartOptions.centerCoordsMode = std::uint8_t(mode);
                r.chartOptions.whiteBackground = 1;
                r.noGrids();
                r.makeBitmap();
                r.chartBitmap.clear(15);
                ASSERT_TRUE(DRAWINGIMG(r));
                // The axes through the centre, in colour 9 on white.
                EXPECT_EQ(r.chartBitmap.pixel(30, 180), 9);
                EXPECT_EQ(r.chartBitmap.pixel(180, 30), 9);
                if (dual) {   // below the compass names at the second box's top
                    EXPECT_EQ(r.chartBitmap.pixel(540, 60), 9);
                }
            }
}

TEST(Geometry, OutlinesEndAtHugeMagnifications)
{
    for (int projection : {1, 9, 13}) {
        SCOPED_TRACE(projection);
        TestRecords r;
        r.chartView.chartMode = mapChartMode;
        r.chartView.magnification = 1e7;
        r.chartView.dualBox = projection == 13;
        r.chartOptions.projectionKind = std::uint8_t(projection);
        r.makeBitmap();
        EXPECT_TRUE(DRAWINGIMG(r));
    }
}

} // namespace
} // namespace nivora
