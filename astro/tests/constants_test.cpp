#include "astro/constants.h"

#include <cmath>

#include <gtest/gtest.h>

using namespace nivora;

TEST(Constants, SinglePrecisionValuesAsTheProgramUsesThem) {
    EXPECT_EQ(double(refractionLowCoefficient), 0.00022835061827208847);
    EXPECT_EQ(double(refractionLowOffset), 0.0729999989271164);
    EXPECT_EQ(double(refractionLowExponent), 1.3728400468826294);
    EXPECT_EQ(double(refractionHighCoefficient), 0.00028264999855309725);
    EXPECT_EQ(earthRadius, 6378.13720703125);
    EXPECT_EQ(earthRotationRate, 7.292115333257243E-5);
    EXPECT_EQ(gmEarth, 2975536788480000.0);
}

TEST(Constants, DerivedValues) {
    EXPECT_NE(pi, 3.14159265358979323846); // the decimal, not the nearest double to pi
    EXPECT_NEAR(std::cos(pi / 2), -3.5e-15, 0.2e-15);
    EXPECT_DOUBLE_EQ(degreesPerRadian, 57.295779513082195);
    EXPECT_NEAR(lightSpeedAuPerDay, 173.1446334844206, 1e-12);
    EXPECT_NEAR(earthPolarRadius, 6356.752520477469, 1e-9);
    EXPECT_NEAR(earthEccentricitySquared, 0.00669438002290084, 1e-15);
    EXPECT_NEAR(gmSun, 39.47692636813595, 1e-12);
}

TEST(Constants, Tables) {
    EXPECT_EQ(monthName(0), "Jan");
    EXPECT_EQ(monthName(11), "Dec");
    EXPECT_EQ(monthNames.size(), 48u);
    EXPECT_EQ(monthStartDays[12], 365);
    for (int m = 0; m < 12; ++m)
        EXPECT_GT(monthStartDays[m + 1], monthStartDays[m]);
    EXPECT_EQ(projectionNames[1], "Azimuthal Equidistance Prj.");
    EXPECT_EQ(projectionNames[15], "Aitoff Projection");
    EXPECT_TRUE(projectionNames[0].empty() && projectionNames[16].empty());
    EXPECT_EQ(bodyNames[antisunBody].name, "Antipodes of Sun");
    EXPECT_EQ(bodyNames[neptuneBody].code, "Np");
    EXPECT_EQ(bodyRadii[sunBody], sunRadius);
    EXPECT_EQ(bodyRadii[moonBody], moonRadius);
}
