// Annual aberration and atmospheric refraction, applied and removed.
#pragma once

#include "astro/vectors.h"

namespace nivora {

// The x and y components of the Earth's velocity over the speed of light (about 1E-4) in the
// ecliptic frame of the Sun's geometric longitude lsun (radians), for a dynamical-time day
// number. z is 0; callers add the vector to unit directions and renormalise.
void ABERRATION(DayNumber d, double lsun, double& vx, double& vy);

// The true unit direction w of an apparent unit direction u, v being the aberration velocity in
// the same frame: the w with w + v parallel to u. Without a real solution w = u.
void INVABER(const DirectionVector& u, const DirectionVector& v, DirectionVector& w);

// The rise of z, the sine of the altitude, by refraction, for k the sine of the dip of the
// horizon (0 at sea level). 0 more than about 2 degrees below the dipped horizon. The low and
// high laws do not join at u = 0.22: refracted sines just above that have no inverse.
double REFRACTCUL(double z, double k);

// Removes refraction from z, the sine of an apparent altitude, by iteration (at most 5000 steps
// to 1E-8): z becomes the sine of the true altitude and r the apparent minus the true altitude
// in radians. Below the refracted range, and at z = 1, z is kept and r = 0.
void INVREFRACT(double& z, double k, double& r);

} // namespace nivora
