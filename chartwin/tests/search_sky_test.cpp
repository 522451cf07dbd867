#include "chartwin/search_sky.h"

#include <cmath>

#include <gtest/gtest.h>

#include "options/observation_input.h"
#include "render/bodytable.h"
#include "render/orientation.h"
#include "chartwin/tests/search_fixture.h"

namespace nivora {
namespace {

using SearchSky = testing_support::SearchRoom;

void expectNear(const RotationMatrix& a, const RotationMatrix& b, double tolerance)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            EXPECT_NEAR(a[i][j], b[i][j], tolerance) << i << ',' << j;
}

bool single(double x) { return double(float(x)) == x; }

TEST_F(SearchSky, DayNumbersAndTimeZones) {
    struct Case {
        const char *year; int month; const char *day, *hour, *minute, *zoneHours, *zoneMinutes;
        double dayNumberUT;
    };
    const Case cases[] = {
        {"2000", 0, "1", "12", "00", "+0", "00", 1.5},
        {"2000", 2, "1", "0", "0", "+0", "00", 61},
        {"2100", 2, "1", "0", "0", "+0", "00", 36585},
        {"1900", 2, "1", "0", "0", "+0", "00", -36464},
        {"2400", 2, "1", "0", "0", "+0", "00", 146158},
        {"1999", 0, "1", "0", "0", "+0", "00", -364},
        {"2000", 0, "1", "0", "0", "-5", "30", 1 + 5.5 / 24},
        {"2000", 0, "1", "0", "0", "-0", "30", 1 + 0.5 / 24},   // the sign is the text's
        {"2000", 0, "1", "0", "0", "+0", "30", 1 - 0.5 / 24},
        {"2000", 0, "0", "24", "0", "+0", "00", 1},              // day 0, hour 24
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.year << ' ' << c.month << ' ' << c.day << ' ' << c.zoneHours);
        set("EDIT8", c.year);
        ui().control("COMBO1").setIndex(c.month);
        set("EDIT9", c.day);
        set("EDIT10", c.hour);
        set("EDIT11", c.minute);
        set("EDIT6", c.zoneHours);
        set("EDIT7", c.zoneMinutes);
        SkyFrames sky;
        std::uint8_t frame = 0;
        const SkyFrameTimes times = setUpSearchSky(sky, frame, ObservationInput(ui()), skyChartMode,
                                                   p_->tables, p_->seriesCache, folder_);
        EXPECT_NEAR(times.dayNumberUT, c.dayNumberUT, 1e-9);
    }
}

// The search's frames are the drawing's, to single precision, in both modes and every display
// frame; the velocities are held in single precision.
TEST_F(SearchSky, FramesAreTheDrawingsInBothModesAndEveryDisplayFrame) {
    setTokyo();
    set("EDIT42", "30");
    for (std::uint8_t mode : {skyChartMode, mapChartMode}) {
        for (int display = 0; display < 8; ++display) {
            SCOPED_TRACE(testing::Message() << int(mode) << ' ' << display);
            ui().control("COMBO5").setIndex(display);
            p_->chartView.chartMode = mode;
            ASSERT_TRUE(SEARCHCNST(*p_));
            const SkyFrames& s = p_->searchSky;
            EXPECT_EQ(p_->searchDisplayFrameIndex, display);

            SkyFrames d;
            const SkyFrameTimes times = setUpSkyFrames(*p_, d);
            BodyTable bodies;
            fillBodyTable(*p_, d, bodies, times.dayNumberTT);
            setBaseMatrices(d, mode, display, p_->tables);

            for (auto member : {&SkyFrames::icrfToMeanEquator, &SkyFrames::meanEquatorToIcrf,
                                &SkyFrames::meanEclipticToMeanEquator, &SkyFrames::meanEquatorToMeanEcliptic,
                                &SkyFrames::trueEclipticToTrueEquator, &SkyFrames::trueEquatorToTrueEcliptic,
                                &SkyFrames::meanEquatorToTrueEquator, &SkyFrames::trueEquatorToMeanEquator,
                                &SkyFrames::j2000EclipticToTrueEcliptic})
                expectNear(s.*member, d.*member, 1e-15);
            // The place and sidereal time in single precision move the base frame by ~1e-7.
            expectNear(s.trueEquatorToBase, d.trueEquatorToBase, 1e-6);
            expectNear(s.baseToTrueEquator, d.baseToTrueEquator, 1e-6);
            EXPECT_NEAR(s.horizonDipSine, d.horizonDipSine, 1e-7);
            EXPECT_EQ(s.horizonDipSine == 0, mode == mapChartMode);
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(s.diurnalAberration[i], d.diurnalAberration[i], 1e-12);
                EXPECT_NEAR(s.annualAberrationEquatorial[i], d.annualAberrationEquatorial[i], 1e-11);
                EXPECT_TRUE(single(s.diurnalAberration[i]));
                EXPECT_TRUE(single(s.annualAberrationEquatorial[i]));
            }
        }
    }
    // In the sky chart the display frame plays no part.
    p_->chartView.chartMode = skyChartMode;
    ui().control("COMBO5").setIndex(0);
    ASSERT_TRUE(SEARCHCNST(*p_));
    const RotationMatrix first = p_->searchSky.trueEquatorToBase;
    ui().control("COMBO5").setIndex(6);
    set("EDIT42", "90");
    ASSERT_TRUE(SEARCHCNST(*p_));
    EXPECT_EQ(p_->searchSky.trueEquatorToBase, first);
    EXPECT_TRUE(alerts().empty());
}

// A search between a drawing and a click leaves the drawing's state as it was.
TEST_F(SearchSky, LeavesTheDrawnSkyAlone) {
    setTokyo();
    drawAt("320", "1", 180, 45);
    const DrawingState before = p_->drawn;
    set("EDIT8", "1990");
    set("EDIT2", "-70");
    ASSERT_TRUE(SEARCHCNST(*p_));
    EXPECT_EQ(p_->drawn.sky.baseToChart, before.sky.baseToChart);
    EXPECT_EQ(p_->drawn.sky.trueEquatorToBase, before.sky.trueEquatorToBase);
    EXPECT_EQ(p_->drawn.sky.j2000EclipticToTrueEcliptic, before.sky.j2000EclipticToTrueEcliptic);
    EXPECT_EQ(p_->drawn.sky.annualAberration, before.sky.annualAberration);
    EXPECT_EQ(p_->drawn.sky.horizonDipSine, before.sky.horizonDipSine);
    EXPECT_NE(p_->searchSky.trueEquatorToBase, before.sky.trueEquatorToBase);
}

TEST_F(SearchSky, ASeriesFileThatFailsStopsTheSearchWithOneAlert) {
    for (const char* name : {"nutation.txt", "prmsun2.plt"}) {
        SCOPED_TRACE(name);
        const auto file = folder_ / name;
        const auto kept = folder_ / "kept";
        std::filesystem::rename(file, kept);
        const std::size_t alertsBefore = alerts().size();
        const RotationMatrix before = p_->searchSky.trueEquatorToBase;
        set("EDIT104", "Vega");
        ui().userClick("BUTTON73");
        EXPECT_EQ(alerts().size(), alertsBefore + 1);
        EXPECT_NE(alerts().back().find(name), std::string::npos);
        EXPECT_EQ(p_->searchSky.trueEquatorToBase, before);
        EXPECT_FALSE(ui().form("FORM6").visible());
        std::filesystem::rename(kept, file);
    }
}

// A place or date the frames cannot be made of is the field's fault, not a series file's.
TEST_F(SearchSky, APlaceOrDateFieldItCannotComputeStopsTheSearchNamingTheField) {
    struct Case {
        const char* edit;
        const char* text;
        const char* alert;
    };
    const Case cases[] = {
        {"EDIT8", "1e30", "Year must be a number from -16777216 to 16777216."},
        {"EDIT9", "-1e308", "Day must be a number from -16777216 to 16777216."},
        {"EDIT6", "1e30", "Actual Time Zone must be a number from -16777216 to 16777216."},
        {"EDIT8", "1e400", "Year must be a number from -16777216 to 16777216."},
        {"EDIT10", "-inf", "Hour must be a number from -16777216 to 16777216."},
        {"EDIT2", "9e99", "Longitude must be a number from -3.4E+38 to 3.4E+38."},
        {"EDIT3", "nan", "Latitude must be a number from -3.4E+38 to 3.4E+38."},
        {"EDIT43", "1e39", "Altitude must be a number from -3.4E+38 to 3.4E+38."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const std::string kept = ui().control(c.edit).text();
        const RotationMatrix before = p_->searchSky.trueEquatorToBase;
        set(c.edit, c.text);
        set("EDIT104", "Vega");
        dialogs_->calls.clear();
        ui().userClick("BUTTON73");
        EXPECT_EQ(alerts(), std::vector<std::string>{c.alert});
        EXPECT_EQ(p_->searchSky.trueEquatorToBase, before);
        EXPECT_FALSE(ui().form("FORM6").visible());
        set(c.edit, kept);
    }
}

} // namespace
} // namespace nivora
