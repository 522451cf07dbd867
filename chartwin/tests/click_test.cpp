#include "chartwin/click.h"

#include <cmath>
#include <filesystem>
#include <string>

#include <erfa.h>
#include <erfam.h>
#include <gtest/gtest.h>

#include "chartwin/tests/click_fixture.h"
#include "platform/tests/short_memory.h"
#include "render/bodymarks.h"

namespace nivora {
namespace {

using testing_support::ClickFixture;

class Click : public ClickFixture {};

// The angle one pixel spans at a point: the directions of its neighbour pixel.
double pixelAngle(const ChartWindowRecords& p, int x, int y) {
    PointedFrames a{}, b{};
    locateClick(p, x, y, a);
    locateClick(p, x + 1, y + 1, b);
    return angleBetween(a[4], b[4]);
}

// Clicking the pixel where the drawing puts a direction gives that direction back, in every
// projection and layout, refraction and diurnal aberration on, in both boxes of Dual-Box.
TEST_F(Click, ClickedPixelGivesBackTheDrawnDirection) {
    struct Layout {
        const char* name;
        const char* radio;
    };
    const Layout layouts[] = {{"normal", "RADIO27"}, {"half height", "RADIO28"}, {"Dual-Box", "RADIO29"}};
    ui().control("EDIT1").setText("320");
    ui().control("EDIT75").setText("1");
    setCentre(200, 50);
    p().chartOptions.refractionOn = 1;
    p().chartOptions.diurnalAberrationOn = 1;
    for (const Layout& layout : layouts) {
        ui().userClick(layout.radio);
        p().chartOptions.underHorizonDepth = layout.radio == std::string("RADIO29") ? 1.1f : 0.0f;
        for (int projection = 1; projection <= 15; ++projection) {
            SCOPED_TRACE(testing::Message() << layout.name << ", projection " << projection);
            p().chartOptions.projectionKind = std::uint8_t(projection);
            draw();
            const SkyFrames& sky = p().drawn.sky;
            int tried = 0;
            // Directions around the chart centre, and in Dual-Box the far hemisphere too.
            for (double off : {0.0, 12.0, 35.0, 150.0, 170.0}) {
                for (double turn : {0.0, 100.0, 230.0}) {
                    const double a = off / degreesPerRadian, t = turn / degreesPerRadian;
                    const DirectionVector chart{std::sin(a) * std::cos(t), std::sin(a) * std::sin(t), std::cos(a)};
                    const DirectionVector icrf = rotate(sky.baseToIcrf, rotate(sky.chartToBase, chart));
                    const auto pixel = pixelOf(icrf);
                    if (!pixel)
                        continue;
                    const int x = int(std::lround(pixel->x)), y = int(std::lround(pixel->y));
                    clickPixel(x, y);
                    ASSERT_TRUE(ui().form("FORM6").visible());
                    if (readout().find("Out of Star Map.") != std::string::npos)
                        continue;   // a rounded pixel just beyond a box's edge
                    ++tried;
                    const double error = angleBetween(p().pointedPosition[4], icrf);
                    EXPECT_LT(error, 1.5 * pixelAngle(p(), x, y)) << off << ' ' << turn;
                }
            }
            EXPECT_GE(tried, 5);
        }
    }
}

// A click the chart does not concern does nothing at all.
TEST_F(Click, ClicksOnTheInsetOrTheSideStripAreIgnored) {
    ui().control("EDIT1").setText("320");
    ui().control("EDIT75").setText("1");
    draw();
    p().clickPixel = {7, 8};
    struct Case {
        int ex, ey;
    };
    const Case cases[] = {{13, 100}, {100, 13}, {0, 0}, {14 + 360, 100}, {14 + 500, 50}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.ex << ',' << c.ey);
        ui().userClickForm("FORM2", c.ex, c.ey);
        EXPECT_FALSE(ui().form("FORM6").visible());
        EXPECT_EQ(p().clickPixel[0], 7);
        EXPECT_EQ(p().clickPixel[1], 8);
    }
    ui().userClickForm("FORM2", 14 + 359, 100);   // the last column of the chart
    EXPECT_TRUE(ui().form("FORM6").visible());
    EXPECT_EQ(p().clickPixel[0], 359);
}

// The bitmap reaches below the chart, down to the panel's lowest rows (578 rows at size 320):
// only a click within a box's own area, margins included, reads out a point; below the chart,
// in the side strip or below it nothing happens.
TEST_F(Click, OnlyAClickWithinABoxReadsOutAPoint) {
    struct Case {
        const char* layout;
        int x, y;
        bool read;
    };
    const Case cases[] = {
        {"RADIO27", 160, 359, true},    // the chart's last row
        {"RADIO27", 160, 360, false},   // the first row below it
        {"RADIO27", 160, 577, false},   // the bitmap's last row
        {"RADIO27", 359, 359, true},
        {"RADIO27", 400, 450, false},   // the side strip below the chart
        {"RADIO28", 160, 199, true},
        {"RADIO28", 160, 200, false},
        {"RADIO28", 359, 400, false},
        {"RADIO29", 160, 360, false},
        {"RADIO29", 540, 359, true},    // the second box's last row: off its circle, but its own
        {"RADIO29", 540, 360, false},
        {"RADIO29", 719, 500, false},
        {"RADIO29", 720, 100, false},   // the side strip
    };
    ui().control("EDIT1").setText("320");
    ui().control("EDIT75").setText("1");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.layout << ' ' << c.x << ',' << c.y);
        ui().userClick(c.layout);
        draw();
        ui().form("FORM6").hide();
        p().clickPixel = {7, 8};
        clickPixel(c.x, c.y);
        EXPECT_EQ(ui().form("FORM6").visible(), c.read);
        EXPECT_EQ(p().clickPixel[0], c.read ? c.x : 7);
        EXPECT_EQ(p().clickPixel[1], c.read ? c.y : 8);
    }
}

// In Dual-Box the second box's area begins at the column after the first box's margin: a click
// there reads the second box, as the drawing drew it, next to the click one column further on.
// At magnification 2 the hemisphere of projection 11 reaches past the boxes' edges.
TEST_F(Click, TheFirstColumnOfTheSecondBoxReadsTheSecondBox) {
    ui().control("EDIT1").setText("320");
    ui().control("EDIT75").setText("2");
    ui().userClick("RADIO29");
    p().chartOptions.projectionKind = 11;
    draw();
    const BoxCentres b = boxCentres(p().chartView, p().chartLayout, p().drawn.geometry.directionOffset);
    ASSERT_EQ(b.boxWidth, 360);
    PointedFrames edge{}, next{};
    ASSERT_TRUE(locateClick(p(), 360, int(b.y), edge).onChart);
    ASSERT_TRUE(locateClick(p(), 361, int(b.y), next).onChart);
    EXPECT_LT(angleBetween(edge[0], next[0]), 2 * pixelAngle(p(), 361, int(b.y)));
}

// With no chart drawn yet, before any DRAW or after a first one that could not read its series
// file, there is nothing to point at: a click does nothing, not even a readout of a point.
TEST_F(Click, AClickBeforeAnyChartIsDrawnIsIgnored) {
    ui().control("EDIT1").setText("320");
    p().clickPixel = {7, 8};
    const std::filesystem::path dataFolder = p().folder;
    struct Case {
        const char* what;
        bool failedDraw;
    };
    for (const Case& c : {Case{"no DRAW yet", false}, Case{"a first DRAW refused", true}}) {
        SCOPED_TRACE(c.what);
        if (c.failedDraw) {
            p().folder = dataFolder / "no such folder";
            draw();
            ASSERT_EQ(alerts().size(), 1u);
            EXPECT_TRUE(ui().form("FORM2").visible());
        }
        ui().userClickForm("FORM2", 14 + 160, 14 + 160);
        EXPECT_FALSE(ui().form("FORM6").visible());
        EXPECT_EQ(p().clickPixel[0], 7);
        EXPECT_EQ(p().clickPixel[1], 8);
    }
    p().folder = dataFolder;
    draw();
    ui().userClickForm("FORM2", 14 + 160, 14 + 160);
    EXPECT_TRUE(ui().form("FORM6").visible());
    EXPECT_EQ(p().clickPixel[0], 160);
}

// A DRAW at a size memory cannot hold has let the last chart's picture go: a click where it was
// finds nothing to point at.
TEST_F(Click, AClickAfterABitmapThatCouldNotBeMadeIsIgnored) {
    if (!addressSpaceLimitWorks)
        GTEST_SKIP() << "the sanitizer reserves address space of its own";
    ui().control("EDIT1").setText("320");
    draw();
    ui().control("EDIT1").setText("9999");
    {
        const ShortMemory limit(64 << 20);
        draw();
    }
    ASSERT_EQ(alerts().size(), 1u);
    p().clickPixel = {7, 8};
    clickPixel(160, 160);
    EXPECT_FALSE(ui().form("FORM6").visible());
    EXPECT_EQ(p().clickPixel[0], 7);
    EXPECT_EQ(p().clickPixel[1], 8);
}

// Dual-Box with an azimuthal projection: just outside either box's circle is off the chart, and
// the commands on the point are disabled.
TEST_F(Click, OffTheChartDisablesThePointCommands) {
    ui().control("EDIT1").setText("320");
    ui().control("EDIT75").setText("1");
    ui().userClick("RADIO29");
    draw();
    const BoxCentres b = boxCentres(p().chartView, p().chartLayout, p().drawn.geometry.directionOffset);
    for (double cx : {b.x1, b.x2}) {
        SCOPED_TRACE(cx);
        clickPixel(cx + 158, b.y);
        EXPECT_TRUE(ui().control("BUTTON19").enabled());
        EXPECT_TRUE(ui().control("BUTTON76").enabled());
        clickPixel(cx + 163, b.y);
        EXPECT_EQ(readout(), "(x,y)=(" + std::string(cx == b.x1 ? "  343" : "  703") + ",  180)\nOut of Star Map.\n");
        EXPECT_FALSE(ui().control("BUTTON19").enabled());
        EXPECT_FALSE(ui().control("BUTTON76").enabled());
        EXPECT_TRUE(ui().control("BUTTON75").enabled());
        EXPECT_TRUE(ui().control("EDIT105").enabled());
    }
}

// Stars of the bright list clicked at size 1000 and magnification 4 (about 0.045 degrees a
// pixel), the chart turned toward each: the point is the star's place moved by its proper
// motion, within a pixel, and the star stands first among the nearest objects.
TEST_F(Click, ClickedStarIsListedFirstAtItsCataloguePlace) {
    struct Star {
        const char* name;
        double ra, dec, pmRa, pmDec;   // degrees; mas a year, the first times cos(dec)
    };
    const Star stars[] = {
        {"Vega", 279.2347, 38.7837, 200.9, 286.2},
        {"Altair", 297.6945, 8.8683, 536.8, 385.6},
        {"Deneb", 310.3580, 45.2803, 2.0, 1.9},
        {"Arcturus", 213.9153, 19.1824, -1093.4, -2000.1},
    };
    for (const Star& s : stars) {
        SCOPED_TRACE(s.name);
        // ERFA's place of the star at the chart's date, proper motion only.
        const double T = 0.2665;   // about 2026.65 - 2000
        double ra = s.ra * ERFA_DD2R, dec = s.dec * ERFA_DD2R;
        const double years = T * 100;
        dec += s.pmDec / 3.6e6 * ERFA_DD2R * years;
        ra += s.pmRa / std::cos(s.dec * ERFA_DD2R) / 3.6e6 * ERFA_DD2R * years;
        const DirectionVector moved = unitVector(ra, dec);
        drawToward(moved);
        const auto pixel = pixelOf(moved);
        ASSERT_TRUE(pixel);
        clickPixel(pixel->x, pixel->y);
        const double pixelSize = 0.045 / degreesPerRadian;
        EXPECT_LT(angleBetween(p().pointedPosition[4], moved), 1.0 * pixelSize);
        const std::string text = readout();
        const auto first = text.find("\n 1)");
        ASSERT_NE(first, std::string::npos) << text;
        EXPECT_NE(text.substr(first, text.find('\n', first + 1) - first).find(s.name), std::string::npos) << text;
    }
}

// The frames of a clicked point against ERFA: from the ICRF place, the mean and true equator
// of date (IAU 2006/2000A), the apparent place (annual aberration by the Earth's velocity), the
// mean ecliptic of date and of J2000.0, and the true ecliptic.
TEST_F(Click, FramesAgreeWithErfa) {
    draw();
    const DirectionVector target = unitVector(250 / degreesPerRadian, 20 / degreesPerRadian);
    drawToward(target);
    const auto pixel = pixelOf(target);
    ASSERT_TRUE(pixel);
    clickPixel(pixel->x + 3, pixel->y - 2);
    const PointedFrames& f = p().pointedPosition;

    const double T = p().drawn.sky.julianCenturies;
    const double tt1 = 2451545.0, tt2 = T * 36525;
    double icrf[3] = {f[4][0], f[4][1], f[4][2]};
    double m[3][3], v[3];
    const auto expectNear = [](const double* v, const DirectionVector& got, const char* what) {
        const DirectionVector e{v[0], v[1], v[2]};
        EXPECT_LT(angleBetween(e, got) * degreesPerRadian * 3600, 0.3) << what;
    };
    eraPmat06(tt1, tt2, m);
    eraRxp(m, icrf, v);
    expectNear(v, f[3], "mean equator");
    double npb[3][3];
    eraPnm06a(tt1, tt2, npb);
    double trueEq[3];
    eraRxp(npb, icrf, trueEq);
    expectNear(trueEq, f[2], "true equator");
    double pvh[2][3], pvb[2][3];
    eraEpv00(tt1, tt2, pvh, pvb);
    double vel[3], v2 = 0;
    for (int i = 0; i < 3; ++i) {
        vel[i] = pvb[1][i] * ERFA_AULT / ERFA_DAYSEC;
        v2 += vel[i] * vel[i];
    }
    double velTrue[3], apparent[3];
    eraRxp(npb, vel, velTrue);
    eraAb(trueEq, velTrue, std::sqrt(eraPdp(pvh[0], pvh[0])), std::sqrt(1 - v2), apparent);
    // The drawing's own aberration model leaves out the small relativistic terms.
    EXPECT_LT(angleBetween({apparent[0], apparent[1], apparent[2]}, f[1]) * degreesPerRadian * 3600, 1.0);
    eraEcm06(tt1, tt2, m);
    eraRxp(m, icrf, v);
    expectNear(v, f[7], "mean ecliptic");
    eraEcm06(tt1, 0, m);
    eraRxp(m, icrf, v);
    expectNear(v, f[8], "J2000 ecliptic");
    double dpsi, deps;
    eraNut06a(tt1, tt2, &dpsi, &deps);
    const double eps = eraObl06(tt1, tt2) + deps;
    double r1[3][3];
    eraIr(r1);
    eraRx(eps, r1);
    eraRxp(r1, trueEq, v);
    expectNear(v, f[6], "true ecliptic");
}

// Measure Angle between two clicked stars agrees with ERFA's separation within the pixels.
TEST_F(Click, MeasureAngleBetweenTwoStars) {
    ui().control("EDIT75").setText("1");
    p().chartOptions.projectionKind = 8;   // a hemisphere: the bitmap's corners lie off it
    const DirectionVector vega = unitVector(279.2347 / degreesPerRadian, 38.7837 / degreesPerRadian);
    const DirectionVector altair = unitVector(297.6945 / degreesPerRadian, 8.8683 / degreesPerRadian);
    drawToward(vega);
    const auto a = pixelOf(vega), b = pixelOf(altair);
    ASSERT_TRUE(a && b);
    clickPixel(a->x, a->y);
    ui().userClick("CHECK13");
    ASSERT_EQ(ui().control("CHECK13").value(), 1);
    clickPixel(b->x, b->y);
    EXPECT_EQ(ui().control("CHECK13").value(), 0);
    const double separation = eraSeps(279.2347 * ERFA_DD2R, 38.7837 * ERFA_DD2R, 297.6945 * ERFA_DD2R,
                                      8.8683 * ERFA_DD2R);
    const double measured = angleBetween(p().pointedPosition[4], p().previousPosition[4]);
    // Two clicks, each within a pixel (0.18 degrees at size 1000, magnification 1), plus the
    // stars' proper motion since 2000.
    EXPECT_NEAR(measured, separation, 0.5 / degreesPerRadian);
    const std::string text = readout();
    EXPECT_NE(text.find("the Angle from the previous point.\n"), std::string::npos) << text;
    EXPECT_NE(text.find("(with Refraction or Aberration)\n"), std::string::npos) << text;

    // Ticked again and clicked off the chart: the previous point becomes the current one.
    ui().userClick("CHECK13");
    clickPixel(2, 2);
    const std::string off = readout();
    EXPECT_NE(off.find("Out of Star Map.\nthe Angle from the previous point.\n"), std::string::npos) << off;
    EXPECT_EQ(angleBetween(p().pointedPosition[4], p().previousPosition[4]), 0.0);
}

// A printed angle ("247dg30am12.7as", "+29dg43am33.0as", "10h14m09.44s", "+247.12345") in
// degrees, and the size in degrees of a unit of its last printed digit.
struct PrintedAngle {
    double degrees = 0, lastDigit = 0;
};
PrintedAngle parsePrinted(const std::string& text) {
    PrintedAngle a;
    std::size_t i = text.find_first_not_of(' ');
    double sign = 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        sign = text[i++] == '-' ? -1 : 1;
    while (i < text.size()) {
        i = text.find_first_not_of(' ', i);
        const std::size_t end = text.find_first_not_of("0123456789.", i);
        const std::string number = text.substr(i, end - i);
        const std::size_t point = number.find('.');
        const int decimals = point == std::string::npos ? 0 : int(number.size() - point - 1);
        const std::string unit = end == std::string::npos ? "" : text.substr(end, text.find_first_of("0123456789 ", end) - end);
        const double scale = unit == "dg" ? 1 : unit == "am" ? 1 / 60.0 : unit == "as" ? 1 / 3600.0 :
                             unit == "h"  ? 15 : unit == "m" ? 15 / 60.0 : unit == "s" ? 15 / 3600.0 : 1;
        a.degrees += std::stod(number) * scale;
        a.lastDigit = std::pow(10.0, -decimals) * scale;
        i = end == std::string::npos ? end : end + unit.size();
    }
    a.degrees *= sign;
    return a;
}

// The text of the readout line that starts with `start`, from after it up to `stop`.
std::string printedField(const std::string& text, const std::string& start, const std::string& stop) {
    const std::size_t from = text.find(start);
    EXPECT_NE(from, std::string::npos) << start << " in\n" << text;
    if (from == std::string::npos)
        return "0";
    const std::size_t begin = from + start.size();
    return text.substr(begin, text.find_first_of(stop, begin) - begin);
}

double degreesApart(double a, double b) {
    return std::remainder(a - b, 360.0);
}

// The printed horizon lines of clicked points, on a chart drawn without refraction, against
// ERFA's observed place of the printed ICRF place (no air, UT1 = UTC, no polar motion; azimuth
// through west); and the printed ICRF line against the place clicked. In every unit.
TEST_F(Click, PrintedHorizonAndIcrfLinesAgreeWithErfa) {
    p().chartOptions.refractionOn = 0;
    const double targets[][2] = {{250, 20}, {279.2347, 38.7837}, {30, 70}, {320, -10}};
    for (int unit = 1; unit <= 5; ++unit) {
        p().minuteOptions.azElUnit = std::uint8_t(unit);
        p().minuteOptions.raDecUnit = std::uint8_t(unit);
        for (const auto& t : targets) {
            SCOPED_TRACE(testing::Message() << "unit " << unit << ", RA " << t[0] << ", Dec " << t[1]);
            const DirectionVector target = unitVector(t[0] / degreesPerRadian, t[1] / degreesPerRadian);
            drawToward(target);
            const auto pixel = pixelOf(target);
            ASSERT_TRUE(pixel);
            clickPixel(pixel->x, pixel->y);
            const std::string text = readout();

            const std::size_t icrfEnd = text.find("(ICRF).\n");
            ASSERT_NE(icrfEnd, std::string::npos) << text;
            const std::string icrfLine = text.substr(text.rfind('\n', icrfEnd) + 1);
            const PrintedAngle ra = parsePrinted(printedField(icrfLine, "RA:", ","));
            const PrintedAngle dec = parsePrinted(printedField(icrfLine, ",Dec:", "("));
            // The place clicked: the pixel's centre is within a pixel (about 0.045 degrees) of it.
            const DirectionVector printed = unitVector(ra.degrees / degreesPerRadian, dec.degrees / degreesPerRadian);
            EXPECT_LT(angleBetween(printed, target) * degreesPerRadian, 0.045) << text;
            // And the point the click found, to the printed digits.
            double pointRa, pointDec;
            eraC2s(p().pointedPosition[4].data(), &pointRa, &pointDec);
            EXPECT_LE(std::abs(degreesApart(ra.degrees, pointRa * degreesPerRadian)), 2 * ra.lastDigit) << text;
            EXPECT_LE(std::abs(dec.degrees - pointDec * degreesPerRadian), 2 * dec.lastDigit) << text;

            double aob, zob, hob, dob, rob, eo;
            ASSERT_EQ(eraAtco13(ra.degrees * ERFA_DD2R, dec.degrees * ERFA_DD2R, 0, 0, 0, 0, 2400000.5,
                                61280 + 13 / 24.0, 0, 139.6917 * ERFA_DD2R, 35.6895 * ERFA_DD2R, 40, 0, 0, 0,
                                0, 0, 0.55, &aob, &zob, &hob, &dob, &rob, &eo),
                      0);
            const PrintedAngle az = parsePrinted(printedField(text, "Azm:", "\n"));
            const PrintedAngle el = parsePrinted(printedField(text, "Elv:", "\n"));
            EXPECT_LE(std::abs(degreesApart(az.degrees, 360 - aob * degreesPerRadian)), 2 * az.lastDigit)
                << az.degrees << " vs " << 360 - aob * degreesPerRadian << '\n' << text;
            EXPECT_LE(std::abs(el.degrees - (90 - zob * degreesPerRadian)), 2 * el.lastDigit)
                << el.degrees << " vs " << 90 - zob * degreesPerRadian << '\n' << text;
        }
    }
}

// The Moon clicked at its centre, on the sky chart turned toward it with refraction and diurnal
// aberration on: the click's "(ICRF)" line is the location readout's Moon "(no abbr.)" in the
// ICRF, seen from the place, to the printed digits. Both take the annual aberration out of the
// Moon's apparent place, which is its light-time place.
TEST_F(Click, ClickedMoonsIcrfLineIsTheReadoutsMoonWithoutAberration) {
    ReadoutOptions& location = p().readoutOptions;
    location.readoutBody = moonBody;
    location.readoutFrame = 4;
    location.readoutCorrection = 1;
    location.readoutParallax = 1;
    p().minuteOptions.commentUnit = 1;
    p().minuteOptions.raDecUnit = 1;
    draw();
    const DirectionVector moon = apparentBody(p(), moonBody).apparent;
    double az, el, r;
    ZENITH(moon[0], moon[1], moon[2], az, el, r);
    ASSERT_GT(el, 0.2);
    char text[40];
    std::snprintf(text, sizeof text, "%.10f", az * degreesPerRadian + (az < 0 ? 360 : 0));
    ui().control("EDIT12").setText(text);
    std::snprintf(text, sizeof text, "%.10f", el * degreesPerRadian);
    ui().control("EDIT13").setText(text);
    draw();
    // The same drawing once more over the bitmap DRAW made, its texts taken down.
    std::vector<DrawnText> texts;
    p().chartBitmap.recordTexts(&texts);
    ASSERT_TRUE(DRAWINGIMG(p()));
    const BoxCentres b = boxCentres(p().chartView, p().chartLayout, p().drawn.geometry.directionOffset);
    clickPixel(b.x1, b.y);
    p().chartBitmap.recordTexts(nullptr);

    auto row = [&](float y) {
        std::string found;
        for (const DrawnText& t : texts)
            if (t.y == y && t.x >= float(b.panelLeft))
                found = t.text;
        return found;
    };
    ASSERT_EQ(row(288), "Location of Moon");
    const std::string raRow = row(306), decRow = row(324);
    ASSERT_TRUE(raRow.ends_with("(no abbr.)")) << raRow;
    ASSERT_TRUE(decRow.ends_with("(J2000.0)")) << decRow;
    const PrintedAngle readRa = parsePrinted(printedField(raRow, " R.A:", "("));
    const PrintedAngle readDec = parsePrinted(printedField(decRow, " Dec:", "("));

    const std::string clicked = readout();
    const std::size_t icrfEnd = clicked.find("(ICRF).\n");
    ASSERT_NE(icrfEnd, std::string::npos) << clicked;
    const std::string icrfLine = clicked.substr(clicked.rfind('\n', icrfEnd) + 1);
    const PrintedAngle clickRa = parsePrinted(printedField(icrfLine, "RA:", ","));
    const PrintedAngle clickDec = parsePrinted(printedField(icrfLine, ",Dec:", "("));
    const double arcSecond = 1.0 / 3600;
    ASSERT_LE(readRa.lastDigit, 0.05 * arcSecond);
    ASSERT_LE(clickRa.lastDigit, 0.05 * arcSecond);
    const double c = std::cos(readDec.degrees / degreesPerRadian);
    EXPECT_NEAR(degreesApart(clickRa.degrees, readRa.degrees) * c, 0, 0.2 * arcSecond) << icrfLine << '\n' << raRow;
    EXPECT_NEAR(clickDec.degrees - readDec.degrees, 0, 0.2 * arcSecond) << icrfLine << '\n' << decRow;
}

TEST(ClickAngles, AnglesFromCosinesHaveValuesEverywhere) {
    EXPECT_EQ(angleOfCosine(1.0000000000000002), 0);
    EXPECT_NEAR(angleOfCosine(0), pi / 2, 1e-12);
    EXPECT_NEAR(angleOfCosine(-1.0000000000000002), pi, 1e-12);
    EXPECT_EQ(angleBetween({0, 0, 1}, {0, 0, 1}), 0);
    EXPECT_NEAR(angleBetween({0, 0, 1}, {0, 1, 0}), pi / 2, 1e-12);
}

TEST(ClickRadius, SearchRadiusBelowOneDegree) {
    struct Case {
        const char* text;
        double degrees;
    };
    const Case cases[] = {{"0.5", 0.5}, {"0.9999", 0.9999}, {"0", 0.99999f}, {"-1", 0.99999f},
                          {"1", 0.99999f}, {"2", 0.99999f}, {"abc", 0.99999f}, {" .25deg", 0.25}};
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(searchCosineOf(c.text), std::cos(c.degrees / degreesPerRadian)) << c.text;
}

} // namespace
} // namespace nivora

namespace nivora {
namespace {

// "Centralize" then DRAW: the chart is centred on the clicked point, in the horizon frame and
// in an equatorial one, to the hundredth of a degree the fields keep.
TEST_F(Click, CentralizeThenDrawCentresTheClickedPoint) {
    ui().control("EDIT1").setText("320");
    ui().control("EDIT75").setText("1");
    for (int frame : {0, 4}) {
        SCOPED_TRACE(frame);
        setCentre(200, 50);
        ui().control("COMBO6").setIndex(frame);
        draw();
        clickPixel(230, 120);
        const DirectionVector clicked = p().pointedPosition[4];
        ui().userClick("BUTTON19");
        draw();
        const BoxCentres b = boxCentres(p().chartView, p().chartLayout, p().drawn.geometry.directionOffset);
        clickPixel(b.x1, b.y);
        // One pixel is about 0.56 degrees here.
        EXPECT_LT(angleBetween(p().pointedPosition[4], clicked) * degreesPerRadian, 0.6);
    }
}

} // namespace
} // namespace nivora
