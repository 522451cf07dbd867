#include "app/chartmodes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/program.h"
#include "app/tests/test_folder.h"
#include "platform/dialogs.h"

namespace nivora {
namespace {

std::optional<std::string> contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream all;
    all << in.rdbuf();
    return all.str();
}

class ChartModes : public testing::Test {
protected:
    ChartModes() : folder("chartmodes"), program((folder.copyStartupData(), folder.path)) {
        folder.copyData({"nation.txt"});
    }
    void SetUp() override {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        alerts = dialogs.get();
        ui.setDialogs(std::move(dialogs));
        ui.setExit([](int) {});
        ASSERT_TRUE(program.start());
    }
    std::string text(const char* name) const { return ui.control(name).text(); }

    TestFolder folder;
    Program program;
    Ui& ui = program.ui;
    ScriptedDialogs* alerts = nullptr;
};

// What a mode switch leaves, from the state a user had set in the mode before it.
TEST(ChartModeTransitions, EffectsOnFieldsCaptionsMarksRecordsAndFiles) {
    struct Case {
        const char* name;
        std::vector<const char*> before; // the modes passed through, from the sky at start-up
        const char* click;
        int chartMode, earthMap;
        bool settingsWritten, overlayWritten;
        const char* placeCaption;        // TEXT1
        bool mapFieldsEnabled;           // EDIT42 and COMBO5
        int displayFrame;                // COMBO5
        const char *longitude, *comment; // EDIT2, EDIT19
        const char* direction;           // EDIT12, typed "+30" before the switch
        const char *rotation, *magnification; // EDIT64, EDIT75
        int layout;                       // 1 normal, 3 Dual-Box as typed
        int azElUnit, raDecUnit;
        const char* firstListItem;        // COMBO2
        int drawByFile;                   // FORM4 CHECK4
        float magnitudeLimit;
        int weighting, sunDataFrame, constellationLines, directionPoint;
    };
    // Before each switch the user types: longitude "+139.7", comment "Tokyo", direction "+30",
    // rotation "+12", magnification "2.5", Dual-Box; chooses Mag<7.5, weighting by magnitude,
    // no constellation lines and the direction point at the top. "Draw by File" is on from the
    // start. The settings file saved on leaving the sky holds longitude "+135.0". The click's
    // frame is the first run's "Apparent" (1) until the Earth map sets the ICRF (4); the units
    // are the first run's 2 and 3 until the Earth map signs them (5 and 5).
    const Case cases[] = {
        {"sky to star map", {}, "RADIO3", 3, 0, true, false, "RA and DEC of The Upper Pole", true, 0,
         "+180.0", "", "+30", "+12", "2.5", 3, 2, 3, "And", 1, 7.5f, 3, 1, 0, 2},
        {"sky to Earth map", {}, "RADIO105", 3, 1, true, true, "RA and DEC of The Upper Pole", true, 3,
         "+180.0", "", "-30", "+00.00", "4", 3, 5, 5, "ABW", 0, 5.5f, 1, 4, 0, 2},
        {"star map to sky", {"RADIO3"}, "RADIO2", 2, 0, false, false, "The Place of Sight", false, 0,
         "+135.0", "", "+30", "+12", "2.5", 3, 2, 3, "And", 1, 7.5f, 3, 1, 0, 4},
        {"star map to Earth map", {"RADIO3"}, "RADIO105", 3, 1, false, true, "RA and DEC of The Upper Pole",
         true, 3, "+180.0", "", "-30", "+00.00", "4", 3, 5, 5, "ABW", 0, 5.5f, 1, 4, 0, 2},
        {"Earth map to sky", {"RADIO105"}, "RADIO2", 2, 0, false, false, "The Place of Sight", false, 0,
         "+135.0", "", "-30", "+00.00", "1", 1, 2, 3, "And", 1, 7.5f, 3, 1, 1, 2},
        {"Earth map to star map", {"RADIO105"}, "RADIO3", 3, 0, false, false, "RA and DEC of The Upper Pole",
         true, 3, "+180.0", "", "-30", "+00.00", "1", 1, 2, 3, "And", 0, 7.5f, 3, 1, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TestFolder caseFolder(std::string("chartmodes-") + std::to_string(&c - cases));
        caseFolder.copyStartupData();
        caseFolder.copyData({"nation.txt"});
        Program p(caseFolder.path);
        Ui& u = p.ui;
        u.setDialogs(std::make_unique<ScriptedDialogs>());
        u.setExit([](int) {});
        ASSERT_TRUE(p.start());
        u.control("CHECK4").setValue(1);
        for (const char* mode : c.before)
            u.userClick(mode);

        u.control("EDIT2").setText("+139.7");
        u.control("EDIT19").setText("Tokyo");
        u.control("EDIT12").setText("+30");
        u.control("EDIT64").setText("+12");
        u.control("EDIT75").setText("2.5");
        u.form("MAINFORM").setGroupCode("layout", 3);
        for (const char* item : {"MAG7", "WEIGHTCM", "CONST0", "IMGTOP"})
            u.userMenu(item);
        const auto settings = contents(caseFolder.path / "nivora.ini");
        const auto overlay = contents(caseFolder.path / "nivora.frm");

        u.userClick(c.click);
        EXPECT_EQ(p.chartView.chartMode, c.chartMode);
        EXPECT_EQ(p.chartView.earthMap, c.earthMap);
        EXPECT_EQ(contents(caseFolder.path / "nivora.ini") != settings, c.settingsWritten);
        EXPECT_EQ(contents(caseFolder.path / "nivora.frm") != overlay, c.overlayWritten);
        EXPECT_EQ(u.control("TEXT1").caption(), c.placeCaption);
        EXPECT_EQ(u.control("EDIT42").enabled(), c.mapFieldsEnabled);
        EXPECT_EQ(u.control("COMBO5").enabled(), c.mapFieldsEnabled);
        EXPECT_EQ(u.control("COMBO5").index(), c.displayFrame);
        EXPECT_EQ(u.control("EDIT2").text(), c.longitude);
        EXPECT_EQ(u.control("EDIT19").text(), c.comment);
        EXPECT_EQ(u.control("EDIT12").text(), c.direction);
        EXPECT_EQ(u.control("EDIT64").text(), c.rotation);
        EXPECT_EQ(u.control("EDIT75").text(), c.magnification);
        EXPECT_EQ(u.form("MAINFORM").groupCode("layout"), c.layout);
        EXPECT_EQ(p.minuteOptions.azElUnit, c.azElUnit);
        EXPECT_EQ(p.minuteOptions.raDecUnit, c.raDecUnit);
        ASSERT_GT(u.control("COMBO2").itemCount(), 0);
        EXPECT_EQ(u.control("COMBO2").items().front().substr(0, 3), c.firstListItem);
        EXPECT_EQ(u.control("CHECK4").value(), c.drawByFile);
        EXPECT_EQ(p.chartOptions.magnitudeLimit, c.magnitudeLimit);
        EXPECT_EQ(p.chartOptions.centralizeWeighting, c.weighting);
        EXPECT_EQ(p.minuteOptions.sunDataFrame, c.sunDataFrame);
        EXPECT_EQ(p.chartOptions.constellationLines, c.constellationLines);
        EXPECT_EQ(p.chartOptions.directionPointPlace, c.directionPoint);
        // The marks show what is stored.
        EXPECT_EQ(u.menu("MAG5").checked(), c.magnitudeLimit == 5.5f);
        EXPECT_EQ(u.menu("MAG7").checked(), c.magnitudeLimit == 7.5f);
        EXPECT_EQ(u.menu("WEIGHTCS").checked(), c.weighting == 1);
        EXPECT_EQ(u.menu("CONST1").checked(), c.constellationLines == 1);
        EXPECT_EQ(u.menu("IMGCENTER").checked(), c.directionPoint == 2);
        EXPECT_EQ(u.menu("IMGTOP").checked(), c.directionPoint == 4);
    }
}

TEST_F(ChartModes, ChoosingTheModeShownChangesNothing) {
    for (const char* mode : {"RADIO2", "RADIO3", "RADIO105"}) {
        SCOPED_TRACE(mode);
        if (std::string(mode) != "RADIO2")
            ui.userClick(mode);
        ui.control("EDIT2").setText("+1.5");
        ui.control("EDIT12").setText("+30");
        std::filesystem::remove(folder.path / "nivora.ini");
        std::filesystem::remove(folder.path / "nivora.frm");
        ui.userClick(mode);
        EXPECT_EQ(text("EDIT2"), "+1.5");
        EXPECT_EQ(text("EDIT12"), "+30");
        EXPECT_FALSE(folder.has("nivora.ini"));
        EXPECT_FALSE(folder.has("nivora.frm"));
    }
}

TEST_F(ChartModes, TheEarthMapTakesItsEpochInTheComputersZone) {
    struct Case {
        const char *zoneHours, *zoneMinutes, *day, *hour;
    };
    const Case cases[] = {
        {"+9", "00", "1", "21"}, {"-7", "00", "1", " 5"}, {"-12", "00", "0", "24"},
        {"+0", "30", "1", "12"}, {"+12", "45", "1", "24"}, {"-11", "00", "1", " 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.zoneHours);
        ui.userClick("RADIO2");
        ui.control("EDIT4").setText(c.zoneHours);
        ui.control("EDIT5").setText(c.zoneMinutes);
        ui.userClick("RADIO105");
        EXPECT_EQ(text("EDIT8"), "2000");
        EXPECT_EQ(ui.control("COMBO1").index(), 0);
        EXPECT_EQ(text("EDIT9"), c.day);
        EXPECT_EQ(text("EDIT10"), c.hour);
        EXPECT_EQ(text("EDIT11"), c.zoneMinutes);
    }
}

// The Earth map reads a click out in the ICRF; leaving it, to either mode, gives the click the
// frame it had, and the settings saved at the end keep that frame.
TEST_F(ChartModes, LeavingTheEarthMapGivesTheClickItsFrameBack) {
    for (const char* leave : {"RADIO2", "RADIO3"})
        for (const std::uint8_t frame : {1, 2, 5}) {
            SCOPED_TRACE(testing::Message() << leave << ", frame " << int(frame));
            ui.userClick("RADIO2");
            program.minuteOptions.sunDataFrame = frame;
            ui.userClick("RADIO105");
            EXPECT_EQ(program.minuteOptions.sunDataFrame, 4);
            ui.userClick(leave);
            EXPECT_EQ(program.minuteOptions.sunDataFrame, frame);
        }
    ui.userClick("RADIO2");
    program.minuteOptions.sunDataFrame = 3;
    ui.userClick("RADIO105");
    ui.userClick("RADIO2");
    program.saveAtShutDown();
    std::ifstream in(folder.path / "nivora.ini");
    std::string line;
    for (int n = 1; n <= 70 && std::getline(in, line); ++n) {
    }
    EXPECT_EQ(std::stoi(line), 3);
}

// A visit to the Earth map leaves the saved preferences as the person chose them, whichever way
// it is left; one the person changes on the map stays changed (a unit unsigned).
TEST_F(ChartModes, AVisitToTheEarthMapKeepsTheSavedPreferences) {
    struct Case {
        const char* name;
        std::uint8_t azElUnit, raDecUnit, weighting, frame;   // chosen before the visit
        std::vector<const char*> back;                        // the way back to the sky
        int raDecOnTheMap;                                    // typed on the map; 0 none
        int lines[4];   // settings lines 30, 31, 49 and 70 after End
    };
    const Case cases[] = {
        {"h/m/s and weighting by magnitude", 3, 3, 3, 1, {"RADIO2"}, 0, {3, 3, 3, 1}},
        {"by the star map", 3, 3, 3, 1, {"RADIO3", "RADIO2"}, 0, {3, 3, 3, 1}},
        {"signed units, lines, the true frame", 4, 5, 2, 2, {"RADIO2"}, 0, {4, 5, 2, 2}},
        {"already the map's own", 1, 2, 1, 4, {"RADIO2"}, 0, {1, 2, 1, 4}},
        {"a unit changed on the map", 3, 3, 3, 1, {"RADIO2"}, 4, {3, 1, 3, 1}},
    };
    static constexpr const char* weightings[] = {"WEIGHTCS", "WEIGHTCL", "WEIGHTCM"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.userClick("RADIO2");
        program.minuteOptions.azElUnit = c.azElUnit;
        program.minuteOptions.raDecUnit = c.raDecUnit;
        program.minuteOptions.sunDataFrame = c.frame;
        ui.userMenu(weightings[c.weighting - 1]);
        ui.userClick("RADIO105");
        EXPECT_EQ(program.chartOptions.centralizeWeighting, 1);
        if (c.raDecOnTheMap)
            program.minuteOptions.raDecUnit = std::uint8_t(c.raDecOnTheMap);
        for (const char* mode : c.back)
            ui.userClick(mode);
        for (int w = 0; w < 3; ++w)
            EXPECT_EQ(ui.menu(weightings[w]).checked(), w + 1 == c.lines[2]) << weightings[w];
        program.saveAtShutDown();
        std::ifstream in(folder.path / "nivora.ini");
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        ASSERT_GE(lines.size(), 70u);
        EXPECT_EQ(std::stoi(lines[29]), c.lines[0]);
        EXPECT_EQ(std::stoi(lines[30]), c.lines[1]);
        EXPECT_EQ(std::stoi(lines[48]), c.lines[2]);
        EXPECT_EQ(std::stoi(lines[69]), c.lines[3]);
    }
}

// Without its saved files the sky keeps the fields as they are, and says nothing.
TEST_F(ChartModes, MissingSavedFilesAreSkipped) {
    ui.userClick("RADIO105");
    std::filesystem::remove(folder.path / "nivora.ini");
    std::filesystem::remove(folder.path / "nivora.frm");
    ui.control("EDIT3").setText("+10.0");
    ui.userClick("RADIO2");
    EXPECT_EQ(text("EDIT3"), "+10.0");
    EXPECT_EQ(program.chartView.chartMode, 2);
    EXPECT_TRUE(alerts->alerts().empty());
}

// Into the Earth map and back turns the direction twice; -180 is brought to 180.
TEST(ChartModeSteps, TheDirectionLongitudeTurns) {
    struct Case {
        float from;
        const char* once;
        const char* twice;
    };
    const Case cases[] = {
        {30, "-30", " 30"}, {180, " 180", " 180"}, {-180, " 180", " 180"}, {270, " 90", "-90"},
        {-90, " 90", "-90"}, {0, " 0", " 0"}, {123.456f, "-123.456", " 123.456"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        const std::string once = turnedLongitudeText(c.from);
        EXPECT_EQ(once, c.once);
        EXPECT_EQ(turnedLongitudeText(std::stof(once)), c.twice);
    }
}

TEST(ChartModeSteps, UnitsTakeTheirSignedFormsOnTheEarthMap) {
    struct Case {
        int unit, inside, back;
    };
    const Case cases[] = {{1, 4, 1}, {2, 5, 2}, {3, 5, 2}, {4, 4, 1}, {5, 5, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        MinuteOptions minute;
        minute.azElUnit = std::uint8_t(c.unit);
        minute.raDecUnit = std::uint8_t(c.unit);
        shiftUnitsIntoEarthMap(minute);
        EXPECT_EQ(minute.azElUnit, c.inside);
        EXPECT_EQ(minute.raDecUnit, c.inside);
        shiftUnitsOutOfEarthMap(minute);
        EXPECT_EQ(minute.azElUnit, c.back);
        EXPECT_EQ(minute.raDecUnit, c.back);
    }
}

// The added star's distance belongs to the sky: the maps disable it, the sky gives it back
// when "Adding A Star" is on.
TEST_F(ChartModes, TheAddedStarsDistanceFollowsTheSky) {
    ui.control("CHECK1").setValue(1);
    ui.control("CHECK11").setEnabled(true);
    ui.control("CHECK11").setValue(1);
    ui.userClick("RADIO3");
    for (const char* name : {"CHECK11", "RADIO50", "RADIO51", "EDIT62"})
        EXPECT_FALSE(ui.control(name).enabled()) << name;
    ui.userClick("RADIO2");
    for (const char* name : {"CHECK11", "RADIO50", "RADIO51", "EDIT62"})
        EXPECT_TRUE(ui.control(name).enabled()) << name;
    ui.control("CHECK11").setValue(0);
    ui.userClick("RADIO3");
    ui.userClick("RADIO2");
    EXPECT_TRUE(ui.control("CHECK11").enabled());
    EXPECT_FALSE(ui.control("EDIT62").enabled());
}

// Back in the sky the place, time and comment of the saved settings return; the computer's zone
// and the view stay as they are.
TEST_F(ChartModes, TheSkyReturnsToItsSavedPlaceAndTime) {
    ui.control("EDIT3").setText("+51.5");
    ui.control("EDIT8").setText("1999");
    ui.control("EDIT19").setText("Greenwich");
    ui.userClick("RADIO105");
    ui.userClick("RADIO3");
    ui.userClick("RADIO2");
    EXPECT_EQ(text("EDIT3"), "+51.5");
    EXPECT_EQ(text("EDIT8"), "1999");
    EXPECT_EQ(text("EDIT19"), "Greenwich");
    EXPECT_EQ(text("TEXT1"), "The Place of Sight");
    EXPECT_TRUE(alerts->alerts().empty());
}

} // namespace
} // namespace nivora
