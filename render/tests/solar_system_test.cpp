#include "render/bodymarks.h"
#include "render/moon_shadow.h"
#include "render/sun_planets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "astro/constants.h"
#include "astro/numbertext.h"
#include "render/drawing.h"
#include "render/tests/erfa_sky.h"
#include "render/tests/sky_chart.h"

namespace nivora {
namespace {

using testing_support::ErfaObserver;
using testing_support::erfaHorizonDirection;
using testing_support::number;
using testing_support::Place;
using testing_support::SkyChart;

const Place places[] = {
    {"Tokyo", 139.7, 35.7, 40, 2008, 12, 31, 14.983},
    {"Mexico City", -99.13, 19.43, 2240, 2025, 3, 14, 6.983},
    {"Sydney", 151.21, -33.87, 0, 2026, 6, 15, 9.5},
    {"Tromso", 18.96, 69.65, 100, 2024, 1, 20, 22.25},
};

TEST(SolarSystem, BodiesLieWithinAPixelOfErfaAtMagnificationsOneAndTen)
{
    const int colours[] = {13, 14, 7, 7, 7, 7, 7, 7, 7};
    for (const Place& place : places)
        for (const double magnification : {1.0, 10.0})
            for (int body = 0; body <= 8; ++body) {
                SCOPED_TRACE(testing::Message() << place.name << " magnification " << magnification
                                                << " body " << body);
                SkyChart chart(place, magnification);
                ASSERT_TRUE(chart.draw());
                const DirectionVector w = erfaHorizonDirection(chart.observer(place), body);
                chart.centreOn(w);
                ASSERT_TRUE(chart.draw());
                const BoxCentres boxes = boxCentres(chart.chartView, chart.chartLayout, 0);
                const auto c = chart.centroid(colours[body], boxes.x1, boxes.y, body < 2 ? 6 : 3);
                ASSERT_GT(c.count, 0);
                EXPECT_LE(std::fabs(c.x - boxes.x1), 1.0);
                EXPECT_LE(std::fabs(c.y - boxes.y), 1.0);
            }
}

// The UT hour at which ERFA puts the Sun at `elevation` degrees, rising toward noon from `from`.
double hourOfSunElevation(SkyChart& chart, Place place, double elevation, double from, double to)
{
    auto sunElevation = [&](double hour) {
        place.hourUT = hour;
        const DirectionVector w = erfaHorizonDirection(chart.observer(place), 0);
        return std::asin(w[2]) * degreesPerRadian;
    };
    for (int i = 0; i < 60; ++i) {
        const double mid = (from + to) / 2;
        (sunElevation(mid) < elevation ? from : to) = mid;
    }
    return (from + to) / 2;
}

TEST(SolarSystem, TwilightWordsFollowTheSunsApparentElevation)
{
    struct Case {
        double elevation;   // degrees, ERFA
        const char* word;
    };
    const Case cases[] = {
        {1, "Daylight."}, {-3, "Twilight."}, {-12, "Astronomial Twilight."}, {-20, "Night."}};
    // Greenwich in March: the Sun climbs from the night to noon.
    const Place morning = {"Greenwich", 0, 51.48, 0, 2024, 3, 20, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.elevation);
        SkyChart probe(morning);
        ASSERT_TRUE(probe.draw());
        Place at = morning;
        at.hourUT = hourOfSunElevation(probe, morning, c.elevation, 0, 12);
        SkyChart chart(at);
        ASSERT_TRUE(chart.draw());
        EXPECT_EQ(chart.rowText(twilightRow), c.word);
        const auto sun = chart.row(sunRow);
        ASSERT_EQ(sun.size(), 1u);
        EXPECT_EQ(sun[0].colour, 13);
        // "Sun:Az:aaa.aadeg,El:seee.eedeg.": ERFA's elevation to the printed hundredth.
        const std::string text = sun[0].text;
        const auto el = text.find("El:");
        ASSERT_NE(el, std::string::npos);
        EXPECT_NEAR(std::stod(text.substr(el + 3)), c.elevation, 0.02) << text;
    }
}

TEST(SolarSystem, TwilightEdges)
{
    struct Case {
        double elevationDegrees;
        float semiDiameter;
        const char* word;
    };
    const float s = float(16.0 / 60 / degreesPerRadian);
    const Case cases[] = {
        {-0.2, s, "Daylight."},               // the upper limb still above the horizon
        {-0.3, s, "Twilight."},
        {-7.3611, s, "Twilight."},            // above the single-precision -7.361100196838379
        {-7.3612, s, "Astronomial Twilight."},
        {-17.999, s, "Astronomial Twilight."},
        {-18, s, "Night."},
    };
    for (const Case& c : cases)
        EXPECT_EQ(twilightWord(c.elevationDegrees / degreesPerRadian, c.semiDiameter), c.word)
            << c.elevationDegrees;
}

TEST(SolarSystem, AzimuthCountsFromNorthThroughWestIntoZeroTo360)
{
    EXPECT_EQ(azimuthElevationText(pi / 2, 0), "Az:" + DSPDCM(90, 3, 2, 1) + "deg,El:" + DSPDCM(0, 3, 2, 0) + "deg.");
    EXPECT_EQ(azimuthElevationText(-pi / 2, -0.1), "Az:" + DSPDCM(270, 3, 2, 1) + "deg,El:" +
                                                      DSPDCM(-0.1 * degreesPerRadian, 3, 2, 0) + "deg.");
}

// Sydney in the morning of 2026 June 15 (UT 21h of the 14th): which planets are up is read from
// the drawing's own table.
TEST(SolarSystem, PlanetMarksCodesAndParallaxLines)
{
    const Place place = {"Sydney", 151.21, -33.87, 0, 2026, 6, 14, 21};
    SkyChart chart(place);
    chart.chartOptions.underHorizonDepth = 0;
    chart.readoutOptions.readoutBody = marsBody;
    chart.planetSettings.planetDisplayMode[marsBody - 2] = 0;   // read out, not shown
    ASSERT_TRUE(chart.draw());
    const float left = panelLeftOf(chart);
    int shown = 0;
    // Mars: no mark, but its parallax line in the planet colour.
    const auto parallax = chart.row(parallaxRow);
    ASSERT_EQ(parallax.size(), 1u);
    EXPECT_EQ(parallax[0].text, " Parallax:" + DSPSEXA(chart.drawn.bodies.bodyPositions[marsBody][4], 9, 2));
    EXPECT_EQ(parallax[0].colour, 7);
    EXPECT_EQ(parallax[0].x, left);
    for (int b = mercuryBody; b <= neptuneBody; ++b) {
        SCOPED_TRACE(bodyNames[b].name);
        int codes = 0;
        for (const DrawnText& t : chart.texts)
            codes += t.text == bodyNames[b].code;
        const ApparentBody body = apparentBody(chart, b);
        const auto marks = bodyMarkPixels(chart, body.base);
        if (b == marsBody || body.hidden || marks.empty()) {
            EXPECT_EQ(codes, 0);
            continue;
        }
        ASSERT_EQ(codes, 1);
        ++shown;
        const float r = std::sqrt(320.0f) / 6;
        for (const DrawnText& t : chart.texts)
            if (t.text == bodyNames[b].code) {
                EXPECT_FLOAT_EQ(t.x, marks[0].x - r - 15);
                EXPECT_FLOAT_EQ(t.y, marks[0].y - r - 15);
                EXPECT_EQ(t.colour, 7);
            }
    }
    EXPECT_GE(shown, 2);
    // A planet whose file failed (distance 0) gets nothing, even as the readout body.
    chart.planetSettings.planetOrbitFile[marsBody - 2] = "missing.plt";
    ASSERT_TRUE(chart.draw());
    EXPECT_TRUE(chart.row(parallaxRow).empty());
}

TEST(SolarSystem, DualBoxDrawsABodyOnTheBoundaryInBothBoxes)
{
    const Place place = places[0];
    SkyChart chart(place);
    chart.chartView.dualBox = 1;
    chart.makeBitmap();
    chart.chartOptions.sunDisplayMode = 2;   // true size, measured in the mirrored frame
    ASSERT_TRUE(chart.draw());
    // Put the chart's centre 90 degrees from the Sun, so that its chart z is 0.
    const DirectionVector sun = apparentBody(chart, sunBody).apparent;
    double lon, lat, r;
    ZENITH(sun[0], sun[1], sun[2], lon, lat, r);
    chart.set("EDIT12", number((lon + pi / 2) * degreesPerRadian));
    chart.set("EDIT13", "0");
    ASSERT_TRUE(chart.draw());
    const ApparentBody body = apparentBody(chart, sunBody);
    ASSERT_NEAR(body.chart[2], 0, 1e-4);
    const auto marks = bodyMarkPixels(chart, body.base);
    ASSERT_EQ(marks.size(), 2u);
    for (const ChartPixel& p : marks)
        EXPECT_EQ(chart.chartBitmap.pixel(int(std::lround(p.x)), int(std::lround(p.y))), 13) << p.box;
    EXPECT_NE(marks[0].box, marks[1].box);
}

TEST(LocalScale, CentreOppositePointAndTrueSizeDiscs)
{
    SkyChart chart(places[0]);
    ASSERT_TRUE(chart.draw());
    const double perDegree = chart.userProjection.chartScale / 180.0;   // azimuthal equidistant
    EXPECT_NEAR(localScale(chart, {0, 0, 1}), perDegree, perDegree * 1e-3);
    EXPECT_NEAR(localScale(chart, {0, 0, 2}), perDegree, perDegree * 1e-3);   // any length
    EXPECT_NEAR(localScale(chart, {0, std::sin(0.5), std::cos(0.5)}),
                perDegree * std::sqrt(0.5 / std::sin(0.5)), perDegree * 1e-3);
    // A body the chart is centred on sits a few 1e-8 off the centre: the same scale.
    EXPECT_NEAR(localScale(chart, {3.00051541391e-08, 1.08890299555e-09, 1}), perDegree, perDegree * 1e-3);
    EXPECT_NEAR(localScale(chart, {-2.94544191815e-08, -1.89645637805e-08, 1}), perDegree, perDegree * 1e-3);
    EXPECT_EQ(localScale(chart, {0, 0, -1}), 0);   // a one-pixel mark
    EXPECT_EQ(trueSizeRadius(chart, {0, 0, -1}, 0.01), 0);
    EXPECT_EQ(localScale(chart, {0, 0, 0}), 0);
}

// The mark of one body as drawn: the 8-connected pixels of its colour around the pixel of that
// colour nearest to (x, y), within `half` pixels.
struct Mark {
    int count = 0;
    int left = 0, right = 0, top = 0, bottom = 0;
    double halfWidth() const { return (right - left) / 2.0; }
    double halfHeight() const { return (bottom - top) / 2.0; }
};

Mark markNear(const ChartBitmap& b, int colour, int x, int y, int half)
{
    auto inWindow = [&](int i, int j) { return std::abs(i - x) <= half && std::abs(j - y) <= half; };
    int seedX = 0, seedY = 0;
    long best = -1;
    for (int j = y - half; j <= y + half; ++j)
        for (int i = x - half; i <= x + half; ++i)
            if (b.pixel(i, j) == colour) {
                const long d = long(i - x) * (i - x) + long(j - y) * (j - y);
                if (best < 0 || d < best) {
                    best = d;
                    seedX = i;
                    seedY = j;
                }
            }
    Mark m;
    if (best < 0)
        return m;
    m.left = m.right = seedX;
    m.top = m.bottom = seedY;
    std::set<std::pair<int, int>> seen{{seedX, seedY}};
    std::vector<std::pair<int, int>> open{{seedX, seedY}};
    while (!open.empty()) {
        const auto [i, j] = open.back();
        open.pop_back();
        ++m.count;
        m.left = std::min(m.left, i), m.right = std::max(m.right, i);
        m.top = std::min(m.top, j), m.bottom = std::max(m.bottom, j);
        for (int dj = -1; dj <= 1; ++dj)
            for (int di = -1; di <= 1; ++di)
                if (inWindow(i + di, j + dj) && b.pixel(i + di, j + dj) == colour &&
                    seen.insert({i + di, j + dj}).second)
                    open.push_back({i + di, j + dj});
    }
    return m;
}

enum class Shape { none, cross, disc, outline };

// A cross reaches the four corners of its square; a disc is solid to its rim; an outline is a
// ring with nothing at its centre.
Shape shapeOf(const ChartBitmap& b, int colour, const Mark& m)
{
    if (m.count == 0)
        return Shape::none;
    auto at = [&](int i, int j) { return b.pixel(i, j) == colour; };
    if (at(m.left, m.top) && at(m.right, m.top) && at(m.left, m.bottom) && at(m.right, m.bottom))
        return Shape::cross;
    const double cx = (m.left + m.right) / 2.0, cy = (m.top + m.bottom) / 2.0, r = m.halfWidth();
    bool solid = true, hollow = true;
    for (int j = m.top; j <= m.bottom; ++j)
        for (int i = m.left; i <= m.right; ++i) {
            const double d = std::hypot(i - cx, j - cy);
            if (d <= r - 1 && !at(i, j))
                solid = false;
            if (d < r - 1.5 && at(i, j))
                hollow = false;
        }
    return solid ? Shape::disc : hollow ? Shape::outline : Shape::none;
}

// Each display kind of the Sun, the Moon and a planet, the chart centred on the body (or half a
// degree off it): the shape, its colour and its radius. The fixed kinds keep their sizes from
// the picture size whatever the magnification; the true-size kinds take the body's semi-diameter
// at the projection's scale (azimuthal equidistant: S / pi pixels a radian at the centre;
// orthographic: S / 2), S the chart scale, size x magnification. Drawn radii are rounded to
// whole pixels, a cross's ends one by one, so a drawn half-extent is within half a pixel.
TEST(DisplayKinds, ShapeColourAndRadiusOfEachKind)
{
    constexpr double trueSize = -1;
    struct Case {
        const char* what;
        int body;
        int mode;
        int white;
        int size;
        double magnification;
        int projection;
        double offsetDegrees;   // the chart's centre above the body
        Shape shape;
        int colour;
        double radius;          // pixels, or trueSize
    };
    const double s320 = std::sqrt(320.0), s1000 = std::sqrt(1000.0);
    const Case cases[] = {
        {"Sun not displayed", sunBody, 0, 0, 320, 1, 1, 0, Shape::none, 13, 0},
        {"Sun emphasized", sunBody, 1, 0, 320, 1, 1, 0, Shape::disc, 13, s320 / 4},
        {"Sun emphasized, magnified", sunBody, 1, 0, 320, 40, 1, 0, Shape::disc, 13, s320 / 4},
        {"Sun emphasized, size 1000", sunBody, 1, 0, 1000, 1, 1, 0, Shape::disc, 13, s1000 / 4},
        {"Sun emphasized, white", sunBody, 1, 1, 320, 1, 1, 0, Shape::disc, 12, s320 / 4},
        {"Sun true radius", sunBody, 2, 0, 320, 40, 1, 0, Shape::disc, 13, trueSize},
        {"Sun true radius, off centre", sunBody, 2, 0, 320, 40, 1, 0.5, Shape::disc, 13, trueSize},
        {"Sun true radius, orthographic", sunBody, 2, 0, 320, 40, 8, 0, Shape::disc, 13, trueSize},
        {"Sun cross", sunBody, 3, 0, 320, 1, 1, 0, Shape::cross, 13, 5 * std::sqrt(0.32)},
        {"Sun cross, size 1000", sunBody, 3, 0, 1000, 10, 1, 0, Shape::cross, 13, 5},
        {"Sun outline", sunBody, 4, 0, 320, 40, 1, 0, Shape::outline, 13, trueSize},
        {"Sun outline, white, off centre", sunBody, 4, 1, 320, 40, 1, 0.5, Shape::outline, 12, trueSize},
        {"Moon not displayed", moonBody, 0, 0, 320, 1, 1, 0, Shape::none, 14, 0},
        {"Moon emphasized", moonBody, 1, 0, 320, 1, 1, 0, Shape::disc, 14, s320 / 4},
        {"Moon emphasized, white", moonBody, 1, 1, 320, 1, 1, 0, Shape::disc, 14, s320 / 4},
        {"Moon true radius", moonBody, 2, 0, 320, 40, 1, 0, Shape::disc, 14, trueSize},
        {"Moon true radius, off centre", moonBody, 2, 0, 320, 40, 1, 0.5, Shape::disc, 14, trueSize},
        {"Moon true radius, orthographic", moonBody, 2, 0, 320, 40, 8, 0, Shape::disc, 14, trueSize},
        {"Moon cross", moonBody, 3, 0, 320, 40, 1, 0, Shape::cross, 14, 5 * std::sqrt(0.32)},
        {"Moon outline", moonBody, 4, 0, 320, 40, 1, 0, Shape::outline, 14, trueSize},
        {"Moon outline, white, orthographic", moonBody, 4, 1, 320, 40, 8, 0, Shape::outline, 14, trueSize},
        {"Jupiter not displayed", jupiterBody, 0, 0, 320, 1, 1, 0, Shape::none, 7, 0},
        {"Jupiter cross", jupiterBody, 1, 0, 320, 1, 1, 0, Shape::cross, 7, 5 * std::sqrt(0.32)},
        {"Jupiter cross, size 1000, white", jupiterBody, 1, 1, 1000, 1, 1, 0, Shape::cross, 6, 5},
        {"Jupiter emphasized", jupiterBody, 2, 0, 320, 40, 1, 0, Shape::disc, 7, s320 / 6},
        {"Jupiter emphasized, size 1000", jupiterBody, 2, 0, 1000, 1, 1, 0, Shape::disc, 7, s1000 / 6},
    };
    // Tokyo, new year's eve 2008: the Moon four days old, 50 degrees from the Sun; Jupiter near
    // the Sun, which is left out of its rows.
    const Place place = places[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SkyChart chart(place, c.magnification);
        chart.chartView.imageSize = std::int16_t(c.size);
        chart.makeBitmap();
        chart.chartOptions.whiteBackground = std::uint8_t(c.white);
        chart.chartOptions.projectionKind = ProjectionKind(c.projection);
        chart.chartOptions.sunDisplayMode = std::uint8_t(c.body == sunBody ? c.mode : 0);
        chart.chartOptions.moonDisplayMode = std::uint8_t(c.body == moonBody ? c.mode : 0);
        for (int k = 0; k < 7; ++k)
            chart.planetSettings.planetDisplayMode[k] = std::int16_t(k + 2 == c.body ? c.mode : 0);
        ASSERT_TRUE(chart.draw());
        const DirectionVector w = apparentBody(chart, c.body).apparent;
        double lon, lat, r;
        ZENITH(w[0], w[1], w[2], lon, lat, r);
        chart.set("EDIT12", number(lon * degreesPerRadian));
        chart.set("EDIT13", number(lat * degreesPerRadian + c.offsetDegrees));
        ASSERT_TRUE(chart.draw());

        const BoxCentres boxes = boxCentres(chart.chartView, chart.chartLayout, 0);
        const double S = c.size * c.magnification;
        const double pixelsPerRadian = c.projection == 8 ? S / 2 : S / pi;
        // Below the centre by the offset, on the chart's vertical through it.
        const double x = boxes.x1, y = boxes.y + c.offsetDegrees / degreesPerRadian * pixelsPerRadian;
        const Mark mark = markNear(chart.chartBitmap, c.colour, int(std::lround(x)), int(std::lround(y)), 60);
        const Shape shape = shapeOf(chart.chartBitmap, c.colour, mark);
        EXPECT_EQ(int(shape), int(c.shape));
        if (c.shape == Shape::none) {   // nothing anywhere on the chart
            int anywhere = 0;
            for (int j = 0; j < chart.chartBitmap.height(); ++j)
                for (int i = 0; i < int(panelLeftOf(chart)); ++i)
                    anywhere += chart.chartBitmap.pixel(i, j) == c.colour;
            EXPECT_EQ(anywhere, 0);
            continue;
        }
        double radius = c.radius;
        if (radius == trueSize) {
            const double bodyRadius = c.body == sunBody ? sunRadius : moonRadius;
            radius = std::asin(bodyRadius / chart.drawn.bodies.bodyPositions[c.body][3]) * pixelsPerRadian;
        }
        EXPECT_NEAR(mark.halfWidth(), radius, 0.5 + 1e-3);
        EXPECT_NEAR(mark.halfHeight(), radius, 0.5 + 1e-3);
        EXPECT_NEAR((mark.left + mark.right) / 2.0, x, 1.0);
        EXPECT_NEAR((mark.top + mark.bottom) / 2.0, y, 1.0);
    }
}

// The cross opposite the Sun at the 2025 eclipse, magnification 20 (1.7' pixels): "[simple]" is
// the geocentric anti-apparent Sun; "[apparent,par]" that direction at the Moon's distance seen
// from the place, about 17' (ten pixels) away from it.
TEST(Antisolar, CrossesWhereErfaPutsThem)
{
    const Place place = places[1];
    for (const int mode : {1, 2}) {
        SCOPED_TRACE(mode);
        SkyChart chart(place, 20);
        chart.chartOptions.antisunDisplayMode = std::uint8_t(mode);
        chart.chartOptions.sunDisplayMode = chart.chartOptions.moonDisplayMode = 0;
        ASSERT_TRUE(chart.draw());

        const ErfaObserver o = chart.observer(place);
        double apparent[3], moon[3], pos[3], vel[3], rc2t[3][3];
        testing_support::erfaApparentSun(o, apparent);
        testing_support::erfaGeocentric(o, 1, moon);
        testing_support::erfaObserverState(o, pos, vel, rc2t);
        double axis[3], itrs[3], r;
        for (int i = 0; i < 3; ++i)
            axis[i] = mode == 1 ? -apparent[i] * eraPm(moon) - pos[i] : -apparent[i];
        eraRxp(rc2t, axis, itrs);
        eraPn(itrs, &r, itrs);
        chart.centreOn(testing_support::erfaToHorizon(o, itrs));
        ASSERT_TRUE(chart.draw());
        const BoxCentres boxes = boxCentres(chart.chartView, chart.chartLayout, 0);
        const auto cross = chart.centroid(13, boxes.x1, boxes.y, 20);
        ASSERT_GT(cross.count, 5);
        EXPECT_LE(std::fabs(cross.x - boxes.x1), 1.0);
        EXPECT_LE(std::fabs(cross.y - boxes.y), 1.0);
    }
}

TEST(EarthShadow, RadiiAndArcs)
{
    const double rs = astronomicalUnit;
    const ShadowRadii atMoon = shadowRadii(384400, rs, 1);
    EXPECT_NEAR(atMoon.umbra, 4600, 50);
    EXPECT_NEAR(atMoon.penumbra, 8185, 50);
    EXPECT_NEAR(shadowRadii(384400, rs, 1.018).umbra, 1.018 * atMoon.umbra, 1e-6);
    EXPECT_LT(shadowRadii(1.6e6, rs, 1).umbra, 0);   // beyond the apex: no umbra
    struct Arcs {
        double D;
        int n;
    };
    for (const Arcs c : {Arcs{384400, 1}, Arcs{10001, 1}, Arcs{10000, 4}, Arcs{8000, 7}, Arcs{earthRadius, 20}})
        EXPECT_EQ(shadowArcCount(c.D), c.n) << c.D;
}

TEST(Moon, LineParallaxAndModeZero)
{
    SkyChart chart(places[1]);
    chart.chartOptions.moonDisplayMode = 0;
    chart.readoutOptions.readoutBody = moonBody;
    for (const int unit : {1, 3}) {
        SCOPED_TRACE(unit);
        chart.minuteOptions.commentUnit = std::uint8_t(unit);
        ASSERT_TRUE(chart.draw());
        const ApparentBody moon = apparentBody(chart, moonBody);
        double A, h, r;
        ZENITH(moon.apparent[0], moon.apparent[1], moon.apparent[2], A, h, r);
        const auto line = chart.row(moonRow);
        ASSERT_EQ(line.size(), 1u);
        EXPECT_EQ(line[0].text, "Mon:" + azimuthElevationText(A, h));
        EXPECT_EQ(line[0].colour, 15);
        const double p = chart.drawn.bodies.bodyPositions[moonBody][4];
        EXPECT_EQ(chart.rowText(parallaxRow), " Parallax:" + (unit == 1 ? DSPSEXA(p, 8, 2) : DSPSEXA(p, 3, 2).substr(2)));
        int moonPixels = 0;
        for (int y = 0; y < chart.chartBitmap.height(); ++y)
            for (int x = 0; x < int(panelLeftOf(chart)); ++x)
                moonPixels += chart.chartBitmap.pixel(x, y) == 14;
        EXPECT_EQ(moonPixels, 0);
    }
}

// The total lunar eclipse of 2025 March 14 from Mexico City, the chart centred on the Moon at
// magnification 10: the shadow's rings are centred where ERFA puts the shadow's axis.
TEST(EarthShadow, TheMoonSitsInTheUmbraWhereErfaPutsIt)
{
    const Place place = {"Mexico City", -99.13, 19.43, 2240, 2025, 3, 14, 6 + 59.0 / 60};
    SkyChart chart(place, 10);
    chart.chartOptions.antisunDisplayMode = 11;
    chart.chartOptions.moonDisplayMode = 0;
    chart.chartOptions.sunDisplayMode = 0;
    ASSERT_TRUE(chart.draw());
    chart.centreOn(apparentBody(chart, moonBody).apparent);
    ASSERT_TRUE(chart.draw());
    const BoxCentres boxes = boxCentres(chart.chartView, chart.chartLayout, 0);
    const auto ring = chart.centroid(13, boxes.x1, boxes.y, 150);
    ASSERT_GT(ring.count, 50);

    // ERFA: the anti-apparent Sun at the Moon's distance, seen from the place.
    const ErfaObserver o = chart.observer(place);
    double moon[3], apparent[3], pos[3], vel[3], rc2t[3][3];
    testing_support::erfaGeocentric(o, 1, moon);
    testing_support::erfaApparentSun(o, apparent);
    testing_support::erfaObserverState(o, pos, vel, rc2t);
    const double moonDistance = eraPm(moon);
    double axis[3], topoAxis[3], topoMoon[3];
    for (int i = 0; i < 3; ++i)
        axis[i] = -apparent[i] * moonDistance;
    testing_support::erfaSub(axis, pos, topoAxis);
    testing_support::erfaSub(moon, pos, topoMoon);
    const double separation = eraSepp(topoAxis, topoMoon);
    const double pixelsPerRadian = chart.userProjection.chartScale / pi;
    const double ringDistance = std::hypot(ring.x - boxes.x1, ring.y - boxes.y);
    EXPECT_NEAR(ringDistance, separation * pixelsPerRadian, 1.0);
    const double umbra = shadowRadii(moonDistance * ERFA_DAU / 1000, chart.drawn.bodies.sunDistance * astronomicalUnit, 1.018).umbra;
    EXPECT_LT(separation * moonDistance * ERFA_DAU / 1000, umbra);   // inside the umbra
}

} // namespace
} // namespace nivora
