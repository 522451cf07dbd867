#include "render/compass.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "render/drawing.h"
#include "render/pipeline.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

constexpr int compassColour = 11;

// Pixels of the compass colour in a rectangle.
int countIn(const ChartBitmap& b, double x0, double y0, double x1, double y1, double* meanX = nullptr)
{
    int n = 0;
    double sx = 0;
    for (int y = int(std::floor(y0)); y <= int(std::ceil(y1)); ++y)
        for (int x = int(std::floor(x0)); x <= int(std::ceil(x1)); ++x)
            if (b.pixel(x, y) == compassColour) {
                ++n;
                sx += x;
            }
    if (meanX && n > 0)
        *meanX = sx / n;
    return n;
}

// A sky chart looking at the horizon toward `azimuth` (typed, from north through west).
struct SkyView : TestRecords {
    explicit SkyView(const char* azimuth = "180", const char* elevation = "10")
    {
        set("EDIT12", azimuth);
        set("EDIT13", elevation);
        noGrids();
        chartOptions.magnitudeLimit = 0;
        chartOptions.constellationLines = 0;
    }
    // Where the name of compass point i is centred: below the sea-level horizon by 38 / S.
    bool namePoint(int i, double& x, double& y, int& box) const
    {
        const double S = userProjection.chartScale, a = i * pi / 8;
        const PointPipeline p(*this, {.refraction = false, .horizonCut = false, .limitCut = false});
        const auto px = p.place({std::cos(a), std::sin(a), -38 / S});
        if (!px)
            return false;
        x = px->x;
        y = px->y;
        box = px->box;
        return true;
    }
};

TEST(Compass, SixteenNamesAboveAScaleOf240AndEightAtIt)
{
    for (int size : {240, 241}) {
        SkyView r("180", "90");   // seen from the zenith the names lie far apart
        r.set("EDIT1", std::to_string(size));
        r.chartView.imageSize = std::int16_t(size);
        r.makeBitmap();
        ASSERT_TRUE(DRAWINGIMG(r));
        int shown = 0;
        for (int i = 0; i < 16; ++i) {
            double x, y;
            int box;
            ASSERT_TRUE(r.namePoint(i, x, y, box));
            // The middle character only: the horizon passes 12 pixels away.
            const bool drawn = countIn(r.chartBitmap, x - 6, y - 5, x + 6, y + 5) > 0;
            shown += drawn;
            if (size == 240 && i % 2 == 1)
                EXPECT_FALSE(drawn) << i;
            else
                EXPECT_TRUE(drawn) << size << " " << i;
        }
        EXPECT_EQ(shown, size == 240 ? 8 : 16);
    }
}

TEST(Compass, TheNameIsCentredOnItsPointAndNoneOnAMap)
{
    SkyView r("0", "10");   // toward north
    ASSERT_TRUE(DRAWINGIMG(r));
    double x, y, meanX = 0;
    int box;
    ASSERT_TRUE(r.namePoint(0, x, y, box));
    ASSERT_GT(countIn(r.chartBitmap, x - 12, y - 8, x + 12, y + 8, &meanX), 0);
    // " N ": the letter in the middle of the three characters, within half a character (the chart
    // font's characters are somewhat wider than the 8 pixels the placement allows for).
    EXPECT_NEAR(meanX, x, 4);

    SkyView map("0", "10");
    map.chartView.chartMode = mapChartMode;
    ASSERT_TRUE(DRAWINGIMG(map));
    // Only the direction point's cross, on the centre and in the side strip, is of that colour.
    const BoxCentres boxes = boxCentres(map.chartView, map.chartLayout, map.drawn.geometry.directionOffset);
    EXPECT_EQ(countIn(map.chartBitmap, 0, 0, boxes.panelLeft - 1, 360) -
                  countIn(map.chartBitmap, boxes.x1 - 3, boxes.y - 3, boxes.x1 + 3, boxes.y + 3),
              0);
}

TEST(Compass, DualBoxRimCopies)
{
    SkyView r("180", "90");
    r.chartView.dualBox = 1;
    r.makeBitmap();
    ASSERT_TRUE(DRAWINGIMG(r));
    // Seen from the zenith every name lies below the horizon, in the second box, and its copy sits
    // just outside the first box's rim on the same vertical.
    const double S = r.userProjection.chartScale;
    for (int i : {0, 1, 4, 8}) {
        double x, y;
        int box;
        ASSERT_TRUE(r.namePoint(i, x, y, box));
        EXPECT_EQ(box, 1);
        EXPECT_GT(countIn(r.chartBitmap, x - 12, y - 8, x + 12, y + 8), 0) << i;
        const double a = i * pi / 8, out = (i % 2 == 0 ? 36 : 42) / S;
        const PointPipeline p(r, {.refraction = false, .horizonCut = false, .secondBoxBelow = -2, .limitCut = false});
        const auto copy = p.place({std::cos(a), std::sin(a), -out});
        ASSERT_TRUE(copy.has_value());
        EXPECT_EQ(copy->box, 0);
        EXPECT_GT(countIn(r.chartBitmap, copy->x - 12, copy->y - 8, copy->x + 12, copy->y + 8), 0) << i;
    }
}

TEST(Compass, TheVisibleHorizonLiesOnAltitudeZeroOrLowerByTheDip)
{
    for (const char* metres : {"0", "3000"}) {
        SkyView r("180", "0");
        r.set("EDIT43", metres);
        r.chartView.magnification = 4;
        ASSERT_TRUE(DRAWINGIMG(r));
        const double h = std::atof(metres) / 1000;
        const double dip = std::acos(earthRadius / (earthRadius + h));
        const PointPipeline p(r, {.refraction = false, .horizonCut = false, .limitCut = false});
        for (double az : {170.0, 175.0, 180.0, 185.0, 190.0}) {
            const double a = az / degreesPerRadian;
            const auto px = p.place({std::cos(a) * std::cos(dip), std::sin(a) * std::cos(dip), -std::sin(dip)});
            ASSERT_TRUE(px.has_value());
            EXPECT_GT(countIn(r.chartBitmap, px->x - 1, px->y - 1, px->x + 1, px->y + 1), 0) << metres << " " << az;
        }
    }
}

// The arc's azimuths, found one by one, are those its single-precision sums give: at the
// scales of the magnifications up to the largest, with steps that fall half-way between two
// last places, that stop the sums growing, or that end the arc at the cap.
TEST(Compass, ArcAzimuthsAreTheSumsOfTheSteps)
{
    struct Case {
        float from, to, step;
        long most;
    };
    std::vector<Case> cases = {
        {0, 22.5f, 250 / 320.0f, 200000},   {0, 22.5f, 250 / 3.2e5f, 200000}, {337.5f, 360, 250 / 3.2e6f, 200000},
        {90, 135, 250 / 1e7f, 200000},      {0, 45, 250 / 240.0f, 200000},    {315, 360, 1e-6f, 200000},
        {22.5f, 45, 250 / 3.2e5f, 1000},    {0, 22.5f, 22.5f, 10},            {0, 22.5f, 30, 10},
    };
    // Steps of an odd number of half last places of the azimuths from 64 (2^-18) and from 128
    // (2^-17): every sum a tie, rounded to the even neighbour.
    for (int halves : {1, 3, 7, 1025}) {
        cases.push_back({64, 64.01f, std::ldexp(float(halves), -18), 200000});
        cases.push_back({200, 200.01f, std::ldexp(float(halves), -17), 200000});
        cases.push_back({112.5f, 135, std::ldexp(float(halves), -18), 200000});
    }
    std::mt19937 random(24);
    for (int k = 0; k < 50; ++k) {
        const float from = std::uniform_int_distribution<int>(0, 15)(random) * 22.5f;
        const float step = float(250 / std::pow(10.0, std::uniform_real_distribution<double>(2, 7)(random)));
        cases.push_back({from, from + 22.5f, step, 200000});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << " to " << c.to << " by " << c.step << ", at most " << c.most);
        std::vector<float> sums;
        for (float deg = c.from; deg <= c.to && c.step > 0 && long(sums.size()) < c.most;) {
            sums.push_back(deg);
            const float next = deg + c.step;
            if (next == deg)
                break;
            deg = next;
        }
        const ArcAzimuths azimuths(c.from, c.to, c.step, c.most);
        ASSERT_EQ(azimuths.size(), long(sums.size()));
        for (long i = 0; i < azimuths.size(); ++i)
            ASSERT_EQ(azimuths[i], sums[std::size_t(i)]) << i;
    }
}

// The pixels of a name centred on the vertical through a box's centre, just past the image of
// the projection's upper (up 1) or lower (up -1) pole.
void expectNameJustPastThePole(const SkyView& r, int box, int up)
{
    const PointPipeline p(r);
    double X, Y;
    p.project({double(up), 0, 0}, X, Y);
    const double x = p.pixelX(0, box), pole = p.pixelY(Y);
    double meanX = 0;
    const int n = up > 0 ? countIn(r.chartBitmap, x - 40, pole - 30, x + 40, pole - 4, &meanX)
                         : countIn(r.chartBitmap, x - 40, pole + 4, x + 40, pole + 30, &meanX);
    EXPECT_GT(n, 10) << "box " << box << (up > 0 ? ", above" : ", below");
    // Within a character's half width: "SE " fills the first two of its three places.
    EXPECT_NEAR(meanX, x, 6) << "box " << box << (up > 0 ? ", above" : ", below");
}

// Seen from the zenith (or a few degrees from it) two names sit at the poles of the Mollweide,
// sinusoidal, Hammer and Aitoff projections (N and S when the view is turned to the south), and
// their points below the horizon lie past the poles, on the back meridian, where the least
// rounding decides the side.
TEST(Compass, NamesAtAPoleOfTheProjectionStandJustOutsideIt)
{
    struct View {
        const char* azimuth;
        const char* elevation;
        const char* metres = "0";   // above sea level the visible horizon lies below the poles
        float depth = 0;            // drawn under the horizon: the names go further out
    };
    const View views[] = {
        {"179.9999", "90"}, {"180", "90"},      {"180.0001", "90"}, {"179.9999", "87"},
        {"180.0001", "87"}, {"180", "88.5"},    {"90", "87"},       {"45", "89"},
        {"180.0001", "90", "3000"},             {"179.9999", "90", "0", 0.0349f},
    };
    for (int projection : {7, 9, 13, 15}) {
        for (const View& view : views) {
            SCOPED_TRACE(testing::Message() << "projection " << projection << " at " << view.azimuth << ", "
                                            << view.elevation << ", " << view.metres << " m, depth " << view.depth);
            SkyView r(view.azimuth, view.elevation);
            r.set("EDIT43", view.metres);
            r.chartOptions.underHorizonDepth = view.depth;
            r.chartOptions.projectionKind = std::uint8_t(projection);
            ASSERT_TRUE(DRAWINGIMG(r));
            expectNameJustPastThePole(r, 0, 1);
            expectNameJustPastThePole(r, 0, -1);
        }
    }
}

// In the Dual-Box layout the copies just outside a rim go over the poles: looking south, N's copy
// tops the first box and S's copy the foot of the second; from the zenith both are in the first.
TEST(Compass, DualBoxRimCopiesAtAPoleStandJustOutsideIt)
{
    struct Case {
        const char* azimuth;
        const char* elevation;
        int southBox;
    };
    const Case cases[] = {{"179.9999", "10", 1}, {"180.0001", "10", 1}, {"180.0001", "90", 0}};
    for (int projection : {7, 9, 13, 15}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << "projection " << projection << " at " << c.azimuth << ", "
                                            << c.elevation);
            SkyView r(c.azimuth, c.elevation);
            r.chartOptions.projectionKind = std::uint8_t(projection);
            r.chartView.dualBox = 1;
            r.makeBitmap();
            ASSERT_TRUE(DRAWINGIMG(r));
            expectNameJustPastThePole(r, 0, 1);
            expectNameJustPastThePole(r, c.southBox, -1);
        }
    }
}

// The Mercator and Miller projections have no image of their poles: no name there.
TEST(Compass, NoNameAtAPoleWithoutAnImage)
{
    for (int projection : {4, 12}) {
        SCOPED_TRACE(projection);
        SkyView r("179.9999", "90");
        r.chartOptions.projectionKind = std::uint8_t(projection);
        ASSERT_TRUE(DRAWINGIMG(r));
        const double x = PointPipeline(r).pixelX(0);
        EXPECT_EQ(countIn(r.chartBitmap, x - 100, 0, x + 100, 30), 0);
        EXPECT_EQ(countIn(r.chartBitmap, x - 100, 330, x + 100, 359), 0);
    }
}

// Pixels of the compass colour in the chart's 360 rows at size 320, left of x = 330: clear of the
// side strip, the second box and rows below the chart.
std::uint64_t compassChecksum(const ChartBitmap& b)
{
    std::uint64_t h = 1469598103934665603u;
    for (int y = 0; y < 360; ++y)
        for (int x = 0; x < 330; ++x)
            if (b.pixel(x, y) == compassColour) {
                h = (h ^ std::uint64_t(x)) * 1099511628211u;
                h = (h ^ std::uint64_t(y)) * 1099511628211u;
            }
    return h;
}

TEST(Compass, NamesAwayFromThePolesStayWhereTheyWere)
{
    struct Case {
        int projection;
        const char* azimuth;
        const char* elevation;
        std::uint8_t dualBox;
        std::uint64_t checksum;     // taken before names at the poles were placed apart
        const char* turn = "0";    // W at the upper pole, its point going off sideways
    };
    const Case cases[] = {
        {7, "180", "10", 0, 13403600009091164727u},
        {9, "180", "10", 0, 15910486812881392343u},
        {13, "180", "10", 0, 17002666973567932000u},
        {15, "180", "10", 0, 17589872224793858170u},
        {7, "180", "60", 0, 5839547124660831897u},
        {7, "180", "80", 0, 10883899144673055423u},
        {7, "175", "90", 0, 5788800471052571553u},
        {13, "170", "88", 0, 8623263343632219966u},
        {1, "180", "90", 0, 14799097149418152020u},
        {8, "180", "90", 0, 16674158153274738198u},
        {11, "180", "90", 0, 12732263045494326415u},
        {14, "180", "90", 0, 7493577159366287696u},
        {4, "180", "90", 0, 1122638957131555578u},
        {12, "180", "90", 0, 1983229294380208240u},
        {7, "170", "10", 1, 13397457401233310368u},
        {15, "180", "-90", 0, 1139731723540825914u},
        {7, "180", "0", 0, 15834258861330990597u, "90"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "projection " << c.projection << " at " << c.azimuth << ", "
                                        << c.elevation << " turned " << c.turn << (c.dualBox ? ", Dual-Box" : ""));
        SkyView r(c.azimuth, c.elevation);
        r.set("EDIT64", c.turn);
        r.chartOptions.projectionKind = std::uint8_t(c.projection);
        r.chartView.dualBox = c.dualBox;
        r.makeBitmap();
        ASSERT_TRUE(DRAWINGIMG(r));
        EXPECT_EQ(compassChecksum(r.chartBitmap), c.checksum) << std::hex;
    }
}

} // namespace
} // namespace nivora
