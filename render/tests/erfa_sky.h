// Where ERFA puts the Sun, the Moon and the planets for an observer: the topocentric apparent
// direction in the horizon frame (x north, y west, z zenith), refraction left out. The Moon, which
// moves with the Earth, gets only the observer's rotation as aberration.
#pragma once

#include <erfa.h>
#include <erfam.h>

#include <cmath>

#include "astro/vectors.h"

namespace nivora::testing_support {

struct ErfaObserver {
    double longitudeDegrees = 0;   // east positive
    double latitudeDegrees = 0;    // geodetic
    double heightMetres = 0;
    double ut1 = 0;                // Julian date, universal time
    double tt = 0;                 // Julian date, dynamical time
};

inline void erfaSub(const double* a, const double* b, double* out)
{
    for (int i = 0; i < 3; ++i)
        out[i] = a[i] - b[i];
}

// Geocentric astrometric position of body b (0 Sun, 1 Moon, 2-8 Mercury-Neptune), AU, GCRS, light
// time from the geocentre.
inline void erfaGeocentric(const ErfaObserver& o, int body, double p[3])
{
    double pvh[2][3], pvb[2][3];
    eraEpv00(o.tt, 0, pvh, pvb);
    if (body == 0) {
        for (int i = 0; i < 3; ++i)
            p[i] = -pvh[0][i];
        return;
    }
    double tau = 0;
    for (int k = 0; k < 3; ++k) {
        double pv[2][3];
        if (body == 1) {
            eraMoon98(o.tt, -tau, pv);
            for (int i = 0; i < 3; ++i)
                p[i] = pv[0][i];
        } else {
            static const int planet[] = {0, 0, 1, 2, 4, 5, 6, 7, 8};
            eraPlan94(o.tt, -tau, planet[body], pv);
            erfaSub(pv[0], pvh[0], p);
        }
        tau = eraPm(p) / ERFA_DC;
    }
}

// Where the Earth's centre was `tau` days before the TT Julian date tt, from where it is then, AU
// (BCRS): added to the light-time place of what moves with the Earth, it gives that place as
// seen from where the Earth is now, the astrometric place.
inline void erfaEarthAgo(double tt, double tau, double back[3])
{
    double pvh[2][3], then[2][3], now[2][3];
    eraEpv00(tt, -tau, pvh, then);
    eraEpv00(tt, 0, pvh, now);
    erfaSub(then[0], now[0], back);
}

// The Moon's geocentric astrometric position, AU, GCRS: where it was a light time ago (its
// barycentric place then), seen from where the Earth's centre is now. What moves with the Earth
// is seen at its light-time place; this is that place with the annual aberration taken out.
inline void erfaAstrometricMoon(const ErfaObserver& o, double p[3])
{
    erfaGeocentric(o, 1, p);
    double back[3];
    erfaEarthAgo(o.tt, eraPm(p) / ERFA_DC, back);
    eraPpp(p, back, p);
}

// The Sun's geocentric apparent direction (GCRS unit vector): the geocentre's annual aberration
// added to its geometric place.
inline void erfaApparentSun(const ErfaObserver& o, double apparent[3])
{
    double sun[3], unit[3], r, pvh[2][3], pvb[2][3], v[3];
    erfaGeocentric(o, 0, sun);
    eraPn(sun, &r, unit);
    eraEpv00(o.tt, 0, pvh, pvb);
    for (int i = 0; i < 3; ++i)
        v[i] = pvb[1][i] / ERFA_DC;
    eraAb(unit, v, r, std::sqrt(1 - eraPdp(v, v)), apparent);
}

// Observer's position (AU) and velocity (units of c) in the GCRS, and the GCRS-to-ITRS matrix.
inline void erfaObserverState(const ErfaObserver& o, double pos[3], double vel[3], double rc2t[3][3])
{
    eraC2t06a(o.tt, 0, o.ut1, 0, 0, 0, rc2t);
    double itrs[3];
    eraGd2gc(1, o.longitudeDegrees * ERFA_DD2R, o.latitudeDegrees * ERFA_DD2R, o.heightMetres, itrs);
    const double omega = 7.292115e-5;   // rad/s
    double v[3] = {-omega * itrs[1], omega * itrs[0], 0};
    eraTrxp(rc2t, itrs, pos);
    eraTrxp(rc2t, v, vel);
    for (int i = 0; i < 3; ++i) {
        pos[i] /= ERFA_DAU;
        vel[i] /= ERFA_CMPS;
    }
}

// ITRS direction to the horizon frame of the geodetic place.
inline DirectionVector erfaToHorizon(const ErfaObserver& o, double itrs[3])
{
    const double l = o.longitudeDegrees * ERFA_DD2R, f = o.latitudeDegrees * ERFA_DD2R;
    double north[3] = {-std::sin(f) * std::cos(l), -std::sin(f) * std::sin(l), std::cos(f)};
    double west[3] = {std::sin(l), -std::cos(l), 0};
    double up[3] = {std::cos(f) * std::cos(l), std::cos(f) * std::sin(l), std::sin(f)};
    return {eraPdp(itrs, north), eraPdp(itrs, west), eraPdp(itrs, up)};
}

// Topocentric apparent direction of body b in the horizon frame; also its distance in AU.
inline DirectionVector erfaHorizonDirection(const ErfaObserver& o, int body, double* distance = nullptr)
{
    double geo[3], pos[3], vel[3], rc2t[3][3];
    erfaGeocentric(o, body, geo);
    erfaObserverState(o, pos, vel, rc2t);
    double topo[3];
    erfaSub(geo, pos, topo);
    if (distance)
        *distance = eraPm(topo);
    double pvh[2][3], pvb[2][3];
    eraEpv00(o.tt, 0, pvh, pvb);
    if (body != 1)
        for (int i = 0; i < 3; ++i)
            vel[i] += pvb[1][i] / ERFA_DC;
    const double bm1 = std::sqrt(1 - eraPdp(vel, vel));
    double unit[3], apparent[3], itrs[3];
    double r;
    eraPn(topo, &r, unit);
    eraAb(unit, vel, eraPm(pvh[0]), bm1, apparent);
    eraRxp(rc2t, apparent, itrs);
    return erfaToHorizon(o, itrs);
}

} // namespace nivora::testing_support
