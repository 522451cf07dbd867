// The object of the "Orbital Elements" form on the chart: its place with light time, its mark
// by the body-mark rule, its legend and, when it is read out, its parallax.
#pragma once

#include "astro/vectors.h"

namespace nivora {

struct ProgramRecords;
struct SkyFrameTimes;

// Draws the object when the "Object defined by Orbit" option shows it and leaves its place,
// validity and parallax in records.drawn.orbitObject (validity 0 when it is not shown). Elements
// the computations reject get one "ALERT" naming the first unusable field; the chart goes on.
// `addedStarOn` is the "Adding A Star" switch as the drawing took it at its head.
void drawOrbitObject(ProgramRecords& records, const SkyFrameTimes& times, bool addedStarOn);

} // namespace nivora
