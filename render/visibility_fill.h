// Filling the visibility tables once per drawing, and when a pass may trust their edge codes.
#pragma once

#include <cstdint>

namespace nivora {

struct ProgramRecords;

// Rewrites the three tables of records.drawn.visibility from the drawing's frames, orientation
// and geometry: slots 0, 1 and 3 always, slots 2, 4 and 5 only in a single box (Dual-Box keeps
// those of the last single-box drawing).
void visibilityGridFill(ProgramRecords& records);

// EdgeCode of a projected offset against the drawing limit and the box's half size: 5 or 4
// beyond the limit on the positive or negative side, 2 or 1 between box and limit, 0 within the
// box. Strict: an offset exactly on a limit takes the inner code.
std::uint8_t edgeCode(double offset, float limit, float boxHalf);

// How far on the sky the stretch of curve a cell's codes stand for may stray from the straight
// line between its corners: a quarter of a 10-degree block's, whose worst case, a circle of
// latitude 45 degrees from its pole, strays (1 - cos 5 degrees) / 2 radians.
inline constexpr double cellSag = 0.0019 / 4;

// Whether skipping by edge codes cannot drop a point inside the chart box: only while the sag,
// in pixels with the projections' stretch allowed for, stays below the margin between the box
// and the drawing limits. With the default margins this holds below a magnification of about
// 160. Never with the culling off.
bool edgeSkipAllowed(const ProgramRecords& records, double sagRadians);

} // namespace nivora
