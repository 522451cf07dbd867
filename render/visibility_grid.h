// The 5-degree visibility tables: which lattice cells lie wholly under the horizon or wholly
// outside the picture, so that a pass rejects a hidden object with one look-up before any
// rotation or projection.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "astro/constants.h"

namespace nivora {

// The slots of one lattice entry.
enum VisibilitySlot : int {
    nodeBelow = 0,     // 1: the node lies under the horizon by more than the margin
    nodeEdgeX = 1,     // single box: EdgeCode of X; Dual-Box: HemisphereCode
    nodeEdgeY = 2,     // single box: EdgeCode of Y - directionOffset
    cellBelow = 3,     // 1: all four corners below
    cellOutsideX = 4,  // 4 or 5: all four corners beyond the same horizontal limit
    cellOutsideY = 5,  // the same vertically
};

// [lonNode 0..72][latNode 0..36][slot 0..5]; node (i, j) lies at longitude i x 5 degrees and
// latitude (j - 18) x 5 degrees, and a cell's codes sit at its lowest corner.
using VisibilityNodes = std::array<std::array<std::array<std::uint8_t, 6>, 37>, 73>;

struct VisibilityGrid {
    // [variant]: 0 of date (true ecliptic, true equator), 1 J2000 / ICRF with the aberration the
    // drawing gives catalogue directions.
    std::array<VisibilityNodes, 2> eclipticVisibility{};
    std::array<VisibilityNodes, 2> equatorVisibility{};
    VisibilityNodes horizonVisibility{};
};

// The cell of a direction: longitude in 0..2 pi, latitude in -pi/2..pi/2, radians. Either at its
// upper end lands on the node row or column that closes the lattice.
inline void visibilityCell(double longitude, double latitude, int& i, int& j) {
    i = int(std::floor(longitude / visibilityGridStep));
    j = int(std::floor(latitude / visibilityGridStep + 18));
}

} // namespace nivora
