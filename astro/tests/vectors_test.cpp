#include "astro/vectors.h"

#include <cmath>

#include <gtest/gtest.h>

#include "astro/constants.h"

using namespace nivora;

TEST(Zenith, AxesPolesAndOrigin) {
    struct Case {
        double x, y, z, lon, lat, r;
    };
    const Case cases[] = {
        {1, 0, 0, 0, 0, 1},
        {0, 1, 0, pi / 2, 0, 1},
        {0, -1, 0, -pi / 2, 0, 1},
        {-1, 0, 0, pi, 0, 1}, // +pi, never -pi
        {0, 0, 2, 0, pi / 2, 2},
        {0, 0, -2, 0, -pi / 2, 2},
        {0, 0, 0, 0, -pi / 2, 0}, // the origin reads as the south pole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << ',' << c.y << ',' << c.z);
        double lon, lat, r;
        ZENITH(c.x, c.y, c.z, lon, lat, r);
        EXPECT_DOUBLE_EQ(lon, c.lon);
        EXPECT_DOUBLE_EQ(lat, c.lat);
        EXPECT_DOUBLE_EQ(r, c.r);
    }
    double lon, lat, r;
    ZENITH(-1, -1e-12, 0, lon, lat, r);
    EXPECT_GT(lon, -pi);
    EXPECT_LT(lon, -pi + 1e-11);
}

TEST(Zenith, RoundTripsUnitVector) {
    for (double lon = -3.1; lon < 3.14; lon += 0.37)
        for (double lat = -1.5; lat < 1.55; lat += 0.3) {
            const DirectionVector v = unitVector(lon, lat);
            double l, b, r;
            ZENITH(v[0], v[1], v[2], l, b, r);
            EXPECT_NEAR(l, lon, 1e-12);
            EXPECT_NEAR(b, lat, 1e-12);
            EXPECT_NEAR(r, 1, 1e-15);
        }
}

TEST(Rotations, ElementaryRotationsTurnTheFrame) {
    // Turning the frame by +90 degrees about z brings the old y axis onto the new x axis.
    const DirectionVector y = rotate(R3(pi / 2), {0, 1, 0});
    EXPECT_NEAR(y[0], 1, 1e-14);
    EXPECT_NEAR(y[1], 0, 1e-14);
    const DirectionVector z = rotate(R1(pi / 2), {0, 0, 1});
    EXPECT_NEAR(z[1], 1, 1e-14);
    EXPECT_NEAR(z[2], 0, 1e-14);

    // A.B applies B first.
    const RotationMatrix ab = multiply(R1(0.3), R3(0.7));
    const DirectionVector v = {0.2, -0.5, 0.8};
    const DirectionVector direct = rotate(ab, v), stepwise = rotate(R1(0.3), rotate(R3(0.7), v));
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(direct[i], stepwise[i], 1e-15);
    const DirectionVector back = rotateInverse(ab, direct);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(back[i], v[i], 1e-15);
}

TEST(Invmat, InvertsRotationsAndGeneralMatrices) {
    const RotationMatrix rotation = multiply(R3(-0.4), multiply(R1(0.41), R3(1.2)));
    const RotationMatrix general = {{{2, 1, 0}, {0, 3, 1}, {1, 0, 4}}};
    for (const RotationMatrix& a : {rotation, general}) {
        RotationMatrix b;
        INVMAT(a, b);
        const RotationMatrix p = multiply(a, b);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(p[i][j], i == j ? 1 : 0, 1e-14);
    }
    RotationMatrix b;
    INVMAT(RotationMatrix{}, b); // singular: zeros, never infinities
    for (const auto& row : b)
        for (double e : row)
            EXPECT_EQ(e, 0);
}

// Passes normalise vectors that may come out zero; those must stay zero, never NaN.
TEST(Vectors, NormalisingLeavesTheZeroVectorAlone) {
    EXPECT_EQ(normalised({3, 0, -4}), (DirectionVector{0.6, 0, -0.8}));
    EXPECT_EQ(normalised({0, 0, 0}), (DirectionVector{0, 0, 0}));
    DirectionVector v{0, 2, 0};
    normalise(v);
    EXPECT_EQ(v, (DirectionVector{0, 1, 0}));
}

TEST(Md360, ReducesToOneTurn) {
    struct Case {
        double in, out;
    };
    const Case cases[] = {{-0.5, 359.5}, {720, 0}, {359.9, 359.9}, {-30, 330}, {360, 0}, {0, 0}, {-720.25, 359.75}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_NEAR(MD360(c.in), c.out, 1e-12);
    }
}

TEST(Calendar, LeapYears) {
    struct Case {
        int year;
        bool leap;
    };
    const Case cases[] = {
        {2000, true}, {1900, false}, {2024, true}, {2023, false}, {2100, false}, {1600, true},
        {-4, true},   {-400, true},
        {-100, true}, // the remainder -100 is none of 100, 200, 300
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.year);
        EXPECT_EQ(isLeapYear(c.year), c.leap);
    }
}

TEST(Calendar, DayNumberOfGregorianDates) {
    struct Case {
        int y, m, d;
        double dayNumber;
    };
    const Case cases[] = {
        {2000, 0, 1, 1.0},     {1999, 0, 1, -364}, {1996, 0, 1, -1460},
        {2000, 2, 1, 61},      {2001, 0, 1, 367},  {1900, 2, 1, -36464},
        {2100, 2, 1, 36585}, // 2100 is no leap year
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << '-' << c.m << '-' << c.d);
        EXPECT_EQ(dayNumberOfDate(c.y, c.m, c.d), c.dayNumber);
    }
    EXPECT_EQ(dayNumberOfDate(2000, 0, 1, 0.5), 1.5); // J2000.0
    // A month index outside the table counts on into the next or the previous years.
    EXPECT_EQ(dayNumberOfDate(2000, 12, 1), dayNumberOfDate(2001, 0, 1));
    EXPECT_EQ(dayNumberOfDate(2000, -1, 31), dayNumberOfDate(1999, 11, 31));
    EXPECT_EQ(dayNumberOfDate(2000, -25, 1), dayNumberOfDate(1997, 11, 1));
    // Consecutive days stay consecutive across centuries and leap days.
    for (int y = 1590; y < 2410; ++y)
        EXPECT_EQ(dayNumberOfDate(y + 1, 0, 1) - dayNumberOfDate(y, 0, 1), isLeapYear(y) ? 366 : 365) << y;
}

TEST(Calendar, DatecolSteps) {
    struct Case {
        float y, m, d, n, y2, m2, d2;
    };
    const Case cases[] = {
        {2000, 1, 28, 1, 2000, 1, 29},
        {2000, 1, 28, 2, 2000, 2, 1},
        {1900, 1, 28, 1, 1900, 2, 1},
        {2001, 0, 1, -1, 2000, 11, 31},
        {2001, 0, 1, -366, 2000, 0, 1},
        {2023, 0, 31, 40, 2023, 2, 12},
        {2000, 2, 1, -1, 2000, 1, 29},
        {1999, 2, 1, -1, 1999, 1, 28},
        {2000, 1, 31, 0, 2000, 1, 31},       // n = 0 leaves even an invalid date alone
        {2000, 0, 1, 146097, 2400, 0, 1},    // one 400-year cycle
        {2000, 0, 1, -146098, 1599, 11, 31},
        {2000, 0, 1, 1000000, 4737, 10, 28}, // 2000-01-01 + 1e6 days
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << '-' << c.m << '-' << c.d << " + " << c.n);
        float y = c.y, m = c.m, d = c.d;
        DATECUL(y, m, d, c.n);
        EXPECT_EQ(y, c.y2);
        EXPECT_EQ(m, c.m2);
        EXPECT_EQ(d, c.d2);
    }
}

TEST(Calendar, DatecolAgreesWithDayNumbers) {
    float y = 1987, m = 4, d = 17;
    const double start = dayNumberOfDate(1987, 4, 17);
    for (int n : {1, 13, 29, 31, 59, 365, 366, 1461, 36524, -1, -59, -366, -36525}) {
        float y2 = y, m2 = m, d2 = d;
        DATECUL(y2, m2, d2, float(n));
        EXPECT_EQ(dayNumberOfDate(int(y2), int(m2), int(d2)) - start, n) << n;
    }
}

// Steps and days far beyond a float's whole days still end, on the month and day of the exact
// day count. From year 0 on the calendar repeats every 400 years (146097 days), below it every 4
// years (1461 days).
TEST(Calendar, DatecolHugeStepsAndDays) {
    struct Case {
        float year, day, n;
    };
    const Case cases[] = {
        {2000, 1, 3e10f},             // 30000001024 days, 4753 past whole cycles
        {0, 1, -1.00411342e16f},      // a float step that once stepped back for ever
        {2000, 1099511627776.0f, 1},  // day 2^40 of January: a month's length no longer changes it
        {2000, 1, 3.4e38f},
        {0, 1, -3.4e38f},
        {0, 1, -1461.0f * 1073741824}, // 2^30 four-year cycles: exactly year -2^32
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << " day " << c.day << " + " << c.n);
        const double offset = double(c.day) - 1 + double(c.n); // days after January 1 of c.year
        const double cycleDays = offset < 0 ? 1461 : 146097, cycleYears = offset < 0 ? 4 : 400;
        double rest = std::fmod(offset, cycleDays);
        if (rest < 0)
            rest += cycleDays;
        float y0 = c.year, m0 = 0, d0 = 1;
        DATECUL(y0, m0, d0, float(rest));
        float y = c.year, m = 0, d = c.day;
        DATECUL(y, m, d, c.n);
        EXPECT_EQ(m, m0);
        EXPECT_EQ(d, d0);
        EXPECT_FLOAT_EQ(y, float(y0 + cycleYears * ((offset - rest) / cycleDays)));
    }
}

// A long step lands where as many one-day steps land, on either side of year 0 and across it.
// Below 0 the remainders take the year's sign, so -100, -200 and -300 are leap years too.
TEST(Calendar, DatecolLongStepsAcrossYearZero) {
    struct Case {
        float y, m, d, n;
    };
    const Case cases[] = {
        {0, 0, 1, -146100},    // 400 years below 0: exactly year -400, January 1
        {0, 0, 1, -146097},
        {0, 0, 1, -200000},
        {100, 2, 1, -200000},
        {-300, 5, 15, 300000},
        {-1, 11, 31, 146098},
        {2000, 1, 29, -800000},
        {-500, 1, 29, 400000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.y << '-' << c.m << '-' << c.d << " + " << c.n);
        float y = c.y, m = c.m, d = c.d;
        DATECUL(y, m, d, c.n);
        float y1 = c.y, m1 = c.m, d1 = c.d;
        const float unit = c.n < 0 ? -1.0f : 1.0f;
        for (int i = 0; i < int(std::fabs(c.n)); ++i)
            DATECUL(y1, m1, d1, unit);
        EXPECT_EQ(y, y1);
        EXPECT_EQ(m, m1);
        EXPECT_EQ(d, d1);
    }
    float y = 0, m = 0, d = 1;
    DATECUL(y, m, d, -146100);
    EXPECT_EQ(y, -400);
    EXPECT_EQ(m, 0);
    EXPECT_EQ(d, 1);
}

TEST(Calendar, DatecolRejectsABadMonthIndex) {
    float y = 2000, m = 12, d = 5;
    DATECUL(y, m, d, 3);
    EXPECT_EQ(m, 12);
    EXPECT_EQ(d, 5);
}
