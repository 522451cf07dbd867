#include "render/moonpath_earthlines.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/constants.h"
#include "render/tests/sky_chart.h"

namespace nivora {
namespace {

using testing_support::Place;
using testing_support::SkyChart;

int countColour(const ChartBitmap& b, int colour, int x1, int y1, int x2, int y2)
{
    int n = 0;
    for (int y = y1; y <= y2; ++y)
        for (int x = x1; x <= x2; ++x)
            n += b.pixel(x, y) == colour;
    return n;
}

bool colourNear(const ChartBitmap& b, int colour, float x, float y)
{
    const int cx = int(std::lround(x)), cy = int(std::lround(y));
    return countColour(b, colour, cx - 1, cy - 1, cx + 1, cy + 1) > 0;
}

const Place tokyo = {"Tokyo", 139.7, 35.7, 0, 2024, 5, 14, 10.5};

// ERFA's geocentric Moon at a dynamical-time Julian date, in the true equator of date.
DirectionVector erfaMoonTrueEquator(double tt)
{
    testing_support::ErfaObserver o;
    o.tt = tt;
    double p[3], npb[3][3], t[3];
    testing_support::erfaGeocentric(o, moonBody, p);
    eraPnm06a(tt, 0, npb);
    eraRxp(npb, p, t);
    eraPn(t, &p[0], t);
    return {t[0], t[1], t[2]};
}

// A star map of the true equator centred on the Moon: the computed track (mode 2) passes within a
// pixel of ERFA's Moon at each whole day from the drawing's instant, in one box and in two.
TEST(MoonPath, TheTrackFollowsErfasMoonDayByDay)
{
    for (const int dual : {0, 1}) {
        SCOPED_TRACE(dual);
        SkyChart chart(tokyo);
        chart.chartView.chartMode = mapChartMode;
        chart.chartView.dualBox = std::uint8_t(dual);
        chart.makeBitmap();
        chart.ui.control("COMBO5").setIndex(1);
        ASSERT_TRUE(chart.draw());
        const double tt = chart.observer(tokyo).tt;
        const DirectionVector now = erfaMoonTrueEquator(tt);
        double ra, dec, r;
        ZENITH(now[0], now[1], now[2], ra, dec, r);
        chart.set("EDIT2", testing_support::number(ra * degreesPerRadian));
        chart.set("EDIT3", testing_support::number(dec * degreesPerRadian));
        chart.chartOptions.moonLineMode = 2;
        ASSERT_TRUE(chart.draw());
        int checked = 0;
        for (int k = -15; k <= 14; ++k) {
            const DirectionVector w =
                rotate(chart.drawn.sky.trueEquatorToBase, erfaMoonTrueEquator(tt + k - double(1.484E-5f)));
            for (const ChartPixel& p : MarkPlacer(chart, markBoundary, -markBoundary).pixels(w)) {
                // Off the picture, or under the direction point's cross at the centre.
                if (p.x < 0 || p.x >= panelLeftOf(chart) || std::hypot(p.x - 180, p.y - 180) < 5)
                    continue;
                EXPECT_TRUE(colourNear(chart.chartBitmap, 14, p.x, p.y)) << k << " " << p.x << " " << p.y;
                ++checked;
            }
        }
        EXPECT_GE(checked, dual ? 29 : 12);   // Dual-Box draws every day
    }
}

TEST(MoonPath, ModeFourColoursTheTrackUnderTheMovingHorizon)
{
    for (const int wb : {0, 1}) {
        SkyChart chart(tokyo);
        chart.chartOptions.moonDisplayMode = 0;
        chart.chartOptions.whiteBackground = std::uint8_t(wb);
        chart.chartOptions.moonLineMode = 4;
        ASSERT_TRUE(chart.draw());
        EXPECT_GT(countColour(chart.chartBitmap, 3 - wb, 20, 20, 340, 340), 20) << wb;
        EXPECT_GT(countColour(chart.chartBitmap, 14, 20, 20, 340, 340), 20) << wb;
    }
    EXPECT_EQ(moonPathPointsPerDay(320), 6);
    EXPECT_EQ(moonPathPointsPerDay(30), 1);   // below 50: one point a day
}

struct EarthLines : SkyChart {
    explicit EarthLines(const char* observerMetres, const char* shellKm, int minutes) : SkyChart(tokyo)
    {
        using K = ControlKind;
        ui.load({"FORM5", "Minute Option", {{.kind = K::Edit, .name = "EDIT77", .text = shellKm}}});
        set("EDIT43", observerMetres);
        chartOptions.earthGridMinutes = std::int16_t(minutes);
        chartOptions.underHorizonDepth = 0;
        set("EDIT12", "0");
        set("EDIT13", "-20");   // looking down to the north
    }
    int linePixels()
    {
        EXPECT_TRUE(draw());
        const int with = countColour(chartBitmap, 11, 0, 0, 359, 359);
        const auto grid = chartOptions.earthGridMinutes;
        chartOptions.earthGridMinutes = 0;
        EXPECT_TRUE(draw());
        const int without = countColour(chartBitmap, 11, 0, 0, 359, 359);
        chartOptions.earthGridMinutes = grid;
        return with - without;
    }
};

TEST(EarthLinesPass, HeightsSpacingsAndTheLattice)
{
    EXPECT_EQ(EarthLines("0", "0", 15).linePixels(), 0);        // nothing at observer and shell 0
    EXPECT_GT(EarthLines("10000", "0", 15).linePixels(), 100);  // from an aeroplane
    EXPECT_GT(EarthLines("10000", "50", 15).linePixels(), 100);  // a shell above: over the horizon
    // On the 3-minute lattice a spacing of 10 minutes draws the 30-minute lines alone.
    EarthLines ten("10000", "0", 10), thirty("10000", "0", 30);
    ASSERT_TRUE(ten.draw());
    ASSERT_TRUE(thirty.draw());
    EXPECT_EQ(ten.chartBitmap.image().copy(0, 0, 360, 360), thirty.chartBitmap.image().copy(0, 0, 360, 360));
    // Map modes never draw them.
    EarthLines map("10000", "0", 15);
    map.chartView.chartMode = mapChartMode;
    EXPECT_EQ(map.linePixels(), 0);
}

} // namespace
} // namespace nivora
