#include "astro/starlist.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

#include "astro/datafile.h"
#include "testfiles.h"

using namespace nivora;

namespace {

const std::filesystem::path dataDir = NIVORA_DATA_DIR;

const std::string plainHeader = "#number    RA(deg)   Dec(deg)    HR    Fl   B-V   Mag  Name\r\n";
const std::string motionHeader = "#number    RA(deg)   Dec(deg) proper-motion  HR    Fl    B-V   Mag  Name\r\n";

// A record in the columns of a list without proper motions.
std::string plain(const char* number, double ra, double dec, double mag, const char* name) {
    char line[200];
    std::snprintf(line, sizeof line, "%-7s%11.4f %10.4f %5s %5s %5s %5.2f %s\r\n", number, ra, dec,
                  "1", "2", "3", mag, name);
    return line;
}

// The same with the two proper-motion columns, everything after them 14 columns further right.
std::string moving(const char* number, double ra, double dec, double pmRa, double pmDec, double mag,
                   const char* name) {
    char line[200];
    std::snprintf(line, sizeof line, "%-7s%11.4f %10.4f %6.1f %6.1f %5s %5s %5s %5.2f %s\r\n", number, ra,
                  dec, pmRa, pmDec, "1", "2", "3", mag, name);
    return line;
}

} // namespace

TEST(StarList, ReadsTheColumnsWithAndWithoutProperMotions) {
    const StarList list = parseStarListText(
        "# a comment\r\n" + plainHeader + plain("And0001", 2.0969, 29.0904, 2.07, "Alpha And") +
            motionHeader + moving("Ori0002", 88.7929, 7.4071, 27.5, 11.3, 0.45, "Betelgeuse") +
            plainHeader +   // a later header without proper motions keeps the shift
            moving("Ori0003", 78.6345, -8.2016, 1.9, -0.6, 0.18, "") + "#-\r\n",
        "t.txt");
    ASSERT_EQ(list.records.size(), 3u);

    const StarRecord& a = list.records[0];
    EXPECT_EQ(a.shift, 0);
    EXPECT_EQ(a.lineNumber, 3);
    EXPECT_EQ(list.number(a), "And0001");
    EXPECT_EQ(list.key(a), "And");
    EXPECT_DOUBLE_EQ(a.raDegrees, 2.0969);
    EXPECT_DOUBLE_EQ(a.decDegrees, 29.0904);
    EXPECT_EQ(a.magnitude, 2.07f);
    EXPECT_EQ(a.pmRaMas, 0);
    EXPECT_EQ(list.name(a), "Alpha And");

    const StarRecord& b = list.records[1];
    EXPECT_EQ(b.shift, 14);
    EXPECT_EQ(b.magnitude, 0.45f);   // characters 63-67
    EXPECT_DOUBLE_EQ(b.pmRaMas, 27.5);
    EXPECT_DOUBLE_EQ(b.pmDecMas, 11.3);
    EXPECT_EQ(list.name(b), "Betelgeuse");

    const StarRecord& c = list.records[2];
    EXPECT_EQ(c.shift, 14);
    EXPECT_EQ(c.magnitude, 0.18f);
    EXPECT_DOUBLE_EQ(c.pmDecMas, -0.6);
    EXPECT_EQ(list.name(c), "");
}

TEST(StarList, StopsAtTheEndMarkerAndReadsBlankFieldsAsZero) {
    const StarList list = parseStarListText("Xxx0001\nAbc0002    -10.0 \n#-\n" +
                                                plain("Zzz0003", 1, 1, 1, "after the end"),
                                            "t.txt");
    ASSERT_EQ(list.records.size(), 2u);
    EXPECT_EQ(list.records[0].magnitude, 0);   // a blank magnitude is drawn as magnitude 0
    EXPECT_EQ(list.records[0].raDegrees, 0);
    EXPECT_EQ(list.records[1].raDegrees, -10);   // as written; the drawing brings it into range
    EXPECT_EQ(list.name(list.records[1]), "");
}

TEST(StarList, AListWithoutItsEndOrFileIsAnError) {
    try {
        parseStarListText(plainHeader + plain("And0001", 1, 2, 3, "x") + "# -\r\n", "broken.txt");
        FAIL() << "no error";
    } catch (const DataFileError& e) {
        EXPECT_EQ(e.file(), "broken.txt");
        EXPECT_EQ(e.line(), 4);
    }
    try {
        readStarList("/nonexistent/ALLSTAR5.txt");
        FAIL() << "no error";
    } catch (const DataFileError& e) {
        EXPECT_EQ(e.line(), 0);
    }
}

TEST(StarList, ReadsTheShippedLists) {
    const StarList bright = readStarList(dataDir / "ALLSTAR5.txt");
    const StarList faint = readStarList(dataDir / "ALLSTAR7.txt");
    EXPECT_EQ(bright.records.size(), 2819u);
    EXPECT_EQ(faint.records.size(), 95919u);
    for (const StarList* list : {&bright, &faint})
        for (const StarRecord& r : list->records) {
            ASSERT_EQ(r.shift, 14) << r.lineNumber;
            ASSERT_GE(r.raDegrees, 0) << r.lineNumber;
            ASSERT_LT(r.raDegrees, 360) << r.lineNumber;
            ASSERT_LE(std::abs(r.decDegrees), 90) << r.lineNumber;
        }
    EXPECT_EQ(bright.titles, (std::array<std::string, 4>{"HR  ", "Fl  ", "B-V ", "Mag "}));
    EXPECT_EQ(parseStarListText(plainHeader + "#-", "t.txt").titles,
              (std::array<std::string, 4>{"  HR", "  Fl", " B-V", " Mag"}));
}

namespace {

class StarListCacheFolder : public TempFolderTest {
protected:
    StarListCacheFolder() : TempFolderTest("nivora-star-cache-") {}
};

} // namespace

TEST_F(StarListCacheFolder, ServesWhatAFreshReadGivesUntilTheFileChanges) {
    StarListCache cache;
    const auto file = write("s.txt", plain("And0001", 1, 2, 3, "one") + "#-\r\n");
    const auto stamp = std::filesystem::last_write_time(file);
    const auto first = cache.list(file);
    EXPECT_EQ(*first, readStarList(file));
    EXPECT_EQ(cache.list(file), first);

    // Same size and time stamp, other text: seen while the stamp is recent.
    write("s.txt", plain("And0001", 1, 2, 4, "one") + "#-\r\n");
    std::filesystem::last_write_time(file, stamp);
    EXPECT_EQ(cache.list(file)->records.at(0).magnitude, 4);

    write("s.txt", plain("And0001", 1, 2, 3, "one"));   // the end marker lost
    EXPECT_THROW(cache.list(file), DataFileError);
    std::filesystem::remove(file);
    EXPECT_THROW(cache.list(file), DataFileError);
}

TEST(StarListCache, GivesTheShippedListsAsAFreshReadDoes) {
    StarListCache cache;
    for (const char* name : {"ALLSTAR5.txt", "cities.txt"})
        EXPECT_EQ(*cache.list(dataDir / name), readStarList(dataDir / name)) << name;
}
