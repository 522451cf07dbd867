// The Sun and the Moon at their true size: a disc shows in every box it reaches, wherever its
// centre lies and however large it is; one whose centre lies within the drawing limits is drawn
// as it always was.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "render/bodymarks.h"
#include "render/geometry.h"
#include "render/moon_shadow.h"
#include "render/tests/sky_chart.h"

namespace nivora {
namespace {

using testing_support::number;
using testing_support::Place;
using testing_support::SkyChart;

// 23:00 at zone +1: the Moon a day before full, 5 degrees up in the south-east, 0.262 degrees in
// semi-diameter; the Sun 12 degrees down, and drawn there, as the chart shows what lies below
// the horizon.
const Place london{"London", -0.1278, 51.5074, 0, 2024, 6, 21, 22.0};

// What a chart of the tables shows: the Sun's or the Moon's disc, or its outline, in a projection
// at a magnification, in a single box or in Dual-Box.
struct DiscSetting {
    int body;
    bool filled;
    int projection;
    double magnification;
    int dualBox = 0;
};

// A chart of London, size 320, with nothing on it but one body's true-size disc or outline.
struct DiscChart : SkyChart {
    explicit DiscChart(const DiscSetting& d)
        : SkyChart(london, d.magnification), body(d.body), filled(d.filled), colour(body == sunBody ? 13 : 14)
    {
        const std::uint8_t mode = filled ? 2 : 4;
        chartOptions.sunDisplayMode = body == sunBody ? mode : 0;
        chartOptions.moonDisplayMode = body == moonBody ? mode : 0;
        chartOptions.projectionKind = ProjectionKind(d.projection);
        for (auto& m : planetSettings.planetDisplayMode)
            m = 0;
        chartView.dualBox = std::uint8_t(d.dualBox);
        makeBitmap();
    }

    // Draws the chart centred `degrees` above the body on its vertical, or that far below the
    // point opposite it (the body then lies in the second box of a Dual-Box chart).
    bool drawAbove(double degrees, bool opposite = false)
    {
        if (!draw())
            return false;
        const DirectionVector w = apparentBody(*this, body).apparent;
        double lon, lat, r;
        ZENITH(w[0], w[1], w[2], lon, lat, r);
        lon *= degreesPerRadian;
        lat *= degreesPerRadian;
        set("EDIT12", number(opposite ? lon + 180 : lon));
        set("EDIT13", number(opposite ? -lat - degrees : lat + degrees));
        return draw();
    }

    double semiDiameterOfBody() const
    {
        return semiDiameter(body == sunBody ? sunRadius : moonRadius, drawn.bodies.bodyPositions[body][3]);
    }
    BoxCentres boxes() const { return boxCentres(chartView, chartLayout, drawn.geometry.directionOffset); }

    int body;
    bool filled;
    int colour;
};

// Pixels from the chart centre to the image of a chart direction, for the two projections the
// tables use: the azimuthal equidistant (S / pi a radian) and the stereographic, whose images
// pass the bound of 16000 the projection holds them at.
double imageDistance(int projection, double S, const DirectionVector& c)
{
    const double angle = std::atan2(std::hypot(c[0], c[1]), c[2]);
    return projection == 3 ? std::tan(angle / 2) / 2 * S : angle / pi * S;
}

// A disc as it must be drawn: centre in bitmap pixels and radius.
struct Disc {
    double x = 0, y = 0, r = 0;
};

// The disc of chart direction c in box `box`, at the radius the projection's local scale gives.
Disc expectedDisc(const DiscChart& chart, const DirectionVector& c, int box)
{
    const DirectionVector v = box == 1 ? DirectionVector{c[0], -c[1], -c[2]} : c;
    const double rho = imageDistance(chart.chartOptions.projectionKind, chart.userProjection.chartScale, v);
    const double q = std::hypot(v[0], v[1]);
    const double X = q > 0 ? rho * v[1] / q : 0, Y = q > 0 ? rho * v[0] / q : 0;
    const BoxCentres b = chart.boxes();
    const double r = trueSizeRadius(chart, c, chart.semiDiameterOfBody());
    return {b.x1 + box * b.secondBoxOffset + X, b.y - Y, r};
}

enum class Seen { whole, none, limb };

// Every pixel of the area against the disc: the colour well inside a filled one, none well
// outside it or well inside an outline; within 2 pixels of the limb the rounding decides. What
// the area shows: all of it the colour, none of it, or the limb.
Seen checkArea(const DiscChart& chart, const PixelArea& area, const Disc& d)
{
    long long count = 0, wrong = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            const bool coloured = chart.chartBitmap.pixel(x, y) == chart.colour;
            count += coloured;
            const double fromLimb = std::hypot(x - d.x, y - d.y) - d.r;
            const bool must = chart.filled && fromLimb < -2;
            const bool mustNot = fromLimb > 2 || (!chart.filled && fromLimb < -2);
            if ((must && !coloured) || (mustNot && coloured)) {
                if (++wrong <= 3)
                    ADD_FAILURE() << "pixel " << x << ',' << y << " is " << chart.chartBitmap.pixel(x, y)
                                  << ", " << fromLimb << " pixels from the limb";
            }
        }
    const long long all = (long long)(area.right - area.left) * (area.bottom - area.top);
    return count == 0 ? Seen::none : count == all ? Seen::whole : Seen::limb;
}

const char* seenName(Seen s) { return s == Seen::whole ? "whole" : s == Seen::none ? "none" : "limb"; }

// Charts as the user draws them, centred some way above the body: the disc is drawn whenever it
// reaches the box, in that box's area alone; an outline seen from inside leaves the box empty. A
// limb placed a few pixels below the box's area or within it is drawn exactly there, at any
// magnification.
TEST(TrueSizeDiscs, ShowWheneverTheyReachTheBox)
{
    constexpr double noLimb = 1e9;
    struct Case {
        const char* what;
        DiscSetting chart;
        double degreesAbove;   // the chart centre above the body (or below the point opposite it)
        double limbBelow;      // or: the disc's top limb this many pixels below the box's area
        bool opposite;
        Seen seen;
    };
    const Case cases[] = {
        {"Moon 0.15 off at 1000", {moonBody, true, 1, 1000}, 0.15, noLimb, false, Seen::limb},
        {"Moon 0.1 off at 1000", {moonBody, true, 1, 1000}, 0.1, noLimb, false, Seen::whole},
        {"Moon outline 0.1 off at 1000", {moonBody, false, 1, 1000}, 0.1, noLimb, false, Seen::none},
        {"Moon centred at 250000", {moonBody, true, 1, 250000}, 0, noLimb, false, Seen::whole},
        {"Moon outline centred at 250000", {moonBody, false, 1, 250000}, 0, noLimb, false, Seen::none},
        {"Moon 0.15 off at 1e6", {moonBody, true, 1, 1e6}, 0.15, noLimb, false, Seen::whole},
        {"Moon outline 0.15 off at 1e6", {moonBody, false, 1, 1e6}, 0.15, noLimb, false, Seen::none},
        {"Moon just below the box at 1000", {moonBody, true, 1, 1000}, 0, 4, false, Seen::none},
        {"Moon just inside the box at 1000", {moonBody, true, 1, 1000}, 0, -5, false, Seen::limb},
        {"Moon just below the box at 1e6", {moonBody, true, 1, 1e6}, 0, 4, false, Seen::none},
        {"Moon just inside the box at 1e6", {moonBody, true, 1, 1e6}, 0, -5, false, Seen::limb},
        {"Moon outline just inside the box at 1e6", {moonBody, false, 1, 1e6}, 0, -5, false, Seen::limb},
        {"Moon outline across the box at 1e6", {moonBody, false, 1, 1e6}, 0, -150, false, Seen::limb},
        {"Sun 0.1 off at 1000", {sunBody, true, 1, 1000}, 0.1, noLimb, false, Seen::whole},
        {"Sun outline 0.15 off at 1000", {sunBody, false, 1, 1000}, 0.15, noLimb, false, Seen::limb},
        {"Sun centred at 1e6", {sunBody, true, 1, 1e6}, 0, noLimb, false, Seen::whole},
        {"Sun outline centred at 1e6", {sunBody, false, 1, 1e6}, 0, noLimb, false, Seen::none},
        {"Sun just inside the box at 1e6", {sunBody, true, 1, 1e6}, 0, -5, false, Seen::limb},
        {"Sun outline just below the box at 1e6", {sunBody, false, 1, 1e6}, 0, 4, false, Seen::none},
        // The stereographic projection holds its images at 16000 pixels.
        {"Moon stereographic 0.15 off at 1e6", {moonBody, true, 3, 1e6}, 0.15, noLimb, false, Seen::whole},
        {"Moon stereographic just inside at 1e6", {moonBody, true, 3, 1e6}, 0, -5, false, Seen::limb},
        {"Moon stereographic just below at 1e6", {moonBody, true, 3, 1e6}, 0, 4, false, Seen::none},
        {"Dual-Box, Moon 0.1 off at 1000", {moonBody, true, 1, 1000, 1}, 0.1, noLimb, false, Seen::whole},
        {"Dual-Box, Moon opposite at 250000", {moonBody, true, 1, 250000, 1}, 0, noLimb, true, Seen::whole},
        {"Dual-Box, Moon opposite just inside at 1e6", {moonBody, true, 1, 1e6, 1}, 0, -5, true, Seen::limb},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DiscChart chart(c.chart);
        const int box = c.opposite ? 1 : 0;
        double degrees = c.degreesAbove;
        if (c.limbBelow != noLimb) {
            // The limb's distance below the chart centre grows by the local scale per degree.
            ASSERT_TRUE(chart.drawAbove(0, c.opposite));
            const Disc centred = expectedDisc(chart, apparentBody(chart, c.chart.body).chart, box);
            const PixelArea area = boxArea(chart.boxes(), box);
            const double pixelsPerRadian = centred.r / chart.semiDiameterOfBody();
            const double pixelsBelow = area.bottom - centred.y + c.limbBelow + centred.r;
            degrees = pixelsBelow / pixelsPerRadian * degreesPerRadian;
        }
        ASSERT_TRUE(chart.drawAbove(degrees, c.opposite));
        const DirectionVector v = apparentBody(chart, c.chart.body).chart;
        const Disc d = expectedDisc(chart, v, box);
        const PixelArea area = boxArea(chart.boxes(), box);
        if (c.limbBelow != noLimb) {   // within the step of a centre typed in single precision
            ASSERT_NEAR(d.y - d.r - area.bottom, c.limbBelow, 2);
        }
        EXPECT_STREQ(seenName(checkArea(chart, area, d)), seenName(c.seen));
        if (c.chart.dualBox == 1) {   // the other box keeps none of it
            const PixelArea other = boxArea(chart.boxes(), 1 - box);
            const Seen seen = checkArea(chart, other, expectedDisc(chart, v, 1 - box));
            EXPECT_STREQ(seenName(seen), seenName(Seen::none));
        }
    }
}

// A disc too large for the chart centre to be placed near its limb (the centre is typed in
// single precision): the Moon put by hand in the body table at the angle that sets its limb
// where it must be. Radii up to a billion pixels keep the limb to its pixel.
TEST(TrueSizeDiscs, AFarLimbKeepsToItsPixel)
{
    struct Case {
        int projection;
        double magnification;
        bool filled;
        double limbBelow;   // pixels below the box's area
        Seen seen;
    };
    const Case cases[] = {
        {1, 1e8, true, -4, Seen::limb},   {1, 1e8, true, 3, Seen::none},    {1, 2e9, true, -4, Seen::limb},
        {1, 2e9, true, 3, Seen::none},    {1, 2e9, true, -200, Seen::limb}, {1, 2e9, false, -4, Seen::limb},
        {1, 2e9, false, 3, Seen::none},   {1, 2e9, false, -500, Seen::none}, {3, 2e9, true, -4, Seen::limb},
        {3, 2e9, true, 3, Seen::none},    {3, 2e9, false, -200, Seen::limb},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "projection " << c.projection << ", magnification "
                                        << c.magnification << (c.filled ? ", disc" : ", outline") << ", limb "
                                        << c.limbBelow);
        DiscChart chart({moonBody, c.filled, c.projection, c.magnification});
        chart.chartOptions.diurnalAberrationOn = 0;   // the Moon's direction as set
        ASSERT_TRUE(chart.draw());
        const PixelArea area = boxArea(chart.boxes(), 0);
        const double s = chart.semiDiameterOfBody();
        // Straight below the chart centre, at the angle that puts the limb in place.
        const auto below = [](double angle) { return DirectionVector{-std::sin(angle), 0, std::cos(angle)}; };
        double angle = s;
        Disc d;
        for (int i = 0; i < 6; ++i) {
            d = expectedDisc(chart, below(angle), 0);
            angle += (area.bottom + c.limbBelow - (d.y - d.r)) / (d.r / s);
        }
        d = expectedDisc(chart, below(angle), 0);
        ASSERT_NEAR(d.y - d.r - area.bottom, c.limbBelow, 0.01);
        const SkyFrames& sky = chart.drawn.sky;
        const DirectionVector u =
            rotateInverse(sky.trueEclipticToBase, rotateInverse(sky.baseToChart, below(angle)));
        std::copy(u.begin(), u.end(), chart.drawn.bodies.bodyPositions[moonBody].begin());
        chart.chartBitmap.clear(0);
        drawMoon(chart);
        EXPECT_STREQ(seenName(checkArea(chart, area, d)), seenName(c.seen));
    }
}

// At a large chart scale the neighbours of a point a tenth of a degree away pass the bound the
// stereographic, gnomonic and orthographic projections hold their images at; the scale is still
// theirs, S / 4, S / (2 sqrt 3) and S / 2 a radian at the centre.
TEST(TrueSizeDiscs, LocalScaleHoldsPastTheProjectionsBound)
{
    const std::pair<int, double> projections[] = {{3, 1 / 4.0}, {6, 1 / (2 * std::sqrt(3.0))}, {8, 1 / 2.0}};
    for (const auto& [projection, perRadian] : projections)
        for (double magnification : {1.0, 1e6, 1e9}) {
            SCOPED_TRACE(testing::Message() << "projection " << projection << ", magnification "
                                            << magnification);
            DiscChart chart({moonBody, true, projection, magnification});
            ASSERT_TRUE(chart.draw());
            const double perDegree = chart.userProjection.chartScale * perRadian / degreesPerRadian;
            EXPECT_NEAR(localScale(chart, {0, 0, 1}), perDegree, perDegree * 1e-3);
            EXPECT_NEAR(localScale(chart, {1e-6, 2e-6, 1}), perDegree, perDegree * 1e-3);
        }
}

// FNV-1a over the bitmap's pixels, row by row.
std::uint64_t pictureChecksum(const ChartBitmap& b)
{
    std::uint64_t h = 14695981039346656037ull;
    const QImage& image = b.image();
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = image.constScanLine(y);
        for (qsizetype i = 0; i < qsizetype(image.width()) * 4; ++i)
            h = (h ^ row[i]) * 1099511628211ull;
    }
    return h;
}

// Discs whose centre lies within the drawing limits are drawn as they were before a disc was
// drawn wherever it reaches the picture: the checksums of these pictures were taken then.
TEST(TrueSizeDiscs, ACentreWithinTheLimitsDrawsAsBefore)
{
    struct Case {
        const char* what;
        DiscSetting chart;
        int halfHeight;
        int white;
        double degreesAbove;
        bool opposite;
        std::uint64_t checksum;
    };
    const Case cases[] = {
        {"Moon centred at 1", {moonBody, true, 1, 1}, 0, 0, 0, false, 0x7a4d9e11aad2b3dbull},
        {"Moon outline 20 off at 1", {moonBody, false, 1, 1}, 0, 0, 20, false, 0x0630df10e81bd019ull},
        {"Moon 0.5 off at 40", {moonBody, true, 1, 40}, 0, 0, 0.5, false, 0x849ee297c48062e1ull},
        {"Moon outline 0.5 off at 40", {moonBody, false, 1, 40}, 0, 0, 0.5, false, 0xd8b6c37cf6827221ull},
        {"Moon 0.05 off at 1000", {moonBody, true, 1, 1000}, 0, 0, 0.05, false, 0x4c35effdbefe8bebull},
        {"Moon ring 0.08 off at 1000", {moonBody, false, 1, 1000}, 0, 0, 0.08, false, 0xa0cd929957164151ull},
        {"Moon centred at 20000", {moonBody, true, 1, 20000}, 0, 0, 0, false, 0x82351e2934e2066bull},
        {"Moon ring 0.002 off", {moonBody, false, 1, 20000}, 0, 0, 0.002, false, 0xfe8f852ada5d2b39ull},
        {"Moon equal-area", {moonBody, true, 2, 40}, 0, 0, 0.5, false, 0xe29cc2d530f963d1ull},
        {"Moon stereographic", {moonBody, true, 3, 40}, 0, 0, 0.5, false, 0xb10f5e9a0de69551ull},
        {"Moon gnomonic", {moonBody, true, 6, 40}, 0, 0, 0.5, false, 0x57107f6efe23fb59ull},
        {"Moon Mollweide, an ellipse", {moonBody, true, 7, 40}, 0, 0, 0.5, false, 0x55d125375a4c7a79ull},
        {"Moon orthographic outline", {moonBody, false, 8, 40}, 0, 0, 0.5, false, 0xa82feb6338da8a51ull},
        {"Moon user projection", {moonBody, true, 10, 40}, 0, 0, 0.5, false, 0xd4c21a0e1007eac1ull},
        {"Moon half Height", {moonBody, true, 1, 40}, 1, 0, 0.5, false, 0xfa1cc42c44535661ull},
        {"Moon Dual-Box, box 1", {moonBody, true, 1, 40, 1}, 0, 0, 0.5, false, 0x4580e2ed14c73885ull},
        {"Moon Dual-Box, box 2", {moonBody, true, 1, 40, 1}, 0, 0, 0.5, true, 0x65f996a17913dd45ull},
        {"Moon Dual-Box, on the boundary", {moonBody, true, 1, 1, 1}, 0, 0, 90, false, 0xa238866ba5d5ef11ull},
        {"Sun 0.3 off at 40, white", {sunBody, true, 1, 40}, 0, 1, 0.3, false, 0x5123ee9e62a97f8dull},
        {"Sun ring 0.08 off at 1000", {sunBody, false, 1, 1000}, 0, 0, 0.08, false, 0x50c886adc87fb951ull},
        {"Sun Dual-Box ring, box 2", {sunBody, false, 1, 1000, 1}, 0, 0, 0.05, true, 0xa8e59b99e702d765ull},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DiscChart chart(c.chart);
        chart.chartView.halfHeight = std::uint8_t(c.halfHeight);
        chart.chartOptions.whiteBackground = std::uint8_t(c.white);
        chart.makeBitmap();
        ASSERT_TRUE(chart.drawAbove(c.degreesAbove, c.opposite));
        const auto marks = bodyMarkPixels(chart, apparentBody(chart, c.chart.body).base);
        ASSERT_FALSE(marks.empty());
        for (const ChartPixel& p : marks)
            ASSERT_TRUE(PointPipeline(chart).withinLimits(p.X, p.Y)) << "box " << p.box;
        EXPECT_EQ(pictureChecksum(chart.chartBitmap), c.checksum);
    }
}

// At sunset and moonset, the centre just under the horizon: the part of the disc above it is
// drawn and the horizon hides the rest. The horizon is where the chart's circle of altitude 0
// runs, drawn alone at the same view; with everything under the horizon shown the whole disc is.
TEST(TrueSizeDiscs, ADiscSettingShowsItsPartAboveTheHorizon)
{
    struct Case {
        const char* what;
        DiscSetting chart;
        double centreBelow;   // the centre this many semi-diameters under the horizon
        double hourUT;        // near the setting on the day of the fixture
    };
    const Case cases[] = {
        {"Sun half set at 100", {sunBody, true, 1, 100}, 0.5, 20.3},
        {"Sun outline nearly set at 100", {sunBody, false, 1, 100}, 0.8, 20.3},
        {"Sun just under at 300, stereographic", {sunBody, true, 3, 300}, 0.3, 20.3},
        {"Moon half set at 100", {moonBody, true, 1, 100}, 0.5, 3.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DiscChart chart(c.chart);
        chart.chartOptions.underHorizonDepth = 0;
        // The time whose elevation puts the centre where the case wants it, found by halving.
        const auto elevation = [&](double hour) {
            const double h = std::floor(hour);
            chart.set("EDIT10", number(h));
            chart.set("EDIT11", number((hour - h) * 60));
            EXPECT_TRUE(chart.draw());
            return apparentBody(chart, c.chart.body).apparent[2];
        };
        double early = c.hourUT - 3, late = early;
        while (late < c.hourUT + 3 && elevation(late) > 0)
            early = late, late += 0.25;
        ASSERT_GT(elevation(early), 0);
        ASSERT_LT(elevation(late), 0);
        for (int i = 0; i < 40; ++i) {
            const double middle = (early + late) / 2;
            (elevation(middle) > -std::sin(c.centreBelow * chart.semiDiameterOfBody()) ? early : late) = middle;
        }
        elevation(late);
        ASSERT_TRUE(apparentBody(chart, c.chart.body).hidden);
        ASSERT_TRUE(chart.drawAbove(0));
        const int width = chart.chartBitmap.width(), height = chart.chartBitmap.height();
        const auto pixels = [&] {
            std::vector<int> p;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                    p.push_back(chart.chartBitmap.pixel(x, y));
            return p;
        };
        const std::vector<int> setting = pixels();
        chart.chartOptions.underHorizonDepth = 1.1f;
        ASSERT_TRUE(chart.draw());
        const std::vector<int> whole = pixels();
        chart.chartOptions.sunDisplayMode = chart.chartOptions.moonDisplayMode = 0;
        chart.chartOptions.zenithGridStep = 1;
        ASSERT_TRUE(chart.draw());
        const std::vector<int> grid = pixels();
        const PixelArea area = boxArea(chart.boxes(), 0);
        int shown = 0, checked = 0;
        for (int x = area.left; x < area.right; ++x) {
            int horizon = -1;
            for (int y = area.top; y < area.bottom && horizon < 0; ++y)
                if (grid[std::size_t(y * width + x)] == 3)
                    horizon = y;
            if (horizon < 0)
                continue;
            for (int y = area.top; y < area.bottom; ++y) {
                const std::size_t i = std::size_t(y * width + x);
                const bool disc = whole[i] == chart.colour, drawn = setting[i] == chart.colour;
                shown += drawn;
                EXPECT_TRUE(disc || !drawn) << x << ',' << y << " outside the disc";
                if (y < horizon - 1 || y > horizon + 1) {
                    checked += disc;
                    EXPECT_EQ(drawn, disc && y < horizon) << x << ',' << y << ", the horizon at " << horizon;
                }
            }
        }
        EXPECT_GT(shown, 0);
        EXPECT_GT(checked, 0);
    }
}

// Mollweide's projection and the user projection stretched by its aspect: the image of a disc is
// an ellipse, its horizontal and vertical half axes the disc's true size times the scales across
// and along the meridian at it (here on the central meridian, where their axes are the picture's),
// of the same area as the circle of the mean scale.
TEST(TrueSizeDiscs, AStretchingProjectionDrawsAnEllipse)
{
    struct Case {
        const char* what;
        DiscSetting chart;
        double aspect;          // the user projection's
        double degreesAbove;
        double tallness;        // the vertical scale over the horizontal one at the body
    };
    // Mollweide's at latitude phi of its own: h / k = pi^2 cos^2 phi / (8 cos^2 theta), where
    // 2 theta + sin 2 theta = pi sin phi.
    const auto mollweide = [](double degrees) {
        const double phi = degrees / degreesPerRadian;
        double theta = phi;
        for (int i = 0; i < 60; ++i)
            theta -= (2 * theta + std::sin(2 * theta) - pi * std::sin(phi)) / (2 + 2 * std::cos(2 * theta));
        return pi * pi * std::cos(phi) * std::cos(phi) / (8 * std::cos(theta) * std::cos(theta));
    };
    const Case cases[] = {
        {"Moon centred, Mollweide, 40", {moonBody, true, 7, 40}, 1, 0, mollweide(0)},
        {"Moon outline centred, Mollweide, 40", {moonBody, false, 7, 40}, 1, 0, mollweide(0)},
        {"Moon 0.5 below the centre, Mollweide, 40", {moonBody, true, 7, 40}, 1, 0.5, mollweide(-0.5)},
        {"Sun centred, Mollweide, 100", {sunBody, true, 7, 100}, 1, 0, mollweide(0)},
        {"Moon centred, user projection, aspect 2", {moonBody, true, 10, 40}, 2, 0, 2},
        {"Moon outline 0.3 off, user projection, aspect 0.5", {moonBody, false, 10, 80}, 0.5, 0.3, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DiscChart chart(c.chart);
        chart.userProjection.aspectYX = c.aspect;
        ASSERT_TRUE(chart.drawAbove(c.degreesAbove));
        const double r = trueSizeRadius(chart, apparentBody(chart, c.chart.body).chart, chart.semiDiameterOfBody());
        ASSERT_GT(r, 20);
        int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
        const PixelArea area = boxArea(chart.boxes(), 0);
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                if (chart.chartBitmap.pixel(x, y) == chart.colour) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        EXPECT_NEAR((right - left) / 2.0, r / std::sqrt(c.tallness), 1);
        EXPECT_NEAR((bottom - top) / 2.0, r * std::sqrt(c.tallness), 1);
    }
}

} // namespace
} // namespace nivora
