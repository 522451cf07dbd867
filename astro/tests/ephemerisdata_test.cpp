// Accuracy of the shipped ephemeris files, measured through the program's own procedures against
// the complete theories (reference tables written by tools/ephemeris) and against ERFA.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <erfa.h>
#include <gtest/gtest.h>

#include "astro/constants.h"
#include "astro/precession.h"
#include "astro/series.h"
#include "astro/startuptables.h"
#include "astro/timescales.h"

using namespace nivora;

namespace {

const std::filesystem::path dataDir = NIVORA_DATA_DIR;
const std::filesystem::path referenceDir = std::filesystem::path(NIVORA_TEST_DIR) / "reference";

constexpr double julianDateOfDayNumberZero = 2451543.5;
constexpr double arcsecPerRadian = 206264.80624709636;
constexpr double kmPerAu = 149597870.7;

using ErfaMatrix = double[3][3];

const StartupTables& shippedTables() {
    static const StartupTables tables = loadStartupTables(dataDir);
    return tables;
}

// The rows of a reference table: whitespace-separated numbers, "#" lines are comments.
std::vector<std::vector<double>> readReference(const std::string& name) {
    std::ifstream in(referenceDir / name);
    EXPECT_TRUE(in) << name;
    std::vector<std::vector<double>> rows;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::vector<double> row;
        for (double x; fields >> x;)
            row.push_back(x);
        rows.push_back(row);
    }
    EXPECT_GT(rows.size(), 20u) << name;
    return rows;
}

// Angle difference in arc seconds, the wrap at +-180 degrees taken out.
double arcsecBetween(double radians, double degrees) {
    double diff = radians * 180 / M_PI - degrees;
    diff -= 360 * std::round(diff / 360);
    return diff * 3600;
}

DirectionVector rectangular(double lon, double lat, double r) {
    return {r * std::cos(lat) * std::cos(lon), r * std::cos(lat) * std::sin(lon), r * std::sin(lat)};
}

struct Limits {
    double arcsec;   // longitude and latitude
    double distance; // in the file's unit
};

// Every reference row through PLTLOC0 with the identity frame (so the result stays geometric in
// the J2000 ecliptic). Planet rows carry a geocentric position as well, which PLTLOC0 reaches
// with geo = 1 and the Sun vector from the shipped Sun file.
void expectSeriesMatchesTheory(const std::string& file, Limits limits) {
    const std::string table = std::filesystem::path(file).replace_extension(".txt").string();
    double worstAngle = 0;
    for (const auto& row : readReference(table)) {
        const double d = row[0];
        SCOPED_TRACE(testing::Message() << file << " at day " << d);
        SeriesFrames frames;
        double lon, lat, dist;
        PLTLOC0(shippedTables(), frames, dataDir / file, d, 0, 0, lon, lat, dist);
        EXPECT_NEAR(arcsecBetween(lon, row[1]), 0, limits.arcsec);
        EXPECT_NEAR(arcsecBetween(lat, row[2]), 0, limits.arcsec);
        EXPECT_NEAR(dist, row[3], limits.distance);
        worstAngle = std::max({worstAngle, std::abs(arcsecBetween(lon, row[1])), std::abs(arcsecBetween(lat, row[2]))});
        if (row.size() < 7)
            continue;
        double sunLon, sunLat, sunDist;
        PLTLOC0(shippedTables(), frames, dataDir / "prmsun2.plt", d, 0, 0, sunLon, sunLat, sunDist);
        frames.sunVector = rectangular(sunLon, sunLat, sunDist);
        PLTLOC0(shippedTables(), frames, dataDir / file, d, 1, 0, lon, lat, dist);
        EXPECT_NEAR(arcsecBetween(lon, row[4]), 0, limits.arcsec) << "geocentric";
        EXPECT_NEAR(arcsecBetween(lat, row[5]), 0, limits.arcsec) << "geocentric";
        EXPECT_NEAR(dist, row[6], limits.distance) << "geocentric";
        worstAngle = std::max({worstAngle, std::abs(arcsecBetween(lon, row[4])), std::abs(arcsecBetween(lat, row[5]))});
    }
    testing::Test::RecordProperty("worst_arcsec", std::to_string(worstAngle));
}

} // namespace

// Every observed value the table was built from, through the step function of ET2UTC.
TEST(ShippedDeltaT, WithinATenthOfASecondOfEveryObservedValue) {
    const StartupTables& tables = shippedTables();
    for (const auto& row : readReference("deltat-observed.txt")) {
        SCOPED_TRACE(testing::Message() << "day " << row[0]);
        EXPECT_NEAR((ET2UTC(tables, row[0]) - row[0]) * 86400, row[1], 0.1 + 1e-6);
    }
}

// The predicted rows rise to the long-term parabola without a jump where the table ends.
TEST(ShippedDeltaT, JoinsTheParabolaWithoutAJump) {
    const DeltaTTable& table = shippedTables().deltaTTable;
    ASSERT_GT(table.rowCount, 1);
    const double last = table.rows[table.rowCount - 1][0];
    const double before = (ET2UTC(shippedTables(), last) - last) * 86400;
    const double after = (ET2UTC(shippedTables(), last + 1) - (last + 1)) * 86400;
    EXPECT_NEAR(after - before, 0, 0.02);
    for (int r = 1; r < table.rowCount; ++r)
        EXPECT_LT(table.rows[r - 1][0], table.rows[r][0]) << "row " << r;
}

TEST(ShippedPrecession, MatchesErfaIau2006Over1800To2200) {
    const double tolerance = 1e-6 / arcsecPerRadian;
    ErfaMatrix eclipticJ2000, toJ2000;
    eraEcm06(julianDateOfDayNumberZero, 1.5, eclipticJ2000);
    eraTr(eclipticJ2000, toJ2000);
    for (double t = -2; t <= 2.0001; t += 0.1) {
        const double d = 1.5 + t * 36525;
        SCOPED_TRACE(testing::Message() << "T = " << t);
        RotationMatrix m1, m2, e;
        double eps;
        PRECMT(shippedTables(), d, m1, m2, e, eps);
        EXPECT_NEAR(eps, eraObl06(julianDateOfDayNumberZero, d), tolerance);
        ErfaMatrix biasPrecession, ecliptic, eclipticPrecession;
        eraPmat06(julianDateOfDayNumberZero, d, biasPrecession);
        eraEcm06(julianDateOfDayNumberZero, d, ecliptic);
        eraRxr(ecliptic, toJ2000, eclipticPrecession);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                EXPECT_NEAR(m1[i][j], biasPrecession[i][j], tolerance) << i << ',' << j;
                EXPECT_NEAR(m2[i][j], eclipticPrecession[i][j], tolerance) << i << ',' << j;
            }
    }
}

// The mean elements hold exactly IAU 2000B's arguments, so the file agrees to microarcseconds,
// far inside the milliarcsecond the model itself claims.
TEST(ShippedNutation, MatchesErfaIau2000BOver1800To2200) {
    const double tolerance = 1e-6 / arcsecPerRadian;
    for (double d = -73048; d <= 73051; d += 97.3) {
        SCOPED_TRACE(testing::Message() << "day " << d);
        double dpsi, deps, erfaDpsi, erfaDeps;
        NUTATION2(shippedTables(), d, dpsi, deps, dataDir / "nutation.txt");
        eraNut00b(julianDateOfDayNumberZero, d, &erfaDpsi, &erfaDeps);
        EXPECT_NEAR(std::remainder(dpsi - erfaDpsi, 2 * pi), 0, tolerance);
        EXPECT_NEAR(deps, erfaDeps, tolerance);
    }
}

TEST(ShippedSeries, Sun) { expectSeriesMatchesTheory("prmsun2.plt", {0.1, 50 / kmPerAu}); }
TEST(ShippedSeries, Moon) { expectSeriesMatchesTheory("prmmon2.plt", {1.5, 2}); }
// Planet distances: about an arc second's worth at the planet's distance from the Sun.
TEST(ShippedSeries, Mercury) { expectSeriesMatchesTheory("mercury.plt", {1, 2e-5}); }
TEST(ShippedSeries, Venus) { expectSeriesMatchesTheory("venus.plt", {1, 2e-5}); }
TEST(ShippedSeries, Mars) { expectSeriesMatchesTheory("mars.plt", {1, 2e-5}); }
TEST(ShippedSeries, Jupiter) { expectSeriesMatchesTheory("jupiter.plt", {1, 5e-5}); }
TEST(ShippedSeries, Saturn) { expectSeriesMatchesTheory("saturn.plt", {1, 1e-4}); }
TEST(ShippedSeries, Uranus) { expectSeriesMatchesTheory("uranus.plt", {1, 2e-4}); }
TEST(ShippedSeries, Neptune) { expectSeriesMatchesTheory("neptune.plt", {1, 3e-4}); }

// A term may multiply a mean-element row by a fraction only where the row does not wrap at 360
// degrees: there its phase would jump by that fraction of a turn (the Moon by about a degree).
// The shipped files keep such rows whole for ten thousand years either side of 2000.
TEST(ShippedSeries, NoFractionallyUsedArgumentWrapsWithinTenThousandYears) {
    for (const char* name : {"prmsun2.plt", "prmmon2.plt", "mercury.plt", "venus.plt", "mars.plt",
                             "jupiter.plt", "saturn.plt", "uranus.plt", "neptune.plt"}) {
        const SeriesFile series = parseSeriesFile(dataDir / name);
        std::set<int> fractional;
        for (const SeriesSection* section : {&series.longitude, &series.latitude, &series.distance})
            for (const SeriesTerm& term : section->terms)
                for (int i = 1; i < 31; ++i)
                    if (term.multipliers[i] != std::floor(term.multipliers[i]))
                        fractional.insert(3 + i);
        for (double direction : {-1.0, 1.0}) {
            std::set<int> unwrapped = fractional;
            SeriesArguments previous;
            PLTPARAM2(shippedTables(), 1.5, 0, previous);
            for (int step = 1; step <= 10000 && !unwrapped.empty(); ++step) {
                const double t = direction * step * 0.01;
                SeriesArguments v;
                PLTPARAM2(shippedTables(), 1.5 + t * 36525, 0, v);
                for (auto i = unwrapped.begin(); i != unwrapped.end();) {
                    if (std::abs(v[*i] - previous[*i]) > 180) {
                        ADD_FAILURE() << name << ": v(" << *i << ") wraps near T = " << t;
                        i = unwrapped.erase(i);
                    } else {
                        ++i;
                    }
                }
                previous = v;
            }
        }
    }
}
