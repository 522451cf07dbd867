#include "astro/projection.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "astro/vectors.h"

namespace nivora {

namespace {

// Single-precision literals widened to double.
constexpr double poleLatitudeLimit = double(1.57079f);
constexpr double gnomonicHorizon = double(0.05f);
constexpr double millerStretch = double(1.25f);
constexpr double millerSquash = double(0.4f);
constexpr double ln10 = double(2.3026f);

constexpr double hammerX = 1.0823922;
constexpr double hammerY = 2.1647844;

double clamped(double v) { return std::clamp(v, -offChartValue, offChartValue); }

int termsOf(const ProjectionSetup& setup) { return std::clamp<int>(setup.termCount, 1, 9); }

// 2 u + sin 2 u, which rises with u (its slope 4 cos^2 u).
double mollweideSide(double u) { return 2 * u + std::sin(2 * u); }

// The angle of the digit search's grid point t + (j + 1) s, formed as the search forms it.
double searchAngle(double t, int j, double s) {
    const double d = j * s;
    return (t + d + s - 0.5) * pi;
}

// One digit of the search at t: j s for the first j of 0..10 whose next grid point lies past the
// root, tested as 2 u + sin 2 u against the target; 0 when none does.
double searchDigit(double target, double t, double s) {
    for (int j = 0; j <= 10; ++j)
        if (target < mollweideSide(searchAngle(t, j, s)))
            return j * s;
    return 0;
}

// How far mollweideSide may be from 2 u + sin 2 u, with room to spare over sin's ulp and the sum's
// rounding.
constexpr double sideError = 4E-15;

// A lower bound of cos^2 u for |u| <= pi, the chords of cos under its arcs, at least the least
// over [a, b] when that holds no +-pi / 2.
double slopeFloor(double a, double b) {
    if ((a <= pi / 2 && pi / 2 <= b) || (a <= -pi / 2 && -pi / 2 <= b))
        return 0;
    const auto chord = [](double u) {
        const double c = 1 - std::fabs(u) * (2 / pi);
        return c * c;
    };
    return 4 * std::min(chord(a), chord(b));
}

// An interval [low, high] that holds the root of 2 u + sin 2 u = target: Newton's steps from a
// close start, then the side at the last one, r off the target, puts the root within h of it
// where the slope over u +- h exceeds (|r| + sideError) / h. Nothing when no h is found.
struct RootBracket {
    double low, high;
};
std::optional<RootBracket> mollweideRoot(double target, double phi) {
    // Near the poles 2 u + sin 2 u = pi - 4 e^3 / 3 + 4 e^5 / 15 for u = +-(pi / 2 - e); elsewhere
    // a fit of u in x = target / pi.
    const double x = target / pi, fromPole = 1 - std::fabs(x);
    double u;
    if (fromPole < 0.3) {
        const double e = std::cbrt(0.75 * pi * fromPole);
        u = std::copysign(pi / 2 - e - e * e * e / 15, phi);
    } else {
        u = x * (pi / 4) * (1 + x * x * (0.114 + 0.15 * x * x));
    }
    double slope = 4;
    for (int i = 0; i < 8; ++i) {
        slope = 2 + 2 * std::cos(2 * u);
        if (!(slope > 0))
            break;
        const double step = (mollweideSide(u) - target) / slope;
        u = std::clamp(u - step, -pi / 2, pi / 2);
        if (std::fabs(step) < 1E-9)   // the next step would be under 1E-17
            break;
    }
    const double off = std::fabs(mollweideSide(u) - target) + sideError;
    double h = 3 * off / std::max(slope, 1E-6);
    for (int i = 0; i < 8 && h < 0.1; ++i, h *= 4)
        if (slopeFloor(u - h, u + h) * h > off)
            return RootBracket{u - h, u + h};
    return std::nullopt;
}

// Mollweide auxiliary angle: solves 2 theta + sin 2 theta = pi sin phi by a decimal digit search
// on t = theta / pi + 1/2, fine enough for the last step to be about half a pixel. Each digit is
// read off the root that Newton's steps bracket, the search's own tests made only where the
// bracket leaves a test in doubt: the angle is the search's, to the last bit.
double mollweideTheta(double phi, double S) {
    const double target = pi * std::sin(phi);
    const double levels = std::ceil(std::log(2 * S) / ln10);
    // A tiny or empty scale still searches once; no chart needs more than 17 digits.
    const int n = levels >= 1 ? int(std::min(levels, 17.0)) : 1;
    const std::optional<RootBracket> root = mollweideRoot(target, phi);
    static const std::array<double, 18> steps = [] {
        std::array<double, 18> p{};
        for (int k = 1; k < 18; ++k)
            p[std::size_t(k)] = std::pow(10.0, -k);
        return p;
    }();
    const double rootT = root ? (root->low + root->high) / 2 / pi + 0.5 : 0;
    double t = 0, perStep = 1;
    for (int k = 1; k <= n; ++k) {
        const double s = steps[std::size_t(k)];
        perStep *= 10;
        if (!root) {
            t += searchDigit(target, t, s);
            continue;
        }
        // The first grid point past the root, and the one before it below: a grid point clear
        // of the bracket by more than sideError over the slope tests as the root says.
        const double guess = std::floor((rootT - t) * perStep);
        const int j = guess < 0 ? 0 : guess > 10 ? 11 : int(guess);
        bool sure = j <= 10;
        if (sure) {
            const double above = searchAngle(t, j, s);
            sure = above > root->high && (above - root->high) * slopeFloor(root->high, above) > sideError;
        }
        if (sure && j > 0) {
            const double below = searchAngle(t, j - 1, s);
            sure = below < root->low && (root->low - below) * slopeFloor(below, root->low) > sideError;
        }
        t += sure ? j * s : searchDigit(target, t, s);
    }
    return (t - 0.5) * pi;
}

// The growing coordinate of the Mercator (or Miller) projection; +-12000 at and near the poles,
// where the logarithm is not evaluated.
double mercatorOrdinate(double lat, double S, bool miller) {
    if (lat > poleLatitudeLimit)
        return poleImageValue;
    if (lat < -poleLatitudeLimit)
        return -poleImageValue;
    if (miller)
        return millerStretch * std::log(std::tan(millerSquash * lat + pi / 4)) / pi * S;
    return std::log(std::tan(lat / 2 + pi / 4)) / pi * S;
}

} // namespace

double userPolynomial(const ProjectionSetup& setup, double c) {
    double sum = 0;
    double power = 1;
    for (int i = 1; i <= termsOf(setup); ++i) {
        power *= c;
        sum += setup.coefficients[i] * power;
    }
    return sum;
}

double userProjectionNormalisation(const ProjectionSetup& setup) {
    const double p = userPolynomial(setup, setup.radiusDegrees / degreesPerRadian);
    return p > 0 && std::isfinite(p) ? 1 / (2 * p) : 0;
}

double userProjectionEdgeValue(const ProjectionSetup& setup) {
    return setup.coefficients[0] * userPolynomial(setup, setup.domainDegrees / degreesPerRadian);
}

void DISPXY(double x, double y, double z, ProjectionKind prj, double& X, double& Y,
            const ProjectionSetup& setup) {
    const double S = setup.chartScale;
    if (prj < 1 || prj > 15)
        prj = 1;
    double lon, lat, r;
    switch (prj) {
    case 1:
    case 2:
    case 3:
    case 10: {
        double A, h;
        ZENITH(x, y, z, A, h, r);
        double f; // distance from the centre over S
        if (prj == 1) {
            f = (pi / 2 - h) / pi;
        } else if (prj == 2) {
            f = std::sin(pi / 4 - h / 2) / std::sqrt(2.0);
        } else if (prj == 3) {
            f = std::tan(pi / 4 - h / 2) / 2;
        } else {
            const double c = pi / 2 - h;
            if (c >= setup.domainDegrees / degreesPerRadian) {
                X = Y = offChartValue;
                return;
            }
            f = setup.coefficients[0] * userPolynomial(setup, c);
        }
        X = std::sin(A) * f * S;
        Y = std::cos(A) * f * S;
        if (prj == 3) {
            X = clamped(X);
            Y = clamped(Y);
        } else if (prj == 10) {
            Y *= setup.aspectYX;
        }
        return;
    }
    case 4:
    case 12:
        ZENITH(z, y, x, lon, lat, r);
        X = lon / pi * S;
        Y = mercatorOrdinate(lat, S, prj == 12);
        return;
    case 5:
        ZENITH(z, x, y, lon, lat, r);
        Y = lon / pi * S;
        X = mercatorOrdinate(lat, S, false);
        return;
    case 6:
        if (z < gnomonicHorizon) {
            X = Y = offChartValue;
            return;
        }
        X = clamped(y / z / (2 * std::sqrt(3.0)) * S);
        Y = clamped(x / z / (2 * std::sqrt(3.0)) * S);
        return;
    case 7: {
        ZENITH(z, y, x, lon, lat, r);
        const double theta = mollweideTheta(lat, S);
        X = std::cos(theta) * lon / pi * S;
        Y = std::sin(theta) / 2 * S;
        return;
    }
    case 8:
        r = std::sqrt(x * x + y * y + z * z);
        if (z < 0 || r == 0) { // a zero vector has no image
            X = Y = offChartValue;
            return;
        }
        X = clamped(y / r / 2 * S);
        Y = clamped(x / r / 2 * S);
        return;
    case 9:
        ZENITH(z, y, x, lon, lat, r);
        X = lon * std::cos(lat) / pi * S;
        Y = lat / pi * S;
        return;
    case 11:
        ZENITH(z, y, x, lon, lat, r);
        X = lon / pi * S;
        Y = lat / pi * S;
        return;
    case 13: {
        ZENITH(z, y, x, lon, lat, r);
        const double D = std::sqrt(1 + std::cos(lat) * std::cos(lon / 2));
        X = std::cos(lat) * std::sin(lon / 2) / D * S / hammerX;
        Y = std::sin(lat) / D * S / hammerY;
        return;
    }
    case 14:
        ZENITH(z, y, x, lon, lat, r);
        X = lon / pi * S;
        Y = std::sin(lat) / pi * S;
        return;
    case 15: {
        const double rho = std::sqrt(y * y + z * z);
        if (rho == 0) { // straight up or down: the limits of the formulas below
            X = 0;
            Y = x < 0 ? -S / 2 : S / 2;
            return;
        }
        // The direction with its longitude about the vertical axis halved.
        const double w = rho * std::sqrt((z / rho + 1) / 2);
        const double u = w == 0 ? rho : (y * rho / 2) / w;
        double A, h;
        ZENITH(x, u, w, A, h, r);
        X = 2 * std::sin(A) * (pi / 2 - h) / pi * S;
        Y = std::cos(A) * (pi / 2 - h) / pi * S;
        return;
    }
    }
}

namespace {

// The farthest a direction can lie from the centre when its longitude about the chart's vertical
// axis is within lon and its latitude within lat (cos angle = cos lat cos lon).
double lonLatReach(double lon, double lat) {
    if (lon < pi / 2 && lat < pi / 2)
        return std::acos(std::cos(lon) * std::cos(lat));
    return std::min(pi, lon + lat);
}

double asinAtMost(double v) { return v >= 1 ? pi / 2 : std::asin(v); }

// The user projection puts a direction at angle c from the centre at radius |f| S, f = a0 P(c),
// its height stretched by the aspect: only where |f| <= R = hypot(w, h / |aspect|) / S can it lie
// within the rectangle, and nowhere from the domain's edge on. Spans of c are passed over, the
// farthest first, while |f| at their middle, less the most f can change across the half span and
// its rounding, stays above R; the first span too short to halve that is not passed over bounds
// the reach. A search that runs long stops at the span it has come to, everything beyond it
// passed over.
double userProjectionReach(const ProjectionSetup& setup, double w, double h) {
    const double S = setup.chartScale;
    const double edge = std::clamp(setup.domainDegrees / degreesPerRadian, 0.0, pi);
    const double aspect = std::fabs(setup.aspectYX);
    if (!(edge > 0))
        return 0;
    if (!(aspect > 0) || !std::isfinite(aspect))
        return edge;
    const double R = std::hypot(w, h / aspect) / S;
    const double a0 = std::fabs(setup.coefficients[0]);
    const int terms = termsOf(setup);
    // The steepest |f'| and the largest sum of |terms| of f for c up to `to`.
    const auto steepest = [&](double to) {
        double slope = 0, power = 1;
        for (int i = 1; i <= terms; ++i) {
            slope += i * std::fabs(setup.coefficients[i]) * power;
            power *= to;
        }
        return a0 * slope;
    };
    const auto magnitude = [&](double to) {
        double sum = 0, power = 1;
        for (int i = 1; i <= terms; ++i) {
            power *= to;
            sum += std::fabs(setup.coefficients[i]) * power;
        }
        return a0 * sum;
    };
    struct Span {
        double from, to;
    };
    Span spans[128];
    int open = 0;
    spans[open++] = {0, edge};
    int budget = 20000;
    while (open > 0) {
        const Span span = spans[--open];
        const double middle = (span.from + span.to) / 2, half = (span.to - span.from) / 2;
        const double least = std::fabs(setup.coefficients[0] * userPolynomial(setup, middle)) -
                             steepest(span.to) * half - 1E-13 * magnitude(span.to);
        if (least > R)
            continue;
        if (half <= 1E-11 * span.to || --budget == 0 || open + 2 > 128)
            return span.to;
        spans[open++] = {span.from, middle};
        spans[open++] = {middle, span.to};
    }
    return 0;
}

} // namespace

// Each case turns the rectangle into a bound on the angle by a lower bound of the image's size:
// the radius of the azimuthal projections grows with the angle; the others bound the longitude
// and latitude about the vertical axis, whose sum bounds the angle. The images the projections
// mark off the chart (16000, 12000) lie beyond any rectangle given here.
double projectionReach(ProjectionKind prj, const ProjectionSetup& setup, double halfWidth, double halfHeight) {
    const double S = setup.chartScale;
    // A few pixels more for the rounding of the images, and the Mollweide search's half pixel.
    const double w = halfWidth + 4, h = halfHeight + 4;
    if (!(S > 0) || !std::isfinite(S) || !(w < poleImageValue && h < poleImageValue))
        return pi;
    if (prj < 1 || prj > 15)
        prj = 1;
    const double R = std::hypot(w, h) / S;   // the largest radius over S
    double reach = pi;
    switch (prj) {
    case 1: reach = pi * R; break;
    case 2: reach = R * std::sqrt(2.0) < 1 ? 2 * std::asin(R * std::sqrt(2.0)) : pi; break;
    case 3: reach = 2 * std::atan(2 * R); break;
    case 6: reach = std::atan(2 * std::sqrt(3.0) * R); break;
    case 8: reach = asinAtMost(2 * R); break;
    case 10: reach = userProjectionReach(setup, w, h); break;
    // |Y| of the Mercator and Miller projections is at least lat / pi S.
    case 4:
    case 11:
    case 12: reach = lonLatReach(pi * w / S, pi * h / S); break;
    case 5: reach = lonLatReach(pi * h / S, pi * w / S); break;
    case 14: reach = lonLatReach(pi * w / S, asinAtMost(pi * h / S)); break;
    case 9: {
        const double lat = pi * h / S;
        if (lat < pi / 2)
            reach = lonLatReach(std::min(pi, pi * w / (S * std::cos(lat))), lat);
        break;
    }
    case 7: {
        // Y = sin t / 2 S, X = cos t lon / pi S, with 2 t + sin 2 t = pi sin lat; the search
        // puts t within pi / 2 S of the root.
        const double t = asinAtMost(2 * h / S);
        const double tTrue = t + pi / S;
        if (tTrue < pi / 2)
            reach = lonLatReach(std::min(pi, pi * w / (S * std::cos(t))),
                                asinAtMost((2 * tTrue + std::sin(2 * tTrue)) / pi));
        break;
    }
    case 13: {
        // The divisor D of both coordinates lies between 1 and sqrt 2.
        const double lat = asinAtMost(std::sqrt(2.0) * hammerY * h / S);
        if (lat < pi / 2)
            reach = lonLatReach(2 * asinAtMost(std::sqrt(2.0) * hammerX * w / (S * std::cos(lat))), lat);
        break;
    }
    case 15:
        // (X / 2, Y) is the azimuthal equidistant image of the direction with its longitude
        // halved, which lies at least half as far from the centre.
        reach = std::min(pi, 2 * pi * std::hypot(w / 2, h) / S);
        break;
    }
    return std::min(pi, reach * (1 + 1E-9));
}

namespace {

// Directions whose latitude and longitude about an axis lie in ranges: about the chart centre
// (z, longitude from x toward y), chart up (x, longitude from z toward y) or chart right (y,
// longitude from z toward x). A range of longitude may run past +-pi, a turn being a turn.
enum class Axis { centre, up, right };
struct LatLonBox {
    Axis axis;
    double lat0, lat1, lon0, lon1;
};

DirectionVector onAxis(Axis axis, double lat, double lon)
{
    const double e = std::cos(lat) * std::cos(lon), n = std::cos(lat) * std::sin(lon), p = std::sin(lat);
    switch (axis) {
    case Axis::centre: return {e, n, p};
    case Axis::up: return {p, n, e};
    case Axis::right: return {n, p, e};
    }
    return {0, 0, 1};
}

double haversine(double a) { return std::pow(std::sin(a / 2), 2); }

// The cap about the box's middle direction: hav d = hav dlat + cos lat cos lat' hav dlon.
DirectionCap boxCap(const LatLonBox& b)
{
    const double lat0 = std::clamp(b.lat0, -pi / 2, pi / 2), lat1 = std::clamp(b.lat1, -pi / 2, pi / 2);
    const double lat = (lat0 + lat1) / 2, lon = (b.lon0 + b.lon1) / 2;
    const double widest = lat0 <= 0 && lat1 >= 0 ? 1 : std::max(std::cos(lat0), std::cos(lat1));
    const double h = haversine((lat1 - lat0) / 2) + std::cos(lat) * widest * haversine(std::min(pi, (b.lon1 - b.lon0) / 2));
    const double angle = 2 * std::asin(std::sqrt(std::min(1.0, h)));
    return {onAxis(b.axis, lat, lon), std::min(pi, angle * (1 + 1E-9) + 1E-12)};
}

// The latitudes and longitudes about chart up of the directions within a cap (up axis frame
// given), doubled in longitude: the Aitoff and Hammer projections are azimuthal ones of the
// direction with its longitude halved.
LatLonBox doubledLongitudes(const DirectionCap& c)
{
    const DirectionVector& d = c.centre;
    const double lat = std::atan2(d[0], std::hypot(d[1], d[2])), lon = std::atan2(d[1], d[2]);
    LatLonBox b{Axis::up, lat - c.angle, lat + c.angle, -pi, pi};
    if (std::fabs(lat) + c.angle < pi / 2) {
        const double spread = std::asin(std::min(1.0, std::sin(c.angle) / std::cos(lat)));
        b.lon0 = 2 * (lon - spread), b.lon1 = 2 * (lon + spread);
    }
    return b;
}

// The directions whose azimuthal image lies in [X0, X1] x [Y0, Y1], its radius over S an
// increasing function of the angle from the centre whose inverse is `angleOf`.
template <class AngleOf>
LatLonBox azimuthalBox(double X0, double X1, double Y0, double Y1, double S, AngleOf angleOf)
{
    const double nearX = X0 > 0 ? X0 : X1 < 0 ? -X1 : 0, nearY = Y0 > 0 ? Y0 : Y1 < 0 ? -Y1 : 0;
    const double farX = std::max(std::fabs(X0), std::fabs(X1)), farY = std::max(std::fabs(Y0), std::fabs(Y1));
    LatLonBox b{Axis::centre, pi / 2 - angleOf(std::hypot(farX, farY) / S), pi / 2 - angleOf(std::hypot(nearX, nearY) / S),
                -pi, pi};
    if (nearX > 0 || nearY > 0) {
        // Azimuths from x (Y) toward y (X), about the rectangle's middle's.
        const double middle = std::atan2((X0 + X1) / 2, (Y0 + Y1) / 2);
        double low = 0, high = 0;
        for (const double X : {X0, X1})
            for (const double Y : {Y0, Y1}) {
                const double a = std::remainder(std::atan2(X, Y) - middle, 2 * pi);
                low = std::min(low, a), high = std::max(high, a);
            }
        b.lon0 = middle + low, b.lon1 = middle + high;
    }
    return b;
}

// Longitudes lon = pi X / (S k) for X in [X0, X1] and k, positive, in [k0, k1]: at the corners.
void dividedLongitudes(LatLonBox& b, double X0, double X1, double S, double k0, double k1)
{
    if (!(k0 > 0)) {
        b.lon0 = -pi, b.lon1 = pi;
        return;
    }
    b.lon0 = pi, b.lon1 = -pi;
    for (const double X : {X0, X1})
        for (const double k : {k0, k1}) {
            b.lon0 = std::min(b.lon0, pi * X / (S * k));
            b.lon1 = std::max(b.lon1, pi * X / (S * k));
        }
}

double mercatorLatitude(double ordinate, double S, bool miller)
{
    if (miller)
        return (std::atan(std::exp(ordinate * pi / (S * millerStretch))) - pi / 4) / millerSquash;
    return 2 * std::atan(std::exp(ordinate * pi / S)) - pi / 2;
}

double asinClamped(double v) { return std::asin(std::clamp(v, -1.0, 1.0)); }

} // namespace

// Each projection's rectangle is turned into ranges of latitude and longitude about one of the
// chart's axes, conservatively, and those into a cap about their middle.
DirectionCap rectangleCap(ProjectionKind prj, const ProjectionSetup& setup, double halfWidth, double halfHeight,
                          double centreY)
{
    const DirectionCap centred{{0, 0, 1}, projectionReach(prj, setup, halfWidth, halfHeight + std::fabs(centreY))};
    const double S = setup.chartScale;
    // The same few pixels for the rounding of the images as projectionReach.
    const double X1 = halfWidth + 4, X0 = -X1, Y0 = centreY - halfHeight - 4, Y1 = centreY + halfHeight + 4;
    // The marks of what a projection cannot show lie on the lines +-12000 and +-16000.
    const auto holdsMark = [&](double mark) { return Y0 <= mark && mark <= Y1; };
    if (centreY == 0 || !(S > 0) || !std::isfinite(S) || !(X1 < poleImageValue) ||
        holdsMark(-offChartValue) || holdsMark(-poleImageValue) || holdsMark(poleImageValue) ||
        holdsMark(offChartValue))
        return centred;
    if (prj < 1 || prj > 15)
        prj = 1;
    LatLonBox b{Axis::up, -pi / 2, pi / 2, -pi, pi};
    switch (prj) {
    case 1: b = azimuthalBox(X0, X1, Y0, Y1, S, [](double f) { return std::min(pi, pi * f); }); break;
    case 2:
        b = azimuthalBox(X0, X1, Y0, Y1, S, [](double f) { return 2 * std::asin(std::min(1.0, f * std::sqrt(2.0))); });
        break;
    case 3: b = azimuthalBox(X0, X1, Y0, Y1, S, [](double f) { return 2 * std::atan(2 * f); }); break;
    case 6: b = azimuthalBox(X0, X1, Y0, Y1, S, [](double f) { return std::atan(2 * std::sqrt(3.0) * f); }); break;
    case 8: b = azimuthalBox(X0, X1, Y0, Y1, S, [](double f) { return std::asin(std::min(1.0, 2 * f)); }); break;
    case 10: return centred;
    case 4:
    case 11:
    case 12:
    case 14: {
        const auto lat = [&](double Y) {
            return prj == 11 ? pi * Y / S : prj == 14 ? asinClamped(pi * Y / S) : mercatorLatitude(Y, S, prj == 12);
        };
        b = {Axis::up, lat(Y0), lat(Y1), pi * X0 / S, pi * X1 / S};
        break;
    }
    case 5: b = {Axis::right, mercatorLatitude(X0, S, false), mercatorLatitude(X1, S, false), pi * Y0 / S, pi * Y1 / S}; break;
    case 9: {
        b.lat0 = std::max(-pi / 2, pi * Y0 / S), b.lat1 = std::min(pi / 2, pi * Y1 / S);
        const double widest = b.lat0 <= 0 && b.lat1 >= 0 ? 1 : std::max(std::cos(b.lat0), std::cos(b.lat1));
        dividedLongitudes(b, X0, X1, S, std::min(std::cos(b.lat0), std::cos(b.lat1)), widest);
        break;
    }
    case 7: {
        // Y = sin t / 2 S and X = cos t lon / pi S with t the search's angle, which lies below
        // the root of 2 t + sin 2 t = pi sin lat by less than pi / 2 S (a tenth of pi at most).
        const double t0 = asinClamped(2 * Y0 / S), t1 = asinClamped(2 * Y1 / S);
        const double above = std::min(t1 + pi * std::max(1 / S, 1E-16), pi / 2);
        b.lat0 = asinClamped((2 * t0 + std::sin(2 * t0)) / pi);
        b.lat1 = asinClamped((2 * above + std::sin(2 * above)) / pi);
        const double widest = t0 <= 0 && t1 >= 0 ? 1 : std::max(std::cos(t0), std::cos(t1));
        dividedLongitudes(b, X0, X1, S, std::min(std::cos(t0), std::cos(t1)), widest);
        break;
    }
    case 13: {
        // (X hx / 2, Y hx) is the azimuthal equal-area image of the half-longitude direction.
        const LatLonBox half = azimuthalBox(X0 * hammerX / 2, X1 * hammerX / 2, Y0 * hammerX, Y1 * hammerX, S,
                                            [](double f) { return 2 * std::asin(std::min(1.0, f * std::sqrt(2.0))); });
        b = doubledLongitudes(boxCap(half));
        break;
    }
    case 15: {
        // (X / 2, Y) is the azimuthal equidistant image of the half-longitude direction.
        const LatLonBox half =
            azimuthalBox(X0 / 2, X1 / 2, Y0, Y1, S, [](double f) { return std::min(pi, pi * f); });
        b = doubledLongitudes(boxCap(half));
        break;
    }
    }
    const DirectionCap cap = boxCap(b);
    return cap.angle < centred.angle ? cap : centred;
}

} // namespace nivora
