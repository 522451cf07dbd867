#include "render/added_star.h"

#include <cmath>
#include <utility>
#include <vector>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "astro/fieldnumber.h"
#include "astro/numbertext.h"
#include "options/observation_input.h"
#include "platform/forms.h"
#include "render/bodymarks.h"
#include "render/pipeline.h"
#include "render/program_records.h"

namespace nivora {

namespace {

// A field's number as the windows hold it: single precision.
double fieldNumber(const std::string& text) { return double(float(readFieldNumber(text))); }

// Degrees (or hours) and minutes: the minutes take the sign of a "-" leading the first field.
double withMinutes(const std::string& whole, const std::string& minutes)
{
    double m = fieldNumber(minutes);
    if (whole.starts_with('-'))
        m = -m;
    return fieldNumber(whole) + m / 60;
}

constexpr int legendLeftPad = 3;

// Everything of the capture but the star.
AddedStarCapture readMarkStyle(const Ui& ui)
{
    const Form form = ui.form("FORM9");
    AddedStarCapture c;
    c.frame = ui.control("COMBO4").index();
    c.markKind = form.groupCode("markStyle");
    c.sizeKind = c.markKind == 1 ? 0 : form.groupCode("sizeKind");
    c.sizeValue = float(readFieldNumber(ui.control("EDIT18").text()));
    c.distanceOn = ui.control("CHECK11").value();
    c.name = ui.control("EDIT38").text();
    return c;
}
constexpr int parallaxRow = 360;

} // namespace

AddedStarFields readAddedStarFields(const Ui& ui)
{
    AddedStarFields f;
    f.frame = ui.control("COMBO4").index();
    f.distanceOn = ui.control("CHECK11").value();
    f.first = ui.control("EDIT14").text();
    f.firstMinutes = ui.control("EDIT15").text();
    f.second = ui.control("EDIT16").text();
    f.secondMinutes = ui.control("EDIT17").text();
    f.distance = ui.control("EDIT62").text();
    f.astronomicalUnits = ui.control("RADIO51").value() == 1;
    f.fromSurface = ui.control("RADIO60").value() == 1;
    f.degrees = ui.control("RADIO62").value() == 1;
    return f;
}

std::string addedStarFieldFault(const Ui& ui, int chartMode)
{
    const AddedStarCapture style = readMarkStyle(ui);
    const std::string first = ui.control("TEXT12").caption(), second = ui.control("TEXT22").caption();
    std::vector<std::pair<std::string, const char*>> read = {
        {first, "EDIT14"}, {first + " minutes", "EDIT15"}, {second, "EDIT16"}, {second + " minutes", "EDIT17"}};
    if (style.markKind != 1)
        read.push_back({"Size", "EDIT18"});
    if (style.distanceOn == 1 && chartMode < mapChartMode)
        read.push_back({"Distance", "EDIT62"});
    std::vector<NumberField> fields;
    for (const auto& [name, control] : read)
        fields.push_back({name + " of the added star", ui.control(control).text()});
    return numberFieldFault(fields);
}

AddedStar ADDSTAR(const AddedStarFields& fields, const SkyFrames& sky, const AddedStarChart& chart)
{
    AddedStar result;
    const int f = fields.frame;
    if (f < 0 || f > 9) {
        result.status = AddedStarStatus::noFrame;
        return result;
    }
    const bool skyChart = chart.chartMode < mapChartMode;
    const bool distanceGiven = skyChart && fields.distanceOn == 1;
    double d = 1;
    if (distanceGiven) {
        d = fieldNumber(fields.distance) * (fields.astronomicalUnits ? astronomicalUnit : 1);
        if (!(d > 0)) {
            result.status = AddedStarStatus::badDistance;
            return result;
        }
    }

    double lambda = withMinutes(fields.first, fields.firstMinutes) / 12 * pi;
    if (fields.degrees)
        lambda /= 15;
    const double beta = withMinutes(fields.second, fields.secondMinutes) / degreesPerRadian;
    const DirectionVector unit = {std::cos(lambda) * std::cos(beta), std::sin(lambda) * std::cos(beta),
                                  std::sin(beta)};
    DirectionVector u = scaled(unit, d);

    DirectionVector w;
    switch (f) {
    case 0:
    case 1: w = rotate(sky.trueEquatorToTrueEcliptic, u); break;
    case 2: w = rotate(sky.trueEquatorToTrueEcliptic, rotate(sky.meanEquatorToTrueEquator, u)); break;
    case 3:
        w = rotate(sky.trueEquatorToTrueEcliptic,
                   rotate(sky.meanEquatorToTrueEquator, rotate(sky.icrfToMeanEquator, u)));
        break;
    case 4:
    case 5: w = u; break;
    case 6: w = rotate(sky.meanEclipticToTrueEcliptic, u); break;
    case 7: w = rotate(sky.j2000EclipticToTrueEcliptic, u); break;
    case 8: {
        // A place on the Earth: the distance counts from the ground there when asked.
        if (distanceGiven && fields.fromSurface) {
            const double s = std::sin(beta);
            const double N = earthRadius / std::sqrt(1 - earthEccentricitySquared * s * s);
            u[0] += N * std::cos(lambda) * std::cos(beta);
            u[1] += N * std::sin(lambda) * std::cos(beta);
            u[2] += N * (1 - earthEccentricitySquared) * s;
        }
        w = rotate(sky.trueEquatorToTrueEcliptic, rotate(sky.baseToTrueEquator, rotate(sky.greenwichToHorizon, u)));
        break;
    }
    default: {
        // Azimuth from north through west and elevation; as the observer sees it, refraction and
        // diurnal aberration are taken out first.
        u = unit;
        if (skyChart && (fields.distanceOn == 0 || fields.fromSurface)) {
            if (chart.refractionOn && u[2] > -double(0.0349f) - sky.horizonDipSine) {
                double r;
                INVREFRACT(u[2], sky.horizonDipSine, r);
                const double across = u[0] * u[0] + u[1] * u[1];
                if (r > 0 && across > 0) {
                    const double k = std::sqrt((1 - u[2] * u[2]) / across);
                    u[0] *= k;
                    u[1] *= k;
                }
            }
            if (chart.diurnalAberrationOn) {
                DirectionVector t;
                INVABER(u, sky.diurnalAberration, t);
                u = t;
            }
        }
        const double n = length(u);
        if (!(n > 0)) {
            result.status = AddedStarStatus::zeroVector;
            return result;
        }
        w = rotate(sky.trueEquatorToTrueEcliptic, rotate(sky.baseToTrueEquator, scaled(u, d / n)));
        break;
    }
    }
    if (distanceGiven && fields.fromSurface && f != 8)
        for (int i = 0; i < 3; ++i)
            w[i] += sky.observerPositionEcliptic[i];

    const double dist = length(w);
    if (!(dist > 0) || !std::isfinite(dist)) {
        result.status = AddedStarStatus::zeroVector;
        return result;
    }
    DirectionVector v = scaled(w, 1 / dist);
    // Frames that are not apparent get the annual aberration; the terrestrial ones never.
    if (f % 4 > 0 && f != 9) {
        for (int i = 0; i < 3; ++i)
            v[i] += sky.annualAberrationEcliptic[i];
        v = scaled(v, 1 / length(v));
    }
    result.v = v;
    result.dist = dist;
    return result;
}

AddedStarCapture captureAddedStar(ProgramRecords& records)
{
    const Ui& ui = records.ui;
    // A program without the form (a drawing's tests) has no added star.
    if (!ui.hasControl("COMBO4")) {
        AddedStarCapture none;
        none.star.status = AddedStarStatus::noFrame;
        return none;
    }
    AddedStarCapture c = readMarkStyle(ui);
    const ChartOptions& o = records.chartOptions;
    c.star = ADDSTAR(readAddedStarFields(ui), records.drawn.sky,
                     {records.chartView.chartMode, o.refractionOn == 1, o.diurnalAberrationOn == 1});
    if (c.star.status == AddedStarStatus::badDistance)
        records.ui.alert(addedStarDistanceMessage);
    return c;
}

namespace {

struct MarkOutcome {
    bool ended = false;   // the parallax left a zero vector: nothing more of the star
    bool marked = false;  // the mark is on the chart: the legend goes with it
    float radius = 0;
    double parallax = 0;
};

// What the drawing and the overdraw share: from the star's vector to its mark on the chart.
MarkOutcome drawAddedStarMark(ProgramRecords& records, const AddedStarCapture& c, bool asDrawn)
{
    MarkOutcome out;
    const SkyFrames& sky = records.drawn.sky;
    // Places on the Earth and in the observer's sky are never hidden by the horizon.
    const PointPipeline pipeline(records, {.horizonCut = c.frame < 8, .asDrawn = asDrawn});
    const bool skyChart = pipeline.chartMode() < mapChartMode;

    DirectionVector w = rotate(sky.trueEclipticToBase, c.star.v);
    if (!skyChart && records.drawn.settings.displayFrameIndex % 4 > 0) {
        DirectionVector t;
        INVABER(w, sky.annualAberration, t);
        w = scaled(t, 1 / length(t));
    }
    if (c.distanceOn == 1 && skyChart) {
        DirectionVector p = scaled(w, c.star.dist);
        for (int i = 0; i < 3; ++i)
            p[i] -= sky.observerPositionHorizon[i];
        const double n = length(p);
        if (!(n > 0)) {
            out.ended = true;
            return out;
        }
        p = scaled(p, 1 / n);
        const double k = std::min(1.0, dot(w, p));
        out.parallax = std::atan(std::sqrt(1 - k * k) / k);
        w = p;
    }
    if (pipeline.diurnalAberration()) {
        w[1] += sky.diurnalAberration[1];
        w = scaled(w, 1 / length(w));
    }
    const std::optional<ChartPixel> pixel = pipeline.place(w);
    if (!pixel)
        return out;

    const float starSizeFactor = records.drawn.geometry.starSizeFactor;
    const MinuteOptions& m = records.minuteOptions;
    float r = 0;
    if (c.markKind == 1) {
        r = crossHalfSize(records.chartView.imageSize);
    } else if (c.sizeKind == 1) {
        r = c.sizeValue < m.dotMagnitude ? m.starScaling * (m.dotMagnitude - c.sizeValue) * starSizeFactor : 0;
    } else {
        DirectionVector v = pipeline.toChart(pipeline.refract(w));
        if (pixel->box == 1)
            v = {v[0], -v[1], -v[2]};
        r = float(c.sizeValue * localScale(pipeline.projection(), records.userProjection, v));
    }
    if (!std::isfinite(r))
        r = 0;

    const int colour = 9 - records.chartOptions.whiteBackground;
    BitmapArea bitmap = boxCanvas(records, pixel->box);
    if (c.markKind == 1)
        drawMark(bitmap, MarkKind::cross, pixel->x, pixel->y, r, colour);
    else if (r < 0.5f)
        bitmap.plotDot(pixel->x, pixel->y, colour);
    else if (c.markKind == 2)
        drawMark(bitmap, MarkKind::disc, pixel->x, pixel->y, r, colour);
    else if (c.markKind == 3)
        drawMark(bitmap, MarkKind::outline, pixel->x, pixel->y, r, colour);
    out.marked = true;
    out.radius = r;
    return out;
}

} // namespace

void drawAddedStar(ProgramRecords& records, const AddedStarCapture& c)
{
    const std::uint8_t chartMode = records.chartView.chartMode;
    if ((chartMode == mapChartMode && c.frame == 8) || c.star.status != AddedStarStatus::ok)
        return;
    const MarkOutcome mark = drawAddedStarMark(records, c, false);
    if (mark.ended)
        return;

    const ReadoutOptions& readout = records.readoutOptions;
    const int colour = 9 - records.chartOptions.whiteBackground;
    const float left = panelLeftOf(records);
    BitmapArea bitmap = panelCanvas(records);
    if (mark.marked) {
        const bool orbitAbsent = records.chartOptions.orbitObjectDisplayMode == 0 || records.drawn.orbitObject.valid == 0;
        const int b1 = (readout.readoutFrame == 100 || chartMode == mapChartMode ||
                        (readout.readoutBody == 30 && orbitAbsent)) ? -1 : 0;
        const int b2 = chartMode == mapChartMode ? -1 : 0;
        const float y0 = float(396 + 108 * b1 + 54 * b2);
        const float r = mark.radius;
        const float x0 = left + legendLeftPad;
        if (c.markKind == 1) {
            bitmap.drawLine(x0, y0 + 9 - r, x0 + 2 * r, y0 + 9 + r, colour);
            bitmap.drawLine(x0 + 2 * r, y0 + 9 - r, x0, y0 + 9 + r, colour);
        } else if (r < 0.5f) {
            bitmap.plotDot(x0, y0 + 9, colour);
        } else if (c.markKind == 2) {
            drawMark(bitmap, MarkKind::disc, x0 + r, y0 + 9, r, colour);
        } else if (c.markKind == 3) {
            drawMark(bitmap, MarkKind::outline, x0 + r, y0 + 9, r, colour);
        }
        bitmap.drawText(left + 6 + 2 * r, y0, ":" + (c.name.empty() ? std::string("Added Star") : c.name), colour);
    }
    if (readout.readoutBody == 20 && c.distanceOn == 1 && chartMode == skyChartMode && readout.readoutFrame < 20) {
        const float mode = records.minuteOptions.commentUnit > 1 ? 4 : 0;
        bitmap.drawText(left, parallaxRow, " Parallax:" + DSPSEXA(mark.parallax, mode, 1), colour);
    }
}

bool overdrawAddedStar(ProgramRecords& records)
{
    const Ui& ui = records.ui;
    if (ui.control("CHECK1").value() != 1)
        return false;
    const DrawnSettings& drawn = records.drawn.settings;
    AddedStarCapture c = readMarkStyle(ui);
    if (c.frame == 8 && drawn.drawnChartMode == mapChartMode)
        return false;
    if (const std::string fault = addedStarFieldFault(ui, drawn.drawnChartMode); !fault.empty()) {
        records.ui.alert(fault);
        return false;
    }
    c.star = ADDSTAR(readAddedStarFields(ui), records.drawn.sky,
                     {drawn.drawnChartMode, drawn.drawnRefraction == 1, drawn.drawnDiurnalAberration == 1});
    if (c.star.status == AddedStarStatus::badDistance)
        records.ui.alert(addedStarDistanceMessage);
    if (c.star.status != AddedStarStatus::ok)
        return false;
    drawAddedStarMark(records, c, true);
    return true;
}

} // namespace nivora
