// The chart window room's own records (the pointed position, the search's sky frames...) on top
// of everything a drawing uses.
#pragma once

#include <array>
#include <cstdint>

#include "astro/vectors.h"
#include "render/program_records.h"

namespace nivora {

// A direction in the nine DirectionFrames: 0 the base frame as drawn, 1-3 apparent, true and
// mean equator of date, 4 ICRF, 5-7 apparent, true and mean ecliptic of date, 8 J2000 ecliptic.
using PointedFrames = std::array<DirectionVector, 9>;

struct ChartWindowRecords : ProgramRecords {
    using ProgramRecords::ProgramRecords;

    // The last point a click (or a search with one match) gave, and the one before it when
    // "Measure Angle" asked for it; both outlive any drawing.
    PointedFrames pointedPosition{};
    PointedFrames previousPosition{};
    // The bitmap pixel of the last accepted click, where "Comment" writes.
    std::array<std::int16_t, 2> clickPixel{};

    // The keyword searches' own sky frames for the main window's fields at the search; never
    // the drawing's, so a search leaves the chart's click readout as it was.
    SkyFrames searchSky;
    std::uint8_t searchDisplayFrameIndex = 0;   // COMBO5 at the search
};

} // namespace nivora
