#include "chartwin/nearest.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>

#include <gtest/gtest.h>
#include <unistd.h>

#include "astro/datafile.h"
#include "chartwin/pointing_readout.h"
#include "platform/files.h"
#include "chartwin/tests/click_fixture.h"
#include "platform/tests/named_pipe.h"

namespace nivora {
namespace {

using testing_support::ClickFixture;

std::string entries(const NearestList& l) {
    std::string s;
    for (int k = 0; k < l.nearestCount; ++k)
        s += l.nearestTexts[std::size_t(k)] + ";";
    return s;
}

// Descending order; among equal cosines the later-found first; a full list drops a smaller
// candidate and replaces its last entry by an equal one.
TEST(InsertNearest, KeepsTheNearestInOrder) {
    struct Case {
        const char* name;
        int max;
        std::vector<std::pair<double, const char*>> inserts;
        const char* expected;
    };
    const Case cases[] = {
        {"descending", 9, {{0.5, "a"}, {0.9, "b"}, {0.7, "c"}}, "b;c;a;"},
        {"ties: later first", 9, {{0.7, "a"}, {0.7, "b"}, {0.9, "c"}, {0.7, "d"}}, "c;d;b;a;"},
        {"full: smaller dropped", 2, {{0.9, "a"}, {0.8, "b"}, {0.7, "c"}}, "a;b;"},
        {"full: equal replaces the last", 2, {{0.9, "a"}, {0.8, "b"}, {0.8, "c"}}, "a;c;"},
        {"full: larger moves in", 2, {{0.9, "a"}, {0.8, "b"}, {0.95, "c"}}, "c;a;"},
    };
    for (const Case& c : cases) {
        NearestList l;
        for (const auto& [x, t] : c.inserts)
            insertNearest(l, c.max, x, t);
        EXPECT_EQ(entries(l), c.expected) << c.name;
    }
    // Ten candidates leave the nine nearest.
    NearestList l;
    for (int k = 0; k < 10; ++k)
        insertNearest(l, 9, 0.99 + k * 0.001, std::to_string(k));
    EXPECT_EQ(entries(l), "9;8;7;6;5;4;3;2;1;");
}

TEST(SearchBoxes, KindsAndTheirTests) {
    const double d = 1 / degreesPerRadian;
    struct Case {
        const char* name;
        double ra, dec;   // of the point, degrees
        int kind;
        double starRa, starDec;
        bool passes;
    };
    const Case cases[] = {
        {"plain box, inside", 100, 20, 1, 102, 22, true},
        {"plain box, declination beyond", 100, 20, 1, 100, 23.5, false},
        {"plain box, right ascension beyond", 100, 20, 1, 104, 20, false},
        {"north cap, any right ascension", 10, 85, 3, 250, 82.5, true},
        {"north cap, below it", 10, 85, 3, 10, 81.5, false},
        {"cap wins near right ascension 0", 0.2, 83.5, 3, 180, 81, true},
        {"south cap", 300, -86, 4, 20, -83.5, true},
        {"window across 0, from the east", 0.5, 10, 2, 359.8, 10, true},
        {"window across 0, from the west", 359.5, -10, 2, 0.7, -10, true},
        {"window across 0, far", 0.5, 10, 2, 200, 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SearchBox b = makeSearchBox(c.ra * d, c.dec * d);
        EXPECT_EQ(b.kind, c.kind);
        EXPECT_EQ(insideSearchBox(b, c.starRa, c.starDec), c.passes);
    }
}

class Nearest : public ClickFixture {
protected:
    // The chart turned toward a catalogue place, then clicked where the drawing puts it.
    void clickAt(double raDegrees, double decDegrees) {
        const DirectionVector u = unitVector(raDegrees / degreesPerRadian, decDegrees / degreesPerRadian);
        drawToward(u);
        const auto pixel = pixelOf(u);
        ASSERT_TRUE(pixel);
        clickPixel(pixel->x, pixel->y);
    }
    std::string entryLine(int k) {
        const std::string text = readout();
        const std::string mark = "\n" + std::string(k < 10 ? " " : "") + std::to_string(k) + ")";
        const auto at = text.find(mark);
        if (at == std::string::npos)
            return {};
        return text.substr(at + 1, text.find('\n', at + 1) - at - 1);
    }
};

// The faint list is read only when the chart was drawn to magnitude 6 or fainter.
TEST_F(Nearest, FaintListOnlyFromMagnitudeSix) {
    for (float limit : {5.5f, 6.0f}) {
        SCOPED_TRACE(limit);
        p().chartOptions.magnitudeLimit = limit;
        clickAt(281.2008, 37.5946);   // Zeta2 Lyr, 5.73, in the faint list
        if (limit < 6)
            EXPECT_EQ(entryLine(1).find("Zeta2 Lyr"), std::string::npos) << readout();
        else
            EXPECT_EQ(entryLine(1), " 1)HIP 91973, Zeta2 Lyr, 7 Lyr") << readout();
    }
}

// The search radius bounds the list: nothing beyond it is listed.
TEST_F(Nearest, RadiusBoundsTheList) {
    clickAt(279.2347, 38.7837);   // Vega
    EXPECT_NE(entryLine(1).find("Vega"), std::string::npos);
    ui().control("EDIT78").setText("0.05");
    clickPixel(p().clickPixel[0], p().clickPixel[1]);
    EXPECT_NE(entryLine(1).find("Vega"), std::string::npos);
    EXPECT_TRUE(entryLine(2).empty()) << readout();
    // A point 0.2 degrees away finds nothing within 0.1 degrees, and Vega within 0.5.
    const double step = 0.2 / 0.045;
    for (const auto& [radius, found] : {std::pair{"0.1", false}, std::pair{"0.5", true}}) {
        ui().control("EDIT78").setText(radius);
        clickPixel(p().clickPixel[0] + step, p().clickPixel[1]);
        EXPECT_EQ(entryLine(1).find("Vega") != std::string::npos, found) << radius << '\n' << readout();
        clickPixel(p().clickPixel[0] - step, p().clickPixel[1]);
    }
}

// Right ascension and declination in decimal degrees after "RA:" and ",Dec:" in a line.
std::pair<double, double> printedRaDec(const std::string& line) {
    const auto ra = line.find("RA:"), dec = line.find(",Dec:");
    if (ra == std::string::npos || dec == std::string::npos)
        return {0, 0};
    return {std::stod(line.substr(ra + 3)), std::stod(line.substr(dec + 5))};
}

// The Moon's mark clicked at its centre stands first, less than a pixel away. Its place under
// "True" is the one under "apparent" with the annual aberration taken out, as the clicked point's
// own place is: the Moon is seen at its light-time place.
TEST_F(Nearest, ClickedMoonIsFoundWhereItIsDrawn) {
    ui().control("EDIT1").setText("1000");
    ui().control("EDIT75").setText("40");   // under 10 arc seconds a pixel
    p().minuteOptions.raDecUnit = 1;
    draw();
    const PointPipeline pipeline(p());
    DirectionVector base = pipeline.bodyToBase(moonBody);
    double az, el, r;
    ZENITH(base[0], base[1], base[2], az, el, r);
    setCentre(az * degreesPerRadian + (az < 0 ? 360 : 0), el * degreesPerRadian);
    std::string raLine[3], pointLine[3];
    for (int frame : {1, 2}) {
        p().minuteOptions.sunDataFrame = std::uint8_t(frame);
        draw();
        const auto pixel = PointPipeline(p()).place(PointPipeline(p()).bodyToBase(moonBody));
        ASSERT_TRUE(pixel);
        clickPixel(pixel->x, pixel->y);
        const std::string text = readout();
        EXPECT_EQ(entryLine(1), " 1)Moon") << text;
        const auto at = text.find(" 1)Moon\n");
        ASSERT_NE(at, std::string::npos);
        raLine[frame] = text.substr(at + 8, text.find('\n', at + 8) - at - 8);
        const auto tag = text.find(frame == 1 ? "(apparent).\n" : "(True).\n");
        ASSERT_NE(tag, std::string::npos) << text;
        pointLine[frame] = text.substr(text.rfind('\n', tag) + 1, tag - text.rfind('\n', tag) - 1);
        const auto dst = raLine[frame].find("(Dst:");
        ASSERT_NE(dst, std::string::npos) << text;
        // The distance below ten arc seconds: "00am0s.ssas".
        EXPECT_EQ(raLine[frame].substr(dst, 10), "(Dst:00am0") << raLine[frame];
        EXPECT_NE(text.find("km, Radius:"), std::string::npos) << text;
    }
    const auto moonApparent = printedRaDec(raLine[1]), moonTrue = printedRaDec(raLine[2]);
    const auto pointApparent = printedRaDec(pointLine[1]), pointTrue = printedRaDec(pointLine[2]);
    const double c = std::cos(moonTrue.second / degreesPerRadian), arcSecond = 1.0 / 3600;
    EXPECT_GT(std::hypot((moonApparent.first - moonTrue.first) * c, moonApparent.second - moonTrue.second), 5 * arcSecond)
        << raLine[1] << '\n' << raLine[2];
    EXPECT_NEAR((moonApparent.first - moonTrue.first) * c, (pointApparent.first - pointTrue.first) * c, 0.1 * arcSecond);
    EXPECT_NEAR(moonApparent.second - moonTrue.second, pointApparent.second - pointTrue.second, 0.1 * arcSecond);
}

// A click on the point of the map where the Sun is: a star map lists the Sun there, the Earth
// map, whose points are places on the Earth, does not (its towns are listed as before).
TEST_F(Nearest, TheEarthMapListsNoBodies) {
    struct Case {
        std::uint8_t earthMap;
        bool sunListed;
    };
    for (const Case c : {Case{0, true}, Case{1, false}}) {
        SCOPED_TRACE(int(c.earthMap));
        p().chartView.chartMode = mapChartMode;
        p().chartView.earthMap = c.earthMap;
        ui().control("COMBO5").setIndex(3);
        ui().control("EDIT75").setText("1");
        draw();
        const SkyFrames& sky = p().drawn.sky;
        const auto& sun = p().drawn.bodies.bodyPositions[sunBody];
        const DirectionVector icrf = rotate(sky.meanEquatorToIcrf, rotate(sky.trueEquatorToMeanEquator,
                                            rotate(sky.trueEclipticToTrueEquator, {sun[0], sun[1], sun[2]})));
        drawToward(icrf);
        const auto pixel = pixelOf(icrf);
        ASSERT_TRUE(pixel);
        clickPixel(pixel->x, pixel->y);
        EXPECT_EQ(readout().find(")Sun\n") != std::string::npos, c.sunListed) << readout();
    }
    // A town is still found where it is drawn.
    clickAt(139.6917, 35.6895);
    EXPECT_NE(entryLine(1).find("Tokyo"), std::string::npos) << readout();
}

// "Search in File by Click" with the form set as the sample file's header says: clicking the
// Moon's mark at 22:00 lists the Moon and the file's 22:00 Moon row, with its body and time.
TEST_F(Nearest, DataFileRowsAreListedWithTheirFields) {
    p().chartOptions.refractionOn = 0;
    ui().control("CHECK6").setValue(1);
    ui().control("EDIT54").setText("tokyo10828.txt");
    ui().control("COMBO3").setIndex(0);
    const std::pair<const char*, const char*> fields[] = {
        {"EDIT20", "12"}, {"EDIT21", "7"}, {"EDIT22", "27"}, {"EDIT23", "6"}, {"EDIT29", "#"},
        {"EDIT50", "Body"}, {"EDIT44", "35"}, {"EDIT45", "7"}, {"EDIT51", "Time"}, {"EDIT46", "43"},
        {"EDIT47", "16"}};
    for (const auto& [name, text] : fields)
        ui().control(name).setText(text);
    ui().control("CHECK7").setValue(1);
    ui().control("CHECK8").setValue(1);
    draw();
    DirectionVector base = PointPipeline(p()).bodyToBase(moonBody);
    double az, el, r;
    ZENITH(base[0], base[1], base[2], az, el, r);
    setCentre(az * degreesPerRadian + (az < 0 ? 360 : 0), el * degreesPerRadian);
    draw();
    const auto pixel = PointPipeline(p()).place(PointPipeline(p()).bodyToBase(moonBody));
    ASSERT_TRUE(pixel);
    clickPixel(pixel->x, pixel->y);
    const std::string text = readout();
    // Our Moon and the sample's lie a few arc seconds apart: either may come first.
    const std::string moon = "Moon", row = "BodyMoon   ";
    const bool moonFirst = entryLine(1) == " 1)" + moon;
    EXPECT_EQ(entryLine(1), " 1)" + (moonFirst ? moon : row)) << text;
    EXPECT_EQ(entryLine(2), " 2)" + (moonFirst ? row : moon)) << text;
    EXPECT_NE(text.find("Az: 218.71,Elv: 38.31(Dst:"), std::string::npos) << text;
    EXPECT_NE(text.find("\nTime2026-08-28 22:00"), std::string::npos) << text;

    // A width from a format file far past every line pads no further than the longest line.
    ui().control("EDIT47").setText("100000");
    clickPixel(pixel->x, pixel->y);
    const std::string wide = readout();
    const auto at = wide.find("\nTime2026-08-28 22:00");
    ASSERT_NE(at, std::string::npos) << wide;
    const std::string timeRow = wide.substr(at + 1, wide.find('\n', at + 1) - at - 1);
    const auto sample = readLines(std::filesystem::path(NIVORA_DATA_DIR) / "tokyo10828.txt");
    ASSERT_TRUE(sample);
    std::size_t longest = 0;
    for (const std::string& line : *sample)
        longest = std::max(longest, line.size());
    EXPECT_EQ(timeRow.size(), 4 + (longest - 43 + 1)) << timeRow;   // "Time", then column 43 on
}

// A format file's widths far past what the form takes, over a data file with a line of a
// megabyte: the readout shows each field as far as the widest typed width would, and is built
// no larger (eight megabytes before).
TEST_F(Nearest, AWideFormatOverALongLineShowsWhatATypedWidthWould) {
    p().chartOptions.refractionOn = 0;
    draw();
    const DirectionVector centre = rotate(p().drawn.sky.baseToIcrf, rotate(p().drawn.sky.chartToBase, {0, 0, 1}));
    double az, el;
    azimuthElevation(centre, az, el);
    char coordinates[32];
    std::snprintf(coordinates, sizeof coordinates, "%9.4f %9.4f ", az, el);
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("nivora-wide-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(file) << coordinates << std::string(1000000, 'x') << "\n" << coordinates << "short\n";
    ui().control("CHECK6").setValue(1);
    ui().control("EDIT54").setText(file.string());
    ui().control("COMBO3").setIndex(0);
    const std::pair<const char*, const char*> columns[] = {
        {"EDIT20", "1"}, {"EDIT22", "11"}, {"EDIT50", "Whole"}, {"EDIT44", "1"}, {"EDIT51", "Rest"}, {"EDIT46", "21"}};
    for (const auto& [name, text] : columns)
        ui().control(name).setText(text);
    ui().control("CHECK7").setValue(1);
    ui().control("CHECK8").setValue(1);
    const auto pixel = pixelOf(centre);
    ASSERT_TRUE(pixel);
    std::string shown[2];
    for (int k = 0; k < 2; ++k) {
        for (const char* width : {"EDIT21", "EDIT23", "EDIT45", "EDIT47"})
            ui().control(width).setText(k == 0 ? "2000000000" : "999");
        clickPixel(pixel->x, pixel->y);
        shown[k] = readout();
    }
    std::filesystem::remove(file);
    EXPECT_TRUE(alerts().empty());
    // Both rows lie at the point: the later found stands first.
    EXPECT_NE(shown[0].find(" 1)Whole" + std::string(coordinates) + "short"), std::string::npos);
    EXPECT_NE(shown[0].find(" 2)Whole" + std::string(coordinates) + "xxx"), std::string::npos);
    EXPECT_EQ(shown[0], shown[1]);
    EXPECT_LT(shown[0].size(), 16u * 999);
}

} // namespace
} // namespace nivora

namespace nivora {
namespace {

// A star list or constellation list that cannot be read: one "ALERT" names it and the readout
// goes on without it.
TEST_F(Nearest, UnreadableListsAreLeftOutWithOneAlert) {
    clickAt(279.2347, 38.7837);   // Vega
    ASSERT_TRUE(alerts().empty());
    p().dataFileSettings.dataFiles[0][constellationList] = "no-such-list.txt";
    clickPixel(p().clickPixel[0], p().clickPixel[1]);
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_NE(alerts()[0].find("no-such-list.txt"), std::string::npos);
    EXPECT_NE(readout().find("\nLyr,"), std::string::npos) << readout();   // the key itself
    EXPECT_NE(entryLine(1).find("Vega"), std::string::npos);
    p().dataFileSettings.dataFiles[0][firstStarList] = "no-such-stars.txt";
    clickPixel(p().clickPixel[0], p().clickPixel[1]);
    ASSERT_EQ(alerts().size(), 2u);
    EXPECT_NE(alerts()[1].find("no-such-stars.txt"), std::string::npos);
    EXPECT_TRUE(ui().form("FORM6").visible());
    EXPECT_TRUE(entryLine(1).empty()) << readout();

    // The data file of "Search in File by Click" likewise, when it is there but cannot be read.
    const std::filesystem::path huge =
        std::filesystem::temp_directory_path() / ("nivora-huge-" + std::to_string(::getpid()) + ".txt");
    std::ofstream(huge).close();
    std::filesystem::resize_file(huge, maxDataFileBytes + 1);   // sparse: costs no disk
    ui().control("CHECK6").setValue(1);
    ui().control("EDIT54").setText(huge.string());
    clickPixel(p().clickPixel[0], p().clickPixel[1]);
    std::filesystem::remove(huge);
    ASSERT_EQ(alerts().size(), 4u);   // the data file is scanned first, then the star list again
    EXPECT_EQ(alerts()[2], "\"" + huge.string() + "\": expected a data file of at most 64 MB");
}

// A data file for "Search in File by Click" that is no plain file, or a link that cannot be
// followed, is named with the reader's own reason; only one that is not there at all is passed
// over without a word.
TEST_F(Nearest, ADataFileThatIsNoPlainFileIsNamedByTheClick) {
    namespace fs = std::filesystem;
    clickAt(279.2347, 38.7837);   // Vega
    ASSERT_TRUE(alerts().empty());
    const fs::path folder = fs::temp_directory_path() / ("nivora-kinds-" + std::to_string(::getpid()));
    fs::create_directories(folder / "sub");
    const NamedPipe pipe(folder / "pipe.txt");
    fs::create_symlink("loop.txt", folder / "loop.txt");
    fs::create_symlink("gone.txt", folder / "dangling.txt");
    struct Case {
        const char* name;
        std::string expected;   // empty: no alert
    };
    const Case cases[] = {
        {"sub", "a data file, not a folder"},
        {"pipe.txt", "a plain data file, not a device or pipe"},
        {"loop.txt", "a readable data file (" + std::generic_category().message(ELOOP) + ")"},
        {"none.txt", ""},
        {"dangling.txt", ""},
    };
    ui().control("CHECK6").setValue(1);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui().control("EDIT54").setText((folder / c.name).string());
        const std::size_t before = alerts().size();
        clickPixel(p().clickPixel[0], p().clickPixel[1]);
        if (c.expected.empty()) {
            EXPECT_EQ(alerts().size(), before);
        } else {
            ASSERT_EQ(alerts().size(), before + 1);
            EXPECT_EQ(alerts().back(), "\"" + (folder / c.name).string() + "\": expected " + c.expected);
        }
        EXPECT_NE(entryLine(1).find("Vega"), std::string::npos);
    }
    EXPECT_EQ(fs::symlink_status(folder / "pipe.txt").type(), fs::file_type::fifo);
    fs::remove_all(folder);
}

} // namespace
} // namespace nivora
