// The base frame of the chart and its orientation: the matrices from every catalogue frame to
// the base frame, the constellation choice, the centre direction, the vertical and baseToChart.
#pragma once

#include <cstdint>
#include <string>

#include "astro/startuptables.h"
#include "astro/vectors.h"

namespace nivora {

class ObservationInput;
struct ProgramRecords;
struct SkyFrames;

// The base matrices and their inverses by the display frame (DisplayFrame 0-7; the sky chart
// uses the true equator of date whatever the index).
void setBaseMatrices(SkyFrames& sky, std::uint8_t chartMode, int displayFrameIndex,
                     const StartupTables& tables);

// The constellation or body chosen on the main window, for the line and star passes.
struct ConstellationChoice {
    int coloringOn = 0;
    std::string highlightKey;   // the first three characters of the chosen item
};

// The typed centre direction and roll, converted to the base frame as the direction frame
// (DirectionFrame 0-8) asks: directionAzimuth, directionElevation, directionRotation.
void setCentreDirection(SkyFrames& sky, const ObservationInput& input, int directionFrameIndex,
                        std::uint8_t chartMode, int displayFrameIndex, std::uint8_t refractionOn,
                        std::uint8_t diurnalAberrationOn);

// baseToChart and chartToBase from the centre direction, the vertical (VerticalCode 1-7) and
// the roll. `mirrored` views the sphere from outside (the Earth map): one reflection before the
// roll, so the roll and the vertical keep their sense on screen.
void orientChart(SkyFrames& sky, int verticalDirection, bool mirrored);

// True when the centre of a sky chart lies under the horizon and its depth.
bool directionUnderHorizon(const SkyFrames& sky, std::uint8_t chartMode, double underHorizonDepth);

} // namespace nivora
