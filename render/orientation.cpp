#include "render/orientation.h"

#include <cmath>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "options/observation_input.h"
#include "options/settings_records.h"
#include "render/skyframes.h"

namespace nivora {

void setBaseMatrices(SkyFrames& sky, std::uint8_t chartMode, int displayFrameIndex,
                     const StartupTables& tables)
{
    const RotationMatrix& D = sky.displayFrameToBase;
    const int frame = chartMode < mapChartMode ? 0 : displayFrameIndex;
    switch (frame) {
    case 2:
        sky.meanEquatorToBase = D;
        sky.trueEquatorToBase = multiply(D, sky.trueEquatorToMeanEquator);
        sky.icrfToBase = multiply(D, sky.icrfToMeanEquator);
        break;
    case 3:
        sky.icrfToBase = D;
        sky.meanEquatorToBase = multiply(D, sky.meanEquatorToIcrf);
        sky.trueEquatorToBase = multiply(sky.meanEquatorToBase, sky.trueEquatorToMeanEquator);
        break;
    case 4:
    case 5:
        sky.trueEclipticToBase = D;
        sky.trueEquatorToBase = multiply(D, sky.trueEquatorToTrueEcliptic);
        sky.meanEquatorToBase = multiply(sky.trueEquatorToBase, sky.meanEquatorToTrueEquator);
        sky.icrfToBase = multiply(sky.meanEquatorToBase, sky.icrfToMeanEquator);
        break;
    case 6:
        sky.meanEclipticToBase = D;
        sky.meanEquatorToBase = multiply(D, sky.meanEquatorToMeanEcliptic);
        sky.trueEquatorToBase = multiply(sky.meanEquatorToBase, sky.trueEquatorToMeanEquator);
        sky.icrfToBase = multiply(sky.meanEquatorToBase, sky.icrfToMeanEquator);
        break;
    case 7:
        sky.j2000EclipticToBase = D;
        sky.icrfToBase = multiply(D, tables.icrfToJ2000Ecliptic);
        sky.meanEquatorToBase = multiply(sky.icrfToBase, sky.meanEquatorToIcrf);
        sky.trueEquatorToBase = multiply(sky.meanEquatorToBase, sky.trueEquatorToMeanEquator);
        break;
    default:   // the true (and apparent) equator of date, and every sky chart
        sky.trueEquatorToBase = D;
        sky.meanEquatorToBase = multiply(D, sky.meanEquatorToTrueEquator);
        sky.icrfToBase = multiply(sky.meanEquatorToBase, sky.icrfToMeanEquator);
        break;
    }
    if (frame != 4 && frame != 5)
        sky.trueEclipticToBase = multiply(sky.trueEquatorToBase, sky.trueEclipticToTrueEquator);
    if (frame != 6)
        sky.meanEclipticToBase = multiply(sky.meanEquatorToBase, sky.meanEclipticToMeanEquator);
    if (frame != 7)
        sky.j2000EclipticToBase = multiply(sky.icrfToBase, tables.j2000EclipticToIcrf);
    INVMAT(sky.trueEquatorToBase, sky.baseToTrueEquator);
    INVMAT(sky.meanEquatorToBase, sky.baseToMeanEquator);
    INVMAT(sky.icrfToBase, sky.baseToIcrf);
    // The annual aberration in the base frame from its true-equator form: the display frame's
    // matrix would take it for an ecliptic vector when the display frame is an ecliptic.
    sky.annualAberration = rotate(sky.trueEquatorToBase, sky.annualAberrationEquatorial);
}

void setCentreDirection(SkyFrames& sky, const ObservationInput& input, int directionFrameIndex,
                        std::uint8_t chartMode, int displayFrameIndex, std::uint8_t refractionOn,
                        std::uint8_t diurnalAberrationOn)
{
    sky.directionAzimuth = input.directionLongitude() / degreesPerRadian;
    sky.directionElevation = input.directionLatitude() / degreesPerRadian;
    sky.directionRotation = input.rotation() / degreesPerRadian;
    const int frame = directionFrameIndex;
    if (frame < 1 || frame > 8)
        return;
    DirectionVector u = unitVector(sky.directionAzimuth, sky.directionElevation);
    const bool apparent = frame % 4 == 1;
    if (chartMode == mapChartMode && apparent && displayFrameIndex % 4 > 0) {
        // Apparent typed, true drawn: free the direction of aberration, in its own frame.
        const DirectionVector& v = frame == 1 ? sky.annualAberrationEquatorial : sky.annualAberrationEcliptic;
        DirectionVector freed;
        INVABER(u, v, freed);
        u = freed;
    }
    static constexpr RotationMatrix SkyFrames::*toBase[9] = {
        nullptr,
        &SkyFrames::trueEquatorToBase,  &SkyFrames::trueEquatorToBase,  &SkyFrames::meanEquatorToBase,
        &SkyFrames::icrfToBase,         &SkyFrames::trueEclipticToBase, &SkyFrames::trueEclipticToBase,
        &SkyFrames::meanEclipticToBase, &SkyFrames::j2000EclipticToBase,
    };
    DirectionVector w = rotate(sky.*toBase[frame], u);
    if (apparent && (chartMode < mapChartMode || displayFrameIndex % 4 == 0)) {
        for (int i = 0; i < 3; ++i)
            w[i] += sky.annualAberration[i];
        if (chartMode < mapChartMode && diurnalAberrationOn == 1)
            w[1] += sky.diurnalAberration[1];
        w = normalised(w);
    }
    if (chartMode < mapChartMode && refractionOn == 1)
        w[2] += REFRACTCUL(w[2], sky.horizonDipSine);
    double r;
    ZENITH(w[0], w[1], w[2], sky.directionAzimuth, sky.directionElevation, r);
}

void orientChart(SkyFrames& sky, int verticalDirection, bool mirrored)
{
    const double A = sky.directionAzimuth, E = sky.directionElevation;
    const double cA = std::cos(A), sA = std::sin(A), cE = std::cos(E), sE = std::sin(E);
    // z toward the centre, x toward the base frame's pole (up), y to the right.
    RotationMatrix P = {{{-cA * sE, -sA * sE, cE}, {sA, -cA, 0}, {cA * cE, sA * cE, sE}}};
    if (mirrored)
        P[1] = {-sA, cA, 0};   // a sphere seen from outside: right and left change places
    double psi = 0;
    static constexpr RotationMatrix SkyFrames::*poles[8] = {
        nullptr, nullptr, &SkyFrames::trueEquatorToBase, &SkyFrames::meanEquatorToBase,
        &SkyFrames::icrfToBase, &SkyFrames::trueEclipticToBase, &SkyFrames::meanEclipticToBase,
        &SkyFrames::j2000EclipticToBase,
    };
    if (verticalDirection >= 2 && verticalDirection <= 7) {
        const DirectionVector pole = rotate(P, column(sky.*poles[verticalDirection], 2));
        double lat, r;
        ZENITH(pole[0], pole[1], pole[2], psi, lat, r);
    }
    sky.directionRotation -= psi;
    const double rho = sky.directionRotation;
    const RotationMatrix R = {{{std::cos(rho), -std::sin(rho), 0}, {std::sin(rho), std::cos(rho), 0}, {0, 0, 1}}};
    sky.baseToChart = multiply(R, P);
    INVMAT(sky.baseToChart, sky.chartToBase);
}

bool directionUnderHorizon(const SkyFrames& sky, std::uint8_t chartMode, double underHorizonDepth)
{
    return chartMode == skyChartMode &&
           std::sin(sky.directionElevation) < -underHorizonDepth - sky.horizonDipSine;
}

} // namespace nivora
