#include <algorithm>
#include <cmath>

#include "astro/projection.h"

namespace nivora {

namespace {

constexpr double millerPoleOrdinate = 2.30341253;
constexpr double millerStretch = double(1.25f);
constexpr double millerSquashInverse = double(0.8f);
constexpr double hammerX = 1.0823922;
constexpr double hammerY = 2.1647844;
constexpr double newtonPixelResidual = double(0.2f);

// arcsin as arctan(v / sqrt(1 - v^2)); +-pi/2 where that would divide by zero or round past 1.
double arcsine(double v) {
    const double c = 1 - v * v;
    if (c <= 0)
        return v < 0 ? -pi / 2 : pi / 2;
    return std::atan(v / std::sqrt(c));
}

// Azimuth in [0, 2 pi) from chart up toward chart right of a horizontal offset p and a vertical
// offset q; at the centre itself (h exactly pi/2) it is 0.
double azimuth(double p, double q, double h) {
    double A;
    if (q == 0)
        A = h == pi / 2 ? 0 : pi / 2;
    else
        A = std::atan(p / q);
    if ((q < 0 && p >= 0) || (q <= 0 && p < 0))
        A += pi;
    if (A < 0)
        A += 2 * pi;
    return A;
}

struct Direction {
    double x, y, z;
};

Direction centred(double A, double h) {
    return {std::cos(A) * std::cos(h), std::sin(A) * std::cos(h), std::sin(h)};
}

Direction upright(double lon, double lat) {
    return {std::sin(lat), std::sin(lon) * std::cos(lat), std::cos(lon) * std::cos(lat)};
}

// Angular distance c at which the user polynomial reaches the target T = P(c): Newton's method from
// c = 0, stopped at a residual of 0.2 pixel. Where Newton cannot finish (a flat or falling slope,
// a step out of [0, domain], too many steps) bisection on [0, domain] takes over, as the
// polynomial increases over the domain.
double userDistance(const ProjectionSetup& setup, double T, double S, double domain) {
    const double a0 = setup.coefficients[0];
    const int N = std::clamp<int>(setup.termCount, 1, 9);
    double c = 0, P = 0, slope = 1;
    for (int step = 0; std::abs(T - P) * S * a0 > newtonPixelResidual; ++step) {
        if (step == 100 || !(slope > 0))
            break;
        c += (T - P) / slope;
        if (!(c >= 0 && c <= domain))
            break;
        P = setup.coefficients[1] * c;
        slope = setup.coefficients[1];
        double power = c; // c^(i-1)
        for (int i = 2; i <= N; ++i) {
            slope += i * setup.coefficients[i] * power;
            power *= c;
            P += setup.coefficients[i] * power;
        }
    }
    if (std::abs(T - P) * S * a0 <= newtonPixelResidual && c >= 0 && c <= domain)
        return c;
    double lo = 0, hi = domain;
    for (int step = 0; step < 200; ++step) {
        const double mid = (lo + hi) / 2;
        if (mid <= lo || mid >= hi)
            break;
        (userPolynomial(setup, mid) < T ? lo : hi) = mid;
    }
    return (lo + hi) / 2;
}

} // namespace

void INVDISP(double& x, double& y, double& z, ProjectionKind prj, float& ok, double X, double Y,
             const ProjectionSetup& setup) {
    ok = 1;
    const double S = setup.chartScale;
    if (!(S > 0)) {
        ok = 0;
        return;
    }
    if (prj < 1 || prj > 15)
        prj = 1;
    const double rho = std::sqrt(X * X + Y * Y);
    Direction d{};
    // Rims that lie on whole offsets are tested on the offsets: the angles there round either way,
    // and the rim belongs to the chart.
    switch (prj) {
    case 1: {
        const double h = pi / 2 - rho * pi / S;
        if (rho > S) {
            ok = 0;
            return;
        }
        d = centred(azimuth(X, Y, h), h);
        break;
    }
    case 2: {
        const double L = rho * std::sqrt(2.0) / S;
        if (L >= 1) {
            ok = 0;
            return;
        }
        const double h = pi / 2 - 2 * arcsine(L);
        d = centred(azimuth(X, Y, h), h);
        break;
    }
    case 3: {
        const double h = pi / 2 - 2 * std::atan(2 * rho / S);
        d = centred(azimuth(X, Y, h), h);
        break;
    }
    case 4:
    case 5: {
        const double lon = (prj == 4 ? X : Y) * pi / S;
        if (std::abs(prj == 4 ? X : Y) > S) {
            ok = 0;
            return;
        }
        const double lat = 2 * std::atan(std::exp((prj == 4 ? Y : X) * pi / S)) - pi / 2;
        d = upright(lon, lat);
        if (prj == 5) // the longitude runs toward chart up, the latitude toward chart right
            d = {d.y, d.x, d.z};
        break;
    }
    case 6: {
        const double xp = 2 * std::sqrt(3.0) * Y / S;
        const double yp = 2 * std::sqrt(3.0) * X / S;
        const double n = std::sqrt(1 + xp * xp + yp * yp);
        d = {xp / n, yp / n, 1 / n};
        break;
    }
    case 7: {
        if (S * S < X * X + 4 * Y * Y) {
            ok = 0;
            return;
        }
        const double v = 2 * Y / S;
        const double c = 1 - v * v;
        // At the top and bottom of the ellipse only X = 0 is inside: the pole, at longitude 0.
        const double lon = c > 0 ? (X * pi / S) / std::sqrt(c) : 0;
        const double theta = arcsine(v);
        d = upright(lon, arcsine((2 * theta + std::sin(2 * theta)) / pi));
        break;
    }
    case 8: {
        if (S * S / 4 < X * X + Y * Y) {
            ok = 0;
            return;
        }
        const double xs = 2 * Y / S;
        const double ys = 2 * X / S;
        d = {xs, ys, std::sqrt(std::max(0.0, 1 - xs * xs - ys * ys))};
        break;
    }
    case 9: {
        const double lat = Y * pi / S;
        // The decimal pi makes cos(pi/2) a hair below zero; the pole itself stays on the chart,
        // and no offset beyond the poles comes back as a direction.
        const double c = std::max(0.0, std::cos(lat));
        if (std::abs(X) > c * S || std::abs(Y) > S / 2) {
            ok = 0;
            return;
        }
        d = upright(c > 0 ? (X / c) / S * pi : 0, lat);
        break;
    }
    case 10: {
        double q;
        if (setup.aspectYX != 0)
            q = Y / setup.aspectYX;
        else if (Y == 0) // a flattened chart keeps only its horizontal axis
            q = 0;
        else {
            ok = 0;
            return;
        }
        const double rhoUser = std::sqrt(X * X + q * q) / S;
        const double a0 = setup.coefficients[0];
        if (setup.edgeValue <= rhoUser || !(a0 > 0)) {
            ok = 0;
            return;
        }
        const double domain = std::min(setup.domainDegrees / degreesPerRadian, pi);
        const double h = pi / 2 - userDistance(setup, rhoUser / a0, S, domain);
        d = centred(azimuth(X, q, h), h);
        break;
    }
    case 11: {
        const double lon = X * pi / S;
        const double lat = Y * pi / S;
        if (std::abs(X) > S || 2 * std::abs(Y) > S) {
            ok = 0;
            return;
        }
        d = upright(lon, lat);
        break;
    }
    case 12: {
        const double lon = X * pi / S;
        const double L = Y * pi / S;
        if (std::abs(X) > S || std::abs(L) > millerPoleOrdinate) {
            ok = 0;
            return;
        }
        d = upright(lon, millerStretch * (2 * std::atan(std::exp(millerSquashInverse * L)) - pi / 2));
        break;
    }
    case 13: {
        if ((S / hammerX) * (S / hammerX) < X * X + 4 * Y * Y) {
            ok = 0;
            return;
        }
        const double p = X / S * hammerX;
        const double q = Y / S * hammerY;
        const double k = std::max(0.0, 2 - p * p - q * q);
        const double sigma = q * std::sqrt(k);
        const double c = 1 - sigma * sigma;
        // At the poles (sigma = +-1) p is 0 and the longitude is 0.
        const double tau = c > 0 ? p * std::sqrt(k / c) : 0;
        d = upright(2 * arcsine(tau), arcsine(sigma));
        break;
    }
    case 14: {
        const double lon = X * pi / S;
        const double L = Y * pi / S;
        if (std::abs(X) > S || L < -1 || L > 1) {
            ok = 0;
            return;
        }
        d = upright(lon, arcsine(L));
        break;
    }
    case 15: {
        const double h = pi / 2 - std::sqrt((X / 2) * (X / 2) + Y * Y) * pi / S;
        if (X * X + 4 * Y * Y > S * S) {
            ok = 0;
            return;
        }
        const double A = azimuth(X / 2, Y, h);
        const double u = std::sin(A) * std::cos(h);
        const double w = std::sin(h);
        const double m = std::sqrt(u * u + w * w);
        d.x = std::cos(A) * std::cos(h);
        if (m > 0) {
            d.z = (w * w - u * u) / m;
            d.y = 2 * u * w / m;
        } else { // the top or bottom of the ellipse: a pole of the chart
            d.x = d.x < 0 ? -1 : 1;
            d.y = d.z = 0;
        }
        break;
    }
    }
    x = d.x;
    y = d.y;
    z = d.z;
}

} // namespace nivora
