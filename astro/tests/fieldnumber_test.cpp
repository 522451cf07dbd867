#include "astro/fieldnumber.h"

#include <clocale>
#include <cmath>

#include <gtest/gtest.h>

using nivora::readFieldNumber;

TEST(FieldNumber, ReadsTheNumberAtTheStart) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {
        {"", 0},
        {"abc", 0},
        {"  12.5", 12.5},
        {"\t-3", 0},   // a tab is not a blank
        {"+135.0", 135},
        {" .5", 0.5},
        {"-.25x", -0.25},
        {"5.", 5},
        {"1.5E3", 1500},
        {"1.5e-2 deg", 0.015},
        {"2E", 2},      // an exponent without digits is not part of the number
        {"2E+", 2},
        {"12abc", 12},
        {"1,5", 1},     // never a decimal comma
        {"-", 0},
        {"+.", 0},
        {" - 5", 0},    // the sign must touch the digits
        {"1e999", 0},   // out of range reads as 0, never infinity
        {"-0", 0},
        {"00042", 42},
        {"3.1415926535898", 3.1415926535898},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readFieldNumber(c.text), c.value);
    }
    EXPECT_FALSE(std::signbit(readFieldNumber("-0")));
}

// A number beyond its precision's range, or a spelling of infinity or not-a-number, is no number
// a field holds; text that reads as 0 is.
TEST(FieldNumber, TellsANumberNoFieldOfItsPrecisionHolds) {
    using nivora::FieldPrecision;
    using nivora::fieldHoldsNumber;
    struct Case {
        const char* text;
        bool single, double_;
    };
    const Case cases[] = {
        {"9e99", false, true},
        {"-1e39", false, true},
        {"3.4e38", true, true},
        {"3.41e38", false, true},
        {"1e308", false, true},
        {"1e400", false, false},
        {"-1e400", false, false},
        {"  +1e400 deg", false, false},
        {"0.0001e310", false, true},   // 1e306
        {"1000e-311", true, true},     // 1e-308
        {"1e-400", true, true},        // below the least: reads as 0
        {"0e999999999999", true, true},
        {"123456789e99999999999999", false, false},
        {".00001e-99999999999999", true, true},
        {"inf", false, false},
        {"-INF", false, false},
        {" +Infinity", false, false},
        {"nan", false, false},
        {"NaN(1)", false, false},
        {"inf5", true, true},          // no spelling of its own: reads as 0
        {"information", true, true},
        {"nancy", true, true},
        {"abc", true, true},
        {"", true, true},
        {"-", true, true},
        {"95", true, true},
        {"400", true, true},
        {"1e38", true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(fieldHoldsNumber(c.text, FieldPrecision::Single), c.single);
        EXPECT_EQ(fieldHoldsNumber(c.text, FieldPrecision::Double), c.double_);
    }
}

TEST(FieldNumber, IgnoresTheProcessLocale) {
    // Qt sets the process locale from the environment; a decimal-comma locale must not matter.
    const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(readFieldNumber("2.75"), 2.75);
    if (previous)
        std::setlocale(LC_NUMERIC, "C");
}

TEST(FieldNumber, WritesTheShortestTextWithTheFieldsBlankAndPoint) {
    using nivora::writeFieldNumber;
    struct Case {
        const char* text;
        std::string written;
    };
    const Case cases[] = {
        {"0.5f", writeFieldNumber(0.5f)},
        {"-0.25f", writeFieldNumber(-0.25f)},
        {"0.1f", writeFieldNumber(0.1f)},          // single: not 0.100000001
        {"0.1", writeFieldNumber(0.1)},
        {"1.1f", writeFieldNumber(1.1f)},
        {"4.5f", writeFieldNumber(4.5f)},
        {"320", writeFieldNumber(320)},
        {"-12", writeFieldNumber(-12)},
        {"0", writeFieldNumber(0.0)},
        {"-0.0", writeFieldNumber(-0.0)},
        {"135.0", writeFieldNumber(135.0)},
        {"1234567f", writeFieldNumber(1234567.0f)},
        {"12345678f", writeFieldNumber(12345678.0f)},
        {"1e15", writeFieldNumber(1e15)},
        {"123456789012345", writeFieldNumber(123456789012345.0)},
        {"0.00001", writeFieldNumber(0.00001)},
        {"0.000002", writeFieldNumber(0.000002)},
        {"-2.5e-7f", writeFieldNumber(-2.5e-7f)},
        {"0.01745f", writeFieldNumber(0.01745f)},
    };
    const char* expected[] = {" .5", "-.25", " .1", " .1", " 1.1", " 4.5", " 320", "-12", " 0",
                              " 0", " 135", " 1234567", " 1.2345678E+07", " 1E+15",
                              " 123456789012345", " .00001", " 2E-06", "-2.5E-07", " .01745"};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].text);
        EXPECT_EQ(cases[i].written, expected[i]);
    }
}

TEST(FieldNumber, WrittenNumbersReadBackExactly) {
    using nivora::writeFieldNumber;
    for (float f : {0.5f, 1.1f, 0.0349f, -123.456f, 3.4e38f, 1.17549435e-38f, 7.5f, 1e-5f, 9.99999e6f}) {
        SCOPED_TRACE(f);
        EXPECT_EQ(static_cast<float>(readFieldNumber(writeFieldNumber(f))), f);
    }
    for (double d : {0.1, 1.0 / 3, -2.718281828459045, 1e300, 5e-324, 299792.458}) {
        SCOPED_TRACE(d);
        EXPECT_EQ(readFieldNumber(writeFieldNumber(d)), d);
    }
}
