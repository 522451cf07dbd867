#include "chartwin/overlay_drawing.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <system_error>

#include <sys/stat.h>

#include "render/culling.h"
#include "render/pipeline.h"
#include "chartwin/tests/search_fixture.h"

namespace nivora {
namespace {

constexpr std::int32_t markRgb = 0x030201;      // colours nothing else draws
constexpr std::int32_t commentRgb = 0x060504;

struct Pixel { int x, y; };

class Overlay : public testing_support::SearchRoom {
protected:
    void SetUp() override
    {
        SearchRoom::SetUp();
        bindOverlayDrawing(*p_);
        p_->overlayColors = {markRgb, commentRgb};
        set("EDIT54", "rows.txt");
        ui().control("COMBO3").setIndex(0);
        ui().form("FORM4").setGroupCode("markShape", 4);   // a dot: one pixel a record
    }
    // A row in the sample's columns: azimuth (or longitude) 12-18, altitude 27-32.
    static std::string row(const std::string& lon, const std::string& lat, const std::string& tag = "r")
    {
        std::string s = tag;
        s.resize(11, ' ');
        s += lon;
        s.resize(26, ' ');
        s += lat;
        return s;
    }
    void writeRows(const std::vector<std::string>& rows)
    {
        std::string text;
        for (const std::string& r : rows) text += r + "\n";
        writeFile("rows.txt", text);
    }
    std::vector<Pixel> pixelsOf(std::int32_t rgb) const
    {
        std::vector<Pixel> found;
        const ChartBitmap& b = p_->chartBitmap;
        const Rgb want{rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF};
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x)
                if (b.pixelRgb(x, y) == want) found.push_back({x, y});
        return found;
    }
    // A fresh zenith-centred Tokyo sky at 320 pixels, then "OverDraw".
    void drawAndOverdraw()
    {
        setTokyo();
        drawAt("320", "1", 0, 90);
        ui().userClick("BUTTON15");
    }
    // The texts "OverDraw" writes on a fresh chart.
    std::vector<DrawnText> overdrawnTexts()
    {
        std::vector<DrawnText> texts;
        setTokyo();
        drawAt("320", "1", 0, 90);
        p_->chartBitmap.recordTexts(&texts);
        ui().userClick("BUTTON15");
        p_->chartBitmap.recordTexts(nullptr);
        return texts;
    }
};

TEST_F(Overlay, OverDrawRefusesWhatItCannotDraw) {
    struct Case {
        const char* what;
        std::function<void()> change;
        std::string alert;   // empty: none, marks drawn
    };
    writeRows({row("0", "45")});
    const std::string tooLarge = writeTooLarge("huge.txt");
    const std::vector<Case> cases = {
        {"drawn", [] {}, ""},
        {"empty path", [this] { set("EDIT54", ""); }, "Some Settings are odd."},
        {"missing file", [this] { set("EDIT54", "none.txt"); }, "The File does not exist."},
        {"a folder", [this] { set("EDIT54", "."); }, readerSays(".", "a data file, not a folder")},
        {"a named pipe", [this] { ::mkfifo(path("pipe.txt").c_str(), 0600), set("EDIT54", "pipe.txt"); }, 
         readerSays("pipe.txt", "a plain data file, not a device or pipe")},
        {"a loop", [this] { std::filesystem::create_symlink("loop.txt", path("loop.txt")), set("EDIT54", "loop.txt"); }, 
         readerSays("loop.txt", "a readable data file (" + std::generic_category().message(ELOOP) + ")")},
        {"too large", [this] { set("EDIT54", "huge.txt"); }, tooLarge},
        {"latitude width 0", [this] { set("EDIT23", "0"); }, "Some Settings are odd."},
        {"longitude column empty", [this] { set("EDIT20", ""); }, "Some Settings are odd."},
        {"minutes without a field",
         [this] { ui().form("FORM4").setGroupCode("longitudeUnit", 3); }, "Some Settings are odd."},
        {"size typed", [this] { ui().userType("EDIT1", "320.4"); }, "The Size of Image has changed."},
        {"layout chosen", [this] { ui().userClick("RADIO29"); }, "The Size of Image has changed."},
        {"no chart window", [this] { ui().form("FORM2").hide(); }, "Main Picture do not exist."},
        // Text no column holds is named; it read as column 1e9 or as 0 before.
        {"longitude column beyond single precision", [this] { set("EDIT20", "9e99"); },
         "Column of Longitude must be a number from -3.4E+38 to 3.4E+38."},
        {"latitude width not a number", [this] { set("EDIT23", "nan"); },
         "Letters of Latitude must be a number from -3.4E+38 to 3.4E+38."},
        {"minutes column infinite",
         [this] {
             ui().form("FORM4").setGroupCode("longitudeUnit", 2);
             set("EDIT30", "-inf");
         },
         "Column of Longitude minutes must be a number from -3.4E+38 to 3.4E+38."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        setTokyo();
        drawAt("320", "1", 0, 90);
        ui().userClick("RADIO27");
        set("EDIT54", "rows.txt");
        set("EDIT20", "12");
        set("EDIT23", "6");
        ui().form("FORM4").setGroupCode("longitudeUnit", 1);
        c.change();
        const std::size_t before = alerts().size();
        ui().userClick("BUTTON15");
        if (!c.alert.empty()) {
            ASSERT_EQ(alerts().size(), before + 1);
            EXPECT_EQ(alerts().back(), c.alert);
            EXPECT_TRUE(pixelsOf(markRgb).empty());
        } else {
            EXPECT_EQ(alerts().size(), before);
            EXPECT_EQ(pixelsOf(markRgb).size(), 1u);
        }
    }
}

// A record whose coordinate no number holds is skipped as one beyond the pole is; it still
// counts as a data line.
TEST_F(Overlay, RecordsWithoutAHeldCoordinateAreSkipped) {
    writeRows({row("9e99", "45"), row("-inf", "45"), row("nan", "45"), row("1e400", "45"), row("90", "1e39"),
               row("0", "95"), row("90", "45"), row("180", "45")});
    ui().form("FORM4").setGroupCode("commentMode", 3);
    set("EDIT28", "6");
    const std::vector<DrawnText> texts = overdrawnTexts();
    EXPECT_EQ(pixelsOf(markRgb).size(), 1u);
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, " 6");
}

// Optional fields that cannot be read fall back to a cross, and to no comment.
TEST_F(Overlay, UnusableOptionalFieldsFallBack) {
    writeRows({row("0", "45")});
    for (int shape : {2, 3, 5}) {
        SCOPED_TRACE(shape);
        ui().form("FORM4").setGroupCode("markShape", shape);
        set("EDIT25", "0");   // magnitude width
        set("EDIT37", "0");   // radius factor
        ui().form("FORM4").setGroupCode("commentMode", 2);
        set("EDIT27", "");    // comment width
        std::vector<DrawnText> texts;
        drawAndOverdraw();
        p_->chartBitmap.recordTexts(&texts);
        ui().userClick("BUTTON15");
        p_->chartBitmap.recordTexts(nullptr);
        EXPECT_GT(pixelsOf(markRgb).size(), 8u);   // a cross of 4 sqrt(0.32) pixels
        EXPECT_TRUE(texts.empty());
    }
}

// Data lines are counted whatever is drawn; comment lines are not.
TEST_F(Overlay, IntervalsCountDataLines) {
    std::vector<std::string> rows;
    for (int k = 0; k < 30; ++k) {
        if (k % 4 == 0) rows.push_back("# a comment line");
        rows.push_back(row(std::to_string(k * 12), "30"));
    }
    writeRows(rows);
    set("EDIT39", "3");
    drawAndOverdraw();
    EXPECT_EQ(pixelsOf(markRgb).size(), 10u);   // data lines 0, 3, ... 27

    set("EDIT39", "2");
    set("EDIT28", "6");
    ui().form("FORM4").setGroupCode("commentMode", 3);
    std::vector<std::string> comments;
    for (const DrawnText& t : overdrawnTexts()) comments.push_back(t.text);
    EXPECT_EQ(comments, (std::vector<std::string>{" 0", " 12", " 24"}));
    EXPECT_EQ(pixelsOf(markRgb).size(), 12u);
    EXPECT_EQ(pixelsOf(commentRgb).size() > 3, true);   // three dots and their texts
}

// A comment field's width from a format file places the comment, left of its mark, 9 pixels a
// letter away: a width of 477218589 once wrapped that distance round to 5 pixels.
TEST_F(Overlay, AHugeCommentWidthPutsTheCommentFarLeft) {
    writeRows({row("0", "45", "Sirius")});
    ui().form("FORM4").setGroupCode("commentMode", 2);
    ui().form("FORM4").setGroupCode("commentPosition", 1);
    set("EDIT26", "1");
    set("EDIT28", "1");
    std::vector<DrawnText> texts;
    for (const char* width : {"3", "477218589"}) {
        SCOPED_TRACE(width);
        set("EDIT27", width);
        setTokyo();
        drawAt("320", "1", 0, 90);
        p_->chartBitmap.recordTexts(&texts);
        ui().userClick("BUTTON15");
        p_->chartBitmap.recordTexts(nullptr);
    }
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "Sir");
    EXPECT_GT(texts[0].x, 0);
    EXPECT_EQ(texts[1].text, row("0", "45", "Sirius"));   // the field runs to the line's end
    EXPECT_LT(texts[1].x, -1e8);   // as far left as the longest line a data file holds
    EXPECT_TRUE(alerts().empty());
}

// Where records land: south-based azimuths, the horizon cut, hostile coordinates.
TEST_F(Overlay, HorizontalRecordsLandWhereTheyShould) {
    auto placeOf = [&](const char* frame, const std::string& lon, const std::string& lat) {
        ui().control("COMBO3").setIndex(std::string(frame) == "south" ? 1 : 0);
        writeRows({row(lon, lat)});
        drawAndOverdraw();
        return pixelsOf(markRgb);
    };
    struct Same { const char *southLon, *normalLon; };
    for (const Same& c : {Same{"0", "180"}, Same{"90", "270"}, Same{"200", "20"}}) {
        SCOPED_TRACE(c.southLon);
        const auto south = placeOf("south", c.southLon, "20");
        const auto normal = placeOf("normal", c.normalLon, "20");
        ASSERT_EQ(south.size(), 1u);
        ASSERT_EQ(normal.size(), 1u);
        EXPECT_EQ(south[0].x, normal[0].x);
        EXPECT_EQ(south[0].y, normal[0].y);
    }
    // The cut at the horizon depth: 0, 1 degree, "ALL".
    struct Depth { float depth; bool drawn; };
    for (const Depth& d : {Depth{0, false}, Depth{0.01745f, true}, Depth{1.1f, true}}) {
        SCOPED_TRACE(d.depth);
        p_->chartOptions.underHorizonDepth = d.depth;
        EXPECT_EQ(placeOf("normal", "45", "-0.5").size(), d.drawn ? 1u : 0u);
    }
    p_->chartOptions.underHorizonDepth = 0;
    // Longitudes of any size come round; latitudes beyond a pole and empty fields do no harm.
    const auto round = placeOf("normal", "-400", "30");
    const auto same = placeOf("normal", "320", "30");
    ASSERT_EQ(round.size(), 1u);
    EXPECT_EQ(round[0].x, same[0].x);
    EXPECT_EQ(round[0].y, same[0].y);
    EXPECT_EQ(placeOf("normal", "800", "30")[0].x, placeOf("normal", "80", "30")[0].x);
    EXPECT_TRUE(placeOf("normal", "45", "95").empty());
    EXPECT_EQ(placeOf("normal", "", "").size(), 1u);   // azimuth 0 on the horizon
    EXPECT_TRUE(alerts().empty());
}

// Dual-Box: a record behind the chart centre lands mirrored in the second box, as stars do.
TEST_F(Overlay, DualBoxMirrorsRecordsBehindTheCentre) {
    writeRows({row("0", "-60"), row("0", "60")});
    p_->chartOptions.underHorizonDepth = 1.1f;
    setTokyo();
    ui().userClick("RADIO29");
    drawAt("320", "1", 0, 90);
    ui().userClick("BUTTON15");
    const auto dots = pixelsOf(markRgb);
    ASSERT_EQ(dots.size(), 2u);
    const double boxPitch = 20 + 320 + 20;
    // The nadir-side record is the zenith-side one seen through the sphere: the same offset
    // from its box centre, with the horizontal axis mirrored.
    const double cx = 20 + 160;
    const Pixel& first = dots[0].x < dots[1].x ? dots[0] : dots[1];
    const Pixel& second = dots[0].x < dots[1].x ? dots[1] : dots[0];
    EXPECT_LT(first.x, 20 + 320 + 20);
    EXPECT_GT(second.x, 20 + 320 + 20);
    EXPECT_NEAR(second.x - boxPitch - cx, -(first.x - cx), 1.0);
    EXPECT_EQ(second.y, first.y);
}

// An ICRF record on a catalogue star lands where the chart draws that star (no proper motion),
// with the chart's refraction and diurnal aberration ticked on the form.
TEST_F(Overlay, AnIcrfRecordLandsOnItsStar) {
    ui().control("COMBO3").setIndex(5);
    ui().control("CHECK5").setValue(1);
    ui().control("CHECK12").setValue(1);
    writeRows({row("279.2347", "38.7837")});
    setTokyo();
    drawAt("1000", "4", 279.2347, 38.7837, 4);
    ui().userClick("BUTTON15");
    const auto dots = pixelsOf(markRgb);
    ASSERT_EQ(dots.size(), 1u);
    const PointPipeline stars(*p_);
    const auto star = stars.placeCatalogue(p_->drawn.sky.icrfToBase, catalogueVector(279.2347, 38.7837));
    ASSERT_TRUE(star);
    EXPECT_NEAR(dots[0].x, star->x, 0.5);
    EXPECT_NEAR(dots[0].y, star->y, 0.5);
}

// Scaled circles are sized for the projection drawn, not for one chosen since.
TEST_F(Overlay, ScaledCirclesFollowTheDrawnProjection) {
    std::string line = row("0", "60");
    line.resize(39, ' ');
    line += "10";   // degrees
    writeRows({line});
    set("EDIT35", "40");
    set("EDIT36", "6");
    set("EDIT37", "1");
    ui().form("FORM4").setGroupCode("radiusUnit", 1);
    auto widthOf = [&] {
        const auto dots = pixelsOf(markRgb);
        int lo = 1 << 30, hi = -1;
        for (const Pixel& d : dots) lo = std::min(lo, d.x), hi = std::max(hi, d.x);
        return hi - lo;
    };
    auto freshWidth = [&](int projection) {
        p_->chartOptions.projectionKind = std::uint8_t(projection);
        drawAndOverdraw();
        return widthOf();
    };
    struct Case { int drawn, chosen; };
    for (int shape : {3, 5}) {
        ui().form("FORM4").setGroupCode("markShape", shape);
        for (const Case& c : {Case{1, 6}, Case{6, 1}, Case{3, 11}, Case{2, 4}}) {
            SCOPED_TRACE(testing::Message() << "shape " << shape << ", drawn " << c.drawn
                                            << ", chosen " << c.chosen);
            const int want = freshWidth(c.drawn);
            ASSERT_GT(want, 10);
            ASSERT_NE(freshWidth(c.chosen), want);   // the two projections size it apart
            p_->chartOptions.projectionKind = std::uint8_t(c.drawn);
            setTokyo();
            drawAt("320", "1", 0, 90);
            p_->chartOptions.projectionKind = std::uint8_t(c.chosen);
            ui().userClick("BUTTON15");
            EXPECT_EQ(widthOf(), want);
        }
    }
    EXPECT_TRUE(alerts().empty());
}

// With "Draw by File" ticked the drawing itself draws the overlay, before the stars.
TEST_F(Overlay, TheDrawingDrawsTheOverlayWhenTicked) {
    writeRows({row("0", "45")});
    ui().control("CHECK4").setValue(1);
    setTokyo();
    drawAt("320", "1", 0, 90);
    EXPECT_EQ(pixelsOf(markRgb).size(), 1u);
    ui().control("CHECK4").setValue(0);
    set("EDIT54", "none.txt");
    drawAt("320", "1", 0, 90);
    EXPECT_TRUE(pixelsOf(markRgb).empty());
    ui().control("CHECK4").setValue(1);
    drawAt("320", "1", 0, 90);   // a missing file: nothing, silently
    EXPECT_TRUE(alerts().empty());
}

// The visibility tables pass over records only where none could be drawn: a lattice of records
// over the sky, and a fine one around the direction, overdrawn with the culls on and off.
TEST_F(Overlay, CullingKeepsEveryPixel) {
    struct Case {
        const char* what;
        int frame;               // COMBO3: 0 horizontal, 2 apparent equatorial
        double lon, lat;         // the direction, and the lattice's centre
        double half, step;       // the lattice, degrees
        const char* magnification;
        const char* layout;
        double below = 0;        // how far the direction lies below the lattice's centre
    };
    const Case cases[] = {
        {"the sky", 0, 200, 25, 90, 2, "1", "RADIO27"},
        {"the sky, Dual-Box", 0, 200, 25, 90, 2, "1", "RADIO29"},
        {"around azimuth 200", 0, 200, 25, 2.5, 0.05, "30", "RADIO27"},
        {"around azimuth 200", 0, 200, 25, 2.5, 0.05, "100", "RADIO27"},
        {"around azimuth 200", 0, 200, 25, 1, 0.02, "300", "RADIO27"},
        {"near the zenith", 0, 200, 86, 2.5, 0.05, "100", "RADIO27"},
        {"equatorial, around Orion", 2, 85, 0, 2.5, 0.05, "100", "RADIO27"},
        // A cell's lower edge, the circle of altitude 45, bows down into the box from above it.
        {"one record above a bowing edge", 0, 2.5, 45.001, 0, 1, "1000", "RADIO27", 0.0966},
    };
    p_->chartOptions.underHorizonDepth = 1.1f;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.what << ", magnification " << c.magnification);
        std::vector<std::string> rows;
        char lon[24], lat[24];
        for (double b = c.lat - c.half; b <= c.lat + c.half + 1e-9; b += c.step)
            for (double a = c.lon - c.half; a <= c.lon + c.half + 1e-9; a += c.step) {
                std::snprintf(lon, sizeof lon, "%.3f", a);
                std::snprintf(lat, sizeof lat, "%.3f", b);
                rows.push_back(row(lon, lat));
            }
        writeRows(rows);
        ui().control("COMBO3").setIndex(c.frame);
        setTokyo();
        ui().userClick(c.layout);
        const auto overdraw = [&] {
            drawAt("320", c.magnification, c.lon, c.lat - c.below, c.frame == 2 ? 1 : 0);
            ui().userClick("BUTTON15");
            return p_->chartBitmap.image().copy();
        };
        const QImage culled = overdraw();
        ASSERT_FALSE(pixelsOf(markRgb).empty());
        const CullingOff whole;
        EXPECT_TRUE(overdraw() == culled);
    }
    EXPECT_TRUE(alerts().empty());
}

} // namespace
} // namespace nivora

namespace nivora {
namespace {

struct Centre { double x = 0, y = 0; int count = 0; };

// The sample against the Moon: every Moon row above the horizon, the sky drawn for its time and
// turned toward it, the Moon and the row both drawn as crosses; the two crosses coincide.
TEST_F(Overlay, TheSamplesMoonRowsLandOnTheMoon) {
    std::vector<std::string> moonRows;
    {
        std::ifstream in(folder_ / "tokyo10828.txt");
        for (std::string line; std::getline(in, line);)
            if (line.find("Moon") == 34 && std::stod(line.substr(26, 6)) > 0)
                moonRows.push_back(line);
    }
    ASSERT_GT(moonRows.size(), 20u);
    ui().form("FORM4").setGroupCode("markShape", 1);
    ui().control("CHECK5").setValue(1);
    auto centreOf = [&](auto wanted) {
        Centre c;
        const ChartBitmap& b = p_->chartBitmap;
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < b.width(); ++x)
                if (wanted(x, y)) c.x += x, c.y += y, ++c.count;
        if (c.count) c.x /= c.count, c.y /= c.count;
        return c;
    };
    for (std::size_t k = 0; k < moonRows.size(); ++k) {
        const std::string& line = moonRows[k];
        SCOPED_TRACE(line);
        writeRows({line});
        setTokyo(line.substr(53, 2), line.substr(56, 2));
        set("EDIT9", line.substr(50, 2));
        const double az = std::stod(line.substr(11, 7)), alt = std::stod(line.substr(26, 6));
        p_->chartOptions.moonDisplayMode = 0;
        drawAt("1000", "4", az, alt, 0);
        const QImage without = p_->chartBitmap.image().copy();
        p_->chartOptions.moonDisplayMode = 3;
        drawAt("1000", "4", az, alt, 0);
        const Centre moon = centreOf([&](int x, int y) {
            return p_->chartBitmap.image().pixel(x, y) != without.pixel(x, y);
        });
        ui().userClick("BUTTON15");
        const Centre mark = centreOf([&](int x, int y) {
            return p_->chartBitmap.pixelRgb(x, y) == Rgb{1, 2, 3};
        });
        ASSERT_GT(moon.count, 0);
        ASSERT_GT(mark.count, 0) << (alerts().empty() ? "" : alerts().back());
        EXPECT_NEAR(mark.x, moon.x, 1.0);
        EXPECT_NEAR(mark.y, moon.y, 1.0);
    }
    EXPECT_TRUE(alerts().empty());
}

} // namespace
} // namespace nivora
