// The fifteen chart projections and what they read.
#pragma once

#include <array>
#include <cstdint>

namespace nivora {

// What the projections read: the chart scale of the chart geometry and the user-defined azimuthal
// projection (kind 10). The option records hold the user projection through this type.
struct ProjectionSetup {
    // Pixels per pi radians; single precision, filled by the chart geometry at every drawing.
    float chartScale = 0;
    // Element 0 the normalisation, element 1 = 1, elements 2..9 the user's coefficients of the
    // radius polynomial in the angular distance (radians).
    std::array<double, 10> coefficients{};
    std::int16_t termCount = 9;
    double domainDegrees = 180; // where the polynomial stops increasing
    double radiusDegrees = 90;  // the displayed radius angle
    double aspectYX = 1;        // factor on the vertical offset
    double edgeValue = 0;
};

} // namespace nivora
