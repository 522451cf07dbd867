#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "catalogue_files.h"

namespace catalogue {
namespace {

std::set<std::string> nationKeys() {
    static const std::set<std::string> keys = [] {
        std::set<std::string> out;
        for (const std::string& item : listItems("nation.txt")) {
            EXPECT_TRUE(item.size() > 4 && item[3] == ' ' &&
                        item.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ") == 3)
                << item;
            EXPECT_TRUE(out.insert(item.substr(0, 3)).second) << "twice: " << item;
        }
        return out;
    }();
    return keys;
}

struct CityList {
    std::string name;
    double lonLow, lonHigh, magLow, magHigh;
};

// Each city list read in the columns the renderer, the search and the centring use; returns the
// city numbers by nation.
std::map<std::string, std::set<std::string>> readCities(const CityList& list) {
    SCOPED_TRACE(list.name);
    const std::vector<std::string> lines = dataLines(list.name);
    for (const std::string& line : lines) {
        if (line.rfind("#number", 0) == 0) {
            EXPECT_NE(field(line, 31, 13), "proper-motion");
        }
    }
    std::map<std::string, std::set<std::string>> byNation;
    int faults = 0;
    for (const std::string& line : records(lines)) {
        if (faults > 10) break;
        auto lon = number(line, 8, 11), lat = number(line, 20, 10), mag = number(line, 49, 5);
        const bool ok = line.size() > 55 && lon && lat && mag && *lon >= list.lonLow &&
                        *lon < list.lonHigh && *lat >= -90 && *lat <= 90 &&
                        *mag >= list.magLow && *mag < list.magHigh && line[18] == ' ' &&
                        nationKeys().count(line.substr(0, 3)) &&
                        line.find_first_not_of("0123456789", 3) == 7;
        if (!ok) {
            ADD_FAILURE() << "record: " << line;
            ++faults;
            continue;
        }
        EXPECT_TRUE(byNation[line.substr(0, 3)].insert(line.substr(0, 7)).second) << line;
    }
    return byNation;
}

TEST(EarthMap, CitiesAndTownsByNation) {
    const auto cities = readCities({"cities.txt", -180, 180.0001, -5, 5.5});
    const auto towns = readCities({"zentend.txt", 0, 360, 5.5, 9.5});
    std::size_t cityCount = 0, townCount = 0;
    for (const std::string& key : nationKeys())
        EXPECT_TRUE(cities.count(key)) << key << " has no city in the first list";
    for (const auto& [key, numbers] : cities) {
        cityCount += numbers.size();
        for (const std::string& n : numbers)
            EXPECT_FALSE(towns.count(key) && towns.at(key).count(n)) << n << " in both lists";
    }
    for (const auto& [key, numbers] : towns) townCount += numbers.size();
    EXPECT_GT(nationKeys().size(), 200u);
    EXPECT_LT(nationKeys().size(), 260u);
    EXPECT_GT(cityCount, 800u);
    EXPECT_LT(cityCount, 2000u);
    EXPECT_GT(townCount, 20000u);
    EXPECT_LT(townCount, 50000u);
}

TEST(EarthMap, NamesAreSpelledInLatinLetters) {
    // A "?" stands for a letter that the ASCII conversion lost; such a name cannot be searched.
    for (const char* file : {"cities.txt", "zentend.txt"})
        for (const std::string& line : records(dataLines(file)))
            EXPECT_EQ(line.find('?', 54), std::string::npos) << file << ": " << line;
}

TEST(EarthMap, KnownCities) {
    struct Case { const char* file; const char* name; double lon, lat; };
    const Case cases[] = {
        {"cities.txt", " Tokyo", 139.69, 35.69},
        {"cities.txt", " Los Angeles", -118.24, 34.05},   // west longitudes keep their sign
        {"cities.txt", " Buenos Aires", -58.38, -34.61},
        {"zentend.txt", " Kopavogur", 338.09, 64.11},       // the faint list counts 0..360
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        bool found = false;
        for (const std::string& line : records(dataLines(c.file))) {
            if (line.size() < 55 || line.substr(54).find(c.name + 1) != 0) continue;
            found = true;
            EXPECT_NEAR(number(line, 8, 11).value_or(0), c.lon, 0.02);
            EXPECT_NEAR(number(line, 20, 10).value_or(0), c.lat, 0.02);
        }
        EXPECT_TRUE(found);
    }
}

TEST(EarthMap, CoastsAndBordersByNation) {
    std::set<std::string> outlined, inA;
    int countA = 0, countB = 0;
    int faults = 0;
    for (const Segment& s : segments("coast_bd.net")) {
        const std::string key = s.line.substr(0, 3);
        auto lon1 = number(s.line, 10, 10), lat1 = number(s.line, 21, 10);
        auto lon2 = number(s.line, 32, 10), lat2 = number(s.line, 43, 10);
        const bool ok = s.line.size() == 52 && nationKeys().count(key) && lon1 && lat1 && lon2 &&
                        lat2 && *lon1 >= 0 && *lon1 < 360 && *lon2 >= 0 && *lon2 < 360 &&
                        *lat1 >= -90 && *lat1 <= 90 && *lat2 >= -90 && *lat2 <= 90;
        // Edges along the date line or the pole close shapes; they are not coasts.
        const bool cut = (*lon1 == 180 && *lon2 == 180) || (*lat1 < -89.99 && *lat2 < -89.99);
        // Segments are drawn straight on the chart: a long one would leave the border it stands for.
        const double dLon = std::remainder(*lon1 - *lon2, 360.0) *
                            std::cos((*lat1 + *lat2) / 2 * 3.14159265358979 / 180);
        const bool tooLong = ok && std::hypot(dLon, *lat1 - *lat2) > 2;
        if (!ok || cut || tooLong) {
            if (++faults < 10) ADD_FAILURE() << "segment: " << s.line;
            continue;
        }
        (s.section == 0 ? inA : outlined).insert(key);
        ++(s.section == 0 ? countA : countB);
    }
    EXPECT_GT(countA, 10000);
    EXPECT_LT(countA + countB, 120000);    // read at every drawing
    EXPECT_GE(countB, countA);             // every nation's whole outline, shared borders twice
    EXPECT_TRUE(std::includes(outlined.begin(), outlined.end(), inA.begin(), inA.end()));
    EXPECT_GT(outlined.size(), 200u);
    for (const char* key : {"JPN", "USA", "ATA", "RUS", "FJI", "SOM", "CYP"})
        EXPECT_TRUE(outlined.count(key)) << key;
}

} // namespace
} // namespace catalogue
