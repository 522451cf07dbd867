#include "app/app_forms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <filesystem>

#include "app/program.h"
#include "app/tests/test_folder.h"
#include "platform/clock.h"
#include "platform/dialogs.h"

namespace nivora {
namespace {

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

// Every control the program addresses, form by form, as the windows are described to the user.
const std::map<std::string, std::string>& namedControls() {
    static const std::map<std::string, std::string> names = {
        {"MAINFORM",
         "RADIO2 RADIO3 RADIO105 TEXT1 TEXT2 TEXT4 TEXT5 EDIT2 EDIT3 EDIT43 TEXT86 EDIT42 TEXT87 "
         "EDIT4 EDIT5 EDIT6 EDIT7 EDIT8 COMBO1 EDIT9 EDIT10 EDIT11 EDIT19 TEXT18 TEXT19 EDIT12 "
         "EDIT13 COMBO6 EDIT64 TEXT174 COMBO5 COMBO2 CHECK2 CHECK3 EDIT1 EDIT75 RADIO27 RADIO28 "
         "RADIO29 EDIT76 EDIT63 BUTTON31 BUTTON32 BUTTON45 BUTTON20 BUTTON37 BUTTON42 BUTTON38 "
         "BUTTON39 BUTTON40 BUTTON43 BUTTON41 BUTTON25 BUTTON21 BUTTON22 BUTTON23 BUTTON24 "
         "BUTTON33 BUTTON34 BUTTON35 BUTTON36 BUTTON26 BUTTON47 BUTTON48 BUTTON46 TEXT27 TEXT131 "
         "BUTTON1 BUTTON50 EDIT104 BUTTON73"},
        {"FORM2", "HSCROLL1 VSCROLL1"},
        {"FORM3",
         "EDIT58 EDIT59 EDIT60 EDIT61 EDIT93 EDIT94 EDIT95 EDIT96 BUTTON2 BUTTON7 BUTTON3 BUTTON4 "
         "BUTTON55 BUTTON58 BUTTON56 BUTTON57 RADIO57 RADIO58 BUTTON5 BUTTON6"},
        {"FORM4",
         "CHECK4 TEXT72 RADIO21 RADIO22 EDIT34 CHECK6 TEXT59 EDIT29 TEXT90 EDIT54 BUTTON13 TEXT61 "
         "COMBO3 CHECK5 CHECK12 TEXT45 RADIO11 TEXT46 RADIO14 BUTTON15 BUTTON9 RADIO12 RADIO13 "
         "RADIO15 BUTTON14 TEXT64 EDIT20 TEXT47 EDIT21 TEXT48 TEXT68 EDIT22 TEXT49 EDIT23 TEXT50 "
         "TEXT67 EDIT30 TEXT65 EDIT31 TEXT66 TEXT71 EDIT32 TEXT69 EDIT33 TEXT70 BUTTON12 TEXT62 "
         "PICTURE1 PICTURE2 BUTTON11 TEXT80 EDIT39 TEXT81 TEXT60 TEXT57 EDIT28 TEXT58 TEXT79 RADIO9 "
         "RADIO16 RADIO10 TEXT54 EDIT26 TEXT55 EDIT27 TEXT56 RADIO32 RADIO7 TEXT63 RADIO17 RADIO18 "
         "RADIO19 RADIO20 RADIO8 TEXT91 TEXT103 TEXT51 EDIT24 TEXT52 EDIT25 TEXT53 TEXT101 TEXT102 "
         "EDIT53 RADIO24 CHECK7 EDIT50 TEXT92 EDIT44 TEXT93 EDIT45 TEXT94 BUTTON27 RADIO67 CHECK8 "
         "EDIT51 TEXT95 EDIT46 TEXT96 EDIT47 TEXT97 BUTTON28 TEXT73 EDIT35 TEXT74 EDIT36 TEXT75 "
         "CHECK9 EDIT52 TEXT98 EDIT48 TEXT99 EDIT49 TEXT100 BUTTON29 TEXT76 RADIO25 RADIO26 TEXT77 "
         "EDIT37 TEXT78 CHECK10 EDIT55 TEXT104 EDIT56 TEXT105 EDIT57 TEXT106 BUTTON30"},
        {"FORM5",
         "EDIT40 EDIT41 RADIO44 RADIO45 RADIO46 EDIT77 BUTTON16 BUTTON17 BUTTON44 BUTTON49 EDIT65 "
         "EDIT66 EDIT67 EDIT68 EDIT69 EDIT70 EDIT71 EDIT72 EDIT73 EDIT74 RADIO36 RADIO37 RADIO41 "
         "RADIO63 RADIO65 RADIO38 RADIO39 RADIO40 RADIO64 RADIO66 RADIO47 RADIO48 RADIO49 RADIO101 "
         "RADIO52 RADIO53 RADIO54 EDIT78 RADIO42 RADIO43"},
        {"FORM6", "BUTTON18 BUTTON19 BUTTON76 BUTTON75 EDIT105 CHECK13"},
        {"FORM7",
         "RADIO72 RADIO73 RADIO68 RADIO69 EDIT84 COMBO7 EDIT85 EDIT89 TEXT152 EDIT80 TEXT140 EDIT81 "
         "TEXT141 EDIT82 EDIT83 TEXT143 EDIT86 TEXT146 EDIT87 RADIO70 RADIO71 EDIT88 EDIT90 COMBO8 "
         "EDIT91 RADIO74 RADIO75 RADIO76 RADIO77 EDIT92 BUTTON54 BUTTON51 BUTTON52 BUTTON53"},
        {"FORM8",
         "RADIO78 RADIO79 RADIO80 RADIO81 RADIO82 RADIO83 RADIO84 RADIO85 RADIO86 RADIO87 RADIO88 "
         "RADIO89 RADIO90 RADIO91 RADIO92 RADIO93 RADIO94 RADIO95 RADIO96 RADIO97 RADIO98 EDIT97 "
         "EDIT98 EDIT99 EDIT100 EDIT101 EDIT102 EDIT103 BUTTON63 BUTTON64 BUTTON65 BUTTON66 "
         "BUTTON67 BUTTON68 BUTTON69 RADIO99 RADIO100 EDIT79 TEXT138 EDIT106 BUTTON61 BUTTON62"},
        {"FORM9",
         "CHECK1 COMBO4 TEXT12 EDIT14 TEXT23 EDIT15 TEXT26 RADIO61 RADIO62 TEXT22 EDIT16 TEXT24 "
         "EDIT17 TEXT25 RADIO102 RADIO103 RADIO104 RADIO34 RADIO35 EDIT18 TEXT11 EDIT38 TEXT79 "
         "CHECK11 EDIT62 RADIO50 RADIO51 RADIO59 RADIO60 BUTTON70 BUTTON71 BUTTON72 BUTTON74"},
    };
    return names;
}

// A start of the program with its windows, in a folder of its own.
struct Windows : testing::Test {
    Windows()
        : folder("windows"), program((folder.copyStartupData(), folder.path)), ui(program.ui),
          chart(program.chartOptions), readout(program.readoutOptions) {}
    void SetUp() override {
        ui.setDialogs(std::make_unique<ScriptedDialogs>());
        ASSERT_TRUE(program.start());
    }

    // A computer in Japan: its zone, +9, is the first run's "PC's Time Zone".
    const ClockOverride clock{[] { return LocalDateTime{2008, 12, 31, 23, 59, 0, 540}; }};
    TestFolder folder;
    Program program;
    Ui& ui;
    ChartOptions& chart;
    ReadoutOptions& readout;
};

TEST_F(Windows, EveryFormHoldsTheControlsTheProgramAddresses) {
    const std::regex systemName("[A-Z]+[0-9]+");
    for (const auto& [formName, list] : namedControls()) {
        SCOPED_TRACE(formName);
        ASSERT_TRUE(ui.hasForm(formName));
        const Form form = ui.form(formName);
        const std::vector<std::string> expected = words(list);
        for (const std::string& name : expected)
            EXPECT_TRUE(form.has(name)) << name;
        // No control under a name of that shape that the program does not know of.
        const std::set<std::string> known(expected.begin(), expected.end());
        for (const std::string& name : form.controlNames()) {
            if (std::regex_match(name, systemName)) {
                EXPECT_TRUE(known.contains(name)) << name << " is declared but not expected";
            }
        }
    }
}

TEST_F(Windows, TitlesAndOnlyTheMainWindowShown) {
    const std::map<std::string, std::string> titles = {
        {"MAINFORM", "nivora/planisphere"}, {"FORM2", "planisphere Image"},
        {"FORM3", "Setting Files"},          {"FORM4", "DRAW using Data File"},
        {"FORM5", "Minute Option"},          {"FORM6", "pointing"},
        {"FORM7", "Orbital Elements"},       {"FORM8", "Planets"},
        {"FORM9", "Adding A Star"},
    };
    for (const auto& [name, title] : titles) {
        EXPECT_EQ(ui.form(name).title(), title);
        EXPECT_EQ(ui.form(name).visible(), name == "MAINFORM") << name;
    }
    EXPECT_EQ(ui.mainForm().name(), "MAINFORM");
}

struct GroupCase {
    const char* form;
    const char* group;
    std::vector<std::pair<const char*, int>> buttons; // button and the code it gives
};

// Every option group of every form with the code each button gives when the user selects it.
const std::vector<GroupCase>& groupCases() {
    static const std::vector<GroupCase> cases = {
        {"MAINFORM", "chartMode", {{"RADIO2", 1}, {"RADIO3", 2}, {"RADIO105", 3}}},
        {"MAINFORM", "layout", {{"RADIO27", 1}, {"RADIO28", 2}, {"RADIO29", 3}}},
        {"FORM3", "fontKind", {{"RADIO57", 1}, {"RADIO58", 2}}},
        {"FORM4", "longitudeUnit", {{"RADIO11", 1}, {"RADIO12", 2}, {"RADIO13", 3}}},
        {"FORM4", "latitudeUnit", {{"RADIO14", 1}, {"RADIO15", 2}}},
        {"FORM4", "markShape",
         {{"RADIO7", 1}, {"RADIO8", 2}, {"RADIO24", 3}, {"RADIO32", 4}, {"RADIO67", 5}}},
        {"FORM4", "radiusUnit", {{"RADIO25", 1}, {"RADIO26", 2}}},
        {"FORM4", "commentMode", {{"RADIO9", 1}, {"RADIO10", 2}, {"RADIO16", 3}}},
        {"FORM4", "commentPosition", {{"RADIO17", 1}, {"RADIO18", 2}, {"RADIO19", 3}, {"RADIO20", 4}}},
        {"FORM4", "endMode", {{"RADIO21", 1}, {"RADIO22", 2}}},
        {"FORM5", "azElUnit",
         {{"RADIO36", 1}, {"RADIO37", 2}, {"RADIO41", 3}, {"RADIO63", 4}, {"RADIO65", 5}}},
        {"FORM5", "raDecUnit",
         {{"RADIO38", 1}, {"RADIO39", 2}, {"RADIO40", 3}, {"RADIO64", 4}, {"RADIO66", 5}}},
        {"FORM5", "sunDataFrame",
         {{"RADIO47", 1}, {"RADIO48", 2}, {"RADIO49", 3}, {"RADIO101", 4}, {"RADIO52", 5}}},
        {"FORM5", "angleUnit", {{"RADIO42", 1}, {"RADIO43", 2}}},
        {"FORM5", "commentUnit", {{"RADIO44", 1}, {"RADIO45", 2}, {"RADIO46", 3}}},
        {"FORM5", "searchComment", {{"RADIO53", 1}, {"RADIO54", 2}}},
        {"FORM7", "center", {{"RADIO72", 1}, {"RADIO73", 2}}},
        {"FORM7", "orbitPlace", {{"RADIO68", 1}, {"RADIO69", 2}}},
        {"FORM7", "perihelionAngle", {{"RADIO70", 1}, {"RADIO71", 2}}},
        {"FORM7", "coordinate", {{"RADIO74", 1}, {"RADIO75", 2}}},
        {"FORM7", "timeScale", {{"RADIO76", 1}, {"RADIO77", 2}}},
        // A planet's mode is "(x)" + 2 x "Emphasized".
        {"FORM8", "planet0", {{"RADIO78", 0}, {"RADIO79", 1}, {"RADIO80", 2}}},
        {"FORM8", "planet1", {{"RADIO81", 0}, {"RADIO82", 1}, {"RADIO83", 2}}},
        {"FORM8", "planet2", {{"RADIO84", 0}, {"RADIO85", 1}, {"RADIO86", 2}}},
        {"FORM8", "planet3", {{"RADIO87", 0}, {"RADIO88", 1}, {"RADIO89", 2}}},
        {"FORM8", "planet4", {{"RADIO90", 0}, {"RADIO91", 1}, {"RADIO92", 2}}},
        {"FORM8", "planet5", {{"RADIO93", 0}, {"RADIO94", 1}, {"RADIO95", 2}}},
        {"FORM8", "planet6", {{"RADIO96", 0}, {"RADIO97", 1}, {"RADIO98", 2}}},
        {"FORM8", "shadowDistance", {{"RADIO99", 1}, {"RADIO100", 2}}},
        {"FORM9", "firstUnit", {{"RADIO61", 1}, {"RADIO62", 2}}},
        {"FORM9", "markStyle", {{"RADIO102", 1}, {"RADIO103", 2}, {"RADIO104", 3}}},
        {"FORM9", "sizeKind", {{"RADIO34", 1}, {"RADIO35", 2}}},
        {"FORM9", "distanceUnit", {{"RADIO50", 1}, {"RADIO51", 2}}},
        {"FORM9", "distanceOrigin", {{"RADIO59", 1}, {"RADIO60", 2}}},
    };
    return cases;
}

TEST_F(Windows, EveryOptionGroupReadsTheCodeOfTheButtonTheUserSelects) {
    std::set<std::string> covered;
    for (const GroupCase& g : groupCases()) {
        const Form form = ui.form(g.form);
        for (const auto& [button, code] : g.buttons) {
            SCOPED_TRACE(std::string(g.form) + " " + button);
            covered.insert(std::string(g.form) + " " + button);
            ui.control(button).setEnabled(true); // some start disabled; the code is the point
            ui.userClick(button);
            EXPECT_EQ(form.groupCode(g.group), code);
            for (const auto& other : g.buttons)
                EXPECT_EQ(ui.control(other.first).value(), std::string_view(other.first) == button)
                    << other.first;
            ui.userClick(button); // a second click keeps it selected
            EXPECT_EQ(ui.control(button).value(), 1);
        }
    }
    // Every option button of the program belongs to a group of the table.
    for (const auto& [formName, list] : namedControls()) {
        for (const std::string& name : words(list)) {
            if (name.starts_with("RADIO")) {
                EXPECT_TRUE(covered.contains(formName + " " + name)) << formName << " " << name;
            }
        }
    }
}

TEST_F(Windows, StartSelections) {
    const char* selected[] = {
        "RADIO2",  "RADIO27",  "RADIO58",  "RADIO11",  "RADIO14",  "RADIO7",  "RADIO25", "RADIO9",
        "RADIO19", "RADIO21",  "RADIO37",  "RADIO40",  "RADIO47",  "RADIO43", "RADIO46", "RADIO53",
        "RADIO72", "RADIO69",  "RADIO70",  "RADIO74",  "RADIO76",  "RADIO78", "RADIO81", "RADIO84",
        "RADIO87", "RADIO90",  "RADIO93",  "RADIO96",  "RADIO99",  "RADIO61", "RADIO103",
        "RADIO34", "RADIO50",  "RADIO59",
    };
    std::set<std::string> on(std::begin(selected), std::end(selected));
    for (const auto& [formName, list] : namedControls()) {
        for (const std::string& name : words(list)) {
            if (name.starts_with("RADIO") || name.starts_with("CHECK")) {
                EXPECT_EQ(ui.control(name).value(), on.contains(name) ? 1 : 0) << name;
            }
        }
    }
}

TEST_F(Windows, ControlsThatStartDisabled) {
    const std::set<std::string> off = [] {
        std::set<std::string> s;
        for (const char* list :
             {// main window in the sky mode
              "TEXT86 EDIT42 TEXT87 TEXT174 COMBO5",
              // FORM4 in code 1 of every group
              "EDIT34 TEXT67 EDIT30 TEXT65 EDIT31 TEXT66 TEXT71 EDIT32 TEXT69 EDIT33 TEXT70 TEXT51 "
              "EDIT24 TEXT52 EDIT25 TEXT53 TEXT73 EDIT35 TEXT74 EDIT36 TEXT75 TEXT76 RADIO25 RADIO26 "
              "TEXT77 EDIT37 TEXT78 TEXT54 EDIT26 TEXT55 EDIT27 TEXT56 TEXT57 EDIT28 TEXT58 TEXT63 "
              "RADIO17 RADIO18 RADIO19 RADIO20",
              // pointing window before a click
              "BUTTON19 BUTTON76 BUTTON75 EDIT105 CHECK13",
              // orbit form on the perihelion passage
              "EDIT89 TEXT152",
              // planets: the shadow at the Moon's distance
              "EDIT79 TEXT138",
              // "Adding A Star" unticked: everything but CHECK1 and the buttons
              "COMBO4 TEXT12 EDIT14 TEXT23 EDIT15 TEXT26 RADIO61 RADIO62 TEXT22 EDIT16 TEXT24 EDIT17 "
              "TEXT25 RADIO102 RADIO103 RADIO104 RADIO34 RADIO35 EDIT18 TEXT11 EDIT38 TEXT79 CHECK11 "
              "EDIT62 RADIO50 RADIO51 RADIO59 RADIO60",
              // nothing to scroll yet
              "HSCROLL1 VSCROLL1"}) {
            for (const std::string& w : words(list))
                s.insert(w);
        }
        return s;
    }();
    for (const auto& [formName, list] : namedControls()) {
        for (const std::string& name : words(list)) {
            // TEXT79 is a label on two forms: FORM4's is enabled.
            if (formName == "FORM4" && name == "TEXT79")
                EXPECT_TRUE(ui.form(formName).control(name).enabled());
            else
                EXPECT_EQ(ui.form(formName).control(name).enabled(), !off.contains(name))
                    << formName << " " << name;
        }
    }
}

TEST_F(Windows, StartTextsAndLimits) {
    struct Field {
        const char* name;
        const char* text;
    };
    const Field fields[] = {
        {"EDIT2", "+135.0"}, {"EDIT3", "+35.0"},    {"EDIT43", "0"},      {"EDIT42", "0"},
        {"EDIT4", "+9"},     {"EDIT5", "00"},       {"EDIT6", "+9"},      {"EDIT7", "00"},
        {"EDIT8", "2008"},   {"EDIT9", "31"},       {"EDIT10", "23"},     {"EDIT11", "59"},
        {"EDIT12", "+180.00"}, {"EDIT13", "+90.00"}, {"EDIT64", "+00.00"}, {"EDIT1", "320"},
        {"EDIT75", "1"},     {"EDIT76", "90.00"},   {"EDIT63", "20m"},    {"EDIT19", ""},
        {"EDIT34", "#-"},    {"EDIT29", "#"},       {"EDIT20", "12"},     {"EDIT21", "7"},
        {"EDIT22", "27"},    {"EDIT23", "6"},       {"EDIT39", "1"},      {"EDIT28", "6"},
        {"EDIT26", "1"},     {"EDIT27", "3"},       {"EDIT24", "63"},     {"EDIT25", "5"},
        {"EDIT35", "63"},    {"EDIT36", "5"},       {"EDIT37", "1"},      {"EDIT77", "0"},
        {"EDIT78", "0.9999"}, {"EDIT84", "2000"},   {"EDIT85", "1.5"},    {"EDIT89", "000.0000"},
        {"EDIT90", "2000"},  {"EDIT91", "1.5"},     {"EDIT79", "384400"}, {"EDIT106", "1.018"},
        {"EDIT14", "12"},    {"EDIT15", "00"},      {"EDIT16", "+00"},    {"EDIT17", "00"},
        {"EDIT18", "-1.00"}, {"EDIT62", "1"},
    };
    for (const Field& f : fields)
        EXPECT_EQ(ui.control(f.name).text(), f.text) << f.name;

    // Typing more than a field takes keeps its first characters.
    struct Limit {
        const char* name;
        int most;
    };
    const Limit limits[] = {{"EDIT2", 9},  {"EDIT3", 8},  {"EDIT43", 9}, {"EDIT4", 3},
                            {"EDIT5", 2},  {"EDIT8", 6},  {"EDIT9", 2},  {"EDIT11", 4},
                            {"EDIT19", 60}, {"EDIT1", 4}, {"EDIT75", 7}, {"EDIT76", 6},
                            {"EDIT63", 8}, {"EDIT29", 5}, {"EDIT37", 5}, {"EDIT53", 16},
                            {"EDIT50", 16}};
    for (const Limit& l : limits) {
        ui.control(l.name).setEnabled(true);
        ui.userType(l.name, std::string(80, '7'));
        EXPECT_EQ(ui.control(l.name).text().size(), size_t(l.most)) << l.name;
    }
    // Digits-only fields take the digits only.
    ui.userType("EDIT20", "1a2");
    EXPECT_EQ(ui.control("EDIT20").text(), "12");
}

TEST_F(Windows, ListsAndTheirStartChoice) {
    EXPECT_EQ(ui.control("COMBO1").itemCount(), 12);
    EXPECT_EQ(ui.control("COMBO1").text(), "Dec");
    EXPECT_EQ(ui.control("COMBO6").itemCount(), 9);
    EXPECT_EQ(ui.control("COMBO6").index(), 0);
    EXPECT_EQ(ui.control("COMBO5").itemCount(), 8);
    EXPECT_EQ(ui.control("COMBO5").index(), 0);
    EXPECT_EQ(ui.control("COMBO3").itemCount(), 10);
    EXPECT_EQ(ui.control("COMBO3").text(), "Zenithal(normal)");
    EXPECT_EQ(ui.control("COMBO4").itemCount(), 10);
    EXPECT_EQ(ui.control("COMBO4").text(), "ICRF Eqtr.");
    EXPECT_EQ(ui.control("COMBO7").text(), "Jan");
    EXPECT_EQ(ui.control("COMBO8").text(), "Jan");
    // The shipped list: 88 constellations, a separator and the 10 bodies; none chosen.
    EXPECT_EQ(ui.control("COMBO2").itemCount(), 99);
    EXPECT_EQ(ui.control("COMBO2").index(), -1);
}

// Buttons whose order on the screen is not the order of their codes.
TEST_F(Windows, OptionButtonsStandInScreenOrder) {
    for (const char* form : {"FORM4", "FORM5"})
        ui.form(form).show();
    auto top = [&](const char* name) { return ui.control(name).geometry().top; };
    auto left = [&](const char* name) { return ui.control(name).geometry().left; };
    const std::vector<std::vector<const char*>> columns = {
        {"RADIO45", "RADIO44", "RADIO46"},
        {"RADIO37", "RADIO65", "RADIO36", "RADIO63", "RADIO41"},
        {"RADIO39", "RADIO66", "RADIO38", "RADIO64", "RADIO40"},
        {"RADIO47", "RADIO48", "RADIO49", "RADIO101", "RADIO52"},
        {"RADIO7", "RADIO8", "RADIO24", "RADIO67"},
    };
    for (const auto& column : columns) {
        for (size_t i = 1; i < column.size(); ++i)
            EXPECT_LT(top(column[i - 1]), top(column[i])) << column[i - 1] << " above " << column[i];
    }
    const std::vector<std::vector<const char*>> rows = {
        {"RADIO32", "RADIO7"},
        {"RADIO9", "RADIO16", "RADIO10"},
        {"RADIO43", "RADIO42"},
    };
    for (const auto& row : rows) {
        for (size_t i = 1; i < row.size(); ++i) {
            EXPECT_EQ(top(row[i - 1]), top(row[i])) << row[i];
            EXPECT_LT(left(row[i - 1]), left(row[i])) << row[i - 1] << " left of " << row[i];
        }
    }
}

TEST_F(Windows, MenuBarItemsCaptionsAndStartMarks) {
    struct Item {
        const char* name;
        const char* caption;
    };
    // The File menu, a sample of the option menus' sub-menus and separators.
    const Item items[] = {
        {"SAVELOC", "Save Locarion Data"}, {"LOADLOC", "Load Location Data"},
        {"SAVEBITMAP", "Save as bitmap"},  {"SETFILES", "Setting DATA files"},
        {"ENDING", "End"},                 {"DISPLAY", "Display Option"},
        {"Project", "Projection"},         {"SUN", "Sun,Moon and Tech"},
        {"BACKGROUND", "Backgraound Color"}, {"LCOBJM", "Object"},
        {"COMPOLE3", "mean Equator  in ICRF Equator"}, {"OOBJDF", "Orbitial elements"},
    };
    for (const Item& item : items) {
        ASSERT_TRUE(ui.hasMenu(item.name)) << item.name;
        EXPECT_EQ(ui.menu(item.name).caption(), item.caption);
    }
    for (const char* separator : {"MAGSEP", "DISPSEP1", "ZENITHSEP", "EQUATSEPT1", "EQUATSEPT2",
                                  "ECLIPSEPT1", "ECLIPSEPT2", "SRFSEP", "DISPSEP2", "DISPSEP3", "SEPT2"})
        EXPECT_TRUE(ui.hasMenu(separator)) << separator;
    EXPECT_TRUE(ui.menu("weightcl").checked()); // names ignore case
    EXPECT_TRUE(ui.menu("REFRACT").checked());
    EXPECT_FALSE(ui.menu("LCPRLL").checked());
    EXPECT_FALSE(ui.menu("WEIGHTCS").checked());
}

TEST_F(Windows, OptionItemStoresItsCodeAndMovesItsMarks) {
    ui.userMenu("GNOMONIC");
    EXPECT_EQ(chart.projectionKind, 6);
    EXPECT_TRUE(ui.menu("GNOMONIC").checked());
    EXPECT_FALSE(ui.menu("AZIMEQDIST").checked());
    ui.userMenu("SUNLOCZN");
    EXPECT_EQ(readout.readoutParallax, 1);
    EXPECT_TRUE(ui.menu("LCPRLL").checked());
    ui.userMenu("LCPRLL");
    EXPECT_EQ(readout.readoutParallax, 0);
    EXPECT_FALSE(ui.menu("LCPRLL").checked());
}

TEST_F(Windows, MenuItemsShowTheirForms) {
    const std::pair<const char*, const char*> items[] = {
        {"MAGSCALE", "FORM5"}, {"SRFHEIGHT", "FORM5"}, {"MNOPTION", "FORM5"}, {"COMUNITS", "FORM5"},
        {"DUFILE", "FORM4"},   {"PLNTS", "FORM8"},     {"ADDSTAR", "FORM9"},  {"OOBJDF", "FORM7"},
        {"SETFILES", "FORM3"},
    };
    for (const auto& [item, form] : items) {
        ui.form(form).hide();
        ui.userMenu(item);
        EXPECT_TRUE(ui.form(form).visible()) << item;
    }
}

TEST_F(Windows, EndEndsTheProgram) {
    int exitCode = -1;
    ui.setExit([&](int code) { exitCode = code; });
    ui.userMenu("ENDING");
    EXPECT_TRUE(ui.shutDownStarted());
    EXPECT_EQ(exitCode, 0);
}

} // namespace
} // namespace nivora
