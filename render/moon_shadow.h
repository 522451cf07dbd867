// The antisolar point or the Earth's shadow, and the Moon with its line and parallax.
#pragma once

#include "astro/vectors.h"

namespace nivora {

struct ProgramRecords;

// The cross of the antisolar point (modes 1 and 2) or the umbra and penumbra rings of the Earth's
// shadow (mode 11) at the distance of the Moon or the one assigned on the "Planets" form.
// `dayNumberTT` is the drawing's dynamical-time day number; the Sun is read through the series
// cache. Throws DataFileError when the Sun's file fails.
void drawAntisolar(ProgramRecords& records, DayNumber dayNumberTT);

// The radii of the shadow's umbra and penumbra, km across the axis, at distance D from the
// Earth's centre with the Sun at sunDistanceKm, times the factor F.
struct ShadowRadii {
    double umbra = 0;
    double penumbra = 0;
};
ShadowRadii shadowRadii(double D, double sunDistanceKm, double F);

// The arcs of one shadow circle at distance D: 1 beyond 10,000 km, else INT(20000 / (D - 5400)).
int shadowArcCount(double D);

// The Moon's mark, its "Mon:" line and its parallax line when it is read out.
void drawMoon(ProgramRecords& records);

} // namespace nivora
