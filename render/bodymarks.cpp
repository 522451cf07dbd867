#include "render/bodymarks.h"

#include <cmath>

#include "astro/constants.h"
#include "astro/projection.h"
#include "platform/chartbitmap.h"
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

MarkPlacer::MarkPlacer(const ProgramRecords& records, double secondBelow, double firstFrom, bool refractAndCut)
    : dual_(records.chartView.dualBox == 1),
      second_(records, {.refraction = refractAndCut, .horizonCut = false, .secondBoxBelow = secondBelow, .limitCut = false}),
      first_(records, {.refraction = refractAndCut, .horizonCut = refractAndCut && !dual_, .secondBoxBelow = firstFrom})
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

double localScale(ProjectionKind kind, const ProjectionSetup& setup, DirectionVector p)
{
    double X, Y;
    DISPXY(p[0], p[1], p[2], kind, X, Y, setup);
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
    X1 -= X, Y1 -= Y, X2 -= X, Y2 -= Y;
    const double scale = std::sqrt(std::fabs(X1 * Y2 - X2 * Y1)) * 10;
    return std::isfinite(scale) ? scale : 0;
}

float trueSizeRadius(const ProgramRecords& records, const DirectionVector& c, double s)
{
    DirectionVector p = c;
    if (records.chartView.dualBox == 1 && c[2] < markBoundary)
        p = {c[0], -c[1], -c[2]};
    const float r = float(s * degreesPerRadian * localScale(records, p));
    return std::isfinite(r) ? r : 0;
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
