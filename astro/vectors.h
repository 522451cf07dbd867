// Directions, rotations, day numbers and the calendar.
#pragma once

#include <array>
#include <cmath>

namespace nivora {

// Three doubles (x, y, z): a unit direction, or a position whose length is its distance.
// Frames are right-handed, z toward the frame's pole, x toward the origin of its longitudes.
using DirectionVector = std::array<double, 3>;

// 3 x 3 doubles indexed [row][column]; applied as w(i) = sum_j M(i,j) v(j). A product A.B applies B
// first. Matrices are named for the frames they connect, source first (icrfToJ2000Ecliptic).
using RotationMatrix = std::array<std::array<double, 3>, 3>;

// Days and fraction since 2000 January 0.0 at 0h: J2000.0 is 1.5.
using DayNumber = double;

// Julian centuries from J2000.0 of a day number: the argument of every time polynomial.
constexpr double JulianCenturies(DayNumber d) { return (d - 1.5) / 36525; }

// Sums, differences, multiples, products and lengths of vectors.
inline DirectionVector plus(const DirectionVector& a, const DirectionVector& b)
{
    return {a[0] + b[0], a[1] + b[1], a[2] + b[2]};
}
inline DirectionVector minus(const DirectionVector& a, const DirectionVector& b)
{
    return {a[0] - b[0], a[1] - b[1], a[2] - b[2]};
}
inline DirectionVector scaled(const DirectionVector& v, double k) { return {v[0] * k, v[1] * k, v[2] * k}; }
inline double dot(const DirectionVector& a, const DirectionVector& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline DirectionVector cross(const DirectionVector& a, const DirectionVector& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
inline double length(const DirectionVector& v) { return std::sqrt(dot(v, v)); }
// To unit length; the zero vector stays as it is.
inline void normalise(DirectionVector& v)
{
    const double l = length(v);
    if (l > 0)
        for (double& c : v)
            c /= l;
}
inline DirectionVector normalised(DirectionVector v)
{
    normalise(v);
    return v;
}

// Column j of a matrix: where the frame's axis j lies in the frame the matrix turns into.
inline DirectionVector column(const RotationMatrix& m, int j) { return {m[0][j], m[1][j], m[2][j]}; }

RotationMatrix identityMatrix();
// A.B: applies B first, then A.
RotationMatrix multiply(const RotationMatrix& a, const RotationMatrix& b);
// M.v
DirectionVector rotate(const RotationMatrix& m, const DirectionVector& v);
// Transpose(M).v: the inverse of a rotation.
DirectionVector rotateInverse(const RotationMatrix& m, const DirectionVector& v);
RotationMatrix transpose(const RotationMatrix& m);

// R1(theta) and R3(theta): turn the frame (not the vector) by theta radians about x and about z.
RotationMatrix R1(double theta);
RotationMatrix R3(double theta);

// Unit vector of a longitude and latitude in radians: (cos B cos L, cos B sin L, sin B).
DirectionVector unitVector(double lon, double lat);

// Longitude in (-pi, pi], latitude in [-pi/2, pi/2] and length of a vector of any length.
// On the z axis (the origin included) lon is 0 and lat +pi/2 only for z > 0.
void ZENITH(double x, double y, double z, double& lon, double& lat, double& r);

// B = A^-1 by cofactors. A singular A yields a B of zeros rather than infinities.
void INVMAT(const RotationMatrix& a, RotationMatrix& b);

// An angle in degrees reduced to 0..360 (a tiny negative angle may give 360 by rounding).
double MD360(double degrees);

// Gregorian leap year; remainders take the sign of the year, as in the day-number rule.
bool isLeapYear(int year);

// Day number of a Gregorian date (month index 0 = January, day of month from 1) plus the time of
// day in universal time as a fraction of a day. The Gregorian rules serve every year. A month
// index outside 0..11 counts on into the years around (12 is January of the next year).
DayNumber dayNumberOfDate(int year, int monthIndex, int day, double dayFraction = 0);

// Moves a calendar date, held in single precision as the main window keeps it (year, month index
// 0..11, day of month), by n whole days. n = 0 leaves the date untouched, even an invalid one.
// A month index outside 0..11 or a day that is not finite leaves the date untouched as well.
// The leap rule holds on both sides of year 0: below it every fourth year is a leap year.
void DATECUL(float& year, float& monthIndex, float& day, float n);

} // namespace nivora
