#include "render/earthlines.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "astro/constants.h"
#include "render/bodymarks.h"
#include "render/culling.h"
#include "render/geometry.h"
#include "render/pipeline.h"
#include "render/program_records.h"

namespace nivora {

namespace {

// A parallel and a meridian of the shell, arc minutes, their sines worked out once.
struct Parallel {
    double sa, ca, N;
};
struct Meridian {
    double cb, sb;
};

Parallel parallelAt(double a)
{
    const double ar = a / degreesPerRadian / 60;
    const double sa = std::sin(ar), ca = std::cos(ar);
    return Parallel{sa, ca, earthRadius / std::sqrt(1 - earthEccentricitySquared * sa * sa)};
}

Meridian meridianAt(double b)
{
    const double br = b / degreesPerRadian / 60;
    return Meridian{std::cos(br), std::sin(br)};
}

// The shell and the observer: heights in km, and the part of the shell that may be in sight,
// arc minutes of latitude and longitude on a lattice 3' apart.
struct ShellSight {
    int m;              // the lines' spacing, arc minutes
    double hL, hO;      // shell and observer heights
    double NO, q;       // the prime vertical's radius at the observer, and NO e2 sin(latitude)
    bool shellBelow;    // seen from above the shell
    double t0;          // seen from above, how far the shell's horizon lies
    long latMin, latMax, lonMin, lonMax;
};

// Nothing when the lines are off or the height leaves no visible cap.
std::optional<ShellSight> shellSight(const ProgramRecords& records)
{
    const int m = records.chartOptions.earthGridMinutes;
    if (m <= 0 || records.chartView.chartMode != skyChartMode)
        return std::nullopt;
    const SkyFrames& sky = records.drawn.sky;
    const Ui& ui = records.ui;
    const double hL = ui.formNumber("FORM5", "EDIT77");
    const double phiDeg = sky.observerLatitude * degreesPerRadian;
    const double lambdaDeg = sky.observerLongitude * degreesPerRadian;
    const double hO = double(ui.formNumber("MAINFORM", "EDIT43")) / 1000;
    const double e2 = earthEccentricitySquared;
    const double sf = std::sin(sky.observerLatitude), cf = std::cos(sky.observerLatitude);
    const double NO = earthRadius / std::sqrt(1 - e2 * sf * sf);

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
        return std::nullopt;

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
    return ShellSight{m, hL, hO, NO, NO * e2 * sf, shellBelow, t0, latMin, latMax, lonMin, lonMax};
}

// Rows [i0, i1) and columns [j0, j1) of the lattice.
struct Block {
    long i0, i1, j0, j1;
};

// Latitudes [a0, a1] by longitudes [b0, b1] of the shell, arc minutes.
struct Span {
    double a0, a1, b0, b1;
};

// A place in the bitmap before it is rounded to a pixel.
struct Spot {
    double x, y;
};

// The lattice points of a block, as ranges of the lattice's parallels and meridians: every
// column on a parallel's row, a meridian's column on every row.
struct Contents {
    long p0, p1, q0, q1;
    long parallels() const { return p1 - p0; }
    long meridians() const { return q1 - q0; }
    bool empty() const { return p0 == p1 && q0 == q1; }
};

// A block's span seen in one box: the bitmap places of its corners, edge middles and centre,
// and where its dots may fall: within `margin` of the hull of four places.
struct BoxSketch {
    bool reached = false;   // some dot of the block may go into the box
    bool valid = false;     // reached, and every place a finite one of the chart plane
    Spot at[3][3]{};        // [latitude a0, middle, a1][longitude b0, middle, b1]
    bool bounded = false;   // where the dots may fall is known
    Spot hull[4]{};
    double margin = 0;
};

// Whether the closed square of half side h around (x, y) meets the convex hull of four points:
// no axis of the square or of a pair of the points separates them.
bool squareMeetsHull(double x, double y, double h, const Spot (&p)[4])
{
    for (int s = 0; s < 4; ++s)
        for (int t = s + 1; t < 4; ++t) {
            const double nx = p[s].y - p[t].y, ny = p[t].x - p[s].x;
            if (nx == 0 && ny == 0)
                continue;
            double low = HUGE_VAL, high = -HUGE_VAL;
            for (const Spot& q : p) {
                low = std::min(low, q.x * nx + q.y * ny);
                high = std::max(high, q.x * nx + q.y * ny);
            }
            const double c = x * nx + y * ny, r = h * (std::fabs(nx) + std::fabs(ny));
            if (c + r < low || c - r > high)
                return false;
        }
    return true;
}

// The angle from the chart-frame direction c to where the projection's image tears apart: the
// seam at the back of those whose longitude wraps round (its ends, the poles, included), or the
// centre's opposite, which the azimuthal ones spread over a circle or send to infinity.
double tearDistance(ProjectionKind kind, const DirectionVector& c)
{
    switch (kind) {
    case 6:
    case 8:
        return HUGE_VAL;   // what lies beyond their rims goes off the chart
    case 4:
    case 5:
    case 7:
    case 9:
    case 11:
    case 12:
    case 13:
    case 14:
    case 15: {
        // The seam: across = 0, ahead <= 0; the poles on the axis.
        const double ahead = c[2], across = kind == 5 ? c[0] : c[1], axis = kind == 5 ? c[1] : c[0];
        if (ahead <= 0)
            return std::atan2(std::fabs(across), std::hypot(ahead, axis));
        return std::atan2(std::hypot(ahead, across), std::fabs(axis));
    }
    default:
        return std::atan2(std::hypot(c[0], c[1]), -c[2]);
    }
}

// A block of fewer points than this is drawn rather than judged.
constexpr long fewPoints = 16;
// Fewer points than this to a pixel of a block's image: halving it seldom finds a half to pass
// over.
constexpr double densePoints = 4;
// The most lattice points, and ends of segments, a block drawn whole holds.
constexpr long wholeBlockCells = 65536;

// The lines' dots of every lattice point, each point projected once. Seen from far away the
// lattice is finer than a pixel: there a block of lattice points whose dots can only fall on
// pixels that already have the lines' colour is passed over. The blocks are judged coarse to
// fine, each one not passed over drawing one of its dots at once, so that the lines fill the
// picture in before the finer blocks are judged.
class ShellLattice {
public:
    ShellLattice(ProgramRecords& records, const ShellSight& sight);
    void draw();
    long projected() const { return projected_; }

private:
    // The topocentric vector of the shell point on a parallel and a meridian, horizon frame, km.
    DirectionVector shellPoint(const Parallel& p, const Meridian& l) const;
    DirectionVector shellAt(double a, double b) const { return shellPoint(parallelAt(a), meridianAt(b)); }
    DirectionVector latticePoint(long i, long j) const
    {
        return shellPoint(parallels_[std::size_t(i)], meridians_[std::size_t(j)]);
    }
    long latitude(long i) const { return s_.latMin + 3 * i; }
    long longitude(long j) const { return s_.lonMin + 3 * j; }
    void project(const DirectionVector& v, double& X, double& Y)
    {
        ++projected_;
        pipeline_.project(v, X, Y);
    }

    // Seen from above the shell, a lattice point farther than t0 by more than a segment's length
    // has no dot in sight: it is not projected.
    bool beyondReach(const DirectionVector& w) const
    {
        return culling_ && s_.shellBelow && length(w) > s_.t0 + reach_;
    }
    // A projected lattice point whose segments are left out.
    bool dropped(double X, double Y) const
    {
        return dropOutside_ &&
               (std::fabs(X) > g_.halfWidthLimit || std::fabs(Y - g_.directionOffset) > g_.halfHeightLimit);
    }
    // A dot's own test: beyond the shell's horizon, or under the allowance.
    bool outOfSight(const DirectionVector& w) const;
    // The dot of a point, from its chart vector and offsets or from its vector.
    void plot(const DirectionVector& v, double X, double Y);
    void plot(const DirectionVector& w);
    // The dots of the 3' segment from lattice point (i, j) along its parallel or its meridian:
    // the point (w, chart vector v) at (X1, Y1), the segment's end at (X2, Y2).
    void segment(long i, long j, bool parallel, const DirectionVector& w, const DirectionVector& v, double X1,
                 double Y1, double X2, double Y2, long remainder);

    Contents contents(const Block& k) const;
    long points(const Block& k, const Contents& c) const;
    Span span(const Block& k, const Contents& c) const;
    // Every point of the span lies within this many km of its centre.
    double spanRadius(const Span& s) const;
    RunView view(const DirectionVector& centre, double radius) const;
    BoxSketch sketch(const Span& s, const DirectionVector& centre, double radius, int box);
    // Whether every dot of a sketched span would fall on a pixel it cannot change.
    bool settled(const BoxSketch& sketch, int box) const;

    void visit(const Block& k, std::vector<Block>& finer);
    void plotOneDot(const Block& k, const Contents& c);
    void drawBlock(const Block& k);

    ProgramRecords& records_;
    const ShellSight s_;
    const bool culling_ = cullingOn();
    const SkyFrames& sky_;
    const ChartGeometry& g_;
    const PointPipeline pipeline_;
    const bool dual_;
    BitmapArea boxes_[2];
    const int colour_;
    const bool dropOutside_;
    const double limit_;
    const double reach_;
    const DirectionCap limitReach_;
    const DirectionCap cullReach_;
    long rows_ = 0, columns_ = 0;
    std::vector<Parallel> parallels_;
    std::vector<Meridian> meridians_;
    std::vector<long> parallelRows_, meridianColumns_;

    // The offsets of a drawn block's lattice points and segment ends, projected when first needed.
    struct Offsets {
        double X = 0, Y = 0;
        bool known = false;
    };
    std::vector<Offsets> offsets_;
    long projected_ = 0;
    long sincePump_ = 0;
};

ShellLattice::ShellLattice(ProgramRecords& records, const ShellSight& sight)
    : records_(records), s_(sight), sky_(records.drawn.sky), g_(records.drawn.geometry), pipeline_(records),
      dual_(records.chartView.dualBox == 1), boxes_{boxCanvas(records, 0), boxCanvas(records, dual_ ? 1 : 0)},
      colour_(11 - records.chartOptions.whiteBackground),
      dropOutside_(records.chartView.dualBox == 0 || records.chartView.magnification > 1),
      limit_(-records.drawn.sky.horizonDipSine - double(records.chartOptions.underHorizonDepth)),
      // A segment is at most (M + |hL|) 3' long, M the meridian's radius of curvature, under
      // 2 earthRadius.
      reach_(2 * (earthRadius + std::fabs(sight.hL)) * 3 / 60 / degreesPerRadian),
      limitReach_(pipeline_.limitReach()), cullReach_(pipeline_.cullReach())
{
    if (s_.latMax >= s_.latMin && s_.lonMax >= s_.lonMin) {
        rows_ = (s_.latMax - s_.latMin) / 3 + 1;
        columns_ = (s_.lonMax - s_.lonMin) / 3 + 1;
    }
    // One more of each: the ends of the last segments.
    for (long i = 0; i <= rows_; ++i) {
        parallels_.push_back(parallelAt(double(latitude(i))));
        if (i < rows_ && latitude(i) % s_.m == 0)
            parallelRows_.push_back(i);
    }
    for (long j = 0; j <= columns_; ++j) {
        meridians_.push_back(meridianAt(double(longitude(j))));
        if (j < columns_ && longitude(j) % s_.m == 0)
            meridianColumns_.push_back(j);
    }
}

DirectionVector ShellLattice::shellPoint(const Parallel& p, const Meridian& l) const
{
    const double e2 = earthEccentricitySquared;
    DirectionVector w = rotate(sky_.greenwichToHorizon, {(p.N + s_.hL) * p.ca * l.cb, (p.N + s_.hL) * p.ca * l.sb,
                                                         (p.N * (1 - e2) + s_.hL) * p.sa + s_.q});
    w[2] -= s_.NO + s_.hO;
    return w;
}

bool ShellLattice::outOfSight(const DirectionVector& w) const
{
    const double r = length(w);
    return (s_.shellBelow && r > s_.t0) || (!s_.shellBelow && w[2] / r < limit_);
}

void ShellLattice::plot(const DirectionVector& v, double X, double Y)
{
    // Where the body marks go, neither refracted nor cut at the horizon: Dual-Box takes a point
    // below markBoundary into the second box, mirrored and with no limit test, and one from
    // -markBoundary up into the first, within the limits.
    if (dual_ && v[2] < markBoundary) {
        double X2, Y2;
        project({v[0], -v[1], -v[2]}, X2, Y2);
        boxes_[1].plotDot(pipeline_.pixelX(X2, 1), pipeline_.pixelY(Y2), colour_);
    }
    if (!(dual_ && v[2] < -markBoundary) && pipeline_.withinLimits(X, Y))
        boxes_[0].plotDot(pipeline_.pixelX(X, 0), pipeline_.pixelY(Y), colour_);
}

void ShellLattice::plot(const DirectionVector& w)
{
    const DirectionVector v = pipeline_.toChart(w);
    double X, Y;
    project(v, X, Y);
    plot(v, X, Y);
}

void ShellLattice::segment(long i, long j, bool parallel, const DirectionVector& w, const DirectionVector& v,
                           double X1, double Y1, double X2, double Y2, long remainder)
{
    const double a = double(latitude(i)), b = double(longitude(j));
    const double L = std::hypot(X2 - X1, Y2 - Y1);
    const double f = remainder > 0 ? 1.5 + double(2.8f) : 1.5;
    const double u = L > 0 && std::isfinite(L) ? 3 / L * f : 4;   // no length: the start alone
    if (!outOfSight(w))
        plot(v, X1, Y1);
    const auto along = [&](double e) {
        return parallel ? shellPoint(parallels_[std::size_t(i)], meridianAt(b + e))
                        : shellPoint(parallelAt(a + e), meridians_[std::size_t(j)]);
    };
    // The dots' places are summed step by step as they always were; a run of them that can reach
    // neither box is summed past without being computed. Seen close up a segment may be a
    // million pixels long with a few of them in the picture.
    double e = u;
    long at = 1;   // the dot whose place e holds
    const auto advance = [&](long n) {
        for (; at < n; ++at)
            e += u;
    };
    // Past the last dot, and how far a sum may stray from a product, whatever they round to.
    const long last = long(3 / u * 1.001) + 2;
    const double slack = 1E-9 + double(last) * 1E-14;
    const auto judge = [&](long n0, long n1) {
        const double e0 = std::max(0.0, double(n0) * u - slack), e1 = std::min(3.0, double(n1 - 1) * u) + slack;
        if (!(e0 < e1))
            return RunView::drawn;
        const Span s = parallel ? Span{a, a, b + e0, b + e1} : Span{a + e0, a + e1, b, b};
        return PointPipeline::runView(pipeline_.toChart(along((e0 + e1) / 2)), spanRadius(s), cullReach_, dual_);
    };
    const auto visit = [&](long n) {
        advance(n);
        if (e > 3)
            return;
        const DirectionVector we = along(e);
        if (!outOfSight(we))
            plot(we);
    };
    visitRuns(1, u <= 3 ? last : 1, 16, judge, visit, [](long, long) {});
}

Contents ShellLattice::contents(const Block& k) const
{
    const auto at = [](const std::vector<long>& v, long x) {
        return long(std::lower_bound(v.begin(), v.end(), x) - v.begin());
    };
    return {at(parallelRows_, k.i0), at(parallelRows_, k.i1), at(meridianColumns_, k.j0), at(meridianColumns_, k.j1)};
}

long ShellLattice::points(const Block& k, const Contents& c) const
{
    return c.parallels() * (k.j1 - k.j0) + (k.i1 - k.i0 - c.parallels()) * c.meridians();
}

Span ShellLattice::span(const Block& k, const Contents& c) const
{
    // A parallel's segments reach 3' east of its last point, a meridian's 3' north.
    const auto row = [&](long p) { return double(latitude(parallelRows_[std::size_t(p)])); };
    const auto column = [&](long q) { return double(longitude(meridianColumns_[std::size_t(q)])); };
    Span s;
    s.a0 = c.meridians() > 0 ? double(latitude(k.i0)) : row(c.p0);
    s.a1 = c.meridians() > 0 ? double(latitude(k.i1 - 1) + 3) : row(c.p1 - 1);
    s.b0 = c.parallels() > 0 ? double(longitude(k.j0)) : column(c.q0);
    s.b1 = c.parallels() > 0 ? double(longitude(k.j1 - 1) + 3) : column(c.q1 - 1);
    return s;
}

double ShellLattice::spanRadius(const Span& s) const
{
    // Within `speed` km per radian of latitude and longitude from the centre: the radii of
    // curvature of the ellipsoid stay below earthRadius / sqrt(1 - e2).
    const double speed = earthRadius / std::sqrt(1 - earthEccentricitySquared) * 1.001 + std::fabs(s_.hL);
    return speed * ((s.a1 - s.a0) + (s.b1 - s.b0)) / 2 / 60 / degreesPerRadian * (1 + 1E-9) + 1E-6;
}

RunView ShellLattice::view(const DirectionVector& centre, double radius) const
{
    // Hidden when no lattice point of the span is projected: it lies beyond t0 (seen from above
    // the shell) or, where the lattice point's limit test drops, outside the cap of directions
    // that the limits take in. Halved while its rim may cross either.
    const double distance = length(centre);
    if (s_.shellBelow && distance - radius > s_.t0 + reach_)
        return RunView::hidden;
    const RunView view = dropOutside_ ? PointPipeline::runView(pipeline_.toChart(centre), radius, limitReach_)
                                      : RunView::drawn;
    return view == RunView::drawn && s_.shellBelow && distance + radius > s_.t0 + reach_ ? RunView::halved : view;
}

BoxSketch ShellLattice::sketch(const Span& s, const DirectionVector& centre, double radius, int box)
{
    BoxSketch out;
    // Dual-Box: the chart z of every point lies within the radius of the centre's.
    DirectionVector c = pipeline_.toChart(centre);
    out.reached = !dual_ || (box == 0 ? c[2] + radius >= -markBoundary : c[2] - radius < markBoundary);
    if (!out.reached)
        return out;
    const auto place = [&](DirectionVector v, Spot& p) {
        if (box == 1)
            v = {v[0], -v[1], -v[2]};
        double X, Y;
        project(v, X, Y);
        p = {pipeline_.boxes().x1 + box * pipeline_.boxes().secondBoxOffset + X, pipeline_.boxes().y - Y};
        // The chart plane's stand-ins for what cannot be shown are no places.
        return std::fabs(X) < poleImageValue && std::fabs(Y) < poleImageValue;
    };
    const double as[3] = {s.a0, (s.a0 + s.a1) / 2, s.a1}, bs[3] = {s.b0, (s.b0 + s.b1) / 2, s.b1};
    for (int ia = 0; ia < 3; ++ia)
        for (int ib = 0; ib < 3; ++ib)
            if (!place(pipeline_.toChart(shellAt(as[ia], bs[ib])), out.at[ia][ib]))
                return out;
    out.valid = true;

    // A place is rounded to single precision before it becomes a pixel.
    double far = 0;
    for (const auto& row : out.at)
        for (const Spot& p : row)
            far = std::max({far, std::fabs(p.x), std::fabs(p.y)});
    const double rounding = 1E-3 + far * 0x1p-22;
    if (box == 1)
        c = {c[0], -c[1], -c[2]};
    if (pipeline_.projection() != 7) {
        // Where the image tears, at a seam or at the centre's opposite, the places need not
        // bound the dots between them.
        const double distance = length(c);
        if (!(radius < distance) || std::asin(radius / distance) * (1 + 1E-9) + 1E-12 >= tearDistance(pipeline_.projection(), c))
            return out;
        // The dots lie within twice the error that the span's second differences give the
        // bilinear patch through its corners, and that patch lies in their hull.
        const auto bend = [](const Spot& p, const Spot& q, const Spot& r) {
            return std::hypot(p.x - 2 * q.x + r.x, p.y - 2 * q.y + r.y);
        };
        double bendA = 0, bendB = 0;
        for (int t = 0; t < 3; ++t) {
            bendA = std::max(bendA, bend(out.at[0][t], out.at[1][t], out.at[2][t]));
            bendB = std::max(bendB, bend(out.at[t][0], out.at[t][1], out.at[t][2]));
        }
        out.bounded = true;
        out.hull[0] = out.at[0][0], out.hull[1] = out.at[0][2], out.hull[2] = out.at[2][2], out.hull[3] = out.at[2][0];
        out.margin = bendA + bendB + rounding;
        return out;
    }
    // Mollweide's auxiliary angle is found to about half a pixel, so its places step rather than
    // bend. Y rises with the latitude about the chart's vertical axis, and X is the longitude
    // times the cosine of the angle that Y gives: the block's directions, within an angle of its
    // centre's, fall in the rectangle their extremes of latitude and longitude span.
    const double distance = length(c);
    if (!(radius < distance))
        return out;
    const double angle = std::asin(radius / distance) * (1 + 1E-9) + 1E-12;
    const double lat = std::atan2(c[0], std::hypot(c[2], c[1])), lon = std::atan2(c[1], c[2]);
    const double lat0 = std::max(lat - angle, -pi / 2), lat1 = std::min(lat + angle, pi / 2);
    double lon0 = -pi, lon1 = pi;
    if (std::fabs(lat) + angle < pi / 2) {
        const double spread = std::asin(std::min(1.0, std::sin(angle) / std::cos(lat)));
        if (lon - spread > -pi && lon + spread < pi)
            lon0 = lon - spread, lon1 = lon + spread;
    }
    // Placed in the first box's frame: `place` mirrors them back for the second.
    const auto unmirrored = [&](double la) {
        const DirectionVector d = {std::sin(la), std::cos(la) * std::sin(lon), std::cos(la) * std::cos(lon)};
        return box == 1 ? DirectionVector{d[0], -d[1], -d[2]} : d;
    };
    Spot low, high;
    if (!place(unmirrored(lat0), low) || !place(unmirrored(lat1), high))
        return out;
    const double S = double(records_.userProjection.chartScale), y = pipeline_.boxes().y;
    const double sine0 = 2 * (y - low.y) / S, sine1 = 2 * (y - high.y) / S;
    const auto cosine = [](double sine) { return std::sqrt(std::max(0.0, (1 - sine) * (1 + sine))); };
    const double most = sine0 <= 0 && sine1 >= 0 ? 1 : std::max(cosine(sine0), cosine(sine1));
    const double least = std::min(cosine(sine0), cosine(sine1));
    const double x = pipeline_.boxes().x1 + box * pipeline_.boxes().secondBoxOffset;
    double left = HUGE_VAL, right = -HUGE_VAL;
    for (const double k : {least, most})
        for (const double l : {lon0, lon1}) {
            left = std::min(left, x + k * l / pi * S);
            right = std::max(right, x + k * l / pi * S);
        }
    out.bounded = true;
    out.hull[0] = {left, high.y}, out.hull[1] = {right, high.y}, out.hull[2] = {right, low.y}, out.hull[3] = {left, low.y};
    // The cosine taken back from Y near the poles, where it keeps few digits.
    out.margin = rounding + S * 1E-7;
    return out;
}

bool ShellLattice::settled(const BoxSketch& k, int box) const
{
    if (!k.reached)
        return true;
    if (!k.bounded)
        return false;
    double left = HUGE_VAL, right = -HUGE_VAL, top = HUGE_VAL, bottom = -HUGE_VAL;
    for (const Spot& p : k.hull) {
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
    // The pixels whose squares come within the margin: none in the box's area, or each one with
    // the lines' colour. A block that may reach many is not worth the test.
    const double x0 = std::ceil(left - k.margin - 0.5), x1 = std::floor(right + k.margin + 0.5);
    const double y0 = std::ceil(top - k.margin - 0.5), y1 = std::floor(bottom + k.margin + 0.5);
    if (!(x0 <= x1 && y0 <= y1))
        return false;
    const PixelArea& area = boxes_[box].area();
    if (x1 < area.left || x0 >= area.right || y1 < area.top || y0 >= area.bottom)
        return true;
    if ((x1 - x0 + 1) * (y1 - y0 + 1) > 64)
        return false;
    for (int y = int(y0); y <= int(y1); ++y)
        for (int x = int(x0); x <= int(x1); ++x)
            if (area.contains(x, y) && records_.chartBitmap.pixel(x, y) != colour_ &&
                squareMeetsHull(double(x), double(y), 0.5 + k.margin, k.hull))
                return false;
    return true;
}

void ShellLattice::draw()
{
    if (!culling_) {
        // Every lattice point, a band of rows at a time.
        const long band = std::max(1L, wholeBlockCells / (columns_ + 1) - 1);
        for (long i = 0; i < rows_; i += band)
            drawBlock({i, std::min(rows_, i + band), 0, columns_});
        return;
    }
    std::vector<Block> blocks, finer;
    if (rows_ > 0 && columns_ > 0)
        blocks.push_back({0, rows_, 0, columns_});
    while (!blocks.empty()) {
        finer.clear();
        for (const Block& k : blocks)
            visit(k, finer);
        blocks.swap(finer);
        records_.ui.pumpEvents();
    }
}

void ShellLattice::visit(const Block& k, std::vector<Block>& finer)
{
    const Contents c = contents(k);
    if (c.empty())
        return;
    const Span s = span(k, c);
    const DirectionVector centre = shellAt((s.a0 + s.a1) / 2, (s.b0 + s.b1) / 2);
    const double radius = spanRadius(s);
    const RunView seen = view(centre, radius);
    if (seen == RunView::hidden)
        return;
    const long count = points(k, c);
    if (count < fewPoints) {
        drawBlock(k);
        return;
    }
    const BoxSketch sketches[2] = {sketch(s, centre, radius, 0), dual_ ? sketch(s, centre, radius, 1) : BoxSketch{}};
    if (settled(sketches[0], 0) && settled(sketches[1], 1))
        return;

    // The length of the block's image along its meridians and its parallels.
    const BoxSketch& seenIn = sketches[0].valid ? sketches[0] : sketches[1];
    double alongA = 0, alongB = 0;
    if (seenIn.valid) {
        const auto apart = [](const Spot& p, const Spot& q) { return std::hypot(p.x - q.x, p.y - q.y); };
        alongA = apart(seenIn.at[0][1], seenIn.at[1][1]) + apart(seenIn.at[1][1], seenIn.at[2][1]);
        alongB = apart(seenIn.at[1][0], seenIn.at[1][1]) + apart(seenIn.at[1][1], seenIn.at[1][2]);
    }
    const bool sparse = seenIn.valid && double(count) < densePoints * (alongA + 1) * (alongB + 1);
    if (seen == RunView::drawn && sparse && (k.i1 - k.i0 + 1) * (k.j1 - k.j0 + 1) <= wholeBlockCells) {
        drawBlock(k);
        return;
    }
    plotOneDot(k, c);
    const bool byRows = k.i1 - k.i0 >= 2 &&
                        (k.j1 - k.j0 < 2 || (seenIn.valid ? alongA >= alongB : k.i1 - k.i0 >= k.j1 - k.j0));
    if (byRows) {
        const long middle = k.i0 + (k.i1 - k.i0) / 2;
        finer.push_back({k.i0, middle, k.j0, k.j1});
        finer.push_back({middle, k.i1, k.j0, k.j1});
    } else {
        const long middle = k.j0 + (k.j1 - k.j0) / 2;
        finer.push_back({k.i0, k.i1, k.j0, middle});
        finer.push_back({k.i0, k.i1, middle, k.j1});
    }
}

void ShellLattice::plotOneDot(const Block& k, const Contents& c)
{
    // A lattice point near the block's middle, on a parallel or a meridian: the dot that starts
    // its segments.
    const long i = c.parallels() > 0 ? parallelRows_[std::size_t((c.p0 + c.p1) / 2)] : (k.i0 + k.i1) / 2;
    const long j = c.parallels() > 0 ? (k.j0 + k.j1) / 2 : meridianColumns_[std::size_t((c.q0 + c.q1) / 2)];
    const DirectionVector w = latticePoint(i, j);
    if (beyondReach(w))
        return;
    const DirectionVector v = pipeline_.toChart(w);
    double X, Y;
    project(v, X, Y);
    if (!dropped(X, Y) && !outOfSight(w))
        plot(v, X, Y);
}

void ShellLattice::drawBlock(const Block& k)
{
    const long columns = k.j1 - k.j0 + 1;
    offsets_.assign(std::size_t((k.i1 - k.i0 + 1) * columns), Offsets{});
    const auto offsets = [&](long i, long j) -> Offsets& {
        return offsets_[std::size_t((i - k.i0) * columns + (j - k.j0))];
    };
    // A segment ends at the next lattice point east or north.
    const auto end = [&](long i, long j) -> const Offsets& {
        Offsets& o = offsets(i, j);
        if (!o.known)
            project(pipeline_.toChart(latticePoint(i, j)), o.X, o.Y), o.known = true;
        return o;
    };
    const Contents c = contents(k);
    for (long i = k.i0; i < k.i1; ++i) {
        const long a = latitude(i);
        const bool onParallel = a % s_.m == 0;
        const auto point = [&](long j) {
            const DirectionVector w = latticePoint(i, j);
            if (beyondReach(w))
                return;
            const DirectionVector v = pipeline_.toChart(w);
            Offsets& o = offsets(i, j);
            if (!o.known)
                project(v, o.X, o.Y), o.known = true;
            if (dropped(o.X, o.Y))
                return;
            const long b = longitude(j);
            if (onParallel) {
                const Offsets& e = end(i, j + 1);
                segment(i, j, true, w, v, o.X, o.Y, e.X, e.Y, a % 60);
            }
            if (b % s_.m == 0) {
                const Offsets& e = end(i + 1, j);
                segment(i, j, false, w, v, o.X, o.Y, e.X, e.Y, b % 60);
            }
        };
        if (onParallel)
            for (long j = k.j0; j < k.j1; ++j)
                point(j);
        else
            for (long q = c.q0; q < c.q1; ++q)
                point(meridianColumns_[std::size_t(q)]);
    }
    sincePump_ += points(k, c);
    if (sincePump_ > wholeBlockCells) {
        sincePump_ = 0;
        records_.ui.pumpEvents();
    }
}

} // namespace

long earthLinesPass(ProgramRecords& records)
{
    const auto sight = shellSight(records);
    if (!sight)
        return 0;
    ShellLattice lattice(records, *sight);
    lattice.draw();
    return lattice.projected();
}

} // namespace nivora
