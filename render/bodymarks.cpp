#include "render/bodymarks.h"

#include <algorithm>
#include <cmath>

#include "astro/constants.h"
#include "astro/projection.h"
#include "platform/chartbitmap.h"
#include "render/geometry.h"
#include "render/program_records.h"

namespace nivora {

ApparentBody apparentFromBase(const ProgramRecords& records, const DirectionVector& base)
{
    const PointPipeline pipeline(records);
    ApparentBody body;
    body.base = base;
    body.apparent = pipeline.refract(base);
    body.chart = rotate(records.drawn.sky.baseToChart, body.apparent);
    const double limit = -records.drawn.sky.horizonDipSine - double(records.chartOptions.underHorizonDepth);
    // A map has no horizon: its z axis is the map's pole.
    body.hidden = records.chartView.chartMode == skyChartMode && records.chartView.dualBox == 0 &&
                  body.apparent[2] < limit;
    return body;
}

ApparentBody apparentBody(const ProgramRecords& records, int bodyIndex)
{
    return apparentFromBase(records, PointPipeline(records).bodyToBase(bodyIndex));
}

MarkPlacer::MarkPlacer(const ProgramRecords& records, double secondBelow, double firstFrom,
                       bool refractAndCut, bool firstLimits)
    : dual_(records.chartView.dualBox == 1),
      second_(records, {.refraction = refractAndCut, .horizonCut = false, .secondBoxBelow = secondBelow,
                        .limitCut = false}),
      first_(records, {.refraction = refractAndCut, .horizonCut = refractAndCut && !dual_,
                       .secondBoxBelow = firstFrom, .limitCut = firstLimits})
{
}

std::vector<ChartPixel> MarkPlacer::pixels(const DirectionVector& base) const
{
    std::vector<ChartPixel> pixels;
    if (dual_)
        if (auto p = second_.place(base); p && p->box == 1)
            pixels.push_back(*p);
    if (auto p = first_.place(base); p && p->box == 0)
        pixels.push_back(*p);
    return pixels;
}

std::vector<ChartPixel> bodyMarkPixels(const ProgramRecords& records, const DirectionVector& base)
{
    return MarkPlacer(records, markBoundary, -markBoundary).pixels(base);
}

void drawMark(BitmapArea bitmap, MarkKind kind, float x, float y, float r, int colour)
{
    switch (kind) {
    case MarkKind::cross:
        bitmap.drawLine(x - r, y - r, x + r, y + r, colour);
        bitmap.drawLine(x + r, y - r, x - r, y + r, colour);
        break;
    case MarkKind::disc: bitmap.drawCircle(x, y, r, colour, 1, 0, 0, colour); break;
    case MarkKind::outline: bitmap.drawCircle(x, y, r, colour); break;
    }
}

float crossHalfSize(int imageSize) { return 5 * std::sqrt(float(imageSize) / 1000); }

double localScale(const ProgramRecords& records, DirectionVector p)
{
    return localScale(records.chartOptions.projectionKind, records.userProjection, p);
}

namespace {

// An image the projection holds at a bound (16000) or puts at a pole (12000), not where the
// direction lies.
bool heldImage(double X, double Y)
{
    const auto held = [](double c) { return std::fabs(c) == offChartValue || std::fabs(c) == poleImageValue; };
    return held(X) || held(Y);
}

// The local scale as the projection's images give it; `bounded` tells whether one of them was
// held.
double measuredScale(ProjectionKind kind, const ProjectionSetup& setup, DirectionVector p, bool& bounded)
{
    double X, Y;
    DISPXY(p[0], p[1], p[2], kind, X, Y, setup);
    bounded = heldImage(X, Y);
    const double l = length(p);
    if (!(l > 0))
        return 0;
    for (double& c : p)
        c /= l;
    DirectionVector p1, p2;
    if (p[2] >= 1) {
        const double s = std::sin(pi / 1800), c = std::cos(pi / 1800);
        p1 = {s, 0, c};
        p2 = {0, s, c};
    } else {
        if (p[2] < 0 && !(1 - p[2] * p[2] > 0))
            return 0;
        // The distance from the axis, not sqrt(1 - z^2): near the centre that difference keeps
        // only a few bits, and a body the chart is centred on sits there.
        const double q = std::hypot(p[0], p[1]);
        if (!(q > 0))
            return 0;
        const double d = 1 / degreesPerRadian / 10;
        p1 = {p[0] - p[1] / q * d, p[1] + p[0] / q * d, p[2]};
        p2 = {p[0] - p[2] * p[0] / q * d, p[1] - p[2] * p[1] / q * d, p[2] + q * d};
    }
    double X1, Y1, X2, Y2;
    DISPXY(p1[0], p1[1], p1[2], kind, X1, Y1, setup);
    DISPXY(p2[0], p2[1], p2[2], kind, X2, Y2, setup);
    bounded = bounded || heldImage(X1, Y1) || heldImage(X2, Y2);
    X1 -= X, Y1 -= Y, X2 -= X, Y2 -= Y;
    const double scale = std::sqrt(std::fabs(X1 * Y2 - X2 * Y1)) * 10;
    return std::isfinite(scale) ? scale : 0;
}

ProjectionSetup unitScale(const ProjectionSetup& setup)
{
    ProjectionSetup unit = setup;
    unit.chartScale = 1;
    return unit;
}

// DISPXY of chart vector v, also where the projection would hold the image at its bound: the
// offsets of a point however far off the picture (the images grow with the chart scale). False
// when v has no image.
bool farImage(ProjectionKind kind, const ProjectionSetup& setup, const DirectionVector& v, double& X,
              double& Y)
{
    DISPXY(v[0], v[1], v[2], kind, X, Y, setup);
    if (!heldImage(X, Y))
        return true;
    DISPXY(v[0], v[1], v[2], kind, X, Y, unitScale(setup));
    if (heldImage(X, Y))
        return false;
    X *= double(setup.chartScale);
    Y *= double(setup.chartScale);
    return true;
}

// How much taller than wide the image of a small circle at chart direction p is: the user
// projection stretches its offsets upward by its aspect; Mollweide's meridian scale h and parallel
// scale k differ but along two parallels. 1 in every other projection, whose discs are circles.
double heightToWidth(ProjectionKind kind, const ProjectionSetup& setup, DirectionVector p)
{
    if (kind == 10)
        return setup.aspectYX > 0 ? setup.aspectYX : 1;
    const double l = length(p);
    if (kind != 7 || !(l > 0))
        return 1;
    for (double& c : p)
        c /= l;
    // Mollweide's own longitude and latitude (its pole the chart's x axis), each stepped a
    // tenth of a degree toward the centre.
    double lon, lat, r;
    ZENITH(p[2], p[1], p[0], lon, lat, r);
    if (!(std::cos(lat) > 1E-6))
        return 1;
    // Its auxiliary angle is solved to as many digits as the chart scale asks: measured at a
    // scale that asks for them all.
    ProjectionSetup fine = setup;
    fine.chartScale = 1E12f;
    const auto image = [&](double lo, double la, double& X, double& Y) {
        DISPXY(std::sin(la), std::cos(la) * std::sin(lo), std::cos(la) * std::cos(lo), kind, X, Y, fine);
    };
    const double d = 1 / degreesPerRadian / 10;
    double X, Y, X1, Y1, X2, Y2;
    image(lon, lat, X, Y);
    image(lon > 0 ? lon - d : lon + d, lat, X1, Y1);
    image(lon, lat > 0 ? lat - d : lat + d, X2, Y2);
    const double k = std::hypot(X1 - X, Y1 - Y) / std::cos(lat), h = std::hypot(X2 - X, Y2 - Y);
    const double q = h / k;
    return std::isfinite(q) && q > 0 ? q : 1;
}

// A true-size disc of radius r, the mean of its image's two scales: a circle, or the ellipse of
// those scales where they differ.
void drawDisc(BitmapArea& box, double x, double y, double r, double tallness, MarkKind kind, int colour)
{
    const int fill = kind == MarkKind::disc ? colour : -1;
    if (tallness == 1)
        box.drawCircle(x, y, r, colour, 1, 0, 0, fill);
    else
        box.drawCircle(x, y, r / std::sqrt(tallness), colour, float(tallness), 0, 0, fill);
}

} // namespace

double localScale(ProjectionKind kind, const ProjectionSetup& setup, DirectionVector p)
{
    bool bounded;
    const double scale = measuredScale(kind, setup, p, bounded);
    if (!bounded)
        return scale;
    // At a large chart scale the neighbours a tenth of a degree away lie beyond the bound; the
    // images grow with the chart scale, so measure at a unit one (unless the point has no image).
    const double unit = measuredScale(kind, unitScale(setup), p, bounded);
    return bounded ? scale : unit * double(setup.chartScale);
}

double trueSizeRadius(const ProgramRecords& records, const DirectionVector& c, double s)
{
    DirectionVector p = c;
    if (records.chartView.dualBox == 1 && c[2] < markBoundary)
        p = {c[0], -c[1], -c[2]};
    const double r = s * degreesPerRadian * localScale(records, p);
    return std::isfinite(r) ? r : 0;
}

namespace {

// The z of the unit chart directions, turned back to the horizon's frame, below which the
// horizon cut hides a point: the cut compares the refracted vector's z, which is not a unit's.
double cutDirectionZ(const PointPipeline& pipeline, double limit)
{
    double below = -1, above = 1;
    for (int i = 0; i < 64; ++i) {
        const double z = (below + above) / 2;
        (pipeline.refract({std::sqrt(1 - z * z), 0, z})[2] < limit ? below : above) = z;
    }
    const DirectionVector a = pipeline.refract({std::sqrt(1 - above * above), 0, above});
    return a[2] / length(a);
}

// A disc whose centre the horizon cut hides: the part of it above the cut, as every point
// there is drawn. The disc is traced a band of rows at a time into a bitmap of its own, and
// each of its pixels whose direction is above the cut goes to the box.
void drawAboveTheCut(ProgramRecords& records, const ApparentBody& body, double s, double radius, double tallness,
                     MarkKind kind, int colour)
{
    const PointPipeline pipeline(records);
    const double limit = -records.drawn.sky.horizonDipSine - double(records.chartOptions.underHorizonDepth);
    const double cut = cutDirectionZ(pipeline, limit);
    // Nothing to trace when the whole disc, with room for its pixels' rounding, lies below.
    const double l = length(body.apparent);
    const double room = 1.5 * double(s) + (radius > 0 ? 4 * double(s) / radius : pi);
    if (l > 0 && std::asin(std::clamp(body.apparent[2] / l, -1.0, 1.0)) + room < std::asin(std::clamp(cut, -1.0, 1.0)))
        return;
    const BoxCentres& boxes = pipeline.boxes();
    const ProjectionKind projection = pipeline.projection();
    double X, Y;
    pipeline.project(body.chart, X, Y);
    double cx, cy;
    if (pipeline.withinLimits(X, Y)) {
        // As drawMark draws a disc: centre and radius in single precision.
        cx = pipeline.pixelX(X);
        cy = pipeline.pixelY(Y);
        radius = float(radius);
    } else if (farImage(projection, records.userProjection, body.chart, X, Y)) {
        cx = boxes.x1 + X;
        cy = boxes.y - Y;
    } else {
        return;
    }
    BitmapArea box = boxCanvas(records, 0);
    const PixelArea& area = box.area();
    const double reach = std::fabs(radius) * std::max(std::sqrt(tallness), 1 / std::sqrt(tallness)) + 2;
    const double left = std::max<double>(area.left, std::floor(cx - reach));
    const double right = std::min<double>(area.right, std::ceil(cx + reach) + 1);
    const double top = std::max<double>(area.top, std::floor(cy - reach));
    const double bottom = std::min<double>(area.bottom, std::ceil(cy + reach) + 1);
    if (!(left < right && top < bottom))
        return;
    const int width = int(right - left);
    const RotationMatrix& toChart = records.drawn.sky.baseToChart;
    constexpr int band = 256;
    for (int y0 = int(top); y0 < int(bottom); y0 += band) {
        const int rows = std::min(band, int(bottom) - y0);
        ChartBitmap trace(width, rows);
        BitmapArea all = trace.area(trace.bounds());
        drawDisc(all, cx - left, cy - y0, radius, tallness, kind, colour);
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < width; ++i) {
                if (trace.pixel(i, j) == 0)
                    continue;
                const double px = left + i, py = y0 + j;
                DirectionVector v{};
                float ok = 0;
                INVDISP(v[0], v[1], v[2], projection, ok, px - boxes.x1, boxes.y - py, records.userProjection);
                if (ok != 0 && rotateInverse(toChart, v)[2] >= cut)
                    box.plotDot(float(px), float(py), colour);
            }
    }
}

} // namespace

double discTallness(const ProgramRecords& records, const DirectionVector& c)
{
    DirectionVector p = c;
    if (records.chartView.dualBox == 1 && c[2] < markBoundary)
        p = {c[0], -c[1], -c[2]};
    return heightToWidth(records.chartOptions.projectionKind, records.userProjection, p);
}

void drawTrueSizeDisc(ProgramRecords& records, const ApparentBody& body, double s, MarkKind kind, int colour)
{
    const double radius = trueSizeRadius(records, body.chart, s);
    const double tallness = discTallness(records, body.chart);
    if (body.hidden) {
        drawAboveTheCut(records, body, s, radius, tallness, kind, colour);
        return;
    }
    const PointPipeline pipeline(records);
    const BoxCentres& boxes = pipeline.boxes();
    const MarkPlacer anywhere(records, markBoundary, -markBoundary, true, false);
    for (const ChartPixel& p : anywhere.pixels(body.base)) {
        BitmapArea box = boxCanvas(records, p.box);
        if (pipeline.withinLimits(p.X, p.Y)) {
            drawDisc(box, p.x, p.y, float(radius), tallness, kind, colour);
            continue;
        }
        // Far from the picture single precision no longer counts pixels, and some projections
        // hold their images at a bound.
        const DirectionVector& c = body.chart;
        const DirectionVector inBox = p.box == 1 ? DirectionVector{c[0], -c[1], -c[2]} : c;
        double X, Y;
        if (!farImage(pipeline.projection(), records.userProjection, inBox, X, Y))
            continue;
        drawDisc(box, boxes.x1 + p.box * boxes.secondBoxOffset + X, boxes.y - Y, radius, tallness, kind, colour);
    }
}

void drawSunMoonMark(ProgramRecords& records, const ApparentBody& body, int mode, double s, int colour)
{
    if (mode == 2 || mode == 4) {
        drawTrueSizeDisc(records, body, s, mode == 2 ? MarkKind::disc : MarkKind::outline, colour);
        return;
    }
    if (mode != 1 && mode != 3)
        return;
    const int size = records.chartView.imageSize;
    const bool cross = mode == 3;
    const float radius = cross ? crossHalfSize(size) : std::sqrt(float(size)) / 4;
    for (const ChartPixel& p : bodyMarkPixels(records, body.base))
        drawMark(boxCanvas(records, p.box), cross ? MarkKind::cross : MarkKind::disc, p.x, p.y, radius,
                 colour);
}

float panelLeftOf(const ProgramRecords& records)
{
    return float(boxCentres(records.chartView, records.chartLayout, records.drawn.geometry.directionOffset).panelLeft);
}

float semiDiameter(double radius, double distance)
{
    if (!(distance > radius))
        return distance > 0 ? float(pi / 2) : 0;
    const double q = radius / distance;
    return float(std::atan(q / std::sqrt(1 - q * q)));
}

} // namespace nivora
