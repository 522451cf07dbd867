#include "render/stars.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "astro/constants.h"
#include "render/drawing.h"
#include "render/pipeline.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

// A record in the columns of a list without proper motions.
std::string record(const char* number, double ra, double dec, double mag) {
    char line[120];
    std::snprintf(line, sizeof line, "%-7s%11.4f %10.4f %5s %5s %5s %5.2f name\r\n", number, ra, dec, "", "",
                  "", mag);
    return line;
}

const std::string motionHeader = "#number    RA(deg)   Dec(deg) proper-motion  HR    Fl    B-V   Mag  Name\r\n";

// The default chart's state at magnification 10 (about 18 pixels a degree), drawn without stars
// onto a bitmap that is then cleared, and the place of its centre in the ICRF.
class StarPass : public testing::Test {
protected:
    void SetUp() override {
        r.chartView.magnification = 10;
        r.chartOptions.magnitudeLimit = 0;
        ASSERT_TRUE(DRAWINGIMG(r));
        r.chartBitmap.clear(0);
        const DirectionVector centre =
            rotate(r.drawn.sky.baseToIcrf, rotate(r.drawn.sky.chartToBase, {0, 0, 1}));
        double lon, lat, length;
        ZENITH(centre[0], centre[1], centre[2], lon, lat, length);
        ra0 = lon * degreesPerRadian;
        if (ra0 < 0)
            ra0 += 360;
        dec0 = lat * degreesPerRadian;
        folder = std::filesystem::temp_directory_path() / ("nivora-stars-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // Where the pipeline puts a catalogue direction, in degrees.
    std::optional<ChartPixel> place(double ra, double dec) {
        return PointPipeline(r).placeCatalogue(r.drawn.sky.icrfToBase, catalogueVector(ra, dec));
    }
    int colourAt(const std::optional<ChartPixel>& p, int dx = 0) {
        return r.chartBitmap.pixel(int(std::lround(p->x)) + dx, int(std::lround(p->y)));
    }
    int litPixels() {
        int n = 0;
        for (int y = 0; y < r.chartBitmap.height(); ++y)
            for (int x = 0; x < r.chartBitmap.width(); ++x)
                n += r.chartBitmap.pixel(x, y) != 0;
        return n;
    }
    // Writes a list into the temporary folder and names it as the bright (0) or faint (1) list.
    void useList(int kind, const std::string& text) {
        const auto file = folder / (kind == 0 ? "bright.txt" : "faint.txt");
        std::ofstream(file, std::ios::binary) << text;
        r.dataFileSettings.dataFiles[0][std::size_t(kind)] = file.string();
    }
    StarList list(const std::string& text) { return parseStarListText(text, "t.txt"); }

    TestRecords r;
    double ra0 = 0, dec0 = 0;
    std::filesystem::path folder;
};

// The magnitude limit, the dot-or-disc rule at the defaults (A 1, B 7.5, size 320: a
// magnitude 0 star has radius 2.12) and the colours on both backgrounds.
TEST_F(StarPass, DrawsByMagnitudeAsDotOrDisc) {
    struct Case {
        double magnitude;
        float limit;
        bool drawn;
        bool disc;   // the pixel two to the right is lit
    };
    const Case cases[] = {
        {0.0, 4.5f, true, true},
        {4.49, 4.5f, true, false},   // radius 0.85: a disc of one or two pixels across
        {4.5, 4.5f, false, false},   // at the limit: not drawn
        {5.74, 9.5f, true, false},   // radius 0.498: one pixel
        {7.5, 9.5f, true, false},    // at the dot magnitude: one pixel
        {9.0, 9.5f, true, false},
    };
    for (int white : {0, 1})
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "magnitude " << c.magnitude << " white " << white);
            r.chartOptions.whiteBackground = std::uint8_t(white);
            r.chartOptions.magnitudeLimit = c.limit;
            r.chartBitmap.clear(white * 15);
            drawStarList(r, list(record("Ori0001", ra0, dec0, c.magnitude) + "#-\r\n"), true, {});
            const auto p = place(ra0, dec0);
            ASSERT_TRUE(p);
            const int star = 15 * (1 - white);
            EXPECT_EQ(colourAt(p), c.drawn ? star : white * 15);
            EXPECT_EQ(colourAt(p, 2), c.disc ? star : white * 15);
            EXPECT_EQ(colourAt(p, 4), white * 15);
            if (c.magnitude == 5.74 || c.magnitude == 7.5) {
                EXPECT_EQ(colourAt(p, 1), white * 15);
                EXPECT_EQ(colourAt(p, -1), white * 15);
            }
        }
}

// Only the bright list marks the chosen constellation.
TEST_F(StarPass, HighlightsTheChosenConstellationInTheBrightListOnly) {
    const StarList stars = list(record("Ori0001", ra0, dec0, 3) + record("And0001", ra0 + 1, dec0, 3) + "#-\r\n");
    const ConstellationChoice orion{1, "Ori"};
    r.chartOptions.magnitudeLimit = 9.5f;
    drawStarList(r, stars, true, orion);
    EXPECT_EQ(colourAt(place(ra0, dec0)), 11);
    EXPECT_EQ(colourAt(place(ra0 + 1, dec0)), 15);
    drawStarList(r, stars, false, orion);
    EXPECT_EQ(colourAt(place(ra0, dec0)), 15);
    drawStarList(r, stars, true, {0, "Ori"});
    EXPECT_EQ(colourAt(place(ra0, dec0)), 15);
}

// A right ascension is taken into 0..360 whatever its value; a declination beyond a pole skips
// its record and never reaches a table.
TEST_F(StarPass, BringsRightAscensionIntoRangeAndSkipsImpossibleDeclinations) {
    r.chartOptions.magnitudeLimit = 9.5f;
    for (double shift : {-360.0, 360.0, 720.0, -720.0}) {
        SCOPED_TRACE(shift);
        r.chartBitmap.clear(0);
        drawStarList(r, list(record("Xxx0001", ra0 + shift, dec0, 8) + "#-\r\n"), true, {});
        EXPECT_EQ(colourAt(place(ra0, dec0)), 15);
        EXPECT_EQ(litPixels(), 1);
    }
    r.chartBitmap.clear(0);
    drawStarList(r, list(record("Xxx0001", ra0, 95, 8) + record("Xxx0002", ra0, -90.5, 8) +
                         record("Xxx0003", ra0, 9999, 8) + "#-\r\n"),
                 true, {});
    EXPECT_EQ(litPixels(), 0);
}

// Once a header announces proper motions the star moves by them from J2000.0 to the date.
TEST_F(StarPass, MovesStarsByTheirProperMotion) {
    r.chartOptions.magnitudeLimit = 9.5f;
    char moving[160];
    // 100 degrees a century in declination (2.5 degrees by the default date), none in right
    // ascension.
    std::snprintf(moving, sizeof moving, "%-7s%11.4f %10.4f %6.0f %6.0f %5s %5s %5s %5.2f x\r\n", "Xxx0001", ra0,
                  dec0, 0.0, 999999.0, "", "", "", 8.0);
    drawStarList(r, list(motionHeader + moving + "#-\r\n"), true, {});
    const double moved = 999999.0 * r.drawn.sky.julianCenturies / 36000;
    const auto p = place(ra0, dec0 + moved);
    ASSERT_TRUE(p);
    EXPECT_GT(std::abs(p->y - place(ra0, dec0)->y), 3);   // far enough to tell apart
    EXPECT_EQ(colourAt(p), 15);
    EXPECT_EQ(litPixels(), 1);
}

// The star test reads the ICRF table with aberration; a cell outside the picture hides a star
// only in a single box.
TEST_F(StarPass, SkipsStarsInHiddenCells) {
    r.chartOptions.magnitudeLimit = 9.5f;
    const StarList star = list(record("Xxx0001", ra0, dec0, 8) + "#-\r\n");
    int i, j;
    visibilityCell(ra0 / degreesPerRadian, dec0 / degreesPerRadian, i, j);
    auto& cell = r.drawn.visibility.equatorVisibility[1][std::size_t(i)][std::size_t(j)];
    struct Case {
        int slot;
        std::uint8_t code;
        bool dualBox;
        bool drawn;
    };
    const Case cases[] = {
        {cellBelow, 1, false, false}, {cellBelow, 1, true, false},     {cellOutsideX, 5, false, false},
        {cellOutsideY, 4, false, false}, {cellOutsideX, 5, true, true}, {nodeBelow, 1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "slot " << c.slot << " dual " << c.dualBox);
        cell = {};
        cell[std::size_t(c.slot)] = c.code;
        r.chartView.dualBox = c.dualBox;
        r.chartBitmap.clear(0);
        drawStarList(r, star, true, {});
        EXPECT_EQ(litPixels(), c.drawn ? 1 : 0);
    }
    r.drawn.visibility.equatorVisibility[0][std::size_t(i)][std::size_t(j)][cellBelow] = 1;   // of date
    cell = {};
    r.chartView.dualBox = 0;
    r.chartBitmap.clear(0);
    drawStarList(r, star, true, {});
    EXPECT_EQ(litPixels(), 1);
}

// A cell whose corners lie beyond a limit may bow inside it: a disc drawn from there, beyond the
// box and its margin but within the limit, reaches into the picture and is kept.
TEST_F(StarPass, KeepsADiscThatReachesThePictureFromACellBeyondTheLimit) {
    r.chartOptions.magnitudeLimit = 9.5f;
    const ChartGeometry& g = r.drawn.geometry;
    const double areaEdge = g.boxHalfWidth + r.chartLayout.marginRight;
    ASSERT_LT(areaEdge + 4, g.halfWidthLimit);
    // A place a few pixels beyond the area, along the parallel of the centre.
    const auto justBeyond = [&](const std::optional<ChartPixel>& p) {
        return p && std::fabs(p->X) > areaEdge + 2 && std::fabs(p->X) < areaEdge + 6;
    };
    double ra = ra0;
    std::optional<ChartPixel> p;
    for (int k = 0; k < 20000 && !justBeyond(p); ++k) {
        ra = ra0 + k * 0.001;
        p = place(ra, dec0);
    }
    ASSERT_TRUE(justBeyond(p));
    int i, j;
    visibilityCell(ra / degreesPerRadian, dec0 / degreesPerRadian, i, j);
    r.drawn.visibility.equatorVisibility[1][std::size_t(i)][std::size_t(j)][cellOutsideX] = p->X > 0 ? 5 : 4;
    // A disc of about 10 pixels.
    drawStarList(r, list(record("Xxx0001", ra, dec0, -30) + "#-\r\n"), true, {});
    EXPECT_GT(litPixels(), 0);
}

// The faint list is read only from a limit of 6, neither list at 0; a list that is missing or
// lacks its end marker is named in one alert and the other list is still drawn.
TEST_F(StarPass, ReadsTheListsTheLimitAsksForAndSaysWhichOneFailed) {
    const std::string bright = record("Xxx0001", ra0, dec0, 2) + "#-\r\n";
    const std::string faint = record("Xxx0002", ra0 + 1, dec0, 5.8) + "#-\r\n";
    struct Case {
        float limit;
        const char* brightText;   // nullptr: no such file
        const char* faintText;
        bool brightDrawn, faintDrawn;
        const char* alertNames;   // the file the alert names, empty: none
    };
    const std::string noEnd = record("Xxx0002", ra0 + 1, dec0, 5.8);
    const Case cases[] = {
        {5.5f, bright.c_str(), nullptr, true, false, ""},
        {6.0f, bright.c_str(), faint.c_str(), true, true, ""},
        {6.5f, bright.c_str(), nullptr, true, false, "faint.txt"},
        {6.5f, bright.c_str(), noEnd.c_str(), true, false, "faint.txt"},
        {6.5f, nullptr, faint.c_str(), false, true, "bright.txt"},
        {0.0f, nullptr, nullptr, false, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "limit " << c.limit);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        useList(0, c.brightText ? c.brightText : "");
        useList(1, c.faintText ? c.faintText : "");
        if (!c.brightText)
            std::filesystem::remove(folder / "bright.txt");
        if (!c.faintText)
            std::filesystem::remove(folder / "faint.txt");
        r.chartOptions.magnitudeLimit = c.limit;
        r.dialogs->calls.clear();
        r.chartBitmap.clear(0);
        drawStars(r, {});
        EXPECT_EQ(colourAt(place(ra0, dec0)) == 15, c.brightDrawn);
        EXPECT_EQ(colourAt(place(ra0 + 1, dec0)) == 15, c.faintDrawn);
        const auto alerts = r.alerts();
        if (std::string(c.alertNames).empty()) {
            EXPECT_TRUE(alerts.empty());
        } else {
            ASSERT_EQ(alerts.size(), 1u);
            EXPECT_NE(alerts[0].find(c.alertNames), std::string::npos) << alerts[0];
        }
    }
}

// DRAWINGIMG draws the shipped lists: at 4.5 the bright stars only, at 9.5 many more.
TEST(Stars, TheDrawingDrawsTheShippedLists) {
    TestRecords r;
    int lit[2];
    int k = 0;
    for (float limit : {4.5f, 9.5f}) {
        r.chartOptions.magnitudeLimit = limit;
        r.chartBitmap.clear(0);
        ASSERT_TRUE(DRAWINGIMG(r));
        EXPECT_TRUE(r.alerts().empty());
        int n = 0;
        for (int y = 20; y < 340; ++y)
            for (int x = 20; x < 340; ++x)
                n += r.chartBitmap.pixel(x, y) == 15;
        lit[k++] = n;
    }
    EXPECT_GT(lit[0], 300);
    EXPECT_GT(lit[1], 3 * lit[0]);
}

} // namespace
} // namespace nivora
