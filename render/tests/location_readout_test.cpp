#include "render/location_readout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "astro/constants.h"
#include "astro/numbertext.h"
#include "render/tests/sky_chart.h"

namespace nivora {
namespace {

using testing_support::ErfaObserver;
using testing_support::Place;
using testing_support::SkyChart;

// A place and time with the Moon well away from the Sun.
const Place evening = {"Tokyo", 139.7, 35.7, 0, 2024, 5, 14, 10.5};

// The degrees written after a prefix.
double degreesAfter(const std::string& text, const std::string& prefix)
{
    EXPECT_EQ(text.substr(0, prefix.size()), prefix) << text;
    return text.size() > prefix.size() ? std::stod(text.substr(prefix.size())) : 0;
}

double wrapDegrees(double d) { return d - 360 * std::round(d / 360); }

struct Readout : SkyChart {
    Readout(int body, int frame) : SkyChart(evening)
    {
        readoutOptions.readoutBody = std::uint8_t(body);
        readoutOptions.readoutFrame = std::uint8_t(frame);
        minuteOptions.commentUnit = 1;
    }
    // Right ascension and declination (or the frame's pair), degrees, under a correction.
    std::pair<double, double> place(int correction, const char* first = " R.A:", const char* second = " Dec:")
    {
        readoutOptions.readoutCorrection = std::uint8_t(correction);
        EXPECT_TRUE(draw());
        return {degreesAfter(rowText(306), first), degreesAfter(rowText(324), second)};
    }
};

// ERFA's geocentric direction of a body (GCRS), with or without the annual aberration, turned
// into the true equator of date: right ascension and declination in degrees.
std::pair<double, double> erfaTrueEquatorial(const ErfaObserver& o, int body, bool aberration)
{
    double p[3], u[3], r, pvh[2][3], pvb[2][3];
    testing_support::erfaGeocentric(o, body, p);
    eraPn(p, &r, u);
    if (aberration) {
        eraEpv00(o.tt, 0, pvh, pvb);
        double v[3];
        for (int i = 0; i < 3; ++i)
            v[i] = pvb[1][i] / ERFA_DC;
        double a[3];
        eraAb(u, v, eraPm(pvh[0]), std::sqrt(1 - eraPdp(v, v)), a);
        eraCp(a, u);
    }
    double npb[3][3], t[3], ra, dec;
    eraPnm06a(o.tt, 0, npb);
    eraRxp(npb, u, t);
    eraC2s(t, &ra, &dec);
    return {eraAnp(ra) * degreesPerRadian, dec * degreesPerRadian};
}

// A readout's ICRF right ascension and declination (degrees) against ERFA's geocentric
// astrometric place of the body.
void expectErfaIcrfPlace(const ErfaObserver& o, int body, std::pair<double, double> drawn, double tolerance)
{
    double p[3], ra, dec;
    testing_support::erfaGeocentric(o, body, p);
    eraC2s(p, &ra, &dec);
    EXPECT_NEAR(wrapDegrees(drawn.first - eraAnp(ra) * degreesPerRadian), 0, tolerance);
    EXPECT_NEAR(drawn.second - dec * degreesPerRadian, 0, tolerance);
}

// ICRF right ascension and declination, degrees.
std::pair<double, double> icrfDegrees(double p[3])
{
    double ra, dec;
    eraC2s(p, &ra, &dec);
    return {eraAnp(ra) * degreesPerRadian, dec * degreesPerRadian};
}

// The Moon moves with the Earth: "(apparent)" is its light-time place, no aberration added, and
// "(no abbr.)" that place with the aberration taken out, ERFA's astrometric Moon. The shift
// between the two is ERFA's to the printed digits; each place is ERFA's within eraMoon98's few
// arc seconds against the Moon's series.
TEST(LocationReadout, TheMoonWithoutAberrationIsErfasAstrometricMoon)
{
    for (const int frame : {4, 2}) {
        SCOPED_TRACE(frame);
        Readout moon(moonBody, frame);
        const auto apparent = moon.place(0);
        const auto noAbbr = moon.place(1);
        EXPECT_EQ(moon.rowText(288), "Location of Moon");
        EXPECT_EQ(moon.row(306)[0].colour, 15);
        EXPECT_TRUE(moon.rowText(306).ends_with("(no abbr.)"));
        const ErfaObserver o = moon.observer(evening);
        double lightTime[3], astrometric[3], npb[3][3];
        testing_support::erfaGeocentric(o, moonBody, lightTime);
        testing_support::erfaAstrometricMoon(o, astrometric);
        if (frame == 2) {
            eraPnm06a(o.tt, 0, npb);
            eraRxp(npb, lightTime, lightTime);
            eraRxp(npb, astrometric, astrometric);
        }
        const auto erfaApparent = icrfDegrees(lightTime), erfaNoAbbr = icrfDegrees(astrometric);
        const double c = std::cos(erfaNoAbbr.second / degreesPerRadian);
        const double arcSecond = 1.0 / 3600;
        EXPECT_NEAR(wrapDegrees(noAbbr.first - apparent.first) * c,
                    wrapDegrees(erfaNoAbbr.first - erfaApparent.first) * c, 0.1 * arcSecond);
        EXPECT_NEAR(noAbbr.second - apparent.second, erfaNoAbbr.second - erfaApparent.second, 0.1 * arcSecond);
        EXPECT_GT(std::hypot(wrapDegrees(noAbbr.first - apparent.first) * c, noAbbr.second - apparent.second),
                  3 * arcSecond);   // the Moon near the way the Earth goes: 4", not the full 20"
        EXPECT_NEAR(wrapDegrees(noAbbr.first - erfaNoAbbr.first) * c, 0, 4 * arcSecond);
        EXPECT_NEAR(noAbbr.second - erfaNoAbbr.second, 0, 4 * arcSecond);
        EXPECT_NEAR(wrapDegrees(apparent.first - erfaApparent.first) * c, 0, 4 * arcSecond);
        EXPECT_NEAR(apparent.second - erfaApparent.second, 0, 4 * arcSecond);
    }
}

TEST(LocationReadout, TheSunGetsErfasAberration)
{
    Readout sun(sunBody, 2);
    const auto apparent = sun.place(0);
    const auto geometric = sun.place(1);
    const ErfaObserver o = sun.observer(evening);
    const auto erfaApparent = erfaTrueEquatorial(o, sunBody, true);
    const auto erfaGeometric = erfaTrueEquatorial(o, sunBody, false);
    // The shift, to the printed 0.00001 degree and a little for the two models.
    EXPECT_NEAR(wrapDegrees(apparent.first - geometric.first), wrapDegrees(erfaApparent.first - erfaGeometric.first), 0.00005);
    EXPECT_NEAR(apparent.second - geometric.second, erfaApparent.second - erfaGeometric.second, 0.00005);
    EXPECT_GT(std::fabs(apparent.first - geometric.first), 0.005);
    // And the place itself, within the models' agreement.
    EXPECT_NEAR(wrapDegrees(apparent.first - erfaApparent.first), 0, 0.001);
    EXPECT_NEAR(apparent.second - erfaApparent.second, 0, 0.001);
    EXPECT_EQ(sun.row(306)[0].colour, 13);
}

TEST(LocationReadout, FramesPrefixesAndWords)
{
    struct Case {
        int frame;
        const char *first, *second, *word;
    };
    const Case cases[] = {
        {1, " Azm:", " Elv:", "(Zenithal)"},  {2, " R.A:", " Dec:", "(true)"},
        {3, " R.A:", " Dec:", "(mean)"},      {4, " R.A:", " Dec:", "(J2000.0)"},
        {8, " R.A:", " Dec:", "(Local-Eq)"},  {9, " R.A:", " Dec:", "(Grwch-Eq)"},
        {12, " Lng:", " Lat:", "(true)"},     {13, " Lng:", " Lat:", "(mean)"},
        {14, " Lng:", " Lat:", "(J2000.0)"},
    };
    const char* corrections[] = {"(apparent)", "(no abbr.)", "(geometric)"};
    for (const Case& c : cases)
        for (int correction = 0; correction < 3; ++correction) {
            SCOPED_TRACE(testing::Message() << c.frame << " " << correction);
            Readout r(jupiterBody, c.frame);
            r.planetSettings.planetDisplayMode[jupiterBody - 2] = 0;
            r.readoutOptions.readoutCorrection = std::uint8_t(correction);
            ASSERT_TRUE(r.draw());
            EXPECT_EQ(r.rowText(288), "Location of Jupiter");
            const std::string a = r.rowText(306), b = r.rowText(324);
            EXPECT_EQ(a.substr(0, 5), c.first);
            EXPECT_EQ(a.substr(a.size() - std::string(corrections[correction]).size()), corrections[correction]);
            EXPECT_EQ(b.substr(0, 5), c.second);
            EXPECT_EQ(b.substr(b.size() - std::string(c.word).size()), c.word);
            EXPECT_NE(r.rowText(342).find("AU(geocntr)"), std::string::npos);
            EXPECT_EQ(r.rowText(360).substr(0, 8), " Radius:");
            EXPECT_EQ(r.row(306)[0].colour, 7);
        }
}

// The frames as ERFA turns the readout's own ICRF place: the Moon, 5 degrees off the ecliptic,
// carries every turn into both of its numbers. Its ICRF place itself is ERFA's Moon without
// annual aberration, within eraMoon98's 17".
TEST(LocationReadout, EachFrameIsErfasTurnOfTheIcrfPlace)
{
    Readout moon(moonBody, 4);
    const auto icrf = moon.place(0);
    const ErfaObserver o = moon.observer(evening);
    expectErfaIcrfPlace(o, moonBody, icrf, 0.006);
    double u[3];
    eraS2c(icrf.first / degreesPerRadian, icrf.second / degreesPerRadian, u);

    double npb[3][3], bp[3][3], meanEcliptic[3][3], j2000Ecliptic[3][3], dpsi, deps;
    eraPnm06a(o.tt, 0, npb);
    eraPmat06(o.tt, 0, bp);
    eraEcm06(o.tt, 0, meanEcliptic);
    eraEcm06(ERFA_DJ00, 0, j2000Ecliptic);
    eraNut06a(o.tt, 0, &dpsi, &deps);
    double trueEcliptic[3][3], greenwich[3][3], local[3][3];
    eraCr(npb, trueEcliptic);
    eraRx(eraObl06(o.tt, 0) + deps, trueEcliptic);
    const double gast = eraGst06a(o.ut1, 0, o.tt, 0);
    eraCr(npb, greenwich);
    eraRz(gast, greenwich);
    eraCr(npb, local);
    eraRz(gast + evening.longitude / degreesPerRadian, local);

    struct Case {
        int frame;
        const char *first, *second;
        double (*turn)[3];
        double tolerance;   // degrees: the printed 0.00001 and the models' difference
    };
    const Case cases[] = {
        {2, " R.A:", " Dec:", npb, 0.00003},           {3, " R.A:", " Dec:", bp, 0.00003},
        {12, " Lng:", " Lat:", trueEcliptic, 0.00003}, {13, " Lng:", " Lat:", meanEcliptic, 0.00003},
        {14, " Lng:", " Lat:", j2000Ecliptic, 0.00003},
        {9, " R.A:", " Dec:", greenwich, 0.00005},   // and the sidereal time
        {8, " R.A:", " Dec:", local, 0.00005},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        moon.readoutOptions.readoutFrame = std::uint8_t(c.frame);
        const auto drawn = moon.place(0, c.first, c.second);
        double v[3], lon, lat;
        eraRxp(c.turn, u, v);
        eraC2s(v, &lon, &lat);
        EXPECT_NEAR(wrapDegrees(drawn.first - lon * degreesPerRadian) * std::cos(lat), 0, c.tolerance);
        EXPECT_NEAR(drawn.second - lat * degreesPerRadian, 0, c.tolerance);
    }
}

TEST(LocationReadout, GeometricIcrfAndTopocentricZenithalAgainstErfa)
{
    Readout sun(sunBody, 4);
    const auto icrf = sun.place(2);
    const ErfaObserver o = sun.observer(evening);
    expectErfaIcrfPlace(o, sunBody, icrf, 0.001);

    // The Moon seen from the place in the horizon frame, refraction off.
    Readout moon(moonBody, 1);
    moon.readoutOptions.readoutParallax = 1;
    const auto horizon = moon.place(0, " Azm:", " Elv:");
    const DirectionVector w = testing_support::erfaHorizonDirection(o, moonBody);
    double lon, lat, r;
    ZENITH(w[0], w[1], w[2], lon, lat, r);
    EXPECT_NEAR(wrapDegrees(horizon.first - lon * degreesPerRadian), 0, 0.005);
    EXPECT_NEAR(horizon.second - lat * degreesPerRadian, 0, 0.005);
    EXPECT_NE(moon.rowText(342).find("km(parallax)"), std::string::npos);
}

TEST(LocationReadout, UnknownFrameAndNotDisplayWriteNothing)
{
    for (const int frame : {0, 5, 6, 7, 10, 11, 15, 19, 21, 99, 100, 255}) {
        Readout r(moonBody, frame);
        ASSERT_TRUE(r.draw());
        for (const int row : {288, 306, 324, 342, 360})
            EXPECT_TRUE(r.row(float(row)).empty()) << frame << " " << row;
    }
    // The added star switched off and the orbit object not drawn write nothing either.
    for (const int body : {20, 30}) {
        Readout r(body, 2);
        ASSERT_TRUE(r.draw());
        EXPECT_TRUE(r.row(288).empty()) << body;
    }
}

TEST(LocationReadout, DigressionOfTheMoonAgainstErfasPositionAngle)
{
    Readout r(sunBody, 20);   // the Sun's digression speaks of the Moon
    ASSERT_TRUE(r.draw());
    EXPECT_EQ(r.rowText(288), "Digression of Mn from Sun");
    EXPECT_EQ(r.row(288)[0].colour, 5);
    const ErfaObserver o = r.observer(evening);
    const auto moon = erfaTrueEquatorial(o, moonBody, false);
    const auto sun = erfaTrueEquatorial(o, sunBody, true);
    const double a1 = moon.first / degreesPerRadian, d1 = moon.second / degreesPerRadian;
    const double a2 = sun.first / degreesPerRadian, d2 = sun.second / degreesPerRadian;
    const double elongation = eraSeps(a1, d1, a2, d2) * degreesPerRadian;
    ASSERT_GT(elongation, 20);
    EXPECT_NEAR(degreesAfter(r.rowText(342), " true:"), elongation, 0.01);
    const double pas = eraPas(a1, d1, a2, d2) * degreesPerRadian;
    EXPECT_NEAR(wrapDegrees(degreesAfter(r.rowText(360), " Pole-Mn-Sun:") - pas), 0, 0.05);
    EXPECT_EQ(r.rowText(378).substr(0, 12), " Znth-Mn-Sun");
}

// The digression's differences in right ascension and true longitude, and, seen from the place,
// the separation and the angle of the Sun from the Moon's zenith side, against ERFA.
TEST(LocationReadout, DigressionDifferencesAndZenithAngleAgainstErfa)
{
    Readout r(sunBody, 20);
    ASSERT_TRUE(r.draw());
    const ErfaObserver o = r.observer(evening);
    const auto moon = erfaTrueEquatorial(o, moonBody, false);
    const auto sun = erfaTrueEquatorial(o, sunBody, true);
    double dpsi, deps, toEcliptic[3][3];
    eraNut06a(o.tt, 0, &dpsi, &deps);
    eraIr(toEcliptic);
    eraRx(eraObl06(o.tt, 0) + deps, toEcliptic);
    auto trueLongitude = [&](std::pair<double, double> radec) {
        double u[3], e[3];
        eraS2c(radec.first / degreesPerRadian, radec.second / degreesPerRadian, u);
        eraRxp(toEcliptic, u, e);
        return std::atan2(e[1], e[0]) * degreesPerRadian;
    };
    // The Moon's 17" and the printed 0.00001 degree.
    EXPECT_NEAR(wrapDegrees(degreesAfter(r.rowText(306), " Lng.:") - (trueLongitude(moon) - trueLongitude(sun))), 0, 0.006);
    EXPECT_TRUE(r.rowText(306).ends_with("(geocentric)"));
    EXPECT_NEAR(wrapDegrees(degreesAfter(r.rowText(324), " R.A.:") - (moon.first - sun.first)), 0, 0.006);
    EXPECT_TRUE(r.rowText(324).ends_with("(apparent)"));

    r.readoutOptions.readoutParallax = 1;
    ASSERT_TRUE(r.draw());
    const DirectionVector m = testing_support::erfaHorizonDirection(o, moonBody);
    const DirectionVector s = testing_support::erfaHorizonDirection(o, sunBody);
    const double mA = std::atan2(m[1], m[0]), mh = std::asin(m[2]), sA = std::atan2(s[1], s[0]), sh = std::asin(s[2]);
    EXPECT_NEAR(degreesAfter(r.rowText(342), " true:"), eraSeps(mA, mh, sA, sh) * degreesPerRadian, 0.01);
    EXPECT_TRUE(r.rowText(306).ends_with("(parallax)"));
    EXPECT_NEAR(wrapDegrees(degreesAfter(r.rowText(378), " Znth-Mn-Sun:") - eraPas(mA, mh, sA, sh) * degreesPerRadian), 0, 0.05);
}

// The distance row: the Moon in km, the Sun and a planet in AU, geocentric, against ERFA, whose
// planets are coarser than the Sun and the Moon.
TEST(LocationReadout, DistancesAgainstErfa)
{
    struct Case {
        int body;
        const char* unit;
        double perAu, tolerance;
    };
    const Case cases[] = {{moonBody, "km(geocntr)", astronomicalUnit, 20}, {sunBody, "AU(geocntr)", 1, 2e-6},
                          {marsBody, "AU(geocntr)", 1, 1e-4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        Readout r(c.body, 2);
        ASSERT_TRUE(r.draw());
        const std::string row = r.rowText(342);
        ASSERT_TRUE(row.ends_with(c.unit)) << row;
        double p[3];
        testing_support::erfaGeocentric(r.observer(evening), c.body, p);
        EXPECT_NEAR(degreesAfter(row, " Distance:"), eraPm(p) * c.perAu, c.tolerance) << row;
    }
}

TEST(LocationReadout, SeparationAndPositionAngleEdges)
{
    EXPECT_EQ(separationAngle(1 + 1e-12), 0);
    EXPECT_DOUBLE_EQ(separationAngle(-1 - 1e-12), pi);
    EXPECT_DOUBLE_EQ(separationAngle(0), pi / 2);
    EXPECT_EQ(positionAngle(0.3, 0.2, 0.1, 0), 0);   // in the Sun's direction
    EXPECT_NEAR(positionAngle(0.1, 0, 0, 0.1), pi / 2, 1e-9);
}

} // namespace
} // namespace nivora
