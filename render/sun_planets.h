// The planets, the Sun's disc and the Sun's azimuth, elevation and twilight lines.
#pragma once

#include <string>
#include <string_view>

namespace nivora {

struct ProgramRecords;

// The Sun as its lines report it: apparent azimuth (from north through west) and elevation,
// radians, and its semi-diameter in single precision.
struct SunPlace {
    double azimuth = 0;
    double elevation = 0;
    float semiDiameter = 0;
};

// Marks and codes of the planets shown, and the readout planet's parallax line. A planet not
// computed by this drawing gets nothing.
void drawPlanets(ProgramRecords& records);

// The Sun's disc as `sunDisplayMode` asks; returns its place whatever is drawn.
SunPlace drawSunDisc(ProgramRecords& records);

// "Daylight." while the upper limb is above the astronomical horizon, then "Twilight.",
// "Astronomial Twilight." and "Night." by the apparent elevation.
std::string_view twilightWord(double elevation, float semiDiameter);

// "Az:...deg,El:...deg." of an apparent azimuth (brought into 0..360 degrees) and elevation.
std::string azimuthElevationText(double azimuth, double elevation);

// The twilight word, the "Sun:" line and the Sun's parallax line when it is read out.
void drawSunLines(ProgramRecords& records, const SunPlace& sun);

// Panel rows, shared with the other solar-system passes.
inline constexpr int twilightRow = 234;
inline constexpr int sunRow = 252;
inline constexpr int moonRow = 270;
inline constexpr int parallaxRow = 378;

} // namespace nivora
