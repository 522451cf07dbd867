#include "converter/conversion.h"

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

namespace tarvex {
namespace {

// Star records with the right ascension right-aligned in 9-18 and the declination in 20-29.
const std::string stars =
    "#number  RA(deg)     Dec(deg)\n"
    "UMa0001  165.93196   61.75103\n"
    "UMa0002  165.46032   56.38243\n"
    "UMa0003  178.45770   53.69476\n"
    "Ori0001   88.79294    7.40706\n"
    "#-\n";

std::string lines(std::initializer_list<const char*> list) {
    std::string text;
    for (const char* line : list) text += std::string(line) + "\r\n";
    return text;
}

TEST(Conversion, SegmentsAndMarkersInPairFileOrder) {
    const std::string pairs =
        "# Big Dipper\n"
        "UMa      UMa0001 UMa0002  trailing text is ignored\n"
        "#-----\n"
        "UMa      UMa0002 UMa0003\n"
        "#- end\n"
        "Ori      Ori0001 UMa0001\n";
    Conversion c = convertConstellationLines(stars, pairs);
    EXPECT_EQ(c.lineFile, lines({"UMa       165.93196   61.75103  165.46032   56.38243",
                                 "#--------",
                                 "UMa       165.46032   56.38243  178.45770   53.69476",
                                 "#--------"}));
    EXPECT_EQ(c.segments, 2);
    EXPECT_EQ(c.dropped, 0);
}

TEST(Conversion, MissingStarsDropOnlyTheirPair) {
    struct Case { const char* pair; int dropped; };
    const Case cases[] = {
        {"UMa      UMa0001 UMa9999", 1},   // second star unknown
        {"UMa      UMa9999 UMa0001", 1},   // first star unknown
        {"UMa       UMa0001 UMa0002", 1},  // numbers shifted by a blank do not match
        {"UMa      UMa0001", 1},           // no second number at all
        {"UMa", 1},
        {"", 1},                           // an empty line is a record with empty numbers
        {"UMa      UMa0001 UMa0001", 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.pair);
        const std::string pairs = std::string("Ori      Ori0001 UMa0001\n") + k.pair +
                                  "\nUMa      UMa0002 UMa0003\n#-\n#-\n";
        Conversion c = convertConstellationLines(stars, pairs);
        EXPECT_EQ(c.dropped, k.dropped);
        EXPECT_EQ(c.segments, 3 - k.dropped);
        EXPECT_EQ(c.lineFile.rfind("Ori", 0), 0u);
        EXPECT_NE(c.lineFile.find("UMa       165.46032"), std::string::npos);
    }
}

TEST(Conversion, EmptyPairFileGivesTheTwoMarkers) {
    EXPECT_EQ(convertConstellationLines(stars, "#-\n#-\n").lineFile, lines({"#--------", "#--------"}));
}

TEST(Conversion, FirstOfTwoEqualNumbersWins) {
    const std::string twice = "UMa0001    1.00000    2.00000\nUMa0001    3.00000    4.00000\n#-\n";
    Conversion c = convertConstellationLines(twice, "X        UMa0001 UMa0001\n#-\n#-\n");
    EXPECT_EQ(c.lineFile.substr(0, 52), "X           1.00000    2.00000    1.00000    2.00000");
}

TEST(Conversion, ShortStarLinesArePaddedToTheirColumns) {
    const std::string shortStars =
        "A000001  10.5      -5.25\n"   // declination text shorter than its 10 columns
        "A000002  20.0\n"              // no declination at all
        "A000003\n"                    // no coordinates at all
        "#-\n";
    Conversion c = convertConstellationLines(shortStars,
                                             "Abc      A000001 A000002\n"
                                             "Abc      A000003 A000001\n"
                                             "A\n#-\n#-\n");
    const auto records = splitLines(c.lineFile);
    ASSERT_EQ(records.size(), 4u);
    // The chart reads the coordinates from fixed columns 10, 21, 32 and 43, ten characters each.
    struct Case { std::size_t record; const char *ra1, *dec1, *ra2, *dec2; };
    const Case cases[] = {
        {0, " 10.5     ", "-5.25     ", " 20.0     ", "          "},
        {1, "          ", "          ", " 10.5     ", "-5.25     "},
    };
    for (const Case& k : cases) {
        const std::string_view r = records[k.record];
        SCOPED_TRACE(std::string(r));
        EXPECT_EQ(r.size(), 52u);
        EXPECT_EQ(r.substr(0, 9), "Abc      ");
        EXPECT_EQ(r.substr(9, 10), k.ra1);
        EXPECT_EQ(r.substr(20, 10), k.dec1);
        EXPECT_EQ(r.substr(31, 10), k.ra2);
        EXPECT_EQ(r.substr(42, 10), k.dec2);
    }
}

TEST(Conversion, CrLfAndLfReadAlike) {
    std::string crlfStars, crlfPairs;
    const std::string pairs = "UMa      UMa0001 UMa0002\n#-\n#-\n";
    for (char ch : stars) crlfStars += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    for (char ch : pairs) crlfPairs += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    EXPECT_EQ(convertConstellationLines(crlfStars, crlfPairs).lineFile,
              convertConstellationLines(stars, pairs).lineFile);
}

TEST(Conversion, StarTableLimit) {
    auto list = [](int count) {
        std::string text = "#number\n";
        for (int i = 0; i < count; ++i) {
            char line[40];
            std::snprintf(line, sizeof line, "S%06d  100.00000   10.00000\n", i);
            text += line;
        }
        return text + "#- end\nS999999  not a star record after the end\n";
    };
    EXPECT_EQ(readStarTable(list(maxStars)).size(), 4999u);
    EXPECT_THROW(readStarTable(list(maxStars + 1)), ConversionError);
}

TEST(Conversion, MissingMarkersAreRefused) {
    struct Case { const char* stars; const char* pairs; };
    const Case cases[] = {
        {"UMa0001  165.93196   61.75103\n", "#-\n#-\n"},
        {"", "#-\n#-\n"},
        {"#-\n", ""},
        {"#-\n", "UMa      UMa0001 UMa0002\n"},
        {"#-\n", "#-\nUMa      UMa0001 UMa0002\n"},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(std::string(k.stars) + "|" + k.pairs);
        EXPECT_THROW(convertConstellationLines(k.stars, k.pairs), ConversionError);
    }
}

TEST(Conversion, ArbitraryInputNeverBreaksTheColumns) {
    // Lines built from the pieces the readers look at, in random order and length.
    const char* const pieces[] = {"#-", "#", "UMa0001", "UMa0002", " ", "  165.93196", "\r",
                                  "\n", "\r\n", "-", "\t", "\xff", "UMa      ", "0"};
    std::mt19937 random(5);
    for (int round = 0; round < 3000; ++round) {
        std::string starText, pairText;
        for (std::string* text : {&starText, &pairText}) {
            const int count = random() % 40;
            for (int i = 0; i < count; ++i) *text += pieces[random() % std::size(pieces)];
        }
        try {
            Conversion c = convertConstellationLines(starText + "\n#-\n", pairText);
            for (std::string_view line : splitLines(c.lineFile))
                EXPECT_TRUE(line == "#--------" || line.size() == 52) << line;
        } catch (const ConversionError&) {
        }
    }
}

class ConversionFilesTest : public testing::Test {
protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() /
                 ("tarvex-test-" + std::to_string(::getpid()) + "-" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        write("stars.txt", stars);
        write("pairs.txt", "UMa      UMa0001 UMa0002\n#-\n#-\n");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    void write(const std::string& name, const std::string& text) {
        std::ofstream(folder / name, std::ios::binary) << text;
    }
    std::string read(const std::string& name) {
        std::ifstream in(folder / name, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    ConversionFiles files(const std::filesystem::path& output) {
        return {folder / "stars.txt", folder / "pairs.txt", output};
    }
    int entries() {
        return static_cast<int>(std::distance(std::filesystem::directory_iterator(folder),
                                              std::filesystem::directory_iterator()));
    }

    std::filesystem::path folder;
};

TEST_F(ConversionFilesTest, ReplacesTheOutputWhole) {
    write("out.net", std::string(10000, 'x'));
    Conversion c = convertFiles(files(folder / "out.net"));
    EXPECT_EQ(c.segments, 1);
    EXPECT_EQ(read("out.net"), c.lineFile);
    EXPECT_EQ(entries(), 3);   // no temporary file left behind
}

TEST_F(ConversionFilesTest, NeverWritesOverAnInput) {
    std::filesystem::create_directories(folder / "sub");
    std::filesystem::create_symlink(folder / "pairs.txt", folder / "link.txt");
    const std::filesystem::path outputs[] = {
        folder / "stars.txt", folder / "sub" / ".." / "pairs.txt", folder / "." / "stars.txt",
        folder / "link.txt"};
    for (const auto& output : outputs) {
        SCOPED_TRACE(output.string());
        EXPECT_THROW(convertFiles(files(output)), ConversionError);
        EXPECT_EQ(read("stars.txt"), stars);
        EXPECT_EQ(read("pairs.txt"), "UMa      UMa0001 UMa0002\n#-\n#-\n");
    }
}

TEST_F(ConversionFilesTest, AFailureLeavesTheOldOutput) {
    write("out.net", "old");
    write("open.txt", "UMa      UMa0001 UMa0002\n#-\n");
    write("endless.txt", "UMa0001  165.93196   61.75103\n");
    ConversionFiles broken[] = {
        {folder / "stars.txt", folder / "open.txt", folder / "out.net"},
        {folder / "endless.txt", folder / "pairs.txt", folder / "out.net"},
        {folder / "missing.txt", folder / "pairs.txt", folder / "out.net"},
        {folder / "stars.txt", folder, folder / "out.net"},
    };
    for (const auto& f : broken) {
        SCOPED_TRACE(f.starPositions.string() + " " + f.starPairs.string());
        EXPECT_THROW(convertFiles(f), ConversionError);
        EXPECT_EQ(read("out.net"), "old");
    }
    EXPECT_EQ(entries(), 5);
}

TEST_F(ConversionFilesTest, UnwritableOutputIsReported) {
    EXPECT_THROW(convertFiles(files(folder / "no-such-folder" / "out.net")), ConversionError);
    EXPECT_THROW(convertFiles(files(folder)), ConversionError);
    EXPECT_THROW(convertFiles(files(folder / "*.*")), ConversionError);
    EXPECT_FALSE(std::filesystem::exists(folder / "*.*"));
}

} // namespace
} // namespace tarvex
