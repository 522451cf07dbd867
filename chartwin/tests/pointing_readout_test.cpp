#include "chartwin/pointing_readout.h"

#include <string>

#include <gtest/gtest.h>

#include "astro/numbertext.h"
#include "chartwin/pointing_commands.h"
#include "chartwin/tests/click_fixture.h"

namespace nivora {
namespace {

using testing_support::ClickFixture;

TEST(PointingHeight, FiguresOfEachLayout) {
    EXPECT_EQ(pointingHeight(ReadoutLayout::Nearest, false, true, false, 0), 155);
    EXPECT_EQ(pointingHeight(ReadoutLayout::Nearest, true, true, false, 3), 308);
    EXPECT_EQ(pointingHeight(ReadoutLayout::AllFrames, true, true, false, 0), 291);
    EXPECT_EQ(pointingHeight(ReadoutLayout::AllFrames, true, false, true, 0), 253);
    EXPECT_EQ(pointingHeight(ReadoutLayout::AllFrames, false, true, false, 0), 155);
    EXPECT_EQ(pointingHeight(ReadoutLayout::MeasureAngle, true, false, false, 0), 185);
    EXPECT_EQ(pointingHeight(ReadoutLayout::MeasureAngle, true, true, false, 0), 223);
}

TEST(CoordinateText, UnitsGiveTheirModes) {
    const double a = 1.0;
    struct Case {
        int unit;
        int lonMode, latMode;
    };
    const Case cases[] = {{1, 0, 2}, {2, 4, 3}, {3, 6, 3}, {4, 1, 2}, {5, 5, 3}};
    for (const Case& c : cases) {
        EXPECT_EQ(coordinateText(a, c.unit, true), DSPSEXA(a, float(c.lonMode), 1)) << c.unit;
        EXPECT_EQ(coordinateText(a, c.unit, false), DSPSEXA(a, float(c.latMode), 1)) << c.unit;
    }
}

// The readout of a made-up click on a chart whose frames are all the identity.
class Readout : public ClickFixture {
protected:
    void SetUp() override {
        ClickFixture::SetUp();
        SkyFrames& sky = p().drawn.sky;
        for (RotationMatrix* m : {&sky.trueEclipticToTrueEquator, &sky.trueEquatorToMeanEquator,
                                  &sky.meanEquatorToIcrf, &sky.icrfToMeanEquator, &sky.meanEquatorToTrueEquator})
            *m = identityMatrix();
        p().drawn.settings.drawnChartMode = skyChartMode;
        click.onChart = true;
        click.pointAzimuth = 1;
        click.pointElevation = 0.5;
        click.pointRa = click.pointRaIcrf = 2;
        click.pointDec = click.pointDecIcrf = 0.3;
        click.annualAberrationAngle = 1e-4;
    }
    std::vector<std::string> lines() {
        std::vector<std::string> out;
        const std::string text = pointingReadout(p(), click, nearest, false).text;
        std::size_t from = 0;
        for (std::size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1)
            out.push_back(text.substr(from, at - from));
        out.push_back(text.substr(from));
        return out;
    }
    ClickPoint click;
    NearestSearch nearest;
};

TEST_F(Readout, ElevationTakesABlankInThePlusMinusUnits) {
    for (int unit : {1, 2, 3, 4, 5}) {
        p().minuteOptions.azElUnit = std::uint8_t(unit);
        const std::string elv = lines()[2];
        EXPECT_EQ(elv, "Elv:" + std::string(unit > 3 ? " " : "") + coordinateText(0.5, unit, false)) << unit;
    }
}

// The refraction part stands after blanks that fill the constellation to 28 characters.
TEST_F(Readout, RefractionIsPaddedAfterTheConstellation) {
    p().drawn.settings.drawnRefraction = 1;
    click.refractionAngle = 1e-3;
    const std::string refraction = "   Refraction:" + DSPSEXA(1e-3, 9, 2) + ".";
    nearest.pointConstellation = "Lyr Lyrae";
    EXPECT_EQ(lines()[6], "Lyr Lyrae," + std::string(19, ' ') + refraction);
    nearest.pointConstellation = std::string(30, 'x');
    EXPECT_EQ(lines()[6], std::string(30, 'x') + "," + refraction);
    click.refractionAngle = 0;
    EXPECT_EQ(lines()[6], std::string(30, 'x') + ".");
}

TEST_F(Readout, AllFramesLayoutOnSkyAndMapCharts) {
    p().minuteOptions.sunDataFrame = 5;
    nearest.pointConstellation = "Lyr Lyra";
    const auto sky = lines();
    ASSERT_EQ(sky.size(), 15u);
    EXPECT_NE(sky[3].find("(Local-Eq)."), std::string::npos);
    EXPECT_NE(sky[4].find("(Grnwch-Eq)."), std::string::npos);
    EXPECT_TRUE(sky[12].ends_with("(J2000.0)"));
    EXPECT_EQ(sky[14], "Lyr Lyra.");
    EXPECT_EQ(pointingReadout(p(), click, nearest, false).height, 291);
    p().drawn.settings.drawnChartMode = mapChartMode;
    const auto map = lines();
    ASSERT_EQ(map.size(), 13u);
    EXPECT_TRUE(map[3].ends_with("(apparent)."));
    EXPECT_EQ(pointingReadout(p(), click, nearest, false).height, 253);
}

// Entries: a body in kilometres or astronomical units, stars without a name, data-file rows.
TEST_F(Readout, EntriesOfEverySource) {
    p().drawn.bodies.bodyPositions[0] = {1, 0, 0, 1.5e8, 0};
    p().drawn.bodies.bodyPositions[1] = {0, 1, 0, 384400.4, 0};
    const std::string unnamed = "Lyr0099   281.0000    37.0000    4.4  5.5  1.2  5.80";
    insertNearest(nearest.list, 9, 0.99999, "P0");
    insertNearest(nearest.list, 9, 0.99998, "P1");
    insertNearest(nearest.list, 9, 0.99997, "!" + unnamed);
    insertNearest(nearest.list, 9, 0.99996, " " + unnamed);
    const auto l = lines();
    ASSERT_EQ(l.size(), 7u + 12u);
    EXPECT_EQ(l[7], " 1)Sun");
    EXPECT_EQ(l[9], "Distance:" + DSPDCM(1.5e8 / astronomicalUnit, 2, 6, 1) + "AU, Radius:" +
                        DSPSEXA(std::asin(697113.375 / 1.5e8), 9, 1));
    EXPECT_EQ(l[10], " 2)Moon");
    EXPECT_TRUE(l[12].starts_with("Distance:384400.4km, Radius:")) << l[12];
    EXPECT_EQ(l[13], " 3)(a dark star)");
    EXPECT_EQ(l[16], " 4)(-----------)");
    EXPECT_EQ(pointingReadout(p(), click, nearest, false).height, 155 + 51 * 4);
}

TEST_F(Readout, DataFileRowsKeepTheirColumns) {
    OverlaySettings& s = nearest.overlay;
    s.frameClass = 2;
    s.longitude = {1, 6};
    s.latitude = {8, 5};
    s.searchFields[0] = {true, "Name", {14, 8}};
    s.searchFields[2] = {true, "Mag", {23, 4}};
    // A short name field padded to its full width keeps the fields after it in place.
    const std::string line = "123.45 -12.5 Moon";
    std::string text = "#" + paddedField(line, s.longitude) + paddedField(line, s.latitude);
    text += "Mag" + paddedField(line, s.searchFields[2].field) + "Name" + paddedField(line, s.searchFields[0].field);
    insertNearest(nearest.list, 9, 1, text);
    auto l = lines();
    ASSERT_EQ(l.size(), 10u);
    EXPECT_EQ(l[7], " 1)NameMoon    ");
    EXPECT_TRUE(l[8].starts_with("RA:123.45,Dec:-12.5(Dst:")) << l[8];
    EXPECT_EQ(l[9], ",Mag    ");
    s.searchFields[2].on = false;
    nearest.list.nearestTexts[0] = "#" + paddedField(line, s.longitude) + paddedField(line, s.latitude) + "Name" +
                                   paddedField(line, s.searchFields[0].field);
    l = lines();
    EXPECT_EQ(l[7], " 1)NameMoon    ");
    EXPECT_EQ(l[9], "-------");
}

class Commands : public ClickFixture {
protected:
    void SetUp() override {
        ClickFixture::SetUp();
        ui().control("EDIT1").setText("320");
        ui().control("EDIT75").setText("1");
        // As after a click on the chart.
        for (const char* name : {"BUTTON19", "BUTTON76", "BUTTON75", "EDIT105"})
            ui().control(name).setEnabled(true);
    }
    // Colour-9 pixels within 3 pixels of (x, y), and in the whole bitmap.
    int marksNear(double x, double y) {
        int n = 0;
        for (int i = -3; i <= 3; ++i)
            for (int j = -3; j <= 3; ++j)
                n += p().chartBitmap.pixel(int(std::lround(x)) + i, int(std::lround(y)) + j) == 9;
        return n;
    }
    int count(int colour) {
        int n = 0;
        for (int x = 0; x < p().chartBitmap.width(); ++x)
            for (int y = 0; y < p().chartBitmap.height(); ++y)
                n += p().chartBitmap.pixel(x, y) == colour;
        return n;
    }
    // Pixels of a colour within an area of the bitmap, and beyond it.
    struct Spread {
        int inside = 0, outside = 0;
    };
    Spread spread(int colour, const PixelArea& area) {
        Spread s;
        for (int x = 0; x < p().chartBitmap.width(); ++x)
            for (int y = 0; y < p().chartBitmap.height(); ++y)
                if (p().chartBitmap.pixel(x, y) == colour)
                    ++(area.contains(x, y) ? s.inside : s.outside);
        return s;
    }
    void pointAtChart(const DirectionVector& chart) {
        p().pointedPosition[0] = rotate(p().drawn.sky.chartToBase, chart);
        p().chartBitmap.clear(0);
    }
};

TEST(Centralize, RoundsDownToHundredths) {
    const double d = 1 / degreesPerRadian;
    EXPECT_EQ(centralizeFieldText(123.456 * d), " 123.45");
    EXPECT_EQ(centralizeFieldText(-12.341 * d), "-12.35");
    EXPECT_EQ(centralizeFieldText(0), " 0");
}

TEST_F(Commands, CentralizeWritesTheFrameOfTheCentreFields) {
    draw();
    p().pointedPosition[0] = unitVector(-100.004 / degreesPerRadian, 20.506 / degreesPerRadian);
    ui().control("COMBO6").setIndex(0);
    ui().form("FORM6").show();
    ui().userClick("BUTTON19");
    EXPECT_EQ(ui().control("EDIT12").text(), " 259.99");
    EXPECT_EQ(ui().control("EDIT13").text(), " 20.5");
    EXPECT_FALSE(ui().form("FORM6").visible());
    p().chartView.earthMap = 1;
    ui().userClick("BUTTON19");
    EXPECT_EQ(ui().control("EDIT12").text(), "-100.01");
}

// Dual-Box: the near side in the first box, the far side in the second, the dividing circle in
// both; outside the limits of the first box nothing.
TEST_F(Commands, XMarksThePointInItsBoxes) {
    ui().userClick("RADIO29");
    draw();
    const BoxCentres b = boxCentres(p().chartView, p().chartLayout, p().drawn.geometry.directionOffset);
    struct Case {
        const char* name;
        DirectionVector chart;
        bool first, second;
    };
    const double s = std::sqrt(0.5);
    const Case cases[] = {
        {"centre", {0, 0, 1}, true, false},
        {"far side", {0, 0, -1}, false, true},
        {"dividing circle", {s, s, 0}, true, true},
        {"just beyond it", {s, s, -0.001}, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pointAtChart(c.chart);
        double X, Y;
        DISPXY(c.chart[0], c.chart[1], std::fabs(c.chart[2]), 1, X, Y, p().userProjection);
        ui().userClick("BUTTON76");
        EXPECT_EQ(marksNear(b.x1 + X, b.y - Y) > 0, c.first);
        double X2, Y2;
        DISPXY(c.chart[0], -c.chart[1], -c.chart[2], 1, X2, Y2, p().userProjection);
        EXPECT_EQ(marksNear(b.x2 + X2, b.y - Y2) > 0, c.second);
    }
}

// Dual-Box at magnification 10: a cross near a box's edge is clipped to that box's area, so a
// cross of the far side never lands in the first box or the side strip, nor the first box's
// (whose limits reach 12 pixels past its area) in the second box.
TEST_F(Commands, XStaysInItsBox) {
    ui().control("EDIT75").setText("10");
    ui().userClick("RADIO29");
    draw();
    const BoxCentres b = boxCentres(p().chartView, p().chartLayout, p().drawn.geometry.directionOffset);
    struct Case {
        const char* name;
        int box;
        double X;        // pixels right of the box centre where the projection puts the point
        bool drawn;      // any of the cross left in its box
    };
    const Case cases[] = {
        {"far side, over the side strip", 1, 250, false},
        {"far side, over the first box", 1, -300, false},
        {"far side, across the second box's right edge", 1, 178, true},
        {"near side, over the second box", 0, 185, false},
        {"near side, within the first box", 0, 100, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DirectionVector u{};
        float ok = 0;
        INVDISP(u[0], u[1], u[2], 1, ok, c.X, 0, p().userProjection);
        ASSERT_EQ(ok, 1);
        pointAtChart(c.box == 0 ? u : DirectionVector{u[0], -u[1], -u[2]});
        ui().userClick("BUTTON76");
        const Spread cross = spread(9, boxArea(b, c.box));
        EXPECT_EQ(cross.outside, 0);
        EXPECT_EQ(cross.inside > 0, c.drawn);
    }
}

TEST_F(Commands, XOutsideTheLimitsDrawsNothing) {
    draw();
    ui().form("FORM6").show();
    pointAtChart({0, std::sqrt(0.75), -0.5});   // 120 degrees right: beyond the limits
    ui().userClick("BUTTON76");
    EXPECT_EQ(count(9), 0);
    EXPECT_FALSE(ui().form("FORM6").visible());
}

// After a change of the Projection menu without a new DRAW the mark stays where the chart
// drawn shows the point.
TEST_F(Commands, XUsesTheProjectionTheChartWasDrawnIn) {
    p().chartOptions.projectionKind = 11;
    draw();
    p().chartOptions.projectionKind = 3;
    const DirectionVector chart = unitVector(0.4, 0.3);
    const DirectionVector turned{chart[1], chart[2], chart[0]};   // 0.4 and 0.3 radians off centre
    pointAtChart(turned);
    ui().userClick("BUTTON76");
    const BoxCentres b = boxCentres(p().chartView, p().chartLayout, p().drawn.geometry.directionOffset);
    double X, Y;
    DISPXY(turned[0], turned[1], turned[2], 11, X, Y, p().userProjection);
    EXPECT_GT(marksNear(b.x1 + X, b.y - Y), 0);
    DISPXY(turned[0], turned[1], turned[2], 3, X, Y, p().userProjection);
    EXPECT_EQ(marksNear(b.x1 + X, b.y - Y), 0);
}

TEST_F(Commands, XWithoutAChartWindowAlerts) {
    ui().userClick("BUTTON76");
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], "Main Picture do not exist.");
}

// The comment goes to the clicked pixel in magenta (red on white) and empties its field.
TEST_F(Commands, CommentIsWrittenAtTheClickedPixel) {
    for (int white : {0, 1}) {
        SCOPED_TRACE(white);
        p().chartOptions.whiteBackground = std::uint8_t(white);
        draw();
        p().chartBitmap.clear(white * 15);
        p().clickPixel = {50, 60};
        ui().control("EDIT105").setText("Mira");
        ui().form("FORM6").show();
        ui().userClick("BUTTON75");
        const int colour = 11 - white;
        int inside = 0;
        for (int x = 0; x < p().chartBitmap.width(); ++x)
            for (int y = 0; y < p().chartBitmap.height(); ++y)
                if (p().chartBitmap.pixel(x, y) == colour) {
                    EXPECT_TRUE(x >= 50 && y >= 60 && x < 110 && y < 90) << x << ',' << y;
                    ++inside;
                }
        EXPECT_GT(inside, 10);
        EXPECT_EQ(ui().control("EDIT105").text(), "");
        EXPECT_FALSE(ui().form("FORM6").visible());
    }
}

// A long comment is clipped to the area of the box clicked: it never runs into the other box,
// the side strip or the rows below the chart.
TEST_F(Commands, CommentStaysInTheClickedBox) {
    struct Case {
        const char* layout;
        std::int16_t x, y;
        int box;
    };
    const Case cases[] = {
        {"RADIO27", 300, 100, 0},   // toward the side strip
        {"RADIO27", 40, 350, 0},    // on the chart's last rows
        {"RADIO29", 300, 100, 0},   // toward the second box
        {"RADIO29", 660, 100, 1},   // toward the side strip
        {"RADIO27", 400, 100, -1},  // a click of a Dual-Box chart, now in the side strip: nowhere
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layout << ' ' << c.x << ',' << c.y);
        ui().userClick(c.layout);
        draw();
        p().chartBitmap.clear(0);
        p().clickPixel = {c.x, c.y};
        ui().control("EDIT105").setText("A comment long enough to run on past its box");
        ui().userClick("BUTTON75");
        const BoxCentres b = boxCentres(p().chartView, p().chartLayout, p().drawn.geometry.directionOffset);
        const Spread comment = spread(11, c.box < 0 ? PixelArea{} : boxArea(b, c.box));
        EXPECT_EQ(comment.outside, 0);
        EXPECT_EQ(comment.inside > 10, c.box >= 0);
    }
}

} // namespace
} // namespace nivora
