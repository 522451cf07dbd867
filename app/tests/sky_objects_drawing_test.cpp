// The added star and the orbit object on charts drawn by the whole program.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <utility>

#include <erfa.h>

#include "app/tests/started_program.h"
#include "astro/constants.h"
#include "astro/projection.h"
#include "render/bodymarks.h"
#include "render/drawing.h"
#include "render/tests/erfa_sky.h"
#include "render/tests/render_fixture.h"

namespace nivora {
namespace {

struct SkyObjectsDrawing : StartedProgram {
    SkyObjectsDrawing() : StartedProgram("skydraw") { folder.copyAllData(); }
    void SetUp() override
    {
        start();
        Ui& u = ui();
        // Tokyo in the evening, Deneb high in the north-west, at the centre of a chart where a
        // pixel spans 0.56 arc minutes.
        u.userType("EDIT10", "19");
        u.userType("EDIT11", "00");
        u.userChoose("COMBO6", 4);
        u.userType("EDIT12", "310.3580");
        u.userType("EDIT13", "45.2803");
        u.userType("EDIT64", "0");
        u.userType("EDIT75", "60");
        program->chartOptions.magnitudeLimit = 6.5f;
    }

    Ui& ui() { return program->ui; }
    void draw() { ui().userClick("BUTTON1"); }

    // Deneb typed in the ICRF with degrees and decimal minutes, drawn as a cross.
    void typeDeneb()
    {
        Ui& u = ui();
        if (u.control("CHECK1").value() == 0)
            u.userClick("CHECK1");
        u.userChoose("COMBO4", 3);
        u.userClick("RADIO62");
        u.userType("EDIT14", "310");
        u.userType("EDIT15", "21.48");
        u.userType("EDIT16", "+45");
        u.userType("EDIT17", "16.818");
        u.userClick("RADIO102");
    }

    // Centre of the pixels of one colour within a square around a point.
    bool centreOf(int colour, double x, double y, int half, double& cx, double& cy) const
    {
        return testing_support::colourCentre(program->chartBitmap, colour, x, y, half, cx, cy);
    }

    // A round chart of the whole sky above Tokyo (35.5 N), 2008 December 31, 19:00 (10:00 UT), its
    // first box centred at (320, 320), the second at (960, 320).
    void wholeSky()
    {
        Ui& u = ui();
        u.userType("EDIT2", "+135.0");
        u.userType("EDIT3", "+35.5");
        u.userType("EDIT6", "+9");
        u.userType("EDIT7", "00");
        u.userType("EDIT8", "2008");
        u.userChoose("COMBO1", 11);
        u.userType("EDIT9", "31");
        u.userChoose("COMBO6", 0);
        u.userType("EDIT12", "180");
        u.userType("EDIT13", "90");
        u.userType("EDIT75", "1");
        u.userType("EDIT1", "600");   // tall enough for the panel's lowest rows
        program->chartOptions.refractionOn = 0;
        program->chartOptions.diurnalAberrationOn = 0;
    }

    // An object around the Earth at its perigee at the chart time, 10^6 km away toward a pole of the
    // J2000 equator: the north one (+35.5 degrees up) or the south one (under the horizon).
    void typePolarOrbit(bool north)
    {
        Ui& u = ui();
        u.userClick("RADIO73");
        u.userClick("RADIO69");
        u.userClick("RADIO70");
        u.userClick("RADIO75");
        u.userClick("RADIO77");
        u.userType("EDIT84", "2008");
        u.userChoose("COMBO7", 11);
        u.userType("EDIT85", "31.41667");
        u.userType("EDIT80", "1000000");
        u.userType("EDIT82", "0.1");
        u.userType("EDIT86", "0");
        u.userType("EDIT87", "90");
        u.userType("EDIT88", north ? "90" : "270");
    }

    // The star typed in the observer's sky: azimuth from north through west, elevation.
    void typeZenithal(const char* azimuth, const char* azimuthMinutes, const char* elevation,
                      const char* elevationMinutes)
    {
        Ui& u = ui();
        if (u.control("CHECK1").value() == 0)
            u.userClick("CHECK1");
        u.userChoose("COMBO4", 9);
        u.userClick("RADIO62");
        u.userType("EDIT14", azimuth);
        u.userType("EDIT15", azimuthMinutes);
        u.userType("EDIT16", elevation);
        u.userType("EDIT17", elevationMinutes);
    }

    // DRAW, then the same drawing again over the chart it made, with its texts kept.
    void drawWithTexts()
    {
        draw();
        texts.clear();
        program->chartBitmap.recordTexts(&texts);
        program->chartBitmap.clear(0);
        DRAWINGIMG(*program);
        program->chartBitmap.recordTexts(nullptr);
    }
    // The text of the side strip at row y in a colour; empty when there is none.
    std::string panelText(float y, int colour) const
    {
        for (const DrawnText& t : texts)
            if (t.y == y && t.colour == colour && t.x >= panelLeftOf(*program))
                return t.text;
        return "";
    }
    // The legend texts (":" and a name) of a colour in the side strip.
    std::vector<DrawnText> legends(int colour) const
    {
        std::vector<DrawnText> found;
        for (const DrawnText& t : texts)
            if (t.colour == colour && t.x > panelLeftOf(*program) && t.text.starts_with(":"))
                found.push_back(t);
        return found;
    }

    // The one legend of a colour in the side strip, its mark level with its text; none for row 0.
    struct Legend {
        int colour;
        float row;
        const char* text;
    };
    void expectLegend(const Legend& expected) const
    {
        SCOPED_TRACE(expected.text);
        const std::vector<DrawnText> found = legends(expected.colour);
        ASSERT_EQ(found.size(), expected.row > 0 ? 1u : 0u);
        if (expected.row == 0)
            return;
        EXPECT_EQ(found[0].y, expected.row);
        EXPECT_EQ(found[0].text, expected.text);
        const float left = panelLeftOf(*program);
        EXPECT_LT(found[0].x, left + 40);
        // The mark starts 3 pixels into the strip; the text follows it.
        double x, y;
        ASSERT_TRUE(centreOf(expected.colour, left + 7, expected.row + 9, 4, x, y));
        EXPECT_NEAR(y, expected.row + 9, 0.5);
    }

    // The chart's pixels left of the side strip.
    std::vector<int> chartPixels() const
    {
        const ChartBitmap& b = program->chartBitmap;
        const int width = program->chartView.imageSize + 40;
        std::vector<int> pixels;
        for (int y = 0; y < b.height(); ++y)
            for (int x = 0; x < width; ++x)
                pixels.push_back(b.pixel(x, y));
        return pixels;
    }

    std::vector<DrawnText> texts;
};

TEST_F(SkyObjectsDrawing, DenebTypedInTheIcrfLandsOnTheStarPassDisc)
{
    draw();
    double starX, starY, markX, markY;
    // The chart centre: the box centre, the direction at the middle.
    ASSERT_TRUE(centreOf(15, 180, 180, 4, starX, starY));
    typeDeneb();
    draw();
    ASSERT_TRUE(centreOf(9, 180, 180, 6, markX, markY));
    EXPECT_NEAR(markX, starX, 1.0);
    EXPECT_NEAR(markY, starY, 1.0);
    EXPECT_TRUE(alerts().empty());
}

TEST_F(SkyObjectsDrawing, OnAStarMapDenebLandsOnTheStarPassDiscInEveryFrameDrawnOrOverdrawn)
{
    // With and without the annual aberration the stars get in the frame shown.
    const std::pair<const char*, int> frames[] = {
        {"Apparent Eqtr.", 0}, {"Mean Eqtr.", 2}, {"ICRF Eqtr.", 3}, {"True Eclp.", 5}, {"J2000 Eclp.", 7}};
    ui().userClick("RADIO3");
    ui().userType("EDIT75", "600");   // a pixel of 3.4 arc seconds: the aberration is 6 pixels
    for (const auto& [what, frame] : frames) {
        SCOPED_TRACE(what);
        ui().userChoose("COMBO5", frame);
        if (ui().control("CHECK1").value() == 1)
            ui().userClick("CHECK1");
        draw();
        ASSERT_EQ(program->chartView.chartMode, mapChartMode);
        double starX, starY, markX, markY;
        ASSERT_TRUE(centreOf(15, 180, 180, 12, starX, starY));
        typeDeneb();
        draw();
        ASSERT_TRUE(centreOf(9, starX, starY, 6, markX, markY));
        EXPECT_NEAR(markX, starX, 1.0);
        EXPECT_NEAR(markY, starY, 1.0);

        // "OverD" over the chart without it marks the same pixels.
        const std::vector<int> marked = chartPixels();
        ui().userClick("CHECK1");
        draw();
        ui().userClick("CHECK1");
        ui().userClick("BUTTON74");
        EXPECT_EQ(chartPixels(), marked);
    }
    EXPECT_TRUE(alerts().empty());
}

TEST_F(SkyObjectsDrawing, TheAddedStarsMarkTakesItsSizeFromTheRuleChosen)
{
    // At the default size 320 a magnitude counts 0.2828 pixels; this chart's scale is 320 x 60 /
    // 180 = 106.7 pixels a degree at its centre, where Deneb is.
    struct Case {
        const char* what;
        const char *mark, *rule, *size;
        double radius;   // pixels; 0 for a single pixel
    };
    const Case cases[] = {
        {"cross", "RADIO102", "RADIO34", "-1.00", 5 * std::sqrt(0.32)},
        {"disc of magnitude -1", "RADIO103", "RADIO34", "-1.00", 8.5 * std::sqrt(0.32) / 2},
        {"outline of 0.1 degree", "RADIO104", "RADIO35", "0.1", 0.1 * 320 * 60 / 180.0},
        {"disc of 0.001 degree", "RADIO103", "RADIO35", "0.001", 0},
        {"disc of magnitude 8", "RADIO103", "RADIO34", "8", 0},
    };
    typeDeneb();
    draw();
    double x0, y0;
    ASSERT_TRUE(centreOf(9, 180, 180, 6, x0, y0));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ui().userClick(c.mark);
        if (ui().control(c.rule).enabled())
            ui().userClick(c.rule);
        ui().userType("EDIT18", c.size);
        draw();
        // The extent of the mark's pixels around its centre.
        int left = 1000, right = -1, top = 1000, bottom = -1;
        for (int y = int(y0) - 20; y <= int(y0) + 20; ++y)
            for (int x = int(x0) - 20; x <= int(x0) + 20; ++x)
                if (program->chartBitmap.pixel(x, y) == 9) {
                    left = std::min(left, x), right = std::max(right, x);
                    top = std::min(top, y), bottom = std::max(bottom, y);
                }
        ASSERT_GE(right, 0);
        EXPECT_NEAR(right - left, 2 * c.radius, 1.5);
        EXPECT_NEAR(bottom - top, 2 * c.radius, 1.5);
    }
    EXPECT_TRUE(alerts().empty());
}

TEST_F(SkyObjectsDrawing, OverdrawMarksWhatTheDrawingMarks)
{
    typeDeneb();
    ui().userClick("RADIO103");   // a disc sized by magnitude
    ui().userType("EDIT18", "-1.00");
    draw();
    const std::vector<int> drawn = chartPixels();

    ui().userClick("CHECK1");
    draw();
    ASSERT_NE(chartPixels(), drawn);
    ui().userClick("CHECK1");
    // The options changed since: the mark still lands on the chart shown.
    program->chartOptions.projectionKind = 3;
    program->chartOptions.refractionOn = 0;
    ui().userClick("BUTTON74");
    EXPECT_EQ(chartPixels(), drawn);
    EXPECT_TRUE(alerts().empty());
}

TEST_F(SkyObjectsDrawing, OverdrawRefusals)
{
    typeDeneb();
    ui().userClick("CHECK1");
    draw();
    const std::vector<int> before = chartPixels();
    ui().userClick("BUTTON74");   // the switch is off: nothing, silently
    EXPECT_EQ(chartPixels(), before);
    EXPECT_TRUE(alerts().empty());

    ui().userClick("CHECK1");
    ui().userType("EDIT1", "400");
    ui().userClick("BUTTON74");
    ASSERT_EQ(alerts().size(), 1u);
    EXPECT_EQ(alerts()[0], "The Size of Image has changed.");
    EXPECT_EQ(chartPixels(), before);

    // A distance of 0 on the sky chart: no mark, one alert naming it.
    ui().userType("EDIT1", "320");
    ui().userClick("CHECK11");
    ui().userType("EDIT62", "0");
    ui().userClick("BUTTON74");
    ASSERT_EQ(alerts().size(), 2u);
    EXPECT_NE(alerts()[1].find("Distance"), std::string::npos);
    EXPECT_EQ(chartPixels(), before);
    draw();
    ASSERT_EQ(alerts().size(), 3u);
    EXPECT_NE(alerts()[2].find("Distance"), std::string::npos);
}

TEST_F(SkyObjectsDrawing, AZenithalPlaceLandsAtItsApparentElevation)
{
    Program& p = *program;
    Ui& u = ui();
    p.chartOptions.refractionOn = 1;
    u.userChoose("COMBO6", 0);
    u.userType("EDIT12", "120");
    u.userType("EDIT13", "20.5");
    u.userType("EDIT75", "20");
    u.userClick("CHECK1");
    u.userChoose("COMBO4", 9);
    u.userClick("RADIO62");
    u.userType("EDIT14", "120");
    u.userType("EDIT15", "30");
    u.userType("EDIT16", "+20");
    u.userType("EDIT17", "15");
    u.userClick("RADIO102");
    draw();
    // Where the projection puts the typed azimuth and elevation, taken as seen.
    const double A = 120.5 / degreesPerRadian, E = 20.25 / degreesPerRadian;
    const DirectionVector seen = {std::cos(E) * std::cos(A), std::cos(E) * std::sin(A), std::sin(E)};
    const DirectionVector v = rotate(p.drawn.sky.baseToChart, seen);
    double X, Y;
    DISPXY(v[0], v[1], v[2], p.chartOptions.projectionKind, X, Y, p.userProjection);
    const double x = 180 + X, y = 180 + p.drawn.geometry.directionOffset - Y;
    double cx, cy;
    ASSERT_TRUE(centreOf(9, x, y, 6, cx, cy));
    EXPECT_NEAR(cx, x, 1.0);
    EXPECT_NEAR(cy, y, 1.0);
}

// The angle a panel text shows, in degrees: decimal, or degrees, minutes and seconds; a word in
// brackets after it is left out.
double shownDegrees(const std::string& text)
{
    std::vector<double> parts;
    const char* c = text.c_str();
    while (*c && *c != '(') {
        if (std::isdigit(static_cast<unsigned char>(*c))) {
            char* end;
            parts.push_back(std::strtod(c, &end));
            c = end;
        } else {
            ++c;
        }
    }
    double degrees = 0, unit = 1;
    for (double part : parts) {
        degrees += part * unit;
        unit /= 60;
    }
    return text.find('-') != std::string::npos ? -degrees : degrees;
}

// The number after a prefix of a panel text.
double shownNumber(const std::string& text, const std::string& prefix)
{
    EXPECT_TRUE(text.starts_with(prefix)) << text;
    return std::strtod(text.c_str() + prefix.size(), nullptr);
}

double norm(const DirectionVector& v) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }

TEST_F(SkyObjectsDrawing, AddedStarDistanceAndParallaxInThePanel)
{
    struct Case {
        const char* what;
        const char *azimuth, *azimuthMinutes, *elevation, *elevationMinutes;
        const char* distance;
        bool astronomicalUnits, fromSurface;
        int readoutParallax, commentUnit;
    };
    const Case cases[] = {
        {"20000 km from the centre, seen from here", "120", "30", "+30", "15", "20000", false, false, 1, 1},
        {"20000 km from the centre, geocentric", "120", "30", "+30", "15", "20000", false, false, 0, 2},
        {"low, 36000 km from the observer, seen from here", "300", "00", "+10", "00", "36000", false, true, 1, 2},
        {"low, 36000 km from the observer, geocentric", "300", "00", "+10", "00", "36000", false, true, 0, 1},
        {"0.002 AU from the centre", "45", "00", "+60", "00", "0.002", true, false, 1, 2},
    };
    wholeSky();
    Program& p = *program;
    Ui& u = ui();
    u.userType("EDIT43", "250");
    p.readoutOptions.readoutBody = 20;
    p.readoutOptions.readoutFrame = 1;
    p.readoutOptions.readoutCorrection = 0;

    // The observer in the horizon frame (x north, y west, z up), km.
    const double phi = 35.5 / degreesPerRadian;
    double ground[3];
    ASSERT_EQ(eraGd2gce(earthRadius, earthFlattening, 0, phi, 0.25, ground), 0);
    const DirectionVector observer = {-std::sin(phi) * ground[0] + std::cos(phi) * ground[2], -ground[1],
                                      std::cos(phi) * ground[0] + std::sin(phi) * ground[2]};

    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        typeZenithal(c.azimuth, c.azimuthMinutes, c.elevation, c.elevationMinutes);
        u.userClick("RADIO102");
        if (u.control("CHECK11").value() == 0)
            u.userClick("CHECK11");
        u.userType("EDIT62", c.distance);
        u.userClick(c.astronomicalUnits ? "RADIO51" : "RADIO50");
        u.userClick(c.fromSurface ? "RADIO60" : "RADIO59");
        p.readoutOptions.readoutParallax = std::uint8_t(c.readoutParallax);
        p.minuteOptions.commentUnit = std::uint8_t(c.commentUnit);
        drawWithTexts();
        ASSERT_TRUE(alerts().empty()) << alerts().front();

        const double A = shownDegrees(std::string(c.azimuth) + ":" + c.azimuthMinutes) / degreesPerRadian;
        const double E = shownDegrees(std::string(c.elevation) + ":" + c.elevationMinutes) / degreesPerRadian;
        const double d = double(float(std::stod(c.distance))) * (c.astronomicalUnits ? astronomicalUnit : 1);
        const DirectionVector typed = {d * std::cos(E) * std::cos(A), d * std::cos(E) * std::sin(A), d * std::sin(E)};
        DirectionVector geocentric = typed, topocentric = typed;
        for (int i = 0; i < 3; ++i) {
            if (c.fromSurface)
                geocentric[i] += observer[i];
            else
                topocentric[i] -= observer[i];
        }
        const double cosine = (geocentric[0] * topocentric[0] + geocentric[1] * topocentric[1] +
                               geocentric[2] * topocentric[2]) / (norm(geocentric) * norm(topocentric));
        const double parallax = std::acos(cosine) * degreesPerRadian;
        const DirectionVector& seen = c.readoutParallax == 1 ? topocentric : geocentric;
        const double D = norm(seen);
        const double azimuth = std::fmod(std::atan2(seen[1], seen[0]) * degreesPerRadian + 360, 360);
        const double elevation = std::asin(seen[2] / D) * degreesPerRadian;

        // Half the last place: 0.00001 degree, or 0.1 arc second.
        const double angleTolerance = c.commentUnit == 1 ? 0.6e-5 : 0.06 / 3600;
        EXPECT_EQ(panelText(288, 9), "Location of Added Star");
        const std::string azimuthRow = panelText(306, 9), elevationRow = panelText(324, 9);
        EXPECT_TRUE(azimuthRow.starts_with(" Azm:") && azimuthRow.ends_with("(apparent)")) << azimuthRow;
        EXPECT_NEAR(shownDegrees(azimuthRow), azimuth, angleTolerance) << azimuthRow;
        EXPECT_TRUE(elevationRow.starts_with(" Elv:") && elevationRow.ends_with("(Zenithal)")) << elevationRow;
        EXPECT_NEAR(shownDegrees(elevationRow), elevation, angleTolerance) << elevationRow;

        const std::string distanceRow = panelText(342, 9);
        const std::string where = c.readoutParallax == 1 ? "(parallax)" : "(geocntr)";
        if (c.astronomicalUnits) {
            EXPECT_TRUE(distanceRow.ends_with("AU" + where)) << distanceRow;
            EXPECT_NEAR(shownNumber(distanceRow, " Distance:"), D / astronomicalUnit, 0.6e-6) << distanceRow;
        } else {
            EXPECT_TRUE(distanceRow.ends_with("km" + where)) << distanceRow;
            EXPECT_NEAR(shownNumber(distanceRow, " Distance:"), D, 0.06) << distanceRow;
        }
        const std::string parallaxRow = panelText(360, 9);
        EXPECT_TRUE(parallaxRow.starts_with(" Parallax:")) << parallaxRow;
        EXPECT_NEAR(shownDegrees(parallaxRow), parallax, angleTolerance) << parallaxRow;
    }

    // Without "Distance" neither the distance row nor the parallax line is written.
    u.userClick("CHECK11");
    drawWithTexts();
    EXPECT_EQ(panelText(288, 9), "Location of Added Star");
    EXPECT_EQ(panelText(342, 9), "");
    EXPECT_EQ(panelText(360, 9), "");
}

// An added star without a distance stands at 1 km: taking the observer's place from it would
// turn its digression toward the nadir. With parallax only the Sun's 8.8" may move.
TEST_F(SkyObjectsDrawing, AddedStarWithoutDistanceDigressesAlikeWithParallax)
{
    wholeSky();
    typeDeneb();
    Program& p = *program;
    ASSERT_EQ(ui().control("CHECK11").value(), 0);
    p.readoutOptions.readoutBody = 20;
    p.readoutOptions.readoutFrame = 20;
    p.readoutOptions.readoutCorrection = 0;
    p.minuteOptions.commentUnit = 1;
    const float rows[] = {306, 324, 342, 360, 378};
    double shown[2][5];
    for (const int parallax : {0, 1}) {
        p.readoutOptions.readoutParallax = std::uint8_t(parallax);
        drawWithTexts();
        ASSERT_EQ(panelText(288, 5), "Digression of Star from Sun");
        for (int k = 0; k < 5; ++k) {
            const std::string text = panelText(rows[k], 5);
            ASSERT_NE(text.find(':'), std::string::npos) << rows[k];
            shown[parallax][k] = std::strtod(text.c_str() + text.find(':') + 1, nullptr);
        }
    }
    for (int k = 0; k < 5; ++k) {
        const double d = shown[1][k] - shown[0][k];
        EXPECT_NEAR(d - 360 * std::round(d / 360), 0, 0.01) << rows[k];
    }
}

// "No Annual Aberration" takes the annual aberration out of the added star's apparent place. A
// star typed as the observer sees it (azimuth and elevation) moves with the Earth, as the Moon
// does: the typed place is its apparent place. Deneb typed in the ICRF is its place without
// aberration. Either way the two readouts differ by ERFA's annual aberration of the place.
TEST_F(SkyObjectsDrawing, AddedStarWithoutAberrationLosesErfasAberration)
{
    wholeSky();
    Program& p = *program;
    p.readoutOptions.readoutBody = 20;
    p.readoutOptions.readoutFrame = 2;
    p.minuteOptions.commentUnit = 1;
    for (const bool typedAsSeen : {true, false}) {
        SCOPED_TRACE(typedAsSeen);
        if (typedAsSeen)
            typeZenithal("100", "00", "+40", "00");
        else
            typeDeneb();
        double ra[2], dec[2];
        for (const int correction : {0, 1}) {
            p.readoutOptions.readoutCorrection = std::uint8_t(correction);
            drawWithTexts();
            ASSERT_TRUE(panelText(306, 9).ends_with(correction == 0 ? "(apparent)" : "(no abbr.)")) << panelText(306, 9);
            ra[correction] = shownDegrees(panelText(306, 9)) / degreesPerRadian;
            dec[correction] = shownDegrees(panelText(324, 9)) / degreesPerRadian;
        }
        // ERFA's velocity of the Earth over c in the true equator of date, taken off the apparent
        // place to first order; (v/c)^2 is a thousandth of an arc second.
        const double tt = 2451545.0 + p.drawn.sky.julianCenturies * 36525;
        double pvh[2][3], pvb[2][3], npb[3][3], v[3], u[3], freed[3], r, erfaRa, erfaDec;
        eraEpv00(tt, 0, pvh, pvb);
        eraPnm06a(tt, 0, npb);
        eraSxp(1 / ERFA_DC, pvb[1], v);
        eraRxp(npb, v, v);
        eraS2c(ra[0], dec[0], u);
        eraPmp(u, v, freed);
        eraPn(freed, &r, freed);
        eraC2s(freed, &erfaRa, &erfaDec);
        const double printed = 0.00002 / degreesPerRadian;
        ASSERT_GT(eraSeps(ra[0], dec[0], ra[1], dec[1]), 10 * printed);
        EXPECT_NEAR(std::remainder(ra[1] - erfaRa, 2 * pi) * std::cos(dec[1]), 0, printed);
        EXPECT_NEAR(dec[1] - erfaDec, 0, printed);
    }
}

TEST_F(SkyObjectsDrawing, OrbitObjectDistanceAndParallaxInThePanel)
{
    wholeSky();
    Program& p = *program;
    Ui& u = ui();
    u.userType("EDIT11", "30");    // 10:30 UT, a day fraction a field holds exactly
    u.userType("EDIT43", "250");
    typePolarOrbit(true);
    u.userType("EDIT80", "500000");
    u.userType("EDIT85", "31.4375");   // at its perigee at the chart time
    p.chartOptions.orbitObjectDisplayMode = 3;
    p.readoutOptions.readoutBody = 30;
    p.readoutOptions.readoutFrame = 4;
    draw();

    // ERFA's observer in the GCRS, km; the object 500,000 km toward the pole of the ICRF, or, a
    // light time earlier, that much back along its path (it moves toward -x at its perigee).
    double jd0, jd1;
    eraCal2jd(2008, 12, 31, &jd0, &jd1);
    const testing_support::ErfaObserver o = {135, 35.5, 250, jd0 + jd1 + 10.5 / 24,
                                             2451545.0 + p.drawn.sky.julianCenturies * 36525};
    double position[3], velocity[3], rc2t[3][3];
    testing_support::erfaObserverState(o, position, velocity, rc2t);
    DirectionVector observer;
    for (int i = 0; i < 3; ++i)
        observer[i] = position[i] * ERFA_DAU / 1000;
    const double q = 500000, tau = q / lightSpeed;
    const double speed = std::sqrt(398600.4418 * 1.1 / q);   // km/s at the perigee of e = 0.1
    const DirectionVector now = {0, 0, q}, earlier = {speed * tau, 0, q};

    struct Case {
        const char* what;
        int correction, readoutParallax, commentUnit;
    };
    const Case cases[] = {
        {"geometric, geocentric", 2, 0, 1},
        {"apparent, seen from here", 0, 1, 2},
        {"without aberration, seen from here", 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        p.readoutOptions.readoutCorrection = std::uint8_t(c.correction);
        p.readoutOptions.readoutParallax = std::uint8_t(c.readoutParallax);
        p.minuteOptions.commentUnit = std::uint8_t(c.commentUnit);
        drawWithTexts();
        ASSERT_TRUE(alerts().empty()) << alerts().front();

        // An orbit around the Earth moves with it: its apparent place is where it was a light time
        // ago, seen from here; without aberration it is seen from where ERFA's Earth has gone
        // meanwhile, about 20 arc seconds away. The distance is the light-time one.
        DirectionVector shown = c.correction == 2 ? now : earlier;
        if (c.readoutParallax == 1)
            for (int i = 0; i < 3; ++i)
                shown[i] -= observer[i];
        const double D = norm(shown);
        if (c.correction == 1) {
            double back[3];
            testing_support::erfaEarthAgo(o.tt, D / lightSpeed / 86400, back);
            for (int i = 0; i < 3; ++i)
                shown[i] += back[i] * ERFA_DAU / 1000;
        }
        const double ra = std::fmod(std::atan2(shown[1], shown[0]) * degreesPerRadian + 360, 360);
        const double dec = std::asin(shown[2] / norm(shown)) * degreesPerRadian;
        // Half the last place, and 0.005 arc seconds on the sky for ERFA's frames against ours.
        const double angleTolerance = (c.commentUnit == 1 ? 0.6e-5 : 0.06 / 3600) + 0.005 / 3600;
        EXPECT_EQ(panelText(288, 7), "Location of Object by elements");
        const std::string raRow = panelText(306, 7), decRow = panelText(324, 7);
        EXPECT_TRUE(raRow.starts_with(" R.A:")) << raRow;
        if (dec < 89.99) {   // at the pole itself any right ascension will do
            EXPECT_NEAR(shownDegrees(raRow), ra, angleTolerance / std::cos(dec / degreesPerRadian)) << raRow;
        }
        EXPECT_TRUE(decRow.starts_with(" Dec:") && decRow.ends_with("(J2000.0)")) << decRow;
        EXPECT_NEAR(shownDegrees(decRow), dec, angleTolerance) << decRow;
        const std::string distanceRow = panelText(342, 7);
        EXPECT_TRUE(distanceRow.ends_with(c.readoutParallax == 1 ? "km(parallax)" : "km(geocntr)")) << distanceRow;
        EXPECT_NEAR(shownNumber(distanceRow, " Distance:"), D, 0.06) << distanceRow;

        // The mark's parallax: the light-time place against the same place seen from here.
        DirectionVector seen = earlier;
        for (int i = 0; i < 3; ++i)
            seen[i] -= observer[i];
        const double parallax = std::acos((seen[0] * earlier[0] + seen[1] * earlier[1] + seen[2] * earlier[2]) /
                                          (norm(seen) * norm(earlier))) * degreesPerRadian;
        const std::string parallaxRow = panelText(360, 7);
        EXPECT_TRUE(parallaxRow.starts_with(" Parallax:")) << parallaxRow;
        EXPECT_NEAR(shownDegrees(parallaxRow), parallax, c.commentUnit == 1 ? 1.2e-6 : 0.006 / 3600) << parallaxRow;
    }
}

TEST_F(SkyObjectsDrawing, LegendRowsOfTheAddedStarAndTheOrbitObject)
{
    struct Case {
        const char* what;
        int readoutFrame, readoutBody;
        int orbitMode;
        bool orbitUsable, starOn;
        float starRow, orbitRow;   // 0: no legend
    };
    const Case cases[] = {
        {"the Sun's place shown", 2, 0, 3, true, true, 396, 414},
        {"no place shown", 100, 0, 3, true, true, 288, 306},
        {"the orbit object's place shown", 2, 30, 1, true, true, 396, 414},
        {"the orbit object's place, its elements unusable", 2, 30, 3, false, true, 288, 0},
        {"the added star's place shown", 2, 20, 3, true, true, 396, 414},
        {"the added star's place, the star switched off", 2, 20, 3, true, false, 0, 306},
        {"the orbit object not displayed", 2, 0, 0, true, true, 396, 0},
    };
    wholeSky();
    typeDeneb();
    ui().userClick("RADIO103");
    ui().userClick("RADIO34");
    ui().userType("EDIT18", "-1.00");
    ui().userType("EDIT38", "Deneb, デネブ");
    typePolarOrbit(true);
    Program& p = *program;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        p.readoutOptions.readoutFrame = std::uint8_t(c.readoutFrame);
        p.readoutOptions.readoutBody = std::uint8_t(c.readoutBody);
        p.chartOptions.orbitObjectDisplayMode = std::uint8_t(c.orbitMode);
        ui().userType("EDIT87", c.orbitUsable ? "90" : "");
        if ((ui().control("CHECK1").value() == 1) != c.starOn)
            ui().userClick("CHECK1");
        drawWithTexts();
        expectLegend({9, c.starRow, ":Deneb, デネブ"});
        expectLegend({7, c.orbitRow, ":Object by elements"});
        if (c.orbitMode != 0 && !c.orbitUsable) {
            ASSERT_FALSE(alerts().empty());
            EXPECT_NE(alerts().back().find("Inclination"), std::string::npos) << alerts().back();
        }
    }

    // "Nothing" for the stars leaves the added star out too.
    p.chartOptions.orbitObjectDisplayMode = 3;
    p.chartOptions.magnitudeLimit = 0;
    drawWithTexts();
    expectLegend({9, 0, ""});
    expectLegend({7, 414, ":Object by elements"});
}

TEST_F(SkyObjectsDrawing, StarSwitchesTurnedDuringADrawingLeaveItsRowsWhereItsHeadPutThem)
{
    struct Case {
        const char* what;
        bool starOn, distanceOn;      // at the head of the drawing
        const char* turned;           // clicked while the drawing runs
        float poleRow, starRow, orbitRow;   // star legend 0: none
        bool located, distanceRow;    // the star's location rows; its distance among them
    };
    const Case cases[] = {
        {"the star switched off", true, false, "CHECK1", 432, 396, 414, true, false},
        {"the star switched on", false, false, "CHECK1", 324, 0, 306, false, false},
        {"its distance switched off", true, true, "CHECK11", 432, 396, 414, true, true},
        {"its distance switched on", true, false, "CHECK11", 432, 396, 414, true, false},
    };
    wholeSky();
    typeDeneb();
    ui().userType("EDIT38", "Deneb");
    set("EDIT62", "1000000");   // the field is disabled until the distance is switched on
    typePolarOrbit(true);
    Program& p = *program;
    p.chartOptions.orbitObjectDisplayMode = 3;
    p.readoutOptions.readoutBody = 20;
    p.readoutOptions.readoutFrame = 2;
    p.readoutOptions.readoutParallax = 1;
    p.readoutOptions.poleDataReadout = 100;
    // A constellation-line file that cannot be read: its "ALERT" comes after the head of the
    // drawing has taken the form and before the panel, the orbit object and the readout.
    p.dataFileSettings.dataFiles[0][constellationLines] = "missing.net";

    auto rowText = [&](float y) {
        for (const DrawnText& t : texts)
            if (t.y == y && t.x == panelLeftOf(p))
                return t.text;
        return std::string();
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const auto& [control, on] : {std::pair{"CHECK1", c.starOn}, std::pair{"CHECK11", c.distanceOn}})
            if ((ui().control(control).value() == 1) != on)
                ui().userClick(control);
        draw();   // sizes the bitmap
        const int before = ui().control(c.turned).value();
        dialogs->duringAlert([&] { ui().userClick(c.turned); });
        texts.clear();
        p.chartBitmap.recordTexts(&texts);
        p.chartBitmap.clear(0);
        DRAWINGIMG(p);
        p.chartBitmap.recordTexts(nullptr);
        ASSERT_NE(ui().control(c.turned).value(), before);

        EXPECT_EQ(rowText(c.poleRow), "Nutation data");
        expectLegend({9, c.starRow, ":Deneb"});
        expectLegend({7, c.orbitRow, ":Object by elements"});
        EXPECT_EQ(panelText(288, 9), c.located ? "Location of Deneb" : "");
        EXPECT_EQ(panelText(342, 9).starts_with(" Distance:"), c.distanceRow) << panelText(342, 9);
    }
}

TEST_F(SkyObjectsDrawing, BothUnderTheHorizonShowOnlyOnADualBoxChart)
{
    wholeSky();
    Program& p = *program;
    Ui& u = ui();
    typeZenithal("200", "00", "-30", "00");
    u.userClick("RADIO102");
    typePolarOrbit(false);
    p.chartOptions.orbitObjectDisplayMode = 3;
    p.readoutOptions.readoutFrame = 2;
    p.readoutOptions.readoutBody = 0;

    drawWithTexts();
    EXPECT_TRUE(legends(9).empty());
    EXPECT_TRUE(legends(7).empty());

    u.userClick("RADIO29");
    drawWithTexts();
    ASSERT_TRUE(alerts().empty()) << alerts().front();
    EXPECT_EQ(panelLeftOf(p), 1280);
    expectLegend({9, 396, ":Added Star"});
    expectLegend({7, 414, ":Object by elements"});

    // Each mark in the second box, where its mirrored chart vector puts it.
    const double phi = 35.5 / degreesPerRadian;
    const double A = 200 / degreesPerRadian, E = -30 / degreesPerRadian;
    const DirectionVector star = {std::cos(E) * std::cos(A), std::cos(E) * std::sin(A), std::sin(E)};
    const DirectionVector southPole = {-std::cos(phi), 0, -std::sin(phi)};
    for (const auto& [colour, base] : {std::pair{9, star}, std::pair{7, southPole}}) {
        SCOPED_TRACE(colour);
        const DirectionVector v = rotate(p.drawn.sky.baseToChart, base);
        ASSERT_LT(v[2], 0);
        double X, Y;
        DISPXY(v[0], -v[1], -v[2], p.chartOptions.projectionKind, X, Y, p.userProjection);
        const double x = 960 + X, y = 320 + p.drawn.geometry.directionOffset - Y;
        double cx, cy;
        ASSERT_TRUE(centreOf(colour, x, y, 8, cx, cy));
        EXPECT_NEAR(cx, x, 1.5);
        EXPECT_NEAR(cy, y, 1.5);
    }
}

TEST_F(SkyObjectsDrawing, OnAMapTheLegendsMoveUpAndAPlaceOnTheEarthIsLeftOut)
{
    wholeSky();
    typeDeneb();
    typePolarOrbit(true);
    Program& p = *program;
    p.chartOptions.orbitObjectDisplayMode = 3;
    p.readoutOptions.readoutFrame = 2;
    ui().userClick("RADIO3");
    ui().userType("EDIT75", "1");
    ui().userClick("RADIO29");   // both hemispheres: every direction is on the chart
    drawWithTexts();
    ASSERT_TRUE(alerts().empty()) << alerts().front();
    ASSERT_EQ(p.chartView.chartMode, mapChartMode);
    expectLegend({9, 234, ":Added Star"});
    expectLegend({7, 252, ":Object by elements"});

    ui().userChoose("COMBO4", 8);
    drawWithTexts();
    EXPECT_TRUE(legends(9).empty());
    expectLegend({7, 252, ":Object by elements"});
}

TEST_F(SkyObjectsDrawing, TheUserPolynomialOfTheStereographicDrawsAsIt)
{
    // 2 tan(R/2) in its odd series to R^9.
    write("stereo.txt", {"Term number: 5  odd", "Coefficients of Polynomial", "1", "0.0833333333", "0.0083333333",
                         "0.0008432540", "0.0000854277"});
    Ui& u = ui();
    u.userMenu("MNOPTION");
    dialogs->answerFile(path("stereo.txt"));
    u.userClick("BUTTON49");
    u.userType("EDIT65", "90");
    u.userClick("BUTTON16");
    ASSERT_TRUE(alerts().empty());
    Program& p = *program;
    p.userProjection.chartScale = 320;
    for (double R = 0; R <= 90; R += 7.5)
        for (double turn : {0.0, 1.0, 2.5}) {
            SCOPED_TRACE(testing::Message() << R << " " << turn);
            const double r = R / degreesPerRadian;
            const DirectionVector v = {std::sin(r) * std::cos(turn), std::sin(r) * std::sin(turn), std::cos(r)};
            double X10, Y10, X3, Y3;
            DISPXY(v[0], v[1], v[2], 10, X10, Y10, p.userProjection);
            DISPXY(v[0], v[1], v[2], 3, X3, Y3, p.userProjection);
            EXPECT_NEAR(X10, X3, 1.0);
            EXPECT_NEAR(Y10, Y3, 1.0);
        }
}

} // namespace
} // namespace nivora
