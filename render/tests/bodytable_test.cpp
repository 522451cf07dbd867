#include "render/bodytable.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/constants.h"
#include "render/drawing.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

double angleBetween(const std::array<double, 5>& a, const DirectionVector& b)
{
    return std::acos(std::clamp(a[0] * b[0] + a[1] * b[1] + a[2] * b[2], -1.0, 1.0));
}

TEST(BodyTable, TheAntisolarPointAndTheEarthsShadow)
{
    struct Case { int mode, distanceMode; bool distant; };
    const Case cases[] = {
        {0, 1, false}, {2, 1, false},   // a direction only, no parallax
        {1, 1, true}, {11, 1, true},    // at the Moon's distance, seen from the observer
        {1, 2, false},                  // an assigned distance that is no number: the Earth's centre
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " distance " << c.distanceMode);
        TestRecords r;
        r.chartOptions.antisunDisplayMode = std::uint8_t(c.mode);
        r.planetSettings.earthShadowDistanceMode = std::uint8_t(c.distanceMode);
        ASSERT_TRUE(DRAWINGIMG(r));
        const BodyTable& b = r.drawn.bodies;
        const auto& anti = b.bodyPositions[antisunBody];
        EXPECT_EQ(anti[4], 0);
        const DirectionVector& v = r.drawn.sky.annualAberrationEcliptic;
        const DirectionVector away = {-b.sunVector[0] / b.sunDistance - v[0], -b.sunVector[1] / b.sunDistance - v[1],
                                      -b.sunVector[2] / b.sunDistance - v[2]};
        const double awayLength = std::sqrt(away[0] * away[0] + away[1] * away[1] + away[2] * away[2]);
        const DirectionVector awayUnit = {away[0] / awayLength, away[1] / awayLength, away[2] / awayLength};
        if (c.mode == 0 || c.mode == 2) {
            EXPECT_EQ(anti[3], 0);
            // With the aberration that every body gets added back, it lies opposite the apparent Sun.
            std::array<double, 5> seen = anti;
            for (int i = 0; i < 3; ++i)
                seen[i] += v[i];
            const double n = std::sqrt(seen[0] * seen[0] + seen[1] * seen[1] + seen[2] * seen[2]);
            for (int i = 0; i < 3; ++i)
                seen[i] /= n;
            EXPECT_LT(angleBetween(seen, awayUnit), 1e-9);
        } else if (c.distant) {
            // At the Moon's distance from the Earth's centre, seen from the observer.
            const auto& moon = b.bodyPositions[moonBody];
            const DirectionVector& o = r.drawn.sky.observerPositionEcliptic;
            const double moonGeocentric = std::hypot(moon[0] * moon[3] + o[0], moon[1] * moon[3] + o[1], moon[2] * moon[3] + o[2]);
            EXPECT_NEAR(anti[3], moonGeocentric, 6400);
            EXPECT_LT(angleBetween(anti, awayUnit), 0.02);   // within the parallax
        } else {
            EXPECT_NEAR(anti[3], 6371, 30);   // straight down to the Earth's centre
        }
    }
}

TEST(BodyTable, ReadoutValuesOfTheChosenBody)
{
    struct Case { int body, frame, correction; bool moon; };
    const Case cases[] = {
        {0, 2, 0, false},
        {0, 20, 0, true},   // the Sun with frame 20 reads out the Moon
        {1, 2, 0, true},
        {1, 2, 2, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.body << ' ' << c.frame << ' ' << c.correction);
        TestRecords r;
        r.readoutOptions.readoutBody = std::uint8_t(c.body);
        r.readoutOptions.readoutFrame = std::uint8_t(c.frame);
        r.readoutOptions.readoutCorrection = std::uint8_t(c.correction);
        ASSERT_TRUE(DRAWINGIMG(r));
        SkyFrames sky = r.drawn.sky;
        BodyTable bodies;
        const DayNumber t = sky.julianCenturies * 36525 + 1.5;
        const ReadoutValues v = fillBodyTable(r, sky, bodies, t).readout;
        if (c.moon) {
            EXPECT_NEAR(v.distance, 384400, 30000);
        } else {
            EXPECT_NEAR(v.longitude, bodies.sunGeometricLongitude, 0);
            EXPECT_NEAR(v.distance, bodies.sunDistance * astronomicalUnit, 1);
        }
    }
    // Light time moves the Moon by about two thirds of an arc second.
    TestRecords r;
    r.readoutOptions.readoutBody = 1;
    ASSERT_TRUE(DRAWINGIMG(r));
    SkyFrames sky = r.drawn.sky;
    BodyTable bodies;
    const DayNumber t = sky.julianCenturies * 36525 + 1.5;
    const ReadoutValues corrected = fillBodyTable(r, sky, bodies, t).readout;
    r.readoutOptions.readoutCorrection = 2;
    const ReadoutValues instantaneous = fillBodyTable(r, sky, bodies, t).readout;
    const double shift = std::fabs(instantaneous.longitude - corrected.longitude) * 206265;
    EXPECT_GT(shift, 0.2);
    EXPECT_LT(shift, 1.5);
}

} // namespace
} // namespace nivora
