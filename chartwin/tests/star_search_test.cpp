#include "chartwin/star_search.h"

#include <gtest/gtest.h>

#include "astro/projection.h"
#include "render/pipeline.h"
#include "chartwin/tests/search_fixture.h"

namespace nivora {
namespace {

using StarSearch = testing_support::SearchRoom;

// Columns: number 1-7, RA 8-18, Dec 20-29, four fields from 31, 37, 43, 49, the name from 55.
std::string star(const std::string& number, const std::string& ra, const std::string& name,
                 const std::string& fields = " 7001     3 -0.00  0.03")
{
    return number + ra + "    38.7837 " + fields + " " + name;
}

const std::string header = "#number                        HR    Fl    B-V   Mag  Name";

std::string fixtureList()
{
    std::string s = "# A comment naming Zeta, which no record holds.\n" + header + "\n";
    s += star("Lyr0001", "   279.2347", "Vega") + "\n";
    s += star("Boo0001", "   213.9153", "Arcturus") + "\n";
    s += star("Xxx0003", "-179.987654", "") + "\n";
    for (int i = 0; i < 10; ++i)
        s += star("Gem000" + std::to_string(i), "   100.0000", "Twin " + std::to_string(i)) + "\n";
    s += "#-\n";
    s += star("Aft0001", "    10.0000", "After the end") + "\n";
    return s;
}

TEST_F(StarSearch, KeywordsListTheMatchingRecords) {
    writeFile("stars.txt", fixtureList());
    p_->dataFileSettings.dataFiles[0][0] = "stars.txt";
    struct Case { const char* keyword; int matches; int height; const char* lastLine; };
    const Case cases[] = {
        {"Vega", 1, 136, "HR  : 7001,Fl  :    3,B-V :-0.00,Mag : 0.03"},
        {"vega", 0, 102, "Any data does not exist."},           // letter case counts
        {"Zeta", 0, 102, "Any data does not exist."},           // only in a "#" line
        {"Mag", 0, 102, "Any data does not exist."},            // only in the header
        {"After", 0, 102, "Any data does not exist."},          // after "#-"
        {"Twin", 10, 561, "Too Many."},
        {"38.78", 10, 561, "Too Many."},                        // anywhere in the line
        {"Xxx", 1, 136, "HR  : 7001,Fl  :    3,B-V :-0.00,Mag : 0.03"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyword);
        set("EDIT104", c.keyword);
        ui().userClick("BUTTON73");
        std::string text = pointingText();
        if (text.ends_with('\n'))
            text.pop_back();
        EXPECT_EQ(text.substr(0, text.find('\n', text.find('"'))),
                  std::string("\nSearch by Keyword\n\"") + c.keyword + "\"");
        EXPECT_EQ(text.substr(text.rfind('\n') + 1), c.lastLine);
        EXPECT_EQ(searchListingHeight(c.matches, 9), c.height);
        // The window grows where its lines would be clipped.
        EXPECT_GE(pointingHeight(), c.height);
        EXPECT_TRUE(ui().form("FORM6").visible());
    }
    EXPECT_TRUE(alerts().empty());

    set("EDIT104", "Twin");
    ui().userClick("BUTTON73");
    EXPECT_NE(pointingText().find(" 9)Twin 8\n"), std::string::npos);
    EXPECT_EQ(pointingText().find("Twin 9"), std::string::npos);
}

TEST_F(StarSearch, OneMatchPrintsItsThreeLines) {
    writeFile("stars.txt", fixtureList());
    p_->dataFileSettings.dataFiles[0][0] = "stars.txt";
    set("EDIT104", "Xxx");
    ui().userClick("BUTTON73");
    EXPECT_EQ(pointingText(), "\nSearch by Keyword\n\"Xxx\"\n"
                              " 1)(a dark star)\n"
                              "RA:179.987654deg,Dec:   38.7837deg.\n"
                              "HR  : 7001,Fl  :    3,B-V :-0.00,Mag : 0.03");
}

// The shipped list announces proper motion: the fields and the name sit 14 columns further.
TEST_F(StarSearch, ProperMotionListsAndStarCodeComments) {
    set("EDIT104", "Alpha Lyr");
    ui().userClick("BUTTON73");
    EXPECT_EQ(pointingText(), "\nSearch by Keyword\n\"Alpha Lyr\"\n"
                              " 1)HIP 91262, Alpha Lyr, 3 Lyr, Vega\n"
                              "RA:  279.2347deg,Dec:   38.7837deg.\n"
                              "HR  : 7001,Fl  :    3,B-V :-0.00,Mag : 0.03");
    ui().load(FormSpec{"FORM5", "Minute Option",
                       {{.kind = ControlKind::Radio, .name = "RADIO54", .group = "searchComment",
                         .position = 2, .value = 1}}});
    ui().userClick("BUTTON73");
    EXPECT_EQ(pointingText().substr(pointingText().rfind('\n') + 1), "No.:Lyr0001,Mag : 0.03.");
}

// In the Earth map the cities list gives its longitude from column 8, sign included.
TEST_F(StarSearch, TheEarthMapReadsColumnEight) {
    writeFile("cities-test.txt", fixtureList());
    p_->dataFileSettings.dataFiles[1][0] = "cities-test.txt";
    p_->chartView.earthMap = 1;
    set("EDIT104", "Xxx");
    ui().userClick("BUTTON73");
    EXPECT_NE(pointingText().find("\nRA:-179.987654deg,Dec:"), std::string::npos);
}

TEST_F(StarSearch, RefusalsLeaveThePointingWindowAlone) {
    ui().form("FORM6").print("kept");
    set("EDIT104", "");
    ui().userClick("BUTTON73");
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], "Illegal setting.");
    EXPECT_EQ(pointingText(), "kept\n");

    p_->dataFileSettings.dataFiles[0][0] = "no-such-list.txt";
    set("EDIT104", "Vega");
    ui().userClick("BUTTON73");
    ASSERT_EQ(alerts().size(), 2u);
    EXPECT_NE(alerts()[1].find("no-such-list.txt"), std::string::npos);
    EXPECT_EQ(pointingText(), "kept\n");
}

// A single match points only while a chart is shown; the listing always disables the commands.
TEST_F(StarSearch, ASingleMatchPointsOnlyAtAShownChart) {
    setTokyo();
    ui().control("CHECK13").setEnabled(true);
    ui().control("CHECK13").setValue(1);
    set("EDIT104", "Alpha Lyr");
    ui().userClick("BUTTON73");
    EXPECT_FALSE(ui().control("BUTTON19").enabled());
    EXPECT_FALSE(ui().control("BUTTON76").enabled());
    EXPECT_FALSE(ui().control("CHECK13").enabled());
    EXPECT_EQ(ui().control("CHECK13").value(), 0);
    EXPECT_EQ(p_->pointedPosition, PointedFrames{});

    drawAt("320", "1", 279.2347, 38.7837, 4);
    ui().userClick("BUTTON73");
    EXPECT_TRUE(ui().control("BUTTON19").enabled());
    EXPECT_TRUE(ui().control("BUTTON76").enabled());
    EXPECT_NE(p_->pointedPosition, PointedFrames{});

    set("EDIT104", "Lyr");   // several matches: the commands go off, the point stays
    const PointedFrames kept = p_->pointedPosition;
    ui().userClick("BUTTON73");
    EXPECT_FALSE(ui().control("BUTTON76").enabled());
    EXPECT_EQ(p_->pointedPosition, kept);
}

// Vega found by keyword lands on the pixel where the chart draws it: the search ignores proper
// motion, about 9" in 2026, a twentieth of a pixel at this scale.
TEST_F(StarSearch, VegaLandsOnItsDrawnPixel) {
    setTokyo("22", "00");
    drawAt("1000", "4", 279.2347, 38.7837, 4);
    ASSERT_TRUE(alerts().empty());
    set("EDIT104", "Alpha Lyr");
    ui().userClick("BUTTON73");
    const PointPipeline pipeline(*p_, PipelineTests{.refraction = false});
    const auto found = pipeline.place(p_->pointedPosition[0]);
    const PointPipeline stars(*p_);
    const auto drawn = stars.placeCatalogue(p_->drawn.sky.icrfToBase, catalogueVector(279.2347, 38.7837));
    ASSERT_TRUE(found && drawn);
    EXPECT_NEAR(found->x, drawn->x, 0.05);
    EXPECT_NEAR(found->y, drawn->y, 0.05);
    // Frame 4 is the catalogue direction itself.
    const DirectionVector icrf = catalogueVector(279.2347, 38.7837);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(p_->pointedPosition[4][i], icrf[i], 1e-12);
}

} // namespace
} // namespace nivora
