// The program's constants and constant tables, shared by every subsystem.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace nivora {

// The decimal 3.1415926535898, not the double nearest to pi: every conversion and projection
// of the program uses this value, and results depend on it.
inline constexpr double pi = 3.1415926535898;
inline constexpr double degreesPerRadian = 180.0 / pi;
// Node spacing of the visibility grids: 5 degrees in radians.
inline constexpr double visibilityGridStep = pi / 36;

inline constexpr double lightSpeed = 299792.458;      // km/s
inline constexpr double astronomicalUnit = 149597870; // km
inline constexpr double lightSpeedAuPerDay = lightSpeed / astronomicalUnit * 86400;

// Single-precision values widened to double are written as such: results depend on the widening.
inline constexpr double earthRadius = double(6378.137f); // km, equatorial
inline constexpr double earthFlattening = 0.003352810681182319; // 1 / 298.257222101
inline constexpr double earthPolarRadius = earthRadius * (1 - earthFlattening);
inline constexpr double earthEccentricitySquared =
    (earthRadius * earthRadius - earthPolarRadius * earthPolarRadius) / (earthRadius * earthRadius);
inline constexpr double earthRotationRate = double(7.292115E-5f); // rad/s
inline constexpr double sunRadius = 697113.375;                  // km
inline constexpr double moonRadius = 1737;                        // km

// Heliocentric gravitational constant in AU^3 per Julian year^2.
inline constexpr double gmSun =
    132712438000.0 * 31557600.0 * 31557600.0 / (astronomicalUnit * astronomicalUnit * astronomicalUnit);
// Geocentric gravitational constant in km^3 per day^2.
inline constexpr double gmEarth = double(398600.5f) * 86400.0 * 86400.0;

// Refraction law parameters, kept in single precision.
inline constexpr float refractionLowOffset = 0.073f;
inline constexpr float refractionLowExponent = 1.37284f;
// 0.0083 x 0.073^1.37284, worked out from the single-precision values.
extern const float refractionLowCoefficient;
inline constexpr float refractionHighCoefficient = 2.8265E-4f; // 58.3 arc seconds

// Highest power of the user projection's radius polynomial.
inline constexpr std::int16_t termCount = 9;

// Days of a common year before the first of month m (0 = January); entry 12 is 365.
inline constexpr std::array<std::int16_t, 13> monthStartDays = {0,   31,  59,  90,  120, 151, 181,
                                                                212, 243, 273, 304, 334, 365};

// Month m (0..11) is the three characters from position 4m.
inline constexpr std::string_view monthNames = "Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec ";
constexpr std::string_view monthName(int monthIndex) { return monthNames.substr(4 * monthIndex, 3); }

// Entries 1..15 name the projection kinds; 0 and 16 stay empty.
inline constexpr std::array<std::string_view, 17> projectionNames = {
    "",
    "Azimuthal Equidistance Prj.",
    "Azimuthal Equal-Area Prjection",
    "Stereographic(AzmConformal)Prj",
    "Mercator Projection",
    "Transverse Mercator Projection",
    "Gnomonic Projection",
    "Mollweide Projection",
    "Orthographic Projection",
    "Sanson-Flamsteed Projection",
    "Azimuthal Prj.(User Defining)",
    "Equirectangular Prjection",
    "Miller Projection",
    "Hammer Projection",
    "Lambert EqualArea Cylindrical",
    "Aitoff Projection",
    "",
};

// Index of the solar-system body table; per-planet tables are indexed BodyIndex - 2.
enum BodyIndex : int {
    sunBody = 0,
    moonBody = 1,
    mercuryBody = 2,
    venusBody = 3,
    marsBody = 4,
    jupiterBody = 5,
    saturnBody = 6,
    uranusBody = 7,
    neptuneBody = 8,
    antisunBody = 9,
};

struct BodyName {
    std::string_view code; // the key by which the constellation list names a body
    std::string_view name;
};
inline constexpr std::array<BodyName, 10> bodyNames = {{
    {"Sn", "Sun"},
    {"Mn", "Moon"},
    {"Mc", "Mercury"},
    {"Vn", "Venus"},
    {"Ms", "Mars"},
    {"Jp", "Jupiter"},
    {"St", "Saturn"},
    {"Ur", "Uranus"},
    {"Np", "Neptune"},
    {"An", "Antipodes of Sun"},
}};

// Radii in km; the antisolar point has none.
inline constexpr std::array<double, 9> bodyRadii = {697113.375, 1737,  2440,  6052, 3397,
                                                   71492,      60268, 25559, 24764};

} // namespace nivora
