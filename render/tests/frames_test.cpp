#include "render/skyframes.h"

#include <gtest/gtest.h>

#include <cmath>

#include "astro/constants.h"
#include "astro/datafile.h"
#include "astro/timescales.h"
#include "options/observation_input.h"
#include "render/drawing.h"
#include "render/orientation.h"
#include "render/pipeline.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

using testing_support::TestRecords;

TEST(SkyFrames, TypedDatesCountDaysAsTheCalendarDoes)
{
    struct Case { int year, month, day; };
    const Case cases[] = {
        {2000, 0, 1}, {2000, 1, 29}, {2000, 2, 1}, {1900, 2, 1}, {2100, 2, 1}, {1600, 2, 1},
        {1999, 11, 31}, {2024, 2, 1}, {1582, 9, 15}, {2400, 11, 31},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << '-' << c.month + 1 << '-' << c.day);
        EXPECT_EQ(typedDateDayNumber(float(c.year), c.month, float(c.day)), dayNumberOfDate(c.year, c.month, c.day));
    }
    EXPECT_EQ(typedDateDayNumber(2000, 0, 1), 1);
    EXPECT_EQ(typedDateDayNumber(2000, 2, 1), 61);
    EXPECT_EQ(typedDateDayNumber(2000, 1, 29), 60);
    EXPECT_EQ(typedDateDayNumber(2000, -1, 1), 1);   // no month chosen reads as January
}

struct Frames : testing::Test {
    SkyFrameTimes setUp() { return setUpSkyFrames(r, sky); }
    TestRecords r;
    SkyFrames sky;
};

TEST_F(Frames, TimeFromTheTypedLocalTimeAndZone)
{
    struct Case { const char* zoneHours; const char* zoneMinutes; const char* hour; const char* minute; double ut; };
    const Case cases[] = {
        {"+0", "00", "12", "0", 1.5},
        {"+9", "00", "21", "0", 1.5},
        {"-5", "30", "6", "30", 1.5},           // -5:30 and 6:30 is 12:00 UT
        {"+5", "30", "17", "30", 1.5},
        {"+9", "00", "3", "0", 0.75},           // the previous day in UT
    };
    r.set("EDIT8", "2000");
    r.ui.control("COMBO1").setIndex(0);
    r.set("EDIT9", "1");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.zoneHours << ':' << c.zoneMinutes << ' ' << c.hour << ':' << c.minute);
        r.set("EDIT6", c.zoneHours);
        r.set("EDIT7", c.zoneMinutes);
        r.set("EDIT10", c.hour);
        r.set("EDIT11", c.minute);
        const SkyFrameTimes t = setUp();
        EXPECT_NEAR(t.dayNumberUT, c.ut, 1e-9);
        EXPECT_DOUBLE_EQ(t.dayNumberTT, ET2UTC(r.tables, t.dayNumberUT));
        EXPECT_DOUBLE_EQ(sky.julianCenturies, (t.dayNumberTT - 1.5) / 36525);
        if (c.ut == 1.5) {
            EXPECT_GT(sky.julianCenturies, 0);   // Delta-T puts noon UT after J2000.0
        }
    }
}

TEST_F(Frames, TheDipAndTheHorizonCircleFollowTheAltitude)
{
    for (const char* altitude : {"0", "-20", "abc"}) {
        SCOPED_TRACE(altitude);
        r.set("EDIT43", altitude);
        const SkyFrameTimes t = setUp();
        EXPECT_EQ(sky.horizonDipSine, 0);
        EXPECT_EQ(sky.horizonDipCosine, 1);
        EXPECT_EQ(t.horizon.u, (DirectionVector{1, 0, 0}));
        EXPECT_EQ(t.horizon.v, (DirectionVector{0, 1, 0}));
    }
    r.set("EDIT43", "1000");
    const SkyFrameTimes t = setUp();
    EXPECT_NEAR(std::asin(sky.horizonDipSine), std::sqrt(2 / 6378.0), 2e-4);   // about a degree
    EXPECT_NEAR(sky.horizonDipSine * sky.horizonDipSine + sky.horizonDipCosine * sky.horizonDipCosine, 1, 1e-12);
    // The visible horizon lies below the astronomical one by the dip.
    const DirectionVector& c = t.horizon.centre;
    const DirectionVector& u = t.horizon.u;
    const double z = c[2] + u[2], n = std::hypot(c[0] + u[0], c[2] + u[2]);
    EXPECT_NEAR(z / n, -sky.horizonDipSine, 1e-3);
    // The map modes ignore the altitude.
    r.chartView.chartMode = mapChartMode;
    setUp();
    EXPECT_EQ(sky.horizonDipSine, 0);
}

TEST_F(Frames, SiderealTimeAndTheMapPole)
{
    r.set("EDIT2", "+135.0");
    const SkyFrameTimes t = setUp();
    // The apparent sidereal time differs from the mean one by a small signed angle.
    double mean = GSTH(t.dayNumberUT) * pi / 12 + t.dayFraction * 2 * pi + 135 / degreesPerRadian;
    double difference = std::remainder(sky.localSiderealTime - mean, 2 * pi);
    EXPECT_LT(std::fabs(difference), 1e-4);
    EXPECT_NE(difference, 0);
    EXPECT_GE(sky.localSiderealTime, 0);
    EXPECT_LE(sky.localSiderealTime, 2 * pi);
    // The display frame's z axis is the zenith: the pole stands at the latitude's height.
    EXPECT_NEAR(sky.displayFrameToBase[2][2], std::sin(35 / degreesPerRadian), 1e-6);

    r.chartView.chartMode = mapChartMode;
    const SkyFrames unturned = (setUp(), sky);
    EXPECT_DOUBLE_EQ(sky.localSiderealTime, sky.observerLongitude);
    r.set("EDIT42", "30");
    setUp();
    // A direction at azimuth A before the turn lies at A + 30 degrees after it.
    const DirectionVector d = {0.3, 0.5, std::sqrt(1 - 0.34)};
    const DirectionVector before = rotate(unturned.displayFrameToBase, d);
    const DirectionVector after = rotate(sky.displayFrameToBase, d);
    EXPECT_NEAR(std::atan2(after[1], after[0]) - std::atan2(before[1], before[0]), 30 / degreesPerRadian, 1e-6);
    EXPECT_NEAR(after[2], before[2], 1e-12);
}

TEST_F(Frames, AMissingNutationFileIsReported)
{
    ObservationInput in(r.ui);
    EXPECT_THROW(setUpSkyFrames(sky, in, 2, r.tables, "/nonexistent/nutation.txt"), DataFileError);
}

TEST(Orientation, TheVerticalPointsUpAndTheRotationTurnsItClockwise)
{
    struct Case { int vertical; const char* azimuth; const char* elevation; const char* rotation; double angle; };
    const Case cases[] = {
        {1, "+180.00", "+90.00", "+00.00", 0},    // zenith centre: north up
        {1, "+180.00", "+90.00", "+30.00", 30},
        {1, "+90.00", "+40.00", "+00.00", 0},
        {2, "+180.00", "+40.00", "+00.00", 0},    // the celestial pole up
        {2, "+120.00", "+20.00", "-15.00", -15},
        {5, "+200.00", "+50.00", "+00.00", 0},    // the ecliptic pole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "vertical " << c.vertical << " az " << c.azimuth << " el "
                                        << c.elevation << " rot " << c.rotation);
        TestRecords r;
        r.chartOptions.verticalDirection = std::uint8_t(c.vertical);
        r.chartOptions.refractionOn = 0;
        r.set("EDIT12", c.azimuth);
        r.set("EDIT13", c.elevation);
        r.set("EDIT64", c.rotation);
        ASSERT_TRUE(DRAWINGIMG(r));
        const SkyFrames& sky = r.drawn.sky;
        const RotationMatrix poles[8] = {{}, {{{0, 0, 0}, {0, 0, 0}, {0, 0, 1}}}, sky.trueEquatorToBase,
                                         sky.meanEquatorToBase, sky.icrfToBase, sky.trueEclipticToBase};
        const RotationMatrix& m = poles[c.vertical];
        DirectionVector pole = {m[0][2], m[1][2], m[2][2]};
        if (c.vertical == 1 && std::string(c.elevation) == "+90.00")
            pole = {1, 0, 0};   // at the zenith the "up" is the azimuth 0 line
        const DirectionVector v = rotate(sky.baseToChart, pole);
        EXPECT_NEAR(std::atan2(v[1], v[0]) * degreesPerRadian, c.angle, 1e-6);   // from up toward right
        const RotationMatrix back = multiply(sky.chartToBase, sky.baseToChart);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(back[i][j], i == j, 1e-12);
    }
}

TEST(Orientation, TheEarthMapIsSeenFromOutside)
{
    struct City { double longitude, latitude; };
    const City seoul = {126.978, 37.566}, tokyo = {139.692, 35.690}, sapporo = {141.354, 43.062};
    for (int earthMap : {1, 0}) {
        SCOPED_TRACE(earthMap ? "Earth map" : "star map");
        TestRecords r;
        r.chartView.chartMode = mapChartMode;
        r.chartView.earthMap = std::uint8_t(earthMap);
        r.chartView.magnification = 4;
        r.ui.control("COMBO5").setIndex(3);
        r.ui.control("COMBO6").setIndex(4);
        r.set("EDIT2", "+180.0");
        r.set("EDIT3", "+90.0");
        r.set("EDIT12", "+135.0");
        r.set("EDIT13", "+38.0");
        r.set("EDIT64", "+10.0");
        ASSERT_TRUE(DRAWINGIMG(r));
        const PointPipeline pipeline(r);
        auto at = [&](const City& c) {
            return pipeline.place(rotate(r.drawn.sky.icrfToBase, catalogueVector(c.longitude, c.latitude)));
        };
        const auto s = at(seoul), t = at(tokyo), n = at(sapporo);
        ASSERT_TRUE(s && t && n);
        if (earthMap)
            EXPECT_LT(s->x, t->x);   // west on the left, as on a globe
        else
            EXPECT_GT(s->x, t->x);   // the sky seen from inside: east on the left
        EXPECT_LT(n->y, t->y);       // north up either way
        // A clockwise roll keeps its sense: north leans to the right.
        EXPECT_GT(n->x, t->x);
        const RotationMatrix back = multiply(r.drawn.sky.chartToBase, r.drawn.sky.baseToChart);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                EXPECT_NEAR(back[i][j], i == j, 1e-12);
    }
}

TEST(Orientation, ACentreUnderTheHorizonIsReportedOnceAndDrawn)
{
    struct Case { const char* elevation; float depth; int alerts; };
    const Case cases[] = {
        {"-5", 0, 1},
        {"-5", 1.1f, 0},        // everything under the horizon is drawn
        {"-0.5", 0.0349f, 0},   // within the two degrees drawn below it
        {"+5", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.elevation << " depth " << c.depth);
        TestRecords r;
        r.chartOptions.refractionOn = 0;
        r.chartOptions.underHorizonDepth = c.depth;
        r.set("EDIT12", "+180");
        r.set("EDIT13", c.elevation);
        EXPECT_TRUE(DRAWINGIMG(r));
        const auto alerts = r.alerts();
        ASSERT_EQ(int(alerts.size()), c.alerts);
        if (c.alerts) {
            EXPECT_EQ(alerts[0], "The Direction is under the Horizen.");
        }
    }
}

TEST(Orientation, TypedEquatorialCentresLandOnTheChartCentre)
{
    // A centre typed in any frame is where that direction is drawn.
    for (int frame : {1, 2, 3, 4, 5, 6, 7, 8}) {
        SCOPED_TRACE(frame);
        TestRecords r;
        r.chartOptions.refractionOn = 0;
        r.ui.control("COMBO6").setIndex(frame);
        r.set("EDIT12", "+101.0");
        r.set("EDIT13", frame < 5 ? "-16.7" : "-39.6");
        ASSERT_TRUE(DRAWINGIMG(r));
        const SkyFrames& sky = r.drawn.sky;
        const RotationMatrix* toBase[9] = {nullptr, &sky.trueEquatorToBase, &sky.trueEquatorToBase,
                                           &sky.meanEquatorToBase, &sky.icrfToBase, &sky.trueEclipticToBase,
                                           &sky.trueEclipticToBase, &sky.meanEclipticToBase,
                                           &sky.j2000EclipticToBase};
        const PointPipeline pipeline(r, {.horizonCut = false});
        DirectionVector w = rotate(*toBase[frame], catalogueVector(101.0, frame < 5 ? -16.7 : -39.6));
        if (frame % 4 == 1) {   // apparent frames carry the aberration as the catalogue points do
            for (int i = 0; i < 3; ++i)
                w[i] += sky.annualAberration[i];
            w[1] += sky.diurnalAberration[1];
        }
        const auto p = pipeline.place(w);
        ASSERT_TRUE(p);
        EXPECT_NEAR(p->x, 180, 0.01);
        EXPECT_NEAR(p->y, 180, 0.01);
    }
}

TEST(Orientation, AberrationIsTakenInTheFrameItIsAddedIn)
{
    // In every display frame of the map, the base-frame aberration is the ecliptic one turned
    // into the base frame; an apparent ecliptic centre typed over a true ecliptic display is
    // freed of the ecliptic aberration, so the centre plus that aberration is what was typed.
    for (int display = 0; display < 8; ++display) {
        SCOPED_TRACE(display);
        TestRecords r;
        r.chartView.chartMode = mapChartMode;
        r.ui.control("COMBO5").setIndex(display);
        r.ui.control("COMBO6").setIndex(5);
        r.set("EDIT12", "+60");
        r.set("EDIT13", "+20");
        ASSERT_TRUE(DRAWINGIMG(r));
        const SkyFrames& sky = r.drawn.sky;
        const DirectionVector expected = rotate(sky.trueEclipticToBase, sky.annualAberrationEcliptic);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(sky.annualAberration[i], expected[i], 1e-17);
        if (display % 4 == 0)
            continue;   // an apparent display keeps the typed apparent direction as it is
        const DirectionVector centre = rotateInverse(sky.trueEclipticToBase, {sky.baseToChart[2][0], sky.baseToChart[2][1], sky.baseToChart[2][2]});
        DirectionVector seen = centre;
        for (int i = 0; i < 3; ++i)
            seen[i] += sky.annualAberrationEcliptic[i];
        const double n = std::sqrt(seen[0] * seen[0] + seen[1] * seen[1] + seen[2] * seen[2]);
        const DirectionVector typed = catalogueVector(60, 20);
        for (int i = 0; i < 3; ++i)
            EXPECT_NEAR(seen[i] / n, typed[i], 1e-9);
    }
}

} // namespace
} // namespace nivora
