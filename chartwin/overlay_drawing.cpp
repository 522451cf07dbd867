#include "chartwin/overlay_drawing.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <string>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "astro/fieldnumber.h"
#include "astro/projection.h"
#include "chartwin/chart_window.h"
#include "chartwin/data_file_stream.h"
#include "chartwin/keyword_search.h"
#include "chartwin/user_data_file.h"
#include "render/bodymarks.h"
#include "render/cell_skip.h"
#include "render/drawing_fields.h"
#include "render/pipeline.h"

namespace nivora {

namespace {

DirectionVector unitOf(double lon, double lat)
{
    return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

// An angle in radians brought into 0 .. 2 pi whatever its size.
double fullTurn(double a)
{
    a = std::fmod(a, 2 * pi);
    return a < 0 ? a + 2 * pi : a;
}

// The settings a pass draws with after their fall-backs.
struct PassSettings {
    OverlaySettings s;
    int lineInterval = 1;
    int shape = 1;
    int commentMode = 1;
    int commentInterval = 1;
};

// Settings tests in their order; false with err 1.
bool usableSettings(PassSettings& pass)
{
    const OverlaySettings& s = pass.s;
    if (!coordinateFieldsReadable(s))
        return false;
    pass.lineInterval = std::max(1, s.lineInterval);
    pass.shape = s.markShape;
    if (pass.shape == 2 && !s.magnitude.readable())
        pass.shape = 1;
    if ((pass.shape == 3 || pass.shape == 5) && (!s.radius.readable() || s.radiusFactor == 0))
        pass.shape = 1;
    pass.commentMode = s.commentMode;
    pass.commentInterval = std::max(1, s.commentInterval);
    if (pass.commentMode == 2 && !s.comment.readable())
        pass.commentMode = 1;
    return true;
}

} // namespace

bool coordinateFieldsReadable(const OverlaySettings& s)
{
    if (!s.longitude.readable() || !s.latitude.readable())
        return false;
    if ((s.longitudeUnit == 2 || s.longitudeUnit == 3) && !s.longitudeMinutes.readable())
        return false;
    return s.latitudeUnit != 2 || s.latitudeMinutes.readable();
}

namespace {

// The marks (and comments) of the records, read line by line.
void markRecords(ChartWindowRecords& p, const PassSettings& pass, DataFileStream& file)
{
    const OverlaySettings& s = pass.s;
    const DrawingState& drawn = p.drawn;
    const SkyFrames& sky = drawn.sky;
    const DrawnSettings& ds = drawn.settings;
    const ChartGeometry& g = drawn.geometry;
    const bool skyChart = ds.drawnChartMode < mapChartMode;
    const bool dualBox = p.chartView.dualBox == 1;
    const BoxCentres boxes = boxCentres(p.chartView, p.chartLayout, g.directionOffset);
    const ProjectionKind projection = ProjectionKind(ds.drawnProjection);
    const bool chartApparent = skyChart || ds.displayFrameIndex % 4 == 0;
    // A ticked correction applies where the chart applied it.
    const bool diurnal = s.dataDiurnalAberration && ds.drawnDiurnalAberration == 1 && skyChart;
    const bool refraction = s.dataRefraction && ds.drawnRefraction == 1 && skyChart;
    const double horizon = -sky.horizonDipSine - p.chartOptions.underHorizonDepth;
    const float A = p.minuteOptions.starScaling, B = p.minuteOptions.dotMagnitude;
    const int W = p.chartView.imageSize;
    const long commentEvery = long(pass.commentInterval) * pass.lineInterval;

    const RotationMatrix* toBase = nullptr;
    if (s.frameClass == 2) {
        const RotationMatrix* byVariant[4] = {&sky.trueEquatorToBase, &sky.trueEquatorToBase,
                                              &sky.meanEquatorToBase, &sky.icrfToBase};
        toBase = byVariant[std::clamp(s.frameVariant, 0, 3)];
    } else if (s.frameClass == 3) {
        const RotationMatrix* byVariant[4] = {&sky.trueEclipticToBase, &sky.trueEclipticToBase,
                                              &sky.meanEclipticToBase, &sky.j2000EclipticToBase};
        toBase = byVariant[std::clamp(s.frameVariant, 0, 3)];
    }
    // A record's direction in the base frame, before refraction.
    const auto recordToBase = [&](const DirectionVector& u) {
        DirectionVector v = u;
        if (toBase) {
            v = rotate(*toBase, u);
            if (s.frameVariant == 0) {
                if (!chartApparent) {
                    DirectionVector freed;
                    INVABER(v, sky.annualAberration, freed);
                    v = freed;
                }
            } else if (chartApparent) {
                v = normalised(plus(v, sky.annualAberration));
            }
        }
        if (diurnal)
            v = normalised(plus(v, sky.diurnalAberration));
        return v;
    };
    // The records' own pipeline for the cells: the chart as drawn, their own refraction. No
    // visibility table holds the records' corrections, and a mark or comment of any size may
    // reach the picture from anywhere within the limits: a cell is passed over only where none
    // of it lies within them.
    const PointPipeline pipeline(p, {.refraction = s.dataRefraction, .asDrawn = true});
    CellSkip cells(p, pipeline, recordToBase, nullptr);

    long n = -1;
    float r = 0;
    std::string line;
    for (long lines = 0; file.next(line); ++lines) {
        if (lines % 512 == 511)
            p.ui.pumpEvents();
        const DataLine kind = classifyDataLine(line, s);
        if (kind == DataLine::End)
            break;
        if (kind == DataLine::Comment)
            continue;
        ++n;
        if (n % pass.lineInterval != 0 || !coordinatesHeld(line, s))
            continue;

        double lon = fullTurn(firstCoordinate(line, s) / degreesPerRadian);
        const double lat = secondCoordinate(line, s) / degreesPerRadian;
        if (!(std::fabs(lat) <= pi / 2) || !std::isfinite(lon))
            continue;
        if (s.frameClass == 4)
            lon = fullTurn(lon + pi);
        int i, j;
        visibilityCell(lon, lat, i, j);
        i = std::clamp(i, 0, 72);
        j = std::clamp(j, 0, 36);
        if (cells.hidden(i, j, HUGE_VAL))
            continue;

        DirectionVector v = recordToBase(unitOf(lon, lat));
        if (refraction)
            v[2] += REFRACTCUL(v[2], sky.horizonDipSine);
        if (skyChart && v[2] < horizon)
            continue;

        DirectionVector w = rotate(sky.baseToChart, v);
        int b = 0;
        if (dualBox && w[2] < 0) {
            w[1] = -w[1];
            w[2] = -w[2];
            b = 1;
        }
        double X, Y;
        DISPXY(w[0], w[1], w[2], projection, X, Y, p.userProjection);
        if (!(std::fabs(X) <= g.halfWidthLimit) || !(std::fabs(Y - g.directionOffset) <= g.halfHeightLimit))
            continue;

        const bool commented = pass.commentMode != 1 && n % commentEvery == 0;
        const int colour = rgbColour(commented ? p.overlayColors.commentColor : p.overlayColors.markColor);
        const float px = float(boxes.x1 + b * boxes.secondBoxOffset + X), py = float(boxes.y - Y);
        BitmapArea bitmap = boxCanvas(p, b);
        switch (pass.shape) {
        case 1:
            r = float(4 * std::sqrt(W / 1000.0));
            bitmap.drawLine(px - r, py - r, px + r, py + r, colour);
            bitmap.drawLine(px + r, py - r, px - r, py + r, colour);
            break;
        case 2: {
            const float m = float(fieldValue(line, s.magnitude));
            r = m < B ? A * (B - m) * g.starSizeFactor : 0;
            break;
        }
        case 3:
        case 5:
            r = float(fieldValue(line, s.radius) * s.radiusFactor * localScale(projection, p.userProjection, w) /
                      (s.radiusUnit == 2 ? 60 : 1));
            break;
        default:
            bitmap.plotDot(px, py, colour);
        }
        if (pass.shape == 2 || pass.shape == 3 || pass.shape == 5) {
            if (!(r >= 0.5))
                bitmap.plotDot(px, py, colour);
            else
                bitmap.drawCircle(px, py, r, colour, 1, 0, 0, pass.shape == 5 ? -1 : colour);
        }

        if (!commented)
            continue;
        std::string text;
        int c = 0;
        if (pass.commentMode == 2) {
            text = std::string(wholeCharacters(fieldText(line, s.comment)));
            c = s.comment.width;
        } else {
            text = " " + std::to_string(n);
            c = int(text.size());
        }
        double tx = X, ty = Y;
        switch (s.commentPosition) {
        case 1: tx = X - r - 9 * c - 2; ty = Y + 9; break;
        case 2: tx = X + r + 2; ty = Y + 9; break;
        case 3: tx = X - 5 * c; ty = Y + r + 20; break;
        case 4: tx = X - 5 * c; ty = Y - r - 2; break;
        default: break;
        }
        bitmap.drawText(float(boxes.x1 + b * boxes.secondBoxOffset + tx), float(boxes.y - ty), text, colour);
    }
}

} // namespace

OverlayFile DRAWFILE(ChartWindowRecords& p, std::int16_t& err)
{
    err = 0;
    PassSettings pass{readOverlaySettings(p.ui)};
    const OverlaySettings& s = pass.s;
    if (s.dataFilePath.empty()) {
        err = 1;
        return OverlayFile::Read;
    }
    const auto path = dataFileLocation(p.folder, s.dataFilePath);
    DataFileStream file(path);
    if (!file.error().empty()) {
        p.ui.alert(file.error());
        return OverlayFile::Unreadable;
    }
    if (!file.isOpen())
        return OverlayFile::Missing;
    if (!usableSettings(pass)) {
        err = 1;
        return OverlayFile::Read;
    }
    try {
        markRecords(p, pass, file);
    } catch (const std::bad_alloc&) {
        p.ui.alert(DataFileError(path, 0, std::string(outOfMemoryText)).what());
    }
    return OverlayFile::Read;
}

void BUTTON15_ON(ChartWindowRecords& p)
{
    Ui& ui = p.ui;
    if (!ui.form("FORM2").visible()) {
        ui.alert("Main Picture do not exist.");
        return;
    }
    const ChartView& view = p.chartView;
    if (float(readFieldNumber(ui.control("EDIT1").text())) != float(view.imageSize) ||
        ui.control("RADIO29").value() != view.dualBox || ui.control("RADIO28").value() != view.halfHeight) {
        ui.alert("The Size of Image has changed.");
        return;
    }
    if (const std::string fault = overlayFieldFault(ui); !fault.empty()) {
        ui.alert(fault);
        return;
    }
    std::int16_t err = 0;
    const OverlayFile found = DRAWFILE(p, err);
    if (found == OverlayFile::Missing) {
        ui.alert("The File does not exist.");
        return;
    }
    if (found == OverlayFile::Unreadable)
        return;
    if (err == 1) {
        ui.alert("Some Settings are odd.");
        return;
    }
    repaintChartWindow(p);
    ui.form("FORM2").raise();
}

void bindOverlayDrawing(ChartWindowRecords& p)
{
    p.drawingHooks.overlay = [&p](ProgramRecords&) {
        std::int16_t err = 0;
        DRAWFILE(p, err);
    };
    p.ui.bind("BUTTON15_ON", [&p] { BUTTON15_ON(p); }, WhileDrawing::Refuse);
}

} // namespace nivora
