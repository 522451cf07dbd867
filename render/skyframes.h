// The sky frames of one date and place: time, precession, nutation, sidereal time, the base frame
// of the chart, the horizon dip, the diurnal aberration and the observer's position.
#pragma once

#include <cstdint>
#include <filesystem>

#include "astro/startuptables.h"
#include "astro/vectors.h"

namespace nivora {

class ObservationInput;
struct ProgramRecords;

// One instance per user: the drawing's (`drawnSky`) and the searches'. Angles in radians. The
// first group is filled by setUpSkyFrames, the annual aberration by the body table, the base
// matrices and the chart orientation by the orientation step of the drawing.
struct SkyFrames {
    double julianCenturies = 0;     // of the dynamical-time day number
    double observerLongitude = 0;   // east positive; in the map modes the map pole's
    double observerLatitude = 0;
    double localSiderealTime = 0;   // apparent, 0..2 pi; the map pole's longitude in the map modes
    double meanObliquity = 0;
    RotationMatrix icrfToMeanEquator{};
    RotationMatrix meanEquatorToIcrf{};
    RotationMatrix j2000EclipticToMeanEcliptic{};
    RotationMatrix meanEclipticToMeanEquator{};
    RotationMatrix meanEquatorToMeanEcliptic{};
    RotationMatrix trueEclipticToTrueEquator{};
    RotationMatrix trueEquatorToTrueEcliptic{};
    RotationMatrix meanEclipticToTrueEcliptic{};
    RotationMatrix j2000EclipticToTrueEcliptic{};
    RotationMatrix meanEquatorToTrueEquator{};
    RotationMatrix trueEquatorToMeanEquator{};
    // The display frame (true equator of date in the sky chart) to the base frame: x north,
    // y west, z zenith in the sky chart; z the map pole in the map modes.
    RotationMatrix displayFrameToBase{};
    RotationMatrix baseToDisplayFrame{};
    RotationMatrix greenwichToHorizon{};
    double horizonDipSine = 0;      // 0 and 1 at an altitude of 0 or less
    double horizonDipCosine = 1;
    DirectionVector diurnalAberration{};   // (0, g, 0) in the base frame, g <= 0
    DirectionVector diurnalAberrationEquatorial{};
    DirectionVector observerPositionEquatorial{};   // km, geocentric, true equator of date
    DirectionVector observerPositionHorizon{};
    DirectionVector observerPositionEcliptic{};

    // Earth's velocity over light speed: true ecliptic, true equator of date, base frame.
    DirectionVector annualAberrationEcliptic{};
    DirectionVector annualAberrationEquatorial{};
    DirectionVector annualAberration{};

    RotationMatrix trueEquatorToBase{};
    RotationMatrix meanEquatorToBase{};
    RotationMatrix icrfToBase{};
    RotationMatrix trueEclipticToBase{};
    RotationMatrix meanEclipticToBase{};
    RotationMatrix j2000EclipticToBase{};
    RotationMatrix baseToTrueEquator{};
    RotationMatrix baseToMeanEquator{};
    RotationMatrix baseToIcrf{};

    // The chart centre in the base frame and the chart's roll; the orientation and its inverse.
    double directionAzimuth = 0;
    double directionElevation = 0;
    double directionRotation = 0;
    RotationMatrix baseToChart{};
    RotationMatrix chartToBase{};
};

// The visible horizon of the place in the horizon frame: centre + u cos t + v sin t (km-scaled,
// only the directions count). The unit circle at an altitude of 0 or less.
struct HorizonCircle {
    DirectionVector centre{};
    DirectionVector u{1, 0, 0};
    DirectionVector v{0, 1, 0};
};

// What a set-up leaves besides the instance: the times of the typed date and the horizon circle.
struct SkyFrameTimes {
    DayNumber dayNumberUT = 0;    // universal time
    double dayFraction = 0;       // of the day, from the typed time and zone
    DayNumber dayNumberTT = 0;    // dynamical time
    HorizonCircle horizon;
};

// Day number at 0h of a typed date (month index 0..11), leap day included: 2000 January 1 gives 1.
double typedDateDayNumber(float year, int monthIndex, float day);

// How the place and its results are held: the drawing keeps doubles; the keyword searches keep
// the longitude, the latitude, the sidereal time and the diurnal aberration in single precision.
enum class PlacePrecision { Double, Single };

// Fills the set-up members of `sky` from the main window's fields (read in their order, live),
// the chart mode and the start-up tables; `nutationFile` is read anew. Throws DataFileError
// when the nutation file is missing or malformed; `sky` may then be half written.
SkyFrameTimes setUpSkyFrames(SkyFrames& sky, const ObservationInput& input, std::uint8_t chartMode,
                             const StartupTables& tables, const std::filesystem::path& nutationFile,
                             PlacePrecision precision = PlacePrecision::Double);
// The same with the owner's window, chart mode, tables and "nutation.txt" of the working folder.
SkyFrameTimes setUpSkyFrames(ProgramRecords& records, SkyFrames& sky);

} // namespace nivora
