#include "render/grids.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "render/culling.h"
#include "render/grid_numbering.h"
#include "render/pipeline.h"
#include "render/program_records.h"
#include "render/visibility_grid.h"

namespace nivora {

namespace {

// Dots per 10 degrees never exceed this, however large the chart scale.
constexpr int maxDotsPerBlock = 20000;

double cosd(double degrees) { return std::cos(degrees / degreesPerRadian); }
double sind(double degrees) { return std::sin(degrees / degreesPerRadian); }

// What one grid reads from the options, at the start of each family of curves.
struct GridOptions {
    int stepCode = 0;
    int numbers = 0;
    int equinox = 0;   // EquinoxCode; 0 for the horizontal grid
};

GridOptions gridOptions(const ChartOptions& o, GridKind grid)
{
    switch (grid) {
    case GridKind::ecliptic: return {o.eclipticGridStep, o.eclipticGridNumbers, o.eclipticGridEquinox};
    case GridKind::equatorial: return {o.equatorGridStep, o.equatorGridNumbers, o.equatorGridEquinox};
    case GridKind::horizontal: break;
    }
    return {o.zenithGridStep, o.zenithGridNumbers, 0};
}

// One curve's drawing: the options and frames as they stand when the curve starts.
class CurveDrawer {
public:
    CurveDrawer(ProgramRecords& records, GridNumbering& numbering, GridKind grid, const GridCurve& curve)
        : records_(records), numbering_(numbering), grid_(grid), pipeline_(records),
          boxes_{boxCanvas(records, 0), boxCanvas(records, 1)}
    {
        const GridOptions o = gridOptions(records.chartOptions, grid);
        const SkyFrames& sky = records.drawn.sky;
        equinox_ = o.equinox;
        const VisibilityGrid& t = records.drawn.visibility;
        const std::size_t variant = equinox_ == 4 ? 1 : 0;
        switch (grid) {
        case GridKind::ecliptic:
            toBase_ = equinox_ == 3 ? &sky.meanEclipticToBase
                    : equinox_ == 4 ? &sky.j2000EclipticToBase : &sky.trueEclipticToBase;
            table_ = &t.eclipticVisibility[variant];
            break;
        case GridKind::equatorial:
            toBase_ = equinox_ == 3 ? &sky.meanEquatorToBase : equinox_ == 4 ? &sky.icrfToBase : &sky.trueEquatorToBase;
            table_ = &t.equatorVisibility[variant];
            break;
        case GridKind::horizontal:
            table_ = &t.horizonVisibility;
            break;
        }
        const std::uint8_t mode = records.chartView.chartMode;
        removeAberration_ = equinox_ == 1 && mode == mapChartMode && records.drawn.settings.displayFrameIndex % 4 != 0;
        dualBox_ = pipeline_.dualBox();
        reach_ = pipeline_.cullReach();
        scale_ = records.userProjection.chartScale;
        curve_ = curve;
    }

    const VisibilityEntry& node(int lonNode, int latNode) const
    {
        return (*table_)[std::size_t(lonNode)][std::size_t(latNode)];
    }

    void start(const VisibilityEntry& firstNode) { numbering_.startCurve(curve_, pipeline_, firstNode); }

    // The base-frame vector of a grid point, aberration and refraction as its equinox asks.
    DirectionVector toBase(const DirectionVector& u) const
    {
        return grid_ == GridKind::horizontal ? u : pipeline_.refract(unrefracted(u));
    }

    // What to make of a run of the curve's points: u is one of them and every other lies within
    // `arc` radians of it along the curve. A hidden run is passed over but for its last point,
    // which is drawn as usual and so leaves the numbering as the whole run would: no label may
    // fall within it.
    //
    // In one box, not while the curve is inside the box (leaving it is numbered); then the run is
    // hidden when all its points are outside the cap of directions that the drawing limits take
    // in (which hold the box) and above the horizon, or deep enough under it that
    // the numbering does not note them.
    //
    // In the Dual-Box layout the points under the horizon are drawn too, and the numbering labels
    // where the curve passes between the boxes and where it sinks or rises at the horizon. A run
    // is hidden when its points reach neither box and none of that can befall it: it keeps to
    // the hemisphere of the box the curve is in, and lies wholly above the horizon while the
    // curve is not below it, or wholly below while the curve is not above. A curve without
    // numbers is hidden whenever it reaches neither box.
    //
    // The bound: the frames turn the sphere rigidly and the aberration (1E-4 of a direction at
    // most) stretches it by less than 1.001, so before refraction every point lies within 1.001
    // arc of u's; refraction moves z alone, by lifts no farther apart than its spread over the
    // run's heights. Every point w thus lies within d of u's, and in the chart frame within
    // asin(d / |v|) of its direction v.
    RunView runView(const DirectionVector& u, double arc) const
    {
        const int state = numbering_.state();
        const bool inside = state % 4 == 1;
        const double stretched = 1.001 * arc;
        double d = stretched + 1E-12;
        DirectionVector w = u;
        if (grid_ != GridKind::horizontal) {
            w = unrefracted(u);
            d += pipeline_.refractionSpread(w[2] - stretched, w[2] + stretched);
            w = pipeline_.refract(w);
        }
        // A circle of altitude keeps its z: it may lie on the horizon's limit itself.
        const double dz = grid_ == GridKind::horizontal && !curve_.meridian ? 0 : d + 1E-12;
        const bool above = !pipeline_.belowHorizon({0, 0, w[2] - dz}), below = pipeline_.belowHorizon({0, 0, w[2] + dz});
        const DirectionVector v = pipeline_.toChart(w);
        if (dualBox_) {
            const RunView view = PointPipeline::runView(v, d, reach_, true);
            if (view != RunView::hidden || state == 0)
                return view;
            int box = v[2] - d > 0 ? 0 : v[2] + d < 0 ? 1 : -1;
            if (box == -1 && grid_ == GridKind::horizontal && !curve_.meridian)
                box = circleBox(u, v[2], arc);
            const bool quiet = box == numbering_.previousBox() && ((above && state % 4 != 3) || (below && !inside));
            return quiet ? RunView::hidden : RunView::halved;
        }
        if (!inside && pipeline_.belowHorizon({0, 0, w[2] + dz}, 14 / scale_ + 1E-12))
            return RunView::hidden;
        const RunView view = PointPipeline::runView(v, d, reach_);
        if (view == RunView::hidden && (inside || !above))
            return RunView::halved;
        return view;
    }

    // The box of every point of a run of a circle of altitude, its middle point u at chart z
    // `z`, the others within `arc` along it; -1 when they may lie in either. Such a circle
    // lying along the rim between the boxes is as far from either as the points of its run may
    // be from u, yet the chart frame's z of its points moves with the azimuth alone, by no more
    // than the length of that row's first two terms times the arc; the points' angles and the
    // products of the rotation are rounded by some 1E-15 at most.
    int circleBox(const DirectionVector& u, double z, double arc) const
    {
        const RotationMatrix& m = records_.drawn.sky.baseToChart;
        const double across = std::hypot(m[2][0], m[2][1]);
        const double rounding = 1E-14 * (std::fabs(m[2][0]) + std::fabs(m[2][1]) + std::fabs(m[2][2] * u[2]));
        const double spread = across * (1.001 * arc + 1E-14) + rounding;
        return z - spread > 0 ? 0 : z + spread < 0 ? 1 : -1;
    }

    // Steps 1 to 3: the frame and the aberration.
    DirectionVector unrefracted(DirectionVector u) const
    {
        const SkyFrames& sky = records_.drawn.sky;
        DirectionVector w;
        if (equinox_ == 1) {
            if (removeAberration_ && grid_ == GridKind::equatorial) {
                DirectionVector t;
                INVABER(u, sky.annualAberrationEquatorial, t);
                u = t;
            }
            w = rotate(*toBase_, u);
            if (removeAberration_ && grid_ == GridKind::ecliptic) {
                DirectionVector t;
                INVABER(w, sky.annualAberration, t);
                w = t;
            }
        } else {
            w = pipeline_.catalogueToBase(*toBase_, u);
        }
        return w;
    }

    void point(const DirectionVector& u, double latitude, const VisibilityEntry& blockNode, bool firstBlock)
    {
        const DirectionVector w = toBase(u);
        if (pipeline_.belowHorizon(w)) {
            numbering_.belowHorizon(w, latitude);
            if (!dualBox_)
                return;
        }
        const DirectionVector v = pipeline_.toChart(w);
        double X, Y;
        if (dualBox_ && v[2] < 0) {
            pipeline_.project({v[0], -v[1], -v[2]}, X, Y);
            boxes_[1].plotDot(pipeline_.pixelX(X, 1), pipeline_.pixelY(Y), curve_.colour);
            X += pipeline_.boxes().secondBoxOffset;
        } else {
            pipeline_.project(v, X, Y);
            if (pipeline_.withinLimits(X, Y, true))
                boxes_[0].plotDot(pipeline_.pixelX(X), pipeline_.pixelY(Y), curve_.colour);
        }
        numbering_.afterDot(X, Y, v, w, latitude, blockNode, firstBlock);
    }

    void end(const DirectionVector& restingPoint)
    {
        if (numbering_.state() == 5)
            numbering_.endCurve(pipeline_.toChart(toBase(restingPoint)));
    }

private:
    ProgramRecords& records_;
    GridNumbering& numbering_;
    GridKind grid_;
    PointPipeline pipeline_;
    BitmapArea boxes_[2];
    GridCurve curve_;
    int equinox_ = 0;
    const RotationMatrix* toBase_ = nullptr;
    const VisibilityNodes* table_ = nullptr;
    bool removeAberration_ = false;
    bool dualBox_ = false;
    DirectionCap reach_;
    double scale_ = 0;
};

// Bounded before the cast: the scale of a large magnification passes any integer.
int dotsPerBlock(double n) { return n >= maxDotsPerBlock ? maxDotsPerBlock : n >= 1 ? int(n) : 1; }

// Draws the n points of a block, at(k) the k-th point with its latitude, `spacing` radians apart
// along the curve, passing over the runs that cannot reach the picture. The run tests alone pass
// over points, not the visibility tables' codes: a block those hide still moves the numbering,
// which labels where the curve comes back from beyond it.
template <class At>
void drawBlock(CurveDrawer& d, long n, double spacing, const At& at, const VisibilityEntry& n1, bool firstBlock)
{
    const auto visit = [&](long k) {
        const auto [u, latitude] = at(k);
        d.point(u, latitude, n1, firstBlock);
    };
    const auto judge = [&](long k0, long k1) {
        const long middle = (k0 + k1 - 1) / 2;
        const double arc = double(std::max(middle - k0, k1 - 1 - middle)) * spacing * (1 + 1E-9);
        return d.runView(at(middle).first, arc);
    };
    visitRuns(0, n, 8, judge, visit, [&](long, long k1) { visit(k1 - 1); });
}

struct Grid {
    ProgramRecords& records;
    GridNumbering& numbering;
    GridKind kind;
    int colour;

    GridCurve curve(bool meridian, int c, int s) const
    {
        return {kind, meridian, c, s, colour - records.chartOptions.whiteBackground,
                gridOptions(records.chartOptions, kind).numbers == 1};
    }

    // The point a circle that never leaves the box is numbered at.
    DirectionVector restingPoint(int b) const
    {
        const SkyFrames& sky = records.drawn.sky;
        double a = 0;
        switch (kind) {
        case GridKind::ecliptic: a = sky.localSiderealTime - 30 / degreesPerRadian; break;
        case GridKind::equatorial: a = sky.localSiderealTime; break;
        case GridKind::horizontal: a = sky.directionAzimuth; break;
        }
        const double cb = cosd(b);
        return {cb * std::cos(a), cb * std::sin(a), sind(b)};
    }

    void circle(int b, int s)
    {
        CurveDrawer d(records, numbering, kind, curve(false, b, s));
        const int latNode = b / 5 + 18;
        const double cb = cosd(b), sb = sind(b);
        int n = dotsPerBlock(cb * records.userProjection.chartScale / 80);
        if (kind == GridKind::horizontal && s > 30 && b == 0)
            n *= 3;
        if (s == 30 && b % 90 == 0)
            n *= 3;
        if (s <= 10 && b % 30 == 0)
            n *= 3;
        d.start(d.node(0, latNode));
        for (int L = 0; L <= 350; L += 10) {
            const VisibilityEntry& n1 = d.node(L / 5, latNode);
            const auto at = [&](long k) {
                const double a = L + double(k) * 10.0 / n;
                return std::pair{DirectionVector{cb * cosd(a), cb * sind(a), sb}, double(b)};
            };
            drawBlock(d, n, cb * 10.0 / n / degreesPerRadian, at, n1, L == 0);
        }
        d.end(restingPoint(b));
    }

    // A meridian from its pole-ward first point, or from `horizonFirst` in a single-box sky chart.
    void meridian(int l, int s, std::optional<int> horizonFirst)
    {
        CurveDrawer d(records, numbering, kind, curve(true, l, s));
        const int lonNode = l / 5;
        const double cL = cosd(l), sL = sind(l);
        const int t = s == 90 || l % (3 * s) == 0 ? 0 : -s;
        const int first = horizonFirst ? *horizonFirst : -90 - t;
        int n = dotsPerBlock(records.userProjection.chartScale / 80.0);
        if (s == 30 && l % 90 == 0)
            n *= 3;
        if (s <= 10 && l % 30 == 0)
            n *= 3;
        d.start(d.node(lonNode, first / 5 + 18));
        for (int B = first; B <= 90 + t - 10; B += 10) {
            const int latNode = B / 5 + 18;
            const VisibilityEntry& n1 = d.node(lonNode, latNode);
            const auto at = [&](long k) {
                const double b = B + double(k) * 10.0 / n;
                const double cb = cosd(b);
                return std::pair{DirectionVector{cb * cL, cb * sL, sind(b)}, b};
            };
            drawBlock(d, n, 10.0 / n / degreesPerRadian, at, n1, B == first);
        }
        d.end({cL, sL, 0});
    }

    void draw()
    {
        const ChartOptions& o = records.chartOptions;
        const SkyFrames& sky = records.drawn.sky;
        const bool skyChart = records.chartView.chartMode == skyChartMode;
        const bool single = records.chartView.dualBox == 0;
        int code = gridOptions(o, kind).stepCode;
        if (code == 0)
            return;
        int s = code == 1 ? 90 : code;
        int firstCircle = -90 + s;
        if (kind == GridKind::horizontal && skyChart && single && o.underHorizonDepth < 0.9f) {
            const double dip = -std::atan(sky.horizonDipSine / sky.horizonDipCosine) * degreesPerRadian;
            firstCircle = int(std::floor(dip / s)) * s;
        }
        for (int b = firstCircle; b <= 90 - s; b += s) {
            circle(b, s);
            records.ui.pumpEvents();
        }
        code = gridOptions(o, kind).stepCode;
        if (code == 0 || code == 1)
            return;
        s = code;
        std::optional<int> firstPoint;
        if (kind == GridKind::horizontal && skyChart && records.chartView.dualBox == 0 && o.underHorizonDepth <= 0.9f) {
            const double k = sky.horizonDipSine + (double(o.underHorizonDepth) + double(0.02f)) / sky.horizonDipCosine;
            firstPoint = int(std::floor(-std::atan(k / sky.horizonDipCosine) * degreesPerRadian / 10)) * 10;
        }
        for (int l = 0; l <= 360 - s; l += s) {
            meridian(l, s, firstPoint);
            records.ui.pumpEvents();
        }
    }
};

} // namespace

void gridPass(ProgramRecords& records)
{
    GridNumbering numbering(records);
    Grid{records, numbering, GridKind::ecliptic, 13}.draw();
    Grid{records, numbering, GridKind::equatorial, 5}.draw();
    Grid{records, numbering, GridKind::horizontal, 3}.draw();
}

} // namespace nivora
