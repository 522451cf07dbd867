// Time scales: universal to dynamical time, and Greenwich mean sidereal time.
#pragma once

#include "astro/startuptables.h"
#include "astro/vectors.h"

namespace nivora {

// Dynamical-time day number of a universal-time day number: d + Delta-T / 86400. Inside the
// loaded Delta-T table the row with the last date <= d holds (a step function, no
// interpolation); before its first or after its last date, and for a table without rows,
// Delta-T = 32 ((d + 65742) / 36524.25)^2 - 20 seconds.
DayNumber ET2UTC(const StartupTables& tables, DayNumber d);

// Greenwich mean sidereal time of a universal-time day number, in hours [0, 24).
// The excess of sidereal over solar rate within the day is already in the polynomial;
// callers add 24 x (fraction of day) themselves. No equation of the equinoxes.
double GSTH(DayNumber d);

} // namespace nivora
