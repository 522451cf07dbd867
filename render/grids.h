// The ecliptic, equatorial and horizontal grids as rows of dots, numbered as they are drawn.
#pragma once

namespace nivora {

struct ProgramRecords;

// The three grids in that order, each at its step code, equinox and numbering switch. Whole
// 10-degree blocks that the visibility tables show hidden are skipped in a single box.
void gridPass(ProgramRecords& records);

} // namespace nivora
