#include "app/viewpresets.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/tests/test_folder.h"
#include "platform/dialogs.h"

namespace nivora {
namespace {

class ViewControls : public testing::Test {
protected:
    ViewControls() : folder("viewpresets"), program((folder.copyStartupData(), folder.path)) {}
    void SetUp() override {
        auto scripted = std::make_unique<ScriptedDialogs>();
        dialogs = scripted.get();
        ui.setDialogs(std::move(scripted));
        ui.setExit([](int) {});
        ASSERT_TRUE(program.start());
    }
    std::string text(const char* name) const { return program.ui.control(name).text(); }
    std::string caption(const char* name) const { return program.ui.control(name).caption(); }
    bool checked(const char* item) const { return program.ui.menu(item).checked(); }
    TestFolder folder;
    Program program;
    Ui& ui = program.ui;
    ScriptedDialogs* dialogs = nullptr;
};

TEST_F(ViewControls, PresetsWriteOneFieldEach) {
    struct Case {
        const char *button, *field, *text;
    };
    const Case cases[] = {
        {"BUTTON20", "EDIT13", "+90.0"},  {"BUTTON37", "EDIT13", "+60.0"},  {"BUTTON42", "EDIT13", "+45.0"},
        {"BUTTON38", "EDIT13", "+30.0"},  {"BUTTON39", "EDIT13", "+00.0"},  {"BUTTON40", "EDIT13", "-30.0"},
        {"BUTTON43", "EDIT13", "-45.0"},  {"BUTTON41", "EDIT13", "-60.0"},  {"BUTTON25", "EDIT13", "-90.0"},
        {"BUTTON21", "EDIT12", "+00.0"},  {"BUTTON22", "EDIT12", "+270.0"}, {"BUTTON23", "EDIT12", "+180.0"},
        {"BUTTON24", "EDIT12", "+90.0"},  {"BUTTON33", "EDIT12", "+315.0"}, {"BUTTON34", "EDIT12", "+225.0"},
        {"BUTTON35", "EDIT12", "+135.0"}, {"BUTTON36", "EDIT12", "+45.0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        ui.control("EDIT12").setText("x");
        ui.control("EDIT13").setText("y");
        ui.userClick(c.button);
        EXPECT_EQ(text(c.field), c.text);
        EXPECT_EQ(text(std::string(c.field) == "EDIT12" ? "EDIT13" : "EDIT12"),
                  std::string(c.field) == "EDIT12" ? "y" : "x");
    }
}

TEST_F(ViewControls, TheFrameChoiceRelabelsWithoutConverting) {
    struct Case {
        int frame;
        const char *north, *southWest, *lon, *lat, *row1, *row2;
    };
    const Case cases[] = {
        {1, "0", "135", "Right Ascension", "Declination", "R.A.", "Dec."},
        {4, "0", "135", "Right Ascension", "Declination", "R.A.", "Dec."},
        {5, "0", "135", "Celestial-Lng.", "Celestial-Lat.", "Lng.", "Lat."},
        {8, "0", "135", "Celestial-Lng.", "Celestial-Lat.", "Lng.", "Lat."},
        {0, "N", "SW", "Azimuth", "Elavation", "Direct.", "Elev."},
    };
    ui.control("EDIT12").setText("+123.4");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.frame);
        ui.userChoose("COMBO6", c.frame);
        EXPECT_EQ(caption("BUTTON21"), c.north);
        EXPECT_EQ(caption("BUTTON35"), c.southWest);
        EXPECT_EQ(caption("TEXT18"), c.lon);
        EXPECT_EQ(caption("TEXT19"), c.lat);
        EXPECT_EQ(caption("TEXT27"), c.row1);
        EXPECT_EQ(caption("TEXT131"), c.row2);
        EXPECT_EQ(text("EDIT12"), "+123.4");
    }
}

TEST_F(ViewControls, InitializeResetsTheViewAndItsCaptions) {
    ui.userChoose("COMBO6", 6);
    ui.control("EDIT75").setText("3.5");
    ui.control("EDIT12").setText("+10");
    ui.control("EDIT13").setText("-10");
    ui.control("EDIT64").setText("+45");
    ui.userClick("RADIO29");
    ui.userMenu("MAG7");
    ui.userMenu("CONST0");
    ui.userMenu("IMGTOP");
    ui.userClick("BUTTON26");
    EXPECT_EQ(text("EDIT75"), "1");
    EXPECT_EQ(text("EDIT12"), "+180.00");
    EXPECT_EQ(text("EDIT13"), "+90.00");
    EXPECT_EQ(text("EDIT64"), "+00.00");
    EXPECT_EQ(ui.control("COMBO6").index(), 0);
    EXPECT_EQ(caption("BUTTON22"), "E");
    EXPECT_EQ(caption("BUTTON33"), "NE");
    EXPECT_EQ(caption("TEXT18"), "Azimuth");
    EXPECT_EQ(caption("TEXT131"), "Elev.");
    EXPECT_EQ(ui.form("MAINFORM").groupCode("layout"), 1);
    const ChartOptions& o = program.chartOptions;
    EXPECT_EQ(o.directionPointPlace, 2);
    EXPECT_EQ(o.underHorizonDepth, 0);
    EXPECT_EQ(o.magnitudeLimit, 4.5f);
    EXPECT_EQ(o.constellationLines, 1);
    for (const char* item : {"IMGCENTER", "UND0", "MAG4", "CONST1"})
        EXPECT_TRUE(checked(item)) << item;
    for (const char* item : {"IMGTOP", "UNDA", "MAG7", "CONST0"})
        EXPECT_FALSE(checked(item)) << item;
}

TEST_F(ViewControls, LayoutButtonsSetThePointDepthAndMagnification) {
    const ChartOptions& o = program.chartOptions;
    ui.control("EDIT75").setText("3.5");
    ui.userClick("RADIO28"); // the horizon on the bottom edge: the mark and the code agree
    EXPECT_EQ(o.directionPointPlace, 3);
    EXPECT_TRUE(checked("IMGHLZNT"));
    EXPECT_FALSE(checked("IMGCENTER"));
    EXPECT_EQ(text("EDIT75"), "3.5");

    ui.userClick("RADIO29");
    EXPECT_EQ(o.directionPointPlace, 2);
    EXPECT_TRUE(checked("IMGCENTER"));
    EXPECT_FALSE(checked("IMGHLZNT"));
    EXPECT_EQ(o.underHorizonDepth, 1.1f);
    EXPECT_TRUE(checked("UNDA"));
    EXPECT_EQ(text("EDIT75"), "1");

    ui.control("EDIT75").setText("2");
    ui.userMenu("IMGTOP");
    ui.userClick("RADIO27"); // neither depth nor magnification
    EXPECT_EQ(o.directionPointPlace, 2);
    EXPECT_TRUE(checked("IMGCENTER"));
    EXPECT_FALSE(checked("IMGTOP"));
    EXPECT_EQ(o.underHorizonDepth, 1.1f);
    EXPECT_EQ(text("EDIT75"), "2");
}

TEST_F(ViewControls, UpAndDownStepTheMagnification) {
    struct Case {
        const char* from;
        const char* up;
        const char* down;
    };
    const Case cases[] = {
        {"0.3", ".5", ".5"}, {"1", "1.5", ".5"},  {"1.2", "1.5", "1"}, {"1.7", "2", "1.5"},
        {"2", "2.5", "1.5"}, {"9.5", "10", "9"},  {"9.7", "10", "9.5"}, {"10", "11", "9.5"},
        {"10.5", "11", "10"}, {"12.3", "13", "12"}, {"998.5", "999", "998"}, {"999", "999", "998"},
        {"1000", "999", "999"}, {"5000", "999", "999"}, {"abc", ".5", ".5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        ui.control("EDIT75").setText(c.from);
        ui.userClick("BUTTON47");
        EXPECT_EQ(text("EDIT75"), c.up);
        ui.control("EDIT75").setText(c.from);
        ui.userClick("BUTTON48");
        EXPECT_EQ(text("EDIT75"), c.down);
    }
}

TEST_F(ViewControls, CalculateDerivesTheMagnificationFromTheScopeRadius) {
    struct Case {
        int projection;
        float chartScale;
        const char* radius;
        const char* result; // EDIT75 after; "7" where the radius is refused
    };
    const Case cases[] = {
        {1, 640, "90", "1"},   {1, 640, "45", "2"},   {1, 1234, "45", "2"}, {1, 640, "30", "3"},
        {1, 640, "180", ".5"}, {1, 640, "0.5", "180"}, // 180: a hair left of the centre row
        {3, 640, "150", ".268"}, {3, 640, "151", "7"},
        {6, 640, "151", "7"},  {8, 640, "89", "1.001"}, {8, 640, "91", "7"},
        // The orthographic limb itself, though the decimal pi puts it a hair behind the sphere.
        {8, 640, "90", "1"},
        // What the projection cannot show is refused; what it can is its own, at any scale.
        {6, 640, "87", ".091"}, {6, 640, "88", "7"}, {6, 640, "120", "7"}, {6, 640, "150", "7"},
        {3, 100000, "90", "1"}, {8, 100000, "45", "1.415"},
        {5, 640, "91", "7"},   {5, 640, "90", "7"},   // the transverse Mercator pole: no offset of its own
        {1, 640, "0.4", "7"},  {1, 640, "181", "7"},  {1, 0, "90", "7"},
        {10, 640, "181", "7"},
        {10, 640, "179.9", ".501"}, {10, 640, "180", "7"},   // the first run's domain ends at 180
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.projection << ' ' << c.chartScale << ' ' << c.radius);
        program.chartOptions.projectionKind = ProjectionKind(c.projection);
        program.userProjection.chartScale = c.chartScale;
        ui.control("EDIT75").setText("7");
        ui.control("EDIT76").setText(c.radius);
        ui.userClick("BUTTON46");
        EXPECT_EQ(text("EDIT75"), c.result);
    }
    EXPECT_TRUE(dialogs->alerts().empty());
}

// A radius no field holds is named, where it was refused without a word (or read as 0).
TEST_F(ViewControls, CalculateRefusesARadiusNoFieldHoldsByName) {
    for (const char* radius : {"9e99", "1e39", "1e400", "nan", "-inf", "Infinity"}) {
        SCOPED_TRACE(radius);
        dialogs->calls.clear();
        ui.control("EDIT75").setText("7");
        ui.control("EDIT76").setText(radius);
        ui.userClick("BUTTON46");
        EXPECT_EQ(dialogs->alerts(),
                  std::vector<std::string>{"Scope Radius must be a number from -3.4E+38 to 3.4E+38."});
        EXPECT_EQ(text("EDIT75"), "7");
    }
}

// The user projection, here the azimuthal equidistant one, up to the end of its domain: the
// projection puts the edge itself off the chart, and so it is refused.
TEST(ScopeMagnification, TheUserProjectionStopsAtItsDomain) {
    ProjectionSetup setup;
    setup.chartScale = 640;
    setup.domainDegrees = 120;
    EXPECT_FALSE(scopeMagnification(121, 10, setup));
    EXPECT_FALSE(scopeMagnification(120, 10, setup));
    EXPECT_EQ(scopeMagnification(119.9, 10, setup), 0.751);
    EXPECT_EQ(scopeMagnification(90, 10, setup), 1);
}

} // namespace
} // namespace nivora
