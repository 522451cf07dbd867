#include "render/compass.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "astro/constants.h"
#include "render/culling.h"
#include "render/pipeline.h"
#include "render/program_records.h"
#include "render/skyframes.h"

namespace nivora {

namespace {

// Sixteen names of three characters, from north through west.
constexpr std::string_view compassNames = " N NNWNW WNW W WSWSW SSW S SSESE ESE E ENENE NNE";

// A horizon arc never takes more dots than this, however large the chart scale.
constexpr long maxArcDots = 200000;

DirectionVector unitOf(double x, double y, double z)
{
    const double n = std::sqrt(x * x + y * y + z * z);
    return {x / n, y / n, z / n};
}

DirectionVector horizonPoint(const HorizonCircle& h, double a)
{
    const double c = std::cos(a), s = std::sin(a);
    return {h.centre[0] + h.u[0] * c + h.v[0] * s, h.centre[1] + h.u[1] * c + h.v[1] * s,
            h.centre[2] + h.u[2] * c + h.v[2] * s};
}

// The visible horizon from azimuth `from` to `to`, degrees, in dots `step` apart counted in
// single precision (both ends when reached, at most maxArcDots).
// The runs of dots that lie outside the cap of directions the boxes take in (in the Dual-Box
// layout, outside it and its mirror image, the second box's) are passed over: the horizon circle moves by at
// most |u| + |v| per radian of azimuth, so a dot lies within d = (|u| + |v|) times its azimuth's
// distance of the run's middle dot, and in the chart frame within asin(d / |p|) of that dot's
// direction p.
void drawHorizonArc(const PointPipeline& p, BitmapArea (&boxes)[2], const HorizonCircle& horizon, float from,
                    float to, float step, int colour)
{
    const ArcAzimuths azimuths(from, to, step, maxArcDots);
    const bool dual = p.dualBox();
    const auto chartPoint = [&](long k) { return p.toChart(horizonPoint(horizon, azimuths[k] / degreesPerRadian)); };
    const auto dot = [&](long k) {
        const DirectionVector w = chartPoint(k);
        double X, Y;
        bool first = true;
        if (dual && w[2] <= double(0.0001f)) {
            p.project({w[0], -w[1], -w[2]}, X, Y);
            boxes[1].plotDot(p.pixelX(X, 1), p.pixelY(Y), colour);
            first = w[2] >= -double(0.0001f);
        }
        if (first) {
            p.project(w, X, Y);
            if (p.withinLimits(X, Y, true))
                boxes[0].plotDot(p.pixelX(X), p.pixelY(Y), colour);
        }
    };
    const double speed = length(horizon.u) + length(horizon.v);
    const DirectionCap reach = p.cullReach();
    const auto judge = [&](long k0, long k1) {
        const long middle = (k0 + k1 - 1) / 2;
        const float a = azimuths[middle];
        const double turn = std::max(a - azimuths[k0], azimuths[k1 - 1] - a);
        const double d = speed * turn / degreesPerRadian * (1 + 1E-9) + 1E-12;
        return PointPipeline::runView(chartPoint(middle), d, reach, dual);
    };
    visitRuns(0, azimuths.size(), 8, judge, dot, [](long, long) {});
}

// Whether a projection's poles (chart x = +-1) are each one point of the picture. The Mercator
// and Miller projections have no image of them; the cylindrical ones stretch them into lines.
bool poleIsAPoint(ProjectionKind kind) { return kind == 7 || kind == 9 || kind == 13 || kind == 15; }

// The angle from h down to v (unit vectors, chart frame) when that way passes over a pole of the
// projection to its far side: within a pixel of the pole, along a meridian that runs from the front
// to the back, and with the pole no further from h than the way is long, before or after h (a
// horizon point a little past the pole counts). 0 for any other way.
double dropOverAPole(const DirectionVector& h, const DirectionVector& v, double S)
{
    DirectionVector n = cross(h, v);
    const double drop = std::atan2(length(n), dot(h, v));
    normalise(n);
    if (!(drop > 0) || !(std::fabs(n[0]) < pi / S) || !(std::fabs(n[1]) > std::fabs(n[2])) || !(v[2] < 0) ||
        h[0] == 0)
        return 0;
    const DirectionVector pole = {h[0] > 0 ? 1.0 : -1.0, 0, 0};
    const double poleFromHorizon = std::atan2(dot(pole, cross(n, h)), dot(pole, h));
    return std::fabs(poleFromHorizon) <= drop ? drop : 0;
}

// Projection offsets of a name whose point v (chart frame) lies a little down from its horizon or
// rim point h. Where that way passes over a pole that is one point of the picture, v's image lies
// on the back meridian, to one side or the other by the least rounding: the name then stands
// outward from h's image by as many pixels as the way would take near the chart centre.
void nameOffsets(const PointPipeline& p, double S, DirectionVector v, DirectionVector h, double& X, double& Y)
{
    p.project(v, X, Y);
    if (!poleIsAPoint(p.projection()))
        return;
    normalise(v);
    normalise(h);
    const double drop = dropOverAPole(h, v, S);
    if (drop == 0)
        return;
    // A horizon point already past the pole is taken on the near side of it, at its latitude.
    if (h[2] < 0)
        h = {h[0], -h[1], -h[2]};
    double hX, hY;
    p.project(h, hX, hY);
    const double out = std::hypot(hX, hY);
    if (!(out > 0))
        return;
    const double pixels = drop * S / pi;
    X = hX + hX / out * pixels;
    Y = hY + hY / out * pixels;
}

} // namespace

ArcAzimuths::ArcAzimuths(float from, float to, float step, long most)
{
    float x = from;
    while (x <= to && step > 0 && size_ < most) {
        const float next = x + step;
        const double increment = double(next) - double(x);
        long count = 1;
        int e;
        std::frexp(double(x), &e);
        const double last = std::ldexp(1.0, e - 24), top = std::ldexp(1.0, e);   // x's last place, its order's end
        if (next != x && std::isnormal(x) && std::fmod(double(step), last) != last / 2) {
            // Every sum x + j increment + step below `top` grows by the same increment.
            count = long((top - double(step) - double(x)) / increment);
            while (double(x) + double(count) * increment + double(step) < top)
                ++count;
            while (count > 1 && !(double(x) + double(count - 1) * increment + double(step) < top))
                --count;
            count = std::max(count, 1L);
        }
        // Not past `to`: x itself is not.
        if (double(x) + double(count - 1) * increment > double(to)) {
            count = std::max(1L, long((double(to) - double(x)) / increment));
            while (double(x) + double(count) * increment <= double(to))
                ++count;
            while (count > 1 && double(x) + double(count - 1) * increment > double(to))
                --count;
        }
        count = std::min(count, most - size_);
        runs_.push_back({size_, double(x), increment});
        size_ += count;
        if (next == x)
            break;
        x = float(double(x) + double(count) * increment);
    }
}

float ArcAzimuths::operator[](long k) const
{
    const auto run = std::upper_bound(runs_.begin(), runs_.end(), k, [](long i, const Run& r) { return i < r.first; }) - 1;
    return float(run->start + double(k - run->first) * run->increment);
}

void compassPass(ProgramRecords& records, const HorizonCircle& horizon)
{
    if (records.chartView.chartMode == mapChartMode)
        return;
    const PointPipeline p(records);
    BitmapArea boxes[2] = {boxCanvas(records, 0), boxCanvas(records, 1)};
    const RotationMatrix& M = records.drawn.sky.baseToChart;
    const double S = records.userProjection.chartScale;
    const double depth = records.chartOptions.underHorizonDepth;
    const double dipSine = records.drawn.sky.horizonDipSine;
    const bool dual = p.dualBox();
    const int colour = 11 - records.chartOptions.whiteBackground;
    const int e = S > 240 ? 1 : 2;
    const auto text = [&](double X, double Y, int box, std::string_view name) {
        boxes[box].drawText(p.pixelX(X - 12, box), p.pixelY(Y + 8), name, colour);
    };
    for (int i = 0; i <= 16 - e; i += e) {
        const std::string_view name = compassNames.substr(std::size_t(3 * i), 3);
        const double a = i * pi / 8;
        // Just below the lowest part of the sky that is drawn.
        DirectionVector foot, point;
        if (dipSine + depth < double(0.25f)) {
            foot = point = horizonPoint(horizon, a);
            point[2] -= (38 / S + depth) * horizon.u[0];
        } else {
            foot = {std::cos(a), std::sin(a), 0};
            point = {foot[0], foot[1], -38 / S * double(dual)};
        }
        const DirectionVector v = p.toChart(point);
        const DirectionVector h = p.toChart(foot);
        double X, Y;
        if (!dual) {
            nameOffsets(p, S, v, h, X, Y);
            if (p.withinLimits(X, Y, true))
                text(X, Y, 0, name);
        } else {
            // The name in its hemisphere's box, and a copy just outside the other box's rim on
            // the same vertical.
            const bool far = v[2] < 0;
            if (far) {
                nameOffsets(p, S, {v[0], -v[1], -v[2]}, {h[0], -h[1], -h[2]}, X, Y);
                text(X, Y, 1, name);
            } else {
                nameOffsets(p, S, v, h, X, Y);
                if (p.withinLimits(X, Y, true))
                    text(X, Y, 0, name);
            }
            if (M[2][2] != 0) {
                const double t = v[2] / M[2][2];
                const double sign = far ? 1 : -1;
                DirectionVector q = unitOf(v[0] - M[0][2] * t, sign * (v[1] - M[1][2] * t), 0);
                q[2] = -(i % 2 == 0 ? 36 : 42) / S;
                nameOffsets(p, S, q, {q[0], q[1], 0}, X, Y);
                if (!far)
                    text(X, Y, 1, name);
                else if (p.withinLimits(X, Y, true))
                    text(X, Y, 0, name);
            }
        }
        // The visible horizon from this name to the next.
        drawHorizonArc(p, boxes, horizon, 22.5f * float(i), 22.5f * float(i + e), float(250 / S), colour);
    }
}

} // namespace nivora
