#include "render/orbit_object.h"

#include <algorithm>
#include <cmath>

#include "astro/constants.h"
#include "astro/datafile.h"
#include "astro/numbertext.h"
#include "astro/precession.h"
#include "platform/forms.h"
#include "render/bodymarks.h"
#include "render/orbit_elements_form.h"
#include "render/program_records.h"

namespace nivora {

namespace {

constexpr int parallaxRow = 360;

} // namespace

void drawOrbitObject(ProgramRecords& records, const SkyFrameTimes& times, bool addedStarOn)
{
    OrbitObjectState& state = records.drawn.orbitObject;
    state = {};
    const std::uint8_t mode = records.chartOptions.orbitObjectDisplayMode;
    Ui& ui = records.ui;
    // A program without the form (a drawing's tests) has no orbit object.
    if (mode == 0 || !ui.hasForm("FORM7"))
        return;
    const SkyFrames& sky = records.drawn.sky;
    const ReadoutOptions& readout = records.readoutOptions;
    const std::uint8_t chartMode = records.chartView.chartMode;
    const int colour = 7 - records.chartOptions.whiteBackground;
    FormOrbitElements form(ui);
    const bool universalTime = ui.control("RADIO77").value() == 1;
    const bool aroundSun = ui.control("RADIO72").value() == 1;

    // Two passes for the light time.
    DirectionVector v{};
    double rho = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const double tau = rho / lightSpeed / 86400;
        double X, Y, Z, epoch;
        float frame, ok;
        OOBJCAL(form, (universalTime ? times.dayNumberUT : times.dayNumberTT) - tau, X, Y, Z, epoch, frame, ok);
        if (ok == 0) {
            // Fields that all pass can still put the object beyond any number.
            std::string field = unusableOrbitField(form);
            if (field.empty())
                field = "the object is too far away";
            ui.alert("The Orbital Elements cannot be used: " + field + ".");
            return;
        }
        DirectionVector w = {X, Y, Z};
        if (epoch == 1.5) {
            if (frame == 2)
                w = rotate(records.tables.icrfToJ2000Ecliptic, w);
        } else {
            RotationMatrix M1, M2, E;
            double eps;
            try {
                PRECMT(records.tables, epoch, M1, M2, E, eps);
            } catch (const DataFileError&) {
                ui.alert("The Orbital Elements cannot be used: Epoch of Longitude.");
                return;
            }
            if (frame == 2)
                w = rotateInverse(E, w);
            w = rotateInverse(M2, w);
        }
        v = rotate(sky.j2000EclipticToTrueEcliptic, w);
        if (aroundSun)
            for (int i = 0; i < 3; ++i)
                v[i] += records.drawn.bodies.sunVector[i] * astronomicalUnit;
        if (readout.readoutBody == 30 && pass == (readout.readoutCorrection < 2 ? 1 : 0))
            state.position = v;
        rho = length(v);
    }
    if (!(rho > 0) || !std::isfinite(rho))
        return;
    state.valid = 1;

    DirectionVector u;
    if (chartMode == skyChartMode) {
        for (int i = 0; i < 3; ++i)
            u[i] = v[i] - sky.observerPositionEcliptic[i];
        const double n = length(u);
        if (!(n > 0))
            return;
        for (double& c : u)
            c /= n;
        const double q = std::min(1.0, dot(u, v) / rho);
        state.parallax = std::atan(std::sqrt(1 - q * q) / q);
    } else {
        for (int i = 0; i < 3; ++i)
            u[i] = v[i] / rho;
    }

    // An orbit around the Earth moves with the Earth, as the Moon does. Where the stars get the
    // annual aberration the object is at its apparent place, elsewhere at its place without it.
    const PointPipeline pipeline(records);
    const bool apparentChart = chartMode < mapChartMode || records.drawn.settings.displayFrameIndex % 4 == 0;
    u = annualAberrationPlace(u, sky.annualAberrationEcliptic, !aroundSun, apparentChart);
    DirectionVector base = rotate(sky.trueEclipticToBase, u);
    if (pipeline.diurnalAberration()) {
        base[1] += sky.diurnalAberration[1];
        const double n = length(base);
        for (double& c : base)
            c /= n;
    }

    const float left = panelLeftOf(records);
    const int imageSize = records.chartView.imageSize;
    const bool emphasized = mode == 1;
    const float r = emphasized ? std::sqrt(float(imageSize)) / 4 : crossHalfSize(imageSize);
    BitmapArea bitmap = panelCanvas(records);
    if (!apparentFromBase(records, base).hidden) {
        for (const ChartPixel& p : bodyMarkPixels(records, base))
            drawMark(boxCanvas(records, p.box), emphasized ? MarkKind::disc : MarkKind::cross, p.x, p.y, r,
                     colour);

        const int b1 = (readout.readoutFrame == 100 || chartMode == mapChartMode ||
                        (readout.readoutBody == 20 && !addedStarOn)) ? -1 : 0;
        const int b2 = chartMode == mapChartMode ? -1 : 0;
        const float y = float(414 + 108 * b1 + 54 * b2);
        if (emphasized) {
            drawMark(bitmap, MarkKind::disc, left + 3 + r, y + 9, r, colour);
        } else {
            bitmap.drawLine(left + 3, y + 9 - r, left + 3 + 2 * r, y + 9 + r, colour);
            bitmap.drawLine(left + 3 + 2 * r, y + 9 - r, left + 3, y + 9 + r, colour);
        }
        const std::string name = ui.control("EDIT92").text();
        bitmap.drawText(left + 6 + 2 * r, y, ":" + (name.empty() ? std::string("Object by elements") : name), colour);
    }
    if (readout.readoutBody == 30 && readout.readoutFrame < 20 && chartMode == skyChartMode) {
        const float unit = records.minuteOptions.commentUnit > 1 ? 4 : 0;
        bitmap.drawText(left, parallaxRow, " Parallax:" + DSPSEXA(state.parallax, unit, 2), colour);
    }
}

} // namespace nivora
