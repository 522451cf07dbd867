// The location readout of the chosen body in the side strip: its place in a chosen frame, or
// its digression from the Sun.
#pragma once

namespace nivora {

struct DrawingWork;
struct ProgramRecords;

// Rows 288 to 378 of a sky chart, as the readout options ask; nothing for the frame "Not
// Display", an unknown frame, a body not computed by this drawing, an orbit object not drawn or
// an added star switched off.
void drawLocationReadout(ProgramRecords& records, const DrawingWork& work);

// The separation's cosine, clamped into -1..1, as the angle E of the digression: pi / 2 at 0.
double separationAngle(double cosine);

// The position angle of a point seen from a body: dAlpha the difference of the longitudes, d0 the
// point's latitude, d the body's, E their separation. 0 when sin E is 0.
double positionAngle(double dAlpha, double d0, double d, double E);

} // namespace nivora
