#include "render/earthlines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "render/bodymarks.h"
#include "render/tests/erfa_sky.h"
#include "render/tests/sky_chart.h"

namespace nivora {
namespace {

using testing_support::ErfaObserver;
using testing_support::Place;
using testing_support::SkyChart;
using testing_support::countColour;

const Place tokyo = {"Tokyo", 139.7, 35.7, 0, 2024, 5, 14, 10.5};

// One flag a pixel of the chart; reads false and ignores writes off the picture.
struct PixelMask {
    PixelMask(int w, int h) : width(w), height(h), bits(std::size_t(w) * std::size_t(h)) {}
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
    bool operator()(int x, int y) const { return inside(x, y) && bits[index(x, y)]; }
    void set(int x, int y, bool on = true)
    {
        if (inside(x, y))
            bits[index(x, y)] = on;
    }
    std::size_t index(int x, int y) const { return std::size_t(y) * std::size_t(width) + std::size_t(x); }
    int width, height;
    std::vector<bool> bits;
};

struct EarthLines : SkyChart {
    explicit EarthLines(const char* observerMetres, const char* shellKm, int minutes, const Place& at = tokyo)
        : SkyChart(at)
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
    // Draws with and without the lines: true where only the lines put their colour, left of the
    // side strip. Bodies are left out so that nothing covers a line.
    PixelMask lineMask()
    {
        chartOptions.sunDisplayMode = chartOptions.moonDisplayMode = 0;
        for (auto& mode : planetSettings.planetDisplayMode)
            mode = 0;
        PixelMask mask(int(panelLeftOf(*this)), chartBitmap.height());
        const auto grid = chartOptions.earthGridMinutes;
        chartOptions.earthGridMinutes = 0;
        EXPECT_TRUE(draw());
        for (int x = 0; x < mask.width; ++x)
            for (int y = 0; y < mask.height; ++y)
                mask.set(x, y, chartBitmap.pixel(x, y) != 11);
        chartOptions.earthGridMinutes = grid;
        EXPECT_TRUE(draw());
        for (int x = 0; x < mask.width; ++x)
            for (int y = 0; y < mask.height; ++y)
                mask.set(x, y, mask(x, y) && chartBitmap.pixel(x, y) == 11);
        return mask;
    }
};

// ERFA's view of the shell: the direction from the observer to a point at a geodetic latitude
// and longitude on the shell, in the horizon frame, and whether that point is in sight.
struct ErfaShell {
    ErfaShell(const Place& p, double observerMetres, double shellKm)
        : o{p.longitude, p.latitude, observerMetres, 0, 0}, shellMetres(shellKm * 1000),
          tangent(std::sqrt(std::pow(earthRadius + observerMetres / 1000, 2) -
                            std::pow(earthRadius + shellKm, 2)))
    {
        eraGd2gc(1, p.longitude * ERFA_DD2R, p.latitude * ERFA_DD2R, observerMetres, observer);
    }
    // The horizon-frame unit vector of the shell point; `seen` clear of the edge of sight, or
    // with `loose` a little past it.
    DirectionVector direction(double latitude, double longitude, bool& seen, bool loose = false) const
    {
        double s[3], d[3];
        eraGd2gc(1, longitude * ERFA_DD2R, latitude * ERFA_DD2R, shellMetres, s);
        testing_support::erfaSub(s, observer, d);
        DirectionVector w = testing_support::erfaToHorizon(o, d);
        const double r = eraPm(d);
        for (double& c : w)
            c /= r;
        // Below the observer: within the tangent distance; above: over the observer's horizon.
        seen = std::isnan(tangent) ? w[2] > (loose ? -0.02 : 0.03)
                                   : r / 1000 < tangent * (loose ? 1.02 : 0.97);
        return w;
    }
    ErfaObserver o;
    double shellMetres, tangent;
    double observer[3];
};

// Where the chart puts a horizon-frame direction in the first box; false when off the picture.
bool chartPixel(const SkyChart& chart, const DirectionVector& w, double& x, double& y)
{
    const auto pixels = MarkPlacer(chart, markBoundary, -markBoundary, false).pixels(w);
    if (pixels.empty())
        return false;
    x = pixels[0].x, y = pixels[0].y;
    return true;
}

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

// Every lattice crossing in sight has a dot within a pixel of ERFA's direction of that shell
// point, and every dot lies within a pixel and a half of one of ERFA's lines.
TEST(EarthLinesPass, DotsLieWhereErfaSeesTheShell)
{
    const Place northPole = {"North Pole", 30, 90, 0, 2024, 5, 14, 10.5};
    const Place southPole = {"South Pole", 30, -90, 0, 2024, 5, 14, 10.5};
    struct Case {
        const char* name;
        Place at;
        double observerMetres, shellKm;
        int minutes;
        const char* centreElevation;
        double magnification;
    };
    const Case cases[] = {
        {"from orbit, straight down", tokyo, 400000, 0, 60, "-90", 1},
        {"from orbit, magnified", tokyo, 400000, 0, 15, "-80", 6},
        {"from an aeroplane", tokyo, 10000, 0, 15, "-30", 2},
        {"a shell overhead", tokyo, 0, 100, 60, "90", 1},
        {"from orbit over the north pole", northPole, 400000, 0, 120, "-90", 1},
        {"from orbit over the south pole", southPole, 400000, 0, 120, "-90", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EarthLines chart(testing_support::number(c.observerMetres).c_str(),
                         testing_support::number(c.shellKm).c_str(), c.minutes, c.at);
        chart.chartView.magnification = c.magnification;
        chart.set("EDIT13", c.centreElevation);
        const PixelMask drawn = chart.lineMask();
        const int width = drawn.width, height = drawn.height;
        const ErfaShell shell(c.at, c.observerMetres, c.shellKm);

        // The cap in sight, widened by a degree; all longitudes where it takes in a pole.
        const double reach = (std::acos(earthRadius / (earthRadius + c.observerMetres / 1000)) +
                              std::acos(earthRadius / (earthRadius + c.shellKm))) * degreesPerRadian + 1;
        const double m = c.minutes / 60.0;
        const double lat0 = std::max(-90.0, std::floor((c.at.latitude - reach) / m) * m);
        const double lat1 = std::min(90.0, c.at.latitude + reach);
        const double span = std::min(180.0, reach / std::fabs(std::cos(c.at.latitude / degreesPerRadian)));
        const double lon0 = std::floor((c.at.longitude - span) / m) * m, lon1 = c.at.longitude + span;

        // Pixels within one of ERFA's lines (sampled every arc minute, filled between samples).
        PixelMask near(width, height);
        auto cover = [&](double x, double y) {
            for (int i = int(std::floor(x - 1.5)); i <= int(std::ceil(x + 1.5)); ++i)
                for (int j = int(std::floor(y - 1.5)); j <= int(std::ceil(y + 1.5)); ++j)
                    if (std::hypot(i - x, j - y) <= 1.5)
                        near.set(i, j);
        };
        auto trace = [&](bool parallel, double fixed, double from, double to) {
            bool havePrevious = false;
            double px = 0, py = 0;
            for (double t = from; t <= to; t += 1 / 60.0) {
                bool seen;
                const DirectionVector w =
                    parallel ? shell.direction(fixed, t, seen, true) : shell.direction(t, fixed, seen, true);
                double x, y;
                if (!seen || !chartPixel(chart, w, x, y)) {
                    havePrevious = false;
                    continue;
                }
                const double gap = havePrevious ? std::hypot(x - px, y - py) : 0;
                if (gap < 30)
                    for (double f = 0; f <= 1; f += 0.25 / std::max(gap, 0.25))
                        cover(px + (x - px) * f, py + (y - py) * f);
                cover(x, y);
                havePrevious = true, px = x, py = y;
            }
        };
        for (double a = lat0; a <= lat1; a += m)
            trace(true, a, lon0, lon1);
        for (double b = lon0; b <= lon1; b += m)
            trace(false, b, lat0, lat1);
        int dots = 0, stray = 0;
        std::string firstStray;
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < height; ++y)
                if (drawn(x, y)) {
                    ++dots;
                    if (!near(x, y) && stray++ == 0)
                        firstStray = std::to_string(x) + " " + std::to_string(y);
                }
        EXPECT_GT(dots, 200);
        EXPECT_EQ(stray, 0) << "first at " << firstStray;

        // The lattice stops short of the north pole; the direction point's cross covers the centre.
        // The chart's own area ends at the strip and above the panel's lower rows.
        const BoxCentres boxes = boxCentres(chart.chartView, chart.chartLayout, 0);
        int crossings = 0;
        for (double a = lat0; a <= std::min(lat1, 90 - m); a += m)
            for (double b = lon0; b <= lon1; b += m) {
                bool seen;
                const DirectionVector w = shell.direction(a, b, seen);
                double x, y;
                if (!seen || !chartPixel(chart, w, x, y) || x < 3 || y < 3 || x > boxes.panelLeft - 4 ||
                    y > boxes.chartBottom - 4 || std::hypot(x - boxes.x1, y - boxes.y) < 5)
                    continue;
                ++crossings;
                bool found = false;
                for (int i = int(std::lround(x)) - 1; i <= int(std::lround(x)) + 1; ++i)
                    for (int j = int(std::lround(y)) - 1; j <= int(std::lround(y)) + 1; ++j)
                        found = found || drawn(i, j);
                EXPECT_TRUE(found) << a << " " << b << " at " << x << " " << y;
            }
        EXPECT_GT(crossings, 4);
    }
}

// From 400 km straight down over the equator: a line whose arc minutes leave a positive
// remainder by 60 is dotted (30' N, 10 deg 30' E and 9 deg 30' E), every other one solid
// (30' S among them).
TEST(EarthLinesPass, HalfDegreeLinesNorthAndEastAreDottedTheOthersSolid)
{
    const Place equator = {"Gulf of Guinea", 10.25, 0, 0, 2024, 5, 14, 10.5};
    EarthLines chart("400000", "0", 30, equator);
    chart.chartView.magnification = 4;
    chart.set("EDIT13", "-90");
    const PixelMask drawn = chart.lineMask();
    const int width = drawn.width, height = drawn.height;
    const ErfaShell shell(equator, 400000, 0);
    auto pixelOf = [&](double latitude, double longitude, double& x, double& y) {
        bool seen;
        return chartPixel(chart, shell.direction(latitude, longitude, seen), x, y) && seen;
    };
    struct Line {
        bool parallel;
        double degrees;
        bool dotted;
    };
    const Line lines[] = {
        {true, 0.5, true},   {true, -0.5, false}, {true, 1, false},  {true, -1, false}, {true, 0, false},
        {false, 10.5, true}, {false, 9.5, true},  {false, 10, false}, {false, 11, false},
    };
    for (const Line& line : lines) {
        SCOPED_TRACE(testing::Message() << (line.parallel ? "parallel " : "meridian ") << line.degrees);
        // ERFA's line every tenth of an arc minute, away from the crossings of the 30' lattice.
        PixelMask near(width, height);
        double length = 0;
        double px = 0, py = 0;
        bool havePrevious = false;
        for (double t = -2; t <= 2; t += 1 / 600.0) {
            double x, y;
            const bool onChart = line.parallel ? pixelOf(line.degrees, equator.longitude + t, x, y)
                                               : pixelOf(t, line.degrees, x, y);
            const double across = line.parallel ? equator.longitude + t : t;
            const double fromCrossing = std::fabs(across * 2 - std::round(across * 2)) / 2;   // degrees
            if (!onChart || fromCrossing < 0.05 || x < 2 || y < 2 || x > width - 3 || y > height - 3) {
                havePrevious = false;
                continue;
            }
            if (havePrevious)
                length += std::hypot(x - px, y - py);
            havePrevious = true, px = x, py = y;
            for (int i = int(std::lround(x)) - 1; i <= int(std::lround(x)) + 1; ++i)
                for (int j = int(std::lround(y)) - 1; j <= int(std::lround(y)) + 1; ++j)
                    near.set(i, j);
        }
        ASSERT_GT(length, 40);
        int dots = 0;
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < height; ++y)
                dots += drawn(x, y) && near(x, y);
        // A 3' step is about 5.7 pixels here: four dots on a solid line, two on a dotted one.
        const double perPixel = dots / length;
        if (line.dotted)
            EXPECT_LT(perPixel, 0.5);
        else
            EXPECT_GT(perPixel, 0.65);
    }
}

// Seen from far away the lattice is finer than a pixel: the lines take a few projections for
// each pixel they set, not one for each of the millions of lattice points in sight.
TEST(EarthLinesPass, FromFarAwayTheLinesCostWhatTheyShow)
{
    struct Case {
        const char* name;
        const char* observerMetres;
        const char* elevation;
    };
    const Case cases[] = {
        {"36000 km, straight down", "36000000", "-90"},
        {"36000 km, at the horizon", "36000000", "0"},
        {"36000 km, at the Earth's rim", "36000000", "-81.3"},
        {"3600 km, straight down", "3600000", "-90"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EarthLines chart(c.observerMetres, "0", 15);
        chart.set("EDIT13", c.elevation);
        chart.chartOptions.earthGridMinutes = 0;
        ASSERT_TRUE(chart.draw());
        const int width = chart.chartBitmap.width(), height = chart.chartBitmap.height();
        const int before = countColour(chart.chartBitmap, 11, 0, 0, width - 1, height - 1);
        chart.chartOptions.earthGridMinutes = 15;
        const long projected = earthLinesPass(chart);
        const int set = countColour(chart.chartBitmap, 11, 0, 0, width - 1, height - 1) - before;
        EXPECT_GT(set, 100);
        EXPECT_LT(projected, 100 * set);
    }
}

} // namespace
} // namespace nivora
