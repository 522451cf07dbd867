// The orbit object against the test's own two-body propagation with light time, and ERFA's
// apparent place and the Earth for a comet around the Sun.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include <erfa.h>
#include <erfam.h>

#include "astro/constants.h"
#include "astro/projection.h"
#include "render/drawing.h"
#include "render/tests/erfa_sky.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;
using testing_support::colourCentre;
using Vec = DirectionVector;

// The orbit form's controls, as the computations and the drawing read them.
FormSpec orbitForm()
{
    using K = ControlKind;
    FormSpec spec{"FORM7", "Orbital Elements", {}};
    for (int edit = 80; edit <= 92; ++edit)
        spec.controls.push_back({.kind = K::Edit, .name = "EDIT" + std::to_string(edit)});
    const std::vector<std::string> months = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                             "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    spec.controls.push_back({.kind = K::Combo, .name = "COMBO7", .items = months, .index = 0});
    spec.controls.push_back({.kind = K::Combo, .name = "COMBO8", .items = months, .index = 0});
    const std::pair<const char*, int> groups[] = {{"orbitPlace", 68}, {"perihelionAngle", 70}, {"center", 72},
                                                  {"coordinate", 74}, {"timeScale", 76}};
    for (const auto& [group, first] : groups)
        for (int position = 1; position <= 2; ++position)
            spec.controls.push_back({.kind = K::Radio, .name = "RADIO" + std::to_string(first + position - 1),
                                     .group = group, .position = position, .value = position == 1});
    return spec;
}

std::string text(double value)
{
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

struct Elements {
    double q, e, inclination, node, perihelion, meanAnomaly;   // AU or km, degrees
    double epochJd;                                             // TT
    double mu;                                                  // AU^3 or km^3 per day^2
};

// Position at a TT Julian date in the frame of the elements.
Vec propagate(const Elements& el, double jd)
{
    const double a = el.q / (1 - el.e);
    double M = el.meanAnomaly * ERFA_DD2R + std::sqrt(el.mu / (a * a * a)) * (jd - el.epochJd);
    M = std::remainder(M, 2 * ERFA_DPI);
    double E = M;
    for (int k = 0; k < 50; ++k)
        E -= (E - el.e * std::sin(E) - M) / (1 - el.e * std::cos(E));
    const double x = a * (std::cos(E) - el.e), y = a * std::sqrt(1 - el.e * el.e) * std::sin(E);
    const double w = el.perihelion * ERFA_DD2R, i = el.inclination * ERFA_DD2R, O = el.node * ERFA_DD2R;
    const double px = x * std::cos(w) - y * std::sin(w), py = x * std::sin(w) + y * std::cos(w);
    return {px * std::cos(O) - py * std::cos(i) * std::sin(O), px * std::sin(O) + py * std::cos(i) * std::cos(O),
            py * std::sin(i)};
}

void typeElements(TestRecords& r, const Elements& el, int year, int monthIndex, const char* day)
{
    r.set("EDIT80", text(el.q));
    r.set("EDIT82", el.e < 1 ? "0" + text(el.e).substr(1) : text(el.e));
    r.set("EDIT87", text(el.inclination));
    r.set("EDIT86", text(el.node));
    r.set("EDIT88", text(el.perihelion));
    r.set("EDIT89", text(el.meanAnomaly));
    r.set("EDIT84", std::to_string(year));
    r.ui.control("COMBO7").setIndex(monthIndex);
    r.set("EDIT85", day);
    r.set("EDIT90", "2000");
    r.set("EDIT91", "1.5");
}


// Tokyo, 2020 August 28 at 23:30 local time (14:30 UTC): Ceres near opposition.
void setTime(TestRecords& r)
{
    r.set("EDIT8", "2020");
    r.ui.control("COMBO1").setIndex(7);
    r.set("EDIT9", "28");
    r.set("EDIT10", "23");
    r.set("EDIT11", "30");
    r.noGrids();
    r.chartOptions.refractionOn = 0;
    r.chartOptions.orbitObjectDisplayMode = 3;
    r.chartOptions.magnitudeLimit = 0;
}

void ttOf(double& tt1, double& tt2)
{
    double utc1, utc2, tai1, tai2;
    eraDtf2d("UTC", 2020, 8, 28, 14, 30, 0, &utc1, &utc2);
    eraUtctai(utc1, utc2, &tai1, &tai2);
    eraTaitt(tai1, tai2, &tt1, &tt2);
}

void expectMarkAt(TestRecords& r, const Vec& base)
{
    const Vec v = rotate(r.drawn.sky.baseToChart, base);
    double X, Y;
    DISPXY(v[0], v[1], v[2], r.chartOptions.projectionKind, X, Y, r.userProjection);
    const double x = 180 + X, y = 180 + r.drawn.geometry.directionOffset - Y;
    double cx, cy;
    ASSERT_TRUE(colourCentre(r.chartBitmap, 7, x, y, 6, cx, cy));
    EXPECT_NEAR(cx, x, 1.0);
    EXPECT_NEAR(cy, y, 1.0);
    EXPECT_TRUE(r.alerts().empty());
}

// Draws the chart centred on the ICRF direction p, not turned; the orbit object is usable.
void drawCentredOn(TestRecords& r, Vec p, double magnification)
{
    double ra, dec;
    eraC2s(p.data(), &ra, &dec);
    r.ui.control("COMBO6").setIndex(4);
    r.set("EDIT12", text(eraAnp(ra) * ERFA_DR2D));
    r.set("EDIT13", text(dec * ERFA_DR2D));
    r.set("EDIT64", "0");
    r.chartView.magnification = magnification;
    r.makeBitmap();
    ASSERT_TRUE(DRAWINGIMG(r));
    EXPECT_EQ(r.drawn.orbitObject.valid, 1);
}

// Around the Earth; the epoch is the day's 0h TT. It moves 30 arc seconds a second: the chart's
// own dynamical time counts.
const Elements satellite = {20000, 0.3, 50, 100, 30, 10, 2459089.5, 398600.5 * 86400.0 * 86400.0};

// The satellite's geocentric ICRF place at a TT Julian date, light time taken off.
Vec satelliteSeenAt(double jd, double (*icrfToElements)[3])
{
    Vec p{};
    double tau = 0;
    for (int k = 0; k < 4; ++k) {
        p = propagate(satellite, jd - tau);
        if (icrfToElements) {
            Vec e = p;
            eraTrxp(icrfToElements, e.data(), p.data());
        }
        tau = eraPm(p.data()) / lightSpeed / ERFA_DAYSEC;
    }
    return p;
}

// The satellite typed with its angles in the given frame, an orbit around the Earth.
void typeSatellite(TestRecords& r, bool equator)
{
    r.ui.control("RADIO68").setValue(1);
    r.ui.control("RADIO69").setValue(0);
    r.ui.control("RADIO72").setValue(0);
    r.ui.control("RADIO73").setValue(1);
    r.ui.control("RADIO74").setValue(equator ? 0 : 1);
    r.ui.control("RADIO75").setValue(equator ? 1 : 0);
}

// The satellite's astrometric place at a TT Julian date, km: where it was a light time ago, seen
// from where the Earth is now. ERFA's Earth goes about 50 km in that time, 20 arc seconds as
// seen from 20000 km.
Vec satelliteAstrometric(double jd, double (*icrfToElements)[3])
{
    Vec p = satelliteSeenAt(jd, icrfToElements);
    double back[3];
    testing_support::erfaEarthAgo(jd, eraPm(p.data()) / lightSpeed / ERFA_DAYSEC, back);
    for (int i = 0; i < 3; ++i)
        p[i] += back[i] * ERFA_DAU / 1000;
    return p;
}

// The mark where the satellite is at the chart's own time: on a map whose frame has no aberration
// at its astrometric place, on an apparent one where it was a light time ago, as the Earth
// carries the observer along with it.
void expectSatelliteMark(TestRecords& r, double (*icrfToElements)[3])
{
    const double jd = r.drawn.sky.julianCenturies * 36525 + ERFA_DJ00;
    Vec p = r.drawn.settings.displayFrameIndex % 4 == 0 ? satelliteSeenAt(jd, icrfToElements)
                                                        : satelliteAstrometric(jd, icrfToElements);
    double unit[3], distance;
    eraPn(p.data(), &distance, unit);
    expectMarkAt(r, rotate(r.drawn.sky.icrfToBase, Vec{unit[0], unit[1], unit[2]}));
}

// The typed satellite, its frame "R.A." or "Longitude" turned from the ICRF by icrfToElements
// (none: the ICRF itself), on a star map of the display frame centred on it, a pixel of 6.75 arc
// seconds.
void expectSatelliteOnMap(TestRecords& r, double (*icrfToElements)[3], bool equator, int displayFrame = 3)
{
    double tt1, tt2;
    ttOf(tt1, tt2);
    const Vec p = satelliteSeenAt(tt1 + tt2, icrfToElements);
    typeSatellite(r, equator);
    setTime(r);
    r.chartView.chartMode = mapChartMode;
    r.chartOptions.underHorizonDepth = 1.1f;   // below the map's equator too
    r.ui.control("COMBO5").setIndex(displayFrame);
    drawCentredOn(r, p, 300);
    expectSatelliteMark(r, icrfToElements);
}

TEST(OrbitObject, CeresLandsWhereErfaPutsIt)
{
    // JPL's osculating heliocentric elements of Ceres, J2000 ecliptic, 2020 January 1.0 TDB.
    const Elements ceres = {2.556401146697176, 0.07687465013145245, 10.59127767086216, 80.3011901917491,
                            73.80896808746482, 130.3159688200986, 2458849.5, 0.01720209895 * 0.01720209895};
    double tt1, tt2;
    ttOf(tt1, tt2);
    double pvh[2][3], pvb[2][3];
    eraEpv00(tt1, tt2, pvh, pvb);
    const double eps = 84381.406 * ERFA_DAS2R;   // the J2000 ecliptic in the ICRS
    Vec p{};
    double tau = 0;
    for (int k = 0; k < 4; ++k) {
        const Vec ecl = propagate(ceres, tt1 + tt2 - tau);
        const Vec equ = {ecl[0], ecl[1] * std::cos(eps) - ecl[2] * std::sin(eps),
                         ecl[1] * std::sin(eps) + ecl[2] * std::cos(eps)};
        p = {equ[0] - pvh[0][0], equ[1] - pvh[0][1], equ[2] - pvh[0][2]};
        tau = eraPm(p.data()) * ERFA_AULT / ERFA_DAYSEC;
    }
    double unit[3], distance, velocity[3], v2 = 0;
    eraPn(p.data(), &distance, unit);
    for (int i = 0; i < 3; ++i) {
        velocity[i] = pvb[1][i] * ERFA_AULT / ERFA_DAYSEC;
        v2 += velocity[i] * velocity[i];
    }
    double apparent[3];
    eraAb(unit, velocity, eraPm(pvh[0]), std::sqrt(1 - v2), apparent);

    // Observed azimuth and altitude, refraction left out.
    double utc1, utc2;
    eraDtf2d("UTC", 2020, 8, 28, 14, 30, 0, &utc1, &utc2);
    eraASTROM astrom;
    double eo;
    ASSERT_GE(eraApco13(utc1, utc2, 0, 135 * ERFA_DD2R, 35 * ERFA_DD2R, 0, 0, 0, 0, 15, 0.5, 0.55, &astrom, &eo), 0);
    double cirs[3], ri, di, aob, zob, hob, dob, rob;
    eraRxp(astrom.bpn, apparent, cirs);
    eraC2s(cirs, &ri, &di);
    eraAtioq(eraAnp(ri), di, &astrom, &aob, &zob, &hob, &dob, &rob);
    const double altitude = ERFA_DPI / 2 - zob;
    ASSERT_GT(altitude, 0.2);

    TestRecords r;
    r.ui.load(orbitForm());
    typeElements(r, ceres, 2020, 0, "1.0");
    r.ui.control("RADIO68").setValue(1);
    setTime(r);
    // The chart centred on Ceres, a pixel of 0.56 arc minutes.
    drawCentredOn(r, p, 60);
    expectMarkAt(r, {std::cos(altitude) * std::cos(aob), -std::cos(altitude) * std::sin(aob), std::sin(altitude)});
}

TEST(OrbitObject, ASatelliteIsAtItsAstrometricPlaceOnAStarMapWithoutAberration)
{
    // Angles on the J2000 equator; the ICRF, the true equator and the apparent one.
    for (const int displayFrame : {3, 1, 0}) {
        SCOPED_TRACE(displayFrame);
        TestRecords r;
        r.ui.load(orbitForm());
        typeElements(r, satellite, 2020, 7, "28.0");
        expectSatelliteOnMap(r, nullptr, true, displayFrame);
    }
}

TEST(OrbitObject, ElementsOfAnotherEquinoxArePrecessedToTheChart)
{
    // The test turns its own propagation into the ICRF by ERFA's precession.
    struct Case {
        const char* what;
        bool equator;        // "R.A.", else "Longitude"
        int year;
        const char* day;     // of January
    };
    const Case cases[] = {
        {"ecliptic and equinox of 2050", false, 2050, "1.5"},
        {"equator and equinox of 1950", true, 1950, "1.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        double jd0, jd1;
        ASSERT_EQ(eraCal2jd(c.year, 1, 1, &jd0, &jd1), 0);
        const double epoch = jd0 + jd1 + std::stod(c.day) - 1;
        double icrfToEpoch[3][3];
        if (c.equator)
            eraPmat06(epoch, 0, icrfToEpoch);
        else
            eraEcm06(epoch, 0, icrfToEpoch);

        TestRecords r;
        r.ui.load(orbitForm());
        typeElements(r, satellite, 2020, 7, "28.0");
        r.set("EDIT90", std::to_string(c.year));
        r.set("EDIT91", c.day);
        expectSatelliteOnMap(r, icrfToEpoch, c.equator);
    }
}

TEST(OrbitObject, OnAMapNoHorizonHidesItOrItsLegend)
{
    // A map has no horizon: at the default depth an object far from the map's pole is drawn, as
    // the stars around it are.
    struct Case {
        const char* what;
        std::uint8_t earthMap;
        double fromPoleDegrees;
    };
    const Case cases[] = {
        {"star map, 120 degrees from the pole", 0, 120},
        {"star map, next to the opposite pole", 0, 178},
        {"Earth map, 120 degrees from the pole", 1, 120},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestRecords r;
        r.ui.load(orbitForm());
        typeElements(r, satellite, 2020, 7, "28.0");
        typeSatellite(r, true);
        setTime(r);
        r.chartView.chartMode = mapChartMode;
        r.chartView.earthMap = c.earthMap;
        r.ui.control("COMBO5").setIndex(3);
        ASSERT_EQ(r.chartOptions.underHorizonDepth, 0.0f);

        // The map's pole on the ICRF equator frame, turned from the object about a line
        // perpendicular to it.
        double tt1, tt2;
        ttOf(tt1, tt2);
        Vec p = satelliteSeenAt(tt1 + tt2, nullptr);
        double ra, dec;
        eraC2s(p.data(), &ra, &dec);
        const double turn = c.fromPoleDegrees * ERFA_DD2R;
        double pole[3];
        eraS2c(ra, dec + turn, pole);
        double poleRa, poleDec;
        eraC2s(pole, &poleRa, &poleDec);
        r.set("EDIT2", text(eraAnp(poleRa) * ERFA_DR2D));
        r.set("EDIT3", text(poleDec * ERFA_DR2D));
        drawCentredOn(r, p, 300);
        const double z = rotate(r.drawn.sky.icrfToBase, p)[2] / eraPm(p.data());
        ASSERT_NEAR(z, std::cos(turn), 1e-3);
        expectSatelliteMark(r, nullptr);

        // The legend on the map's row: the cross and ":Object by elements", in the object's colour.
        const double left = 2 * 20 + r.chartView.imageSize;
        int legend = 0;
        for (int y = 252; y < 270; ++y)
            for (int x = int(left); x < int(left) + 200; ++x)
                legend += r.chartBitmap.pixel(x, y) == 7;
        EXPECT_GT(legend, 100);
    }
}

TEST(OrbitObject, UnusableElementsGetOneAlertNamingWhy)
{
    struct Case {
        const char* what;
        const char* field;
        const char* text;
        const char* alert;
    };
    const Case cases[] = {
        {"no perihelion distance", "EDIT80", "0", "The Orbital Elements cannot be used: Perihelion Distance."},
        {"no eccentricity", "EDIT82", "", "The Orbital Elements cannot be used: eccentricity."},
        {"a perihelion beyond any number", "EDIT80", "1E+31",
         "The Orbital Elements cannot be used: the object is too far away."},
    };
    const Elements ceres = {2.556401146697176, 0.07687465013145245, 10.59127767086216, 80.3011901917491,
                            73.80896808746482, 130.3159688200986, 2458849.5, 0};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestRecords r;
        r.ui.load(orbitForm());
        typeElements(r, ceres, 2020, 0, "1.0");
        r.set(c.field, c.text);
        setTime(r);
        r.makeBitmap();
        ASSERT_TRUE(DRAWINGIMG(r));
        EXPECT_EQ(r.drawn.orbitObject.valid, 0);
        ASSERT_EQ(r.alerts().size(), 1u);
        EXPECT_EQ(r.alerts()[0], c.alert);
    }
}

} // namespace
} // namespace nivora
