#include "render/pipeline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "render/drawing.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

double angle(const DirectionVector& a, const DirectionVector& b)
{
    const DirectionVector c = {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    return std::atan2(std::sqrt(c[0] * c[0] + c[1] * c[1] + c[2] * c[2]), a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
}

constexpr double arcsec = 1 / 206264.806;

TEST(Pipeline, CatalogueAberrationByChartModeAndDisplayFrame)
{
    struct Case { int mode, display, diurnal; bool annual; };
    const Case cases[] = {
        {2, 0, 0, true}, {2, 0, 1, true},
        {3, 0, 1, true}, {3, 4, 1, true},      // apparent frames of the map
        {3, 1, 1, false}, {3, 2, 1, false}, {3, 3, 1, false}, {3, 5, 1, false}, {3, 7, 1, false},
    };
    const DirectionVector u = catalogueVector(101.287155, -16.716116);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " display " << c.display << " diurnal " << c.diurnal);
        TestRecords r;
        r.chartView.chartMode = std::uint8_t(c.mode);
        r.chartOptions.diurnalAberrationOn = std::uint8_t(c.diurnal);
        r.ui.control("COMBO5").setIndex(c.display);
        ASSERT_TRUE(DRAWINGIMG(r));
        const PointPipeline pipeline(r);
        const DirectionVector plain = rotate(r.drawn.sky.icrfToBase, u);
        const DirectionVector w = pipeline.catalogueToBase(r.drawn.sky.icrfToBase, u);
        if (!c.annual) {
            EXPECT_EQ(w, plain);
            continue;
        }
        DirectionVector expected = plain;
        for (int i = 0; i < 3; ++i)
            expected[i] += r.drawn.sky.annualAberration[i];
        if (c.mode == 2 && c.diurnal)
            expected[1] += r.drawn.sky.diurnalAberration[1];
        const double length = std::sqrt(expected[0] * expected[0] + expected[1] * expected[1] + expected[2] * expected[2]);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(w[i], expected[i] / length, 1e-15);
        EXPECT_GT(angle(w, plain), 5 * arcsec);
        EXPECT_LT(angle(w, plain), 21.5 * arcsec);
    }
}

TEST(Pipeline, TheMoonMovesWithTheEarthAndGetsNoAnnualAberration)
{
    TestRecords r;
    r.chartOptions.diurnalAberrationOn = 0;
    ASSERT_TRUE(DRAWINGIMG(r));
    const PointPipeline pipeline(r);
    const SkyFrames& sky = r.drawn.sky;
    for (int body : {sunBody, moonBody, marsBody, antisunBody}) {
        SCOPED_TRACE(body);
        const DirectionVector u = {0.6, 0.64, 0.48};
        const double shift = angle(pipeline.bodyToBase(body, u), rotate(sky.trueEclipticToBase, u));
        if (body == moonBody) {
            EXPECT_LT(shift, 1e-12);
            EXPECT_FALSE(annualAberrationApplies(body));
        } else {
            EXPECT_GT(shift, 5 * arcsec);
            EXPECT_TRUE(annualAberrationApplies(body));
        }
    }
}

TEST(Pipeline, RefractionAndTheHorizonCutBelongToTheSkyChart)
{
    // A point half a degree above the horizon, due south, on a chart centred there.
    struct Case { int mode, refraction; float depth; double altitudeDegrees; bool drawn; bool raised; };
    const Case cases[] = {
        {2, 1, 0, 0.5, true, true},
        {2, 0, 0, 0.5, true, false},
        {3, 1, 0, 0.5, true, false},
        {2, 0, 0, -0.5, false, false},
        {2, 0, 0.01745f, -0.5, true, false},   // one degree drawn under the horizon
        {2, 1, 0, -0.5, true, true},           // lifted above by refraction
        {3, 0, 0, -5, true, false},            // the map has no horizon
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << " refraction " << c.refraction << " alt " << c.altitudeDegrees);
        TestRecords r;
        r.chartView.chartMode = std::uint8_t(c.mode);
        r.chartOptions.refractionOn = std::uint8_t(c.refraction);
        r.chartOptions.underHorizonDepth = c.depth;
        r.chartOptions.projectionKind = 11;
        r.chartView.magnification = 4;
        r.set("EDIT13", "+0");
        ASSERT_TRUE(DRAWINGIMG(r));
        const double a = c.altitudeDegrees / 57.29577951308232;
        const auto p = PointPipeline(r).place({-std::cos(a), 0, std::sin(a)});
        ASSERT_EQ(p.has_value(), c.drawn);
        if (!p)
            continue;
        const double S = 320 * 4;
        const double unrefracted = 180 - S * a / 3.1415926535898;
        if (c.raised)
            EXPECT_LT(p->y, unrefracted - 0.3 * S / 180);   // more than 0.3 degrees higher
        else
            EXPECT_NEAR(p->y, unrefracted, 0.01);
    }
}

// Two points whose z lie in an interval are lifted by refraction by amounts no farther apart
// than the spread of that interval: across the cut-off below the horizon, where the formulas
// meet, and at the heights of sea level and of an aeroplane.
TEST(Pipeline, RefractionLiftsDifferByNoMoreThanTheirSpread)
{
    std::mt19937 random(24);
    std::uniform_real_distribution<double> height(-0.3, 1), width(0, 0.3), unit(0, 1);
    for (const char* metres : {"0", "10000"}) {
        SCOPED_TRACE(metres);
        TestRecords r;
        r.set("EDIT43", metres);
        ASSERT_TRUE(DRAWINGIMG(r));
        const PointPipeline p(r);
        const auto lift = [&](double z) { return p.refract({0, 0, z})[2] - z; };
        for (int k = 0; k < 20000; ++k) {
            const double low = height(random), high = low + std::pow(width(random), 3);
            const double a = low + (high - low) * unit(random), b = low + (high - low) * unit(random);
            ASSERT_LE(std::fabs(lift(a) - lift(b)), p.refractionSpread(low, high)) << low << " to " << high;
        }
        r.chartView.chartMode = mapChartMode;
        EXPECT_EQ(PointPipeline(r).refractionSpread(-0.1, 0.1), 0);
    }
}

// The spread of a narrow band of heights is what the lifts at its ends differ by, below the
// horizon and high up alike, so a close-up run near the horizon is not taken for ten arc seconds
// wide; where the two formulas meet it takes in the lifts' step.
TEST(Pipeline, RefractionSpreadOfANarrowBandIsTheLiftsDifference)
{
    TestRecords r;
    ASSERT_TRUE(DRAWINGIMG(r));
    const PointPipeline p(r);
    const auto lift = [&](double z) { return p.refract({0, 0, z})[2] - z; };
    for (const double z : {-0.03, -0.001, 0.1, 0.5, 0.99})
        for (const double width : {1E-9, 1E-6}) {
            SCOPED_TRACE(testing::Message() << z << " to " << z + width);
            EXPECT_LE(p.refractionSpread(z, z + width), lift(z) - lift(z + width) + 2E-15);
        }
    const double k = r.drawn.sky.horizonDipSine, meet = double(0.22f) * (k + 1) - k;
    const double below = lift(meet - 1E-9), above = lift(meet + 1E-9);
    EXPECT_GT(std::fabs(above - below), 5E-5);
    EXPECT_GE(p.refractionSpread(meet - 1E-9, meet + 1E-9), std::fabs(above - below));
}

TEST(Pipeline, PointsBeyondThePictureLimitsAreNotDrawn)
{
    TestRecords r;
    r.chartView.halfHeight = 1;
    r.chartOptions.projectionKind = 11;
    r.chartView.chartMode = mapChartMode;
    ASSERT_TRUE(DRAWINGIMG(r));
    const PointPipeline pipeline(r);
    // Equirectangular, S = 320: 0.6 W = 192 pixels across is 108 degrees; half that upward.
    auto at = [&](double rightDegrees, double upDegrees) {
        const double l = rightDegrees / 57.29577951308232, b = upDegrees / 57.29577951308232;
        return pipeline.place(rotate(r.drawn.sky.chartToBase, {std::sin(b), std::cos(b) * std::sin(l), std::cos(b) * std::cos(l)}));
    };
    EXPECT_TRUE(at(107, 0));
    EXPECT_FALSE(at(109, 0));
    EXPECT_TRUE(at(0, 53));
    EXPECT_FALSE(at(0, 55));
    EXPECT_FALSE(PointPipeline(r, {.limitCut = false}).place(rotate(r.drawn.sky.chartToBase, {0, 0, 1})) == std::nullopt);
}

} // namespace
} // namespace nivora
