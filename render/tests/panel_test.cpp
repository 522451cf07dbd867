#include "render/panel.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "astro/constants.h"
#include "astro/numbertext.h"
#include "render/tests/sky_chart.h"

namespace nivora {
namespace {

using testing_support::number;
using testing_support::Place;
using testing_support::SkyChart;

constexpr int defaultColour = ChartBitmap::currentColour;

struct Expected {
    float dx;   // from the panel's left edge
    float y;
    int colour;
    std::string text;
};

void expectTexts(const SkyChart& chart, const std::vector<Expected>& expected)
{
    const float left = panelLeftOf(chart);
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.text);
        bool found = false;
        for (const DrawnText& t : chart.texts)
            if (t.y == e.y && t.x == left + e.dx && t.text == e.text) {
                found = true;
                EXPECT_EQ(t.colour, e.colour);
            }
        EXPECT_TRUE(found) << "row " << e.y << ": " << chart.rowText(e.y);
    }
}

// One date and place for the panel, in sky mode and on a map.
const Place tokyo2008 = {"Tokyo", -135.5, 35, 12.349, 2008, 12, 31, 23 + 59.0 / 60};

TEST(InformationPanel, SkyModeRowsAndLegends)
{
    SkyChart chart(tokyo2008);
    chart.set("EDIT10", "23");
    chart.set("EDIT11", "59");
    chart.set("EDIT19", "Meteors over the summit of Mount Takao, a clear night");
    chart.chartOptions.zenithGridStep = 0;
    chart.chartOptions.equatorGridStep = 0;
    chart.chartOptions.eclipticGridStep = 1;
    chart.chartOptions.earthGridMinutes = 0;
    chart.chartOptions.moonLineMode = 1;
    ASSERT_TRUE(chart.draw());
    std::string first, rest;
    CMTCUT("Meteors over the summit of Mount Takao, a clear night", first, rest, 30);
    ASSERT_FALSE(rest.empty());
    const float r = 3;   // 5 sqrt(0.32) rounded
    expectTexts(chart, {
        {0, 0, defaultColour, "Longitude:W" + DSPDCM(135.5, 3, 4, 1) + "deg,"},
        {0, 18, defaultColour, " Latitude:N" + DSPDCM(35, 2, 4, 1) + "deg,"},
        {0, 36, defaultColour, " Altitude:+12.34meter,"},
        {0, 54, defaultColour, "DATE:AD2008/Dec/31st,23h59m."},
        {0, 72, defaultColour, first},
        {0, 90, defaultColour, rest},
        {2 + 2 * r, 108, defaultColour, ":Az:" + DSPDCM(180, 4, 3, 0) + "dg,EL:" + DSPDCM(90, 3, 3, 0) + "dg."},
        {0, 126, 14, "Moon route(app.)"},
        {0, 144, 13, "Ecliptic(Apparent)"},
        {0, 162, 11, "the Horizon"},
        {0, 180, defaultColour, "Azimuthal Equidistance Prj."},
    });
    EXPECT_TRUE(chart.row(198).empty());
    // The direction point: a cross of half size r on the chart centre and in the legend.
    const BoxCentres boxes = boxCentres(chart.chartView, chart.chartLayout, 0);
    for (const int k : {-3, 0, 3}) {
        EXPECT_EQ(chart.chartBitmap.pixel(int(boxes.x1) + k, int(boxes.y) + k), 11);
        EXPECT_EQ(chart.chartBitmap.pixel(int(boxes.x1) + k, int(boxes.y) - k), 11);
    }
    const int left = int(panelLeftOf(chart));
    EXPECT_EQ(chart.chartBitmap.pixel(left + 2, 114), 11);
    EXPECT_EQ(chart.chartBitmap.pixel(left + 8, 120), 11);
}

TEST(InformationPanel, MapModeRows)
{
    SkyChart chart(tokyo2008);
    chart.chartView.chartMode = mapChartMode;
    chart.ui.control("COMBO5").setIndex(5);   // true ecliptic
    chart.ui.control("COMBO6").setIndex(3);   // mean equatorial
    chart.set("EDIT10", "7");
    chart.set("EDIT11", "5");
    chart.set("EDIT9", "22");
    chart.chartOptions.zenithGridStep = 1;
    chart.chartOptions.equatorGridStep = 30;
    chart.chartOptions.equatorGridEquinox = 4;
    chart.chartOptions.eclipticGridStep = 0;
    chart.chartOptions.earthGridMinutes = 300;
    chart.chartOptions.moonLineMode = 3;
    ASSERT_TRUE(chart.draw());
    expectTexts(chart, {
        {0, 0, defaultColour, "Lng.of Pole:W" + DSPDCM(-135.5, 3, 4, 1) + "deg,"},
        {0, 18, defaultColour, "Lat.of Pole:N" + DSPDCM(35, 2, 4, 1) + "deg,"},
        {0, 36, defaultColour, "Star Map Mode(True Eclp)."},
        {0, 54, defaultColour, "Epoch:AD2008/Dec/22nd,7h5m."},
        {160, 126, defaultColour, "    (Mean)"},
        {0, 144, 3, "Zenithal-Equator"},
        {0, 162, 5, "Equatorial:30deg(J2000.0)"},
        {0, 180, 11, "Lng. and Lat. of Earth:5deg"},
        {0, 198, defaultColour, "Azimuthal Equidistance Prj."},
    });
    EXPECT_EQ(chart.row(126).size(), 1u);   // no Moon-route legend for mode 3
}

TEST(InformationPanel, DateTexts)
{
    struct Case {
        float year;
        int month;
        float day, hour, minute;
        const char* text;
    };
    const Case cases[] = {
        {2008, 11, 31, 23, 59, "2008/Dec/31st,23h59m."},
        {2024, 0, 1, 0, 0, "2024/Jan/1st,0h0m."},
        {2024, 1, 2, 5, 7, "2024/Feb/2nd,5h7m."},
        {2024, 2, 3, 12, 30, "2024/Mar/3rd,12h30m."},
        {2024, 3, 11, 1, 1, "2024/Apr/11th,1h1m."},
        {2024, 4, 12, 1, 1, "2024/May/12th,1h1m."},
        {2024, 5, 13, 1, 1, "2024/Jun/13th,1h1m."},
        {2024, 6, 21, 1, 1, "2024/Jul/21st,1h1m."},
        {2024, 7, 22, 1, 1, "2024/Aug/22nd,1h1m."},
        {2024, 8, 23, 1, 1, "2024/Sep/23rd,1h1m."},
        {2024, 9, 24, 1, 1, "2024/Oct/24th,1h1m."},
        {-500, 2, 15, 6, 0, "-500/Mar/15th,6h0m."},   // the minus sign stays
    };
    for (const Case& c : cases)
        EXPECT_EQ(panelDateTime(c.year, c.month, c.day, c.hour, c.minute), c.text);
}

TEST(InformationPanel, AltitudeAndLongitudeSigns)
{
    struct Case {
        const char* longitude;
        const char* altitude;
        std::string row0, row36;
    };
    const Case cases[] = {
        {"0", "0", "Longitude:E" + DSPDCM(0, 3, 4, 1) + "deg,", " Altitude:+0meter,"},
        {"+139.5", "-12.5", "Longitude:E" + DSPDCM(139.5, 3, 4, 1) + "deg,", " Altitude:-12.5meter,"},
        // Centimetres overflow single precision from 1e37 m on: the altitude drawn is shown.
        {"0", "1e36", "Longitude:E" + DSPDCM(0, 3, 4, 1) + "deg,", " Altitude:+1E+36meter,"},
        {"0", "1e37", "Longitude:E" + DSPDCM(0, 3, 4, 1) + "deg,", " Altitude:+1E+37meter,"},
        {"0", "-2.5e38", "Longitude:E" + DSPDCM(0, 3, 4, 1) + "deg,", " Altitude:-2.5E+38meter,"},
        {"0", "3.4e38", "Longitude:E" + DSPDCM(0, 3, 4, 1) + "deg,", " Altitude:+3.4E+38meter,"},
    };
    for (const Case& c : cases) {
        SkyChart chart(tokyo2008);
        chart.set("EDIT2", c.longitude);
        chart.set("EDIT43", c.altitude);
        ASSERT_TRUE(chart.draw());
        EXPECT_EQ(chart.rowText(0), c.row0);
        EXPECT_EQ(chart.rowText(36), c.row36);
    }
}

TEST(InformationPanel, PoleDataBlockMovesUpWithTheBlocksAboveIt)
{
    struct Case {
        int chartMode, readoutFrame, readoutBody, orbitMode, starSwitch;
        int row;
    };
    const Case cases[] = {
        {2, 2, 0, 0, 1, 432},  {2, 2, 0, 0, 0, 396},   // neither star nor orbit object: 36 up
        {2, 100, 0, 0, 1, 324}, {2, 100, 0, 0, 0, 288}, // no location rows: 108 up
        {3, 2, 0, 0, 1, 270},  {3, 2, 0, 0, 0, 234},
        {2, 2, 20, 1, 0, 324},                           // the added star read out but switched off
        {2, 2, 30, 0, 1, 324},                           // the orbit object read out but not shown
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.chartMode << " " << c.readoutFrame << " " << c.readoutBody);
        SkyChart chart(tokyo2008);
        using K = ControlKind;
        chart.ui.load({"FORM9", "Adding A Star", {{.kind = K::Check, .name = "CHECK1", .value = c.starSwitch}}});
        chart.chartView.chartMode = std::uint8_t(c.chartMode);
        chart.readoutOptions.readoutFrame = std::uint8_t(c.readoutFrame);
        chart.readoutOptions.readoutBody = std::uint8_t(c.readoutBody);
        chart.chartOptions.orbitObjectDisplayMode = std::uint8_t(c.orbitMode);
        chart.readoutOptions.poleDataReadout = 100;
        ASSERT_TRUE(chart.draw());
        EXPECT_EQ(chart.rowText(float(c.row)), "Nutation data");
    }
}

// The degrees at the start of a text after its prefix ("Mean Greenwich: 70.7316deg").
double degreesAfter(const std::string& text, const std::string& prefix)
{
    EXPECT_EQ(text.substr(0, prefix.size()), prefix);
    return std::stod(text.substr(prefix.size()));
}

double wrapDegrees(double d) { return d - 360 * std::round(d / 360); }

TEST(InformationPanel, PoleDataAgainstErfa)
{
    const Place place = {"Tokyo", 139.7, 35.7, 0, 2024, 5, 10, 13.25};
    SkyChart chart(place);
    chart.minuteOptions.commentUnit = 1;
    // Sidereal time.
    chart.readoutOptions.poleDataReadout = 102;
    ASSERT_TRUE(chart.draw());
    const auto o = chart.observer(place);
    const int y0 = poleDataRow(chart, DrawingWork{});
    EXPECT_EQ(chart.rowText(float(y0)), "Sidereal Time");
    const double gmst = eraGmst06(o.ut1, 0, o.tt, 0) * degreesPerRadian;
    const double gast = eraGst06a(o.ut1, 0, o.tt, 0) * degreesPerRadian;
    const double ee = eraEe06a(o.tt, 0) * degreesPerRadian;
    EXPECT_NEAR(wrapDegrees(degreesAfter(chart.rowText(float(y0 + 18)), "Mean Greenwich:") - gmst), 0, 0.0005);
    EXPECT_NEAR(wrapDegrees(degreesAfter(chart.rowText(float(y0 + 36)), "True Greenwich:") - gast), 0, 0.0005);
    EXPECT_NEAR(degreesAfter(chart.rowText(float(y0 + 54)), "Equation of Eqnx.:"), ee, 0.00001);
    EXPECT_NEAR(wrapDegrees(degreesAfter(chart.rowText(float(y0 + 72)), "    Mean Local:") - gmst - 139.7), 0, 0.0005);
    EXPECT_NEAR(wrapDegrees(degreesAfter(chart.rowText(float(y0 + 90)), "    True Local:") - gast - 139.7), 0, 0.0005);

    // Nutation and the obliquity.
    chart.readoutOptions.poleDataReadout = 100;
    ASSERT_TRUE(chart.draw());
    double dpsi, deps;
    eraNut06a(o.tt, 0, &dpsi, &deps);
    EXPECT_NEAR(degreesAfter(chart.rowText(float(y0 + 18)), " dLNG:"), dpsi * degreesPerRadian, 0.0001);
    EXPECT_NEAR(degreesAfter(chart.rowText(float(y0 + 36)), " dLAT:"), deps * degreesPerRadian, 0.0001);
    const double meanObliquity = eraObl06(o.tt, 0) * degreesPerRadian;
    EXPECT_NEAR(degreesAfter(chart.rowText(float(y0 + 72)), " true AXIS:"), meanObliquity + deps * degreesPerRadian, 0.0001);
    EXPECT_NEAR(degreesAfter(chart.rowText(float(y0 + 90)), " mean AXIS:"), meanObliquity, 0.0001);

    // A pole and an equinox of one frame seen in another.
    double rn[3][3], rbp[3][3], npb[3][3], ecliptic[3][3], j2000[3][3];
    eraNum06a(o.tt, 0, rn);
    eraPmat06(o.tt, 0, rbp);
    eraPnm06a(o.tt, 0, npb);
    eraEcm06(o.tt, 0, ecliptic);
    eraEcm06(ERFA_DJ00, 0, j2000);
    auto inJ2000Ecliptic = [&](const double* v) {
        std::array<double, 3> out;
        eraRxp(j2000, const_cast<double*>(v), out.data());
        return out;
    };
    // The ecliptic pole built from the true equator and the true obliquity.
    const double trueObliquity = eraObl06(o.tt, 0) + deps;
    double truePole[3] = {0, -std::sin(trueObliquity), std::cos(trueObliquity)}, trueEclipticPole[3];
    eraTrxp(npb, truePole, trueEclipticPole);
    struct PoleCase {
        int code;
        const char *heading, *poleLine, *equinoxLine, *first, *second;
        std::array<double, 3> pole, equinox;
    };
    const char *equatorial = "  R.A:", *declination = "  Dec:", *longitude = "  Lng:", *latitude = "  Lat:";
    const PoleCase poles[] = {
        {1, "In Mean Equatorial Coordinate", " the True Equatorial Pole", " the true Exuinox", equatorial,
         declination, {rn[2][0], rn[2][1], rn[2][2]}, {rn[0][0], rn[0][1], rn[0][2]}},
        {2, "In ICRF Equatorial Coordinate", " the True Equatorial Pole", " the true Exuinox", equatorial,
         declination, {npb[2][0], npb[2][1], npb[2][2]}, {npb[0][0], npb[0][1], npb[0][2]}},
        {3, "In ICRF Equatorial Coordinate", " the Mean Equatorial Pole", " the mean Exuinox", equatorial,
         declination, {rbp[2][0], rbp[2][1], rbp[2][2]}, {rbp[0][0], rbp[0][1], rbp[0][2]}},
        {4, "In J2000.0 Ecliptic Coordinate", " the true Ecliptic Pole", " the true Exuinox", longitude,
         latitude, inJ2000Ecliptic(trueEclipticPole), inJ2000Ecliptic(npb[0])},
        {5, "In J2000.0 Ecliptic Coordinate", " the Mean Ecliptic Pole", " the mean Exuinox", longitude,
         latitude, inJ2000Ecliptic(ecliptic[2]), inJ2000Ecliptic(rbp[0])},
    };
    for (const PoleCase& c : poles) {
        SCOPED_TRACE(c.code);
        chart.readoutOptions.poleDataReadout = std::uint8_t(c.code);
        ASSERT_TRUE(chart.draw());
        EXPECT_EQ(chart.rowText(float(y0)), c.heading);
        EXPECT_EQ(chart.rowText(float(y0 + 18)), c.poleLine);
        EXPECT_EQ(chart.rowText(float(y0 + 72)), c.equinoxLine);
        for (const auto& [row, v] : {std::pair{2, c.pole}, std::pair{5, c.equinox}}) {
            double ra, dec;
            eraC2s(const_cast<double*>(v.data()), &ra, &dec);
            // Near the pole the first coordinate carries less: compare it across the sky.
            const double first = degreesAfter(chart.rowText(float(y0 + 18 * row)), c.first);
            const double second = degreesAfter(chart.rowText(float(y0 + 18 * (row + 1))), c.second);
            EXPECT_NEAR(wrapDegrees(first - ra * degreesPerRadian) * std::cos(dec), 0, 0.0005);
            EXPECT_NEAR(second, dec * degreesPerRadian, 0.0005);
        }
    }
}

// On a map the sidereal block keeps the equation of the equinoxes and drops the local rows; its
// equation reads in degrees, in arc seconds or in seconds of time by the comment unit.
TEST(InformationPanel, SiderealBlockOnAMapInEachUnit)
{
    const Place place = {"Tokyo", 139.7, 35.7, 0, 2024, 5, 10, 13.25};
    struct Case {
        int unit;
        const char* suffix;
        double perDegree, tolerance;   // the equation's unit and half its last place
    };
    const Case cases[] = {{1, "deg", 1, 0.6e-6}, {2, "as", 3600, 0.006}, {3, "s", 240, 0.0006}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.unit);
        SkyChart chart(place);
        chart.chartView.chartMode = mapChartMode;
        chart.readoutOptions.poleDataReadout = 102;
        chart.minuteOptions.commentUnit = std::uint8_t(c.unit);
        ASSERT_TRUE(chart.draw());
        const auto o = chart.observer(place);
        const double ee = eraEe06a(o.tt, 0) * degreesPerRadian;
        ASSERT_LT(ee, 0);   // the minus sign is in every unit's text
        const int y0 = poleDataRow(chart, DrawingWork{});
        EXPECT_EQ(chart.rowText(float(y0)), "Sidereal Time");
        const std::string equation = chart.rowText(float(y0 + 54));
        const std::string prefix = "Equation of Eqnx.:";
        ASSERT_EQ(equation.substr(0, prefix.size()), prefix);
        EXPECT_TRUE(equation.ends_with(c.suffix)) << equation;
        EXPECT_NEAR(std::stod(equation.substr(prefix.size())), ee * c.perDegree, c.tolerance) << equation;
        EXPECT_EQ(chart.rowText(float(y0 + 18)).substr(0, 15), "Mean Greenwich:");
        EXPECT_EQ(chart.rowText(float(y0 + 36)).substr(0, 15), "True Greenwich:");
        EXPECT_TRUE(chart.row(float(y0 + 72)).empty());
        EXPECT_TRUE(chart.row(float(y0 + 90)).empty());
    }
}

TEST(InformationPanel, UnitsOfTheAberrationBlock)
{
    SkyChart chart(tokyo2008);
    chart.readoutOptions.poleDataReadout = 101;
    chart.minuteOptions.commentUnit = 3;
    ASSERT_TRUE(chart.draw());
    const int y0 = poleDataRow(chart, DrawingWork{});
    const DirectionVector& a = chart.drawn.sky.annualAberrationEcliptic;
    double la, ba, ka;
    ZENITH(a[0], a[1], a[2], la, ba, ka);
    expectTexts(chart, {
        {0, float(y0), defaultColour, "Annual Aberration"},
        {0, float(y0 + 18), defaultColour, " LNG:" + DSPSEXA(la, 6, 2)},
        {0, float(y0 + 36), defaultColour, " Max:" + DSPSEXA(std::atan(ka), 9, 2)},
        {0, float(y0 + 54), defaultColour, "Diurnal Aberration"},
    });
    // About 20.5 arc seconds.
    EXPECT_NEAR(std::atan(ka) * degreesPerRadian * 3600, 20.5, 0.4);
}

} // namespace
} // namespace nivora
