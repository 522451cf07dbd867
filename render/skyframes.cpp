#include "render/skyframes.h"

#include <algorithm>
#include <cmath>

#include "astro/constants.h"
#include "astro/precession.h"
#include "astro/timescales.h"
#include "options/observation_input.h"
#include "render/program_records.h"

namespace nivora {

namespace {

// The horizon frame (x north, y west, z zenith) of latitude phi with theta the angle of the
// meridian: the sidereal time for the sky, the longitude for the Earth-fixed frame.
RotationMatrix horizonMatrix(double theta, double phi)
{
    const double ct = std::cos(theta), st = std::sin(theta);
    const double cp = std::cos(phi), sp = std::sin(phi);
    return {{{-ct * sp, -st * sp, cp}, {st, -ct, 0}, {ct * cp, st * cp, sp}}};
}

double wholePart(double x) { return std::floor(x); }

} // namespace

double typedDateDayNumber(float year, int monthIndex, float day)
{
    const double Y = year;
    const int m = std::clamp(monthIndex, 0, 11);
    double d0 = (Y - 2000) * 365 + monthStartDays[m] + day + wholePart((Y - 1997) / 4) -
                wholePart((Y - 1901) / 100) + wholePart((Y - 1601) / 400);
    // Remainders keep the sign of the year, as the calendar rule of the windows does.
    const double y = std::round(Y);
    const double by400 = std::fmod(y, 400);
    if (std::fmod(y, 4) == 0 && by400 != 100 && by400 != 200 && by400 != 300 && m > 1)
        d0 += 1;
    return d0;
}

SkyFrameTimes setUpSkyFrames(SkyFrames& sky, const ObservationInput& input, std::uint8_t chartMode,
                             const StartupTables& tables, const std::filesystem::path& nutationFile,
                             PlacePrecision precision)
{
    const auto held = [precision](double x) {
        return precision == PlacePrecision::Single ? double(float(x)) : x;
    };
    SkyFrameTimes times;
    const bool skyChart = chartMode == skyChartMode;
    sky.observerLongitude = held(input.longitude() / degreesPerRadian);
    sky.observerLatitude = held(input.latitude() / degreesPerRadian);
    const double zoneHours = input.zoneHours();
    const double zoneMinutes = input.zoneMinutes();
    const float year = input.year();
    const int month = input.monthIndex();
    const float day = input.day();
    const double hour = input.hour();
    const double minute = input.minute();
    const double h = skyChart ? input.altitudeMetres() / 1000.0 : 0.0;
    const double shift = skyChart ? 0.0 : input.azimuthShift() / degreesPerRadian;

    // Time.
    const double f = ((hour + minute / 60) - zoneHours - zoneMinutes / 60) / 24;
    const DayNumber d = typedDateDayNumber(year, month, day) + f;
    const DayNumber t = ET2UTC(tables, d);
    times.dayNumberUT = d;
    times.dayFraction = f;
    times.dayNumberTT = t;
    sky.julianCenturies = (t - 1.5) / 36525;

    // Precession and nutation.
    PRECMT(tables, t, sky.icrfToMeanEquator, sky.j2000EclipticToMeanEcliptic,
           sky.meanEclipticToMeanEquator, sky.meanObliquity);
    INVMAT(sky.meanEclipticToMeanEquator, sky.meanEquatorToMeanEcliptic);
    INVMAT(sky.icrfToMeanEquator, sky.meanEquatorToIcrf);
    double dpsi = 0, deps = 0;
    NUTATION2(tables, t, dpsi, deps, nutationFile);
    const double eps = sky.meanObliquity + deps;
    sky.trueEclipticToTrueEquator = {{{1, 0, 0},
                                      {0, std::cos(eps), -std::sin(eps)},
                                      {0, std::sin(eps), std::cos(eps)}}};
    INVMAT(sky.trueEclipticToTrueEquator, sky.trueEquatorToTrueEcliptic);
    sky.meanEclipticToTrueEcliptic = {{{std::cos(dpsi), -std::sin(dpsi), 0},
                                       {std::sin(dpsi), std::cos(dpsi), 0},
                                       {0, 0, 1}}};
    sky.j2000EclipticToTrueEcliptic =
        multiply(sky.meanEclipticToTrueEcliptic, sky.j2000EclipticToMeanEcliptic);
    sky.meanEquatorToTrueEquator =
        multiply(sky.trueEclipticToTrueEquator,
                 multiply(sky.meanEclipticToTrueEcliptic, sky.meanEquatorToMeanEcliptic));
    INVMAT(sky.meanEquatorToTrueEquator, sky.trueEquatorToMeanEquator);

    // Sidereal time.
    if (!skyChart) {
        sky.localSiderealTime = sky.observerLongitude;
    } else {
        double L = held(GSTH(d) * pi / 12 + f * 2 * pi + sky.observerLongitude);
        L = held(L - wholePart(L / (2 * pi)) * 2 * pi);
        // The equation of the equinoxes: where the mean equinox lies on the true equator.
        double eqeq, lat, r;
        const RotationMatrix& n = sky.meanEquatorToTrueEquator;
        ZENITH(n[0][0], n[1][0], n[2][0], eqeq, lat, r);
        double lst = held(L + eqeq);
        if (lst < 0) lst = held(lst + 2 * pi);
        if (lst > 2 * pi) lst = held(lst - 2 * pi);
        sky.localSiderealTime = lst;
    }

    // Display frame to base frame.
    const double phi = sky.observerLatitude;
    sky.displayFrameToBase = horizonMatrix(sky.localSiderealTime, phi);
    if (!skyChart) {
        const RotationMatrix turn = {{{std::cos(shift), -std::sin(shift), 0},
                                      {std::sin(shift), std::cos(shift), 0},
                                      {0, 0, 1}}};
        sky.displayFrameToBase = multiply(turn, sky.displayFrameToBase);
    }
    INVMAT(sky.displayFrameToBase, sky.baseToDisplayFrame);

    // Horizon dip.
    const double a = earthRadius, b = earthPolarRadius, e2 = earthEccentricitySquared;
    const double sp = std::sin(phi), cp = std::cos(phi);
    const double N = a / std::sqrt(1 - e2 * sp * sp);
    const double q = N * e2 * sp;
    const double X = (N + h) * cp;
    const double Z = (N * (1 - e2) + h) * sp;
    if (h <= 0) {
        sky.horizonDipSine = 0;
        sky.horizonDipCosine = 1;
    } else {
        const double k = a * a / (X * X + (Z * a / b) * (Z * a / b));
        sky.horizonDipSine = std::sqrt(std::max(0.0, 1 - k));
        sky.horizonDipCosine = std::sqrt(k);
        const double g1 = Z * (k - 1), g2 = X * (k - 1);
        const double sc = sky.horizonDipSine * sky.horizonDipCosine;
        const double p1 = -(Z * a / b) * sc, p2 = (X * b / a) * sc;
        times.horizon.centre = {g1 * cp - g2 * sp, 0, g1 * sp + g2 * cp};
        times.horizon.u = {p2 * cp - p1 * sp, 0, p2 * sp + p1 * cp};
        times.horizon.v = {0, a * sky.horizonDipSine, 0};
    }

    // Diurnal aberration.
    const double g = -1.00000003650451 * earthRotationRate * N * cp /
                     (lightSpeed + 222.0684874 * (d + 65742) / (36524.25 * 36524.25));
    sky.diurnalAberration = {0, held(g), 0};
    sky.diurnalAberrationEquatorial = rotate(sky.baseToDisplayFrame, sky.diurnalAberration);

    // Earth-fixed frame and the observer's position.
    sky.greenwichToHorizon = horizonMatrix(sky.observerLongitude, phi);
    const double theta = sky.localSiderealTime;
    sky.observerPositionEquatorial = {(N + h) * cp * std::cos(theta), (N + h) * cp * std::sin(theta),
                                      (N + h) * sp - q};
    sky.observerPositionHorizon = {-q * cp, 0, (N + h) - q * sp};
    sky.observerPositionEcliptic = rotate(sky.trueEquatorToTrueEcliptic, sky.observerPositionEquatorial);
    return times;
}

SkyFrameTimes setUpSkyFrames(ProgramRecords& records, SkyFrames& sky)
{
    return setUpSkyFrames(sky, ObservationInput(records.ui), records.chartView.chartMode,
                          records.tables, records.file(std::string(nutationFileName)));
}

} // namespace nivora
