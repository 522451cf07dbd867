#include "astro/corrections.h"

#include <cmath>

#include "astro/constants.h"

namespace nivora {

void ABERRATION(DayNumber d, double lsun, double& vx, double& vy) {
    const double t = JulianCenturies(d), t2 = t * t;
    const double e = 0.016709114 - double(4.2052E-5f) * t - double(1.26E-7f) * t2;
    const double p = (double(102.9373f) + double(1.719597f) * t + double(0.0005f) * t2) / degreesPerRadian;
    const double k = std::sqrt(1.47662502 / astronomicalUnit / (1 - e * e) / double(1.000001f));
    vx = (std::sin(lsun) - e * std::sin(p)) * k;
    vy = -(std::cos(lsun) - e * std::cos(p)) * k;
}

void INVABER(const DirectionVector& u, const DirectionVector& v, DirectionVector& w) {
    const double d = u[0] * v[0] + u[1] * v[1] + u[2] * v[2];
    const double q = d * d + 1 - v[0] * v[0] - v[1] * v[1] - v[2] * v[2];
    if (q < 0) {
        w = u;
        return;
    }
    const double s = d + std::sqrt(q);
    for (int i = 0; i < 3; ++i)
        w[i] = u[i] * s - v[i];
}

double REFRACTCUL(double z, double k) {
    const double u = (k + z) / (k + 1);
    if (u < -double(0.0349f)) return 0;
    if (u < double(0.22f))
        return double(refractionLowCoefficient) /
               std::pow(u + double(refractionLowOffset), double(refractionLowExponent));
    return double(refractionHighCoefficient) / u;
}

void INVREFRACT(double& z, double k, double& r) {
    r = 0;
    if (z == 1) return;
    // Below this the renderer added no refraction.
    const double cutOff = -double(0.0349f) * (1 + k) - k;
    if (z < double(0.001f) - double(0.0349f) * (1 + k) - k) return;
    double b = z, f;
    int n = 0;
    do {
        ++n;
        const double t = b + REFRACTCUL(b, k);
        f = t / std::sqrt(1 - b * b + t * t) - z;
        b -= f;
        if (b < cutOff) return;
    } while (std::fabs(f) > 1E-8 && n < 5000);
    const double cz = std::sqrt(1 - z * z), cb = std::sqrt(1 - b * b);
    r = std::atan((z * cb - cz * b) / (cz * cb + z * b));
    z = b;
}

} // namespace nivora
