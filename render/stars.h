// The stars: the faint list, then the bright list over it, sized by magnitude.
#pragma once

#include "astro/starlist.h"
#include "render/orientation.h"

namespace nivora {

struct ProgramRecords;

// A record's ICRF direction at alpha, delta (radians) moved by its proper motion over the
// Julian centuries since J2000.0, or as written when its list has no proper motions.
DirectionVector starVector(const StarRecord& s, double alpha, double delta, double julianCenturies);

// The star pass over one list: records at or beyond the magnitude limit are dropped before their
// position is read; a right ascension is taken into 0..360 degrees, a declination outside
// -90..+90 drops the record; a cell that the visibility grid hides drops it before any
// rotation. Each star is a dot, or a filled disc once its radius reaches half a pixel. Only the
// bright list highlights the chosen constellation.
void drawStarList(ProgramRecords& records, const StarList& list, bool brightList,
                  const ConstellationChoice& choice);

// The faint list when the magnitude limit is 6 or more, then the bright list; no star at a limit
// of 0. A list that is missing or has no "#-" line gets one "ALERT" naming it and the drawing
// goes on without it.
void drawStars(ProgramRecords& records, const ConstellationChoice& choice);

} // namespace nivora
