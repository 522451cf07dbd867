// The constellation figures, or in the Earth-map set the coasts and borders, as straight
// segments, with the chosen constellation or nation highlighted.
#pragma once

#include "render/orientation.h"

namespace nivora {

struct ProgramRecords;

// Draws the line file of the current set. Section B is drawn for the highlighted key only, and
// the highlight even when the lines are switched off. A missing file gets one "ALERT" naming it
// and draws nothing; a file without its second "#-" line is drawn as far as it goes, then gets
// one "ALERT". A right ascension is taken into 0..360 degrees; a declination outside -90..+90
// drops the segment.
void constellationLinePass(ProgramRecords& records, const ConstellationChoice& choice);

} // namespace nivora
