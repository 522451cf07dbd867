#include "app/sky_object_forms.h"

#include "app/settings_file.h"
#include "app/tests/started_program.h"
#include "platform/tests/full_disk.h"

#include <gtest/gtest.h>

#include <map>

namespace nivora {
namespace {

struct SkyObjectForms : StartedProgram {
    SkyObjectForms() : StartedProgram("skyobjects") {}
    void SetUp() override { start(); }

    Ui& ui() { return program->ui; }
    int value(const char* control) { return ui().control(control).value(); }
    int index(const char* control) { return ui().control(control).index(); }
    bool enabled(const char* control) { return ui().control(control).enabled(); }
    std::string caption(const char* control) { return ui().control(control).caption(); }

    // What a loader may change on the orbit form, to compare before and after.
    std::map<std::string, std::string> orbitForm()
    {
        std::map<std::string, std::string> shown;
        for (const char* edit : {"EDIT80", "EDIT81", "EDIT82", "EDIT83", "EDIT84", "EDIT85", "EDIT86", "EDIT87",
                                 "EDIT88", "EDIT89", "EDIT90", "EDIT91", "EDIT92"})
            shown[edit] = text(edit);
        for (const char* choice : {"RADIO68", "RADIO69", "RADIO70", "RADIO71", "RADIO72", "RADIO73", "RADIO74",
                                   "RADIO75", "RADIO76", "RADIO77"})
            shown[choice] = std::to_string(value(choice));
        for (const char* label : {"TEXT140", "TEXT141", "TEXT143", "TEXT146", "RADIO71"})
            shown[std::string(label) + " caption"] = caption(label);
        shown["COMBO7"] = std::to_string(index("COMBO7"));
        shown["COMBO8"] = std::to_string(index("COMBO8"));
        shown["EDIT89 enabled"] = std::to_string(enabled("EDIT89"));
        shown["TEXT152 enabled"] = std::to_string(enabled("TEXT152"));
        return shown;
    }

    std::map<std::string, std::string> starForm()
    {
        std::map<std::string, std::string> shown;
        for (const char* edit : {"EDIT14", "EDIT15", "EDIT16", "EDIT17", "EDIT18", "EDIT38", "EDIT62"})
            shown[edit] = text(edit);
        for (const char* choice : {"RADIO34", "RADIO35", "RADIO61", "RADIO62", "CHECK11", "RADIO50", "RADIO51",
                                   "RADIO59", "RADIO60", "CHECK1", "RADIO102", "RADIO103", "RADIO104"})
            shown[choice] = std::to_string(value(choice));
        for (const char* label : {"TEXT12", "TEXT22", "TEXT23", "TEXT11"})
            shown[std::string(label) + " caption"] = caption(label);
        for (const char* control : {"EDIT62", "RADIO50", "RADIO51", "RADIO59", "RADIO60", "EDIT18", "COMBO4"})
            shown[std::string(control) + " enabled"] = std::to_string(enabled(control));
        shown["COMBO4"] = std::to_string(index("COMBO4"));
        return shown;
    }

    void saveOrbit(const std::string& name)
    {
        dialogs->answerFile(path(name));
        ui().userClick("BUTTON53");
    }
    void loadOrbit(const std::string& name)
    {
        dialogs->answerFile(path(name));
        ui().userClick("BUTTON52");
    }
    void saveStar(const std::string& name)
    {
        dialogs->answerFile(path(name));
        ui().userClick("BUTTON70");
    }
    void loadStar(const std::string& name)
    {
        dialogs->answerFile(path(name));
        ui().userClick("BUTTON71");
    }

    // A comet around the Earth, every field and choice away from the start values.
    void typeOrbit()
    {
        Ui& u = ui();
        u.userClick("RADIO73");
        u.userClick("RADIO68");
        u.userClick("RADIO71");
        u.userClick("RADIO75");
        u.userClick("RADIO77");
        u.userType("EDIT84", "2024");
        u.userChoose("COMBO7", 10);
        u.userType("EDIT85", "1.5");
        u.userType("EDIT89", "12.25");
        u.userType("EDIT80", "7000");
        u.userType("EDIT81", "");
        u.userType("EDIT82", "0.01");
        u.userType("EDIT83", "");
        u.userType("EDIT86", "33.3");
        u.userType("EDIT87", "51.6");
        u.userType("EDIT88", " 100");
        u.userType("EDIT90", "1950");
        u.userChoose("COMBO8", 6);
        u.userType("EDIT91", "17.25");
        u.userType("EDIT92", "Station, 宇宙ステーション");
    }
};

TEST_F(SkyObjectForms, OrbitFileRestoresEveryFieldChoiceCaptionAndUnit)
{
    typeOrbit();
    const auto typed = orbitForm();
    saveOrbit("comet.orb");
    const std::vector<std::string> expected = {
        " 2", " 1", "1950", " 6", "17.25", "2024", " 10", "1.5", "12.25", "7000", "", "0.01", "",
        "33.3", "51.6", " 2", " 100", "Station, 宇宙ステーション", " 2", " 2"};
    EXPECT_EQ(lines("comet.orb"), expected);

    Ui& u = ui();
    u.userClick("RADIO72");
    u.userClick("RADIO69");
    u.userClick("RADIO70");
    u.userClick("RADIO74");
    u.userClick("RADIO76");
    for (const char* edit : {"EDIT80", "EDIT85", "EDIT86", "EDIT88", "EDIT91", "EDIT92"})
        u.userType(edit, "9");
    u.userChoose("COMBO7", 0);
    ASSERT_NE(orbitForm(), typed);

    loadOrbit("comet.orb");
    EXPECT_EQ(orbitForm(), typed);
    EXPECT_EQ(caption("TEXT140"), "km");
    EXPECT_EQ(caption("TEXT143"), "days");
    EXPECT_EQ(caption("TEXT146"), "R.A. of the ascending node");
    EXPECT_EQ(caption("RADIO71"), "R.A. of Perihelion");
    EXPECT_TRUE(alerts().empty());
}

TEST_F(SkyObjectForms, OrbitFileWritesCrLfAndAnEmptyCommentAsAnEmptyLine)
{
    saveOrbit("plain.orb");
    std::ifstream in(folder.path / "plain.orb", std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(bytes.substr(0, 8), " 1\r\n 2\r\n");
    EXPECT_EQ(lines("plain.orb").at(17), "");
    set("EDIT92", "x");
    loadOrbit("plain.orb");
    EXPECT_EQ(text("EDIT92"), "");
}

TEST_F(SkyObjectForms, OrbitLoaderCases)
{
    // 18 lines, in the LF form: the coordinate and the time scale fall back.
    std::vector<std::string> eighteen = {" 1", " 2", "2000", " 0", "1.5", "2001", " 3", "4.5", "123.4", "1",
                                         "", "0.5", "", "10", "20", " 2", "30", "c"};
    {
        std::ofstream out(folder.path / "short.orb", std::ios::binary);
        for (const std::string& line : eighteen)
            out << line << "\n";
    }
    ui().userClick("RADIO75");
    ui().userClick("RADIO77");
    loadOrbit("short.orb");
    EXPECT_EQ(value("RADIO74"), 1);
    EXPECT_EQ(value("RADIO75"), 0);
    EXPECT_EQ(value("RADIO76"), 1);
    EXPECT_EQ(value("RADIO77"), 0);
    EXPECT_EQ(caption("RADIO71"), "Longitude of Perihelion");
    EXPECT_EQ(caption("TEXT146"), "Longitude of the ascending node");
    // Perihelion passage: the mean anomaly is kept, though disabled.
    EXPECT_EQ(text("EDIT89"), "123.4");
    EXPECT_FALSE(enabled("EDIT89"));
    EXPECT_FALSE(enabled("TEXT152"));
    EXPECT_EQ(index("COMBO7"), 3);

    // Codes other than 1 and 2 leave their groups; extra lines are ignored.
    std::vector<std::string> odd = eighteen;
    odd[0] = " 3";
    odd[1] = " 0";
    odd[15] = " 7";
    odd.insert(odd.end(), {" 5", " 2", "extra", "lines"});
    write("odd.orb", odd);
    loadOrbit("odd.orb");
    EXPECT_TRUE(alerts().empty());
    EXPECT_EQ(value("RADIO72"), 1);
    EXPECT_EQ(value("RADIO69"), 1);
    EXPECT_EQ(value("RADIO71"), 1);
    EXPECT_EQ(value("RADIO74"), 1);
    EXPECT_EQ(value("RADIO77"), 1);
}

TEST_F(SkyObjectForms, MalformedOrbitFilesChangeNothing)
{
    std::vector<std::string> good = {" 1", " 1", "2000", " 0", "1.5", "2001", " 3", "4.5", "1", "1",
                                     "", "0.5", "", "10", "20", " 1", "30", "c", " 1", " 1"};
    struct Case {
        const char* name;
        int line;        // 1-based line replaced, 0 none
        const char* with;
        int keep;        // lines kept
        const char* said;
    };
    const Case cases[] = {
        {"17 lines", 0, "", 17, "expected 18 or 20 lines"},
        {"19 lines", 0, "", 19, "expected 18 or 20 lines"},
        {"month 12", 4, " 12", 20, "line 4"},
        {"month -1", 7, "-1", 20, "line 7"},
        {"month as text", 4, "Mar", 20, "line 4"},
        {"centre as text", 1, "Sun", 20, "line 1"},
        {"time scale as text", 20, "UT", 20, "line 20"},
    };
    const auto before = orbitForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> file(good.begin(), good.begin() + c.keep);
        if (c.line > 0)
            file[size_t(c.line - 1)] = c.with;
        write("bad.orb", file);
        const size_t count = alerts().size();
        loadOrbit("bad.orb");
        ASSERT_EQ(alerts().size(), count + 1);
        EXPECT_NE(alerts().back().find("bad.orb"), std::string::npos) << alerts().back();
        EXPECT_NE(alerts().back().find(c.said), std::string::npos) << alerts().back();
        EXPECT_EQ(orbitForm(), before);
    }
}

TEST_F(SkyObjectForms, FailedSavesKeepTheOldFileAndSayWhich)
{
    saveOrbit("keep.orb");
    saveStar("keep.str");
    const auto orbit = lines("keep.orb");
    const auto star = lines("keep.str");
    set("EDIT92", "a much longer comment than before");
    set("EDIT38", "a much longer name than before");
    {
        const FullDisk full;
        saveOrbit("keep.orb");
        saveStar("keep.str");
    }
    EXPECT_EQ(lines("keep.orb"), orbit);
    EXPECT_EQ(lines("keep.str"), star);
    ASSERT_EQ(alerts().size(), 2u);
    EXPECT_NE(alerts()[0].find("keep.orb"), std::string::npos);
    EXPECT_NE(alerts()[1].find("keep.str"), std::string::npos);
}

TEST_F(SkyObjectForms, OrbitRadiosRelabelAndEnableTheirOwnGroup)
{
    Ui& u = ui();
    u.userClick("RADIO68");
    EXPECT_TRUE(enabled("EDIT89"));
    EXPECT_TRUE(enabled("TEXT152"));
    set("EDIT89", "45.5");
    u.userClick("RADIO69");
    EXPECT_EQ(text("EDIT89"), "000.000");
    EXPECT_FALSE(enabled("EDIT89"));
    u.userClick("RADIO73");
    EXPECT_EQ(caption("TEXT140") + caption("TEXT141") + caption("TEXT143"), "kmkmdays");
    EXPECT_EQ(caption("RADIO71"), "Longitude of Perihelion");
    u.userClick("RADIO72");
    EXPECT_EQ(caption("TEXT140") + caption("TEXT141") + caption("TEXT143"), "AUAUyears");
    u.userClick("RADIO75");
    EXPECT_EQ(caption("TEXT146"), "R.A. of the ascending node");
    u.userClick("RADIO74");
    EXPECT_EQ(caption("RADIO71"), "Longitude of Perihelion");

    u.userMenu("OOBJDF");
    EXPECT_TRUE(u.form("FORM7").visible());
    u.userClick("BUTTON51");
    EXPECT_FALSE(u.form("FORM7").visible());
}

TEST_F(SkyObjectForms, CalculateCompletesCeres)
{
    // JPL's osculating elements of Ceres for 2020 January 1.0 TDB.
    Ui& u = ui();
    u.userClick("RADIO68");
    u.userType("EDIT80", "2.556401146697176");
    u.userType("EDIT82", "0.07687465013145245");
    u.userClick("BUTTON54");
    EXPECT_NEAR(std::stod(text("EDIT81")), 2.769289292, 5e-9);
    EXPECT_NEAR(std::stod(text("EDIT83")), 4.60851, 5e-6);
}

TEST_F(SkyObjectForms, PlanetsFormStoresOnOkOnly)
{
    Program& p = *program;
    Ui& u = ui();
    p.planetSettings.planetOrbitFile[2] = "mars.plt";
    p.planetSettings.planetDisplayMode[2] = 1;
    p.planetSettings.planetDisplayMode[4] = 9;   // no button for it: the row stays
    u.userMenu("PLNTS");
    EXPECT_TRUE(u.form("FORM8").visible());
    EXPECT_EQ(text("EDIT99"), "mars.plt");
    EXPECT_EQ(value("RADIO85"), 1);
    EXPECT_FALSE(enabled("EDIT79"));

    // "OK" untouched stores back what was shown.
    const PlanetSettings before = p.planetSettings;
    u.userClick("BUTTON61");
    EXPECT_EQ(p.planetSettings.planetOrbitFile, before.planetOrbitFile);
    EXPECT_EQ(p.planetSettings.planetDisplayMode[2], 1);

    // Mars emphasized reaches the record and the settings file.
    u.userMenu("PLNTS");
    u.userClick("RADIO86");
    write("mars2.plt", {"#"});
    dialogs->answerFile(path("mars2.plt"));
    u.userClick("BUTTON65");
    EXPECT_EQ(dialogs->calls.back().title, "Orbit data for Mars");
    EXPECT_EQ(dialogs->calls.back().initialName, "mars.plt");
    EXPECT_EQ(dialogs->calls.back().filter, "(*.plt)");
    u.userClick("BUTTON61");
    EXPECT_EQ(p.planetSettings.planetDisplayMode[2], 2);
    EXPECT_EQ(p.planetSettings.planetOrbitFile[2], path("mars2.plt"));
    ASSERT_TRUE(INISAV(p, "nivora.ini"));
    start();
    EXPECT_EQ(program->planetSettings.planetDisplayMode[2], 2);
    EXPECT_EQ(program->planetSettings.planetOrbitFile[2], path("mars2.plt"));
}

TEST_F(SkyObjectForms, EachReferButtonFillsItsOwnRowUntilOk)
{
    struct Row {
        const char* button;
        const char* field;
        const char* title;
    };
    const Row rows[7] = {
        {"BUTTON63", "EDIT97", "Orbit data for Mercury"}, {"BUTTON64", "EDIT98", "Orbit data for Venus"},
        {"BUTTON65", "EDIT99", "Orbit data for Mars"},    {"BUTTON66", "EDIT100", "Orbit data for Jupiter"},
        {"BUTTON67", "EDIT101", "Orbit data for Saturn"}, {"BUTTON68", "EDIT102", "Orbit data for Uranus"},
        {"BUTTON69", "EDIT103", "Orbit data for Neptune"},
    };
    Program& p = *program;
    Ui& u = ui();
    for (int i = 0; i < 7; ++i)
        p.planetSettings.planetOrbitFile[i] = "stored" + std::to_string(i) + ".plt";
    const PlanetSettings stored = p.planetSettings;
    u.userMenu("PLNTS");
    for (int i = 0; i < 7; ++i) {
        SCOPED_TRACE(rows[i].title);
        const std::string chosen = "chosen" + std::to_string(i) + ".plt";
        write(chosen, {"#"});

        // Cancelled, or a name that is not there: the row keeps its text.
        dialogs->answerFile(std::nullopt);
        u.userClick(rows[i].button);
        dialogs->answerFile(path("missing.plt"));
        u.userClick(rows[i].button);
        EXPECT_EQ(text(rows[i].field), stored.planetOrbitFile[i]);

        dialogs->answerFile(path(chosen));
        u.userClick(rows[i].button);
        const ScriptedDialogs::Call& call = dialogs->calls.back();
        EXPECT_EQ(call.kind, "open");
        EXPECT_EQ(call.title, rows[i].title);
        EXPECT_EQ(call.initialName, stored.planetOrbitFile[i]);
        EXPECT_EQ(call.filter, "(*.plt)");
        for (int j = 0; j < 7; ++j)
            EXPECT_EQ(text(rows[j].field), j <= i ? path("chosen" + std::to_string(j) + ".plt")
                                                  : stored.planetOrbitFile[j])
                << rows[j].field;
        EXPECT_EQ(p.planetSettings.planetOrbitFile, stored.planetOrbitFile);
    }
    u.userClick("BUTTON61");
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(p.planetSettings.planetOrbitFile[i], path("chosen" + std::to_string(i) + ".plt"));
}

TEST_F(SkyObjectForms, PlanetsCancelDropsRowEditsButKeepsTheShadowFields)
{
    Program& p = *program;
    Ui& u = ui();
    u.userMenu("PLNTS");
    u.userClick("RADIO100");
    EXPECT_TRUE(enabled("EDIT79"));
    u.userType("EDIT79", "8000");
    u.userType("EDIT106", "1.1");
    u.userClick("RADIO89");
    u.userType("EDIT100", "typed.plt");
    u.userClick("BUTTON62");
    EXPECT_FALSE(u.form("FORM8").visible());
    EXPECT_EQ(p.planetSettings.earthShadowDistanceMode, 1);
    EXPECT_EQ(p.planetSettings.planetDisplayMode[3], 0);

    u.userMenu("PLNTS");
    EXPECT_EQ(value("RADIO87"), 1);
    EXPECT_EQ(value("RADIO89"), 0);
    EXPECT_EQ(text("EDIT100"), "");
    EXPECT_EQ(value("RADIO99"), 1);
    EXPECT_FALSE(enabled("EDIT79"));
    EXPECT_EQ(text("EDIT79"), "8000");
    EXPECT_EQ(text("EDIT106"), "1.1");

    u.userClick("RADIO100");
    u.userClick("BUTTON61");
    EXPECT_EQ(p.planetSettings.earthShadowDistanceMode, 2);
}

TEST_F(SkyObjectForms, AddedStarFileRestoresItsFieldsButNeitherMarkNorSwitch)
{
    Ui& u = ui();
    u.userClick("CHECK1");
    u.userChoose("COMBO4", 9);
    EXPECT_EQ(caption("TEXT12") + "/" + caption("TEXT22"), "Azimuth/Elevation");
    u.userType("EDIT14", "-0");
    u.userType("EDIT15", "30.5");
    u.userType("EDIT16", "+45");
    u.userType("EDIT17", "07");
    u.userClick("RADIO62");
    u.userClick("RADIO35");
    u.userType("EDIT18", "1.5");
    u.userType("EDIT38", "Beacon, 灯台");
    u.userClick("CHECK11");
    u.userType("EDIT62", "2.5");
    u.userClick("RADIO51");
    u.userClick("RADIO60");
    const auto typed = starForm();
    saveStar("beacon.str");
    const std::vector<std::string> expected = {"-0",   "30.5", "+45", "07",  "1.5", "Beacon, 灯台", " 9",
                                               " 2",   " 2",   " 1",  "2.5", " 2",  " 2"};
    EXPECT_EQ(lines("beacon.str"), expected);

    u.userChoose("COMBO4", 3);
    u.userClick("RADIO61");
    u.userClick("RADIO34");
    u.userClick("CHECK11");
    u.userClick("RADIO50");
    u.userType("EDIT38", "");
    u.userClick("RADIO102");
    loadStar("beacon.str");
    auto loaded = starForm();
    // The mark style is not in the file: the cross keeps the size fields disabled.
    EXPECT_EQ(value("RADIO102"), 1);
    loaded["RADIO102"] = typed.at("RADIO102");
    loaded["RADIO103"] = typed.at("RADIO103");
    loaded["EDIT18 enabled"] = typed.at("EDIT18 enabled");
    EXPECT_EQ(loaded, typed);
    EXPECT_TRUE(alerts().empty());
}

TEST_F(SkyObjectForms, AddedStarLoaderCases)
{
    Ui& u = ui();
    u.userClick("CHECK1");
    u.userClick("RADIO62");
    u.userType("EDIT38", "kept");
    u.userClick("RADIO35");
    u.userClick("CHECK11");
    const std::vector<std::string> full = {"1", "2", "3", "4", "5", "name", " 6", " 2", " 2", " 1", "7", " 2", " 2"};

    // Five lines: name, frame and unit stay; the size is a magnitude; the distance clears.
    write("five.str", {full.begin(), full.begin() + 5});
    loadStar("five.str");
    EXPECT_EQ(text("EDIT18"), "5");
    EXPECT_EQ(text("EDIT38"), "kept");
    EXPECT_EQ(index("COMBO4"), 3);
    EXPECT_EQ(caption("TEXT23"), "deg");
    EXPECT_EQ(value("RADIO34"), 1);
    EXPECT_EQ(caption("TEXT11"), "");
    EXPECT_EQ(value("CHECK11"), 0);
    EXPECT_FALSE(enabled("EDIT62"));

    // Nine lines: everything up to the unit, the distance cleared.
    u.userClick("CHECK11");
    u.userClick("RADIO61");
    write("nine.str", {full.begin(), full.begin() + 9});
    loadStar("nine.str");
    EXPECT_EQ(text("EDIT38"), "name");
    EXPECT_EQ(index("COMBO4"), 6);
    EXPECT_EQ(caption("TEXT12"), "Longitude");
    EXPECT_EQ(value("RADIO35"), 1);
    EXPECT_EQ(caption("TEXT11"), "deg");
    EXPECT_EQ(caption("TEXT23"), "deg");
    EXPECT_EQ(value("CHECK11"), 0);

    // With the switch clear, a ticked distance loads but stays disabled; CHECK1 is not touched.
    u.userClick("CHECK1");
    write("full.str", full);
    loadStar("full.str");
    EXPECT_EQ(value("CHECK1"), 0);
    EXPECT_EQ(value("CHECK11"), 1);
    EXPECT_FALSE(enabled("EDIT62"));
    EXPECT_EQ(text("EDIT62"), "7");
    EXPECT_EQ(value("RADIO51"), 1);
    EXPECT_EQ(value("RADIO60"), 1);
    EXPECT_TRUE(alerts().empty());
}

TEST_F(SkyObjectForms, MalformedAddedStarFilesChangeNothing)
{
    const std::vector<std::string> full = {"1", "2", "3", "4", "5", "name", " 6", " 2", " 2", " 1", "7", " 2", " 2"};
    struct Case {
        const char* name;
        int keep;
        int line;
        const char* with;
        const char* said;
    };
    const Case cases[] = {
        {"4 lines", 4, 0, "", "expected 5 to 9 or 13 lines"},
        {"10 lines", 10, 0, "", "expected 5 to 9 or 13 lines"},
        {"12 lines", 12, 0, "", "expected 5 to 9 or 13 lines"},
        {"frame 10", 13, 7, " 10", "line 7"},
        {"frame -1", 7, 7, "-1", "line 7"},
        {"check 2", 13, 10, " 2", "line 10"},
        {"size as text", 8, 8, "Radius", "line 8"},
        {"origin as text", 13, 13, "surface", "line 13"},
    };
    const auto before = starForm();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> file(full.begin(), full.begin() + std::min<int>(c.keep, 13));
        while (int(file.size()) < c.keep)
            file.push_back("x");
        if (c.line > 0)
            file[size_t(c.line - 1)] = c.with;
        write("bad.str", file);
        const size_t count = alerts().size();
        loadStar("bad.str");
        ASSERT_EQ(alerts().size(), count + 1);
        EXPECT_NE(alerts().back().find("bad.str"), std::string::npos) << alerts().back();
        EXPECT_NE(alerts().back().find(c.said), std::string::npos) << alerts().back();
        EXPECT_EQ(starForm(), before);
    }
}

TEST_F(SkyObjectForms, AddedStarSwitchesKeepTheFormConsistent)
{
    Ui& u = ui();
    EXPECT_FALSE(enabled("COMBO4"));
    u.userClick("CHECK1");
    for (const char* control : {"COMBO4", "EDIT14", "EDIT17", "RADIO102", "TEXT79", "EDIT38", "CHECK11", "RADIO62",
                                "RADIO34", "EDIT18", "TEXT11"})
        EXPECT_TRUE(enabled(control)) << control;
    // "TEXT79" also names a label on "DRAW using FILE": the name's own label must follow the switch.
    const Control nameLabel = u.form("FORM9").control("TEXT79");
    EXPECT_TRUE(nameLabel.enabled());
    EXPECT_FALSE(enabled("EDIT62"));
    u.userClick("RADIO102");
    for (const char* control : {"RADIO34", "RADIO35", "EDIT18", "TEXT11"})
        EXPECT_FALSE(enabled(control)) << control;
    u.userClick("RADIO104");
    EXPECT_TRUE(enabled("EDIT18"));
    u.userClick("CHECK11");
    for (const char* control : {"RADIO50", "RADIO51", "RADIO59", "RADIO60", "EDIT62"})
        EXPECT_TRUE(enabled(control)) << control;
    u.userClick("RADIO102");
    u.userClick("CHECK1");
    EXPECT_FALSE(nameLabel.enabled());
    EXPECT_TRUE(u.form("FORM4").control("TEXT79").enabled());
    u.userClick("CHECK1");
    EXPECT_FALSE(enabled("EDIT18"));
    EXPECT_TRUE(enabled("EDIT62"));

    const std::pair<int, const char*> frames[] = {{0, "Right Ascension/Declination"}, {3, "Right Ascension/Declination"},
                                                  {4, "Longitude/Latitude"},          {8, "Longitude/Latitude"},
                                                  {9, "Azimuth/Elevation"}};
    for (const auto& [frame, captions] : frames) {
        u.userChoose("COMBO4", frame);
        EXPECT_EQ(caption("TEXT12") + "/" + caption("TEXT22"), captions);
    }
    u.userClick("RADIO62");
    EXPECT_EQ(caption("TEXT23"), "deg");
    u.userClick("RADIO61");
    EXPECT_EQ(caption("TEXT23"), "h");
    u.userMenu("ADDSTAR");
    EXPECT_TRUE(u.form("FORM9").visible());
    u.userClick("BUTTON72");
    EXPECT_FALSE(u.form("FORM9").visible());
}

TEST_F(SkyObjectForms, OverdrawRefusesWithoutAChartOrAfterTheSizeChanged)
{
    Ui& u = ui();
    u.userClick("BUTTON74");
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], "Main Picture do not exist.");
}

} // namespace
} // namespace nivora
