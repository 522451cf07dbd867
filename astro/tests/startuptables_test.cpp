#include "astro/startuptables.h"

#include <cmath>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "astro/constants.h"
#include "astro/datafile.h"
#include "testfiles.h"

#include <unistd.h>

using namespace nivora;

namespace {

constexpr double arcsec = 1 / 3600.0 / degreesPerRadian;

std::string fixtureText(const std::string& name) {
    return readWholeFile(fixture(name));
}

} // namespace

TEST(StartupTables, LoadsTheThreeFilesOfAFolder) {
    const StartupTables tables = loadStartupTables(fixture("startup-iau2006"));
    EXPECT_EQ(tables.deltaTTable.rowCount, 2);

    // Labels are skipped whether they end at a line end or at a colon.
    EXPECT_EQ(tables.meanElements[0][0][0], 0);
    EXPECT_EQ(tables.meanElements[0][3][0], 3);
    EXPECT_EQ(tables.meanElements[9][0][0], 324);
    EXPECT_EQ(tables.meanElements[9][2][1], 36000);
    EXPECT_EQ(tables.meanElements[9][3][2], 2.0);

    // One number a line, all on one line, with commas, and spread unevenly over lines; headers
    // with commas, colons, quotes and numbers are read whole.
    const auto& p = tables.precessionPolynomials;
    EXPECT_DOUBLE_EQ(p[0][0], -0.052928 / 3600 / degreesPerRadian);
    EXPECT_DOUBLE_EQ(p[0][5], 0.0000000260 / 3600 / degreesPerRadian);
    EXPECT_DOUBLE_EQ(p[1][0], 84381.412819 / 3600 / degreesPerRadian);
    EXPECT_DOUBLE_EQ(p[1][5], -0.0000000176 / 3600 / degreesPerRadian);
    EXPECT_DOUBLE_EQ(p[2][1], 5038.481484 / 3600 / degreesPerRadian);
    EXPECT_DOUBLE_EQ(p[2][4], -0.000026452 / 3600 / degreesPerRadian);
    EXPECT_DOUBLE_EQ(p[3][0], 84381.406 / 3600 / degreesPerRadian);
    EXPECT_DOUBLE_EQ(p[3][5], -0.0000000434 / 3600 / degreesPerRadian);
    EXPECT_EQ(p[3][6], 0);

    const RotationMatrix product = multiply(tables.icrfToJ2000Ecliptic, tables.j2000EclipticToIcrf);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(product[i][j], i == j ? 1 : 0, 1e-15);
}

TEST(StartupTables, PrecessionMatrixIsR3R1R3) {
    const double a0 = 0.3, a1 = -0.7, a2 = 1.1;
    const RotationMatrix expected = multiply(R3(-a2), multiply(R1(a1), R3(a0)));
    const RotationMatrix m = precessionMatrix(a0, a1, a2);
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(m[i][j], expected[i][j], 1e-15);
}

TEST(StartupTables, AMissingFileIsNamed) {
    const auto folder = std::filesystem::temp_directory_path() / ("nivora-startup-missing-" + std::to_string(::getpid()));
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(fixture("startup-iau2006/ET-UTC.txt"), folder / "ET-UTC.txt");
    try {
        loadStartupTables(folder);
        FAIL() << "no error";
    } catch (const DataFileError& error) {
        EXPECT_EQ(error.file().filename(), "prmmean2.plt");
        EXPECT_EQ(error.line(), 0);
    }
    std::filesystem::remove_all(folder);
}

TEST(StartupTables, ShortOrMalformedFilesAreDataFileErrors) {
    const std::string mean = fixtureText("startup-iau2006/prmmean2.plt");
    const std::string prc = fixtureText("startup-iau2006/prmprc.txt");
    struct Case {
        const char* name;
        bool meanElements;
        std::string text;
        int line;
    };
    const Case cases[] = {
        {"nine blocks of mean elements", true, mean.substr(0, mean.find("block 9")), 45},
        {"a text among the mean elements", true, "label\r\n1 2 x 4\r\n", 2},
        {"three precession blocks", false, prc.substr(0, prc.find("epsilon-A")), 13},
        {"a header where a coefficient belongs", false, "header\r\n1 2 3 4 5 6\r\nnext header\r\n", 3},
        {"a seventh number that does not end its line", false,
         "h\r\n1 2 3 4 5 6 7,\r\nh2\r\n1 2 3 4 5 6 7\r\n", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            if (c.meanElements)
                parseMeanElements(c.text, "m.plt");
            else
                parsePrecessionPolynomials(c.text, "p.txt");
            FAIL() << "no error";
        } catch (const DataFileError& error) {
            EXPECT_EQ(error.line(), c.line);
        }
    }
}

// Truncated and garbled start-up files are refused with DataFileError and nothing else.
TEST(StartupTables, FuzzedFilesOnlyEverThrowDataFileError) {
    const std::string sources[] = {
        fixtureText("startup-iau2006/ET-UTC.txt"),
        fixtureText("startup-iau2006/prmmean2.plt"),
        fixtureText("startup-iau2006/prmprc.txt"),
    };
    const char alphabet[] = " ,:\r\n\"#-+.e0123456789x";
    std::mt19937 random(7);
    for (int round = 0; round < 1500; ++round) {
        const int kind = round % 3;
        std::string text = sources[kind];
        if (random() % 2) text.resize(random() % (text.size() + 1));
        for (int k = random() % 4; k > 0 && !text.empty(); --k)
            text[random() % text.size()] = alphabet[random() % (sizeof alphabet - 1)];
        try {
            if (kind == 0)
                parseDeltaTTable(text, "ET-UTC.txt");
            else if (kind == 1)
                parseMeanElements(text, "prmmean2.plt");
            else
                parsePrecessionPolynomials(text, "prmprc.txt");
        } catch (const DataFileError&) {
        }
    }
}
