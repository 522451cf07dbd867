#include "options/option_records.h"

#include <gtest/gtest.h>

#include <type_traits>

namespace nivora {
namespace {

// The settings file writes these members in their own widths.
static_assert(std::is_same_v<decltype(ChartOptions::magnitudeLimit), float>);
static_assert(std::is_same_v<decltype(ChartOptions::underHorizonDepth), float>);
static_assert(std::is_same_v<decltype(ChartOptions::earthGridMinutes), std::int16_t>);
static_assert(std::is_same_v<decltype(ChartOptions::centralizeWeighting), std::uint8_t>);
static_assert(std::is_same_v<decltype(MinuteOptions::starScaling), float>);
static_assert(std::is_same_v<decltype(MinuteOptions::dotMagnitude), float>);
static_assert(std::is_same_v<decltype(MinuteOptions::sunDataFrame), std::uint8_t>);

TEST(OptionRecords, StartValues) {
    const ChartOptions c;
    EXPECT_EQ(c.whiteBackground, 0);
    EXPECT_EQ(c.magnitudeLimit, 4.5f);
    EXPECT_EQ(c.constellationLines, 1);
    EXPECT_EQ(c.zenithGridStep, 90);
    EXPECT_EQ(c.equatorGridStep, 1);
    EXPECT_EQ(c.eclipticGridStep, 1);
    EXPECT_EQ(c.equatorGridEquinox, 1);
    EXPECT_EQ(c.eclipticGridEquinox, 1);
    EXPECT_EQ(c.zenithGridNumbers + c.equatorGridNumbers + c.eclipticGridNumbers, 0);
    EXPECT_EQ(c.moonLineMode, 0);
    EXPECT_EQ(c.earthGridMinutes, 0);
    EXPECT_EQ(c.centerCoordsMode, 0);
    EXPECT_EQ(c.refractionOn, 1);
    EXPECT_EQ(c.diurnalAberrationOn, 1);
    EXPECT_EQ(c.centralizeWeighting, 2);
    EXPECT_EQ(c.projectionKind, 1);
    EXPECT_EQ(c.directionPointPlace, 2);
    EXPECT_EQ(c.underHorizonDepth, 0.0f);
    EXPECT_EQ(c.verticalDirection, 1);
    EXPECT_EQ(c.sunDisplayMode, 1);
    EXPECT_EQ(c.antisunDisplayMode, 0);
    EXPECT_EQ(c.moonDisplayMode, 1);
    EXPECT_EQ(c.orbitObjectDisplayMode, 0);

    const ReadoutOptions r;
    EXPECT_EQ(r.readoutBody, 0);
    EXPECT_EQ(r.readoutParallax, 0);
    EXPECT_EQ(r.readoutCorrection, 0);
    EXPECT_EQ(r.readoutFrame, 2);
    EXPECT_EQ(r.poleDataReadout, 0);

    const MinuteOptions m;
    EXPECT_EQ(m.starScaling, 1.0f);
    EXPECT_EQ(m.dotMagnitude, 7.5f);
    EXPECT_EQ(m.azElUnit, 2);
    EXPECT_EQ(m.raDecUnit, 3);
    EXPECT_EQ(m.sunDataFrame, 1);
    EXPECT_EQ(m.angleUnit, 2);
    EXPECT_EQ(m.commentUnit, 3);
}

TEST(OptionRecords, UserProjectionStartsAtRhoEqualsROverPi) {
    const UserProjection u;
    EXPECT_EQ(u.coefficients[0], 1 / pi);
    EXPECT_EQ(u.coefficients[1], 1.0);
    for (int i = 2; i < 10; ++i)
        EXPECT_EQ(u.coefficients[i], 0.0) << i;
    EXPECT_EQ(u.termCount, 9);
    EXPECT_EQ(u.domainDegrees, 180.0);
    EXPECT_EQ(u.radiusDegrees, 90.0);
    EXPECT_EQ(u.aspectYX, 1.0);
    EXPECT_NEAR(u.edgeValue, 1.0, 1e-15);
    // The projections take it as their set-up.
    const ProjectionSetup& setup = u;
    EXPECT_EQ(setup.coefficients[0], 1 / pi);
}

} // namespace
} // namespace nivora
