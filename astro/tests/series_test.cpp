#include "astro/series.h"

#include <cmath>
#include <map>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "astro/constants.h"
#include "astro/datafile.h"
#include "testfiles.h"

using namespace nivora;

namespace {

constexpr double degree = 1 / degreesPerRadian;

// A term as a file holds it: the opener on its own line, then 31 multipliers (m3..m33, all 0
// but those given) over two lines, then the term's other numbers.
std::string term(const std::string& opener, const std::vector<double>& values,
                 const std::map<int, double>& multipliers = {}) {
    std::string text = opener + "\r\n";
    for (int i = 3; i <= 33; ++i) {
        const auto found = multipliers.find(i);
        text += (found == multipliers.end() ? std::string("0") : std::to_string(found->second)) +
                (i == 18 ? "\r\n" : " ");
    }
    for (double value : values)
        text += ", " + std::to_string(value);
    return text + "\r\n";
}

std::string zeroTerm(const char* opener, double c) {
    return term(opener, {c});
}

// A file with the given sections; the distance section gives R = 1 unless told otherwise.
std::string seriesText(const std::string& longitude, const std::string& latitude = "",
                       const std::string& distance = "dist, 1\r\n" + zeroTerm("mean", 1),
                       const std::string& nodes = "") {
    return "series under test\r\n" + longitude + "latitude\r\n" + latitude + distance + nodes + "end\r\n";
}

struct Location {
    double lon, lat, dist;
};

Location locate(const std::string& text, double d = 1.5, std::int16_t geo = 0, std::int16_t aber = 0,
                const SeriesFrames& frames = {}) {
    const StartupTables tables;
    Location at{};
    locateFromSeries(tables, frames, parseSeriesText(text, "t.plt"), d, geo, aber, at.lon, at.lat, at.dist);
    return at;
}

void expectVectorNear(const DirectionVector& a, const DirectionVector& b, double tolerance) {
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(a[i], b[i], tolerance) << "component " << i;
}

} // namespace

TEST(PLTPARAM2, PowersAndMeanElements) {
    const StartupTables tables = loadStartupTables(fixture("startup-iau2006"));
    SeriesArguments v;
    const double d = 1.5 + 2 * 36525; // T = 2
    PLTPARAM2(tables, d, 1, v);
    EXPECT_DOUBLE_EQ(v[0], 2);
    EXPECT_DOUBLE_EQ(v[1], 4);
    EXPECT_DOUBLE_EQ(v[2], 8);
    EXPECT_DOUBLE_EQ(v[3], 200);
    // Block 9, row 2: 326 degrees + (36000 x 2 + 1.5 x 4 + 0.01 x 8) arc seconds.
    EXPECT_NEAR(v[4 + 27 + 2], 326 + 72006.08 / 3600, 1e-12);
    // Block 4, row 0: 144 degrees + (18000 x 2 + 0.5 x 4 + 0.01 x 8) arc seconds.
    EXPECT_NEAR(v[4 + 12], 144 + 36002.08 / 3600, 1e-12);

    PLTPARAM2(tables, d, 0, v); // the constant terms left out
    EXPECT_NEAR(v[4 + 27 + 2], 72006.08 / 3600, 1e-12);
    EXPECT_NEAR(v[4 + 12], 36002.08 / 3600, 1e-12);
    PLTPARAM2(tables, 1.5 - 36525, 0, v); // T = -1 reduces into 0..360
    EXPECT_NEAR(v[4], 360 - (3600 - 0.5 + 0.01) / 3600, 1e-12);
}

TEST(PLTLOC0, SkeletonFileGivesTheOrigin) {
    const StartupTables tables;
    for (std::int16_t aber : {0, 1}) { // aber = 1 has no direction to shift and is skipped
        SCOPED_TRACE(aber);
        double lon = 9, lat = 9, dist = 9;
        PLTLOC0(tables, {}, fixture("series-one-item-per-line.plt"), 1.5, 0, aber, lon, lat, dist);
        EXPECT_EQ(lon, 0);
        EXPECT_EQ(lat, -pi / 2);
        EXPECT_EQ(dist, 0);
    }
}

TEST(PLTLOC0, GeoAddsTheSunVector) {
    SeriesFrames frames;
    frames.sunVector = {0.3, -0.4, 0.05};
    double lon, lat, dist;
    PLTLOC0(StartupTables{}, frames, fixture("series-one-item-per-line.plt"), 1.5, 1, 0, lon, lat, dist);
    double sunLon, sunLat, sunDist;
    ZENITH(0.3, -0.4, 0.05, sunLon, sunLat, sunDist);
    EXPECT_DOUBLE_EQ(lon, sunLon);
    EXPECT_DOUBLE_EQ(lat, sunLat);
    EXPECT_DOUBLE_EQ(dist, sunDist);
    // Any value but 1 is off.
    PLTLOC0(StartupTables{}, frames, fixture("series-one-item-per-line.plt"), 1.5, 2, 0, lon, lat, dist);
    EXPECT_EQ(dist, 0);
}

TEST(PLTLOC0, TermKinds) {
    struct Case {
        const char* name;
        std::string longitude;
        double d, lonDegrees;
    };
    const Case cases[] = {
        {"periodic term, phase 0", term("#", {0, 3600, 0, 0, 0}), 1.5, 1},
        {"periodic term, phase 180: series longitude 359", term("#1", {180, 3600, 0, 0, 0}), 1.5, -1},
        {"periodic amplitude in T", term("# a", {0, 0, 1800, 0, 0}), 1.5 + 36525, 0.5},
        {"MEAN: g = 1, t1 = 36 at T = 1", term("MEAN", {1, 0, 36, 0, 0}), 1.5 + 36525, 3636 / 3600.0},
        {"MEAN: c, t2 and t3 at T = 2", term("MEAN", {0, 7, 0, 100, 10}), 1.5 + 2 * 36525,
         (7 + 400 + 80) / 3600.0},
        {"mean: m3 acts on 100 T, in degrees", term("mean", {0}, {{3, 1}}), 1.5 + 365.25, 1},
        {"mean: c in arc seconds", zeroTerm("mean", 1800), 1.5, 0.5},
        {"a label standing with numbers swallows them",
         "mean " + std::string(63, '1') + "\r\n" + zeroTerm("mean", 7200), 1.5, 2},
        {"stray numbers and words are skipped", "12.5\r\nword\r\n3, 4\r\n" + zeroTerm("mean", 3600), 1.5, 1},
        {"keywords match whole items, case included", zeroTerm("Mean", 3600) + zeroTerm("mean", 3600), 1.5,
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Location at = locate(seriesText(c.longitude), c.d);
        EXPECT_NEAR(at.lon, c.lonDegrees * degree, 1e-13);
        EXPECT_NEAR(at.lat, 0, 1e-15);
        EXPECT_NEAR(at.dist, 1, 1e-15);
    }
}

TEST(PLTLOC0, LineEndsOfEitherKind) {
    std::string crlf = seriesText(term("#", {0, 3600, 0, 0, 0}), zeroTerm("mean", 7200));
    std::string lf;
    for (char c : crlf)
        if (c != '\r') lf += c;
    const Location a = locate(crlf), b = locate(lf);
    EXPECT_EQ(a.lon, b.lon);
    EXPECT_EQ(a.lat, b.lat);
    EXPECT_NEAR(b.lat, 2 * degree, 1e-14);
}

TEST(PLTLOC0, LatitudeIsNotReduced) {
    const Location at = locate(seriesText(zeroTerm("mean", 0), zeroTerm("mean", -3600 * 30)));
    EXPECT_NEAR(at.lat, -30 * degree, 1e-14);
}

TEST(PLTLOC0, DistanceForms) {
    struct Case {
        const char* header;
        double sum, divisor, distance;
    };
    const Case cases[] = {
        {"dist-exp", 0, 1, 1}, {"dist-exp", 4, 2, 100}, {"dist", 4, 2, 2},
        {"distance", 4, 2, 2}, {"dist-expo", 4, 2, 2},  {"dist-exp", -6, 3, 0.01},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        const std::string distance =
            std::string(c.header) + ", " + std::to_string(c.divisor) + "\r\n" + zeroTerm("mean", c.sum);
        EXPECT_NEAR(locate(seriesText("", "", distance)).dist, c.distance, 1e-14);
    }
}

TEST(PLTLOC0, NodeBlocksTurnInclinationThenNode) {
    const std::string zeros7 = "0 0 0 0 0 0 0\r\n";
    const std::string quarter = "324000 0 0 0 0 0 0\r\n"; // 90 degrees
    struct Case {
        const char* name;
        double lonDegrees;
        std::string nodes;
        DirectionVector expected;
    };
    const Case cases[] = {
        {"all zero", 30, "ascending-node\r\n" + zeros7 + "incl\r\n" + zeros7, unitVector(30 * degree, 0)},
        {"inclination 90", 90, "ascending-node\r\n" + zeros7 + "incl\r\n" + quarter, {0, 0, 1}},
        {"node 90", 0, "ascending-node\r\n" + quarter + "incl\r\n" + zeros7, {0, 1, 0}},
        {"two blocks apply in turn",
         0,
         "ascending-node\r\n" + quarter + "incl\r\n" + zeros7 + "another\r\n" + quarter + "incl\r\n" + zeros7,
         {-1, 0, 0}},
        {"node in T", 0, "ascending-node\r\n0 324000 0 0 0 0 0\r\nincl\r\n" + zeros7, {0, 1, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SeriesFile series = parseSeriesText(seriesText(zeroTerm("mean", c.lonDegrees * 3600), "",
                                                             "dist, 1\r\n" + zeroTerm("mean", 1), c.nodes),
                                                  "nodes.plt");
        SeriesArguments v{};
        v[0] = std::string(c.name) == "node in T" ? 1 : 0;
        expectVectorNear(seriesPosition(series, v), c.expected, 1e-14);
    }
}

TEST(PLTLOC0, FramesAndAberration) {
    const std::string text = seriesText(zeroTerm("mean", 3600 * 40), zeroTerm("mean", 3600 * 10));
    SeriesFrames frames;
    frames.j2000EclipticToTrueEcliptic = R3(0.1); // turns the frame: longitudes drop by 0.1
    frames.annualAberrationEcliptic = {-2e-5, 9e-5, 0};
    const Location plain = locate(text, 1.5, 0, 0, frames);
    EXPECT_NEAR(plain.lon, 40 * degree - 0.1, 1e-14);
    EXPECT_NEAR(plain.lat, 10 * degree, 1e-14);

    const Location apparent = locate(text, 1.5, 0, 1, frames);
    const DirectionVector u = rotate(R3(0.1), unitVector(40 * degree, 10 * degree));
    double lon, lat, r;
    ZENITH(u[0] - 2e-5, u[1] + 9e-5, u[2], lon, lat, r);
    EXPECT_NEAR(apparent.lon, lon, 1e-15);
    EXPECT_NEAR(apparent.lat, lat, 1e-15);
    EXPECT_EQ(apparent.dist, plain.dist); // the distance keeps its value
}

TEST(SeriesFile, ParsesToAValue) {
    const SeriesFile series =
        parseSeriesText(seriesText(term("#p", {1, 2, 3, 4, 5}, {{4, 2}}) + term("MEAN", {6, 7, 8, 9, 10}),
                                   zeroTerm("mean", 11), "dist-exp, 4\r\n" + zeroTerm("mean", 12),
                                   "ascending-node\r\n1 2 3 4 5 6 7\r\nincl\r\n7 6 5 4 3 2 1\r\n"),
                        "value.plt");
    ASSERT_EQ(series.longitude.terms.size(), 2u);
    EXPECT_EQ(series.longitude.terms[0].kind, SeriesTerm::Kind::periodic);
    EXPECT_EQ(series.longitude.terms[0].multipliers[1], 2);
    EXPECT_EQ(series.longitude.terms[0].values, (std::array<double, 5>{1, 2, 3, 4, 5}));
    EXPECT_EQ(series.longitude.terms[1].kind, SeriesTerm::Kind::MEAN);
    EXPECT_EQ(series.latitude.terms.at(0).values[0], 11);
    EXPECT_TRUE(series.logarithmicDistance);
    EXPECT_EQ(series.divisor, 4);
    EXPECT_EQ(series.distance.terms.at(0).values[0], 12);
    ASSERT_EQ(series.nodeBlocks.size(), 1u);
    EXPECT_EQ(series.nodeBlocks[0].node[6], 7);
    EXPECT_EQ(series.nodeBlocks[0].inclination[6], 1);
}

TEST(SeriesFile, FaultsAreDataFileErrors) {
    struct Case {
        const char* fixture;
        int line;
    };
    const Case cases[] = {
        {"series-truncated.plt", 4},    // ends inside a term
        {"series-missing-end.plt", 7},  // no "end" after the node block
        {"series-zero-divisor.plt", 4}, // the divisor's own line
        {"series-text-in-term.plt", 3}, // "zero" where a multiplier belongs
        {"no-such-series.plt", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        try {
            double lon, lat, dist;
            PLTLOC0(StartupTables{}, {}, fixture(c.fixture), 1.5, 0, 0, lon, lat, dist);
            FAIL() << "no error";
        } catch (const DataFileError& error) {
            EXPECT_EQ(error.line(), c.line);
            EXPECT_EQ(error.file().filename(), c.fixture);
        }
    }
}

// Truncated and garbled series files are refused with DataFileError and nothing else.
TEST(SeriesFile, FuzzedFilesOnlyEverThrowDataFileError) {
    const std::string source =
        seriesText(term("#p", {1, 2, 3, 4, 5}, {{4, 2}}) + "label\r\n" + term("MEAN", {6, 7, 8, 9, 10}),
                   zeroTerm("mean", 11), "dist-exp, 4\r\n" + zeroTerm("mean", 12),
                   "ascending-node\r\n1 2 3 4 5 6 7\r\nincl\r\n7 6 5 4 3 2 1\r\nnext\r\n1 2 3 4 5 6 "
                   "7\r\ni\r\n1 2 3 4 5 6 7\r\n");
    const char alphabet[] = " ,:\r\n\"#-+.e0123456789xMEANmeandistlatitude";
    std::mt19937 random(11);
    for (int round = 0; round < 2000; ++round) {
        std::string text = source;
        if (random() % 2) text.resize(random() % (text.size() + 1));
        for (int k = random() % 5; k > 0 && !text.empty(); --k)
            text[random() % text.size()] = alphabet[random() % (sizeof alphabet - 1)];
        try {
            double lon, lat, dist;
            locateFromSeries(StartupTables{}, {}, parseSeriesText(text, "fuzz.plt"), 1.5, 1, 1, lon, lat,
                             dist);
            parseNutationText(text, "fuzz.txt");
        } catch (const DataFileError&) {
        }
    }
}
