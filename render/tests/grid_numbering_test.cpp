#include "render/grid_numbering.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "render/culling.h"
#include "render/drawing.h"
#include "render/pipeline.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

TEST(GridNumbering, LabelTexts)
{
    const struct {
        bool meridian;
        int c;
        const char* text;
    } cases[] = {{false, 0, "+00"}, {false, 5, "+05"}, {false, -5, "-05"}, {false, 30, "+30"},
                 {false, -30, "-30"}, {true, 0, "0"},  {true, 5, "5"},      {true, 355, "355"}};
    for (const auto& c : cases)
        EXPECT_EQ(gridLabel(c.meridian, c.c), c.text);
}

// Whether the chart shows `text` in `colour` with its top-left corner at (x, y): the pixels the
// text lights on a blank bitmap in the same font are lit in that colour, but for a few that later
// marks (the visible horizon, the compass) drew over.
bool labelAt(const ChartBitmap& chart, const std::string& text, int colour, double x, double y)
{
    ChartBitmap alone(chart.width(), chart.height());
    alone.setFont(chart.font().family, chart.fontPixelSize());
    alone.drawText(float(x), float(y), text, 15);
    int lit = 0, shown = 0;
    for (int j = 0; j < alone.height(); ++j)
        for (int i = 0; i < alone.width(); ++i)
            if (alone.pixel(i, j) == 15) {
                ++lit;
                shown += chart.pixel(i, j) == colour;
            }
    return lit > 0 && shown >= lit * 8 / 10;
}

// How many times the chart shows `text` in `colour` anywhere, as labelAt would find it (a text
// whose sign is "+" is not mistaken for part of another).
int labelCount(const ChartBitmap& chart, const std::string& text, int colour)
{
    ChartBitmap alone(64, 32);
    alone.setFont(chart.font().family, chart.fontPixelSize());
    alone.drawText(0, 0, text, 15);
    std::vector<std::pair<int, int>> lit;
    for (int j = 0; j < alone.height(); ++j)
        for (int i = 0; i < alone.width(); ++i)
            if (alone.pixel(i, j) == 15)
                lit.emplace_back(i, j);
    std::vector<std::pair<int, int>> found;
    for (int y = -4; y < chart.height(); ++y)
        for (int x = -4; x < chart.width(); ++x) {
            std::size_t shown = 0;
            for (const auto& [i, j] : lit)
                shown += chart.pixel(x + i, y + j) == colour;
            if (shown < lit.size() * 9 / 10)
                continue;
            bool again = false;
            for (const auto& [fx, fy] : found)
                again = again || (std::abs(fx - x) <= 3 && std::abs(fy - y) <= 3);
            if (!again)
                found.emplace_back(x, y);
        }
    return int(found.size());
}

// A star map around the north celestial pole with the equatorial grid numbered.
struct PolarMap : TestRecords {
    explicit PolarMap(double magnification)
    {
        chartView.chartMode = mapChartMode;
        chartView.magnification = magnification;
        ui.control("COMBO6").setIndex(4);
        set("EDIT2", "0");
        set("EDIT3", "90");
        set("EDIT12", "0");
        set("EDIT13", "90");
        noGrids();
        chartOptions.equatorGridStep = 10;
        chartOptions.equatorGridNumbers = 1;
        chartOptions.magnitudeLimit = 0;
        chartOptions.constellationLines = 0;
        makeBitmap();
    }
    // The resting label's top-left corner: the circle's point at the sidereal time.
    std::pair<double, double> restingCorner(int dec) const
    {
        const PointPipeline p(*this);
        const double a = drawn.sky.localSiderealTime, b = dec / degreesPerRadian;
        const DirectionVector v = p.toChart(rotate(drawn.sky.trueEquatorToBase,
                                                   {std::cos(b) * std::cos(a), std::cos(b) * std::sin(a), std::sin(b)}));
        double X, Y;
        p.project(v, X, Y);
        return {p.pixelX(X - 12), p.pixelY(Y + 8)};
    }
};

// Circles wholly inside the box get one resting label; thinning by magnification.
TEST(GridNumbering, RestingLabelsAndThinning)
{
    const struct {
        double magnification;
        int dec;
        bool labelled;
    } cases[] = {{1, 60, true}, {1, 70, false}, {1.5, 70, true}, {1.5, 75, false}, {4, 75, true}};
    for (const auto& c : cases) {
        PolarMap r(c.magnification);
        r.chartOptions.equatorGridStep = c.dec % 10 == 0 ? 10 : 5;
        ASSERT_TRUE(DRAWINGIMG(r));
        const auto [x, y] = r.restingCorner(c.dec);
        EXPECT_EQ(labelAt(r.chartBitmap, gridLabel(false, c.dec), 5, x, y), c.labelled)
            << c.magnification << " " << c.dec;
    }
    // Numbering off: no label.
    PolarMap r(1);
    r.chartOptions.equatorGridNumbers = 0;
    ASSERT_TRUE(DRAWINGIMG(r));
    const auto [x, y] = r.restingCorner(60);
    EXPECT_FALSE(labelAt(r.chartBitmap, "+60", 5, x, y));
}

// The default sky chart's circle of declination +30: labelled where it sinks under the horizon,
// and in the Dual-Box layout at the rim of both boxes where it passes into the second.
TEST(GridNumbering, WhereTheCircleSets)
{
    for (int dual : {0, 1}) {
        SCOPED_TRACE(dual);
        TestRecords r;
        r.noGrids();
        r.chartOptions.equatorGridStep = 30;
        r.chartOptions.equatorGridNumbers = 1;
        r.chartOptions.magnitudeLimit = 0;
        r.chartOptions.constellationLines = 0;
        r.chartView.dualBox = std::uint8_t(dual);
        const CullingOff whole;   // every point of the curve is seen
        r.makeBitmap();
        ASSERT_TRUE(DRAWINGIMG(r));
        // The points of the circle in drawing order: three per 10 degrees.
        const PointPipeline p(r);
        const double b = 30 / degreesPerRadian;
        bool wasAbove = false, found = false;
        for (int step = 0; step < 108 && !found; ++step) {
            const double a = step * (10.0 / 3) / degreesPerRadian;
            const DirectionVector w = p.refract(
                rotate(r.drawn.sky.trueEquatorToBase, {std::cos(b) * std::cos(a), std::cos(b) * std::sin(a), std::sin(b)}));
            const bool below = p.belowHorizon(w);
            if (below && wasAbove) {
                found = true;
                const DirectionVector v = p.toChart(w);
                double X, Y;
                if (dual) {
                    p.project({v[0], -v[1], -v[2]}, X, Y);
                    EXPECT_TRUE(labelAt(r.chartBitmap, "+30", 5, p.pixelX(X - 12, 1), p.pixelY(Y + 8)));
                    EXPECT_TRUE(labelAt(r.chartBitmap, "+30", 5, p.pixelX(-X - 12), p.pixelY(Y + 8)));
                } else {
                    p.project(v, X, Y);
                    EXPECT_TRUE(labelAt(r.chartBitmap, "+30", 5, p.pixelX(X - 12), p.pixelY(Y + 8)));
                }
            }
            wasAbove = !below;
        }
        EXPECT_TRUE(found);
    }
}

// The equator around the centre of a polar map passes through the box near its corners: when it
// reaches beyond the drawing limit in between (radius 224 pixels) it is labelled at every exit
// and re-entry; when it stays within the limit (radius 176) only at its first entry and its exits.
TEST(GridNumbering, ExitsAndReEntries)
{
    const struct {
        double magnification;
        int dec;
        int labels;
    } cases[] = {{1.4, 0, 8}, {1.1, 0, 5}};
    for (const auto& c : cases) {
        PolarMap r(c.magnification);
        r.chartOptions.equatorGridStep = 30;
        ASSERT_TRUE(DRAWINGIMG(r));
        EXPECT_EQ(labelCount(r.chartBitmap, gridLabel(false, c.dec), 5), c.labels) << c.dec;
    }
}

// A star map whose pole lies just above the box: the meridians that reach it leave the box close
// to it, and none of them is numbered there.
TEST(GridNumbering, NoLabelNearAPole)
{
    const auto draw = [](int numbers) {
        auto r = std::make_unique<PolarMap>(1);
        r->set("EDIT13", "-2");
        r->chartOptions.equatorGridNumbers = std::uint8_t(numbers);
        EXPECT_TRUE(DRAWINGIMG(*r));
        return r;
    };
    const auto plain = draw(0);
    const auto numbered = draw(1);
    const PointPipeline p(*plain);
    const auto pole = p.placeCatalogue(plain->drawn.sky.trueEquatorToBase, {0, 0, 1});
    ASSERT_TRUE(pole.has_value());
    int differ = 0;
    // Meridians crossing the box's top within 3000 / 320 degrees, 16 pixels, of the pole get no
    // label; the labels of those crossing further out reach to within 10 pixels of it.
    EXPECT_NEAR(pole->y, 16.4, 1);
    for (int y = 0; y <= int(pole->y) + 16; ++y)
        for (int x = int(pole->x) - 8; x <= int(pole->x) + 8; ++x)
            differ += plain->chartBitmap.pixel(x, y) != numbered->chartBitmap.pixel(x, y);
    EXPECT_EQ(differ, 0);
}

// In the Dual-Box layout at a magnification above 1 a curve still gets its labels only where it
// passes between the boxes, not at every point beyond half the box distance.
TEST(GridNumbering, DualBoxAtMagnificationFiveLabelsOnlyThePassages)
{
    const auto draw = [](int numbers) {
        auto r = std::make_unique<TestRecords>();
        r->chartView.dualBox = 1;
        r->chartView.magnification = 5;
        r->chartOptions.zenithGridStep = r->chartOptions.equatorGridStep = r->chartOptions.eclipticGridStep = 10;
        r->chartOptions.zenithGridNumbers = r->chartOptions.equatorGridNumbers = r->chartOptions.eclipticGridNumbers =
            std::uint8_t(numbers);
        r->makeBitmap();
        EXPECT_TRUE(DRAWINGIMG(*r));
        return r;
    };
    const auto plain = draw(0);
    const auto numbered = draw(1);
    int differ = 0;
    const ChartBitmap& a = plain->chartBitmap;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differ += a.pixel(x, y) != numbered->chartBitmap.pixel(x, y);
    EXPECT_LT(differ, a.width() * a.height() / 50);
}

} // namespace
} // namespace nivora
