#include "chartwin/click.h"

#include <algorithm>
#include <cmath>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "astro/fieldnumber.h"
#include "astro/projection.h"
#include "chartwin/chart_window.h"
#include "chartwin/nearest.h"
#include "chartwin/pointing_commands.h"
#include "chartwin/pointing_readout.h"

namespace nivora {

namespace {

double positiveLongitude(const DirectionVector& v, double& lat) {
    double lon, r;
    ZENITH(v[0], v[1], v[2], lon, lat, r);
    return lon < 0 ? lon + 2 * pi : lon;
}

// The projections whose hemisphere fills the circle of a Dual-Box box.
bool fillsTheCircle(ProjectionKind k) {
    switch (k) {
    case 1: case 2: case 3: case 7: case 8: case 10: case 13: case 15:
        return true;
    default:
        return false;
    }
}

} // namespace

double angleOfCosine(double c) {
    c = std::clamp(c, -1.0, 1.0);
    return std::atan2(std::sqrt(1 - c * c), c);
}

double angleBetween(const DirectionVector& a, const DirectionVector& b) {
    const double cx = a[1] * b[2] - a[2] * b[1];
    const double cy = a[2] * b[0] - a[0] * b[2];
    const double cz = a[0] * b[1] - a[1] * b[0];
    return std::atan2(std::sqrt(cx * cx + cy * cy + cz * cz), a[0] * b[0] + a[1] * b[1] + a[2] * b[2]);
}

double searchCosineOf(std::string_view radiusText) {
    double r = readFieldNumber(radiusText);
    if (r >= 1 || r <= 0)
        r = double(0.99999f);
    return std::cos(r / degreesPerRadian);
}

ClickPoint locateClick(const ChartWindowRecords& p, int px, int py, PointedFrames& frames) {
    ClickPoint c;
    const DrawingState& drawn = p.drawn;
    const DrawnSettings& s = drawn.settings;
    const SkyFrames& sky = drawn.sky;
    const ChartView& view = p.chartView;
    const BoxCentres boxes = boxCentres(view, p.chartLayout, drawn.geometry.directionOffset);
    const int box = boxAt(boxes, px, py);
    if (box < 0)
        return c;
    const bool secondBox = box == 1;
    const double dx = px - (secondBox ? boxes.x2 : boxes.x1);
    const double dy = boxes.y - py;
    const double size = view.imageSize;

    if (view.dualBox == 1) {
        if (fillsTheCircle(s.drawnProjection) && dx * dx + dy * dy > size * size / 4)
            return c;
        if (s.drawnProjection == 9 && std::fabs(dx) > std::cos(dy / size * pi) * size / 2)
            return c;
    }
    DirectionVector u{};
    float ok = 0;
    INVDISP(u[0], u[1], u[2], s.drawnProjection, ok, dx, dy, p.userProjection);
    if (ok == 0)
        return c;
    if (view.dualBox == 1) {
        if (u[2] < 0)
            return c;
        if (secondBox) {
            u[1] = -u[1];
            u[2] = -u[2];
        }
    }
    c.onChart = true;

    DirectionVector v = rotate(sky.chartToBase, u);
    frames[0] = v;
    c.pointAzimuth = positiveLongitude(v, c.pointElevation);

    const bool observerChart = s.drawnChartMode < mapChartMode;
    if (s.drawnRefraction == 1 && observerChart && v[2] > double(-0.0349f) - sky.horizonDipSine) {
        INVREFRACT(v[2], sky.horizonDipSine, c.refractionAngle);
        if (c.refractionAngle > 0) {
            const double horizontal = v[0] * v[0] + v[1] * v[1];
            if (horizontal > 0) {
                const double scale = std::sqrt((1 - v[2] * v[2]) / horizontal);
                v[0] *= scale;
                v[1] *= scale;
            }
        }
    }
    if (s.drawnDiurnalAberration == 1 && observerChart) {
        DirectionVector w;
        INVABER(v, sky.diurnalAberration, w);
        c.diurnalAberrationAngle = angleBetween(v, w);
        v = w;
    }

    const DirectionVector e = rotate(sky.baseToTrueEquator, v);
    if (s.drawnChartMode == skyChartMode || s.displayFrameIndex % 4 == 0) {
        frames[1] = e;
        INVABER(e, sky.annualAberrationEquatorial, frames[2]);
    } else {
        frames[2] = e;
        for (int i = 0; i < 3; ++i)
            frames[1][i] = e[i] + sky.annualAberrationEquatorial[i];
        normalise(frames[1]);
    }
    frames[3] = rotate(sky.trueEquatorToMeanEquator, frames[2]);
    frames[4] = rotate(sky.meanEquatorToIcrf, frames[3]);
    frames[5] = rotate(sky.trueEquatorToTrueEcliptic, frames[1]);
    frames[6] = rotate(sky.trueEquatorToTrueEcliptic, frames[2]);
    frames[7] = rotate(sky.meanEquatorToMeanEcliptic, frames[3]);
    frames[8] = rotate(p.tables.icrfToJ2000Ecliptic, frames[4]);

    c.annualAberrationAngle = angleBetween(frames[1], frames[2]);
    const int frame = p.minuteOptions.sunDataFrame;
    if (frame >= 1 && frame <= 4)
        c.pointRa = positiveLongitude(frames[std::size_t(frame)], c.pointDec);
    c.pointRaIcrf = positiveLongitude(frames[4], c.pointDecIcrf);
    return c;
}

void FORM2_CLICK(ChartWindowRecords& p) {
    Form window = p.ui.form("FORM2");
    const int ex = window.clickX(), ey = window.clickY();
    const ChartView& view = p.chartView;
    if (!p.drawn.chartDrawn)   // a first DRAW that was refused leaves a blank window
        return;
    if (ex < imageInset || ey < imageInset)
        return;
    const int px = ex + view.scrollX - imageInset, py = ey + view.scrollY - imageInset;
    // Only the boxes hold a chart: below it and in the side strip there is no point to read.
    if (boxAt(boxCentres(view, p.chartLayout, p.drawn.geometry.directionOffset), px, py) < 0)
        return;

    repaintChartWindow(p);
    const int m = int(std::lround(6 * std::sqrt(view.imageSize / 1000.0)));
    const Rgb colour = paletteColour(9 - p.chartOptions.whiteBackground);
    window.drawWindowLine(ex - m, ey, ex + m, ey, colour);
    window.drawWindowLine(ex, ey - m, ex, ey + m, colour);

    p.clickPixel = {std::int16_t(px), std::int16_t(py)};

    const double searchCosine = searchCosineOf(p.ui.control("EDIT78").text());
    const bool measureAngle = p.ui.control("CHECK13").value() == 1;
    if (measureAngle)
        p.previousPosition = p.pointedPosition;

    PointedFrames frames = p.pointedPosition;
    ClickPoint click = locateClick(p, px, py, frames);
    click.searchCosine = searchCosine;
    click.measureAngle = measureAngle;
    if (click.onChart)
        p.pointedPosition = frames;

    NearestSearch nearest;
    if (click.onChart)
        nearest = findNearest(p, click);
    showReadout(p, click, nearest);
}

void bindPointingWindow(ChartWindowRecords& p) {
    p.ui.bind("FORM2_CLICK", [&p] { FORM2_CLICK(p); }, WhileDrawing::Refuse);
    bindPointingCommands(p);
}

} // namespace nivora
