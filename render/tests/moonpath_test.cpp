#include "render/moonpath.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "astro/constants.h"
#include "render/tests/erfa_sky.h"
#include "render/tests/sky_chart.h"

namespace nivora {
namespace {

using testing_support::ErfaObserver;
using testing_support::Place;
using testing_support::SkyChart;
using testing_support::countColour;

bool colourNear(const ChartBitmap& b, int colour, float x, float y)
{
    const int cx = int(std::lround(x)), cy = int(std::lround(y));
    return countColour(b, colour, cx - 1, cy - 1, cx + 1, cy + 1) > 0;
}

const Place tokyo = {"Tokyo", 139.7, 35.7, 0, 2024, 5, 14, 10.5};

// ERFA's geocentric Moon at a dynamical-time Julian date, in the true equator of date.
DirectionVector erfaMoonTrueEquator(double tt)
{
    testing_support::ErfaObserver o;
    o.tt = tt;
    double p[3], npb[3][3], t[3];
    testing_support::erfaGeocentric(o, moonBody, p);
    eraPnm06a(tt, 0, npb);
    eraRxp(npb, p, t);
    eraPn(t, &p[0], t);
    return {t[0], t[1], t[2]};
}

// Types the centre of a star map: a direction of its display frame.
void centreMapOn(SkyChart& chart, const DirectionVector& v)
{
    double lon, lat, r;
    ZENITH(v[0], v[1], v[2], lon, lat, r);
    chart.set("EDIT2", testing_support::number(lon * degreesPerRadian));
    chart.set("EDIT3", testing_support::number(lat * degreesPerRadian));
}

// Whether the Moon's colour lies within a pixel of each place where the chart puts base-frame
// direction w; places off the picture or under the direction point's cross at the centre are
// not looked at. Counts the places looked at.
void expectMoonDotsAt(const SkyChart& chart, const DirectionVector& w, int& checked, int label)
{
    for (const ChartPixel& p : MarkPlacer(chart, markBoundary, -markBoundary).pixels(w)) {
        if (p.x < 0 || p.x >= panelLeftOf(chart) || std::hypot(p.x - 180, p.y - 180) < 5)
            continue;
        EXPECT_TRUE(colourNear(chart.chartBitmap, 14, p.x, p.y)) << label << " " << p.x << " " << p.y;
        ++checked;
    }
}

// A star map of the true equator centred on the Moon: the computed track (mode 2) passes within a
// pixel of ERFA's Moon at each whole day from the drawing's instant, in one box and in two.
TEST(MoonPath, TheTrackFollowsErfasMoonDayByDay)
{
    for (const int dual : {0, 1}) {
        SCOPED_TRACE(dual);
        SkyChart chart(tokyo);
        chart.chartView.chartMode = mapChartMode;
        chart.chartView.dualBox = std::uint8_t(dual);
        chart.makeBitmap();
        chart.ui.control("COMBO5").setIndex(1);
        ASSERT_TRUE(chart.draw());
        const double tt = chart.observer(tokyo).tt;
        centreMapOn(chart, erfaMoonTrueEquator(tt));
        chart.chartOptions.moonLineMode = 2;
        ASSERT_TRUE(chart.draw());
        int checked = 0;
        for (int k = -15; k <= 14; ++k)
            expectMoonDotsAt(chart, rotate(chart.drawn.sky.trueEquatorToBase, erfaMoonTrueEquator(tt + k - double(1.484E-5f))),
                             checked, k);
        EXPECT_GE(checked, dual ? 29 : 12);   // Dual-Box draws every day
    }
}

// The point of the mean orbit at orbital longitude g degrees from ERFA's mean node of date,
// inclined 5.1566901 degrees to the mean ecliptic of date: an ICRF unit vector.
DirectionVector meanOrbitPoint(double tt, double gDegrees)
{
    const double node = eraFaom03((tt - ERFA_DJ00) / ERFA_DJC), incl = double(5.1566901f) * ERFA_DD2R;
    double eclipticToIcrs[3][3];
    eraEcm06(tt, 0, eclipticToIcrs);
    const double g = gDegrees * ERFA_DD2R;
    // Along the node line, then up the inclined plane.
    const double x = std::cos(g), y = std::sin(g) * std::cos(incl), z = std::sin(g) * std::sin(incl);
    double e[3] = {x * std::cos(node) - y * std::sin(node), x * std::sin(node) + y * std::cos(node), z};
    double icrs[3];
    eraTrxp(eclipticToIcrs, e, icrs);
    return {icrs[0], icrs[1], icrs[2]};
}

// The mean orbit on an ICRF star map centred on its northernmost point: every tenth degree of
// orbital longitude from ERFA's mean node, inclined 5.1566901 degrees to the mean ecliptic of
// date, has a dot within a pixel.
TEST(MoonPath, TheMeanOrbitCrossesTheEclipticAtErfasNode)
{
    SkyChart chart(tokyo);
    chart.chartView.chartMode = mapChartMode;
    chart.makeBitmap();
    chart.ui.control("COMBO5").setIndex(3);
    ASSERT_TRUE(chart.draw());
    const double tt = chart.observer(tokyo).tt;
    auto orbitPoint = [&](double gDegrees) { return meanOrbitPoint(tt, gDegrees); };
    centreMapOn(chart, orbitPoint(90));
    chart.chartOptions.moonLineMode = 1;
    ASSERT_TRUE(chart.draw());
    int checked = 0;
    for (int g = 0; g < 360; g += 10)
        expectMoonDotsAt(chart, rotate(chart.drawn.sky.icrfToBase, orbitPoint(g)), checked, g);
    EXPECT_GE(checked, 15);
}

TEST(MoonPath, ModeFourColoursTheTrackUnderTheMovingHorizon)
{
    for (const int wb : {0, 1}) {
        SkyChart chart(tokyo);
        chart.chartOptions.moonDisplayMode = 0;
        chart.chartOptions.whiteBackground = std::uint8_t(wb);
        chart.chartOptions.moonLineMode = 4;
        ASSERT_TRUE(chart.draw());
        EXPECT_GT(countColour(chart.chartBitmap, 3 - wb, 20, 20, 340, 340), 20) << wb;
        EXPECT_GT(countColour(chart.chartBitmap, 14, 20, 20, 340, 340), 20) << wb;
    }
    EXPECT_EQ(moonPathPointsPerDay(320), 6);
    EXPECT_EQ(moonPathPointsPerDay(30), 1);   // below 50: one point a day
    EXPECT_EQ(moonPathPointsPerDay(3E38f), 100000000);
    EXPECT_EQ(moonPathPointsPerDay(INFINITY), 1);
}

// The Moon of the series never moves faster than the bound the track's culling takes, at any
// date from 1000 to 3000, perigee or apogee: every 0.01 day through a month at dates spread over
// the millennia.
TEST(MoonPath, TheSeriesMoonKeepsUnderTheSpeedBound)
{
    SkyChart chart(tokyo);
    const auto series = chart.seriesCache.series(chart.file("prmmon2.plt"));
    const SeriesFrames frames;
    const auto place = [&](double dayNumber) {
        double lambda, beta, distance;
        locateFromSeries(chart.tables, frames, *series, dayNumber, 0, 0, lambda, beta, distance);
        const DirectionVector u = unitVector(lambda, beta);
        return DirectionVector{u[0] * distance, u[1] * distance, u[2] * distance};
    };
    constexpr double step = 0.01;
    double fastest = 0;
    for (int window = 0; window < 40; ++window) {
        // Day numbers from J2000, 50 years and a few days apart.
        const double first = -365250 + window * (50 * 365.25 + 3.7);
        DirectionVector last = place(first);
        for (int i = 1; i <= 2800; ++i) {
            const DirectionVector next = place(first + i * step);
            fastest = std::max(fastest, length(minus(next, last)) / step);
            last = next;
        }
    }
    EXPECT_GT(fastest, 0.8 * moonSpeedBound);   // the distances are kilometres
    EXPECT_LT(fastest, moonSpeedBound);
}

// A sky chart at a place and time, centred on the apparent Moon or 100 pixels above it, with one
// track drawn and the Moon's mark on or off.
SkyChart& drawTrack(SkyChart& chart, int mode, bool above, bool mark = true)
{
    chart.chartOptions.refractionOn = 1;
    chart.chartOptions.moonDisplayMode = 1;
    EXPECT_TRUE(chart.draw());
    chart.centreOnMoon(above ? 100 : 0);
    chart.chartOptions.moonDisplayMode = mark ? 1 : 0;
    chart.chartOptions.moonLineMode = std::uint8_t(mode);
    EXPECT_TRUE(chart.draw());
    return chart;
}

// Every track is drawn at any magnification single precision holds, with refraction, in a number
// of points that stays countable, in one box and in two; the tracks from the observer still cross
// the picture at the Moon at 1E6.
TEST(MoonPath, EveryTrackIsDrawnAtAnyMagnification)
{
    const Place tokyo = {"Tokyo", 139.7, 35.7, 0, 2024, 5, 23, 15};
    for (const std::uint8_t dual : {0, 1})
        for (const double magnification : {1E6, 6E8, 3E38})
            for (const int mode : {1, 2, 3, 4}) {
                SCOPED_TRACE(testing::Message() << "magnification " << magnification << ", mode " << mode
                                                << (dual ? ", Dual-Box" : ""));
                SkyChart chart(tokyo, magnification);
                chart.chartView.dualBox = dual;
                chart.makeBitmap();
                drawTrack(chart, mode, false, false);
                if (magnification == 1E6 && mode >= 3) {
                    EXPECT_GT(countColour(chart.chartBitmap, 14, 20, 20, 340, 340), 50);
                }
            }
}

// A map has no observer: the tracks with parallax are the apparent one (the legends differ).
TEST(MoonPath, OnAStarMapTheParallaxModesDrawTheApparentTrack)
{
    SkyChart chart(tokyo);
    chart.chartView.chartMode = mapChartMode;
    chart.makeBitmap();
    chart.chartOptions.moonLineMode = 2;
    ASSERT_TRUE(chart.draw());
    const QImage apparent = chart.chartBitmap.image().copy(0, 0, 360, 360);
    ASSERT_GT(countColour(chart.chartBitmap, 14, 0, 0, 359, 359), 50);
    for (const int mode : {3, 4}) {
        chart.chartOptions.moonLineMode = std::uint8_t(mode);
        ASSERT_TRUE(chart.draw());
        EXPECT_EQ(chart.chartBitmap.image().copy(0, 0, 360, 360), apparent) << mode;
    }
}

// Where a straight run of evenly spaced dots of a colour passes the point (px, py): the point's
// distance across the run and along it from the nearest place of a dot, both in pixels. The
// dots' line and spacing are fitted, so the offsets are finer than a pixel.
struct RunOffset {
    double across = 0, along = 0;
    int dots = 0;
};
RunOffset offsetFromRun(const ChartBitmap& bitmap, int colour, int width, int height, double px, double py)
{
    std::vector<std::pair<double, double>> dots;
    double mx = 0, my = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (bitmap.pixel(x, y) == colour) {
                dots.emplace_back(x, y);
                mx += x, my += y;
            }
    RunOffset r;
    r.dots = int(dots.size());
    if (r.dots < 10)
        return r;
    mx /= r.dots, my /= r.dots;
    double sxx = 0, syy = 0, sxy = 0;
    for (const auto& [x, y] : dots) {
        sxx += (x - mx) * (x - mx), syy += (y - my) * (y - my), sxy += (x - mx) * (y - my);
    }
    const double angle = std::atan2(2 * sxy, sxx - syy) / 2;
    const double ux = std::cos(angle), uy = std::sin(angle);
    r.across = (px - mx) * -uy + (py - my) * ux;
    std::vector<double> t;
    for (const auto& [x, y] : dots)
        t.push_back((x - px) * ux + (y - py) * uy);
    std::sort(t.begin(), t.end());
    std::vector<double> gaps;
    for (std::size_t i = 1; i < t.size(); ++i)
        gaps.push_back(t[i] - t[i - 1]);
    std::nth_element(gaps.begin(), gaps.begin() + long(gaps.size() / 2), gaps.end());
    const double roughSpacing = gaps[gaps.size() / 2];
    // Number the dots (a covered one leaves a gap of two), then fit t = phase + spacing * index.
    double j = 0, sj = 0, st = 0, sjj = 0, sjt = 0;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (i > 0)
            j += std::round((t[i] - t[i - 1]) / roughSpacing);
        sj += j, st += t[i], sjj += j * j, sjt += j * t[i];
    }
    const double n = double(t.size());
    const double spacing = (n * sjt - sj * st) / (n * sjj - sj * sj);
    const double phase = (st - spacing * sj) / n;
    r.along = phase - spacing * std::round(phase / spacing);
    return r;
}

// The full Moon high over Tokyo, on a chart with pixels under 10": its mark (a small disc) and the
// track's point with parallax (mode 3) at the drawing's instant fall on one pixel. The Moon is 90
// degrees from the Earth's apex, where annual aberration would move it most (20", two pixels at
// magnification 210), along its track.
TEST(MoonPath, TheMarkLiesOnTheTracksPointAtTheDrawingsInstant)
{
    const Place fullMoon = {"Tokyo", 139.7, 35.7, 0, 2024, 5, 23, 15};
    for (const double magnification : {210.0, 400.0}) {
        SCOPED_TRACE(magnification);
        SkyChart chart(fullMoon, magnification);
        chart.chartOptions.sunDisplayMode = 0;
        for (auto& mode : chart.planetSettings.planetDisplayMode)
            mode = 0;
        chart.chartOptions.moonDisplayMode = 1;
        ASSERT_TRUE(chart.draw());
        ASSERT_LT(180 * 3600 / chart.userProjection.chartScale, 10) << "arc seconds a pixel";
        // The Moon 40 pixels below the centre, clear of the direction point's cross.
        chart.centreOnMoon(40);
        ASSERT_TRUE(chart.draw());
        const BoxCentres boxes = boxCentres(chart.chartView, chart.chartLayout, 0);
        const auto mark = chart.centroid(14, boxes.x1, boxes.y, 150);
        ASSERT_GT(mark.count, 20);
        ASSERT_GT(std::hypot(mark.x - boxes.x1, mark.y - boxes.y), 30);

        chart.chartOptions.moonDisplayMode = 0;
        chart.chartOptions.moonLineMode = 3;
        ASSERT_TRUE(chart.draw());
        const RunOffset track = offsetFromRun(chart.chartBitmap, 14, int(panelLeftOf(chart)),
                                              chart.chartBitmap.height(), mark.x, mark.y);
        ASSERT_GT(track.dots, 50);
        EXPECT_LE(std::fabs(track.across), 1.0);
        EXPECT_LE(std::fabs(track.along), 1.0);
    }
}

// On a star map of the ICRF, a frame without aberration, the Moon's path is where ERFA puts the
// astrometric Moon: its light-time place with the annual aberration taken out, 15" to 20" along
// the path around the full Moon. On a map of the apparent equator it is the light-time place
// itself. The computed track's point at the drawing's instant (mode 2), and a point of the mean
// orbit where the pass samples it (mode 1), lie on the run of dots to a fraction of a pixel; the
// dots are 3.7 and 4.4 pixels apart, and the aberration moves them about 1.7 pixels here.
TEST(MoonPath, OnAMapWithoutAberrationThePathIsTheAstrometricMoon)
{
    const Place fullMoon = {"Tokyo", 139.7, 35.7, 0, 2024, 5, 23, 15};
    struct Case {
        int display;   // COMBO5: 3 ICRF, 0 apparent equator of date
        int mode;      // moonLineMode
    };
    const Case cases[] = {{3, 2}, {0, 2}, {3, 1}, {0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "display " << c.display << ", mode " << c.mode);
        SkyChart chart(fullMoon, 180);
        chart.chartView.chartMode = mapChartMode;
        chart.makeBitmap();
        chart.ui.control("COMBO5").setIndex(c.display);
        ASSERT_TRUE(chart.draw());
        const ErfaObserver o = chart.observer(fullMoon);
        double q[3], p[3], r;
        if (c.mode == 2) {
            if (c.display == 3)
                testing_support::erfaAstrometricMoon(o, q);
            else
                testing_support::erfaGeocentric(o, moonBody, q);
        } else {
            const double step = 800 / double(chart.userProjection.chartScale);
            const DirectionVector g = meanOrbitPoint(o.tt, std::round(90 / step) * step);
            double pvh[2][3], pvb[2][3];
            eraEpv00(o.tt, 0, pvh, pvb);
            // Taken out to first order: (v/c)^2 is a thousandth of an arc second.
            for (int i = 0; i < 3; ++i)
                q[i] = g[i] - (c.display == 3 ? pvb[1][i] / ERFA_DC : 0);
        }
        eraPn(q, &r, p);
        double npb[3][3], shown[3];
        eraPnm06a(o.tt, 0, npb);
        if (c.display == 3)
            eraCp(p, shown);
        else
            eraRxp(npb, p, shown);
        centreMapOn(chart, {shown[0], shown[1], shown[2]});
        chart.chartOptions.moonLineMode = std::uint8_t(c.mode);
        ASSERT_TRUE(chart.draw());
        const auto pixels = MarkPlacer(chart, markBoundary, -markBoundary)
                                .pixels(rotate(chart.drawn.sky.icrfToBase, {p[0], p[1], p[2]}));
        ASSERT_EQ(pixels.size(), 1u);
        const RunOffset run = offsetFromRun(chart.chartBitmap, 14, int(panelLeftOf(chart)), chart.chartBitmap.height(),
                                            pixels[0].x, pixels[0].y);
        ASSERT_GT(run.dots, 50);
        EXPECT_LE(std::fabs(run.across), 0.5);
        EXPECT_LE(std::fabs(run.along), 0.5);
    }
}

} // namespace
} // namespace nivora
