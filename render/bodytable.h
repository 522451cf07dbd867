// The Sun, the Moon, the antisolar point and the planets of one drawing.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "astro/vectors.h"

namespace nivora {

struct ProgramRecords;
struct SkyFrames;

// Per BodyIndex, [body][component]: components 0-2 the unit vector from the observer, true
// ecliptic of date, without annual aberration; 3 the distance from the observer in km, 0 when
// the body was not computed by this drawing (the antisolar point: also a direction without a
// distance); 4 the parallax in radians. A planet not computed keeps its older values, so readers
// test component 3 first.
struct BodyTable {
    std::array<std::array<double, 5>, 10> bodyPositions{};
    DirectionVector sunVector{};   // geocentric Sun, AU, true ecliptic of date, geometric
    double sunLongitude = 0;       // apparent, radians
    double sunLatitude = 0;
    double sunDistance = 0;        // AU
    double sunGeometricLongitude = 0;
    double sunGeometricLatitude = 0;
    DayNumber dayNumberTT = 0;     // the instant of the table, dynamical time
};

// The readout body's place for the location readout: radians, true ecliptic of date; km.
struct ReadoutValues {
    double longitude = 0;
    double latitude = 0;
    double distance = 0;
};

// What one body table leaves besides the table.
struct BodyTableResult {
    ReadoutValues readout;
    // One message per planet's series file that failed, naming the file and the line; those
    // planets were skipped (distance 0).
    std::vector<std::string> planetFileErrors;
};

// Planet `body` (2-8) at the table's instant: its entry as the table holds it and its places
// (true ecliptic of date, km) at the light-time corrected and at the table's own instant. Throws
// DataFileError when its series file fails.
struct PlanetPlace {
    std::array<double, 5> entry{};
    ReadoutValues lightTime;
    ReadoutValues geometric;
};
PlanetPlace locatePlanet(ProgramRecords& records, const SkyFrames& sky, const BodyTable& bodies, int body);

// Fills `bodies` and the annual aberration of `sky` for the dynamical-time day number, every
// series position through the owner's series cache. Throws DataFileError when the Sun's or the
// Moon's file fails; a planet's file that fails skips that planet only.
BodyTableResult fillBodyTable(ProgramRecords& records, SkyFrames& sky, BodyTable& bodies,
                              DayNumber dayNumberTT);

} // namespace nivora
