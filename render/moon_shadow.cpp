#include "render/moon_shadow.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "astro/constants.h"
#include "astro/numbertext.h"
#include "astro/seriescache.h"
#include "render/bodymarks.h"
#include "render/program_records.h"
#include "render/sun_planets.h"

namespace nivora {

namespace {

// The Moon's geocentric distance at its light-time corrected instant, km.
double moonGeocentricDistance(const ProgramRecords& records)
{
    const auto& moon = records.drawn.bodies.bodyPositions[moonBody];
    const DirectionVector topocentric = scaled({moon[0], moon[1], moon[2]}, moon[3]);
    const DirectionVector& observer = records.drawn.sky.observerPositionEcliptic;
    return length({topocentric[0] + observer[0], topocentric[1] + observer[1], topocentric[2] + observer[2]});
}

double shadowDistance(const ProgramRecords& records)
{
    if (records.planetSettings.earthShadowDistanceMode == 1)
        return moonGeocentricDistance(records);
    return records.ui.formNumber("FORM8", "EDIT79");
}

// The shadow's axis: the direction opposite the Sun, aberrated, as it was twice the light time
// of the distance D earlier. Longitude and latitude of the Sun, radians.
void sunAtShadow(ProgramRecords& records, DayNumber dayNumberTT, double D, double& lon, double& lat)
{
    const SkyFrames& sky = records.drawn.sky;
    const SeriesFrames frames{sky.j2000EclipticToTrueEcliptic, records.drawn.bodies.sunVector,
                              sky.annualAberrationEcliptic};
    double r;
    PLTLOC0(records.tables, frames, records.seriesCache, records.file("prmsun2.plt"),
            dayNumberTT - D / lightSpeed / 43200, 0, 1, lon, lat, r);
}

// Up to this many dots per arc, whatever the step asks.
constexpr float maxDotsPerArc = 100000;

void drawShadow(ProgramRecords& records, DayNumber dayNumberTT)
{
    double D = shadowDistance(records);
    const double F = records.ui.formNumber("FORM8", "EDIT106");
    double lambda, beta;
    sunAtShadow(records, dayNumberTT, D, lambda, beta);
    if (!(D >= earthRadius))
        D = earthRadius;
    const ShadowRadii radii = shadowRadii(D, records.drawn.bodies.sunDistance * astronomicalUnit, F);

    const SkyFrames& sky = records.drawn.sky;
    const float chartScale = records.userProjection.chartScale;
    const int colour = 13 - records.chartOptions.whiteBackground;
    const PointPipeline pipeline(records);
    constexpr double justAbove = std::numeric_limits<double>::denorm_min();
    const MarkPlacer placer(records, justAbove, justAbove);
    BitmapArea boxes[2] = {boxCanvas(records, 0), boxCanvas(records, 1)};
    const double cl = std::cos(lambda), sl = std::sin(lambda), cb = std::cos(beta), sb = std::sin(beta);
    const int n = shadowArcCount(D);

    for (const double rho : {radii.umbra, radii.penumbra}) {
        if (!(rho > 0) || !(rho < D))
            continue;
        const double x0 = std::sqrt(D * D - rho * rho);
        auto pointAt = [&](double t) -> DirectionVector {
            const double px = x0, py = rho * std::cos(t), pz = rho * std::sin(t);
            const double qx = px * cb + pz * sb, qy = py, qz = -px * sb + pz * cb;
            return {-qx * cl + qy * sl, -qx * sl - qy * cl, qz};
        };
        for (int j = 0; j < n; ++j) {
            float t0, t1, step;
            if (n == 1) {
                t0 = 0;
                t1 = float(2 * pi);
                step = float(8 / chartScale / rho * D);
            } else {
                t0 = float(2 * pi * j / n);
                t1 = float(t0 + 2 * pi / n);
                const double L = length(minus(pointAt((double(t0) + t1) / 2), sky.observerPositionEcliptic));
                step = float(12 / chartScale / rho * L);
            }
            if (!std::isfinite(step) || !(step > 0))
                continue;
            if ((t1 - t0) / step > maxDotsPerArc)
                step = (t1 - t0) / maxDotsPerArc;
            for (float t = t0; t <= t1; t += step) {
                DirectionVector u = minus(pointAt(t), sky.observerPositionEcliptic);
                const double l = length(u);
                if (!(l > 0))
                    continue;
                u = scaled(u, 1 / l);
                // The shadow moves with the Earth: the Moon's rule, no annual aberration.
                const DirectionVector base = pipeline.bodyToBase(moonBody, u);
                for (const ChartPixel& p : placer.pixels(base))
                    boxes[p.box].plotDot(p.x, p.y, colour);
            }
        }
    }
}

} // namespace

ShadowRadii shadowRadii(double D, double rs, double F)
{
    const double a = sunRadius - earthRadius, b = sunRadius + earthRadius;
    const double h = std::sqrt(std::max(0.0, D * D - earthRadius * earthRadius));
    return {F * (earthRadius * std::sqrt(rs * rs - a * a) - h * a) / rs,
            F * (earthRadius * std::sqrt(rs * rs - b * b) + h * b) / rs};
}

int shadowArcCount(double D) { return D > 10000 ? 1 : int(std::floor(20000 / (D - 5400))); }

void drawAntisolar(ProgramRecords& records, DayNumber dayNumberTT)
{
    const int mode = records.chartOptions.antisunDisplayMode;
    if (mode == 11) {
        drawShadow(records, dayNumberTT);
        return;
    }
    if (mode != 1 && mode != 2)
        return;
    const ApparentBody body = apparentBody(records, antisunBody);
    if (body.hidden)
        return;
    const float r = crossHalfSize(records.chartView.imageSize);
    const int colour = 13 - records.chartOptions.whiteBackground;
    for (const ChartPixel& p : bodyMarkPixels(records, body.base))
        drawMark(boxCanvas(records, p.box), MarkKind::cross, p.x, p.y, r, colour);
}

void drawMoon(ProgramRecords& records)
{
    const auto& entry = records.drawn.bodies.bodyPositions[moonBody];
    if (!(entry[3] > 0))
        return;
    const int wb = records.chartOptions.whiteBackground;
    const float s = semiDiameter(moonRadius, entry[3]);
    const ApparentBody body = apparentBody(records, moonBody);
    double azimuth, elevation, r;
    ZENITH(body.apparent[0], body.apparent[1], body.apparent[2], azimuth, elevation, r);

    if (!body.hidden || trueSizeMode(records.chartOptions.moonDisplayMode))
        drawSunMoonMark(records, body, records.chartOptions.moonDisplayMode, s, 14);

    const int textColour = 15 * (1 - wb);
    const float x = panelLeftOf(records);
    BitmapArea panel = panelCanvas(records);
    panel.drawText(x, moonRow, "Mon:" + azimuthElevationText(azimuth, elevation), textColour);
    const ReadoutOptions& readout = records.readoutOptions;
    if (readout.readoutBody == moonBody && readout.readoutFrame < 20) {
        const std::string angle = records.minuteOptions.commentUnit == 1 ? DSPSEXA(entry[4], 8, 2)
                                                                         : DSPSEXA(entry[4], 3, 2).substr(2);
        panel.drawText(x, parallaxRow, " Parallax:" + angle, textColour);
    }
}

} // namespace nivora
