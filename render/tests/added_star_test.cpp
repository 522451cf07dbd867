// The added star's direction from the form's fields, on frames of the test's own making.
#include <gtest/gtest.h>

#include <cmath>

#include <algorithm>

#include "astro/constants.h"
#include "options/settings_records.h"
#include "render/added_star.h"
#include "render/skyframes.h"

namespace nivora {
namespace {

double angle(const DirectionVector& a, const DirectionVector& b)
{
    const double d = a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
    return std::acos(std::clamp(d, -1.0, 1.0));
}

// Every frame the identity, no aberration: the vector is the typed direction itself.
SkyFrames plainSky()
{
    SkyFrames sky;
    for (RotationMatrix* m : {&sky.trueEquatorToTrueEcliptic, &sky.meanEquatorToTrueEquator, &sky.icrfToMeanEquator,
                              &sky.meanEclipticToTrueEcliptic, &sky.j2000EclipticToTrueEcliptic,
                              &sky.greenwichToHorizon, &sky.baseToTrueEquator})
        *m = identityMatrix();
    return sky;
}

TEST(AddedStar, TheTypedPairReadsAsHoursOrDegreesAndMinutesKeepTheirSign)
{
    struct Case {
        const char* first;
        const char* minutes;
        bool degrees;
        double longitudeDegrees;
    };
    const Case cases[] = {
        {"12", "00", false, 180},   {"-12", "30", false, -187.5},   // -12.5 h
        {"12", "-30", false, 172.5}, // 11.5 h: the minutes keep their own sign
        {"-0", "30", false, -7.5},  {"180", "00", true, 180},       {"310", "21.48", true, 310.358},
        {"+5", "30", true, 5.5},
    };
    const SkyFrames sky = plainSky();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.first << " " << c.minutes);
        AddedStarFields f;
        f.frame = 4;   // apparent ecliptic: no matrix, no aberration
        f.first = c.first;
        f.firstMinutes = c.minutes;
        f.degrees = c.degrees;
        f.second = "-10";
        f.secondMinutes = "30";
        const AddedStar s = ADDSTAR(f, sky, {});
        ASSERT_EQ(s.status, AddedStarStatus::ok);
        EXPECT_NEAR(angle(s.v, unitVector(c.longitudeDegrees / degreesPerRadian, -10.5 / degreesPerRadian)), 0, 1e-6);
        EXPECT_NEAR(s.dist, 1, 1e-12);
    }
}

TEST(AddedStar, OnlyFramesThatAreNotApparentGetTheAnnualAberration)
{
    SkyFrames sky = plainSky();
    sky.annualAberrationEcliptic = {0, 1e-4, 0};
    AddedStarFields f;
    f.first = "0";
    f.firstMinutes = "0";
    f.second = "0";
    f.secondMinutes = "0";
    const DirectionVector typed = {1, 0, 0};
    for (int frame = 0; frame <= 9; ++frame) {
        SCOPED_TRACE(frame);
        f.frame = frame;
        const AddedStar s = ADDSTAR(f, sky, {.chartMode = mapChartMode});
        ASSERT_EQ(s.status, AddedStarStatus::ok);
        const bool aberrated = frame % 4 > 0 && frame != 9;
        EXPECT_NEAR(angle(s.v, typed), aberrated ? 1e-4 : 0, 1e-9);
    }
}

TEST(AddedStar, DistanceCountsOnlyOnTheSkyChart)
{
    const SkyFrames sky = plainSky();
    AddedStarFields f;
    f.frame = 5;
    f.distanceOn = 1;
    f.distance = "2";
    f.astronomicalUnits = true;
    EXPECT_NEAR(ADDSTAR(f, sky, {.chartMode = skyChartMode}).dist, 2 * astronomicalUnit, 1e-3);
    EXPECT_EQ(ADDSTAR(f, sky, {.chartMode = mapChartMode}).dist, 1);
    f.astronomicalUnits = false;
    EXPECT_NEAR(ADDSTAR(f, sky, {.chartMode = skyChartMode}).dist, 2, 1e-9);

    // A distance that is not above 0 would make 0/0 of the direction.
    for (const char* distance : {"0", "-3", "far"}) {
        f.distance = distance;
        EXPECT_EQ(ADDSTAR(f, sky, {.chartMode = skyChartMode}).status, AddedStarStatus::badDistance) << distance;
        EXPECT_EQ(ADDSTAR(f, sky, {.chartMode = mapChartMode}).status, AddedStarStatus::ok) << distance;
    }
    f.frame = -1;
    EXPECT_EQ(ADDSTAR(f, sky, {}).status, AddedStarStatus::noFrame);
}

TEST(AddedStar, APlaceOnTheEarthCountsItsDistanceFromTheGround)
{
    SkyFrames sky = plainSky();
    AddedStarFields f;
    f.frame = 8;
    f.first = "0";
    f.firstMinutes = "0";
    f.second = "+0";
    f.secondMinutes = "0";
    f.distanceOn = 1;
    f.distance = "100";
    f.fromSurface = true;
    const AddedStar s = ADDSTAR(f, sky, {.chartMode = skyChartMode});
    ASSERT_EQ(s.status, AddedStarStatus::ok);
    EXPECT_NEAR(s.dist, earthRadius + 100, 1e-6);
    // From the centre the observer's position is not added either.
    sky.observerPositionEcliptic = {6000, 0, 0};
    f.frame = 5;
    f.fromSurface = false;
    EXPECT_NEAR(ADDSTAR(f, sky, {.chartMode = skyChartMode}).dist, 100, 1e-9);
    f.fromSurface = true;
    EXPECT_NEAR(ADDSTAR(f, sky, {.chartMode = skyChartMode}).dist, 6100, 1e-9);
}

} // namespace
} // namespace nivora
