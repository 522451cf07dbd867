#include "astro/orbit.h"

#include <algorithm>
#include <cmath>

#include "astro/constants.h"
#include "astro/fieldnumber.h"
#include "astro/numbertext.h"

namespace nivora {

namespace {

// Single-precision literals widened to double.
constexpr double oneThird = double(1.0f / 3.0f);
constexpr double twoThirds = double(2.0f / 3.0f);
constexpr double keplerTolerance = double(1E-8f);

constexpr int newtonStepLimit = 100;

double number(const OrbitElementsForm& form, OrbitEdit edit) { return readFieldNumber(form.text(edit)); }

double gravitationalParameter(const OrbitElementsForm& form) {
    return form.value(OrbitRadio::RADIO72) == 1 ? gmSun : gmEarth;
}

// The eccentricity counts as given only when it is not negative and its text begins with "0":
// "0.2" does, ".2", an empty field and "*.****" do not.
bool eccentricitySupplied(const std::string& text, double e) { return e >= 0 && text.starts_with('0'); }

// Root of an increasing function on [lo, hi] by halving, for when Newton's method cannot finish.
template <typename F> double bisect(F f, double lo, double hi) {
    for (int step = 0; step < 2000; ++step) {
        const double mid = lo + (hi - lo) / 2;
        if (!(mid > lo && mid < hi))
            break;
        (f(mid) < 0 ? lo : hi) = mid;
    }
    return lo + (hi - lo) / 2;
}

} // namespace

void SM2PRD(OrbitElementsForm& form, double& a, double& P) {
    const double mu = gravitationalParameter(form);
    if (a > 0) {
        P = 2 * pi * std::sqrt(a * a * a / mu);
        form.setText(OrbitEdit::EDIT83, fieldTextOfValue(P));
    } else if (P > 0) {
        a = std::pow(mu * (P / (2 * pi)) * (P / (2 * pi)), oneThird);
        form.setText(OrbitEdit::EDIT81, fieldTextOfValue(a));
    }
}

void OOBJDSTCAL(OrbitElementsForm& form) {
    double q = number(form, OrbitEdit::EDIT80);
    double a = number(form, OrbitEdit::EDIT81);
    const std::string eText = form.text(OrbitEdit::EDIT82);
    const double e = readFieldNumber(eText);
    double P = number(form, OrbitEdit::EDIT83);

    if (e >= 1) {
        form.setText(OrbitEdit::EDIT81, missingQuantityText);
        form.setText(OrbitEdit::EDIT83, missingQuantityText);
    } else if (!eccentricitySupplied(eText, e)) {
        SM2PRD(form, a, P);
        // Without a perihelion distance there is no eccentricity to derive: 1 - 0 / a would
        // make the orbit parabolic and wipe the user's axis and period on the next run.
        if (a > 0 && q > 0) {
            if (q > a)
                form.setText(OrbitEdit::EDIT82, missingQuantityText);
            else
                form.setText(OrbitEdit::EDIT82, DSPDCM(1 - q / a, 1, 8, 1));
        }
    } else if (q <= 0 && (a > 0 || P > 0)) {
        SM2PRD(form, a, P);
        q = a * (1 - e);
        form.setText(OrbitEdit::EDIT80, fieldTextOfValue(q));
    } else if (q > 0) {
        a = q / (1 - e);
        form.setText(OrbitEdit::EDIT81, fieldTextOfValue(a));
        SM2PRD(form, a, P);
    }
}

double KEPLER0(double M, double e) {
    if (e == 0)
        return M;
    double E = M / (1 - e);
    if (E > 1)
        E = M + e;
    if (E < -1)
        E = M - e;
    if (E > pi - 1)
        E = (M + e * pi) / (1 + e);
    if (E < 1 - pi)
        E = (M - e * pi) / (1 + e);
    double correction = 100;
    for (int step = 0; std::abs(correction) > keplerTolerance; ++step) {
        correction = (M - E + e * std::sin(E)) / (1 - e * std::cos(E));
        if (step == newtonStepLimit || !std::isfinite(correction)) {
            // Near e = 1 or for a huge M: E - M lies within [-e, e], where the equation increases.
            const double spread = std::abs(e);
            return bisect([&](double x) { return x - e * std::sin(x) - M; }, M - spread, M + spread);
        }
        E += correction;
    }
    return E;
}

double KEPLER1(double M, double e) {
    const double ratio = std::abs(M) / e;
    const double sign = M < 0 ? -1 : M > 0 ? 1 : 0;
    double H;
    if (M * M * e / ((e - 1) * (e - 1) * (e - 1)) < 1)
        H = M / (e - 1);
    else if (ratio > double(4.5f) || (ratio > double(3.0f) && e < double(1.1f)) || e > double(1.5f))
        H = sign * std::log(2 * ratio);
    else if (ratio < double(0.5f) && e < double(1.05f))
        H = sign * std::pow(6 * ratio, oneThird);
    else
        H = 0;
    const auto f = [&](double x) { return e * (std::exp(x) - std::exp(-x)) / 2 - x - M; };
    double correction = 100;
    for (int step = 0; std::abs(correction) > keplerTolerance; ++step) {
        const double expH = std::exp(H), expMinusH = std::exp(-H);
        correction = (M + H - e * (expH - expMinusH) / 2) / (e * (expH + expMinusH) / 2 - 1);
        if (step == newtonStepLimit || !std::isfinite(correction)) {
            // The equation increases for e > 1: bracket the root from 0 outward and halve.
            double lo = 0, hi = sign;
            for (int k = 0; k < 12 && f(hi) * sign < 0; ++k)
                hi *= 2;
            if (sign < 0)
                std::swap(lo, hi);
            return sign == 0 ? 0 : bisect(f, lo, hi);
        }
        H += correction;
    }
    return H;
}

double KEPLER2(double M) {
    if (M == 0)
        return 0;
    const double beta = std::atan(twoThirds / std::abs(M)) / 2;
    const double g = std::pow(std::tan(beta), oneThird);
    const double nu = g > 0 ? 2 * std::atan((1 - g * g) / g) : pi; // g = 0 only far past infinity
    return M < 0 ? -nu : nu;
}

DayNumber orbitFormDayNumber(double year, int monthIndex, double day) {
    const int m = std::clamp(monthIndex, 0, 11);
    double d = (year - 2000) * 365 + monthStartDays[m] + day + std::floor((year - 1997) / 4) -
               std::floor((year - 1901) / 100) + std::floor((year - 1601) / 400);
    if (m > 1 && std::abs(year) < 1e9 && isLeapYear(int(std::lround(year))))
        d += 1;
    return d;
}

void OOBJCAL(OrbitElementsForm& form, double t, double& X, double& Y, double& Z, double& epochDay,
             float& frame, float& ok) {
    OOBJDSTCAL(form);

    const std::string eText = form.text(OrbitEdit::EDIT82);
    const double e = readFieldNumber(eText);
    const double q = number(form, OrbitEdit::EDIT80);
    ok = 0;
    if (q <= 0 || e < 0 || (e == 0 && !eText.starts_with('0')))
        return;
    for (OrbitEdit angle : {OrbitEdit::EDIT86, OrbitEdit::EDIT87, OrbitEdit::EDIT88})
        if (form.text(angle).empty())
            return;
    const double node = number(form, OrbitEdit::EDIT86) / degreesPerRadian;
    const double inclination = number(form, OrbitEdit::EDIT87) / degreesPerRadian;
    double perihelion = number(form, OrbitEdit::EDIT88) / degreesPerRadian;
    if (form.value(OrbitRadio::RADIO71) == 1)
        perihelion -= node;
    const double M0 = form.value(OrbitRadio::RADIO68) == 1 ? number(form, OrbitEdit::EDIT89) / degreesPerRadian : 0;
    const float elementsFrame = float(form.value(OrbitRadio::RADIO74) + 2 * form.value(OrbitRadio::RADIO75));

    double a;
    if (e < 1)
        a = q / (1 - e);
    else if (e == 1)
        a = q * std::pow(2.0, oneThird); // a^3 = 2 q^3: the parabolic mean motion
    else
        a = q / (e - 1);

    const DayNumber equinoxDay = orbitFormDayNumber(number(form, OrbitEdit::EDIT90),
                                                    form.listIndex(OrbitCombo::COMBO8), number(form, OrbitEdit::EDIT91));
    const DayNumber T0 = orbitFormDayNumber(number(form, OrbitEdit::EDIT84), form.listIndex(OrbitCombo::COMBO7),
                                            number(form, OrbitEdit::EDIT85));

    const bool aroundSun = form.value(OrbitRadio::RADIO72) == 1;
    const double mu = aroundSun ? gmSun : gmEarth;
    double M = M0 + std::sqrt(mu / (a * a * a)) * (t - T0) / (aroundSun ? 365.25 : 1);

    double x, y;
    if (e < 1) {
        M -= 2 * pi * std::floor(M / (2 * pi) + 0.5);
        const double E = KEPLER0(M, e);
        x = (std::cos(E) - e) * a;
        y = std::sqrt(1 - e * e) * std::sin(E) * a;
    } else if (e > 1) {
        const double H = KEPLER1(M, e);
        const double expH = std::exp(H), expMinusH = std::exp(-H);
        x = (e - (expH + expMinusH) / 2) * a;
        y = std::sqrt(e * e - 1) * (expH - expMinusH) / 2 * a;
    } else {
        const double nu = KEPLER2(M);
        const double r = 2 / (1 + std::cos(nu)) * q;
        x = r * std::cos(nu);
        y = r * std::sin(nu);
    }
    if (aroundSun) {
        x *= astronomicalUnit;
        y *= astronomicalUnit;
    }

    // Into the frame of the elements; the intermediate vectors are kept in single precision.
    const float ux = float(x * std::cos(perihelion) - y * std::sin(perihelion));
    const float uy = float(y * std::cos(perihelion) + x * std::sin(perihelion));
    const float uz = 0;
    const float wx = ux;
    const float wy = float(uy * std::cos(inclination) - uz * std::sin(inclination));
    const float wz = float(uy * std::sin(inclination) + uz * std::cos(inclination));
    const double px = wx * std::cos(node) - wy * std::sin(node);
    const double py = wx * std::sin(node) + wy * std::cos(node);
    const double pz = wz;
    if (!std::isfinite(px) || !std::isfinite(py) || !std::isfinite(pz))
        return; // too far out for the chart to hold

    X = px;
    Y = py;
    Z = pz;
    epochDay = equinoxDay;
    frame = elementsFrame;
    ok = 1;
}

} // namespace nivora
