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
        {"\t-3", -3},
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

TEST(FieldNumber, IgnoresTheProcessLocale) {
    // Qt sets the process locale from the environment; a decimal-comma locale must not matter.
    const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(readFieldNumber("2.75"), 2.75);
    if (previous)
        std::setlocale(LC_NUMERIC, "C");
}
