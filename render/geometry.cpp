#include "render/geometry.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "astro/constants.h"
#include "astro/fieldnumber.h"
#include "astro/projection.h"
#include "render/panel.h"
#include "render/program_records.h"
#include "render/skyframes.h"

namespace nivora {

namespace {

// A curve stepped by the chart scale never takes more steps than this: beyond it the dots
// would lie far outside the bitmap anyway.
constexpr long maxCurveSteps = 200000;

int outlineColour(const ProgramRecords& r) { return 9 - r.chartOptions.whiteBackground; }
int scaleColour(const ProgramRecords& r) { return 8 + r.chartOptions.whiteBackground; }

// Each box with its centre, in drawing order: the second box first (with Dual-Box), then the
// first.
template <class F>
void inEachBox(ProgramRecords& records, const BoxCentres& boxes, F draw)
{
    if (records.chartView.dualBox == 1) {
        BitmapArea second = boxCanvas(records, 1);
        draw(second, boxes.x2, boxes.y);
    }
    BitmapArea first = boxCanvas(records, 0);
    draw(first, boxes.x1, boxes.y);
}

// A circle of radius r, or the part of it left of the box's right margin when it reaches past.
void fullOrClippedCircle(ProgramRecords& records, double cx, double cy, double r, float aspect)
{
    const double reach = records.drawn.geometry.boxHalfWidth + records.chartLayout.marginRight;
    const int colour = outlineColour(records);
    BitmapArea box = boxCanvas(records, 0);
    if (reach > r) {
        box.drawCircle(float(cx), float(cy), float(r), colour, aspect);
        return;
    }
    const double q = reach / r;
    const double s = std::atan(std::sqrt(1 - q * q) / q) / pi / 2;
    box.drawCircle(float(cx), float(cy), float(r), colour, aspect, float(s), float(1 - s));
}

void fourDots(BitmapArea& bitmap, double cx, double cy, double X, double Y, int colour)
{
    for (double sx : {1.0, -1.0})
        for (double sy : {1.0, -1.0}) {
            const float x = float(cx + sx * X), y = float(cy - sy * Y);
            bitmap.drawLine(x, y, x, y, colour);
        }
}

// Single-precision loop values t = from, from + step, ... up to `to`, stopped after a bounded
// number of steps or when the step no longer moves t.
template <class F>
void stepCurve(float from, float to, float step, F visit)
{
    if (!(step > 0))
        return;
    long n = 0;
    for (float t = from; t <= to && n < maxCurveSteps; ++n) {
        visit(t);
        const float next = t + step;
        if (next == t)
            break;
        t = next;
    }
}

} // namespace

std::string intervalLabel(float g)
{
    if (g < 60)
        return writeFieldNumber(g) + "am";
    return writeFieldNumber(int(std::nearbyint(g / 60))) + "dg";
}

BoxCentres boxCentres(const ChartView& view, const ChartLayout& layout, double directionOffset)
{
    const double W = view.imageSize;
    const double h = view.halfHeight;
    BoxCentres b;
    b.x1 = W / 2 + layout.marginLeft;
    b.x2 = 1.5 * W + 2 * layout.marginLeft + layout.marginRight;
    b.y = (W / 2) / (h + 1) + layout.marginTop + directionOffset;
    b.secondBoxOffset = b.x2 - b.x1;
    b.panelLeft = double(layout.marginLeft + W + layout.marginRight) * (view.dualBox + 1);
    b.boxWidth = layout.marginLeft + view.imageSize + layout.marginRight;
    b.chartBottom = int(std::lround(W / (h + 1) + layout.marginTop + layout.marginBottom));
    return b;
}

BitmapExtent chartBitmapExtent(double imageSize, int dualBox, int halfHeight, const ChartLayout& layout)
{
    const double chartHeight = imageSize / (halfHeight + 1) + layout.marginTop + layout.marginBottom;
    return {(imageSize + layout.marginLeft + layout.marginRight) * (dualBox + 1) + layout.sideStripWidth,
            std::max(chartHeight, double(panelRowsBottom() + layout.marginBottom))};
}

PixelArea boxArea(const BoxCentres& boxes, int box)
{
    return {box * boxes.boxWidth, 0, (box + 1) * boxes.boxWidth, boxes.chartBottom};
}

PixelArea chartArea(const BoxCentres& boxes)
{
    return {0, 0, int(boxes.panelLeft), boxes.chartBottom};
}

PixelArea stripArea(const BoxCentres& boxes)
{
    return {int(boxes.panelLeft), 0, std::numeric_limits<int>::max(), std::numeric_limits<int>::max()};
}

int boxAt(const BoxCentres& boxes, long long x, long long y)
{
    if (!chartArea(boxes).contains(x, y))
        return -1;
    return boxArea(boxes, 0).contains(x, y) ? 0 : 1;
}

namespace {

BoxCentres boxesOf(const ProgramRecords& records)
{
    return boxCentres(records.chartView, records.chartLayout, records.drawn.geometry.directionOffset);
}

} // namespace

BitmapArea boxCanvas(ProgramRecords& records, int box)
{
    return records.chartBitmap.area(boxArea(boxesOf(records), box));
}

BitmapArea chartCanvas(ProgramRecords& records)
{
    return records.chartBitmap.area(chartArea(boxesOf(records)));
}

BitmapArea panelCanvas(ProgramRecords& records)
{
    return records.chartBitmap.area(stripArea(boxesOf(records)));
}

void setChartGeometry(ProgramRecords& records)
{
    const ChartView& view = records.chartView;
    const float W = view.imageSize;
    const float h = view.halfHeight;
    ChartGeometry& g = records.drawn.geometry;
    records.userProjection.chartScale = float(W * view.magnification);
    g.halfWidthLimit = W * 0.6f;
    g.halfHeightLimit = W * 0.6f / (h + 1);
    g.boxHalfWidth = W / 2;
    g.boxHalfHeight = (W / 2) / (h + 1);
    g.starSizeFactor = std::sqrt(W / 1000) / 2;
}

double directionOffsetFor(const ProgramRecords& records, const SkyFrames& sky)
{
    const ChartView& view = records.chartView;
    const double W = view.imageSize;
    const double half = (W / 2) / (view.halfHeight + 1);
    switch (records.chartOptions.directionPointPlace) {
    case 4:
        return -half;
    case 1:
        return half;
    case 3: {
        const double A = sky.directionAzimuth;
        const DirectionVector v =
            rotate(sky.baseToChart, {std::cos(A), std::sin(A), -sky.horizonDipSine});
        double X, Y;
        DISPXY(v[0], v[1], v[2], records.chartOptions.projectionKind, X, Y, records.userProjection);
        // A horizon point the projection cannot place would push the chart out of its box; it
        // comes back as one of the projection's marks, while a true offset may be larger still.
        const auto mark = [](double c) {
            return !std::isfinite(c) || std::fabs(c) == offChartValue || std::fabs(c) == poleImageValue;
        };
        if (mark(X) || mark(Y))
            return 0;
        if (W + Y < 0)
            return -half;
        return half + Y;
    }
    default:
        return 0;
    }
}

void drawOutline(ProgramRecords& records, const BoxCentres& boxes)
{
    const ChartOptions& options = records.chartOptions;
    const ChartView& view = records.chartView;
    const ChartLayout& layout = records.chartLayout;
    const double S = records.userProjection.chartScale;
    const double B = records.drawn.geometry.boxHalfWidth;
    const double W = view.imageSize;
    const double mL = layout.marginLeft, mR = layout.marginRight, mB = layout.marginBottom;
    const double mag = view.magnification;
    const int colour = outlineColour(records);
    if (!(S > 0))
        return;
    auto vertical = [&](BitmapArea& bitmap, double cx, double x, double top, double bottom) {
        bitmap.drawLine(float(cx - x), float(top), float(cx - x), float(bottom), colour);
        bitmap.drawLine(float(cx + x), float(top), float(cx + x), float(bottom), colour);
    };
    auto horizontal = [&](BitmapArea& bitmap, double cy, double y, double left, double right) {
        bitmap.drawLine(float(left), float(cy - y), float(right), float(cy - y), colour);
        bitmap.drawLine(float(left), float(cy + y), float(right), float(cy + y), colour);
    };
    const int kind = options.projectionKind;

    if (view.dualBox == 1) {
        switch (kind) {
        case 1: case 2: case 3: case 7: case 8:
            inEachBox(records, boxes, [&](BitmapArea& bitmap, double cx, double cy) {
                bitmap.drawCircle(float(cx), float(cy), float(W / 2), colour);
            });
            break;
        case 4: case 11: case 12: case 14:
            inEachBox(records, boxes, [&](BitmapArea& bitmap, double cx, double cy) {
                vertical(bitmap, cx, S / 2, cy - B - mL, cy + B + mB);
            });
            break;
        case 9: case 13: case 15:
            stepCurve(0, float(pi / 2), float(2.5 / S), [&](float t) {
                double X, Y;
                DISPXY(std::sin(double(t)), std::cos(double(t)), 0, options.projectionKind, X, Y,
                       records.userProjection);
                inEachBox(records, boxes, [&](BitmapArea& bitmap, double cx, double cy) {
                    for (double sx : {1.0, -1.0})
                        for (double sy : {1.0, -1.0})
                            bitmap.plotDot(float(cx + sx * X), float(cy - sy * Y), colour);
                });
            });
            break;
        default:
            break;
        }
        return;
    }

    const double cx = boxes.x1, cy = boxes.y;
    BitmapArea bitmap = boxCanvas(records, 0);
    const bool wholeSphere = options.underHorizonDepth > 1 || view.chartMode == mapChartMode;
    switch (kind) {
    case 1:
        if (mag < double(1.7f) && wholeSphere) fullOrClippedCircle(records, cx, cy, S, 1);
        break;
    case 2:
        if (mag < double(1.7f) && wholeSphere) fullOrClippedCircle(records, cx, cy, S / std::sqrt(2.0), 1);
        break;
    case 4:
        if (B + mR > S) vertical(bitmap, cx, S, cy - S, cy + S);
        break;
    case 5:
        if (B + mB > S) horizontal(bitmap, cy, S, cx - S, cx + S);
        break;
    case 7:
        if (mag < double(1.3f) && wholeSphere) fullOrClippedCircle(records, cx, cy, S, 0.5f);
        break;
    case 8:
        if (mag < double(1.6f)) fullOrClippedCircle(records, cx, cy, S / 2, 1);
        break;
    case 9:
        if (mag < double(1.6f) && wholeSphere)
            stepCurve(float(-pi / 2), float(pi / 2), float(1 / S), [&](float t) {
                const double x = S * std::cos(double(t)), y = cy - double(t) * S / pi;
                bitmap.plotDot(float(cx - x), float(y), colour);
                if (W / 2 + mR > x)
                    bitmap.plotDot(float(cx + x), float(y), colour);
            });
        break;
    case 11: case 12: case 14: {
        const float limit = kind == 11 ? 1.25f : kind == 12 ? 1.25f : 1.8f;
        const double y = kind == 11 ? S / 2 : kind == 12 ? double(0.7332f) * S : S / pi;
        if (mag < double(limit)) horizontal(bitmap, cy, y, cx - B - mL, cx + B + mR);
        if (B + mR > S) vertical(bitmap, cx, S, cy - S, cy + S);
        break;
    }
    case 13:
        if (mag < double(1.4f) && wholeSphere) fullOrClippedCircle(records, cx, cy, S / 1.0823922, 0.5f);
        break;
    case 15:
        if (mag < double(1.3f) && wholeSphere) fullOrClippedCircle(records, cx, cy, S, 0.5f);
        break;
    default:   // stereographic, gnomonic and the user projection have no outline
        break;
    }
}

void drawCenterCoordinates(ProgramRecords& records, const BoxCentres& boxes)
{
    const int mode = records.chartOptions.centerCoordsMode;
    const float S = records.userProjection.chartScale;
    if (mode < 1 || !(S > 0))
        return;
    const ChartView& view = records.chartView;
    const int kind = records.chartOptions.projectionKind;
    const float W = view.imageSize;
    const float B = records.drawn.geometry.boxHalfWidth;
    const int colour = scaleColour(records);
    // The interval is written beside the first box's axes.
    BitmapArea first = boxCanvas(records, 0);
    const ProjectionSetup& setup = records.userProjection;
    auto project = [&](double x, double y, double z, double& X, double& Y) {
        DISPXY(x, y, z, records.chartOptions.projectionKind, X, Y, setup);
    };
    auto radians = [](float minutes) { return double(minutes) / 60 / degreesPerRadian; };

    const float g = SCALEDIV(S);
    float Lx, Ly;
    switch (kind) {
    case 5: Lx = 5400 - g; Ly = 10800 - g; break;
    case 8: Lx = Ly = 5400 - g; break;
    case 10: Lx = Ly = float(setup.domainDegrees * 60) - g; break;
    case 4: case 7: case 9: case 11: case 12: case 13: case 14: case 15: Lx = 10800 - g; Ly = 5400 - g; break;
    default: Lx = Ly = 10800 - g; break;
    }
    const float T = std::round(5 * std::sqrt(W / 1000));
    const float top = records.chartLayout.marginTop;
    const float start = mode > 1 ? 5400 : 0;

    // Axes.
    inEachBox(records, boxes, [&](BitmapArea& bitmap, double cx, double cy) {
        bitmap.drawLine(float(cx - B), float(cy), float(cx + B), float(cy), colour);
        bitmap.drawLine(float(cx), top, float(cx), top + W / (view.halfHeight + 1), colour);
    });
    // Ticks across the horizontal axis.
    {
        double X = 0, Y = 0;
        for (float a = start; a < Lx && std::fabs(X) < B;) {
            a += g;
            project(0, std::sin(radians(a)), std::cos(radians(a)), X, Y);
            inEachBox(records, boxes, [&](BitmapArea& bitmap, double cx, double cy) {
                for (double sx : {1.0, -1.0})
                    bitmap.drawLine(float(cx + sx * X), float(cy - Y + T), float(cx + sx * X),
                                    float(cy - Y - T), colour);
            });
        }
    }
    // Ticks across the vertical axis, the interval written at the first.
    {
        double X = 0, Y = 0;
        for (float a = start; a < Ly && std::fabs(Y) < W;) {
            a += g;
            project(std::sin(radians(a)), 0, std::cos(radians(a)), X, Y);
            inEachBox(records, boxes, [&](BitmapArea& bitmap, double cx, double cy) {
                for (double sy : {1.0, -1.0})
                    bitmap.drawLine(float(cx + X + T), float(cy - sy * Y), float(cx + X - T),
                                    float(cy - sy * Y), colour);
            });
            if (a == g)
                first.drawText(float(boxes.x1 + X - 6 + T), float(boxes.y - Y - 9), intervalLabel(g), colour);
        }
    }

    if (mode == 2 || mode == 3) {
        Lx = std::min(Lx, 5400.0f);
        Ly = std::min(Ly, 5400.0f);
        const float s = 10800 / S;
        auto point = [&](float a, float b, double& X, double& Y) {
            const double ra = radians(a), rb = radians(b);
            if (mode == 2)
                project(std::sin(ra), std::sin(rb) * std::cos(ra), std::cos(rb) * std::cos(ra), X, Y);
            else
                project(std::sin(ra) * std::cos(rb), std::sin(rb), std::cos(rb) * std::cos(ra), X, Y);
        };
        auto dots = [&](double X, double Y) {
            if (std::fabs(X) < B)
                inEachBox(records, boxes, [&](BitmapArea& bitmap, double cx, double cy) {
                    fourDots(bitmap, cx, cy, X, Y, colour);
                });
        };
        // Lines of constant rightward offset b.
        double X1 = 0;
        for (float b = g; b < Lx && std::fabs(X1) < B; b += g) {
            double X = 0, Y = 0;
            long n = 0;
            for (float a = s; a < Ly && std::fabs(Y) < W && n < maxCurveSteps; ++n) {
                point(a, b, X, Y);
                if (a == s) X1 = X;
                dots(X, Y);
                if (a + s == a) break;
                a += s;
            }
        }
        // Lines of constant upward offset a, the interval written on the first.
        double Y1 = 0;
        for (float a = g; a < Ly && std::fabs(Y1) < W; a += g) {
            double X = 0, Y = 0;
            long n = 0;
            for (float b = s; b < Lx && std::fabs(X) < B && n < maxCurveSteps; ++n) {
                point(a, b, X, Y);
                if (b == s) {
                    Y1 = Y;
                    if (a == g)
                        first.drawText(float(boxes.x1 + X - 6), float(boxes.y - Y + 2), intervalLabel(g),
                                       colour);
                }
                dots(X, Y);
                if (b + s == b) break;
                b += s;
            }
        }
    } else if (mode == 4) {
        Ly = std::min(std::min(Lx, Ly), 5400.0f);
        double Y = 0;
        for (float a = g; a < Ly && std::fabs(Y) < W; a += g) {
            const float s = (12800 / S) / float(std::sin(radians(a)));
            if (!(s > 0))
                continue;
            long n = 0;
            for (float b = s; b <= 21600 && n < maxCurveSteps; ++n) {
                double X;
                const double ra = radians(a), rb = radians(b);
                project(std::cos(rb) * std::sin(ra), std::sin(rb) * std::sin(ra), std::cos(ra), X, Y);
                if (b == s && a == g)
                    first.drawText(float(boxes.x1 + X - 6), float(boxes.y - Y - 16), intervalLabel(g),
                                   colour);
                if (std::fabs(X) < B)
                    inEachBox(records, boxes, [&](BitmapArea& bitmap, double cx, double cy) {
                        fourDots(bitmap, cx, cy, X, Y, colour);
                    });
                if (b + s == b) break;
                b += s;
            }
        }
    }
}

} // namespace nivora
