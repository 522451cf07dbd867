// SEARCHCNST: the sky frames of the keyword searches, set up from the main window's fields as
// the head of a drawing sets up its own, without drawing and without touching drawnSky.
#pragma once

#include <cstdint>
#include <filesystem>

#include "chartwin/chartwin_records.h"

namespace nivora {

// The search's frames for the fields `input` reads: the set-up of a drawing with the place,
// the sidereal time and both aberration velocities held in single precision, the annual
// aberration from the Sun of "prmsun2.plt" in `folder`, and trueEquatorToBase by the display
// frame (map mode) or the horizon (sky mode). Throws DataFileError from "nutation.txt" or
// "prmsun2.plt".
SkyFrameTimes setUpSearchSky(SkyFrames& sky, std::uint8_t& displayFrameIndex,
                             const ObservationInput& input, std::uint8_t chartMode,
                             const StartupTables& tables, SeriesFileCache& cache,
                             const std::filesystem::path& folder);

// Rewrites p.searchSky for the fields on the main window now. A missing or malformed series
// file, or a place or date field DRAW would refuse, gets one "ALERT" naming it, and false: the
// search stops.
bool SEARCHCNST(ChartWindowRecords& p);

} // namespace nivora
