// The grids against their base circles computed with ERFA, and their shortened meridians.
#include "render/grids.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include <erfa.h>
#include <erfam.h>

#include "render/drawing.h"
#include "render/grid_numbering.h"
#include "render/pipeline.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;
using Vec = DirectionVector;

// The fixture's moment: 2008 December 31, 23:59 at zone +9, at longitude 135 and latitude 35.
constexpr double placeLongitude = 135.0, placeLatitude = 35.0;
void terrestrialTime(double& tt1, double& tt2)
{
    double utc1, utc2, tai1, tai2;
    eraDtf2d("UTC", 2008, 12, 31, 0, 0, 0, &utc1, &utc2);
    utc2 += (23 + 59 / 60.0 - 9) / 24;
    eraUtctai(utc1, utc2, &tai1, &tai2);
    eraTaitt(tai1, tai2, &tt1, &tt2);
}

Vec transposed(double m[3][3], const Vec& v)
{
    double in[3] = {v[0], v[1], v[2]}, out[3];
    eraTrxp(m, in, out);
    return {out[0], out[1], out[2]};
}

// A point of a grid's base circle at longitude `degrees`, as a GCRS direction: the equator or the
// ecliptic of the equinox code (1 and 2 true of date, 3 mean of date, 4 ICRF or J2000).
Vec baseCirclePoint(bool ecliptic, int equinox, double degrees)
{
    double tt1, tt2;
    terrestrialTime(tt1, tt2);
    const double a = degrees * ERFA_DD2R;
    const Vec e = {std::cos(a), std::sin(a), 0};
    double m[3][3];
    if (!ecliptic) {
        if (equinox == 4)
            return e;
        equinox == 3 ? eraPmat06(tt1, tt2, m) : eraPnm06a(tt1, tt2, m);
        return transposed(m, e);
    }
    if (equinox == 3 || equinox == 4) {
        equinox == 4 ? eraEcm06(ERFA_DJ00, 0, m) : eraEcm06(tt1, tt2, m);
        return transposed(m, e);
    }
    double dpsi, deps;
    eraNut06a(tt1, tt2, &dpsi, &deps);
    const double eps = eraObl06(tt1, tt2) + deps;
    eraPnm06a(tt1, tt2, m);
    return transposed(m, {e[0], e[1] * std::cos(eps), e[1] * std::sin(eps)});
}

// The Earth's barycentric velocity over the speed of light, GCRS.
Vec earthVelocity()
{
    double tt1, tt2, pvh[2][3], pvb[2][3];
    terrestrialTime(tt1, tt2);
    eraEpv00(tt1, tt2, pvh, pvb);
    return {pvb[1][0] * ERFA_AULT / ERFA_DAYSEC, pvb[1][1] * ERFA_AULT / ERFA_DAYSEC, pvb[1][2] * ERFA_AULT / ERFA_DAYSEC};
}

// The horizon-frame direction (x north, y west, z zenith) of a GCRS direction seen from the
// place, without refraction: as a star (annual and diurnal aberration) or as it stands.
Vec horizonOf(const Vec& g, bool asStar)
{
    double tt1, tt2, utc1, utc2;
    terrestrialTime(tt1, tt2);
    eraDtf2d("UTC", 2008, 12, 31, 0, 0, 0, &utc1, &utc2);
    utc2 += (23 + 59 / 60.0 - 9) / 24;
    eraASTROM astrom;
    double eo, aob, zob, hob, dob, rob;
    eraApco13(utc1, utc2, 0, placeLongitude * ERFA_DD2R, placeLatitude * ERFA_DD2R, 0, 0, 0, 0, 15, 0.5, 0.55,
              &astrom, &eo);
    double ra, dec;
    double v[3] = {g[0], g[1], g[2]};
    if (asStar) {
        eraC2s(v, &ra, &dec);
        double ri, di;
        eraAtciq(eraAnp(ra), dec, 0, 0, 0, 0, &astrom, &ri, &di);
        eraAtioq(ri, di, &astrom, &aob, &zob, &hob, &dob, &rob);
    } else {
        double cirs[3];
        eraRxp(astrom.bpn, v, cirs);
        eraC2s(cirs, &ra, &dec);
        eraAtioq(eraAnp(ra), dec, &astrom, &aob, &zob, &hob, &dob, &rob);
    }
    const double alt = ERFA_DPI / 2 - zob;
    return {std::cos(alt) * std::cos(aob), -std::cos(alt) * std::sin(aob), std::sin(alt)};
}

// The distance in pixels from (x, y) to the line through two points.
double fromLine(double x, double y, double x1, double y1, double x2, double y2)
{
    return std::fabs((x2 - x1) * (y1 - y) - (x1 - x) * (y2 - y1)) / std::hypot(x2 - x1, y2 - y1);
}

enum class Mode { sky, starMap };

struct GridCase {
    GridKind grid;
    int equinox;
    Mode mode;
    int dualBox;
};

// Draws the grid's base circle alone at magnification 1000 around one of its points and checks
// that every dot of the grid's colour near that point lies within a pixel of the circle.
void expectBaseCircle(const GridCase& c)
{
    const bool ecliptic = c.grid == GridKind::ecliptic;
    TestRecords r;
    r.chartOptions.refractionOn = 0;
    r.chartOptions.underHorizonDepth = 1.1f;
    r.chartOptions.magnitudeLimit = 0;
    r.chartOptions.constellationLines = 0;
    r.chartOptions.eclipticGridStep = ecliptic ? 1 : 0;
    r.chartOptions.equatorGridStep = c.grid == GridKind::equatorial ? 1 : 0;
    r.chartOptions.zenithGridStep = c.grid == GridKind::horizontal ? 1 : 0;
    r.chartOptions.eclipticGridEquinox = std::uint8_t(c.equinox);
    r.chartOptions.equatorGridEquinox = std::uint8_t(c.equinox);
    r.chartView.magnification = 1000;
    r.chartView.dualBox = std::uint8_t(c.dualBox);
    r.makeBitmap();
    const bool asStar = c.equinox >= 2;

    // Two points of the circle 0.02 degrees apart, high in the sky of the place.
    Vec b1, b2;
    char text[32];
    if (c.mode == Mode::sky) {
        double best = -1, bestLongitude = 0;
        for (int l = 0; l < 360; l += 10) {
            const Vec h = c.grid == GridKind::horizontal ? Vec{std::cos(l * ERFA_DD2R), std::sin(l * ERFA_DD2R), 0}
                                                         : horizonOf(baseCirclePoint(ecliptic, c.equinox, l), asStar);
            if (h[2] > best && (c.grid != GridKind::horizontal || l == 180)) {
                best = h[2];
                bestLongitude = l;
            }
        }
        const auto at = [&](double l) {
            return c.grid == GridKind::horizontal ? Vec{std::cos(l * ERFA_DD2R), std::sin(l * ERFA_DD2R), 0}
                                                  : horizonOf(baseCirclePoint(ecliptic, c.equinox, l), asStar);
        };
        b1 = at(bestLongitude);
        b2 = at(bestLongitude + 0.02);
        // The chart centre a little off the point: typed azimuth from north through west.
        std::snprintf(text, sizeof text, "%.6f", std::atan2(b1[1], b1[0]) * ERFA_DR2D + 0.01);
        r.set("EDIT12", text);
        std::snprintf(text, sizeof text, "%.6f", std::asin(b1[2]) * ERFA_DR2D + 0.005);
        r.set("EDIT13", text);
    } else {
        r.chartView.chartMode = mapChartMode;
        r.ui.control("COMBO6").setIndex(4);   // the centre in ICRF right ascension and declination
        const Vec g = baseCirclePoint(ecliptic, c.equinox, 60);
        std::snprintf(text, sizeof text, "%.6f", eraAnp(std::atan2(g[1], g[0])) * ERFA_DR2D + 0.01);
        r.set("EDIT12", text);
        std::snprintf(text, sizeof text, "%.6f", std::asin(g[2]) * ERFA_DR2D + 0.005);
        r.set("EDIT13", text);
    }
    r.set("EDIT64", "0");
    ASSERT_TRUE(DRAWINGIMG(r));
    if (c.mode == Mode::starMap) {
        // The apparent display frame gives catalogue points and grids of codes 2 to 4 the annual
        // aberration.
        const Vec v = earthVelocity();
        const auto toBase = [&](double l) {
            Vec g = baseCirclePoint(ecliptic, c.equinox, l);
            if (asStar) {
                for (int i = 0; i < 3; ++i)
                    g[i] += v[i];
                const double n = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
                for (double& x : g)
                    x /= n;
            }
            return rotate(r.drawn.sky.icrfToBase, g);
        };
        b1 = toBase(60);
        b2 = toBase(60.02);
    }
    const PointPipeline p(r, {.refraction = false, .horizonCut = false, .limitCut = false});
    const auto pixel = [&](const Vec& b) {
        const auto px = p.place(b);
        return std::pair{double(px->x), double(px->y)};
    };
    const auto [x1, y1] = pixel(b1);
    const auto [x2, y2] = pixel(b2);
    const int colour = (ecliptic ? 13 : c.grid == GridKind::equatorial ? 5 : 3);
    int near = 0;
    for (int y = int(y1) - 12; y <= int(y1) + 12; ++y)
        for (int x = int(x1) - 12; x <= int(x1) + 12; ++x)
            if (r.chartBitmap.pixel(x, y) == colour) {
                ++near;
                EXPECT_LE(fromLine(x, y, x1, y1, x2, y2), 1.0) << x << " " << y << " from (" << x1 << ", " << y1 << ")";
            }
    EXPECT_GE(near, 3);
}

TEST(Grids, BaseCirclesLieWhereErfaPutsThem)
{
    const GridKind grids[] = {GridKind::ecliptic, GridKind::equatorial};
    for (int dual : {0, 1}) {
        for (Mode mode : {Mode::sky, Mode::starMap})
            for (GridKind g : grids)
                for (int equinox = 1; equinox <= 4; ++equinox) {
                    SCOPED_TRACE(testing::Message() << "grid " << int(g) << " equinox " << equinox << " mode "
                                                    << int(mode) << " dual " << dual);
                    expectBaseCircle({g, equinox, mode, dual});
                }
        SCOPED_TRACE(testing::Message() << "horizon, dual " << dual);
        expectBaseCircle({GridKind::horizontal, 0, Mode::sky, dual});
    }
}

TEST(Grids, ColoursOnBothBackgrounds)
{
    for (int white : {0, 1}) {
        TestRecords r;
        r.chartOptions.zenithGridStep = r.chartOptions.equatorGridStep = r.chartOptions.eclipticGridStep = 30;
        r.chartOptions.whiteBackground = std::uint8_t(white);
        r.chartOptions.magnitudeLimit = 0;
        r.chartOptions.constellationLines = 0;
        r.makeBitmap();
        r.chartBitmap.clear(white == 1 ? 15 : 0);
        ASSERT_TRUE(DRAWINGIMG(r));
        int count[16] = {};
        for (int y = 20; y < 340; ++y)
            for (int x = 20; x < 340; ++x)
                if (const int c = r.chartBitmap.pixel(x, y); c >= 0)
                    ++count[c];
        for (int colour : {13, 5, 3}) {
            EXPECT_GT(count[colour - white], 100) << white << " " << colour;
            EXPECT_EQ(count[colour - 1 + white], 0) << white << " " << colour;
        }
    }
}

// A star map around the celestial pole: which meridians reach it and in which colour.
TEST(Grids, ShortenedMeridiansAndColours)
{
    struct Case {
        int step;
        double magnification;
        int white;
        double meridian, fromDec, toDec;
        bool drawn;
    };
    const Case cases[] = {
        {30, 1, 0, 90, 62, 80, true},  {30, 1, 0, 30, 62, 80, false},
        {10, 4, 1, 30, 82, 86, true},  {10, 4, 0, 10, 82, 86, false},
        {5, 10, 0, 15, 86, 88, true},  {5, 10, 1, 5, 86, 88, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "step " << c.step << " meridian " << c.meridian);
        TestRecords r;
        r.chartView.chartMode = mapChartMode;
        r.ui.control("COMBO6").setIndex(4);
        r.set("EDIT12", "0");
        r.set("EDIT13", "90");
        r.chartView.magnification = c.magnification;
        r.chartOptions.magnitudeLimit = 0;
        r.chartOptions.constellationLines = 0;
        r.chartOptions.zenithGridStep = 0;
        r.chartOptions.eclipticGridStep = 0;
        r.chartOptions.equatorGridStep = std::uint8_t(c.step);
        r.chartOptions.whiteBackground = std::uint8_t(c.white);
        r.makeBitmap();
        ASSERT_TRUE(DRAWINGIMG(r));
        const int colour = 5 - c.white;
        const PointPipeline p(r);
        int hits = 0;
        for (double dec = c.fromDec; dec <= c.toDec; dec += 0.05) {
            const auto px = p.placeCatalogue(r.drawn.sky.icrfToBase, catalogueVector(c.meridian, dec));
            ASSERT_TRUE(px.has_value());
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    hits += r.chartBitmap.pixel(int(std::lround(px->x)) + dx, int(std::lround(px->y)) + dy) == colour;
        }
        EXPECT_EQ(hits > 0, c.drawn) << hits;
    }
}

} // namespace
} // namespace nivora
