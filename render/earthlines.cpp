#include "render/earthlines.h"

#include <cmath>
#include <numeric>
#include <vector>

#include "astro/constants.h"
#include "render/bodymarks.h"
#include "render/culling.h"
#include "render/pipeline.h"
#include "render/program_records.h"

namespace nivora {

namespace {

void plot(ProgramRecords& records, const MarkPlacer& placer, const DirectionVector& w, int colour)
{
    for (const ChartPixel& p : placer.pixels(w))
        boxCanvas(records, p.box).plotDot(p.x, p.y, colour);
}

} // namespace

void earthLinesPass(ProgramRecords& records)
{
    const int m = records.chartOptions.earthGridMinutes;
    if (m <= 0 || records.chartView.chartMode != skyChartMode)
        return;
    const SkyFrames& sky = records.drawn.sky;
    const Ui& ui = records.ui;
    const double hL = ui.formNumber("FORM5", "EDIT77");
    const double phiDeg = sky.observerLatitude * degreesPerRadian;
    const double lambdaDeg = sky.observerLongitude * degreesPerRadian;
    const double hO = double(ui.formNumber("MAINFORM", "EDIT43")) / 1000;
    const double e2 = earthEccentricitySquared;
    const double sf = std::sin(sky.observerLatitude), cf = std::cos(sky.observerLatitude);
    const double NO = earthRadius / std::sqrt(1 - e2 * sf * sf);
    const double q = NO * e2 * sf;

    // The dip of the horizon seen from the shell, and how far the visible cap reaches.
    const double XL = (NO + hL) * cf, ZL = (NO * (1 - e2) + hL) * sf;
    double c2 = earthRadius * earthRadius / (XL * XL + std::pow(ZL * earthRadius / earthPolarRadius, 2));
    if (c2 > 1)
        c2 = 1;
    const double sinDip = std::sqrt(1 - c2), cosDip = std::sqrt(c2);
    const bool shellBelow = hO >= hL;
    const double t0 = shellBelow ? std::sqrt(std::pow(earthRadius + hO, 2) - std::pow(earthRadius + hL, 2)) : 0;
    const double A = (std::atan(sky.horizonDipSine / sky.horizonDipCosine) + std::atan(sinDip / cosDip)) * degreesPerRadian;
    if (!std::isfinite(A) || !std::isfinite(t0) || !(cosDip > 0))
        return;   // no visible cap at this height

    long latMin = long(std::floor(phiDeg - A)) * 60, latMax = long(std::floor(phiDeg + A)) * 60 + 60;
    long lonMin, lonMax;
    if (cf > 0) {
        lonMin = long(std::floor(lambdaDeg - A / cf)) * 60;
        lonMax = long(std::floor(lambdaDeg + A / cf)) * 60 + 60;
    } else {
        lonMin = 0, lonMax = 21600 - m;
        if (sf > 0)
            latMax = 5400 - m;
        else
            latMin = -5400;
    }
    if (latMin < -5400)
        latMin = -5400, lonMin = 0, lonMax = 21600 - m;
    if (latMax > 5400)
        latMax = 5400 - m, lonMin = 0, lonMax = 21600 - m;
    if (lonMax - lonMin > 21600 + 120)
        lonMin = 0, lonMax = 21600 - m;

    // The topocentric vector of the shell point on a parallel and a meridian, arc minutes. The
    // lattice's own parallels and meridians are worked out once: a distant observer's cap holds
    // millions of lattice points, most of them off the chart.
    struct Parallel {
        double sa, ca, N;
    };
    struct Meridian {
        double cb, sb;
    };
    auto parallelAt = [&](double a) {
        const double ar = a / degreesPerRadian / 60;
        const double sa = std::sin(ar), ca = std::cos(ar);
        return Parallel{sa, ca, earthRadius / std::sqrt(1 - e2 * sa * sa)};
    };
    auto meridianAt = [&](double b) {
        const double br = b / degreesPerRadian / 60;
        return Meridian{std::cos(br), std::sin(br)};
    };
    auto shellPoint = [&](const Parallel& p, const Meridian& l) -> DirectionVector {
        DirectionVector w = rotate(sky.greenwichToHorizon,
                                   {(p.N + hL) * p.ca * l.cb, (p.N + hL) * p.ca * l.sb, (p.N * (1 - e2) + hL) * p.sa + q});
        w[2] -= NO + hO;
        return w;
    };
    std::vector<Parallel> parallels;
    for (long a = latMin; a <= latMax + 3; a += 3)
        parallels.push_back(parallelAt(double(a)));
    std::vector<Meridian> meridians;
    for (long b = lonMin; b <= lonMax + 3; b += 3)
        meridians.push_back(meridianAt(double(b)));
    const ProjectionKind kind = records.chartOptions.projectionKind;
    const ChartGeometry& g = records.drawn.geometry;
    auto project = [&](const DirectionVector& w, double& X, double& Y) {
        const DirectionVector v = rotate(sky.baseToChart, w);
        DISPXY(v[0], v[1], v[2], kind, X, Y, records.userProjection);
    };
    const bool dropOutside = records.chartView.dualBox == 0 || records.chartView.magnification > 1;
    const double limit = -sky.horizonDipSine - double(records.chartOptions.underHorizonDepth);
    const int colour = 11 - records.chartOptions.whiteBackground;
    const MarkPlacer placer(records, markBoundary, -markBoundary, false);

    // One 3-minute segment from lattice point (i, j) along the parallel or the meridian.
    auto segment = [&](std::size_t i, std::size_t j, bool parallel, double X1, double Y1, long remainder) {
        const double a = double(latMin + 3 * long(i)), b = double(lonMin + 3 * long(j));
        double X2, Y2;
        project(parallel ? shellPoint(parallels[i], meridians[j + 1]) : shellPoint(parallels[i + 1], meridians[j]), X2, Y2);
        const double L = std::hypot(X2 - X1, Y2 - Y1);
        const double f = remainder > 0 ? 1.5 + double(2.8f) : 1.5;
        const double u = L > 0 && std::isfinite(L) ? 3 / L * f : 4;   // no length: the start alone
        for (double e = 0; e <= 3; e += u) {
            const DirectionVector w = parallel ? shellPoint(parallels[i], meridianAt(b + e))
                                               : shellPoint(parallelAt(a + e), meridians[j]);
            const double r = length(w);
            if ((shellBelow && r > t0) || (!shellBelow && w[2] / r < limit))
                continue;
            plot(records, placer, w, colour);
        }
    };
    // Seen from above the shell, a lattice point farther than t0 by more than a segment's length
    // has no dot in sight: it is not projected. A segment is at most (M + |hL|) 3' long, M the
    // meridian's radius of curvature, under 2 earthRadius.
    const double reach = 2 * (earthRadius + std::fabs(hL)) * 3 / 60 / degreesPerRadian;
    // A run of lattice points with their segments lies within a patch of the shell, every point
    // of it within `speed` km per radian of latitude and longitude from the patch's centre: the
    // radii of curvature of the ellipsoid stay below earthRadius / sqrt(1 - e2).
    const double speed = earthRadius / std::sqrt(1 - e2) * 1.001 + std::fabs(hL);
    const double limitReach = PointPipeline(records).limitReach();
    // A patch is hidden when no lattice point of it is projected: the whole patch lies beyond t0
    // (seen from above the shell) or, where the lattice point's limit test drops, beyond the
    // angle from the chart centre that the limits take in. It is halved while its rim may cross
    // either.
    auto patchView = [&](double a0, double a1, double b0, double b1) {
        const DirectionVector centre = shellPoint(parallelAt((a0 + a1) / 2), meridianAt((b0 + b1) / 2));
        const double radius = speed * ((a1 - a0) + (b1 - b0)) / 2 / 60 / degreesPerRadian * (1 + 1E-9) + 1E-6;
        const double distance = length(centre);
        if (shellBelow && distance - radius > t0 + reach)
            return RunView::hidden;
        const RunView view = dropOutside ? PointPipeline::runView(rotate(sky.baseToChart, centre), radius, limitReach)
                                         : RunView::drawn;
        return view == RunView::drawn && shellBelow && distance + radius > t0 + reach ? RunView::halved : view;
    };
    // Lattice longitudes are multiples of 3'; off a parallel only those on a meridian count.
    const long meridianStep = std::lcm(3L, long(m));
    const long firstMeridian = lonMin + (meridianStep - lonMin % meridianStep) % meridianStep;
    long rows = 0;
    for (long a = latMin; a <= latMax; a += 3) {
        const bool onParallel = a % m == 0;
        const std::size_t i = std::size_t((a - latMin) / 3);
        const long first = onParallel ? lonMin : firstMeridian, step = onParallel ? 3 : meridianStep;
        auto lattice = [&](long k) {
            const long b = first + k * step;
            const bool onMeridian = b % m == 0;
            const std::size_t j = std::size_t((b - lonMin) / 3);
            const DirectionVector w = shellPoint(parallels[i], meridians[j]);
            if (cullingOn() && shellBelow && length(w) > t0 + reach)
                return;
            double X1, Y1;
            project(w, X1, Y1);
            if (dropOutside && (std::fabs(X1) > g.halfWidthLimit || std::fabs(Y1 - g.directionOffset) > g.halfHeightLimit))
                return;
            if (onParallel)
                segment(i, j, true, X1, Y1, a % 60);
            if (onMeridian)
                segment(i, j, false, X1, Y1, b % 60);
        };
        auto judge = [&](long k0, long k1) {
            return patchView(double(a), double(a + 3), double(first + k0 * step), double(first + (k1 - 1) * step + 3));
        };
        const long count = first <= lonMax ? (lonMax - first) / step + 1 : 0;
        visitRuns(0, count, 8, judge, lattice, [](long, long) {});
        if (++rows % 200 == 0)
            records.ui.pumpEvents();
    }
}

} // namespace nivora
