#include "astro/timescales.h"

#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "astro/datafile.h"
#include "testfiles.h"

using namespace nivora;

namespace {

double parabolaSeconds(double d) {
    const double t = (d + 65742) / 36524.25;
    return 32 * t * t - 20;
}

} // namespace

TEST(DeltaTTableFile, ReadsRowsCommentsAndStopsAtTheEndLine) {
    const DeltaTTable table = loadDeltaTTable(fixture("deltat-three-rows-crlf.txt"));
    ASSERT_EQ(table.rowCount, 3); // the row after "#-" is not read
    EXPECT_EQ(table.rows[0][0], -1000.0f);
    EXPECT_EQ(table.rows[0][1], 60.0f);
    EXPECT_EQ(table.rows[1][1], 63.8f);
    EXPECT_EQ(table.rows[2][0], 4000.0f);
}

TEST(DeltaTTableFile, ColumnsAndBlankLines) {
    // Character 8 is never read; a blank line is the row (0, 0); text reads as 0.
    const DeltaTTable table = parseDeltaTTable(" -12.5X9  34.25\r\n\r\n     10   7\r\n#-\r\n", "t.txt");
    ASSERT_EQ(table.rowCount, 3);
    EXPECT_EQ(table.rows[0][0], -12.5f);
    EXPECT_EQ(table.rows[0][1], 34.25f);
    EXPECT_EQ(table.rows[1][0], 0.0f);
    EXPECT_EQ(table.rows[1][1], 0.0f);
    EXPECT_EQ(table.rows[2][0], 10.0f);
    EXPECT_EQ(table.rows[2][1], 7.0f);
    const DeltaTTable text = parseDeltaTTable("abcdefgh  7\r\n#-\r\n", "t.txt");
    EXPECT_EQ(text.rows[0][0], 0.0f);
}

TEST(DeltaTTableFile, FaultsAreDataFileErrors) {
    struct Case {
        const char* fixture;
        int line;
    };
    const Case cases[] = {
        {"deltat-missing-end.txt", 3},
        {"deltat-no-rows.txt", 2},
        {"no-such-file.txt", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        try {
            loadDeltaTTable(fixture(c.fixture));
            FAIL() << "no error";
        } catch (const DataFileError& error) {
            EXPECT_EQ(error.line(), c.line);
        }
    }
}

TEST(DeltaTTableFile, RefusesValuesBeyondSinglePrecision) {
    EXPECT_THROW(parseDeltaTTable("     10   1e39\r\n#-\r\n", "t.txt"), DataFileError);
    EXPECT_THROW(parseDeltaTTable("  -1e39   60.0\r\n#-\r\n", "t.txt"), DataFileError);
    EXPECT_EQ(parseDeltaTTable("  1e38    1e-50\r\n#-\r\n", "t.txt").rows[0][0], 1e38f);
}

TEST(DeltaTTableFile, HoldsAtMost500Rows) {
    std::string text;
    for (int i = 0; i < 500; ++i)
        text += std::to_string(1000000 + i) + "   60.0\r\n";
    EXPECT_EQ(parseDeltaTTable(text + "#-\r\n", "full.txt").rowCount, 500);
    try {
        parseDeltaTTable(text + "1000500   61.0\r\n#-\r\n", "over.txt");
        FAIL() << "no error";
    } catch (const DataFileError& error) {
        EXPECT_EQ(error.line(), 501);
    }
}

TEST(ET2UTC, StepTableInsideParabolaOutside) {
    StartupTables tables;
    tables.deltaTTable =
        parseDeltaTTable("  -1000   60.0\r\n      0   63.8\r\n   4000   66.0\r\n#-\r\n", "t.txt");
    struct Case {
        double d, seconds;
    };
    const Case cases[] = {
        {-1000.5, parabolaSeconds(-1000.5)},
        {-1000, 60.0f},
        {-0.1, 60.0f},
        {3999.9, 63.8f},
        {4000, 66.0f}, // the last row, equal date
        {4000.1, parabolaSeconds(4000.1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.d);
        EXPECT_DOUBLE_EQ(ET2UTC(tables, c.d), c.d + c.seconds / 86400);
    }
    EXPECT_TRUE(std::isnan(ET2UTC(tables, std::nan("")))); // no row is looked up for it
}

TEST(ET2UTC, Parabola) {
    const StartupTables empty; // a table without rows falls back on the parabola everywhere
    EXPECT_NEAR((ET2UTC(empty, -65742) + 65742) * 86400, -20, 1e-6);
    EXPECT_NEAR((ET2UTC(empty, 1.5) - 1.5) * 86400, 83.68, 0.005);
}

TEST(GSTH, PolynomialAndRange) {
    EXPECT_DOUBLE_EQ(GSTH(1.5), 6.6973745583);
    EXPECT_NEAR(GSTH(2.5) - GSTH(1.5), 8640184.812866 / 36525 / 3600, 1e-9);
    EXPECT_NEAR((GSTH(2.5) - GSTH(1.5)) * 3600, 236.555, 0.001);
    for (double d : {-1e7, -36525.0 * 40, 1e6}) {
        SCOPED_TRACE(d);
        const double h = GSTH(d);
        EXPECT_GE(h, 0);
        EXPECT_LT(h, 24);
    }
}
