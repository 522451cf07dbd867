// The number fields DRAW and OverD read, on the main window and the forms read while drawing:
// text no field of its precision holds is refused before anything is drawn, and every number a
// field held before is still taken.
#include <gtest/gtest.h>

#include <string>

#include "app/tests/started_program.h"

namespace nivora {
namespace {

struct NumberFields : StartedProgram {
    NumberFields() : StartedProgram("numberfields") { folder.copyAllData(); }

    // A fresh program set up by `setup` (when given), with a small chart drawn.
    Program& startAndDraw(void (*setup)(Program&))
    {
        Program& p = start();
        p.ui.userType("EDIT1", "100");
        if (setup)
            setup(p);
        p.ui.userClick("BUTTON1");
        return p;
    }
};

// What makes a drawing read the fields it reads only now and then.
void starMap(Program& p) { p.ui.userClick("RADIO3"); }
void equatorialDirection(Program& p) { p.ui.userChoose("COMBO6", 4); }
void earthLines(Program& p) { p.chartOptions.earthGridMinutes = 60; }
void typedShadowDistance(Program& p)
{
    p.chartOptions.antisunDisplayMode = 1;
    p.planetSettings.earthShadowDistanceMode = 2;
}
void shadowInTheSky(Program& p) { p.chartOptions.antisunDisplayMode = 11; }
void addedStar(Program& p) { p.ui.userClick("CHECK1"); }
void addedStarAtADistance(Program& p)
{
    p.ui.userClick("CHECK1");
    p.ui.userClick("CHECK11");
}
void drawByFile(Program& p) { p.ui.control("CHECK4").setValue(1); }
void orbitShown(Program& p)
{
    Ui& u = p.ui;
    u.userType("EDIT80", "1.5");
    u.userType("EDIT82", "0.2");
    for (const char* angle : {"EDIT86", "EDIT87", "EDIT88"})
        u.userType(angle, "10");
    p.chartOptions.orbitObjectDisplayMode = 1;
}

// The field is named, nothing is drawn and the chart and the state a click reads stay as they
// were; OverD refuses the same.
TEST_F(NumberFields, DrawAndOverdrawRefuseTextNoFieldOfItsPrecisionHolds)
{
    const std::string single = " must be a number from -3.4E+38 to 3.4E+38.";
    const std::string date = " must be a number from -16777216 to 16777216.";
    struct Case {
        void (*setup)(Program&);
        const char* control;
        const char* text;
        std::string alert;
    };
    const Case cases[] = {
        {nullptr, "EDIT2", "9e99", "Longitude" + single},
        {nullptr, "EDIT3", "-1e39", "Latitude" + single},
        {nullptr, "EDIT43", "9e99", "Altitude" + single},
        {nullptr, "EDIT12", "9e99", "Azimuth" + single},
        {nullptr, "EDIT13", "NaN", "Elavation" + single},
        {nullptr, "EDIT64", "-inf", "Rotation" + single},
        {nullptr, "EDIT8", "1e400", "Year" + date},   // read as 0 before, year 0 drawn
        {nullptr, "EDIT8", "inf", "Year" + date},
        {nullptr, "EDIT11", "Infinity", "Minute" + date},
        {starMap, "EDIT2", "9e99", "RightAscension" + single},
        {starMap, "EDIT42", "9e99", "Shift of Azimuth" + single},
        {equatorialDirection, "EDIT12", "1e39", "Right Ascension" + single},
        {earthLines, "EDIT77", "9e99", "Altitude of Lng. and Lat. lines" + single},
        {typedShadowDistance, "EDIT79", "9e99", "Distance to Earth-shadow" + single},
        {shadowInTheSky, "EDIT106", "nan", "Factor of Earth-shadow" + single},
        {addedStar, "EDIT14", "9e99", "Right Ascension of the added star" + single},
        {addedStar, "EDIT17", "inf", "Declination minutes of the added star" + single},
        {addedStar, "EDIT18", "-9e99", "Size of the added star" + single},
        {addedStarAtADistance, "EDIT62", "1e39", "Distance of the added star" + single},
        {orbitShown, "EDIT87", "1e400",
         "Inclination of the Orbital Elements must be a number from -1.7E+308 to 1.7E+308."},
        {orbitShown, "EDIT85", "inf",
         "Day of the Perihelion Passage of the Orbital Elements must be a number from -1.7E+308 to 1.7E+308."},
        {drawByFile, "EDIT20", "9e99", "Column of Longitude" + single},
        {drawByFile, "EDIT23", "nan", "Letters of Latitude" + single},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.control << " \"" << c.text << '"');
        Program& p = startAndDraw(c.setup);
        ASSERT_TRUE(p.drawn.chartDrawn);
        ASSERT_TRUE(alerts().empty()) << alerts().front();
        p.chartBitmap.plotDot(5, 5, 12);
        const RotationMatrix frame = p.drawn.sky.trueEquatorToBase;
        set(c.control, c.text);
        for (const char* button : {"BUTTON1", "BUTTON50"}) {
            dialogs->calls.clear();
            p.ui.userClick(button);
            EXPECT_EQ(alerts(), std::vector<std::string>{c.alert}) << button;
            EXPECT_EQ(p.chartBitmap.pixel(5, 5), 12) << button;
            EXPECT_EQ(p.drawn.sky.trueEquatorToBase, frame) << button;
        }
    }
}

// The added star's own OverD reads its fields as a drawing does.
TEST_F(NumberFields, TheAddedStarsOverdrawRefusesTextSinglePrecisionDoesNotHold)
{
    Program& p = startAndDraw(addedStar);
    p.chartBitmap.plotDot(5, 5, 12);
    set("EDIT16", "9e99");
    dialogs->calls.clear();
    p.ui.userClick("BUTTON74");
    EXPECT_EQ(alerts(), std::vector<std::string>{
                            "Declination of the added star must be a number from -3.4E+38 to 3.4E+38."});
    EXPECT_EQ(p.chartBitmap.pixel(5, 5), 12);
}

// Numbers single precision holds draw as before, however far out of their usual range, and so
// does text that reads as 0; a field the drawing does not read refuses nothing.
TEST_F(NumberFields, DrawTakesEveryNumberAFieldHolds)
{
    struct Case {
        void (*setup)(Program&);
        const char* control;
        const char* text;
    };
    const Case cases[] = {
        {nullptr, "EDIT3", "95"},
        {nullptr, "EDIT2", "400"},
        {nullptr, "EDIT2", "abc"},
        {nullptr, "EDIT2", "information"},
        {nullptr, "EDIT9", "40"},
        {nullptr, "EDIT12", "3.4e38"},
        {nullptr, "EDIT43", "1e-400"},
        {nullptr, "EDIT42", "9e99"},   // the sky reads no shift of azimuth
        {starMap, "EDIT43", "9e99"},   // nor a map an altitude
        {nullptr, "EDIT77", "9e99"},   // the Earth's lines are not drawn
        {shadowInTheSky, "EDIT79", "9e99"},   // the shadow lies at the Moon's distance
        {nullptr, "EDIT14", "9e99"},   // no added star
        {addedStar, "EDIT62", "9e99"},   // no distance
        {nullptr, "EDIT87", "1e400"},   // no orbit object
        {orbitShown, "EDIT87", "1e300"},
        {nullptr, "EDIT20", "9e99"},      // no data file drawn
        {drawByFile, "EDIT30", "9e99"},   // decimal degrees read no minutes
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.control << " \"" << c.text << '"');
        Program& p = startAndDraw(c.setup);
        ASSERT_TRUE(alerts().empty()) << alerts().front();
        set(c.control, c.text);
        p.drawn.chartDrawn = false;
        p.ui.userClick("BUTTON1");
        EXPECT_TRUE(p.drawn.chartDrawn);
        for (const std::string& alert : alerts())
            EXPECT_EQ(alert.find(" must be a number"), std::string::npos) << alert;
    }
}

} // namespace
} // namespace nivora
