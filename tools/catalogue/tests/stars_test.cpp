#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "catalogue_files.h"
#include "converter/conversion.h"

namespace catalogue {
namespace {

struct Star {
    std::string line;
    double ra, dec, mag;
};

// The two star lists as the renderer and the search read them, with what every record needs.
std::map<std::string, Star> readStarList(const std::string& name, double magLow, double magHigh) {
    SCOPED_TRACE(name);
    const std::vector<std::string> lines = dataLines(name);
    int headers = 0;
    for (const std::string& line : lines) {
        if (line.rfind("#number", 0) != 0 && line.rfind("#starnm", 0) != 0) continue;
        ++headers;
        EXPECT_EQ(field(line, 31, 13), "proper-motion");
        EXPECT_EQ(field(line, 64, 4), "Mag ");   // the fourth title names the magnitude
    }
    EXPECT_EQ(headers, 1);
    std::map<std::string, Star> stars;
    int faults = 0;
    for (const std::string& line : records(lines)) {
        if (faults > 10) break;
        auto ra = number(line, 9, 10), dec = number(line, 20, 10), mag = number(line, 63, 5);
        const bool pmOk = (number(line, 31, 6) || field(line, 31, 6).find_first_not_of(' ') ==
                                                       std::string_view::npos) &&
                          (number(line, 38, 6) || field(line, 38, 6).find_first_not_of(' ') ==
                                                       std::string_view::npos);
        const bool ok = line.size() > 72 && line[7] == ' ' && line[18] == ' ' && ra && dec &&
                        mag && *ra >= 0 && *ra < 360 && *dec >= -90 && *dec <= 90 &&
                        *mag >= magLow && *mag < magHigh && pmOk &&
                        line.compare(68, 4, "HIP ") == 0 &&
                        line.find_first_not_of("0123456789", 3) == 7;
        if (!ok) {
            ADD_FAILURE() << "record: " << line;
            ++faults;
            continue;
        }
        EXPECT_TRUE(stars.emplace(line.substr(0, 7), Star{line, *ra, *dec, *mag}).second)
            << "number twice: " << line;
    }
    return stars;
}

const std::map<std::string, Star>& brightStars() {
    static const auto stars = readStarList("ALLSTAR5.txt", -2, 5.5);
    return stars;
}
const std::map<std::string, Star>& faintStars() {
    static const auto stars = readStarList("ALLSTAR7.txt", 5.5, 9.5);
    return stars;
}
std::set<std::string> constellationKeys() {
    std::vector<std::string> items = listItems("velka.txt");
    items.resize(std::min<std::size_t>(items.size(), 88));
    return keysOf(items);
}

std::string hipOf(const std::string& line) {
    return line.substr(68, line.find(',', 68) - 68);
}

TEST(StarLists, RecordsCountsAndKeys) {
    const auto& bright = brightStars();
    const auto& faint = faintStars();
    EXPECT_GT(bright.size(), 2500u);
    EXPECT_LT(bright.size(), 3200u);
    EXPECT_GT(faint.size(), 80000u);
    EXPECT_LT(faint.size(), 110000u);

    const std::set<std::string> keys = constellationKeys();
    std::set<std::string> brightKeys, hips;
    for (const auto* list : {&bright, &faint}) {
        for (const auto& [number, star] : *list) {
            EXPECT_TRUE(keys.count(number.substr(0, 3))) << star.line;
            EXPECT_TRUE(hips.insert(hipOf(star.line)).second) << "star in both lists: " << star.line;
            if (list == &bright) brightKeys.insert(number.substr(0, 3));
        }
    }
    EXPECT_EQ(brightKeys, keys) << "every constellation has a star in the bright list";
    for (const auto& [number, star] : bright) EXPECT_FALSE(faint.count(number)) << number;
}

TEST(StarLists, WellKnownStars) {
    struct Case { const char* name; double ra, dec, mag, arcminutesPerCentury; };
    const Case cases[] = {
        {"Arcturus", 213.9153, 19.1824, -0.05, 3.8},
        {"Sirius", 101.2872, -16.7161, -1.44, 2.23},
        {"Polaris", 37.9545, 89.2641, 1.97, 0.08},
        {"Rigil Kentaurus", 219.9021, -60.8340, -0.01, 6.18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Star* found = nullptr;
        for (const auto& [number, star] : brightStars())
            if (star.line.find(c.name) != std::string::npos) found = &star;
        ASSERT_NE(found, nullptr);
        EXPECT_NEAR(found->ra, c.ra, 0.001);
        EXPECT_NEAR(found->dec, c.dec, 0.001);
        EXPECT_NEAR(found->mag, c.mag, 0.02);
        const double pmRa = number(found->line, 31, 6).value_or(0);
        const double pmDec = number(found->line, 38, 6).value_or(0);
        EXPECT_NEAR(std::hypot(pmRa, pmDec) * 100 / 1000 / 60, c.arcminutesPerCentury, 0.1);
    }
}

TEST(ConstellationList, KeysThenBodies) {
    const std::vector<std::string> items = listItems("velka.txt");
    ASSERT_GE(items.size(), 98u);
    std::set<std::string> keys;
    for (std::size_t i = 0; i < 88; ++i) {
        EXPECT_TRUE(items[i].size() > 4 && items[i][3] == ' ' && std::isupper(items[i][0]))
            << items[i];
        keys.insert(items[i].substr(0, 3));
    }
    EXPECT_EQ(keys.size(), 88u);
    // Serpens has two parts under one key: its item names the whole constellation.
    for (const char* item : {"UMa Ursa Major", "Ser Serpens", "CVn Canes Venatici", "Boo Bootes"})
        EXPECT_NE(std::find(items.begin(), items.begin() + 88, item), items.begin() + 88) << item;
    const char* const bodies[] = {"Sn Sun", "Mn Moon", "Mc Mercury", "Vn Venus", "Ms Mars",
                                  "Jp Jupiter", "St Saturn", "Ur Uranus", "Np Neptune",
                                  "An Antipodes of Sun"};
    std::size_t next = 88;
    if (items[next].rfind("---", 0) == 0) ++next;
    ASSERT_EQ(items.size(), next + 10);
    for (const char* body : bodies) EXPECT_EQ(items[next++], body);
}

TEST(ConstellationFigures, ShippedLineFileIsTarvexOutputOfShippedInputs) {
    const std::string starsText = dataText("velkanet-stars.txt");
    const tarvex::Conversion c =
        tarvex::convertConstellationLines(starsText, dataText("velkanet-pairs.txt"));
    EXPECT_EQ(c.dropped, 0) << "every figure star resolved";
    EXPECT_EQ(c.lineFile, dataText("velkanet.net"));
    EXPECT_LT(tarvex::readStarTable(starsText).size(), 5000u);
}

TEST(ConstellationFigures, FigureStarsAreTheListsOwn) {
    for (const std::string& line : records(dataLines("velkanet-stars.txt"))) {
        const std::string number = line.substr(0, 7);
        const auto* list = brightStars().count(number) ? &brightStars() : &faintStars();
        ASSERT_TRUE(list->count(number)) << line;
        EXPECT_EQ(list->at(number).line, line);
    }
}

TEST(ConstellationFigures, EveryConstellationHasSegmentsInRange) {
    const std::set<std::string> keys = constellationKeys();
    std::set<std::string> drawn;
    int count = 0;
    for (const Segment& s : segments("velkanet.net")) {
        SCOPED_TRACE(s.line);
        ++count;
        EXPECT_TRUE(keys.count(s.line.substr(0, 3)));
        ASSERT_EQ(s.line.size(), 52u);
        for (std::size_t column : {10, 32}) {
            auto ra = number(s.line, column, 10), dec = number(s.line, column + 11, 10);
            ASSERT_TRUE(ra && dec);
            EXPECT_TRUE(*ra >= 0 && *ra < 360 && *dec >= -90 && *dec <= 90);
        }
        if (s.section == 0) drawn.insert(s.line.substr(0, 3));
    }
    EXPECT_EQ(drawn, keys);
    EXPECT_GT(count, 600);
    EXPECT_LT(count, 1000);
}

} // namespace
} // namespace catalogue
