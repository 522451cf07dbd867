#include "astro/numbertext.h"

#include <cmath>

#include <gtest/gtest.h>

#include "astro/constants.h"

using namespace nivora;

namespace {
double degrees(double d, double m = 0, double s = 0) { return (d + m / 60 + s / 3600) / degreesPerRadian; }
double hours(double h, double m = 0, double s = 0) { return (h + m / 60 + s / 3600) * pi / 12; }
} // namespace

TEST(NumberText, DecimalText) {
    struct Case {
        double x;
        float width, decimals, signMode;
        const char* text;
    };
    const Case cases[] = {
        {12.3456, 4, 2, 0, " +12.35"},
        {-0.5, 3, 1, 0, " -0.5"},
        {7, 3, 2, 1, "  7.00"},
        {5, 3, 0, 0, " +5"},
        {-5, 4, 0, 0, "  -5"},
        {0.20563069, 1, 8, 1, "0.20563069"},
        {1234.5, 6, 1, 1, "  1234.5"},
        {0.25, 1, 8, 1, "0.25000000"},   // the half-unit addend leaves a rest
        {0.5, 1, 0, 1, "1"},              // halves away from zero
        {-2.675, 3, 2, 0, " -2.67"},     // the double lies below the half
        // Too many digits for the width: the leading place is written as 9.
        {123.4, 2, 1, 0, "+9.4"},
        {9.99, 2, 1, 0, "+9.0"},
        {99999, 3, 0, 1, "999"},
        // Zero ignores the decimals.
        {0, 3, 2, 0, " +0"},
        {0, 4, 2, 0, "  +0"},
        {0, 3, 2, 1, "  0"},
        {0, 1, 8, 1, "0"},
        {0, 0, 8, 0, "0"},
        {1e300, 3, 1, 0, "+90"},         // the capped digit keeps the remainder of the full quotient
        {0.4, 0, 2, 1, "0.40"},          // the units place is always written
    };
    for (const Case& c : cases)
        EXPECT_EQ(DSPDCM(c.x, c.width, c.decimals, c.signMode), c.text)
            << c.x << " w" << c.width << " d" << c.decimals << " s" << c.signMode;
}

TEST(NumberText, AngleText) {
    const double a = degrees(12, 34, 56.78);
    struct Case {
        double a;
        float mode, prec;
        const char* text;
    };
    const Case cases[] = {
        {a, 0, 1, " 12.58244deg"},
        {-a, 0, 1, "347.41756deg"},
        {a, 1, 1, " +12.58244deg"},
        {-a, 1, 1, " -12.58244deg"},
        {a, 2, 1, "+12.58244deg"},
        {a, 3, 1, "+12dg34am56.8as"},
        {-a, 3, 1, "-12dg34am56.8as"},
        {a, 4, 1, " 12dg34am56.8as"},
        {-a, 4, 1, "347dg25am03.2as"},
        {a, 5, 1, " +12dg34am56.8as"},
        {-a, 5, 1, " -12dg34am56.8as"},
        {a, 6, 1, " 0h50m19.79s"},
        {a, 3, 0, "+12dg34am57as"},
        {degrees(2.5), 8, 1, "2.50000deg"},
        {degrees(-2.5), 8, 1, "2.50000deg"},
        {degrees(2.5), 10, 1, "+2.50000deg"},
        {degrees(-2.5), 10, 1, "-2.50000deg"},
        {degrees(12.58244), 8, 1, "9.58244deg"},   // one integer place: the leading value is capped
        {hours(5, 6, 7.5), 6, 1, " 5h06m07.50s"},
        {hours(5, 6, 7.5), 6, 0, " 5h06m07.5s"},
        {degrees(0, 0, 20.5), 9, 1, "00am20.5as"},
        {degrees(0, 0, -20.5), 11, 1, "-00am20.5as"},
        {degrees(0, 12, 5), 11, 0, "+12am05as"},
        {degrees(181), 5, 0, "-179dg00am00as"}, // reduced to [-180, 180)
        {degrees(-90), 6, 0, "18h00m00.0s"},      // hours reduced to [0, 24)
        // Zero: decimal short forms and fixed sexagesimal fields.
        {0, 0, 1, "  0deg"},
        {0, 1, 1, "  +0deg"},
        {0, 2, 1, " +0deg"},
        {0, 8, 1, "0deg"},
        {0, 10, 1, "+0deg"},
        {0, 3, 1, "+00dg00am00as"},
        {0, 4, 1, "  0dg00am00as"},
        {0, 5, 1, " +00dg00am00as"},
        {0, 6, 1, "  0h00m00s"},
        {0, 9, 1, "00am00as"},
        {0, 11, 1, "+00am00as"},
        // The rounding carry is not wrapped.
        {hours(23, 59, 59.97), 6, 0, "24h00m00.0s"},
        {degrees(359, 59, 59.9), 4, 0, "360dg00am00as"},
        // Past the places of the mode the leading field writes the whole number.
        {degrees(123, 30), 3, 0, "+123dg30am00as"},
        {degrees(-100), 3, 0, "-100dg00am00as"},
        {degrees(5), 3, 0, " +5dg00am00as"},
        {a, 7, 1, ""},
        {a, 12, 1, ""},
        {a, 3.5f, 1, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DSPSEXA(c.a, c.mode, c.prec), c.text) << "mode " << c.mode << " prec " << c.prec;
}

TEST(NumberText, BackwardSearch) {
    struct Case {
        const char* s;
        const char* t;
        float p;
        int position;
    };
    const Case cases[] = {
        {"a,b,c,d", ",", 5, 4},
        {"a,b,c,d", ",", 4, 4},
        {"a,b,c,d", ",", 1, -1},
        {"abc", "x", 2, -1},
        {"a,b", ",", 3, -1},          // p not below the length
        {"abcabc", "bc", 5, 5},
        {"abcabc", "bc", 4, 2},
        {"", ",", 0, -1},
        {"星,雲,団", ",", 4, 4},         // positions count characters, not bytes
    };
    for (const Case& c : cases)
        EXPECT_EQ(BACKSCH(c.s, c.t, c.p), c.position) << c.s << " / " << c.t << " / " << c.p;
}

TEST(NumberText, CommentBreaks) {
    struct Case {
        const char* s;
        const char* first;
        const char* rest;
    };
    const Case cases[] = {
        {"The quick brown fox, jumps over the lazy dog", "The quick brown fox, jumps", " over the lazy dog"},
        {"alpha,beta,gamma,delta,epsilon,zeta", "alpha,beta,gamma,delta,", "epsilon,zeta"},
        {"M31=NGC224;Andromeda_Galaxy(spiral)", "M31=NGC224;Andromeda_Galaxy", "(spiral)"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123", "456789"},
        {"exactly thirty characters long", "exactly thirty characters long", ""},
        {"short", "short", ""},
        {"", "", ""},
        // A break character in the first place is never used.
        {",BCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", ",BCDEFGHIJKLMNOPQRSTUVWXYZ0123", "456789"},
        // Equal scores: the one earlier in the table wins (comma at 24 and '(' at 25 both 51).
        {"aaaaaaaaaaaaaaaaaaaaaaa,(bbbbbbbbbbbbbb", "aaaaaaaaaaaaaaaaaaaaaaa,", "(bbbbbbbbbbbbbb"},
        // Characters, not bytes: thirty-one kana are cut after thirty, never inside one.
        {"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほま",
         "あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ", "ま"},
        {"オリオン座大星雲 M42, the great nebula in Orion", "オリオン座大星雲 M42, the great", " nebula in Orion"},
    };
    for (const Case& c : cases) {
        std::string first = "x", rest = "x";
        CMTCUT(c.s, first, rest, 30);
        EXPECT_EQ(first, c.first) << c.s;
        EXPECT_EQ(rest, c.rest) << c.s;
    }
}

TEST(NumberText, FieldTextOfAComputedValue) {
    struct Case {
        double v;
        const char* text;
    };
    const Case cases[] = {
        {0.6299525842434079, "0.62995258"},
        {0.9972634752334482, "0.99726348"},
        {0.6, "0.60000000"},
        {1.0000188872624634, "1.00001888"},
        {3.9529217336706606, "3.95292173"},
        {2.5, "2.5"},
        {42164, "42164"},
        {12345678.123, "12345678.1"},
        {123456789.125, "123456789.125"}, // not cut from 100000000 up
        {1e20, "100000000000000000000"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fieldTextOfValue(c.v), c.text) << c.v;
}
