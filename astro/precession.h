// Precession matrices and nutation of a date.
#pragma once

#include <filesystem>
#include <string_view>

#include "astro/startuptables.h"
#include "astro/vectors.h"

namespace nivora {

// Precession for a dynamical-time day number, from the polynomials a0..a3 of the start-up tables
// at T = (d - 1.5) / 36525. With P = R3(-a2).R1(a1).R3(a0) (ICRF to the mean ecliptic of date):
//   icrfToMeanEquator           = E.P
//   j2000EclipticToMeanEcliptic = P.j2000EclipticToIcrf
//   meanEclipticToMeanEquator   = E = R1(-a3)
//   eps = a3, the mean obliquity in radians.
// Throws DataFileError naming tables.precessionFile when a finite d gives a matrix or an eps
// that is not finite.
void PRECMT(const StartupTables& tables, DayNumber d, RotationMatrix& icrfToMeanEquator,
            RotationMatrix& j2000EclipticToMeanEcliptic, RotationMatrix& meanEclipticToMeanEquator,
            double& eps);

inline constexpr std::string_view nutationFileName = "nutation.txt";

// Nutation in longitude (radians, reduced to 0..2 pi, so a small negative value comes back just
// below 2 pi) and in obliquity (radians, not reduced) for a dynamical-time day number, summed
// from the nutation series file, read anew at every call. The program reads "nutation.txt" from
// its working folder; `file` may name another file or a folder that holds "nutation.txt". Throws
// DataFileError when the file is missing or malformed, or when a finite d gives a result that is
// not finite.
void NUTATION2(const StartupTables& tables, DayNumber d, double& dpsi, double& deps,
               const std::filesystem::path& file = nutationFileName);

} // namespace nivora
