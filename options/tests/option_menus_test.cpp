#include "options/option_menus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace nivora {
namespace {

std::string upper(std::string_view name) {
    std::string s(name);
    for (char& ch : s)
        ch = char(std::toupper(static_cast<unsigned char>(ch)));
    return s;
}

// Check marks as a menu bar would keep them, by upper-case item name.
class RecordedMarks : public MenuMarks {
public:
    void setChecked(std::string_view itemName, bool checked) override { marks[upper(itemName)] = checked; }
    std::map<std::string, bool> marks;
};

struct Records {
    ChartOptions chart;
    ReadoutOptions readout;
};
using Member = std::function<double(const Records&)>;

struct Group {
    const char* title;
    Member member;
    std::vector<std::pair<const char*, double>> items; // item and the code it stores
};

// Every radio group of the three option menus, with the codes of its items.
const std::vector<Group>& radioGroups() {
    static const std::vector<Group> groups = {
        {"background", [](const Records& r) { return double(r.chart.whiteBackground); },
         {{"BACKBLACK", 0}, {"BACKWHITE", 1}}},
        {"stars", [](const Records& r) { return double(r.chart.magnitudeLimit); },
         {{"MAG0", 0}, {"MAG2", 2.5}, {"MAG3", 3.5}, {"MAG4", 4.5}, {"MAG5", 5.5}, {"MAG6", 6.5},
          {"MAG7", 7.5}, {"MAG8", 8.5}, {"MAG9", 9.5}}},
        {"constellation lines", [](const Records& r) { return double(r.chart.constellationLines); },
         {{"CONST1", 1}, {"CONST0", 0}}},
        {"zenith grid", [](const Records& r) { return double(r.chart.zenithGridStep); },
         {{"ZENITH0", 0}, {"ZENITH1", 1}, {"ZENITH90", 90}, {"ZENITH30", 30}, {"ZENITH10", 10},
          {"ZENITH5", 5}}},
        {"equatorial grid", [](const Records& r) { return double(r.chart.equatorGridStep); },
         {{"EQUAT0", 0}, {"EQUAT1", 1}, {"EQUAT90", 90}, {"EQUAT30", 30}, {"EQUAT10", 10},
          {"EQUAT5", 5}}},
        {"equatorial equinox", [](const Records& r) { return double(r.chart.equatorGridEquinox); },
         {{"EQTRAPPA", 1}, {"EQTRTRUE", 2}, {"EQTRMEAN", 3}, {"EQTRJ20", 4}}},
        {"ecliptic grid", [](const Records& r) { return double(r.chart.eclipticGridStep); },
         {{"ECLIP0", 0}, {"ECLIP1", 1}, {"ECLIP90", 90}, {"ECLIP30", 30}, {"ECLIP10", 10},
          {"ECLIP5", 5}}},
        {"ecliptic equinox", [](const Records& r) { return double(r.chart.eclipticGridEquinox); },
         {{"ECLPAPPA", 1}, {"ECLPTRUE", 2}, {"ECLPMEAN", 3}, {"ECLPJ20", 4}}},
        {"moon line", [](const Records& r) { return double(r.chart.moonLineMode); },
         {{"MONLINE0", 0}, {"MONLINE1", 1}, {"MONLINE2", 2}, {"MONLINE3", 3}, {"MONLINE4", 4}}},
        {"earth lines", [](const Records& r) { return double(r.chart.earthGridMinutes); },
         {{"SRF0", 0}, {"SRF5", 300}, {"SRF2", 120}, {"SRF1", 60}, {"SRFH", 30}, {"SRFQ", 15},
          {"SRFS", 10}}},
        {"centre coordinates", [](const Records& r) { return double(r.chart.centerCoordsMode); },
         {{"RCTA0", 0}, {"RCTA1", 1}, {"RCTA2", 2}, {"RCTA3", 3}, {"RCTA4", 4}}},
        {"weighting", [](const Records& r) { return double(r.chart.centralizeWeighting); },
         {{"WEIGHTCS", 1}, {"WEIGHTCL", 2}, {"WEIGHTCM", 3}}},
        {"projection", [](const Records& r) { return double(r.chart.projectionKind); },
         {{"AZIMEQDIST", 1}, {"AZIMEQAREA", 2}, {"AZIMORTHO", 3}, {"GNOMONIC", 6},
          {"ORTHOGRAPHIC", 8}, {"MERCATORS", 4}, {"MERCATORT", 5}, {"MILLER", 12},
          {"EQUIRECT", 11}, {"LEQAREACYL", 14}, {"MOLLW", 7}, {"SANSON", 9}, {"HAMMER", 13},
          {"AITOFF", 15}, {"AZIMUSER", 10}}},
        {"direction point", [](const Records& r) { return double(r.chart.directionPointPlace); },
         {{"IMGCENTER", 2}, {"IMGHLZNT", 3}, {"IMGBOTTOM", 1}, {"IMGTOP", 4}}},
        // Singles: 0.01745 is stored as 0.0174499992..., not as the double 0.01745.
        {"under horizon", [](const Records& r) { return double(r.chart.underHorizonDepth); },
         {{"UND0", 0}, {"UND1", double(0.01745f)}, {"UND2", double(0.0349f)},
          {"UNDA", double(1.1f)}}},
        {"vertical", [](const Records& r) { return double(r.chart.verticalDirection); },
         {{"VDRCT1", 1}, {"VDRCT2", 2}, {"VDRCT3", 3}, {"VDRCT4", 4}, {"VDRCT5", 5},
          {"VDRCT6", 6}, {"VDRCT7", 7}}},
        {"sun", [](const Records& r) { return double(r.chart.sunDisplayMode); },
         {{"SUNDSP3", 3}, {"SUNDSP1", 1}, {"SUNDSP2", 2}, {"SUNDSP4", 4}, {"SUNDSP0", 0}}},
        {"antisun", [](const Records& r) { return double(r.chart.antisunDisplayMode); },
         {{"SUNANT1", 1}, {"SUNANT2", 2}, {"SUNANT11", 11}, {"SUNANT0", 0}}},
        {"moon", [](const Records& r) { return double(r.chart.moonDisplayMode); },
         {{"MONDSP3", 3}, {"MONDSP1", 1}, {"MONDSP2", 2}, {"MONDSP4", 4}, {"MONDSP0", 0}}},
        {"orbit object", [](const Records& r) { return double(r.chart.orbitObjectDisplayMode); },
         {{"OOBJDSP1", 1}, {"OOBJDSP3", 3}, {"OOBJDSP0", 0}}},
        {"readout body", [](const Records& r) { return double(r.readout.readoutBody); },
         {{"LCSUN", 0}, {"LCMON", 1}, {"LCMC", 2}, {"LCVN", 3}, {"LCMS", 4}, {"LCJP", 5},
          {"LCST", 6}, {"LCUR", 7}, {"LCNP", 8}, {"LCLCT", 20}, {"LCOBJ", 30}}},
        {"readout correction", [](const Records& r) { return double(r.readout.readoutCorrection); },
         {{"LCAPAR", 0}, {"LCNOAP", 1}, {"LCGEOM", 2}}},
        {"readout frame", [](const Records& r) { return double(r.readout.readoutFrame); },
         {{"SUNLOC0", 100}, {"SUNLOCZN", 1}, {"SUNLOCRAL", 8}, {"SUNLOCRAG", 9}, {"SUNLOCRA2", 2},
          {"SUNLOCRA3", 3}, {"SUNLOCRA4", 4}, {"SUNLOCCEL2", 12}, {"SUNLOCCEL3", 13},
          {"SUNLOCCEL4", 14}, {"SUNLOCDG", 20}}},
        {"pole data", [](const Records& r) { return double(r.readout.poleDataReadout); },
         {{"COMPOLE0", 0}, {"COMPOLE1", 1}, {"COMPOLE2", 2}, {"COMPOLE3", 3}, {"COMPOLE4", 4},
          {"COMPOLE5", 5}, {"COMPOLEX", 100}, {"COMPOLEY", 101}, {"COMPOLEZ", 102}}},
    };
    return groups;
}

struct Switch {
    const char* item;
    Member member;
};

const std::vector<Switch>& switches() {
    static const std::vector<Switch> items = {
        {"ZENITHNUM", [](const Records& r) { return double(r.chart.zenithGridNumbers); }},
        {"EQUATNUM", [](const Records& r) { return double(r.chart.equatorGridNumbers); }},
        {"ECLIPNUM", [](const Records& r) { return double(r.chart.eclipticGridNumbers); }},
        {"REFRACT", [](const Records& r) { return double(r.chart.refractionOn); }},
        {"DABERRATION", [](const Records& r) { return double(r.chart.diurnalAberrationOn); }},
        {"LCPRLL", [](const Records& r) { return double(r.readout.readoutParallax); }},
    };
    return items;
}

// A fresh start: start values, and the marks the menus show for them.
struct Fresh {
    Fresh() { showOptionMarks(records.chart, records.readout, marks); }
    bool choose(std::string_view item) {
        return chooseOptionItem(item, records.chart, records.readout, marks);
    }
    Records records;
    RecordedMarks marks;
};

TEST(OptionMenus, EveryRadioItemStoresItsCodeAndMovesOnlyTheMarksOfItsGroup) {
    for (const Group& group : radioGroups()) {
        for (const auto& [item, code] : group.items) {
            SCOPED_TRACE(item);
            Fresh fresh;
            const auto before = fresh.marks.marks;
            ASSERT_TRUE(fresh.choose(item));
            EXPECT_EQ(group.member(fresh.records), code) << group.title;
            auto expected = before;
            for (const auto& [other, otherCode] : group.items)
                expected[other] = std::string_view(other) == item;
            if (std::string_view(item) == "SUNLOCZN")
                expected["LCPRLL"] = true; // "Zenithal" also turns on the parallax
            EXPECT_EQ(fresh.marks.marks, expected);
        }
    }
}

TEST(OptionMenus, StartMarksShowTheStartValues) {
    // Checked on a first run; every other option item is unchecked.
    const std::set<std::string> checked = {
        "BACKBLACK", "MAG4",     "CONST1",   "ZENITH90",   "EQUAT1",   "EQTRAPPA", "ECLIP1",
        "ECLPAPPA",  "MONLINE0", "SRF0",     "RCTA0",      "REFRACT",  "DABERRATION",
        "WEIGHTCL",  "AZIMEQDIST", "IMGCENTER", "UND0",    "VDRCT1",   "SUNDSP1",  "SUNANT0",
        "MONDSP1",   "OOBJDSP0", "LCSUN",    "LCAPAR",     "SUNLOCRA2", "COMPOLE0"};
    Fresh fresh;
    std::set<std::string> every;
    for (const Group& group : radioGroups())
        for (const auto& entry : group.items)
            every.insert(entry.first);
    for (const Switch& s : switches())
        every.insert(s.item);
    for (const std::string& item : every) {
        SCOPED_TRACE(item);
        ASSERT_TRUE(fresh.marks.marks.contains(item));
        EXPECT_EQ(fresh.marks.marks[item], checked.contains(item));
    }
    // The menus hold no option item beyond these.
    EXPECT_EQ(fresh.marks.marks.size(), every.size());
}

TEST(OptionMenus, SwitchesFlipAndShowTheirValue) {
    for (const Switch& s : switches()) {
        SCOPED_TRACE(s.item);
        Fresh fresh;
        const double start = s.member(fresh.records);
        fresh.choose(s.item);
        EXPECT_EQ(s.member(fresh.records), 1 - start);
        EXPECT_EQ(fresh.marks.marks[s.item], start == 0);
        fresh.choose(s.item);
        EXPECT_EQ(s.member(fresh.records), start);
        EXPECT_EQ(fresh.marks.marks[s.item], start == 1);
    }
}

TEST(OptionMenus, SwitchFromAValueNeitherZeroNorOne) {
    // A settings file may load 5 into refraction; it then turns on. The parallax switch turns off.
    Fresh fresh;
    fresh.records.chart.refractionOn = 5;
    fresh.records.readout.readoutParallax = 5;
    fresh.choose("REFRACT");
    fresh.choose("LCPRLL");
    EXPECT_EQ(fresh.records.chart.refractionOn, 1);
    EXPECT_TRUE(fresh.marks.marks["REFRACT"]);
    EXPECT_EQ(fresh.records.readout.readoutParallax, 0);
    EXPECT_FALSE(fresh.marks.marks["LCPRLL"]);
}

TEST(OptionMenus, ZenithalTurnsOnParallaxAndApparentPlace) {
    Fresh fresh;
    fresh.choose("LCPRLL"); // already 0: turns it on
    fresh.choose("LCPRLL"); // and off again
    fresh.choose("LCGEOM");
    fresh.choose("SUNLOCZN");
    EXPECT_EQ(fresh.records.readout.readoutFrame, 1);
    EXPECT_EQ(fresh.records.readout.readoutParallax, 1);
    EXPECT_EQ(fresh.records.readout.readoutCorrection, 0);
    EXPECT_TRUE(fresh.marks.marks["LCPRLL"]);
    EXPECT_TRUE(fresh.marks.marks["LCAPAR"]);
    EXPECT_FALSE(fresh.marks.marks["LCNOAP"]);
    EXPECT_FALSE(fresh.marks.marks["LCGEOM"]);
    EXPECT_TRUE(fresh.marks.marks["SUNLOCZN"]);
    EXPECT_FALSE(fresh.marks.marks["SUNLOCRA2"]);

    // Another frame keeps parallax and correction as Zenithal left them.
    fresh.choose("SUNLOCRA3");
    fresh.choose("SUNLOC0");
    EXPECT_EQ(fresh.records.readout.readoutFrame, 100);
    EXPECT_EQ(fresh.records.readout.readoutParallax, 1);
    EXPECT_EQ(fresh.records.readout.readoutCorrection, 0);
    EXPECT_TRUE(fresh.marks.marks["LCPRLL"]);
}

TEST(OptionMenus, ChoosingTheCheckedItemChangesNothing) {
    Fresh fresh;
    const auto before = fresh.marks.marks;
    fresh.choose("MAG4");
    fresh.choose("AZIMEQDIST");
    EXPECT_EQ(fresh.marks.marks, before);
    EXPECT_EQ(fresh.records.chart.magnitudeLimit, 4.5f);
}

TEST(OptionMenus, NamesMatchWithoutRegardToCase) {
    Fresh fresh;
    EXPECT_TRUE(fresh.choose("mag9"));
    EXPECT_EQ(fresh.records.chart.magnitudeLimit, 9.5f);
    EXPECT_TRUE(fresh.marks.marks["MAG9"]);
    EXPECT_FALSE(fresh.marks.marks["MAG4"]);
    EXPECT_TRUE(fresh.choose("project") == false); // a menu, not an item
}

TEST(OptionMenus, FormItemsAreNoOptionItems) {
    const std::pair<const char*, const char*> formItems[] = {
        {"MAGSCALE", "FORM5"}, {"SRFHEIGHT", "FORM5"}, {"MNOPTION", "FORM5"},
        {"COMUNITS", "FORM5"}, {"DUFILE", "FORM4"},    {"PLNTS", "FORM8"},
        {"ADDSTAR", "FORM9"},  {"OOBJDF", "FORM7"},
    };
    for (const auto& [item, form] : formItems) {
        SCOPED_TRACE(item);
        Fresh fresh;
        const auto before = fresh.marks.marks;
        EXPECT_FALSE(fresh.choose(item));
        EXPECT_EQ(fresh.marks.marks, before);
        const OptionMenuLine* line = findOptionMenuLine(item);
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->form, form);
    }
    Fresh fresh;
    EXPECT_FALSE(fresh.choose("NOSUCHITEM"));
    EXPECT_FALSE(fresh.choose(""));
}

TEST(OptionMenus, MarksFollowForcedValues) {
    // A writer outside the menus (the Earth map, a settings file) stores, then the marks follow.
    Fresh fresh;
    fresh.records.chart.centralizeWeighting = 1;
    fresh.records.chart.magnitudeLimit = 5.5f;
    fresh.records.chart.refractionOn = 0;
    showOptionMarks(fresh.records.chart, fresh.records.readout, fresh.marks);
    EXPECT_TRUE(fresh.marks.marks["WEIGHTCS"]);
    EXPECT_FALSE(fresh.marks.marks["WEIGHTCL"]);
    EXPECT_TRUE(fresh.marks.marks["MAG5"]);
    EXPECT_FALSE(fresh.marks.marks["MAG4"]);
    EXPECT_FALSE(fresh.marks.marks["REFRACT"]);

    // A weighting outside 1..3 leaves no weighting item checked.
    fresh.records.chart.centralizeWeighting = 7;
    showOptionMarks(fresh.records.chart, fresh.records.readout, fresh.marks);
    EXPECT_FALSE(fresh.marks.marks["WEIGHTCS"]);
    EXPECT_FALSE(fresh.marks.marks["WEIGHTCL"]);
    EXPECT_FALSE(fresh.marks.marks["WEIGHTCM"]);
}

TEST(OptionMenus, MenusAndSubMenusInDisplayOrder) {
    std::vector<std::string> menus;
    for (const OptionMenuLine& line : optionMenuLines()) {
        if (line.kind == MenuLineKind::menu)
            menus.push_back(std::to_string(line.depth) + " " + std::string(line.name) + " " +
                            std::string(line.caption));
    }
    const std::vector<std::string> expected = {
        "0 DISPLAY Display Option",
        "1 BACKGROUND Backgraound Color",
        "1 STARS Stars",
        "1 CONST Lines of Constellation",
        "1 ZENITH Lines of Zenith Coordinaite",
        "1 EQUAT Lines of Equatorial Coordinate",
        "1 ECLIP Lines of Ecliptical Coordinate",
        "1 MONLINE Moon line",
        "1 SRF Long. and Lat. of the Earth",
        "1 RCTA Coordinates from the Center",
        "1 WEIGHTC Weighting for Centralizing Constell.",
        "0 Project Projection",
        "1 POSDIRECTION Set the Position of Direction",
        "1 UNDRH UnderHolizon",
        "1 VDRCT Direction of Vertical",
        "0 SUN Sun,Moon and Tech",
        "1 SUNIMG SUN on the Image",
        "1 SUNANT Antipodes of SUN",
        "1 MONIMG MOON on the Image",
        "1 OOBJ Object defined by Orbit",
        "1 SUNLOC Location Data of Sun,Moon",
        "2 LCOBJM Object",
        "1 COMPOLE Data of Pole and Equinox",
    };
    EXPECT_EQ(menus, expected);
}

// The entries of every menu and sub-menu in display order, separators included.
TEST(OptionMenus, EntriesInDisplayOrder) {
    std::map<std::string, std::string> children; // menu -> its entries, blank-separated
    std::vector<std::string> open;                // open[d]: the menu holding depth d + 1
    for (const OptionMenuLine& line : optionMenuLines()) {
        open.resize(line.depth);
        if (!open.empty())
            children[open.back()] += (children[open.back()].empty() ? "" : " ") + std::string(line.name);
        if (line.kind == MenuLineKind::menu)
            open.emplace_back(line.name);
    }
    const std::map<std::string, std::string> expected = {
        {"DISPLAY", "BACKGROUND STARS CONST DISPSEP1 ZENITH EQUAT ECLIP MONLINE SRF RCTA DISPSEP2 "
                    "REFRACT DABERRATION DISPSEP3 WEIGHTC DUFILE MNOPTION"},
        {"BACKGROUND", "BACKBLACK BACKWHITE"},
        {"STARS", "MAG0 MAG2 MAG3 MAG4 MAG5 MAG6 MAG7 MAG8 MAG9 MAGSEP MAGSCALE"},
        {"CONST", "CONST1 CONST0"},
        {"ZENITH", "ZENITH0 ZENITH1 ZENITH90 ZENITH30 ZENITH10 ZENITH5 ZENITHSEP ZENITHNUM"},
        {"EQUAT", "EQUAT0 EQUAT1 EQUAT90 EQUAT30 EQUAT10 EQUAT5 EQUATSEPT1 EQUATNUM EQUATSEPT2 "
                  "EQTRAPPA EQTRTRUE EQTRMEAN EQTRJ20"},
        {"ECLIP", "ECLIP0 ECLIP1 ECLIP90 ECLIP30 ECLIP10 ECLIP5 ECLIPSEPT1 ECLIPNUM ECLIPSEPT2 "
                  "ECLPAPPA ECLPTRUE ECLPMEAN ECLPJ20"},
        {"MONLINE", "MONLINE0 MONLINE1 MONLINE2 MONLINE3 MONLINE4"},
        {"SRF", "SRF0 SRF5 SRF2 SRF1 SRFH SRFQ SRFS SRFSEP SRFHEIGHT"},
        {"RCTA", "RCTA0 RCTA1 RCTA2 RCTA3 RCTA4"},
        {"WEIGHTC", "WEIGHTCS WEIGHTCL WEIGHTCM"},
        {"Project", "AZIMEQDIST AZIMEQAREA AZIMORTHO GNOMONIC ORTHOGRAPHIC MERCATORS MERCATORT "
                    "MILLER EQUIRECT LEQAREACYL MOLLW SANSON HAMMER AITOFF AZIMUSER SEPT2 "
                    "POSDIRECTION UNDRH VDRCT"},
        {"POSDIRECTION", "IMGCENTER IMGHLZNT IMGBOTTOM IMGTOP"},
        {"UNDRH", "UND0 UND1 UND2 UNDA"},
        {"VDRCT", "VDRCT1 VDRCT2 VDRCT3 VDRCT4 VDRCT5 VDRCT6 VDRCT7"},
        // The separators of this menu are unnamed; the names here are the program's own.
        {"SUN", "SUNIMG SUNANT MONIMG PLNTS ADDSTAR OOBJ SUNSEP SUNLOC COMPOLE COMUNITS"},
        {"SUNIMG", "SUNDSP3 SUNDSP1 SUNDSP2 SUNDSP4 SUNDSP0"},
        {"SUNANT", "SUNANT1 SUNANT2 SUNANT11 SUNANT0"},
        {"MONIMG", "MONDSP3 MONDSP1 MONDSP2 MONDSP4 MONDSP0"},
        {"OOBJ", "OOBJDSP1 OOBJDSP3 OOBJDSP0 OOBJSEP OOBJDF"},
        {"SUNLOC", "LCOBJM LCSEP1 LCPRLL LCSEP2 LCAPAR LCNOAP LCGEOM LCSEP3 SUNLOC0 SUNLOCZN "
                   "SUNLOCRAL SUNLOCRAG SUNLOCRA2 SUNLOCRA3 SUNLOCRA4 SUNLOCCEL2 SUNLOCCEL3 "
                   "SUNLOCCEL4 SUNLOCDG"},
        {"LCOBJM", "LCSUN LCMON LCMC LCVN LCMS LCJP LCST LCUR LCNP LCLCT LCOBJ"},
        {"COMPOLE", "COMPOLE0 COMPOLE1 COMPOLE2 COMPOLE3 COMPOLE4 COMPOLE5 COMPOLEX COMPOLEY "
                    "COMPOLEZ"},
    };
    EXPECT_EQ(children, expected);
}

} // namespace
} // namespace nivora
