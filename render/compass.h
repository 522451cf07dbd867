// The compass points around the horizon and the visible horizon, in the sky chart only.
#pragma once

namespace nivora {

struct HorizonCircle;
struct ProgramRecords;

// Sixteen names (eight at a chart scale of 240 or less) a little below the lowest sky drawn,
// with rim copies in the Dual-Box layout, and the visible horizon as a dotted curve. No
// refraction or aberration applies.
void compassPass(ProgramRecords& records, const HorizonCircle& horizon);

} // namespace nivora
