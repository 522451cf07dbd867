// The Earth's longitude and latitude lines seen on a shell above the ground.
#pragma once

namespace nivora {

struct ProgramRecords;

// Sky chart only, when a spacing is chosen: the lines every earthGridMinutes on the shell at the
// height typed in the "Minute Option" form's EDIT77 (km), read live. A line whose arc minutes
// leave a positive remainder by 60 is dotted, the others solid. A height that leaves no visible
// cap draws nothing. Returns how many directions it projected: seen from far away, where the
// lattice is finer than a pixel, a few for each pixel the lines take.
long earthLinesPass(ProgramRecords& records);

} // namespace nivora
