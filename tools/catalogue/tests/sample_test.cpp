#include <gtest/gtest.h>

#include "catalogue_files.h"

namespace catalogue {
namespace {

// The sample user data file in the data-file form's first-run columns.
TEST(SampleDataFile, FirstRunColumns) {
    int records = 0;
    for (const std::string& line : dataLines("tokyo10828.txt")) {
        if (line[0] == '#') continue;   // the form's default comment prefix
        SCOPED_TRACE(line);
        ++records;
        auto azimuth = number(line, 12, 7), altitude = number(line, 27, 6), mag = number(line, 63, 5);
        ASSERT_TRUE(azimuth && altitude && mag);
        EXPECT_TRUE(*azimuth >= 0 && *azimuth < 360);
        EXPECT_TRUE(*altitude >= -90 && *altitude <= 90);
        EXPECT_LT(*mag, 7);
        EXPECT_NE(field(line, 1, 3).find_first_not_of(' '), std::string_view::npos) << "comment";
        EXPECT_EQ(field(line, 35, 7).find_first_of("0123456789"), std::string_view::npos);
    }
    EXPECT_GT(records, 100);
    EXPECT_EQ(records % 6, 0) << "hour labels every 6 marks stay on the hour";
}

// The header tells a user every form entry that the overlay and the two searches need, in the
// form's own captions, and the main window's place and time.
TEST(SampleDataFile, HeaderNamesTheEntriesToSet) {
    std::string header;
    for (const std::string& line : dataLines("tokyo10828.txt"))
        if (line[0] == '#') header += line.substr(1);
    for (const char* entry : {"\"Draw by File\"", "\"Zenithal(normal)\"", "\"Circle scaled by MAG\"",
                              "\"Text\"", "\"Search in File by Click\"", "\"Keyword Search\"",
                              "\"Search\"", "139.6917", "35.6895", "time zone 9 h", "2026 August 28"})
        EXPECT_NE(header.find(entry), std::string::npos) << entry;
}

TEST(SampleDataFile, MoonRisesInTheEastAndCulminatesInTheSouth) {
    double highest = -90, azimuthAtHighest = 0;
    for (const std::string& line : dataLines("tokyo10828.txt")) {
        if (line[0] == '#' || field(line, 35, 4) != "Moon") continue;
        const double altitude = number(line, 27, 6).value_or(0);
        if (altitude > highest) {
            highest = altitude;
            azimuthAtHighest = number(line, 12, 7).value_or(0);
        }
    }
    // Azimuth from north through west: south is 180.
    EXPECT_NEAR(azimuthAtHighest, 180, 5);
    EXPECT_GT(highest, 30);
}

} // namespace
} // namespace catalogue
