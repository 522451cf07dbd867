#include "astro/projection.h"
#include "astro/vectors.h"

#include <cmath>
#include <functional>
#include <random>
#include <vector>

#include <gtest/gtest.h>

using namespace nivora;

namespace {

constexpr float S = 320;

ProjectionSetup plainSetup() {
    ProjectionSetup setup;
    setup.chartScale = S;
    return setup;
}

// a(3) = -0.1: the polynomial turns at 104.56 degrees; the chart is stretched twice upward.
ProjectionSetup bentSetup() {
    ProjectionSetup setup = plainSetup();
    setup.coefficients[3] = -0.1;
    setup.domainDegrees = 104.56;
    setup.aspectYX = 2;
    setup.coefficients[0] = userProjectionNormalisation(setup);
    setup.edgeValue = userProjectionEdgeValue(setup);
    return setup;
}

struct Dir {
    double x, y, z;
};

// In the chart frame: lon about the vertical axis toward chart right, lat toward chart up.
Dir upright(double lonDeg, double latDeg) {
    const double lon = lonDeg / degreesPerRadian, lat = latDeg / degreesPerRadian;
    return {std::sin(lat), std::sin(lon) * std::cos(lat), std::cos(lon) * std::cos(lat)};
}

double angleBetween(const Dir& a, const Dir& b) {
    const double cx = a.y * b.z - a.z * b.y, cy = a.z * b.x - a.x * b.z, cz = a.x * b.y - a.y * b.x;
    return std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), a.x * b.x + a.y * b.y + a.z * b.z);
}

struct Kind {
    ProjectionKind prj;
    ProjectionSetup setup;
    double angleTolerance; // radians, direction -> offset -> direction (not kind 10)
    double pixelTolerance; // offset -> direction -> offset, and kind 10 both ways
    std::function<bool(double X, double Y)> inside;
};

std::vector<Kind> allKinds() {
    const double s = S;
    const double hammer = s / 1.0823922;
    const double exact = 1e-9;
    const double rounding = 1e-6;
    const ProjectionSetup bent = bentSetup();
    return {
        {1, plainSetup(), exact, rounding, [=](double X, double Y) { return std::hypot(X, Y) <= s; }},
        {2, plainSetup(), exact, rounding,
         [=](double X, double Y) { return std::hypot(X, Y) < s / std::sqrt(2.0); }},
        {3, plainSetup(), exact, rounding, [](double, double) { return true; }},
        {4, plainSetup(), exact, rounding, [=](double X, double) { return std::abs(X) <= s; }},
        {5, plainSetup(), exact, rounding, [=](double, double Y) { return std::abs(Y) <= s; }},
        {6, plainSetup(), exact, rounding, [](double, double) { return true; }},
        // The forward digit search leaves up to two pixels.
        {7, plainSetup(), 2 * pi / s, 2, [=](double X, double Y) { return X * X + 4 * Y * Y <= s * s; }},
        {8, plainSetup(), exact, rounding, [=](double X, double Y) { return std::hypot(X, Y) <= s / 2; }},
        {9, plainSetup(), exact, rounding,
         [=](double X, double Y) { return std::abs(Y) <= s / 2 && std::abs(X) <= s * std::cos(pi * Y / s); }},
        // Newton stops within 0.2 pixel of the radius, doubled upward; near the domain's edge the
        // polynomial is flat, so only the pixels are compared.
        {10, bent, 0, 0.4,
         [=](double X, double Y) { return std::hypot(X, Y / 2) / s < bent.edgeValue; }},
        {11, plainSetup(), exact, rounding,
         [=](double X, double Y) { return std::abs(X) <= s && std::abs(Y) <= s / 2; }},
        // The inverse stretch 0.8 is the single-precision inverse of 0.4, not the exact one.
        {12, plainSetup(), 1e-7, 1e-4,
         [=](double X, double Y) { return std::abs(X) <= s && std::abs(Y) * pi / s <= 2.30341253; }},
        {13, plainSetup(), exact, rounding,
         [=](double X, double Y) { return X * X + 4 * Y * Y <= hammer * hammer; }},
        {14, plainSetup(), exact, rounding,
         [=](double X, double Y) { return std::abs(X) <= s && std::abs(Y) <= s / pi; }},
        {15, plainSetup(), exact, rounding, [=](double X, double Y) { return X * X + 4 * Y * Y <= s * s; }},
    };
}

} // namespace

TEST(Projection, DirectionsComeBackThroughTheInverse) {
    for (const Kind& kind : allKinds()) {
        SCOPED_TRACE(testing::Message() << "projection " << int(kind.prj));
        int checked = 0;
        for (double lon = -179.3; lon < 180; lon += 7.9)
            for (double lat = -89.1; lat < 90; lat += 6.7) {
                const Dir d = upright(lon, lat);
                double X, Y;
                DISPXY(d.x, d.y, d.z, kind.prj, X, Y, kind.setup);
                ASSERT_TRUE(std::isfinite(X) && std::isfinite(Y));
                if (std::abs(X) >= poleImageValue || std::abs(Y) >= poleImageValue)
                    continue; // clamped or a pole: no way back
                Dir back{7, 7, 7};
                float ok = -1;
                INVDISP(back.x, back.y, back.z, kind.prj, ok, X, Y, kind.setup);
                SCOPED_TRACE(testing::Message() << "lon " << lon << " lat " << lat);
                ASSERT_EQ(ok, 1);
                EXPECT_NEAR(std::hypot(back.x, back.y, back.z), 1, 1e-12);
                if (kind.prj == 10) {
                    double X2, Y2;
                    DISPXY(back.x, back.y, back.z, kind.prj, X2, Y2, kind.setup);
                    EXPECT_NEAR(X2, X, kind.pixelTolerance);
                    EXPECT_NEAR(Y2, Y, kind.pixelTolerance);
                } else {
                    EXPECT_LE(angleBetween(d, back), kind.angleTolerance);
                }
                ++checked;
            }
        EXPECT_GT(checked, 100);
    }
}

TEST(Projection, OffsetsInsideTheMapComeBackAndOthersAreRefused) {
    for (const Kind& kind : allKinds()) {
        SCOPED_TRACE(testing::Message() << "projection " << int(kind.prj));
        int inside = 0, outside = 0;
        for (double X = -1.3 * S; X < 1.3 * S; X += 0.0731 * S)
            for (double Y = -1.3 * S; Y < 1.3 * S; Y += 0.0537 * S) {
                SCOPED_TRACE(testing::Message() << "X " << X << " Y " << Y);
                Dir d{7, 7, 7};
                float ok = -1;
                INVDISP(d.x, d.y, d.z, kind.prj, ok, X, Y, kind.setup);
                if (!kind.inside(X, Y)) {
                    EXPECT_EQ(ok, 0);
                    EXPECT_TRUE(d.x == 7 && d.y == 7 && d.z == 7) << "outputs touched";
                    ++outside;
                    continue;
                }
                ASSERT_EQ(ok, 1);
                EXPECT_NEAR(std::hypot(d.x, d.y, d.z), 1, 1e-12);
                double X2, Y2;
                DISPXY(d.x, d.y, d.z, kind.prj, X2, Y2, kind.setup);
                EXPECT_NEAR(X2, X, kind.pixelTolerance);
                EXPECT_NEAR(Y2, Y, kind.pixelTolerance);
                ++inside;
            }
        EXPECT_GT(inside, 50);
        if (kind.prj != 3 && kind.prj != 6) {
            EXPECT_GT(outside, 50);
        }
    }
}

TEST(Projection, LandmarkDirections) {
    const double s = S, h = S / 2;
    struct Case {
        ProjectionKind prj;
        Dir d;
        double X, Y;
    };
    const Dir centre{0, 0, 1}, up{1, 0, 0}, right{0, 1, 0}, behind{0, 0, -1};
    const Case cases[] = {
        {1, up, 0, h},   {2, up, 0, h},   {3, up, 0, h},   {8, up, 0, h},   {9, up, 0, h},
        {11, up, 0, h},  {5, up, 0, h},   {7, up, 0, h},   {13, up, 0, s / 2.1647844},
        {14, up, 0, s / pi}, {4, up, 0, 12000}, {12, up, 0, 12000}, {6, up, 16000, 16000},
        {15, up, 0, h},  {15, {-1, 0, 0}, 0, -h},
        {1, right, h, 0},  {2, right, h, 0},  {3, right, h, 0},  {4, right, h, 0},
        {7, right, h, 0},  {8, right, h, 0},  {9, right, h, 0},  {11, right, h, 0},
        {12, right, h, 0}, {13, right, h, 0}, {14, right, h, 0}, {15, right, h, 0},
        {5, right, 12000, 0}, {6, right, 16000, 16000},
        {1, behind, 0, s},  {2, behind, 0, s / std::sqrt(2.0)}, {8, behind, 16000, 16000},
        {15, behind, s, 0},
        {0, right, h, 0},   {16, right, h, 0}, // unknown kinds draw as the first
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "projection " << int(c.prj) << " at " << c.d.x << ','
                                        << c.d.y << ',' << c.d.z);
        double X, Y;
        DISPXY(c.d.x, c.d.y, c.d.z, c.prj, X, Y, plainSetup());
        // The Mollweide search stops within its last step; the Hammer divisors have eight digits.
        const double tolerance = c.prj == 7 ? 2 : c.prj == 13 ? 1e-4 : 1e-9;
        EXPECT_NEAR(X, c.X, tolerance);
        EXPECT_NEAR(Y, c.Y, tolerance);
    }
    for (ProjectionKind prj = 1; prj <= 15; ++prj) {
        double X, Y;
        DISPXY(centre.x, centre.y, centre.z, prj, X, Y, plainSetup());
        EXPECT_NEAR(X, 0, prj == 7 ? 2 : 1e-9) << int(prj);
        EXPECT_NEAR(Y, 0, prj == 7 ? 2 : 1e-9) << int(prj);
        double x = 9, y = 9, z = 9;
        float ok = -1;
        INVDISP(x, y, z, prj, ok, 0, 0, plainSetup());
        EXPECT_EQ(ok, 1) << int(prj);
        EXPECT_NEAR(x, 0, 1e-12) << int(prj);
        EXPECT_NEAR(y, 0, 1e-12) << int(prj);
        EXPECT_NEAR(z, 1, 1e-12) << int(prj);
    }
}

TEST(Projection, ClampsKeepTheSign) {
    for (ProjectionKind prj : {ProjectionKind(3), ProjectionKind(6)})
        for (double lon = -179; lon < 180; lon += 2.3) {
            const Dir d = upright(lon, 1e-3);
            double X, Y;
            DISPXY(d.x, d.y, d.z, prj, X, Y, plainSetup());
            EXPECT_LE(std::abs(X), 16000);
            EXPECT_LE(std::abs(Y), 16000);
            if (prj == 3 && std::abs(X) == 16000) {
                EXPECT_EQ(X > 0, lon > 0);
            }
        }
    // Just inside the gnomonic horizon of a large chart the image is clamped with its sign.
    ProjectionSetup large = plainSetup();
    large.chartScale = 10000;
    double X, Y;
    DISPXY(0.6, -0.8, 0.06, 6, X, Y, large);
    EXPECT_EQ(X, -16000);
    EXPECT_EQ(Y, 16000);
    DISPXY(0.6, -0.8, 0.049, 6, X, Y, large);
    EXPECT_EQ(X, 16000);
    EXPECT_EQ(Y, 16000);
}

TEST(Projection, PoleCaseKeepsTheOtherCoordinate) {
    // Beyond the single-precision 1.57079 the ordinate is the pole value; the abscissa is ordinary.
    const double lat = 1.5707950;
    const Dir d{std::sin(lat), std::cos(lat) * std::sin(0.5), std::cos(lat) * std::cos(0.5)};
    double X, Y;
    DISPXY(d.x, d.y, d.z, 4, X, Y, plainSetup());
    EXPECT_EQ(Y, 12000);
    EXPECT_NEAR(X, 0.5 / pi * S, 1e-9);
    DISPXY(-d.x, d.y, d.z, 12, X, Y, plainSetup());
    EXPECT_EQ(Y, -12000);
    DISPXY(d.y, d.x, d.z, 5, X, Y, plainSetup());
    EXPECT_EQ(X, 12000);
    EXPECT_NEAR(Y, 0.5 / pi * S, 1e-9);
}

TEST(Projection, UserProjectionDomainAndAspect) {
    const ProjectionSetup bent = bentSetup();
    // The displayed radius angle lands on the horizon circle.
    double X, Y;
    DISPXY(0, 1, 0, 10, X, Y, bent);
    EXPECT_NEAR(X, S / 2, 1e-9);
    DISPXY(1, 0, 0, 10, X, Y, bent);
    EXPECT_NEAR(Y, S, 1e-9); // twice as far upward

    const double edge = bent.domainDegrees / degreesPerRadian;
    for (double c : {edge, edge + 1e-6, 2.5, pi}) {
        DISPXY(std::sin(c), 0, std::cos(c), 10, X, Y, bent);
        EXPECT_EQ(X, 16000) << c;
        EXPECT_EQ(Y, 16000) << c;
    }
    DISPXY(std::sin(edge - 1e-6), 0, std::cos(edge - 1e-6), 10, X, Y, bent);
    EXPECT_NEAR(Y, bent.edgeValue * S * 2, 1e-3);

    // (0, 2r) and (r, 0) invert to the same distance from the centre, up and right.
    const double r = 0.3 * S;
    Dir a{}, b{};
    float okA, okB;
    INVDISP(a.x, a.y, a.z, 10, okA, 0, 2 * r, bent);
    INVDISP(b.x, b.y, b.z, 10, okB, r, 0, bent);
    ASSERT_EQ(okA, 1);
    ASSERT_EQ(okB, 1);
    EXPECT_NEAR(a.z, b.z, 1e-4);
    EXPECT_NEAR(a.y, 0, 1e-12);
    EXPECT_NEAR(b.x, 0, 1e-12);
    EXPECT_GT(a.x, 0);
    EXPECT_GT(b.y, 0);

    // The rim of the domain itself is outside.
    Dir c{5, 5, 5};
    float ok;
    INVDISP(c.x, c.y, c.z, 10, ok, bent.edgeValue * S, 0, bent);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(c.x, 5);
}

TEST(Projection, UserProjectionFirstRunIsTheEquidistantOne) {
    const ProjectionSetup setup = plainSetup();
    EXPECT_DOUBLE_EQ(userProjectionNormalisation(setup), setup.coefficients[0]);
    EXPECT_DOUBLE_EQ(userProjectionEdgeValue(setup), setup.edgeValue);
    for (double lon = -170; lon < 180; lon += 23)
        for (double lat = -80; lat < 90; lat += 17) {
            const Dir d = upright(lon, lat);
            double X1, Y1, X10, Y10;
            DISPXY(d.x, d.y, d.z, 1, X1, Y1, setup);
            DISPXY(d.x, d.y, d.z, 10, X10, Y10, setup);
            EXPECT_NEAR(X10, X1, 1e-9);
            EXPECT_NEAR(Y10, Y1, 1e-9);
        }
}

TEST(Projection, DegenerateUserProjectionStaysFinite) {
    ProjectionSetup setup = plainSetup();
    setup.radiusDegrees = 0; // no radius to normalise to
    EXPECT_EQ(userProjectionNormalisation(setup), 0);
    setup.coefficients[0] = 0;
    setup.edgeValue = userProjectionEdgeValue(setup);
    double X, Y;
    DISPXY(0, 1, 0, 10, X, Y, setup);
    EXPECT_EQ(X, 0);
    EXPECT_EQ(Y, 0);
    Dir d{5, 5, 5};
    float ok;
    INVDISP(d.x, d.y, d.z, 10, ok, 1, 1, setup);
    EXPECT_EQ(ok, 0);

    // A flattened chart keeps only its horizontal axis.
    setup = plainSetup();
    setup.aspectYX = 0;
    INVDISP(d.x, d.y, d.z, 10, ok, 10, 0, setup);
    EXPECT_EQ(ok, 1);
    INVDISP(d.x, d.y, d.z, 10, ok, 10, 1, setup);
    EXPECT_EQ(ok, 0);

    // termCount outside 1..9 reads no element outside the coefficients.
    setup = plainSetup();
    setup.termCount = 40;
    EXPECT_DOUBLE_EQ(userPolynomial(setup, 0.5), 0.5);
}

TEST(Projection, InverseEdgesOfTheDomains) {
    struct Case {
        ProjectionKind prj;
        double X, Y;
        float ok;
        Dir d; // expected when ok
    };
    const double s = S;
    const Case cases[] = {
        {1, s + 1, 0, 0, {}},
        {1, 0, s, 1, {0, 0, -1}},           // the antipode, on the rim
        {2, s / std::sqrt(2.0), 0, 0, {}},  // the rim of the equal-area disc is outside
        {8, 0, s / 2, 1, {1, 0, 0}},        // the limb is inside, with z = 0
        {4, s, 0, 1, {0, std::sin(pi), std::cos(pi)}},
        {4, s + 1, 0, 0, {}},
        {5, 0, s + 1, 0, {}},
        // Points where the formulas would divide by zero return the limiting directions.
        {7, 0, s / 2, 1, {1, 0, 0}},
        {7, 0, -s / 2, 1, {-1, 0, 0}},
        {9, 0, s / 2, 1, {1, 0, 0}},
        {9, 0, 1.6 * s, 0, {}},             // beyond the pole, where the cosine is positive again
        {13, 0, s / 2.1647844, 1, {1, 0, 0}},
        {13, s / 1.0823922, 0, 1, {0, std::sin(pi), std::cos(pi)}},
        {14, 0, s / pi, 1, {1, 0, 0}},
        {14, 0, -s / pi, 1, {-1, 0, 0}},
        {15, 0, s / 2, 1, {1, 0, 0}},
        {15, 0, -s / 2, 1, {-1, 0, 0}},
        {15, s, 0, 1, {0, 0, -1}},
        {11, 0, s / 2 + 1, 0, {}},
        {12, 0, 2.31 * s / pi, 0, {}},
        {0, s + 1, 0, 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "projection " << int(c.prj) << " at " << c.X << ',' << c.Y);
        Dir d{5, 5, 5};
        float ok = -1;
        INVDISP(d.x, d.y, d.z, c.prj, ok, c.X, c.Y, plainSetup());
        EXPECT_EQ(ok, c.ok);
        if (c.ok == 1) {
            EXPECT_NEAR(d.x, c.d.x, 1e-7);
            EXPECT_NEAR(d.y, c.d.y, 1e-7);
            EXPECT_NEAR(d.z, c.d.z, 1e-7);
        } else {
            EXPECT_EQ(d.x, 5);
        }
    }
    // Nothing can be read back from a chart without a scale.
    ProjectionSetup empty;
    Dir d{5, 5, 5};
    float ok = -1;
    INVDISP(d.x, d.y, d.z, 3, ok, 0, 0, empty);
    EXPECT_EQ(ok, 0);
}

// The rims of 1, 4, 5, 11, 12, 14 and 15 lie on whole offsets; they are inside at every scale, however
// the angles round.
TEST(Projection, RimsOnWholeOffsetsAreInsideAtEveryScale) {
    struct Case {
        ProjectionKind prj;
        double X, Y; // in units of the scale
        Dir d;
    };
    const Case cases[] = {
        {1, 0, 1, {0, 0, -1}},   {1, -1, 0, {0, 0, -1}},  {4, 1, 0, {0, 0, -1}},
        {4, -1, 0, {0, 0, -1}},  {5, 0, 1, {0, 0, -1}},   {11, 1, 0, {0, 0, -1}},
        {11, 0, 0.5, {1, 0, 0}}, {11, 0, -0.5, {-1, 0, 0}}, {15, 1, 0, {0, 0, -1}},
        {15, -1, 0, {0, 0, -1}}, {12, 1, 0, {0, 0, -1}},  {14, -1, 0, {0, 0, -1}},
    };
    for (float scale : {320.0f, 240.0f, 101.0f, 1000.0f, 4000.0f, 1234.5f}) {
        ProjectionSetup setup = plainSetup();
        setup.chartScale = scale;
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "projection " << int(c.prj) << " at " << c.X << ','
                                            << c.Y << " scale " << scale);
            Dir d{5, 5, 5};
            float ok = -1;
            INVDISP(d.x, d.y, d.z, c.prj, ok, c.X * scale, c.Y * scale, setup);
            ASSERT_EQ(ok, 1);
            EXPECT_NEAR(d.x, c.d.x, 1e-7);
            EXPECT_NEAR(d.y, c.d.y, 1e-7);
            EXPECT_NEAR(d.z, c.d.z, 1e-7);
        }
    }
}

// How many of 3000 random directions beyond `reach`, at lengths 0.5 to 1.5, image within the
// rectangle; most lie just beyond the reach, where a bound that is too small shows first.
int imagesBeyondTheReach(ProjectionKind prj, const ProjectionSetup& setup, double halfWidth, double halfHeight,
                         double reach, std::mt19937& random) {
    std::uniform_real_distribution<double> unit(0, 1);
    int inside = 0;
    for (int k = 0; k < 3000; ++k) {
        const double angle = reach + (pi - reach) * std::pow(unit(random), 4);
        const double turn = 2 * pi * unit(random), length = 0.5 + unit(random);
        const Dir d{length * std::sin(angle) * std::cos(turn), length * std::sin(angle) * std::sin(turn),
                    length * std::cos(angle)};
        double X, Y;
        DISPXY(d.x, d.y, d.z, prj, X, Y, setup);
        inside += std::fabs(X) <= halfWidth && std::fabs(Y) <= halfHeight;
    }
    return inside;
}

// Directions beyond the reach never image inside the rectangle, at any length; the reach is a
// useful bound, not far above the angle of the rectangle's corner, wherever one is given.
TEST(Projection, NothingBeyondTheReachImagesInsideTheRectangle) {
    struct Rectangle {
        double halfWidth, halfHeight;
    };
    const Rectangle rectangles[] = {{192, 192}, {192, 288}, {600, 340}, {6000, 6000}};
    std::mt19937 random(24);
    for (int prj = 1; prj <= 15; ++prj)
        for (float scale : {320.0f, 3200.0f, 32000.0f, 320000.0f, 1e7f})
            for (const Rectangle& r : rectangles) {
                SCOPED_TRACE(testing::Message() << "projection " << prj << " scale " << scale << " rectangle "
                                                << r.halfWidth << " x " << r.halfHeight);
                ProjectionSetup setup = plainSetup();
                setup.chartScale = scale;
                const double reach = projectionReach(ProjectionKind(prj), setup, r.halfWidth, r.halfHeight);
                const double corner = pi * std::hypot(r.halfWidth, r.halfHeight) / scale;
                if (corner < 0.1) {
                    EXPECT_LT(reach, 4 * corner);
                }
                if (reach < pi) {
                    EXPECT_EQ(imagesBeyondTheReach(ProjectionKind(prj), setup, r.halfWidth, r.halfHeight, reach, random), 0);
                }
            }
}

// The user projection's reach with polynomials that turn back, a domain cut short or left
// beyond the turn (as a settings file may hold it), the height stretched or squeezed to nothing,
// and a normalisation of either sign. Directions at `shown` from the centre image inside the
// rectangle, so the reach takes them in; `near`, when given, is an angle the reach keeps under.
TEST(Projection, TheUserProjectionsReachFollowsItsPolynomial) {
    struct Case {
        const char* name;
        double a0, a2, a3;
        double domainDegrees, aspect;
        double shown, near;
    };
    const double turnBack = 1 / (2 * (pi / 2 - 0.5 * pi * pi / 4));   // a0 of c - c^2 / 2, radius 90 degrees
    const Case cases[] = {
        {"plain", 1 / pi, 0, 0, 180, 1, 0, 0.0005},
        {"stretched upward", 1 / pi, 0, 0, 180, 4, 0, 0.0005},
        {"squeezed", 1 / pi, 0, 0, 180, 0.25, 0, 0.002},
        {"bent, cut at the turn", 0.3, 0, -0.1, 104.56, 2, 0, 0.002},
        {"back to the centre at 2 rad", turnBack, -0.5, 0, 180, 1, 2, pi},
        {"cut before the way back", turnBack, -0.5, 0, 57.29, 1, 0, 0.0005},
        {"mirrored", -1 / pi, 0, 0, 180, 1, 0, 0.0005},
        {"no height", 1 / pi, 0, 0, 170, 0, 170 / degreesPerRadian - 1E-6, pi},
    };
    std::mt19937 random(7);
    for (const Case& c : cases)
        for (float scale : {3200.0f, 1e7f, 1e11f}) {
            SCOPED_TRACE(testing::Message() << c.name << ", scale " << scale);
            ProjectionSetup setup = plainSetup();
            setup.chartScale = scale;
            setup.coefficients[0] = c.a0;
            setup.coefficients[2] = c.a2;
            setup.coefficients[3] = c.a3;
            setup.domainDegrees = c.domainDegrees;
            setup.aspectYX = c.aspect;
            const double reach = projectionReach(10, setup, 192, 192);
            EXPECT_GE(reach, c.shown);
            if (scale > 1e6f) {
                EXPECT_LT(reach, c.near);
            }
            EXPECT_EQ(imagesBeyondTheReach(10, setup, 192, 192, reach, random), 0);
            // The directions at `shown` do image inside: the case shows what it says.
            double X, Y;
            DISPXY(std::sin(c.shown), 0, std::cos(c.shown), 10, X, Y, setup);
            EXPECT_LE(std::hypot(X, Y), 192);
        }
}

// The same for a rectangle off the chart centre, as the box lies when the horizon is put at its
// bottom: nothing farther from the cap's centre than its angle images inside, and where the
// rectangle is small beside the sphere the cap is small too, not the centre's reach over the
// whole offset.
TEST(Projection, NothingBeyondTheCapImagesInsideAnOffCentreRectangle) {
    struct Rectangle {
        double halfWidth, halfHeight, centreY;
    };
    // Beyond 12000 the rectangle may hold the marks of what cannot be shown, or lie off the image.
    const Rectangle rectangles[] = {{192, 96, 150},   {192, 96, -150},   {600, 150, 2500},    {600, 300, -7000},
                                    {60, 60, 11000},  {192, 192, 500},   {600, 300, 12100},   {600, 300, 61000},
                                    {192, 96, -250000}};
    std::mt19937 random(37);
    std::uniform_real_distribution<double> unit(0, 1);
    for (int prj = 1; prj <= 15; ++prj)
        for (float scale : {320.0f, 3200.0f, 32000.0f, 320000.0f, 1e7f})
            for (const Rectangle& r : rectangles) {
                SCOPED_TRACE(testing::Message() << "projection " << prj << " scale " << scale << " rectangle "
                                                << r.halfWidth << " x " << r.halfHeight << " at " << r.centreY);
                ProjectionSetup setup = plainSetup();
                setup.chartScale = scale;
                const DirectionCap cap =
                    rectangleCap(ProjectionKind(prj), setup, r.halfWidth, r.halfHeight, r.centreY);
                const Dir c{cap.centre[0], cap.centre[1], cap.centre[2]};
                ASSERT_NEAR(angleBetween(c, c), 0, 1e-12);
                const double corner = pi * std::hypot(r.halfWidth, r.halfHeight) / scale;
                if (prj != 10 && scale >= 320000.0f && std::fabs(r.centreY) < 11500) {
                    EXPECT_LT(cap.angle, 4 * corner);
                }
                if (cap.angle >= pi)
                    continue;
                // Two unit vectors square to the centre and to each other.
                const Dir a = std::fabs(c.x) < 0.9 ? Dir{0, -c.z, c.y} : Dir{c.z, 0, -c.x};
                const double la = std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
                const Dir e1{a.x / la, a.y / la, a.z / la};
                const Dir e2{c.y * e1.z - c.z * e1.y, c.z * e1.x - c.x * e1.z, c.x * e1.y - c.y * e1.x};
                int inside = 0;
                for (int k = 0; k < 3000; ++k) {
                    const double angle = cap.angle * (1 + 1E-7) + (pi - cap.angle) * std::pow(unit(random), 6);
                    const double turn = 2 * pi * unit(random), length = 0.5 + unit(random);
                    const double along = std::cos(angle), out1 = std::sin(angle) * std::cos(turn),
                                 out2 = std::sin(angle) * std::sin(turn);
                    const Dir d{length * (along * c.x + out1 * e1.x + out2 * e2.x),
                                length * (along * c.y + out1 * e1.y + out2 * e2.y),
                                length * (along * c.z + out1 * e1.z + out2 * e2.z)};
                    double X, Y;
                    DISPXY(d.x, d.y, d.z, ProjectionKind(prj), X, Y, setup);
                    inside += std::fabs(X) <= r.halfWidth && std::fabs(Y - r.centreY) <= r.halfHeight;
                }
                // The axes and a little off them, where the poles' and the rims' marks come from.
                for (int axis = 0; axis < 6; ++axis)
                    for (const double off : {0.0, 1e-6, -3e-5}) {
                        double e[3] = {off, 2 * off, -off};
                        e[axis % 3] = axis < 3 ? 1 : -1;
                        const Dir d{e[0], e[1], e[2]};
                        if (!(angleBetween(c, d) > cap.angle))
                            continue;
                        double X, Y;
                        DISPXY(d.x, d.y, d.z, ProjectionKind(prj), X, Y, setup);
                        inside += std::fabs(X) <= r.halfWidth && std::fabs(Y - r.centreY) <= r.halfHeight;
                    }
                EXPECT_EQ(inside, 0);
                // And every place of the rectangle comes from within the cap.
                for (int k = 0; k < 300; ++k) {
                    const double X = r.halfWidth * (2 * unit(random) - 1), Y = r.centreY + r.halfHeight * (2 * unit(random) - 1);
                    Dir d{0, 0, 1};
                    float ok = 0;
                    INVDISP(d.x, d.y, d.z, ProjectionKind(prj), ok, X, Y, setup);
                    if (ok == 1) {
                        EXPECT_LE(angleBetween(c, d), cap.angle) << X << ", " << Y;
                    }
                }
            }
}

// Mollweide's places as its auxiliary angle's plain decimal digit search gives them, every digit
// tried in turn: what a chart has always drawn, to the bit.
void digitSearchMollweide(double x, double y, double z, double S, double& X, double& Y) {
    double lon, lat, r;
    ZENITH(z, y, x, lon, lat, r);
    const double target = pi * std::sin(lat);
    const double levels = std::ceil(std::log(2 * S) / double(2.3026f));
    const int n = levels >= 1 ? int(std::min(levels, 17.0)) : 1;
    double t = 0;
    for (int k = 1; k <= n; ++k) {
        const double s = std::pow(10.0, -k);
        for (int j = 0; j <= 10; ++j) {
            const double d = j * s;
            const double u = (t + d + s - 0.5) * pi;
            if (target < 2 * u + std::sin(2 * u)) {
                t += d;
                break;
            }
        }
    }
    const double theta = (t - 0.5) * pi;
    X = std::cos(theta) * lon / pi * S;
    Y = std::sin(theta) / 2 * S;
}

// Mollweide's places are the digit search's to the bit, however the angle is found: over a dense
// table of latitudes, the poles and the equator closely approached, at every scale a chart has.
TEST(Projection, MollweidePlacesAreTheDigitSearchsToTheBit) {
    std::vector<double> latitudes;
    for (int i = -20000; i <= 20000; ++i)
        latitudes.push_back(i * (pi / 2) / 20000);
    for (double e = 0.1; e > 1e-17; e /= 3)
        for (const double lat : {pi / 2 - e, -pi / 2 + e, e, -e})
            latitudes.push_back(lat);
    std::mt19937 random(72);
    std::uniform_real_distribution<double> any(-pi / 2, pi / 2);
    for (int i = 0; i < 20000; ++i)
        latitudes.push_back(any(random));
    for (const float scale : {0.04f, 1.0f, 96.0f, 320.0f, 1000.0f, 5000.0f, 36000.0f, 1e6f, 3.6e6f, 1e8f, 2.3e11f,
                              1e14f, 1e17f}) {
        SCOPED_TRACE(testing::Message() << "scale " << scale);
        ProjectionSetup setup = plainSetup();
        setup.chartScale = scale;
        int differ = 0;
        for (const double lat : latitudes) {
            const double x = std::sin(lat), y = 0.3 * std::cos(lat), z = -0.9 * std::cos(lat);
            double X, Y, expectedX, expectedY;
            DISPXY(x, y, z, 7, X, Y, setup);
            digitSearchMollweide(x, y, z, scale, expectedX, expectedY);
            if (X != expectedX || Y != expectedY) {
                if (++differ <= 3)
                    ADD_FAILURE() << "latitude " << lat << ": " << X << ", " << Y << " for " << expectedX << ", "
                                  << expectedY;
            }
        }
        EXPECT_EQ(differ, 0);
    }
}

TEST(ProjectionDomain, ScanOfTheSlope) {
    struct Case {
        CoefficientTexts texts;
        float degrees;
    };
    const Case cases[] = {
        {{"", "", "", "", "", "", "", ""}, 180},
        {{"0", "-0.1", "", "", "", "", "", ""}, 104.56f},       // turns at 1.8257 rad, found as 1.825
        {{"-7", "", "", "", "", "", "", ""}, 4.07f},            // slope already negative at 0.1 rad
        {{"  0", " -.1x", "junk", "", "", "", "", ""}, 104.56f}, // texts read as field numbers
        {{"", "", "", "", "", "", "", "1"}, 180},               // c^9 only steepens it
        {{"", "", "", "", "", "", "", "-1E300"}, 0},           // falls at once: the domain is empty
    };
    for (const Case& c : cases) {
        float lim = -1;
        PLJDOM(c.texts, lim);
        EXPECT_FLOAT_EQ(lim, c.degrees) << c.texts[0] << '|' << c.texts[1] << '|' << c.texts[7];
    }
}

TEST(ProjectionDomain, GridIntervalOfTheScale) {
    struct Case {
        float scale, minutes;
    };
    const Case cases[] = {
        {0, 5400},      {143.9f, 5400}, {144, 2700},   {320, 1800},   {719.9f, 900},
        {720, 600},     {1440, 300},    {12959, 60},   {12960, 30},   {43200, 10},
        {107999, 5},    {108000, 4},    {1e9f, 4},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SCALEDIV(c.scale), c.minutes) << c.scale;
}
