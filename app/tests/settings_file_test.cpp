#include "app/settings_file.h"

#include "app/tests/started_program.h"
#include "astro/constants.h"
#include "platform/application.h"

#include <gtest/gtest.h>

#include "platform/tests/full_disk.h"
#include "platform/tests/short_memory.h"

#include <QImage>

#include <cerrno>
#include <cmath>
#include <filesystem>
#include <system_error>

namespace nivora {
namespace {

struct SettingsFile : StartedProgram {
    SettingsFile() : StartedProgram("ini") {}
    void SetUp() override { start(); }

    // A settings file saved from distinct values.
    std::vector<std::string> saved()
    {
        Program& p = *program;
        set("EDIT1", "500");
        set("EDIT2", "+139.7");
        set("EDIT3", "+35.6");
        set("EDIT4", "+8");
        set("EDIT5", "30");
        set("EDIT6", "-5");
        set("EDIT7", "15");
        set("EDIT8", "2026");
        p.ui.control("COMBO1").setIndex(7);
        set("EDIT9", "28");
        set("EDIT10", "21");
        set("EDIT11", "40");
        set("EDIT19", "  Tokyo, roof: east  ");
        set("EDIT43", "40");
        set("EDIT76", "45");
        p.chartOptions.refractionOn = 0;
        p.chartOptions.diurnalAberrationOn = 0;
        p.chartOptions.centralizeWeighting = 3;
        p.minuteOptions = {2.5f, 8.5f, 1, 2, 3, 1};
        p.userProjection.radiusDegrees = 60;
        p.userProjection.aspectYX = 0.75;
        p.userProjection.domainDegrees = 150;
        p.userProjection.coefficients = {0.3, 1, 0.1, -0.02, 0, 0, 0, 0, 0, 1e-9};
        p.dataFileSettings.dataFiles = {{{"a5.txt", "a7.txt", "list.txt", "lines.net"},
                                         {"c.txt", "z.txt", "n.txt", "cb.net"}}};
        p.dataFileSettings.fontKind = 1;
        p.planetSettings.planetOrbitFile[2] = "mars.plt";
        p.planetSettings.planetDisplayMode[2] = 2;
        p.ui.userResize("FORM2", 500, 600);
        EXPECT_TRUE(INISAV(p, "saved.ini"));
        return lines("saved.ini");
    }
    // The fields and records changed away from what saved() wrote.
    void scramble()
    {
        Program& p = *program;
        for (const char* edit : {"EDIT1", "EDIT2", "EDIT3", "EDIT4", "EDIT5", "EDIT6", "EDIT7", "EDIT8",
                                 "EDIT9", "EDIT10", "EDIT11", "EDIT19", "EDIT43", "EDIT76"})
            set(edit, "x");
        p.ui.control("COMBO1").setIndex(0);
        p.chartOptions.refractionOn = 1;
        p.chartOptions.diurnalAberrationOn = 1;
        p.chartOptions.centralizeWeighting = 2;
        for (const char* item : {"WEIGHTCS", "WEIGHTCL", "WEIGHTCM"}) p.ui.check(item, false);
        p.chartView.imageSize = 320;
        p.chartView.chartWindowWidth = 366;
        p.minuteOptions = MinuteOptions{};
        p.userProjection = UserProjection{};
        p.dataFileSettings = DataFileSettings{};
        p.planetSettings = PlanetSettings{};
    }
};

TEST_F(SettingsFile, WritesSeventyLinesOfOneValueEach)
{
    const auto file = saved();
    ASSERT_EQ(file.size(), 70u);
    const std::pair<int, const char*> expected[] = {
        {7, "500"}, {15, " 7 "}, {19, "  Tokyo, roof: east  "}, {20, "a5.txt"}, {24, " 0 "},
        {28, " 2.5 "}, {37, " 150 "}, {48, " 1 "}, {49, " 3 "}, {54, "yoyaku"}, {60, "mars.plt"},
        {61, " 2 "}, {70, " 3 "},
    };
    for (const auto& [line, value] : expected) EXPECT_EQ(file[size_t(line - 1)], value) << line;
}

TEST_F(SettingsFile, EachModeRestoresItsShareOfTheFile)
{
    saved();
    const struct {
        std::int16_t mode;
        bool place, zoneOfComputer, dateAndTime, options;
    } modes[] = {
        {loadAtStartUp, true, true, true, true},
        {returnToSky, true, false, true, false},
        {loadLocationData, true, false, false, false},
    };
    for (const auto& m : modes) {
        scramble();
        ASSERT_TRUE(INILOAD(*program, "saved.ini", m.mode));
        const Program& p = *program;
        SCOPED_TRACE(m.mode);
        // Every mode: the place, the actual zone, the comment, the altitude and both switches.
        EXPECT_EQ(text("EDIT2"), "+139.7");
        EXPECT_EQ(text("EDIT7"), "15");
        EXPECT_EQ(text("EDIT19"), "  Tokyo, roof: east  ");
        EXPECT_EQ(text("EDIT43"), "40");
        EXPECT_EQ(p.chartOptions.refractionOn, 0);
        EXPECT_EQ(p.chartOptions.diurnalAberrationOn, 0);
        EXPECT_FALSE(p.ui.menu("REFRACT").checked());
        EXPECT_FALSE(p.ui.menu("DABERRATION").checked());

        EXPECT_EQ(text("EDIT4") == "+8", m.zoneOfComputer);
        EXPECT_EQ(text("EDIT1") == "500", m.options);
        EXPECT_EQ(text("EDIT8") == "2026", m.dateAndTime);
        EXPECT_EQ(p.ui.control("COMBO1").index() == 7, m.dateAndTime);
        EXPECT_EQ(text("EDIT11") == "40", m.dateAndTime);
        EXPECT_EQ(p.minuteOptions.starScaling == 2.5f, m.options);
        EXPECT_EQ(p.minuteOptions.sunDataFrame == 3, m.options);
        EXPECT_EQ(p.userProjection.coefficients[9] == 1e-9, m.options);
        EXPECT_EQ(p.userProjection.domainDegrees == 150, m.options);
        EXPECT_EQ(p.dataFileSettings.dataFiles[0][2] == "list.txt", m.options);
        EXPECT_EQ(p.dataFileSettings.dataFiles[1][3] == "cb.net", m.options);
        EXPECT_EQ(p.dataFileSettings.fontKind == 1, m.options);
        EXPECT_EQ(p.planetSettings.planetOrbitFile[2] == "mars.plt", m.options);
        EXPECT_EQ(p.planetSettings.planetDisplayMode[2] == 2, m.options);
        EXPECT_EQ(p.chartOptions.centralizeWeighting == 3, m.options);
        EXPECT_EQ(p.ui.menu("WEIGHTCM").checked(), m.options);
        EXPECT_EQ(text("EDIT76") == "45", m.options);
        EXPECT_EQ(p.chartView.imageSize == 500, m.options);
        EXPECT_EQ(p.chartView.chartWindowWidth == 500, m.options);
    }
}

TEST_F(SettingsFile, ACommaInAFieldStaysInThatField)
{
    saved();
    set("EDIT2", "+139,7");
    set("EDIT3", "35:6");
    set("EDIT43", "1,200");
    ASSERT_TRUE(INISAV(*program, "comma.ini"));
    scramble();
    ASSERT_TRUE(INILOAD(*program, "comma.ini", loadAtStartUp));
    EXPECT_EQ(text("EDIT2"), "+139,7");
    EXPECT_EQ(text("EDIT3"), "35:6");
    EXPECT_EQ(text("EDIT4"), "+8");
    EXPECT_EQ(text("EDIT43"), "1,200");
    EXPECT_EQ(program->minuteOptions.starScaling, 2.5f);
}

// A file cut after each guarded group and inside one; mode 2 takes the missing groups' defaults.
TEST_F(SettingsFile, AShortFileTakesTheDefaultsOfTheGroupsItLacks)
{
    const auto full = saved();
    const struct {
        int keep;
        bool refraction, altitude, units, diurnal, projection, weighting, earthFiles, planets;
    } cuts[] = {
        {23, false, false, false, false, false, false, false, false},
        {25, true, true, false, false, false, false, false, false},
        {31, true, true, false, false, false, false, false, false},   // inside 30-32
        {33, true, true, true, true, false, false, false, false},
        {40, true, true, true, true, false, false, false, false},     // inside 34-47
        {49, true, true, true, true, true, true, false, false},
        {53, true, true, true, true, true, true, true, false},
        {60, true, true, true, true, true, true, true, false},        // inside 54-69
        {69, true, true, true, true, true, true, true, true},
    };
    for (const auto& c : cuts) {
        SCOPED_TRACE(c.keep);
        write("cut.ini", {full.begin(), full.begin() + c.keep});
        scramble();
        program->chartOptions.refractionOn = 0;
        program->chartOptions.diurnalAberrationOn = 0;
        ASSERT_TRUE(INILOAD(*program, "cut.ini", loadAtStartUp));
        const Program& p = *program;
        EXPECT_EQ(text("EDIT2"), "+139.7");
        EXPECT_EQ(p.chartOptions.refractionOn, c.refraction ? 0 : 1);
        EXPECT_TRUE(p.ui.menu("REFRACT").checked() != c.refraction);
        EXPECT_EQ(text("EDIT43"), c.altitude ? "40" : "0");
        EXPECT_EQ(p.minuteOptions.azElUnit, c.units ? 1 : 2);
        EXPECT_EQ(p.minuteOptions.angleUnit, c.units ? 1 : 2);
        EXPECT_EQ(p.chartOptions.diurnalAberrationOn, c.diurnal ? 0 : 1);
        EXPECT_EQ(text("EDIT76"), c.projection ? "45" : "90");
        EXPECT_EQ(p.userProjection.domainDegrees, c.projection ? 150 : 180);
        EXPECT_EQ(p.userProjection.coefficients[0], c.projection ? 0.3 : 1 / pi);
        EXPECT_EQ(p.chartOptions.centralizeWeighting, c.weighting ? 3 : 2);
        EXPECT_TRUE(p.ui.menu(c.weighting ? "WEIGHTCM" : "WEIGHTCL").checked());
        EXPECT_EQ(p.dataFileSettings.dataFiles[1][0], c.earthFiles ? "c.txt" : "cities.txt");
        EXPECT_EQ(p.dataFileSettings.dataFiles[1][2], c.earthFiles ? "n.txt" : "nation.txt");
        EXPECT_EQ(p.dataFileSettings.dataFiles[1][3], c.earthFiles ? "cb.net" : "coast_bd.net");
        EXPECT_EQ(p.planetSettings.planetOrbitFile[2], c.planets ? "mars.plt" : "");
        EXPECT_EQ(p.minuteOptions.sunDataFrame, 1);
    }
}

// At start a file cut inside a group, or a number line holding what its value cannot, is said
// once, naming what takes its first-run value; a file that stops after a whole group is an
// older layout and says nothing.
TEST_F(SettingsFile, AtStartUpACutFileOrAnUnheldNumberIsNamed)
{
    const auto full = saved();
    const std::string cutAt26 =
        "The settings file odd.ini is cut short at line 26: the pointing window's place, Scaling Factor A, "
        "Magnitude B, the click window's units, Diurnal Aberration, Scope Radius, the user-defined projection, "
        "the font, the weighting of centring, the Earth map's data files, the planets and the Sun's data frame "
        "take their first-run values.";
    struct Case {
        int keep;
        std::vector<std::pair<int, const char*>> lines;   // 1-based line, text
        std::string alert;   // empty: none
    };
    const Case cases[] = {
        {26, {}, cutAt26},
        {60, {}, "The settings file odd.ini is cut short at line 60: the planets and the Sun's data frame take "
                 "their first-run values."},
        {55, {}, "The settings file odd.ini is cut short at line 55: the planets and the Sun's data frame take "
                 "their first-run values."},
        {34, {{34, "9e99"}}, "The settings file odd.ini is cut short at line 34: Scope Radius, the "
                             "user-defined projection, the font, the weighting of centring, the Earth map's data "
                             "files, the planets and the Sun's data frame take their first-run values."},
        {70, {{34, "9e99"}}, "The settings file odd.ini holds no number on line 34: Scope Radius (line 34) takes "
                             "its first-run value."},
        {70, {{28, "nan"}, {40, "1e400"}, {44, "-inf"}},
         "The settings file odd.ini holds no number on lines 28, 40: Scaling Factor A (line 28) and the "
         "user-defined projection (line 40) take their first-run values."},
        {40, {{29, "-inf"}},
         "The settings file odd.ini is cut short at line 40 and holds no number on line 29: Scope Radius, the "
         "user-defined projection, the font, the weighting of centring, the Earth map's data files, the "
         "planets, the Sun's data frame and Magnitude B (line 29) take their first-run values."},
        {23, {}, ""},
        {25, {}, ""},
        {33, {}, ""},
        {53, {}, ""},
        {69, {}, ""},
        {70, {{34, "1e38"}, {35, "1e300"}, {28, "abc"}}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.keep);
        auto file = std::vector<std::string>(full.begin(), full.begin() + c.keep);
        for (const auto& [line, text] : c.lines) file[size_t(line - 1)] = text;
        write("odd.ini", file);
        scramble();
        dialogs->calls.clear();
        ASSERT_TRUE(INILOAD(*program, "odd.ini", loadAtStartUp));
        EXPECT_EQ(alerts(), c.alert.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.alert});
        dialogs->calls.clear();
        ASSERT_TRUE(INILOAD(*program, "odd.ini", loadLocationData));
        EXPECT_TRUE(alerts().empty());
    }
}

// A number line no value of its precision holds reads as its first-run value, not as 0 or
// infinity; the projection's lines are one curve, taken whole from the first run.
TEST_F(SettingsFile, AnUnheldNumberLineReadsAsItsFirstRunValue)
{
    auto file = saved();
    file[27] = "9e99";    // starScaling
    file[33] = "9e99";    // scope radius
    file[39] = "nan";     // a coefficient
    write("odd.ini", file);
    scramble();
    ASSERT_TRUE(INILOAD(*program, "odd.ini", loadAtStartUp));
    const Program& p = *program;
    EXPECT_EQ(p.minuteOptions.starScaling, 1.0f);
    EXPECT_EQ(p.minuteOptions.dotMagnitude, 8.5f);
    EXPECT_EQ(text("EDIT76"), "90");
    EXPECT_EQ(p.userProjection.radiusDegrees, 90);
    EXPECT_EQ(p.userProjection.domainDegrees, 180);
    EXPECT_EQ(p.userProjection.coefficients, UserProjection{}.coefficients);
    EXPECT_EQ(p.minuteOptions.sunDataFrame, 3);
}

TEST_F(SettingsFile, ModeOneAtTheEndOfFileKeepsTheSwitchesAndClearsTheAltitude)
{
    auto file = saved();
    file.resize(23);
    write("cut.ini", file);
    program->chartOptions.refractionOn = 0;
    program->chartOptions.diurnalAberrationOn = 1;
    set("EDIT43", "250");
    ASSERT_TRUE(INILOAD(*program, "cut.ini", returnToSky));
    EXPECT_EQ(program->chartOptions.refractionOn, 0);
    EXPECT_EQ(program->chartOptions.diurnalAberrationOn, 1);
    EXPECT_EQ(text("EDIT43"), "0");
}

TEST_F(SettingsFile, ValuesOutsideTheirSchemeReadAsFirstRunValues)
{
    auto file = saved();
    file[0] = "-8";        // main window left
    file[4] = "-20";       // chart window width
    file[5] = "123456";    // chart window height
    file[6] = "0";         // image size
    file[14] = "15";       // month
    file[23] = "3";        // refraction switch
    file[29] = "9";        // azElUnit
    file[31] = "3";        // angleUnit
    file[47] = "7";        // fontKind
    file[48] = "0";        // weighting
    file[57] = "-1";       // a planet's display mode
    file[69] = "6";        // sunDataFrame
    write("odd.ini", file);
    ASSERT_TRUE(INILOAD(*program, "odd.ini", loadAtStartUp));
    const Program& p = *program;
    EXPECT_EQ(p.ui.mainForm().geometry().left, 0);
    EXPECT_EQ(p.chartView.chartWindowWidth, 0);
    EXPECT_EQ(p.chartView.chartWindowHeight, firstRunChartWindowSize(p.chartLayout).height);
    EXPECT_EQ(p.chartView.imageSize, 320);
    EXPECT_EQ(text("EDIT1"), "320");
    EXPECT_EQ(p.ui.control("COMBO1").index(), 11);
    EXPECT_EQ(p.chartOptions.refractionOn, 1);
    EXPECT_EQ(p.minuteOptions.azElUnit, 2);
    EXPECT_EQ(p.minuteOptions.raDecUnit, 2);   // the saved value, in its scheme
    EXPECT_EQ(p.minuteOptions.angleUnit, 2);
    EXPECT_EQ(p.dataFileSettings.fontKind, 2);
    EXPECT_EQ(p.chartOptions.centralizeWeighting, 2);
    EXPECT_TRUE(p.ui.menu("WEIGHTCL").checked());
    EXPECT_EQ(p.planetSettings.planetDisplayMode[0], 0);
    EXPECT_EQ(p.minuteOptions.sunDataFrame, 1);
}

// A corner past the far edge of the screens (a screen given up, a file edited by hand) reads as
// 0, as a negative one does, so the window opens in view; Qt's window geometry overflows on the
// values themselves. A corner on the screen is kept, though the window reaches past the edge.
TEST_F(SettingsFile, WindowPlacesPastTheScreenComeBackIntoView)
{
    const ScreenArea screen = availableScreenArea();
    ASSERT_GT(screen.desktopRight, 700);
    ASSERT_GT(screen.desktopBottom, 650);
    const std::string justPast = std::to_string(screen.desktopRight);
    struct Case {
        const char* left;
        const char* top;
        int expectedLeft, expectedTop;
    };
    const Case cases[] = {
        {"200", "100", 200, 100},
        {"700", "650", 700, 650},
        {"2147483647", "2147483647", 0, 0},
        {"1e30", "40000", 0, 0},
        {"-1e30", "650", 0, 650},
        {justPast.c_str(), "99999", 0, 0},
    };
    struct Window {
        const char* form;
        int leftLine;   // 0-based
    };
    const Window windows[] = {{"MAINFORM", 0}, {"FORM2", 2}, {"FORM6", 25}};
    const auto file = saved();
    for (const Window& w : windows) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << w.form << " at " << c.left << ", " << c.top);
            auto placed = file;
            placed[size_t(w.leftLine)] = c.left;
            placed[size_t(w.leftLine) + 1] = c.top;
            write("far.ini", placed);
            ASSERT_TRUE(INILOAD(*program, "far.ini", loadAtStartUp));
            Form form = program->ui.form(w.form);
            form.show();
            EXPECT_EQ(form.geometry().left, c.expectedLeft);
            EXPECT_EQ(form.geometry().top, c.expectedTop);
        }
    }
}

TEST_F(SettingsFile, ScopeRadiusReadsBackAsItsNumbersText)
{
    const std::pair<const char*, const char*> radii[] = {{"0.5", ".5"}, {"120.25", "120.25"}, {"90.00", "90"}};
    for (const auto& [typed, shown] : radii) {
        set("EDIT76", typed);
        ASSERT_TRUE(INISAV(*program, "r.ini"));
        EXPECT_EQ(lines("r.ini")[33], typed);
        ASSERT_TRUE(INILOAD(*program, "r.ini", loadAtStartUp));
        EXPECT_EQ(text("EDIT76"), shown);
    }
}

TEST_F(SettingsFile, AShortOrUnreadableFileChangesNothing)
{
    auto file = saved();
    file.resize(22);
    write("short.ini", file);
    scramble();
    EXPECT_FALSE(INILOAD(*program, "short.ini", loadAtStartUp));
    EXPECT_FALSE(INILOAD(*program, "absent.ini", loadLocationData));
    EXPECT_EQ(text("EDIT2"), "x");
    ASSERT_EQ(alerts().size(), 2u);
    EXPECT_NE(alerts()[0].find("short.ini"), std::string::npos);
    EXPECT_NE(alerts()[1].find("absent.ini"), std::string::npos);
}

TEST_F(SettingsFile, AFailedWriteKeepsTheOldFile)
{
    const auto before = saved();
    set("EDIT2", "+1.0");
    {
        const FullDisk full;
        EXPECT_FALSE(INISAV(*program, "saved.ini"));
    }
    EXPECT_EQ(lines("saved.ini"), before);
    // The cause as the system names it: here a file grown past its limit, as a full disk.
    EXPECT_EQ(alerts(), std::vector<std::string>{"Cannot write \"" + path("saved.ini") + "\": " +
                                                 std::generic_category().message(EFBIG)});
}

// Star-map presets.
TEST_F(SettingsFile, PresetKeepsAPoleShiftCommentAndFrame)
{
    set("EDIT2", "+180.0");
    set("EDIT3", "+90.0");
    set("EDIT42", "+12.5");
    set("EDIT19", "Orion, rising: east");
    program->ui.control("COMBO5").setIndex(6);
    ASSERT_TRUE(CRDSAV(*program, "p.crd"));
    const auto file = lines("p.crd");
    ASSERT_EQ(file.size(), 12u);
    EXPECT_EQ(file[4], " 600 ");
    EXPECT_EQ(file[5], " 440 ");

    set("EDIT2", "0");
    set("EDIT19", "");
    program->ui.control("COMBO5").setIndex(0);
    ASSERT_TRUE(CRDLOAD(*program, "p.crd"));
    EXPECT_EQ(text("EDIT2"), "+180.0");
    EXPECT_EQ(text("EDIT42"), "+12.5");
    EXPECT_EQ(text("EDIT19"), "Orion, rising: east");
    EXPECT_EQ(program->ui.control("COMBO5").index(), 6);

    auto eleven = file;
    eleven.resize(11);
    eleven[10] = "no frame";
    write("eleven.crd", eleven);
    ASSERT_TRUE(CRDLOAD(*program, "eleven.crd"));
    EXPECT_EQ(program->ui.control("COMBO5").index(), 6);
    auto odd = file;
    odd[11] = "12";
    write("odd.crd", odd);
    ASSERT_TRUE(CRDLOAD(*program, "odd.crd"));
    EXPECT_EQ(program->ui.control("COMBO5").index(), 0);

    eleven.resize(10);
    write("ten.crd", eleven);
    set("EDIT19", "kept");
    EXPECT_FALSE(CRDLOAD(*program, "ten.crd"));
    EXPECT_EQ(text("EDIT19"), "kept");
    EXPECT_EQ(alerts().size(), 1u);
}

TEST_F(SettingsFile, FileMenuChoosesPresetsInTheStarMapAndLocationsElsewhere)
{
    Ui& ui = program->ui;
    dialogs->answerFile(path("here.ini"));
    ui.userMenu("SAVELOC");
    ASSERT_TRUE(folder.has("here.ini"));
    EXPECT_EQ(lines("here.ini").size(), 70u);

    set("EDIT2", "+10.0");
    set("EDIT8", "1999");
    set("EDIT10", "3");
    dialogs->answerFile(path("here.ini"));
    ui.userMenu("LOADLOC");
    EXPECT_EQ(text("EDIT2"), "+135.0");
    EXPECT_EQ(text("EDIT8"), "1999");   // the date and time stay
    EXPECT_EQ(text("EDIT10"), "3");

    ui.control("RADIO2").setValue(0);
    ui.control("RADIO3").setValue(1);
    dialogs->answerFile(path("map.crd"));
    ui.userMenu("SAVELOC");
    EXPECT_EQ(lines("map.crd").size(), 12u);
    dialogs->answerFile(path("map.crd"));
    ui.userMenu("LOADLOC");
    ui.userMenu("SAVELOC");   // cancelled: nothing happens

    std::vector<std::string> titles;
    for (const auto& call : dialogs->calls) titles.push_back(call.title + " " + call.filter);
    EXPECT_EQ(titles, (std::vector<std::string>{
                          "Save Location Data Location Data(*.ini)",
                          "Load Location Data Location Data(*.ini)",
                          "Save Star Map Data Star Map Data(*.crd)",
                          "Load Star Map Data Star Map Data(*.crd)",
                          "Save Star Map Data Star Map Data(*.crd)",
                      }));
    EXPECT_NE(dialogs->calls[2].initialName.find("my_coord.crd"), std::string::npos);
}

TEST_F(SettingsFile, BitmapBeforeTheFirstDrawIsTheStartUpPicture)
{
    dialogs->answerFile(path("chart.bmp"));
    program->ui.userMenu("SAVEBITMAP");
    std::ifstream in(path("chart.bmp"), std::ios::binary);
    char header[26] = {};
    ASSERT_TRUE(in.read(header, sizeof header));
    EXPECT_EQ(std::string(header, 2), "BM");
    const auto le = [&](int at) {
        return int(std::uint8_t(header[at])) | int(std::uint8_t(header[at + 1])) << 8;
    };
    EXPECT_EQ(le(18), 600);
    EXPECT_EQ(le(22), 360);
    EXPECT_EQ(dialogs->calls[0].filter, "Bitmap Image(*.bmp)");
}

TEST_F(SettingsFile, AFailedBitmapSaveKeepsTheOldFileAndSaysWhy)
{
    write("chart.bmp", {"an older picture"});
    const auto before = lines("chart.bmp");
    dialogs->answerFile(path("chart.bmp"));
    {
        const FullDisk full;
        program->ui.userMenu("SAVEBITMAP");
    }
    EXPECT_EQ(lines("chart.bmp"), before);
    EXPECT_EQ(alerts(), std::vector<std::string>{"Cannot write \"" + path("chart.bmp") + "\": " +
                                                 std::generic_category().message(EFBIG)});
}

// A DRAW at a size memory cannot hold lets the last picture go, so there is no picture to save:
// no name is asked and the file of an earlier save stays as it was.
TEST_F(SettingsFile, NoBitmapIsSavedAfterADrawThatHadNoRoomForIt)
{
    if (!addressSpaceLimitWorks) GTEST_SKIP() << "the sanitizer reserves address space of its own";
    folder.copyData({"nutation.txt", "prmsun2.plt", "prmmon2.plt", "ALLSTAR5.txt", "velkanet.net"});
    Program& p = *program;
    set("EDIT1", "320");
    p.ui.userClick("BUTTON1");
    write("chart.bmp", {"an older picture"});
    const auto before = lines("chart.bmp");
    set("EDIT1", "9999");
    {
        const ShortMemory limit(64 << 20);
        p.ui.userClick("BUTTON1");
    }
    dialogs->answerFile(path("chart.bmp"));
    p.ui.userMenu("SAVEBITMAP");
    EXPECT_EQ(alerts(), (std::vector<std::string>{"Size of Image is too large: no room for the picture.",
                                                  "There is no picture to save."}));
    for (const auto& call : dialogs->calls) EXPECT_NE(call.kind, "save");
    EXPECT_TRUE(lines("chart.bmp") == before) << "the earlier file was replaced";
}

// The saved picture is the whole bitmap: in "half Height" at 320 the chart ends at row 200 and
// the panel's pole-data rows run on below it.
TEST_F(SettingsFile, BitmapAfterADrawHoldsThePanelRowsBelowTheChart)
{
    folder.copyData({"nutation.txt", "prmsun2.plt", "prmmon2.plt", "ALLSTAR5.txt", "velkanet.net"});
    Program& p = *program;
    set("EDIT1", "320");
    p.ui.userClick("RADIO28");
    p.readoutOptions.poleDataReadout = 3;
    p.ui.userClick("BUTTON1");
    ASSERT_TRUE(alerts().empty()) << alerts()[0];
    dialogs->answerFile(path("chart.bmp"));
    program->ui.userMenu("SAVEBITMAP");
    const QImage saved(QString::fromStdString(path("chart.bmp")), "bmp");
    ASSERT_EQ(saved.width(), 600);
    ASSERT_EQ(saved.height(), 578);
    int lowRows = 0;
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x) {
            const Rgb c = p.chartBitmap.pixelRgb(x, y);
            ASSERT_EQ(saved.pixel(x, y), qRgb(c.red, c.green, c.blue)) << x << ',' << y;
            lowRows += y >= 360 && x >= 360 && c != Rgb{};
        }
    EXPECT_GT(lowRows, 0);
}

} // namespace
} // namespace nivora
