#include "render/moonpath_earthlines.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <vector>

#include "astro/constants.h"
#include "astro/seriescache.h"
#include "render/bodymarks.h"
#include "render/culling.h"
#include "render/pipeline.h"
#include "render/program_records.h"

namespace nivora {

namespace {

// Diurnal aberration of the sky chart, then unit length.
void addDiurnal(const ProgramRecords& records, DirectionVector& w)
{
    if (records.chartView.chartMode == skyChartMode && records.chartOptions.diurnalAberrationOn == 1)
        w[1] += records.drawn.sky.diurnalAberration[1];
    normalise(w);
}

void plot(ProgramRecords& records, const MarkPlacer& placer, const DirectionVector& w, int colour)
{
    for (const ChartPixel& p : placer.pixels(w))
        boxCanvas(records, p.box).plotDot(p.x, p.y, colour);
}

// How far the Moon's track can move on the sky in a day, radians: at most 16 degrees a day seen
// from the Earth's centre, and under 7 more from an observer the Earth's turn carries round.
constexpr double moonTrackSpeed = 0.5;

// Judges a run of a track's points against the drawing limits, from one point's base vector and
// the arc every point of the run lies within of it. Dual-Box draws every run.
class TrackCuller {
public:
    explicit TrackCuller(const ProgramRecords& records)
        : pipeline_(records), reach_(records.chartView.dualBox == 1 ? pi : pipeline_.limitReach())
    {
    }
    RunView view(const DirectionVector& w, double arc) const
    {
        return reach_ < pi ? pipeline_.runViewWithin(w, arc, reach_) : RunView::drawn;
    }

private:
    PointPipeline pipeline_;
    double reach_;
};

int cell(int a) { return ((a % 72) + 72) % 72; }

// Whether any of the ten cells around the Moon is visible: five longitude cells from the one a
// little west of it, two latitude rows.
bool dayVisible(const ProgramRecords& records, double lambda, double beta)
{
    const auto& nodes = records.drawn.visibility.eclipticVisibility[1];
    int a = int(std::floor(lambda * degreesPerRadian / 5 - double(0.24f)));
    if (a < 0)
        a += 72;
    const double y = (beta * degreesPerRadian + 90) / 5;
    const int y0 = int(std::floor(y));
    const int rows[2] = {y - y0 > 0.5 ? y0 : y0 - 1, y - y0 > 0.5 ? y0 + 1 : y0};
    for (int i = 0; i < 5; ++i)
        for (const int row : rows) {
            if (row < 0 || row > 35)
                continue;
            const auto& c = nodes[std::size_t(cell(a + i))][std::size_t(row)];
            if (c[cellBelow] == 0 && c[cellOutsideX] == 0 && c[cellOutsideY] == 0)
                return true;
        }
    return false;
}

} // namespace

long moonPathPointsPerDay(float chartScale)
{
    // At most 1E8 a day, reached where the field is under a milliarcsecond wide: beyond it the
    // points stand farther apart than 11 pixels rather than a drawing taking minutes. At an
    // infinite scale no point has a place on the chart.
    const double n = std::floor(std::min(double(chartScale) / 50, 1E8));
    return n >= 1 && std::isfinite(chartScale) ? long(n) : 1;
}

void moonPathPass(ProgramRecords& records, double D)
{
    const int mode = records.chartOptions.moonLineMode;
    if (mode < 1 || mode > 4)
        return;
    const SkyFrames& sky = records.drawn.sky;
    const bool skyChart = records.chartView.chartMode == skyChartMode;
    const float chartScale = records.userProjection.chartScale;
    const MarkPlacer placer(records, markBoundary, -markBoundary);
    const TrackCuller culler(records);
    // The Moon moves with the Earth: its apparent place is its light-time place, and a map whose
    // frame has no aberration shows that place with the aberration taken out.
    const bool apparentChart = records.chartView.chartMode < mapChartMode || records.drawn.settings.displayFrameIndex % 4 == 0;

    if (mode == 1) {
        const double T = sky.julianCenturies;
        const double node = (double(125.0446f) - 1934.136084 * T + double(0.0021f) * T * T) / degreesPerRadian;
        const double i = double(5.1566901f) / degreesPerRadian;
        const double cn = std::cos(node), sn = std::sin(node), ci = std::cos(i), si = std::sin(i);
        const RotationMatrix orbit = {{{cn, -sn * ci, sn * si}, {sn, cn * ci, -cn * si}, {0, si, ci}}};
        const RotationMatrix toBase = multiply(sky.meanEclipticToBase, orbit);
        const double step = 800 / double(chartScale);
        if (!(step > 0) || !std::isfinite(step))
            return;
        const auto orbitPoint = [&](long i) {
            const double r = double(i) * step / degreesPerRadian;
            DirectionVector w = rotate(toBase, {std::cos(r), std::sin(r), 0});
            w = annualAberrationPlace(w, sky.annualAberration, true, apparentChart);
            addDiurnal(records, w);
            return w;
        };
        const auto judge = [&](long i0, long i1) {
            return culler.view(orbitPoint((i0 + i1 - 1) / 2), double((i1 - i0 + 1) / 2) * step / degreesPerRadian);
        };
        const long count = long(std::min(360 / step, 1E12)) + 1;
        visitRuns(0, count, 16, judge, [&](long i) { plot(records, placer, orbitPoint(i), 14); }, [](long, long) {});
        return;
    }

    const long n = moonPathPointsPerDay(chartScale);
    const bool dual = records.chartView.dualBox == 1;
    const int below = 3 - records.chartOptions.whiteBackground;
    const SeriesFrames frames{sky.j2000EclipticToTrueEcliptic, records.drawn.bodies.sunVector, sky.annualAberrationEcliptic};
    const auto moonFile = records.file("prmmon2.plt");
    constexpr double lead = double(1.484E-5f);
    // The track's point s of day k, in the base frame, and whether it is under the horizon of an
    // observer carried round (mode 4); lambda, beta and distance hold the day's first place.
    const auto trackPoint = [&](int k, long s, double lambda, double beta, double distance) {
        if (s > 0)
            PLTLOC0(records.tables, frames, records.seriesCache, moonFile, D + k + double(s) / n - lead, 0, 0,
                    lambda, beta, distance);
        DirectionVector w = rotate(sky.trueEclipticToTrueEquator, unitVector(lambda, beta));
        bool hidden = false;
        if (skyChart && mode == 3) {
            for (int j = 0; j < 3; ++j)
                w[j] = w[j] * distance - sky.observerPositionEquatorial[j];
            normalise(w);
        } else if (skyChart && mode == 4) {
            const double alpha = (k + double(s) / n) * 360.98564736 / degreesPerRadian;
            const DirectionVector& o = sky.observerPositionEquatorial;
            const DirectionVector turned = {o[0] * std::cos(alpha) - o[1] * std::sin(alpha),
                                            o[0] * std::sin(alpha) + o[1] * std::cos(alpha), o[2]};
            const double phi = sky.observerLatitude, theta = sky.localSiderealTime + alpha;
            const DirectionVector zenith = {std::cos(phi) * std::cos(theta), std::cos(phi) * std::sin(theta), std::sin(phi)};
            for (int j = 0; j < 3; ++j)
                w[j] = w[j] * distance - turned[j];
            normalise(w);
            hidden = dot(zenith, w) < 0;
        }
        w = rotate(sky.trueEquatorToBase, annualAberrationPlace(w, sky.annualAberrationEquatorial, true, apparentChart));
        addDiurnal(records, w);
        return std::pair{w, hidden};
    };
    for (int k = -15; k <= 14; ++k) {
        double lambda, beta, distance;
        PLTLOC0(records.tables, frames, records.seriesCache, moonFile, D + k - lead, 0, 0, lambda, beta, distance);
        if (!dual && cullingOn() && !dayVisible(records, lambda, beta))
            continue;
        const auto judge = [&](long s0, long s1) {
            const double days = double((s1 - s0 + 1) / 2) / double(n);
            return culler.view(trackPoint(k, (s0 + s1 - 1) / 2, lambda, beta, distance).first, moonTrackSpeed * days);
        };
        const auto visit = [&](long s) {
            const auto [w, hidden] = trackPoint(k, s, lambda, beta, distance);
            plot(records, placer, w, hidden ? below : 14);
        };
        visitRuns(0, n, 16, judge, visit, [](long, long) {});
        records.ui.pumpEvents();
    }
}

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
