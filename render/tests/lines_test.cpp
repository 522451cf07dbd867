#include "render/lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "astro/constants.h"
#include "render/drawing.h"
#include "render/pipeline.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

// A star map of the ICRF equator centred on right ascension 90, declination 0: the box centre
// is (180, 180), right ascension grows to the left, 5 degrees are about 9 pixels.
struct StarMap : TestRecords {
    StarMap()
    {
        chartView.chartMode = mapChartMode;
        ui.control("COMBO5").setIndex(3);
        ui.control("COMBO6").setIndex(4);
        set("EDIT12", "90");
        set("EDIT13", "0");
        set("EDIT64", "0");
        set("EDIT2", "0");
        set("EDIT3", "90");
        chartOptions.zenithGridStep = 0;
        chartOptions.equatorGridStep = 0;
        chartOptions.eclipticGridStep = 0;
        chartOptions.magnitudeLimit = 0;
    }
    ~StarMap() override { std::filesystem::remove(lineFile); }

    // Uses a line file of the given text for the sky set.
    void useLines(const std::string& text)
    {
        std::ofstream(lineFile) << text;
        dataFileSettings.dataFiles[0][3] = lineFile.string();
    }
    void highlight(int item)
    {
        ui.control("COMBO2").setIndex(item);
        ui.control("CHECK2").setValue(1);
    }
    // The colour at (x, y) and its neighbours within a pixel, the first that is not black.
    int colourNear(int x, int y) const
    {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (const int c = chartBitmap.pixel(x + dx, y + dy); c > 0 && c != 15)
                    return c;
        return 0;
    }
    std::filesystem::path lineFile =
        std::filesystem::temp_directory_path() / ("nivora-lines-" + std::to_string(::getpid()) + ".net");
};

// A segment record in the file's columns.
std::string segment(const char* key, double ra1, double dec1, double ra2, double dec2)
{
    char line[80];
    std::snprintf(line, sizeof line, "%-3s      %10.4f %10.4f %10.4f %10.4f\n", key, ra1, dec1, ra2, dec2);
    return line;
}

TEST(ConstellationLines, ColourBySectionKeyAndSwitch)
{
    // Ori's segment crosses the centre horizontally, And's vertically, each in its own section.
    const std::string file = "# fixture\n" + segment("Ori", 85, 0, 95, 0) + "#-\n" + segment("And", 90, -5, 90, 5) + "#-\n";
    struct Case {
        int lines, coloring, white;
        int horizontal, vertical;   // colours expected left and below the centre, 0 none
    };
    const Case cases[] = {
        {1, 0, 0, 1, 0},    // section A in grey, section B never
        {1, 0, 1, 1, 0},    // grey on white too
        {1, 1, 0, 10, 0},   // Ori highlighted on black
        {1, 1, 1, 11, 0},   // and on white
        {0, 1, 0, 10, 0},   // the highlight drawn with the lines switched off
        {0, 0, 0, 0, 0},    // nothing at all
    };
    for (const Case& c : cases) {
        StarMap r;
        r.useLines(file);
        r.chartOptions.constellationLines = std::uint8_t(c.lines);
        r.chartOptions.whiteBackground = std::uint8_t(c.white);
        if (c.coloring)
            r.highlight(1);   // "Ori Orion"
        r.chartBitmap.clear(0);
        ASSERT_TRUE(DRAWINGIMG(r));
        SCOPED_TRACE("lines " + std::to_string(c.lines) + " coloring " + std::to_string(c.coloring) +
                     " white " + std::to_string(c.white));
        EXPECT_EQ(r.colourNear(175, 180), c.horizontal);
        EXPECT_EQ(r.colourNear(180, 185), c.vertical);
        EXPECT_TRUE(r.alerts().empty());
    }
}

TEST(ConstellationLines, SectionBDrawnForTheHighlightedKeyOnly)
{
    StarMap r;
    r.useLines("#-\n" + segment("And", 90, -5, 90, 5) + segment("Ori", 85, 0, 95, 0) + "#-\n");
    r.highlight(0);   // "And Andromeda"
    ASSERT_TRUE(DRAWINGIMG(r));
    EXPECT_EQ(r.colourNear(180, 185), 10);
    EXPECT_EQ(r.colourNear(175, 180), 0);
}

TEST(ConstellationLines, EndsOutOfRange)
{
    struct Case {
        double ra1, dec1, ra2, dec2;
        bool drawn;
    };
    const Case cases[] = {
        {85, 0, 95, 0, true},
        {445, 0, 455, 0, true},     // a whole turn on: the same segment
        {-275, 0, -265, 0, true},   // a negative right ascension
        {85, 0, 95, 95, false},     // a declination beyond the pole drops the segment
        {85, -95, 95, 0, false},
    };
    for (const Case& c : cases) {
        StarMap r;
        r.useLines(segment("Ori", c.ra1, c.dec1, c.ra2, c.dec2) + "#-\n#-\n");
        ASSERT_TRUE(DRAWINGIMG(r));
        EXPECT_EQ(r.colourNear(175, 180) == 1, c.drawn) << c.ra1 << " " << c.dec2;   // beside the direction cross
    }
    // Right ascensions 360 and -10 land in the table's last column and beside it.
    StarMap r;
    r.set("EDIT12", "0");
    r.useLines(segment("Ori", 360, -5, 360, 5) + segment("Ori", -10, 0, 10, 0) + "#-\n#-\n");
    ASSERT_TRUE(DRAWINGIMG(r));
    EXPECT_EQ(r.colourNear(180, 185), 1);
    EXPECT_EQ(r.colourNear(185, 180), 1);
}

TEST(ConstellationLines, MissingFileOrMarkerAlertsOnce)
{
    {
        StarMap r;
        r.useLines(segment("Ori", 85, 0, 95, 0) + "#-\n" + segment("And", 90, -5, 90, 5));
        r.highlight(0);
        ASSERT_TRUE(DRAWINGIMG(r));
        EXPECT_EQ(r.colourNear(175, 180), 1);    // kept what was drawn
        EXPECT_EQ(r.colourNear(180, 185), 10);   // up to the file's end
        ASSERT_EQ(r.alerts().size(), 1u);
        EXPECT_NE(r.alerts()[0].find(r.lineFile.filename().string()), std::string::npos);
    }
    {
        StarMap r;
        r.dataFileSettings.dataFiles[0][3] = "no-such-lines.net";
        ASSERT_TRUE(DRAWINGIMG(r));
        ASSERT_EQ(r.alerts().size(), 1u);
        EXPECT_NE(r.alerts()[0].find("no-such-lines.net"), std::string::npos);
    }
}

TEST(ConstellationLines, ProjectionCuts)
{
    struct Case {
        int projection;
        double ra1, ra2;
        int x, y;      // a pixel the segment would cross
        bool drawn;
    };
    const Case cases[] = {
        {6, 90, 173, 175, 180, true},    // gnomonic: 83 degrees from the centre is kept
        {6, 90, 175, 175, 180, false},   // 85 degrees is cut
        {4, 85, 95, 175, 180, true},     // Mercator
        {4, 265, 275, 180, 180, false},  // a segment across the seam behind the centre
        {11, 265, 275, 180, 180, false}, // equirectangular likewise
    };
    for (const Case& c : cases) {
        StarMap r;
        r.chartOptions.projectionKind = std::uint8_t(c.projection);
        r.useLines(segment("Ori", c.ra1, 0, c.ra2, 0) + "#-\n#-\n");
        ASSERT_TRUE(DRAWINGIMG(r));
        EXPECT_EQ(r.colourNear(c.x, c.y) == 1, c.drawn) << c.projection << " " << c.ra2;
    }
}

// Dual-Box star map, the centre at right ascension 90 on the equator: right ascension falls to
// the right, and past 0 the equator goes on in the second box from its left rim. A segment within
// the first box stops at the first box's edge (x 360); one from the first box into the second
// crosses their common rim (where the projection lets it pass).
TEST(ConstellationLines, DualBoxKeepsASegmentToItsBoxOrItsTwoBoxes)
{
    struct Case {
        int projection;
        double magnification, ra1, ra2;
        int insideX;          // a column of the segment in the first box
        bool pastTheEdge;     // any in columns 362 to 368, in the second box's area
    };
    const Case cases[] = {
        {1, 2, 90, 20, 330, false},   // both ends near: the line would run on to x 429
        {7, 2, 90, 20, 330, false},
        {7, 1, 5, 355, 335, true},    // 85 and 95 degrees out: from x 331 to 369, across the rim
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.projection << " " << c.magnification << " " << c.ra1 << " "
                                        << c.ra2);
        StarMap r;
        r.chartView.dualBox = 1;
        r.chartView.magnification = c.magnification;
        r.chartOptions.projectionKind = std::uint8_t(c.projection);
        r.makeBitmap();
        r.useLines(segment("Ori", c.ra1, 0, c.ra2, 0) + "#-\n#-\n");
        ASSERT_TRUE(DRAWINGIMG(r));
        const auto grey = [&](int x) {
            for (int y = 179; y <= 181; ++y)
                if (r.chartBitmap.pixel(x, y) == 1)
                    return true;
            return false;
        };
        EXPECT_TRUE(grey(c.insideX));
        bool past = false;
        for (int x = 362; x <= 368; ++x)
            past = past || grey(x);
        EXPECT_EQ(past, c.pastTheEdge);
    }
}

// A segment straight up the meridian of the default sky chart from altitude a1 to a2.
TEST(ConstellationLines, OneEndUnderTheHorizonDropsTheSegment)
{
    struct Case {
        double a1, a2;
        float depth;
        bool drawn;
    };
    const Case cases[] = {
        {5, 30, 0, true},
        {-5, 30, 0, false},
        {30, -5, 0, false},
        {-5, 30, 1.1f, true},   // everything under the horizon drawn
    };
    for (const Case& c : cases) {
        StarMap r;
        r.chartView.chartMode = skyChartMode;
        r.set("EDIT2", "+135.0");
        r.set("EDIT3", "+35.0");
        r.ui.control("COMBO6").setIndex(0);
        r.set("EDIT12", "180");
        r.set("EDIT13", "20");
        r.chartOptions.refractionOn = 0;
        r.chartOptions.underHorizonDepth = c.depth;
        ASSERT_TRUE(DRAWINGIMG(r));
        // Right ascension and declination of a point due south at an altitude, from the drawing.
        const auto radec = [&](double altitude) {
            const double a = altitude / degreesPerRadian;
            const DirectionVector w{-std::cos(a), 0, std::sin(a)};
            const DirectionVector u = rotate(r.drawn.sky.baseToIcrf, w);
            double ra = std::atan2(u[1], u[0]) * degreesPerRadian;
            return std::pair{ra < 0 ? ra + 360 : ra, std::asin(u[2]) * degreesPerRadian};
        };
        const auto [ra1, dec1] = radec(c.a1);
        const auto [ra2, dec2] = radec(c.a2);
        r.useLines(segment("Ori", ra1, dec1, ra2, dec2) + "#-\n#-\n");
        r.chartBitmap.clear(0);
        ASSERT_TRUE(DRAWINGIMG(r));
        // Altitude 20 is the box centre; 10 degrees lie about 18 pixels up the chart.
        EXPECT_EQ(r.colourNear(180, 180 + 18), c.drawn ? 1 : 0) << c.a1 << " " << c.a2;
    }
}

// The shipped coasts and borders on the Earth map around Tokyo, Japan highlighted.
TEST(ConstellationLines, TheEarthMapOutlinesTheChosenNation)
{
    StarMap r;
    r.chartView.chartMode = mapChartMode;
    r.chartView.earthMap = 1;
    r.chartView.magnification = 4;
    r.ui.control("COMBO5").setIndex(3);
    r.ui.control("COMBO2").setItems({"JPN Japan", "KOR South Korea"});
    r.highlight(0);
    r.set("EDIT2", "+180.0");
    r.set("EDIT3", "+90.0");
    r.set("EDIT12", "139.6917");
    r.set("EDIT13", "35.6895");
    r.set("EDIT8", "2000");
    r.ui.control("COMBO1").setIndex(0);
    r.set("EDIT9", "1");
    r.set("EDIT10", "21");
    ASSERT_TRUE(DRAWINGIMG(r));
    EXPECT_TRUE(r.alerts().empty());
    const PointPipeline p(r);
    const auto tokyo = p.placeCatalogue(r.drawn.sky.icrfToBase, catalogueVector(139.6917, 35.6895));
    const auto seoul = p.placeCatalogue(r.drawn.sky.icrfToBase, catalogueVector(126.9784, 37.5660));
    ASSERT_TRUE(tokyo && seoul);
    EXPECT_NEAR(tokyo->x, 180, 1);
    EXPECT_NEAR(tokyo->y, 180, 1);
    EXPECT_LT(seoul->x, tokyo->x - 50);   // north up: Seoul west of Tokyo
    EXPECT_LT(seoul->y, tokyo->y);
    // Japan's outline in the highlight colour on every side of Tokyo, and no other nation's.
    const int x0 = int(std::lround(tokyo->x)), y0 = int(std::lround(tokyo->y));
    for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}}) {
        int reached = 0;
        for (int k = 1; k < 60 && !reached; ++k)
            if (r.chartBitmap.pixel(x0 + k * dx, y0 + k * dy) == 10)
                reached = k;
        EXPECT_GT(reached, 0) << dx << " " << dy;
    }
    EXPECT_EQ(r.chartBitmap.pixel(int(std::lround(seoul->x)), int(std::lround(seoul->y))) == 10, false);
}

} // namespace
} // namespace nivora
