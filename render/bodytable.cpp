#include "render/bodytable.h"

#include <algorithm>
#include <cmath>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "astro/datafile.h"
#include "astro/seriescache.h"
#include "render/program_records.h"
#include "render/skyframes.h"

namespace nivora {

namespace {

constexpr const char* sunSeriesFile = "prmsun2.plt";
constexpr const char* moonSeriesFile = "prmmon2.plt";

// The body seen from the observer: direction, distance and the parallax against the geocentric
// unit direction g.
void topocentricEntry(std::array<double, 5>& entry, const DirectionVector& positionKm,
                      const DirectionVector& g, const DirectionVector& observer)
{
    const DirectionVector p = {positionKm[0] - observer[0], positionKm[1] - observer[1],
                               positionKm[2] - observer[2]};
    const double length = std::sqrt(dot(p, p));
    entry[3] = length;
    if (length == 0) {
        entry[0] = entry[1] = entry[2] = entry[4] = 0;
        return;
    }
    for (int i = 0; i < 3; ++i)
        entry[i] = p[i] / length;
    const double k = std::clamp(dot(g, p) / length, -1.0, 1.0);
    entry[4] = std::atan2(std::sqrt(1 - k * k), k);
}

} // namespace

PlanetPlace locatePlanet(ProgramRecords& records, const SkyFrames& sky, const BodyTable& bodies, int body)
{
    const std::string& file = records.planetSettings.planetOrbitFile[std::size_t(body - 2)];
    const SeriesFrames frames{sky.j2000EclipticToTrueEcliptic, bodies.sunVector, sky.annualAberrationEcliptic};
    const DayNumber t = bodies.dayNumberTT;
    PlanetPlace place;
    ReadoutValues& g = place.geometric;
    ReadoutValues& l = place.lightTime;
    PLTLOC0(records.tables, frames, records.seriesCache, records.file(file), t, 1, 0, g.longitude, g.latitude, g.distance);
    PLTLOC0(records.tables, frames, records.seriesCache, records.file(file), t - g.distance / lightSpeedAuPerDay, 1, 0,
            l.longitude, l.latitude, l.distance);
    const DirectionVector u = unitVector(l.longitude, l.latitude);
    topocentricEntry(place.entry, scaled(u, l.distance * astronomicalUnit), u, sky.observerPositionEcliptic);
    g.distance *= astronomicalUnit;
    l.distance *= astronomicalUnit;
    return place;
}

BodyTableResult fillBodyTable(ProgramRecords& records, SkyFrames& sky, BodyTable& bodies,
                              DayNumber t)
{
    BodyTableResult result;
    bodies.dayNumberTT = t;
    const ReadoutOptions& readout = records.readoutOptions;
    const DirectionVector& observer = sky.observerPositionEcliptic;
    auto locate = [&](const std::string& name, DayNumber d, int geo, int aber, double& lon,
                      double& lat, double& dist) {
        const SeriesFrames frames{sky.j2000EclipticToTrueEcliptic, bodies.sunVector,
                                  sky.annualAberrationEcliptic};
        PLTLOC0(records.tables, frames, records.seriesCache, records.file(name), d,
                std::int16_t(geo), std::int16_t(aber), lon, lat, dist);
    };

    // Sun.
    auto& sun = bodies.bodyPositions[sunBody];
    sun[3] = 0;
    bodies.sunLongitude = bodies.sunLatitude = bodies.sunDistance = 0;
    locate(sunSeriesFile, t, 0, 0, bodies.sunLongitude, bodies.sunLatitude, bodies.sunDistance);
    bodies.sunVector = unitVector(bodies.sunLongitude, bodies.sunLatitude);
    bodies.sunGeometricLongitude = bodies.sunLongitude;
    bodies.sunGeometricLatitude = bodies.sunLatitude;
    double vx = 0, vy = 0;
    ABERRATION(t, bodies.sunGeometricLongitude, vx, vy);
    sky.annualAberrationEcliptic = {vx, vy, 0};
    sky.annualAberrationEquatorial = rotate(sky.trueEclipticToTrueEquator, sky.annualAberrationEcliptic);
    sky.annualAberration = rotate(sky.displayFrameToBase, sky.annualAberrationEquatorial);
    {
        const DirectionVector& s = bodies.sunVector;
        const DirectionVector& v = sky.annualAberrationEcliptic;
        double r;
        ZENITH(s[0] + v[0], s[1] + v[1], s[2] + v[2], bodies.sunLongitude, bodies.sunLatitude, r);
    }
    bodies.sunVector = scaled(bodies.sunVector, bodies.sunDistance);
    if (bodies.sunDistance > 0)
        topocentricEntry(sun, scaled(bodies.sunVector, astronomicalUnit),
                         scaled(bodies.sunVector, 1 / bodies.sunDistance), observer);
    if (readout.readoutBody == sunBody && readout.readoutFrame != 20)
        result.readout = {bodies.sunGeometricLongitude, bodies.sunGeometricLatitude,
                          bodies.sunDistance * astronomicalUnit};

    // Moon, light time included.
    auto& moon = bodies.bodyPositions[moonBody];
    moon[3] = 0;
    double L1, B1, r1, L2, B2, r2;
    locate(moonSeriesFile, t, 0, 0, L1, B1, r1);
    locate(moonSeriesFile, t - (r1 / lightSpeed) / 86400, 0, 0, L2, B2, r2);
    {
        const DirectionVector g = unitVector(L2, B2);
        topocentricEntry(moon, scaled(g, r2), g, observer);
    }
    if (readout.readoutBody == moonBody || (readout.readoutBody == sunBody && readout.readoutFrame == 20))
        result.readout = readout.readoutCorrection < 2 ? ReadoutValues{L2, B2, r2} : ReadoutValues{L1, B1, r1};

    // Antisolar point, or the Earth's shadow at a distance.
    auto& antisun = bodies.bodyPositions[antisunBody];
    const std::uint8_t antisunMode = records.chartOptions.antisunDisplayMode;
    DirectionVector a;
    double D = 0;
    if (antisunMode == 0 || antisunMode == 2) {
        a = scaled(unitVector(bodies.sunLongitude, bodies.sunLatitude), -1);
    } else {
        if (records.planetSettings.earthShadowDistanceMode == 1)
            D = r2;
        else
            D = records.ui.formNumber("FORM8", "EDIT79");
        double L, B, r;
        locate(sunSeriesFile, t - (D / lightSpeed) / 43200, 0, 1, L, B, r);
        a = scaled(unitVector(L, B), -1);
    }
    DirectionVector freed;
    INVABER(a, sky.annualAberrationEcliptic, freed);
    if (antisunMode == 0 || antisunMode == 2) {
        antisun = {freed[0], freed[1], freed[2], 0, 0};
    } else {
        topocentricEntry(antisun, scaled(freed, D), freed, observer);
    }
    antisun[4] = 0;

    // Planets that are shown or read out; a planet's file that fails skips that planet.
    std::vector<std::string> failedFiles;
    for (int k = 0; k < 7; ++k) {
        const int body = k + 2;
        auto& entry = bodies.bodyPositions[body];
        if (records.planetSettings.planetDisplayMode[k] == 0 && readout.readoutBody != body) {
            entry[3] = 0;
            continue;
        }
        PlanetPlace place;
        try {
            place = locatePlanet(records, sky, bodies, body);
        } catch (const DataFileError& error) {
            entry[3] = 0;
            const std::string& file = records.planetSettings.planetOrbitFile[k];
            if (std::find(failedFiles.begin(), failedFiles.end(), file) == failedFiles.end()) {
                failedFiles.push_back(file);
                result.planetFileErrors.push_back(error.what());
            }
            continue;
        }
        entry = place.entry;
        if (readout.readoutBody == body)
            result.readout = readout.readoutCorrection < 2 ? place.lightTime : place.geometric;
    }
    return result;
}

} // namespace nivora
