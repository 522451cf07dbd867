// The Earth's longitude and latitude lines seen on a shell above the ground, and the Moon's path.
#pragma once

namespace nivora {

struct ProgramRecords;

// Sky chart only, when a spacing is chosen: the lines every earthGridMinutes on the shell at the
// height typed in the "Minute Option" form's EDIT77 (km), read live. A line whose arc minutes
// leave a positive remainder by 60 is dotted, the others solid. A height that leaves no visible
// cap draws nothing.
void earthLinesPass(ProgramRecords& records);

// The mean orbit (mode 1) or the Moon's computed track over 30 days around the drawing's
// instant (modes 2-4), every Moon position through the series cache. `dayNumberTT` is the
// drawing's dynamical-time day number. Throws DataFileError when the Moon's file fails.
void moonPathPass(ProgramRecords& records, double dayNumberTT);

// Points a day of the computed track: chartScale / 50, at least one and at most 1E8.
long moonPathPointsPerDay(float chartScale);

} // namespace nivora
