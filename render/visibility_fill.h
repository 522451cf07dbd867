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

// How far, in pixels with the projections' stretch allowed for, a stretch of curve that spans
// `sagRadians` may stray.
double sagPixels(const ProgramRecords& records, double sagRadians);

// How far the drawing limits lie beyond the box's area (the box and its margins, where a box's
// drawing lands), horizontally and vertically, pixels: negative where a limit lies inside it.
struct LimitMargins {
    double x = 0;
    double y = 0;
};
LimitMargins limitsBeyondArea(const ProgramRecords& records);

// A pixel's worth of rounding either side of a drawn point.
inline constexpr double roundingPixels = 2;

// Whether skipping by edge codes cannot put out a pixel of the box's area: only while the sag
// and what is drawn from a point, `reach` pixels, stay within the margin between the area and
// the drawing limits. With the default margins this holds from a size of 200 (400 in half
// Height) and below a magnification of about 130 at size 1000. Never with the culling off.
bool edgeSkipAllowed(const ProgramRecords& records, double sagRadians, double reach = 0);

} // namespace nivora
