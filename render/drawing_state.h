// The state one drawing leaves for the click, the overlay and the overdraws.
#pragma once

#include <cstdint>

#include "render/bodytable.h"
#include "render/geometry.h"
#include "render/skyframes.h"
#include "render/visibility_grid.h"

namespace nivora {

// Copies of the settings a chart was drawn with, taken at the head of the drawing; every other
// option is read live where it is used.
struct DrawnSettings {
    std::uint8_t drawnChartMode = 0;
    std::uint8_t drawnEarthMap = 0;
    float drawnMagnitudeLimit = 0;
    std::uint8_t drawnRefraction = 0;
    std::uint8_t drawnDiurnalAberration = 0;
    std::uint8_t drawnProjection = 0;
    std::uint8_t displayFrameIndex = 0;     // COMBO5, after the geometry
    std::uint8_t directionFrameIndex = 0;   // COMBO6, after the base matrices
};

// The orbit object of the last drawing, for the panel and the location readout.
struct OrbitObjectState {
    DirectionVector position{};   // km, geocentric, true ecliptic of date; readout body 30 only
    int valid = 0;                // 1 when the elements gave a place (orbitObjectValid)
    double parallax = 0;          // radians, sky chart only
};

struct DrawingState {
    // A chart is in the bitmap and this state describes it: false until a drawing has run to its
    // end, and again once a DRAW has let the picture go without room for the next.
    bool chartDrawn = false;
    DrawnSettings settings;
    SkyFrames sky;            // drawnSky
    BodyTable bodies;
    ChartGeometry geometry;
    VisibilityGrid visibility;
    OrbitObjectState orbitObject;
};

} // namespace nivora
