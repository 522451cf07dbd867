#include "chartwin/file_search.h"

#include <cmath>
#include <functional>

#include <gtest/gtest.h>
#include <system_error>

#include <sys/stat.h>

#include "chartwin/click.h"
#include "chartwin/overlay_drawing.h"
#include "render/pipeline.h"
#include "chartwin/tests/search_fixture.h"

namespace nivora {
namespace {

class FileSearch : public testing_support::SearchRoom {
protected:
    void SetUp() override
    {
        SearchRoom::SetUp();
        bindFileSearch(*p_);
        bindOverlayDrawing(*p_);
        // The sample's header: rows "Body" and "Time".
        set("EDIT54", "tokyo10828.txt");
        ui().control("COMBO3").setIndex(0);
        row(1, "Body", "35", "7");
        row(2, "Time", "43", "16");
    }
    void row(int k, const std::string& title, const std::string& column, const std::string& width, bool on = true)
    {
        const char* names[4][4] = {{"CHECK7", "EDIT50", "EDIT44", "EDIT45"},
                                   {"CHECK8", "EDIT51", "EDIT46", "EDIT47"},
                                   {"CHECK9", "EDIT52", "EDIT48", "EDIT49"},
                                   {"CHECK10", "EDIT55", "EDIT56", "EDIT57"}};
        ui().control(names[k - 1][0]).setValue(on ? 1 : 0);
        set(names[k - 1][1], title);
        set(names[k - 1][2], column);
        set(names[k - 1][3], width);
    }
    void search(const std::string& keyword, int k)
    {
        set("EDIT53", keyword);
        ui().userClick(("BUTTON" + std::to_string(26 + k)).c_str());
    }
};

TEST_F(FileSearch, TheSampleListsTheFiveBodiesAtTenPm) {
    search("22:00", 2);
    EXPECT_EQ(pointingText(),
              "Search in \"Time\"\n by Keyword\n\"22:00\"\n"
              " 1)BodyMoon   \n  Az: 218.7degree,Elv: 38.3degree\n  Time2026-08-28 22:00\n"
              " 2)BodyVenus  \n  Az:  84.8degree,Elv:-25.4degree\n  Time2026-08-28 22:00\n"
              " 3)BodyMars   \n  Az: 330.4degree,Elv:-24.7degree\n  Time2026-08-28 22:00\n"
              " 4)BodyJupiter\n  Az:   4.9degree,Elv:-36.7degree\n  Time2026-08-28 22:00\n"
              " 5)BodySaturn \n  Az: 255.5degree,Elv: 24.0degree\n  Time2026-08-28 22:00\n");
    EXPECT_GE(pointingHeight(), 85 + 51 * 5);
    EXPECT_TRUE(alerts().empty());

    search("Moon", 1);   // 72 rows: nine, then "Too Many."
    EXPECT_EQ(pointingText().substr(pointingText().rfind('\n') + 1), "Too Many.");
    EXPECT_GE(pointingHeight(), 561);
    search("moon", 1);   // letter case counts
    EXPECT_EQ(pointingText().substr(pointingText().rfind("\n", pointingText().size() - 2) + 1),
              "Any data does not exist.\n");
    EXPECT_GE(pointingHeight(), 102);
    search("22:00", 1);  // only outside the searched field
    EXPECT_NE(pointingText().find("Any data does not exist."), std::string::npos);
    search("astronomy", 2);   // only in comment lines
    EXPECT_NE(pointingText().find("Any data does not exist."), std::string::npos);
}

TEST_F(FileSearch, RowsThreeAndFourFollowACommaWhateverRowTwoDoes) {
    row(2, "Time", "43", "16", false);
    row(3, "Mag", "63", "5");
    row(4, "Hr", "1", "3");
    row(1, "Body", "35", "7", false);
    search("2026-08-28 22:00", 2);   // an unticked row is still searched
    const std::string text = pointingText();
    EXPECT_NE(text.find(" 1)(from DATA FILE)\n"), std::string::npos);
    EXPECT_NE(text.find("\n  ,Mag-12.6,Hr22h\n"), std::string::npos);
}

TEST_F(FileSearch, SettingsThatCannotBeUsedAreRefused) {
    struct Case { const char* what; std::function<void()> change; int row; std::string alert; };
    const std::string tooLarge = writeTooLarge("huge.txt");
    const std::vector<Case> cases = {
        {"empty keyword", [this] { set("EDIT53", ""); }, 2, "Illegal setting."},
        {"a ticked row of width 0", [this] { row(1, "Body", "35", "0"); }, 3, "Illegal setting."},
        {"the searched row empty", [this] { row(3, "", "", "", false); }, 3, "Illegal setting."},
        {"latitude width 0", [this] { set("EDIT23", "0"); }, 2, "Illegal setting."},
        {"minutes without a field", [this] { ui().form("FORM4").setGroupCode("latitudeUnit", 2); }, 2,
         "Illegal setting."},
        {"no such file", [this] { set("EDIT54", "none.txt"); }, 2, "The File does not exist."},
        {"empty path", [this] { set("EDIT54", ""); }, 2, "The File does not exist."},
        {"a folder", [this] { set("EDIT54", "."); }, 2, readerSays(".", "a data file, not a folder")},
        {"a named pipe", [this] { ::mkfifo(path("pipe.txt").c_str(), 0600), set("EDIT54", "pipe.txt"); }, 2, 
         readerSays("pipe.txt", "a plain data file, not a device or pipe")},
        {"a loop", [this] { std::filesystem::create_symlink("loop.txt", path("loop.txt")), set("EDIT54", "loop.txt"); }, 2, 
         readerSays("loop.txt", "a readable data file (" + std::generic_category().message(ELOOP) + ")")},
        {"too large", [this] { writeTooLarge("huge.txt"), set("EDIT54", "huge.txt"); }, 2, tooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        row(3, "Mag", "63", "5");
        ui().form("FORM6").print("kept");
        set("EDIT53", "22:00");
        c.change();
        ui().userClick(("BUTTON" + std::to_string(26 + c.row)).c_str());
        ASSERT_EQ(alerts().size(), 1u);
        EXPECT_EQ(alerts()[0], c.alert);
        EXPECT_EQ(pointingText(), "kept\n");
    }
}

// Equatorial records in hours and minutes and in degrees and minutes; the minutes take the sign
// of the degrees' text.
TEST_F(FileSearch, HoursAndSexagesimalMinutes) {
    writeFile("eq.txt",
              "A          23 59.5 +83 30 first\n"
              "B           0  0.5 -00 30 second\n");
    set("EDIT54", "eq.txt");
    ui().control("COMBO3").setIndex(5);   // Equatorial(ICRF)
    ui().form("FORM4").setGroupCode("longitudeUnit", 3);
    ui().form("FORM4").setGroupCode("latitudeUnit", 2);
    set("EDIT20", "12"); set("EDIT21", "2");
    set("EDIT30", "15"); set("EDIT31", "4");
    set("EDIT22", "20"); set("EDIT23", "3");
    set("EDIT32", "24"); set("EDIT33", "2");
    row(1, "Name", "27", "6");
    row(2, "", "", "", false);
    struct Case { const char* keyword; const char* coordinates; double ra, dec; };
    const Case cases[] = {
        {"first", "  RA:23h59.5m,Dec:+83deg30arcm", 359.875, 83.5},
        {"second", "  RA: 0h 0.5m,Dec:-00deg30arcm", 0.125, -0.5},
    };
    p_->chartView.chartMode = mapChartMode;
    ui().control("COMBO5").setIndex(3);   // ICRF display frame
    setTokyo();
    drawAt("320", "1", 0, 90);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyword);
        search(c.keyword, 1);
        EXPECT_NE(pointingText().find(std::string("\n") + c.coordinates + "\n"), std::string::npos) << pointingText();
        const DirectionVector u = catalogueVector(c.ra, c.dec);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(p_->pointedPosition[4][i], u[i], 1e-12);
        const DirectionVector f0 = rotate(p_->searchSky.trueEquatorToBase, p_->pointedPosition[2]);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(p_->pointedPosition[0][i], f0[i], 1e-15);
    }
}

// One match on a drawn sky: frame 0 is where the overlay drew the record, so "x" lands on the
// mark, and frames 1-8 are those a click on the mark gives.
TEST_F(FileSearch, ASingleMatchIsWhereItsMarkIsDrawnAndClicked) {
    p_->overlayColors = {0x030201, 0x060504};
    ui().form("FORM4").setGroupCode("markShape", 4);
    writeFile("moon.txt", "22h         218.71         38.31  Moon    2026-08-28 22:00    -12.6\n");
    set("EDIT54", "moon.txt");
    for (const bool ticked : {true, false}) {
        SCOPED_TRACE(ticked);
        ui().control("CHECK5").setValue(ticked ? 1 : 0);
        setTokyo("22", "00");
        drawAt("1000", "4", 218.71, 38.31, 0);
        ui().userClick("BUTTON15");
        ASSERT_TRUE(alerts().empty());
        int mx = -1, my = -1;
        for (int y = 0; y < p_->chartBitmap.height(); ++y)
            for (int x = 0; x < p_->chartBitmap.width(); ++x)
                if (p_->chartBitmap.pixelRgb(x, y) == Rgb{1, 2, 3}) mx = x, my = y;
        ASSERT_GE(mx, 0);

        row(2, "Time", "43", "16");
        row(1, "Body", "35", "7");
        set("EDIT53", "Moon    2026-08-28 22:00");
        row(3, "Key", "35", "24", false);
        ui().userClick("BUTTON29");
        ASSERT_TRUE(ui().control("BUTTON76").enabled());
        const PointedFrames hit = p_->pointedPosition;
        const PointPipeline pipeline(*p_, PipelineTests{.refraction = false});
        const auto at = pipeline.place(hit[0]);
        ASSERT_TRUE(at);
        EXPECT_NEAR(at->x, mx, 0.6);
        EXPECT_NEAR(at->y, my, 0.6);

        PointedFrames clicked{};
        ASSERT_TRUE(locateClick(*p_, mx, my, clicked).onChart);
        const double pixel = pi / (1000 * 4);
        for (int f = 1; f <= 8; ++f) {
            SCOPED_TRACE(f);
            const double d = std::hypot(hit[f][0] - clicked[f][0], hit[f][1] - clicked[f][1],
                                        hit[f][2] - clicked[f][2]);
            EXPECT_LT(d, 1.5 * pixel);
        }
    }
}

} // namespace
} // namespace nivora
