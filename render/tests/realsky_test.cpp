// The pixel where the drawing puts a star and the Sun, against their places computed with ERFA
// and the projection written out here: within one pixel where a pixel spans 20 arc seconds or more.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include <erfa.h>
#include <erfam.h>

#include "astro/fieldnumber.h"
#include "render/drawing.h"
#include "render/pipeline.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;
using testing_support::colourCentre;
using Vec = DirectionVector;

Vec cross(const Vec& a, const Vec& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
Vec unit(const Vec& a)
{
    const double n = std::sqrt(dot(a, a));
    return {a[0] / n, a[1] / n, a[2] / n};
}
Vec combine(double p, const Vec& a, double q, const Vec& b)
{
    return {p * a[0] + q * b[0], p * a[1] + q * b[1], p * a[2] + q * b[2]};
}

struct Place {
    const char* name;
    double longitude, latitude, altitudeMetres;
    int zoneHours, zoneMinutes;
    int year, month, day, hour, minute;   // local, month 1-12
};

// The UTC two-part date of a typed local time.
void utcOf(const Place& p, double& utc1, double& utc2)
{
    const double sign = p.zoneHours < 0 ? -1 : 1;
    const double zone = p.zoneHours + sign * p.zoneMinutes / 60.0;
    ASSERT_GE(eraDtf2d("UTC", p.year, p.month, p.day, 0, 0, 0, &utc1, &utc2), 0);   // 1: a future year
    utc2 += (p.hour + p.minute / 60.0 - zone) / 24;
}

// Observed azimuth (north through east) and altitude of an apparent GCRS direction, without
// refraction (pressure 0), UT1 = UTC and no polar motion.
void observedOf(const Place& p, const Vec& gcrs, double& azimuth, double& altitude)
{
    double utc1, utc2;
    utcOf(p, utc1, utc2);
    eraASTROM astrom;
    double eo;
    ASSERT_GE(eraApco13(utc1, utc2, 0, p.longitude * ERFA_DD2R, p.latitude * ERFA_DD2R, p.altitudeMetres,
                        0, 0, 0, 15, 0.5, 0.55, &astrom, &eo), 0);
    double cirs[3], v[3] = {gcrs[0], gcrs[1], gcrs[2]};
    eraRxp(astrom.bpn, v, cirs);
    double ri, di, aob, zob, hob, dob, rob;
    eraC2s(cirs, &ri, &di);
    eraAtioq(eraAnp(ri), di, &astrom, &aob, &zob, &hob, &dob, &rob);
    azimuth = aob;
    altitude = ERFA_DPI / 2 - zob;
}

// The same for a catalogue place (ICRS at J2000.0, no parallax), with its proper motions in
// milliarcseconds a year, the one in right ascension times cos(dec).
void observedOfStar(const Place& p, double raDegrees, double decDegrees, double& azimuth, double& altitude,
                    double pmRaMas = 0, double pmDecMas = 0)
{
    double utc1, utc2;
    utcOf(p, utc1, utc2);
    double aob, zob, hob, dob, rob, eo;
    const double masToRadians = ERFA_DAS2R / 1000;
    const double pr = pmRaMas / std::cos(decDegrees * ERFA_DD2R) * masToRadians, pd = pmDecMas * masToRadians;
    ASSERT_GE(eraAtco13(raDegrees * ERFA_DD2R, decDegrees * ERFA_DD2R, pr, pd, 0, 0, utc1, utc2, 0,
                        p.longitude * ERFA_DD2R, p.latitude * ERFA_DD2R, p.altitudeMetres, 0, 0, 0, 15,
                        0.5, 0.55, &aob, &zob, &hob, &dob, &rob, &eo),
              0);
    azimuth = aob;
    altitude = ERFA_DPI / 2 - zob;
}

// The apparent geocentric direction of the Sun (GCRS): light time and annual aberration.
Vec apparentSun(const Place& p)
{
    double utc1, utc2, tai1, tai2, tt1, tt2;
    utcOf(p, utc1, utc2);
    eraUtctai(utc1, utc2, &tai1, &tai2);
    eraTaitt(tai1, tai2, &tt1, &tt2);
    double pvh[2][3], pvb[2][3];
    eraEpv00(tt1, tt2, pvh, pvb);
    Vec earth = {pvb[0][0], pvb[0][1], pvb[0][2]};
    Vec sunThen{};
    double distance = 0;
    for (int i = 0; i < 3; ++i) {   // light time, iterated
        const double tau = distance * ERFA_AULT / ERFA_DAYSEC;
        double h[2][3], b[2][3];
        eraEpv00(tt1, tt2 - tau, h, b);
        sunThen = {b[0][0] - h[0][0], b[0][1] - h[0][1], b[0][2] - h[0][2]};
        const Vec d = combine(1, sunThen, -1, earth);
        distance = std::sqrt(dot(d, d));
    }
    Vec natural = unit(combine(1, sunThen, -1, earth));
    double v[3], v2 = 0;
    for (int i = 0; i < 3; ++i) {
        v[i] = pvb[1][i] * ERFA_AULT / ERFA_DAYSEC;
        v2 += v[i] * v[i];
    }
    double pnat[3] = {natural[0], natural[1], natural[2]}, ppr[3];
    eraAb(pnat, v, distance, std::sqrt(1 - v2), ppr);
    return {ppr[0], ppr[1], ppr[2]};
}

// The apparent topocentric direction of the Moon (GCRS axes): light time, the observer's place
// and no annual aberration, which the Moon shares with the Earth.
Vec apparentMoon(const Place& p)
{
    double utc1, utc2, tai1, tai2, tt1, tt2;
    utcOf(p, utc1, utc2);
    eraUtctai(utc1, utc2, &tai1, &tai2);
    eraTaitt(tai1, tai2, &tt1, &tt2);
    eraASTROM astrom;
    double eo;
    eraApco13(utc1, utc2, 0, p.longitude * ERFA_DD2R, p.latitude * ERFA_DD2R, p.altitudeMetres, 0, 0, 0, 15,
              0.5, 0.55, &astrom, &eo);
    double pv[2][3], cirs[3], observer[3];
    eraPvtob(p.longitude * ERFA_DD2R, p.latitude * ERFA_DD2R, p.altitudeMetres, 0, 0, eraSp00(tt1, tt2),
             eraEra00(utc1, utc2), pv);
    for (int i = 0; i < 3; ++i)
        cirs[i] = pv[0][i] / ERFA_DAU;
    eraTrxp(astrom.bpn, cirs, observer);
    double tau = 0;
    Vec topocentric{};
    for (int k = 0; k < 3; ++k) {
        double moon[2][3];
        eraMoon98(tt1, tt2 - tau, moon);
        topocentric = {moon[0][0] - observer[0], moon[0][1] - observer[1], moon[0][2] - observer[2]};
        tau = std::sqrt(dot(topocentric, topocentric)) * ERFA_AULT / ERFA_DAYSEC;
    }
    return unit(topocentric);
}

// The chart's own frame, from the typed centre (azimuth from north through west, elevation),
// the zenith up and the clockwise rotation, in the horizon frame x north, y west, z zenith.
struct View {
    double azimuthDegrees, elevationDegrees, rotationDegrees;
};

// Pixel offsets (X right, Y up) of a horizon-frame direction by the projection's own formula.
bool projected(int kind, const Vec& t, const View& view, double S, double& X, double& Y, int& box, bool dual)
{
    const double A = double(float(view.azimuthDegrees)) * ERFA_DD2R;
    const double E = double(float(view.elevationDegrees)) * ERFA_DD2R;
    const double rho = double(float(view.rotationDegrees)) * ERFA_DD2R;
    const Vec centre = {std::cos(E) * std::cos(A), std::cos(E) * std::sin(A), std::sin(E)};
    const Vec up0 = unit(combine(1, Vec{0, 0, 1}, -centre[2], centre));
    const Vec right0 = cross(centre, up0);
    const Vec up = combine(std::cos(rho), up0, -std::sin(rho), right0);
    const Vec right = combine(std::sin(rho), up0, std::cos(rho), right0);
    double x = dot(t, up), y = dot(t, right), z = dot(t, centre);
    box = 0;
    if (dual && z < 0) {   // the far hemisphere in the second box, seen mirrored
        y = -y;
        z = -z;
        box = 1;
    }
    const double rhoC = std::atan2(std::hypot(x, y), z);   // from the centre
    const double across = std::hypot(x, y);
    const double sinA = across > 0 ? y / across : 0, cosA = across > 0 ? x / across : 1;
    const double lambda = std::atan2(y, z), phi = std::asin(x);
    switch (kind) {
    case 1: X = S * rhoC / pi * sinA; Y = S * rhoC / pi * cosA; return true;
    case 2: X = S * std::sin(rhoC / 2) / std::sqrt(2.0) * sinA; Y = S * std::sin(rhoC / 2) / std::sqrt(2.0) * cosA; return true;
    case 3: X = S * std::tan(rhoC / 2) / 2 * sinA; Y = S * std::tan(rhoC / 2) / 2 * cosA; return true;
    case 4: X = S * lambda / pi; Y = S * std::log(std::tan(phi / 2 + pi / 4)) / pi; return true;
    case 8: X = S * y / 2; Y = S * x / 2; return z >= 0;
    case 9: X = S * lambda * std::cos(phi) / pi; Y = S * phi / pi; return true;
    case 11: X = S * lambda / pi; Y = S * phi / pi; return true;
    default: return false;
    }
}

struct Layout {
    int halfHeight, dualBox;
};

struct Case {
    Place place;
    int projection;
    double magnification;
    Layout layout;
    double offsetAzimuth, offsetElevation, rotation;   // centre from the object, degrees at magnification 1
};

void setUp(TestRecords& r, const Case& c, const View& view)
{
    const Place& p = c.place;
    char text[32];
    auto put = [&](const char* control, double value) {
        std::snprintf(text, sizeof text, "%+.5f", value);
        r.set(control, text);
    };
    put("EDIT2", p.longitude);
    put("EDIT3", p.latitude);
    put("EDIT43", p.altitudeMetres);
    r.set("EDIT6", (p.zoneHours < 0 ? "-" : "+") + std::to_string(std::abs(p.zoneHours)));
    r.set("EDIT7", std::to_string(p.zoneMinutes));
    r.set("EDIT8", std::to_string(p.year));
    r.ui.control("COMBO1").setIndex(p.month - 1);
    r.set("EDIT9", std::to_string(p.day));
    r.set("EDIT10", std::to_string(p.hour));
    r.set("EDIT11", std::to_string(p.minute));
    put("EDIT12", view.azimuthDegrees);
    put("EDIT13", view.elevationDegrees);
    put("EDIT64", view.rotationDegrees);
    r.chartOptions.refractionOn = 0;
    r.chartOptions.underHorizonDepth = 1.1f;
    r.chartOptions.projectionKind = std::uint8_t(c.projection);
    r.chartView.magnification = c.magnification;
    r.chartView.halfHeight = std::uint8_t(c.layout.halfHeight);
    r.chartView.dualBox = std::uint8_t(c.layout.dualBox);
    r.makeBitmap();
}

View viewNear(double azimuth, double altitude, const Case& c)
{
    // Typed azimuths run from north through west.
    const double programAzimuth = std::fmod(720 - azimuth * ERFA_DR2D, 360);
    const double k = 1 / c.magnification;
    return {programAzimuth + c.offsetAzimuth * k, altitude * ERFA_DR2D + c.offsetElevation * k, c.rotation};
}

void expectPixel(TestRecords& r, const Case& c, const View& view, const std::optional<ChartPixel>& drawnAt,
                 double azimuth, double altitude, double tolerance = 1.0)
{
    const Vec target = {std::cos(altitude) * std::cos(azimuth), -std::cos(altitude) * std::sin(azimuth),
                        std::sin(altitude)};
    double X, Y;
    int box;
    const double S = float(320 * c.magnification);
    ASSERT_TRUE(projected(c.projection, target, view, S, X, Y, box, c.layout.dualBox == 1));
    const double cx = 180 + box * 360;
    const double cy = 160.0 / (c.layout.halfHeight + 1) + 20;
    ASSERT_TRUE(drawnAt.has_value());
    EXPECT_EQ(drawnAt->box, box);
    EXPECT_NEAR(drawnAt->x, cx + X, tolerance);
    EXPECT_NEAR(drawnAt->y, cy - Y, tolerance);
    EXPECT_TRUE(r.alerts().empty());
}

const Place tokyo = {"Tokyo", 135.0, 35.0, 0, 9, 0, 2008, 12, 31, 23, 59};
const Place london = {"London", -0.1276, 51.5072, 35, 0, 0, 2024, 6, 21, 22, 30};
const Place sydney = {"Sydney", 151.2093, -33.8688, 58, 10, 0, 2015, 3, 20, 21, 0};
const Place newYork = {"New York", -74.006, 40.7128, 500, -5, 30, 2031, 10, 10, 20, 45};
const Place quito = {"Quito", -78.4678, -0.1807, 2850, -5, 0, 1995, 1, 15, 4, 10};

// As the bright star list gives them: ICRS degrees at J2000.0, proper motions in mas a year.
struct Star {
    const char* name;
    double ra, dec, pmRa, pmDec;
};

TEST(RealSky, AStarIsDrawnWhereErfaPutsIt)
{
    const Star sirius = {"Sirius", 101.2872, -16.7161, -546.0, -1223};
    const Star vega = {"Vega", 279.2347, 38.7837, 200.9, 286.2};
    const Star canopus = {"Canopus", 95.9880, -52.6957, 19.9, 23.2};
    const Star betelgeuse = {"Betelgeuse", 88.7929, 7.4071, 27.5, 11.3};
    // The star by place: one that stands above that place's horizon at that time.
    struct StarCase { Star star; Case c; };
    const StarCase cases[] = {
        {sirius, {tokyo, 1, 1, {0, 0}, 20, 10, 0}},
        {sirius, {tokyo, 3, 10, {0, 0}, -3, 2, 30}},
        {sirius, {tokyo, 2, 50, {1, 0}, 1, -0.5, -45}},
        {vega, {london, 8, 1.5, {0, 0}, 25, -20, 0}},
        {vega, {london, 11, 20, {0, 1}, 2, 1, 10}},
        {canopus, {sydney, 4, 5, {0, 0}, -4, 3, 0}},
        {canopus, {sydney, 9, 2, {1, 0}, 10, 5, 90}},
        {vega, {newYork, 1, 30, {0, 0}, 1.5, 1, 0}},
        {vega, {newYork, 1, 1, {0, 1}, 150, -60, 0}},   // second box
        {betelgeuse, {quito, 3, 1, {0, 1}, 40, 30, 15}},
        {betelgeuse, {quito, 2, 100, {0, 0}, 0.2, 0.1, 0}},
    };
    int inSecondBox = 0;
    for (const StarCase& sc : cases) {
        const Case& c = sc.c;
        SCOPED_TRACE(testing::Message() << sc.star.name << " from " << c.place.name << " prj " << c.projection
                                        << " mag " << c.magnification);
        double azimuth, altitude;
        observedOfStar(c.place, sc.star.ra, sc.star.dec, azimuth, altitude, sc.star.pmRa, sc.star.pmDec);
        ASSERT_GT(altitude, 0);
        const View view = viewNear(azimuth, altitude, c);
        TestRecords r;
        setUp(r, c, view);
        r.chartOptions.magnitudeLimit = 2.5f;   // the brightest stars only, each alone near its place
        ASSERT_TRUE(DRAWINGIMG(r));
        // The drawn disc, around where ERFA and the projection put the star.
        double X, Y, x, y;
        int box;
        const double S = float(320 * c.magnification);
        const Vec target = {std::cos(altitude) * std::cos(azimuth), -std::cos(altitude) * std::sin(azimuth),
                            std::sin(altitude)};
        ASSERT_TRUE(projected(c.projection, target, view, S, X, Y, box, c.layout.dualBox == 1));
        const double ex = 180 + box * 360 + X, ey = 160.0 / (c.layout.halfHeight + 1) + 20 - Y;
        ASSERT_TRUE(colourCentre(r.chartBitmap, 15, ex, ey, 6, x, y));
        EXPECT_NEAR(x, ex, 1.0);
        EXPECT_NEAR(y, ey, 1.0);
        inSecondBox += box;

        // The pipeline alone, for the catalogue direction without its proper motion.
        observedOfStar(c.place, sc.star.ra, sc.star.dec, azimuth, altitude);
        const PointPipeline pipeline(r);
        expectPixel(r, c, view, pipeline.placeCatalogue(r.drawn.sky.icrfToBase, catalogueVector(sc.star.ra, sc.star.dec)),
                    azimuth, altitude);
    }
    EXPECT_GT(inSecondBox, 0);
}

// Draws the chart of the case near the body and compares where the pipeline places the body.
void expectBodyPixel(const Case& c, int body, double azimuth, double altitude, double tolerance = 1.0)
{
    const View view = viewNear(azimuth, altitude, c);
    TestRecords r;
    setUp(r, c, view);
    ASSERT_TRUE(DRAWINGIMG(r));
    const PointPipeline pipeline(r);
    expectPixel(r, c, view, pipeline.place(pipeline.bodyToBase(body)), azimuth, altitude, tolerance);
}

TEST(RealSky, TheSunIsPlacedWhereErfaPutsIt)
{
    const Case cases[] = {
        {{"Tokyo noon", 135.0, 35.0, 0, 9, 0, 2008, 12, 31, 12, 0}, 1, 1, {0, 0}, 15, 10, 0},
        {{"London", -0.1276, 51.5072, 35, 0, 0, 2024, 6, 21, 12, 30}, 3, 30, {0, 0}, 1, -1, 20},
        {{"Sydney", 151.2093, -33.8688, 58, 10, 0, 2015, 3, 20, 9, 0}, 11, 10, {1, 0}, -2, 1, 0},
        {{"Quito", -78.4678, -0.1807, 2850, -5, 0, 1995, 1, 15, 15, 10}, 2, 80, {0, 0}, 0.3, 0.2, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.place.name << " prj " << c.projection << " mag " << c.magnification);
        double azimuth, altitude;
        observedOf(c.place, apparentSun(c.place), azimuth, altitude);
        ASSERT_GT(altitude, 0);
        expectBodyPixel(c, sunBody, azimuth, altitude);
    }
}

TEST(RealSky, TheMoonIsPlacedWhereErfaPutsIt)
{
    // The hour of each date when the Moon stands highest. Its parallax reaches a degree; the
    // annual aberration it must not get, 20 arc seconds, is a pixel at magnification 100, so
    // there the Moon must lie within half a pixel (the series and ERFA agree to a few seconds).
    const Case cases[] = {
        {{"Tokyo", 135.0, 35.0, 0, 9, 0, 2008, 12, 10, 0, 0}, 1, 100, {0, 0}, 0.1, 0.1, 0},
        {{"London", -0.1276, 51.5072, 35, 0, 0, 2024, 6, 21, 0, 0}, 3, 100, {0, 0}, -0.05, 0.05, 30},
        {{"Quito", -78.4678, -0.1807, 2850, -5, 0, 1995, 1, 15, 0, 0}, 11, 100, {1, 0}, 0.2, -0.1, 0},
        {{"Sydney", 151.2093, -33.8688, 58, 10, 0, 2015, 3, 5, 0, 0}, 2, 5, {0, 0}, 3, 2, 0},
    };
    for (Case c : cases) {
        double best = -1, azimuth = 0, altitude = 0;
        for (int hour = 0; hour < 24; ++hour) {
            Place p = c.place;
            p.hour = hour;
            double a, h;
            observedOf(p, apparentMoon(p), a, h);
            if (h > best) {
                best = h;
                azimuth = a;
                altitude = h;
                c.place.hour = hour;
            }
        }
        SCOPED_TRACE(testing::Message() << c.place.name << " at " << c.place.hour << "h prj " << c.projection);
        ASSERT_GT(altitude, 0.1);
        expectBodyPixel(c, moonBody, azimuth, altitude, c.magnification >= 100 ? 0.5 : 1.0);
    }
}

} // namespace
} // namespace nivora
