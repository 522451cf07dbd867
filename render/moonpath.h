// The Moon's path.
#pragma once

namespace nivora {

struct ProgramRecords;

// The mean orbit (mode 1) or the Moon's computed track over 30 days around the drawing's
// instant (modes 2-4), every Moon position through the series cache. `dayNumberTT` is the
// drawing's dynamical-time day number. Throws DataFileError when the Moon's file fails.
void moonPathPass(ProgramRecords& records, double dayNumberTT);

// Points a day of the computed track: chartScale / 50, at least one and at most 1E8.
long moonPathPointsPerDay(float chartScale);

// Bounds the Moon's speed about the Earth's centre in the series, km a day: it reaches 1.09 km/s
// at perigee. The track's run test takes it for how far the Moon can move from the observer.
inline constexpr double moonSpeedBound = 108000;

} // namespace nivora
