// Every cull only saves work: a chart drawn with the culls on is, pixel for pixel, the chart
// drawn with them off, every point taken.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>

#include "astro/starlist.h"
#include "render/culling.h"
#include "render/drawing.h"
#include "render/tests/render_fixture.h"
#include "render/tests/sky_chart.h"

namespace nivora {
namespace {

using testing_support::Place;
using testing_support::SkyChart;
using testing_support::TestRecords;

// Draws the chart as its records stand, culled and whole, and compares the bitmaps.
void expectCullingKeepsEveryPixel(TestRecords& r)
{
    r.chartBitmap.clear(0);
    ASSERT_TRUE(DRAWINGIMG(r));
    const QImage culled = r.chartBitmap.image().copy();
    {
        const CullingOff whole;
        r.chartBitmap.clear(0);
        ASSERT_TRUE(DRAWINGIMG(r));
    }
    const QImage& drawn = r.chartBitmap.image();
    ASSERT_EQ(culled.size(), drawn.size());
    if (culled == drawn)
        return;
    int differ = 0;
    std::string first;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            if (culled.pixel(x, y) != drawn.pixel(x, y) && ++differ == 1)
                first = std::to_string(x) + ", " + std::to_string(y);
    ADD_FAILURE() << differ << " pixels differ from the whole drawing, the first at " << first;
}

// What a chart shows and how it is seen, at the fixture's place and time: longitude 135,
// latitude 35, 2008 December 31 23:59 at zone +9, size 100. Grids every 10 degrees (the
// ecliptic's 30), all numbered.
struct View {
    const char* name;
    std::uint8_t chartMode = skyChartMode;
    std::uint8_t earthMap = 0;
    const char* longitude = "180";   // the direction, in the frame of `directionFrame`
    const char* latitude = "90";
    int directionFrame = zenithalDirection;
    const char* observerMetres = "0";
    const char* observerLatitude = "+35.0";
    std::int16_t earthLineMinutes = 0;
    const char* shellKm = "0";       // the Earth lines' height
    std::uint8_t projection = 1;
    std::uint8_t place = 2;          // of the direction point: 1 bottom, 2 centre, 3 horizon, 4 top
    std::uint8_t halfHeight = 0;
    std::uint8_t dualBox = 0;
    float underHorizonDepth = 0;
    std::int16_t imageSize = 100;
    std::uint8_t zenithStep = 10;
    std::uint8_t equatorStep = 10;
    std::uint8_t equatorEquinox = 1;
    float magnitudeLimit = 5.5f;
    void (*userProjection)(ProjectionSetup&) = nullptr;   // changes the user projection's shape
};

void drawBothWays(const View& view, std::initializer_list<double> magnifications)
{
    TestRecords r;   // one for every magnification: the data files are read once
    r.chartView.chartMode = view.chartMode;
    r.chartView.earthMap = view.earthMap;
    r.chartView.halfHeight = view.halfHeight;
    r.chartView.dualBox = view.dualBox;
    r.chartView.imageSize = view.imageSize;
    r.set("EDIT12", view.longitude);
    r.set("EDIT13", view.latitude);
    r.set("EDIT3", view.observerLatitude);
    r.set("EDIT43", view.observerMetres);
    r.ui.control("COMBO6").setIndex(view.directionFrame);
    r.ui.load({"FORM5", "Minute Option", {{.kind = ControlKind::Edit, .name = "EDIT77", .text = view.shellKm}}});
    r.makeBitmap();
    ChartOptions& o = r.chartOptions;
    o.zenithGridNumbers = o.equatorGridNumbers = o.eclipticGridNumbers = 1;
    o.equatorGridEquinox = view.equatorEquinox;
    o.earthGridMinutes = view.earthLineMinutes;
    o.projectionKind = view.projection;
    o.directionPointPlace = view.place;
    o.underHorizonDepth = view.underHorizonDepth;
    o.magnitudeLimit = view.magnitudeLimit;
    if (view.userProjection)
        view.userProjection(r.userProjection);
    for (const double magnification : magnifications) {
        SCOPED_TRACE(testing::Message() << view.name << ", magnification " << magnification);
        r.chartView.magnification = magnification;
        // The whole drawing takes every dot of the grids, more the higher the magnification:
        // from 1000 on they are drawn every 30 degrees, above it only their main circles.
        const auto step = [&](std::uint8_t s) -> std::uint8_t {
            return magnification > 1000 ? 1 : magnification == 1000 ? std::max<std::uint8_t>(s, 30) : s;
        };
        o.zenithGridStep = step(view.zenithStep);
        o.equatorGridStep = step(view.equatorStep);
        o.eclipticGridStep = step(30);
        expectCullingKeepsEveryPixel(r);
    }
}

View changed(View v, const char* name, void (*change)(View&))
{
    v.name = name;
    change(v);
    return v;
}

// The sky at the zenith, where the verticals meet; toward the west point, where the equator
// sets; toward the point of the autumn equinox, where the equator, the ecliptic and their
// meridians of 180 degrees cross.
const View zenith{.name = "sky, zenith"};
const View west{.name = "sky, west point", .longitude = "90", .latitude = "0"};
const View equinox{.name = "sky, autumn equinox", .longitude = "180", .latitude = "0",
                   .directionFrame = apparentEquatorialDirection};

TEST(Culling, SkyChartsKeepEveryPixel)
{
    for (const View& v : {zenith, west, equinox})
        drawBothWays(v, {1, 10, 100, 1000, 1E6});
    const View allUnderTheHorizon = changed(west, "sky, west point, all under the horizon",
                                            [](View& v) { v.underHorizonDepth = 1.1f; });
    const View fromAbove = changed(west, "sky, west point from 10 km up", [](View& v) {
        v.observerMetres = "10000";
        v.latitude = "-3.2";   // the visible horizon, below the geometric one by the dip
    });
    const View atTheBottom = changed(west, "sky, west point at the bottom", [](View& v) { v.place = 1; });
    const View onTheHorizon = changed(west, "sky, west point, horizon at the bottom", [](View& v) { v.place = 3; });
    const View atTheTop = changed(equinox, "sky, autumn equinox at the top", [](View& v) { v.place = 4; });
    const View large = changed(equinox, "sky, autumn equinox, size 320", [](View& v) { v.imageSize = 320; });
    for (const View& v : {allUnderTheHorizon, fromAbove, atTheBottom, onTheHorizon, atTheTop, large})
        drawBothWays(v, {10, 100, 1000});
}

TEST(Culling, HalfHeightAndDualBoxKeepEveryPixel)
{
    for (const View& v : {zenith, west, equinox}) {
        const View half = changed(v, v.name, [](View& h) { h.halfHeight = 1; });
        drawBothWays(half, {1, 10, 1000});
        const View dual = changed(v, v.name, [](View& d) { d.dualBox = 1; });
        drawBothWays(dual, {1, 10, 100, 1000, 1E6});
    }
    const View dualAllSky = changed(equinox, "sky, autumn equinox, Dual-Box, all under the horizon", [](View& v) {
        v.dualBox = 1;
        v.underHorizonDepth = 1.1f;
    });
    drawBothWays(dualAllSky, {1, 100, 3000});
    // Where grid curves pass between the boxes and cross the horizon just beyond both pictures.
    const View dualMiller{.name = "sky near the zenith, Miller, Dual-Box", .longitude = "94.77", .latitude = "85.88",
                          .projection = 12, .dualBox = 1};
    const View dualSinusoidal{.name = "star map, sinusoidal, Dual-Box", .chartMode = mapChartMode,
                              .longitude = "134.46", .latitude = "33.13", .projection = 9, .dualBox = 1};
    const View dualLambert{.name = "sky, Lambert cylindrical, Dual-Box", .longitude = "315.61", .latitude = "55.40",
                           .projection = 14, .dualBox = 1};
    const View dualHammer{.name = "sky, Hammer, Dual-Box", .longitude = "115.49", .latitude = "12.63",
                          .projection = 13, .dualBox = 1};
    // The horizon's circle along the rim between the boxes, where rounding alone puts its points
    // in one box or the other; tilted a little, it passes from one to the other twice.
    for (const char* latitude : {"90", "89.9999", "89.97"}) {
        const View rim{.name = "sky, zenith, Dual-Box, the horizon along the rim", .latitude = latitude,
                       .dualBox = 1, .zenithStep = 90, .equatorStep = 0};
        drawBothWays(rim, {1, 1.5, 23000});
    }
    drawBothWays(dualMiller, {2, 3, 5});
    drawBothWays(dualSinusoidal, {3, 10, 30});
    drawBothWays(dualLambert, {3});
    drawBothWays(dualHammer, {5});
}

// Maps centred on crossings of their grids, in one box and two.
TEST(Culling, MapsKeepEveryPixel)
{
    const View starMap{.name = "star map", .chartMode = mapChartMode, .longitude = "180", .latitude = "0",
                       .directionFrame = apparentEquatorialDirection};
    const View earthMap{.name = "Earth map", .chartMode = mapChartMode, .earthMap = 1, .longitude = "140",
                        .latitude = "30"};
    for (const View& v : {starMap, earthMap}) {
        drawBothWays(v, {1, 10, 100, 1000, 1E6});
        drawBothWays(changed(v, v.name, [](View& h) { h.halfHeight = 1; }), {1, 100});
        drawBothWays(changed(v, v.name, [](View& d) { d.dualBox = 1; }), {1, 10, 1000, 1E6});
    }
}

// Where the visibility tables' codes pass over grid blocks, star cells and line segments: toward
// azimuth 200, 25 degrees up, with the place of the direction point, the projection and the kind
// of chart changed.
TEST(Culling, VisibilityTableSkipsKeepEveryPixel)
{
    const View sky{.name = "sky", .longitude = "200", .latitude = "25", .imageSize = 320, .zenithStep = 30,
                   .magnitudeLimit = 4.5f};
    const auto with = [&](const char* name, void (*change)(View&)) { return changed(sky, name, change); };
    const View high[] = {
        sky,
        with("sky half height", [](View& v) { v.halfHeight = 1; }),
        with("star map", [](View& v) { v.chartMode = mapChartMode; }),
        with("Earth map", [](View& v) {
            v.chartMode = mapChartMode;
            v.earthMap = 1;
        }),
        // Declination +45 just inside the top of the box: a 10-degree block whose ends both lie
        // above the drawing limit while its middle is in the box.
        with("star map, a sagging circle", [](View& v) {
            v.chartMode = mapChartMode;
            v.longitude = "5";
            v.latitude = "44.73";
            v.directionFrame = 4;
            v.observerLatitude = "+90.0";
            v.equatorStep = 5;
            v.equatorEquinox = 4;
        }),
    };
    for (const View& v : high)
        drawBothWays(v, {1, 10, 300});
    const View low[] = {
        with("sky bottom", [](View& v) { v.place = 1; }),
        with("sky horizon", [](View& v) { v.place = 3; }),
        with("sky top", [](View& v) { v.place = 4; }),
        with("sky stereographic", [](View& v) { v.projection = 3; }),
        with("sky Mercator", [](View& v) { v.projection = 4; }),
        with("sky gnomonic", [](View& v) { v.projection = 6; }),
        with("sky Aitoff", [](View& v) { v.projection = 15; }),
        with("star map Mollweide", [](View& v) {
            v.chartMode = mapChartMode;
            v.projection = 7;
        }),
    };
    for (const View& v : low)
        drawBothWays(v, {1, 10});
}

void drawEveryProjection(std::uint8_t dualBox, std::initializer_list<double> magnifications)
{
    for (std::uint8_t kind = 1; kind <= 15; ++kind) {
        const std::string name = "projection " + std::to_string(kind);
        View v = equinox;
        v.name = name.c_str();
        v.projection = kind;
        v.dualBox = dualBox;
        drawBothWays(v, magnifications);
    }
}

TEST(Culling, EveryProjectionKeepsEveryPixel) { drawEveryProjection(0, {1, 100, 1000}); }

TEST(Culling, EveryProjectionInDualBoxKeepsEveryPixel) { drawEveryProjection(1, {1, 2, 3, 10, 1000}); }

// The user projection close up, its polynomial bent and its height stretched, squeezed, or left
// to turn back to the centre beyond the domain it would have, in one box and two, with the
// constellation lines on and the horizon grid every 10 degrees.
TEST(Culling, TheUserProjectionCloseUpKeepsEveryPixel)
{
    View v = equinox;
    v.projection = 10;
    struct Shape {
        const char* name;
        void (*change)(ProjectionSetup&);
    };
    const Shape shapes[] = {
        {"user projection, bent, stretched upward", [](ProjectionSetup& u) {
             u.coefficients = {0.3, 1, 0, -0.1};
             u.domainDegrees = 104.56;
             u.aspectYX = 2;
         }},
        {"user projection, squeezed", [](ProjectionSetup& u) { u.aspectYX = 0.3; }},
        {"user projection, back to the centre at 2 rad", [](ProjectionSetup& u) {
             u.coefficients = {1 / (2 * (pi / 2 - pi * pi / 8)), 1, -0.5};
         }},
    };
    for (const Shape& shape : shapes)
        for (const std::uint8_t dual : {0, 1}) {
            v.name = shape.name;
            v.userProjection = shape.change;
            v.dualBox = dual;
            drawBothWays(v, {1, 30, 1E4, 1E6});
        }
}

// Stars at the corners of their 5-degree cells, as far from a cell's middle as a star lies, each
// at the centre of a star map.
TEST(Culling, StarsAtTheCornersOfTheirCellsKeepEveryPixel)
{
    const StarList list = readStarList(std::filesystem::path(NIVORA_DATA_DIR) / "ALLSTAR5.txt");
    const auto offACorner = [](double degrees) { return std::fabs(std::remainder(degrees, 5.0)); };
    int found = 0;
    for (const StarRecord& s : list.records) {
        if (!(s.magnitude < 5.5f && offACorner(s.raDegrees) < 0.2 && offACorner(s.decDegrees) < 0.2))
            continue;
        const std::string name = "a star map on " + std::string(list.number(s));
        const std::string ra = testing_support::number(s.raDegrees), dec = testing_support::number(s.decDegrees);
        const View v{.name = name.c_str(), .chartMode = mapChartMode, .longitude = ra.c_str(), .latitude = dec.c_str(),
                     .directionFrame = 4};
        drawBothWays(v, {300, 3000});
        if (++found == 6)
            break;
    }
    EXPECT_EQ(found, 6);
}

// Charts set up field by field at a place and date of their own (zone 0), stars alone and no
// refraction, where a star lies just inside a cell whose codes say it is hidden: one carried out
// of its catalogue cell by its proper motion, one on a circle of declination that bows in from
// beyond the limit.
TEST(Culling, StarsBesideHiddenCellsKeepEveryPixel)
{
    struct Chart {
        const char* name;
        std::uint8_t chartMode;
        std::uint8_t halfHeight;
        std::int16_t imageSize;
        double magnification;
        std::uint8_t projection;
        const char* longitude;   // the direction, in the frame of `directionFrame`
        const char* latitude;
        int directionFrame;
        int displayFrame;        // COMBO5
        const char* observerLongitude;
        const char* observerLatitude;
        const char* observerMetres;
        const char* date[5];     // year, month 1-12, day, hour, minute
        std::uint8_t verticalDirection;
    };
    const Chart charts[] = {
        {"a fast star out of its cell", mapChartMode, 1, 100, 19.5743, 13, "77.73", "-42.23", 4, 3, "98", "90",
         "2118370", {"1927", "10", "6", "12", "0"}, 1},
        {"a bowing circle of declination", skyChartMode, 0, 100, 121.503, 4, "292.29", "-44.13", 4, 3, "-121",
         "10", "0", {"1998", "1", "8", "15", "0"}, 4},
    };
    for (const Chart& c : charts) {
        SCOPED_TRACE(c.name);
        TestRecords r;
        r.noGrids();
        r.chartView.chartMode = c.chartMode;
        r.chartView.halfHeight = c.halfHeight;
        r.chartView.imageSize = c.imageSize;
        r.chartView.magnification = c.magnification;
        r.chartOptions.projectionKind = c.projection;
        r.chartOptions.constellationLines = 0;
        r.chartOptions.magnitudeLimit = 9.5f;
        r.chartOptions.verticalDirection = c.verticalDirection;
        r.chartOptions.refractionOn = 0;
        r.set("EDIT12", c.longitude);
        r.set("EDIT13", c.latitude);
        r.ui.control("COMBO6").setIndex(c.directionFrame);
        r.ui.control("COMBO5").setIndex(c.displayFrame);
        r.set("EDIT2", c.observerLongitude);
        r.set("EDIT3", c.observerLatitude);
        r.set("EDIT43", c.observerMetres);
        for (const char* zone : {"EDIT4", "EDIT6"})
            r.set(zone, "+0");
        r.set("EDIT8", c.date[0]);
        r.ui.control("COMBO1").setIndex(std::stoi(c.date[1]) - 1);
        r.set("EDIT9", c.date[2]);
        r.set("EDIT10", c.date[3]);
        r.set("EDIT11", c.date[4]);
        r.makeBitmap();
        expectCullingKeepsEveryPixel(r);
    }
}

// Looking down on the shell from a height, where the parallel and the meridian of the place
// cross; toward its rim; away from it, where none of it is in the picture; and up at a shell
// overhead. From far away the lattice is finer than a pixel: the whole Earth, toward the horizon
// with half of it in the picture, Mollweide's stepping places, and the second box.
TEST(Culling, EarthLinesKeepEveryPixel)
{
    const View orbit{.name = "Earth lines from 400 km", .latitude = "-90", .observerMetres = "400000",
                     .earthLineMinutes = 15, .imageSize = 320};
    const View farOrbit = changed(orbit, "Earth lines from 36000 km", [](View& v) { v.observerMetres = "36000000"; });
    const View rim = changed(orbit, "Earth lines from 400 km, the rim", [](View& v) { v.latitude = "-19.8"; });
    const View farOrbitUp = changed(farOrbit, "Earth lines from 36000 km, the zenith", [](View& v) { v.latitude = "90"; });
    const View overhead = changed(orbit, "Earth lines 100 km overhead", [](View& v) {
        v.observerMetres = "0";
        v.shellKm = "100";
        v.longitude = "200";
        v.latitude = "60";
    });
    const View dual = changed(orbit, "Earth lines from 400 km, Dual-Box", [](View& v) { v.dualBox = 1; });
    drawBothWays(orbit, {1, 10, 30, 100, 1000});
    drawBothWays(farOrbit, {1, 100});
    drawBothWays(farOrbitUp, {1});
    drawBothWays(rim, {10, 100, 1000});
    drawBothWays(overhead, {10, 100});
    drawBothWays(dual, {1, 10, 100, 1E4, 1E6});
    const View mollweide = changed(orbit, "Earth lines from 400 km, Mollweide", [](View& v) { v.projection = 7; });
    const View farDual = changed(farOrbit, "Earth lines from 36000 km, Dual-Box", [](View& v) { v.dualBox = 1; });
    drawBothWays(mollweide, {1});
    drawBothWays(farDual, {1, 3});
    // Close up a 3' segment is up to millions of dots long, few of them in either box; from a
    // shell 1 km overhead one segment reaches from the first box into the second.
    const View lowShell = changed(overhead, "Earth lines 1 km overhead, Dual-Box", [](View& v) {
        v.shellKm = "1";
        v.longitude = "180";
        v.latitude = "50";
        v.dualBox = 1;
    });
    drawBothWays(lowShell, {1.2, 1.5, 2, 10});
    // From 36000 and 3600 km, straight down and at the horizon, in projections that bend, stretch
    // and cut the Earth's image each their own way.
    struct Far {
        const char* name;
        const char* observerMetres;
        const char* latitude;
        std::initializer_list<std::uint8_t> projections;
    };
    const Far far[] = {
        {"Earth lines from 36000 km", "36000000", "-90", {4, 9, 15}},
        {"Earth lines from 36000 km, the horizon", "36000000", "0", {1, 6, 13}},
        {"Earth lines from 3600 km", "3600000", "-90", {1, 3, 12}},
        {"Earth lines from 3600 km, the horizon", "3600000", "0", {1, 8, 14}},
    };
    for (const Far& f : far)
        for (const std::uint8_t projection : f.projections) {
            View v = orbit;
            v.name = f.name;
            v.observerMetres = f.observerMetres;
            v.latitude = f.latitude;
            v.projection = projection;
            SCOPED_TRACE(testing::Message() << "projection " << int(projection));
            drawBothWays(v, {1});
        }
    drawBothWays(changed(orbit, "Earth lines from 3600 km", [](View& v) { v.observerMetres = "3600000"; }), {3});
}

// Below magnification 0.5 the seam of a projection whose image wraps round comes into the box:
// a block of the lattice may straddle it, its places on one side and some of its dots on the
// other. From 3600 km over the south pole with the horizon at the bottom, in every projection
// that wraps.
TEST(Culling, EarthLinesAcrossTheSeamKeepEveryPixel)
{
    const View pole{.name = "Earth lines from 3600 km over the south pole", .longitude = "294", .latitude = "58",
                    .observerMetres = "3600000", .observerLatitude = "-89.9", .earthLineMinutes = 15,
                    .place = 3, .imageSize = 320};
    for (const std::uint8_t projection : {4, 5, 7, 9, 11, 12, 13, 14, 15}) {
        SCOPED_TRACE(testing::Message() << "projection " << int(projection));
        View v = pole;
        v.projection = projection;
        drawBothWays(v, {0.3});
    }
}

// With the horizon at the bottom of the box, close up, the chart centre lies far off the box:
// the culls judge from the box's own middle. The Earth lines from 36000 km straight down in half
// Height, and the grids and the horizon looking a little down in Dual-Box, in projections that
// each bound the box their own way.
TEST(Culling, BoxesFarOffTheChartCentreKeepEveryPixel)
{
    const View halfHeight{.name = "Earth lines from 36000 km, half Height", .latitude = "-90",
                          .observerMetres = "36000000", .earthLineMinutes = 15, .place = 3, .halfHeight = 1};
    const View dualBox{.name = "grids looking a little down, Dual-Box", .longitude = "200", .latitude = "-5",
                       .place = 3, .dualBox = 1, .underHorizonDepth = 1.1f};
    for (const std::uint8_t projection : {1, 2, 3, 5, 6, 7, 8, 9, 12, 13, 14, 15}) {
        SCOPED_TRACE(testing::Message() << "projection " << int(projection));
        View v = halfHeight;
        v.projection = projection;
        drawBothWays(v, {100});
        View d = dualBox;
        d.projection = projection;
        drawBothWays(d, {3000});
    }
}

// Where a chart of size 100 is aimed at the Moon of its place and time.
enum class Aim { moon, above, opposite };

// Draws the Moon's track of a mode culled and whole, refraction on, on a chart of the place at a
// magnification aimed at the Moon, 100 pixels above it, or at its opposite point (which puts the
// Moon in the middle of the second box).
void drawTrackBothWays(const Place& place, double magnification, std::uint8_t dual, Aim aim, int mode)
{
    SCOPED_TRACE(testing::Message() << place.name << ", magnification " << magnification << ", mode " << mode
                                    << (aim == Aim::above ? ", above" : aim == Aim::opposite ? ", the opposite point" : "")
                                    << (dual ? ", Dual-Box" : ""));
    SkyChart chart(place, magnification);
    chart.chartView.imageSize = 100;
    chart.chartView.dualBox = dual;
    chart.makeBitmap();
    chart.chartOptions.refractionOn = 1;
    ASSERT_TRUE(chart.draw());
    if (aim == Aim::opposite) {
        const DirectionVector moon = apparentBody(chart, moonBody).apparent;
        chart.centreOn({-moon[0], -moon[1], -moon[2]});
    } else {
        chart.centreOnMoon(aim == Aim::above ? 100 : 0);
    }
    chart.chartOptions.moonLineMode = std::uint8_t(mode);
    expectCullingKeepsEveryPixel(chart);
}

const Place tokyo = {"Tokyo", 139.7, 35.7, 0, 2024, 5, 23, 15};
const Place quito = {"Quito", -78.5, -0.2, 2800, 2024, 3, 10, 2};

TEST(Culling, MoonTracksKeepEveryPixel)
{
    for (const Place* place : {&tokyo, &quito})
        for (const int mode : {1, 2, 3, 4})
            for (const Aim aim : {Aim::moon, Aim::above})
                for (const std::uint8_t dual : {0, 1})
                    drawTrackBothWays(*place, 100, dual, aim, mode);
}

// In two boxes, from the whole sky to a field under a degree wide, with the Moon in either box.
TEST(Culling, MoonTracksInDualBoxKeepEveryPixel)
{
    for (const Place* place : {&tokyo, &quito})
        for (const double magnification : {1.0, 10.0, 1000.0})
            for (const Aim aim : {Aim::moon, Aim::opposite})
                for (const int mode : {1, 2, 3, 4})
                    drawTrackBothWays(*place, magnification, 1, aim, mode);
}

// Charts whose Moon track the drawing passed over in part: centuries from 2000, where the
// precession has carried the ecliptic of date away from J2000's, and observers far enough out
// for the parallax to reach degrees and swing round in a day. Stars and grids off, every field
// as the user types it.
TEST(Culling, MoonTracksFarInTimeAndSpaceKeepEveryPixel)
{
    struct Track {
        const char* name;
        Place place;               // UT instant
        const char* longitude;     // the direction, in the frame of `directionFrame`
        const char* latitude;
        int directionFrame;
        std::uint8_t projection;
        double magnification;
        std::uint8_t dualBox;
        int mode;
    };
    const Track tracks[] = {
        {"2390, no parallax", {"", -124, -20, 1.78, 2390, 4, 4, 12 + 50 / 60.0}, "82.92", "29.51", 0, 1, 38, 0, 2},
        {"from 116,783 km, parallax", {"", 17.3453, -90, 116783000, 1995, 5, 13, 9 + 19 / 60.0}, "178.53", "-7.17",
         0, 3, 790, 0, 3},
        {"from 133,967 km, carried round, Dual-Box", {"", -79, 12, 133967000, 2030, 4, 4, 4}, "242.78", "-18.85", 5, 1,
         7, 1, 4},
    };
    for (const Track& t : tracks) {
        SCOPED_TRACE(t.name);
        SkyChart chart(t.place, t.magnification);
        chart.chartView.imageSize = 100;
        chart.chartView.dualBox = t.dualBox;
        chart.chartOptions.underHorizonDepth = 0;
        chart.chartOptions.projectionKind = t.projection;
        chart.chartOptions.moonLineMode = std::uint8_t(t.mode);
        chart.set("EDIT12", t.longitude);
        chart.set("EDIT13", t.latitude);
        chart.ui.control("COMBO6").setIndex(t.directionFrame);
        chart.makeBitmap();
        expectCullingKeepsEveryPixel(chart);
    }
}

} // namespace
} // namespace nivora
