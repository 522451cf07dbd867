#include "render/location_readout.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "astro/constants.h"
#include "astro/corrections.h"
#include "astro/numbertext.h"
#include "render/bodymarks.h"
#include "render/drawing.h"
#include "render/pipeline.h"
#include "render/program_records.h"

namespace nivora {

namespace {

constexpr int addedStarBody = 20;
constexpr int orbitObjectBody = 30;

const char* correctionWord(int correction)
{
    return correction == 0 ? "(apparent)" : correction == 1 ? "(no abbr.)" : "(geometric)";
}

// The readout body's place before the frame: unit vector and distance (km), true ecliptic of
// date, with the corrections the options ask for.
struct BodyPlace {
    DirectionVector v{};
    double D = 0;
    bool valid = false;
};

// What the readout needs to know of its body.
struct ReadoutBody {
    int body = 0;            // readout body code; 1 when the Sun's digression speaks of the Moon
    bool addedStar = false;
    bool orbitObject = false;
    bool movesWithEarth = false;   // seen at its light-time place; corrected after the parallax
};

// The readout body's place before the parallax: the light-time corrected (or geometric) place,
// with the annual aberration of the correction for what does not move with the Earth.
BodyPlace bodyPlace(const ProgramRecords& records, const DrawingWork& work, const ReadoutBody& b)
{
    const SkyFrames& sky = records.drawn.sky;
    const int correction = records.readoutOptions.readoutCorrection;
    BodyPlace place;
    if (b.addedStar) {
        if (!work.addedStarValid)
            return place;
        place.v = work.addedStarDirection;
        place.D = work.addedStarDistance;
        if (correction > 0 && !b.movesWithEarth) {
            DirectionVector freed;
            INVABER(place.v, sky.annualAberrationEcliptic, freed);
            place.v = normalised(freed);
        }
    } else if (b.orbitObject) {
        place.D = length(work.orbitObjectPosition);
        if (!(place.D > 0))
            return place;
        place.v = scaled(work.orbitObjectPosition, 1 / place.D);
    } else {
        place.D = work.readout.distance;
        if (!(place.D > 0))
            return place;
        place.v = unitVector(work.readout.longitude, work.readout.latitude);
    }
    if (correction == 0 && !b.addedStar && !b.movesWithEarth)
        place.v = annualAberrationPlace(place.v, sky.annualAberrationEcliptic, false, true);
    place.valid = true;
    return place;
}

// What moves with the Earth is seen at its place as the parallax leaves it; "No Annual
// Aberration" takes the annual aberration v (in p's frame) out of that place. p of any length.
DirectionVector seenPlace(const ProgramRecords& records, const ReadoutBody& b, const DirectionVector& p,
                          const DirectionVector& v)
{
    const double l = length(p);
    if (!b.movesWithEarth || records.readoutOptions.readoutCorrection != 1 || !(l > 0))
        return p;
    return scaled(annualAberrationPlace(scaled(p, 1 / l), v, true, false), l);
}

void drawFrameReadout(ProgramRecords& records, const DrawingWork& work, const ReadoutBody& b,
                      const std::string& name, int colour)
{
    const SkyFrames& sky = records.drawn.sky;
    const ReadoutOptions& options = records.readoutOptions;
    const int frame = options.readoutFrame;
    const int unit = records.minuteOptions.commentUnit;
    BodyPlace place = bodyPlace(records, work, b);
    if (!place.valid)
        return;
    DirectionVector v = place.v;
    double D = place.D;
    const bool distanceKnown = !b.addedStar || work.addedStar->distanceOn == 1;
    if (options.readoutParallax == 1 && distanceKnown) {
        v = minus(scaled(v, D), sky.observerPositionEcliptic);
        D = length(v);
        if (!(D > 0))
            return;
        v = scaled(v, 1 / D);
    }
    v = seenPlace(records, b, v, sky.annualAberrationEcliptic);

    DirectionVector result;
    const char *first, *second, *frameWord;
    const DirectionVector e = rotate(sky.trueEclipticToTrueEquator, v);
    const DirectionVector m = rotate(sky.trueEquatorToMeanEquator, e);
    switch (frame) {
    case 12: result = v, first = " Lng:", second = " Lat:", frameWord = "(true)"; break;
    case 2: result = e, first = " R.A:", second = " Dec:", frameWord = "(true)"; break;
    case 8:
    case 9: {
        const double g = frame == 9 ? sky.localSiderealTime - sky.observerLongitude : sky.localSiderealTime;
        result = rotate(R3(g), e);
        first = " R.A:", second = " Dec:", frameWord = frame == 9 ? "(Grwch-Eq)" : "(Local-Eq)";
        break;
    }
    case 1: {
        result = rotate(sky.trueEquatorToBase, e);
        if (records.chartView.chartMode == skyChartMode && options.readoutParallax == 1 && options.readoutCorrection == 0) {
            if (records.chartOptions.diurnalAberrationOn == 1) {
                result[1] += sky.diurnalAberration[1];
                result = normalised(result);
            }
            if (records.chartOptions.refractionOn == 1) {
                result[2] += REFRACTCUL(result[2], sky.horizonDipSine);
                result = normalised(result);
            }
        }
        first = " Azm:", second = " Elv:", frameWord = "(Zenithal)";
        break;
    }
    case 3: result = m, first = " R.A:", second = " Dec:", frameWord = "(mean)"; break;
    case 13: result = rotate(sky.meanEquatorToMeanEcliptic, m), first = " Lng:", second = " Lat:", frameWord = "(mean)"; break;
    case 4: result = rotate(sky.meanEquatorToIcrf, m), first = " R.A:", second = " Dec:", frameWord = "(J2000.0)"; break;
    case 14:
        result = rotate(records.tables.icrfToJ2000Ecliptic, rotate(sky.meanEquatorToIcrf, m));
        first = " Lng:", second = " Lat:", frameWord = "(J2000.0)";
        break;
    default: return;   // an unknown frame writes nothing
    }

    BitmapArea bitmap = panelCanvas(records);
    const float x = panelLeftOf(records);
    bitmap.drawText(x, 288, "Location of " + name, colour);
    double lon, lat, r;
    ZENITH(result[0], result[1], result[2], lon, lat, r);
    bitmap.drawText(x, 306, first + DSPSEXA(lon, byUnit(unit, 0, 4, 6), 1) + correctionWord(options.readoutCorrection), colour);
    bitmap.drawText(x, 324, second + DSPSEXA(lat, byUnit(unit, 2, 3, 3), 1) + frameWord, colour);
    if (distanceKnown) {
        const bool aroundEarth = b.orbitObject && records.ui.formValue("FORM7", "RADIO72") != 1;
        const bool starInKm = b.addedStar && records.ui.formValue("FORM9", "RADIO51") != 1;
        const std::string where = options.readoutParallax == 1 ? "(parallax)" : "(geocntr)";
        if (b.body == moonBody || aroundEarth || starInKm)
            bitmap.drawText(x, 342, " Distance:" + DSPDCM(D, 6, 1, 1) + "km" + where, colour);
        else
            bitmap.drawText(x, 342, " Distance:" + DSPDCM(D / astronomicalUnit, 2, 6, 1) + "AU" + where, colour);
    }
    if (b.body >= sunBody && b.body <= neptuneBody) {
        const double q = bodyRadii[b.body] / D;
        const double s = q < 1 ? std::atan(q / std::sqrt(1 - q * q)) : pi / 2;
        bitmap.drawText(x, 360, " Radius:" + DSPSEXA(s, byUnit(unit, 8, 9, 9), 1), colour);
    }
}

void drawDigression(ProgramRecords& records, const DrawingWork& work, const ReadoutBody& b, const std::string& code)
{
    const SkyFrames& sky = records.drawn.sky;
    const BodyTable& bodies = records.drawn.bodies;
    const ReadoutOptions& options = records.readoutOptions;
    const int unit = records.minuteOptions.commentUnit;
    const int colour = 5 - records.chartOptions.whiteBackground;
    const bool parallax = options.readoutParallax == 1;

    BodyPlace place = bodyPlace(records, work, b);
    if (!place.valid)
        return;
    DirectionVector S = options.readoutCorrection == 0
                            ? scaled(unitVector(bodies.sunLongitude, bodies.sunLatitude), bodies.sunDistance * astronomicalUnit)
                            : scaled(bodies.sunVector, astronomicalUnit);
    if (parallax)
        S = minus(S, sky.observerPositionEcliptic);
    const DirectionVector Se = rotate(sky.trueEclipticToTrueEquator, S);
    DirectionVector Pe = rotate(sky.trueEclipticToTrueEquator, scaled(place.v, place.D));
    // An added star without a distance stands at 1 km only as a placeholder: no parallax.
    const bool distanceKnown = !b.addedStar || work.addedStar->distanceOn == 1;
    if (parallax && distanceKnown)
        Pe = minus(Pe, sky.observerPositionEquatorial);
    Pe = seenPlace(records, b, Pe, sky.annualAberrationEquatorial);
    double a0, d0, r0, a, d, r;
    ZENITH(Se[0], Se[1], Se[2], a0, d0, r0);
    ZENITH(Pe[0], Pe[1], Pe[2], a, d, r);
    if (!(r0 > 0) || !(r > 0))
        return;

    BitmapArea bitmap = panelCanvas(records);
    const float x = panelLeftOf(records);
    const float longitudeMode = byUnit(unit, 0, 4, 6);
    const float angleMode = unit == 1 ? 1 : 5;
    bitmap.drawText(x, 288, "Digression of " + code + " from Sun", colour);

    double la, ba, lb, bb, rr;
    const DirectionVector Sl = rotate(sky.trueEquatorToTrueEcliptic, Se), Pl = rotate(sky.trueEquatorToTrueEcliptic, Pe);
    ZENITH(Sl[0], Sl[1], Sl[2], la, ba, rr);
    ZENITH(Pl[0], Pl[1], Pl[2], lb, bb, rr);
    bitmap.drawText(x, 306, " Lng.:" + DSPSEXA(lb - la, longitudeMode, 1) + (parallax ? "(parallax)" : "(geocentric)"), colour);

    const double dAlpha = a - a0;
    bitmap.drawText(x, 324, " R.A.:" + DSPSEXA(dAlpha, longitudeMode, 1) + correctionWord(options.readoutCorrection), colour);

    const double E = separationAngle((Se[0] * Pe[0] + Se[1] * Pe[1] + Se[2] * Pe[2]) / (r0 * r));
    bitmap.drawText(x, 342, " true:" + DSPSEXA(E, unit > 1 ? 4 : 0, 1), colour);

    const double theta = positionAngle(dAlpha, d0, d, E);
    bitmap.drawText(x, 360, " Pole-" + code + "-Sun:" + DSPSEXA(-theta, angleMode, 0), colour);

    double Aa, ha, Ab, hb;
    const DirectionVector Sh = rotate(sky.trueEquatorToBase, Se), Ph = rotate(sky.trueEquatorToBase, Pe);
    ZENITH(Sh[0], Sh[1], Sh[2], Aa, ha, rr);
    ZENITH(Ph[0], Ph[1], Ph[2], Ab, hb, rr);
    const double thetaZenith = positionAngle(Ab - Aa, ha, hb, E);
    bitmap.drawText(x, 378, " Znth-" + code + "-Sun:" + DSPSEXA(-thetaZenith, angleMode, 0), colour);
}

} // namespace

double separationAngle(double c)
{
    c = std::clamp(c, -1.0, 1.0);
    if (c == 0)
        return pi / 2;
    const double E = std::atan(std::sqrt(1 - c * c) / c);
    return c < 0 ? E + pi : E;
}

double positionAngle(double dAlpha, double d0, double d, double E)
{
    const double sinE = std::sin(E);
    if (sinE == 0)
        return 0;
    const double y = std::sin(dAlpha) / sinE * std::cos(d0);
    const double x = (std::sin(d0) * std::cos(d) - std::cos(d0) * std::sin(d) * std::cos(dAlpha)) / sinE;
    if (x == 0)
        return y < 0 ? -pi / 2 : pi / 2;
    double theta = std::atan(y / x);
    if (x < 0)
        theta -= pi * ((theta > 0) - (theta < 0));
    return theta;
}

void drawLocationReadout(ProgramRecords& records, const DrawingWork& work)
{
    const ReadoutOptions& options = records.readoutOptions;
    const int frame = options.readoutFrame;
    const int wb = records.chartOptions.whiteBackground;
    if (frame == 100)
        return;
    ReadoutBody b;
    b.body = options.readoutBody;
    std::string code, name;
    int colour = 7 - wb;
    if (b.body == orbitObjectBody) {
        if (records.chartOptions.orbitObjectDisplayMode == 0 || work.orbitObjectValid == 0)
            return;
        b.orbitObject = true;
        b.movesWithEarth = records.ui.formValue("FORM7", "RADIO72") != 1;
        code = "Obj";
        name = records.ui.formText("FORM7", "EDIT92");
        if (name.empty())
            name = "Object by elements";
    } else if (b.body == addedStarBody) {
        if (!work.addedStar)
            return;
        b.addedStar = true;
        b.movesWithEarth = work.addedStarFrame == 8 || work.addedStarFrame == 9;
        code = "Star";
        name = work.addedStar->name;
        if (name.empty())
            name = "Added Star";
        colour = 9 - wb;
    } else if (b.body >= sunBody && b.body <= neptuneBody) {
        if (b.body == sunBody && frame == 20)
            b.body = moonBody;   // the Sun's digression from itself speaks of the Moon
        code = std::string(bodyNames[b.body].code);
        name = std::string(bodyNames[b.body].name);
        b.movesWithEarth = !annualAberrationApplies(b.body);
        if (options.readoutBody == sunBody)
            colour = 13 - wb;
        else if (b.body == moonBody)
            colour = 15 * (1 - wb);
    } else {
        return;
    }
    if (frame == 20)
        drawDigression(records, work, b, code);
    else
        drawFrameReadout(records, work, b, name, colour);
}

} // namespace nivora
