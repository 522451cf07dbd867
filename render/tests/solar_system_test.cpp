#include "render/bodymarks.h"
#include "render/moon_shadow.h"
#include "render/sun_planets.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

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
    EXPECT_EQ(localScale(chart, {0, 0, -1}), 0);   // a one-pixel mark
    EXPECT_EQ(trueSizeRadius(chart, {0, 0, -1}, 0.01), 0);
    EXPECT_EQ(localScale(chart, {0, 0, 0}), 0);
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
